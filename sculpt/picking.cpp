#include "sculpt/picking.h"

#include <cmath>
#include <limits>

#include "app/editor_state.h"

// Nearest cell index, truncated toward zero: up to 1.5 cells below the low
// edge still gives 0. Far picks (the far plane, a degenerate matrix) are
// held to a range an int can take; such a cell is off the grid either way.
static int nearestCell(double coordinate, double blockWidth)
{
    const double cell = coordinate / blockWidth + 0.5;
    const double limit = 1.0e9;
    if (cell > limit) return int(limit);
    if (cell < -limit) return -int(limit);
    return int(cell);
}

static float clampToRange(double value, float high)
{
    if (value < 0.0) return 0.0f;
    if (value > double(high)) return high;
    return float(value);
}

// A z beyond float range (a far unprojection) is kept as the largest float of
// its sign rather than converted out of range.
static float toFloat(double value)
{
    const double largest = double(std::numeric_limits<float>::max());
    if (value > largest) return std::numeric_limits<float>::max();
    if (value < -largest) return -std::numeric_limits<float>::max();
    return float(value);
}

void applyPick(double ox, double oy, double oz)
{
    const Terrain& terrain = editor.terrain;
    if (terrain.gridX < 1 || terrain.gridY < 1) return;
    if (terrain.vertices.size() < size_t(terrain.gridX) * size_t(terrain.gridY)) return;
    if (!(terrain.blockWidth > 0.0f)) return;
    if (!std::isfinite(ox) || !std::isfinite(oy) || !std::isfinite(oz)) return;

    const float xMax = terrain.vertices[size_t(terrain.gridX - 1)].position[0];
    const float yMax = terrain.vertices[size_t(terrain.gridY - 1) * size_t(terrain.gridX)].position[1];
    editor.pickPoint[0] = clampToRange(ox, xMax);
    editor.pickPoint[1] = clampToRange(oy, yMax);
    editor.pickPoint[2] = toFloat(oz);

    editor.pickColumn = nearestCell(ox, terrain.blockWidth);
    editor.pickRow = nearestCell(oy, terrain.blockWidth);
    if (editor.pickColumn >= 0 && editor.pickColumn < terrain.gridX && editor.pickRow >= 0 &&
        editor.pickRow < terrain.gridY) {
        editor.hoverIndex = editor.pickRow * terrain.gridX + editor.pickColumn;
    }
}
