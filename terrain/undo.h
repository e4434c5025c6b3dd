// Bounded undo/redo history of terrain snapshots. An entry holds only the
// touched rectangle: positions (3 floats a vertex, or only the height where
// x and y follow from column, row and block width) or weights (3 floats a
// texel), plus the grid size for the sized kinds. At most kUndoLimit entries
// and at most the memory budget are kept; the oldest go first, the newest
// always stays.
#pragma once

#include <cstdint>
#include <vector>

#include "app/editor_state.h"

// Records the positions of the region as they stand in `source` (row length
// = the terrain's gridX). Nothing happens for an empty region. Returns
// whether an entry was made.
bool pushPositionsSnapshot(const TerrainVertex* source, int x0, int y0, int x1, int y1, int kind);
// The same for a rectangle of a distribution map (row length
// distributionWidth); the entry has kind 1.
bool pushDistributionSnapshot(const float* source, int x0, int y0, int x1, int y1);
// Records an entry whose data the caller gathered: `triples` holds 3 floats
// per element of the region, rows outer (positions for kind 0, weights for
// kind 1). Nothing happens for an empty region.
bool pushRegionEntry(int kind, int x0, int y0, int x1, int y1, std::vector<float> triples);
// Whole-grid entry of the given kind from the live vertices.
bool pushWholeGridSnapshot(int kind);
void undo();
void redo();
void clearHistory();
void clearRedo();
int undoCount();
int redoCount();
// Bytes the entries of both lists hold.
int64_t historyBytes();
// The memory budget: BRIVEL_UNDO_MB megabytes when set to a positive whole
// number, else kUndoBudgetMB.
int64_t undoBudgetBytes();
