#include "app/progress_display.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>

#include "app/editor_state.h"
#include "render/progress_bar.h"
#include "terrain/progress.h"

namespace {

constexpr int64_t kRedrawEveryMs = 200;

int64_t gDelayMs = 300;
int64_t gStartedAt = 0;
int64_t gShownAt = 0;
bool gShown = false;   // this operation has shown its progress
int gPictures = 0;
// A resize that arrived during the operation, handed back to the loop at its end.
bool gResizePending = false;
SDL_Event gResize{};

void pumpEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT: editor.quitRequested = true; break;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_F4 && (event.key.keysym.mod & kModAlt) != 0)
                editor.quitRequested = true;
            break;
        case SDL_VIDEORESIZE:
            gResizePending = true;
            gResize = event;
            break;
        default: break; // input waits for nothing: it is ignored until the operation ends
        }
    }
}

void printOnTerminal(const char* operation, float fraction, bool finished)
{
    static const bool terminal = isatty(STDERR_FILENO) != 0;
    if (!terminal) return;
    if (finished)
        std::fprintf(stderr, "\r%s: done\n", operation);
    else
        std::fprintf(stderr, "\r%s: %3d%%", operation, int(fraction * 100.0f));
    std::fflush(stderr);
}

void drawPicture(const ProgressReport& report)
{
    if (!editor.glContextReady) return;
    drawProgressBar(report.operation, report.fraction);
    SDL_GL_SwapBuffers();
    ++gPictures;
}

void show(const ProgressReport& report)
{
    const int64_t now = steadyMillis();
    if (now - gStartedAt < gDelayMs) return;
    if (gShown && now - gShownAt < kRedrawEveryMs) return;
    gShown = true;
    gShownAt = now;
    pumpEvents();
    drawPicture(report);
    printOnTerminal(report.operation, report.fraction, false);
}

void finish(const ProgressReport& report)
{
    if (!gShown) return;
    gShown = false;
    // Full, until the first frame of the result replaces it (on a big grid
    // that frame takes a moment of its own).
    drawPicture(report);
    releaseProgressBackdrop();
    printOnTerminal(report.operation, 1.0f, true);
    if (gResizePending) {
        gResizePending = false;
        SDL_PushEvent(&gResize);
    }
    // The next frame measures its time from now, not from before the
    // operation: the camera must not leap by the seconds it took.
    editor.frameTicks = SDL_GetTicks();
}

void progressChanged(const ProgressReport& report) noexcept
{
    switch (report.phase) {
    case ProgressPhase::kBegin:
        gStartedAt = steadyMillis();
        gShown = false;
        break;
    case ProgressPhase::kUpdate: show(report); break;
    case ProgressPhase::kEnd: finish(report); break;
    }
}

} // namespace

void installProgressDisplay() { setProgressListener(progressChanged); }

void removeProgressDisplay() { setProgressListener(nullptr); }

void setProgressDelay(int milliseconds) { gDelayMs = milliseconds; }

int progressPicturesDrawn() { return gPictures; }
