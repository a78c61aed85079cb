#pragma once

#include <memory>

#include "platform.h"
#include "run_status.h"
#include "window_ops.h"

class Run;
class RunLog;

// Dumps the three databases into per-database folders of dump files, loads
// those files into the destination databases, rebuilds their indexes and
// compares every table's records with the source's. It reads the request
// from the window's fields once, when Aceptar is clicked; the window owns
// one Engine for its lifetime, and reads the run's status from it.
class Engine : public RunStatus {
  public:
    Engine(WindowOps& window, Platform& platform);
    ~Engine();

    // The click on "&Aceptar": one whole run. A click that arrives while a
    // run is in progress (queued before the button was disabled) is ignored.
    void Aceptar_Click();
    bool Running() const { return run_ != nullptr; }
    // The user is ending the program: a run in progress is ended in the log.
    void EndedByUser();

  private:
    WindowOps& window_;
    Platform& platform_;
    std::unique_ptr<RunLog> log_;
    Run* run_ = nullptr;
};
