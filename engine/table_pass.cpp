#include <vector>

#include "command_line.h"
#include "directions.h"
#include "engine.h"
#include "failure_report.h"
#include "table_list.h"

namespace {

// Dumped and loaded only when "Procesar Transacciones" is ticked.
const std::string kTransactionsTable = "gmtrans";

const std::string kNameCannotPass = "el nombre contiene caracteres que no se pueden pasar a proutil";

} // namespace

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
    std::vector<FailedTable> failed;
    try {
        for (const std::string& line : SplitTableList(platform_.ReadTableList(FicheroTablas))) {
            NombreTabla = line;
            if (IsBlankLine(line))
                continue;
            if (line == kTransactionsTable && window_.Value(CheckBox::Check1) != 1)
                continue;
            if (!CanPassIntact(line)) {
                log_.TableNotRun(line, kNameCannotPass);
                failed.push_back({line, kNameCannotPass});
                continue;
            }
            Comando = direction.command(window_.Text(direction.dlcFolder), window_.Text(direction.dbFolder),
                                        BaseDatos, NombreTabla, window_.Text(Field::Text4));
            window_.SetCaption(Caption::Label4, "Tabla: " + NombreTabla);
            const CommandResult result = Run(Comando, direction.successNumber);
            if (!CommandSucceeded(result, direction.successNumber))
                failed.push_back({NombreTabla, FailureDetail(result)});
            window_.DoEvents();
        }
    } catch (const RunError& error) {
        ReportError(error);
    }
    if (!failed.empty()) {
        ProcesoOK = false;
        window_.ShowMessage(FailedTablesMessage(BaseDatos, failed) + log_.DetailsNote(), "Vaciallena", kStylePlain);
    }
}
