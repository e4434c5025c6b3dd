#include "support/session.h"

#include <GL/gl.h>
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

#include "app/editor_state.h"
#include "app/main_loop.h"
#include "app/startup.h"

void SessionTest::SetUp()
{
    resetEditorState();
    startUp();
    ASSERT_TRUE(editor.glContextReady) << "no display: set DISPLAY (the test command starts Xvfb)";
    std::srand(1234);
    // Park the cursor away from the palette and the terrain centre.
    moveMouse(400, 300);
    stepFrames(2);
}

void SessionTest::TearDown()
{
    shutDown();
    resetEditorState();
}

void stepFrames(int count)
{
    for (int i = 0; i < count; ++i) runFrame();
}

void pressKey(int sym, uint32_t mod)
{
    SDL_SetModState(SDLMod(mod));
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = SDLKey(sym);
    event.key.keysym.mod = SDLMod(mod);
    SDL_PushEvent(&event);
    runFrame();
    SDL_SetModState(KMOD_NONE);
}

void holdKey(int sym, bool down)
{
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    if (sym >= 0 && sym < count) keys[sym] = down ? 1 : 0;
}

void moveMouse(int x, int y)
{
    SDL_WarpMouse(Uint16(x), Uint16(y));
    // The warp reaches SDL as a motion event; wait until SDL reports it.
    for (int i = 0; i < 50; ++i) {
        SDL_PumpEvents();
        int mx = -1, my = -1;
        SDL_GetMouseState(&mx, &my);
        if (mx == x && my == y) break;
        SDL_Delay(2);
    }
}

// Mouse buttons go through the X server (XTest), not SDL_PushEvent: SDL's
// held-button mask, which gates the brush, only follows real button events.
static Display* testDisplay()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

static void pushButton(Uint8 type, int button, int x, int y)
{
    moveMouse(x, y);
    Display* display = testDisplay();
    ASSERT_NE(display, nullptr);
    XTestFakeButtonEvent(display, unsigned(button), type == SDL_MOUSEBUTTONDOWN ? True : False, CurrentTime);
    // A wheel step is a press and a release; a second press of a button
    // still down would be dropped by the server.
    if (button > 3 && type == SDL_MOUSEBUTTONDOWN) XTestFakeButtonEvent(display, unsigned(button), False, CurrentTime);
    XSync(display, False);
    // Let SDL's connection read the event before the next frame polls.
    for (int i = 0; i < 50; ++i) {
        SDL_PumpEvents();
        const bool down = (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(button)) != 0;
        if (down == (type == SDL_MOUSEBUTTONDOWN) || button > 3) break;
        SDL_Delay(2);
    }
}

void pressMouse(int button, int x, int y) { pushButton(SDL_MOUSEBUTTONDOWN, button, x, y); }

void releaseMouse(int button, int x, int y) { pushButton(SDL_MOUSEBUTTONUP, button, x, y); }

void clickAt(int x, int y)
{
    pressMouse(SDL_BUTTON_LEFT, x, y);
    runFrame();
    releaseMouse(SDL_BUTTON_LEFT, x, y);
    runFrame();
}

std::array<uint8_t, 3> pixelAt(int x, int y)
{
    std::array<uint8_t, 3> rgb{};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, editor.windowHeight - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

std::vector<uint8_t> readFrame()
{
    std::vector<uint8_t> pixels(size_t(editor.windowWidth) * size_t(editor.windowHeight) * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, editor.windowWidth, editor.windowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void resizeWindow(int width, int height)
{
    SDL_Event event{};
    event.type = SDL_VIDEORESIZE;
    event.resize.type = SDL_VIDEORESIZE;
    event.resize.w = width;
    event.resize.h = height;
    SDL_PushEvent(&event);
    runFrame();
}
