#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "directions.h"
#include "window_ops.h"

// The window's two status lines during a run: what is being done to which
// database (Label5, where the dots grow) and the table being worked on
// (Label4). The dots start again with every new status line.
class StatusLines {
  public:
    StatusLines(WindowOps& window, std::int16_t& contador) : window_(window), contador_(contador) {}

    // One database after another: each shows its own caption, and the
    // table it works on.
    void Show(const DatabaseName& database, const std::string& caption);
    // A table of the database's list, or none.
    void ShowTable(const DatabaseName& database, const std::string& table);

    // Databases side by side: until EndTogether the status line is the
    // phase's caption and the databases still working ("Procesando Descarga
    // Korvane, Korvane2 "), and the table line each one's table
    // ("korvane: cliente  korvane2: stock"). Their own captions are not shown.
    void BeginTogether(const std::string& caption, const std::vector<const DatabaseName*>& databases);
    void DoneTogether(const DatabaseName& database);
    void EndTogether();

  private:
    struct Working {
        const DatabaseName* database;
        std::string table;
    };

    void SetStatus(const std::string& caption);
    void ShowTogether();
    std::string TablesTogether() const;

    WindowOps& window_;
    std::int16_t& contador_;
    // While databases work side by side: the phase's caption.
    std::optional<std::string> together_;
    std::vector<Working> working_;
};
