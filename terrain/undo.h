// Bounded undo/redo history of terrain snapshots. An entry holds only the
// touched rectangle: positions (3 floats a vertex) or weights (3 floats a
// texel), plus the grid size for the sized kinds.
#pragma once

#include "app/editor_state.h"

// Records the positions of the region as they stand in `source` (row length
// = the terrain's gridX). Nothing happens for an empty region. Returns
// whether an entry was made.
bool pushPositionsSnapshot(const TerrainVertex* source, int x0, int y0, int x1, int y1, int kind);
// The same for a rectangle of a distribution map (row length
// distributionWidth); the entry has kind 1.
bool pushDistributionSnapshot(const float* source, int x0, int y0, int x1, int y1);
// Whole-grid entry of the given kind from the live vertices.
bool pushWholeGridSnapshot(int kind);
void undo();
void redo();
void clearHistory();
void clearRedo();
int undoCount();
int redoCount();
