#pragma once

#include <cstdint>
#include <string>

#include "platform.h"
#include "run_log.h"
#include "window_ops.h"

struct Direction;

// Dumps the three databases into per-database folders of dump files, loads
// those files into the destination databases and rebuilds their indexes,
// one proutil command at a time. It reads the request from the window's
// fields when it needs them, so the window owns one Engine for its lifetime.
class Engine {
  public:
    Engine(WindowOps& window, Platform& platform);

    // The click on "&Aceptar": one whole run.
    void Aceptar_Click();

    // State of the run, also read by the window's progress indicator.
    bool ProcesoOK = false;
    std::string BaseDatos;
    std::string Comando;
    std::string FicheroTablas;
    std::string NombreTabla;
    std::int16_t Contador = 0;

  private:
    std::string RunPasses(bool dump, bool load);
    void EndRun(const std::string& outcome);
    void DesCarga();
    void Carga();
    void RunDirection(const Direction& direction, void (Engine::*pass)());
    bool DatabasesInUse(const std::string& folder);

    void ProcesoDescarga();
    void ProcesoCarga();
    void RunTablePass(const Direction& direction);

    void Indexa();
    void IndexaIndices();

    bool FoldersPassIntact(bool dump, bool load);
    void Unlock();
    CommandResult Run(const std::string& line, const char* successNumber);
    void ShowError(const std::string& text, const std::string& title, int style);
    void ReportError(const RunError& error);

    WindowOps& window_;
    Platform& platform_;
    RunLog log_;
};
