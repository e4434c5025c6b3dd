// Depth-texture shadows from the point light.
#pragma once

#include "render/terrain_lod.h"

// Depth texture (compared in hardware, 2 x 2 linear filtered) and
// framebuffer for the current context; clears shadowsOn when the GL cannot
// support them (missing entry points, incomplete framebuffer, fewer than 8
// texture image units).
void createShadowMap();
// Deletes the depth texture and framebuffer of a context that is kept.
void destroyShadowMap();
// Renders the terrain's depth from the light, with a slope-scaled bias, into
// a view fitted to what receives shadows (the whole terrain, or on big grids
// the chunks the camera sees; chunks outside the light's view are not
// drawn), and loads texture matrix 7. Needs this frame's chunk levels. On a
// small grid whose surface and light are as at the last pass it does
// nothing: the map is still current.
void renderShadowPass();
// Whether the map holds a light view rendered by the last pass (false after
// a pass that could not run, and before the first).
bool shadowMapReady();
// World size of one map texel per unit of distance from the light, in the
// last pass's view (the shadow program's normal offset scales with it).
float shadowTexelPerDepth();
// Texture matrix 7 := bias x projection x modelview (column-major).
void setShadowTextureMatrix(const double modelview[16], const double projection[16]);

// The light's view: a look from the light at the middle of the receivers,
// and the off-centre frustum that holds all of them.
struct LightView {
    double view[16] = {};             // world to light space, column-major
    double left = 0, right = 0;       // frustum sides at the near plane
    double bottom = 0, top = 0;
    double nearPlane = 1, farPlane = 2; // distances along the light's axis
};
// The light at `light` looking at `receivers` (world box). The near plane
// stops short of everything in `terrain` (casters may stand anywhere on
// it); the frustum's half angle is capped where texels would spread too thin.
LightView fitLightView(const float light[3], const LodBounds& receivers, const LodBounds& terrain);
