#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

// What a run learns before its first dump: the counts, the space, and the
// answers it needs.
class SurveyTest : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Tick(CheckBox::Check2);
        Tick(CheckBox::Check3);
        Tick(CheckBox::Check4);
        // Each source: two tables of two records, 4.000 bytes.
        platform.bytesARecord = 1000;
    }

    void DumpFolderVolumeHolds(std::uint64_t bytes)
    {
        for (const char* name : kDatabaseNames)
            platform.space[Native("E:\\vol\\") + name] = {Native("E:\\"), bytes};
    }
};

TEST_F(SurveyTest, ARunWithEmptyDestinationsAndListedTablesAsksNothing)
{
    engine.Aceptar_Click();
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_TRUE(engine.ProcesoOK);
}

TEST_F(SurveyTest, NoDumpStartsBeforeTheQuestionIsAnswered)
{
    platform.held[Native("F:\\bd\\korvane1.db")]["cliente"] = 5;
    window.answers["Bases de datos de destino con registros"] = kAnswerYes;
    engine.Aceptar_Click();
    EXPECT_LT(First("[Bases de datos de destino con registros]"), First(" -C dump "));

    log.clear();
    window.answers["Bases de datos de destino con registros"] = kAnswerNo;
    engine.Aceptar_Click();
    EXPECT_TRUE(Dumps().empty());
}

TEST_F(SurveyTest, ATableThatNoListNamesIsToldBeforeTheFirstDump)
{
    platform.held[Native("D:\\bd\\korvane2.db")]["extra"] = 3;
    window.answers["Tablas con registros que no se copiarán"] = kAnswerNo;
    engine.Aceptar_Click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("korvane2 (lista korvane2.ttl):\n    extra: 3 registros"), std::string::npos)
        << Messages()[0];
    EXPECT_TRUE(Dumps().empty());
}

TEST_F(SurveyTest, DumpFilesThatCannotFitAreRefusedWithBothFigures)
{
    DumpFolderVolumeHolds(10000);
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 64 [Sin espacio para los ficheros .bd] Los ficheros .bd no caben en " +
                                   Native("E:\\vol") + ": hacen falta unos 11,7 KB y hay 9,8 KB libres en " +
                                   Native("E:\\") + ". Libere espacio o elija otra carpeta y reinténtelo"});
    EXPECT_TRUE(Dumps().empty());
    EXPECT_FALSE(engine.ProcesoOK);
}

// The dump files of the last dump are replaced by this one's.
TEST_F(SurveyTest, TheDumpFilesAboutToBeReplacedCountAsFreeSpace)
{
    DumpFolderVolumeHolds(10000);
    for (const char* name : kDatabaseNames)
        platform.sizes[Native("E:\\vol\\") + name + kPathSeparator + "cliente.bd"] = 2000;
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().size(), 0u) << Messages().front();
}

TEST_F(SurveyTest, ADestinationShortOfTheEstimateIsAskedAbout)
{
    // 12.000 bytes loaded and 9.000 of sort files.
    platform.space[Native("F:\\bd")] = {Native("F:\\"), 14000};
    window.answers["Puede faltar espacio en disco"] = kAnswerNo;
    engine.Aceptar_Click();
    EXPECT_NE(Messages().at(0).find("hacen falta unos 20,5 KB y hay 13,7 KB libres en " + Native("F:\\")),
              std::string::npos)
        << Messages()[0];
    EXPECT_TRUE(Dumps().empty());
}

TEST_F(SurveyTest, SpaceThatCannotBeKnownIsLoggedAndRefusesNothing)
{
    platform.spaceUnknown.insert(Native("F:\\bd"));
    platform.space[Native("F:\\bd")] = {Native("F:\\"), 0};
    engine.Aceptar_Click();
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_NE(Written().find("Espacio en disco: No se puede saber el espacio libre de " + Native("F:\\bd")),
              std::string::npos);
}

} // namespace
