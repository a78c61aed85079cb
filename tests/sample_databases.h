#pragma once

#include <filesystem>
#include <string>

#include "command_line.h"
#include "standin_database.h"
#include "system_helpers.h"

// Three small databases for the stand-in proutil, with the table lists that
// name their tables, as the tests that run whole dumps and loads use them.

inline const char* const kDatabaseNames[] = {"korvane", "korvane1", "korvane2"};

inline standin::Database SourceDatabase(int n)
{
    const std::string tag = std::to_string(n);
    return {{
        {"cliente", {{"cliente-id", true}, {"cliente-nombre", true}}, {"1|Ana García " + tag, "2|Luis Peña"}},
        {"factura", {{"factura-num", true}}, {"F" + tag + "|100,50"}},
        {"gmtrans", {{"gmtrans-id", true}}, {"T1|alta", "T2|baja"}},
        {"audit.registro", {{"registro-id", true}}, {"R" + tag + "|alta cliente 1"}},
    }};
}

// The same tables without records, as a new destination is.
inline standin::Database EmptyCopy(standin::Database db)
{
    for (standin::Table& table : db.tables)
        table.records.clear();
    return db;
}

inline std::filesystem::path DatabasePath(const std::string& folder, int n)
{
    return standin::PathFromUtf8(JoinPath(folder, std::string(kDatabaseNames[n]) + ".db"));
}

// The table list of every sample database, written as lists are met: PUB
// named or not, the transactions table in capitals, a table of another owner.
inline const char* const kSampleTables[] = {"PUB.cliente", "factura", "GMTRANS", "audit.registro"};

// Sources with records, empty destinations and the table lists.
inline void WriteSampleDatabases(const std::string& source, const std::string& destination,
                                 const std::string& listFolder)
{
    for (int i = 0; i < 3; ++i) {
        standin::WriteDatabase(DatabasePath(source, i), SourceDatabase(i));
        standin::WriteDatabase(DatabasePath(destination, i), EmptyCopy(SourceDatabase(i)));
        std::string list;
        for (const char* table : kSampleTables)
            list += std::string(table) + "\r\n";
        WriteTextFile(JoinPath(listFolder, std::string(kDatabaseNames[i]) + ".ttl"), list);
    }
}
