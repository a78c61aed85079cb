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
    // Its records' size as the report prints it, to about a tenth of its unit.
    long long bytes = 0;
};

struct TableAnalysis {
    // The database was in use (2486): the counts are approximations.
    bool inUse = false;
    // By TableKey (table_list.h), so that a list's line finds its table. A
    // table the report does not name holds no records. System tables (_File
    // and the like) are left out. Empty when the report was not read whole.
    std::map<std::string, TableRecords> tables;
    // Why the report was not read whole, and no table was counted; whole,
    // for the caller to cut for display. Empty when it was read whole: every
    // subtotal and total it prints adds up to the rows read, and where
    // nothing vouches for a part of it, each line of that part is understood.
    std::string unread;
};

// Takes the rows of every record block summary: one level of rows under
// each area, or 11.x's parts under it ("RECORD BLOCK SUMMARY FOR SHARED
// TABLES") with the area's own "Summary for AREA" subtotal; a long name
// alone on its line with its numbers on the next; 9.1's areas without
// subtotals, which end where the next section or the output does. LOB
// summaries count LOBs, not records, and are passed over. Lines end in LF
// or CR LF.
TableAnalysis ReadTableAnalysis(std::string_view report);

// The records of the table of that name (any spelling: TableKey); 0 for a
// table the report does not name.
long long RecordsOf(const TableAnalysis& analysis, const std::string& table);

// The size of the table of that name, as RecordsOf finds it; 0 for a table
// the report does not name.
long long BytesOf(const TableAnalysis& analysis, const std::string& table);

// The records of every table the report counted, system tables left out,
// and their size.
long long RecordsOfAllTables(const TableAnalysis& analysis);
long long BytesOfAllTables(const TableAnalysis& analysis);
