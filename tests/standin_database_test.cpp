#include "standin_database.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;
using namespace standin;

namespace {

// Each test works in its own folder whose name has a blank, an ampersand and
// accented letters, the names that break careless path handling on Windows.
class StandinDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string name = "standin ñandú & co " + std::to_string(std::random_device()());
        dir_ = fs::temp_directory_path() / PathFromUtf8(name);
        fs::create_directories(dir_);
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path WriteText(const std::string& name, const std::string& text)
    {
        fs::path path = dir_ / PathFromUtf8(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string ReadText(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir_;
};

Database Sample()
{
    return Database{{
        Table{"cliente",
              {Index{"cliente-id", true}, Index{"cliente-nombre", false}},
              {"1|Ana García", "2|Núñez  |", "", "  3|"}},
        Table{"factura", {}, {}},
    }};
}

const char kSampleText[] =
    "table cliente\n"
    "index cliente-id active\n"
    "index cliente-nombre inactive\n"
    "record 1|Ana García\n"
    "record 2|Núñez  |\n"
    "record \n"
    "record   3|\n"
    "table factura\n";

TEST_F(StandinDatabase, RoundTripKeepsTextAndFormat)
{
    fs::path path = dir_ / PathFromUtf8("könig.db");
    WriteDatabase(path, Sample());
    EXPECT_EQ(ReadText(path), kSampleText);
    EXPECT_EQ(ReadDatabase(path), Sample());
    EXPECT_FALSE(fs::exists(dir_ / PathFromUtf8("könig.db.tmp")));

    std::string crlf;
    for (char c : std::string(kSampleText))
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    EXPECT_EQ(ReadDatabase(WriteText("crlf.db", crlf)), Sample());

    Database db = ReadDatabase(path);
    ASSERT_NE(db.Find("factura"), nullptr);
    EXPECT_EQ(db.Find("factura"), &db.tables[1]);
    EXPECT_EQ(db.Find("nadie"), nullptr);

    EXPECT_EQ(Utf8FromPath(PathFromUtf8("Año & día/x.db")), "Año & día/x.db");
}

TEST_F(StandinDatabase, MalformedFilesAreRejectedWithTheirLine)
{
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"record 1\n", ":1:"},
        {"index i active\n", ":1:"},
        {"table t\nrow 1\n", ":2:"},
        {"table t\n record 1\n", ":2:"},
        {"table t\nindex i\n", ":2:"},
        {"table t\nindex i enabled\n", ":2:"},
        {"table t\n\nindex i active extra\n", ":3:"},
        {"table\n", ":1:"},
        {"table a b\n", ":1:"},
        {"table ../x\n", ":1:"},
        {"table a.b.c\n", ":1:"},
        {"table .b\n", ":1:"},
        {"table t\ntable t\n", ":2:"},
    };
    for (const auto& c : cases) {
        fs::path path = WriteText("bad.db", c.text);
        try {
            ReadDatabase(path);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.line), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(ReadDatabase(dir_ / "missing.db"), std::runtime_error);
}

TEST_F(StandinDatabase, FailedWriteLeavesTheOldFile)
{
    fs::path path = dir_ / "k.db";
    WriteDatabase(path, Sample());

    Database broken = Sample();
    broken.tables[0].records.push_back("line\nbreak");
    EXPECT_THROW(WriteDatabase(path, broken), std::runtime_error);
    broken = Sample();
    broken.tables[1].name = "two words";
    EXPECT_THROW(WriteDatabase(path, broken), std::runtime_error);

    EXPECT_EQ(ReadText(path), kSampleText);
    EXPECT_THROW(WriteDatabase(dir_ / "no such folder" / "k.db", Sample()), std::runtime_error);
}

TEST_F(StandinDatabase, DumpFilesHoldTheirHeaderAndOneTableOfRecords)
{
    fs::path path = dir_ / "cliente.bd";
    const Table source = Sample().tables[0];
    WriteDumpFile(path, DumpFile{"korvane", "Wed May 08 10:15:00 2024", 1, Definition(source), source});
    EXPECT_EQ(ReadText(path).find("index"), std::string::npos);

    DumpFile dump = ReadDumpFile(path);
    EXPECT_EQ(dump.database, "korvane");
    EXPECT_EQ(dump.created, "Wed May 08 10:15:00 2024");
    EXPECT_EQ(dump.tableNumber, 1);
    EXPECT_EQ(dump.definition, Definition(source));
    EXPECT_EQ(dump.table.name, "cliente");
    EXPECT_TRUE(dump.table.indexes.empty());
    EXPECT_EQ(dump.table.records, source.records);

    const std::string header = "from k\ncreated now\nnumber 2\ndefinition 0a1b2c3d\n";
    EXPECT_EQ(ReadDumpFile(WriteText("ok.bd", header + "table a\n")).definition, 0x0a1b2c3du);
    EXPECT_THROW(ReadDumpFile(WriteText("empty.bd", "")), std::runtime_error);
    EXPECT_THROW(ReadDumpFile(WriteText("bare.bd", "table a\n")), std::runtime_error);
    EXPECT_THROW(ReadDumpFile(WriteText("two.bd", header + "table a\ntable b\n")), std::runtime_error);
    EXPECT_THROW(ReadDumpFile(WriteText("idx.bd", header + "table a\nindex i active\n")), std::runtime_error);
    EXPECT_THROW(ReadDumpFile(WriteText("crc.bd", "from k\ncreated now\nnumber 2\ndefinition xyz\ntable a\n")),
                 std::runtime_error);
    EXPECT_THROW(ReadDumpFile(WriteText("zero.bd", "from k\ncreated now\nnumber 0\ndefinition 1\ntable a\n")),
                 std::runtime_error);
    EXPECT_THROW(ReadDatabase(WriteText("db.db", header + "table a\n")), std::runtime_error);
}

// Progress names ignore letter case, and a name without an owner is PUB's.
TEST_F(StandinDatabase, TablesAreNamedAsProgressNamesThem)
{
    Database db{{Table{"Cliente", {}, {}}, Table{"audit.registro", {}, {}}}};
    fs::path path = dir_ / "owners.db";
    WriteDatabase(path, db);
    EXPECT_EQ(ReadDatabase(path), db);
    EXPECT_EQ(db.Find("pub.CLIENTE"), &db.tables[0]);
    EXPECT_EQ(db.Find("AUDIT.Registro"), &db.tables[1]);
    EXPECT_EQ(db.Find("registro"), nullptr);
    EXPECT_TRUE(OwnedBy("audit.registro", "Audit"));
    EXPECT_TRUE(OwnedBy("cliente", "PUB"));
    EXPECT_THROW(ReadDatabase(WriteText("twice.db", "table cliente\ntable PUB.cliente\n")), std::runtime_error);

    EXPECT_EQ(DumpFileName("cliente"), "cliente.bd");
    EXPECT_EQ(DumpFileName("Pub.cliente"), "cliente.bd");
    EXPECT_EQ(DumpFileName("audit.registro"), "audit_registro.bd");

    const Table table{"cliente", {Index{"cliente-id", true}}, {"1|Ana"}};
    EXPECT_EQ(Definition(table), Definition(Table{"PUB.CLIENTE", {Index{"Cliente-Id", false}}, {}}));
    EXPECT_NE(Definition(table), Definition(Table{"cliente", {Index{"cliente-id", true}, Index{"x", true}}, {}}));
    EXPECT_NE(Definition(table), Definition(Table{"audit.cliente", {Index{"cliente-id", true}}, {}}));
}

TEST_F(StandinDatabase, SizesArePrintedAsTheTableAnalysisPrintsThem)
{
    EXPECT_EQ(AnalysisSize(0), "0.0B");
    EXPECT_EQ(AnalysisSize(848), "848.0B");
    EXPECT_EQ(AnalysisSize(1024), "1.0K");
    EXPECT_EQ(AnalysisSize(200294), "195.6K");
    EXPECT_EQ(AnalysisSize(std::uint64_t{3} << 50), "3072.0T");
}

}  // namespace
