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

