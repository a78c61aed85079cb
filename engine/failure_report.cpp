#include "failure_report.h"

#include <cstddef>
#include <cstdio>

#include "texts.h"
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

} // namespace

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

std::string InSentence(std::string text)
{
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
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

std::string ShownEntries(const std::vector<std::string>& entries, const char* indent)
{
    std::string text;
    for (std::size_t i = 0; i < entries.size() && i < kTablesShown; ++i)
        text.append("\n").append(indent).append(entries[i]);
    if (entries.size() > kTablesShown)
        text.append("\n").append(indent).append(
            texts::MoreEntries(static_cast<long long>(entries.size() - kTablesShown)));
    return text;
}

std::string ShownLines(const std::vector<std::string>& lines, const char* indent)
{
    std::vector<std::string> shown;
    for (const std::string& line : lines)
        shown.push_back(Shown(line));
    return ShownEntries(shown, indent);
}

std::string UntriedNote(int tables, const std::string& listName)
{
    if (tables <= 0)
        return {};
    if (tables == 1)
        return texts::UntriedTable(listName);
    return texts::UntriedTables(tables, listName);
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
    std::vector<std::string> entries;
    for (const FailedTable& table : failed)
        entries.push_back(Shown(table.table) + ": " + FailureLines(table.reason, table.lastLine));
    return texts::FailedTables(static_cast<long long>(failed.size()), database) + ShownEntries(entries, "");
}
