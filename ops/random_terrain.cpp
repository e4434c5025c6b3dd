#include "ops/random_terrain.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "terrain/large_array.h"
#include "terrain/parallel.h"
#include "terrain/progress.h"
#include "terrain/terrain_events.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

// Control points per side: (n * bw / 256)^0.82 + 1.5, truncated. The base and
// the exponent are float32, which decides the count near integer boundaries.
static int latticeCount(int n, float blockWidth)
{
    float base = static_cast<float>(n * blockWidth / 256.0f);
    float p = std::pow(base, 0.82f);
    return static_cast<int>(p + 1.5);
}

RandomTerrainParams randomTerrainParams(int gridX, int gridY, float blockWidth, float heightScale)
{
    RandomTerrainParams params{};
    params.maxControlHeight =
        static_cast<float>(gridX * blockWidth / 2.7 * 0.1 + heightScale * 0.9);
    // A lower bound of 1 keeps rand() % D defined when a detail increase has
    // shrunk blockWidth below 1 on a tiny grid.
    params.controlRange = std::max(1, static_cast<int>(params.maxControlHeight));
    params.latticeX = latticeCount(gridX, blockWidth);
    params.latticeY = latticeCount(gridY, blockWidth);
    // More control points than vertices would give a spacing of 0 and the
    // lattice loops would never advance; one vertex apart is the densest.
    params.spacingX = std::max(1, gridX / std::max(1, params.latticeX));
    params.spacingY = std::max(1, gridY / std::max(1, params.latticeY));
    params.stepAmplitude = std::max(1, params.controlRange / 12);
    params.smoothing = static_cast<float>(1.0 - blockWidth / 225.0);
    return params;
}

static void placeControlHeights(TerrainVertex* v, int W, int H, const RandomTerrainParams& p)
{
    for (int r = 0; r < H; r += p.spacingY)
        for (int c = 0; c < W; c += p.spacingX)
            v[c + r * W].position[2] = static_cast<float>(std::rand() % p.controlRange);
}

// Along each control row, between neighbouring control columns. A last
// column that is not a control column is both the far end of the final
// segment and overwritten by it; it is read before it is written.
static void interpolateControlRows(TerrainVertex* v, int W, int H, int sx, int sy)
{
    for (int r = 0; r < H; r += sy) {
        TerrainVertex* row = v + r * W;
        for (int c0 = 0; c0 < W; c0 += sx) {
            int c1 = std::min(c0 + sx, W - 1);
            int end = std::min(c0 + sx, W);
            for (int c = c0; c < end; ++c) {
                float t = static_cast<float>(c - c0) / static_cast<float>(sx);
                row[c].position[2] = row[c0].position[2] * (1.0f - t) + t * row[c1].position[2];
            }
        }
    }
}

// Down every column, between neighbouring control rows. Rows are the outer
// loop for cache locality; each value depends only on the two ends of its
// segment, which are read before they are overwritten, so the order of
// columns and rows does not change the result.
static void interpolateColumns(TerrainVertex* v, int W, int H, int sy)
{
    for (int r0 = 0; r0 < H; r0 += sy) {
        int r1 = std::min(r0 + sy, H - 1);
        int end = std::min(r0 + sy, H);
        for (int r = r0; r < end; ++r) {
            float t = static_cast<float>(r - r0) / static_cast<float>(sy);
            for (int c = 0; c < W; ++c) {
                float z0 = v[c + r0 * W].position[2];
                float z1 = v[c + r1 * W].position[2];
                v[c + r * W].position[2] = z0 * (1.0f - t) + t * z1;
            }
        }
    }
}

// Two draws per vertex in array order.
static void addRandomSteps(TerrainVertex* v, int W, int H, int amplitude)
{
    for (int r = 0; r < H; ++r) {
        TerrainVertex* row = v + static_cast<size_t>(r) * W;
        for (int c = 0; c < W; ++c) {
            int q = std::rand() % amplitude;
            int s = std::rand() % 3 - 1;
            row[c].position[2] += static_cast<float>(q * s);
        }
        reportProgress(static_cast<float>(r + 1) / static_cast<float>(H));
    }
}

// Every output reads unsmoothed neighbours: the heights before the pass are
// kept aside and only they are read, so rows split over threads.
static void smoothHeights(const std::vector<float>& unsmoothed, TerrainVertex* v, int W, int H, float k)
{
    const float* z = unsmoothed.data();
    parallelRows(H, W, [=](int first, int end) {
        for (int r = first; r < end; ++r) {
            int rLo = std::max(r - 1, 0), rHi = std::min(r + 1, H - 1);
            for (int c = 0; c < W; ++c) {
                int cLo = std::max(c - 2, 0), cHi = std::min(c + 2, W - 1);
                float sum = 0.0f;
                for (int rr = rLo; rr <= rHi; ++rr) {
                    const float* row = z + static_cast<size_t>(rr) * W;
                    for (int cc = cLo; cc <= cHi; ++cc)
                        sum += row[cc];
                }
                float mean = sum / static_cast<float>((rHi - rLo + 1) * (cHi - cLo + 1));
                const size_t i = c + static_cast<size_t>(r) * W;
                v[i].position[2] = k * mean + (1.0f - k) * z[i];
            }
        }
    });
}

void generateRandomTerrain()
{
    Terrain& t = editor.terrain;
    const int W = t.gridX, H = t.gridY;
    if (!hasVertexGrid())
        return;

    const RandomTerrainParams p = randomTerrainParams(W, H, t.blockWidth, t.heightScale);
    // The heights the smoothing pass reads (a float a vertex, not a second grid).
    std::vector<float> unsmoothed;
    resizeLarge(unsmoothed, t.vertices.size());
    pushWholeGridSnapshot(kUndoPositions);

    TerrainVertex* v = t.vertices.data();
    {
        ProgressSpan span(0.0f, 0.35f);
        placeControlHeights(v, W, H, p);
        interpolateControlRows(v, W, H, p.spacingX, p.spacingY);
        interpolateColumns(v, W, H, p.spacingY);
        addRandomSteps(v, W, H, p.stepAmplitude);
    }
    {
        ProgressSpan span(0.35f, 0.55f);
        for (size_t i = 0; i < unsmoothed.size(); ++i)
            unsmoothed[i] = v[i].position[2];
        smoothHeights(unsmoothed, v, W, H, p.smoothing);
    }

    ProgressSpan span(0.55f, 1.0f);
    refreshAllVertices();
    reportGridReplaced();
}
