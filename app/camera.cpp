#include "app/camera.h"

#include <SDL.h>

#include <cmath>

#include "app/editor_state.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

void normalizeAngle(float& angle)
{
    // The threshold is 359, not 360: a value in (359, 360) becomes slightly
    // negative and returns above 359 on the next call.
    if (angle > 359.0f) {
        while (angle > 359.0f) angle -= 360.0f;
    } else if (angle < 0.0f) {
        while (angle < 0.0f) angle += 360.0f;
    }
}

bool held(int sym) { return editor.keyState != nullptr && editor.keyState[sym] != 0; }

void addScaled(float* position, const float* direction, float step)
{
    for (int i = 0; i < 3; ++i) position[i] += direction[i] * step;
}

} // namespace

CameraBasis cameraBasis()
{
    const float p = editor.camera.angles[kPitch] * kDegreesToRadians;
    const float r = editor.camera.angles[kRoll] * kDegreesToRadians;
    const float w = editor.camera.angles[kYaw] * kDegreesToRadians;
    const float sp = std::sin(p), cp = std::cos(p), sr = std::sin(r), cr = std::cos(r);
    const float sw = std::sin(w), cw = std::cos(w);
    return CameraBasis{
        {cp * cw, cp * sw, -sp},
        {cr * sw - sp * sr * cw, -(cr * cw + sp * sr * sw), -sr * cp},
        {sr * sw + sp * cr * cw, sp * cr * sw - sr * cw, cp * cr},
    };
}

bool turnCamera(int x, int y)
{
    const int cx = editor.windowWidth / 2, cy = editor.windowHeight / 2;
    const int dx = (x - cx) / 10, dy = (cy - y) / 10;
    float* angles = editor.camera.angles;
    angles[kYaw] -= float(dx);
    angles[kPitch] -= float(dy);
    for (int i = 0; i < 3; ++i) normalizeAngle(angles[i]);
    // Straight down (90) and straight up (270) are the limits; exactly 180 stays.
    float& pitch = angles[kPitch];
    if (pitch > 90.0f && pitch < 180.0f)
        pitch = 90.0f;
    else if (pitch > 180.0f && pitch < 270.0f)
        pitch = 270.0f;
    return dx != 0 || dy != 0;
}

void lookWithMouse(int x, int y)
{
    if (turnCamera(x, y)) SDL_WarpMouse(Uint16(editor.windowWidth / 2), Uint16(editor.windowHeight / 2));
}

void moveWithKeys()
{
    const bool fast = (editor.modState & kModShift) != 0;
    const float step = float(editor.frameMillis) * (fast ? 1.0f : 0.33333334f);
    const CameraBasis basis = cameraBasis();
    float* position = editor.camera.position;
    if (held(SDLK_w) || held(SDLK_UP))
        addScaled(position, basis.forward, step);
    else if (held(SDLK_s) || held(SDLK_DOWN))
        addScaled(position, basis.forward, -step);
    if (held(SDLK_a) || held(SDLK_LEFT))
        addScaled(position, basis.right, -step);
    else if (held(SDLK_d) || held(SDLK_RIGHT))
        addScaled(position, basis.right, step);
    if (held(SDLK_v))
        addScaled(position, basis.up, step);
    else if (held(SDLK_c))
        addScaled(position, basis.up, -step);
}
