// Small terrains built by hand for model tests.
#pragma once

#include "app/editor_state.h"

#include <cstdint>
#include <vector>

// Resets the editor and installs a flat gridX x gridY terrain at `height`
// with the given block width, a 1024 x 1024 map of 0.3 and derived data.
void makeFlatTerrain(int gridX, int gridY, float height = 256.0f, float blockWidth = 32.0f);
// Adds a fixed relief with fractional heights (no flat face anywhere) and
// refreshes normals; benchmarks use it for realistic work.
void addRelief();
// Height of vertex (c, r) of the live terrain.
float& heightAt(int c, int r);

using Bytes = std::vector<uint8_t>;
// Everything of the terrain bit for bit: sizes, scales, vertices with their
// derived data and the distribution map.
Bytes terrainBytes();
// The terrain and every terrain its history leads to: each step back by
// undo, then forward again through every step of redo, ending where it
// started; last the two list lengths. Equal results mean equal documents
// with equal histories, whatever the entries look like inside.
std::vector<Bytes> sceneWithHistory();
