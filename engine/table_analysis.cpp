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
const std::string_view kBlockEnd = "Subtotals:";
const std::string_view kInUse = "(2486)";
// A row: the table, then its records, size, smallest, largest and mean
// record, fragments, fragment factor and scatter factor.
const size_t kRowNumbers = 8;

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    const std::string_view blanks = " \t\r";
    for (auto start = line.find_first_not_of(blanks); start != std::string_view::npos;
         start = line.find_first_not_of(blanks, start)) {
        const auto end = std::min(line.find_first_of(blanks, start), line.size());
        words.push_back(line.substr(start, end - start));
        start = end;
    }
    return words;
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

} // namespace

TableAnalysis ReadTableAnalysis(std::string_view report)
{
    TableAnalysis analysis;
    bool blockSeen = false;
    // A block whose rows do not add up to its subtotal holds rows this
    // reader cannot read: none of the report's counts can then be trusted.
    bool misread = false;
    // The rows of the block being read, counted once its subtotals show it whole.
    std::optional<std::vector<std::pair<std::string_view, long long>>> block;
    std::string_view alone;  // a word alone on the line before: perhaps a long name
    for (size_t start = 0; start < report.size();) {
        const auto end = std::min(report.find('\n', start), report.size());
        const std::string_view line = report.substr(start, end - start);
        start = end + 1;
        const std::vector<std::string_view> words = Words(line);
        const std::string_view previous = std::exchange(alone, words.size() == 1 ? words[0] : std::string_view());
        if (words.empty())
            continue;
        if (line.substr(line.find_first_not_of(" \t")).starts_with(kBlockStart)) {
            blockSeen = true;
            block.emplace();
            continue;
        }
        // The warning comes before the statistics it is about.
        if (!blockSeen && words.back() == kInUse)
            analysis.inUse = true;
        if (!block)
            continue;
        if (words[0] == kBlockEnd) {
            long long rows = 0;
            for (const auto& [name, records] : *block) {
                Count(analysis.tables, name, records);
                rows += records;
            }
            const auto subtotal = RowRecords(std::span(words).subspan(1));
            misread = misread || (subtotal && *subtotal != rows);
            analysis.isReport = !misread;
            block.reset();
        } else if (const auto records = RowRecords(std::span(words).subspan(1))) {
            block->emplace_back(words[0], *records);
        } else if (const auto wrapped = RowRecords(words); wrapped && !previous.empty()) {
            block->emplace_back(previous, *wrapped);
        }
    }
    if (misread) {
        analysis.tables.clear();
        analysis.unread = "las filas de un área del análisis de tablas no suman su subtotal";
    }
    return analysis;
}
