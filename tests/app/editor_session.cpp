// The editor as a user meets it: start-up, frames, keys, a resize, quitting.
#include <gtest/gtest.h>

#include <SDL.h>

#include "app/editor_state.h"
#include "app/progress_display.h"
#include "ops/commands.h"
#include "support/session.h"

namespace {

class EditorSession : public SessionTest {};

// Mean colour and count of near-white (text) pixels of a rectangle of the
// last frame, y down, corners included.
struct Region {
    std::array<double, 3> mean{};
    int bright = 0;
};

Region scan(int x0, int y0, int x1, int y1)
{
    const std::vector<uint8_t> frame = readFrame();
    Region region;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const uint8_t* p = &frame[(size_t(editor.windowHeight - 1 - y) * size_t(editor.windowWidth) + size_t(x)) * 3];
            for (int i = 0; i < 3; ++i) region.mean[size_t(i)] += p[i] / double((x1 - x0 + 1) * (y1 - y0 + 1));
            region.bright += p[0] > 200 && p[1] > 200 && p[2] > 200;
        }
    return region;
}

TEST_F(EditorSession, StatusPanelHelpScreenAndHudHint)
{
    // The translucent dark-blue panel tints what lies under it towards blue.
    stepFrames(1);
    const auto panel = scan(150, 3, 240, 12).mean;
    EXPECT_GT(panel[2], panel[0] + 10) << "blue tint of the status panel";
    EXPECT_GT(scan(10, 8, 150, 24).bright, 20) << "\"Smooth Brush: ON\" is drawn";

    // Help screen while F1 is held: a green panel in the window's middle.
    holdKey(SDLK_F1, true);
    stepFrames(1);
    const auto help = scan(400 - 200, 300 - 200, 400 + 200, 300 - 170).mean;
    EXPECT_GT(help[1], 2 * help[0]) << "green help panel";
    EXPECT_GT(scan(400 - 90, 300 - 220, 400 + 100, 300 - 200).bright, 40) << "its title";
    holdKey(SDLK_F1, false);
    stepFrames(1);
    const auto noHelp = scan(400 - 200, 300 - 200, 400 + 200, 300 - 170).mean;
    EXPECT_GT(noHelp[0], help[0] + 20) << "gone once F1 is released";

    // HUD off: the hint at the bottom left, and no status panel.
    pressKey(SDLK_TAB);
    EXPECT_EQ(editor.hudVisible, 0);
    stepFrames(1);
    EXPECT_GT(scan(5, 585, 200, 598).bright, 20) << "\"Press Tab to toggle HUD\"";
    EXPECT_EQ(scan(10, 8, 150, 24).bright, 0) << "status lines hidden";
    holdKey(SDLK_TAB, true);
    stepFrames(1);
    EXPECT_EQ(scan(5, 585, 200, 598).bright, 0) << "the hint hides while Tab is held";
    holdKey(SDLK_TAB, false);
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

// A long command draws its progress and keeps the window answering: the quit
// request that arrives meanwhile is kept for afterwards, other input is
// dropped, and the command finishes. (The delay is lowered so that a small
// grid's command counts as long.)
TEST_F(EditorSession, LongCommandShowsProgressIgnoresInputAndQuitsAfterwards)
{
    setProgressDelay(0);
    const int pictures = progressPicturesDrawn();
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_2; // would select Raise
    SDL_PushEvent(&event);
    event = SDL_Event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    commandIncreaseDetail();
    setProgressDelay(300);
    EXPECT_GT(progressPicturesDrawn(), pictures);
    EXPECT_TRUE(editor.quitRequested);
    EXPECT_EQ(editor.currentOp, kToolCarve);
    EXPECT_EQ(editor.terrain.gridX, 129);
    // The last picture is the full bar across the middle of the window.
    const std::array<uint8_t, 3> bar = pixelAt(editor.windowWidth / 2 + 160, editor.windowHeight / 2 + 12);
    EXPECT_GT(bar[1], 150);
    EXPECT_LT(bar[0], 120);

    // A second command straight after keeps the first one's backdrop: the
    // picture behind the bar does not grow darker with each command.
    const std::array<uint8_t, 3> behind = pixelAt(editor.windowWidth / 2, 30);
    setProgressDelay(0);
    commandDecreaseDetail();
    setProgressDelay(300);
    EXPECT_EQ(editor.terrain.gridX, 65);
    EXPECT_EQ(pixelAt(editor.windowWidth / 2, 30), behind);
}

} // namespace
