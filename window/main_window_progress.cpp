#include "main_window.h"

#include "progress_dots.h"
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
    if (!taskbar_.Valid() || progress.done < 0 || progress.total <= 0)
        return;
    taskbar_.Get()->SetProgressValue(window_, static_cast<ULONGLONG>(progress.done),
                                     static_cast<ULONGLONG>(progress.total));
    taskbar_.Get()->SetProgressState(window_, progress.failed ? TBPF_ERROR : TBPF_NORMAL);
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
