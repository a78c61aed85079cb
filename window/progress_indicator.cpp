#include "main_window.h"
#include "progress_dots.h"

void MainWindow::Timer1_Timer()
{
    SetControlText(kIdLabel5, TickDots(ControlText(kIdLabel5), engine_.Contador));
}
