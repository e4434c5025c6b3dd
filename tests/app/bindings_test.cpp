#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

#include "app/editor_state.h"
#include "app/main_loop.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

namespace {

// An edit of vertex (1,1) to 99, recorded.
void editVertex()
{
    pushWholeGridSnapshot(kUndoPositions);
    heightAt(1, 1) = 99.0f;
}

// Each case starts from a flat 9 x 9 terrain, no stroke held, runs `before`,
// presses the key and compares `value` and the number of undo entries.
TEST(Bindings, KeysChangeTheEditorState)
{
    using Hook = void (*)();
    using Value = float (*)();
    const Hook none = [] {};
    const Value height = [] { return heightAt(1, 1); };
    const Value op = [] { return float(editor.currentOp); };
    const Value width = [] { return editor.brushWidth; };
    const Value strength = [] { return editor.brushStrength; };
    const Value gridY = [] { return float(editor.terrain.gridY); };
    const Value gridX = [] { return float(editor.terrain.gridX); };
    const Value blockWidth = [] { return editor.terrain.blockWidth; };
    const Value text = [] { return float(editor.promptText[0]); };
    const Hook widen = [] { handleKeyDown(SDLK_RIGHTBRACKET, 0); };
    const Hook prompt = [] { editor.promptKind = 3; };
    const Hook typed = [] { editor.promptKind = 3; std::strcpy(editor.promptText, "ab"); };
    const Hook heldStroke = [] { editVertex(); editor.strokeActive = 1; };
    struct Case {
        const char* what;
        int sym;
        uint32_t mod;
        Hook before;
        Value value;
        float expected;
        int undos;
    };
    const Case cases[] = {
        {"B smooth brush", SDLK_b, 0, none, [] { return float(editor.smoothBrush); }, 0, 0},
        {"N normals", SDLK_n, 0, none, [] { return float(editor.showNormals); }, 1, 0},
        {"P level plane, any modifier", SDLK_p, KMOD_LCTRL, none, [] { return float(editor.showLevelPlane); }, 1, 0},
        {"L wireframe", SDLK_l, 0, none, [] { return float(editor.wireframe); }, 1, 0},
        {"F3 fps", SDLK_F3, 0, none, [] { return float(editor.showFps); }, 1, 0},
        {"= widens", SDLK_EQUALS, 0, none, width, 96.0f * 1.15f, 0},
        {"Shift + widens more", SDLK_PLUS, KMOD_LSHIFT, none, width, 96.0f * 1.3f, 0},
        {"keypad - narrows", SDLK_KP_MINUS, 0, none, width, 96.0f / 1.15f, 0},
        {"Shift - narrows more", SDLK_MINUS, KMOD_RSHIFT, none, width, 96.0f / 1.3f, 0},
        {"- has no floor", SDLK_MINUS, 0, [] { editor.brushWidth = 1.0f; }, width, 1.0f / 1.15f, 0},
        {"Ctrl + strength", SDLK_KP_PLUS, KMOD_LCTRL, none, strength, 1.55f, 0},
        {"Ctrl Shift + strength", SDLK_EQUALS, KMOD_LCTRL | KMOD_LSHIFT, none, strength, 1.7f, 0},
        {"Ctrl - strength", SDLK_MINUS, KMOD_RCTRL, none, strength, 1.45f, 0},
        {"strength floor", SDLK_MINUS, KMOD_LCTRL, [] { editor.brushStrength = 0.06f; }, strength, 0.05f, 0},
        {"4 Noise", SDLK_4, 0, none, op, 3, 0},
        {"F6 selects Paint", SDLK_F6, 0, none, op, 5, 0},
        {"F6 texture", SDLK_F6, 0, none, [] { return float(editor.paintTexture); }, 1, 0},
        {"no number key for Smooth Texture", SDLK_8, 0, none, op, 0, 0},
        {"Ctrl+Z refused while a stroke is held", SDLK_z, KMOD_LCTRL, heldStroke, height, 99, 1},
        {"Z without Ctrl", SDLK_z, 0, editVertex, height, 99, 1},
        {"Ctrl+Z undoes", SDLK_z, KMOD_RCTRL, editVertex, height, 256, 0},
        {"Ctrl+Y redoes", SDLK_y, KMOD_LCTRL, [] { editVertex(); undo(); }, height, 99, 1},
        {"] doubles the block width", SDLK_RIGHTBRACKET, 0, none, blockWidth, 64, 1},
        {"Ctrl+] height scale", SDLK_RIGHTBRACKET, KMOD_LCTRL, none, [] { return editor.terrain.heightScale; }, 768, 1},
        {"Page Up adds columns", SDLK_PAGEUP, 0, none, gridX, 11, 1},
        {"Ctrl+Shift+Page Up rows", SDLK_PAGEUP, KMOD_LCTRL | KMOD_LSHIFT, none, gridY, 17, 1},
        {"undo of ] restores the width", SDLK_z, KMOD_LCTRL, widen, blockWidth, 32, 0},
        {"prompt: digits are typed", SDLK_1, 0, prompt, text, '1', 0},
        {"prompt: not tools", SDLK_1, 0, prompt, op, 0, 0},
        {"prompt: Tab still works", SDLK_TAB, 0, prompt, [] { return float(editor.hudVisible); }, 0, 0},
        {"prompt: Escape closes it", SDLK_ESCAPE, 0, prompt, [] { return float(editor.promptKind); }, 0, 0},
        {"prompt: Escape clears the text", SDLK_ESCAPE, 0, typed, text, 0, 0},
        {"Ctrl+N ends a held stroke, new terrain", SDLK_n, KMOD_LCTRL, [] { editVertex(); editor.strokeActive = 1; },
          [] { return float(editor.terrain.gridX); }, 65, 0},
    };
    for (const Case& c : cases) {
        makeFlatTerrain(9, 9);
        editor.strokeActive = 0;
        c.before();
        handleKeyDown(c.sym, c.mod);
        EXPECT_FLOAT_EQ(c.value(), c.expected) << c.what;
        EXPECT_EQ(undoCount(), c.undos) << c.what;
    }
}

} // namespace
