#pragma once

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench.h"
#include "engine.h"
#include "standin_database.h"
#include "system_helpers.h"

// What the benchmarks of a whole run share: dumps and their counts, the
// destinations' counts, loads, index rebuilds and counts again, every box
// ticked, on three databases made up anew for each run.

struct BenchTable {
    std::string name;
    int records;
    std::size_t length;  // bytes a record
};

struct BenchDatabase {
    std::string name;
    std::vector<BenchTable> tables;
};

struct WholeRunFolders {
    explicit WholeRunFolders(const TempFolder& temp)
        : folder(standin::PathFromUtf8(temp.Path())),
          lists(temp.Make("programa")),
          source(temp.Make("origen")),
          destination(JoinPath(temp.Path(), "destino")),
          dump(JoinPath(temp.Path(), "ficheros"))
    {
    }

    std::filesystem::path folder;
    std::string lists, source, destination, dump;
};

// The sources with their records and lists, empty destinations and no
// dump files.
inline void Prepare(const WholeRunFolders& folders, const std::vector<BenchDatabase>& databases)
{
    namespace fs = std::filesystem;
    fs::remove_all(folders.folder / "destino");
    fs::remove_all(folders.folder / "ficheros");
    fs::create_directories(folders.folder / "destino");
    fs::create_directories(folders.folder / "ficheros");
    for (const BenchDatabase& shape : databases) {
        standin::Database database;
        std::string list;
        for (const BenchTable& table : shape.tables) {
            database.tables.push_back({table.name, {{table.name + "-id", true}}, {}});
            for (int r = 0; r < table.records; ++r) {
                std::string record = std::to_string(r) + "|";
                record.resize(table.length, 'x');
                database.tables.back().records.push_back(record);
            }
            list += table.name + "\r\n";
        }
        standin::WriteDatabase(folders.folder / "origen" / (shape.name + ".db"), database);
        for (standin::Table& table : database.tables)
            table.records.clear();
        standin::WriteDatabase(folders.folder / "destino" / (shape.name + ".db"), database);
        WriteTextFile(JoinPath(folders.lists, shape.name + ".ttl"), list);
    }
}

struct WholeRun {
    std::chrono::steady_clock::time_point start;
    double seconds = 0;
};

// Any message box means a command failed or the request was refused: such
// a run measures something else, and it is refused.
inline WholeRun RunWhole(BenchWindow& window, Platform& system, const WholeRunFolders& folders, bool parallel)
{
    for (CheckBox box : {CheckBox::Check1, CheckBox::Check2, CheckBox::Check3, CheckBox::Check4})
        window.values[box] = 1;
    window.values[CheckBox::Check5] = parallel ? 1 : 0;
    window.texts = {{Field::Text1, folders.source}, {Field::Text2, folders.destination}, {Field::Text4, folders.dump},
                    {Field::Text5, StandinFolder()}, {Field::Text6, StandinFolder()}};
    Engine engine(window, system);
    WholeRun run;
    run.start = std::chrono::steady_clock::now();
    engine.Aceptar_Click();
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run.start).count();
    if (window.messages > 0 || !engine.ProcesoOK)
        throw std::runtime_error("the run showed a message or failed: it does not count");
    return run;
}
