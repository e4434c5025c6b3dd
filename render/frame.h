// One complete picture: shadow pass, 3D scene, 2D layer, swap.
#pragma once

#include <cstdint>

void drawFrame();
// Scene frames drawn since start-up.
uint64_t framesDrawn();
// Pushes and sets the scene projection and the z-up base rotation.
void setScenePerspective();
// Reads the depth the last frame left under window pixel (mx, my) (y down)
// and unprojects it with the stored matrices into world coordinates.
void unprojectCursor(int mx, int my, double out[3]);
// Projects a world point with the stored matrices: window x, y (y up) and depth.
void projectPoint(const float point[3], double out[3]);
// Unprojects window x, y (y up) and depth with the stored matrices.
void unprojectPoint(double wx, double wy, double depth, double out[3]);
