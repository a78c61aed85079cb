#include <iterator>
#include <vector>

#include "command_line.h"
#include "directions.h"
#include "engine.h"
#include "failure_report.h"
#include "table_list.h"

const Direction kDump = {
    "Descarga",
    "origen",
    &Request::dump,
    &Request::sourceFolder,
    &Request::sourceDlc,
    "Debe informar la ruta donde se encuentran las bases de datos de origen",
    "La base de datos de origen en ",
    " está arrancada, párela y reintentelo",
    "La BBDD de orígen está arrancada",
    "Procesando Descarga ",
    "Se han producido errores en el proceso de Descarga de las bases de datos",
    "Errores de Descarga",
    kDumpDone,
    DumpCommand,
};

const Direction kLoad = {
    "Carga",
    "destino",
    &Request::load,
    &Request::destinationFolder,
    &Request::destinationDlc,
    "Debe informar la ruta donde se encuentran las bases de datos de destino",
    "La base de datos de destino en ",
    " está arrancada, parela y reintentelo",
    "La BBDD de destino está arrancada",
    "Procesando Carga ",
    "Se han producido errores en el proceso de Carga de las bases de datos",
    "Errores de Carga",
    kLoadDone,
    LoadCommand,
};

namespace {

// A command whose interpreter could not be started is tried once more after
// this pause: a busy machine, or a scanner holding the program, lets go soon.
constexpr int kStartTries = 2;
constexpr std::chrono::milliseconds kStartRetryPause{2000};

} // namespace

Engine::Engine(WindowOps& window, Platform& platform) : window_(window), platform_(platform), log_(platform) {}

void Engine::Aceptar_Click()
{
    // A click queued before the button was disabled is handled by the run's
    // own event processing, in the middle of the run.
    if (running_)
        return;
    const Request request = ReadRequest(window_);
    if (!request.dump && !request.load) {
        window_.ShowMessage("Seleccione la acción a realizar", "Seleccione Acción", kStyleInformation);
        return;
    }
    if (request.dumpFolder.empty()) {
        window_.ShowMessage("Tiene que informar una ruta de Origen/Destino para los ficheros .bd",
                            "Informar ruta ficheros .bd", kStyleInformation);
        return;
    }

    request_ = request;
    running_ = true;
    figures_.clear();
    passStart_.reset();
    listed_.clear();
    sourceCounts_.clear();
    unchecked_.clear();
    checks_.clear();
    loadDeclined_ = false;
    platform_.KeepAwake(true);
    // Whatever ends the run, even an error nobody expected, gives the
    // machine back its sleep and the window its taskbar button.
    struct RunEnd {
        Engine& engine;
        ~RunEnd()
        {
            engine.platform_.KeepAwake(false);
            engine.window_.RunFinished();
            engine.running_ = false;
        }
    } runEnd{*this};
    // Nothing of the run may unwind into the window's message handling:
    // an error nobody expected ends the run as the program's own, with the
    // window usable again.
    try {
        Run();
    } catch (const std::exception& error) {
        ProcesoOK = false;
        EndPass();
        ShowError(error.what(), "Vaciallena", kStyleError);
        EndRun("error del programa");
        Unlock();
    }
}

void Engine::Run()
{
    log_.Begin(request_);
    if (!FoldersValid()) {
        EndRun("no realizado, hay una ruta no válida");
        return;
    }

    // Events are handled while commands run: nothing that could start a
    // second run may stay enabled.
    Lock(true);
    window_.Enable(Control::Timer1, true);
    commandsDone_ = 0;
    anyFailed_ = false;
    commandsTotal_ = CommandsOfRun();
    window_.ShowProgress(0, commandsTotal_, false);

    const std::string outcome = RunPasses();
    TellUnchecked();
    EndRun(outcome);
    Unlock();
}

void Engine::EndedByUser()
{
    if (!running_)
        return;
    EndPass();
    log_.End("interrumpida por el usuario", figures_, checks_);
}

// Returns the run's outcome for the end of its log.
std::string Engine::RunPasses()
{
    ProcesoOK = true;
    if (request_.dump) {
        DesCarga();
        if (!ProcesoOK)
            return request_.load ? "fallido en la descarga, no se ha hecho la carga" : "fallido en la descarga";
    }
    if (request_.load) {
        Carga();
        if (loadDeclined_)
            return "no se ha cargado nada, por la respuesta No a «Bases de datos de destino con registros»";
        if (!ProcesoOK)
            return "fallido en la carga, no se han reconstruido los índices";
        Indexa();
        const bool indexed = ProcesoOK;
        // Compared whether or not the rebuild succeeded: the records are
        // there either way.
        const bool match = !request_.verify || RecordsMatch();
        if (!indexed)
            return match ? "fallido en la reconstrucción de los índices"
                         : "fallido en la reconstrucción de los índices y en la comprobación de registros";
        if (!match)
            return "fallido en la comprobación de registros";
        // proutil cannot read them, so the program cannot carry them.
        log_.Note("Las secuencias no se copian con la descarga y carga binaria: cargue sus valores actuales "
                  "(Data Administration, Sequences Current Values, _seqvals.d) antes de usar las bases de datos "
                  "de destino.");
    }
    return "correcto";
}

// A log that could not be written is told while the window is still locked:
// the notice then comes last, after the run's own messages, and the run is
// over for the user only once it has been read.
void Engine::EndRun(const std::string& outcome)
{
    log_.End(outcome, figures_, checks_);
    if (!log_.Writing())
        window_.ShowMessage(log_.FailureNotice(), "Vaciallena", kStyleInformation);
}

// Aceptar is locked first and unlocked last, so that a run can only start
// with everything of the last one usable again.
void Engine::Lock(bool locked)
{
    static_assert(kLockedDuringRun[0] == Control::Aceptar);
    if (locked) {
        for (Control control : kLockedDuringRun)
            window_.Enable(control, false);
        return;
    }
    for (std::size_t i = 1; i < std::size(kLockedDuringRun); ++i)
        window_.Enable(kLockedDuringRun[i], true);
    window_.Enable(Control::Aceptar, true);
}

// The status lines are cleared before the timer stops, with no event
// handled between, so that no dot lands on the cleared line.
void Engine::Unlock()
{
    window_.SetCaption(Caption::Label5, "");
    window_.SetCaption(Caption::Label4, "");
    Lock(false);
    window_.Enable(Control::Timer1, false);
}

// For the progress shown outside the window: the commands the lists ask for
// now, the index rebuilds after a load and the table analyses. A list that
// cannot be read adds nothing; its pass reports it.
int Engine::CommandsOfRun()
{
    int perDirection = 0;
    for (const DatabaseName& database : kDatabases) {
        try {
            const std::string list =
                platform_.ReadTextFile(JoinPath(platform_.ProgramFolder(), std::string(database.name) + ".ttl"));
            for (const ListedTable& table : ListedTables(list, request_.transactions))
                perDirection += table.Runs() ? 1 : 0;
        } catch (const RunError&) {
        }
    }
    const int analyses = request_.verify ? 3 : 0;
    const int rebuildsAndChecks = 3 + 3;
    return (request_.dump ? perDirection + analyses : 0) +
           (request_.load ? perDirection + rebuildsAndChecks + analyses : 0);
}

void Engine::DesCarga()
{
    if (DirectionReady(kDump))
        RunDirectionPasses(kDump, &Engine::ProcesoDescarga);
}

void Engine::Carga()
{
    if (!DirectionReady(kLoad))
        return;
    if (!LoadWanted()) {
        loadDeclined_ = true;
        ProcesoOK = false;
        return;
    }
    RunDirectionPasses(kLoad, &Engine::ProcesoCarga);
}

// The checks of a direction's own folders, which the design makes when its
// run begins; false, with ProcesoOK false, when they refuse it.
bool Engine::DirectionReady(const Direction& direction)
{
    if ((request_.*direction.dbFolder).empty()) {
        ShowError(direction.emptyDbFolderMessage, "Sin ruta", kStyleInformation);
        ProcesoOK = false;
        return false;
    }
    if ((request_.*direction.dlcFolder).empty()) {
        ShowError("Debe informar la ruta donde se encuentra la carpeta DLC de su instalación", "Sin ruta",
                  kStyleInformation);
        ProcesoOK = false;
        return false;
    }
    ProcesoOK = true;
    if (DatabasesInUse(direction) || !DumpFoldersReady()) {
        ProcesoOK = false;
        return false;
    }
    return true;
}

void Engine::RunDirectionPasses(const Direction& direction, void (Engine::*pass)())
{
    for (const DatabaseName& database : kDatabases) {
        Contador = 0;
        BaseDatos = database.name;
        window_.SetCaption(Caption::Label5, direction.statusCaption + std::string(database.title) + " ");
        (this->*pass)();
    }

    if (!ProcesoOK)
        window_.ShowMessage(direction.errorsMessage + log_.DetailsNote(), direction.errorsTitle, kStyleInformation);
}

// The command interpreter cannot work in a network folder: it would fall
// back to the Windows folder, and proutil would put its temporary and sort
// files there. Such databases are worked on from the dump-file folder,
// which the checks before the run have made sure is a local one.
std::string Engine::WorkingFolder(const std::string& dbFolder) const
{
    return IsNetworkPath(dbFolder) ? request_.dumpFolder : dbFolder;
}

// A Progress installation's batch file runs its _proutil with the DLC
// variable as it finds it: each command gets its own installation's, so
// that a dump with one version and a load with another never mix.
Engine::Ran Engine::RunCommand(Command command, const std::string& dlcFolder, const Judge& judge, bool failureFailsRun)
{
    const std::string installation = ParentFolder(dlcFolder);
    try {
        if (!installation.empty() && platform_.Look(JoinPath(dlcFolder, kProutilProgram)) == PathKind::File)
            command.environment.push_back({"DLC", installation});
    } catch (const RunError& error) {
        throw CommandNotRun(error.what());
    }
    const auto whileWaiting = [this] { window_.DoEvents(); };
    Ran ran;
    // Only a command that never started is tried again: one that ran, even
    // one that failed, may have loaded records already.
    for (int tried = 1;; ++tried) {
        log_.CommandStarted(command);
        try {
            ran.result = platform_.RunCommand(command, whileWaiting);
            break;
        } catch (const CommandNotStarted& error) {
            log_.CommandNotStarted(error.what(), tried < kStartTries);
            if (tried == kStartTries)
                throw;
            platform_.Pause(kStartRetryPause, whileWaiting);
        }
    }
    ran.verdict = judge(ran.result);
    log_.CommandEnded(ran.result, ran.verdict);
    anyFailed_ = anyFailed_ || (failureFailsRun && !ran.verdict.succeeded);
    window_.ShowProgress(++commandsDone_, commandsTotal_, anyFailed_);
    return ran;
}

// Logged first, so that the log holds the error while its message is shown.
void Engine::ShowError(const std::string& text, const std::string& title, int style)
{
    log_.Error(text);
    window_.ShowMessage(text, title, style);
}

Engine::Ran Engine::RunPassCommand(PassFigures& figures, Command command, const std::string& dlcFolder,
                                   const Judge& judge)
{
    try {
        Ran ran = RunCommand(std::move(command), dlcFolder, judge);
        ++figures.commandsRun;
        if (!ran.verdict.succeeded)
            ++figures.commandsFailed;
        return ran;
    } catch (const CommandNotRun&) {
        ++figures.commandsNotStarted;
        throw;
    } catch (const RunError&) {
        // It started, so it may have done anything before it could no
        // longer be watched.
        ++figures.commandsRun;
        ++figures.commandsFailed;
        throw;
    }
}

void Engine::ReportError(const std::string& text)
{
    ShowError(text, "Vaciallena", kStylePlain);
    MarkRunFailed();
}

void Engine::MarkRunFailed()
{
    ProcesoOK = false;
    anyFailed_ = true;
    window_.ShowProgress(commandsDone_, commandsTotal_, anyFailed_);
}

PassFigures& Engine::BeginPass(const char* pass)
{
    passStart_ = platform_.Now().steady;
    figures_.emplace_back(pass, BaseDatos);
    return figures_.back();
}

void Engine::EndPass()
{
    if (passStart_ && !figures_.empty())
        figures_.back().duration = platform_.Now().steady - *passStart_;
    passStart_.reset();
}
