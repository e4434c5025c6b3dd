// The rendered picture: shadows on the side away from the light, the sky
// behind the terrain, the F2 / F4 switches and window resizes.
#include <GL/gl.h>
#include <SDL.h>
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count: its allocator bypasses the C library's statistics.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <malloc.h>

#include <algorithm>
#include <array>
#include <vector>

#include "app/editor_state.h"
#include "render/frame.h"
#include "support/session.h"
#include "terrain/terrain.h"
#include "terrain/terrain_events.h"

namespace {

// Raises a 300-high block from x, y = 896 to 1152 in the middle of the
// default grid and looks straight down on it from high above.
class RenderSession : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        Terrain& t = editor.terrain;
        for (int r = 28; r <= 36; ++r)
            for (int c = 28; c <= 36; ++c) t.vertices[size_t(r * t.gridX + c)].position[2] += 300.0f;
        refreshAllVertices();
        reportGridReplaced();
        editor.camera.position[0] = editor.camera.position[1] = 1024.0f;
        editor.camera.position[2] = 3500.0f;
        editor.camera.angles[kPitch] = 90.0f;
        editor.camera.angles[kYaw] = 0.0f;
        editor.hudVisible = 0;
    }
};

// Brightness of the ground at each (x, y): [0] with shadows on, [1] off.
std::vector<std::array<int, 2>> groundBrightness(const std::vector<std::array<float, 2>>& spots)
{
    std::vector<std::array<int, 2>> out(spots.size());
    for (int pass = 0; pass < 2; ++pass) {
        editor.shadowsOn = pass == 0;
        stepFrames(2);
        for (size_t i = 0; i < spots.size(); ++i) {
            const float point[3] = {spots[i][0], spots[i][1], editor.terrain.vertices[0].position[2]};
            double window[3];
            projectPoint(point, window);
            const std::array<uint8_t, 3> rgb = pixelAt(int(window[0]), editor.windowHeight - 1 - int(window[1]));
            out[i][size_t(pass)] = rgb[0] + rgb[1] + rgb[2];
        }
    }
    return out;
}

} // namespace

TEST_F(RenderSession, RaisedBlockCastsOneWholeShadowAndLitGroundStaysClean)
{
    // The block's top (x, y from 896 to 1152, 300 above the ground at 256)
    // seen from the light at (-400, -400, 1024), sampled every 32 units of
    // ground. A ray to the light reaches the top's height at t = 300 / 768.
    const float* light = editor.lightPosition;
    const float rise = 300.0f / (light[2] - 256.0f), margin = 48.0f;
    auto inSquare = [](float x, float y, float lo, float hi) { return x >= lo && x <= hi && y >= lo && y <= hi; };
    std::vector<std::array<float, 2>> spots;
    std::vector<bool> shadowed;
    for (float y = 16; y < 2048; y += 32)
        for (float x = 16; x < 2048; x += 32) {
            if (inSquare(x, y, 864 - margin, 1184 + margin)) continue; // the block and its slopes
            const float tx = x + rise * (light[0] - x), ty = y + rise * (light[1] - y);
            bool clear = true; // the ray passes wide of the block all the way up
            for (int i = 0; i <= 64; ++i) {
                const float s = rise * float(i) / 64.0f;
                clear = clear && !inSquare(x + s * (light[0] - x), y + s * (light[1] - y), 864 - margin, 1184 + margin);
            }
            if (!clear && !inSquare(tx, ty, 896 + margin, 1152 - margin)) continue; // the shadow's soft edge
            spots.push_back({x, y});
            shadowed.push_back(!clear);
        }
    const std::vector<std::array<int, 2>> seen = groundBrightness(spots);
    int dark = 0, holes = 0, acne = 0;
    for (size_t i = 0; i < spots.size(); ++i) {
        ASSERT_GT(seen[i][1], 60) << spots[i][0] << "," << spots[i][1];
        if (shadowed[i]) {
            ++dark;
            holes += seen[i][0] < seen[i][1] * 3 / 4 ? 0 : 1;
        } else {
            acne += std::abs(seen[i][0] - seen[i][1]) <= 6 ? 0 : 1;
        }
    }
    EXPECT_GT(dark, 40);
    EXPECT_EQ(holes, 0) << "lit spots inside the shadow";
    EXPECT_EQ(acne, 0) << "darkened spots on open lit ground";
}

TEST_F(RenderSession, ShadowFollowsEditsAndTheLight)
{
    // Behind the block from the light, and in front of it.
    const std::vector<std::array<float, 2>> spots = {{1300, 1300}, {750, 750}};
    auto shadowed = [&] {
        const std::vector<std::array<int, 2>> seen = groundBrightness(spots);
        return std::array<bool, 2>{seen[0][0] < seen[0][1] * 3 / 4, seen[1][0] < seen[1][1] * 3 / 4};
    };
    EXPECT_EQ(shadowed(), (std::array<bool, 2>{true, false}));
    // The block lowered again, as a brush would: the shadow goes with it.
    auto moveBlock = [](float dz) {
        for (int r = 28; r <= 36; ++r)
            for (int c = 28; c <= 36; ++c) editor.terrain.vertices[size_t(r * 65 + c)].position[2] += dz;
        refreshAllVertices();
        reportGridRegion(27, 27, 37, 37);
    };
    moveBlock(-300.0f);
    EXPECT_EQ(shadowed(), (std::array<bool, 2>{false, false}));
    // Raised again with the light moved to the far corner: the shadow falls
    // the other way.
    moveBlock(300.0f);
    editor.lightPosition[0] = editor.lightPosition[1] = 2448.0f;
    relightAllVertices();
    reportLightingChanged();
    EXPECT_EQ(shadowed(), (std::array<bool, 2>{false, true}));
}

TEST_F(RenderSession, TexturingAndShadowSwitchesChangeThePictureAndComeBackExactly)
{
    stepFrames(2);
    const std::vector<uint8_t> original = readFrame();
    const uint32_t depthTexture = editor.shadowDepthTexture;
    for (int key : {SDLK_F2, SDLK_F4}) {
        pressKey(key);
        stepFrames(1);
        EXPECT_NE(readFrame(), original) << "key " << key;
        pressKey(key);
        stepFrames(1);
        EXPECT_EQ(readFrame(), original) << "key " << key;
    }
    EXPECT_EQ(editor.shadowDepthTexture, depthTexture); // F4 only switches: the map is kept
}

TEST_F(RenderSession, ClientArraysDrawTheSamePictureAsBufferObjects)
{
    ASSERT_TRUE(editor.vboSupported);
    stepFrames(2);
    const std::vector<uint8_t> withBuffers = readFrame();
    editor.vboSupported = false; // as on a GL without the buffer extension
    stepFrames(2);
    EXPECT_EQ(readFrame(), withBuffers);
    editor.vboSupported = true;
}

// Bytes the process has allocated and not freed, the GL driver's included.
size_t heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

TEST_F(RenderSession, FiftyResizesKeepTerrainMemoryAndGLObjectsAndLayThePaletteOut)
{
    // GL texture names in use (handed out from 1 upwards, reused once deleted).
    auto liveTextures = [] {
        int live = 0;
        for (GLuint name = 1; name <= 2000; ++name) live += glIsTexture(name) ? 1 : 0;
        return live;
    };
    editor.hudVisible = 1; // the palette draws its icons at every size
    // A few resizes first: the renderer's pools settle at their working size
    // (on a busy machine that once took a megabyte more than at rest).
    for (int step = 0; step < 10; ++step) {
        resizeWindow(700 - 10 * (step % 2), 500);
        stepFrames(1);
    }
    resizeWindow(700, 500);
    stepFrames(2);
    const int live = liveTextures();
    const size_t heap = heapInUse();
    for (int step = 0; step < 50; ++step) {
        resizeWindow(640 + 10 * (step % 2), 480);
        stepFrames(1);
    }
    resizeWindow(700, 500);
    stepFrames(2);
    EXPECT_EQ(liveTextures(), live);
    // Each resize used to leave about 57 KB in the driver (2.8 MB over 50);
    // the margin leaves room for the renderer's pools on a loaded machine.
    EXPECT_LT(double(heapInUse()), double(heap) + 1e6);
    resizeWindow(1024, 768);
    EXPECT_EQ(editor.terrain.vertices[size_t(32 * 65 + 32)].position[2], 556.0f) << "the terrain survives";
    const Button& b = editor.buttons[size_t(editor.fileButtons[4])]; // Export, bottom right
    EXPECT_EQ((std::array<float, 4>{b.x1, b.y1, b.x2, b.y2}), (std::array<float, 4>{974, 718, 1014, 758}));
    editor.hudVisible = 0;

    const std::vector<std::array<int, 2>> behindBlock = groundBrightness({{1250, 1250}});
    EXPECT_TRUE(editor.standardProgram.program > 0 && editor.shadowProgram.program > 0);
    EXPECT_LT(behindBlock[0][0], behindBlock[0][1] * 3 / 4); // shadows still fall
    editor.camera.angles[kPitch] = 0.0f;
    stepFrames(1);
    const std::array<uint8_t, 3> top = pixelAt(320, 5);
    EXPECT_GT(top[0] + top[1] + top[2], 3 * 64); // and the sky is drawn
}

TEST_F(RenderSession, ResizeWithShadowsOffFillsTheWindowAndClicksHitTheButtonsDrawnThere)
{
    editor.shadowsOn = 0;
    editor.camera.angles[kPitch] = 0.0f; // level: the upper half is all sky
    resizeWindow(1000, 700);
    stepFrames(1);
    const std::vector<uint8_t> withHud = (editor.hudVisible = 1, stepFrames(1), readFrame());
    const std::vector<uint8_t> withoutHud = (editor.hudVisible = 0, stepFrames(1), readFrame());
    // The sky reaches the far corner, beyond the old 800 x 600.
    for (int x : {5, 500, 995}) {
        const std::array<uint8_t, 3> top = pixelAt(x, 5);
        EXPECT_GT(top[0] + top[1] + top[2], 3 * 64) << "x " << x;
    }
    // The Raise button (second tool, 60..100 across, 50..10 above the
    // bottom) is drawn where the palette expects clicks for it.
    int differing = 0;
    for (int y = 14; y <= 46; ++y)
        for (int x = 64; x <= 96; ++x) {
            const size_t at = (size_t(y) * 1000 + size_t(x)) * 3;
            differing += std::equal(&withHud[at], &withHud[at + 3], &withoutHud[at]) ? 0 : 1;
        }
    EXPECT_GT(differing, 33 * 33 * 9 / 10);
    editor.hudVisible = 1;
    clickAt(80, 700 - 30);
    EXPECT_EQ(editor.currentOp, 1);
}
