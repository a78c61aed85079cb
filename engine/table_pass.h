#pragma once

#include <cstddef>
#include <vector>

#include "database_work.h"
#include "failure_report.h"
#include "table_analysis.h"

// A dump or a load of one database: a command for every table of its list
// that runs one, in the list's order. A failed table does not stop the
// pass: the other tables still run and all the failures are told in one
// message at its end. An error of the program itself (no table list, a
// command that cannot be started) ends the pass, and its message says how
// much of the list was left undone.
class TablePass : public DatabaseWork {
  public:
    // A dump whose source was counted just before it keeps that count's
    // report; any other dump deletes the report of the last one first.
    TablePass(RunServices& run, const Direction& direction, const DatabasePlan& plan, bool countedFirst = false);

    std::optional<Step> Next() override;
    void Ended(const StepEnd& end) override;
    // Every table of the list succeeded.
    bool Succeeded() const { return over_ && !stopped_ && failed_.empty(); }
    // The records its dumps said they wrote; 0 when none said.
    long long RecordsWritten() const { return figures_ ? figures_->recordsDumped.value_or(0) : 0; }
    // A dump does not stop at a damaged record: it leaves it out and still
    // says it succeeded. Each table whose dump said how many records it
    // wrote fails when the source's count of it says otherwise.
    void CompareWithCount(const TableAnalysis& source);

  private:
    // True when the pass can begin; otherwise it has been told why not.
    bool Begin();
    void Stop(const std::string& why);
    void Finish();

    RunServices& run_;
    const Direction& direction_;
    const DatabasePlan& plan_;
    PassFigures* figures_ = nullptr;
    std::size_t next_ = 0;
    std::vector<FailedTable> failed_;
    // The tables whose dumps said how many records they wrote.
    struct Written {
        const PlannedTable* table;
        long long records;
    };
    std::vector<Written> written_;
    const bool countedFirst_;
    bool begun_ = false;
    bool over_ = false;
    bool stopped_ = false;
};
