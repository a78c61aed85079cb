#include "main_window.h"

#include <commctrl.h>

#include "bar_position.h"
#include "progress_dots.h"
#include "texts.h"
#include "window_metrics.h"

namespace {

const UINT kTimer1IntervalMs = 700;

} // namespace

void MainWindow::RunTimer1(bool running)
{
    if (running && !timerRunning_)
        SetTimer(window_, kIdTimer1, kTimer1IntervalMs, nullptr);
    else if (!running && timerRunning_)
        KillTimer(window_, kIdTimer1);
    timerRunning_ = running;
}

void MainWindow::Timer1_Timer()
{
    SetControlText(kIdLabel5, TickDots(ControlText(kIdLabel5), engine_.Contador, statusCaption_));
}

// Where the system has no taskbar object, or Explorer never says the button
// exists (Wine), the run shows its progress only in the window.
void MainWindow::TaskbarButtonCreated()
{
    // A restarted Explorer has a new taskbar: the old object is dropped.
    taskbar_ = CreateComObject<ITaskbarList3>(CLSID_TaskbarList, IID_ITaskbarList3);
    if (taskbar_.Valid() && FAILED(taskbar_.Get()->HrInit()))
        taskbar_.Reset();
}

void MainWindow::ShowProgress(const RunProgress& progress)
{
    const int position = BarPosition(progress);
    HWND bar = controls_.at(kIdProgressBar1);
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    SendMessageW(bar, PBM_SETSTATE, progress.failed ? PBST_ERROR : PBST_NORMAL, 0);
    SetControlText(kIdLabel6, texts::TimeLeft(progress));
    ShowRunProgress(true);
    if (!taskbar_.Valid())
        return;
    taskbar_.Get()->SetProgressValue(window_, static_cast<ULONGLONG>(position), kBarRange);
    taskbar_.Get()->SetProgressState(window_, progress.failed ? TBPF_ERROR : TBPF_NORMAL);
}

// The bar and the time left take no room in the window while no run goes on.
void MainWindow::ShowRunProgress(bool shown)
{
    for (ControlId id : {kIdProgressBar1, kIdLabel6})
        ShowWindow(controls_.at(id), shown ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::ShowSideBySide(bool sideBySide)
{
    if (sideBySide == sideBySide_)
        return;
    sideBySide_ = sideBySide;
    PlaceStatusLines(WindowDpi(window_));
}

void MainWindow::RunFinished()
{
    ShowRunProgress(false);
    // Empty for the next run, which may not fail.
    SendMessageW(controls_.at(kIdProgressBar1), PBM_SETPOS, 0, 0);
    SendMessageW(controls_.at(kIdProgressBar1), PBM_SETSTATE, PBST_NORMAL, 0);
    SetControlText(kIdLabel6, "");
    if (taskbar_.Valid())
        taskbar_.Get()->SetProgressState(window_, TBPF_NOPROGRESS);
    // A run of hours ends behind other windows: the taskbar button calls
    // until the user brings the window forward. A message box of the
    // window's own in front counts as the window.
    if (GetAncestor(GetForegroundWindow(), GA_ROOTOWNER) != window_) {
        FLASHWINFO flash = {};
        flash.cbSize = sizeof flash;
        flash.hwnd = window_;
        flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
        FlashWindowEx(&flash);
    }
}
