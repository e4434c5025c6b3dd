// Detail and dimension changes: the commands that change the vertex count of
// the grid. Callers check the refusal first and push the whole-grid undo
// entry only when the command goes ahead (ops/commands.h).
//
// Each change is planned first: the new grid, its normals and texture
// coordinates (and for a dimension change the resampled distribution map)
// are built beside the terrain, and only then installed.
// Running out of memory while planning leaves the terrain as it was, and
// installing needs no memory, so the command entry points push their undo
// entry between the two.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/editor_state.h"

constexpr int kMinGridSide = 3;      // a dimension change keeps both sides at least this long
constexpr int kMinDecreasedSide = 8; // Decrease Detail keeps both sides at least this long

// Why each command cannot go ahead on the current terrain, or "" when it can.
std::string increaseDetailRefusal();
std::string decreaseDetailRefusal();
std::string resizeGridRefusal(bool yAxis, int step);

struct GridChange {
    std::vector<TerrainVertex> vertices; // the new grid, normals and coordinates ready
    std::vector<float> distribution;     // the resampled map; empty when the map stays
    int gridX = 0, gridY = 0;
    float blockWidth = 0.0f;
};

// The plans, for a command its refusal lets go ahead.
// A vertex between every two neighbours in both directions, blockWidth
// halved. Without Ctrl held (editor.modState) each new height gets a random
// offset of +-|dz| / 5; with Ctrl it is the plain midpoint.
void planIncreaseDetail(GridChange& change);
// Every second vertex kept, each averaging its 3 x 3 neighbourhood,
// blockWidth doubled.
void planDecreaseDetail(GridChange& change);
// Columns (rows, yAxis) added (step > 0) or removed (step < 0) at the far
// edge, the edge heights extended outward, the map resampled so that it
// keeps covering the same terrain.
void planResizeGrid(bool yAxis, int step, GridChange& change);
// Makes a planned change the terrain's and reports it; the old arrays are
// freed. Allocates nothing.
void installGridChange(GridChange& change);

// Increase Detail without an undo entry (tests and benchmarks build fine
// grids with it): refusal check, plan and install; a refusal is posted.
void increaseDetail();
