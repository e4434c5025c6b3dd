#include <gtest/gtest.h>

#include <cstdlib>

#include "ops/commands.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

bool snapshot(int c0, int r0, int c1, int r1)
{
    return pushPositionsSnapshot(editor.terrain.vertices.data(), c0, r0, c1, r1, kUndoPositions);
}

TEST(UndoHistory, KeepsTheFiftyNewestEntries)
{
    makeFlatTerrain(5, 5, 0.0f);
    for (int i = 1; i <= 51; ++i) {
        snapshot(0, 0, 0, 0);
        heightAt(0, 0) = float(i);
    }
    EXPECT_EQ(undoCount(), 50);
    // Fifty undos lead back to the state after the first edit, not before it.
    for (int i = 0; i < 50; ++i) undo();
    EXPECT_EQ(heightAt(0, 0), 1.0f);
    EXPECT_EQ(redoCount(), 50);
    undo(); // empty: nothing happens
    EXPECT_EQ(heightAt(0, 0), 1.0f);
}

TEST(UndoHistory, NewEditEmptiesRedoAndEmptyRegionsRecordNothing)
{
    makeFlatTerrain(5, 5, 0.0f);
    snapshot(1, 1, 2, 2);
    heightAt(1, 1) = 5.0f;
    undo();
    EXPECT_EQ(redoCount(), 1);
    // An empty region changes nothing, the redo list included.
    EXPECT_FALSE(snapshot(3, 0, 2, 4));
    EXPECT_FALSE(pushDistributionSnapshot(editor.terrain.distribution.data(), 0, 5, 9, 4));
    EXPECT_EQ(redoCount(), 1);
    EXPECT_EQ(undoCount(), 0);
    snapshot(0, 0, 0, 0);
    EXPECT_EQ(redoCount(), 0);
    redo();
    EXPECT_EQ(heightAt(1, 1), 0.0f);
}

// Every vertex's x, y and z as bytes, with the grid size.
std::vector<uint8_t> positionBytes()
{
    const Terrain& t = editor.terrain;
    std::vector<uint8_t> out = {uint8_t(t.gridX), uint8_t(t.gridY)};
    for (const TerrainVertex& v : t.vertices) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(v.position);
        out.insert(out.end(), bytes, bytes + sizeof v.position);
    }
    return out;
}

TEST(UndoHistory, GridEntriesKeepOnlyHeightsUnlessXAndYAreTheirOwn)
{
    // Block width 30 (x = c * 30 rounds for large c); a document may bring
    // vertices off the grid, and then they keep all three coordinates.
    for (bool offGrid : {false, true}) {
        SCOPED_TRACE(offGrid);
        makeFlatTerrain(200, 100, 0.0f, 30.0f);
        addRelief();
        if (offGrid) editor.terrain.vertices[4321].position[1] += 0.125f;
        const std::vector<uint8_t> before = positionBytes();
        commandGrowGrid(false, 8);
        const std::vector<uint8_t> after = positionBytes();
        EXPECT_NEAR(double(historyBytes()), 200 * 100 * (offGrid ? 12.0 : 4.0), 1000.0);
        undo();
        EXPECT_EQ(positionBytes(), before);
        redo();
        EXPECT_EQ(positionBytes(), after);
    }
}

TEST(UndoHistory, TheBudgetDropsTheOldestAndAlwaysKeepsTheNewest)
{
    struct Budget { const char* text; int64_t bytes; } budgets[] = {
        {nullptr, 1024 << 20}, {"1", 1 << 20}, {"3000", int64_t(3000) << 20},
        {"0", 1024 << 20}, {"-4", 1024 << 20}, {"12abc", 1024 << 20}, {"", 1024 << 20},
    };
    for (const Budget& b : budgets) {
        if (b.text) setenv("BRIVEL_UNDO_MB", b.text, 1); else unsetenv("BRIVEL_UNDO_MB");
        EXPECT_EQ(undoBudgetBytes(), b.bytes) << (b.text ? b.text : "unset");
    }

    setenv("BRIVEL_UNDO_MB", "1", 1);
    // A whole-grid entry of 300 x 300 keeps 90 000 heights, 360 KB: two fit
    // in 1 MB, the third pushes the oldest out.
    makeFlatTerrain(300, 300, 0.0f);
    for (int i = 1; i <= 5; ++i) {
        pushWholeGridSnapshot(kUndoPositions);
        heightAt(0, 0) = float(i);
    }
    EXPECT_EQ(undoCount(), 2);
    EXPECT_LE(historyBytes(), 1 << 20);
    for (float expected : {4.0f, 3.0f, 3.0f}) {
        undo();
        EXPECT_EQ(heightAt(0, 0), expected);
    }

    // 600 x 600: one entry alone (1.44 MB) is over the budget. It is kept,
    // the older one goes, and its inverse survives the undo to be redone.
    makeFlatTerrain(600, 600, 0.0f);
    for (int i = 1; i <= 2; ++i) {
        pushWholeGridSnapshot(kUndoPositions);
        heightAt(0, 0) = float(i);
    }
    EXPECT_EQ(undoCount(), 1);
    undo();
    EXPECT_EQ(heightAt(0, 0), 1.0f);
    redo();
    EXPECT_EQ(heightAt(0, 0), 2.0f);
    unsetenv("BRIVEL_UNDO_MB");
}

} // namespace
