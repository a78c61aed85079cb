#include "index_rebuild.h"

#include "failure_report.h"
#include "texts.h"

std::optional<Step> IndexRebuild::Next()
{
    if (figures_)
        return std::nullopt;
    const DatabaseName& database = plan_.database;
    run_.ShowStatus(database, texts::IndexStatus(database.title));
    run_.ShowTable(database, "");
    figures_ = &run_.BeginPass(texts::kIndexName, database);
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
        run_.Tell(database, {texts::IndexesNotRebuilt(database.name) + ":\n" +
                                 FailureLines(end.verdict.reason, LastLine(end.result)) + run_.DetailsNote(),
                             texts::kProgramTitle, kStylePlain});
    }
    run_.EndPass(*figures_);
}
