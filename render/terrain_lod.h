// Level of detail for grids too big to draw whole. The grid is cut into
// square chunks; each frame every chunk gets a level (level n keeps every
// 2^n-th vertex) from its distance to the camera and its own measured height
// error, and each pass draws the chunks inside its view through one
// triangle list of indices into the whole-grid vertex buffers. Vertices are
// never copied: a level is only another list of indices.
//
// Neighbouring chunks differ by at most one level, and the finer one of a
// pair stitches its edge to the coarser one's vertices, so the surface has
// no cracks. Grids up to kLodFullDetailMaxSide a side keep the single
// full-detail list.
//
// Index: constants | change entry points | per frame | inspection
#pragma once

#include <cstdint>
#include <vector>

// ------------------------------------------------------------- constants

constexpr int kLodFullDetailMaxSide = 257; // grids up to this many vertices a side draw whole
constexpr int kLodChunkCells = 64;         // cells along a chunk side; the last chunk of a row or column may be shorter
constexpr int kLodLevels = 7;              // level n keeps every 2^n-th vertex: steps 1 to 64
// The most any point of the full-detail surface may lie from the drawn
// surface on screen, in pixels (the projected height error at the chunk's
// nearest point, corner of the view included).
constexpr float kLodPixelError = 1.0f;

// ------------------------------------------------- change entry points

// The change listener calls these; both return at once without a GL
// context (drawing re-measures a grid whose size it does not know).
// The whole vertex array changed (values, size or both): re-measures every chunk.
void lodGridReplaced();
// Positions of vertices x0..x1, y0..y1 changed: re-measures the chunks holding them.
void lodGridRegionChanged(int x0, int y0, int x1, int y1);

// ------------------------------------------------------------ per frame

// Whether the current terrain draws through chunks (a side above kLodFullDetailMaxSide).
bool terrainUsesLod();
// Chooses every chunk's level for the camera given by its modelview and
// projection matrices (column-major, as GL returns them) and the viewport
// height in pixels, so that the surface stays within `pixelError` pixels of
// the full detail, and notes which chunks the camera sees.
void chooseLodLevels(const double modelview[16], const double projection[16], int viewportHeight,
                     float pixelError = kLodPixelError);
// Levels for the light's view (its modelview and projection, the map's side
// in texels): chunks the camera saw keep the camera's levels, as the map
// must hold the very surface the camera shows; the others only cast
// shadows and need be no finer than a map texel where they stand. Call after
// chooseLodLevels.
void chooseLodLightLevels(const double modelview[16], const double projection[16], int mapSize);
// Whether the next lists use the light's levels (true) or the camera's
// (false; chooseLodLevels sets it back).
void useLodLightLevels(bool light);
// out = a x b, 4 x 4 column-major (clip = projection x modelview).
void multiplyMatrices(const double a[16], const double b[16], double out[16]);
// Triangle list (indices into the whole-grid vertex arrays) of the chunks
// inside the view of `clip` (projection x modelview), at the levels in use.
// The list stays valid until the next call.
const std::vector<uint32_t>& lodTrianglesInView(const double clip[16]);

// The list the last lodTrianglesInView returned.
const std::vector<uint32_t>& lodLastList();

struct LodBounds {
    float lo[3] = {0, 0, 0}; // world units
    float hi[3] = {0, 0, 0};
};
// Box around the whole terrain; false without a measured grid.
bool lodTerrainBounds(LodBounds& out);
// Box around the chunks the camera saw at the last chooseLodLevels; false
// when it saw none.
bool lodBoundsInView(LodBounds& out);

// ----------------------------------------------------------- inspection

struct LodListCount {
    int chunks = 0;        // chunks in the last list
    int64_t triangles = 0; // triangles in the last list
};
LodListCount lodLastListCount();
int lodChunksX();
int lodChunksY();
// Level chosen for chunk (cx, cy) at the last chooseLodLevels.
int lodChunkLevel(int cx, int cy);
// World-unit height error of chunk (cx, cy) drawn at `level` without stitching.
float lodChunkError(int cx, int cy, int level);
// Chunks measured since start-up (a whole grid, or those under a brush).
int64_t lodChunksMeasured();
// Changes whenever the surface changes (a grid region or the whole grid):
// what depends on the surface alone, like a small grid's shadow map, is
// current while it stays the same.
uint64_t lodSurfaceVersion();
