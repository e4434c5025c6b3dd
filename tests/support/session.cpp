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
    // A display that is busy for a moment refuses the window; try again briefly.
    bool started = false;
    for (int attempt = 0; attempt < 10 && !started; ++attempt) {
        started = startUp();
        if (!started) SDL_Delay(200);
    }
    ASSERT_TRUE(started) << "no display: set DISPLAY (the test command starts Xvfb)";
    std::srand(1234);
    // Park the cursor away from the palette and the terrain centre.
    moveMouse(400, 300);
    stepFrames(2);
}

void SessionTest::TearDown()
{
    if (editor.glContextReady) shutDown();
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
    event.type = SDL_KEYDOWN; // the type every member of the union starts with
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

// Pumps SDL's events until `done` holds (or about 100 ms have passed): warps
// and XTest buttons reach SDL asynchronously, through the X server.
template <typename Done> static void pumpUntil(Done done)
{
    for (int i = 0; i < 50 && (SDL_PumpEvents(), !done()); ++i) SDL_Delay(2);
}

void moveMouse(int x, int y)
{
    SDL_WarpMouse(Uint16(x), Uint16(y));
    pumpUntil([&] {
        int mx = -1, my = -1;
        SDL_GetMouseState(&mx, &my);
        return mx == x && my == y;
    });
}

// Mouse buttons go through the X server (XTest), not SDL_PushEvent: SDL's
// held-button mask, which gates the brush, only follows real button events.
static void pushButton(bool down, int button, int x, int y)
{
    static Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    moveMouse(x, y);
    XTestFakeButtonEvent(display, unsigned(button), down, CurrentTime);
    // A wheel step is a press and a release; a second press of a button
    // still down would be dropped by the server.
    if (button > 3 && down) XTestFakeButtonEvent(display, unsigned(button), False, CurrentTime);
    XSync(display, False);
    pumpUntil([&] { return button > 3 || ((SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(button)) != 0) == down; });
}

void pressMouse(int button, int x, int y) { pushButton(true, button, x, y); }

void releaseMouse(int button, int x, int y) { pushButton(false, button, x, y); }

void clickAt(int x, int y)
{
    pressMouse(SDL_BUTTON_LEFT, x, y);
    runFrame();
    releaseMouse(SDL_BUTTON_LEFT, x, y);
    runFrame();
}

// RGB of the w x h rectangle at (x, y), GL's y up, bottom row first.
static std::vector<uint8_t> readRect(int x, int y, int w, int h)
{
    std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::array<uint8_t, 3> pixelAt(int x, int y)
{
    const std::vector<uint8_t> p = readRect(x, editor.windowHeight - 1 - y, 1, 1);
    return {p[0], p[1], p[2]};
}

std::vector<uint8_t> readFrame() { return readRect(0, 0, editor.windowWidth, editor.windowHeight); }

void resizeWindow(int width, int height)
{
    SDL_Event event{};
    event.type = SDL_VIDEORESIZE;
    event.resize.w = width;
    event.resize.h = height;
    SDL_PushEvent(&event);
    runFrame();
}
