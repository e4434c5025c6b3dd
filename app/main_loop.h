// The paced frame loop and every key and mouse binding.
#pragma once

#include <cstdint>

// Runs frames until the window is closed or Alt+F4 is pressed.
void runMainLoop();
// Exactly one frame: events, mouse look, pacing, update, draw.
void runFrame();
// One key press with the given SDL symbol and modifier bits.
void handleKeyDown(int sym, uint32_t mod);
// Finds the terrain point under the cursor from the previous frame's depth
// buffer; returns the mouse button mask.
uint32_t updatePick();
