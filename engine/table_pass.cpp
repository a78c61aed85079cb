#include <vector>

#include "command_line.h"
#include "directions.h"
#include "engine.h"
#include "failure_report.h"
#include "table_list.h"

void Engine::ProcesoDescarga()
{
    RunTablePass(kDump);
}

void Engine::ProcesoCarga()
{
    RunTablePass(kLoad);
}

// A failed table does not stop the pass: the other tables still run and all
// the failures are told in one message at the end. An error of the program
// itself (no table list, a command that cannot be started) ends the pass.
void Engine::RunTablePass(const Direction& direction)
{
    FicheroTablas = JoinPath(platform_.ProgramFolder(), BaseDatos + ".ttl");
    const std::chrono::milliseconds start = platform_.Now().steady;
    PassFigures figures{direction.name, BaseDatos};
    std::vector<FailedTable> failed;
    try {
        const std::vector<ListedTable> tables =
            ListedTables(platform_.ReadTextFile(FicheroTablas), request_.transactions);
        if (tables.empty())
            throw RunError("La lista de tablas " + FicheroTablas + " no contiene ninguna tabla");
        for (const ListedTable& table : tables) {
            NombreTabla = table.line;
            if (table.leftOut)
                continue;
            if (!table.problem.empty()) {
                log_.TableNotRun(table.name, table.problem);
                failed.push_back({table.name, table.problem, {}});
                continue;
            }
            const std::string& dbFolder = request_.*direction.dbFolder;
            const std::string& dlcFolder = request_.*direction.dlcFolder;
            Comando = direction.command(dlcFolder, dbFolder, BaseDatos, table.name, request_.dumpFolder);
            window_.SetCaption(Caption::Label4, "Tabla: " + NombreTabla);
            const Ran ran = RunCommand(Comando, dlcFolder, dbFolder, direction.successNumber);
            ++figures.tablesRun;
            if (const long long records = RecordsDumped(ran.result); records >= 0)
                figures.recordsDumped = figures.recordsDumped.value_or(0) + records;
            if (!ran.verdict.succeeded)
                failed.push_back({table.name, ran.verdict.reason, LastLine(ran.result)});
            window_.DoEvents();
        }
    } catch (const RunError& error) {
        ReportError(error);
    }
    figures.tablesFailed = static_cast<int>(failed.size());
    figures.duration = platform_.Now().steady - start;
    figures_.push_back(figures);
    if (!failed.empty()) {
        ProcesoOK = false;
        window_.ShowMessage(FailedTablesMessage(BaseDatos, failed) + log_.DetailsNote(), "Vaciallena", kStylePlain);
    }
}
