#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "sculpt/stroke.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"
#include "ui/palette.h"

namespace {

int gAction = 0;
template <int kind> void recordAction() { gAction = kind; }

// The palette built for a 1024 x 768 window over a flat terrain; the five
// file buttons record 1 .. 5.
class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeFlatTerrain(9, 9, 256.0f);
        editor.windowWidth = 1024;
        editor.windowHeight = 768;
        editor.currentOp = 6;
        buildPalette({recordAction<1>, recordAction<2>, recordAction<3>, recordAction<4>, recordAction<5>});
    }
    static const Button& toolButton(int tool) { return editor.buttons[size_t(editor.toolButtons[size_t(tool)])]; }
};

TEST_F(PaletteTest, AlphaFadesWithDistanceAndTooltipFlipsAtTheRightBorder)
{
    struct AlphaCase { float distance, alpha; } alphas[] = {{0, 1.0f}, {60, 0.8f}, {120, 0.6f}, {300, 0.6f}};
    for (const AlphaCase& c : alphas) EXPECT_NEAR(buttonAlpha(c.distance), c.alpha, 1e-6) << c.distance;
    // "Carve": 5 characters, 40 pixels; fits while mx < 800 - 40.
    const TooltipPlacement r = placeTooltip(759, 300, 5, 800), l = placeTooltip(760, 300, 5, 800);
    EXPECT_EQ(std::tie(r.x1, r.y1, r.x2, r.y2, r.textX, r.textY), std::make_tuple(757, 302, 801, 285, 759.0f, 300.0f));
    EXPECT_EQ(std::tie(l.x1, l.y1, l.x2, l.y2, l.textX, l.textY), std::make_tuple(716, 302, 760, 285, 718.0f, 298.0f));
}

TEST_F(PaletteTest, ChooseTextureSelectsPaintAndAFamilySwitchEndsTheHeldStroke)
{
    for (int startOp : {0, 5, 6, 7}) {
        selectTool(startOp);
        chooseTexture(startOp % 3);
        EXPECT_EQ(std::make_pair(editor.currentOp, editor.paintTexture), std::make_pair(5, startOp % 3));
        EXPECT_EQ(toolButton(5).g, 1.0f);
    }
    selectTool(1); // the pick rests on the corner (0, 0)
    beginStroke();
    applyBrush(1);
    selectTool(2); // same family: the stroke goes on
    EXPECT_TRUE(editor.hasVertexSnapshot);
    selectTool(5); // the other family: the stroke ends with its entry
    EXPECT_EQ(undoCount(), 1);
    const std::vector<float> map = editor.terrain.distribution;
    applyBrush(1); // the button is still down: Paint waits for the next press
    EXPECT_TRUE(editor.terrain.distribution == map);
    beginStroke();
    applyBrush(1);
    selectTool(0);
    EXPECT_EQ(undoCount(), 2);
}

TEST_F(PaletteTest, CreationOrderAndLayoutFollowTheTableAndTheButtonsAct)
{
    struct Case { const char* tooltip; const char* caption; float x1, y1, x2, y2; } order[24] = {
        {"Choose Texture", "", 10, 548, 60, 598},          {"Choose Texture", "", 70, 548, 120, 598},
        {"Choose Texture", "", 130, 548, 180, 598},        {"Carve", nullptr, 10, 718, 50, 758},
        {"Raise", nullptr, 60, 718, 100, 758},             {"Smooth", nullptr, 110, 718, 150, 758},
        {"Noise", nullptr, 160, 718, 200, 758},            {"Flatten", nullptr, 210, 718, 250, 758},
        {"Paint", "P", 10, 668, 50, 708},                  {"Erase", "E", 60, 668, 100, 708},
        {"Smooth Texture", "S", 110, 668, 150, 708},       {"Import Texture", "T", 774, 718, 814, 758},
        {"Load Terrain", "L", 824, 718, 864, 758},         {"Save Terrain", "S", 874, 718, 914, 758},
        {"Import Heightmap", "I", 924, 718, 964, 758},     {"Export Terrain", "E", 974, 718, 1014, 758},
        {"Texture by Elevation", "T", 974, 318, 1014, 358}, {"Invert Terrain", "I", 974, 368, 1014, 408},
        {"Generate Random", "R", 974, 418, 1014, 458},     {"Erosion", "E", 974, 468, 1014, 508},
        {"Increase Detail 2x", "D+", 974, 518, 1014, 558}, {"Decrease Detail 2x", "D-", 974, 568, 1014, 608},
        {"Previous Modifier", "<", 10, 618, 30, 658},      {"Next Modifier", ">", 90, 618, 110, 658}};
    for (int i = 0; i < 24; ++i) {
        const Button& b = editor.buttons[size_t(i)];
        EXPECT_EQ(b.tooltip, order[i].tooltip) << "slot " << i;
        EXPECT_STREQ(b.hasCaption ? b.caption.c_str() : nullptr, order[i].caption) << order[i].tooltip;
        EXPECT_EQ(std::vector<float>({b.x1, b.y1, b.x2, b.y2}),
                  std::vector<float>({order[i].x1, order[i].y1, order[i].x2, order[i].y2})) << order[i].tooltip;
    }
    EXPECT_EQ(editor.buttons[24].inUse, 0);
    EXPECT_EQ(std::make_pair(editor.currentOp, toolButton(0).g), std::make_pair(0, 1.0f)) << "Carve chosen and lit";

    // Edges hit, one pixel outside misses; hidden buttons still take clicks.
    editor.hudVisible = 0;
    struct Click { int x, y; bool taken; } clicks[] = {{10, 718, true}, {50, 758, true}, {10, 758, true},
        {9, 730, false}, {51, 730, false}, {30, 717, false}, {30, 759, false}};
    for (const Click& c : clicks) {
        editor.currentOp = 6;
        EXPECT_EQ(clickPalette(c.x, c.y), c.taken) << c.x << ", " << c.y;
        EXPECT_EQ(editor.currentOp, c.taken ? 0 : 6) << c.x << ", " << c.y;
    }
    editor.stamps.resize(2);
    editor.currentStamp = 0;
    EXPECT_TRUE(clickPalette(130, 548)); // third texture: Paint with it
    EXPECT_EQ(std::make_pair(editor.paintTexture, editor.currentOp), std::make_pair(2, 5));
    EXPECT_TRUE(clickPalette(30, 658)); // "<" from the first stamp wraps to the last
    EXPECT_EQ(editor.currentStamp, 1);
    EXPECT_TRUE(clickPalette(874, 758)); // "Save Terrain" runs its file action
    EXPECT_EQ(gAction, 3);
    createButton(nullptr, 300, 300, 340, 340, 0, nullptr, nullptr);
    EXPECT_TRUE(clickPalette(320, 320)) << "a button without an action still takes the click";
}

} // namespace
