#include "run_log.h"

#include <cstdio>

#include "command_line.h"
#include "failure_report.h"
#include "table_list.h"

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

const char* YesNo(bool ticked)
{
    return ticked ? "sí" : "no";
}

} // namespace

void RunLog::Begin(WindowOps& window)
{
    path_ = JoinPath(window.Text(Field::Text4), kLogFileName);
    writing_ = true;
    runStart_ = platform_.Now();
    const auto ticked = [&window](CheckBox box) { return YesNo(window.Value(box) == 1); };
    Append("==== " + Stamp(runStart_.local) + "  Inicio de la ejecución\n" +
           "Bases de datos de origen: " + window.Text(Field::Text1) + "\n" +
           "DLC de origen: " + window.Text(Field::Text5) + "\n" +
           "Bases de datos de destino: " + window.Text(Field::Text2) + "\n" +
           "DLC de destino: " + window.Text(Field::Text6) + "\n" +
           "Origen y destino de los ficheros .bd: " + window.Text(Field::Text4) + "\n" +
           "Descarga: " + ticked(CheckBox::Check2) + "\n" +
           "Carga: " + ticked(CheckBox::Check3) + "\n" +
           "Procesar Transacciones: " + ticked(CheckBox::Check1) + "\n\n");
}

// Written before the command runs, so that a command that never ends is
// still found in the log.
void RunLog::CommandStarted(const std::string& line)
{
    commandStart_ = platform_.Now();
    Append(Stamp(commandStart_.local) + "  Orden: " + line + "\n");
}

void RunLog::CommandEnded(const CommandResult& result, const char* successNumber)
{
    const std::string reason = FailureReason(result, successNumber);
    std::string text = "  Duración: " + Seconds(platform_.Now().steady - commandStart_.steady) +
                       "  Código de salida: " + std::to_string(result.exitCode) +
                       "  Resultado: " + (reason.empty() ? "correcto" : "fallido, " + reason) + "\n";
    std::vector<std::string> output = SplitTableList(result.output);
    while (!output.empty() && IsBlankLine(output.back()))
        output.pop_back();
    if (output.empty())
        text += "  Salida: ninguna\n";
    else
        text += "  Salida:\n";
    for (const std::string& line : output)
        text += "    " + line + "\n";
    Append(text + "\n");
}

void RunLog::TableNotRun(const std::string& table, const std::string& reason)
{
    Append(Stamp(platform_.Now().local) + "  Tabla " + table + " no procesada: " + reason + "\n\n");
}

void RunLog::Error(const std::string& text)
{
    Append(Stamp(platform_.Now().local) + "  Error: " + text + "\n\n");
}

void RunLog::End(const std::string& outcome)
{
    const ClockReading now = platform_.Now();
    Append("==== " + Stamp(now.local) + "  Fin de la ejecución (" + Seconds(now.steady - runStart_.steady) +
           "). Resultado: " + outcome + "\n\n");
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
    for (const std::string& line : SplitTableList(text))
        lines += line + kLogLineEnd;
    writing_ = platform_.AppendToFile(path_, lines);
}
