#include <algorithm>

#include <gtest/gtest.h>

#include "engine.h"
#include "fakes.h"

namespace {

const char* const kDatabaseNames[] = {"korvane", "korvane1", "korvane2"};

class EngineTest : public ::testing::Test {
  protected:
    EventLog log;
    RecordingWindow window{log};
    FakePlatform platform{log};
    Engine engine{window, platform};

    void SetUp() override
    {
        window.texts[Field::Text1] = Native("D:\\bd");
        window.texts[Field::Text5] = Native("C:\\korv\\dlc\\bin");
        window.texts[Field::Text2] = Native("F:\\bd");
        window.texts[Field::Text6] = Native("C:\\korv\\dlc\\bin");
        window.texts[Field::Text4] = Native("E:\\vol");
        for (const char* name : kDatabaseNames)
            platform.tableLists[ListOf(name)] = "cliente\r\nfactura\r\n";
    }

    std::string ListOf(const std::string& database) const
    {
        return Native("C:\\korv\\bin\\") + database + ".ttl";
    }

    void Tick(CheckBox box) { window.values[box] = 1; }

    std::vector<std::string> Lines(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& line : log) {
            if (line.rfind(prefix, 0) == 0)
                found.push_back(line);
        }
        return found;
    }
    std::vector<std::string> Runs() const { return Lines("run "); }
    std::vector<std::string> Messages() const { return Lines("message "); }

    // The window ends every run unlocked, in this order.
    void ExpectUnlockedAtEnd() const
    {
        const std::vector<std::string> unlock = {
            "caption Label5 []", "caption Label4 []", "enable Frame4 1", "enable Frame5 1",
            "enable Frame6 1",   "enable Aceptar 1",  "enable Timer1 0",
        };
        ASSERT_GE(log.size(), unlock.size());
        EXPECT_EQ(std::vector<std::string>(log.end() - static_cast<long>(unlock.size()), log.end()), unlock);
    }
};

TEST_F(EngineTest, RequestRefusedBeforeTheWindowIsLocked)
{
    engine.Aceptar_Click();
    EXPECT_EQ(log, EventLog{"message 64 [Seleccione Acción] Seleccione la acción a realizar"});

    log.clear();
    Tick(CheckBox::Check3);
    window.texts[Field::Text4] = "   ";
    engine.Aceptar_Click();
    EXPECT_EQ(log, EventLog{"message 64 [Informar ruta ficheros .bd] Tiene que informar una ruta de Origen/Destino "
                            "para los ficheros .bd"});

    // A folder that cannot reach proutil unchanged stops the run before any command.
    log.clear();
    window.texts[Field::Text4] = Native("E:\\vol");
    window.texts[Field::Text6] = Native("C:\\dlc\nbin");
    engine.Aceptar_Click();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("message 64 [Ruta no válida] La ruta " + Native("C:\\dlc\nbin"), 0), 0u) << log[0];

#ifdef _WIN32
    log.clear();
    window.texts[Field::Text6] = "C:\\100%PATH%\\bin";
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Runs().empty());
#endif

    // Only the folders of the chosen direction are looked at.
    log.clear();
    window.texts[Field::Text6] = Native("C:\\korv\\dlc\\bin");
    window.texts[Field::Text5] = "C:\\dlc\nbin";
    engine.Aceptar_Click();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Runs().size(), 9u);
}

TEST_F(EngineTest, DumpRunsEveryTableOfTheThreeDatabasesInOrder)
{
    Tick(CheckBox::Check2);
    engine.Aceptar_Click();

    EventLog expected = {
        "enable Aceptar 0", "enable Frame4 0", "enable Frame5 0", "enable Frame6 0", "enable Timer1 1",
        "mkdir " + Native("E:\\vol\\korvane"), "mkdir " + Native("E:\\vol\\korvane1"),
        "mkdir " + Native("E:\\vol\\korvane2"),
    };
    const char* const titles[] = {"Korvane", "Korvane1", "Korvane2"};
    for (int i = 0; i < 3; ++i) {
        const std::string db = kDatabaseNames[i];
        expected.push_back(std::string("caption Label5 [Procesando Descarga ") + titles[i] + " ]");
        for (const char* table : {"cliente", "factura"}) {
            expected.push_back(std::string("caption Label4 [Tabla: ") + table + "]");
            expected.push_back("run " + Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\") + db + ".db -C dump " + table +
                               " " + Native("E:\\vol\\") + db);
        }
    }
    expected.insert(expected.end(), {"caption Label5 []", "caption Label4 []", "enable Frame4 1", "enable Frame5 1",
                                     "enable Frame6 1", "enable Aceptar 1", "enable Timer1 0"});
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(engine.ProcesoOK);
    EXPECT_EQ(engine.BaseDatos, "korvane2");
    // Events are handled while each command runs and again after it.
    EXPECT_EQ(window.eventsProcessed, 12);
}

TEST_F(EngineTest, LoadReadsEachDatabasesOwnDumpFilesThenRebuildsItsIndexes)
{
    Tick(CheckBox::Check3);
    engine.Aceptar_Click();

    const std::vector<std::string> runs = Runs();
    ASSERT_EQ(runs.size(), 9u);
    EXPECT_EQ(runs[0], "run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane.db -C load cliente "
                                       "E:\\vol\\korvane\\cliente.bd"));
    EXPECT_EQ(runs[5], "run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane2.db -C load factura "
                                       "E:\\vol\\korvane2\\factura.bd"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(runs[6 + i], "run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\") + kDatabaseNames[i] +
                                   ".db -C idxbuild all");
    }

    // Each rebuild shows its database and clears the table line.
    const auto rebuild = std::find(log.begin(), log.end(), "caption Label5 [Indexando Indices de Korvane1]");
    ASSERT_NE(rebuild, log.end());
    EXPECT_EQ(*(rebuild + 1), "caption Label4 []");
    EXPECT_EQ(*(rebuild + 2), runs[7]);
    EXPECT_EQ(Lines("caption Label5 [Procesando Carga Korvane2 ]").size(), 1u);
    EXPECT_TRUE(Messages().empty());
    ExpectUnlockedAtEnd();
}

TEST_F(EngineTest, DatabaseInUseRefusesItsRun)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    platform.files.insert(Native("D:\\bd\\korvane1.lk"));
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 64 [La BBDD de orígen está arrancada] La base de datos de origen en " +
                                   Native("D:\\bd") + " está arrancada, párela y reintentelo"});
    EXPECT_TRUE(Runs().empty());
    EXPECT_TRUE(Lines("mkdir").empty());
    EXPECT_FALSE(engine.ProcesoOK);
    ExpectUnlockedAtEnd();

    // The load's lock files are those of the destination; its text has no accent on "parela".
    log.clear();
    window.values[CheckBox::Check2] = 0;
    platform.files = {Native("F:\\bd\\korvane2.lk")};
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 64 [La BBDD de destino está arrancada] La base de datos de destino en " +
                                   Native("F:\\bd") + " está arrancada, parela y reintentelo"});
    EXPECT_TRUE(Runs().empty());

    // A lock file that cannot even be looked for counts as a database in use.
    log.clear();
    platform.files.clear();
    platform.unreadable.insert(Native("F:\\bd\\korvane.lk"));
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Runs().empty());
}

TEST_F(EngineTest, MissingFoldersAreAskedFor)
{
    Tick(CheckBox::Check2);
    window.texts[Field::Text1] = " ";
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(),
              EventLog{"message 64 [Sin ruta] Debe informar la ruta donde se encuentran las bases de datos de origen"});

    log.clear();
    window.values[CheckBox::Check2] = 0;
    Tick(CheckBox::Check3);
    window.texts[Field::Text2] = "";
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(),
              EventLog{"message 64 [Sin ruta] Debe informar la ruta donde se encuentran las bases de datos de destino"});

    log.clear();
    window.texts[Field::Text2] = Native("F:\\bd");
    window.texts[Field::Text6] = "";
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 64 [Sin ruta] Debe informar la ruta donde se encuentra la carpeta DLC de "
                                   "su instalación"});
    EXPECT_TRUE(Runs().empty());
    EXPECT_FALSE(engine.ProcesoOK);
    ExpectUnlockedAtEnd();
}

TEST_F(EngineTest, MissingTableListFailsOnlyItsDatabaseAndPreventsTheLoad)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    platform.tableLists.erase(ListOf("korvane1"));
    engine.Aceptar_Click();

    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] No se encuentra el fichero " + ListOf("korvane1"),
                              "message 64 [Errores de Descarga] Se han producido errores en el proceso de Descarga "
                              "de las bases de datos",
                          }));
    const std::vector<std::string> runs = Runs();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_NE(runs[0].find("korvane.db -C dump"), std::string::npos);
    EXPECT_NE(runs[3].find("korvane2.db -C dump"), std::string::npos);
    ExpectUnlockedAtEnd();
}

TEST_F(EngineTest, FailedTablesAreToldOnceAfterTheirPassAndStopTheRun)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    platform.answer = [](const std::string& line) -> CommandResult {
        if (line.find("korvane.db -C dump factura") != std::string::npos)
            return {2, "Dumping factura\n** Table factura not found. (2345)\r\n"};
        if (line.find("korvane.db -C dump cliente") != std::string::npos)
            return {0, "Dumped 0 records.\n"};  // exit 0 without the success number
        return FakePlatform::Succeeded(line);
    };
    engine.Aceptar_Click();

    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] Han fallado 2 tablas de la base de datos korvane:\n"
                              "cliente: Dumped 0 records.\n"
                              "factura: ** Table factura not found. (2345)",
                              "message 64 [Errores de Descarga] Se han producido errores en el proceso de Descarga "
                              "de las bases de datos",
                          }));
    // The message comes right after the failing pass; the other passes still run.
    const auto told = std::find_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("message 0", 0) == 0; });
    EXPECT_EQ(*(told + 1), "caption Label5 [Procesando Descarga Korvane1 ]");
    EXPECT_EQ(Runs().size(), 6u);
    for (const std::string& run : Runs())
        EXPECT_EQ(run.find("-C load"), std::string::npos) << run;
    EXPECT_TRUE(Lines("caption Label5 [Procesando Carga").empty());
    EXPECT_FALSE(engine.ProcesoOK);
    ExpectUnlockedAtEnd();
}

TEST_F(EngineTest, TableListLinesThatNameNoTableRunNothing)
{
    Tick(CheckBox::Check2);
    for (const char* name : kDatabaseNames)
        platform.tableLists[ListOf(name)] = "";
    platform.tableLists[ListOf("korvane")] = "gmtrans\r\nGMTRANS\n\r\n   \rcliente \r\n";
    engine.Aceptar_Click();

    EXPECT_EQ(Runs(), (EventLog{
                          "run " + Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\korvane.db -C dump GMTRANS E:\\vol\\korvane"),
                          "run " + Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\korvane.db -C dump cliente E:\\vol\\korvane"),
                      }));
    EXPECT_EQ(Lines("caption Label4"), (EventLog{"caption Label4 [Tabla: GMTRANS]", "caption Label4 [Tabla: cliente ]",
                                                 "caption Label4 []"}));
    EXPECT_TRUE(Messages().empty());

    log.clear();
    Tick(CheckBox::Check1);
    engine.Aceptar_Click();
    ASSERT_EQ(Runs().size(), 3u);
    EXPECT_NE(Runs()[0].find("-C dump gmtrans "), std::string::npos);
}

TEST_F(EngineTest, IndexRebuildFailuresAreToldAndTheOtherDatabasesStillRebuild)
{
    Tick(CheckBox::Check3);
    platform.answer = [](const std::string& line) -> CommandResult {
        if (line.find("korvane1.db -C idxbuild") != std::string::npos)
            return {0, "** Cannot rebuild: the database is damaged. (1234)\n"};
        return FakePlatform::Succeeded(line);
    };
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 0 [Vaciallena] No se han podido reconstruir los índices de la base de "
                                   "datos korvane1:\n** Cannot rebuild: the database is damaged. (1234)"});
    EXPECT_EQ(Lines("caption Label5 [Indexando").size(), 3u);
    EXPECT_FALSE(engine.ProcesoOK);
    ExpectUnlockedAtEnd();
}

TEST_F(EngineTest, CommandThatCannotBeStartedEndsThePass)
{
    Tick(CheckBox::Check3);
    platform.interpreterMissing = true;
    engine.Aceptar_Click();
    // One message per database, then the load's summary; no rebuild.
    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] No se puede ejecutar la orden",
                              "message 0 [Vaciallena] No se puede ejecutar la orden",
                              "message 0 [Vaciallena] No se puede ejecutar la orden",
                              "message 64 [Errores de Carga] Se han producido errores en el proceso de Carga de las "
                              "bases de datos",
                          }));
    EXPECT_EQ(Lines("caption Label4 [Tabla: factura]").size(), 0u);
    EXPECT_TRUE(Lines("caption Label5 [Indexando").empty());
    ExpectUnlockedAtEnd();
}

TEST_F(EngineTest, DotCounterRestartsWithEachDatabase)
{
    Tick(CheckBox::Check3);
    std::vector<int> seen;
    window.onEvents = [&] { seen.push_back(engine.Contador++); };
    engine.Aceptar_Click();
    // Two tables per load pass, two event turns per table, one turn per rebuild.
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 0, 0}));
}

} // namespace
