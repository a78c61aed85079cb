#include "directions.h"

#include "command_line.h"
#include "success_rule.h"

const Direction kDump = {
    "Descarga",
    "origen",
    "descargar",
    &Request::dump,
    &Request::sourceFolder,
    &Request::sourceDlc,
    "Debe informar la ruta donde se encuentran las bases de datos de origen",
    "párela",
    "La BBDD de orígen está arrancada",
    "Procesando Descarga ",
    "Se han producido errores en el proceso de Descarga de las bases de datos",
    "Errores de Descarga",
    kDumpDone,
    DumpCommand,
};

const Direction kLoad = {
    "Carga",
    "destino",
    "cargar",
    &Request::load,
    &Request::destinationFolder,
    &Request::destinationDlc,
    "Debe informar la ruta donde se encuentran las bases de datos de destino",
    "parela",
    "La BBDD de destino está arrancada",
    "Procesando Carga ",
    "Se han producido errores en el proceso de Carga de las bases de datos",
    "Errores de Carga",
    kLoadDone,
    LoadCommand,
};

std::string InUseMessage(const Direction& direction, const std::string& folder)
{
    return std::string("La base de datos de ") + direction.side + " en " + folder + " está arrancada, " +
           direction.stopThem + " y reintentelo";
}
