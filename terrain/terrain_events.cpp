#include "terrain/terrain_events.h"

static TerrainChangeListener gListener = nullptr;

void setTerrainChangeListener(TerrainChangeListener listener) { gListener = listener; }

void reportTerrainChange(const TerrainChange& change)
{
    if (gListener != nullptr) gListener(change);
}
