#include "default_dlc.h"

#include "text_chars.h"

namespace {

const std::string kInstallationFolder = "korv";
const std::string kDlcSuffix = "dlc\\bin";

} // namespace

// The match is exact and case-sensitive, and the four letters plus the
// character after them are kept: so "D:\KORV\x" and "D:\korvane" give odd
// folders. That is the rule installations were set up by; a wrong default
// shows up when a run uses it, and the user can correct the field.
DefaultDlc DefaultDlcFolder(const std::string& programFolder)
{
    DefaultDlc result;
    const auto found = programFolder.find(kInstallationFolder);
    if (found != std::string::npos)
        result.Posicion = static_cast<int>(CharacterCount(programFolder.substr(0, found))) + 1;
    result.RutaDLC = FirstCharacters(programFolder, static_cast<std::size_t>(result.Posicion) + 4) + kDlcSuffix;
    return result;
}
