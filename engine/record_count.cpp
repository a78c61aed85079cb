#include "record_count.h"

#include <vector>

#include "failure_report.h"
#include "record_comparison.h"

namespace {

std::string Records(long long count)
{
    return CountText(count, "registro", "registros");
}

// The source's counts of the dump a load alone takes its files from.
Counted KeptSourceCounts(Platform& platform, const std::string& report)
{
    Counted kept;
    try {
        if (platform.Look(report) != PathKind::File) {
            kept.why = "no se encuentra el análisis de tablas de origen " + report +
                       ", que se hace al descargar con «Comprobar registros» marcado";
            return kept;
        }
        TableAnalysis analysis = ReadTableAnalysis(platform.ReadTextFile(report));
        if (analysis.unread.empty() && !analysis.inUse)
            kept.analysis = std::move(analysis);
        else
            kept.why = "el fichero " + report + " no es un análisis de tablas válido" +
                       (analysis.unread.empty() ? "" : ": " + Shown(analysis.unread));
    } catch (const RunError& error) {
        kept.why = error.what();
    }
    return kept;
}

} // namespace

std::optional<Step> CountWork::Next()
{
    if (asked_)
        return std::nullopt;
    asked_ = true;
    run_.ShowStatus(plan_.database, caption_ + std::string(plan_.database.title) + " ");
    run_.ShowTable(plan_.database, "");
    if (!BeforeCount())
        return std::nullopt;
    const auto judge = [this](const CommandResult& result) {
        try {
            analysis_ = ReadTableAnalysis(run_.System().ReadTextFile(planned_.command.outputFile));
        } catch (const RunError& error) {
            return Verdict{false, std::string("no se ha podido leer su salida: ") + error.what()};
        }
        return JudgeTableAnalysis(result, analysis_);
    };
    return Step{planned_, judge, false};
}

void CountWork::Ended(const StepEnd& end)
{
    ::Counted counted;
    if (end.how != StepEnd::How::Ended) {
        run_.Log().Error(end.error);
        counted.why = end.error;
    } else if (end.verdict.succeeded) {
        counted.analysis = std::move(analysis_);
    } else {
        counted.why = "el análisis de tablas ha fallado: " + end.verdict.reason;
    }
    Counted(std::move(counted));
}

void SourceCount::Counted(::Counted counted)
{
    // What a reader that missed every row would give.
    if (counted.analysis && RecordsOfAllTables(*counted.analysis) == 0 && dump_.RecordsWritten() > 0) {
        counted.why = "el análisis de tablas no cuenta ningún registro y la descarga escribió " +
                      Records(dump_.RecordsWritten());
        counted.analysis.reset();
    }
    if (counted.analysis) {
        dump_.CompareWithCount(*counted.analysis);
    } else {
        if (!run_.System().RemoveFile(plan_.SourceReport()))
            run_.Log().Error("No se puede borrar el análisis de tablas fallido " + plan_.SourceReport());
        counted.why = "no se han podido contar los registros de origen: " + counted.why;
        records_.unchecked = counted.why;
    }
    records_.source = std::move(counted);
}

bool DestinationCheck::BeforeCount()
{
    source_ = records_.source ? *records_.source : KeptSourceCounts(run_.System(), plan_.SourceReport());
    if (source_.analysis)
        return true;
    records_.unchecked = figures_.notChecked = source_.why;
    return false;
}

void DestinationCheck::Counted(::Counted destination)
{
    if (!destination.analysis) {
        records_.unchecked = figures_.notChecked =
            "no se han podido contar los registros de destino: " + destination.why;
        return;
    }
    Compare(*destination.analysis);
}

void DestinationCheck::Compare(const TableAnalysis& destination)
{
    using Kind = TableComparison::Kind;
    const std::string database = plan_.database.name;
    std::vector<std::string> differences;
    for (const TableComparison& table : CompareRecords(*source_.analysis, destination, plan_.tables)) {
        const std::string what = table.table + ": " + Records(table.source) + " en el origen";
        if (table.kind == Kind::LeftOut) {
            run_.Log().Note("Comprobación " + database + ": " + what +
                            "; no se ha copiado porque Procesar Transacciones no está marcado");
        } else if (table.kind == Kind::NotCopied) {
            ++figures_.notCopied;
            differences.push_back(what + "; no está en la lista " + database + ".ttl, no se ha copiado");
        } else if (table.kind == Kind::Different) {
            ++figures_.different;
            differences.push_back(what + ", " + Thousands(table.destination) + " en el destino");
        } else {
            ++figures_.equal;
        }
    }
    if (differences.empty())
        return;
    std::string logged = "Comprobación " + database + ", registros distintos:";
    for (const std::string& difference : differences)
        logged += "\n    " + difference;
    run_.Log().Note(logged);
    run_.Tell(plan_.database, {"Los registros de la base de datos " + database +
                                   " no coinciden con los de la base de datos de origen:" +
                                   ShownLines(differences, "") + run_.DetailsNote(),
                               "Vaciallena", kStylePlain});
}
