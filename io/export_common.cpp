#include "io/export_common.h"

#include "app/editor_state.h"

bool terrainExportable(bool needMap)
{
    const Terrain& t = editor.terrain;
    // TGA headers hold 16-bit sizes; no grid or map of the editor comes near.
    const bool grid = t.gridX >= 1 && t.gridY >= 1 && t.gridX <= 65535 && t.gridY <= 65535 &&
                      t.vertices.size() == size_t(t.gridX) * size_t(t.gridY);
    const bool map = t.distributionWidth >= 1 && t.distributionHeight >= 1 && t.distributionWidth <= 65535 &&
                     t.distributionHeight <= 65535 &&
                     t.distribution.size() == size_t(t.distributionWidth) * size_t(t.distributionHeight) * 3;
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
