#include "render/progress_bar.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "app/editor_state.h"
#include "render/frame.h"
#include "render/hud2d.h"

namespace {

constexpr int kBoxWidth = 360, kBoxHeight = 62; // window pixels
constexpr int kBarHeight = 14;

// The frame that was on screen when the bar first appeared, bottom row
// first; empty when it could not be kept (then the bar stands on grey).
std::vector<uint8_t> gBackdrop;
int gBackdropWidth = 0, gBackdropHeight = 0;
uint64_t gBackdropFrame = 0; // framesDrawn() when it was read
bool gBackdropTaken = false;

void takeBackdrop(int width, int height)
{
    gBackdropTaken = true;
    // The back buffer still holds the last progress picture.
    if (!gBackdrop.empty() && gBackdropFrame == framesDrawn()) return;
    gBackdropFrame = framesDrawn();
    try {
        gBackdrop.resize(size_t(width) * size_t(height) * 3);
    } catch (const std::bad_alloc&) {
        std::vector<uint8_t>().swap(gBackdrop);
        return;
    }
    gBackdropWidth = width;
    gBackdropHeight = height;
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, gBackdrop.data());
}

void drawBackdrop(int width, int height)
{
    if (gBackdrop.empty() || gBackdropWidth != width || gBackdropHeight != height) {
        glClearColor(0.25f, 0.25f, 0.25f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    glWindowPos2i(0, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(width, height, GL_RGB, GL_UNSIGNED_BYTE, gBackdrop.data());
}

} // namespace

void drawProgressBar(const char* operation, float fraction)
{
    const int w = editor.windowWidth, h = editor.windowHeight;
    if (!gBackdropTaken) takeBackdrop(w, h);

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, w, h);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    drawBackdrop(w, h);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.35f); // the scene stands still: dim it
    drawQuad2D(0, 0, 0, w, h);

    const int x1 = (w - kBoxWidth) / 2, y1 = (h - kBoxHeight) / 2;
    const int x2 = x1 + kBoxWidth, y2 = y1 + kBoxHeight;
    glColor4f(0.12f, 0.12f, 0.12f, 0.9f);
    drawQuad2D(0, x1, y1, x2, y2);
    const int barX1 = x1 + 12, barX2 = x2 - 12, barY1 = y2 - 12 - kBarHeight, barY2 = y2 - 12;
    glColor4f(0.35f, 0.35f, 0.35f, 1.0f);
    drawQuad2D(0, barX1, barY1, barX2, barY2);
    const float done = std::clamp(fraction, 0.0f, 1.0f);
    glColor4f(0.3f, 0.85f, 0.3f, 1.0f);
    drawQuad2D(0, barX1, barY1, barX1 + int(float(barX2 - barX1) * done), barY2);

    char line[160];
    std::snprintf(line, sizeof line, "%s ... %d%%", operation, int(done * 100.0f));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawText2D(line, kFontLarge, float(x1 + 12), float(y1 + 22));

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void releaseProgressBackdrop()
{
    gBackdropTaken = false;
}
