#include "io/export_common.h"

#include "app/editor_state.h"
#include "terrain/terrain.h"

bool terrainExportable(bool needMap)
{
    const Terrain& t = editor.terrain;
    // TGA headers hold 16-bit sizes; no grid or map of the editor comes near.
    const bool grid = hasVertexGrid() && t.gridX <= 65535 && t.gridY <= 65535;
    const bool map = hasDistributionMap() && t.distributionWidth <= 65535 && t.distributionHeight <= 65535;
    if (grid && (map || !needMap)) return true;
    postStatus("No terrain to export");
    return false;
}

bool beginExportFile(PendingFile& pending, const std::string& path)
{
    if (beginPendingFile(pending, path)) return true;
    postStatus("Cannot write " + path);
    return false;
}

bool reportExport(bool ok, const PendingFile& pending)
{
    postStatus(writeOutcomeMessage("Exported", pending, ok));
    return ok;
}
