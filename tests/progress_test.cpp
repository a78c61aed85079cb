#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "texts.h"
#include "time_estimate.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using Kind = CommandKind;

struct Measure {
    Kind kind;
    long long bytes;
    milliseconds took;
};

// Dumps take 1 s to start and 1 ms a byte; loads 1 s and 2 ms a byte.
const std::vector<Measure> kDumps = {{Kind::Dump, 1000, milliseconds(2000)}, {Kind::Dump, 3000, milliseconds(4000)}};
const std::vector<Measure> kDumpsAndLoads = {kDumps[0], kDumps[1], {Kind::Load, 1000, milliseconds(3000)},
                                             {Kind::Load, 3000, milliseconds(7000)}};

// A command of the phase after the survey, of database 0, one at a time.
WorkLeft Work(Kind kind, long long bytes, std::size_t database = 0, bool sideBySide = false, int phase = 1)
{
    return {kind, bytes, phase, database, sideBySide, milliseconds(0)};
}

TEST(TimeEstimate, FromTheRatesOfEachKindMeasured)
{
    WorkLeft running = Work(Kind::Dump, 3000);
    running.running = milliseconds(1000);
    const struct {
        const char* name;
        std::vector<Measure> measured;
        std::vector<WorkLeft> left;
        std::optional<seconds> expected;
        bool approximate;
    } rows[] = {
        {"each kind its own rate", kDumpsAndLoads, {Work(Kind::Dump, 2000), Work(Kind::Load, 2000, 0, false, 2)},
         seconds(8), false},
        {"a kind not run yet borrows, at what a load costs beside a dump", kDumps, {Work(Kind::Load, 2000)},
         seconds(5), true},
        {"one size alone takes the others' start", {kDumps[0], kDumps[1], {Kind::Load, 2000, milliseconds(5000)}},
         {Work(Kind::Load, 4000)}, seconds(9), false},
        {"a running command counts what it has left", kDumps, {running}, seconds(3), false},
        {"side by side, the database with the most left", kDumps,
         {Work(Kind::Dump, 2000, 0, true), Work(Kind::Dump, 4000, 1, true), Work(Kind::Dump, 1000, 1, true)},
         seconds(7), false},
        {"one at a time, everything added up", kDumps,
         {Work(Kind::Dump, 2000, 0), Work(Kind::Dump, 4000, 1), Work(Kind::Dump, 1000, 1)}, seconds(10), false},
        {"nothing measured", {}, {Work(Kind::Dump, 2000)}, std::nullopt, false},
    };
    for (const auto& row : rows) {
        MeasuredRates rates;
        for (const Measure& measure : row.measured)
            rates.Measured(measure.kind, measure.bytes, measure.took);
        const Estimate estimate = EstimateLeft(rates, row.left);
        EXPECT_EQ(estimate.left, row.expected) << row.name;
        EXPECT_EQ(estimate.approximate, row.approximate) << row.name;
    }
}

TEST(TimeEstimate, TheTextBesideTheBar)
{
    EXPECT_EQ(texts::TimeLeft({0, 1, false, false, seconds(600), false}), "");
    const struct {
        std::optional<seconds> left;
        bool approximate;
        const char* text;
    } rows[] = {
        {std::nullopt, false, "Calculando el tiempo que queda…"},
        {seconds(59), false, "Queda menos de un minuto"},
        {seconds(59), true, "Queda menos de un minuto, aproximadamente"},
        {seconds(60), false, "Queda un minuto"},
        {seconds(90), false, "Quedan unos 2 minutos"},
        {seconds(25 * 60), true, "Quedan aproximadamente 25 minutos"},
        {seconds(59 * 60 + 40), false, "Queda 1 hora"},
        {seconds(70 * 60), false, "Queda 1 hora y 10 minutos"},
        {seconds(125 * 60), false, "Quedan 2 horas y 5 minutos"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(texts::TimeLeft({0, 1, false, true, row.left, row.approximate}), row.text);
}

class ProgressTest : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Tick(CheckBox::Check2);
        Tick(CheckBox::Check4);
        platform.bytesARecord = 100;
    }
};

TEST_F(ProgressTest, TheBarFillsByTheBytesEachCommandGoesThrough)
{
    platform.held[Native("D:\\bd\\korvane.db")]["cliente"] = 1000;
    // What the bar held as each command began.
    std::map<std::string, long long> doneBefore;
    platform.takes = [this, &doneBefore](const std::string& line) {
        doneBefore[line] = window.progress.back().done;
        return milliseconds(0);
    };
    engine.Aceptar_Click();
    const auto dump = [](const char* database, const char* table) {
        return Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\") + database + ".db -C dump " + table + " " +
               Native("E:\\vol\\") + database;
    };
    const long long large = doneBefore.at(dump("korvane", "factura")) - doneBefore.at(dump("korvane", "cliente"));
    const long long small = doneBefore.at(dump("korvane1", "cliente")) - doneBefore.at(dump("korvane", "factura"));
    EXPECT_GT(large, small);
}

TEST_F(ProgressTest, BeforeTheFirstCountEndsTheTimeLeftIsBeingWorkedOut)
{
    engine.Aceptar_Click();
    EXPECT_TRUE(window.progress.front().weighed && !window.progress.front().left);
}

TEST_F(ProgressTest, TheTimeLeftIsShownAgainWhileACommandRuns)
{
    platform.commandTakes = std::chrono::seconds(20);
    engine.Aceptar_Click();
    const auto again = std::adjacent_find(window.progress.begin(), window.progress.end(),
                                          [](const RunProgress& before, const RunProgress& after) {
                                              return before.weighed && after.done == before.done &&
                                                     after.left < before.left;
                                          });
    EXPECT_NE(again, window.progress.end());
}

TEST_F(ProgressTest, TheLogGivesEachCommandsBytesAndTheEstimateAtEachShare)
{
    platform.commandTakes = std::chrono::seconds(2);
    engine.Aceptar_Click();
    const std::string log = Written();
    EXPECT_NE(log.find("  Datos: 200 bytes, 100 bytes/s"), std::string::npos) << log;
    EXPECT_NE(log.find("  Tiempo restante a 3/4 del trabajo: estimado "), std::string::npos) << log;
    // Counted in commands, the survey's three counts would make a quarter.
    EXPECT_EQ(log.find("sin estimación"), std::string::npos) << log;
}

} // namespace
