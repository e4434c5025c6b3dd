#include "support/gl_context.h"

#include <SDL.h>

#include <cstdlib>

#include "app/editor_state.h"
#include "render/gl_extensions.h"

bool openGlWindow(int width, int height)
{
    // Without X, SDL would fall back to a text-mode driver with no GL.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    // The shared virtual display refuses a fair share of connections made
    // right after the previous window closed; a short wait clears it.
    SDL_Surface* surface = nullptr;
    for (int attempt = 0; attempt < 10 && surface == nullptr; ++attempt) {
        if (attempt > 0) {
            SDL_Quit();
            SDL_Delay(Uint32(50 * attempt));
        }
        if (SDL_Init(SDL_INIT_VIDEO) == 0) surface = SDL_SetVideoMode(width, height, 32, SDL_OPENGL);
    }
    if (surface == nullptr) return false;
    editor.videoSurface = surface;
    editor.windowWidth = width;
    editor.windowHeight = height;
    editor.glContextReady = true;
    checkBufferExtension();
    loadGlEntryPoints();
    return true;
}

void closeGlWindow()
{
    editor.glContextReady = false;
    editor.videoSurface = nullptr;
    SDL_Quit();
}

void GlContextTest::SetUp()
{
    resetEditorState();
    ASSERT_TRUE(openGlWindow()) << "no display: set DISPLAY (the test command starts Xvfb)";
}

void GlContextTest::TearDown()
{
    closeGlWindow();
    resetEditorState();
}
