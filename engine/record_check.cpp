// Counting every table's records with proutil's table analysis: the source
// after its dump, the destination before its load (a binary load appends,
// so records already there would end up twice) and after its index
// rebuild, when the two counts must agree table by table.

#include <set>

#include "command_line.h"
#include "directions.h"
#include "engine.h"
#include "failure_report.h"
#include "table_list.h"

namespace {

std::string Records(long long count)
{
    return CountText(count, "registro", "registros");
}

long long RecordsOf(const TableAnalysis& analysis, const std::string& key)
{
    const auto found = analysis.tables.find(key);
    return found == analysis.tables.end() ? 0 : found->second.records;
}

} // namespace

std::string Engine::ReportPath(const char* fileName) const
{
    return JoinPath(JoinPath(request_.dumpFolder, BaseDatos), fileName);
}

void Engine::ShowCountingCaption(const char* what)
{
    Contador = 0;
    for (const DatabaseName& database : kDatabases) {
        if (BaseDatos == database.name)
            window_.SetCaption(Caption::Label5, what + std::string(database.title) + " ");
    }
    window_.SetCaption(Caption::Label4, "");
}

// The analysis's whole output goes to its report file, however long, and
// its counts are read from there; the log keeps its usual bounded copy.
// A failed analysis is no failure of the run: it leaves the records
// uncounted, and why.
Engine::Counted Engine::CountRecords(const std::string& dlcFolder, const std::string& dbFolder,
                                     const std::string& report)
{
    Counted counted;
    TableAnalysis analysis;
    const Judge judge = [&](const CommandResult& result) {
        try {
            analysis = ReadTableAnalysis(platform_.ReadTextFile(report));
        } catch (const RunError& error) {
            return Verdict{false, std::string("no se ha podido leer su salida: ") + error.what()};
        }
        return JudgeTableAnalysis(result, analysis);
    };
    try {
        const Ran ran = RunCommand({TableAnalysisCommand(dlcFolder, dbFolder, BaseDatos), WorkingFolder(dbFolder), {},
                                    report},
                                   dlcFolder, judge, false);
        if (ran.verdict.succeeded)
            counted.analysis = std::move(analysis);
        else
            counted.why = "el análisis de tablas ha fallado: " + ran.verdict.reason;
    } catch (const RunError& error) {
        log_.Error(error.what());
        counted.why = error.what();
    }
    return counted;
}

// After a dump that wholly succeeded. A report that is not right is not
// kept, so that a later load alone never compares with it.
void Engine::CountSourceRecords()
{
    ShowCountingCaption("Contando registros ");
    Counted counted = CountRecords(request_.sourceDlc, request_.sourceFolder, ReportPath(kSourceReport));
    if (!counted.analysis) {
        if (!platform_.RemoveFile(ReportPath(kSourceReport)))
            log_.Error("No se puede borrar el análisis de tablas fallido " + ReportPath(kSourceReport));
        counted.why = "no se han podido contar los registros de origen: " + counted.why;
        unchecked_[BaseDatos] = counted.why;
    }
    sourceCounts_[BaseDatos] = std::move(counted);
}

// The source's counts of this run's dump, or of the dump a load alone
// takes its files from.
Engine::Counted Engine::KeptSourceCounts()
{
    if (const auto counted = sourceCounts_.find(BaseDatos); counted != sourceCounts_.end())
        return counted->second;
    const std::string report = ReportPath(kSourceReport);
    Counted kept;
    try {
        if (platform_.Look(report) != PathKind::File) {
            kept.why = "no se encuentra el análisis de tablas de origen " + report +
                       ", que se hace al descargar con «Comprobar registros» marcado";
            return kept;
        }
        TableAnalysis analysis = ReadTableAnalysis(platform_.ReadTextFile(report));
        if (analysis.isReport && !analysis.inUse)
            kept.analysis = std::move(analysis);
        else
            kept.why = "el fichero " + report + " no es un análisis de tablas válido";
    } catch (const RunError& error) {
        kept.why = error.what();
    }
    return kept;
}

// Before the first load. An analysis that fails is told in the question
// instead of the tables, so that an unusual version of proutil never
// blocks a load the administrator wants.
bool Engine::LoadWanted()
{
    std::string found;
    bool withRecords = false;
    for (const DatabaseName& database : kDatabases) {
        BaseDatos = database.name;
        std::vector<ListedTable> tables;
        try {
            tables = ListedTables(platform_.ReadTextFile(JoinPath(platform_.ProgramFolder(), BaseDatos + ".ttl")),
                                  request_.transactions);
        } catch (const RunError&) {
            // Nothing of this database will be loaded; its pass says why.
            continue;
        }
        ShowCountingCaption("Revisando destino ");
        const Counted counted =
            CountRecords(request_.destinationDlc, request_.destinationFolder, ReportPath(kDestinationReport));
        if (!counted.analysis) {
            found += "\n" + BaseDatos + ": no se ha podido saber si tiene registros: " + counted.why;
            continue;
        }
        std::vector<std::string> full;
        for (const ListedTable& table : tables) {
            if (const long long records = RecordsOf(*counted.analysis, TableKey(table.name));
                table.Runs() && records > 0)
                full.push_back(table.name + ": " + Records(records));
        }
        if (!full.empty()) {
            withRecords = true;
            found += "\n" + BaseDatos + ":" + ShownLines(full, "    ");
        }
    }
    if (found.empty())
        return true;

    const std::string question =
        std::string(withRecords ? "Las bases de datos de destino ya tienen registros en tablas que se van a cargar:"
                                : "No se ha podido comprobar si las bases de datos de destino tienen registros:") +
        "\n" + found + "\n\n" +
        (withRecords ? "La carga añadiría los registros a los que ya hay, que quedarían repetidos."
                     : "Si los tienen, la carga añadiría los registros a los que ya hay, que quedarían repetidos.") +
        " ¿Desea cargar de todas formas?";
    log_.Note("Pregunta: " + question);
    const bool load = window_.ShowMessage(question, "Bases de datos de destino con registros",
                                          kStyleWarningNoFirst) == kAnswerYes;
    log_.Note(load ? "Respuesta: Sí, se carga de todas formas" : "Respuesta: No, no se carga nada");
    return load;
}

// After the index rebuild, every database's tables: a table loaded here
// must hold the source's records, and no other may differ but the
// transactions table left out on purpose. False when any differs.
bool Engine::RecordsMatch()
{
    std::vector<std::string> messages;
    for (const DatabaseName& database : kDatabases) {
        BaseDatos = database.name;
        ShowCountingCaption("Contando registros ");
        CheckFigures& figures = checks_.emplace_back(BaseDatos);
        const Counted source = KeptSourceCounts();
        if (!source.analysis) {
            unchecked_[BaseDatos] = figures.notChecked = source.why;
            continue;
        }
        const Counted destination =
            CountRecords(request_.destinationDlc, request_.destinationFolder, ReportPath(kDestinationReport));
        if (!destination.analysis) {
            unchecked_[BaseDatos] = figures.notChecked = "no se han podido contar los registros de destino: " +
                                                         destination.why;
            continue;
        }

        // By TableKey, the name as the list has it.
        std::map<std::string, std::string> loaded;
        std::set<std::string> leftOut;
        for (const ListedTable& table : listed_[BaseDatos]) {
            if (table.Runs())
                loaded[TableKey(table.name)] = table.name;
            else if (table.leftOut)
                leftOut.insert(TableKey(table.name));
        }
        std::set<std::string> keys;
        for (const auto* tables : {&source.analysis->tables, &destination.analysis->tables}) {
            for (const auto& [key, records] : *tables)
                keys.insert(key);
        }
        for (const auto& [key, table] : loaded)
            keys.insert(key);

        std::vector<std::string> differences;
        for (const std::string& key : keys) {
            const long long before = RecordsOf(*source.analysis, key);
            const long long after = RecordsOf(*destination.analysis, key);
            const auto listedTable = loaded.find(key);
            const auto named = source.analysis->tables.count(key) ? source.analysis->tables.find(key)
                                                                  : destination.analysis->tables.find(key);
            const std::string& name = listedTable != loaded.end() ? listedTable->second : named->second.name;
            if (listedTable == loaded.end() && before > 0) {
                const std::string what = name + ": " + Records(before) + " en el origen";
                if (leftOut.count(key)) {
                    log_.Note("Comprobación " + BaseDatos + ": " + what +
                              "; no se ha copiado porque Procesar Transacciones no está marcado");
                } else {
                    ++figures.notCopied;
                    differences.push_back(what + "; no está en la lista " + BaseDatos + ".ttl, no se ha copiado");
                }
            } else if (before != after) {
                ++figures.different;
                differences.push_back(name + ": " + Records(before) + " en el origen, " + Thousands(after) +
                                      " en el destino");
            } else {
                ++figures.equal;
            }
        }
        if (differences.empty())
            continue;
        std::string logged = "Comprobación " + BaseDatos + ", registros distintos:";
        for (const std::string& difference : differences)
            logged += "\n    " + difference;
        log_.Note(logged);
        window_.ShowMessage("Los registros de la base de datos " + BaseDatos +
                                " no coinciden con los de la base de datos de origen:" + ShownLines(differences, "") +
                                log_.DetailsNote(),
                            "Vaciallena", kStylePlain);
        messages.push_back(BaseDatos);
    }

    if (messages.empty()) {
        if (unchecked_.empty())
            log_.Note("Comprobación de registros: las bases de datos de destino tienen los mismos registros que las "
                      "de origen");
        return true;
    }
    MarkRunFailed();
    std::string text = "Los registros de las bases de datos de destino no coinciden con los de las bases de datos de "
                       "origen.";
    for (const auto& [database, why] : std::exchange(unchecked_, {}))
        text += "\n\nNo se han podido comprobar los registros de " + database + ": " + why;
    window_.ShowMessage(text + log_.DetailsNote(), "Errores de Comprobación", kStyleInformation);
    return false;
}

// What could not be counted or compared, in one message at the end: it is
// no failure, but the administrator must know what was not proven.
void Engine::TellUnchecked()
{
    if (unchecked_.empty())
        return;
    std::string text = "No se han podido comprobar los registros de todas las bases de datos:";
    for (const auto& [database, why] : unchecked_)
        text += "\n" + database + ": " + why;
    log_.Note(text);
    window_.ShowMessage(text + log_.DetailsNote(), "Comprobación de registros", kStyleInformation);
}
