// Index: scene | overlays | HUD | prompt | help | frame
#include "render/frame.h"

#include <GL/glu.h>
#include <GL/freeglut.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/editor_state.h"
#include "io/export_formats.h"
#include "render/gl_extensions.h"
#include "render/hud2d.h"
#include "render/mesh.h"
#include "render/shadow.h"
#include "render/sky.h"
#include "render/terrain_lod.h"
#include "render/textures.h"
#include "ui/palette.h"

namespace {

// ------------------------------------------------------------------ scene

const TerrainVertex& vertexAt(int c, int r) { return editor.terrain.vertices[size_t(c + r * editor.terrain.gridX)]; }

void drawLevelPlane()
{
    const Terrain& t = editor.terrain;
    const float h = t.heightScale / 3.0f, w = float(t.gridX) * t.blockWidth, d = float(t.gridY) * t.blockWidth;
    glColor4f(0.2f, 0.2f, 1.0f, 0.7f);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, h);
    glVertex3f(w, 0, h);
    glVertex3f(w, d, h);
    glVertex3f(0, d, h);
    glEnd();
    glColor4f(1, 1, 1, 1);
}

void drawWireframe()
{
    const Terrain& t = editor.terrain;
    glColor4f(0.0f, 0.75f, 0.0f, 1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glBegin(GL_TRIANGLES);
    for (int r = 0; r + 1 < t.gridY; ++r) {
        for (int c = 0; c + 1 < t.gridX; ++c) {
            glVertex3fv(vertexAt(c, r).position);
            glVertex3fv(vertexAt(c + 1, r).position);
            glVertex3fv(vertexAt(c, r + 1).position);
            glVertex3fv(vertexAt(c + 1, r).position);
            glVertex3fv(vertexAt(c, r + 1).position);
            glVertex3fv(vertexAt(c + 1, r + 1).position);
        }
    }
    glEnd();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// Big grids: the chunk triangles the scene just drew, not every cell.
void drawChunkWireframeInColour()
{
    glColor4f(0.0f, 0.75f, 0.0f, 1.0f);
    drawChunkWireframe();
}

void normalLine(const TerrainVertex& v, float length)
{
    glVertex3fv(v.position);
    glVertex3f(v.position[0] + v.normal[0] * length, v.position[1] + v.normal[1] * length,
               v.position[2] + v.normal[2] * length);
}

// Big grids: only the vertices the scene's chunks just drew, each once (a
// vertex serves up to six triangles of the list).
void drawnVertexNormals(float length)
{
    static std::vector<bool> done;
    const std::vector<uint32_t>& drawn = lodLastList();
    const std::vector<TerrainVertex>& vertices = editor.terrain.vertices;
    done.resize(vertices.size());
    for (uint32_t index : drawn) {
        if (done[index]) continue;
        done[index] = true;
        normalLine(vertices[index], length);
    }
    for (uint32_t index : drawn) done[index] = false;
}

void drawNormals()
{
    const Terrain& t = editor.terrain;
    const float length = t.blockWidth * 0.5f, axis = 2.0f * t.blockWidth;
    glColor3f(1, 0, 0);
    glBegin(GL_LINES);
    if (terrainUsesLod())
        drawnVertexNormals(length);
    else
        for (const TerrainVertex& v : t.vertices) normalLine(v, length);
    glVertex3f(0, 0, 0);
    glVertex3f(axis, 0, 0);
    glColor3f(0, 1, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, axis, 0);
    glColor3f(0, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, axis);
    glEnd();
}

void drawBrushCursor()
{
    const Terrain& t = editor.terrain;
    if (editor.hoverIndex < 0 || editor.hoverIndex >= t.gridX * t.gridY || editor.lightDragActive) return;
    glColor3f(0, 0, 1);
    glPointSize(3);
    glBegin(GL_POINTS);
    glVertex3fv(t.vertices[size_t(editor.hoverIndex)].position);
    glEnd();
    glDepthMask(GL_FALSE);
    glColor4f(editor.brushStrength / 5.0f, 1.0f, 0.0f, 0.25f);
    glPushMatrix();
    glTranslatef(editor.pickPoint[0], editor.pickPoint[1], editor.pickPoint[2]);
    if (editor.smoothBrush)
        gluSphere(static_cast<GLUquadric*>(editor.sceneQuadric), editor.brushWidth, 16, 16);
    else
        glutSolidCube(2.0 * editor.brushWidth);
    glPopMatrix();
    glDepthMask(GL_TRUE);
}

void rotateToCamera()
{
    const Camera& camera = editor.camera;
    glRotatef(-camera.angles[kRoll], 1, 0, 0);
    glRotatef(-camera.angles[kPitch], 0, 1, 0);
    glRotatef(-camera.angles[kYaw], 0, 0, 1);
}

void translateToCamera()
{
    const float* eye = editor.camera.position;
    glTranslatef(-eye[0], -eye[1], -eye[2]);
}

// The camera's matrices and viewport, read once a frame: chunk levels come
// from them before the shadow pass, which draws the same levels, so that
// the light sees the surface the camera sees; picking projects through them
// until the next frame.
void chooseLevelsForCamera()
{
    setScenePerspective();
    rotateToCamera();
    translateToCamera();
    glGetDoublev(GL_MODELVIEW_MATRIX, editor.modelviewMatrix);
    glGetDoublev(GL_PROJECTION_MATRIX, editor.projectionMatrix);
    glGetIntegerv(GL_VIEWPORT, editor.viewport);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    chooseLodLevels(editor.modelviewMatrix, editor.projectionMatrix, editor.windowHeight);
}

void drawScene()
{
    setScenePerspective();
    glPushMatrix();
    rotateToCamera();
    // Sky and mesh are opaque: blending them would only cost a read of every
    // covered pixel on a software renderer.
    glDisable(GL_BLEND);
    drawSky(); // before the translation, so it stays centred on the eye
    translateToCamera();

    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    drawTerrainMesh();
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 0.9f, 1.0f);
    glPointSize(8);
    glBegin(GL_POINTS);
    glVertex3fv(editor.lightPosition);
    glEnd();
    if (editor.showLevelPlane) drawLevelPlane();
    glDisable(GL_CULL_FACE);
    if (editor.wireframe) {
        if (terrainUsesLod())
            drawChunkWireframeInColour();
        else
            drawWireframe();
    }
    if (editor.showNormals) drawNormals();
    drawBrushCursor();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

// -------------------------------------------------------------------- HUD

void text(const char* s, HudFont font, float x, float y) { drawText2D(s, font, x, y); }

void drawStatusPanel()
{
    char line[96];
    glColor4f(0.0f, 0.0f, 0.4f, 0.3f);
    drawQuad2D(0, 0, 0, 245, 135);
    glColor4f(1, 1, 1, 1);
    text(editor.smoothBrush ? "Smooth Brush: ON" : "Smooth Brush: OFF", kFontLarge, 10, 20);
    std::snprintf(line, sizeof line, "Terrain block width: %.1f", double(editor.terrain.blockWidth));
    text(line, kFontLarge, 10, 40);
    std::snprintf(line, sizeof line, "Vertices: %ix%i", editor.terrain.gridX, editor.terrain.gridY);
    text(line, kFontLarge, 10, 60);
    std::snprintf(line, sizeof line, "Brush Width: %.1f", double(2.0f * editor.brushWidth));
    text(line, kFontLarge, 10, 80);
    text("Brush Strength: ", kFontLarge, 10, 100);
    glColor4f(editor.brushStrength / 5.0f, 1.0f, 0.0f, 1.0f);
    std::snprintf(line, sizeof line, "%.2fx", double(editor.brushStrength));
    text(line, kFontLarge, 154, 100);
    glColor4f(1, 1, 1, 1);
    text("Hold F1 for Help", kFontLarge, 10, 120);
}

void drawStampAndTextureKeys()
{
    const int h = editor.windowHeight;
    if (editor.currentStamp >= 0 && editor.currentStamp < int(editor.stamps.size())) {
        text("Brush Modifier", kFontSmall, 10, float(h - 152));
        glColor3f(1, 1, 1);
        drawQuad2D(editor.stamps[size_t(editor.currentStamp)].texture, 40, h - 110, 80, h - 150);
    }
    const char* keys[3] = {"F5", "F6", "F7"};
    const float xs[3] = {27, 87, 147};
    for (int i = 0; i < 3; ++i) {
        if (i == editor.paintTexture)
            glColor3f(0, 1, 0);
        else
            glColor3f(0.5f, 0.5f, 0.5f);
        text(keys[i], kFontSmall, xs[i], float(h - 220));
    }
    glColor3f(1, 1, 1);
}

void drawStatusMessage()
{
    if (editor.statusMessage.empty() || steadyMillis() > editor.statusMessageUntil) return;
    glColor4f(0, 0, 0, 0.6f);
    const int width = 9 * int(editor.statusMessage.size()) + 16;
    drawQuad2D(0, 255, 4, 255 + width, 26);
    glColor4f(1, 1, 0.4f, 1);
    text(editor.statusMessage.c_str(), kFontLarge, 263, 20);
    glColor4f(1, 1, 1, 1);
}

// ----------------------------------------------------------------- prompt

void drawPrompt()
{
    static const char* const kSlotLabels[4] = {"Terrain texture #1", "Terrain texture #2", "Terrain texture #3",
                                               "Sky texture set"};
    const int w = editor.windowWidth, h = editor.windowHeight;
    const int n = int(std::strlen(editor.promptText));
    glColor4f(0.5f, 0.5f, 0.5f, 0.85f);
    drawQuad2D(0, w - 200, h - 55, w - 10, h - 105);
    glColor4f(0.2f, 0.2f, 0.2f, 0.85f);
    const int boxWidth = std::max(200, 8 * n + 15);
    drawQuad2D(0, w - boxWidth, h - 60, w - 10, h - 85);
    glColor4f(1, 1, 1, 1);
    const float x = float(w - 200);
    switch (editor.promptKind) {
    case kPromptTexture:
        text("Import Display Texture:", kFontSmall, x, float(h - 88));
        text("Select texture with F5-...", kFontSmall, x, float(h - 120));
        if (editor.textureSlot >= 0 && editor.textureSlot <= kTextureSlotSky)
            text(kSlotLabels[editor.textureSlot], kFontSmall, x, float(h - 105));
        break;
    case kPromptLoad: text("Load BVT filename:", kFontLarge, x, float(h - 88)); break;
    case kPromptSave: text("Save BVT filename:", kFontLarge, x, float(h - 88)); break;
    case kPromptHeightmap:
        text(".tga or grayscale .pgm", kFontSmall, x, float(h - 105));
        text("Import filename:", kFontLarge, x, float(h - 88));
        break;
    case kPromptExport:
        text("Export filename:", kFontLarge, x, float(h - 88));
        text("Select format with F5-...", kFontSmall, x, float(h - 120));
        text(exportFormatLine(editor.exportFormat, editor.promptText), kFontSmall, x, float(h - 105));
        break;
    default: break;
    }
    text(editor.promptText, kFontSmall, float(w - 8 * n - 15), float(h - 65));
    text("|", kFontSmall, float(w - 15), float(h - 65));
}

// ------------------------------------------------------------------- help

struct HelpLine {
    int dy;
    const char* text;
};

const HelpLine kHelpLines[] = {
    {-155, "Camera Movement:      WASD or Arrow Keys, C/V"},
    {-135, "Camera Angle:         Hold Right Click + Move Mouse"},
    {-115, "Perform Terrain Edit: Hold Left Click"},
    {-75, "Select Op:            Number keys"},
    {-55, "Brush Size:           +/- or Mouse Wheel"},
    {-35, "Brush Speed:          Ctrl +/-"},
    {-15, "Change Block Width:   [ / ]"},
    {5, "Scale Height:         Ctrl + [ / ]"},
    {25, "Change X Dimension:   Page Up / Down"},
    {45, "Change Y Dimension:   Ctrl + Page Up / Down"},
    {65, "Switch Texture:       F5-F7"},
    {85, "Toggle HUD:           Tab"},
    {105, "Undo:                 Ctrl + Z"},
    {145, "Toggle Smooth Brush:  B"},
    {165, "Toggle Normals:       N"},
    {185, "Toggle Wireframe:     L"},
    {205, "Toggle Texturing:     F2"},
    {225, "Toggle FPS Display:   F3"},
    {245, "Toggle Shadows:       F4"},
};

void drawHelp()
{
    const int cx = editor.windowWidth / 2, cy = editor.windowHeight / 2;
    glColor4f(0.0f, 0.4f, 0.0f, 0.8f);
    drawQuad2D(textureName(editor.buttonIcon), cx - 225, cy + 255, cx + 225, cy - 225);
    glColor4f(1, 1, 1, 1);
    text("Brivel Terrain Editor", kFontLarge, float(cx - 90), float(cy - 205));
    text("https://brivel.example/", kFontSmall, float(cx - 116), float(cy - 190));
    const float x = float(cx - 215);
    for (const HelpLine& line : kHelpLines) text(line.text, kFontSmall, x, float(cy + line.dy));
    glColor3f(1, 1, 0);
    text("Hold Shift to make things go faster", kFontSmall, x, float(cy - 95));
    glColor3f(1, 0, 0);
    text("New Terrain:          Ctrl + N (loses unsaved terrain!)", kFontSmall, x, float(cy + 125));
    glColor3f(1, 1, 1);
}

bool keyHeld(int sym) { return editor.keyState != nullptr && editor.keyState[sym] != 0; }

void drawHud()
{
    drawPalette();
    drawStatusPanel();
    drawStampAndTextureKeys();
    if (editor.showFps) {
        char line[32];
        std::snprintf(line, sizeof line, "FPS: %i", 1000 / std::max(editor.frameMillis, 1));
        text(line, kFontSmall, float(editor.windowWidth / 2 - 28), float(editor.windowHeight - 26));
    }
    if (editor.promptKind != kPromptNone) drawPrompt();
    drawStatusMessage();
}

} // namespace

// ------------------------------------------------------------------ frame

void setScenePerspective()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, double(editor.windowWidth) / double(editor.windowHeight), 1.0, double(editor.farClip));
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(-90, 1, 0, 0);
    glRotatef(90, 0, 0, 1);
}

static uint64_t gFramesDrawn = 0;

void drawFrame()
{
    const bool haveTerrain = !editor.terrain.vertices.empty();
    // Every frame: after a resize the context keeps the old window's
    // viewport, and only the shadow pass would otherwise set a new one.
    glViewport(0, 0, editor.windowWidth, editor.windowHeight);
    resetMeshDrawCount();
    if (haveTerrain) chooseLevelsForCamera();
    if (editor.shadowsOn && haveTerrain) renderShadowPass();
    glClearColor(0.25f, 0.25f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (haveTerrain) drawScene();

    glColor3f(1, 1, 1);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, editor.windowWidth, editor.windowHeight, 0, -4096, 4096);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (editor.hudVisible)
        drawHud();
    else if (!keyHeld(SDLK_TAB))
        text("Press Tab to toggle HUD", kFontSmall, 5, float(editor.windowHeight - 5));
    if (keyHeld(SDLK_F1)) drawHelp();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDepthMask(GL_TRUE);
    SDL_GL_SwapBuffers();
    ++gFramesDrawn;
}

uint64_t framesDrawn() { return gFramesDrawn; }

void projectPoint(const float point[3], double out[3])
{
    gluProject(point[0], point[1], point[2], editor.modelviewMatrix, editor.projectionMatrix, editor.viewport,
               &out[0], &out[1], &out[2]);
}

void unprojectPoint(double wx, double wy, double depth, double out[3])
{
    gluUnProject(wx, wy, depth, editor.modelviewMatrix, editor.projectionMatrix, editor.viewport, &out[0], &out[1],
                 &out[2]);
}

void unprojectCursor(int mx, int my, double out[3])
{
    // Row H - my is one row above the window when the cursor is on the top
    // pixel row; read the top row instead of undefined memory.
    const int wy = std::clamp(editor.windowHeight - my, 0, std::max(editor.windowHeight - 1, 0));
    const int wx = std::clamp(mx, 0, std::max(editor.windowWidth - 1, 0));
    GLfloat depth = 1.0f;
    glReadPixels(wx, wy, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    unprojectPoint(double(mx), double(wy), double(depth), out);
}
