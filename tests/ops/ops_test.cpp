// Whole-terrain operations: random generation, erosion, transforms, detail
// and dimension changes, and the commands that record their undo entries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ops/commands.h"
#include "ops/detail.h"
#include "ops/erosion.h"
#include "ops/random_terrain.h"
#include "ops/transforms.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

float& z(size_t i) { return editor.terrain.vertices[i].position[2]; }

// Marks every map texel with its own column and row, so that a resample
// reads back as source coordinates.
void labelMap()
{
    Terrain& t = editor.terrain;
    for (size_t k = 0; k < t.distribution.size(); k += 3) {
        t.distribution[k] = float(k / 3 % size_t(t.distributionWidth));
        t.distribution[k + 1] = float(k / 3 / size_t(t.distributionWidth));
    }
}

const float* texelAt(int j, int i)
{
    return &editor.terrain.distribution[(size_t(i) * editor.terrain.distributionWidth + j) * 3];
}

TEST(RandomTerrain, ParametersForTheDefaultTerrainItsDetailLevelsAndAHugeBlockWidth)
{
    struct Case { int side; float blockWidth; int range, lattice, spacing, amplitude; float k; } cases[] = {
        {65, 32.0f, 537, 7, 9, 44, 193.0f / 225.0f},
        {129, 16.0f, 537, 7, 18, 44, 209.0f / 225.0f},
        {257, 8.0f, 536, 7, 36, 44, 217.0f / 225.0f},
        // 97 control points on 65 vertices: the spacing must not come out 0.
        {65, 1024.0f, 2925, 97, 1, 243, 1.0f - 1024.0f / 225.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blockWidth);
        const RandomTerrainParams p = randomTerrainParams(c.side, c.side, c.blockWidth, 512.0f);
        EXPECT_EQ(p.controlRange, c.range);
        EXPECT_EQ(p.latticeY, c.lattice);
        EXPECT_EQ(p.spacingX, c.spacing);
        EXPECT_EQ(p.stepAmplitude, c.amplitude);
        EXPECT_FLOAT_EQ(p.smoothing, c.k);
    }
    EXPECT_NEAR(randomTerrainParams(65, 65, 32.0f, 512.0f).maxControlHeight, 537.837f, 0.001f);
    makeFlatTerrain(65, 65, 0.0f, 1024.0f);
    generateRandomTerrain(); // must finish
}

TEST(RandomTerrain, HandCheckedOnATinyGrid)
{
    // 5 x 2 at 100, blockWidth 1, heightScale 1: D = 1 and a = 1, so the only
    // control point (0, 0) gets 0 and every step is 0. Row 0 runs from 0 to
    // the old 100 of column 4: 0 20 40 60 80; row 1 is halfway to its old
    // 100: 50 60 70 80 90. Then k = 224/225 over the 5 x 3 window.
    srand(5);
    for (int i = 0; i < 1 + 2 * 10; ++i) // one control height, two draws per vertex
        rand();
    const int next = rand();
    makeFlatTerrain(5, 2, 100.0f, 1.0f);
    editor.terrain.heightScale = 1.0f;
    srand(5);
    generateRandomTerrain();
    EXPECT_EQ(rand(), next);
    EXPECT_NEAR(heightAt(0, 0), 40.0f - 40.0f / 225, 1e-3f); // mean 40 of 6, z 0
    EXPECT_NEAR(heightAt(2, 0), 55.0f - 15.0f / 225, 1e-3f); // mean 55 of 10, z 40
    EXPECT_NEAR(heightAt(4, 1), 70.0f + 20.0f / 225, 1e-3f); // mean 70 of 6, z 90
}

TEST(Erosion, HandTracedDroplets)
{
    // A row 25 long: 10000, then a slope 100 - 4c that only the first vertex
    // tops (T = 1003.6). Its droplet runs 20 steps, the last taking
    // 1.25 x 0.05: at vertex 19 its age reaches 1 and it drops everything it
    // took, 1.25 x (20 - 0.05 x 190) = 13.125. The slope is 4 a step, more
    // than any one removal, so it never stops earlier; vertices 20 on stay.
    std::vector<float> slope(25), eroded(25);
    for (int c = 0; c < 25; ++c) {
        slope[c] = c == 0 ? 10000.0f : 100.0f - 4.0f * c;
        eroded[c] = c < 20 ? slope[c] - 1.25f * (1 - 0.05f * c) : slope[c];
    }
    eroded[19] += 13.125f;
    struct Case { const char* what; std::vector<float> before, after; int width = 3; } cases[] = {
        // Every vertex starts a droplet; each puts its 1.25 straight back.
        {"flat", std::vector<float>(9, 256.0f), std::vector<float>(9, 256.0f)},
        // 10 runs to 0 and stops (5 is higher), dropping 1.25 + 1.1875 there;
        // then 2.5 starts a droplet that stops at once; then 5 runs down too.
        {"valley", {10, 0, 5}, {8.75f, 2.5f, 3.75f}},
        // Only the peak reaches T = 10; it runs to (0, 0), whose other
        // neighbours (5, 8) are higher than 0 - 1.1875.
        {"centre peak", {0, 5, 9, 8, 100, 9, 9, 9, 9}, {1.25f, 5, 9, 8, 98.75f, 9, 9, 9, 9}},
        // Above 99999 lo stays 99999 (T = 109999.1), so 109999.5 starts a
        // droplet; below -9999 hi stays -9999 and T is above every height.
        {"above 99999", {200000, 100000, 109999.5f}, {199998.75f, 100002.5f, 109998.25f}},
        {"below -9999", {-19000, -20000, -19500}, {-19000, -20000, -19500}},
        {"age and capacity", slope, eroded, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeFlatTerrain(c.width, int(c.before.size()) / c.width, 0.0f);
        for (size_t i = 0; i < c.before.size(); ++i)
            z(i) = c.before[i];
        erodeTerrain();
        for (size_t i = 0; i < c.after.size(); ++i)
            EXPECT_NEAR(z(i), c.after[i], 1e-3f) << i;
    }
}

TEST(Erosion, ConservesTheHeightSumOnARelief)
{
    makeFlatTerrain(65, 65, 256.0f);
    srand(42);
    generateRandomTerrain();
    const std::vector<TerrainVertex> before = editor.terrain.vertices;
    erodeTerrain();
    double added = 0;
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        added += double(z(i)) - before[i].position[2];
        changed += z(i) != before[i].position[2];
    }
    EXPECT_GT(changed, 100);
    EXPECT_NEAR(added, 0.0, 1e-6 * 65 * 65 * 537);
}

TEST(TextureByElevation, WeightsBlurAndATinyMap)
{
    const float weights[][4] = {{0, 1, 0, 0}, {25, 0.5f, 0.5f, 0}, {50, 0, 1, 0}, {100, 0, 0, 1}};
    for (const float* c : weights) {
        float w[3];
        elevationWeights(c[0] / 100.0f, w); // on a terrain from 0 to 100
        EXPECT_EQ(std::vector<float>(w, w + 3), std::vector<float>(c + 1, c + 4)) << c[0];
    }
    EXPECT_FLOAT_EQ(blurWeight(0, -1), 1 - 1 / 3.5f);
    EXPECT_FLOAT_EQ(blurWeight(-2, 2), 1 - std::sqrt(8.0f) / 3.5f);

    // A 2 x 2 grid rising from 0 to 100 under a 4 x 1 map: texels sample
    // heights 0, 50, 100 and (extrapolated) 150, weights (1 0 0) (0 1 0)
    // (0 0 1) (0 0 2). Texel 0 blurs with 1, 5/7, 3/7; texel 1 with 5/7, 1,
    // 5/7, 3/7 over the already blurred texel 0.
    makeFlatTerrain(2, 2, 0.0f);
    heightAt(1, 0) = heightAt(1, 1) = 100.0f;
    Terrain& t = editor.terrain;
    t.distributionWidth = 4;
    t.distributionHeight = 1;
    t.distribution.assign(12, 0.3f);
    textureByElevation();
    const float expected[6] = {7 / 15.0f, 1 / 3.0f, 1 / 5.0f, 7 / 60.0f, 26 / 60.0f, 36 / 60.0f};
    for (int k = 0; k < 6; ++k)
        EXPECT_FLOAT_EQ(t.distribution[k], expected[k]) << k;
    undo();
    EXPECT_EQ(t.distribution, std::vector<float>(12, 0.3f));
}

TEST(InvertTerrain, MapsTheRangeOntoItselfUpsideDown)
{
    // Heights before, after one run and after two. Below 0 the top of the
    // range stays 0, so there a second run does not give the terrain back.
    const float cases[][3][4] = {
        {{10, 200, 60, 100}, {200, 10, 150, 110}, {10, 200, 60, 100}},
        {{-100, -50, -75, -60}, {0, -50, -25, -40}, {-50, 0, -25, -10}},
    };
    for (const auto& c : cases) {
        makeFlatTerrain(2, 2, 0.0f);
        for (int i = 0; i < 4; ++i)
            z(i) = c[0][i];
        for (int run = 1; run <= 2; ++run) {
            invertTerrain();
            for (int i = 0; i < 4; ++i)
                EXPECT_FLOAT_EQ(z(i), c[run][i]) << c[0][0] << " run " << run << " " << i;
        }
    }
    // A grid one vertex wide or high (an image one pixel across) turns over too.
    for (bool wide : {false, true}) {
        makeFlatTerrain(wide ? 3 : 1, wide ? 1 : 3, 0.0f);
        z(0) = 10, z(1) = 200, z(2) = 60;
        invertTerrain();
        EXPECT_EQ(std::vector<float>({z(0), z(1), z(2)}), std::vector<float>({200, 10, 150})) << wide;
        EXPECT_EQ(undoCount(), 1);
    }
}

TEST(IncreaseDetail, MidpointsOfAStepOfTenMoveByTwoUnlessCtrl)
{
    for (bool ctrl : {false, true}) {
        SCOPED_TRACE(ctrl);
        // A step of 10 between columns 0 and 1 and between rows 0 and 1.
        makeFlatTerrain(3, 3, 0.0f);
        for (size_t i = 0; i < 9; ++i)
            z(i) = 10.0f * (i % 3 > 0) + 10.0f * (i / 3 > 0);
        int draws[17];
        srand(11);
        for (int& d : draws)
            d = rand();
        editor.modState = ctrl ? 0x0040 : 0;
        srand(11);
        increaseDetail();
        const Terrain& t = editor.terrain;
        ASSERT_EQ(t.gridX, 5);
        ASSERT_EQ(t.gridY, 5);
        EXPECT_FLOAT_EQ(t.vertices[4].mapCoord[0], 4.0f / 5.0f);
        // One draw per new vertex, none with Ctrl; even means the lower side.
        EXPECT_EQ(rand(), draws[ctrl ? 0 : 16]);
        auto midpoint = [&](int draw) { return ctrl ? 5.0f : draws[draw] % 2 ? 7.0f : 3.0f; };
        EXPECT_FLOAT_EQ(heightAt(1, 0), midpoint(0));
        EXPECT_FLOAT_EQ(heightAt(0, 1), midpoint(6)); // rows follow the 2 x 3 column draws
        EXPECT_FLOAT_EQ(heightAt(3, 0), 10.0f);       // between equal heights
    }
}

TEST(IncreaseDetail, ReachesTheLargestGridSide)
{
    makeFlatTerrain(2049, 3, 1.0f); // becomes 4097, the most allowed
    commandIncreaseDetail();
    EXPECT_EQ(editor.terrain.gridX, 4097);
    EXPECT_EQ(undoCount(), 1);
}

TEST(DecreaseDetail, SizesAndAverages)
{
    // z = c * c + 10 r. The last new vertex averages the old last two (odd
    // sides) or three (even: the old last column and row only feed their
    // neighbours) columns and rows.
    struct Case { int side, result; float last; } cases[] = {
        {65, 33, (63 * 63 + 64 * 64) / 2.0f + 635}, {15, 8, (13 * 13 + 14 * 14) / 2.0f + 135},
        {16, 8, (13 * 13 + 14 * 14 + 15 * 15) / 3.0f + 140},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        makeFlatTerrain(c.side, c.side, 0.0f);
        for (size_t i = 0; i < editor.terrain.vertices.size(); ++i)
            z(i) = float(i % c.side * (i % c.side) + 10 * (i / c.side));
        commandDecreaseDetail();
        const Terrain& t = editor.terrain;
        EXPECT_EQ(t.gridX, c.result);
        EXPECT_EQ(t.gridY, c.result);
        EXPECT_EQ(t.blockWidth, 64.0f);
        EXPECT_FLOAT_EQ(t.vertices.back().position[2], c.last);
        EXPECT_FLOAT_EQ(heightAt(0, 0), 5.5f); // 4 samples
        EXPECT_EQ(undoCount(), 1);
    }
}

TEST(ResizeGrid, PageUpRepeatsTheEdgeAndSqueezesTheMapAlongEitherAxis)
{
    for (bool yAxis : {false, true}) {
        SCOPED_TRACE(yAxis);
        // (c, r) along the grown axis and across it.
        auto at = [yAxis](int along, int across) -> float& { return yAxis ? heightAt(across, along) : heightAt(along, across); };
        makeFlatTerrain(65, 65, 0.0f);
        for (int k = 0; k < 65; ++k)
            at(64, k) = float(k);
        labelMap();
        commandGrowGrid(yAxis, 2);
        const Terrain& t = editor.terrain;
        ASSERT_EQ(std::make_pair(t.gridX, t.gridY), yAxis ? std::make_pair(65, 67) : std::make_pair(67, 65));
        EXPECT_EQ(at(65, 10), 10.0f);
        EXPECT_EQ(at(66, 64), 64.0f);
        const float* last = yAxis ? t.vertices[66 * 65 + 3].position : t.vertices[3 * 67 + 66].position;
        EXPECT_EQ(std::vector<float>(last, last + 2), yAxis ? std::vector<float>({96, 66 * 32}) : std::vector<float>({66 * 32, 96}));
        // Texel j shows old texel round(j * 67 / 65): the old map fills the
        // first 1024 * 65 / 67 texels of the axis, the rest repeats its last.
        const int source[][2] = {{0, 0}, {1, 1}, {500, 515}, {992, 1023}, {1023, 1023}};
        for (const auto& s : source) {
            const float* texel = yAxis ? texelAt(7, s[0]) : texelAt(s[0], 7);
            EXPECT_EQ(std::vector<float>(texel, texel + 2),
                      yAxis ? std::vector<float>({7.0f, float(s[1])}) : std::vector<float>({float(s[1]), 7.0f})) << s[0];
        }
    }
}

// Everything an undo of a whole-terrain command must bring back.
std::vector<float> gridState()
{
    const Terrain& t = editor.terrain;
    std::vector<float> s = {float(t.gridX), float(t.gridY), t.blockWidth, t.heightScale};
    for (const TerrainVertex& v : t.vertices)
        s.insert(s.end(), v.position, v.position + 3);
    return s;
}

TEST(Commands, RefusalsSayWhyAndLeaveTerrainAndHistoryAsTheyWere)
{
    // Grid w x h with its block width and height scale; heights rise along
    // the rows unless `flat` (then they span only 0.9).
    struct Case { const char* why; int w, h; float blockWidth, heightScale; bool flat; bool (*run)(); } cases[] = {
        {"Increase Detail refused: the grid would be 5 x 4099 vertices (at most 4097 per side)", 3, 2050, 32, 512,
         false, commandIncreaseDetail},
        {"Grid growth refused: the grid would be 4098 x 3 vertices (at most 4097 per side)", 4096, 3, 32, 512, false,
         [] { return commandGrowGrid(false, 2); }},
        {"Grid growth refused: the grid would be 3 x 4100 vertices (at most 4097 per side)", 3, 4092, 32, 512, false,
         [] { return commandGrowGrid(true, 8); }},
        {"Decrease Detail refused: the grid would be 7 x 17 vertices (at least 8 per side)", 14, 33, 32, 512, false,
         commandDecreaseDetail},
        {"Decrease Detail refused: the grid would be 8 x 7 vertices (at least 8 per side)", 15, 13, 32, 512, false,
         commandDecreaseDetail},
        {"Grid shrink refused: the grid would be 1 x 3 vertices (at least 3 per side)", 3, 3, 32, 512, false,
         [] { return commandShrinkGrid(false, 2); }},
        {"Grid shrink refused: the grid would be 5 x 2 vertices (at least 3 per side)", 5, 10, 32, 512, false,
         [] { return commandShrinkGrid(true, 8); }},
        {"Block width change refused: it would be 0.75 (at least 1)", 5, 5, 1.5f, 512, false,
         [] { return commandBlockWidth(false, false); }},
        {"Block width change refused: it would be 0.5 (at least 1)", 5, 5, 2, 512, false,
         [] { return commandBlockWidth(false, true); }},
        {"Height scale change refused: it would be 0.75 (at least 1)", 5, 5, 32, 1.5f, false,
         [] { return commandHeightScale(false, false); }},
        {"Invert Terrain refused: the terrain is flat (its heights span less than 1)", 5, 5, 32, 512, true,
         commandInvertTerrain},
        {"Texture by Elevation refused: the terrain is flat (its heights span less than 1)", 5, 5, 32, 512, true,
         commandTextureByElevation},
        {"Texture by Elevation refused: the grid is one vertex wide or high, and the blend needs a neighbouring "
         "vertex in both directions", 1, 5, 32, 512, false, commandTextureByElevation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        makeFlatTerrain(c.w, c.h, 0.0f, c.blockWidth);
        editor.terrain.heightScale = c.heightScale;
        for (int r = 0; r < c.h; ++r)
            heightAt(0, r) = c.flat ? 0.9f * float(r % 2) : 10.0f * float(r);
        labelMap();
        // One entry to undo and one to redo.
        pushWholeGridSnapshot(kUndoPositions);
        pushWholeGridSnapshot(kUndoPositions);
        undo();
        const std::vector<float> grid = gridState(), map = editor.terrain.distribution;
        EXPECT_FALSE(c.run());
        EXPECT_EQ(editor.statusMessage, c.why);
        EXPECT_EQ(gridState(), grid);
        EXPECT_TRUE(editor.terrain.distribution == map);
        EXPECT_EQ(std::make_pair(undoCount(), redoCount()), std::make_pair(1, 1));
    }
}

TEST(Commands, ResultsAndExactUndoAndRedo)
{
    // [ halves and Shift+[ quarters the block width (taking the whole value
    // away would always be refused); Ctrl+Shift+[ quarters the height scale.
    // run(a, b) is the command with its two arguments (for Page Up/Down: Ctrl).
    struct Case { const char* name; bool (*run)(bool, bool); bool a, b; float blockWidth, heightScale; } cases[] = {
        {"generate random", [](bool, bool) { return commandGenerateRandom(); }, false, false, 32, 512},
        {"erosion", [](bool, bool) { return commandErosion(); }, false, false, 32, 512},
        {"invert", [](bool, bool) { return commandInvertTerrain(); }, false, false, 32, 512},
        {"increase detail", [](bool, bool) { return commandIncreaseDetail(); }, false, false, 16, 512},
        {"decrease detail", [](bool, bool) { return commandDecreaseDetail(); }, false, false, 64, 512},
        {"page up", [](bool y, bool) { return commandGrowGrid(y, 2); }, false, false, 32, 512},
        {"ctrl shift page up", [](bool y, bool) { return commandGrowGrid(y, 8); }, true, false, 32, 512},
        {"shift page down", [](bool y, bool) { return commandShrinkGrid(y, 8); }, false, false, 32, 512},
        {"ctrl page down", [](bool y, bool) { return commandShrinkGrid(y, 2); }, true, false, 32, 512},
        {"]", commandBlockWidth, true, false, 64, 512}, {"shift ]", commandBlockWidth, true, true, 128, 512},
        {"[", commandBlockWidth, false, false, 16, 512}, {"shift [", commandBlockWidth, false, true, 8, 512},
        {"ctrl ]", commandHeightScale, true, false, 32, 768}, {"ctrl shift ]", commandHeightScale, true, true, 32, 1024},
        {"ctrl [", commandHeightScale, false, false, 32, 256}, {"ctrl shift [", commandHeightScale, false, true, 32, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeFlatTerrain(34, 30, 0.0f); // the last column and row are not lattice points
        srand(99);
        generateRandomTerrain();
        clearHistory();
        // An undo brings the whole vertices and map back bit for bit: normals,
        // colours and texture coordinates with the size and scales.
        const Bytes whole = terrainBytes();
        const std::vector<float> before = gridState();
        EXPECT_TRUE(c.run(c.a, c.b));
        const std::vector<float> after = gridState();
        const Terrain& t = editor.terrain;
        ASSERT_NE(after, before);
        EXPECT_EQ(t.blockWidth, c.blockWidth);
        EXPECT_EQ(t.heightScale, c.heightScale);
        EXPECT_FLOAT_EQ(t.vertices.back().position[0], (t.gridX - 1) * t.blockWidth);
        const float scaled = c.heightScale == 512 ? z(0) : before[6] * c.heightScale / 512;
        EXPECT_FLOAT_EQ(z(0), scaled);
        ASSERT_EQ(undoCount(), 1);
        undo();
        EXPECT_TRUE(terrainBytes() == whole);
        redo();
        EXPECT_EQ(gridState(), after);
    }
}

} // namespace
