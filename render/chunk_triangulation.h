// The triangles of one level-of-detail chunk (render/terrain_lod.h) at one
// level, in chunk-local vertex coordinates. Module-private to render/.
//
// A chunk at level n keeps every 2^n-th vertex (and always its last) along
// both axes and splits each resulting cell like the full-detail list. An
// edge drawn at another level than its chunk's (the coarser level of the
// two chunks sharing it, or in the light's view a level set by a seen
// neighbour) takes that level's samples, and a strip of triangles joins it
// to the chunk's own samples one row in, so that both chunks meet with the
// same vertices and the surface has no cracks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

enum ChunkEdge { kSouth = 0, kEast = 1, kNorth = 2, kWest = 3 }; // row 0, last column, last row, column 0

// A triangle in chunk-local vertex coordinates (column, row),
// counter-clockwise seen from above like the full-detail list.
struct LocalTriangle {
    uint8_t c[3];
    uint8_t r[3];
};

// The level each edge is drawn at, by ChunkEdge.
using EdgeLevels = std::array<int, 4>;

// Samples along a chunk side of `cells` cells at `step`: 0, step, 2 step,
// ... and always the end. Returns the number of segments.
int axisSamples(int cells, int step, int* out);
// Appends the triangles of a chunk of cellsX x cellsY cells (1 to 64) at
// `level` whose edges are drawn at `edges`. Unstitched at level 0 they are
// the full-detail list's triangles, in its corner order.
void chunkTriangles(int cellsX, int cellsY, int level, const EdgeLevels& edges, std::vector<LocalTriangle>& out);
// Appends only the strip along `edge` when that edge is drawn one level
// coarser than the chunk, with the edges beside it drawn one level coarser
// too (`sidesToo`) or at the chunk's level: the triangles the chunk's error
// for that stitch is measured on.
void chunkStrip(int cellsX, int cellsY, int level, int edge, bool sidesToo, std::vector<LocalTriangle>& out);
