#include "record_count.h"

#include <vector>

#include "failure_report.h"
#include "record_comparison.h"
#include "texts.h"

namespace {

// The source's counts of the dump a load alone takes its files from.
Counted KeptSourceCounts(Platform& platform, const std::string& report)
{
    Counted kept;
    try {
        if (platform.Look(report) != PathKind::File) {
            kept.why = texts::SourceReportMissing(report);
            return kept;
        }
        TableAnalysis analysis = ReadTableAnalysis(platform.ReadTextFile(report));
        if (analysis.unread.empty() && !analysis.inUse)
            kept.analysis = std::move(analysis);
        else
            kept.why = texts::ReportNotValid(report, analysis.unread.empty() ? "" : Shown(analysis.unread));
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
            return Verdict{false, texts::OutputNotRead(error.what())};
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
        counted.why = texts::AnalysisFailed(end.verdict.reason);
    }
    Counted(std::move(counted));
}

void SourceCount::Counted(::Counted counted)
{
    // What a reader that missed every row would give.
    if (counted.analysis && RecordsOfAllTables(*counted.analysis) == 0 && dump_.RecordsWritten() > 0) {
        counted.why = texts::NoRecordsCounted(dump_.RecordsWritten());
        counted.analysis.reset();
    }
    if (counted.analysis) {
        dump_.CompareWithCount(*counted.analysis);
    } else {
        if (!run_.System().RemoveFile(plan_.SourceReport()))
            run_.Log().Error(texts::FailedReportNotRemoved(plan_.SourceReport()));
        counted.why = texts::SourceNotCounted(counted.why);
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
        records_.unchecked = figures_.notChecked = texts::DestinationNotCounted(destination.why);
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
        const std::string what = texts::InSource(table.table, table.source);
        if (table.kind == Kind::LeftOut) {
            run_.Log().Note(texts::LeftOutNote(database, what));
        } else if (table.kind == Kind::NotCopied) {
            ++figures_.notCopied;
            differences.push_back(texts::NotInList(what, database));
        } else if (table.kind == Kind::Different) {
            ++figures_.different;
            differences.push_back(texts::DifferentInDestination(what, table.destination));
        } else {
            ++figures_.equal;
        }
    }
    if (differences.empty())
        return;
    std::string logged = texts::DifferencesHeading(database);
    for (const std::string& difference : differences)
        logged += "\n    " + difference;
    run_.Log().Note(logged);
    run_.Tell(plan_.database,
              {texts::DatabaseRecordsDiffer(database) + ShownLines(differences, "") + run_.DetailsNote(),
               texts::kProgramTitle, kStylePlain});
}
