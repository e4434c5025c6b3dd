#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "sculpt/picking.h"
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

TEST_F(PaletteTest, TooltipFlipsAtTheRightBorder)
{
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
    selectTool(1);
    applyPick(0.0, 0.0, 256.0); // on the corner vertex
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

TEST_F(PaletteTest, ButtonsTakeClicksOnTheirEdgesAndAct)
{
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
    EXPECT_TRUE(clickPalette(994, 388)); // "Invert Terrain" on a flat terrain is refused, and says so
    EXPECT_EQ(editor.statusMessage.rfind("Invert Terrain refused", 0), 0u) << editor.statusMessage;
    createButton(nullptr, 300, 300, 340, 340, 0, nullptr, nullptr);
    EXPECT_TRUE(clickPalette(320, 320)) << "a button without an action still takes the click";
}

} // namespace
