// Start-up, window re-creation after a resize, and shutdown, each callable on
// its own so that session tests can run the editor inside one process.
#pragma once

// SDL, the window, GL state, every loader in order, the palette and the
// default terrain. False (with a message on stderr, SDL shut down again)
// when no window with a GL context could be opened.
bool startUp();
// The window was resized: re-make it at the new size and lay the palette out
// again; where the mode change made a new GL context, re-create every GL
// resource too. Terrain, undo history, camera, light and switches survive.
void resetVideo(int width, int height);
// Frees everything in the fixed order, then SDL_Quit.
void shutDown();
