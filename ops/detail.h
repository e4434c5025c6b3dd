// Detail and dimension changes: the commands that change the vertex count of
// the grid. Callers check the refusal first and push the whole-grid undo
// entry only when the command goes ahead (ops/commands.h).
#pragma once

#include <string>

constexpr int kMinGridSide = 3;      // a dimension change keeps both sides at least this long
constexpr int kMinDecreasedSide = 8; // Decrease Detail keeps both sides at least this long

// Why each command cannot go ahead on the current terrain, or "" when it can.
std::string increaseDetailRefusal();
std::string decreaseDetailRefusal();
std::string resizeGridRefusal(bool yAxis, int step);

// Puts a vertex between every two neighbours in both directions and halves
// blockWidth. Without Ctrl held (editor.modState) each new height gets a
// random offset of +-|dz| / 5; with Ctrl it is the plain midpoint. Refused
// with a message when a side would exceed kMaxGridSide.
void increaseDetail();
// Keeps every second vertex, each averaging its 3 x 3 neighbourhood, and
// doubles blockWidth. Refused with a message when a side would drop below
// kMinDecreasedSide.
void decreaseDetail();
// Adds (step > 0) or removes (step < 0) columns at the far edge, extending
// the edge heights outward, and resamples the distribution map so that it
// keeps covering the same terrain. Refused with a message below
// kMinGridSide or beyond kMaxGridSide columns.
void resizeGridX(int step);
// The same for rows.
void resizeGridY(int step);
