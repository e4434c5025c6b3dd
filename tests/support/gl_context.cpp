#include "support/gl_context.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "app/editor_state.h"
#include "render/gl_extensions.h"

namespace {

SDL_Surface* sharedWindow = nullptr;
int sharedWidth = 0;
int sharedHeight = 0;

// The shared virtual display refuses new connections for seconds at a time
// while other programs come and go, so the window is opened once per test
// binary and kept; each test starts from the default GL state instead.
SDL_Surface* openWindowWithRetries(int width, int height)
{
    // Without X, SDL would fall back to a text-mode driver with no GL.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    SDL_Surface* surface = nullptr;
    for (int attempt = 0; attempt < 40 && surface == nullptr; ++attempt) {
        if (attempt > 0) {
            SDL_Quit();
            SDL_Delay(Uint32(std::min(100 * attempt, 500))); // about 18 s in all
        }
        if (SDL_Init(SDL_INIT_VIDEO) == 0) surface = SDL_SetVideoMode(width, height, 32, SDL_OPENGL);
    }
    return surface;
}

void restoreDefaultGlState()
{
    if (gl.useProgramObject) gl.useProgramObject(0);
    if (gl.bindFramebuffer) gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    for (int unit = 7; unit >= 0; --unit) {
        selectTextureUnit(unit);
        selectClientTextureUnit(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glColor4f(1, 1, 1, 1);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glViewport(0, 0, sharedWidth, sharedHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    while (glGetError() != GL_NO_ERROR) {
    }
}

} // namespace

bool openGlWindow(int width, int height)
{
    if (sharedWindow != nullptr && (width != sharedWidth || height != sharedHeight)) {
        SDL_Quit();
        sharedWindow = nullptr;
    }
    if (sharedWindow == nullptr) {
        sharedWindow = openWindowWithRetries(width, height);
        if (sharedWindow == nullptr) return false;
        sharedWidth = width;
        sharedHeight = height;
        std::atexit(SDL_Quit);
    }
    editor.videoSurface = sharedWindow;
    editor.windowWidth = width;
    editor.windowHeight = height;
    editor.glContextReady = true;
    checkBufferExtension();
    loadGlEntryPoints();
    restoreDefaultGlState();
    return true;
}

void closeGlWindow()
{
    // The window stays open for the next test (see openWindowWithRetries).
    editor.glContextReady = false;
    editor.videoSurface = nullptr;
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
