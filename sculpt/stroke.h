// The stroke life cycle shared by all eight tools: a left press takes a copy
// of what the tool will change, every frame with the button down applies the
// tool once around the pick, and the release turns the copy into one undo
// entry for the rectangle the stroke touched.
#pragma once

#include <cstdint>

// Left press over the terrain: copies the vertices (tools 0-4) or the
// distribution map (tools 5-7), empties the dirty bounds and takes
// flattenHeight from the hovered vertex. A stroke still held is ended first.
void beginStroke();
// Left release: pushes the undo entry of the dirty bounds (kind 0 or 1) from
// the copy, frees it and leaves the stroke.
void endStroke();
// Applies the current tool once when a stroke is active and bit 0 (left
// button) of the mask is set. Height tools act only while the vertex copy
// exists, texture tools only while the distribution copy does.
void applyBrush(uint32_t buttonMask);
// Called first by every command that replaces the terrain, resizes the grid
// or moves vertices, and by a tool switch between the height and texture
// families: ends a held stroke exactly as a release would.
void finishHeldStroke();
