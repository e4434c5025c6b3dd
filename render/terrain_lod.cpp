// Chunked level of detail: chunk records, the height error of every level
// measured against the full-detail surface, the per-frame choice of levels
// and the triangle lists of each view (the triangles of one chunk come from
// render/chunk_triangulation.h).
//
// Index: records | measuring | change entry points | levels | per frame |
//        inspection
#include "render/terrain_lod.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

#include "app/editor_state.h"
#include "render/chunk_triangulation.h"
#include "terrain/parallel.h"
#include "terrain/terrain.h"

namespace {

// ---------------------------------------------------------------- records

struct Chunk {
    int c0 = 0, r0 = 0;         // first vertex column and row in the grid
    int cellsX = 0, cellsY = 0; // 1 .. kLodChunkCells
    float lo[3] = {0, 0, 0};    // box around the chunk's vertices, world units
    float hi[3] = {0, 0, 0};
    // World-unit height error of the chunk drawn at level n against the full
    // detail, non-decreasing in n (a coarser level never counts as better).
    float error[kLodLevels] = {};
    // Error of the strip along edge e when that edge is stitched from level
    // n to n + 1 (the neighbour across it is one level coarser).
    float stripError[kLodLevels - 1][4] = {};
    float distance = 0.0f; // eye to box at the last level choice, world units
    // Levels chosen for the camera and for the light's view (LevelSet);
    // 0 until the first choice.
    uint8_t level[2] = {0, 0};
    bool inView = false; // the camera saw its box at the last level choice
};

enum LevelSet { kCameraLevels = 0, kLightLevels = 1 };

// Everything the module keeps; rebuilt by lodGridReplaced. Drawing checks
// the grid size it was built for, so a change made without a GL context is
// caught up with at the next frame.
struct LodGrid {
    int gridX = 0, gridY = 0;     // grid the chunks were cut from
    int chunksX = 0, chunksY = 0; // chunks per row and per column
    std::vector<Chunk> chunks;    // row-major
    // Index lists relative to a chunk's first vertex (row * gridX + column),
    // keyed by shape (short in x, short in y), level and the level of each
    // edge; made on first use. Every chunk of one shape has the same cell
    // counts.
    std::unordered_map<uint32_t, std::vector<uint32_t>> templates;
    std::vector<uint32_t> list; // the list handed out last
    LodListCount listCount;
    LevelSet drawn = kCameraLevels; // levels the lists use
    int64_t measured = 0;       // chunks measured since start-up
    uint64_t surfaceVersion = 0; // counts the changes of the surface measured
};

LodGrid lod;

const Terrain& terrain() { return editor.terrain; }

bool gridIsCurrent()
{
    const Terrain& t = terrain();
    return !lod.chunks.empty() && lod.gridX == t.gridX && lod.gridY == t.gridY && hasVertexGrid();
}

Chunk& chunkAt(int cx, int cy) { return lod.chunks[size_t(cy) * size_t(lod.chunksX) + size_t(cx)]; }

// The neighbour across `edge`, or nullptr at the grid's border.
Chunk* neighbour(int cx, int cy, int edge)
{
    switch (edge) {
    case kSouth: cy -= 1; break;
    case kEast: cx += 1; break;
    case kNorth: cy += 1; break;
    default: cx -= 1; break;
    }
    if (cx < 0 || cy < 0 || cx >= lod.chunksX || cy >= lod.chunksY) return nullptr;
    return &chunkAt(cx, cy);
}

// -------------------------------------------------------------- measuring

// A chunk's heights, row-major, and its full-detail surface.
struct ChunkHeights {
    float z[(kLodChunkCells + 1) * (kLodChunkCells + 1)];
    int cellsX = 0, cellsY = 0;

    float at(int c, int r) const { return z[r * (cellsX + 1) + c]; }

    // Height of the full-detail surface at chunk-local (x, y): each cell is
    // the two triangles of the full-detail list, split along x + y = const.
    float surface(double x, double y) const
    {
        const int c = std::min(int(x), cellsX - 1), r = std::min(int(y), cellsY - 1);
        const double u = x - c, v = y - r;
        if (u + v <= 1.0) {
            const double base = at(c, r);
            return float(base + u * (at(c + 1, r) - base) + v * (at(c, r + 1) - base));
        }
        const double base = at(c + 1, r + 1);
        return float(base + (1.0 - u) * (at(c, r + 1) - base) + (1.0 - v) * (at(c + 1, r) - base));
    }
};

// Largest height difference along an edge between its two vertices (both
// samples of the surface) and the surface. Both are straight between the
// points where the edge crosses a grid line or a cell diagonal, so those
// points are all that need checking; an edge along either lies on the surface.
float edgeError(const ChunkHeights& h, int ca, int ra, int cb, int rb)
{
    const int dc = cb - ca, dr = rb - ra;
    if (dc == 0 || dr == 0 || dc == -dr) return 0.0f;
    const double za = h.at(ca, ra), zb = h.at(cb, rb);
    float worst = 0.0f;
    auto check = [&](double t) {
        const double line = za + t * (zb - za);
        worst = std::max(worst, float(std::fabs(h.surface(ca + t * dc, ra + t * dr) - line)));
    };
    for (int c = std::min(ca, cb) + 1; c < std::max(ca, cb); ++c) check(double(c - ca) / dc);
    for (int r = std::min(ra, rb) + 1; r < std::max(ra, rb); ++r) check(double(r - ra) / dr);
    const int sa = ca + ra, sb = cb + rb;
    for (int s = std::min(sa, sb) + 1; s < std::max(sa, sb); ++s) check(double(s - sa) / (sb - sa));
    return worst;
}

// Largest height difference between a triangle and the full-detail surface
// beneath it: at the grid vertices inside it and where its edges cross the
// grid's edges (both surfaces are flat between those points).
float triangleError(const ChunkHeights& h, const LocalTriangle& t)
{
    const int c0 = t.c[0], c1 = t.c[1], c2 = t.c[2], r0 = t.r[0], r1 = t.r[1], r2 = t.r[2];
    const float z0 = h.at(c0, r0), z1 = h.at(c1, r1), z2 = h.at(c2, r2);
    const int area = (c1 - c0) * (r2 - r0) - (c2 - c0) * (r1 - r0);
    float worst = 0.0f;
    const int cLo = std::min({c0, c1, c2}), cHi = std::max({c0, c1, c2});
    const int rLo = std::min({r0, r1, r2}), rHi = std::max({r0, r1, r2});
    for (int r = rLo; r <= rHi; ++r) {
        for (int c = cLo; c <= cHi; ++c) {
            // Twice the areas opposite each corner: the barycentric weights.
            const int w0 = (c2 - c1) * (r - r1) - (r2 - r1) * (c - c1);
            const int w1 = (c0 - c2) * (r - r2) - (r0 - r2) * (c - c2);
            const int w2 = (c1 - c0) * (r - r0) - (r1 - r0) * (c - c0);
            if ((w0 | w1 | w2) < 0) continue;
            const float plane = (float(w0) * z0 + float(w1) * z1 + float(w2) * z2) / float(area);
            worst = std::max(worst, std::fabs(h.at(c, r) - plane));
        }
    }
    worst = std::max(worst, edgeError(h, c0, r0, c1, r1));
    worst = std::max(worst, edgeError(h, c1, r1, c2, r2));
    return std::max(worst, edgeError(h, c2, r2, c0, r0));
}

float listError(const ChunkHeights& h, const std::vector<LocalTriangle>& triangles)
{
    float worst = 0.0f;
    for (const LocalTriangle& t : triangles) worst = std::max(worst, triangleError(h, t));
    return worst;
}

// The error of the unstitched chunk at `level`: what triangleError gives for
// its triangles, found faster. In a square cell the diagonal follows the
// grid's own diagonals, so only the grid vertices need checking, each
// against the plane of its half; the shorter cells at the chunk's far edges
// go through triangleError.
float regularError(const ChunkHeights& h, int level)
{
    int xs[kLodChunkCells + 1], ys[kLodChunkCells + 1];
    const int nx = axisSamples(h.cellsX, 1 << level, xs), ny = axisSamples(h.cellsY, 1 << level, ys);
    float worst = 0.0f;
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            const int x0 = xs[i], x1 = xs[i + 1], y0 = ys[j], y1 = ys[j + 1];
            const int size = x1 - x0;
            if (y1 - y0 != size) {
                const LocalTriangle halves[2] = {
                    {{uint8_t(x0), uint8_t(x1), uint8_t(x0)}, {uint8_t(y0), uint8_t(y0), uint8_t(y1)}},
                    {{uint8_t(x0), uint8_t(x1), uint8_t(x1)}, {uint8_t(y1), uint8_t(y0), uint8_t(y1)}}};
                for (const LocalTriangle& t : halves) worst = std::max(worst, triangleError(h, t));
                continue;
            }
            const float a = h.at(x0, y0), b = h.at(x1, y0), d = h.at(x0, y1), e = h.at(x1, y1);
            const float inverse = 1.0f / float(size);
            for (int v = 0; v <= size; ++v) {
                const float* row = &h.z[(y0 + v) * (h.cellsX + 1) + x0];
                for (int u = 0; u <= size; ++u) {
                    const float fu = float(u) * inverse, fv = float(v) * inverse;
                    const float plane = u + v <= size ? a + fu * (b - a) + fv * (d - a)
                                                      : e + (1.0f - fu) * (d - e) + (1.0f - fv) * (b - e);
                    worst = std::max(worst, std::fabs(row[u] - plane));
                }
            }
        }
    }
    return worst;
}

// Copies the chunk's heights and box, then measures every level and every
// stitched strip against the full detail.
void measureChunk(Chunk& chunk, ChunkHeights& h, std::vector<LocalTriangle>& scratch)
{
    const Terrain& t = terrain();
    h.cellsX = chunk.cellsX;
    h.cellsY = chunk.cellsY;
    for (int k = 0; k < 3; ++k) {
        chunk.lo[k] = 1e30f;
        chunk.hi[k] = -1e30f;
    }
    for (int r = 0; r <= chunk.cellsY; ++r) {
        const TerrainVertex* row = &t.vertices[size_t(chunk.r0 + r) * size_t(t.gridX) + size_t(chunk.c0)];
        for (int c = 0; c <= chunk.cellsX; ++c) {
            const float* p = row[c].position;
            h.z[r * (chunk.cellsX + 1) + c] = p[2];
            for (int k = 0; k < 3; ++k) {
                chunk.lo[k] = std::min(chunk.lo[k], p[k]);
                chunk.hi[k] = std::max(chunk.hi[k], p[k]);
            }
        }
    }
    chunk.error[0] = 0.0f;
    for (int level = 1; level < kLodLevels; ++level)
        chunk.error[level] = std::max(chunk.error[level - 1], regularError(h, level));
    // A strip's corners depend on whether the edges beside it are stitched
    // too: measure it both ways.
    for (int level = 0; level + 1 < kLodLevels; ++level) {
        for (int edge = 0; edge < 4; ++edge) {
            float worst = 0.0f;
            for (bool sidesToo : {false, true}) {
                scratch.clear();
                chunkStrip(chunk.cellsX, chunk.cellsY, level, edge, sidesToo, scratch);
                worst = std::max(worst, listError(h, scratch));
            }
            chunk.stripError[level][edge] = worst;
        }
    }
}

// Measures chunks cx0..cx1 of rows cy0..cy1. Chunks are independent, so a
// big batch splits its rows between threads; each chunk's result does not
// depend on which thread measured it.
void measureChunks(int cx0, int cy0, int cx1, int cy1)
{
    const int across = cx1 - cx0 + 1, count = (cy1 - cy0 + 1) * across;
    parallelRows(cy1 - cy0 + 1, across * kLodChunkCells * kLodChunkCells, [=](int first, int end) {
        ChunkHeights heights;
        std::vector<LocalTriangle> scratch;
        for (int cy = cy0 + first; cy < cy0 + end; ++cy)
            for (int cx = cx0; cx <= cx1; ++cx) measureChunk(chunkAt(cx, cy), heights, scratch);
    });
    lod.measured += count;
}

// Cuts the current grid into chunks (the last of a row or column takes the
// remaining cells) and measures them all.
void rebuildChunks()
{
    const Terrain& t = terrain();
    lod.chunks.clear();
    lod.list.clear();
    lod.listCount = {};
    lod.templates.clear();
    lod.gridX = t.gridX;
    lod.gridY = t.gridY;
    lod.chunksX = lod.chunksY = 0;
    if (t.gridX < 2 || t.gridY < 2 || t.vertices.size() != size_t(t.gridX) * size_t(t.gridY)) return;
    lod.chunksX = (t.gridX - 2) / kLodChunkCells + 1;
    lod.chunksY = (t.gridY - 2) / kLodChunkCells + 1;
    lod.chunks.resize(size_t(lod.chunksX) * size_t(lod.chunksY));
    for (int cy = 0; cy < lod.chunksY; ++cy) {
        for (int cx = 0; cx < lod.chunksX; ++cx) {
            Chunk& chunk = chunkAt(cx, cy);
            chunk.c0 = cx * kLodChunkCells;
            chunk.r0 = cy * kLodChunkCells;
            chunk.cellsX = std::min(kLodChunkCells, t.gridX - 1 - chunk.c0);
            chunk.cellsY = std::min(kLodChunkCells, t.gridY - 1 - chunk.r0);
        }
    }
    measureChunks(0, 0, lod.chunksX - 1, lod.chunksY - 1);
    ++lod.surfaceVersion;
}

// ----------------------------------------------------------------- levels

struct Frustum {
    double plane[6][4]; // a x + b y + c z + d >= 0 inside
};

// The six clip planes of a projection x modelview matrix (column-major).
Frustum frustumOf(const double m[16])
{
    Frustum f;
    for (int p = 0; p < 6; ++p) {
        const int axis = p / 2;
        const double sign = (p % 2 == 0) ? 1.0 : -1.0;
        for (int k = 0; k < 4; ++k) f.plane[p][k] = m[4 * k + 3] + sign * m[4 * k + axis];
    }
    return f;
}

bool boxOutside(const Frustum& f, const float lo[3], const float hi[3])
{
    for (const auto& p : f.plane) {
        const double x = p[0] >= 0 ? hi[0] : lo[0], y = p[1] >= 0 ? hi[1] : lo[1], z = p[2] >= 0 ? hi[2] : lo[2];
        if (p[0] * x + p[1] * y + p[2] * z + p[3] < 0) return true;
    }
    return false;
}

float distanceToBox(const double eye[3], const float lo[3], const float hi[3])
{
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double d = std::max({double(lo[k]) - eye[k], 0.0, eye[k] - double(hi[k])});
        sum += d * d;
    }
    return float(std::sqrt(sum));
}

// Neighbours may differ by one level at most: a chunk two levels coarser
// than a neighbour comes down (finer only ever means more exact).
void limitLevelSteps()
{
    bool changed = true;
    while (changed) {
        changed = false;
        for (int cy = 0; cy < lod.chunksY; ++cy)
            for (int cx = 0; cx < lod.chunksX; ++cx) {
                uint8_t& level = chunkAt(cx, cy).level[kCameraLevels];
                for (int edge = 0; edge < 4; ++edge) {
                    const Chunk* other = neighbour(cx, cy, edge);
                    if (other && level > other->level[kCameraLevels] + 1) {
                        level = uint8_t(other->level[kCameraLevels] + 1);
                        changed = true;
                    }
                }
            }
    }
}

// A stitched strip is coarser than its chunk's level; where that shows more
// than the allowed error at the chunk's distance, the coarser neighbour
// comes down to the chunk's level instead.
bool refineTooCoarseStrips(double pixelsPerUnitAtOne, float pixelError)
{
    bool changed = false;
    for (int cy = 0; cy < lod.chunksY; ++cy)
        for (int cx = 0; cx < lod.chunksX; ++cx) {
            const Chunk& chunk = chunkAt(cx, cy);
            for (int edge = 0; edge < 4; ++edge) {
                Chunk* other = neighbour(cx, cy, edge);
                const int level = chunk.level[kCameraLevels];
                if (!other || other->level[kCameraLevels] != level + 1) continue;
                if (chunk.stripError[level][edge] * pixelsPerUnitAtOne > pixelError * chunk.distance) {
                    other->level[kCameraLevels] = uint8_t(level);
                    changed = true;
                }
            }
        }
    return changed;
}

// An edge takes the coarser level of the two chunks beside it. In the
// light's view an edge beside a chunk the camera sees keeps the camera's
// edge level, so that chunk's surface is the same in both views.
EdgeLevels edgeLevels(int cx, int cy, LevelSet set)
{
    const Chunk& chunk = chunkAt(cx, cy);
    EdgeLevels edges;
    for (int edge = 0; edge < 4; ++edge) {
        const Chunk* other = neighbour(cx, cy, edge);
        const LevelSet shared = other && (chunk.inView || other->inView) ? kCameraLevels : set;
        edges[size_t(edge)] = other ? std::max(chunk.level[shared], other->level[shared]) : chunk.level[set];
    }
    return edges;
}

const std::vector<uint32_t>& templateFor(const Chunk& chunk, int level, const EdgeLevels& edges)
{
    uint32_t key = (chunk.cellsX != kLodChunkCells ? 1u : 0u) | (chunk.cellsY != kLodChunkCells ? 2u : 0u);
    key = key << 3 | uint32_t(level);
    for (int edge : edges) key = key << 3 | uint32_t(edge);
    std::vector<uint32_t>& list = lod.templates[key];
    if (list.empty()) {
        std::vector<LocalTriangle> triangles;
        chunkTriangles(chunk.cellsX, chunk.cellsY, level, edges, triangles);
        list.reserve(triangles.size() * 3);
        for (const LocalTriangle& t : triangles)
            for (int k = 0; k < 3; ++k) list.push_back(uint32_t(t.r[k]) * uint32_t(lod.gridX) + t.c[k]);
    }
    return list;
}

// Pixels that one world unit across the line of sight covers at distance
// 1, in the corner of the view where it is most (the depth there is the
// distance times the cosine of the corner's angle).
double pixelsPerUnitAtOne(const double projection[16], int viewportHeight)
{
    const double tanX = projection[0] != 0 ? 1.0 / projection[0] : 0.0;
    const double tanY = projection[5] != 0 ? 1.0 / projection[5] : 0.0;
    return std::fabs(projection[5]) * 0.5 * viewportHeight * std::sqrt(1.0 + tanX * tanX + tanY * tanY);
}

// The eye of a modelview matrix that only turns and moves.
void eyeOf(const double m[16], double eye[3])
{
    for (int k = 0; k < 3; ++k) eye[k] = -(m[4 * k] * m[12] + m[4 * k + 1] * m[13] + m[4 * k + 2] * m[14]);
}

// The coarsest level whose error, `scale` pixels per unit at distance 1,
// stays within `allowed` pixels at `distance`.
uint8_t coarsestLevel(const Chunk& chunk, double scale, float allowed, float distance)
{
    for (int level = kLodLevels - 1; level > 0; --level)
        if (chunk.error[level] * scale <= allowed * distance) return uint8_t(level);
    return 0;
}

void unionBox(LodBounds& box, bool& any, const Chunk& chunk)
{
    for (int k = 0; k < 3; ++k) {
        box.lo[k] = any ? std::min(box.lo[k], chunk.lo[k]) : chunk.lo[k];
        box.hi[k] = any ? std::max(box.hi[k], chunk.hi[k]) : chunk.hi[k];
    }
    any = true;
}

} // namespace

// --------------------------------------------------- change entry points

void lodGridReplaced()
{
    if (!editor.glContextReady) return;
    rebuildChunks();
}

void lodGridRegionChanged(int x0, int y0, int x1, int y1)
{
    if (!editor.glContextReady) return;
    if (!gridIsCurrent()) {
        rebuildChunks();
        return;
    }
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, lod.gridX - 1);
    y1 = std::min(y1, lod.gridY - 1);
    if (x1 < x0 || y1 < y0) return;
    // Chunk k holds columns 64k .. 64k + 64: a column on a chunk border
    // belongs to the chunks on both sides.
    const int cx0 = x0 == 0 ? 0 : (x0 - 1) / kLodChunkCells, cy0 = y0 == 0 ? 0 : (y0 - 1) / kLodChunkCells;
    const int cx1 = std::min(x1 / kLodChunkCells, lod.chunksX - 1);
    const int cy1 = std::min(y1 / kLodChunkCells, lod.chunksY - 1);
    measureChunks(cx0, cy0, cx1, cy1);
    ++lod.surfaceVersion;
}

// -------------------------------------------------------- per frame

bool terrainUsesLod()
{
    const Terrain& t = terrain();
    return t.gridX > kLodFullDetailMaxSide || t.gridY > kLodFullDetailMaxSide;
}

void chooseLodLevels(const double modelview[16], const double projection[16], int viewportHeight, float pixelError)
{
    if (!gridIsCurrent()) rebuildChunks();
    if (lod.chunks.empty()) return;
    double eye[3], clip[16];
    eyeOf(modelview, eye);
    const double scale = pixelsPerUnitAtOne(projection, viewportHeight);
    multiplyMatrices(projection, modelview, clip);
    const Frustum view = frustumOf(clip);
    for (Chunk& chunk : lod.chunks) {
        chunk.inView = !boxOutside(view, chunk.lo, chunk.hi);
        chunk.distance = distanceToBox(eye, chunk.lo, chunk.hi);
        chunk.level[kCameraLevels] = coarsestLevel(chunk, scale, pixelError, chunk.distance);
    }
    limitLevelSteps();
    while (refineTooCoarseStrips(scale, pixelError)) limitLevelSteps();
    for (Chunk& chunk : lod.chunks) chunk.level[kLightLevels] = chunk.level[kCameraLevels];
    lod.drawn = kCameraLevels;
}

void chooseLodLightLevels(const double modelview[16], const double projection[16], int mapSize)
{
    if (!gridIsCurrent()) return;
    double light[3];
    eyeOf(modelview, light);
    // Texels per unit at distance 1 along the map's wider axis. Seen from a
    // low light the terrain is a thin slab and the other axis magnifies
    // heights many times; a caster's height error shows as its shadow moved
    // along the ground, where the wider axis's texels are what the map
    // resolves.
    const double scale = std::min(std::fabs(projection[0]), std::fabs(projection[5])) * 0.5 * mapSize;
    // A chunk the camera sees keeps the camera's level (edgeLevels keeps its
    // edges too), so that the seen surface is the same in both views: its
    // shadow on itself depends on it. The others only cast shadows; their
    // exact shape moves a shadow by less than a texel at the light's level,
    // and their edges stitch to neighbours of any level.
    for (Chunk& chunk : lod.chunks) {
        if (chunk.inView) continue;
        const float distance = distanceToBox(light, chunk.lo, chunk.hi);
        chunk.level[kLightLevels] = std::max(chunk.level[kCameraLevels], coarsestLevel(chunk, scale, 1.0f, distance));
    }
}

void useLodLightLevels(bool light) { lod.drawn = light ? kLightLevels : kCameraLevels; }

void multiplyMatrices(const double a[16], const double b[16], double out[16])
{
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[4 * k + row] * b[4 * col + k];
            out[4 * col + row] = sum;
        }
}

const std::vector<uint32_t>& lodTrianglesInView(const double clip[16])
{
    lod.list.clear();
    lod.listCount = {};
    if (!gridIsCurrent()) return lod.list;
    const Frustum view = frustumOf(clip);
    for (int cy = 0; cy < lod.chunksY; ++cy) {
        for (int cx = 0; cx < lod.chunksX; ++cx) {
            const Chunk& chunk = chunkAt(cx, cy);
            if (boxOutside(view, chunk.lo, chunk.hi)) continue;
            const std::vector<uint32_t>& relative =
                templateFor(chunk, chunk.level[lod.drawn], edgeLevels(cx, cy, lod.drawn));
            const uint32_t base = uint32_t(chunk.r0) * uint32_t(lod.gridX) + uint32_t(chunk.c0);
            const size_t at = lod.list.size();
            lod.list.resize(at + relative.size());
            uint32_t* out = lod.list.data() + at;
            for (uint32_t index : relative) *out++ = base + index;
            ++lod.listCount.chunks;
        }
    }
    lod.listCount.triangles = int64_t(lod.list.size() / 3);
    return lod.list;
}

const std::vector<uint32_t>& lodLastList() { return lod.list; }

bool lodTerrainBounds(LodBounds& out)
{
    if (!gridIsCurrent()) rebuildChunks();
    bool any = false;
    for (const Chunk& chunk : lod.chunks) unionBox(out, any, chunk);
    return any;
}

bool lodBoundsInView(LodBounds& out)
{
    if (!gridIsCurrent()) return false;
    bool any = false;
    for (const Chunk& chunk : lod.chunks)
        if (chunk.inView) unionBox(out, any, chunk);
    return any;
}

// ------------------------------------------------------------- inspection

LodListCount lodLastListCount() { return lod.listCount; }
int lodChunksX() { return lod.chunksX; }
int lodChunksY() { return lod.chunksY; }

int lodChunkLevel(int cx, int cy)
{
    if (cx < 0 || cy < 0 || cx >= lod.chunksX || cy >= lod.chunksY) return -1;
    return chunkAt(cx, cy).level[kCameraLevels];
}

float lodChunkError(int cx, int cy, int level)
{
    if (cx < 0 || cy < 0 || cx >= lod.chunksX || cy >= lod.chunksY || level < 0 || level >= kLodLevels) return 0.0f;
    return chunkAt(cx, cy).error[level];
}

int64_t lodChunksMeasured() { return lod.measured; }

uint64_t lodSurfaceVersion() { return lod.surfaceVersion; }
