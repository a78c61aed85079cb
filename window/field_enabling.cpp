#include "default_dlc.h"
#include "main_window.h"

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
        ShowMessage(error.what(), "Vaciallena", kStylePlain);
    }
    const DefaultDlc dlc = DefaultDlcFolder(programFolder);
    RutaDLC = dlc.RutaDLC;
    Posicion = dlc.Posicion;
    SetControlText(kIdText5, RutaDLC);
    SetControlText(kIdText6, RutaDLC);
    SetControlText(kIdText3, CurrentFolder());
}
