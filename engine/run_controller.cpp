#include <vector>

#include "command_line.h"
#include "directions.h"
#include "engine.h"
#include "failure_report.h"

const Direction kDump = {
    Field::Text1,
    Field::Text5,
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
    Field::Text2,
    Field::Text6,
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

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

Engine::Engine(WindowOps& window, Platform& platform) : window_(window), platform_(platform), log_(platform) {}

void Engine::Aceptar_Click()
{
    const bool dump = window_.Value(CheckBox::Check2) == 1;
    const bool load = window_.Value(CheckBox::Check3) == 1;
    if (window_.Value(CheckBox::Check2) == 0 && window_.Value(CheckBox::Check3) == 0) {
        window_.ShowMessage("Seleccione la acción a realizar", "Seleccione Acción", kStyleInformation);
        return;
    }
    if (IsBlank(window_.Text(Field::Text4))) {
        window_.ShowMessage("Tiene que informar una ruta de Origen/Destino para los ficheros .bd",
                            "Informar ruta ficheros .bd", kStyleInformation);
        return;
    }
    log_.Begin(window_);
    if (!FoldersPassIntact(dump, load)) {
        EndRun("no realizado, hay una ruta no válida");
        return;
    }

    // Events are handled while commands run: nothing that could start a
    // second run may stay enabled.
    window_.Enable(Control::Aceptar, false);
    window_.Enable(Control::Frame4, false);
    window_.Enable(Control::Frame5, false);
    window_.Enable(Control::Frame6, false);
    window_.Enable(Control::Timer1, true);

    EndRun(RunPasses(dump, load));
    Unlock();
}

// Returns the run's outcome for the end of its log.
std::string Engine::RunPasses(bool dump, bool load)
{
    ProcesoOK = true;
    if (dump) {
        DesCarga();
        if (!ProcesoOK)
            return load ? "fallido en la descarga, no se ha hecho la carga" : "fallido en la descarga";
    }
    if (load) {
        Carga();
        if (!ProcesoOK)
            return "fallido en la carga, no se han reconstruido los índices";
        Indexa();
        if (!ProcesoOK)
            return "fallido en la reconstrucción de los índices";
    }
    return "correcto";
}

// A log that could not be written is told while the window is still locked:
// the notice then comes last, after the run's own messages, and the run is
// over for the user only once it has been read.
void Engine::EndRun(const std::string& outcome)
{
    log_.End(outcome);
    if (!log_.Writing())
        window_.ShowMessage(log_.FailureNotice(), "Vaciallena", kStyleInformation);
}

// Checked before anything runs, so that a run never stops half-way over a
// folder that cannot reach proutil unchanged.
bool Engine::FoldersPassIntact(bool dump, bool load)
{
    std::vector<Field> fields;
    if (dump)
        fields.insert(fields.end(), {Field::Text1, Field::Text5});
    if (load)
        fields.insert(fields.end(), {Field::Text2, Field::Text6});
    fields.push_back(Field::Text4);
    for (Field field : fields) {
        const std::string folder = window_.Text(field);
        if (!CanPassIntact(folder)) {
            ShowError("La ruta " + folder +
                          " contiene caracteres que no se pueden pasar a proutil"
                          " (comillas, % o caracteres de control). Cámbiela y reinténtelo",
                      "Ruta no válida", kStyleInformation);
            return false;
        }
    }
    return true;
}

void Engine::Unlock()
{
    window_.SetCaption(Caption::Label5, "");
    window_.SetCaption(Caption::Label4, "");
    window_.Enable(Control::Frame4, true);
    window_.Enable(Control::Frame5, true);
    window_.Enable(Control::Frame6, true);
    window_.Enable(Control::Aceptar, true);
    window_.Enable(Control::Timer1, false);
}

void Engine::DesCarga()
{
    RunDirection(kDump, &Engine::ProcesoDescarga);
}

void Engine::Carga()
{
    RunDirection(kLoad, &Engine::ProcesoCarga);
}

void Engine::RunDirection(const Direction& direction, void (Engine::*pass)())
{
    const std::string dbFolder = window_.Text(direction.dbFolder);
    if (IsBlank(dbFolder)) {
        ShowError(direction.emptyDbFolderMessage, "Sin ruta", kStyleInformation);
        ProcesoOK = false;
        return;
    }
    if (IsBlank(window_.Text(direction.dlcFolder))) {
        ShowError("Debe informar la ruta donde se encuentra la carpeta DLC de su instalación", "Sin ruta",
                  kStyleInformation);
        ProcesoOK = false;
        return;
    }
    ProcesoOK = true;

    if (DatabasesInUse(dbFolder)) {
        ProcesoOK = false;
        ShowError(direction.inUseMessage + dbFolder + direction.inUseMessageEnd, direction.inUseTitle,
                  kStyleInformation);
        return;
    }

    // A folder that already exists is what a second run finds; one that
    // cannot be created makes every command of its pass fail, which the pass
    // reports.
    const std::string dumpFolder = window_.Text(Field::Text4);
    for (const DatabaseName& database : kDatabases)
        platform_.CreateFolder(JoinPath(dumpFolder, database.name));

    for (const DatabaseName& database : kDatabases) {
        Contador = 0;
        BaseDatos = database.name;
        window_.SetCaption(Caption::Label5, direction.statusCaption + std::string(database.title) + " ");
        (this->*pass)();
    }

    if (!ProcesoOK)
        window_.ShowMessage(direction.errorsMessage + log_.DetailsNote(), direction.errorsTitle, kStyleInformation);
}

// A folder whose lock files cannot even be looked for counts as in use: the
// safe answer when a database's state is unknown.
bool Engine::DatabasesInUse(const std::string& folder)
{
    for (const DatabaseName& database : kDatabases) {
        try {
            if (platform_.FileExists(JoinPath(folder, std::string(database.name) + ".lk")))
                return true;
        } catch (const RunError&) {
            return true;
        }
    }
    return false;
}

CommandResult Engine::Run(const std::string& line, const char* successNumber)
{
    log_.CommandStarted(line);
    const CommandResult result = platform_.RunCommand(line, [this] { window_.DoEvents(); });
    log_.CommandEnded(result, successNumber);
    return result;
}

// Logged first, so that the log holds the error while its message is shown.
void Engine::ShowError(const std::string& text, const std::string& title, int style)
{
    log_.Error(text);
    window_.ShowMessage(text, title, style);
}

void Engine::ReportError(const RunError& error)
{
    ShowError(error.what(), "Vaciallena", kStylePlain);
    ProcesoOK = false;
}
