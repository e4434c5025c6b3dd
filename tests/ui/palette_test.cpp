#include <gtest/gtest.h>

#include "sculpt/picking.h"
#include "sculpt/stroke.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"
#include "ui/palette.h"

namespace {

int gClicks = 0;
void countClick() { ++gClicks; }

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeFlatTerrain(9, 9, 256.0f);
        gClicks = 0;
    }
    // The eight tool buttons in two rows, as the palette lays them out.
    static void makeToolButtons()
    {
        for (int tool = 0; tool < 8; ++tool) {
            editor.toolButtons[size_t(tool)] = createButton(nullptr, 10 + 50 * tool, 500, 50 + 50 * tool, 540, 0,
                                                            nullptr, "tool");
        }
    }
    static const Button& toolButton(int tool) { return editor.buttons[size_t(editor.toolButtons[size_t(tool)])]; }
};

TEST_F(PaletteTest, ClicksHitEdgesAndMissOutside)
{
    ASSERT_EQ(createButton("C", 10, 20, 50, 60, 0, countClick, "Count"), 0);
    ASSERT_EQ(createButton(nullptr, 100, 20, 140, 60, 0, nullptr, nullptr), 1);
    struct Case { int x, y; bool taken; int clicks; } cases[] = {
        {10, 20, true, 1}, {50, 60, true, 1}, {10, 60, true, 1}, {30, 40, true, 1},
        {9, 40, false, 0}, {51, 40, false, 0}, {30, 19, false, 0}, {30, 61, false, 0},
        {120, 40, true, 0}, // a button without an action still takes the click
    };
    for (const Case& c : cases) {
        gClicks = 0;
        EXPECT_EQ(clickPalette(c.x, c.y), c.taken) << c.x << ", " << c.y;
        EXPECT_EQ(gClicks, c.clicks) << c.x << ", " << c.y;
    }

    // Hidden buttons still take clicks.
    editor.hudVisible = 0;
    gClicks = 0;
    EXPECT_TRUE(clickPalette(30, 40));
    EXPECT_EQ(gClicks, 1);
}

TEST_F(PaletteTest, TableHoldsThirtyTwoButtonsAndClearsToEmpty)
{
    for (int i = 0; i < kButtonSlots; ++i) EXPECT_EQ(createButton("x", 0, 0, 1, 1, 0, nullptr, nullptr), i);
    EXPECT_EQ(createButton("x", 0, 0, 1, 1, 0, nullptr, nullptr), -1);
    const Button& first = editor.buttons[0];
    EXPECT_TRUE(first.hasCaption);
    EXPECT_FALSE(first.hasTooltip);
    EXPECT_EQ(first.r, 1.0f);
    clearButtons();
    EXPECT_FALSE(clickPalette(0, 0));
    EXPECT_EQ(createButton(nullptr, 0, 0, 1, 1, 0, nullptr, nullptr), 0);
}

TEST_F(PaletteTest, AlphaFadesWithDistanceAndTooltipFlipsAtTheRightBorder)
{
    struct AlphaCase { float distance, alpha; } alphas[] = {{0, 1.0f}, {60, 0.8f}, {120, 0.6f}, {300, 0.6f}, {5000, 0.6f}};
    for (const AlphaCase& c : alphas) EXPECT_NEAR(buttonAlpha(c.distance), c.alpha, 1e-6) << c.distance;

    // "Carve": 5 characters, 40 pixels. Fits while mx < 800 - 40.
    const TooltipPlacement right = placeTooltip(759, 300, 5, 800);
    EXPECT_EQ(right.x1, 757);
    EXPECT_EQ(right.x2, 801);
    EXPECT_EQ(right.y1, 302);
    EXPECT_EQ(right.y2, 285);
    EXPECT_EQ(right.textX, 759.0f);
    EXPECT_EQ(right.textY, 300.0f);
    const TooltipPlacement left = placeTooltip(760, 300, 5, 800);
    EXPECT_EQ(left.x1, 716);
    EXPECT_EQ(left.x2, 760);
    EXPECT_EQ(left.y1, 302);
    EXPECT_EQ(left.y2, 285);
    EXPECT_EQ(left.textX, 718.0f);
    EXPECT_EQ(left.textY, 298.0f);
}

TEST_F(PaletteTest, SelectingAToolRecoloursTheToolButtons)
{
    makeToolButtons();
    selectTool(3);
    EXPECT_EQ(editor.currentOp, 3);
    for (int tool = 0; tool < 8; ++tool) {
        EXPECT_EQ(toolButton(tool).g, tool == 3 ? 1.0f : 0.5f) << tool;
        EXPECT_EQ(toolButton(tool).r, 0.0f);
    }
    selectTool(8); // no such tool
    EXPECT_EQ(editor.currentOp, 3);
}

TEST_F(PaletteTest, ChooseTextureSelectsPaintUnlessAlreadyPaint)
{
    makeToolButtons();
    struct Case { int startOp; int texture; int op; } cases[] = {{0, 1, 5}, {5, 2, 5}, {6, 0, 5}, {7, 1, 5}};
    for (const Case& c : cases) {
        selectTool(c.startOp);
        chooseTexture(c.texture);
        EXPECT_EQ(editor.paintTexture, c.texture);
        EXPECT_EQ(editor.currentOp, c.op);
        EXPECT_EQ(toolButton(5).g, 1.0f);
    }
    chooseTexture(3);
    EXPECT_EQ(editor.paintTexture, 1) << "no such texture";
}

TEST_F(PaletteTest, SwitchingToolFamilyMidStrokeRecordsTheStroke)
{
    makeToolButtons();
    editor.smoothBrush = 0;
    applyPick(128.0, 128.0, 256.0);
    selectTool(1);
    beginStroke();
    applyBrush(1);
    selectTool(2); // same family: the stroke goes on
    EXPECT_EQ(undoCount(), 0);
    EXPECT_TRUE(editor.hasVertexSnapshot);
    applyBrush(1);

    selectTool(5); // other family: ended with its entry
    EXPECT_EQ(undoCount(), 1);
    EXPECT_FALSE(editor.hasVertexSnapshot);
    EXPECT_EQ(editor.strokeActive, 0);
    const std::vector<float> map = editor.terrain.distribution;
    applyBrush(1); // button still down: Paint waits for the next press
    EXPECT_TRUE(editor.terrain.distribution == map);

    beginStroke();
    applyBrush(1);
    chooseTexture(2); // stays Paint: the texture stroke goes on
    EXPECT_TRUE(editor.hasDistributionSnapshot);
    selectTool(0);
    EXPECT_EQ(undoCount(), 2);
    EXPECT_EQ(editor.undoStack.undoList.back().kind, kUndoDistribution);
}

} // namespace

namespace {

// Slot of the button whose tooltip is `tooltip` (the n-th such, from 0).
int gFileAction = 0;
template <int kind> void recordFileAction() { gFileAction = kind; }

int slotOf(const char* tooltip, int n = 0)
{
    for (int slot = 0; slot < kButtonSlots; ++slot) {
        const Button& b = editor.buttons[size_t(slot)];
        if (b.inUse && b.tooltip == tooltip && n-- == 0) return slot;
    }
    return -1;
}

TEST_F(PaletteTest, BuiltPaletteFollowsTheWindowSize)
{
    editor.windowWidth = 1024;
    editor.windowHeight = 768;
    editor.currentOp = 6;
    editor.promptKind = 3;
    editor.stamps.resize(2);
    editor.stamps[0].next = 1;
    editor.stamps[1].previous = 0;
    editor.currentStamp = 0;
    buildPalette({recordFileAction<1>, recordFileAction<2>, recordFileAction<3>, recordFileAction<4>,
                  recordFileAction<5>});
    EXPECT_EQ(editor.currentOp, 0);

    struct Case { const char* tooltip; int n; float x1, y1, x2, y2; const char* caption; } cases[] = {
        {"Choose Texture", 0, 10, 548, 60, 598, ""},   {"Choose Texture", 2, 130, 548, 180, 598, ""},
        {"Carve", 0, 10, 718, 50, 758, nullptr},       {"Flatten", 0, 210, 718, 250, 758, nullptr},
        {"Paint", 0, 10, 668, 50, 708, "P"},           {"Smooth Texture", 0, 110, 668, 150, 708, "S"},
        {"Previous Modifier", 0, 10, 618, 30, 658, "<"}, {"Next Modifier", 0, 90, 618, 110, 658, ">"},
        {"Import Texture", 0, 774, 718, 814, 758, "T"},  {"Export Terrain", 0, 974, 718, 1014, 758, "E"},
        {"Texture by Elevation", 0, 974, 318, 1014, 358, "T"}, {"Decrease Detail 2x", 0, 974, 568, 1014, 608, "D-"},
    };
    for (const Case& c : cases) {
        const int slot = slotOf(c.tooltip, c.n);
        ASSERT_GE(slot, 0) << c.tooltip;
        const Button& b = editor.buttons[size_t(slot)];
        EXPECT_EQ(b.x1, c.x1) << c.tooltip;
        EXPECT_EQ(b.y1, c.y1) << c.tooltip;
        EXPECT_EQ(b.x2, c.x2) << c.tooltip;
        EXPECT_EQ(b.y2, c.y2) << c.tooltip;
        EXPECT_EQ(b.hasCaption, c.caption != nullptr) << c.tooltip;
        if (c.caption) {
            EXPECT_EQ(b.caption, c.caption) << c.tooltip;
        }
    }
    EXPECT_EQ(editor.textureButtons[1], slotOf("Choose Texture", 1));
    EXPECT_EQ(editor.toolButtons[7], slotOf("Smooth Texture"));
    EXPECT_EQ(editor.buttons[size_t(editor.toolButtons[0])].g, 1.0f) << "Carve lit";
    EXPECT_EQ(editor.buttons[size_t(editor.toolButtons[7])].g, 0.5f);

    // The buttons act: texture 2 selects Paint, ">" steps the stamp, and a
    // click while the HUD is hidden still runs the button.
    editor.hudVisible = 0;
    EXPECT_TRUE(clickPalette(130, 548));
    EXPECT_EQ(editor.paintTexture, 2);
    EXPECT_EQ(editor.currentOp, 5);
    EXPECT_TRUE(clickPalette(110, 658));
    EXPECT_EQ(editor.currentStamp, 1);
    EXPECT_TRUE(clickPalette(60, 718)); // "Raise", its top-left corner pixel
    EXPECT_EQ(editor.currentOp, 1);
    EXPECT_FALSE(clickPalette(55, 730)) << "the gap between two buttons";
}

TEST_F(PaletteTest, CreationOrderFollowsTheTableAndFileButtonsRunTheirAction)
{
    buildPalette({recordFileAction<1>, recordFileAction<2>, recordFileAction<3>, recordFileAction<4>,
                  recordFileAction<5>});
    const char* const order[24] = {
        "Choose Texture", "Choose Texture", "Choose Texture", "Carve", "Raise", "Smooth", "Noise", "Flatten",
        "Paint", "Erase", "Smooth Texture", "Import Texture", "Load Terrain", "Save Terrain", "Import Heightmap",
        "Export Terrain", "Texture by Elevation", "Invert Terrain", "Generate Random", "Erosion",
        "Increase Detail 2x", "Decrease Detail 2x", "Previous Modifier", "Next Modifier"};
    for (int i = 0; i < 24; ++i) EXPECT_EQ(editor.buttons[size_t(i)].tooltip, order[i]) << "slot " << i;
    EXPECT_EQ(editor.buttons[24].inUse, 0);
    const Button& save = editor.buttons[size_t(editor.fileButtons[2])];
    EXPECT_TRUE(clickPalette(int(save.x1), int(save.y2)));
    EXPECT_EQ(gFileAction, 3);
}

} // namespace
