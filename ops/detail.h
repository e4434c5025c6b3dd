// Detail and dimension changes: the commands that change the vertex count of
// the grid. Callers push the whole-grid undo entry first (ops/commands.h).
#pragma once

// Puts a vertex between every two neighbours in both directions and halves
// blockWidth. Without Ctrl held (editor.modState) each new height gets a
// random offset of +-|dz| / 5; with Ctrl it is the plain midpoint. Refused
// with a message when a side would exceed kMaxGridSide.
void increaseDetail();
// Keeps every second vertex, each averaging its 3 x 3 neighbourhood, and
// doubles blockWidth. Does nothing when a side would drop below 8.
void decreaseDetail();
// Adds (step > 0) or removes (step < 0) columns at the far edge, extending
// the edge heights outward, and resamples the distribution map so that it
// keeps covering the same terrain. Nothing below 3 columns; growth beyond
// kMaxGridSide is refused with a message.
void resizeGridX(int step);
// The same for rows.
void resizeGridY(int step);
