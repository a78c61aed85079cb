#include "record_comparison.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = TableComparison::Kind;

TableAnalysis Report(const std::vector<std::pair<std::string, long long>>& rows)
{
    TableAnalysis analysis;
    for (const auto& [name, records] : rows)
        analysis.tables[TableKey(name)] = {name, records};
    return analysis;
}

// Each row: the list, the source's and the destination's counts, and how
// the table named comes out of the comparison.
TEST(RecordComparison, EveryTableComesOutAsTheRuleSays)
{
    struct Row {
        const char* what;
        std::string list;
        TableAnalysis source;
        TableAnalysis destination;
        std::string table;
        Kind kind;
    };
    const std::vector<Row> rows = {
        {"loaded, equal", "cliente\n", Report({{"cliente", 5}}), Report({{"cliente", 5}}), "cliente", Kind::Equal},
        {"loaded, short", "cliente\n", Report({{"cliente", 5}}), Report({{"cliente", 4}}), "cliente", Kind::Different},
        {"loaded, longer", "cliente\n", Report({{"cliente", 5}}), Report({{"cliente", 10}}), "cliente",
         Kind::Different},
        {"records missing from the list", "cliente\n", Report({{"factura", 3}}), Report({}), "factura",
         Kind::NotCopied},
        {"the transactions table left out on purpose", "gmtrans\n", Report({{"gmtrans", 2}}), Report({}), "gmtrans",
         Kind::LeftOut},
        {"records in the destination only", "cliente\n", Report({}), Report({{"stock", 4}}), "stock",
         Kind::Different},
        {"an owner-qualified table", "audit.registro\n", Report({{"audit.registro", 7}}),
         Report({{"AUDIT.Registro", 7}}), "audit.registro", Kind::Equal},
        {"letter case and the default owner, named as the list has it", "CLIENTE\n", Report({{"PUB.cliente", 5}}),
         Report({{"cliente", 5}}), "CLIENTE", Kind::Equal},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<PlannedTable> planned;
        for (ListedTable& listed : ListedTables(row.list, false))
            planned.push_back({std::move(listed), {}, {}});
        const std::vector<TableComparison> compared = CompareRecords(row.source, row.destination, planned);
        const auto found = std::find_if(compared.begin(), compared.end(),
                                        [&row](const TableComparison& table) { return table.table == row.table; });
        ASSERT_NE(found, compared.end());
        EXPECT_EQ(found->kind, row.kind);
    }
}

} // namespace
