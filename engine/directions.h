#pragma once

#include <string>

#include "request.h"

// The three databases, in the order they are always processed.
struct DatabaseName {
    const char* name;   // file name: korvane.db, korvane.ttl, korvane.lk
    const char* title;  // as shown in the status line
};
inline constexpr DatabaseName kDatabases[] = {
    {"korvane", "Korvane"},
    {"korvane1", "Korvane1"},
    {"korvane2", "Korvane2"},
};

// What tells a dump apart from a load: its fields, its texts and its command.
struct Direction {
    const char* name;  // in the run log's summary
    const char* side;  // as the messages name its databases
    const char* verb;  // what its command does to a table
    bool Request::*ticked;
    // The databases' folder is also where the direction's commands work:
    // proutil writes its temporary and sort files into its current folder.
    std::string Request::*dbFolder;
    std::string Request::*dlcFolder;
    const char* emptyDbFolderMessage;
    const char* stopThem;  // how the in-use refusal asks to stop its databases
    const char* inUseTitle;
    const char* statusCaption;  // followed by the database's title and a blank
    const char* errorsMessage;
    const char* errorsTitle;
    const char* successNumber;
    std::string (*command)(const std::string& dlcFolder, const std::string& dbFolder,
                           const std::string& database, const std::string& table,
                           const std::string& dumpFolder);
};

extern const Direction kDump;
extern const Direction kLoad;
