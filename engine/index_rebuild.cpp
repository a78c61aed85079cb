#include "index_rebuild.h"

#include "failure_report.h"

std::optional<Step> IndexRebuild::Next()
{
    if (figures_)
        return std::nullopt;
    const DatabaseName& database = plan_.database;
    run_.ShowStatus(database, "Indexando Indices de " + std::string(database.title));
    run_.ShowTable(database, "");
    figures_ = &run_.BeginPass("Índices", database);
    return Step{plan_.indexRebuild, JudgeIndexRebuild};
}

void IndexRebuild::Ended(const StepEnd& end)
{
    CountCommand(*figures_, end);
    const DatabaseName& database = plan_.database;
    if (end.how != StepEnd::How::Ended) {
        run_.ReportError(database, end.error);
    } else if (!end.verdict.succeeded) {
        run_.MarkRunFailed();
        run_.Tell(database, {"No se han podido reconstruir los índices de la base de datos " + std::string(database.name) +
                                 ":\n" + FailureLines(end.verdict.reason, LastLine(end.result)) + run_.DetailsNote(),
                             "Vaciallena", kStylePlain});
    }
    run_.EndPass(*figures_);
}
