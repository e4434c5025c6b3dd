// The terrain mesh: one indexed draw call per pass, of the whole grid or, on
// big grids, of the chunks in view at their levels (render/terrain_lod.h).
#pragma once

#include <cstdint>

// Draws the terrain seen through the current matrices: vertex colours only,
// or (texturing on) the ground textures blended by the distribution map
// through a shader program, shadowed when a shadow map was rendered this
// frame. Leaves unit 0 active, no program, texture 0 bound, no arrays enabled.
void drawTerrainMesh();
// Outlines, in the current colour, the chunk triangles the last
// drawTerrainMesh sent (big grids only).
void drawChunkWireframe();

struct MeshDrawCount {
    int draws = 0;         // drawTerrainMesh calls
    int chunks = 0;        // chunks drawn (big grids)
    int64_t triangles = 0; // triangles sent
};
// What drawTerrainMesh sent since the last reset (each frame resets it).
MeshDrawCount meshDrawCount();
void resetMeshDrawCount();
