// The rendered picture: shadows on the side away from the light, the sky
// behind the terrain, and the F2 / F4 switches.
#include <GL/gl.h>
#include <SDL.h>

#include <array>
#include <cstdint>
#include <vector>

#include "app/editor_state.h"
#include "render/frame.h"
#include "render/gpu_mirror.h"
#include "support/session.h"
#include "terrain/terrain.h"

namespace {

using RenderSession = SessionTest;

// Raises the 9 x 9 vertices around the middle of the default grid by
// `height`, a block from x, y = 896 to 1152.
void raiseMiddleBlock(float height)
{
    Terrain& t = editor.terrain;
    for (int r = 28; r <= 36; ++r)
        for (int c = 28; c <= 36; ++c) t.vertices[size_t(r * t.gridX + c)].position[2] += height;
    refreshAllVertices();
    uploadMeshBuffers();
}

// Looks straight down on the middle of the grid from high above.
void lookDownOnTheMiddle()
{
    editor.camera.position[0] = 1024.0f;
    editor.camera.position[1] = 1024.0f;
    editor.camera.position[2] = 3500.0f;
    editor.camera.angles[kPitch] = 90.0f;
    editor.camera.angles[kYaw] = 0.0f;
    editor.hudVisible = 0;
}

// Window pixel (y down) showing a world point in the last frame.
std::array<int, 2> windowPixelOf(float x, float y, float z)
{
    const float point[3] = {x, y, z};
    double window[3];
    projectPoint(point, window);
    return {int(window[0]), editor.windowHeight - 1 - int(window[1])};
}

// GL texture names in use among the first `range` (names are handed out
// from 1 upwards and reused once deleted).
int liveTextureNames(GLuint range)
{
    int live = 0;
    for (GLuint name = 1; name <= range; ++name) live += glIsTexture(name) ? 1 : 0;
    return live;
}

int brightness(const std::array<uint8_t, 3>& rgb) { return int(rgb[0]) + int(rgb[1]) + int(rgb[2]); }

} // namespace

TEST_F(RenderSession, RaisedBlockShadowsTheGroundAwayFromTheLight)
{
    raiseMiddleBlock(300.0f);
    lookDownOnTheMiddle();
    ASSERT_EQ(editor.shadowsOn, 1);
    stepFrames(2);

    // The light stands at (-400, -400, 1024): the shadow falls towards +x, +y.
    const float ground = editor.terrain.vertices[0].position[2];
    struct Spot {
        const char* name;
        float x, y;
        bool shadowed;
    };
    const Spot spots[] = {
        {"behind the block", 1250.0f, 1250.0f, true},
        {"far behind the block", 1500.0f, 1500.0f, true},
        {"in front of the block", 800.0f, 800.0f, false},
        {"beside the block", 1250.0f, 700.0f, false},
        {"flat ground far away", 300.0f, 1700.0f, false},
    };
    std::vector<int> withShadows;
    for (const Spot& s : spots) {
        const std::array<int, 2> p = windowPixelOf(s.x, s.y, ground);
        withShadows.push_back(brightness(pixelAt(p[0], p[1])));
    }
    editor.shadowsOn = 0;
    stepFrames(1);
    for (size_t i = 0; i < std::size(spots); ++i) {
        const Spot& s = spots[i];
        const std::array<int, 2> p = windowPixelOf(s.x, s.y, ground);
        const int without = brightness(pixelAt(p[0], p[1]));
        ASSERT_GT(without, 60) << s.name;
        if (s.shadowed) {
            EXPECT_LT(withShadows[i], without * 3 / 4) << s.name;
        } else {
            EXPECT_NEAR(withShadows[i], without, 6) << s.name; // lit ground: no acne
        }
    }
}

TEST_F(RenderSession, SkyFillsTheTopOfTheWindowInsteadOfTheClearColour)
{
    editor.camera.angles[kPitch] = 0.0f; // level: the upper half is all sky
    editor.hudVisible = 0;
    stepFrames(1);
    const std::array<uint8_t, 3> clearGrey = {64, 64, 64};
    for (int x = 0; x < editor.windowWidth; x += 40) {
        const std::array<uint8_t, 3> top = pixelAt(x, 5);
        EXPECT_NE(top, clearGrey) << "x " << x;
        // Daylight sky: bluish, brighter than the clear colour.
        EXPECT_GE(int(top[2]), int(top[0])) << "x " << x;
        EXPECT_GT(brightness(top), 3 * 64) << "x " << x;
    }

    // Without a sky set the clear colour shows through (the check above
    // would catch a missing sky).
    editor.skyTextures.fill(kNoTexture);
    stepFrames(1);
    EXPECT_EQ(pixelAt(400, 5), clearGrey);
}

TEST_F(RenderSession, TexturingAndShadowSwitchesChangeThePictureAndComeBackExactly)
{
    raiseMiddleBlock(300.0f);
    lookDownOnTheMiddle();
    stepFrames(2);
    const std::vector<uint8_t> original = readFrame();
    const uint32_t depthTexture = editor.shadowDepthTexture;
    const uint32_t framebuffer = editor.shadowFramebuffer;

    for (int key : {SDLK_F2, SDLK_F4}) {
        pressKey(key);
        stepFrames(1);
        EXPECT_NE(readFrame(), original) << "key " << key;
        pressKey(key);
        stepFrames(1);
        EXPECT_EQ(readFrame(), original) << "key " << key;
    }
    EXPECT_EQ(editor.texturingOn, 1);
    EXPECT_EQ(editor.shadowsOn, 1);
    // F4 only switches: the map is neither remade nor lost.
    EXPECT_EQ(editor.shadowDepthTexture, depthTexture);
    EXPECT_EQ(editor.shadowFramebuffer, framebuffer);
}

TEST_F(RenderSession, ResizeRemakesSkyShadowMapAndProgramsInTheNewContext)
{
    raiseMiddleBlock(300.0f);
    lookDownOnTheMiddle();
    resizeWindow(640, 480);
    stepFrames(2);
    ASSERT_EQ(editor.windowWidth, 640);
    EXPECT_EQ(editor.skySetName, "data/sky/default");
    EXPECT_TRUE(editor.skyIsSphere);
    EXPECT_GT(editor.standardProgram.program, 0);
    EXPECT_GT(editor.shadowProgram.program, 0);
    EXPECT_EQ(editor.shadowsOn, 1);

    // Shadows still fall behind the block in the new window.
    const float ground = editor.terrain.vertices[0].position[2];
    const std::array<int, 2> behind = windowPixelOf(1250.0f, 1250.0f, ground);
    const int shadowed = brightness(pixelAt(behind[0], behind[1]));
    editor.shadowsOn = 0;
    stepFrames(1);
    EXPECT_LT(shadowed, brightness(pixelAt(behind[0], behind[1])) * 3 / 4);

    // And the sky still fills a level view's top row.
    editor.camera.angles[kPitch] = 0.0f;
    stepFrames(1);
    const std::array<uint8_t, 3> clearGrey = {64, 64, 64};
    EXPECT_NE(pixelAt(320, 5), clearGrey);
}

TEST_F(RenderSession, RepeatedResizesDoNotPileUpTextures)
{
    // Dragging a window edge sends a resize event per step; where the GL
    // context survives them, each one must give back what it remakes.
    resizeWindow(700, 500);
    stepFrames(1);
    const int live = liveTextureNames(2000);
    for (int step = 0; step < 5; ++step) resizeWindow(640 + 10 * step, 480);
    stepFrames(1);
    EXPECT_EQ(liveTextureNames(2000), live);
    EXPECT_NE(editor.shadowFramebuffer, 0u);
    EXPECT_EQ(editor.shadowsOn, 1);
}
