#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "ops/commands.h"
#include "ops/detail.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

const TerrainVertex& vertexAt(int c, int r)
{
    return editor.terrain.vertices[size_t(c + r * editor.terrain.gridX)];
}

// Marks every map texel with its own column and row so that a resample can
// be read back as source coordinates.
void labelMap()
{
    Terrain& t = editor.terrain;
    for (int i = 0; i < t.distributionHeight; ++i)
        for (int j = 0; j < t.distributionWidth; ++j) {
            float* texel = &t.distribution[(size_t(i) * t.distributionWidth + j) * 3];
            texel[0] = float(j);
            texel[1] = float(i);
            texel[2] = 0.5f;
        }
}

const float* texelAt(int j, int i)
{
    const Terrain& t = editor.terrain;
    return &t.distribution[(size_t(i) * t.distributionWidth + j) * 3];
}

TEST(IncreaseDetail, FlatTerrainStaysFlatAndKeepsItsWorldSize)
{
    for (bool ctrl : {true, false}) {
        SCOPED_TRACE(ctrl);
        // One draw per new vertex without Ctrl, none with it: the generator
        // must stand exactly that far on after the command.
        const int draws = ctrl ? 0 : 129 * 129 - 65 * 65;
        srand(3);
        for (int i = 0; i < draws; ++i)
            rand();
        const int expectedNext = rand();

        makeFlatTerrain(65, 65, 256.0f);
        editor.modState = ctrl ? 0x0040 : 0;
        srand(3);
        increaseDetail();
        EXPECT_EQ(rand(), expectedNext);
        const Terrain& t = editor.terrain;
        ASSERT_EQ(t.gridX, 129);
        ASSERT_EQ(t.gridY, 129);
        EXPECT_EQ(t.blockWidth, 16.0f);
        EXPECT_EQ(t.indices.size(), size_t(128 * 128 * 6));
        for (int r = 0; r < 129; ++r)
            for (int c = 0; c < 129; ++c) {
                ASSERT_EQ(vertexAt(c, r).position[0], c * 16.0f);
                ASSERT_EQ(vertexAt(c, r).position[1], r * 16.0f);
                ASSERT_EQ(vertexAt(c, r).position[2], 256.0f);
            }
        EXPECT_FLOAT_EQ(vertexAt(128, 0).mapCoord[0], 128.0f / 129.0f);

        increaseDetail();
        EXPECT_EQ(t.gridX, 257);
        EXPECT_EQ(t.gridY, 257);
        EXPECT_EQ(t.blockWidth, 8.0f);
        EXPECT_EQ(vertexAt(256, 256).position[0], 2048.0f);
    }
}

TEST(IncreaseDetail, MidpointsOfAStepOfTenMoveByTwo)
{
    // Columns 0, 1, 2 at heights 0, 10, 10 in every row: the new vertex
    // between columns 0 and 1 lies at 5 - 2 (even draw) or 5 + 2 (odd draw),
    // or exactly 5 with Ctrl. The first draw of the command decides it.
    for (bool ctrl : {false, true}) {
        SCOPED_TRACE(ctrl);
        makeFlatTerrain(3, 3, 0.0f);
        for (int r = 0; r < 3; ++r) {
            heightAt(1, r) = 10.0f;
            heightAt(2, r) = 10.0f;
        }
        editor.modState = ctrl ? 0x0080 : 0;
        srand(11);
        const int firstDraw = rand();
        srand(11);
        increaseDetail();
        ASSERT_EQ(editor.terrain.gridX, 5);
        const float expected = ctrl ? 5.0f : (firstDraw % 2 == 0 ? 3.0f : 7.0f);
        EXPECT_FLOAT_EQ(heightAt(1, 0), expected);
        EXPECT_FLOAT_EQ(heightAt(3, 0), 10.0f); // between equal heights: no offset
        EXPECT_FLOAT_EQ(vertexAt(1, 0).position[0], 16.0f);
    }

    // The same along the rows: rows at 0, 10, 10.
    makeFlatTerrain(3, 3, 0.0f);
    for (int c = 0; c < 3; ++c) {
        heightAt(c, 1) = 10.0f;
        heightAt(c, 2) = 10.0f;
    }
    editor.modState = 0;
    srand(17);
    for (int i = 0; i < 2 * 3; ++i) // the column pass draws first, one per new column
        rand();
    const int rowDraw = rand();
    srand(17);
    increaseDetail();
    EXPECT_FLOAT_EQ(heightAt(0, 1), rowDraw % 2 == 0 ? 3.0f : 7.0f);
}

TEST(IncreaseDetail, RefusedAboveTheLargestGridSide)
{
    // 2049 columns become 4097, the most allowed; 2050 would make 4099.
    makeFlatTerrain(2049, 3, 1.0f);
    increaseDetail();
    EXPECT_EQ(editor.terrain.gridX, 4097);
    EXPECT_EQ(editor.terrain.gridY, 5);

    makeFlatTerrain(3, 2050, 1.0f);
    commandIncreaseDetail();
    EXPECT_EQ(editor.terrain.gridX, 3);
    EXPECT_EQ(editor.terrain.gridY, 2050);
    EXPECT_EQ(editor.terrain.blockWidth, 32.0f);
    EXPECT_NE(editor.statusMessage.find("Increase Detail"), std::string::npos);
    // The entry recorded before the refusal restores the same grid.
    ASSERT_EQ(undoCount(), 1);
    undo();
    EXPECT_EQ(editor.terrain.gridY, 2050);
    EXPECT_EQ(editor.terrain.blockWidth, 32.0f);
}

TEST(DecreaseDetail, SizesAndRefusals)
{
    struct Case {
        int side, result;
    } cases[] = {{65, 33}, {33, 17}, {15, 8}, {16, 8}, {14, 14}, {13, 13}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        makeFlatTerrain(c.side, c.side, 100.0f);
        commandDecreaseDetail();
        EXPECT_EQ(editor.terrain.gridX, c.result);
        EXPECT_EQ(editor.terrain.gridY, c.result);
        EXPECT_EQ(editor.terrain.blockWidth, c.result == c.side ? 32.0f : 64.0f);
        EXPECT_EQ(editor.terrain.indices.size(), size_t((c.result - 1) * (c.result - 1) * 6));
        EXPECT_EQ(undoCount(), 1); // recorded even when refused
    }
}

TEST(DecreaseDetail, AveragesTheNeighbourhoodInsideTheGrid)
{
    // z = c * c + 10 r on 16 x 16: the result is 8 x 8 and the last old
    // column and row (15) only feed their neighbours' averages.
    makeFlatTerrain(16, 16, 0.0f);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            heightAt(c, r) = float(c * c + 10 * r);
    decreaseDetail();
    ASSERT_EQ(editor.terrain.gridX, 8);
    struct Case {
        int j, i;
        float z;
    } cases[] = {
        {0, 0, (0 + 1) / 2.0f + 5.0f},             // corner: 4 samples
        {3, 0, (25 + 36 + 49) / 3.0f + 5.0f},      // edge: 6 samples
        {3, 3, (25 + 36 + 49) / 3.0f + 60.0f},     // interior: 9 samples
        {7, 7, (169 + 196 + 225) / 3.0f + 140.0f}, // reaches old column and row 15
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(heightAt(c.j, c.i), c.z) << c.j << "," << c.i;
        EXPECT_EQ(vertexAt(c.j, c.i).position[0], 2 * c.j * 32.0f);
        EXPECT_EQ(vertexAt(c.j, c.i).position[1], 2 * c.i * 32.0f);
    }
}

TEST(DecreaseDetail, ThenPlainIncreaseGivesTheStartingSizeBack)
{
    makeFlatTerrain(65, 65, 0.0f);
    for (int r = 0; r < 65; ++r)
        for (int c = 0; c < 65; ++c)
            heightAt(c, r) = float((c * 7 + r * 13) % 50);
    decreaseDetail();
    editor.modState = 0x0040;
    increaseDetail();
    EXPECT_EQ(editor.terrain.gridX, 65);
    EXPECT_EQ(editor.terrain.gridY, 65);
    EXPECT_EQ(editor.terrain.blockWidth, 32.0f);
    EXPECT_EQ(vertexAt(64, 64).position[0], 2048.0f);
}

TEST(ResizeGrid, PageUpRepeatsTheEdgeAndSqueezesTheMap)
{
    makeFlatTerrain(65, 65, 0.0f);
    for (int r = 0; r < 65; ++r)
        heightAt(64, r) = float(r);
    labelMap();
    commandGrowGrid(false, 2);
    const Terrain& t = editor.terrain;
    ASSERT_EQ(t.gridX, 67);
    ASSERT_EQ(t.gridY, 65);
    EXPECT_EQ(t.indices.size(), size_t(66 * 64 * 6));
    for (int r = 0; r < 65; ++r)
        for (int c = 64; c < 67; ++c) {
            ASSERT_EQ(heightAt(c, r), float(r));
            ASSERT_EQ(vertexAt(c, r).position[0], c * 32.0f);
            ASSERT_EQ(vertexAt(c, r).position[1], r * 32.0f);
        }
    EXPECT_FLOAT_EQ(vertexAt(66, 0).mapCoord[0], 66.0f * 32.0f / (67.0f * 32.0f));
    // Texel j now shows old texel round(j * 67 / 65): old content fills
    // columns 0 to ~993 (1024 * 65 / 67); the rest repeats the last column.
    struct Case {
        int j, source;
    } cases[] = {{0, 0}, {1, 1}, {500, 515}, {992, 1023}, {993, 1023}, {1023, 1023}};
    for (const Case& c : cases) {
        EXPECT_EQ(texelAt(c.j, 7)[0], float(c.source)) << c.j;
        EXPECT_EQ(texelAt(c.j, 7)[1], 7.0f) << c.j;
    }

    // Undo restores the grid but leaves the map as resampled.
    undo();
    EXPECT_EQ(t.gridX, 65);
    EXPECT_EQ(heightAt(64, 10), 10.0f);
    EXPECT_EQ(texelAt(500, 7)[0], 515.0f);
}

TEST(ResizeGrid, RowsGrowAndShrinkWithTheirMap)
{
    makeFlatTerrain(5, 65, 0.0f);
    for (int c = 0; c < 5; ++c)
        heightAt(c, 64) = float(100 + c);
    labelMap();
    commandGrowGrid(true, 8);
    const Terrain& t = editor.terrain;
    ASSERT_EQ(t.gridY, 73);
    for (int r = 64; r < 73; ++r)
        for (int c = 0; c < 5; ++c) {
            ASSERT_EQ(heightAt(c, r), float(100 + c));
            ASSERT_EQ(vertexAt(c, r).position[1], r * 32.0f);
        }
    // 500 * 73 / 65 = 561.5..., so texel row 500 shows old row 562.
    EXPECT_EQ(texelAt(3, 500)[1], 562.0f);
    EXPECT_EQ(texelAt(3, 500)[0], 3.0f);
    EXPECT_EQ(texelAt(3, 1023)[1], 1023.0f);

    // A shrink stretches the first part of the map over the whole of it.
    labelMap();
    commandShrinkGrid(true, 8);
    ASSERT_EQ(t.gridY, 65);
    EXPECT_EQ(texelAt(3, 1023)[1], 911.0f); // trunc(1023 * 65 / 73 + 0.5)
}

TEST(ResizeGrid, LimitsAtThreeAndAtTheLargestSide)
{
    makeFlatTerrain(3, 3, 0.0f);
    labelMap();
    commandShrinkGrid(false, 2);
    commandShrinkGrid(true, 8);
    EXPECT_EQ(editor.terrain.gridX, 3);
    EXPECT_EQ(editor.terrain.gridY, 3);
    EXPECT_EQ(texelAt(700, 700)[0], 700.0f); // map untouched

    makeFlatTerrain(4096, 3, 0.0f);
    commandGrowGrid(false, 2);
    EXPECT_EQ(editor.terrain.gridX, 4096);
    EXPECT_FALSE(editor.statusMessage.empty());
    makeFlatTerrain(3, 4089, 0.0f);
    resizeGridY(8);
    EXPECT_EQ(editor.terrain.gridY, 4097);
}

TEST(ResizeGrid, ShrinkRecomputesTheNewEdgeNormals)
{
    // Column 3 is a wall; once it is removed, column 2 is the flat edge and
    // must face straight up again.
    makeFlatTerrain(5, 5, 0.0f);
    for (int r = 0; r < 5; ++r)
        heightAt(3, r) = 500.0f;
    refreshAllVertices();
    ASSERT_LT(vertexAt(2, 2).normal[2], 0.99f);
    resizeGridX(-2);
    ASSERT_EQ(editor.terrain.gridX, 3);
    for (int r = 0; r < 5; ++r)
        EXPECT_FLOAT_EQ(vertexAt(2, r).normal[2], 1.0f) << r;
}

} // namespace
