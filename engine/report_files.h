#pragma once

// The files a run writes in its dump-file folder, beside the dump files.

inline constexpr const char* kLogFileName = "vaciallena.log";
// A database's table analyses, kept whole in its folder of dump files: the
// source's after its dump, which a later load alone compares with, and the
// destination's, before its load and again after its index rebuild.
inline constexpr const char* kSourceReport = "tabanalys-origen.txt";
inline constexpr const char* kDestinationReport = "tabanalys-destino.txt";
