#pragma once

#include <cstdint>
#include <string>

// What the window shows of a run and the tests read: its success so far,
// the database being worked on, and the dots of the status line.
struct RunStatus {
    bool ProcesoOK = false;
    std::string BaseDatos;
    std::int16_t Contador = 0;
};
