// The height grid: per-vertex normals, lighting and texture coordinates,
// the triangle index list and the default terrain. No GL, no SDL: changes
// that views mirror are reported through terrain/terrain_events.h.
#pragma once

#include "app/editor_state.h"

// Whether the vertex array holds the whole gridX x gridY grid (at least
// one vertex), and whether the distribution map holds all its
// distributionWidth x distributionHeight texels: what the commands check
// before they read either.
bool hasVertexGrid();
bool hasDistributionMap();
// Scales v to unit length in place and returns its former length; a zero
// vector is left as it is.
float normalizeVector(float v[3]);
float pointDistance(const float a[3], const float b[3]);
// Unit normal of one ring triangle (a, b) around the centre p.
void faceNormal(const float a[3], const float b[3], const float p[3], float out[3]);
// Recomputes the normal of vertex (col, row) of `vertices` from its ring of
// neighbours, then its lighting. Works on arrays not yet installed.
void computeVertexNormal(TerrainVertex* vertices, int col, int row, int gridX, int gridY);
// Recomputes the colour of one vertex from its position, normal and the light.
void computeVertexLighting(TerrainVertex* vertices, int col, int row, int gridX);
// computeVertexNormal for every vertex of a gridX x gridY array.
void refreshVertices(TerrainVertex* vertices, int gridX, int gridY);
// computeVertexNormal for every vertex of the installed terrain.
void refreshAllVertices();
// computeVertexLighting for every vertex of a gridX x gridY array.
void relightVertices(TerrainVertex* vertices, int gridX, int gridY);
// The same for the installed terrain (the light moved); reports it.
void relightAllVertices();
// tileCoord and mapCoord of every vertex for an nx * ny grid.
void computeTextureCoords(int nx, int ny);
// The same on an array not yet installed, spaced `blockWidth` apart.
void computeTextureCoords(std::vector<TerrainVertex>& vertices, int nx, int ny, float blockWidth);
// Whether computeTextureCoords(gridX, gridY) would leave the texture
// coordinates as they are (false after a block width change, which keeps
// them until the next recomputation).
bool textureCoordsCurrent();
// The triangle list of a gridX x gridY grid (empty below 2 x 2); the
// drawing layer makes it for the grids it draws whole.
std::vector<uint32_t> gridIndices(int gridX, int gridY);
// A gridX x gridY vertex array lying flat at `height`: positions only.
std::vector<TerrainVertex> layOutFlatGrid(int gridX, int gridY, float blockWidth, float height);
// Makes `vertices` (gridX x gridY, positions set; taken over) the terrain's
// grid and derives its normals, lighting and texture coordinates, all made
// before the terrain changes. The distribution map, the undo
// history and the GPU copies are left to the caller.
void installGrid(int gridX, int gridY, std::vector<TerrainVertex>& vertices);
// installGrid with a flat grid at `height` and the given block width.
void installFlatGrid(int gridX, int gridY, float blockWidth, float height);
// 65 x 65 flat terrain at half the height scale, even texture mix, camera
// reset, empty undo history.
void createDefaultTerrain();
// Normals of the vertices in the clipped rectangle plus a one-vertex border.
void refreshVertexRegion(int x0, int y0, int x1, int y1);

constexpr int kMaxGridSide = 4097;       // largest grid side any command or file may produce
constexpr int kMaxDistributionSide = 8192;
