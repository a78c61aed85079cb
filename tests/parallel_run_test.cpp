#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

// The database a command line works on: korvane, korvane1 or korvane2.
std::string DatabaseOf(const std::string& line)
{
    const auto end = line.find(".db ");
    const auto start = line.find_last_of("\\/", end);
    return line.substr(start + 1, end - start - 1);
}

bool Has(const std::string& line, const char* part)
{
    return line.find(part) != std::string::npos;
}

// The three databases side by side. Every command takes a second, but
// korvane1's list is shorter, so that it is over first.
class ParallelRunTest : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Tick(CheckBox::Check2);
        Tick(CheckBox::Check3);
        Tick(CheckBox::Check5);
        platform.commandTakes = std::chrono::milliseconds(1000);
        platform.textFiles[ListOf("korvane1")] = "cliente\r\n";
    }

    // The most commands of each kind running at once, and whether two ever
    // ran on one database at once or anything ran beside an index rebuild.
    struct Overlap {
        std::map<std::string, int> most;
        bool oneDatabaseTwice = false;
        bool besideRebuild = false;
    };
    Overlap Overlaps() const
    {
        Overlap overlap;
        std::multiset<std::string> running;
        for (const std::string& event : log) {
            const bool start = event.rfind("run ", 0) == 0;
            if (start && Has(event, "-C idxbuild"))
                overlap.besideRebuild = overlap.besideRebuild || !running.empty();
            if (!start && event.rfind("end ", 0) != 0)
                continue;
            const std::string line = event.substr(event.find(' ') + 1);
            if (!start) {
                running.erase(running.find(DatabaseOf(line)));
                continue;
            }
            overlap.oneDatabaseTwice = overlap.oneDatabaseTwice || running.count(DatabaseOf(line)) > 0;
            running.insert(DatabaseOf(line));
            const std::string kind = line.substr(line.find(" -C ") + 4, 4);
            overlap.most[kind] = std::max(overlap.most[kind], static_cast<int>(running.size()));
        }
        return overlap;
    }

    std::size_t Last(const char* part) const
    {
        const auto found = std::find_if(log.rbegin(), log.rend(), [part](const std::string& e) { return Has(e, part); });
        return log.size() - static_cast<std::size_t>(found - log.rbegin()) - 1;
    }
};

TEST_F(ParallelRunTest, TheDatabasesOverlapOneCommandEachAndTheRebuildsOneAtATime)
{
    engine.Aceptar_Click();
    Overlap overlap = Overlaps();
    EXPECT_EQ(overlap.most["dump"], 3);
    EXPECT_EQ(overlap.most["load"], 3);
    EXPECT_FALSE(overlap.oneDatabaseTwice);
    EXPECT_FALSE(overlap.besideRebuild);
    EXPECT_TRUE(Messages().empty()) << Messages().front();
}

TEST_F(ParallelRunTest, NoLoadStartsBeforeEveryDumpAndSourceCountHasEnded)
{
    Tick(CheckBox::Check4);
    engine.Aceptar_Click();
    const std::string sourceEnded = "end " + Native("C:\\korv\\dlc\\bin\\proutil D:\\bd");
    ASSERT_LT(Last(sourceEnded.c_str()), log.size());
    EXPECT_LT(Last(sourceEnded.c_str()), First("-C load"));
}

// Each database's source, then its destination, beside the other databases'.
TEST_F(ParallelRunTest, TheCountsOverlapAndEndBeforeTheFirstDump)
{
    Tick(CheckBox::Check4);
    engine.Aceptar_Click();
    EXPECT_EQ(Overlaps().most["taba"], 3);
    EXPECT_FALSE(Overlaps().oneDatabaseTwice);
    const auto counted = std::count_if(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(First("-C dump")),
                                       [](const std::string& event) { return event.rfind("end ", 0) == 0; });
    EXPECT_EQ(counted, 6);
}

TEST_F(ParallelRunTest, AFailedDumpIsNamedAndNothingIsLoaded)
{
    Answer("korvane1.db -C dump cliente", {2, "** Table cliente not found. (2345)\n"});
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] Ha fallado 1 tabla de la base de datos korvane1:\n"
                              "cliente: terminó con el código 2 y sin el mensaje de proceso completado (6254)\n"
                              "    ** Table cliente not found. (2345)" + Details(),
                              "message 64 [Errores de Descarga] Se han producido errores en el proceso de Descarga "
                              "de las bases de datos" + Details(),
                          }));
    EXPECT_EQ(First("-C load"), log.size());
}

// The same failures found, with the same texts, in the same order: only
// their moment differs.
TEST_F(ParallelRunTest, FailuresAreToldAsOneAtATimeTellsThem)
{
    window.values[CheckBox::Check2] = 0;
    platform.textFiles[ListOf("korvane1")] = "cliente\r\nmal nombre\r\n";
    platform.answer = [this](const std::string& line) -> CommandResult {
        if (Has(line, "korvane.db -C load") && Has(line, "factura.bd"))
            return {2, "** Cannot load factura. (1111)\n"};
        if (Has(line, "korvane2.db -C load") && Has(line, "cliente.bd"))
            return {0, ""};
        return platform.Succeeded(line);
    };
    engine.Aceptar_Click();
    const std::vector<std::string> together = Messages();
    ASSERT_EQ(together.size(), 4u);

    log.clear();
    window.values[CheckBox::Check5] = 0;
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), together);
}

// A box left unanswered at night must not hold the other rebuilds, nor
// count in the phase's time; each database's time is its own rebuild's.
TEST_F(ParallelRunTest, AFailedRebuildsMessageWaitsForTheLastRebuild)
{
    Answer("korvane.db -C idxbuild", {0, "** Cannot rebuild: the database is damaged. (1234)\n"});
    window.onMessage = [this](const std::string&) { platform.elapsed += std::chrono::seconds(5); };
    engine.Aceptar_Click();
    const std::size_t told = First("message 0 [Vaciallena] No se han podido reconstruir los índices");
    ASSERT_LT(told, log.size());
    EXPECT_LT(Last("-C idxbuild"), told);
    EXPECT_NE(Written().find("  Fase Índices: 3,00 s: korvane 1,00 s, korvane1 1,00 s, korvane2 1,00 s"),
              std::string::npos)
        << Written();
}

TEST_F(ParallelRunTest, ACommandThatNeverStartsStopsItsDatabaseOnly)
{
    window.values[CheckBox::Check3] = 0;
    platform.neverStarts = "korvane1.db -C dump cliente";
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().front(), "message 0 [Vaciallena] No se ha podido descargar la tabla cliente de la base de "
                                  "datos korvane1: no se puede ejecutar el intérprete de órdenes");
    EXPECT_EQ(Lines("end ").size(), 4u);
    EXPECT_NE(Written().find("Resultado: fallido en la descarga"), std::string::npos);
    // Only the commands that started are logged as started.
    std::size_t startsLogged = 0;
    for (const std::string& line : WrittenLines())
        startsLogged += line.find("] Empieza la orden: ") != std::string::npos ? 1 : 0;
    EXPECT_EQ(startsLogged, Runs().size());
}

TEST_F(ParallelRunTest, TheStatusLinesNameTheDatabasesStillWorkingAndTheirTables)
{
    window.values[CheckBox::Check3] = 0;
    engine.Aceptar_Click();
    // The window is told, so that it makes room for the lines.
    EXPECT_EQ(Lines("side by side "), (std::vector<std::string>{"side by side 1", "side by side 0"}));
    EXPECT_EQ(Lines("caption Label5 [Procesando Descarga Korvane, Korvane1, Korvane2 ]").size(), 1u);
    EXPECT_EQ(Lines("caption Label5 [Procesando Descarga Korvane, Korvane2 ]").size(), 1u);
    EXPECT_FALSE(Lines("caption Label4 [korvane: cliente  korvane1: cliente  korvane2: cliente]").empty());
}

// Each command's entry is written whole once it has ended, naming its
// database and when it started and ended; the summary adds each phase.
TEST_F(ParallelRunTest, TheLogSaysWhichDatabaseEachCommandBelongsTo)
{
    window.values[CheckBox::Check3] = 0;
    engine.Aceptar_Click();
    EXPECT_NE(Written().find(WithLogLineEnds("11:44:35  [korvane1] Orden: " +
                                             Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\korvane1.db -C dump cliente "
                                                    "E:\\vol\\korvane1") +
                                             "\n  Carpeta de trabajo: " + Native("D:\\bd") +
                                             "\n  DLC: el del sistema\n  Inicio: 2026-12-08 11:44:35  Fin: "
                                             "2026-12-08 11:44:36\n")),
              std::string::npos)
        << Written();
    EXPECT_NE(Written().find("  Fase Descarga: 2,00 s: korvane 2,00 s, korvane1 1,00 s, korvane2 2,00 s"),
              std::string::npos);
}

} // namespace
