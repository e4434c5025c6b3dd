#include "ops/transforms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "terrain/parallel.h"
#include "terrain/progress.h"
#include "terrain/terrain_events.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

// hi starts at 0 and lo at 9999.9: a terrain lying wholly below 0 keeps
// hi = 0, and both commands that use this range rely on it.
static void heightRange(float& lo, float& hi)
{
    lo = 9999.9f;
    hi = 0.0f;
    for (const TerrainVertex& v : editor.terrain.vertices) {
        float z = v.position[2];
        if (z > hi)
            hi = z;
        if (z < lo)
            lo = z;
    }
}

// Below 1 the range is treated as flat: there is nothing to invert or to
// spread over three textures. The range is left in lo and hi for the
// command to use, so that it walks the grid for it only once.
static std::string flatTerrainRefusal(const char* command, float& lo, float& hi)
{
    heightRange(lo, hi);
    if (std::fabs(hi - lo) < 1.0f)
        return std::string(command) + " refused: the terrain is flat (its heights span less than 1)";
    return {};
}

// "<what> change refused: it would be <value> (at least 1)".
static std::string belowOneRefusal(const char* what, float value)
{
    if (value >= 1.0f)
        return {};
    char number[32];
    std::snprintf(number, sizeof number, "%g", double(value));
    return std::string(what) + " change refused: it would be " + number + " (at least 1)";
}

// Why each command cannot go ahead on the current terrain, or "" when it
// can; then lo and hi hold the height range.
static std::string textureByElevationRefusal(float& lo, float& hi)
{
    const Terrain& t = editor.terrain;
    if (!hasVertexGrid())
        return "Texture by Elevation refused: there is no terrain";
    if (!hasDistributionMap())
        return "Texture by Elevation refused: there is no distribution map";
    // Every texel blends the four corners of a grid cell.
    if (t.gridX < 2 || t.gridY < 2)
        return "Texture by Elevation refused: the grid is one vertex wide or high, and the blend needs a "
               "neighbouring vertex in both directions";
    return flatTerrainRefusal("Texture by Elevation", lo, hi);
}

static std::string invertTerrainRefusal(float& lo, float& hi)
{
    if (!hasVertexGrid())
        return "Invert Terrain refused: there is no terrain";
    return flatTerrainRefusal("Invert Terrain", lo, hi);
}

std::string blockWidthRefusal(float delta)
{
    return belowOneRefusal("Block width", editor.terrain.blockWidth + delta);
}

std::string heightScaleRefusal(float delta)
{
    return belowOneRefusal("Height scale", editor.terrain.heightScale + delta);
}

void elevationWeights(float e, float weights[3])
{
    float centred = e - 0.5f;
    weights[0] = std::max(0.0f, 1.0f - 2.0f * e);
    weights[1] = std::max(0.0f, 1.0f - 2.0f * std::fabs(centred));
    weights[2] = std::max(0.0f, 2.0f * centred);
}

float blurWeight(int dx, int dy)
{
    float d = static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    return std::max(0.0f, static_cast<float>(1.0 - d / 3.5));
}

// Texel j of DW lies at vertex coordinate W * j / DW, as the vertices'
// mapCoord places the map; near the far edges the fractions exceed 1 and
// the last cell's heights are extrapolated.
static void writeElevationWeights(float lo, float range)
{
    Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    const int DW = t.distributionWidth, DH = t.distributionHeight;
    const TerrainVertex* v = t.vertices.data();
    float* map = t.distribution.data();
    // Each texel reads only heights: rows of texels split over threads.
    parallelRows(DH, DW, [=](int first, int end) {
        for (int i = first; i < end; ++i) {
            float vCoord = static_cast<float>(i) / static_cast<float>(DH);
            int r0 = std::min(static_cast<int>(static_cast<float>(H - 1) * vCoord), H - 2);
            float fy = static_cast<float>(H) * vCoord - static_cast<float>(r0);
            const TerrainVertex* row0 = v + static_cast<size_t>(r0) * W;
            const TerrainVertex* row1 = row0 + W;
            float* out = map + static_cast<size_t>(i) * DW * 3;
            for (int j = 0; j < DW; ++j) {
                float u = static_cast<float>(j) / static_cast<float>(DW);
                int c0 = std::min(static_cast<int>(static_cast<float>(W - 1) * u), W - 2);
                float fx = static_cast<float>(W) * u - static_cast<float>(c0);
                float z00 = row0[c0].position[2], z10 = row0[c0 + 1].position[2];
                float z01 = row1[c0].position[2], z11 = row1[c0 + 1].position[2];
                float top = fx * z10 + (1.0f - fx) * z00;
                float bottom = fx * z11 + (1.0f - fx) * z01;
                float h = top * (1.0f - fy) + fy * bottom;
                float e = (h - lo) / range;
                elevationWeights(e, out + 3 * j);
            }
        }
    });
}

// One 5 x 5 pass in place: texels are overwritten as they are computed, so
// later texels average over already blurred earlier ones. That order is
// part of the result and must not change.
static void blurMapInPlace()
{
    Terrain& t = editor.terrain;
    const int DW = t.distributionWidth, DH = t.distributionHeight;
    float weight[5][5];
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            weight[dy + 2][dx + 2] = blurWeight(dx, dy);

    float* map = t.distribution.data();
    for (int i = 0; i < DH; ++i) {
        const int rLo = std::max(i - 2, 0), rHi = std::min(i + 2, DH - 1);
        for (int j = 0; j < DW; ++j) {
            const int cLo = std::max(j - 2, 0), cHi = std::min(j + 2, DW - 1);
            float sumW = 0.0f, s0 = 0.0f, s1 = 0.0f, s2 = 0.0f;
            for (int r = rLo; r <= rHi; ++r) {
                const float* wRow = weight[r - i + 2];
                const float* texel = map + (static_cast<size_t>(r) * DW + cLo) * 3;
                for (int c = cLo; c <= cHi; ++c, texel += 3) {
                    float w = wRow[c - j + 2];
                    sumW += w;
                    s0 += w * texel[0];
                    s1 += w * texel[1];
                    s2 += w * texel[2];
                }
            }
            float inverse = static_cast<float>(1.0 / sumW);
            float* out = map + (static_cast<size_t>(i) * DW + j) * 3;
            out[0] = s0 * inverse;
            out[1] = s1 * inverse;
            out[2] = s2 * inverse;
        }
        reportProgress(static_cast<float>(i + 1) / static_cast<float>(DH));
    }
}

bool textureByElevation()
{
    float lo, hi;
    if (refused(textureByElevationRefusal(lo, hi)))
        return false;
    Terrain& t = editor.terrain;
    const float range = hi - lo;

    pushDistributionSnapshot(t.distribution.data(), 0, 0, t.distributionWidth - 1,
                             t.distributionHeight - 1);
    {
        ProgressSpan span(0.0f, 0.3f);
        writeElevationWeights(lo, range);
    }
    ProgressSpan span(0.3f, 1.0f);
    blurMapInPlace();
    reportMapRegion(0, 0, t.distributionWidth - 1, t.distributionHeight - 1);
    return true;
}

// Applies `change` to every vertex on its own: rows split over threads.
template <class Change> static void changeEveryVertex(Change change)
{
    Terrain& t = editor.terrain;
    const size_t W = static_cast<size_t>(std::max(t.gridX, 1));
    TerrainVertex* v = t.vertices.data();
    parallelRows(static_cast<int>(t.vertices.size() / W), static_cast<int>(W), [=](int first, int end) {
        for (size_t i = first * W; i < end * W; ++i)
            change(v[i]);
    });
}

bool invertTerrain()
{
    float lo, hi;
    if (refused(invertTerrainRefusal(lo, hi)))
        return false;

    pushWholeGridSnapshot(kUndoPositions);
    {
        ProgressSpan span(0.0f, 0.1f);
        changeEveryVertex([=](TerrainVertex& v) { v.position[2] = lo + (hi - v.position[2]); });
    }
    ProgressSpan span(0.1f, 1.0f);
    refreshAllVertices();
    reportGridReplaced();
    return true;
}

void changeBlockWidth(float delta)
{
    if (refused(blockWidthRefusal(delta)))
        return;
    Terrain& t = editor.terrain;
    const float old = t.blockWidth;
    {
        ProgressSpan span(0.0f, 0.1f);
        changeEveryVertex([=](TerrainVertex& v) {
            v.position[0] = v.position[0] + delta * v.position[0] / old;
            v.position[1] = v.position[1] + delta * v.position[1] / old;
        });
    }
    ProgressSpan span(0.1f, 1.0f);
    refreshAllVertices();
    t.blockWidth = old + delta;
    reportGridReplaced();
}

void scaleHeights(float delta)
{
    if (refused(heightScaleRefusal(delta)))
        return;
    Terrain& t = editor.terrain;
    const float old = t.heightScale;
    {
        ProgressSpan span(0.0f, 0.1f);
        changeEveryVertex([=](TerrainVertex& v) { v.position[2] = v.position[2] + delta * v.position[2] / old; });
    }
    ProgressSpan span(0.1f, 1.0f);
    refreshAllVertices();
    t.heightScale = old + delta;
    reportGridReplaced();
}
