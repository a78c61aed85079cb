#pragma once

#include <string>

#include "window_ops.h"

// What the user asked for, read from the window once, when Aceptar is
// clicked: the checks, the passes, the command lines and the log all take
// it from here, so that no part of a run can read a field differently from
// another, or later. Folders are as the run uses them: without the blanks
// and tabs typed around them.
struct Request {
    std::string sourceFolder;       // Text1
    std::string sourceDlc;          // Text5
    std::string destinationFolder;  // Text2
    std::string destinationDlc;     // Text6
    std::string dumpFolder;         // Text4
    bool transactions = false;      // Check1
    bool dump = false;              // Check2
    bool load = false;              // Check3
    bool verify = false;            // Check4: count every table's records and compare
    bool parallel = false;          // Check5: the three databases side by side
};

Request ReadRequest(WindowOps& window);
