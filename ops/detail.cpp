#include "ops/detail.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "terrain/large_array.h"
#include "terrain/parallel.h"
#include "terrain/progress.h"
#include "terrain/terrain_events.h"
#include "terrain/terrain.h"

// "<command> refused: the grid would be W x H vertices (at most / at least N per side)".
static std::string sizeRefusal(const char* command, int sizeX, int sizeY, const char* bound, int side)
{
    return std::string(command) + " refused: the grid would be " + std::to_string(sizeX) + " x " +
           std::to_string(sizeY) + " vertices (" + bound + " " + std::to_string(side) + " per side)";
}

static std::string noTerrain(const char* command) { return std::string(command) + " refused: there is no terrain"; }

std::string increaseDetailRefusal()
{
    if (!hasVertexGrid())
        return noTerrain("Increase Detail");
    const Terrain& t = editor.terrain;
    const int newW = 2 * t.gridX - 1, newH = 2 * t.gridY - 1;
    if (newW > kMaxGridSide || newH > kMaxGridSide)
        return sizeRefusal("Increase Detail", newW, newH, "at most", kMaxGridSide);
    return {};
}

std::string decreaseDetailRefusal()
{
    if (!hasVertexGrid())
        return noTerrain("Decrease Detail");
    const Terrain& t = editor.terrain;
    const int newW = (t.gridX + 1) / 2, newH = (t.gridY + 1) / 2;
    if (newW < kMinDecreasedSide || newH < kMinDecreasedSide)
        return sizeRefusal("Decrease Detail", newW, newH, "at least", kMinDecreasedSide);
    return {};
}

std::string resizeGridRefusal(bool yAxis, int step)
{
    const char* command = step < 0 ? "Grid shrink" : "Grid growth";
    if (!hasVertexGrid())
        return noTerrain(command);
    const Terrain& t = editor.terrain;
    const int64_t side = int64_t(yAxis ? t.gridY : t.gridX) + step;
    const int newW = yAxis ? t.gridX : int(std::clamp<int64_t>(side, INT32_MIN, INT32_MAX));
    const int newH = yAxis ? int(std::clamp<int64_t>(side, INT32_MIN, INT32_MAX)) : t.gridY;
    if (side < kMinGridSide)
        return sizeRefusal(command, newW, newH, "at least", kMinGridSide);
    if (side > kMaxGridSide)
        return sizeRefusal(command, newW, newH, "at most", kMaxGridSide);
    return {};
}

// Which way each new vertex of Increase Detail moves, as the one rand() draw
// per new vertex decides (even: down), drawn up front in the order the
// subdivision meets them so that the vertices themselves can be placed on
// several threads. One bit per draw.
class MidpointDraws {
public:
    explicit MidpointDraws(size_t count) : bits_((count + 63) / 64, 0) {}
    void drawAll(size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            if (std::rand() % 2 == 0)
                bits_[i / 64] |= uint64_t(1) << (i % 64);
        reportProgress(1.0f);
    }
    bool down(size_t i) const { return (bits_[i / 64] >> (i % 64)) & 1; }

private:
    std::vector<uint64_t> bits_;
};

// The vertex between a and b: mean position, and unless plain midpoints are
// asked for, moved by |dz| / 5 down or up as draw `draw` says.
static void placeMidpoint(const TerrainVertex& a, const TerrainVertex& b, bool plain,
                          const MidpointDraws& draws, size_t draw, TerrainVertex& out)
{
    out = a;
    out.position[0] = (a.position[0] + b.position[0]) * 0.5f;
    out.position[1] = (a.position[1] + b.position[1]) * 0.5f;
    out.position[2] = (a.position[2] + b.position[2]) * 0.5f;
    if (plain)
        return;
    float offset = std::fabs(a.position[2] - b.position[2]) / 5.0f;
    if (draws.down(draw))
        out.position[2] -= offset;
    else
        out.position[2] += offset;
}

// The share of a plan's progress that building the new grid takes; the rest
// is its normals.
constexpr float kBuildShare = 0.4f;

// Normals (all of them, or none when the caller did its edge) and texture
// coordinates of the planned grid: the last part of every plan.
static void finishGrid(GridChange& change, bool allNormals)
{
    ProgressSpan span(kBuildShare, 1.0f);
    if (allNormals) {
        ProgressSpan normals(0.0f, 0.8f);
        refreshVertices(change.vertices.data(), change.gridX, change.gridY);
    }
    {
        ProgressSpan coordinates(0.8f, 0.9f);
        computeTextureCoords(change.vertices, change.gridX, change.gridY, change.blockWidth);
    }
    reportProgress(1.0f);
}

// Both subdivisions write straight into the final array: the column pass
// fills the even rows (old row r becomes row 2r), the row pass then fills
// the odd rows from the even ones. The draws keep their order (all new
// columns first, row by row, then all new rows) and no intermediate grid is
// needed.
void planIncreaseDetail(GridChange& change)
{
    const Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    const int newW = 2 * W - 1, newH = 2 * H - 1;
    const bool plain = (editor.modState & kModCtrl) != 0;

    std::vector<TerrainVertex>& result = change.vertices;
    resizeLarge(result, static_cast<size_t>(newW) * newH);
    const size_t columnDraws = static_cast<size_t>(W - 1) * H;
    const size_t rowDraws = static_cast<size_t>(newW) * (H - 1);
    MidpointDraws draws(plain ? 0 : columnDraws + rowDraws);
    const TerrainVertex* source = t.vertices.data();
    TerrainVertex* grid = result.data();
    {
        ProgressSpan drawing(0.0f, kBuildShare * 0.3f);
        if (!plain)
            draws.drawAll(columnDraws + rowDraws);
    }
    {
        ProgressSpan columns(kBuildShare * 0.3f, kBuildShare * 0.65f);
        parallelRows(H, newW, [&](int first, int end) {
            for (int r = first; r < end; ++r) {
                const TerrainVertex* src = source + static_cast<size_t>(r) * W;
                TerrainVertex* dst = grid + static_cast<size_t>(2 * r) * newW;
                const size_t draw = static_cast<size_t>(r) * (W - 1);
                for (int d = 0; d < newW; ++d) {
                    if (d % 2 == 0)
                        dst[d] = src[d / 2];
                    else
                        placeMidpoint(src[d / 2], src[d / 2 + 1], plain, draws, draw + d / 2, dst[d]);
                }
            }
        });
    }
    {
        ProgressSpan rows(kBuildShare * 0.65f, kBuildShare);
        parallelRows(H - 1, newW, [&](int first, int end) {
            for (int k = first; k < end; ++k) {
                const int i = 2 * k + 1;
                const TerrainVertex* above = grid + static_cast<size_t>(i - 1) * newW;
                const TerrainVertex* below = grid + static_cast<size_t>(i + 1) * newW;
                TerrainVertex* dst = grid + static_cast<size_t>(i) * newW;
                const size_t draw = columnDraws + static_cast<size_t>(k) * newW;
                for (int c = 0; c < newW; ++c)
                    placeMidpoint(above[c], below[c], plain, draws, draw + c, dst[c]);
            }
        });
    }
    change.gridX = newW;
    change.gridY = newH;
    change.blockWidth = t.blockWidth * 0.5f;
    finishGrid(change, true);
}

void planDecreaseDetail(GridChange& change)
{
    const Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    const int newW = (W + 1) / 2, newH = (H + 1) / 2;

    std::vector<TerrainVertex>& result = change.vertices;
    resizeLarge(result, static_cast<size_t>(newW) * newH);
    const TerrainVertex* source = t.vertices.data();
    TerrainVertex* grid = result.data();
    {
        ProgressSpan building(0.0f, kBuildShare);
        parallelRows(newH, newW, [&](int first, int end) {
            for (int i = first; i < end; ++i) {
                const int rLo = std::max(2 * i - 1, 0), rHi = std::min(2 * i + 1, H - 1);
                for (int j = 0; j < newW; ++j) {
                    const int cLo = std::max(2 * j - 1, 0), cHi = std::min(2 * j + 1, W - 1);
                    float sum = 0.0f;
                    for (int r = rLo; r <= rHi; ++r)
                        for (int c = cLo; c <= cHi; ++c)
                            sum += source[c + static_cast<size_t>(r) * W].position[2];
                    TerrainVertex& out = grid[j + static_cast<size_t>(i) * newW];
                    out = source[2 * j + static_cast<size_t>(2 * i) * W];
                    out.position[2] = sum / static_cast<float>((rHi - rLo + 1) * (cHi - cLo + 1));
                }
            }
        });
    }
    change.gridX = newW;
    change.gridY = newH;
    change.blockWidth = t.blockWidth * 2.0f;
    finishGrid(change, true);
}

void installGridChange(GridChange& change)
{
    Terrain& t = editor.terrain;
    t.vertices.swap(change.vertices);
    t.gridX = change.gridX;
    t.gridY = change.gridY;
    t.blockWidth = change.blockWidth;
    // The old arrays go back at once: at the largest sizes they are the
    // better part of a gigabyte.
    std::vector<TerrainVertex>().swap(change.vertices);
    reportGridReplaced();
    if (!change.distribution.empty()) {
        t.distribution.swap(change.distribution);
        std::vector<float>().swap(change.distribution);
        reportMapReplaced();
    }
}

void increaseDetail()
{
    if (refused(increaseDetailRefusal()))
        return;
    GridChange change;
    planIncreaseDetail(change);
    installGridChange(change);
}

// Source index along one map axis for every destination index, so that the
// old content covers the first oldCount / newCount of the axis after a
// growth (and is stretched after a shrink). Beyond the map, the last texel.
static std::vector<int> resampleSources(int length, float ratio)
{
    std::vector<int> source(length);
    for (int j = 0; j < length; ++j) {
        int e = static_cast<int>(static_cast<float>(j) / ratio + 0.5);
        source[j] = (e >= 0 && e < length) ? e : length - 1;
    }
    return source;
}

// Stretches or squeezes the map along one axis so that it keeps covering the
// same terrain after a grid size change by `ratio` = old / new side.
static std::vector<float> resampledMap(bool yAxis, float ratio)
{
    const Terrain& t = editor.terrain;
    if (!hasDistributionMap())
        return {};
    const int DW = t.distributionWidth, DH = t.distributionHeight;
    const std::vector<int> source = resampleSources(yAxis ? DH : DW, ratio);
    const size_t rowFloats = static_cast<size_t>(DW) * 3;
    std::vector<float> map(t.distribution.size());
    parallelRows(DH, DW, [&](int first, int end) {
        for (int i = first; i < end; ++i) {
            const float* src = &t.distribution[static_cast<size_t>(yAxis ? source[i] : i) * rowFloats];
            float* dst = &map[static_cast<size_t>(i) * rowFloats];
            if (yAxis) {
                std::copy(src, src + rowFloats, dst);
                continue;
            }
            for (int j = 0; j < DW; ++j)
                std::copy_n(src + static_cast<size_t>(source[j]) * 3, 3, dst + static_cast<size_t>(j) * 3);
        }
    });
    return map;
}

// New vertex (c, r) of a grid grown or shrunk to newW x newH: a copy of old
// (c, r) where that exists, else of the old last column (or row) at
// (c * bw, r * bw), so the edge extends flat.
static void resizedRows(const Terrain& t, int newW, TerrainVertex* grid, int first, int end)
{
    const int W = t.gridX, H = t.gridY;
    const float bw = t.blockWidth;
    for (int r = first; r < end; ++r) {
        const TerrainVertex* src = &t.vertices[static_cast<size_t>(std::min(r, H - 1)) * W];
        TerrainVertex* dst = grid + static_cast<size_t>(r) * newW;
        for (int c = 0; c < newW; ++c) {
            if (r < H && c < W) {
                dst[c] = src[c];
                continue;
            }
            dst[c] = src[std::min(c, W - 1)];
            dst[c].position[0] = static_cast<float>(c) * bw;
            dst[c].position[1] = static_cast<float>(r) * bw;
        }
    }
}

// Builds the resized grid; normals are recomputed where the edge moved: the
// old edge column (or row) and the new ones on growth, and the new edge on
// a shrink, whose normals still lean on the removed neighbours. Then the
// map, resampled so that it keeps covering the same terrain.
void planResizeGrid(bool yAxis, int step, GridChange& change)
{
    const Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    const int newW = yAxis ? W : W + step, newH = yAxis ? H + step : H;
    std::vector<TerrainVertex>& result = change.vertices;
    resizeLarge(result, static_cast<size_t>(newW) * newH);
    TerrainVertex* grid = result.data();
    const int firstColumn = yAxis ? 0 : std::min(W, newW) - 1;
    const int firstRow = yAxis ? std::min(H, newH) - 1 : 0;
    {
        ProgressSpan building(0.0f, 0.7f * kBuildShare);
        parallelRows(newH, newW, [&](int first, int end) { resizedRows(t, newW, grid, first, end); });
    }
    {
        // Only once every row is in place: a normal reads the rows beside its own.
        ProgressSpan normals(0.7f * kBuildShare, kBuildShare);
        parallelRows(newH - firstRow, newW - firstColumn, [&](int first, int end) {
            for (int r = firstRow + first; r < firstRow + end; ++r)
                for (int c = firstColumn; c < newW; ++c)
                    computeVertexNormal(grid, c, r, newW, newH);
        });
    }
    change.gridX = newW;
    change.gridY = newH;
    change.blockWidth = t.blockWidth;
    finishGrid(change, false);
    const float ratio = yAxis ? static_cast<float>(H) / static_cast<float>(newH)
                              : static_cast<float>(W) / static_cast<float>(newW);
    change.distribution = resampledMap(yAxis, ratio);
}
