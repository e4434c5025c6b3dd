// Index: keys | mouse | pick and light | frame
#include "app/main_loop.h"

#include <SDL.h>

#include <cstdlib>

#include "app/camera.h"
#include "app/editor_state.h"
#include "app/prompt.h"
#include "ops/commands.h"
#include "render/frame.h"
#include "sculpt/picking.h"
#include "sculpt/stroke.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"
#include "ui/palette.h"
#include "app/startup.h"

namespace {

constexpr float kMinStrength = 0.05f;
constexpr float kMinWheelWidth = 1.0f;

void lowerStrength(float step)
{
    editor.brushStrength -= step;
    if (!(editor.brushStrength > kMinStrength)) editor.brushStrength = kMinStrength;
}

void toggle(uint8_t& flag) { flag = flag ? 0 : 1; }

// Commands that replace the terrain, resize the grid or move its vertices
// end a held stroke first, so its snapshot is never read with another grid.
void newTerrain()
{
    finishHeldStroke();
    createDefaultTerrain();
}

void handleCommandKey(int sym, uint32_t mod)
{
    const bool ctrl = (mod & kModCtrl) != 0, shift = (mod & kModShift) != 0, alt = (mod & kModAlt) != 0;
    switch (sym) {
    case SDLK_z:
        if (ctrl && !editor.strokeActive) undo();
        return;
    case SDLK_y:
        if (ctrl && !editor.strokeActive) redo();
        return;
    case SDLK_b: toggle(editor.smoothBrush); return;
    case SDLK_n:
        if (ctrl)
            newTerrain();
        else
            toggle(editor.showNormals);
        return;
    case SDLK_p: toggle(editor.showLevelPlane); return;
    case SDLK_l: toggle(editor.wireframe); return;
    case SDLK_F2: toggle(editor.texturingOn); return;
    case SDLK_F3: toggle(editor.showFps); return;
    case SDLK_F4:
        if (alt)
            editor.quitRequested = true;
        else
            toggle(editor.shadowsOn);
        return;
    case SDLK_F5:
    case SDLK_F6:
    case SDLK_F7: chooseTexture(sym - SDLK_F5); return;
    case SDLK_PLUS:
    case SDLK_EQUALS:
    case SDLK_KP_PLUS:
        if (ctrl)
            editor.brushStrength += shift ? 0.2f : 0.05f;
        else
            editor.brushWidth *= shift ? 1.3f : 1.15f;
        return;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        if (ctrl)
            lowerStrength(shift ? 0.2f : 0.05f);
        else
            editor.brushWidth /= shift ? 1.3f : 1.15f; // no floor: the key can go below 1
        return;
    case SDLK_PAGEUP:
        finishHeldStroke();
        commandGrowGrid(ctrl, shift ? 8 : 2);
        return;
    case SDLK_PAGEDOWN:
        finishHeldStroke();
        commandShrinkGrid(ctrl, shift ? 8 : 2);
        return;
    case SDLK_RIGHTBRACKET:
    case SDLK_LEFTBRACKET:
        finishHeldStroke();
        if (ctrl)
            commandHeightScale(sym == SDLK_RIGHTBRACKET, shift);
        else
            commandBlockWidth(sym == SDLK_RIGHTBRACKET, shift);
        return;
    default: break;
    }
    if (sym >= SDLK_1 && sym <= SDLK_7) selectTool(sym - SDLK_1);
}

// ------------------------------------------------------------------ mouse

void beginLeftPress(int x, int y)
{
    if (clickPalette(x, y)) {
        editor.strokeActive = 0;
        return;
    }
    double light[3];
    projectPoint(editor.lightPosition, light);
    editor.lightDragDepth = light[2];
    if (std::abs((editor.windowHeight - y) - light[1]) + std::abs(x - light[0]) < 20.0) {
        editor.lightDragActive = 1;
        return;
    }
    beginStroke();
}

void wheel(bool up, uint32_t mod)
{
    const bool ctrl = (mod & kModCtrl) != 0, shift = (mod & kModShift) != 0;
    if (ctrl) {
        if (up)
            editor.brushStrength += shift ? 0.1f : 0.02f;
        else
            lowerStrength(shift ? 0.1f : 0.02f);
        return;
    }
    const float step = editor.terrain.blockWidth * (shift ? 0.25f : 0.125f);
    if (up) {
        editor.brushWidth += step;
        return;
    }
    editor.brushWidth -= step;
    if (!(editor.brushWidth > kMinWheelWidth)) editor.brushWidth = kMinWheelWidth;
}

void handleMouseDown(const SDL_MouseButtonEvent& event)
{
    switch (event.button) {
    case SDL_BUTTON_LEFT: beginLeftPress(event.x, event.y); break;
    case SDL_BUTTON_RIGHT:
        SDL_WarpMouse(Uint16(editor.windowWidth / 2), Uint16(editor.windowHeight / 2));
        SDL_ShowCursor(0);
        break;
    case SDL_BUTTON_WHEELUP: wheel(true, editor.modState); break;
    case SDL_BUTTON_WHEELDOWN: wheel(false, editor.modState); break;
    default: break;
    }
}

void handleMouseUp(const SDL_MouseButtonEvent& event)
{
    if (event.button == SDL_BUTTON_RIGHT) {
        SDL_ShowCursor(1);
    } else if (event.button == SDL_BUTTON_LEFT) {
        editor.lightDragActive = 0;
        endStroke();
    }
}

void handleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        // The modifiers as they were when this key went down: Alt and F4
        // pressed in quick succession arrive in one batch, after the
        // frame's own modifier reading.
        editor.modState = event.key.keysym.mod;
        handleKeyDown(event.key.keysym.sym, editor.modState);
        break;
    case SDL_MOUSEBUTTONDOWN: handleMouseDown(event.button); break;
    case SDL_MOUSEBUTTONUP: handleMouseUp(event.button); break;
    case SDL_QUIT: editor.quitRequested = true; break;
    case SDL_VIDEORESIZE: resetVideo(event.resize.w, event.resize.h); break;
    default: break;
    }
}

// ------------------------------------------------------- pick and light

void dragLight()
{
    int mx = 0, my = 0;
    SDL_GetMouseState(&mx, &my);
    double world[3];
    unprojectPoint(double(mx), double(editor.windowHeight - my), editor.lightDragDepth, world);
    for (int i = 0; i < 3; ++i) editor.lightPosition[i] = float(world[i]);
    relightAllVertices();
}

void paceFrame()
{
    const Uint32 previous = editor.frameTicks;
    Uint32 elapsed = 0;
    do {
        SDL_Delay(1);
        editor.frameTicks = SDL_GetTicks();
        elapsed = editor.frameTicks - previous;
    } while (elapsed < 25u);
    editor.frameMillis = int32_t(elapsed);
}

} // namespace

void handleKeyDown(int sym, uint32_t mod)
{
    if (sym == SDLK_ESCAPE) {
        if (editor.promptKind != kPromptNone) closePrompt();
        return;
    }
    if (sym == SDLK_TAB) {
        toggle(editor.hudVisible);
        return;
    }
    if (editor.promptKind != kPromptNone) {
        promptKey(sym);
        return;
    }
    handleCommandKey(sym, mod);
}

uint32_t updatePick()
{
    int mx = 0, my = 0;
    const uint32_t buttons = SDL_GetMouseState(&mx, &my);
    if (editor.terrain.vertices.empty()) return buttons;
    double world[3];
    unprojectCursor(mx, my, world);
    applyPick(world[0], world[1], world[2]);
    return buttons;
}

void runFrame()
{
    editor.keyState = SDL_GetKeyState(nullptr);
    editor.modState = SDL_GetModState();
    SDL_Event event;
    while (SDL_PollEvent(&event)) handleEvent(event);
    int mx = 0, my = 0;
    if (SDL_GetMouseState(&mx, &my) & SDL_BUTTON(SDL_BUTTON_RIGHT)) lookWithMouse(mx, my);
    paceFrame();
    const uint32_t buttons = updatePick();
    if (editor.promptKind == kPromptNone) moveWithKeys();
    if (editor.lightDragActive) dragLight();
    applyBrush(buttons);
    drawFrame();
    SDL_Delay(1);
}

void runMainLoop()
{
    while (!editor.quitRequested) runFrame();
}
