#pragma once

#include <string>
#include <vector>

// A line of a table list that names a table.
struct ListedTable {
    std::string line;  // as read
    std::string name;  // the line without the blanks and tabs around it
    // The transactions table when it is not asked for: not run, no fault.
    bool leftOut = false;
    // Why it runs no command and counts as a failed table: a name that is
    // no table name, or a table the list names again.
    std::string problem;

    bool Runs() const { return !leftOut && problem.empty(); }
};

// The tables a list names, in its order; blank lines name none. proutil's
// names ignore letter case and a table's owner is PUB unless the name says
// otherwise: "gmtrans", "GMTRANS" and "pub.gmtrans" are all the transactions
// table, and "cliente" after "PUB.Cliente" is the same table again.
std::vector<ListedTable> ListedTables(const std::string& listText, bool withTransactions);

// One text for every spelling of one table under those rules: "cliente",
// "CLIENTE" and "PUB.Cliente" all give "pub.cliente". What tells tables
// apart wherever a table is named, in a list or in proutil's reports.
std::string TableKey(const std::string& name);

// The file proutil's dump writes for a table: TABLE.bd for tables of PUB,
// OWNER_TABLE.bd for any other owner, with the letters as the list has them.
std::string DumpFileName(const std::string& name);
