#include <algorithm>
#include <iterator>

#include "default_dlc.h"
#include "engine_controls.h"
#include "main_window.h"
#include "texts.h"

namespace {

// Switched by "Descarga" and "Carga", in this order. The dump-file folder
// belongs to the load group only: a dump alone still writes there, but the
// field stays as the load left it.
const ControlId kDumpGroup[] = {kIdLabel1, kIdLabel3_0, kIdText1, kIdText5, kIdBuscar, kIdBuscar1};
const ControlId kLoadGroup[] = {kIdLabel2, kIdLabel3_2, kIdText2, kIdText6, kIdText4, kIdBuscar2, kIdBuscar3};

} // namespace

void MainWindow::Check2_Click()
{
    const bool ticked = Value(CheckBox::Check2) != 0;
    for (ControlId id : kDumpGroup)
        SetEnabled(id, ticked);
}

void MainWindow::Check3_Click()
{
    const bool ticked = Value(CheckBox::Check3) != 0;
    for (ControlId id : kLoadGroup)
        SetEnabled(id, ticked);
}

void MainWindow::Form_Activate()
{
    std::string programFolder;
    try {
        programFolder = platform_.ProgramFolder();
    } catch (const RunError& error) {
        ShowMessage(error.what(), texts::kProgramTitle, kStylePlain);
    }
    const DefaultDlc dlc = DefaultDlcFolder(programFolder);
    RutaDLC = dlc.RutaDLC;
    Posicion = dlc.Posicion;
    SetControlText(kIdText5, RutaDLC);
    SetControlText(kIdText6, RutaDLC);
    SetControlText(kIdText3, picker_->CurrentFolder());
}

void MainWindow::Enable(Control control, bool enabled)
{
    if (control == Control::Timer1) {
        RunTimer1(enabled);
        return;
    }
    const ControlId focused = FocusedControl();
    enabled_[IdOf(control)] = enabled;
    // The folder picker lies over the controls a run locks and fills their
    // fields: a picker left open must not change a folder half-way through
    // a run, so it is locked while any of them is.
    enabled_[kIdFrame3] = std::all_of(std::begin(kLockedDuringRun), std::end(kLockedDuringRun),
                                      [this](Control lockable) { return enabled_.at(IdOf(lockable)); });
    ShowEnabling();
    // A stray Enter must press nothing while a run goes on: the focus that
    // the lock takes from a control stays with the window itself, from where
    // Tab, Alt+C and the mouse still reach Cancelar.
    if (focused != kIdWindow && !Usable(focused))
        SetFocus(window_);
}
