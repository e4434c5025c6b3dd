#include <gtest/gtest.h>

#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

std::vector<float> allPositions()
{
    std::vector<float> out;
    for (const TerrainVertex& v : editor.terrain.vertices) out.insert(out.end(), v.position, v.position + 3);
    return out;
}

TEST(UndoHistory, KeepsTheFiftyNewestEntries)
{
    makeFlatTerrain(5, 5, 0.0f);
    for (int i = 1; i <= 51; ++i) {
        pushPositionsSnapshot(editor.terrain.vertices.data(), 0, 0, 0, 0, kUndoPositions);
        heightAt(0, 0) = float(i);
    }
    EXPECT_EQ(undoCount(), 50);
    // Fifty undos lead back to the state after the first edit, not before it.
    for (int i = 0; i < 50; ++i) undo();
    EXPECT_EQ(heightAt(0, 0), 1.0f);
    EXPECT_EQ(undoCount(), 0);
    EXPECT_EQ(redoCount(), 50);
    undo(); // empty: nothing happens
    EXPECT_EQ(heightAt(0, 0), 1.0f);
}

TEST(UndoHistory, UndoThenRedoIsExactIncludingSizeAndScales)
{
    makeFlatTerrain(5, 4, 10.0f);
    heightAt(2, 1) = 77.0f;
    const std::vector<float> before = allPositions();
    pushWholeGridSnapshot(kUndoGridGrow);
    // Replace the grid by a bigger one with other scales, as a resize would.
    Terrain& t = editor.terrain;
    t.gridX = 7;
    t.vertices.assign(7 * 4, TerrainVertex{});
    for (int i = 0; i < 28; ++i) t.vertices[size_t(i)].position[2] = float(i);
    t.blockWidth = 64.0f;
    t.heightScale = 100.0f;
    buildIndices();
    const std::vector<float> after = allPositions();

    undo();
    EXPECT_EQ(t.gridX, 5);
    EXPECT_EQ(t.gridY, 4);
    EXPECT_EQ(t.blockWidth, 32.0f);
    EXPECT_EQ(t.heightScale, 512.0f);
    EXPECT_EQ(t.indices.size(), 4u * 3u * 6u);
    EXPECT_EQ(allPositions(), before);
    EXPECT_EQ(t.vertices[size_t(2 + 5)].normal[2], 1.0f) << "derived data is rebuilt";

    redo();
    EXPECT_EQ(t.gridX, 7);
    EXPECT_EQ(t.blockWidth, 64.0f);
    EXPECT_EQ(t.heightScale, 100.0f);
    EXPECT_EQ(allPositions(), after);
    undo();
    EXPECT_EQ(allPositions(), before);
}

TEST(UndoHistory, NewEditEmptiesRedoAndEmptyRegionsRecordNothing)
{
    makeFlatTerrain(5, 5, 0.0f);
    pushPositionsSnapshot(editor.terrain.vertices.data(), 1, 1, 2, 2, kUndoPositions);
    heightAt(1, 1) = 5.0f;
    undo();
    EXPECT_EQ(redoCount(), 1);
    // An empty region changes nothing, the redo list included.
    EXPECT_FALSE(pushPositionsSnapshot(editor.terrain.vertices.data(), 3, 0, 2, 4, kUndoPositions));
    EXPECT_FALSE(pushDistributionSnapshot(editor.terrain.distribution.data(), 0, 5, 9, 4));
    EXPECT_EQ(redoCount(), 1);
    EXPECT_EQ(undoCount(), 0);
    pushPositionsSnapshot(editor.terrain.vertices.data(), 0, 0, 0, 0, kUndoPositions);
    EXPECT_EQ(redoCount(), 0);
    redo();
    EXPECT_EQ(heightAt(1, 1), 0.0f);
}

TEST(UndoHistory, DistributionEntriesRestoreEveryRowOfTheirRectangle)
{
    makeFlatTerrain(5, 5);
    Terrain& t = editor.terrain;
    const std::vector<float> before = t.distribution;
    pushDistributionSnapshot(t.distribution.data(), 10, 20, 12, 25);
    for (int r = 20; r <= 25; ++r)
        for (int c = 10; c <= 12; ++c) t.distribution[size_t(r * 1024 + c) * 3 + 1] = 0.9f;
    const std::vector<float> painted = t.distribution;
    undo();
    EXPECT_EQ(t.distribution, before);
    redo();
    EXPECT_EQ(t.distribution, painted);
}

TEST(UndoHistory, OnlyTheRectangleAndItsBorderAreRelit)
{
    makeFlatTerrain(9, 9, 0.0f);
    pushPositionsSnapshot(editor.terrain.vertices.data(), 4, 4, 4, 4, kUndoPositions);
    heightAt(4, 4) = 50.0f;
    refreshAllVertices();
    undo();
    EXPECT_EQ(heightAt(4, 4), 0.0f);
    for (int r = 3; r <= 5; ++r)
        for (int c = 3; c <= 5; ++c)
            EXPECT_FLOAT_EQ(editor.terrain.vertices[size_t(c + r * 9)].normal[2], 1.0f) << c << "," << r;
}

} // namespace
