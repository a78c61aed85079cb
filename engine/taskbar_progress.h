#pragma once

#include "window_ops.h"

// The run's progress outside the window, on its taskbar button: commands
// done out of the run's total, and whether the run has failed so far. Each
// change is shown as it happens, from here alone.
class TaskbarProgress {
  public:
    explicit TaskbarProgress(WindowOps& window) : window_(window) {}

    void Begin(int total)
    {
        done_ = 0;
        total_ = total;
        failed_ = false;
        Show();
    }
    // A command was judged; failed when its failure fails the run.
    void CommandDone(bool failed)
    {
        ++done_;
        failed_ = failed_ || failed;
        Show();
    }
    void Failed()
    {
        failed_ = true;
        Show();
    }

  private:
    void Show() { window_.ShowProgress({done_, total_, failed_, false, {}, false}); }

    WindowOps& window_;
    int done_ = 0;
    int total_ = 0;
    bool failed_ = false;
};
