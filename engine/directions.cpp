#include "directions.h"

#include "command_line.h"
#include "success_rule.h"
#include "texts.h"

const Direction kDump = {
    texts::kDumpName,
    texts::kSource,
    texts::kDumpVerb,
    &Request::dump,
    &Request::sourceFolder,
    &Request::sourceDlc,
    texts::kNoSourceFolder,
    texts::kStopSource,
    texts::kSourceInUseTitle,
    texts::kDumpStatus,
    texts::kDumpErrors,
    texts::kDumpErrorsTitle,
    kDumpDone,
    DumpCommand,
};

const Direction kLoad = {
    texts::kLoadName,
    texts::kDestination,
    texts::kLoadVerb,
    &Request::load,
    &Request::destinationFolder,
    &Request::destinationDlc,
    texts::kNoDestinationFolder,
    texts::kStopDestination,
    texts::kDestinationInUseTitle,
    texts::kLoadStatus,
    texts::kLoadErrors,
    texts::kLoadErrorsTitle,
    kLoadDone,
    LoadCommand,
};
