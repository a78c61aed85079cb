#include "record_count.h"

#include <vector>

#include "failure_report.h"
#include "record_comparison.h"
#include "texts.h"

namespace {

// What the run knows of a database before anything is written, in its log.
void LogCounted(RunLog& log, const DatabasePlan& plan, const char* side, const TableAnalysis& analysis)
{
    long long records = 0;
    long long bytes = 0;
    std::string lines;
    for (const auto& [key, table] : analysis.tables) {
        records += table.records;
        bytes += table.bytes;
        lines += "\n    " + texts::CountedTable(table.name, table.records, table.bytes);
    }
    log.Note(texts::CountedTables(plan.database.name, side, static_cast<long long>(analysis.tables.size()), records,
                                  bytes) +
             lines);
}

void RemoveReport(RunServices& run, const DatabasePlan& plan)
{
    if (!run.System().RemoveFile(plan.SourceReport()))
        run.Log().Error(texts::FailedReportNotRemoved(plan.SourceReport()));
}

} // namespace

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
    if (counted.analysis) {
        LogCounted(run_.Log(), plan_, texts::kSource, *counted.analysis);
    } else {
        RemoveReport(run_, plan_);
        counted.why = texts::SourceNotCounted(counted.why);
        records_.unchecked = counted.why;
    }
    records_.source = std::move(counted);
}

void DestinationReview::Counted(::Counted counted)
{
    if (counted.analysis)
        LogCounted(run_.Log(), plan_, texts::kDestination, *counted.analysis);
    records_.beforeLoad = std::move(counted);
}

void CheckDumpWithCount(RunServices& run, const DatabasePlan& plan, DatabaseRecords& records, TablePass& dump)
{
    if (!records.source || !records.source->analysis)
        return;
    if (!dump.Succeeded()) {
        RemoveReport(run, plan);
        records.source.reset();
        return;
    }
    // What a reader that missed every row would give.
    if (RecordsOfAllTables(*records.source->analysis) == 0 && dump.RecordsWritten() > 0) {
        RemoveReport(run, plan);
        records.source->analysis.reset();
        records.source->why = records.unchecked = texts::SourceNotCounted(texts::NoRecordsCounted(dump.RecordsWritten()));
        return;
    }
    dump.CompareWithCount(*records.source->analysis);
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
