#include "texts.h"

#include <iterator>

#include "failure_report.h"
#include "request.h"
#include "window_ops.h"

namespace texts {

namespace {

const char* const kTryAgain = " y reinténtelo";
const char* const kLoadedTwice =
    ": la carga añadiría los registros otra vez a las bases de datos de origen. Elija otra ruta de destino";

std::string InParentheses(const std::string& systemReason)
{
    return systemReason.empty() ? "" : " (" + systemReason + ")";
}

const char* YesNo(bool ticked)
{
    return ticked ? kYes : kNo;
}

} // namespace

// ---- Message titles

std::string LockNotCheckedTitle(const std::string& side)
{
    return "No se puede comprobar la BBDD de " + side;
}

// ---- The window

std::string DriveCaption(const std::string& name, char letter)
{
    return name + " (" + letter + ":)";
}

// ---- Message boxes

std::string DestinationsHoldRecords(const std::string& found)
{
    return "Las bases de datos de destino ya tienen registros en tablas que se van a cargar:\n" + found +
           "\n\nLa carga añadiría los registros a los que ya hay, que quedarían repetidos. ¿Desea cargar de todas "
           "formas?";
}

std::string DestinationsMayHoldRecords(const std::string& found)
{
    return "No se ha podido comprobar si las bases de datos de destino tienen registros:\n" + found +
           "\n\nSi los tienen, la carga añadiría los registros a los que ya hay, que quedarían repetidos. ¿Desea "
           "cargar de todas formas?";
}

std::string RecordsNotKnown(const std::string& database, const std::string& why)
{
    return database + ": no se ha podido saber si tiene registros: " + why;
}

std::string UnlistedTablesHoldRecords(const std::string& found)
{
    return "Estas tablas tienen registros en el origen y no están en la lista de tablas de su base de datos, así "
           "que no se copiarán:" + found + "\n\n¿Desea seguir de todas formas?";
}

std::string ListHeading(const std::string& database)
{
    return database + " (lista " + database + ".ttl):";
}

std::string SpaceMayBeShort(const std::string& found)
{
    return "Puede que no haya espacio suficiente para los ficheros .bd, los datos cargados y los ficheros de "
           "ordenación de la reconstrucción de los índices:" + found +
           "\n\nLa estimación es aproximada. ¿Desea seguir de todas formas?";
}

std::string TableRecords(const std::string& table, long long records)
{
    return table + ": " + Records(records);
}

std::string FailedTables(long long tables, const std::string& database)
{
    return (tables == 1 ? "Ha fallado " : "Han fallado ") + CountText(tables, "tabla", "tablas") +
           " de la base de datos " + database + ":";
}

std::string MoreEntries(long long entries)
{
    return "y " + Thousands(entries) + " más.";
}

std::string UntriedTable(const std::string& listName)
{
    return "\n\nNo se ha procesado la tabla siguiente de la lista " + listName + ".";
}

std::string UntriedTables(long long tables, const std::string& listName)
{
    return "\n\nNo se han procesado las " + Thousands(tables) + " tablas siguientes de la lista " + listName + ".";
}

std::string IndexesNotRebuilt(const std::string& database)
{
    return "No se han podido reconstruir los índices de la base de datos " + database;
}

std::string DatabaseRecordsDiffer(const std::string& database)
{
    return "Los registros de la base de datos " + database + " no coinciden con los de la base de datos de origen:";
}

std::string NotCheckedParagraph(const std::string& database, const std::string& why)
{
    return "\n\nNo se han podido comprobar los registros de " + database + ": " + why;
}

std::string DetailsNote(const std::string& logPath)
{
    return "\n\nLos detalles están en el registro " + logPath + ".";
}

std::string LogNotWritten(const std::string& logPath)
{
    return "No se ha podido escribir el registro de la ejecución en " + logPath + ".";
}

// ---- Refusals

std::string DumpFilesDoNotFit(const std::string& folder, const std::string& figures)
{
    return "Los ficheros .bd no caben en " + folder + ": " + figures +
           ". Libere espacio o elija otra carpeta" + kTryAgain;
}

std::string FolderNotPassable(const std::string& shownFolder)
{
    return "La ruta " + shownFolder +
           " contiene caracteres que no se pueden pasar a proutil (comillas, % o caracteres de control). Cámbiela y "
           "reinténtelo";
}

std::string FolderNotFull(const std::string& folder)
{
    return "La ruta " + folder + " no es una ruta completa. Escríbala entera, con su unidad (por ejemplo D:\\bd)," +
           kTryAgain;
}

std::string DatabaseNotFound(const std::string& file)
{
    return "No se encuentra la base de datos " + file;
}

std::string DatabaseFolderNotFound(const std::string& side, const std::string& folder,
                                   const std::string& systemReason)
{
    return "No se encuentra la carpeta de las bases de datos de " + side + " " + folder + InParentheses(systemReason);
}

std::string CheckFoldersAgain(const std::string& notFound)
{
    return notFound + "\n\nCompruebe las rutas" + kTryAgain;
}

std::string NetworkFolders(const std::string& side, const std::string& dbFolder, const std::string& dumpFolder)
{
    return "Las bases de datos de " + side + " están en la carpeta de red " + dbFolder +
           " y los ficheros .bd en la carpeta de red " + dumpFolder +
           ". proutil necesita una carpeta local para sus ficheros temporales y de ordenación, y usa la de los "
           "ficheros .bd cuando la de las bases de datos es de red. Elija una carpeta local (por ejemplo E:\\vol) "
           "para los ficheros .bd" +
           kTryAgain;
}

std::string SameFolders(const std::string& destination, const std::string& source)
{
    return "Las bases de datos de destino en " + destination + " son las mismas que las de origen en " + source +
           kLoadedTwice + kTryAgain;
}

std::string SameDatabase(const std::string& destination, const std::string& source)
{
    return "La base de datos de destino " + destination + " es la de origen " + source + kLoadedTwice + kTryAgain;
}

std::string DatabasesInUse(const std::string& side, const std::string& folder, const std::string& stopThem)
{
    return "La base de datos de " + side + " en " + folder + " está arrancada, " + stopThem + " y reintentelo";
}

std::string LockNotChecked(const std::string& side, const std::string& database, const std::string& folder,
                           const std::string& systemReason)
{
    return "No se ha podido comprobar si la base de datos de " + side + " " + database + " en " + folder +
           " está arrancada: " + systemReason + ". Compruebe la ruta" + kTryAgain;
}

std::string DumpFolderNotMade(const std::string& folder, const std::string& systemReason)
{
    return "No se puede crear la carpeta " + folder + " para los ficheros .bd" + InParentheses(systemReason) +
           ". Compruebe la ruta de los ficheros .bd" + kTryAgain;
}

std::string SharedDumpFolder(const std::string& first, const std::string& second, const std::string& firstDatabase,
                             const std::string& secondDatabase)
{
    return "Las carpetas de los ficheros .bd " + first + " y " + second +
           " son la misma carpeta: los ficheros .bd de las bases de datos " + firstDatabase + " y " + secondDatabase +
           " se sustituirían unos a otros y se cargarían en la base de datos equivocada. Haga que sean carpetas "
           "distintas" +
           kTryAgain;
}

// ---- Status lines

std::string IndexStatus(const std::string& databaseTitle)
{
    return "Indexando Indices de " + databaseTitle;
}

std::string TableStatus(const std::string& table)
{
    return "Tabla: " + table;
}

// As Windows' own copies tell it: whole minutes, and hours with their
// minutes once past the hour.
std::string TimeLeft(const RunProgress& progress)
{
    if (!progress.weighed)
        return "";
    if (!progress.left)
        return "Calculando el tiempo que queda…";
    const long long seconds = progress.left->count();
    // "Aproximadamente menos de" says nothing more: it goes to the end.
    if (seconds < 60)
        return std::string("Queda menos de un minuto") + (progress.approximate ? ", aproximadamente" : "");
    const long long minutes = (seconds + 30) / 60;
    const long long hours = minutes / 60;
    // The verb agrees with what comes first.
    std::string text = (hours > 0 ? hours == 1 : minutes == 1) ? "Queda " : "Quedan ";
    if (progress.approximate)
        text += "aproximadamente ";
    else if (hours == 0 && minutes > 1)
        text += "unos ";
    if (hours == 0)
        return text + (minutes == 1 ? "un minuto" : CountText(minutes, "minuto", "minutos"));
    text += CountText(hours, "hora", "horas");
    if (minutes % 60 > 0)
        text += " y " + CountText(minutes % 60, "minuto", "minutos");
    return text;
}

// ---- Log

std::string RunBegins(const std::string& stamp, const Request& request)
{
    return "==== " + stamp + "  Inicio de la ejecución\n" +
           "Bases de datos de origen: " + request.sourceFolder + "\n" +
           "DLC de origen: " + request.sourceDlc + "\n" +
           "Bases de datos de destino: " + request.destinationFolder + "\n" +
           "DLC de destino: " + request.destinationDlc + "\n" +
           "Origen y destino de los ficheros .bd: " + request.dumpFolder + "\n" +
           "Descarga: " + YesNo(request.dump) + "\n" +
           "Carga: " + YesNo(request.load) + "\n" +
           "Procesar Transacciones: " + YesNo(request.transactions) + "\n" +
           "Comprobar registros: " + YesNo(request.verify) + "\n" +
           (request.parallel ? std::string("Procesar en paralelo: ") + kYes + "\n" : "") + "\n";
}

std::string CommandBegins(const std::string& line)
{
    return "Empieza la orden: " + line;
}

std::string CommandLines(const std::string& line, const std::string& workingFolder, const std::string& dlc,
                         const std::string& outputFile)
{
    return "Orden: " + line + "\n" + "  Carpeta de trabajo: " + workingFolder + "\n" + "  DLC: " + dlc + "\n" +
           (outputFile.empty() ? "" : "  Salida completa en: " + outputFile + "\n");
}

std::string CommandTimes(const std::string& start, const std::string& end)
{
    return "  Inicio: " + start + "  Fin: " + end + "\n";
}

std::string CommandBytes(long long bytes, const std::string& rate)
{
    return "  Datos: " + ByteSize(bytes) + (rate.empty() ? "" : ", " + rate) + "\n";
}

std::string ByteRate(double bytesPerSecond)
{
    return ByteSize(static_cast<long long>(bytesPerSecond + 0.5)) + "/s";
}

std::string CommandEnd(const std::string& duration, int exitCode, const std::string& result)
{
    return "  Duración: " + duration + "  Código de salida: " + std::to_string(exitCode) + "  Resultado: " + result +
           "\n";
}

std::string CommandFailed(const std::string& reason)
{
    return "fallido, " + reason;
}

std::string OutputLeftOut(unsigned long long bytes)
{
    return "    [... " + std::to_string(bytes) + " bytes de salida omitidos ...]\n";
}

std::string NotStarted(const std::string& why, bool again)
{
    return "No se ha podido iniciar: " + why + (again ? ". Se intenta otra vez." : "");
}

std::string TableNotRun(const std::string& table, const std::string& reason)
{
    return "Tabla " + table + " no procesada: " + reason;
}

std::string LoggedError(const std::string& text)
{
    return "Error: " + text;
}

std::string Question(const std::string& question)
{
    return "Pregunta: " + question;
}

std::string CountedTables(const std::string& database, const std::string& side, long long tables, long long records,
                          long long bytes)
{
    return "Recuento de " + database + " (" + side + "): " + CountText(tables, "tabla", "tablas") + ", " +
           Records(records) + ", " + ByteSize(bytes);
}

std::string CountedTable(const std::string& table, long long records, long long bytes)
{
    return table + ": " + Records(records) + ", " + ByteSize(bytes);
}

std::string SizeNotKnown(const std::string& database)
{
    return "Espacio en disco: no se conoce el tamaño de las tablas de " + database + ", que no cuenta en la estimación";
}

std::string SpaceNotKnownNote(const std::string& why)
{
    return "Espacio en disco: " + why + "; no se comprueba";
}

std::string SpaceFigures(long long needed, long long free, const std::string& volume)
{
    return "hacen falta unos " + ByteSize(needed) + " y hay " + ByteSize(free) + " libres en " + volume;
}

std::string SpaceNote(const std::string& figures, const char* decision)
{
    return "Espacio en disco: " + figures + ": " + decision;
}

std::string LeftOutNote(const std::string& database, const std::string& inSource)
{
    return std::string(kCheckName) + " " + database + ": " + inSource +
           "; no se ha copiado porque Procesar Transacciones no está marcado";
}

std::string DifferencesHeading(const std::string& database)
{
    return std::string(kCheckName) + " " + database + ", registros distintos:";
}

std::string FailedReportNotRemoved(const std::string& report)
{
    return "No se puede borrar el análisis de tablas fallido " + report;
}

// ---- Summary

std::string RunEnds(const std::string& stamp, const std::string& total, const std::string& outcome)
{
    return "==== " + stamp + "  Fin de la ejecución (" + total + "). Resultado: " + outcome + "\n";
}

std::string CheckLine(const std::string& database, const std::string& figures)
{
    return "  " + std::string(kCheckName) + " " + database + ": " + figures + "\n";
}

std::string PhaseLine(const std::string& phase, const std::string& figures)
{
    return "  Fase " + phase + ": " + figures + "\n";
}

std::string TotalTime(const std::string& total)
{
    return "  Tiempo total: " + total + "\n";
}

std::string EstimateLine(const char* share, const std::string& estimated, const std::string& actual)
{
    return "  Tiempo restante a " + std::string(share) + " del trabajo: estimado " + estimated + ", real " + actual +
           "\n";
}

std::string Commands(long long count)
{
    return CountText(count, "orden", "órdenes");
}

std::string Failed(long long count)
{
    return CountText(count, "fallida", "fallidas");
}

std::string NotStartedCount(long long count)
{
    return CountText(count, "no iniciada", "no iniciadas");
}

std::string InvalidLines(long long count)
{
    return CountText(count, "línea no válida", "líneas no válidas");
}

std::string TablesUntried(long long count)
{
    return CountText(count, "tabla sin procesar", "tablas sin procesar");
}

std::string RecordsDumped(long long count)
{
    return CountText(count, "registro descargado", "registros descargados");
}

std::string NotChecked(const std::string& why)
{
    return "no comprobada: " + why;
}

std::string TablesEqual(long long count)
{
    return CountText(count, "tabla igual", "tablas iguales");
}

std::string TablesDifferent(long long count)
{
    return CountText(count, "distinta", "distintas");
}

std::string TablesNotCopied(long long count)
{
    return CountText(count, "sin copiar", "sin copiar");
}

std::string NothingDone(const std::string& questionTitle)
{
    return "no se ha hecho nada, por la respuesta No a «" + questionTitle + "»";
}

// ---- Reasons

std::string Records(long long count)
{
    return CountText(count, "registro", "registros");
}

std::string ByteSize(long long bytes)
{
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1024)
        return Thousands(bytes) + (bytes == 1 ? " byte" : " bytes");
    // In tenths, rounded, of the largest unit that leaves a whole part.
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1023.95 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    const long long tenths = static_cast<long long>(value * 10 + 0.5);
    return Thousands(tenths / 10) + "," + std::to_string(tenths % 10) + " " + kUnits[unit];
}

std::string EndedWithCode(const std::string& exitCode)
{
    return "terminó con el código " + exitCode;
}

std::string EndedWithout(const std::string& missing)
{
    return "terminó sin " + missing;
}

std::string EndedWithCodeAndWithout(const std::string& exitCode, const std::string& missing)
{
    return EndedWithCode(exitCode) + " y sin " + missing;
}

std::string SuccessMessage(const std::string& successNumber)
{
    return "el mensaje de proceso completado " + successNumber;
}

std::string EndedWithErrors(const std::string& shownLine)
{
    return "terminó con errores: " + shownLine;
}

std::string TableNotStarted(const std::string& verb, const std::string& shownTable, const std::string& database)
{
    return "No se ha podido " + verb + " la tabla " + shownTable + " de la base de datos " + database;
}

std::string EmptyList(const std::string& list)
{
    return "La lista de tablas " + list + " no contiene ninguna tabla";
}

std::string OldReportNotRemoved(const std::string& report, const std::string& database)
{
    return "No se puede borrar el análisis de tablas anterior " + report +
           ", que ya no corresponde a los ficheros .bd; no se ha descargado la base de datos " + database;
}

std::string DumpedFewer(long long written, long long counted)
{
    return "descargó " + Thousands(written) + " de " + Records(counted);
}

std::string DumpFileTaken(const std::string& file, const std::string& otherTable)
{
    return "su fichero de descarga " + file + " es el de la tabla " + otherTable;
}

std::string InSource(const std::string& table, long long records)
{
    return table + ": " + Records(records) + " en el origen";
}

std::string NotInList(const std::string& inSource, const std::string& database)
{
    return inSource + "; no está en la lista " + database + ".ttl, no se ha copiado";
}

std::string DifferentInDestination(const std::string& inSource, long long records)
{
    return inSource + ", " + Thousands(records) + " en el destino";
}

std::string SourceReportMissing(const std::string& report)
{
    return "no se encuentra el análisis de tablas de origen " + report +
           ", que se hace al descargar con «Comprobar registros» marcado";
}

std::string ReportNotValid(const std::string& report, const std::string& shownUnread)
{
    return "el fichero " + report + " no es un análisis de tablas válido" +
           (shownUnread.empty() ? "" : ": " + shownUnread);
}

std::string OutputNotRead(const std::string& systemReason)
{
    return "no se ha podido leer su salida: " + systemReason;
}

std::string AnalysisFailed(const std::string& reason)
{
    return "el análisis de tablas ha fallado: " + reason;
}

std::string NoRecordsCounted(long long dumped)
{
    return "el análisis de tablas no cuenta ningún registro y la descarga escribió " + Records(dumped);
}

std::string SourceNotCounted(const std::string& why)
{
    return "no se han podido contar los registros de origen: " + why;
}

std::string DestinationNotCounted(const std::string& why)
{
    return "no se han podido contar los registros de destino: " + why;
}

std::string UnknownLine(const std::string& line)
{
    return "una línea del análisis de tablas no se entiende: " + line;
}

std::string SpaceNotKnown(const std::string& folder)
{
    return "No se puede saber el espacio libre de " + folder;
}

std::string CannotCheck(const std::string& path)
{
    return "No se puede comprobar " + path;
}

std::string FileNotFound(const std::string& path)
{
    return "No se encuentra el fichero " + path;
}

std::string CannotOpenFile(const std::string& path)
{
    return "No se puede abrir el fichero " + path;
}

std::string CannotWriteFile(const std::string& path)
{
    return "No se puede escribir el fichero " + path;
}

std::string CannotRunInterpreter(const std::string& interpreter, const std::string& folder)
{
    return "No se puede ejecutar " + interpreter + (folder.empty() ? "" : " en la carpeta " + folder);
}

std::string SystemErrorNumber(unsigned long code)
{
    return "error " + std::to_string(code);
}

} // namespace texts
