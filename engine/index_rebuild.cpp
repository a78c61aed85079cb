#include "command_line.h"
#include "directions.h"
#include "engine.h"
#include "failure_report.h"

void Engine::Indexa()
{
    for (const DatabaseName& database : kDatabases) {
        Contador = 0;
        window_.SetCaption(Caption::Label5, "Indexando Indices de " + std::string(database.title));
        BaseDatos = database.name;
        IndexaIndices();
    }
}

// The load leaves the indexes of the loaded database inactive; this rebuilds
// all of them in the database just loaded.
void Engine::IndexaIndices()
{
    Comando = IndexRebuildCommand(window_.Text(Field::Text6), window_.Text(Field::Text2), BaseDatos);
    window_.SetCaption(Caption::Label4, "");
    try {
        const CommandResult result = Run(Comando, kIndexRebuildDone);
        if (!CommandSucceeded(result, kIndexRebuildDone)) {
            ProcesoOK = false;
            window_.ShowMessage("No se han podido reconstruir los índices de la base de datos " + BaseDatos +
                                    ":\n" + FailureDetail(result) + log_.DetailsNote(),
                                "Vaciallena", kStylePlain);
        }
    } catch (const RunError& error) {
        ReportError(error);
    }
}
