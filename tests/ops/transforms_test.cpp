#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ops/commands.h"
#include "ops/transforms.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

namespace {

TEST(TextureByElevation, WeightsBeforeTheBlur)
{
    // Heights 0 to 100: e = h / 100.
    struct Case {
        float height, sand, grass, snow;
    } cases[] = {
        {0, 1, 0, 0}, {25, 0.5f, 0.5f, 0}, {50, 0, 1, 0}, {75, 0, 0.5f, 0.5f}, {100, 0, 0, 1},
    };
    for (const Case& c : cases) {
        float w[3];
        elevationWeights((c.height - 0.0f) / 100.0f, w);
        EXPECT_FLOAT_EQ(w[0], c.sand) << c.height;
        EXPECT_FLOAT_EQ(w[1], c.grass) << c.height;
        EXPECT_FLOAT_EQ(w[2], c.snow) << c.height;
    }
}

TEST(TextureByElevation, BlurWeights)
{
    struct Case {
        int dx, dy;
        float w;
    } cases[] = {
        {0, 0, 1.0f},
        {1, 0, 1 - 1 / 3.5f},
        {0, -1, 1 - 1 / 3.5f},
        {-2, 0, 1 - 2 / 3.5f},
        {1, 1, 1 - std::sqrt(2.0f) / 3.5f},
        {2, 2, 1 - std::sqrt(8.0f) / 3.5f},
        {-2, 2, 1 - std::sqrt(8.0f) / 3.5f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(blurWeight(c.dx, c.dy), c.w) << c.dx << "," << c.dy;
}

// The whole map computed independently: bilinear sample, weights, then the
// in-place 5 x 5 blur written out plainly.
std::vector<float> expectedMap(int W, int H, int DW, int DH, float lo, float range)
{
    std::vector<float> map(size_t(DW) * DH * 3);
    for (int i = 0; i < DH; ++i)
        for (int j = 0; j < DW; ++j) {
            float u = float(j) / DW, v = float(i) / DH;
            int c0 = int((W - 1) * u), r0 = int((H - 1) * v);
            float fx = W * u - c0, fy = H * v - r0;
            float top = fx * heightAt(c0 + 1, r0) + (1 - fx) * heightAt(c0, r0);
            float bottom = fx * heightAt(c0 + 1, r0 + 1) + (1 - fx) * heightAt(c0, r0 + 1);
            float h = top * (1 - fy) + fy * bottom;
            float e = (h - lo) / range;
            float* t = &map[(size_t(i) * DW + j) * 3];
            t[0] = std::max(0.0f, 1 - 2 * e);
            t[1] = std::max(0.0f, 1 - 2 * std::fabs(e - 0.5f));
            t[2] = std::max(0.0f, 2 * (e - 0.5f));
        }
    for (int i = 0; i < DH; ++i)
        for (int j = 0; j < DW; ++j) {
            float sw = 0, s[3] = {0, 0, 0};
            for (int r = i - 2; r <= i + 2; ++r)
                for (int c = j - 2; c <= j + 2; ++c) {
                    if (r < 0 || r >= DH || c < 0 || c >= DW)
                        continue;
                    float d = std::sqrt(float((c - j) * (c - j) + (r - i) * (r - i)));
                    float w = 1 - d / 3.5f;
                    sw += w;
                    for (int k = 0; k < 3; ++k)
                        s[k] += w * map[(size_t(r) * DW + c) * 3 + k];
                }
            for (int k = 0; k < 3; ++k)
                map[(size_t(i) * DW + j) * 3 + k] = s[k] * (1 / sw);
        }
    return map;
}

TEST(TextureByElevation, MatchesAnIndependentComputationOnASmallMap)
{
    makeFlatTerrain(5, 4, 0.0f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            heightAt(c, r) = float((c * 31 + r * 17) % 60) + 20.0f;
    Terrain& t = editor.terrain;
    t.distributionWidth = 16;
    t.distributionHeight = 12;
    t.distribution.assign(16 * 12 * 3, 0.3f);
    float lo = 9999.9f, hi = 0;
    for (const TerrainVertex& v : t.vertices) {
        lo = std::min(lo, v.position[2]);
        hi = std::max(hi, v.position[2]);
    }
    const std::vector<float> expected = expectedMap(5, 4, 16, 12, lo, hi - lo);

    textureByElevation();
    ASSERT_EQ(t.distribution.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k)
        ASSERT_NEAR(t.distribution[k], expected[k], 1e-5f) << k;
    ASSERT_EQ(undoCount(), 1);
    EXPECT_EQ(editor.undoStack.undoList.back().kind, kUndoDistribution);

    undo();
    for (float w : t.distribution)
        ASSERT_EQ(w, 0.3f);
}

TEST(TextureByElevation, NarrowRangeChangesAndRecordsNothing)
{
    for (float top : {256.0f, 256.9f}) {
        makeFlatTerrain(9, 9, 256.0f);
        heightAt(4, 4) = top;
        textureByElevation();
        EXPECT_EQ(undoCount(), 0) << top;
        EXPECT_TRUE(std::all_of(editor.terrain.distribution.begin(),
                                editor.terrain.distribution.end(),
                                [](float w) { return w == 0.3f; }));
    }
}

TEST(InvertTerrain, MapsTheRangeOntoItselfUpsideDown)
{
    struct Case {
        const char* what;
        std::vector<float> before, after;
    } cases[] = {
        {"10..200", {10, 200, 60, 100}, {200, 10, 150, 110}},
        // Wholly below 0: the top of the range stays 0.
        {"below zero", {-100, -50, -75, -60}, {0, -50, -25, -40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeFlatTerrain(2, 2, 0.0f);
        for (int i = 0; i < 4; ++i)
            heightAt(i % 2, i / 2) = c.before[i];
        invertTerrain();
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(heightAt(i % 2, i / 2), c.after[i]) << i;
        EXPECT_EQ(undoCount(), 1);
        undo();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(heightAt(i % 2, i / 2), c.before[i]) << i;
    }

    makeFlatTerrain(33, 33, 0.0f);
    for (int r = 0; r < 33; ++r)
        for (int c = 0; c < 33; ++c)
            heightAt(c, r) = 10.0f + float((c * 13 + r * 7) % 191);
    const std::vector<TerrainVertex> start = editor.terrain.vertices;
    invertTerrain();
    invertTerrain();
    for (size_t i = 0; i < start.size(); ++i)
        ASSERT_EQ(editor.terrain.vertices[i].position[2], start[i].position[2]);

    makeFlatTerrain(9, 9, 256.0f);
    heightAt(3, 3) = 256.5f;
    invertTerrain();
    EXPECT_EQ(heightAt(3, 3), 256.5f);
    EXPECT_EQ(undoCount(), 0);
}

TEST(ScaleKeys, BlockWidthAndHeightScaleSteps)
{
    struct Case {
        bool heightKey, increase, shift;
        float value;
    } cases[] = {
        {false, true, false, 64},   // ]
        {false, true, true, 128},   // Shift+]
        {false, false, false, 16},  // [
        {false, false, true, 8},    // Shift+[
        {true, true, false, 768},   // Ctrl+]
        {true, true, true, 1024},   // Ctrl+Shift+]
        {true, false, false, 256},  // Ctrl+[
        {true, false, true, 128},   // Ctrl+Shift+[
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.heightKey << c.increase << c.shift);
        makeFlatTerrain(65, 65, 256.0f);
        if (c.heightKey)
            commandHeightScale(c.increase, c.shift);
        else
            commandBlockWidth(c.increase, c.shift);
        const Terrain& t = editor.terrain;
        const float factor = c.value / (c.heightKey ? 512.0f : 32.0f);
        EXPECT_EQ(c.heightKey ? t.heightScale : t.blockWidth, c.value);
        EXPECT_EQ(c.heightKey ? t.blockWidth : t.heightScale, c.heightKey ? 32.0f : 512.0f);
        const TerrainVertex& v = t.vertices[10 + 20 * 65];
        EXPECT_FLOAT_EQ(v.position[0], c.heightKey ? 320.0f : 320.0f * factor);
        EXPECT_FLOAT_EQ(v.position[1], c.heightKey ? 640.0f : 640.0f * factor);
        EXPECT_FLOAT_EQ(v.position[2], c.heightKey ? 256.0f * factor : 256.0f);
        EXPECT_EQ(undoCount(), 1);
    }
}

TEST(ScaleKeys, RefusedBelowOneButStillRecorded)
{
    makeFlatTerrain(9, 9, 100.0f, 1.5f);
    editor.terrain.heightScale = 1.5f;
    commandBlockWidth(false, false); // 0.75
    commandHeightScale(false, true); // 0.375
    EXPECT_EQ(editor.terrain.blockWidth, 1.5f);
    EXPECT_EQ(editor.terrain.heightScale, 1.5f);
    EXPECT_EQ(heightAt(8, 8), 100.0f);
    EXPECT_EQ(editor.terrain.vertices.back().position[0], 12.0f);
    EXPECT_EQ(undoCount(), 2);
    undo();
    undo();
    EXPECT_EQ(editor.terrain.blockWidth, 1.5f);
    EXPECT_EQ(heightAt(8, 8), 100.0f);

    // The operations themselves take any change that keeps the value >= 1.
    changeBlockWidth(-0.5f);
    scaleHeights(-0.5f);
    EXPECT_EQ(editor.terrain.blockWidth, 1.0f);
    EXPECT_EQ(editor.terrain.heightScale, 1.0f);
    EXPECT_FLOAT_EQ(heightAt(8, 8), 100.0f / 1.5f);
}

} // namespace
