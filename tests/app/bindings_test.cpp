#include <gtest/gtest.h>

#include <SDL.h>

#include "app/editor_state.h"
#include "app/main_loop.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

namespace {

class BindingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeFlatTerrain(9, 9);
        editor.strokeActive = 0;
    }
};

TEST_F(BindingsTest, TogglesAndSettings)
{
    struct Case {
        int sym;
        uint32_t mod;
        const char* what;
        float EditorState::*field; // a float setting, or null for a switch
        uint8_t EditorState::*flag;
        float expected;
    };
    const Case cases[] = {
        {SDLK_b, 0, "B smooth brush", nullptr, &EditorState::smoothBrush, 0},
        {SDLK_n, 0, "N normals", nullptr, &EditorState::showNormals, 1},
        {SDLK_p, KMOD_LCTRL, "P level plane, any modifier", nullptr, &EditorState::showLevelPlane, 1},
        {SDLK_l, 0, "L wireframe", nullptr, &EditorState::wireframe, 1},
        {SDLK_F2, 0, "F2 texturing", nullptr, &EditorState::texturingOn, 0},
        {SDLK_F3, 0, "F3 fps", nullptr, &EditorState::showFps, 1},
        {SDLK_F4, 0, "F4 shadows", nullptr, &EditorState::shadowsOn, 0},
        {SDLK_TAB, 0, "Tab HUD", nullptr, &EditorState::hudVisible, 0},
        {SDLK_EQUALS, 0, "= widens", &EditorState::brushWidth, nullptr, 96.0f * 1.15f},
        {SDLK_PLUS, KMOD_LSHIFT, "Shift + widens more", &EditorState::brushWidth, nullptr, 96.0f * 1.3f},
        {SDLK_KP_MINUS, 0, "keypad - narrows", &EditorState::brushWidth, nullptr, 96.0f / 1.15f},
        {SDLK_MINUS, KMOD_RSHIFT, "Shift - narrows more", &EditorState::brushWidth, nullptr, 96.0f / 1.3f},
        {SDLK_KP_PLUS, KMOD_LCTRL, "Ctrl + strength", &EditorState::brushStrength, nullptr, 1.55f},
        {SDLK_EQUALS, KMOD_LCTRL | KMOD_LSHIFT, "Ctrl Shift + strength", &EditorState::brushStrength, nullptr, 1.7f},
        {SDLK_MINUS, KMOD_RCTRL, "Ctrl - strength", &EditorState::brushStrength, nullptr, 1.45f},
    };
    for (const Case& c : cases) {
        makeFlatTerrain(9, 9);
        handleKeyDown(c.sym, c.mod);
        if (c.field != nullptr)
            EXPECT_FLOAT_EQ(editor.*c.field, c.expected) << c.what;
        else
            EXPECT_EQ(editor.*c.flag, uint8_t(c.expected)) << c.what;
    }
}

TEST_F(BindingsTest, LimitsQuitAndEscape)
{
    editor.brushStrength = 0.06f;
    handleKeyDown(SDLK_MINUS, KMOD_LCTRL);
    EXPECT_FLOAT_EQ(editor.brushStrength, 0.05f);
    for (int i = 0; i < 40; ++i) handleKeyDown(SDLK_MINUS, 0);
    EXPECT_LT(editor.brushWidth, 1.0f) << "the key has no floor";

    handleKeyDown(SDLK_ESCAPE, 0);
    EXPECT_FALSE(editor.quitRequested) << "Escape never quits";
    handleKeyDown(SDLK_F4, KMOD_LALT);
    EXPECT_TRUE(editor.quitRequested);
}

TEST_F(BindingsTest, ToolKeysAndTextureKeys)
{
    handleKeyDown(SDLK_4, 0);
    EXPECT_EQ(editor.currentOp, 3);
    handleKeyDown(SDLK_F6, 0);
    EXPECT_EQ(editor.paintTexture, 1);
    EXPECT_EQ(editor.currentOp, 5) << "choosing a texture selects Paint";
    handleKeyDown(SDLK_8, 0);
    EXPECT_EQ(editor.currentOp, 5) << "no number key for Smooth Texture";
}

TEST_F(BindingsTest, UndoWaitsForTheFirstReleaseAndTheHeldButton)
{
    pushWholeGridSnapshot(kUndoPositions);
    heightAt(1, 1) = 99.0f;
    editor.strokeActive = 1; // as at start-up, or while the left button is held
    handleKeyDown(SDLK_z, KMOD_LCTRL);
    EXPECT_EQ(heightAt(1, 1), 99.0f);
    editor.strokeActive = 0;
    handleKeyDown(SDLK_z, 0);
    EXPECT_EQ(heightAt(1, 1), 99.0f) << "Z without Ctrl does nothing";
    handleKeyDown(SDLK_z, KMOD_RCTRL);
    EXPECT_EQ(heightAt(1, 1), 256.0f);
    handleKeyDown(SDLK_y, KMOD_LCTRL);
    EXPECT_EQ(heightAt(1, 1), 99.0f);
}

TEST_F(BindingsTest, GridAndScaleKeysRecordTheirEntry)
{
    handleKeyDown(SDLK_RIGHTBRACKET, 0);
    EXPECT_EQ(editor.terrain.blockWidth, 64.0f);
    handleKeyDown(SDLK_RIGHTBRACKET, KMOD_LCTRL);
    EXPECT_EQ(editor.terrain.heightScale, 768.0f);
    handleKeyDown(SDLK_PAGEUP, 0);
    EXPECT_EQ(editor.terrain.gridX, 11);
    handleKeyDown(SDLK_PAGEUP, KMOD_LCTRL | KMOD_LSHIFT);
    EXPECT_EQ(editor.terrain.gridY, 17);
    EXPECT_EQ(undoCount(), 4);
    for (int i = 0; i < 4; ++i) handleKeyDown(SDLK_z, KMOD_LCTRL);
    EXPECT_EQ(editor.terrain.gridX, 9);
    EXPECT_EQ(editor.terrain.gridY, 9);
    EXPECT_EQ(editor.terrain.blockWidth, 32.0f);
    EXPECT_EQ(editor.terrain.heightScale, 512.0f);
}

TEST_F(BindingsTest, PromptTakesTheKeysWhileOpen)
{
    editor.promptKind = 3;
    handleKeyDown(SDLK_1, 0);
    EXPECT_EQ(editor.currentOp, 0) << "digits are typed, not tools";
    EXPECT_STREQ(editor.promptText, "1");
    handleKeyDown(SDLK_TAB, 0);
    EXPECT_EQ(editor.hudVisible, 0) << "Tab works while a prompt is open";
    handleKeyDown(SDLK_ESCAPE, 0);
    EXPECT_EQ(editor.promptKind, 0);
    EXPECT_STREQ(editor.promptText, "");
}

TEST_F(BindingsTest, CtrlNReplacesTheTerrainAfterEndingAHeldStroke)
{
    handleKeyDown(SDLK_n, KMOD_LCTRL);
    EXPECT_EQ(editor.terrain.gridX, 65);
    EXPECT_EQ(undoCount(), 0);
}

} // namespace
