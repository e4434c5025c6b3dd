// The sky: one panorama on a sphere, or six faces on a box.
#pragma once

#include <string>

// "<base>.tga" as a panorama if readable, else the six "<base>_<face>.tga".
void loadSkySet(const std::string& base);
// Draws the current set around the eye (called before the camera translation).
void drawSky();
