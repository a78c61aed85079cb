#include <algorithm>
#include <vector>

#include "command_line.h"
#include "directions.h"
#include "engine.h"
#include "failure_report.h"
#include "table_list.h"

// A new dump makes the source's counts of the last one wrong: they go
// first, and come again only from this dump, when it wholly succeeded.
void Engine::ProcesoDescarga()
{
    const std::string report = ReportPath(kSourceReport);
    if (!platform_.RemoveFile(report)) {
        ReportError("No se puede borrar el análisis de tablas anterior " + report +
                    ", que ya no corresponde a los ficheros .bd; no se ha descargado la base de datos " + BaseDatos);
        return;
    }
    if (RunTablePass(kDump) && request_.verify)
        CountSourceRecords();
}

void Engine::ProcesoCarga()
{
    RunTablePass(kLoad);
}

// A failed table does not stop the pass: the other tables still run and all
// the failures are told in one message at the end. An error of the program
// itself (no table list, a command that cannot be started) ends the pass,
// and its message says how much of the list was left undone. True when
// every table succeeded.
bool Engine::RunTablePass(const Direction& direction)
{
    FicheroTablas = JoinPath(platform_.ProgramFolder(), BaseDatos + ".ttl");
    PassFigures& figures = BeginPass(direction.name);
    std::vector<FailedTable> failed;
    bool stopped = false;
    try {
        const std::vector<ListedTable>& tables = listed_[BaseDatos] =
            ListedTables(platform_.ReadTextFile(FicheroTablas), request_.transactions);
        if (tables.empty())
            throw RunError("La lista de tablas " + FicheroTablas + " no contiene ninguna tabla");
        for (auto table = tables.begin(); table != tables.end(); ++table) {
            NombreTabla = table->line;
            if (table->leftOut)
                continue;
            if (!table->problem.empty()) {
                log_.TableNotRun(table->name, table->problem);
                ++figures.invalidLines;
                failed.push_back({table->name, table->problem, {}});
                continue;
            }
            const std::string& dbFolder = request_.*direction.dbFolder;
            const std::string& dlcFolder = request_.*direction.dlcFolder;
            Comando = direction.command(dlcFolder, dbFolder, BaseDatos, table->name, request_.dumpFolder);
            window_.SetCaption(Caption::Label4, "Tabla: " + NombreTabla);
            Ran ran;
            try {
                ran = RunPassCommand(figures, {Comando, WorkingFolder(dbFolder), {}, {}}, dlcFolder,
                                     [&direction](const CommandResult& result) {
                                         return JudgeCommand(result, direction.successNumber);
                                     });
            } catch (const RunError& error) {
                figures.tablesUntried = static_cast<int>(
                    std::count_if(table + 1, tables.end(), [](const ListedTable& next) { return !next.leftOut; }));
                throw RunError(error.what() + UntriedNote(figures.tablesUntried, BaseDatos + ".ttl"));
            }
            if (ran.verdict.succeeded) {
                if (const long long records = RecordsDumped(ran.result); records >= 0)
                    figures.recordsDumped = figures.recordsDumped.value_or(0) + records;
            } else {
                failed.push_back({table->name, ran.verdict.reason, LastLine(ran.result)});
            }
            window_.DoEvents();
        }
    } catch (const RunError& error) {
        ReportError(error.what());
        stopped = true;
    }
    EndPass();
    if (!failed.empty()) {
        ProcesoOK = false;
        window_.ShowMessage(FailedTablesMessage(BaseDatos, failed) + log_.DetailsNote(), "Vaciallena", kStylePlain);
    }
    return !stopped && failed.empty();
}
