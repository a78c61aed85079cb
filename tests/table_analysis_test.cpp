#include "table_analysis.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
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

    EXPECT_EQ(analysis.unread, "");
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

// Rows of one table in several areas, or of its partitions, add up; the
// totals count for nothing of their own.
TEST(TableAnalysis, SumsTheRowsOfATable)
{
    const std::string report = Block(Row("PUB.cliente", 10) + Row("PUB.pedido.p2023", 5)) +
                               Block(Row("PUB.CLIENTE", 3) + Row("PUB.pedido.p2024", 4)) +
                               "Totals:  22  1.0K  6  434  179  22  1.0  1.2\n";
    std::string crlf;
    for (char c : report)
        crlf += c == '\n' ? "\r\n" : std::string(1, c);

    const TableAnalysis analysis = ReadTableAnalysis(crlf);
    EXPECT_EQ(Records(analysis, "cliente"), 13);
    EXPECT_EQ(Records(analysis, "pedido"), 9);
    EXPECT_EQ(analysis.tables.size(), 2u);
}

// The sizes that the space for the dump files and the loads is judged by,
// in every unit the report prints, added up over a table's rows.
TEST(TableAnalysis, TakesEachTablesSizeInBytes)
{
    const TableAnalysis analysis = ReadTableAnalysis(
        Block(Row("PUB.a", 1, "848B") + Row("PUB.b", 1, "195.6K") + Row("PUB.c", 1, "1.5M") +
              Row("PUB.d", 1, "2.0G") + Row("PUB.e.p1", 1, "1.0K") + Row("PUB.e.p2", 1, "512.0B")));
    std::map<std::string, long long> bytes;
    for (const auto& [key, table] : analysis.tables)
        bytes[table.name] = table.bytes;
    const std::map<std::string, long long> expected{
        {"a", 848}, {"b", 200294}, {"c", 1572864}, {"d", 2147483648LL}, {"e", 1536}};
    EXPECT_EQ(bytes, expected);
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
        EXPECT_NE(analysis.unread, "") << text;
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
    EXPECT_EQ(analysis.unread, "");
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
        {counted + Row("PUB.factura", 5) + "Totals:  3  1.0K  6  434  179  3  1.0  1.2\n",
         "las filas del análisis de tablas no suman sus totales (Totals:)"},
        {counted + "Summary for AREA \"Schema Area\": 6\nSubtotals:  4  1.0K  6  434  179  4  1.0  1.2\n",
         "las partes de un área del análisis de tablas no suman el subtotal del área"},
        {Block(Row("PUB.cliente", 3)) + "Totals:  3  1.0K\n", unknown + "Totals:  3  1.0K"},
        {"** The database korvane is in use in single-user mode. (263)\n",
         "no tiene ningún resumen de registros (RECORD BLOCK SUMMARY)"}};
    for (const auto& [text, why] : cases) {
        const TableAnalysis analysis = ReadTableAnalysis(text);
        EXPECT_TRUE(analysis.tables.empty()) << text;
        EXPECT_EQ(analysis.unread, why);
    }

    // A subtotal vouches for its rows: a stray line beside them is no matter.
    EXPECT_EQ(Records(ReadTableAnalysis(Block(Row("PUB.cliente", 3) + "Some note\n")), "cliente"), 3);
}

const char* const kHeaders = "                                 -Record Size (B)-   ---Fragments--- Scatter\n"
                             "Table                   Records    Size   Min   Max  Mean    Count Factor  Factor\n";
const char* const kRule = "                                 --------------------------------------------------\n";

// 11.x: each area's rows in a part of their own, the area's own subtotal,
// partitions, an area without tables, a LOB summary and the totals.
const std::string kNested = std::string("RECORD BLOCK SUMMARY FOR AREA \"Schema Area\": 6\n") +
    "-------------------------------------------------------\n\n"
    "RECORD BLOCK SUMMARY FOR SHARED TABLES\n--------------------------------------------\n\n" + kHeaders +
    "PUB._File                    25    3.2K    95   218   131       25    1.0     1.0\n\n" + kRule +
    "Subtotals:                   25    3.2K    95   218   131       25    1.0     1.0\n\n" + kRule +
    "Summary for AREA \"Schema Area\": 6\n"
    "Subtotals:                   25    3.2K    95   218   131       25    1.0     1.0\n\n"
    "RECORD BLOCK SUMMARY FOR AREA \"Employee\": 7\n-------------------------------------------------------\n\n"
    "RECORD BLOCK SUMMARY FOR SHARED TABLES\n--------------------------------------------\n\n" + kHeaders +
    "PUB.Benefits                 21  848.0B    39    41    40       21    1.0     1.0\n"
    "PUB.Department                7  211.0B    26    35    30        7    1.0     2.0\n"
    "PUB.cust-list.Initial        10  400.0B    40    40    40       10    1.0     1.0\n"
    "PUB.cust-list.list1           5  200.0B    40    40    40        5    1.0     1.0\n"
    "PUB.stock.Initial(Composite)\n"
    "                             12  600.0B    50    50    50       12    1.0     1.0\n\n" + kRule +
    "Subtotals:                   55    2.2K    26    50    40       55    1.0     1.2\n\n" + kRule +
    "Summary for AREA \"Employee\": 7\n"
    "Subtotals:                   55    2.2K    26    50    40       55    1.0     1.2\n\n"
    "RECORD BLOCK SUMMARY FOR AREA \"Info Area\": 8\n-------------------------------------------------------\n\n" +
    kRule + "Summary for AREA \"Info Area\": 8\n"
    "Subtotals:                    0    0.0B     0     0     0        0    0.0     0.0\n\n"
    "LOB SUMMARY FOR AREA \"Employee\": 7\nLOB SUMMARY FOR SHARED TABLES:\n"
    "                         --- LOB Size ---\nTable       LOBs   Size   Min   Max   Mean\n"
    "PUB.Benefits:1\n   Photo:5   400   55.1M  1.4M  8.2M  4.8M\n"
    "Subtotals:  400   55.1M  1.4M  8.2M  4.8M\n\n"
    "Totals:                      80    5.4K    26   218    67       80    1.0     1.1\n\n"
    "INDEX BLOCK SUMMARY FOR AREA \"Employee\": 7\n"
    "PUB.Benefits\n  EmpNo  9  1  1  1  8.0B  0.0  1.0\n";

// Before 10.2B06: one level of rows, a long name alone with its numbers below.
const std::string kOneLevel = Block(Row("PUB._File", 25, "3.2K") + Row("PUB.cliente", 1117)) +
    Block(Row("audit.registro", 7) + "PUB.proveedores-de-importacion\n" + "                 " +
          Row("", 30, "848B")) +
    "Totals:  1179  1.0K  6  434  179  1179  1.0  1.2\n";

std::map<std::string, long long> Counts(const TableAnalysis& analysis)
{
    std::map<std::string, long long> counts;
    for (const auto& [key, table] : analysis.tables)
        counts[table.name] = table.records;
    return counts;
}

TEST(TableAnalysis, ReadsTheNestedAreasOf11)
{
    const TableAnalysis analysis = ReadTableAnalysis(kNested);
    EXPECT_EQ(analysis.unread, "");
    EXPECT_EQ(Counts(analysis), (std::map<std::string, long long>{
                                    {"Benefits", 21}, {"Department", 7}, {"cust-list", 15}, {"stock", 12}}));
}

// A line dropped or a row's records changed: the reader gives the counts it
// gave the whole report, or none and why, never other counts.
TEST(TableAnalysis, AReportWithAnyLineMissingOrMiscountedIsReadRightOrNotAtAll)
{
    for (const std::string& report : {kNested, kOneLevel}) {
        std::vector<std::string> lines;
        std::istringstream stream(report);
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        const auto right = Counts(ReadTableAnalysis(report));
        ASSERT_FALSE(right.empty());
        const auto joined = [&lines](std::size_t skip, const std::string& instead) {
            std::string text;
            for (std::size_t i = 0; i < lines.size(); ++i)
                text += i != skip ? lines[i] + "\n" : instead;
            return text;
        };
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::istringstream words(lines[i]);
            std::string changed;
            bool counted = false;
            for (std::string word; words >> word;) {
                if (!counted && word.find_first_not_of("0123456789") == std::string::npos) {
                    word = std::to_string(std::stoll(word) + 1);
                    counted = true;
                }
                changed += word + " ";
            }
            for (const std::string& text : {joined(i, ""), joined(i, changed + "\n")}) {
                const TableAnalysis analysis = ReadTableAnalysis(text);
                if (analysis.unread.empty())
                    EXPECT_EQ(Counts(analysis), right) << text;
                else
                    EXPECT_TRUE(analysis.tables.empty()) << text;
            }
        }
    }
}

} // namespace
