// Strokes, palette clicks and light dragging through real input events.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <array>

#include "app/editor_state.h"
#include "render/frame.h"
#include "support/session.h"
#include "terrain/undo.h"

namespace {

class StrokeSession : public SessionTest {};

float heightSum()
{
    double sum = 0;
    for (const TerrainVertex& v : editor.terrain.vertices) sum += v.position[2];
    return float(sum);
}

TEST_F(StrokeSession, RaiseAtTheCentreThenUndoGivesThePictureBack)
{
    pressKey(SDLK_2); // Raise (its button lights up: select it before the reference picture)
    ASSERT_EQ(editor.currentOp, 1);
    stepFrames(3);
    const std::vector<uint8_t> before = readFrame();
    const float sumBefore = heightSum();

    pressMouse(SDL_BUTTON_LEFT, 400, 300);
    stepFrames(5);
    EXPECT_EQ(editor.strokeActive, 1);
    pressKey(SDLK_z, KMOD_LCTRL); // refused while the button is held
    EXPECT_GT(heightSum(), sumBefore);
    releaseMouse(SDL_BUTTON_LEFT, 400, 300);
    stepFrames(3);
    EXPECT_EQ(undoCount(), 1);
    EXPECT_GT(heightSum(), sumBefore + 100.0f);
    EXPECT_FALSE(readFrame() == before) << "the raised ground shows";

    pressKey(SDLK_z, KMOD_LCTRL);
    EXPECT_EQ(heightSum(), sumBefore);
    stepFrames(3);
    EXPECT_TRUE(readFrame() == before) << "undo restores the picture exactly";
}

// Window pixel (x, y down) showing the ground at world (x, y).
std::array<int, 2> onScreen(float x, float y)
{
    const float point[3] = {x, y, editor.terrain.vertices[0].position[2]};
    double window[3];
    projectPoint(point, window);
    return {int(window[0]), editor.windowHeight - 1 - int(window[1])};
}

int brightness(const std::array<int, 2>& at)
{
    const std::array<uint8_t, 3> rgb = pixelAt(at[0], at[1]);
    return rgb[0] + rgb[1] + rgb[2];
}

TEST_F(StrokeSession, PaintedSnowShowsWhereItWasPaintedWithAndWithoutShadows)
{
    // Straight down on the flat default terrain. The spot at (700, 1300)
    // lies where the map coordinate and the tiling coordinate (which
    // repeats every 256 units) point at different texels of the map.
    editor.camera.position[0] = editor.camera.position[1] = 1024.0f;
    editor.camera.position[2] = 3000.0f;
    editor.camera.angles[kPitch] = 90.0f;
    editor.camera.angles[kYaw] = 0.0f;
    editor.hudVisible = 0;
    editor.smoothBrush = 0;
    pressKey(SDLK_F7); // Paint with snow
    stepFrames(2);
    const std::array<int, 2> spot = onScreen(700, 1300), beside = onScreen(700 + 250, 1300),
                             far = onScreen(1600, 500);
    int before[2][3];
    for (int shadows = 0; shadows < 2; ++shadows) {
        editor.shadowsOn = uint8_t(shadows);
        stepFrames(2);
        for (int i = 0; i < 3; ++i) before[shadows][i] = brightness(i == 0 ? spot : i == 1 ? beside : far);
    }
    editor.shadowsOn = 0;
    moveMouse(spot[0], spot[1]);
    stepFrames(2);
    pressMouse(SDL_BUTTON_LEFT, spot[0], spot[1]);
    stepFrames(40);
    releaseMouse(SDL_BUTTON_LEFT, spot[0], spot[1]);
    stepFrames(1);
    for (int shadows = 0; shadows < 2; ++shadows) {
        SCOPED_TRACE(shadows ? "shadow program" : "standard program");
        editor.shadowsOn = uint8_t(shadows);
        moveMouse(10, 10); // the brush cursor away from the spot
        stepFrames(2);
        EXPECT_GT(brightness(spot), before[shadows][0] + 60) << "snow under the brush";
        EXPECT_NEAR(brightness(beside), before[shadows][1], 6) << "nothing beyond the brush";
        EXPECT_NEAR(brightness(far), before[shadows][2], 6);
    }
}

TEST_F(StrokeSession, ClickOnAToolButtonSelectsItAndStartsNoStroke)
{
    const Button& b = editor.buttons[size_t(editor.toolButtons[3])];
    const int x = int(b.x1) + 5, y = int(b.y1) + 5;
    pressMouse(SDL_BUTTON_LEFT, x, y);
    stepFrames(2);
    EXPECT_EQ(editor.currentOp, 3);
    EXPECT_EQ(editor.strokeActive, 0);
    EXPECT_FALSE(editor.hasVertexSnapshot);
    releaseMouse(SDL_BUTTON_LEFT, x, y);
    stepFrames(1);
    EXPECT_EQ(undoCount(), 0);
}

TEST_F(StrokeSession, PressNearTheLightMarkerDragsTheLight)
{
    // Bring the light into view: in front of the camera, over the terrain.
    const float start[3] = {700.0f, 700.0f, 300.0f};
    std::copy(start, start + 3, editor.lightPosition);
    stepFrames(2);
    double screen[3];
    projectPoint(editor.lightPosition, screen);
    const int x = int(screen[0]), y = editor.windowHeight - int(screen[1]);
    ASSERT_TRUE(x > 0 && x < editor.windowWidth);
    const float colourBefore = editor.terrain.vertices[0].color[0];

    pressMouse(SDL_BUTTON_LEFT, x + 5, y + 5);
    stepFrames(1);
    EXPECT_EQ(editor.lightDragActive, 1);
    moveMouse(x + 60, y - 40);
    stepFrames(2);
    releaseMouse(SDL_BUTTON_LEFT, x + 60, y - 40);
    stepFrames(1);
    EXPECT_EQ(editor.lightDragActive, 0);
    EXPECT_FALSE(std::equal(start, start + 3, editor.lightPosition)) << "the light moved";
    EXPECT_NE(editor.terrain.vertices[0].color[0], colourBefore) << "the terrain is relit";
    EXPECT_EQ(undoCount(), 0) << "no stroke was started";
    EXPECT_EQ(heightSum(), 65 * 65 * 256.0f);
}

} // namespace
