#pragma once

#include <map>
#include <string>
#include <string_view>

// Reading the records of each table from proutil's table analysis,
// "proutil DB -C tabanalys", to compare a database before and after a load.

struct TableRecords {
    // As a message shows it: "cliente" for PUB.cliente, "audit.registro" for
    // a table of another owner.
    std::string name;
    long long records = 0;  // over all its rows: areas, partitions
};

struct TableAnalysis {
    // At least one area's record block summary was read whole, and every one
    // was: its rows add up to its subtotal, or, where it prints none, each of
    // its lines is understood.
    bool isReport = false;
    // The database was in use (2486): the counts are approximations.
    bool inUse = false;
    // By TableKey (table_list.h), so that a list's line finds its table. A
    // table the report does not name holds no records. System tables (_File
    // and the like) are left out.
    std::map<std::string, TableRecords> tables;
    // Why the report could not be read, and no table was counted; whole, for
    // the caller to cut for display. Empty when it was read or when the
    // output holds no record block at all.
    std::string unread;
};

// Takes the rows of every record block summary, in the one-line shape and
// in the older one where a long name stands alone, its numbers on the next
// line. A summary ends at its Subtotals line or, where it prints none (as
// 9.1 does), where the next section starts ("INDEX BLOCK SUMMARY ...",
// "Totals:"...) or the output does. Lines end in LF or CR LF.
TableAnalysis ReadTableAnalysis(std::string_view report);

// The records of the table of that name (any spelling: TableKey); 0 for a
// table the report does not name.
long long RecordsOf(const TableAnalysis& analysis, const std::string& table);
