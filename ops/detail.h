// Detail and dimension changes: the commands that change the vertex count of
// the grid. Callers push the whole-grid undo entry first (ops/commands.h).
//
// Each change is planned first: the new grid, its normals, texture
// coordinates and triangle list (and for a dimension change the resampled
// distribution map) are built beside the terrain, and only then installed.
// Running out of memory while planning leaves the terrain as it was, and
// installing needs no memory, so the command entry points push their undo
// entry between the two.
#pragma once

#include <cstdint>
#include <vector>

#include "app/editor_state.h"

struct GridChange {
    std::vector<TerrainVertex> vertices; // the new grid, normals and coordinates ready
    std::vector<uint32_t> indices;
    std::vector<float> distribution;     // the resampled map; empty when the map stays
    int gridX = 0, gridY = 0;
    float blockWidth = 0.0f;
};

enum class GridPlan {
    kReady,       // `change` holds the new grid
    kNothingToDo, // the change does not apply (below the smallest size); nothing was said
    kRefused,     // the result would be too large; the refusal was reported
};

// Puts a vertex between every two neighbours in both directions and halves
// blockWidth. Without Ctrl held (editor.modState) each new height gets a
// random offset of +-|dz| / 5; with Ctrl it is the plain midpoint. Refused
// when a side would exceed kMaxGridSide.
GridPlan planIncreaseDetail(GridChange& change);
// Keeps every second vertex, each averaging its 3 x 3 neighbourhood, and
// doubles blockWidth. Nothing to do when a side would drop below 8.
GridPlan planDecreaseDetail(GridChange& change);
// Adds (step > 0) or removes (step < 0) columns at the far edge, extending
// the edge heights outward, and resamples the distribution map so that it
// keeps covering the same terrain. Nothing below 3 columns; growth beyond
// kMaxGridSide is refused.
GridPlan planResizeGridX(int step, GridChange& change);
// The same for rows.
GridPlan planResizeGridY(int step, GridChange& change);
// Makes a planned change the terrain's and reports it; the old arrays are
// freed. Allocates nothing.
void installGridChange(GridChange& change);

// Plan and install in one step.
void increaseDetail();
void decreaseDetail();
void resizeGridX(int step);
void resizeGridY(int step);
