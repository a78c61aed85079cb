// What is looked at before a run starts, so that it never stops half-way
// over something that was wrong from the start.

#include "command_line.h"
#include "directions.h"
#include "engine.h"
#include "failure_report.h"

namespace {

const char* const kInvalidFolderTitle = "Ruta no válida";

} // namespace

// Folders that cannot reach proutil unchanged, or that mean something else
// than the user sees, and databases that are not there.
bool Engine::FoldersValid()
{
    std::vector<const std::string*> folders;
    for (const Direction* direction : {&kDump, &kLoad}) {
        if (request_.*direction->ticked)
            folders.insert(folders.end(), {&(request_.*direction->dbFolder), &(request_.*direction->dlcFolder)});
    }
    folders.push_back(&request_.dumpFolder);
    for (const std::string* path : folders) {
        const std::string& folder = *path;
        if (!CanPassIntact(folder)) {
            ShowError("La ruta " + Shown(folder) +
                          " contiene caracteres que no se pueden pasar a proutil"
                          " (comillas, % o caracteres de control). Cámbiela y reinténtelo",
                      kInvalidFolderTitle, kStyleInformation);
            return false;
        }
        // An empty folder is asked for by its own run.
        if (!folder.empty() && !IsFullPath(folder)) {
            ShowError("La ruta " + folder +
                          " no es una ruta completa. Escríbala entera, con su unidad (por ejemplo D:\\bd), y "
                          "reinténtelo",
                      kInvalidFolderTitle, kStyleInformation);
            return false;
        }
    }
    return DatabasesFound() && WorkingFoldersFound() && !(request_.dump && request_.load && SameDatabases());
}

// Every command would fail on a database folder that is not there, one
// message per database; one message says it instead, before anything runs.
bool Engine::DatabasesFound()
{
    std::string missing;
    for (const Direction* direction : {&kDump, &kLoad}) {
        const std::string& folder = request_.*direction->dbFolder;
        if (folder.empty() || !(request_.*direction->ticked))
            continue;
        std::string why;
        try {
            if (platform_.Look(folder) == PathKind::Folder) {
                for (const DatabaseName& database : kDatabases) {
                    const std::string file = JoinPath(folder, std::string(database.name) + ".db");
                    if (platform_.Look(file) != PathKind::File)
                        missing += "\nNo se encuentra la base de datos " + file;
                }
                continue;
            }
        } catch (const RunError& error) {
            // An unreachable share is as good as missing; the system says why.
            why = std::string(" (") + error.what() + ")";
        }
        missing += std::string("\nNo se encuentra la carpeta de las bases de datos de ") + direction->side + " " +
                   folder + why;
    }
    if (missing.empty())
        return true;
    ShowError(missing.substr(1) + "\n\nCompruebe las rutas y reinténtelo", "No se encuentran las bases de datos",
              kStyleInformation);
    return false;
}

// Databases in a network folder are worked on from the dump-file folder
// (see WorkingFolder), which must then be one the interpreter can work in.
bool Engine::WorkingFoldersFound()
{
    if (!IsNetworkPath(request_.dumpFolder))
        return true;
    for (const Direction* direction : {&kDump, &kLoad}) {
        const std::string& folder = request_.*direction->dbFolder;
        if (!IsNetworkPath(folder) || !(request_.*direction->ticked))
            continue;
        ShowError(std::string("Las bases de datos de ") + direction->side + " están en la carpeta de red " + folder +
                      " y los ficheros .bd en la carpeta de red " + request_.dumpFolder +
                      ". proutil necesita una carpeta local para sus ficheros temporales y de ordenación, y usa la "
                      "de los ficheros .bd cuando la de las bases de datos es de red. Elija una carpeta local "
                      "(por ejemplo E:\\vol) para los ficheros .bd y reinténtelo",
                  kInvalidFolderTitle, kStyleInformation);
        return false;
    }
    return true;
}

// The files are compared, not their names: one folder has many spellings,
// and one database can be another's through a link.
bool Engine::SameDatabases()
{
    const std::string& source = request_.sourceFolder;
    const std::string& destination = request_.destinationFolder;
    if (source.empty() || destination.empty())
        return false;
    const std::string consequence =
        ": la carga añadiría los registros otra vez a las bases de datos de origen. Elija otra ruta de destino y "
        "reinténtelo";
    if (platform_.SameFile(source, destination)) {
        ShowError("Las bases de datos de destino en " + destination + " son las mismas que las de origen en " +
                      source + consequence,
                  "Destino igual al origen", kStyleInformation);
        return true;
    }
    for (const DatabaseName& database : kDatabases) {
        const std::string file = std::string(database.name) + ".db";
        if (platform_.SameFile(JoinPath(source, file), JoinPath(destination, file))) {
            ShowError("La base de datos de destino " + JoinPath(destination, file) + " es la de origen " +
                          JoinPath(source, file) + consequence,
                      "Destino igual al origen", kStyleInformation);
            return true;
        }
    }
    return false;
}

// A lock file, or anything else of its name, means the database is open.
// A lock file that cannot even be looked for leaves the database's state
// unknown: the run is refused, saying so.
bool Engine::DatabasesInUse(const Direction& direction)
{
    const std::string& folder = request_.*direction.dbFolder;
    for (const DatabaseName& database : kDatabases) {
        try {
            if (platform_.Look(JoinPath(folder, std::string(database.name) + ".lk")) != PathKind::Missing) {
                ShowError(direction.inUseMessage + folder + direction.inUseMessageEnd, direction.inUseTitle,
                          kStyleInformation);
                return true;
            }
        } catch (const RunError& error) {
            ShowError(std::string("No se ha podido comprobar si la base de datos de ") + direction.side + " " +
                          database.name + " en " + folder + " está arrancada: " + error.what() +
                          ". Compruebe la ruta y reinténtelo",
                      std::string("No se puede comprobar la BBDD de ") + direction.side, kStyleInformation);
            return true;
        }
    }
    return false;
}

// The per-database folders of the dump files: those of an earlier run are
// used again. Without them every command would fail, so the run stops with
// one message instead.
bool Engine::DumpFoldersReady()
{
    for (const DatabaseName& database : kDatabases) {
        const std::string folder = JoinPath(request_.dumpFolder, database.name);
        platform_.CreateFolder(folder);
        std::string why;
        try {
            if (platform_.Look(folder) == PathKind::Folder)
                continue;
        } catch (const RunError& error) {
            why = std::string(" (") + error.what() + ")";
        }
        ShowError("No se puede crear la carpeta " + folder + " para los ficheros .bd" + why +
                      ". Compruebe la ruta de los ficheros .bd y reinténtelo",
                  "Sin carpeta para los ficheros .bd", kStyleInformation);
        return false;
    }
    return true;
}
