#pragma once

#include <string>
#include <vector>

#include "run_plan.h"
#include "table_analysis.h"

// The rule that says whether a database's records arrived: its tables'
// records counted in the source after the dump and in the destination after
// the load and the index rebuild.

struct TableComparison {
    enum class Kind {
        Equal,
        // Loaded and holding other records than the source, or holding
        // records in the destination only.
        Different,
        // Records in the source, and no line of the list loaded them.
        NotCopied,
        // Records in the source of the transactions table, left out of the
        // run on purpose: no difference.
        LeftOut,
    };
    Kind kind;
    // As the list names it, or else as the source's (or the destination's)
    // report does.
    std::string table;
    long long source;
    long long destination;
};

// Every table the list or either report names, once, in the order of their
// keys (TableKey). A table a report does not name holds no records.
std::vector<TableComparison> CompareRecords(const TableAnalysis& source, const TableAnalysis& destination,
                                            const std::vector<PlannedTable>& tables);
