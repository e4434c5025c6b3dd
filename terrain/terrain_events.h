// How the model tells its views what changed. The terrain, the tools, the
// commands and the file readers never draw: after changing data that a view
// mirrors (the GPU copy of the mesh and of the distribution map, level-of-
// detail data), they report the change here, and whoever installed a
// listener brings its copy up to date. Batch runs and model tests install
// none, so a report costs nothing there.
#pragma once

enum class TerrainChangeKind {
    kGridRegion,   // positions (so normals, colours) of vertices x0..x1, y0..y1 changed; same grid size
    kGridReplaced, // the whole vertex array changed: values, size or both (region unused)
    kLighting,     // the colour of every vertex changed (the light moved); positions did not
    kMapRegion,    // texels x0..x1, y0..y1 of the distribution map changed
    kMapReplaced,  // the whole distribution map changed: values, size or both (region unused)
};

// Regions are inclusive and may reach past the arrays; listeners clip them.
struct TerrainChange {
    TerrainChangeKind kind;
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
};

using TerrainChangeListener = void (*)(const TerrainChange& change);

// Installs the one listener (nullptr: nobody listens).
void setTerrainChangeListener(TerrainChangeListener listener);
void reportTerrainChange(const TerrainChange& change);

inline void reportGridRegion(int x0, int y0, int x1, int y1)
{
    reportTerrainChange({TerrainChangeKind::kGridRegion, x0, y0, x1, y1});
}
inline void reportGridReplaced() { reportTerrainChange({TerrainChangeKind::kGridReplaced}); }
inline void reportLightingChanged() { reportTerrainChange({TerrainChangeKind::kLighting}); }
inline void reportMapRegion(int x0, int y0, int x1, int y1)
{
    reportTerrainChange({TerrainChangeKind::kMapRegion, x0, y0, x1, y1});
}
inline void reportMapReplaced() { reportTerrainChange({TerrainChangeKind::kMapReplaced}); }
