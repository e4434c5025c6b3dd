#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "sculpt/picking.h"
#include "sculpt/stroke.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

class HeightToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeFlatTerrain(12, 12, 256.0f);
        editor.smoothBrush = 0;
        editor.frameMillis = 25;
    }
    // Puts the cursor exactly over vertex (c, r).
    void pickVertex(int c, int r) { applyPick(c * 32.0, r * 32.0, heightAt(c, r)); }
    void press(int op)
    {
        editor.currentOp = op;
        beginStroke();
    }
    static void frame() { applyBrush(1); }
    static std::vector<float> heights()
    {
        std::vector<float> out;
        for (const TerrainVertex& v : editor.terrain.vertices) out.push_back(v.position[2]);
        return out;
    }
    static void addStamp(int width, int height, std::vector<float> mask)
    {
        BrushStamp stamp;
        stamp.width = width;
        stamp.height = height;
        stamp.mask = std::move(mask);
        editor.stamps.push_back(stamp);
        editor.currentStamp = 0;
    }
};

TEST_F(HeightToolTest, CarveAndRaiseMoveByTheFrameRateAndCarveStopsAtZero)
{
    // 25 ms / 5000 x 1.5 x 512 = 3.84 units per frame at full weight.
    struct Case { int op; float start; float expected; } cases[] = {
        {0, 256.0f, 252.16f}, {0, 2.0f, 0.0f}, {0, 0.0f, 0.0f}, {1, 256.0f, 259.84f}, {1, 1.0e6f, 1.0e6f + 3.84f},
    };
    for (const Case& c : cases) {
        SetUp();
        heightAt(5, 5) = c.start;
        pickVertex(5, 5);
        press(c.op);
        frame();
        EXPECT_NEAR(heightAt(5, 5), c.expected, 1e-3) << "op " << c.op << " from " << c.start;
    }
}

TEST_F(HeightToolTest, VisitedColumnsRunFromTruncLowToFloorHigh)
{
    // cx = 5: R = 2.5 visits columns 2..7, R = 3 visits 2..8 (same for rows).
    struct Case { float radiusCells; int first; int last; } cases[] = {{2.5f, 2, 7}, {3.0f, 2, 8}};
    for (const Case& c : cases) {
        SetUp();
        editor.brushWidth = c.radiusCells * 32.0f;
        pickVertex(5, 5);
        press(1);
        frame();
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= c.first && x <= c.last;
            EXPECT_EQ(heightAt(x, 5) != 256.0f, inside) << "R " << c.radiusCells << " column " << x;
            EXPECT_EQ(heightAt(5, x) != 256.0f, inside) << "R " << c.radiusCells << " row " << x;
        }
    }
}

TEST_F(HeightToolTest, SmoothBrushFallsOffWithDistance)
{
    editor.smoothBrush = 1;
    pickVertex(5, 5);
    press(1);
    frame();
    // k x (1 - d / 96) with d the 3D distance from the pick point.
    EXPECT_NEAR(heightAt(5, 5), 256.0f + 3.84f, 1e-3);
    EXPECT_NEAR(heightAt(6, 5), 256.0f + 3.84f * (1.0f - 32.0f / 96.0f), 1e-3);
    EXPECT_NEAR(heightAt(7, 5), 256.0f + 3.84f * (1.0f - 64.0f / 96.0f), 1e-3);
    EXPECT_EQ(heightAt(8, 5), 256.0f) << "a vertex brushWidth away gets nothing";
    EXPECT_EQ(heightAt(7, 8), 256.0f) << "a square corner beyond the radius";
}

TEST_F(HeightToolTest, SmoothAtACornerAveragesTheFourExistingVertices)
{
    makeFlatTerrain(6, 6, 0.0f);
    editor.smoothBrush = 0;
    heightAt(0, 0) = 100.0f;
    editor.brushWidth = 16.0f; // R = 0.5: the corner vertex alone
    pickVertex(0, 0);
    press(2);
    frame();
    const double s = 25.0 / 325.0 * 1.5;
    EXPECT_NEAR(heightAt(0, 0), (1.0 - s) * 100.0 + s * 25.0, 1e-3);
    EXPECT_EQ(heightAt(1, 0), 0.0f);
}

TEST_F(HeightToolTest, FlattenLevelsTheSquareOrOnlyTheNearVertices)
{
    for (int smooth = 0; smooth <= 1; ++smooth) {
        SetUp();
        editor.smoothBrush = uint8_t(smooth);
        heightAt(5, 5) = 300.0f; // the hovered vertex gives the target
        heightAt(6, 5) = 1000.0f; // near in x/y, far above the pick
        heightAt(8, 8) = 10.0f;   // square corner, 136 units away
        pickVertex(5, 5);
        press(4);
        EXPECT_EQ(editor.flattenHeight, 300.0f);
        frame();
        EXPECT_EQ(heightAt(7, 5), 300.0f);
        EXPECT_EQ(heightAt(6, 5), smooth ? 1000.0f : 300.0f) << "smooth " << smooth;
        EXPECT_EQ(heightAt(8, 8), smooth ? 10.0f : 300.0f) << "smooth " << smooth;
        EXPECT_EQ(heightAt(9, 5), 256.0f) << "outside the square";
    }
}

TEST_F(HeightToolTest, StampIsMappedAcrossTheSquare)
{
    // Three columns 0, 0.5, 1: R = 2 cells gives D = 4, so columns 3..7 take
    // texels trunc((x - 3) x 2 / 4) = 0, 0, 1, 1, 2.
    addStamp(3, 1, {0.0f, 0.5f, 1.0f});
    editor.brushWidth = 64.0f;
    pickVertex(5, 5);
    press(1);
    frame();
    const float expected[] = {0.0f, 0.0f, 1.92f, 1.92f, 3.84f};
    for (int x = 3; x <= 7; ++x) EXPECT_NEAR(heightAt(x, 5) - 256.0f, expected[x - 3], 1e-3) << "column " << x;

    // A brush narrower than a cell (D = 0) samples texel 0.
    SetUp();
    addStamp(2, 2, {0.5f, 1.0f, 1.0f, 1.0f});
    editor.brushWidth = 10.0f;
    pickVertex(5, 5);
    press(1);
    frame();
    EXPECT_NEAR(heightAt(5, 5), 256.0f + 1.92f, 1e-3);
}

TEST_F(HeightToolTest, NoiseIsZeroAlongTheFirstRowAndColumnAndBoundedByK)
{
    editor.brushWidth = 10.0f * 32.0f;
    pickVertex(5, 5);
    press(3);
    frame();
    int moved = 0;
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 12; ++c) {
            const float change = heightAt(c, r) - 256.0f;
            if (r == 0 || c == 0) {
                EXPECT_EQ(change, 0.0f) << c << ", " << r; // sin(0 x y)
            }
            EXPECT_LE(std::fabs(change), 3.84f + 1e-3f);
            moved += change != 0.0f;
        }
    }
    EXPECT_GT(moved, 100);
}

TEST_F(HeightToolTest, HugeBrushAndFarPickStayInsideTheGrid)
{
    editor.brushWidth = std::numeric_limits<float>::infinity();
    pickVertex(5, 5);
    press(1);
    frame();
    for (float h : heights()) EXPECT_NEAR(h, 259.84f, 1e-3);
    EXPECT_EQ(editor.dirtyMinX, 0);
    EXPECT_EQ(editor.dirtyMaxX, 11);
    endStroke();

    // Cursor over the sky far beyond +x: nothing changes, yet the bounds are
    // pinned to the edge and the release records that strip.
    SetUp();
    const std::vector<float> before = heights();
    pickVertex(5, 5);
    applyPick(1.0e12, 5 * 32.0, 1.0e12);
    EXPECT_EQ(editor.pickPoint[0], 352.0f);
    press(1);
    frame();
    EXPECT_EQ(heights(), before);
    endStroke();
    ASSERT_EQ(undoCount(), 1);
    const UndoEntry& entry = editor.undoStack.undoList.back();
    EXPECT_EQ(entry.x0, 11);
    EXPECT_EQ(entry.x1, 11);
    EXPECT_EQ(entry.y0, 2);
    EXPECT_EQ(entry.y1, 8);
}

TEST_F(HeightToolTest, StrokeLifeCycle)
{
    // Press and release without a frame: nothing recorded, copy released.
    pickVertex(5, 5);
    press(1);
    EXPECT_TRUE(editor.hasVertexSnapshot);
    endStroke();
    EXPECT_EQ(undoCount(), 0);
    EXPECT_FALSE(editor.hasVertexSnapshot);
    EXPECT_TRUE(editor.strokeVertexSnapshot.empty());
    EXPECT_EQ(editor.strokeActive, 0);

    // Without the left button, or after the release, nothing is applied.
    press(1);
    applyBrush(4);
    endStroke();
    frame();
    EXPECT_EQ(heightAt(5, 5), 256.0f);

    // A stroke over several frames and picks is one entry; undo is exact.
    const std::vector<float> before = heights();
    press(1);
    frame();
    pickVertex(9, 2);
    frame();
    frame();
    const std::vector<float> after = heights();
    endStroke();
    ASSERT_EQ(undoCount(), 1);
    undo();
    EXPECT_EQ(heights(), before);
    EXPECT_EQ(editor.terrain.vertices[5 + 5 * 12].normal[2], 1.0f);
    redo();
    EXPECT_EQ(heights(), after);
}

TEST_F(HeightToolTest, FinishHeldStrokeEndsItAsAReleaseWould)
{
    pickVertex(5, 5);
    press(1);
    frame();
    finishHeldStroke();
    EXPECT_EQ(undoCount(), 1);
    EXPECT_EQ(editor.strokeActive, 0);
    EXPECT_FALSE(editor.hasVertexSnapshot);
    const float raised = heightAt(5, 5);
    frame(); // the button is still down, but the stroke is over
    EXPECT_EQ(heightAt(5, 5), raised);
    finishHeldStroke(); // nothing held: nothing more recorded
    EXPECT_EQ(undoCount(), 1);
}

TEST_F(HeightToolTest, AGridChangedBehindAHeldStrokeIsNeverMisread)
{
    pickVertex(5, 5);
    press(1);
    frame();
    // Another grid installed without ending the stroke first.
    makeFlatTerrain(4, 4, 0.0f);
    editor.strokeActive = 1;
    frame();
    EXPECT_EQ(heightAt(3, 3), 0.0f) << "no tool acts without a matching copy";
    endStroke();
    EXPECT_EQ(undoCount(), 0);
    EXPECT_FALSE(editor.hasVertexSnapshot);
}

} // namespace
