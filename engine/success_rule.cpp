#include "success_rule.h"

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <charconv>
#include <string_view>

#include "failure_report.h"
#include "table_analysis.h"
#include "text_lines.h"
#include "texts.h"

namespace {

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

// How a command's end fell short of its success, for every kind of
// command: an exit code other than 0, no word of what it must say, or both.
std::string FailureReason(int exitCode, bool saidWhatItMust, const std::string& missing)
{
    if (exitCode == 0)
        return texts::EndedWithout(missing);
    if (saidWhatItMust)
        return texts::EndedWithCode(ExitCodeText(exitCode));
    return texts::EndedWithCodeAndWithout(ExitCodeText(exitCode), missing);
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
        for (const std::string& line : SplitLines(*output)) {
            if (ErrorsCounted(line) > 0)
                return TrimBlanks(line);
        }
    }
    return {};
}

} // namespace

Verdict JudgeCommand(const CommandResult& result, const char* successNumber)
{
    const bool saidDone = Printed(result, successNumber);
    if (result.exitCode == 0 && saidDone)
        return {true, {}};
    return {false, FailureReason(result.exitCode, saidDone, texts::SuccessMessage(successNumber))};
}

Verdict JudgeIndexRebuild(const CommandResult& result)
{
    Verdict verdict = JudgeCommand(result, kIndexRebuildDone);
    if (!verdict.succeeded)
        return verdict;
    if (const std::string line = ErrorCountLine(result); !line.empty())
        return {false, texts::EndedWithErrors(Shown(line))};
    return verdict;
}

Verdict JudgeTableAnalysis(const CommandResult& result, const TableAnalysis& analysis)
{
    if (analysis.inUse)
        return {false, texts::kDatabaseInUse};
    if (result.exitCode == 0 && analysis.unread.empty())
        return {true, {}};
    std::string reason = result.exitCode == 0 ? "" : FailureReason(result.exitCode, true, "");
    if (!analysis.unread.empty())
        reason += (reason.empty() ? "" : "; ") + Shown(analysis.unread);
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

