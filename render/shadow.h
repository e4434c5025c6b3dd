// Depth-texture shadows from the point light.
#pragma once

// Depth texture and framebuffer for the current context; clears shadowsOn
// when the GL cannot support them (missing entry points, incomplete
// framebuffer, fewer than 8 texture image units).
void createShadowMap();
// Deletes the depth texture and framebuffer of a context that is kept.
void destroyShadowMap();
// Renders the terrain's depth from the light and loads texture matrix 7.
void renderShadowPass();
// Loads the light's projection (65 degrees, aspect 1.6, near 125, far past
// the whole grid) and the base z-up modelview.
void setLightProjection();
// Texture matrix 7 := bias x current projection x current modelview.
void setShadowTextureMatrix();

struct LightAim {
    float yaw;   // degrees, about z, 0 when looking along +x
    float pitch; // degrees, 90 when looking straight down
};
// Where the light looks: at the middle of the grid's ground rectangle
// (height 0) from `light`.
LightAim lightAimAngles(const float light[3], int gridX, int gridY, float blockWidth);
