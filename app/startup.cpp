#include "app/startup.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <SDL.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <ctime>
#include <string>

#include "app/editor_state.h"
#include "app/progress_display.h"
#include "render/gl_extensions.h"
#include "render/gpu_mirror.h"
#include "render/shadow.h"
#include "render/sky.h"
#include "render/textures.h"
#include "sculpt/stamps.h"
#include "ui/palette.h"
#include "app/prompt.h"
#include "terrain/terrain.h"
#include "terrain/terrain_events.h"
#include "terrain/undo.h"

namespace {

constexpr Uint32 kWindowedFlags = SDL_OPENGL | SDL_RESIZABLE; // 0x12

void setVideoMode(int width, int height)
{
    editor.windowWidth = width;
    editor.windowHeight = height;
    editor.videoSurface = SDL_SetVideoMode(width, height, 32, kWindowedFlags);
    editor.glContextReady = editor.videoSurface != nullptr;
}

void createQuadric()
{
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_TRUE);
    editor.sceneQuadric = quadric;
}

void deleteQuadric()
{
    if (editor.sceneQuadric) gluDeleteQuadric(static_cast<GLUquadric*>(editor.sceneQuadric));
    editor.sceneQuadric = nullptr;
}

// freeglut ends the process when its fonts are used before glutInit.
void initGlut()
{
    static bool done = false;
    if (done) return;
    int argc = 1;
    char name[] = "brivel";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    done = true;
}

template <int kind> void togglePromptAction() { togglePrompt(kind); }

// The palette lives below the shell, so the shell hands it the five file
// buttons' actions.
void buildPaletteAndClosePrompt()
{
    buildPalette({togglePromptAction<1>, togglePromptAction<2>, togglePromptAction<3>, togglePromptAction<4>,
                  togglePromptAction<5>});
    closePrompt();
}

// Whether the driver ran out of memory since the last look (the other
// errors it kept are cleared with it).
bool driverOutOfMemory()
{
    bool outOfMemory = false;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        outOfMemory = outOfMemory || error == GL_OUT_OF_MEMORY;
    return outOfMemory;
}

// The GPU mirror packs whole streams of the grid for upload, and the driver
// copies them: at the largest grids some hundred megabytes that either may
// not get. The model has changed by then, so the change stands: the mesh
// buffers are dropped (a buffer the driver could not fill would be drawn
// from memory it does not have) and the mesh is drawn straight from the
// vertex array until the next whole upload.
void mirrorTerrainChange(const TerrainChange& change)
{
    driverOutOfMemory(); // clears what earlier, unrelated calls left
    bool failed = false;
    try {
        gpuMirrorTerrainChanged(change);
        failed = driverOutOfMemory();
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (!failed) return;
    deleteMeshBuffers();
    if (gl.bindBuffer) gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

} // namespace

bool startUp()
{
    SDL_Init(SDL_INIT_EVERYTHING);
    editor.windowWidth = 800;
    editor.windowHeight = 600;
    editor.farClip = 16384;
    setVideoMode(800, 600);
    // Without a GL context every later step would call into nothing.
    if (!editor.glContextReady) {
        std::fprintf(stderr, "Cannot open the editor window: %s\n", SDL_GetError());
        SDL_Quit();
        return false;
    }
    SDL_WM_SetCaption("Brivel Terrain Editor", "brivel");
    initGlut();
    std::srand(unsigned(std::time(nullptr)));
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    editor.modState = 0;
    createQuadric();
    checkBufferExtension();
    setTerrainChangeListener(mirrorTerrainChange);
    installProgressDisplay();
    loadGlEntryPoints();
    loadEditorTextures({dataFile(kDefaultGroundTextures[0]), dataFile(kDefaultGroundTextures[1]),
                        dataFile(kDefaultGroundTextures[2])});
    loadSkySet(dataFile("sky/default"));
    createShadowMap();
    loadBrushStamps();
    createStampPreviews();
    buildPaletteAndClosePrompt();
    editor.terrain.distribution.clear();
    editor.terrain.vertices.clear();
    createDefaultTerrain();
    editor.frameTicks = SDL_GetTicks();
    return true;
}

void resetVideo(int width, int height)
{
    setVideoMode(width, height);
    // SDL on X11 keeps the GL context across a mode change: every texture,
    // buffer, program, framebuffer and stamp preview is still alive and only
    // the palette's layout follows the new window. Deleting and re-creating
    // them would reload every image from disk at each resize event while the
    // window edge is dragged, and the software renderer keeps internal copies
    // of deleted textures that the palette drew (about 17 KB a resize that
    // are never freed).
    const uint32_t distribution = editor.terrain.distributionTexture;
    if (cachedTexturesAlive() || (distribution != 0 && glIsTexture(distribution))) {
        buildPaletteAndClosePrompt();
        return;
    }
    // A new context: the old names mean nothing in it, so they are
    // forgotten, not deleted, and everything is made again.
    const std::array<std::string, 3> groundNames = groundTextureNames();
    editor.meshBuffers.fill(-1);
    uploadMeshBuffers();
    clearTextureCache();
    editor.standardProgram.program = -1;
    editor.shadowProgram.program = -1;
    editor.shadowFramebuffer = 0;
    editor.shadowDepthTexture = 0;
    releaseBrushStamps();
    loadEditorTextures(groundNames);
    buildPaletteAndClosePrompt();
    loadSkySet(std::string(editor.skySetName));
    loadBrushStamps();
    createStampPreviews();
    editor.terrain.distributionTexture =
        createDistributionTexture(editor.terrain.distributionWidth, editor.terrain.distributionHeight);
    loadGlEntryPoints();
    createShadowMap();
    deleteQuadric();
    createQuadric();
}

void shutDown()
{
    editor.terrain.vertices.clear();
    editor.terrain.distribution.clear();
    releaseBrushStamps();
    clearHistory();
    clearTextureCache();
    deleteQuadric();
    clearButtons();
    deleteShaderProgram(editor.standardProgram);
    deleteShaderProgram(editor.shadowProgram);
    editor.glContextReady = false;
    setTerrainChangeListener(nullptr);
    removeProgressDisplay();
    editor.videoSurface = nullptr;
    SDL_Quit();
}
