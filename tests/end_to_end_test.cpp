#include <algorithm>
#include <regex>

#include <gtest/gtest.h>

#include "engine.h"
#include "fakes.h"
#include "report_files.h"
#include "run_log.h"
#include "run_report.h"
#include "sample_databases.h"
#include "system_helpers.h"
#include "table_list.h"
#include "text_lines.h"

namespace {

const auto& kNames = kDatabaseNames;

class EndToEnd : public ::testing::Test {
  protected:
    TempFolder root;
    std::string source = root.Make("origen");
    std::string destination = root.Make("destino");
    std::string dumpFolder = root.Make("ficheros bd");
    EventLog log;
    RecordingWindow window{log};
    std::string listFolder = root.Make("programa");
    SystemWithListsIn system{listFolder};
    Engine engine{window, system};
    RunReport report{[this] { return Messages(); }, [this] { return LogPath(); }};

    void SetUp() override
    {
        WriteSampleDatabases(source, destination, listFolder);
        window.texts[Field::Text1] = source;
        window.texts[Field::Text2] = destination;
        window.texts[Field::Text4] = dumpFolder;
        window.texts[Field::Text5] = StandinFolder();
        window.texts[Field::Text6] = StandinFolder();
        window.values[CheckBox::Check1] = 1;
        window.values[CheckBox::Check2] = 1;
        window.values[CheckBox::Check3] = 1;
        window.values[CheckBox::Check4] = 1;
    }

    // The start of the one message of that title, or why there is none.
    std::string Message(const std::string& title) const
    {
        std::string found = "no message [" + title + "]";
        for (const std::string& message : Messages()) {
            if (message.find("[" + title + "]") != std::string::npos)
                found = message;
        }
        return found;
    }
    std::string WrittenLog() const { return ReadTextFile(LogPath()); }
    std::string ListPath(int n) const { return JoinPath(listFolder, std::string(kNames[n]) + ".ttl"); }

    std::vector<std::string> Messages() const
    {
        std::vector<std::string> found;
        for (const std::string& line : log) {
            if (line.rfind("message ", 0) == 0)
                found.push_back(line);
        }
        return found;
    }

    std::string LogPath() const { return JoinPath(dumpFolder, "vaciallena.log"); }
    std::string Details() const { return "\n\nLos detalles están en el registro " + LogPath() + "."; }

    void ExpectDestinationsUntouched() const
    {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(standin::ReadDatabase(DatabasePath(destination, i)), EmptyCopy(SourceDatabase(i))) << kNames[i];
    }
};

TEST_F(EndToEnd, DumpLoadAndRebuildCopyTheThreeDatabases)
{
    engine.Aceptar_Click();

    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_TRUE(engine.ProcesoOK);
    // proutil's own count of each table, before and after, agrees.
    const std::string text = WrittenLog();
    EXPECT_NE(text.find("Comprobación korvane2: 4 tablas iguales, 0 distintas, 0 sin copiar"), std::string::npos);
    for (int i = 0; i < 3; ++i) {
        // Each source is counted before the first dump, once.
        const std::string counted = "Recuento de " + std::string(kNames[i]) + " (origen)";
        EXPECT_LT(text.find(counted), text.find(" -C dump ")) << kNames[i];
        EXPECT_EQ(text.find(counted, text.find(counted) + 1), std::string::npos) << kNames[i];
        // Equal records, and every index active again after the rebuild.
        EXPECT_EQ(standin::ReadDatabase(DatabasePath(destination, i)), SourceDatabase(i)) << kNames[i];
        EXPECT_TRUE(Exists(JoinPath(JoinPath(dumpFolder, kNames[i]), "factura.bd")));
        EXPECT_TRUE(Exists(JoinPath(JoinPath(dumpFolder, kNames[i]), "audit_registro.bd")));
    }
    EXPECT_EQ(log.back(), "enable Timer1 0");
}

TEST_F(EndToEnd, TheThreeDatabasesSideBySideAreCopiedToo)
{
    window.values[CheckBox::Check5] = 1;
    engine.Aceptar_Click();
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_NE(WrittenLog().find("Comprobación korvane2: 4 tablas iguales, 0 distintas, 0 sin copiar"),
              std::string::npos);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(standin::ReadDatabase(DatabasePath(destination, i)), SourceDatabase(i)) << kNames[i];
}

TEST_F(EndToEnd, FailingTableStopsTheRunBeforeAnyLoad)
{
    ScopedEnvironment failing("PROUTIL_FAIL_TABLE", "factura");
    engine.Aceptar_Click();

    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1], "message 0 [Vaciallena] Ha fallado 1 tabla de la base de datos korvane1:\n"
                           "factura: terminó con el código 3 y sin el mensaje de proceso completado (6254)\n"
                           "    ** Simulated failure for table factura. (9999)" + Details());
    EXPECT_EQ(messages[3], "message 64 [Errores de Descarga] Se han producido errores en el proceso de Descarga de "
                           "las bases de datos" + Details());
    ExpectDestinationsUntouched();
}

TEST_F(EndToEnd, SilentFailureIsNoticedToo)
{
    ScopedEnvironment failing("PROUTIL_FAIL_TABLE", "gmtrans");
    ScopedEnvironment exitZero("PROUTIL_FAIL_EXIT", "0");
    window.values[CheckBox::Check2] = 0;
    // A load from the dump of another run: its tables are there, except gmtrans fails.
    engine.Aceptar_Click();
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(),
              "message 64 [Errores de Carga] Se han producido errores en el proceso de Carga de las bases de datos" +
                  Details());
    EXPECT_FALSE(engine.ProcesoOK);
}

TEST_F(EndToEnd, LockedSourceIsRefused)
{
    WriteTextFile(JoinPath(source, "korvane2.lk"), "");
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), EventLog{"message 64 [La BBDD de orígen está arrancada] La base de datos de origen en " +
                                   source + " está arrancada, párela y reintentelo"});
    EXPECT_FALSE(Exists(JoinPath(dumpFolder, "korvane")));
    ExpectDestinationsUntouched();
}

TEST_F(EndToEnd, MissingTableListIsToldAndNothingIsLoaded)
{
    const std::string list = JoinPath(listFolder, "korvane1.ttl");
    std::filesystem::remove(standin::PathFromUtf8(list));
    engine.Aceptar_Click();
    EXPECT_EQ(Messages(), (EventLog{
                              "message 0 [Vaciallena] No se encuentra el fichero " + list,
                              "message 64 [Errores de Descarga] Se han producido errores en el proceso de Descarga "
                              "de las bases de datos" + Details(),
                          }));
    EXPECT_TRUE(Exists(JoinPath(JoinPath(dumpFolder, "korvane2"), "cliente.bd")));
    ExpectDestinationsUntouched();
}

// The group of log lines from the command's own line to the blank line after it.
std::string CommandEntry(const std::string& logText, const std::string& command)
{
    const std::string end = kLogLineEnd;
    const auto start = logText.find("] Orden: " + command + end);
    if (start == std::string::npos)
        return "not in the log: " + command;
    return logText.substr(start, logText.find(end + end, start) - start);
}

TEST_F(EndToEnd, RunLogTellsEachCommandWithItsVerdictAndTheUtilitysOutput)
{
    {
        ScopedEnvironment failing("PROUTIL_FAIL_TABLE", "factura");
        engine.Aceptar_Click();
    }
    const std::string text = ReadTextFile(LogPath());
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
#ifdef _WIN32
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_EQ(text[at - 1], '\r') << "a bare LF at " << at;
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
#endif
    EXPECT_TRUE(std::regex_search(text, std::regex("^\xEF\xBB\xBF==== \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "
                                                   "Inicio de la ejecución")));
    EXPECT_NE(text.find("Origen y destino de los ficheros .bd: " + dumpFolder + kLogLineEnd), std::string::npos);
    EXPECT_NE(text.find("Bases de datos de origen: " + source + kLogLineEnd), std::string::npos);

    for (const char* name : kNames) {
        for (const std::string table : kSampleTables) {
            const std::string entry =
                CommandEntry(text, DumpCommand(StandinFolder(), source, name, table, dumpFolder));
            if (table == "factura") {
                EXPECT_NE(entry.find("  Código de salida: 3  Resultado: fallido, terminó con el código 3 y sin el "
                                     "mensaje de proceso completado (6254)"),
                          std::string::npos)
                    << entry;
                EXPECT_NE(entry.find("    ** Simulated failure for table factura. (9999)"), std::string::npos) << entry;
            } else {
                EXPECT_NE(entry.find("  Código de salida: 0  Resultado: correcto"), std::string::npos) << entry;
                EXPECT_NE(entry.find("    Binary Dump complete. (6254)"), std::string::npos) << entry;
            }
        }
    }
    EXPECT_NE(text.find("Resultado: fallido en la descarga, no se ha hecho la carga"), std::string::npos);
    EXPECT_EQ(text.find("-C load"), std::string::npos);

    // The next run adds to the same file, after everything of the first.
    engine.Aceptar_Click();
    const std::string both = ReadTextFile(LogPath());
    EXPECT_EQ(both.substr(0, text.size()), text);
    EXPECT_EQ(both.find("\xEF\xBB\xBF", 1), std::string::npos);
    EXPECT_NE(both.find("Inicio de la ejecución", text.size()), std::string::npos);
    EXPECT_NE(both.find("Resultado: correcto", text.size()), std::string::npos);
}

TEST_F(EndToEnd, LogThatCannotBeWrittenIsToldAtTheEnd)
{
    dumpFolder = JoinPath(root.Path(), "no existe");
    window.texts[Field::Text4] = dumpFolder;
    window.values[CheckBox::Check3] = 0;
    engine.Aceptar_Click();

    const std::vector<std::string> messages = Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(),
              "message 64 [Vaciallena] No se ha podido escribir el registro de la ejecución en " + LogPath() + ".");
    for (const std::string& message : messages)
        EXPECT_EQ(message.find("Los detalles"), std::string::npos) << message;
    EXPECT_FALSE(Exists(dumpFolder));
}

// A machine whose DLC names another installation: each command gets the
// installation of the proutil it runs, and works in its databases' folder.
TEST_F(EndToEnd, EachCommandRunsWithItsOwnInstallation)
{
    ScopedEnvironment otherInstallation("DLC", JoinPath(root.Make("otra"), "dlc").c_str());
    const std::string environmentLog = JoinPath(root.Path(), "entorno.log");
    ScopedEnvironment recording("PROUTIL_ENV_LOG", environmentLog.c_str());
    engine.Aceptar_Click();
    ASSERT_TRUE(engine.ProcesoOK);

    const std::vector<std::string> lines = SplitLines(ReadTextFile(environmentLog));
    ASSERT_EQ(lines.size(), 36u);
    const std::string installation = "[DLC=" + ParentFolder(StandinFolder()) + "] ";
    EXPECT_EQ(lines.front(), installation + "[" + source + "]");
    EXPECT_EQ(lines.back(), installation + "[" + destination + "]");
}

// A load that stores fewer records than were dumped, and says nothing of
// it: only the count of each table finds it.
TEST_F(EndToEnd, ALoadThatStoresLessIsFoundByTheCount)
{
    ScopedEnvironment shortLoad("PROUTIL_SHORT_TABLE", "factura");
    engine.Aceptar_Click();
    EXPECT_NE(Messages().front().find("\nfactura: 1 registro en el origen, 0 en el destino"), std::string::npos)
        << Messages().front();
    EXPECT_EQ(Message("Errores de Comprobación").rfind("message 64", 0), 0u);
    EXPECT_FALSE(engine.ProcesoOK);
    EXPECT_NE(WrittenLog().find("Resultado: fallido en la comprobación de registros"), std::string::npos);
}

// Asked about before the first dump, and still a difference at the end.
TEST_F(EndToEnd, ATableWithRecordsLeftOutOfItsListIsNamed)
{
    WriteTextFile(ListPath(1), "cliente\r\ngmtrans\r\naudit.registro\r\n");
    window.answers["Tablas con registros que no se copiarán"] = kAnswerYes;
    engine.Aceptar_Click();
    const std::string text = WrittenLog();
    EXPECT_LT(text.find("Pregunta: Estas tablas tienen registros"), text.find(" -C dump "));
    EXPECT_NE(Message("Tablas con registros que no se copiarán").find("korvane1.ttl):\n    factura: 1 registro"),
              std::string::npos)
        << Message("Tablas con registros que no se copiarán");
    EXPECT_NE(Message("Vaciallena").find("\nfactura: 1 registro en el origen; no está en la lista korvane1.ttl, no se "
                                         "ha copiado"),
              std::string::npos)
        << Message("Vaciallena");
}

// Every shape of the table analysis that proutil prints is read whole: each
// table compares equal because it was counted, not because none was.
TEST_F(EndToEnd, EveryShapeOfTheTableAnalysisComparesTheRecords)
{
    // Each table's records and size as the sources' counts before the first
    // dump give them, the same in every shape.
    std::string sourceTables;
    for (const char* shape : {"one-level", "9.1", "wrapped", "11"}) {
        ScopedEnvironment printed("PROUTIL_TABANALYS", shape);
        WriteSampleDatabases(source, destination, listFolder);
        log.clear();
        engine.Aceptar_Click();
        EXPECT_TRUE(Messages().empty()) << shape << ": " << Messages().front();
        const std::string text = WrittenLog();
        const std::size_t run = text.rfind("Inicio de la ejecución");
        EXPECT_NE(text.find("Comprobación korvane1: 4 tablas iguales, 0 distintas, 0 sin copiar", run),
                  std::string::npos)
            << shape;
        const std::size_t counted = text.find("Recuento de korvane1 (origen)", run);
        ASSERT_NE(counted, std::string::npos) << shape;
        const std::string tables =
            text.substr(counted, text.find(std::string(kLogLineEnd) + kLogLineEnd, counted) - counted);
        if (sourceTables.empty())
            sourceTables = tables;
        EXPECT_EQ(tables, sourceTables) << shape;
    }
}

// A dump that left a damaged record out, and said it succeeded.
TEST_F(EndToEnd, ADumpThatLeftRecordsOutFailsItsTableAndNothingIsLoaded)
{
    ScopedEnvironment damaged("PROUTIL_DAMAGED_TABLE", "cliente");
    engine.Aceptar_Click();
    EXPECT_EQ(Messages().front(), "message 0 [Vaciallena] Ha fallado 1 tabla de la base de datos korvane:\n"
                                  "PUB.cliente: descargó 1 de 2 registros" + Details());
    ExpectDestinationsUntouched();
}

// A binary load appends: records already in a table would be repeated.
TEST_F(EndToEnd, ADestinationWithRecordsIsLoadedOnlyWhenTheUserSaysSo)
{
    standin::WriteDatabase(DatabasePath(destination, 1), SourceDatabase(1));
    window.answers["Bases de datos de destino con registros"] = kAnswerNo;
    engine.Aceptar_Click();
    EXPECT_NE(Message("Bases de datos de destino con registros").find("korvane1:\n    PUB.cliente: 2 registros"),
              std::string::npos)
        << Message("Bases de datos de destino con registros");
    EXPECT_EQ(standin::ReadDatabase(DatabasePath(destination, 0)), EmptyCopy(SourceDatabase(0)));
    EXPECT_NE(WrittenLog().find("Resultado: no se ha hecho nada, por la respuesta No"), std::string::npos);

    log.clear();
    window.answers["Bases de datos de destino con registros"] = kAnswerYes;
    engine.Aceptar_Click();
    EXPECT_EQ(standin::ReadDatabase(DatabasePath(destination, 0)), SourceDatabase(0));
    EXPECT_NE(Messages().at(1).find("PUB.cliente: 2 registros en el origen, 4 en el destino"), std::string::npos)
        << Messages().at(1);
}

// Counts taken while the database is in use are approximations: no
// count at all, and the question says why.
TEST_F(EndToEnd, ACountOfADatabaseInUseIsNoCount)
{
    ScopedEnvironment inUse("PROUTIL_IN_USE_WARNING", "1");
    window.answers["Bases de datos de destino con registros"] = kAnswerYes;
    engine.Aceptar_Click();
    EXPECT_NE(Message("Bases de datos de destino con registros").find("la base de datos estaba en uso"),
              std::string::npos)
        << Message("Bases de datos de destino con registros");
}

// A load alone compares with the source's counts its dump kept beside the
// dump files; without them it says the records were not compared.
TEST_F(EndToEnd, ALoadAloneComparesWithTheCountsItsDumpKept)
{
    window.values[CheckBox::Check3] = 0;
    engine.Aceptar_Click();
    std::filesystem::remove(standin::PathFromUtf8(JoinPath(JoinPath(dumpFolder, "korvane2"), kSourceReport)));

    log.clear();
    window.values[CheckBox::Check2] = 0;
    window.values[CheckBox::Check3] = 1;
    engine.Aceptar_Click();
    const std::string text = WrittenLog();
    EXPECT_NE(text.find("Comprobación korvane1: 4 tablas iguales"), std::string::npos);
    EXPECT_NE(text.find("Comprobación korvane2: no comprobada: no se encuentra el análisis de tablas de origen"),
              std::string::npos);
    EXPECT_NE(Message("Comprobación de registros").find("\nkorvane2: no se encuentra"), std::string::npos);
    EXPECT_TRUE(engine.ProcesoOK);
}

// With the box clear the records are counted only where a load could
// repeat them: in the destinations before it.
TEST_F(EndToEnd, WithoutTheCheckOnlyTheDestinationsAreCountedBeforeTheLoad)
{
    window.values[CheckBox::Check4] = 0;
    const std::string calls = JoinPath(root.Path(), "llamadas.log");
    ScopedEnvironment recording("PROUTIL_LOG", calls.c_str());
    engine.Aceptar_Click();
    const std::vector<std::string> lines = SplitLines(ReadTextFile(calls));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.find("[tabanalys]") != std::string::npos; }),
              3);
    EXPECT_TRUE(Messages().empty()) << Messages().front();
}

TEST_F(EndToEnd, ADestinationThatIsTheSourceIsRefusedHoweverItIsWritten)
{
#ifdef _WIN32
    const std::string spellings[] = {source + "\\", JoinPath(JoinPath(source, ".."), "ORIGEN")};
#else
    const std::string spellings[] = {source + "/", JoinPath(JoinPath(source, ".."), "origen")};
#endif
    for (const std::string& spelling : spellings) {
        log.clear();
        window.texts[Field::Text2] = spelling;
        engine.Aceptar_Click();
        ASSERT_EQ(Messages().size(), 1u) << spelling;
        EXPECT_EQ(Messages()[0].rfind("message 64 [Destino igual al origen]", 0), 0u) << spelling;
        EXPECT_FALSE(Exists(JoinPath(dumpFolder, "korvane"))) << spelling;
    }
}

#ifdef _WIN32
TEST_F(EndToEnd, UnsetComSpecIsToldForEachDatabase)
{
    ScopedEnvironment unset("ComSpec", nullptr);
    // The destinations cannot be counted either: asked about first.
    window.answers["Bases de datos de destino con registros"] = kAnswerYes;
    engine.Aceptar_Click();
    const auto cannot = [](const char* database) {
        return "message 0 [Vaciallena] No se ha podido descargar la tabla PUB.cliente de la base de datos " +
               std::string(database) + ": no se puede ejecutar la orden: la variable de entorno ComSpec no está "
               "definida\n\nNo se han procesado las 3 tablas siguientes de la lista " + std::string(database) + ".ttl.";
    };
    const std::vector<std::string> messages = Messages();
    ASSERT_GE(messages.size(), 5u);
    EXPECT_EQ(EventLog(messages.begin() + 1, messages.begin() + 5),
              (EventLog{cannot("korvane"), cannot("korvane1"), cannot("korvane2"),
                        "message 64 [Errores de Descarga] Se han producido errores en el proceso de "
                        "Descarga de las bases de datos" + Details()}));
    // Nothing ran: no order of the summary failed.
    EXPECT_NE(WrittenLog().find("Descarga korvane: 0 órdenes, 0 fallidas, 1 no iniciada, 3 tablas sin procesar"),
              std::string::npos);
    ExpectDestinationsUntouched();
}
#endif

} // namespace
