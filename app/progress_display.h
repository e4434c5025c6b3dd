// What the editor shows while a long operation runs (terrain/progress.h):
// once it has run for 0.3 s, a progress bar in the window, redrawn a few
// times a second, and the same progress on stderr when that is a terminal.
// Each redraw also empties the event queue, so the window keeps answering:
// a quit request (closing the window, Alt+F4) is kept and honoured once the
// operation has ended, a resize is handled then, and all other input is
// ignored.
#pragma once

// Installs the display as the model's progress listener (start-up).
void installProgressDisplay();
void removeProgressDisplay();
// How long an operation runs before it shows progress, in milliseconds.
void setProgressDelay(int milliseconds);
// Pictures drawn since start-up (for tests).
int progressPicturesDrawn();
