// Depth-texture shadows from the point light.
#pragma once

// Depth texture and framebuffer for the current context; clears shadowsOn
// when the GL cannot support them.
void createShadowMap();
// Renders the terrain's depth from the light and loads texture matrix 7.
void renderShadowPass();
