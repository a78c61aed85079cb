#pragma once

#include <string>

// The Progress installation proposed for both DLC fields, worked out from
// the program's own folder: a program installed as ...\korv\programas
// proposes ...\korv\dlc\bin.
struct DefaultDlc {
    std::string RutaDLC;
    // 1-based character position of the first "korv" in the program's
    // folder; 0 when there is none.
    int Posicion = 0;
};

DefaultDlc DefaultDlcFolder(const std::string& programFolder);
