// Strokes, palette clicks and light dragging through real input events.
#include <gtest/gtest.h>

#include <SDL.h>

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
    moveMouse(400, 300);
    stepFrames(3);
    const std::vector<uint8_t> before = readFrame();
    const float sumBefore = heightSum();

    pressMouse(SDL_BUTTON_LEFT, 400, 300);
    stepFrames(5);
    EXPECT_EQ(editor.strokeActive, 1);
    pressKey(SDLK_z, KMOD_LCTRL); // refused while the button is held
    EXPECT_GT(heightSum(), sumBefore);
    releaseMouse(SDL_BUTTON_LEFT, 400, 300);
    stepFrames(1);
    EXPECT_EQ(undoCount(), 1);
    EXPECT_GT(heightSum(), sumBefore + 100.0f);
    moveMouse(400, 300);
    stepFrames(2);
    EXPECT_FALSE(readFrame() == before) << "the raised ground shows";

    pressKey(SDLK_z, KMOD_LCTRL);
    EXPECT_EQ(heightSum(), sumBefore);
    moveMouse(400, 300);
    stepFrames(3);
    EXPECT_TRUE(readFrame() == before) << "undo restores the picture exactly";
}

TEST_F(StrokeSession, ClickOnAToolButtonSelectsItAndStartsNoStroke)
{
    const Button& noise = editor.buttons[size_t(editor.toolButtons[3])];
    const int x = int(noise.x1) + 5, y = int(noise.y1) + 5;
    pressMouse(SDL_BUTTON_LEFT, x, y);
    stepFrames(2);
    EXPECT_EQ(editor.currentOp, 3);
    EXPECT_EQ(editor.strokeActive, 0);
    EXPECT_FALSE(editor.hasVertexSnapshot);
    releaseMouse(SDL_BUTTON_LEFT, x, y);
    stepFrames(1);
    EXPECT_EQ(undoCount(), 0);
    // Hidden HUD: the button still takes the click.
    pressKey(SDLK_TAB);
    const Button& erase = editor.buttons[size_t(editor.toolButtons[6])];
    clickAt(int(erase.x2), int(erase.y2)); // the edge pixel counts
    EXPECT_EQ(editor.currentOp, 6);
    EXPECT_EQ(undoCount(), 0);
}

TEST_F(StrokeSession, PressNearTheLightMarkerDragsTheLight)
{
    // Bring the light into view: in front of the camera, over the terrain.
    editor.lightPosition[0] = 700.0f;
    editor.lightPosition[1] = 700.0f;
    editor.lightPosition[2] = 300.0f;
    stepFrames(2);
    double screen[3];
    projectPoint(editor.lightPosition, screen);
    const int x = int(screen[0]), y = editor.windowHeight - int(screen[1]);
    ASSERT_GT(x, 0);
    ASSERT_LT(x, editor.windowWidth);
    const float before[3] = {editor.lightPosition[0], editor.lightPosition[1], editor.lightPosition[2]};
    const float colourBefore = editor.terrain.vertices[0].color[0];

    pressMouse(SDL_BUTTON_LEFT, x + 5, y + 5);
    stepFrames(1);
    EXPECT_EQ(editor.lightDragActive, 1);
    moveMouse(x + 60, y - 40);
    stepFrames(2);
    releaseMouse(SDL_BUTTON_LEFT, x + 60, y - 40);
    stepFrames(1);
    EXPECT_EQ(editor.lightDragActive, 0);
    EXPECT_FALSE(before[0] == editor.lightPosition[0] && before[1] == editor.lightPosition[1] &&
                 before[2] == editor.lightPosition[2]);
    EXPECT_NE(editor.terrain.vertices[0].color[0], colourBefore) << "the terrain is relit";
    EXPECT_EQ(undoCount(), 0) << "no stroke was started";
    EXPECT_EQ(heightSum(), 65 * 65 * 256.0f);
}

} // namespace
