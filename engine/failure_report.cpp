#include "failure_report.h"

#include <cstddef>

namespace {

// Shown one per line; a long list would outgrow the screen.
constexpr std::size_t kTablesShown = 10;

std::string LastLine(const std::string& output)
{
    const auto end = output.find_last_not_of(" \t\r\n");
    if (end == std::string::npos)
        return {};
    const auto start = output.find_last_of("\r\n", end);
    return output.substr(start == std::string::npos ? 0 : start + 1,
                         start == std::string::npos ? end + 1 : end - start);
}

} // namespace

bool CommandSucceeded(const CommandResult& result, const char* successNumber)
{
    return FailureReason(result, successNumber).empty();
}

std::string FailureReason(const CommandResult& result, const char* successNumber)
{
    const bool exitedWell = result.exitCode == 0;
    const bool saidDone = result.output.find(successNumber) != std::string::npos;
    if (exitedWell && saidDone)
        return {};
    std::string reason = "terminó";
    if (!exitedWell)
        reason += " con el código " + std::to_string(result.exitCode);
    if (!saidDone)
        reason += std::string(exitedWell ? "" : " y") + " sin el mensaje de proceso completado " + successNumber;
    return reason;
}

std::string FailureDetail(const CommandResult& result)
{
    std::string line = LastLine(result.output);
    if (!line.empty())
        return line;
    if (result.exitCode != 0)
        return "terminó con el código " + std::to_string(result.exitCode);
    return "terminó sin el mensaje de proceso completado";
}

std::string FailedTablesMessage(const std::string& database, const std::vector<FailedTable>& failed)
{
    std::string text = failed.size() == 1
                           ? "Ha fallado 1 tabla de la base de datos " + database + ":"
                           : "Han fallado " + std::to_string(failed.size()) +
                                 " tablas de la base de datos " + database + ":";
    for (std::size_t i = 0; i < failed.size() && i < kTablesShown; ++i)
        text += "\n" + failed[i].table + ": " + failed[i].detail;
    if (failed.size() > kTablesShown)
        text += "\ny " + std::to_string(failed.size() - kTablesShown) + " más.";
    return text;
}
