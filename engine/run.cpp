#include "run.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string_view>

#include "failure_report.h"
#include "index_rebuild.h"
#include "request_checks.h"
#include "space_check.h"
#include "survey_questions.h"
#include "table_pass.h"
#include "texts.h"

Run::Run(WindowOps& window, Platform& platform, RunLog& log, RunStatus& status, Request request)
    : window_(window),
      platform_(platform),
      log_(log),
      status_(status),
      request_(std::move(request)),
      statusLines_(window, status.Contador),
      progress_(window, platform),
      runner_(window, platform, log, progress_)
{
}

void Run::Go()
{
    try {
        Steps();
    } catch (const std::exception& error) {
        MarkRunFailed();
        EndPasses();
        Refuse({error.what(), texts::kProgramTitle, kStyleError});
        EndRun(texts::kProgramError);
        Unlock();
    }
}

void Run::Steps()
{
    log_.Begin(request_);
    if (const Refusal refusal = CheckFolders(request_, platform_)) {
        Refuse(*refusal);
        EndRun(texts::kNotDone);
        return;
    }
    // Events are handled while commands run: nothing that could start a
    // second run may stay enabled.
    Lock(true);
    window_.Enable(Control::Timer1, true);
    plan_ = MakeRunPlan(request_, platform_.ProgramFolder(),
                        [this](const std::string& list) { return platform_.ReadTextFile(list); });
    records_.assign(plan_.databases.size(), {});
    told_.assign(plan_.databases.size(), {});
    progress_.Begin(plan_, request_.parallel, request_.verify);

    Findings found;
    const std::string outcome = RunPhases(found);
    // The differences' message names the databases not compared already.
    if (!found.uncheckedTold)
        TellUnchecked();
    EndRun(outcome);
    Unlock();
}

void Run::EndedByUser()
{
    EndPasses();
    if (const std::vector<std::string> running = runner_.Running(); !running.empty()) {
        std::string text = texts::kStillRunning;
        for (const std::string& command : running)
            text += "\n    " + command;
        log_.Note(text);
    }
    log_.End(texts::kEndedByUser, passes_, checks_, phases_, progress_.Estimates());
}

std::string Run::RunPhases(Findings& found)
{
    status_.ProcesoOK = true;
    if (const Direction* refused = RefusedDirection())
        return FailedIn(*refused);
    for (const Phase phase : plan_.phases) {
        if (std::optional<std::string> ended = Walk(phase, found))
            return *ended;
    }
    return Outcome(found);
}

std::optional<std::string> Run::Walk(Phase phase, Findings& found)
{
    switch (phase) {
    case Phase::Survey:
        return SurveyPhase();
    case Phase::Dump:
        DumpPhase();
        return status_.ProcesoOK ? std::nullopt : std::optional<std::string>(FailedIn(kDump));
    case Phase::Load:
        // The dumps take hours, in which a destination may have been started.
        if (request_.dump && !Ready(CheckDirection(request_, kLoad, platform_)))
            return FailedIn(kLoad);
        LoadPhase();
        found.loaded = status_.ProcesoOK;
        return found.loaded ? std::nullopt : std::optional<std::string>(FailedIn(kLoad));
    case Phase::IndexRebuild:
        // The comparison comes whether or not the rebuild succeeded: the
        // records are there either way.
        IndexRebuildPhase();
        found.indexed = status_.ProcesoOK;
        return std::nullopt;
    case Phase::Comparison:
        ComparisonPhase(found);
        return std::nullopt;
    }
    return std::nullopt;
}

std::string Run::Outcome(const Findings& found)
{
    if (!found.loaded)
        return texts::kRunSucceeded;
    if (!found.indexed)
        return found.match ? texts::kIndexesFailed : texts::kIndexesAndCheckFailed;
    if (!found.match)
        return texts::kCheckFailed;
    // proutil cannot read them, so the program cannot carry them.
    log_.Note(texts::kSequences);
    return texts::kRunSucceeded;
}

// Every ticked direction is checked before the first command of any: a
// destination in use found only once the dumps are over would have cost
// the downtime they took.
const Direction* Run::RefusedDirection()
{
    for (const Direction* direction : {&kDump, &kLoad}) {
        if (request_.*direction->ticked && !Ready(CheckDirection(request_, *direction, platform_)))
            return direction;
    }
    if (!Ready(MakeDumpFolders(request_, platform_)))
        return request_.dump ? &kDump : &kLoad;
    return nullptr;
}

bool Run::Ready(const Refusal& refusal)
{
    if (!refusal)
        return true;
    Refuse(*refusal);
    MarkRunFailed();
    return false;
}

std::string Run::FailedIn(const Direction& direction) const
{
    if (&direction == &kLoad)
        return texts::kLoadFailed;
    return request_.load ? texts::kDumpFailedNoLoad : texts::kDumpFailed;
}

// A dump or a load found short of space hours into the night costs the
// downtime: what the run needs to know, and to ask, it learns here.
std::optional<std::string> Run::SurveyPhase()
{
    CountPhase();
    progress_.Weigh(plan_, records_);
    const SpaceVerdict space = CheckSpace(request_, plan_, records_, platform_, log_);
    if (!space.refusal.empty() && !Ready(Message{space.refusal, texts::kNoSpaceTitle, kStyleInformation}))
        return FailedIn(request_.dump ? kDump : kLoad);
    if (std::optional<std::string> ended = Questions())
        return ended;
    if (!Asked(space.shortOn.empty() ? "" : texts::SpaceMayBeShort(space.shortOn), texts::kSpaceQuestionTitle))
        return texts::NothingDone(texts::kSpaceQuestionTitle);
    return std::nullopt;
}

// Each database's source, then its destination: two databases, which side
// by side go beside the other databases' counts.
void Run::CountPhase()
{
    std::vector<DatabaseJob> jobs;
    for (std::size_t i = 0; i < plan_.databases.size(); ++i) {
        const DatabasePlan& database = plan_.databases[i];
        if (!database.listError.empty())
            continue;
        DatabaseRecords& records = records_[i];
        if (!plan_.countsSources && request_.verify)
            records.source = KeptSourceCounts(platform_, database.SourceReport());
        std::vector<std::unique_ptr<DatabaseWork>> counts;
        if (plan_.countsSources)
            counts.push_back(std::make_unique<SourceCount>(Services(), database, records));
        if (plan_.countsDestinations)
            counts.push_back(std::make_unique<DestinationReview>(Services(), database, records));
        if (!counts.empty())
            jobs.push_back({database.database, std::make_unique<WorksInTurn>(std::move(counts))});
    }
    if (jobs.empty())
        return;
    RunPhase(texts::kSurveyName, texts::kCountStatus, std::move(jobs));
}

std::optional<std::string> Run::Questions()
{
    if (plan_.countsDestinations) {
        bool withRecords = false;
        const std::string found = DestinationsWithRecords(plan_, records_, withRecords);
        const std::string matter = found.empty()    ? ""
                                   : withRecords ? texts::DestinationsHoldRecords(found)
                                                 : texts::DestinationsMayHoldRecords(found);
        if (!Asked(matter, texts::kLoadQuestionTitle))
            return texts::NothingDone(texts::kLoadQuestionTitle);
    }
    const std::string unlisted = UnlistedTables(plan_, records_);
    if (!Asked(unlisted.empty() ? "" : texts::UnlistedTablesHoldRecords(unlisted), texts::kUnlistedTablesTitle))
        return texts::NothingDone(texts::kUnlistedTablesTitle);
    return std::nullopt;
}

bool Run::Asked(const std::string& matter, const char* title)
{
    if (matter.empty())
        return true;
    log_.Note(texts::Question(matter));
    const bool yes = window_.ShowMessage(matter, title, kStyleWarningNoFirst) == kAnswerYes;
    log_.Note(yes ? texts::kAnsweredYes : texts::kAnsweredNo);
    if (!yes)
        MarkRunFailed();
    return yes;
}

void Run::DumpPhase()
{
    std::vector<DatabaseJob> jobs;
    for (std::size_t i = 0; i < plan_.databases.size(); ++i) {
        const DatabasePlan& database = plan_.databases[i];
        DatabaseRecords& records = records_[i];
        auto pass = std::make_unique<TablePass>(Services(), kDump, database, records.source.has_value());
        TablePass& dumped = *pass;
        auto check = [this, &dumped, &database, &records]() -> std::unique_ptr<DatabaseWork> {
            CheckDumpWithCount(Services(), database, records, dumped);
            return nullptr;
        };
        jobs.push_back({database.database, std::make_unique<FollowedWork>(std::move(pass), check)});
    }
    RunPhase(kDump.name, kDump.statusCaption, std::move(jobs));
    if (!status_.ProcesoOK)
        window_.ShowMessage(kDump.errorsMessage + log_.DetailsNote(), kDump.errorsTitle, kStyleInformation);
}

void Run::LoadPhase()
{
    std::vector<DatabaseJob> jobs;
    for (const DatabasePlan& database : plan_.databases)
        jobs.push_back({database.database, std::make_unique<TablePass>(Services(), kLoad, database)});
    RunPhase(kLoad.name, kLoad.statusCaption, std::move(jobs));
    if (!status_.ProcesoOK)
        window_.ShowMessage(kLoad.errorsMessage + log_.DetailsNote(), kLoad.errorsTitle, kStyleInformation);
}

void Run::IndexRebuildPhase()
{
    std::vector<DatabaseJob> jobs;
    for (const DatabasePlan& database : plan_.databases)
        jobs.push_back({database.database, std::make_unique<IndexRebuild>(Services(), database)});
    // Each rebuild sorts every key of its database, and newer versions of
    // proutil give one rebuild half of the machine's memory: two at once
    // could run out of it.
    RunPhase(texts::kIndexName, nullptr, std::move(jobs));
}

void Run::ComparisonPhase(Findings& found)
{
    std::vector<DatabaseJob> jobs;
    for (std::size_t i = 0; i < plan_.databases.size(); ++i) {
        const DatabasePlan& database = plan_.databases[i];
        CheckFigures& figures = checks_.emplace_back(database.database.name);
        jobs.push_back(
            {database.database, std::make_unique<DestinationCheck>(Services(), database, records_[i], figures)});
    }
    RunPhase(texts::kCheckName, texts::kCountStatus, std::move(jobs));

    found.match = std::none_of(checks_.begin(), checks_.end(), [](const CheckFigures& figures) {
        return figures.different > 0 || figures.notCopied > 0;
    });
    if (found.match) {
        if (std::all_of(records_.begin(), records_.end(),
                        [](const DatabaseRecords& records) { return records.unchecked.empty(); }))
            log_.Note(texts::kAllRecordsMatch);
        return;
    }
    MarkRunFailed();
    std::string text = texts::kRecordsDiffer;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (!records_[i].unchecked.empty())
            text += texts::NotCheckedParagraph(plan_.databases[i].database.name, records_[i].unchecked);
    }
    window_.ShowMessage(text + log_.DetailsNote(), texts::kCheckErrorsTitle, kStyleInformation);
    found.uncheckedTold = true;
}

void Run::RunPhase(const char* name, const char* together, std::vector<DatabaseJob> jobs)
{
    const bool sideBySide = request_.parallel && together;
    PhaseFigures figures{name, {}, {}};
    std::vector<std::chrono::milliseconds> began(jobs.size());
    std::vector<const DatabaseName*> databases;
    for (const DatabaseJob& job : jobs) {
        databases.push_back(&job.database);
        figures.databases.emplace_back(job.database.name, std::chrono::milliseconds(0));
    }
    const std::chrono::milliseconds start = platform_.Now().steady;
    if (sideBySide)
        statusLines_.BeginTogether(together, databases);
    const WorkEvents events{[&](std::size_t work) {
                                WorkOn(jobs[work].database);
                                began[work] = platform_.Now().steady;
                            },
                            [&](std::size_t work) {
                                figures.databases[work].second = platform_.Now().steady - began[work];
                                if (sideBySide)
                                    statusLines_.DoneTogether(jobs[work].database);
                                // One at a time nothing else runs: the messages need not wait.
                                if (!request_.parallel)
                                    ShowTold(jobs[work].database);
                            }};
    runner_.Run(jobs, sideBySide ? jobs.size() : 1, events);
    if (sideBySide)
        statusLines_.EndTogether();
    figures.duration = platform_.Now().steady - start;
    // A run one database at a time keeps the summary it always had.
    if (!request_.parallel)
        return;
    phases_.push_back(std::move(figures));
    for (const DatabaseJob& job : jobs)
        ShowTold(job.database);
}

void Run::WorkOn(const DatabaseName& database)
{
    status_.BaseDatos = database.name;
}

void Run::ShowTold(const DatabaseName& database)
{
    for (const Message& message : std::exchange(told_[IndexOf(database)], {}))
        window_.ShowMessage(message.text, message.title, message.style);
}

// What could not be counted or compared, in one message at the end: it is
// no failure, but the administrator must know what was not proven.
void Run::TellUnchecked()
{
    std::string text;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (!records_[i].unchecked.empty())
            text += "\n" + std::string(plan_.databases[i].database.name) + ": " + records_[i].unchecked;
    }
    if (text.empty())
        return;
    text = texts::kNotAllChecked + text;
    log_.Note(text);
    window_.ShowMessage(text + log_.DetailsNote(), texts::kUncheckedTitle, kStyleInformation);
}

// A log that could not be written is told while the window is still locked:
// the notice then comes last, after the run's own messages, and the run is
// over for the user only once it has been read.
void Run::EndRun(const std::string& outcome)
{
    log_.End(outcome, passes_, checks_, phases_, progress_.Estimates());
    if (!log_.Writing())
        window_.ShowMessage(log_.FailureNotice(), texts::kProgramTitle, kStyleInformation);
}

// Aceptar is locked first and unlocked last, so that a run can only start
// with everything of the last one usable again.
void Run::Lock(bool locked)
{
    static_assert(kLockedDuringRun[0] == Control::Aceptar);
    if (locked) {
        for (Control control : kLockedDuringRun)
            window_.Enable(control, false);
        if (request_.parallel)
            window_.ShowSideBySide(true);
        return;
    }
    if (request_.parallel)
        window_.ShowSideBySide(false);
    for (std::size_t i = 1; i < std::size(kLockedDuringRun); ++i)
        window_.Enable(kLockedDuringRun[i], true);
    window_.Enable(Control::Aceptar, true);
}

// The status lines are cleared before the timer stops, with no event
// handled between, so that no dot lands on the cleared line.
void Run::Unlock()
{
    window_.SetCaption(Caption::Label5, "");
    window_.SetCaption(Caption::Label4, "");
    Lock(false);
    window_.Enable(Control::Timer1, false);
}

// Logged first, so that the log holds the refusal while its message is shown.
void Run::Refuse(const Message& refusal)
{
    log_.Error(refusal.text);
    window_.ShowMessage(refusal.text, refusal.title, refusal.style);
}

void Run::ShowStatus(const DatabaseName& database, const std::string& caption)
{
    statusLines_.Show(database, caption);
}

void Run::ShowTable(const DatabaseName& database, const std::string& table)
{
    statusLines_.ShowTable(database, table);
}

void Run::MarkRunFailed()
{
    status_.ProcesoOK = false;
    progress_.Failed();
}

void Run::Tell(const DatabaseName& database, Message message)
{
    told_[IndexOf(database)].push_back(std::move(message));
}

PassFigures& Run::BeginPass(const char* pass, const DatabaseName& database)
{
    PassFigures& figures = passes_.emplace_back(pass, database.name);
    figures.start = platform_.Now().steady;
    return figures;
}

void Run::EndPass(PassFigures& figures)
{
    figures.duration = platform_.Now().steady - figures.start;
    figures.ended = true;
}

// A run left in the middle of a command still sums up its passes so far.
void Run::EndPasses()
{
    for (PassFigures& figures : passes_) {
        if (!figures.ended)
            EndPass(figures);
    }
}

std::size_t Run::IndexOf(const DatabaseName& database) const
{
    for (std::size_t i = 0; i < plan_.databases.size(); ++i) {
        if (std::string_view(plan_.databases[i].database.name) == database.name)
            return i;
    }
    throw std::logic_error("not a database of the run");
}
