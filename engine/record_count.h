#pragma once

#include <optional>
#include <string>
#include <utility>

#include "database_work.h"
#include "table_analysis.h"
#include "table_pass.h"
#include "texts.h"

// Counting every table's records with proutil's table analysis: the source
// and the destination before anything is written (a binary load appends,
// so records already there would end up twice), and the destination again
// after its index rebuild, when the two counts must agree table by table.
// A count that fails is no failure of the run: it leaves the records
// unproven, and why.

// The records of a database's tables, or why they could not be counted.
struct Counted {
    std::optional<TableAnalysis> analysis;
    std::string why;
};

// What a run learns of a database's records.
struct DatabaseRecords {
    // Counted before this run's dump of it, or kept by the dump that a load
    // alone takes its files from; nothing when the records are not checked.
    std::optional<Counted> source;
    // Counted before the first dump or load.
    Counted beforeLoad;
    // Why its records were not compared, told at the end of the run; empty
    // while there is nothing to tell.
    std::string unchecked;
};

// One table analysis of a database, under a status caption of its own.
// Its whole output goes to its report file, however long, and its counts
// are read from there; the log keeps its usual bounded copy.
class CountWork : public DatabaseWork {
  public:
    // caption is followed by the database's title and a blank.
    CountWork(RunServices& run, const DatabasePlan& plan, const PlannedCommand& planned, const char* caption)
        : run_(run), plan_(plan), planned_(planned), caption_(caption)
    {
    }

    std::optional<Step> Next() override;
    void Ended(const StepEnd& end) override;

  protected:
    // Whether the count is to run, once the status lines show it.
    virtual bool BeforeCount() { return true; }
    virtual void Counted(::Counted counted) = 0;

    RunServices& run_;
    const DatabasePlan& plan_;

  private:
    const PlannedCommand& planned_;
    const char* caption_;
    TableAnalysis analysis_;
    bool asked_ = false;
};

// Before the dump, kept beside its dump files. A report that is not right
// is not kept, so that a later load alone never compares with it; one that
// is right is what each table's dump must write.
class SourceCount : public CountWork {
  public:
    SourceCount(RunServices& run, const DatabasePlan& plan, DatabaseRecords& records)
        : CountWork(run, plan, plan.sourceCount, texts::kCountStatus), records_(records)
    {
    }

  private:
    void Counted(::Counted counted) override;

    DatabaseRecords& records_;
};

// Before anything is written: the records the destination already holds.
class DestinationReview : public CountWork {
  public:
    DestinationReview(RunServices& run, const DatabasePlan& plan, DatabaseRecords& records)
        : CountWork(run, plan, plan.destinationCount, texts::kReviewStatus), records_(records)
    {
    }

  private:
    void Counted(::Counted counted) override;

    DatabaseRecords& records_;
};

// Once the dump is over, against the count before it: a dump that did not
// wholly succeed keeps no report, and one whose tables wrote other records
// than their counts fails them.
void CheckDumpWithCount(RunServices& run, const DatabasePlan& plan, DatabaseRecords& records, TablePass& dump);

// The source's counts of the dump a load alone takes its files from.
Counted KeptSourceCounts(Platform& platform, const std::string& report);

// After the index rebuild: the destination's records counted again and
// compared, table by table, with the source's, this run's or those its
// dump kept. Differences are logged and told.
class DestinationCheck : public CountWork {
  public:
    DestinationCheck(RunServices& run, const DatabasePlan& plan, DatabaseRecords& records, CheckFigures& figures)
        : CountWork(run, plan, plan.destinationCount, texts::kCountStatus), records_(records), figures_(figures)
    {
    }

  private:
    bool BeforeCount() override;
    void Counted(::Counted counted) override;
    void Compare(const TableAnalysis& destination);

    DatabaseRecords& records_;
    CheckFigures& figures_;
    ::Counted source_;
};
