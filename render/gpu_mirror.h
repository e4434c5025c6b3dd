// The only seam between the terrain model and GL: copies of model data into
// GL objects. Every function returns at once when no GL context exists
// (editor.glContextReady is false), so the model runs and is tested without
// a window. No GL types here.
#pragma once

#include <cstdint>

// Deletes and re-creates the four mesh buffers from the vertex array (only
// with buffer objects).
void uploadMeshBuffers();
// Rewrites positions and colours of the vertices in the rectangle (clipped
// to the grid) in the position and colour buffers.
void patchMeshVertices(int x0, int y0, int x1, int y1);
// New RGB float texture from the distribution map; returns its name (0
// without a context).
uint32_t createDistributionTexture(int width, int height);
// Deletes the current distribution texture and makes a new one from the map.
void replaceDistributionTexture();
// Re-sends rows y0..y1, columns x0..x1 (clipped to the map) of the
// distribution map, one row at a time.
void updateDistributionRows(int x0, int y0, int x1, int y1);
// Uploads a brush stamp image (24 or 32 bits, top row first) as a linear
// filtered texture for the HUD preview; returns its name (0 without a context).
uint32_t uploadStampTexture(const uint8_t* pixels, int width, int height, int bitsPerPixel);
