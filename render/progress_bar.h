// The picture a long operation shows while it runs: the window's last frame,
// dimmed, under a box that names the operation and a bar filled to the
// fraction done. Nothing of the terrain is read: it may be half changed.
#pragma once

// Draws into the back buffer (the caller swaps). The first call of an
// operation keeps a copy of the frame on screen as the backdrop; an
// operation that follows another with no scene frame between them keeps
// the first one's, rather than dimming the dimmed picture again.
void drawProgressBar(const char* operation, float fraction);
// Called when the operation ends.
void releaseProgressBackdrop();
