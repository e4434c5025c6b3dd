#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "ops/random_terrain.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

namespace {

TEST(RandomTerrain, ParametersForTheDefaultTerrainAndItsDetailLevels)
{
    struct Case {
        int side;
        float blockWidth;
        int controlRange, lattice, spacing, amplitude;
        float smoothing;
    };
    const Case cases[] = {
        {65, 32.0f, 537, 7, 9, 44, 193.0f / 225.0f},
        {129, 16.0f, 537, 7, 18, 44, 209.0f / 225.0f},
        {257, 8.0f, 536, 7, 36, 44, 217.0f / 225.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        RandomTerrainParams p = randomTerrainParams(c.side, c.side, c.blockWidth, 512.0f);
        EXPECT_EQ(p.controlRange, c.controlRange);
        EXPECT_EQ(p.latticeX, c.lattice);
        EXPECT_EQ(p.latticeY, c.lattice);
        EXPECT_EQ(p.spacingX, c.spacing);
        EXPECT_EQ(p.spacingY, c.spacing);
        EXPECT_EQ(p.stepAmplitude, c.amplitude);
        EXPECT_FLOAT_EQ(p.smoothing, c.smoothing);
    }
    EXPECT_NEAR(randomTerrainParams(65, 65, 32.0f, 512.0f).maxControlHeight, 537.837f, 0.001f);
}

TEST(RandomTerrain, ExtremeSettingsKeepEveryDivisorAtLeastOne)
{
    // blockWidth 1024 on 65 vertices asks for ~97 control points per side;
    // blockWidth 1 with heightScale 1 gives M just above 1; a blockWidth
    // shrunk by detail increases gives M below 1.
    struct Case {
        int side;
        float blockWidth, heightScale;
    } cases[] = {{65, 1024.0f, 512.0f}, {3, 1.0f, 1.0f}, {3, 0.25f, 1.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blockWidth);
        RandomTerrainParams p = randomTerrainParams(c.side, c.side, c.blockWidth, c.heightScale);
        EXPECT_GE(p.spacingX, 1);
        EXPECT_GE(p.spacingY, 1);
        EXPECT_GE(p.controlRange, 1);
        EXPECT_GE(p.stepAmplitude, 1);

        makeFlatTerrain(c.side, c.side, 0.0f, c.blockWidth);
        editor.terrain.heightScale = c.heightScale;
        srand(5);
        generateRandomTerrain();
        for (const TerrainVertex& v : editor.terrain.vertices)
            ASSERT_TRUE(std::isfinite(v.position[2]));
    }
    EXPECT_EQ(randomTerrainParams(65, 65, 1024.0f, 512.0f).spacingX, 1);
    EXPECT_EQ(randomTerrainParams(3, 3, 1.0f, 1.0f).stepAmplitude, 1);
}

// The landscape computed independently, loop by loop in the documented order
// (columns outside when interpolating down the columns), from the same
// rand() sequence.
std::vector<float> expectedLandscape(std::vector<float> z, int W, int H, float bw, float hs,
                                     unsigned seed)
{
    const float M = float(W * bw / 2.7 * 0.1 + hs * 0.9);
    const int D = int(M);
    const int cx = int(std::pow(float(W * bw / 256.0f), 0.82f) + 1.5);
    const int cy = int(std::pow(float(H * bw / 256.0f), 0.82f) + 1.5);
    const int sx = W / cx, sy = H / cy;
    auto at = [&](int c, int r) -> float& { return z[c + r * W]; };
    srand(seed);
    for (int r = 0; r < H; r += sy)
        for (int c = 0; c < W; c += sx)
            at(c, r) = float(rand() % D);
    for (int r = 0; r < H; r += sy)
        for (int c0 = 0; c0 < W; c0 += sx) {
            int c1 = std::min(c0 + sx, W - 1);
            for (int c = c0; c < std::min(c0 + sx, W); ++c) {
                float t = float(c - c0) / float(sx);
                at(c, r) = at(c0, r) * (1 - t) + t * at(c1, r);
            }
        }
    for (int r0 = 0; r0 < H; r0 += sy)
        for (int c = 0; c < W; ++c) {
            int r1 = std::min(r0 + sy, H - 1);
            for (int r = r0; r < std::min(r0 + sy, H); ++r) {
                float t = float(r - r0) / float(sy);
                at(c, r) = at(c, r0) * (1 - t) + t * at(c, r1);
            }
        }
    const int a = D / 12;
    for (float& h : z) {
        int q = rand() % a;
        int s = rand() % 3 - 1;
        h += float(q * s);
    }
    const float k = float(1.0 - bw / 225.0);
    std::vector<float> out(z.size());
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            float sum = 0;
            int n = 0;
            for (int rr = r - 1; rr <= r + 1; ++rr)
                for (int cc = c - 2; cc <= c + 2; ++cc)
                    if (rr >= 0 && rr < H && cc >= 0 && cc < W) {
                        sum += at(cc, rr);
                        ++n;
                    }
            out[c + r * W] = k * (sum / n) + (1 - k) * at(c, r);
        }
    return out;
}

TEST(RandomTerrain, MatchesAnIndependentComputationOnASmallGrid)
{
    // 14 x 11 vertices 64 apart: lattice spacing 3 both ways, so the last
    // column (13) and row (10) are not control points and their heights from
    // before the command take part in the result.
    const int W = 14, H = 11;
    makeFlatTerrain(W, H, 0.0f, 64.0f);
    std::vector<float> before;
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            heightAt(c, r) = float((c * 37 + r * 101) % 200);
            before.push_back(heightAt(c, r));
        }
    RandomTerrainParams p = randomTerrainParams(W, H, 64.0f, 512.0f);
    ASSERT_EQ(p.spacingX, 3);
    ASSERT_EQ(p.spacingY, 3);

    const std::vector<float> expected = expectedLandscape(before, W, H, 64.0f, 512.0f, 1234);
    srand(1234);
    generateRandomTerrain();
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            SCOPED_TRACE(testing::Message() << c << "," << r);
            EXPECT_NEAR(heightAt(c, r), expected[c + r * W], 1e-3f);
            EXPECT_EQ(editor.terrain.vertices[c + r * W].position[0], c * 64.0f);
            EXPECT_EQ(editor.terrain.vertices[c + r * W].position[1], r * 64.0f);
        }
    EXPECT_EQ(editor.terrain.blockWidth, 64.0f);
    EXPECT_EQ(editor.terrain.heightScale, 512.0f);
    EXPECT_EQ(undoCount(), 1);

    // One undo brings back every height, the last row and column included.
    undo();
    for (int i = 0; i < W * H; ++i)
        ASSERT_EQ(editor.terrain.vertices[i].position[2], before[i]);
}

} // namespace
