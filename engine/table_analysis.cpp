#include "table_analysis.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "table_list.h"
#include "texts.h"

namespace {

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

// The bytes a size stands for, its units being of 1024: the report rounds
// them to one decimal.
long long SizeBytes(std::string_view text)
{
    static constexpr std::string_view kUnits = "BKMGT";
    const auto unit = kUnits.find(text.back());
    if (unit != std::string_view::npos)
        text.remove_suffix(1);
    const auto point = std::min(text.find('.'), text.size());
    long long whole = 0;
    std::from_chars(text.data(), text.data() + point, whole);
    const int tenth = point + 1 < text.size() ? text[point + 1] - '0' : 0;
    long long scale = 1;
    for (std::size_t i = 0; unit != std::string_view::npos && i < unit; ++i)
        scale *= 1024;
    return whole * scale + tenth * scale / 10;
}

struct Row {
    long long records = 0;
    long long bytes = 0;
};

// The figures of a row's numbers; nothing when they are not a row's, as
// the column headers' words are not.
std::optional<Row> RowFigures(std::span<const std::string_view> numbers)
{
    if (numbers.size() != kRowNumbers || !IsSize(numbers[1]) ||
        !std::all_of(numbers.begin() + 2, numbers.end(), IsNumber))
        return std::nullopt;
    Row row;
    const auto [end, error] = std::from_chars(numbers[0].data(), numbers[0].data() + numbers[0].size(), row.records);
    if (error != std::errc() || end != numbers[0].data() + numbers[0].size())
        return std::nullopt;
    row.bytes = SizeBytes(numbers[1]);
    return row;
}

void Count(std::map<std::string, TableRecords>& tables, std::string_view rowName, const Row& row)
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
    entry->second.records += row.records;
    entry->second.bytes += row.bytes;
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

bool IsCapitalWord(std::string_view word)
{
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// "RECORD BLOCK SUMMARY", and each of its areas and their parts: "... FOR
// AREA "Employee": 7", "... FOR SHARED TABLES".
bool IsRecordBlockHeader(std::span<const std::string_view> words)
{
    return words.size() >= 3 && words[0] == "RECORD" && words[1] == "BLOCK" && words[2] == "SUMMARY";
}

// "INDEX BLOCK SUMMARY ...", "LOB SUMMARY ...", "DATABASE SUMMARY", and the
// report's totals: where the rows of an area that prints no subtotal stop.
bool StartsASection(std::span<const std::string_view> words)
{
    if (words[0] == kTotals)
        return true;
    for (const std::string_view word : words) {
        if (word == "SUMMARY")
            return true;
        if (!IsCapitalWord(word))
            return false;
    }
    return false;
}

// 11.x: the line over an area's own subtotal, after its parts.
bool IsAreaSummary(std::span<const std::string_view> words)
{
    return words.size() >= 3 && words[0] == "Summary" && words[1] == "for" && words[2] == "AREA";
}

// The rows that one subtotal line is about: an area's own rows, or one of
// the parts of an area.
struct Group {
    std::vector<std::pair<std::string_view, Row>> rows;
    std::string_view alone;  // a word alone on the line before: perhaps a long name
    // The first line this reader does not understand: harmless where a
    // subtotal shows every row was taken, fatal where none does.
    std::string_view unknown;

    void Take(std::string_view line, std::span<const std::string_view> words)
    {
        if (const std::string_view name = std::exchange(alone, std::string_view()); !name.empty()) {
            if (const auto row = RowFigures(words)) {
                rows.emplace_back(name, *row);
                return;
            }
            Note(name);
        }
        if (words.empty() || IsRule(words) || IsColumnHeader(words))
            return;
        if (const auto row = RowFigures(words.subspan(1)))
            rows.emplace_back(words[0], *row);
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

    long long Records() const
    {
        long long records = 0;
        for (const auto& [name, row] : rows)
            records += row.records;
        return records;
    }
};

// A figure that the report prints of its own rows, against the rows read.
struct Check {
    enum class Of { Group, Area, Report } of;
    long long read = 0;
    std::optional<long long> printed;  // nothing when its line cannot be read
    std::string_view line;
};

// The reader's one rule: a report is read whole when it holds a record
// block summary, every figure it prints of its rows is theirs, and every
// part that prints no figure was understood line by line.
std::string WhyUnread(bool recordBlockSeen, const std::vector<Check>& checks)
{
    if (!recordBlockSeen)
        return texts::kNoRecordSummary;
    for (const Check& check : checks) {
        if (!check.printed)
            return texts::UnknownLine(std::string(check.line));
        if (*check.printed == check.read)
            continue;
        switch (check.of) {
        case Check::Of::Group:
            return texts::kRowsNotSubtotal;
        case Check::Of::Area:
            return texts::kPartsNotSubtotal;
        case Check::Of::Report:
            return texts::kRowsNotTotals;
        }
    }
    return {};
}

class Reader {
  public:
    void Take(std::string_view line);
    TableAnalysis Finish();

  private:
    void TakeInRecords(std::string_view line, std::span<const std::string_view> words);
    void Close(std::string_view subtotalLine, std::span<const std::string_view> subtotal);
    static std::optional<long long> Printed(std::span<const std::string_view> words)
    {
        const auto row = RowFigures(words.subspan(1));
        return row ? std::optional<long long>(row->records) : std::nullopt;
    }

    // Where the reader is: among an area's record rows, in a LOB summary
    // that follows them, or anywhere else.
    enum class Region { Other, Records, Lobs } region_ = Region::Other;
    std::optional<Group> group_;
    bool recordBlockSeen_ = false;
    long long area_ = 0;    // of the area's groups since its header or its last subtotal
    long long report_ = 0;  // of every group
    std::vector<Check> checks_;
    TableAnalysis analysis_;
};

void Reader::Take(std::string_view line)
{
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) {
        if (group_)
            group_->Take(line, words);
        return;
    }
    // The warning comes before the statistics it is about.
    if (!recordBlockSeen_ && words.back() == kInUse)
        analysis_.inUse = true;
    if (IsRecordBlockHeader(words)) {
        Close({}, {});
        region_ = Region::Records;
        if (words.size() > 4 && words[3] == "FOR") {
            recordBlockSeen_ = true;
            if (words[4] == "AREA")
                area_ = 0;
            group_.emplace();
        }
        return;
    }
    if (StartsASection(words)) {
        Close({}, {});
        if (words[0] == kTotals && region_ != Region::Other)
            checks_.push_back({Check::Of::Report, report_, Printed(words), Trimmed(line)});
        region_ = words[0] == "LOB" && region_ != Region::Other ? Region::Lobs : Region::Other;
        return;
    }
    if (region_ == Region::Records)
        TakeInRecords(line, words);
}

void Reader::TakeInRecords(std::string_view line, std::span<const std::string_view> words)
{
    if (IsAreaSummary(words)) {
        Close({}, {});
        return;
    }
    if (words[0] == kSubtotals) {
        if (group_) {
            Close(Trimmed(line), words);
        } else {
            checks_.push_back({Check::Of::Area, area_, Printed(words), Trimmed(line)});
            area_ = 0;
        }
        return;
    }
    if (!group_) {
        if (IsRule(words) || IsColumnHeader(words))
            return;
        group_.emplace();
    }
    group_->Take(line, words);
}

// The group's rows are counted; whether they can be trusted is judged at
// the end, with every other figure of the report.
void Reader::Close(std::string_view subtotalLine, std::span<const std::string_view> subtotal)
{
    if (!group_)
        return;
    Group group = std::move(*group_);
    group_.reset();
    const long long records = group.Records();
    if (!subtotal.empty()) {
        checks_.push_back({Check::Of::Group, records, Printed(subtotal), subtotalLine});
    } else {
        group.Note(group.alone);  // a long name whose numbers never came
        if (!group.unknown.empty())
            checks_.push_back({Check::Of::Group, records, std::nullopt, group.unknown});
    }
    area_ += records;
    report_ += records;
    for (const auto& [name, row] : group.rows)
        Count(analysis_.tables, name, row);
}

TableAnalysis Reader::Finish()
{
    Close({}, {});
    analysis_.unread = WhyUnread(recordBlockSeen_, checks_);
    // A table among the rows of a part not read would otherwise compare
    // equal, absent from both reports.
    if (!analysis_.unread.empty())
        analysis_.tables.clear();
    return std::move(analysis_);
}

} // namespace

TableAnalysis ReadTableAnalysis(std::string_view report)
{
    Reader reader;
    for (size_t start = 0; start < report.size();) {
        const auto end = std::min(report.find('\n', start), report.size());
        reader.Take(report.substr(start, end - start));
        start = end + 1;
    }
    return reader.Finish();
}

namespace {

const TableRecords* Find(const TableAnalysis& analysis, const std::string& table)
{
    const auto found = analysis.tables.find(TableKey(table));
    return found == analysis.tables.end() ? nullptr : &found->second;
}

} // namespace

long long RecordsOf(const TableAnalysis& analysis, const std::string& table)
{
    const TableRecords* found = Find(analysis, table);
    return found ? found->records : 0;
}

long long BytesOf(const TableAnalysis& analysis, const std::string& table)
{
    const TableRecords* found = Find(analysis, table);
    return found ? found->bytes : 0;
}

long long RecordsOfAllTables(const TableAnalysis& analysis)
{
    long long records = 0;
    for (const auto& [key, table] : analysis.tables)
        records += table.records;
    return records;
}

long long BytesOfAllTables(const TableAnalysis& analysis)
{
    long long bytes = 0;
    for (const auto& [key, table] : analysis.tables)
        bytes += table.bytes;
    return bytes;
}
