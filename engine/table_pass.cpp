#include "table_pass.h"

#include <algorithm>

#include "texts.h"


TablePass::TablePass(RunServices& run, const Direction& direction, const DatabasePlan& plan, bool countedFirst)
    : run_(run), direction_(direction), plan_(plan), countedFirst_(countedFirst)
{
}

// A new dump makes the source's counts of the last one wrong: they go
// first, unless this run counted the source just before, and stay only
// when this dump wholly succeeds.
bool TablePass::Begin()
{
    const DatabaseName& database = plan_.database;
    run_.ShowStatus(database, direction_.statusCaption + std::string(database.title) + " ");
    if (&direction_ == &kDump && !countedFirst_ && !run_.System().RemoveFile(plan_.SourceReport())) {
        run_.ReportError(database, texts::OldReportNotRemoved(plan_.SourceReport(), database.name));
        stopped_ = over_ = true;
        return false;
    }
    figures_ = &run_.BeginPass(direction_.name, database);
    if (!plan_.listError.empty()) {
        Stop(plan_.listError);
        return false;
    }
    if (plan_.tables.empty()) {
        Stop(texts::EmptyList(plan_.list));
        return false;
    }
    return true;
}

std::optional<Step> TablePass::Next()
{
    if (!begun_) {
        begun_ = true;
        if (!Begin()) {
            if (figures_)
                Finish();
            return std::nullopt;
        }
    }
    while (!over_ && next_ < plan_.tables.size()) {
        const PlannedTable& table = plan_.tables[next_++];
        if (table.listed.leftOut)
            continue;
        if (!table.listed.problem.empty()) {
            run_.Log().TableNotRun(table.listed.name, table.listed.problem);
            ++figures_->invalidLines;
            failed_.push_back({table.listed.name, table.listed.problem, {}});
            continue;
        }
        run_.ShowTable(plan_.database, table.listed.line);
        const char* successNumber = direction_.successNumber;
        return Step{&direction_ == &kDump ? table.dump : table.load,
                    [successNumber](const CommandResult& result) { return JudgeCommand(result, successNumber); }};
    }
    if (!over_)
        Finish();
    return std::nullopt;
}

void TablePass::Ended(const StepEnd& end)
{
    CountCommand(*figures_, end);
    const PlannedTable& table = plan_.tables[next_ - 1];
    if (end.how != StepEnd::How::Ended) {
        figures_->tablesUntried = static_cast<int>(
            std::count_if(plan_.tables.begin() + static_cast<std::ptrdiff_t>(next_), plan_.tables.end(),
                          [](const PlannedTable& later) { return !later.listed.leftOut; }));
        Stop(end.error + UntriedNote(figures_->tablesUntried, std::string(plan_.database.name) + ".ttl"));
        Finish();
        return;
    }
    if (end.verdict.succeeded) {
        if (const long long records = RecordsDumped(end.result); records >= 0) {
            figures_->recordsDumped = figures_->recordsDumped.value_or(0) + records;
            written_.push_back({&table, records});
        }
    } else {
        failed_.push_back({table.listed.name, end.verdict.reason, LastLine(end.result)});
    }
    run_.DoEvents();
}

void TablePass::Stop(const std::string& why)
{
    run_.ReportError(plan_.database, why);
    stopped_ = true;
}

void TablePass::Finish()
{
    over_ = true;
    run_.EndPass(*figures_);
    if (failed_.empty())
        return;
    run_.MarkRunFailed();
    run_.Tell(plan_.database,
              {FailedTablesMessage(plan_.database.name, failed_) + run_.DetailsNote(), texts::kProgramTitle,
               kStylePlain});
}

void TablePass::CompareWithCount(const TableAnalysis& source)
{
    std::vector<FailedTable> failed;
    for (const Written& written : written_) {
        const long long counted = RecordsOf(source, written.table->listed.name);
        if (written.records == counted)
            continue;
        failed.push_back({written.table->listed.name, texts::DumpedFewer(written.records, counted), {}});
        ++figures_->commandsFailed;
        *figures_->recordsDumped -= written.records;
    }
    if (failed.empty())
        return;
    const std::string message = FailedTablesMessage(plan_.database.name, failed);
    run_.Log().Error(message);
    run_.MarkRunFailed();
    run_.Tell(plan_.database, {message + run_.DetailsNote(), texts::kProgramTitle, kStylePlain});
}
