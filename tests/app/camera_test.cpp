#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "app/camera.h"
#include "app/editor_state.h"

namespace {

TEST(Camera, BasisMatchesTheAnglesMeaning)
{
    resetEditorState();
    struct Case {
        float pitch, yaw;
        float forward[3], right[3], up[3];
    };
    const Case cases[] = {
        {0, 0, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
        {0, 90, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}},  // yaw turns counter-clockwise seen from above
        {90, 0, {0, 0, -1}, {0, -1, 0}, {1, 0, 0}}, // positive pitch looks down
    };
    for (const Case& c : cases) {
        editor.camera.angles[kPitch] = c.pitch;
        editor.camera.angles[kYaw] = c.yaw;
        const CameraBasis b = cameraBasis();
        const float* got[] = {b.forward, b.right, b.up};
        const float* want[] = {c.forward, c.right, c.up};
        for (int v = 0; v < 3; ++v)
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[v][i], want[v][i], 1e-6) << c.pitch << "/" << c.yaw << " " << v;
    }
}

TEST(Camera, FlightDirectionsAndSpeeds)
{
    struct Case {
        std::vector<int> held;
        uint32_t mod;
        float expected[3];
    };
    // Yaw 0, pitch 0: forward +x, right -y, up +z; 25 ms frames.
    const float slow = 25 * 0.33333334f;
    const Case cases[] = {
        {{SDLK_w}, 0, {slow, 0, 0}},
        {{SDLK_UP}, 0, {slow, 0, 0}},
        {{SDLK_a}, 0, {0, slow, 0}}, // left is +y here
        {{SDLK_RIGHT}, 0, {0, -slow, 0}},
        {{SDLK_v}, 0, {0, 0, slow}},
        {{SDLK_c}, 0, {0, 0, -slow}},
        {{SDLK_s}, KMOD_LSHIFT, {-25.0f, 0, 0}}, // Shift: 1000 units a second
    };
    std::vector<uint8_t> keys(SDLK_LAST);
    for (const Case& c : cases) {
        resetEditorState();
        editor.keyState = keys.data();
        std::fill_n(editor.camera.position, 3, 0.0f);
        editor.frameMillis = 25;
        editor.modState = c.mod;
        std::fill(keys.begin(), keys.end(), 0);
        for (int k : c.held) keys[size_t(k)] = 1;
        moveWithKeys();
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(editor.camera.position[i], c.expected[i], 1e-4) << c.held[0];
    }
}

TEST(Camera, MouseLookDeadZoneWrapAndPitchLimits)
{
    resetEditorState();
    // 800 x 600: centre (400, 300).
    EXPECT_FALSE(turnCamera(409, 300)) << "9 pixels do nothing";
    EXPECT_TRUE(turnCamera(420, 300)); // right: yaw -2 wraps to 358
    EXPECT_EQ(editor.camera.angles[kYaw], 358.0f);
    EXPECT_TRUE(turnCamera(400, 281)); // up 19 px: dy 1, pitch -1 wraps to 359
    EXPECT_EQ(editor.camera.angles[kPitch], 359.0f);

    for (int i = 0; i < 30; ++i) turnCamera(400, 600); // keep moving down
    EXPECT_EQ(editor.camera.angles[kPitch], 90.0f);
    for (int i = 0; i < 30; ++i) turnCamera(400, 0); // keep moving up
    EXPECT_EQ(editor.camera.angles[kPitch], 270.0f);
}

} // namespace
