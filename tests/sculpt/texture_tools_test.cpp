#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "sculpt/picking.h"
#include "sculpt/stroke.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

namespace {

// On a 9 x 9 grid of block width 32 the 1024-texel map gives kx = ky =
// 1024 / 288 texels per unit.
class TextureToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeFlatTerrain(9, 9, 256.0f);
        editor.smoothBrush = 0;
        editor.frameMillis = 25;
    }
    static float* texel(int tx, int ty)
    {
        return &editor.terrain.distribution[(size_t(ty) * 1024 + size_t(tx)) * 3];
    }
    static void press(int op)
    {
        editor.currentOp = op;
        beginStroke();
    }
    static void frame() { applyBrush(1); }
};

TEST_F(TextureToolTest, PaintAndEraseOneFrame)
{
    // a = 25 x 1.5 x 0.25 = 9.375: +a/255 to the chosen channel, -a/510 to the others.
    editor.paintTexture = 1;
    applyPick(100.0, 100.0, 256.0); // texel (355, 355)
    press(5);
    frame();
    const float* t = texel(355, 355);
    EXPECT_NEAR(t[0], 0.3 - 4.6875 / 255.0, 1e-6);
    EXPECT_NEAR(t[0], 0.2816f, 1e-4);
    EXPECT_NEAR(t[1], 0.3368f, 1e-4);
    EXPECT_NEAR(t[2], 0.2816f, 1e-4);

    // Long enough, the weights end exactly at 1 and 0.
    for (int i = 0; i < 40; ++i) frame();
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_EQ(t[1], 1.0f);
    EXPECT_EQ(t[2], 0.0f);

    // Erase with a 65 ms frame resets all three to 0.3 at once.
    editor.frameMillis = 65;
    editor.currentOp = 6;
    frame();
    for (int c = 0; c < 3; ++c) EXPECT_EQ(t[c], 0.3f) << "channel " << c;
}

TEST_F(TextureToolTest, SmoothBrushFallsOffInWorldUnitsAcrossTheMap)
{
    // kx = 1024 / 288 texels a unit: the default brush reaches 341 texels.
    const double kx = double(1024.0f / 288.0f);
    editor.smoothBrush = 1;
    applyPick(144.0, 144.0, 5000.0); // texel (512, 512); the height plays no part
    press(5);
    frame();
    struct Case { int dx, dy; } cases[] = {{0, 0}, {16, 0}, {0, -100}, {200, 200}, {0, 341}, {342, 0}};
    for (const Case& c : cases) {
        const double distance = std::sqrt(double(c.dx * c.dx + c.dy * c.dy)) / kx;
        const double falloff = std::max(0.0, 1.0 - distance / 96.0);
        EXPECT_NEAR(texel(512 + c.dx, 512 + c.dy)[0], 0.3 + 9.375 * falloff / 255.0, 1e-6) << c.dx << ", " << c.dy;
    }
    EXPECT_EQ(texel(512 + 342, 512)[0], 0.3f) << "beyond the square";
}

TEST_F(TextureToolTest, SmoothTextureAtTheCornerUsesFourTexels)
{
    std::fill(editor.terrain.distribution.begin(), editor.terrain.distribution.end(), 0.0f);
    texel(0, 0)[0] = 1.0f;
    editor.brushWidth = 0.2f; // rx < 1: texel (0, 0) alone
    applyPick(-50.0, -50.0, 0.0);
    press(7);
    frame();
    const double s = 25.0 / 325.0 * 1.5;
    EXPECT_NEAR(texel(0, 0)[0], (1.0 - s) + s * 0.25, 1e-6);
    EXPECT_EQ(texel(1, 0)[0], 0.0f);
}

TEST_F(TextureToolTest, NarrowBrushSamplesStampTexelZero)
{
    BrushStamp stamp;
    stamp.width = stamp.height = 2;
    stamp.mask = {0.5f, 1.0f, 1.0f, 1.0f};
    editor.stamps.push_back(stamp);
    editor.currentStamp = 0;
    editor.brushWidth = 0.2f; // Dx = trunc(0.71) = 0
    applyPick(100.0, 100.0, 0.0);
    press(5);
    frame();
    EXPECT_NEAR(texel(355, 355)[0], 0.3 + 0.5 * 9.375 / 255.0, 1e-6);
}

TEST_F(TextureToolTest, HugeBrushCoversTheMapAndNoMore)
{
    editor.brushWidth = std::numeric_limits<float>::max();
    applyPick(1.0e9, -1.0e9, 0.0);
    press(6);
    editor.frameMillis = 65;
    frame();
    EXPECT_EQ(editor.dirtyMinX, 0);
    EXPECT_EQ(editor.dirtyMinY, 0);
    EXPECT_EQ(editor.dirtyMaxX, 1023);
    EXPECT_EQ(editor.dirtyMaxY, 1023);
    endStroke();
    ASSERT_EQ(undoCount(), 1);
    EXPECT_EQ(editor.undoStack.undoList.back().weights.size(), size_t(1024) * 1024 * 3);
}

TEST_F(TextureToolTest, PaintStrokeUndoIsExactAndNeedsItsOwnCopy)
{
    const std::vector<float> before = editor.terrain.distribution;
    applyPick(100.0, 100.0, 0.0);
    press(5);
    frame();
    applyPick(200.0, 40.0, 0.0);
    frame();
    const std::vector<float> after = editor.terrain.distribution;
    endStroke();
    ASSERT_EQ(undoCount(), 1);
    EXPECT_EQ(editor.undoStack.undoList.back().kind, kUndoDistribution);
    undo();
    EXPECT_TRUE(editor.terrain.distribution == before);
    redo();
    EXPECT_TRUE(editor.terrain.distribution == after);

    // A texture tool selected behind a height stroke's back does not paint:
    // its change could not be undone.
    editor.currentOp = 0;
    beginStroke();
    editor.currentOp = 5;
    frame();
    EXPECT_TRUE(editor.terrain.distribution == after);
}

} // namespace
