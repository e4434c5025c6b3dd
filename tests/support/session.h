// The whole editor started inside the test process: input is pushed as SDL
// events, frames are stepped one by one, pixels read back.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

void stepFrames(int count);
// A key press (event) with modifiers set for the frame that handles it.
void pressKey(int sym, uint32_t mod = 0);
// Holds or releases a key as SDL_GetKeyState reports it.
void holdKey(int sym, bool down);
void moveMouse(int x, int y);
void pressMouse(int button, int x, int y);
void releaseMouse(int button, int x, int y);
// A left click: press, one frame, release, one frame.
void clickAt(int x, int y);
// The colour of window pixel (x, y), y down, as 0..255 RGB, from the back
// buffer of the frame just drawn.
std::array<uint8_t, 3> pixelAt(int x, int y);
// The whole window's RGB pixels, bottom row first.
std::vector<uint8_t> readFrame();
void resizeWindow(int width, int height);
