// The picture a long operation shows while it runs: the window's last frame,
// dimmed, under a box that names the operation and a bar filled to the
// fraction done. Nothing of the terrain is read: it may be half changed.
#pragma once

// Draws into the back buffer (the caller swaps). The first call of an
// operation keeps a copy of the frame on screen as the backdrop.
void drawProgressBar(const char* operation, float fraction);
// Forgets the backdrop; called when the operation ends.
void releaseProgressBackdrop();
