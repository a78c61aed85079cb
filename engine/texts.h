#pragma once

#include <string>

struct Request;
struct RunProgress;

// Every text the user reads, by where it appears: one place to find and
// change a wording. The code names a text; a function here takes what
// varies and joins it in, and the caller decides which text to show.
namespace texts {

// ---- Message titles

inline constexpr const char* kProgramTitle = "Vaciallena";
inline constexpr const char* kChooseActionTitle = "Seleccione Acción";
inline constexpr const char* kNoDumpFolderTitle = "Informar ruta ficheros .bd";
inline constexpr const char* kInvalidFolderTitle = "Ruta no válida";
inline constexpr const char* kDatabasesNotFoundTitle = "No se encuentran las bases de datos";
inline constexpr const char* kSameAsSourceTitle = "Destino igual al origen";
inline constexpr const char* kNoFolderTitle = "Sin ruta";
inline constexpr const char* kSourceInUseTitle = "La BBDD de orígen está arrancada";
inline constexpr const char* kDestinationInUseTitle = "La BBDD de destino está arrancada";
std::string LockNotCheckedTitle(const std::string& side);
inline constexpr const char* kDumpFolderNotMadeTitle = "Sin carpeta para los ficheros .bd";
inline constexpr const char* kSharedDumpFolderTitle = "Carpeta de ficheros .bd compartida";
inline constexpr const char* kDumpErrorsTitle = "Errores de Descarga";
inline constexpr const char* kLoadErrorsTitle = "Errores de Carga";
inline constexpr const char* kLoadQuestionTitle = "Bases de datos de destino con registros";
inline constexpr const char* kUnlistedTablesTitle = "Tablas con registros que no se copiarán";
inline constexpr const char* kSpaceQuestionTitle = "Puede faltar espacio en disco";
inline constexpr const char* kNoSpaceTitle = "Sin espacio para los ficheros .bd";
inline constexpr const char* kCheckErrorsTitle = "Errores de Comprobación";
inline constexpr const char* kUncheckedTitle = "Comprobación de registros";
inline constexpr const char* kExitTitle = "Salir del Programa";

// ---- The window

inline constexpr const char* kWindowCaption = "Descarga - Carga de una Base de Datos Progress";
inline constexpr const char* kExitQuestion = "¿Está seguro de querer salir del Programa de Brandemar?";
inline constexpr const char* kWindowNotMade = "No se puede crear la ventana";
inline constexpr const char* kUnexpectedError = "Error inesperado del programa.";
// The folder picker's drives, as Explorer names those without a label.
inline constexpr const char* kLocalDisk = "Disco local";
inline constexpr const char* kRemovableDrive = "Unidad extraíble";
inline constexpr const char* kOpticalDrive = "Unidad de CD/DVD";
inline constexpr const char* kNetworkDrive = "Unidad de red";
inline constexpr const char* kOtherDrive = "Unidad";
std::string DriveCaption(const std::string& name, char letter);

// ---- Message boxes

inline constexpr const char* kChooseAction = "Seleccione la acción a realizar";
inline constexpr const char* kNoDumpFolder = "Tiene que informar una ruta de Origen/Destino para los ficheros .bd";
inline constexpr const char* kDumpErrors = "Se han producido errores en el proceso de Descarga de las bases de datos";
inline constexpr const char* kLoadErrors = "Se han producido errores en el proceso de Carga de las bases de datos";
// The question before loading; found lists the databases, each after a
// line break.
std::string DestinationsHoldRecords(const std::string& found);
std::string DestinationsMayHoldRecords(const std::string& found);
std::string RecordsNotKnown(const std::string& database, const std::string& why);
// found lists the databases and their tables, each after a line break.
std::string UnlistedTablesHoldRecords(const std::string& found);
std::string ListHeading(const std::string& database);
// found lists the volumes, each after a line break.
std::string SpaceMayBeShort(const std::string& found);
std::string TableRecords(const std::string& table, long long records);
std::string FailedTables(long long tables, const std::string& database);
std::string MoreEntries(long long entries);
std::string UntriedTable(const std::string& listName);
std::string UntriedTables(long long tables, const std::string& listName);
std::string IndexesNotRebuilt(const std::string& database);
std::string DatabaseRecordsDiffer(const std::string& database);
inline constexpr const char* kRecordsDiffer =
    "Los registros de las bases de datos de destino no coinciden con los de las bases de datos de origen.";
std::string NotCheckedParagraph(const std::string& database, const std::string& why);
inline constexpr const char* kNotAllChecked = "No se han podido comprobar los registros de todas las bases de datos:";
std::string DetailsNote(const std::string& logPath);
std::string LogNotWritten(const std::string& logPath);

// ---- Refusals

inline constexpr const char* kNoSourceFolder = "Debe informar la ruta donde se encuentran las bases de datos de origen";
inline constexpr const char* kNoDestinationFolder =
    "Debe informar la ruta donde se encuentran las bases de datos de destino";
inline constexpr const char* kNoDlcFolder = "Debe informar la ruta donde se encuentra la carpeta DLC de su instalación";
std::string FolderNotPassable(const std::string& shownFolder);
std::string DumpFilesDoNotFit(const std::string& folder, const std::string& figures);
std::string FolderNotFull(const std::string& folder);
std::string DatabaseNotFound(const std::string& file);
// systemReason is empty when the folder is simply not there.
std::string DatabaseFolderNotFound(const std::string& side, const std::string& folder,
                                   const std::string& systemReason);
std::string CheckFoldersAgain(const std::string& notFound);
std::string NetworkFolders(const std::string& side, const std::string& dbFolder, const std::string& dumpFolder);
std::string SameFolders(const std::string& destination, const std::string& source);
std::string SameDatabase(const std::string& destination, const std::string& source);
// How the in-use refusal asks to stop the databases: the two directions'
// texts differ in their accents.
inline constexpr const char* kStopSource = "párela";
inline constexpr const char* kStopDestination = "parela";
std::string DatabasesInUse(const std::string& side, const std::string& folder, const std::string& stopThem);
std::string LockNotChecked(const std::string& side, const std::string& database, const std::string& folder,
                           const std::string& systemReason);
std::string DumpFolderNotMade(const std::string& folder, const std::string& systemReason);
std::string SharedDumpFolder(const std::string& first, const std::string& second, const std::string& firstDatabase,
                             const std::string& secondDatabase);

// ---- Parts of the texts above, by direction

inline constexpr const char* kSource = "origen";
inline constexpr const char* kDestination = "destino";
inline constexpr const char* kDumpVerb = "descargar";
inline constexpr const char* kLoadVerb = "cargar";

// ---- Status lines: a caption is followed by the database's title and a blank

inline constexpr const char* kDumpStatus = "Procesando Descarga ";
inline constexpr const char* kLoadStatus = "Procesando Carga ";
inline constexpr const char* kCountStatus = "Contando registros ";
inline constexpr const char* kReviewStatus = "Revisando destino ";
std::string IndexStatus(const std::string& databaseTitle);
std::string TableStatus(const std::string& table);
// Beside the progress bar: empty when the time left cannot be known.
std::string TimeLeft(const RunProgress& progress);

// ---- Log

// Passes and phases, as the summary names them.
inline constexpr const char* kDumpName = "Descarga";
inline constexpr const char* kLoadName = "Carga";
inline constexpr const char* kIndexName = "Índices";
inline constexpr const char* kSurveyName = "Recuento";
inline constexpr const char* kCheckName = "Comprobación";

// How the run's start gives each tick.
inline constexpr const char* kYes = "sí";
inline constexpr const char* kNo = "no";
std::string RunBegins(const std::string& stamp, const Request& request);
std::string CommandBegins(const std::string& line);
inline constexpr const char* kSystemDlc = "el del sistema";
std::string CommandLines(const std::string& line, const std::string& workingFolder, const std::string& dlc,
                         const std::string& outputFile);
std::string CommandTimes(const std::string& start, const std::string& end);
std::string CommandEnd(const std::string& duration, int exitCode, const std::string& result);
// What it went through, and how fast; rate is empty when it took no time.
std::string CommandBytes(long long bytes, const std::string& rate);
std::string ByteRate(double bytesPerSecond);
inline constexpr const char* kCommandSucceeded = "correcto";
std::string CommandFailed(const std::string& reason);
inline constexpr const char* kNoOutput = "  Salida: ninguna\n";
inline constexpr const char* kOutput = "  Salida:\n";
std::string OutputLeftOut(unsigned long long bytes);
std::string NotStarted(const std::string& why, bool again);
std::string TableNotRun(const std::string& table, const std::string& reason);
std::string LoggedError(const std::string& text);
std::string Question(const std::string& question);
inline constexpr const char* kAnsweredYes = "Respuesta: Sí, se sigue de todas formas";
inline constexpr const char* kAnsweredNo = "Respuesta: No, no se hace nada";
std::string CountedTables(const std::string& database, const std::string& side, long long tables, long long records,
                          long long bytes);
std::string CountedTable(const std::string& table, long long records, long long bytes);
inline constexpr const char* kSpaceNotChecked =
    "Espacio en disco: no se ha comprobado; sin «Comprobar registros» no se conoce el tamaño de las tablas";
std::string SizeNotKnown(const std::string& database);
std::string SpaceNotKnownNote(const std::string& why);
// "hacen falta unos 41,2 GB y hay 12,0 GB libres en E:\"
std::string SpaceFigures(long long needed, long long free, const std::string& volume);
std::string SpaceNote(const std::string& figures, const char* decision);
inline constexpr const char* kSpaceEnough = "suficiente";
inline constexpr const char* kSpaceThin = "puede faltar, se pregunta";
inline constexpr const char* kSpaceShort = "no caben los ficheros .bd, no se empieza";
inline constexpr const char* kStillRunning = "Órdenes que seguían en marcha al salir del programa, y que siguen solas:";
inline constexpr const char* kSequences =
    "Las secuencias no se copian con la descarga y carga binaria: cargue sus valores actuales "
    "(Data Administration, Sequences Current Values, _seqvals.d) antes de usar las bases de datos de destino.";
inline constexpr const char* kAllRecordsMatch =
    "Comprobación de registros: las bases de datos de destino tienen los mismos registros que las de origen";
std::string LeftOutNote(const std::string& database, const std::string& inSource);
std::string DifferencesHeading(const std::string& database);
std::string FailedReportNotRemoved(const std::string& report);

// ---- Summary

std::string RunEnds(const std::string& stamp, const std::string& total, const std::string& outcome);
inline constexpr const char* kSummary = "Resumen:\n";
std::string CheckLine(const std::string& database, const std::string& figures);
std::string PhaseLine(const std::string& phase, const std::string& figures);
std::string TotalTime(const std::string& total);
// The time left as estimated when a share of the work was done, beside the
// time that was actually left then.
std::string EstimateLine(const char* share, const std::string& estimated, const std::string& actual);
inline constexpr const char* kNoEstimate = "sin estimación";
inline constexpr const char* kStepTimes = "  El tiempo de cada paso es el de su propio trabajo; el tiempo total, el de "
                                          "toda la ejecución, con sus mensajes y preguntas.\n";
inline constexpr const char* kPhaseTimes = "  El de cada fase va de su comienzo al final de su última orden, sin el "
                                           "tiempo que estuvieron abiertos sus mensajes, y el de cada base de datos "
                                           "en ella es el de su propio trabajo.\n";
std::string Commands(long long count);
std::string Failed(long long count);
std::string NotStartedCount(long long count);
std::string InvalidLines(long long count);
std::string TablesUntried(long long count);
std::string RecordsDumped(long long count);
std::string NotChecked(const std::string& why);
std::string TablesEqual(long long count);
std::string TablesDifferent(long long count);
std::string TablesNotCopied(long long count);

// The run's outcomes.
inline constexpr const char* kRunSucceeded = "correcto";
inline constexpr const char* kProgramError = "error del programa";
inline constexpr const char* kNotDone = "no realizado, hay una ruta no válida";
inline constexpr const char* kEndedByUser = "interrumpida por el usuario";
std::string NothingDone(const std::string& questionTitle);
inline constexpr const char* kIndexesFailed = "fallido en la reconstrucción de los índices";
inline constexpr const char* kIndexesAndCheckFailed =
    "fallido en la reconstrucción de los índices y en la comprobación de registros";
inline constexpr const char* kCheckFailed = "fallido en la comprobación de registros";
inline constexpr const char* kLoadFailed = "fallido en la carga, no se han reconstruido los índices";
inline constexpr const char* kDumpFailedNoLoad = "fallido en la descarga, no se ha hecho la carga";
inline constexpr const char* kDumpFailed = "fallido en la descarga";

// ---- Reasons: why a command, a table or a count failed

std::string Records(long long count);
// In the units Windows shows sizes in: "848 bytes", "195,6 KB", "41,2 GB".
std::string ByteSize(long long bytes);
std::string EndedWithCode(const std::string& exitCode);
std::string EndedWithout(const std::string& missing);
std::string EndedWithCodeAndWithout(const std::string& exitCode, const std::string& missing);
std::string SuccessMessage(const std::string& successNumber);
std::string EndedWithErrors(const std::string& shownLine);
inline constexpr const char* kDatabaseInUse = "la base de datos estaba en uso";
std::string TableNotStarted(const std::string& verb, const std::string& shownTable, const std::string& database);
std::string EmptyList(const std::string& list);
std::string OldReportNotRemoved(const std::string& report, const std::string& database);
std::string DumpedFewer(long long written, long long counted);
inline constexpr const char* kNameNotPassable = "el nombre contiene caracteres que no se pueden pasar a proutil";
inline constexpr const char* kNotATableName = "no es un nombre de tabla";
inline constexpr const char* kRepeatedTable = "repetida en la lista, se ha procesado una sola vez";
std::string DumpFileTaken(const std::string& file, const std::string& otherTable);
std::string InSource(const std::string& table, long long records);
std::string NotInList(const std::string& inSource, const std::string& database);
std::string DifferentInDestination(const std::string& inSource, long long records);
std::string SourceReportMissing(const std::string& report);
// shownUnread is empty when the report was read but does not count.
std::string ReportNotValid(const std::string& report, const std::string& shownUnread);
std::string OutputNotRead(const std::string& systemReason);
std::string AnalysisFailed(const std::string& reason);
std::string NoRecordsCounted(long long dumped);
std::string SourceNotCounted(const std::string& why);
std::string DestinationNotCounted(const std::string& why);
inline constexpr const char* kNoRecordSummary = "no tiene ningún resumen de registros (RECORD BLOCK SUMMARY)";
std::string UnknownLine(const std::string& line);
inline constexpr const char* kRowsNotSubtotal = "las filas de un área del análisis de tablas no suman su subtotal";
inline constexpr const char* kPartsNotSubtotal =
    "las partes de un área del análisis de tablas no suman el subtotal del área";
inline constexpr const char* kRowsNotTotals = "las filas del análisis de tablas no suman sus totales (Totals:)";

// What the system could not do, followed by ": " and the system's reason
// where it gives one.
std::string CannotCheck(const std::string& path);
std::string SpaceNotKnown(const std::string& folder);
std::string FileNotFound(const std::string& path);
std::string CannotOpenFile(const std::string& path);
// Followed by the file's path: the Win32 error is read before they are
// joined.
inline constexpr const char* kCannotReadFile = "No se puede leer el fichero ";
inline constexpr const char* kCannotCreateFile = "No se puede crear el fichero ";
std::string CannotWriteFile(const std::string& path);
inline constexpr const char* kProgramFolderUnknown = "No se puede saber la carpeta del programa";
inline constexpr const char* kCannotReadEnvironment = "No se puede leer el entorno del programa";
inline constexpr const char* kCannotMakeOutputFile = "No se puede crear el fichero temporal para la salida de la orden";
inline constexpr const char* kCannotPrepareInput = "No se puede preparar la entrada de la orden";
inline constexpr const char* kCannotRunCommand = "No se puede ejecutar la orden";
inline constexpr const char* kNoComSpec =
    "No se puede ejecutar la orden: la variable de entorno ComSpec no está definida";
// folder is empty when the command works in the program's own.
std::string CannotRunInterpreter(const std::string& interpreter, const std::string& folder);
inline constexpr const char* kCannotReadOutput = "No se puede leer la salida de la orden";
inline constexpr const char* kCannotWait = "No se puede esperar a la orden";
inline constexpr const char* kCannotWaitForEnd = "No se puede esperar a que termine la orden";
inline constexpr const char* kCannotKnowEnd = "No se puede saber cómo terminó la orden";
std::string SystemErrorNumber(unsigned long code);

} // namespace texts
