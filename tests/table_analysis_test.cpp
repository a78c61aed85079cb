#include "table_analysis.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "table_list.h"

namespace {

// An area's summary of those rows; its subtotal is theirs unless given.
std::string Block(const std::string& rows, long long subtotal = -1)
{
    if (subtotal < 0) {
        // A row's records stand again as its fragment count, third from its end.
        subtotal = 0;
        std::istringstream lines(rows);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            const std::vector<std::string> fields{std::istream_iterator<std::string>(words), {}};
            if (fields.size() >= 8)
                subtotal += std::stoll(fields[fields.size() - 3]);
        }
    }
    const std::string total = std::to_string(subtotal);
    return "RECORD BLOCK SUMMARY FOR AREA \"Schema Area\" : 6\n"
           "                           -Record Size (B)-        ---Fragments--- Scatter\n"
           "Table            Records    Size   Min   Max  Mean       Count Factor  Factor\n" +
           rows +
           "                 ------------------------------------------------------------\n"
           "Subtotals:         " + total + "  195.6K     6   434   179       " + total + "    1.0     1.2\n";
}

std::string Row(const std::string& table, long long records, const std::string& size = "195.6K")
{
    return table + "  " + std::to_string(records) + "  " + size + "  89  434  179  " + std::to_string(records) +
           "  1.0  1.2\n";
}

// Records of the table named, -1 when the report does not name it.
long long Records(const TableAnalysis& analysis, const std::string& table)
{
    const auto found = analysis.tables.find(TableKey(table));
    return found == analysis.tables.end() ? -1 : found->second.records;
}

TEST(TableAnalysis, ReadsTheRowsOfEveryShapeAndOwner)
{
    const TableAnalysis analysis = ReadTableAnalysis(Block(
        Row("PUB.cliente", 1117) + "PUB.proveedores-de-importacion\n" + "           " + Row("", 25, "848B") +
        Row("audit.registro", 7, "1.2M") + Row("PUB._File", 42, "848.0B") + Row("PUB.vacia", 0, "0.0B")));

    EXPECT_TRUE(analysis.isReport);
    EXPECT_FALSE(analysis.inUse);
    EXPECT_EQ(Records(analysis, "Cliente"), 1117);
    EXPECT_EQ(Records(analysis, "proveedores-de-importacion"), 25);
    EXPECT_EQ(Records(analysis, "AUDIT.registro"), 7);
    EXPECT_EQ(Records(analysis, "vacia"), 0);
    EXPECT_EQ(Records(analysis, "_File"), -1);
    EXPECT_EQ(analysis.tables.size(), 4u);  // no header word, dashed line or subtotal taken for a table
    EXPECT_EQ(analysis.tables.at(TableKey("cliente")).name, "cliente");
    EXPECT_EQ(analysis.tables.at(TableKey("audit.registro")).name, "audit.registro");
}

// Rows of one table in several areas, or of its partitions, add up; rows
// outside an area's summary and the totals count for nothing.
TEST(TableAnalysis, SumsTheRowsOfATable)
{
    const std::string report = Block(Row("PUB.cliente", 10) + Row("PUB.pedido.p2023", 5)) +
                               Block(Row("PUB.CLIENTE", 3) + Row("PUB.pedido.p2024", 4)) + Row("PUB.cliente", 100) +
                               "Totals:  22  1.0K  6  434  179  22  1.0  1.2\n";
    std::string crlf;
    for (char c : report)
        crlf += c == '\n' ? "\r\n" : std::string(1, c);

    const TableAnalysis analysis = ReadTableAnalysis(crlf);
    EXPECT_EQ(Records(analysis, "cliente"), 13);
    EXPECT_EQ(Records(analysis, "pedido"), 9);
    EXPECT_EQ(analysis.tables.size(), 2u);
}

TEST(TableAnalysis, ReadsALongReportWhole)
{
    std::string rows;
    for (int n = 0; n < 10000; ++n)
        rows += Row("PUB.t" + std::to_string(n), n);
    const TableAnalysis analysis = ReadTableAnalysis(Block(rows));
    EXPECT_EQ(analysis.tables.size(), 10000u);
    EXPECT_EQ(Records(analysis, "t9999"), 9999);
}

TEST(TableAnalysis, CountsOfADatabaseInUseAreApproximations)
{
    const TableAnalysis analysis = ReadTableAnalysis(
        "[Warning] database in use - reported statistics are approximations. (2486)\n\n" + Block(Row("PUB.cliente", 3)));
    EXPECT_TRUE(analysis.inUse);
    EXPECT_EQ(Records(analysis, "cliente"), 3);
}

// A refusal, or a report with a row this reader cannot read (here a count
// with a thousands separator), counts no table: its rows might be only
// some of them.
TEST(TableAnalysis, TextThatIsNoWholeReportCountsNothing)
{
    const std::string unreadableRow = Block(Row("PUB.cliente", 3) + "PUB.factura  1,117  195.6K  89  434  179  1,117  1.0  1.2\n", 1120);
    for (const std::string& text : {std::string("** The database korvane is in use in single-user mode. (263)\n"),
                                    std::string(), unreadableRow}) {
        const TableAnalysis analysis = ReadTableAnalysis(text);
        EXPECT_FALSE(analysis.isReport) << text;
        EXPECT_TRUE(analysis.tables.empty()) << text;
    }
}

// 9.1 prints whole-byte sizes and no subtotal: the area's rows end where
// the next section or the output does.
TEST(TableAnalysis, ReadsAnAreaWithoutSubtotals)
{
    const std::string area = "RECORD BLOCK SUMMARY FOR AREA \"Employee\": 7\n"
                             "-------------------------------------------------------\n"
                             "                           -Record Size (B)-   ---Fragments--- Scatter\n"
                             "Table        Records  Size   Min   Max  Mean      Count Factor  Factor\n"
                             "PUB.Benefits      21  848B    39    41    40         21    1.0     2.0\n\n"
                             "PUB.Department-Of-Long-Name\n"
                             "                   7  400B    50    60    57          7    1.0     1.0\n"
                             "  ==========================\n";
    const TableAnalysis analysis = ReadTableAnalysis(area);
    EXPECT_TRUE(analysis.isReport);
    EXPECT_EQ(Records(analysis, "Department-Of-Long-Name"), 7);

    // Each section's next line would leave the area unread were it the area's.
    const std::string nextSections[] = {
        "",
        "INDEX BLOCK SUMMARY FOR AREA \"Employee\": 7\nTable  Index  Fields Levels  Blocks  Size  % Util  Factor\n",
        "DATABASE SUMMARY\nAreas: 1\n", "Totals:  28  1.2K  39  60  45  28  1.0  1.5\nTable analysis done\n",
        Block(Row("PUB.Benefits", 0))};
    for (const std::string& next : nextSections)
        EXPECT_EQ(Records(ReadTableAnalysis(area + next), "Benefits"), 21) << next;

    // So is a report cut off before its Subtotals line: its lines are whole.
    const std::string report = Block(Row("PUB.cliente", 3));
    EXPECT_EQ(Records(ReadTableAnalysis(report.substr(0, report.find("Subtotals:"))), "cliente"), 3);
}

// Where an area prints no subtotal, a line this reader does not understand
// might be a row it missed: the whole report is refused, and says why.
TEST(TableAnalysis, RefusesAReportItCannotWhollyReadAndSaysWhy)
{
    const std::string counted = Block(Row("PUB.cliente", 3));
    const std::string area = "RECORD BLOCK SUMMARY FOR AREA \"Employee\" : 7\n" + Row("PUB.Benefits", 21, "848B");
    const std::string unknown = "una línea del análisis de tablas no se entiende: ";
    const std::pair<std::string, std::string> cases[] = {
        {counted + area + "  PUB.factura  1,117  195.6K  89  434  179  1,117  1.0  1.2 \r\n" + "DATABASE SUMMARY\n",
         unknown + "PUB.factura  1,117  195.6K  89  434  179  1,117  1.0  1.2"},
        {counted + area + "PUB.numbers-never-came\n", unknown + "PUB.numbers-never-came"},
        {counted + Block(Row("PUB.factura", 5), 6), "las filas de un área del análisis de tablas no suman su subtotal"},
        {"** The database korvane is in use in single-user mode. (263)\n", ""}};
    for (const auto& [text, why] : cases) {
        const TableAnalysis analysis = ReadTableAnalysis(text);
        EXPECT_FALSE(analysis.isReport) << text;
        EXPECT_TRUE(analysis.tables.empty()) << text;
        EXPECT_EQ(analysis.unread, why);
    }

    // A subtotal vouches for its rows: a stray line beside them is no matter.
    EXPECT_EQ(Records(ReadTableAnalysis(Block(Row("PUB.cliente", 3) + "Some note\n")), "cliente"), 3);
}

} // namespace
