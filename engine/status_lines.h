#pragma once

#include <cstdint>
#include <string>

#include "directions.h"
#include "window_ops.h"

// The window's two status lines during a run: what is being done to which
// database (Label5, where the dots grow) and the table being worked on
// (Label4).
class StatusLines {
  public:
    // contador is the dot counter, which starts again with every caption.
    StatusLines(WindowOps& window, std::int16_t& contador) : window_(window), contador_(contador) {}

    void Show(const DatabaseName& database, const std::string& caption);
    // A table of the database's list, or none.
    void ShowTable(const DatabaseName& database, const std::string& table);

  private:
    WindowOps& window_;
    std::int16_t& contador_;
};
