// What is looked at before a run starts.

#include "request_checks.h"

#include <iterator>
#include <vector>

#include "failure_report.h"
#include "paths.h"
#include "quoting.h"

namespace {

const char* const kInvalidFolderTitle = "Ruta no válida";

Message Refuse(std::string text, const std::string& title)
{
    return {std::move(text), title, kStyleInformation};
}

Refusal FolderCanReachProutil(const std::string& folder)
{
    if (!CanPassIntact(folder)) {
        return Refuse("La ruta " + Shown(folder) +
                          " contiene caracteres que no se pueden pasar a proutil"
                          " (comillas, % o caracteres de control). Cámbiela y reinténtelo",
                      kInvalidFolderTitle);
    }
    // An empty folder is asked for by its own direction.
    if (!folder.empty() && !IsFullPath(folder)) {
        return Refuse("La ruta " + folder +
                          " no es una ruta completa. Escríbala entera, con su unidad (por ejemplo D:\\bd), y "
                          "reinténtelo",
                      kInvalidFolderTitle);
    }
    return std::nullopt;
}

// Every command would fail on a database folder that is not there, one
// message per database; one message says it instead, before anything runs.
Refusal DatabasesFound(const Request& request, Platform& platform)
{
    std::string missing;
    for (const Direction* direction : {&kDump, &kLoad}) {
        const std::string& folder = request.*direction->dbFolder;
        if (folder.empty() || !(request.*direction->ticked))
            continue;
        std::string why;
        try {
            if (platform.Look(folder) == PathKind::Folder) {
                for (const DatabaseName& database : kDatabases) {
                    const std::string file = JoinPath(folder, std::string(database.name) + ".db");
                    if (platform.Look(file) != PathKind::File)
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
        return std::nullopt;
    return Refuse(missing.substr(1) + "\n\nCompruebe las rutas y reinténtelo", "No se encuentran las bases de datos");
}

// Databases in a network folder are worked on from the dump-file folder,
// which must then be one the interpreter can work in.
Refusal WorkingFoldersFound(const Request& request)
{
    if (!IsNetworkPath(request.dumpFolder))
        return std::nullopt;
    for (const Direction* direction : {&kDump, &kLoad}) {
        const std::string& folder = request.*direction->dbFolder;
        if (!IsNetworkPath(folder) || !(request.*direction->ticked))
            continue;
        return Refuse(std::string("Las bases de datos de ") + direction->side + " están en la carpeta de red " +
                          folder + " y los ficheros .bd en la carpeta de red " + request.dumpFolder +
                          ". proutil necesita una carpeta local para sus ficheros temporales y de ordenación, y usa "
                          "la de los ficheros .bd cuando la de las bases de datos es de red. Elija una carpeta local "
                          "(por ejemplo E:\\vol) para los ficheros .bd y reinténtelo",
                      kInvalidFolderTitle);
    }
    return std::nullopt;
}

// The files are compared, not their names: one folder has many spellings,
// and one database can be another's through a link.
Refusal SameDatabases(const Request& request, Platform& platform)
{
    const std::string& source = request.sourceFolder;
    const std::string& destination = request.destinationFolder;
    if (!request.dump || !request.load || source.empty() || destination.empty())
        return std::nullopt;
    const std::string consequence =
        ": la carga añadiría los registros otra vez a las bases de datos de origen. Elija otra ruta de destino y "
        "reinténtelo";
    if (platform.SameFile(source, destination)) {
        return Refuse("Las bases de datos de destino en " + destination + " son las mismas que las de origen en " +
                          source + consequence,
                      "Destino igual al origen");
    }
    for (const DatabaseName& database : kDatabases) {
        const std::string file = std::string(database.name) + ".db";
        if (platform.SameFile(JoinPath(source, file), JoinPath(destination, file))) {
            return Refuse("La base de datos de destino " + JoinPath(destination, file) + " es la de origen " +
                              JoinPath(source, file) + consequence,
                          "Destino igual al origen");
        }
    }
    return std::nullopt;
}

// A lock file, or anything else of its name, means the database is open.
// A lock file that cannot even be looked for leaves the database's state
// unknown: the run is refused, saying so.
Refusal DatabasesInUse(const Request& request, const Direction& direction, Platform& platform)
{
    const std::string& folder = request.*direction.dbFolder;
    for (const DatabaseName& database : kDatabases) {
        try {
            if (platform.Look(JoinPath(folder, std::string(database.name) + ".lk")) != PathKind::Missing)
                return Refuse(InUseMessage(direction, folder), direction.inUseTitle);
        } catch (const RunError& error) {
            return Refuse(std::string("No se ha podido comprobar si la base de datos de ") + direction.side + " " +
                              database.name + " en " + folder + " está arrancada: " + error.what() +
                              ". Compruebe la ruta y reinténtelo",
                          std::string("No se puede comprobar la BBDD de ") + direction.side);
        }
    }
    return std::nullopt;
}

// A folder that is another's through a link or a junction would hold both
// databases' dump files: the second dump would replace the first's, and
// that database would be loaded with the other's records. Compared once
// made, as the folders are, whatever they are called.
Refusal DistinctDumpFolders(const Request& request, Platform& platform)
{
    for (std::size_t i = 0; i < std::size(kDatabases); ++i) {
        for (std::size_t j = i + 1; j < std::size(kDatabases); ++j) {
            const std::string first = JoinPath(request.dumpFolder, kDatabases[i].name);
            const std::string second = JoinPath(request.dumpFolder, kDatabases[j].name);
            if (!platform.SameFile(first, second))
                continue;
            return Refuse("Las carpetas de los ficheros .bd " + first + " y " + second +
                              " son la misma carpeta: los ficheros .bd de las bases de datos " + kDatabases[i].name +
                              " y " + kDatabases[j].name +
                              " se sustituirían unos a otros y se cargarían en la base de datos equivocada. Haga que "
                              "sean carpetas distintas y reinténtelo",
                          "Carpeta de ficheros .bd compartida");
        }
    }
    return std::nullopt;
}

} // namespace

Refusal CheckFolders(const Request& request, Platform& platform)
{
    std::vector<const std::string*> folders;
    for (const Direction* direction : {&kDump, &kLoad}) {
        if (request.*direction->ticked)
            folders.insert(folders.end(), {&(request.*direction->dbFolder), &(request.*direction->dlcFolder)});
    }
    folders.push_back(&request.dumpFolder);
    for (const std::string* folder : folders) {
        if (Refusal refusal = FolderCanReachProutil(*folder))
            return refusal;
    }
    if (Refusal refusal = DatabasesFound(request, platform))
        return refusal;
    if (Refusal refusal = WorkingFoldersFound(request))
        return refusal;
    return SameDatabases(request, platform);
}

Refusal CheckDirection(const Request& request, const Direction& direction, Platform& platform)
{
    if ((request.*direction.dbFolder).empty())
        return Refuse(direction.emptyDbFolderMessage, "Sin ruta");
    if ((request.*direction.dlcFolder).empty())
        return Refuse("Debe informar la ruta donde se encuentra la carpeta DLC de su instalación", "Sin ruta");
    return DatabasesInUse(request, direction, platform);
}

Refusal MakeDumpFolders(const Request& request, Platform& platform)
{
    for (const DatabaseName& database : kDatabases) {
        const std::string folder = JoinPath(request.dumpFolder, database.name);
        platform.CreateFolder(folder);
        std::string why;
        try {
            if (platform.Look(folder) == PathKind::Folder)
                continue;
        } catch (const RunError& error) {
            why = std::string(" (") + error.what() + ")";
        }
        return Refuse("No se puede crear la carpeta " + folder + " para los ficheros .bd" + why +
                          ". Compruebe la ruta de los ficheros .bd y reinténtelo",
                      "Sin carpeta para los ficheros .bd");
    }
    return DistinctDumpFolders(request, platform);
}
