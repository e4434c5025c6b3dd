// Whole-terrain transforms that keep the vertex count: texture by elevation,
// inversion, block width and height scale.
#pragma once

#include <string>

// Why each change cannot go ahead on the current terrain, or "" when it can.
std::string blockWidthRefusal(float delta);
std::string heightScaleRefusal(float delta);

// Texel weights (sand, grass, snow) for a normalised elevation e: sand
// fades out by 0.5, grass peaks at 0.5, snow fades in above 0.5.
void elevationWeights(float e, float weights[3]);
// Weight of the texel at offset (dx, dy) in the 5 x 5 blur window:
// 1 - distance / 3.5, never below 0.
float blurWeight(int dx, int dy);
// Rewrites the distribution map from the heights, then blurs it once; pushes
// its own kind-1 entry. Refused with a message when the height range is
// below 1 or the grid is one vertex wide or high. Returns whether it went
// ahead.
bool textureByElevation();
// Turns the terrain upside down within its height range; pushes its own
// whole-grid entry. Refused with a message when the range is below 1.
// Returns whether it went ahead.
bool invertTerrain();
// Changes blockWidth by delta and scales every x and y with it. Refused with
// a message when the result would drop below 1.
void changeBlockWidth(float delta);
// Changes heightScale by delta and scales every height about 0 with it.
// Refused with a message when the result would drop below 1.
void scaleHeights(float delta);
