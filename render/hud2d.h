// The two 2D drawing helpers of the overlay layer, in window pixels (origin
// top left, y down). Used by the HUD and the palette.
#pragma once

#include <cstdint>

enum HudFont { kFontLarge = 0, kFontSmall = 1 }; // 9 x 15 and 8 x 13 bitmap fonts

// One quad from (x1, y1) to (x2, y2) in the current colour, textured with
// `texture` (0 for plain); leaves the texture bound.
void drawQuad2D(uint32_t texture, int x1, int y1, int x2, int y2);
// Text at (x, y) in the current colour (the raster position latches it).
void drawText2D(const char* text, HudFont font, float x, float y);
