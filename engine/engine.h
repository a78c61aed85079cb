#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "failure_report.h"
#include "platform.h"
#include "request.h"
#include "run_log.h"
#include "window_ops.h"

struct Direction;

// Dumps the three databases into per-database folders of dump files, loads
// those files into the destination databases and rebuilds their indexes,
// one proutil command at a time. It reads the request from the window's
// fields once, when Aceptar is clicked; the window owns one Engine for its
// lifetime.
class Engine {
  public:
    Engine(WindowOps& window, Platform& platform);

    // The click on "&Aceptar": one whole run. A click that arrives while a
    // run is in progress (queued before the button was disabled) is ignored.
    void Aceptar_Click();
    bool Running() const { return running_; }
    // The user is ending the program: a run in progress is ended in the log.
    void EndedByUser();

    // State of the run, also read by the window's progress indicator.
    bool ProcesoOK = false;
    std::string BaseDatos;
    std::string Comando;
    std::string FicheroTablas;
    std::string NombreTabla;
    std::int16_t Contador = 0;

  private:
    struct Ran {
        CommandResult result;
        Verdict verdict;
    };

    void Run();
    std::string RunPasses();
    void EndRun(const std::string& outcome);
    void DesCarga();
    void Carga();
    void RunDirection(const Direction& direction, void (Engine::*pass)());
    bool DatabasesInUse(const std::string& folder);
    bool DumpFoldersReady();

    void ProcesoDescarga();
    void ProcesoCarga();
    void RunTablePass(const Direction& direction);

    void Indexa();
    void IndexaIndices();

    bool FoldersValid();
    bool SameDatabases();
    int CommandsOfRun();
    void Lock(bool locked);
    void Unlock();
    Ran RunCommand(const std::string& line, const std::string& dlcFolder, const std::string& workingFolder,
                   const char* successNumber);
    void ShowError(const std::string& text, const std::string& title, int style);
    void ReportError(const RunError& error);

    WindowOps& window_;
    Platform& platform_;
    RunLog log_;
    Request request_;
    bool running_ = false;
    std::vector<PassFigures> figures_;
    int commandsDone_ = 0;
    int commandsTotal_ = 0;
    bool anyFailed_ = false;
};
