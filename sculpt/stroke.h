// The stroke life cycle shared by all eight tools: a left press starts a
// stroke, every frame with the button down applies the tool once around the
// pick (copying, tile by tile, what it is about to change for the first
// time), and the release turns the copies into one undo entry for the
// rectangle the stroke touched.
#pragma once

#include <cstdint>

// Left press over the terrain: starts an empty copy of the vertices (tools
// 0-4) or of the distribution map (tools 5-7), empties the dirty bounds and
// takes flattenHeight from the hovered vertex. A stroke still held is ended
// first.
void beginStroke();
// Left release: pushes the undo entry of the dirty bounds (kind 0 or 1) from
// the copy, unless no value changed, frees the copy and leaves the stroke.
void endStroke();
// Applies the current tool once when a stroke is active and bit 0 (left
// button) of the mask is set. Height tools act only while the vertex copy
// exists, texture tools only while the distribution copy does.
void applyBrush(uint32_t buttonMask);
// Called first by every command that replaces the terrain, resizes the grid
// or moves vertices, and by a tool switch between the height and texture
// families: ends a held stroke exactly as a release would.
void finishHeldStroke();
