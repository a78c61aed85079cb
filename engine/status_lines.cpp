#include "status_lines.h"

void StatusLines::Show(const DatabaseName&, const std::string& caption)
{
    contador_ = 0;
    window_.SetCaption(Caption::Label5, caption);
}

void StatusLines::ShowTable(const DatabaseName&, const std::string& table)
{
    window_.SetCaption(Caption::Label4, table.empty() ? "" : "Tabla: " + table);
}
