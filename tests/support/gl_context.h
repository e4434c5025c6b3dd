// A real GL context for GL tests: an SDL window on the (virtual) display.
#pragma once

#include <gtest/gtest.h>

// Opens a window with a GL context, resets the editor state and marks the
// context ready for the GPU mirror; closes it after each test.
class GlContextTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Opens the window and loads the GL entry points (no editor start-up).
bool openGlWindow(int width = 320, int height = 240);
void closeGlWindow();
