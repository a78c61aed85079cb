#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

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
    // Neither refusal writes a log: nothing was asked, or there is no folder for it.
    EXPECT_EQ(platform.writes, 0);

    // A folder that cannot reach proutil unchanged stops the run before any command.
    log.clear();
    window.texts[Field::Text4] = Native("E:\\vol");
    window.texts[Field::Text6] = Native("C:\\dlc\nbin");
    engine.Aceptar_Click();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("message 64 [Ruta no válida] La ruta " + Native("C:\\dlc") + "\\x0Abin", 0), 0u) << log[0];
    const std::vector<std::string> written = WrittenLines();
    ASSERT_GE(written.size(), 2u);
    EXPECT_NE(Written().find("11:44:35  Error: La ruta " + Native("C:\\dlc")), std::string::npos) << Written();
    EXPECT_EQ(written[written.size() - 2],
              "==== 2026-12-08 11:44:35  Fin de la ejecución (0,00 s). Resultado: no realizado, hay una ruta no válida");

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
    EXPECT_EQ(Runs().size(), 12u);
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
        expected.push_back("remove " + Native("E:\\vol\\") + db + kPathSeparator + "tabanalys-origen.txt");
        for (const char* table : {"cliente", "factura"}) {
            expected.push_back(std::string("caption Label4 [Tabla: ") + table + "]");
            const std::string line = Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\") + db + ".db -C dump " + table +
                                     " " + Native("E:\\vol\\") + db;
            expected.insert(expected.end(), {"run " + line, "end " + line});
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

    // First each destination's table analysis: no table holds records yet.
    const std::vector<std::string> runs = Runs();
    ASSERT_EQ(runs.size(), 12u);
    EXPECT_EQ(runs[0], "run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane.db -C tabanalys"));
    EXPECT_EQ(runs[3], "run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane.db -C load "
                                       "E:\\vol\\korvane\\cliente.bd"));
    EXPECT_EQ(runs[8], "run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane2.db -C load "
                                       "E:\\vol\\korvane2\\factura.bd"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(runs[9 + i], "run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\") + kDatabaseNames[i] +
                                   ".db -C idxbuild all");
    }

    // Each rebuild shows its database and clears the table line.
    const auto rebuild = std::find(log.begin(), log.end(), "caption Label5 [Indexando Indices de Korvane1]");
    ASSERT_NE(rebuild, log.end());
    EXPECT_EQ(*(rebuild + 1), "caption Label4 []");
    EXPECT_EQ(*(rebuild + 2), runs[10]);
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
    platform.files.erase(Native("D:\\bd\\korvane1.lk"));
    platform.files.insert(Native("F:\\bd\\korvane2.lk"));
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 64 [La BBDD de destino está arrancada] La base de datos de destino en " +
                                   Native("F:\\bd") + " está arrancada, parela y reintentelo"});
    EXPECT_TRUE(Runs().empty());

    // A lock file that cannot even be looked for refuses the run too, saying so.
    log.clear();
    platform.files.erase(Native("F:\\bd\\korvane2.lk"));
    platform.unreadable.insert(Native("F:\\bd\\korvane.lk"));
    engine.Aceptar_Click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("message 64 [No se puede comprobar la BBDD de destino] No se ha podido comprobar si "
                                  "la base de datos de destino korvane en " + Native("F:\\bd") + " está arrancada",
                                  0),
              0u)
        << Messages()[0];
    EXPECT_TRUE(Runs().empty());
}

// A destination in use is found before the dumps, and again after them:
// a database can be started while they run.
TEST_F(EngineTest, ADestinationInUseIsRefusedBeforeTheDumpsAndBeforeTheLoads)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    const std::string inUse = "message 64 [La BBDD de destino está arrancada] La base de datos de destino en " +
                              Native("F:\\bd") + " está arrancada, parela y reintentelo";
    platform.files.insert(Native("F:\\bd\\korvane1.lk"));
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{inUse});
    EXPECT_TRUE(Runs().empty());

    log.clear();
    platform.files.erase(Native("F:\\bd\\korvane1.lk"));
    window.onEvents = [this] { platform.files.insert(Native("F:\\bd\\korvane2.lk")); };
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{inUse});
    EXPECT_EQ(Dumps().size(), 6u);
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
    platform.textFiles.erase(ListOf("korvane1"));
    engine.Aceptar_Click();

    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] No se encuentra el fichero " + ListOf("korvane1"),
                              "message 64 [Errores de Descarga] Se han producido errores en el proceso de Descarga "
                              "de las bases de datos" + Details(),
                          }));
    const std::vector<std::string> runs = Dumps();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_NE(runs[0].find("korvane.db -C dump"), std::string::npos);
    EXPECT_NE(runs[3].find("korvane2.db -C dump"), std::string::npos);
    ExpectUnlockedAtEnd();
}

TEST_F(EngineTest, FailedTablesAreToldOnceAfterTheirPassAndStopTheRun)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    platform.answer = [this](const std::string& line) -> CommandResult {
        if (line.find("korvane.db -C dump factura") != std::string::npos)
            return {2, "Dumping factura\n** Table factura not found. (2345)\r\n"};
        if (line.find("korvane.db -C dump cliente") != std::string::npos)
            return {0, "Dumped 0 records.\n"};  // exit 0 without the success number
        return platform.Succeeded(line);
    };
    engine.Aceptar_Click();

    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] Han fallado 2 tablas de la base de datos korvane:\n"
                              "cliente: terminó sin el mensaje de proceso completado (6254)\n"
                              "    Dumped 0 records.\n"
                              "factura: terminó con el código 2 y sin el mensaje de proceso completado (6254)\n"
                              "    ** Table factura not found. (2345)" + Details(),
                              "message 64 [Errores de Descarga] Se han producido errores en el proceso de Descarga "
                              "de las bases de datos" + Details(),
                          }));
    // The message comes right after the failing pass; the other passes still run.
    const auto told = std::find_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("message 0", 0) == 0; });
    EXPECT_EQ(*(told + 1), "caption Label5 [Procesando Descarga Korvane1 ]");
    EXPECT_EQ(Dumps().size(), 6u);
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
        platform.textFiles[ListOf(name)] = "cliente\r\n";
    platform.textFiles[ListOf("korvane")] = "PUB.GMTRANS \n\r\n   \rcliente \r\n";
    engine.Aceptar_Click();

    EXPECT_EQ(Runs()[0],
              "run " + Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\korvane.db -C dump cliente E:\\vol\\korvane"));
    EXPECT_EQ(Runs().size(), 3u);
    EXPECT_EQ(Lines("caption Label4")[0], "caption Label4 [Tabla: cliente ]");
    EXPECT_TRUE(Messages().empty());

    log.clear();
    Tick(CheckBox::Check1);
    engine.Aceptar_Click();
    ASSERT_EQ(Runs().size(), 4u);
    EXPECT_NE(Runs()[0].find("-C dump PUB.GMTRANS "), std::string::npos);
}

// What a list may hold by mistake never runs a command, and the database's
// pass fails so that nothing is loaded from it.
TEST_F(EngineTest, ListMistakesFailTheirDatabase)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    platform.textFiles[ListOf("korvane")] = "cliente\r\n..\\..\\x\r\nCliente\r\n";
    platform.textFiles[ListOf("korvane1")] = "\r\n  \r\n";
    // Both dump to audit_registro.bd, as Windows compares file names: the
    // second dump would overwrite the first, and that file would load twice.
    platform.textFiles[ListOf("korvane2")] = "audit.registro\r\nAUDIT_registro\r\n";
    engine.Aceptar_Click();

    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] Han fallado 2 tablas de la base de datos korvane:\n"
                              "..\\..\\x: no es un nombre de tabla\n"
                              "Cliente: repetida en la lista, se ha procesado una sola vez" + Details(),
                              "message 0 [Vaciallena] La lista de tablas " + ListOf("korvane1") +
                                  " no contiene ninguna tabla",
                              "message 0 [Vaciallena] Ha fallado 1 tabla de la base de datos korvane2:\n"
                              "AUDIT_registro: su fichero de descarga AUDIT_registro.bd es el de la tabla "
                              "audit.registro" + Details(),
                              "message 64 [Errores de Descarga] Se han producido errores en el proceso de Descarga "
                              "de las bases de datos" + Details(),
                          }));
    EXPECT_EQ(Dumps().size(), 2u);
}

TEST_F(EngineTest, IndexRebuildFailuresAreToldAndTheOtherDatabasesStillRebuild)
{
    Tick(CheckBox::Check3);
    platform.answer = [this](const std::string& line) -> CommandResult {
        if (line.find("korvane1.db -C idxbuild") != std::string::npos)
            return {0, "** Cannot rebuild: the database is damaged. (1234)\n"};
        return platform.Succeeded(line);
    };
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 0 [Vaciallena] No se han podido reconstruir los índices de la base de "
                                   "datos korvane1:\nterminó sin el mensaje de proceso completado (11465)\n"
                                   "    ** Cannot rebuild: the database is damaged. (1234)" + Details()});
    EXPECT_EQ(Lines("caption Label5 [Indexando").size(), 3u);
    EXPECT_FALSE(engine.ProcesoOK);
    ExpectUnlockedAtEnd();
}

// proutil may rebuild, print its success number, count the errors it met
// and still exit with 0: only the count tells the rebuild failed.
TEST_F(EngineTest, AnIndexRebuildThatCountsErrorsFails)
{
    Tick(CheckBox::Check3);
    const std::string counted = "Index rebuild complete. 2 error(s) encountered.";
    Answer("korvane1.db -C idxbuild", {0, "3 indexes were rebuilt. (11465)\n" + counted + "\n"});
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 0 [Vaciallena] No se han podido reconstruir los índices de la base de "
                                   "datos korvane1:\nterminó con errores: " + counted + Details()});

    log.clear();
    Answer("korvane1.db -C idxbuild", {0, "3 indexes were rebuilt. (11465)\n0 ERRORS found\n"});
    engine.Aceptar_Click();
    EXPECT_TRUE(Messages().empty()) << Messages().front();
}

// A destination's table analysis where cliente holds records.
const char* const kClienteWithRecords = "RECORD BLOCK SUMMARY FOR AREA \"Schema Area\" : 6\n"
                                        "PUB.cliente 3 1.0K 10 20 15 3 1.0 1.0\n"
                                        "Subtotals: 3 1.0K 10 20 15 3 1.0 1.0\n";

// The run's plan is made once: a list edited while the question before
// loading is open changes nothing that runs.
TEST_F(EngineTest, AListEditedDuringTheRunChangesNothingThatRuns)
{
    Tick(CheckBox::Check3);
    Answer(" -C tabanalys", {0, kClienteWithRecords});
    window.answers["Bases de datos de destino con registros"] = kAnswerYes;
    window.onMessage = [this](const std::string&) { platform.textFiles[ListOf("korvane")] = "otra\r\n"; };
    engine.Aceptar_Click();
    EXPECT_EQ(Lines("run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane.db -C load")).size(), 2u);
}

TEST_F(EngineTest, EachTableListIsReadOncePerRun)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    Tick(CheckBox::Check4);
    engine.Aceptar_Click();
    for (const char* name : kDatabaseNames)
        EXPECT_EQ(platform.reads[ListOf(name)], 1) << name;
}

// The reader's own rule refused the report: the question says which line.
TEST_F(EngineTest, ACountThatCannotBeReadSaysWhy)
{
    Tick(CheckBox::Check3);
    Answer(" -C tabanalys", {0, "RECORD BLOCK SUMMARY FOR AREA \"Schema Area\" : 6\nPUB.cliente tres\n"});
    engine.Aceptar_Click();
    ASSERT_FALSE(Messages().empty());
    EXPECT_NE(Messages()[0].find("korvane: no se ha podido saber si tiene registros: el análisis de tablas ha "
                                 "fallado: una línea del análisis de tablas no se entiende: PUB.cliente tres"),
              std::string::npos)
        << Messages()[0];
}

// A report read as holding no table proves nothing when the dumps wrote
// records: the database is not compared, and never compares equal.
TEST_F(EngineTest, ASourceCountOfNoRecordsAfterDumpsThatWroteSomeIsNoCount)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    Tick(CheckBox::Check4);
    Answer(Native("D:\\bd\\korvane1.db -C tabanalys"), {0, FakePlatform::EmptyReport()});
    engine.Aceptar_Click();
    EXPECT_NE(Written().find("Comprobación korvane1: no comprobada: no se han podido contar los registros de origen: el "
                             "análisis de tablas no cuenta ningún registro y la descarga escribió 4 registros"),
              std::string::npos)
        << Written();
}

// A dump that leaves damaged records out still says it succeeded: only its
// count against the table's finds it, and nothing is loaded.
TEST_F(EngineTest, ADumpThatWroteFewerRecordsThanItsTableFailsIt)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    Tick(CheckBox::Check4);
    platform.answer = [this](const std::string& line) {
        CommandResult result = platform.Succeeded(line);
        if (line.find("korvane2.db -C dump factura") != std::string::npos)
            result.output = "** Damaged record. (9200)\nDumped 1 records. (13932)\nBinary Dump complete. (6254)\n";
        return result;
    };
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().front(), "message 0 [Vaciallena] Ha fallado 1 tabla de la base de datos korvane2:\n"
                                  "factura: descargó 1 de 2 registros" + Details());
    EXPECT_TRUE(Lines("run " + Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane.db -C load")).empty());
}

TEST_F(EngineTest, CommandThatCannotBeStartedEndsThePass)
{
    Tick(CheckBox::Check3);
    platform.interpreterMissing = true;
    window.answers["Bases de datos de destino con registros"] = kAnswerYes;
    engine.Aceptar_Click();
    // The question whose analyses could not run, one message per database,
    // then the load's summary; no rebuild.
    const auto cannot = [](const char* database) {
        return "message 0 [Vaciallena] No se puede ejecutar la orden\n\nNo se ha procesado la tabla siguiente de la "
               "lista " + std::string(database) + ".ttl.";
    };
    const std::vector<std::string> messages = Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].rfind("message 308 [Bases de datos de destino con registros]", 0), 0u);
    EXPECT_EQ(std::vector<std::string>(messages.begin() + 1, messages.end()),
              (EventLog{
                  cannot("korvane"),
                  cannot("korvane1"),
                  cannot("korvane2"),
                  "message 64 [Errores de Carga] Se han producido errores en el proceso de Carga de las "
                  "bases de datos" + Details(),
              }));
    EXPECT_EQ(Lines("caption Label4 [Tabla: factura]").size(), 0u);
    EXPECT_TRUE(Lines("caption Label5 [Indexando").empty());
    ExpectUnlockedAtEnd();
}

TEST_F(EngineTest, RunLogHoldsTheRequestEveryCommandWithItsVerdictAndTheOutcome)
{
    Tick(CheckBox::Check2);
    platform.textFiles[ListOf("korvane1")] = "mal\tnombre\r\nstock\r\n";
    platform.textFiles[ListOf("korvane2")] = "pedido\n";
    platform.commandTakes = std::chrono::milliseconds(1005);
    platform.answer = [this](const std::string& line) -> CommandResult {
        if (line.find(" factura ") != std::string::npos)
            return {2, "Dumping factura\n** Table factura not found. (2345)\r\n\r\n"};
        if (line.find(" stock ") != std::string::npos)
            return {1, "Dumped 7 records. (13932)\nBinary Dump complete. (6254)\n"};
        if (line.find(" pedido ") != std::string::npos) {
            platform.elapsed += std::chrono::milliseconds(60989);
            return {0, ""};
        }
        return platform.Succeeded(line);
    };
    engine.Aceptar_Click();

    const std::string proutil = Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\");
    EXPECT_EQ(Written(), WithLogLineEnds(
        "==== 2026-12-08 11:44:35  Inicio de la ejecución\n"
        "Bases de datos de origen: " + Native("D:\\bd") + "\n"
        "DLC de origen: " + Native("C:\\korv\\dlc\\bin") + "\n"
        "Bases de datos de destino: " + Native("F:\\bd") + "\n"
        "DLC de destino: " + Native("C:\\korv\\dlc\\bin") + "\n"
        "Origen y destino de los ficheros .bd: " + Native("E:\\vol") + "\n"
        "Descarga: sí\n"
        "Carga: no\n"
        "Procesar Transacciones: no\n"
        "Comprobar registros: no\n"
        "\n"
        "2026-12-08 11:44:35  Espacio en disco: no se ha comprobado; sin «Comprobar registros» no se conoce el "
        "tamaño de las tablas\n"
        "\n"
        "2026-12-08 11:44:35  [korvane] Empieza la orden: " + proutil + "korvane.db -C dump cliente " + Native("E:\\vol\\korvane") + "\n"
        "\n"
        "2026-12-08 11:44:35  [korvane] Orden: " + proutil + "korvane.db -C dump cliente " + Native("E:\\vol\\korvane") + "\n"
        "  Carpeta de trabajo: " + Native("D:\\bd") + "\n"
        "  DLC: el del sistema\n"
        "  Inicio: 2026-12-08 11:44:35  Fin: 2026-12-08 11:44:36\n"
        "  Duración: 1,01 s  Código de salida: 0  Resultado: correcto\n"
        "  Salida:\n"
        "    Dumped 2 records. (13932)\n"
        "    Binary Dump complete. (6254)\n"
        "\n"
        "2026-12-08 11:44:36  [korvane] Empieza la orden: " + proutil + "korvane.db -C dump factura " + Native("E:\\vol\\korvane") + "\n"
        "\n"
        "2026-12-08 11:44:36  [korvane] Orden: " + proutil + "korvane.db -C dump factura " + Native("E:\\vol\\korvane") + "\n"
        "  Carpeta de trabajo: " + Native("D:\\bd") + "\n"
        "  DLC: el del sistema\n"
        "  Inicio: 2026-12-08 11:44:36  Fin: 2026-12-08 11:44:37\n"
        "  Duración: 1,01 s  Código de salida: 2  Resultado: fallido, terminó con el código 2 y sin el mensaje de "
        "proceso completado (6254)\n"
        "  Salida:\n"
        "    Dumping factura\n"
        "    ** Table factura not found. (2345)\n"
        "\n"
        "2026-12-08 11:44:37  Tabla mal\tnombre no procesada: el nombre contiene caracteres que no se pueden pasar a "
        "proutil\n"
        "\n"
        "2026-12-08 11:44:37  [korvane1] Empieza la orden: " + proutil + "korvane1.db -C dump stock " + Native("E:\\vol\\korvane1") + "\n"
        "\n"
        "2026-12-08 11:44:37  [korvane1] Orden: " + proutil + "korvane1.db -C dump stock " + Native("E:\\vol\\korvane1") + "\n"
        "  Carpeta de trabajo: " + Native("D:\\bd") + "\n"
        "  DLC: el del sistema\n"
        "  Inicio: 2026-12-08 11:44:37  Fin: 2026-12-08 11:44:38\n"
        "  Duración: 1,01 s  Código de salida: 1  Resultado: fallido, terminó con el código 1\n"
        "  Salida:\n"
        "    Dumped 7 records. (13932)\n"
        "    Binary Dump complete. (6254)\n"
        "\n"
        "2026-12-08 11:44:38  [korvane2] Empieza la orden: " + proutil + "korvane2.db -C dump pedido " + Native("E:\\vol\\korvane2") + "\n"
        "\n"
        "2026-12-08 11:44:38  [korvane2] Orden: " + proutil + "korvane2.db -C dump pedido " + Native("E:\\vol\\korvane2") + "\n"
        "  Carpeta de trabajo: " + Native("D:\\bd") + "\n"
        "  DLC: el del sistema\n"
        "  Inicio: 2026-12-08 11:44:38  Fin: 2026-12-08 11:45:40\n"
        "  Duración: 61,99 s  Código de salida: 0  Resultado: fallido, terminó sin el mensaje de proceso completado "
        "(6254)\n"
        "  Salida: ninguna\n"
        "\n"
        "==== 2026-12-08 11:45:40  Fin de la ejecución (65,01 s). Resultado: fallido en la descarga\n"
        "Resumen:\n"
        "  Descarga korvane: 2 órdenes, 1 fallida, 2 registros descargados, 2,01 s\n"
        "  Descarga korvane1: 1 orden, 1 fallida, 1 línea no válida, 1,01 s\n"
        "  Descarga korvane2: 1 orden, 1 fallida, 61,99 s\n"
        "  Tiempo total: 65,01 s\n"
        "  El tiempo de cada paso es el de su propio trabajo; el tiempo total, el de toda la ejecución, con sus "
        "mensajes y preguntas.\n"
        "\n"));

    // Every failure message of the run points at the log.
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 4u);
    for (const std::string& message : messages)
        EXPECT_EQ(message.substr(message.size() - Details().size()), Details()) << message;
}

// The user is told these errors by a message box; the log keeps the same
// text, at the place in the run where it happened.
TEST_F(EngineTest, ProgramErrorsAreLoggedAsTheUserIsToldThem)
{
    const auto errors = [this] {
        std::vector<std::string> found;
        for (const std::string& line : WrittenLines()) {
            if (line.find("  Error: ") != std::string::npos)
                found.push_back(line.substr(line.find("  ") + 2));
            else if (const auto start = line.find("] Empieza la orden: "); start != std::string::npos)
                found.push_back("Orden: " + line.substr(start + 20));
        }
        platform.appended.clear();
        return found;
    };
    const auto told = [this](std::size_t n) {
        const std::vector<std::string> messages = Messages();
        const std::string& message = messages.at(n);
        return "Error: " + message.substr(message.find("] ") + 2);
    };

    Tick(CheckBox::Check2);
    platform.textFiles = {{ListOf("korvane"), "cliente\n"}, {ListOf("korvane2"), "cliente\n"}};
    engine.Aceptar_Click();
    const std::vector<std::string> runs = Runs();
    ASSERT_EQ(runs.size(), 2u);
    const std::string first = "Orden: " + runs[0].substr(4);
    const std::string last = "Orden: " + runs[1].substr(4);
    EXPECT_EQ(errors(), (EventLog{first, told(0), last}));

    // The command that could not be started is the one logged before the error.
    log.clear();
    platform.interpreterMissing = true;
    engine.Aceptar_Click();
    EXPECT_EQ(errors(), (EventLog{first, told(0), told(1), last, told(2)}));
    EXPECT_EQ(told(0), "Error: No se puede ejecutar la orden");
    platform.interpreterMissing = false;

    log.clear();
    platform.files.insert(Native("D:\\bd\\korvane.lk"));
    engine.Aceptar_Click();
    EXPECT_EQ(errors(), EventLog{told(0)});
    EXPECT_NE(told(0).find("está arrancada"), std::string::npos);

    log.clear();
    window.texts[Field::Text5] = "";
    engine.Aceptar_Click();
    EXPECT_EQ(errors(), EventLog{told(0)});
    EXPECT_NE(told(0).find("carpeta DLC"), std::string::npos);
}

TEST_F(EngineTest, LogThatCannotBeWrittenLeavesTheRunAsItIsAndIsToldOnceAtTheEnd)
{
    Tick(CheckBox::Check3);
    platform.answer = [this](const std::string& line) -> CommandResult {
        if (line.find("korvane.db -C load") != std::string::npos && line.find("factura.bd") != std::string::npos)
            return {2, "** Cannot load factura. (1111)\n"};
        return platform.Succeeded(line);
    };
    engine.Aceptar_Click();
    const EventLog logged = log;
    ASSERT_EQ(Messages().size(), 2u);

    // Without a log the run runs the same commands and shows the same
    // messages, none pointing at the log, and then the notice.
    log.clear();
    platform.failWritesFrom = platform.writes;
    engine.Aceptar_Click();
    EventLog expected;
    for (const std::string& event : logged) {
        const auto note = event.find(Details());
        expected.push_back(note == std::string::npos ? event : event.substr(0, note));
    }
    expected.insert(expected.end() - 7, Notice());
    EXPECT_EQ(log, expected);
    ExpectUnlockedAtEnd();

    // A log that fails part-way is dropped from there on: messages before
    // the failure point at it, later ones do not, and no entry after a
    // lost one is written. Writes of korvane: the start of the run, a start,
    // an end and the records for each destination's table analysis, the
    // space not checked, then a start and an end for each of its two loads.
    log.clear();
    platform.appended.clear();
    platform.failWritesFrom = platform.writes + 15;
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] Ha fallado 1 tabla de la base de datos korvane:\n"
                              "factura: terminó con el código 2 y sin el mensaje de proceso completado (6256)\n"
                              "    ** Cannot load factura. (1111)" + Details(),
                              "message 64 [Errores de Carga] Se han producido errores en el proceso de Carga de las "
                              "bases de datos",
                              Notice(),
                          }));
    EXPECT_EQ(platform.writes, platform.failWritesFrom + 1);
    EXPECT_EQ(Written().find("korvane1.db -C load"), std::string::npos);
    EXPECT_EQ(Runs().size(), 9u);

    // The next run tries again.
    log.clear();
    platform.appended.clear();
    platform.failWritesFrom = -1;
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().back().find(Notice()), std::string::npos);
    EXPECT_NE(Written().find("Fin de la ejecución"), std::string::npos);
}

TEST_F(EngineTest, DotCounterRestartsWithEachDatabase)
{
    Tick(CheckBox::Check3);
    std::vector<int> seen;
    window.onEvents = [&] { seen.push_back(engine.Contador++); };
    engine.Aceptar_Click();
    // One turn per destination's analysis before the load, two tables per
    // load pass, two event turns per table, one turn per rebuild.
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 0, 0}));
}

TEST_F(EngineTest, AClickQueuedDuringARunStartsNoSecondRun)
{
    Tick(CheckBox::Check3);
    window.onEvents = [this] { engine.Aceptar_Click(); };
    engine.Aceptar_Click();
    EXPECT_EQ(Runs().size(), 12u);
    EXPECT_FALSE(engine.Running());
}

// The request is read once, as the run uses it: the log goes where the dumps
// go, and a field changed in the middle of the run changes nothing of it.
TEST_F(EngineTest, TheRunKeepsTheRequestReadWhenAceptarWasClicked)
{
    Tick(CheckBox::Check2);
    window.texts[Field::Text4] = " " + Native("E:\\vol") + "\t";
    window.onEvents = [this] { window.texts[Field::Text1] = Native("X:\\otra"); };
    engine.Aceptar_Click();
    EXPECT_NE(Written().find("Resultado: correcto"), std::string::npos);
    EXPECT_EQ(Runs().back(), "run " + Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\korvane2.db -C dump factura "
                                             "E:\\vol\\korvane2"));
}

// An exception that nothing in the run expected ends the run as the
// program's own error, and leaves the window ready for another.
TEST_F(EngineTest, AnErrorNobodyExpectedEndsTheRunAndUnlocksTheWindow)
{
    Tick(CheckBox::Check2);
    platform.answer = [this](const std::string& line) -> CommandResult {
        if (line.find("korvane1.db") != std::string::npos)
            throw std::out_of_range("vector::_M_range_check");
        return platform.Succeeded(line);
    };
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 16 [Vaciallena] vector::_M_range_check"});
    EXPECT_NE(Written().find("Resultado: error del programa"), std::string::npos);
    ExpectUnlockedAtEnd();
    EXPECT_FALSE(engine.Running());
}

// Folders as the user may type them: each row a request and what must come of it.
TEST_F(EngineTest, FolderRules)
{
    struct Row {
        const char* what;
        std::function<void()> arrange;
        std::string message;  // the start of the only message, or empty for none
        std::size_t runs;
    };
    const std::string firstDump =
        "run " + Native("C:\\korv\\dlc\\bin\\proutil D:\\bd\\korvane.db -C dump cliente E:\\vol\\korvane");
    const std::vector<Row> rows = {
        {"blanks around folders are dropped",
         [this] {
             window.texts[Field::Text1] = "  " + Native("D:\\bd") + " ";
             window.texts[Field::Text4] = Native("E:\\vol") + "\t";
         },
         "", 18},
        {"a relative folder is refused", [this] { window.texts[Field::Text2] = Native("bd\\destino"); },
         "message 64 [Ruta no válida] La ruta " + Native("bd\\destino") + " no es una ruta completa", 0},
        {"a lock file that is a folder means in use",
         [this] { platform.folders.insert(Native("D:\\bd\\korvane2.lk")); },
         "message 64 [La BBDD de orígen está arrancada]", 0},
        {"the destination is the source",
         [this] { platform.sameFiles.insert({Native("D:\\bd\\korvane1.db"), Native("F:\\bd\\korvane1.db")}); },
         "message 64 [Destino igual al origen] La base de datos de destino " + Native("F:\\bd\\korvane1.db") +
             " es la de origen " + Native("D:\\bd\\korvane1.db"),
         0},
        {"a dump folder that cannot be made",
         [this] { platform.uncreatable.insert(Native("E:\\vol\\korvane1")); },
         "message 64 [Sin carpeta para los ficheros .bd] No se puede crear la carpeta " + Native("E:\\vol\\korvane1"),
         0},
        {"two dump folders that are one through a link",
         [this] { platform.sameFiles.insert({Native("E:\\vol\\korvane2"), Native("E:\\vol\\korvane")}); },
         "message 64 [Carpeta de ficheros .bd compartida] Las carpetas de los ficheros .bd " +
             Native("E:\\vol\\korvane") + " y " + Native("E:\\vol\\korvane2") + " son la misma carpeta",
         0},
        {"a source folder that is not there", [this] { platform.folders.erase(Native("D:\\bd")); },
         "message 64 [No se encuentran las bases de datos] No se encuentra la carpeta de las bases de datos de origen " +
             Native("D:\\bd") + "\n\n",
         0},
        {"a share that cannot be reached", [this] { platform.unreadable.insert(Native("D:\\bd")); },
         "message 64 [No se encuentran las bases de datos] No se encuentra la carpeta de las bases de datos de origen " +
             Native("D:\\bd") + " (No se puede comprobar el fichero " + Native("D:\\bd") + ")",
         0},
        {"a database that is not there", [this] { platform.files.erase(Native("F:\\bd\\korvane1.db")); },
         "message 64 [No se encuentran las bases de datos] No se encuentra la base de datos " +
             Native("F:\\bd\\korvane1.db") + "\n\n",
         0},
        {"a destination folder typed wrong in a load alone",
         [this] {
             window.values[CheckBox::Check2] = 0;
             window.texts[Field::Text2] = Native("F:\\bdd");
         },
         "message 64 [No se encuentran las bases de datos] No se encuentra la carpeta de las bases de datos de "
         "destino " + Native("F:\\bdd") + "\n\n",
         0},
    };
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        platform.folders.clear();
        platform.uncreatable.clear();
        platform.unreadable.clear();
        platform.sameFiles.clear();
        SetUp();
        log.clear();
        row.arrange();
        engine.Aceptar_Click();
        const std::vector<std::string> messages = Messages();
        if (row.message.empty()) {
            EXPECT_TRUE(messages.empty()) << messages.front();
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].rfind(row.message, 0), 0u) << messages[0];
        }
        ASSERT_EQ(Runs().size(), row.runs);
        if (row.runs > 0) {
            EXPECT_EQ(Dumps()[0], firstDump);
        }
    }
}

// The command interpreter cannot work in a share: commands on databases
// there work in the dump-file folder, and without a local one nothing runs.
TEST_F(EngineTest, DatabasesOnAShareAreWorkedOnFromTheDumpFileFolder)
{
    Tick(CheckBox::Check2);
    const std::string share = Native("\\\\srv\\bd");
    platform.folders.insert(share);
    for (const char* name : kDatabaseNames)
        platform.files.insert(share + kPathSeparator + name + ".db");
    window.texts[Field::Text1] = share;
    engine.Aceptar_Click();
    ASSERT_EQ(platform.commands.size(), 6u);
    EXPECT_EQ(platform.commands.front().workingFolder, Native("E:\\vol"));
    EXPECT_NE(Written().find("  Carpeta de trabajo: " + Native("E:\\vol") + kLogLineEnd), std::string::npos);

    log.clear();
    window.texts[Field::Text4] = Native("\\\\srv\\vol");
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Runs().empty());
}

// Only a command whose interpreter never started is tried again: one that
// started may have loaded records already.
TEST_F(EngineTest, ACommandThatDidNotStartIsTriedOnceMoreAndOneThatStartedNever)
{
    Tick(CheckBox::Check2);
    platform.startsFailing = 1;
    engine.Aceptar_Click();
    EXPECT_EQ(Lines("pause ").size(), 1u);
    EXPECT_EQ(Runs().size(), 6u);
    EXPECT_TRUE(Messages().empty()) << Messages().front();

    // Twice: the pass stops, saying what it left undone.
    log.clear();
    platform.startsFailing = 2;
    engine.Aceptar_Click();
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages()[0], "message 0 [Vaciallena] No se ha podido descargar la tabla cliente de la base de datos "
                             "korvane: no se puede ejecutar el intérprete de órdenes\n\nNo se ha procesado la tabla "
                             "siguiente de la lista korvane.ttl.");
    EXPECT_NE(Written().find("Descarga korvane: 0 órdenes, 0 fallidas, 1 no iniciada, 1 tabla sin procesar"),
              std::string::npos);

    log.clear();
    platform.answer = [this](const std::string& line) -> CommandResult {
        if (line.find("korvane.db -C dump cliente") != std::string::npos)
            throw RunError("No se puede esperar a que termine la orden");
        return platform.Succeeded(line);
    };
    engine.Aceptar_Click();
    EXPECT_TRUE(Lines("pause ").empty());
    EXPECT_EQ(Lines(Runs().front()).size(), 1u);
}

// Side by side, neither the order nor the moment of the messages would
// tell whose command it was.
TEST_F(EngineTest, ACommandThatCannotBeStartedIsNamedWithItsDatabase)
{
    Tick(CheckBox::Check3);
    platform.neverStarts = Native("korvane1.db -C load E:\\vol\\korvane1\\factura.bd");
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().at(0), "message 0 [Vaciallena] No se ha podido cargar la tabla factura de la base de datos "
                                "korvane1: no se puede ejecutar el intérprete de órdenes");

    log.clear();
    platform.neverStarts = "korvane2.db -C idxbuild";
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 0 [Vaciallena] No se han podido reconstruir los índices de la base de "
                                   "datos korvane2: no se puede ejecutar el intérprete de órdenes"});
}

TEST_F(EngineTest, ALockFileThatCannotBeLookedForIsLoggedWithItsCause)
{
    Tick(CheckBox::Check2);
    platform.unreadable.insert(Native("D:\\bd\\korvane.lk"));
    engine.Aceptar_Click();
    EXPECT_NE(Written().find("está arrancada: No se puede comprobar el fichero " + Native("D:\\bd\\korvane.lk")),
              std::string::npos);
}

// Each installation's proutil runs with its own DLC, in the folder of the
// databases it works on.
TEST_F(EngineTest, CommandsRunWithTheirInstallationAndInTheirDatabasesFolder)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    window.texts[Field::Text6] = Native("G:\\otro\\dlc\\bin\\");
    platform.files.insert(Native("C:\\korv\\dlc\\bin\\_proutil") + (kPathSeparator == '\\' ? ".exe" : ""));
    platform.files.insert(Native("G:\\otro\\dlc\\bin\\\\_proutil") + (kPathSeparator == '\\' ? ".exe" : ""));
    engine.Aceptar_Click();
    ASSERT_EQ(platform.commands.size(), 18u);
    using Variables = std::vector<std::pair<std::string, std::string>>;
    // The destinations' counts come first.
    EXPECT_EQ(platform.commands[3].environment, (Variables{{"DLC", Native("C:\\korv\\dlc")}}));
    EXPECT_EQ(platform.commands[3].workingFolder, Native("D:\\bd"));
    EXPECT_EQ(platform.commands[0].environment, (Variables{{"DLC", Native("G:\\otro\\dlc")}}));
    EXPECT_EQ(platform.commands[14].workingFolder, Native("F:\\bd"));
    EXPECT_NE(Written().find("  DLC: " + Native("G:\\otro\\dlc") + kLogLineEnd), std::string::npos);

    // Without the installation's program the machine's environment is left as it is.
    std::erase_if(platform.files, [](const std::string& file) { return file.find("_proutil") != std::string::npos; });
    platform.commands.clear();
    engine.Aceptar_Click();
    EXPECT_TRUE(platform.commands[0].environment.empty());
}

// Every way a run ends gives the machine its sleep back once, and the
// taskbar its button.
TEST_F(EngineTest, TheMachineStaysAwakeForTheRunOnly)
{
    const std::vector<std::pair<const char*, std::function<void()>>> endings = {
        {"success", [] {}},
        {"failed dump",
         [this] { platform.answer = [](const std::string&) { return CommandResult{1, "** no. (1)"}; }; }},
        {"failed load",
         [this] {
             platform.answer = [this](const std::string& line) {
                 return line.find("-C load") != std::string::npos ? CommandResult{1, ""}
                                                                  : platform.Succeeded(line);
             };
         }},
        {"refused run", [this] { platform.files.insert(Native("F:\\bd\\korvane.lk")); }},
        {"error of the program", [this] { platform.interpreterMissing = true; }},
    };
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    for (const auto& [what, arrange] : endings) {
        SCOPED_TRACE(what);
        platform.files.clear();
        SetUp();
        platform.answer = nullptr;
        platform.interpreterMissing = false;
        platform.awake.clear();
        window.runsFinished = 0;
        arrange();
        engine.Aceptar_Click();
        EXPECT_EQ(platform.awake, (std::vector<bool>{true, false}));
        EXPECT_EQ(window.runsFinished, 1);
    }
}

TEST_F(EngineTest, ProgressCountsTheRunsCommandsAndShowsTheFirstFailure)
{
    Tick(CheckBox::Check2);
    Tick(CheckBox::Check3);
    engine.Aceptar_Click();
    ASSERT_FALSE(window.progress.empty());
    EXPECT_EQ(window.progress.back().done, 18);
    EXPECT_EQ(window.progress.back().total, 18);
    EXPECT_FALSE(window.progress.back().failed);
    // Without the check nothing knows the tables' sizes.
    EXPECT_FALSE(window.progress.back().weighed);

    window.progress.clear();
    // Loaded again, the destinations would be asked about before the dumps.
    for (const char* name : kDatabaseNames)
        platform.held.erase(Native("F:\\bd") + kPathSeparator + name + ".db");
    platform.answer = [this](const std::string& line) {
        return line.find("korvane1.db -C dump cliente") != std::string::npos ? CommandResult{1, ""}
                                                                            : platform.Succeeded(line);
    };
    engine.Aceptar_Click();
    // The 6th command, after the destinations' three counts, is the first to fail.
    EXPECT_FALSE(window.progress.at(5).failed);
    EXPECT_TRUE(window.progress.at(6).failed);
    EXPECT_TRUE(window.progress.back().failed);
}

TEST_F(EngineTest, ARunEndedByTheUserSaysSoInTheLog)
{
    Tick(CheckBox::Check2);
    window.onEvents = [this] {
        engine.EndedByUser();
        window.onEvents = nullptr;
    };
    engine.Aceptar_Click();
    EXPECT_NE(Written().find(WithLogLineEnds("Resultado: interrumpida por el usuario\nResumen:\n  Descarga korvane: ")),
              std::string::npos);
}

// A rebuild left running is the one command the administrator must let
// finish before touching the destination.
TEST_F(EngineTest, LeavingDuringAnIndexRebuildNamesItAmongTheCommandsThatGoOn)
{
    Tick(CheckBox::Check3);
    const std::string rebuild = Native("C:\\korv\\dlc\\bin\\proutil F:\\bd\\korvane1.db -C idxbuild all");
    window.onEvents = [&] {
        if (log.back() == "run " + rebuild) {
            engine.EndedByUser();
            window.onEvents = nullptr;
        }
    };
    engine.Aceptar_Click();
    EXPECT_NE(Written().find(WithLogLineEnds("Órdenes que seguían en marcha al salir del programa, y que siguen "
                                             "solas:\n    [korvane1] " + rebuild + "\n")),
              std::string::npos)
        << Written();
}

} // namespace
