// The rendered picture: shadows on the side away from the light, the sky
// behind the terrain, the F2 / F4 switches and window resizes.
#include <GL/gl.h>
#include <SDL.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/allocator_interface.h>
#endif

#include <malloc.h>

#include <array>
#include <vector>

#include "app/editor_state.h"
#include "render/frame.h"
#include "render/gpu_mirror.h"
#include "support/session.h"
#include "terrain/terrain.h"

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
        uploadMeshBuffers();
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

TEST_F(RenderSession, RaisedBlockShadowsTheGroundAwayFromTheLight)
{
    // The light stands at (-400, -400, 1024): the shadow falls towards +x, +y.
    const std::vector<std::array<float, 2>> spots = {{1250, 1250}, {1500, 1500}, {800, 800}, {1250, 700}};
    const bool shadowed[] = {true, true, false, false};
    const std::vector<std::array<int, 2>> seen = groundBrightness(spots);
    for (size_t i = 0; i < spots.size(); ++i) {
        ASSERT_GT(seen[i][1], 60) << "spot " << i;
        if (shadowed[i])
            EXPECT_LT(seen[i][0], seen[i][1] * 3 / 4) << "spot " << i;
        else
            EXPECT_NEAR(seen[i][0], seen[i][1], 6) << "spot " << i; // lit ground: no acne
    }
}

TEST_F(RenderSession, SkyFillsTheTopOfTheWindowInsteadOfTheClearColour)
{
    editor.camera.angles[kPitch] = 0.0f; // level: the upper half is all sky
    stepFrames(1);
    for (int x = 0; x < editor.windowWidth; x += 40) {
        const std::array<uint8_t, 3> top = pixelAt(x, 5);
        // Daylight sky: bluish, brighter than the clear colour (64, 64, 64).
        EXPECT_GE(top[2], top[0]) << "x " << x;
        EXPECT_GT(top[0] + top[1] + top[2], 3 * 64) << "x " << x;
    }
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

TEST_F(RenderSession, FiftyResizesKeepMemoryGLObjectsSkyAndShadows)
{
    // GL texture names in use (handed out from 1 upwards, reused once deleted).
    auto liveTextures = [] {
        int live = 0;
        for (GLuint name = 1; name <= 2000; ++name) live += glIsTexture(name) ? 1 : 0;
        return live;
    };
    editor.hudVisible = 1; // the palette draws its icons at every size
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
    editor.hudVisible = 0;
    // Each resize used to leave about 17 KB in the driver (850 KB over 50).
    EXPECT_LT(double(heapInUse()), double(heap) + 100e3);

    const std::vector<std::array<int, 2>> behindBlock = groundBrightness({{1250, 1250}});
    EXPECT_TRUE(editor.standardProgram.program > 0 && editor.shadowProgram.program > 0);
    EXPECT_LT(behindBlock[0][0], behindBlock[0][1] * 3 / 4); // shadows still fall
    editor.camera.angles[kPitch] = 0.0f;
    stepFrames(1);
    const std::array<uint8_t, 3> top = pixelAt(320, 5);
    EXPECT_GT(top[0] + top[1] + top[2], 3 * 64); // and the sky is drawn
}
