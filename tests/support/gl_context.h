// A real GL context for GL tests: an SDL window on the (virtual) display.
#pragma once

#include <gtest/gtest.h>

// Gives each test a window with a GL context in its default state, a reset
// editor state and the context marked ready for the GPU mirror. The window
// is opened once per test binary and kept (the shared display is slow to
// accept new connections); GL objects of earlier tests may still exist.
class GlContextTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Opens (or reuses) the window, loads the GL entry points and resets the
// GL state (no editor start-up).
bool openGlWindow(int width = 320, int height = 240);
void closeGlWindow();
