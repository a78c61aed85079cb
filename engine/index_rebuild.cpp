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
// all of them in the database just loaded, where its sort files have room.
void Engine::IndexaIndices()
{
    const std::string& dbFolder = request_.destinationFolder;
    const std::string& dlcFolder = request_.destinationDlc;
    Comando = IndexRebuildCommand(dlcFolder, dbFolder, BaseDatos);
    window_.SetCaption(Caption::Label4, "");
    PassFigures& figures = BeginPass("Índices");
    try {
        const Ran ran =
            RunPassCommand(figures, {Comando, WorkingFolder(dbFolder), {}, {}}, dlcFolder, JudgeIndexRebuild);
        if (!ran.verdict.succeeded) {
            ProcesoOK = false;
            window_.ShowMessage("No se han podido reconstruir los índices de la base de datos " + BaseDatos + ":\n" +
                                    FailureLines(ran.verdict.reason, LastLine(ran.result)) + log_.DetailsNote(),
                                "Vaciallena", kStylePlain);
        }
    } catch (const RunError& error) {
        ReportError(error.what());
    }
    EndPass();
}
