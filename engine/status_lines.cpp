#include "status_lines.h"

#include <algorithm>
#include <string_view>

#include "texts.h"

void StatusLines::Show(const DatabaseName&, const std::string& caption)
{
    if (!together_)
        SetStatus(caption);
}

void StatusLines::ShowTable(const DatabaseName& database, const std::string& table)
{
    if (!together_) {
        window_.SetCaption(Caption::Label4, table.empty() ? "" : texts::TableStatus(table));
        return;
    }
    for (Working& working : working_) {
        if (std::string_view(working.database->name) == database.name)
            working.table = table;
    }
    window_.SetCaption(Caption::Label4, TablesTogether());
}

void StatusLines::BeginTogether(const std::string& caption, const std::vector<const DatabaseName*>& databases)
{
    together_ = caption;
    working_.clear();
    for (const DatabaseName* database : databases)
        working_.push_back({database, {}});
    ShowTogether();
}

void StatusLines::DoneTogether(const DatabaseName& database)
{
    std::erase_if(working_,
                  [&database](const Working& working) { return std::string_view(working.database->name) == database.name; });
    // The last one stays named, as a database worked on alone does.
    if (working_.empty())
        window_.SetCaption(Caption::Label4, "");
    else
        ShowTogether();
}

void StatusLines::EndTogether()
{
    together_.reset();
    working_.clear();
}

void StatusLines::SetStatus(const std::string& caption)
{
    contador_ = 0;
    window_.SetCaption(Caption::Label5, caption);
}

void StatusLines::ShowTogether()
{
    std::string caption = *together_;
    for (const Working& working : working_)
        caption += std::string(&working == &working_.front() ? "" : ", ") + working.database->title;
    SetStatus(caption + " ");
    window_.SetCaption(Caption::Label4, TablesTogether());
}

std::string StatusLines::TablesTogether() const
{
    std::string tables;
    for (const Working& working : working_) {
        if (!working.table.empty())
            tables += (tables.empty() ? "" : "  ") + std::string(working.database->name) + ": " + working.table;
    }
    return tables;
}
