#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "failure_report.h"
#include "platform.h"
#include "request.h"
#include "run_log.h"
#include "table_analysis.h"
#include "table_list.h"
#include "window_ops.h"

struct Direction;

// Dumps the three databases into per-database folders of dump files, loads
// those files into the destination databases, rebuilds their indexes and
// compares every table's records with the source's, one proutil command at
// a time. It reads the request from the window's fields once, when Aceptar
// is clicked; the window owns one Engine for its lifetime.
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
    using Judge = std::function<Verdict(const CommandResult&)>;
    // The records of a database's tables, or why they could not be counted.
    struct Counted {
        std::optional<TableAnalysis> analysis;
        std::string why;
    };

    void Run();
    std::string RunPasses();
    void EndRun(const std::string& outcome);
    void DesCarga();
    void Carga();
    bool DirectionReady(const Direction& direction);
    void RunDirectionPasses(const Direction& direction, void (Engine::*pass)());

    // Checks of the request before anything runs (request_checks.cpp); each
    // tells the user what is wrong and returns false.
    bool FoldersValid();
    bool DatabasesFound();
    bool WorkingFoldersFound();
    bool SameDatabases();
    bool DatabasesInUse(const Direction& direction);
    bool DumpFoldersReady();

    void ProcesoDescarga();
    void ProcesoCarga();
    bool RunTablePass(const Direction& direction);

    void Indexa();
    void IndexaIndices();

    // Counting and comparing records (record_check.cpp).
    void CountSourceRecords();
    bool LoadWanted();
    bool RecordsMatch();
    Counted CountRecords(const std::string& dlcFolder, const std::string& dbFolder, const std::string& report);
    Counted KeptSourceCounts();
    std::string ReportPath(const char* fileName) const;
    void ShowCountingCaption(const char* what);
    void TellUnchecked();

    int CommandsOfRun();
    void Lock(bool locked);
    void Unlock();
    // Where a command on the databases of that folder works.
    std::string WorkingFolder(const std::string& dbFolder) const;
    // A command that fails marks the run as failed on the taskbar, unless
    // its failure does not fail the run.
    Ran RunCommand(Command command, const std::string& dlcFolder, const Judge& judge, bool failureFailsRun = true);
    // A command of a dump, load or index rebuild, counted in its pass's
    // figures however it ends.
    Ran RunPassCommand(PassFigures& figures, Command command, const std::string& dlcFolder, const Judge& judge);
    void ShowError(const std::string& text, const std::string& title, int style);
    void ReportError(const std::string& text);
    // The run has failed: its outcome, and the taskbar's error state.
    void MarkRunFailed();

    // The figures of a pass are in figures_ from its start, so that a run
    // the user leaves in the middle of a command still sums up what it did.
    PassFigures& BeginPass(const char* pass);
    void EndPass();

    WindowOps& window_;
    Platform& platform_;
    RunLog log_;
    Request request_;
    bool running_ = false;
    std::vector<PassFigures> figures_;
    std::optional<std::chrono::milliseconds> passStart_;
    // By database: the tables its list named in the last pass, its source's
    // records counted after its dump, and why its records were not compared.
    std::map<std::string, std::vector<ListedTable>> listed_;
    std::map<std::string, Counted> sourceCounts_;
    std::map<std::string, std::string> unchecked_;
    std::vector<CheckFigures> checks_;
    bool loadDeclined_ = false;
    int commandsDone_ = 0;
    int commandsTotal_ = 0;
    bool anyFailed_ = false;
};
