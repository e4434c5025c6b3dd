// The free-flying camera: mouse look while the right button is held, flight
// from held keys.
#pragma once

struct CameraBasis {
    float forward[3];
    float right[3];
    float up[3];
};

// Unit vectors for the current pitch, roll and yaw.
CameraBasis cameraBasis();
// Turns the view by the cursor's offset from the window centre (tenths of a
// pixel per degree, dead zone under 10 pixels) and re-centres the cursor.
void lookWithMouse(int x, int y);
// The angle changes alone; returns whether the cursor moved far enough to
// turn the view (and so must be re-centred).
bool turnCamera(int x, int y);
// Flies along the held W/A/S/D/arrows/C/V keys, scaled by frameMillis.
void moveWithKeys();
