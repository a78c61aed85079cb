#include "failure_report.h"

#include <cctype>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <string_view>

#include "command_line.h"
#include "table_analysis.h"
#include "table_list.h"
#include "utf8.h"

namespace {

// Shown one per line; a long list would outgrow the screen.
constexpr std::size_t kTablesShown = 10;
// Characters of one quoted line in a message box.
constexpr std::size_t kShownCharacters = 150;

std::string LastLineOf(const std::string& output)
{
    const auto end = output.find_last_not_of(" \t\r\n");
    if (end == std::string::npos)
        return {};
    const auto start = output.find_last_of("\r\n", end);
    return output.substr(start == std::string::npos ? 0 : start + 1,
                         start == std::string::npos ? end + 1 : end - start);
}

bool Printed(const CommandResult& result, const char* text)
{
    return result.output.find(text) != std::string::npos || result.outputEnd.find(text) != std::string::npos;
}

// Windows reports a crash by its status code: -1073741819 is 0xC0000005.
std::string ExitCodeText(int code)
{
    std::string text = std::to_string(code);
    if (code < 0 || code > 0xFFFF) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " (0x%08X)", static_cast<unsigned>(code));
        text += hex;
    }
    return text;
}

bool IsLetter(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// "error", "errors" or "error(s)" at the start of the text, in any letter case.
bool StartsWithErrorWord(std::string_view text)
{
    std::string word(text.substr(0, 5));
    for (char& c : word)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word != "error")
        return false;
    text.remove_prefix(5);
    if (text.starts_with('s') || text.starts_with('S'))
        text.remove_prefix(1);
    return text.empty() || !IsLetter(text.front());
}

// The errors a line counts: the first number followed by an error word; 0
// when it counts none.
long long ErrorsCounted(std::string_view line)
{
    for (std::size_t at = 0; at < line.size(); ++at) {
        const bool numberStarts = std::isdigit(static_cast<unsigned char>(line[at])) &&
                                  (at == 0 || !std::isalnum(static_cast<unsigned char>(line[at - 1])));
        if (!numberStarts)
            continue;
        long long count = 0;
        const auto [end, error] = std::from_chars(line.data() + at, line.data() + line.size(), count);
        const std::string_view rest = line.substr(static_cast<std::size_t>(end - line.data()));
        const std::size_t word = rest.find_first_not_of(" \t");
        if (error == std::errc() && count > 0 && word != 0 && word != std::string_view::npos &&
            StartsWithErrorWord(rest.substr(word)))
            return count;
    }
    return 0;
}

// The first line of the output that counts errors, or empty.
std::string ErrorCountLine(const CommandResult& result)
{
    for (const std::string* output : {&result.output, &result.outputEnd}) {
        for (const std::string& line : SplitTableList(*output)) {
            if (ErrorsCounted(line) > 0)
                return TrimBlanks(line);
        }
    }
    return {};
}

} // namespace

Verdict JudgeCommand(const CommandResult& result, const char* successNumber)
{
    const bool exitedWell = result.exitCode == 0;
    const bool saidDone = Printed(result, successNumber);
    if (exitedWell && saidDone)
        return {true, {}};
    std::string reason = "terminó";
    if (!exitedWell)
        reason += " con el código " + ExitCodeText(result.exitCode);
    if (!saidDone)
        reason += std::string(exitedWell ? "" : " y") + " sin el mensaje de proceso completado " + successNumber;
    return {false, reason};
}

Verdict JudgeIndexRebuild(const CommandResult& result)
{
    Verdict verdict = JudgeCommand(result, kIndexRebuildDone);
    if (!verdict.succeeded)
        return verdict;
    if (const std::string line = ErrorCountLine(result); !line.empty())
        return {false, "terminó con errores: " + Shown(line)};
    return verdict;
}

Verdict JudgeTableAnalysis(const CommandResult& result, const TableAnalysis& analysis)
{
    if (analysis.inUse)
        return {false, "la base de datos estaba en uso"};
    const bool exitedWell = result.exitCode == 0;
    if (exitedWell && analysis.isReport)
        return {true, {}};
    std::string reason = "terminó";
    if (!exitedWell)
        reason += " con el código " + ExitCodeText(result.exitCode);
    if (!analysis.isReport)
        reason += std::string(exitedWell ? "" : " y") + " sin un análisis de tablas que se pueda leer";
    return {false, reason};
}

long long RecordsDumped(const CommandResult& result)
{
    static const std::string number = "(13932)";
    for (const std::string* output : {&result.outputEnd, &result.output}) {
        const auto at = output->rfind(number);
        if (at == std::string::npos)
            continue;
        const auto start = output->find_last_of("\r\n", at);
        long long records = -1;
        if (std::sscanf(output->c_str() + (start == std::string::npos ? 0 : start + 1), "Dumped %lld records.",
                        &records) == 1)
            return records;
    }
    return -1;
}

std::string LastLine(const CommandResult& result)
{
    std::string line = LastLineOf(result.outputEnd);
    return line.empty() ? LastLineOf(result.output) : line;
}

std::string Shown(const std::string& text)
{
    const std::size_t kept = CharactersLength(text, kShownCharacters);
    std::string shown;
    for (std::size_t i = 0; i < kept; ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return kept < text.size() ? shown + "…" : shown;
}

std::string Thousands(long long number)
{
    const std::string digits = std::to_string(number < 0 ? -number : number);
    std::string text = number < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += '.';
        text += digits[i];
    }
    return text;
}

std::string CountText(long long count, const char* one, const char* many)
{
    return Thousands(count) + " " + (count == 1 ? one : many);
}

std::string ShownLines(const std::vector<std::string>& lines, const char* indent)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kTablesShown; ++i)
        text.append("\n").append(indent).append(Shown(lines[i]));
    if (lines.size() > kTablesShown)
        text.append("\n").append(indent).append("y " + Thousands(static_cast<long long>(lines.size() - kTablesShown)) +
                                                " más.");
    return text;
}

std::string UntriedNote(int tables, const std::string& listName)
{
    if (tables <= 0)
        return {};
    if (tables == 1)
        return "\n\nNo se ha procesado la tabla siguiente de la lista " + listName + ".";
    return "\n\nNo se han procesado las " + Thousands(tables) + " tablas siguientes de la lista " + listName + ".";
}

std::string FailureLines(const std::string& reason, const std::string& lastLine)
{
    const std::string shown = Shown(lastLine);
    if (lastLine.empty() || reason.ends_with(shown))
        return reason;
    return reason + "\n    " + shown;
}

std::string FailedTablesMessage(const std::string& database, const std::vector<FailedTable>& failed)
{
    std::string text = failed.size() == 1
                           ? "Ha fallado 1 tabla de la base de datos " + database + ":"
                           : "Han fallado " + std::to_string(failed.size()) +
                                 " tablas de la base de datos " + database + ":";
    for (std::size_t i = 0; i < failed.size() && i < kTablesShown; ++i) {
        // Appending, rather than "\n" + text, dodges a false -Wrestrict of GCC 12.
        text.append("\n").append(Shown(failed[i].table)).append(": ").append(
            FailureLines(failed[i].reason, failed[i].lastLine));
    }
    if (failed.size() > kTablesShown)
        text += "\ny " + std::to_string(failed.size() - kTablesShown) + " más.";
    return text;
}
