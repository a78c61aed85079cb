#include "run_log.h"

#include <cstdio>

#include "failure_report.h"
#include "paths.h"
#include "report_files.h"
#include "text_lines.h"

namespace {

std::string Stamp(const LocalTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

// Hundredths of a second, with the Spanish decimal comma.
std::string Seconds(std::chrono::milliseconds duration)
{
    const long long hundredths = (duration.count() + 5) / 10;
    char text[32];
    std::snprintf(text, sizeof text, "%lld,%02lld s", hundredths / 100, hundredths % 100);
    return text;
}

// The lines of a command's output without the blank ones at its end.
std::vector<std::string> OutputLines(const std::string& output)
{
    std::vector<std::string> lines = SplitLines(output);
    while (!lines.empty() && TrimBlanks(lines.back()).empty())
        lines.pop_back();
    return lines;
}

void AddLines(std::string& text, const std::string& output)
{
    for (const std::string& line : OutputLines(output))
        text += "    " + line + "\n";
}

// The commands that ran and failed always; what went otherwise only when it happened.
std::string Figures(const PassFigures& pass)
{
    std::string text = CountText(pass.commandsRun, "orden", "órdenes") + ", " +
                       CountText(pass.commandsFailed, "fallida", "fallidas");
    if (pass.commandsNotStarted > 0)
        text += ", " + CountText(pass.commandsNotStarted, "no iniciada", "no iniciadas");
    if (pass.invalidLines > 0)
        text += ", " + CountText(pass.invalidLines, "línea no válida", "líneas no válidas");
    if (pass.tablesUntried > 0)
        text += ", " + CountText(pass.tablesUntried, "tabla sin procesar", "tablas sin procesar");
    if (pass.recordsDumped)
        text += ", " + CountText(*pass.recordsDumped, "registro descargado", "registros descargados");
    return text + ", " + Seconds(pass.duration);
}

std::string Figures(const CheckFigures& check)
{
    if (!check.notChecked.empty())
        return "no comprobada: " + check.notChecked;
    return CountText(check.equal, "tabla igual", "tablas iguales") + ", " +
           CountText(check.different, "distinta", "distintas") + ", " +
           CountText(check.notCopied, "sin copiar", "sin copiar");
}

// "12,30 s: korvane 12,30 s, korvane1 8,10 s"
std::string Figures(const PhaseFigures& phase)
{
    std::string text = Seconds(phase.duration) + ":";
    for (const auto& [database, duration] : phase.databases)
        text += (&database == &phase.databases.front().first ? " " : ", ") + database + " " + Seconds(duration);
    return text;
}

// What the summary's times count: a database that seems slow must not be
// taken for one that only waited for a message to be answered.
std::string TimesNote(bool withPhases)
{
    std::string text = "  El tiempo de cada paso es el de su propio trabajo; el tiempo total, el de toda la "
                       "ejecución, con sus mensajes y preguntas.\n";
    if (withPhases)
        text += "  El de cada fase va de su comienzo al final de su última orden, sin el tiempo que estuvieron "
                "abiertos sus mensajes, y el de cada base de datos en ella es el de su propio trabajo.\n";
    return text;
}

const char* YesNo(bool ticked)
{
    return ticked ? "sí" : "no";
}

// What a command is: its line, where it works and with which DLC, and
// where its whole output is kept.
std::string CommandLines(const std::string& heading, const Command& command)
{
    std::string dlc = "el del sistema";
    for (const auto& [name, value] : command.environment) {
        if (name == "DLC")
            dlc = value;
    }
    return heading + "Orden: " + command.line + "\n" + "  Carpeta de trabajo: " + command.workingFolder + "\n" +
           "  DLC: " + dlc + "\n" +
           (command.outputFile.empty() ? "" : "  Salida completa en: " + command.outputFile + "\n");
}

// How it ended: its time, exit code and verdict, and what it printed.
std::string EndLines(std::chrono::milliseconds duration, const CommandResult& result, const Verdict& verdict)
{
    std::string text = "  Duración: " + Seconds(duration) + "  Código de salida: " + std::to_string(result.exitCode) +
                       "  Resultado: " + (verdict.succeeded ? "correcto" : "fallido, " + verdict.reason) + "\n";
    if (OutputLines(result.output).empty() && result.outputLeftOut == 0 && OutputLines(result.outputEnd).empty())
        return text + "  Salida: ninguna\n\n";
    text += "  Salida:\n";
    AddLines(text, result.output);
    if (result.outputLeftOut > 0) {
        text += "    [... " + std::to_string(result.outputLeftOut) + " bytes de salida omitidos ...]\n";
        AddLines(text, result.outputEnd);
    }
    return text + "\n";
}

std::string NotStarted(const std::string& why, bool again)
{
    return "No se ha podido iniciar: " + why + (again ? ". Se intenta otra vez." : "");
}

} // namespace

void RunLog::Begin(const Request& request)
{
    path_ = JoinPath(request.dumpFolder, kLogFileName);
    writing_ = true;
    runStart_ = platform_.Now();
    Append("==== " + Stamp(runStart_.local) + "  Inicio de la ejecución\n" +
           "Bases de datos de origen: " + request.sourceFolder + "\n" +
           "DLC de origen: " + request.sourceDlc + "\n" +
           "Bases de datos de destino: " + request.destinationFolder + "\n" +
           "DLC de destino: " + request.destinationDlc + "\n" +
           "Origen y destino de los ficheros .bd: " + request.dumpFolder + "\n" +
           "Descarga: " + YesNo(request.dump) + "\n" +
           "Carga: " + YesNo(request.load) + "\n" +
           "Procesar Transacciones: " + YesNo(request.transactions) + "\n" +
           "Comprobar registros: " + YesNo(request.verify) + "\n" +
           (request.parallel ? "Procesar en paralelo: sí\n" : "") + "\n");
}

// Written once it has started, so that a command that never ends is still
// found in the log; its whole entry comes when it has ended, so that the
// entries of commands that overlap never interleave.
ClockReading RunLog::CommandStarted(const std::string& database, const Command& command)
{
    const ClockReading now = platform_.Now();
    Append(Stamp(now.local) + "  [" + database + "] Empieza la orden: " + command.line + "\n\n");
    return now;
}

void RunLog::CommandEnded(const std::string& database, const Command& command, const ClockReading& started,
                                const CommandResult& result, const Verdict& verdict)
{
    const ClockReading now = platform_.Now();
    Append(CommandLines(Stamp(started.local) + "  [" + database + "] ", command) + "  Inicio: " +
           Stamp(started.local) + "  Fin: " + Stamp(now.local) + "\n" + EndLines(now.steady - started.steady, result, verdict));
}

void RunLog::CommandNotStarted(const std::string& database, const Command& command, const std::string& why,
                                     bool again)
{
    Append(CommandLines(Stamp(platform_.Now().local) + "  [" + database + "] ", command) + "  " +
           NotStarted(why, again) + "\n\n");
}

void RunLog::TableNotRun(const std::string& table, const std::string& reason)
{
    Append(Stamp(platform_.Now().local) + "  Tabla " + table + " no procesada: " + reason + "\n\n");
}

void RunLog::Error(const std::string& text)
{
    Append(Stamp(platform_.Now().local) + "  Error: " + text + "\n\n");
}

void RunLog::Note(const std::string& text)
{
    Append(Stamp(platform_.Now().local) + "  " + text + "\n\n");
}

void RunLog::End(const std::string& outcome, const std::deque<PassFigures>& passes,
                 const std::deque<CheckFigures>& checks, const std::vector<PhaseFigures>& phases)
{
    const ClockReading now = platform_.Now();
    const std::string total = Seconds(now.steady - runStart_.steady);
    std::string text = "==== " + Stamp(now.local) + "  Fin de la ejecución (" + total + "). Resultado: " + outcome +
                       "\n";
    if (!passes.empty()) {
        text += "Resumen:\n";
        for (const PassFigures& pass : passes)
            text += "  " + std::string(pass.pass) + " " + pass.database + ": " + Figures(pass) + "\n";
        for (const CheckFigures& check : checks)
            text += "  Comprobación " + check.database + ": " + Figures(check) + "\n";
        for (const PhaseFigures& phase : phases)
            text += "  Fase " + std::string(phase.phase) + ": " + Figures(phase) + "\n";
        text += "  Tiempo total: " + total + "\n" + TimesNote(!phases.empty());
    }
    Append(text + "\n");
}

std::string RunLog::DetailsNote() const
{
    if (!writing_)
        return {};
    return "\n\nLos detalles están en el registro " + path_ + ".";
}

std::string RunLog::FailureNotice() const
{
    return "No se ha podido escribir el registro de la ejecución en " + path_ + ".";
}

// Line ends of any kind, in the texts of the program and in the utility's
// output, become those of the platform.
void RunLog::Append(const std::string& text)
{
    if (!writing_)
        return;
    std::string lines;
    for (const std::string& line : SplitLines(text))
        lines += line + kLogLineEnd;
    writing_ = platform_.AppendToFile(path_, lines);
}
