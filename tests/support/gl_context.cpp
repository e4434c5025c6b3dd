#include "support/gl_context.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "app/editor_state.h"
#include "render/gl_extensions.h"
#include "render/gpu_mirror.h"
#include "terrain/terrain_events.h"

namespace {

const int kWidth = 320, kHeight = 240;
SDL_Surface* sharedWindow = nullptr;

// The shared virtual display refuses new connections for seconds at a time
// while other programs come and go, so the window is opened once per test
// binary and kept; each test starts from the default GL state instead.
SDL_Surface* openWindowWithRetries()
{
    // Without X, SDL would fall back to a text-mode driver with no GL.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    for (int attempt = 1; attempt <= 40; ++attempt) { // about 18 s in all
        if (SDL_Init(SDL_INIT_VIDEO) == 0)
            if (SDL_Surface* surface = SDL_SetVideoMode(kWidth, kHeight, 32, SDL_OPENGL)) return surface;
        SDL_Quit();
        SDL_Delay(Uint32(std::min(100 * attempt, 500)));
    }
    return nullptr;
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
    for (GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glLoadIdentity();
    }
    for (GLenum array : {GL_VERTEX_ARRAY, GL_COLOR_ARRAY}) glDisableClientState(array);
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND}) glDisable(cap);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glColor4f(1, 1, 1, 1);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glViewport(0, 0, kWidth, kHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    while (glGetError() != GL_NO_ERROR) {
    }
}

} // namespace

void GlContextTest::SetUp()
{
    resetEditorState();
    if (sharedWindow == nullptr && (sharedWindow = openWindowWithRetries()) != nullptr) std::atexit(SDL_Quit);
    ASSERT_NE(sharedWindow, nullptr) << "no display: set DISPLAY (the test command starts Xvfb)";
    editor.videoSurface = sharedWindow;
    editor.windowWidth = kWidth;
    editor.windowHeight = kHeight;
    editor.glContextReady = true;
    setTerrainChangeListener(gpuMirrorTerrainChanged);
    checkBufferExtension();
    loadGlEntryPoints();
    restoreDefaultGlState();
}

void GlContextTest::TearDown()
{
    // The window stays open for the next test (see openWindowWithRetries).
    setTerrainChangeListener(nullptr);
    resetEditorState();
}
