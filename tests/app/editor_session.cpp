// The editor as a user meets it: start-up, frames, keys, a resize, quitting.
#include <gtest/gtest.h>

#include <SDL.h>

#include "app/editor_state.h"
#include "support/session.h"

namespace {

class EditorSession : public SessionTest {};

// Mean colour of a rectangle of the last frame.
std::array<double, 3> meanColour(int x0, int y0, int x1, int y1)
{
    std::array<double, 3> sum{};
    int count = 0;
    for (int y = y0; y <= y1; y += 3) {
        for (int x = x0; x <= x1; x += 3) {
            const auto p = pixelAt(x, y);
            for (int i = 0; i < 3; ++i) sum[size_t(i)] += p[size_t(i)];
            ++count;
        }
    }
    for (double& s : sum) s /= count;
    return sum;
}

// Pixels of the rectangle that are near white (text).
int brightPixels(int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const auto p = pixelAt(x, y);
            if (p[0] > 200 && p[1] > 200 && p[2] > 200) ++count;
        }
    return count;
}

TEST_F(EditorSession, StartsWithTheDefaultDocumentAndView)
{
    EXPECT_EQ(editor.windowWidth, 800);
    EXPECT_EQ(editor.windowHeight, 600);
    EXPECT_EQ(editor.terrain.gridX, 65);
    EXPECT_EQ(editor.camera.position[2], 1512.0f);
    char* caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    EXPECT_STREQ(caption, "Brivel Terrain Editor");
    EXPECT_EQ(editor.currentOp, 0);
    EXPECT_GE(editor.frameMillis, 25);
}

TEST_F(EditorSession, StatusPanelHelpScreenAndHudHint)
{
    // The translucent dark-blue panel tints what lies under it towards blue.
    stepFrames(1);
    const auto panel = meanColour(150, 3, 240, 12);
    EXPECT_GT(panel[2], panel[0] + 10) << "blue tint of the status panel";
    EXPECT_GT(brightPixels(10, 8, 150, 24), 20) << "\"Smooth Brush: ON\" is drawn";

    // Help screen while F1 is held: a green panel in the window's middle.
    holdKey(SDLK_F1, true);
    stepFrames(1);
    const auto help = meanColour(400 - 200, 300 - 200, 400 + 200, 300 - 170);
    EXPECT_GT(help[1], 2 * help[0]) << "green help panel";
    EXPECT_GT(help[1], 2 * help[2]);
    EXPECT_GT(brightPixels(400 - 90, 300 - 220, 400 + 100, 300 - 200), 40) << "its title";
    holdKey(SDLK_F1, false);
    stepFrames(1);
    const auto noHelp = meanColour(400 - 200, 300 - 200, 400 + 200, 300 - 170);
    EXPECT_GT(noHelp[0], help[0] + 20) << "gone once F1 is released";

    // HUD off: the hint at the bottom left, and no status panel.
    pressKey(SDLK_TAB);
    EXPECT_EQ(editor.hudVisible, 0);
    stepFrames(1);
    EXPECT_GT(brightPixels(5, 585, 200, 598), 20) << "\"Press Tab to toggle HUD\"";
    EXPECT_EQ(brightPixels(10, 8, 150, 24), 0) << "status lines hidden";
    holdKey(SDLK_TAB, true);
    stepFrames(1);
    EXPECT_EQ(brightPixels(5, 585, 200, 598), 0) << "the hint hides while Tab is held";
    holdKey(SDLK_TAB, false);
}

TEST_F(EditorSession, ResizeKeepsTheDocumentAndRebuildsThePalette)
{
    editor.terrain.vertices[100].position[2] = 400.0f;
    editor.paintTexture = 2;
    editor.currentOp = 3;
    editor.camera.position[0] = 123.0f;
    editor.wireframe = 1;
    resizeWindow(1024, 768);
    EXPECT_EQ(editor.windowWidth, 1024);
    EXPECT_EQ(editor.windowHeight, 768);
    EXPECT_EQ(editor.terrain.vertices[100].position[2], 400.0f);
    EXPECT_EQ(editor.terrain.gridX, 65);
    EXPECT_EQ(editor.paintTexture, 2);
    EXPECT_EQ(editor.currentOp, 0) << "the rebuilt palette selects Carve";
    EXPECT_EQ(editor.camera.position[0], 123.0f);
    EXPECT_EQ(editor.wireframe, 1);
    EXPECT_NE(editor.terrain.distributionTexture, 0u);
    const Button& exportButton = editor.buttons[size_t(editor.fileButtons[4])];
    EXPECT_EQ(exportButton.x1, 974.0f);
    EXPECT_EQ(exportButton.y1, 718.0f);
    EXPECT_EQ(exportButton.x2, 1014.0f);
    EXPECT_EQ(exportButton.y2, 758.0f);
    stepFrames(2);
    const auto panel = meanColour(150, 3, 240, 12);
    EXPECT_GT(panel[2], panel[0] + 10) << "still drawing after the resize";
}

TEST_F(EditorSession, WheelStepsFollowTheBlockWidthAndStopAtOne)
{
    pressMouse(4, 400, 300); // wheel up: an eighth of a block
    stepFrames(1);
    EXPECT_FLOAT_EQ(editor.brushWidth, 96.0f + 4.0f);
    for (int i = 0; i < 30; ++i) pressMouse(5, 400, 300);
    stepFrames(1);
    EXPECT_FLOAT_EQ(editor.brushWidth, 1.0f);
}

TEST_F(EditorSession, AltF4AndClosingTheWindowQuitButEscapeDoesNot)
{
    pressKey(SDLK_ESCAPE);
    EXPECT_FALSE(editor.quitRequested);
    pressKey(SDLK_F4, KMOD_LALT);
    EXPECT_TRUE(editor.quitRequested);
    editor.quitRequested = false;
    SDL_Event close{};
    close.type = SDL_QUIT;
    SDL_PushEvent(&close);
    stepFrames(1);
    EXPECT_TRUE(editor.quitRequested);
}

} // namespace
