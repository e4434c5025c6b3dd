#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <tuple>
#include <vector>

#include "sculpt/picking.h"
#include "sculpt/stroke.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

// Three stamp columns 0, 0.5, 1; and a 3 x 3 stamp, black but for its middle.
const BrushStamp kRamp{3, 1, {0.0f, 0.5f, 1.0f}};
const BrushStamp kDot{3, 3, {0, 0, 0, 0, 1.0f, 0, 0, 0, 0}};

// A flat 12 x 12 grid at 256, block width 32 (the map: 1024 / 384 texels a
// unit), sharp brush, 25 ms frames: Carve and Raise move 25 / 5000 x 1.5 x
// 512 = 3.84 units a frame, Paint moves a = 25 x 1.5 x 0.25 = 9.375 / 255.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeFlatTerrain(12, 12, 256.0f);
        editor.smoothBrush = 0;
        editor.paintTexture = 1;
    }
    // Press tool `op` with the cursor on world point (x, y, z), then one frame with these buttons down.
    static void strokeAt(int op, double x, double y, double z = 256.0, uint32_t buttons = 1)
    {
        applyPick(x, y, z);
        editor.currentOp = op;
        beginStroke();
        applyBrush(buttons);
    }
    static void strokeAtVertex(int op, int c, int r) { strokeAt(op, c * 32.0, r * 32.0, heightAt(c, r)); }
    static std::vector<float> heights()
    {
        std::vector<float> out;
        for (const TerrainVertex& v : editor.terrain.vertices) out.push_back(v.position[2]);
        return out;
    }
    static float* texel(int tx, int ty) { return &editor.terrain.distribution[(size_t(ty) * 1024 + size_t(tx)) * 3]; }
    static std::vector<int> dirty() { return {editor.dirtyMinX, editor.dirtyMinY, editor.dirtyMaxX, editor.dirtyMaxY}; }
};

TEST_F(ToolTest, PickPointIsClampedCellIsTruncatedHoverStaysWhenOffTheGrid)
{
    // x and y run 0 .. 352; hoverIndex starts at 7.
    struct Case { double ox, oy, oz; float px, py, pz; int column, row, hover; } cases[] = {
        {96.0, 64.0, 256.0, 96.0f, 64.0f, 256.0f, 3, 2, 27},         // over vertex (3, 2)
        {112.0, 64.0, 256.0, 112.0f, 64.0f, 256.0f, 4, 2, 28},       // half a cell rounds up
        {5000.0, 64.0, -9000.0, 352.0f, 64.0f, -9000.0f, 156, 2, 7}, // sky beyond +x: hover kept
        {-47.0, -47.0, 256.0, 0.0f, 0.0f, 256.0f, 0, 0, 0},          // truncated: 1.47 cells below is still 0
        {-49.0, 64.0, 256.0, 0.0f, 64.0f, 256.0f, -1, 2, 7},         // beyond 1.5 cells: off the grid
        {1.0e300, -1.0e300, 1.0e300, 352.0f, 0.0f, std::numeric_limits<float>::max(), 1000000000, -1000000000, 7},
    };
    for (const Case& c : cases) {
        editor.hoverIndex = 7;
        applyPick(c.ox, c.oy, c.oz);
        const auto& p = editor.pickPoint;
        EXPECT_EQ(std::tie(p[0], p[1], p[2], editor.pickColumn, editor.pickRow, editor.hoverIndex),
                  std::tie(c.px, c.py, c.pz, c.column, c.row, c.hover)) << c.ox << ", " << c.oy;
    }
    applyPick(std::numeric_limits<double>::quiet_NaN(), 10.0, 10.0); // not a place: nothing changes
    EXPECT_EQ(editor.pickColumn, 1000000000);
}

TEST_F(ToolTest, EachToolOneFrame)
{
    // Height tools (channel -1): `start` is the height of the vertex under the
    // pick, the probe a vertex. Texture tools: `start` is the probed texel's channel.
    struct Case { const char* what; int op, ms, smooth; float width; const BrushStamp* stamp;
                  double x, y; float start; int qx, qy, channel; float expected; } cases[] = {
        {"Carve", 0, 25, 0, 96, nullptr, 160, 160, 256, 5, 5, -1, 252.16f},
        {"Carve stops at 0", 0, 25, 0, 96, nullptr, 160, 160, 2, 5, 5, -1, 0},
        {"R = 2.5 visits columns 2 ..", 1, 25, 0, 80, nullptr, 160, 160, 256, 2, 5, -1, 259.84f},
        {".. to 7: six columns", 1, 25, 0, 80, nullptr, 160, 160, 256, 7, 5, -1, 259.84f},
        {"R = 2.5 spares column 8", 1, 25, 0, 80, nullptr, 160, 160, 256, 8, 5, -1, 256},
        {"R = 3 visits seven columns: 8 ..", 1, 25, 0, 96, nullptr, 160, 160, 256, 5, 8, -1, 259.84f},
        {".. but not 1", 1, 25, 0, 96, nullptr, 160, 160, 256, 5, 1, -1, 256},
        {"smooth brush: k x (1 - 32 / 96)", 1, 25, 1, 96, nullptr, 160, 160, 256, 6, 5, -1, 258.56f},
        {"smooth brush: nothing brushWidth away", 1, 25, 1, 96, nullptr, 160, 160, 256, 8, 5, -1, 256},
        {"Smooth at a corner: to (100 + 3 x 256) / 4", 2, 25, 0, 16, nullptr, 0, 0, 100, 0, 0, -1, 113.5f},
        {"Noise: sin 25 cos(160 / 12) sin(160 / 12) k", 3, 25, 0, 96, nullptr, 160, 160, 256, 5, 5, -1, 255.7461f},
        {"Flatten to the hovered vertex", 4, 25, 0, 96, nullptr, 160, 160, 300, 8, 8, -1, 300},
        {"smooth Flatten spares a corner 3D-farther than R", 4, 25, 1, 96, nullptr, 160, 160, 300, 8, 8, -1, 256},
        {"stamp across D = 4: column 4 takes texel 0", 1, 25, 0, 64, &kRamp, 160, 160, 256, 4, 5, -1, 256},
        {"stamp: column 5 takes texel 1", 1, 25, 0, 64, &kRamp, 160, 160, 256, 5, 5, -1, 257.92f},
        {"stamp: column 7 takes texel 2", 1, 25, 0, 64, &kRamp, 160, 160, 256, 7, 5, -1, 259.84f},
        {"D = 0 samples the stamp's middle", 1, 25, 0, 10, &kDot, 160, 160, 256, 5, 5, -1, 259.84f},
        {"Paint: the chosen texture", 5, 25, 0, 96, nullptr, 100, 100, 0.3f, 266, 266, 1, 0.3368f},
        {"Paint: the others", 5, 25, 0, 96, nullptr, 100, 100, 0.3f, 266, 266, 0, 0.2816f},
        {"Paint stops at 1", 5, 25, 0, 96, nullptr, 100, 100, 0.99f, 266, 266, 1, 1},
        {"Paint stops at 0", 5, 25, 0, 96, nullptr, 100, 100, 0.01f, 266, 266, 2, 0},
        {"Erase at 25 ms: 1 - 0.7 x 25 / 65", 6, 25, 0, 96, nullptr, 100, 100, 1, 266, 266, 0, 0.730769f},
        {"Erase at 65 ms", 6, 65, 0, 96, nullptr, 100, 100, 1, 266, 266, 0, 0.3f},
        {"Smooth Texture at a corner: to (1 + 3 x 0.3) / 4", 7, 25, 0, 0.2f, nullptr, -50, -50, 1, 0, 0, 0, 0.939423f},
        {"smooth brush: 96 texels are 36 units", 5, 25, 1, 96, nullptr, 145, 145, 0.3f, 482, 386, 1, 0.322978f},
        {"D = 0 samples the stamp's middle", 5, 25, 0, 0.1f, &kDot, 100, 100, 0.3f, 266, 266, 1, 0.336765f},
    };
    for (const Case& c : cases) {
        SetUp();
        editor.frameMillis = c.ms;
        editor.smoothBrush = uint8_t(c.smooth);
        editor.brushWidth = c.width;
        if (c.stamp) { editor.stamps = {*c.stamp}; editor.currentStamp = 0; }
        const bool height = c.channel < 0;
        (height ? heightAt(int(c.x) / 32, int(c.y) / 32) : texel(c.qx, c.qy)[c.channel]) = c.start;
        strokeAt(c.op, c.x, c.y); // z 256: Flatten levels to the hovered vertex, not the pick
        EXPECT_NEAR(height ? heightAt(c.qx, c.qy) : texel(c.qx, c.qy)[c.channel], c.expected, 1e-4) << c.what;
    }
}

// Every normal and colour equals a recomputation from the positions alone:
// vertices a stroke left stale would show lit as before the change.
void expectDerivedDataCurrent(const char* when)
{
    const Terrain& t = editor.terrain;
    std::vector<TerrainVertex> fresh = t.vertices;
    for (int r = 0; r < t.gridY; ++r)
        for (int c = 0; c < t.gridX; ++c) computeVertexNormal(fresh.data(), c, r, t.gridX, t.gridY);
    for (size_t i = 0; i < fresh.size(); ++i) {
        const TerrainVertex &now = t.vertices[i], &want = fresh[i];
        ASSERT_TRUE(std::equal(want.normal, want.normal + 6, now.normal))
            << when << ": vertex " << i % size_t(t.gridX) << ", " << i / size_t(t.gridX);
    }
}

TEST_F(ToolTest, NormalsAndLightingAroundTheBrushFollowEveryStepUndoAndRedo)
{
    addRelief();
    editor.brushWidth = 40.0f;
    strokeAtVertex(1, 5, 5);
    expectDerivedDataCurrent("first step");
    applyPick(11 * 32.0, 0.0, 256.0); // a corner: the square is clipped
    applyBrush(1);
    expectDerivedDataCurrent("at the corner");
    editor.currentOp = 2; // Smooth across the middle
    applyPick(6.6 * 32.0, 7.2 * 32.0, 256.0);
    applyBrush(1);
    expectDerivedDataCurrent("smoothing");
    endStroke();
    undo();
    expectDerivedDataCurrent("undo");
    redo();
    expectDerivedDataCurrent("redo");
}

// Positions (x, y, z of every vertex) or the whole map, as bytes.
std::vector<uint8_t> strokeData(bool map)
{
    const Terrain& t = editor.terrain;
    std::vector<uint8_t> out;
    if (map) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(t.distribution.data());
        return std::vector<uint8_t>(bytes, bytes + t.distribution.size() * sizeof(float));
    }
    for (const TerrainVertex& v : t.vertices) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(v.position);
        out.insert(out.end(), bytes, bytes + sizeof v.position);
    }
    return out;
}

TEST_F(ToolTest, TheCopyTakenTileByTileRestoresWhatAWholeCopyWould)
{
    // Strokes across several rows and tiles, over the grid's edges, with a
    // tool switch inside the family, on a grid whose x, y follow the block
    // width and on one whose do not (a loaded document may have any).
    struct Step { int op; double x, y; };
    struct Case { const char* what; std::vector<Step> steps; bool moved; } cases[] = {
        {"diagonal across tiles", {{1, 600, 600}, {1, 900, 1100}, {2, 1200, 1500}, {3, 1250, 1600}}, false},
        {"grid edges", {{0, 3100, 2200}, {1, 5000, 2000}, {4, -40, 100}, {1, 3168, 2208}}, false},
        {"x, y not on the grid", {{1, 600, 600}, {2, 1040, 1100}}, true},
        {"paint across tiles and the map edge", {{5, 200, 200}, {7, 700, 520}, {6, 3150, 2200}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeFlatTerrain(100, 70, 256.0f);
        addRelief();
        if (c.moved) {
            for (TerrainVertex& v : editor.terrain.vertices) v.position[0] += 0.25f;
        }
        editor.brushWidth = 150.0f;
        const bool map = c.steps[0].op >= 5;
        const std::vector<uint8_t> before = strokeData(map);
        applyPick(c.steps[0].x, c.steps[0].y, 256.0);
        editor.currentOp = c.steps[0].op;
        beginStroke();
        for (const Step& s : c.steps) {
            editor.currentOp = s.op;
            applyPick(s.x, s.y, 256.0);
            applyBrush(1);
        }
        const std::vector<int> rectangle = {std::max(editor.dirtyMinX, 0), std::max(editor.dirtyMinY, 0),
                                            editor.dirtyMaxX, editor.dirtyMaxY};
        const std::vector<uint8_t> after = strokeData(map);
        ASSERT_NE(after, before);
        endStroke();
        ASSERT_EQ(undoCount(), 1);
        const UndoEntry& e = editor.undoStack.undoList.back();
        EXPECT_EQ(std::vector<int>({e.x0, e.y0, e.x1, e.y1}), rectangle);
        EXPECT_EQ(e.heightsOnly, !map && !c.moved) << "x and y are stored only when they do not follow";
        undo();
        EXPECT_EQ(strokeData(map), before);
        redo();
        EXPECT_EQ(strokeData(map), after);
    }
}

TEST_F(ToolTest, HugeBrushOrFarPickStaysInsideTheArrays)
{
    editor.brushWidth = std::numeric_limits<float>::infinity();
    strokeAtVertex(1, 5, 5);
    EXPECT_EQ(heights(), std::vector<float>(144, float(256.0 + 3.84)));
    EXPECT_EQ(dirty(), std::vector<int>({0, 0, 11, 11}));

    SetUp();
    editor.brushWidth = std::numeric_limits<float>::max();
    strokeAt(6, 1.0e9, -1.0e9);
    EXPECT_EQ(dirty(), std::vector<int>({0, 0, 1023, 1023}));
}

TEST_F(ToolTest, AStrokeIsOneUndoEntryAndOnlyWhenItChangedSomething)
{
    const BrushStamp black{1, 1, {0.0f}};
    for (int op : {1, 5}) {
        SetUp();
        auto data = [op] { return op < 5 ? heights() : editor.terrain.distribution; };
        const std::vector<float> before = data();
        // Strokes that change no value leave the history alone, redo list
        // included: a frame without the left button, a black stamp, and
        // (height tools) the cursor over the sky beyond the grid.
        strokeAt(op, 160.0, 160.0, 256.0, 4);
        endStroke();
        editor.stamps = {black};
        editor.currentStamp = 0;
        strokeAt(op, 160.0, 160.0);
        endStroke();
        editor.stamps.clear();
        if (op < 5) { // the paint tools act at the nearest edge instead
            strokeAt(op, 1.0e12, 160.0, 1.0e12);
            endStroke();
        }
        applyBrush(1); // released
        EXPECT_EQ(undoCount(), 0) << op;
        EXPECT_TRUE(data() == before);

        strokeAt(op, 160.0, 160.0);
        applyPick(288.0, 64.0, 256.0);
        applyBrush(1);
        const std::vector<float> after = data();
        endStroke();
        ASSERT_EQ(undoCount(), 1);
        undo();
        EXPECT_TRUE(data() == before) << op;
        strokeAt(op, 160.0, 160.0, 256.0, 4);
        endStroke();
        EXPECT_EQ(redoCount(), 1) << "a stroke that changed nothing keeps the redo list";
        redo();
        EXPECT_TRUE(data() == after) << op;
    }
}

TEST_F(ToolTest, NoToolActsWithoutACopyOfTheDataItChanges)
{
    strokeAtVertex(1, 5, 5);
    editor.currentOp = 5; // a texture tool behind a height stroke's back
    applyBrush(1);
    EXPECT_EQ(texel(426, 426)[0], 0.3f);

    // The grid reshaped while the copy is held (same vertex count): the copy
    // is neither applied to it nor recorded from it.
    const std::vector<float> raised = heights();
    editor.terrain.gridX = 16;
    editor.terrain.gridY = 9;
    editor.currentOp = 1;
    applyBrush(1);
    EXPECT_EQ(heights(), raised);
    endStroke();
    EXPECT_EQ(undoCount(), 0);
}

} // namespace
