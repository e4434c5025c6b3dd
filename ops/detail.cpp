#include "ops/detail.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "terrain/terrain_events.h"
#include "terrain/terrain.h"

static bool hasGrid()
{
    const Terrain& t = editor.terrain;
    return t.gridX > 0 && t.gridY > 0 &&
           t.vertices.size() == static_cast<size_t>(t.gridX) * t.gridY;
}

// "<command> refused: the grid would be W x H vertices (at most / at least N per side)".
static std::string sizeRefusal(const char* command, int sizeX, int sizeY, const char* bound, int side)
{
    return std::string(command) + " refused: the grid would be " + std::to_string(sizeX) + " x " +
           std::to_string(sizeY) + " vertices (" + bound + " " + std::to_string(side) + " per side)";
}

static std::string noTerrain(const char* command) { return std::string(command) + " refused: there is no terrain"; }

std::string increaseDetailRefusal()
{
    if (!hasGrid())
        return noTerrain("Increase Detail");
    const Terrain& t = editor.terrain;
    const int newW = 2 * t.gridX - 1, newH = 2 * t.gridY - 1;
    if (newW > kMaxGridSide || newH > kMaxGridSide)
        return sizeRefusal("Increase Detail", newW, newH, "at most", kMaxGridSide);
    return {};
}

std::string decreaseDetailRefusal()
{
    if (!hasGrid())
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
    if (!hasGrid())
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

// The vertex between a and b: mean position, and unless plain midpoints are
// asked for, one rand() draw moving it by |dz| / 5 down (even) or up (odd).
static void placeMidpoint(const TerrainVertex& a, const TerrainVertex& b, bool plain,
                          TerrainVertex& out)
{
    out = a;
    out.position[0] = (a.position[0] + b.position[0]) * 0.5f;
    out.position[1] = (a.position[1] + b.position[1]) * 0.5f;
    out.position[2] = (a.position[2] + b.position[2]) * 0.5f;
    if (plain)
        return;
    float offset = std::fabs(a.position[2] - b.position[2]) / 5.0f;
    if (std::rand() % 2 == 0)
        out.position[2] -= offset;
    else
        out.position[2] += offset;
}

// Both subdivisions write straight into the final array: the column pass
// fills the even rows (old row r becomes row 2r), the row pass then fills
// the odd rows from the even ones. The random draws keep their order (all
// new columns first, then all new rows) and no intermediate grid is needed.
void increaseDetail()
{
    if (refused(increaseDetailRefusal()))
        return;
    Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    const int newW = 2 * W - 1, newH = 2 * H - 1;
    const bool plain = (editor.modState & kModCtrl) != 0;

    std::vector<TerrainVertex> result(static_cast<size_t>(newW) * newH);
    for (int r = 0; r < H; ++r) {
        const TerrainVertex* src = &t.vertices[static_cast<size_t>(r) * W];
        TerrainVertex* dst = &result[static_cast<size_t>(2 * r) * newW];
        for (int d = 0; d < newW; ++d) {
            if (d % 2 == 0)
                dst[d] = src[d / 2];
            else
                placeMidpoint(src[d / 2], src[d / 2 + 1], plain, dst[d]);
        }
    }
    for (int i = 1; i < newH; i += 2) {
        const TerrainVertex* above = &result[static_cast<size_t>(i - 1) * newW];
        const TerrainVertex* below = &result[static_cast<size_t>(i + 1) * newW];
        TerrainVertex* dst = &result[static_cast<size_t>(i) * newW];
        for (int c = 0; c < newW; ++c)
            placeMidpoint(above[c], below[c], plain, dst[c]);
    }

    t.vertices.swap(result);
    t.gridX = newW;
    t.gridY = newH;
    t.blockWidth *= 0.5f;
    refreshAllVertices();
    computeTextureCoords(newW, newH);
    buildIndices();
    reportGridReplaced();
}

void decreaseDetail()
{
    if (refused(decreaseDetailRefusal()))
        return;
    Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    const int newW = (W + 1) / 2, newH = (H + 1) / 2;

    std::vector<TerrainVertex> result(static_cast<size_t>(newW) * newH);
    for (int i = 0; i < newH; ++i) {
        const int rLo = std::max(2 * i - 1, 0), rHi = std::min(2 * i + 1, H - 1);
        for (int j = 0; j < newW; ++j) {
            const int cLo = std::max(2 * j - 1, 0), cHi = std::min(2 * j + 1, W - 1);
            float sum = 0.0f;
            for (int r = rLo; r <= rHi; ++r)
                for (int c = cLo; c <= cHi; ++c)
                    sum += t.vertices[c + static_cast<size_t>(r) * W].position[2];
            TerrainVertex& out = result[j + static_cast<size_t>(i) * newW];
            out = t.vertices[2 * j + static_cast<size_t>(2 * i) * W];
            out.position[2] = sum / static_cast<float>((rHi - rLo + 1) * (cHi - cLo + 1));
        }
    }

    t.vertices.swap(result);
    t.gridX = newW;
    t.gridY = newH;
    t.blockWidth *= 2.0f;
    refreshAllVertices();
    computeTextureCoords(newW, newH);
    buildIndices();
    reportGridReplaced();
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

static bool hasDistributionMap()
{
    const Terrain& t = editor.terrain;
    return t.distributionWidth > 0 && t.distributionHeight > 0 &&
           t.distribution.size() ==
               static_cast<size_t>(t.distributionWidth) * t.distributionHeight * 3;
}

// Stretches or squeezes the map along one axis so that it keeps covering the
// same terrain after a grid size change by `ratio` = old / new side.
static void resampleMap(bool yAxis, float ratio)
{
    Terrain& t = editor.terrain;
    if (!hasDistributionMap())
        return;
    const int DW = t.distributionWidth, DH = t.distributionHeight;
    const std::vector<int> source = resampleSources(yAxis ? DH : DW, ratio);
    const size_t rowFloats = static_cast<size_t>(DW) * 3;
    std::vector<float> map(t.distribution.size());
    for (int i = 0; i < DH; ++i) {
        const float* src = &t.distribution[static_cast<size_t>(yAxis ? source[i] : i) * rowFloats];
        float* dst = &map[static_cast<size_t>(i) * rowFloats];
        if (yAxis) {
            std::copy(src, src + rowFloats, dst);
            continue;
        }
        for (int j = 0; j < DW; ++j)
            std::copy_n(src + static_cast<size_t>(source[j]) * 3, 3, dst + static_cast<size_t>(j) * 3);
    }
    t.distribution.swap(map);
    reportMapReplaced();
}

// Columns (or rows, yAxis) added at the far edge copy the old edge vertex of
// their row (column) with their own x and y, so the edge extends flat.
static void resizeGrid(bool yAxis, int step)
{
    if (refused(resizeGridRefusal(yAxis, step)))
        return;
    Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    const int newW = yAxis ? W : W + step, newH = yAxis ? H + step : H;
    const float ratio = yAxis ? static_cast<float>(H) / static_cast<float>(newH)
                              : static_cast<float>(W) / static_cast<float>(newW);
    const float bw = t.blockWidth;

    std::vector<TerrainVertex> result(static_cast<size_t>(newW) * newH);
    for (int r = 0; r < newH; ++r) {
        const TerrainVertex* src = &t.vertices[static_cast<size_t>(std::min(r, H - 1)) * W];
        TerrainVertex* dst = &result[static_cast<size_t>(r) * newW];
        const int copied = r < H ? std::min(W, newW) : 0;
        std::copy(src, src + copied, dst);
        for (int c = copied; c < newW; ++c) {
            dst[c] = src[std::min(c, W - 1)];
            dst[c].position[0] = static_cast<float>(c) * bw;
            dst[c].position[1] = static_cast<float>(r) * bw;
        }
    }
    // Growth: the old edge line and the new ones. A shrink leaves a new edge
    // line whose normals still lean on the removed neighbours, so it is
    // recomputed too.
    const int firstColumn = yAxis ? 0 : std::min(W, newW) - 1;
    const int firstRow = yAxis ? std::min(H, newH) - 1 : 0;
    for (int r = firstRow; r < newH; ++r)
        for (int c = firstColumn; c < newW; ++c)
            computeVertexNormal(result.data(), c, r, newW, newH);

    t.vertices.swap(result);
    t.gridX = newW;
    t.gridY = newH;
    computeTextureCoords(newW, newH);
    buildIndices();
    reportGridReplaced();
    resampleMap(yAxis, ratio);
}

void resizeGridX(int step) { resizeGrid(false, step); }

void resizeGridY(int step) { resizeGrid(true, step); }
