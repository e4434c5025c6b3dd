// The GPU mirror: keeps the GL copies of model data (mesh buffers, the
// distribution texture, the stamp previews) and the level-of-detail chunk
// data (render/terrain_lod.h) in step with the model. The
// model reports its changes (terrain/terrain_events.h); start-up installs
// gpuMirrorTerrainChanged as the listener. Every function returns at once
// when no GL context exists (editor.glContextReady is false). No GL types here.
#pragma once

#include <cstdint>

struct TerrainChange;

// The change listener: brings the GL copies up to date with one change.
void gpuMirrorTerrainChanged(const TerrainChange& change);

// Deletes the mesh buffers, if any (needs the context that made them): the
// mesh is then drawn straight from the vertex array.
void deleteMeshBuffers();
// Deletes and re-creates the five mesh buffers from the vertex array (only
// with buffer objects).
void uploadMeshBuffers();
// New RGB texture from the distribution map; returns its name (0 without a
// context).
uint32_t createDistributionTexture(int width, int height);
// Deletes the current distribution texture and makes a new one from the map.
void replaceDistributionTexture();
// Makes the HUD preview texture of every loaded stamp from its mask.
void createStampPreviews();
