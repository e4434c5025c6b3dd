// What every export shares: the check that there is something to write and
// the one-line report of the outcome.
#pragma once

#include <string>

#include "io/file_write.h"

// Whether the grid (and, with `needMap`, the distribution map) is complete
// enough to export; reports "No terrain to export" when it is not.
bool terrainExportable(bool needMap);
// Starts the temporary file of an export; reports when it cannot be created.
bool beginExportFile(PendingFile& pending, const std::string& path);
// Reports "Exported <path>" (noting a write in place) or "Cannot write
// <path>" and returns `ok`.
bool reportExport(bool ok, const PendingFile& pending);
