// The icon buttons drawn over the 3D view and the tool palette built from
// them. Coordinates are window pixels, origin top left, y down.
#pragma once

#include <array>
#include <cstdint>

#include "app/editor_state.h"

// Fills the first free slot; a null caption or tooltip means none. Returns
// the slot index, or -1 when all 32 slots are in use.
int createButton(const char* caption, int x1, int y1, int x2, int y2, uint32_t icon, ButtonAction action,
                 const char* tooltip);
void clearButtons();
// Hit test of a left press: the first button whose rectangle holds (x, y),
// edges included, runs its action. True when a button took the click. The
// HUD switch plays no part: hidden buttons still take clicks.
bool clickPalette(int x, int y);
// Every button, faded by its distance from the cursor, and the tooltip of
// the hovered one. Needs the 2D projection of the overlay layer.
void drawPalette();
// Clears and refills the table for the current window size, then selects
// Carve. The five file buttons run `fileActions` (the shell's prompts, which
// live above this layer); the caller closes any open prompt.
void buildPalette(const std::array<ButtonAction, 5>& fileActions);
// Tool n (0-7) becomes current and the tool buttons are recoloured. Moving
// between a height tool (0-4) and a texture tool (5-7) ends a held stroke
// first; the new tool acts from the next press.
void selectTool(int n);
// Paint applies ground texture n (0-2) from now on; selects Paint unless it
// is already the tool.
void chooseTexture(int n);

// Opacity of a button whose centre lies `distance` pixels from the cursor:
// 1 under it, down to 0.6 from 120 pixels on.
float buttonAlpha(float distance);

// Where the tooltip of `length` characters goes for the cursor (mx, my): a
// dark box and the text position. It opens to the right of the cursor, or
// to its left when it would not fit before the window's right border.
struct TooltipPlacement {
    int x1, y1, x2, y2;
    float textX, textY;
};
TooltipPlacement placeTooltip(int mx, int my, int length, int windowWidth);
