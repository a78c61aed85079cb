#include "table_analysis.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "table_list.h"

namespace {

const std::string_view kBlockStart = "RECORD BLOCK SUMMARY FOR AREA";
const std::string_view kSubtotals = "Subtotals:";
const std::string_view kTotals = "Totals:";
const std::string_view kBlanks = " \t\r";
const std::string_view kInUse = "(2486)";
// A row: the table, then its records, size, smallest, largest and mean
// record, fragments, fragment factor and scatter factor.
const size_t kRowNumbers = 8;

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    for (auto start = line.find_first_not_of(kBlanks); start != std::string_view::npos;
         start = line.find_first_not_of(kBlanks, start)) {
        const auto end = std::min(line.find_first_of(kBlanks, start), line.size());
        words.push_back(line.substr(start, end - start));
        start = end;
    }
    return words;
}

std::string_view Trimmed(std::string_view line)
{
    const auto start = line.find_first_not_of(kBlanks);
    return start == std::string_view::npos ? std::string_view()
                                           : line.substr(start, line.find_last_not_of(kBlanks) + 1 - start);
}

bool IsDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// 179, 1.0
bool IsNumber(std::string_view text)
{
    const auto point = text.find('.');
    return point == std::string_view::npos ? IsDigits(text)
                                           : IsDigits(text.substr(0, point)) && IsDigits(text.substr(point + 1));
}

// 848B (9.1), 848.0B, 195.6K, 1.2M...
bool IsSize(std::string_view text)
{
    const bool suffix = !text.empty() && std::string_view("BKMGT").find(text.back()) != std::string_view::npos;
    return IsNumber(suffix ? text.substr(0, text.size() - 1) : text);
}

// The records of a row's numbers; nothing when they are not a row's, as
// the column headers' words are not.
std::optional<long long> RowRecords(std::span<const std::string_view> numbers)
{
    if (numbers.size() != kRowNumbers || !IsSize(numbers[1]) ||
        !std::all_of(numbers.begin() + 2, numbers.end(), IsNumber))
        return std::nullopt;
    long long records = 0;
    const auto [end, error] = std::from_chars(numbers[0].data(), numbers[0].data() + numbers[0].size(), records);
    if (error != std::errc() || end != numbers[0].data() + numbers[0].size())
        return std::nullopt;
    return records;
}

void Count(std::map<std::string, TableRecords>& tables, std::string_view rowName, long long records)
{
    // OWNER.TABLE, OWNER.TABLE.PARTITION for a partition of a table.
    const auto dot = rowName.find('.');
    const std::string_view owner = dot == std::string_view::npos ? std::string_view() : rowName.substr(0, dot);
    std::string_view table = dot == std::string_view::npos ? rowName : rowName.substr(dot + 1);
    table = table.substr(0, table.find('.'));
    if (table.empty() || table.front() == '_')
        return;
    const std::string qualified = owner.empty() ? std::string(table) : std::string(owner) + "." + std::string(table);
    const std::string key = TableKey(qualified);
    auto [entry, added] = tables.try_emplace(key);
    if (added) {
        // A table of the default owner is the same table named alone.
        const bool defaultOwner = TableKey(std::string(table)) == key;
        entry->second.name = defaultOwner ? std::string(table) : qualified;
    }
    entry->second.records += records;
}

// The two lines over the rows, however their columns are spaced and their
// dashes drawn: "-Record Size (B)-   ---Fragments--- Scatter" and
// "Table   Records   Size   Min   Max   Mean   Count Factor  Factor".
bool IsColumnHeader(std::span<const std::string_view> words)
{
    static const std::vector<std::vector<std::string_view>> headers = {
        {"Record", "Size", "(B)", "Fragments", "Scatter"},
        {"Table", "Records", "Size", "Min", "Max", "Mean", "Count", "Factor", "Factor"}};
    std::vector<std::string_view> named;
    for (std::string_view word : words) {
        word.remove_prefix(std::min(word.find_first_not_of('-'), word.size()));
        word = word.substr(0, word.find_last_not_of('-') + 1);
        if (!word.empty())
            named.push_back(word);
    }
    return std::find(headers.begin(), headers.end(), named) != headers.end();
}

bool IsRule(std::span<const std::string_view> words)
{
    return std::all_of(words.begin(), words.end(),
                       [](std::string_view word) { return word.find_first_not_of("-=") == std::string_view::npos; });
}

// "RECORD BLOCK SUMMARY FOR AREA ...", "INDEX BLOCK SUMMARY ...", "DATABASE
// SUMMARY", and the report's totals: where an area's rows stop when it
// prints no subtotals.
bool StartsASection(std::span<const std::string_view> words)
{
    if (words[0] == kTotals)
        return true;
    for (const std::string_view word : words) {
        if (word == "SUMMARY")
            return true;
        if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
            return false;
    }
    return false;
}

// One area's record block summary as far as it has been read.
struct Block {
    std::vector<std::pair<std::string_view, long long>> rows;
    std::string_view alone;  // a word alone on the line before: perhaps a long name
    // The first line this reader does not understand: harmless where a
    // subtotal shows every row was taken, fatal where none does.
    std::string_view unknown;

    void Take(std::string_view line, std::span<const std::string_view> words)
    {
        if (const std::string_view name = std::exchange(alone, std::string_view()); !name.empty()) {
            if (const auto records = RowRecords(words)) {
                rows.emplace_back(name, *records);
                return;
            }
            Note(name);
        }
        if (words.empty() || IsRule(words) || IsColumnHeader(words))
            return;
        if (const auto records = RowRecords(words.subspan(1)))
            rows.emplace_back(words[0], *records);
        else if (words.size() == 1)
            alone = words[0];
        else
            Note(Trimmed(line));
    }

    void Note(std::string_view line)
    {
        if (unknown.empty())
            unknown = line;
    }
};

// Counts the block's rows, or says why they cannot be trusted: the rows
// of a block with a subtotal must add up to it; without one, every line
// of the block must have been understood.
std::string Settle(Block& block, std::span<const std::string_view> subtotals,
                   std::map<std::string, TableRecords>& tables)
{
    long long rows = 0;
    for (const auto& [name, records] : block.rows)
        rows += records;
    if (!subtotals.empty()) {
        const auto subtotal = RowRecords(subtotals.subspan(1));
        if (subtotal && *subtotal != rows)
            return "las filas de un área del análisis de tablas no suman su subtotal";
    } else {
        block.Note(block.alone);  // a long name whose numbers never came
        if (!block.unknown.empty())
            return "una línea del análisis de tablas no se entiende: " + std::string(block.unknown);
    }
    for (const auto& [name, records] : block.rows)
        Count(tables, name, records);
    return {};
}

} // namespace

TableAnalysis ReadTableAnalysis(std::string_view report)
{
    TableAnalysis analysis;
    bool blockSeen = false;
    std::optional<Block> block;
    // A block that is not read leaves the whole report unread: a table
    // among its missed rows would otherwise compare equal, absent from both.
    const auto close = [&](std::span<const std::string_view> subtotals) {
        analysis.unread = Settle(*block, subtotals, analysis.tables);
        analysis.isReport = analysis.unread.empty();
        if (!analysis.isReport)
            analysis.tables.clear();
        block.reset();
        return analysis.isReport;
    };
    for (size_t start = 0; start < report.size();) {
        const auto end = std::min(report.find('\n', start), report.size());
        const std::string_view line = report.substr(start, end - start);
        start = end + 1;
        const std::vector<std::string_view> words = Words(line);
        if (block && !words.empty() && StartsASection(words) && !close({}))
            return analysis;
        if (Trimmed(line).starts_with(kBlockStart)) {
            blockSeen = true;
            block.emplace();
            continue;
        }
        // The warning comes before the statistics it is about.
        if (!blockSeen && !words.empty() && words.back() == kInUse)
            analysis.inUse = true;
        if (!block)
            continue;
        if (!words.empty() && words[0] == kSubtotals) {
            if (!close(words))
                return analysis;
        } else {
            block->Take(line, words);
        }
    }
    if (block)
        close({});
    return analysis;
}

long long RecordsOf(const TableAnalysis& analysis, const std::string& table)
{
    const auto found = analysis.tables.find(TableKey(table));
    return found == analysis.tables.end() ? 0 : found->second.records;
}
