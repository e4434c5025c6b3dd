#include "support/gl_context.h"

#include <SDL.h>

#include "app/editor_state.h"
#include "render/gl_extensions.h"

bool openGlWindow(int width, int height)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    SDL_Surface* surface = SDL_SetVideoMode(width, height, 32, SDL_OPENGL);
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
