// Carve, Raise, Smooth, Noise and Flatten: one application around the picked
// grid cell, then normals, lighting and the GPU copy of the square.
#include <algorithm>
#include <cmath>

#include "app/editor_state.h"
#include "terrain/terrain_events.h"
#include "sculpt/brush_geometry.h"
#include "sculpt/stamps.h"
#include "terrain/terrain.h"

// The new height of vertex (x, y) for weight w.
static double toolHeight(const Terrain& terrain, const TerrainVertex& vertex, int x, int y, double w)
{
    const double z = vertex.position[2];
    const double frame = double(editor.frameMillis);
    const double k = frame / 5000.0 * editor.brushStrength * terrain.heightScale * w;
    switch (editor.currentOp) {
    case kToolCarve: return std::max(z - k, 0.0);
    case kToolRaise: return z + k;
    case kToolSmooth: {
        const double s = frame / 325.0 * editor.brushStrength * w;
        const float* heights = &terrain.vertices[0].position[2];
        const double mean = localMean(heights, sizeof(TerrainVertex) / sizeof(float), terrain.gridX, terrain.gridY, x, y);
        return (1.0 - s) * z + s * mean;
    }
    case kToolNoise: {
        // The angles are rounded to float first so that the pattern is the
        // same on every platform's float-to-double path.
        const float angle = float(double(x) * double(y));
        const float u = float(double(vertex.position[0]) / 12.0);
        const float v = float(double(vertex.position[1]) / 12.0);
        return z + std::sin(double(angle)) * std::cos(double(u)) * std::sin(double(v)) * k;
    }
    case kToolFlatten:
        // Flatten ignores stamp, strength and frame time.
        if (!editor.smoothBrush || pointDistance(vertex.position, editor.pickPoint) < editor.brushWidth) {
            return editor.flattenHeight;
        }
        return z;
    default: return z;
    }
}

void applyHeightTool()
{
    Terrain& terrain = editor.terrain;
    const int gridX = terrain.gridX, gridY = terrain.gridY;
    if (!hasVertexGrid()) return;

    const double radius = double(editor.brushWidth) / double(terrain.blockWidth);
    const double cx = editor.pickColumn, cy = editor.pickRow;
    growDirtyBounds(cx, cy, radius, radius, gridX, gridY);

    const BrushSpan cols = brushSpan(cx, radius, gridX);
    const BrushSpan rows = brushSpan(cy, radius, gridY);
    if (cols.empty() || rows.empty()) return;

    copyBeforeWrite(cols.first, rows.first, cols.last, rows.last);
    const double diameter = std::trunc(2.0 * double(editor.brushWidth) / double(terrain.blockWidth));
    int stampWidth = 1, stampHeight = 1;
    const float* mask = currentStampMask(&stampWidth, &stampHeight);
    for (int y = rows.first; y <= rows.last; ++y) {
        const int sy = stampIndex(double(y) - (cy - radius), stampHeight, diameter);
        for (int x = cols.first; x <= cols.last; ++x) {
            TerrainVertex& vertex = terrain.vertices[size_t(x) + size_t(y) * size_t(gridX)];
            const double distance = editor.smoothBrush ? pointDistance(vertex.position, editor.pickPoint) : 0.0;
            const int sx = stampIndex(double(x) - (cx - radius), stampWidth, diameter);
            double falloff = 1.0 - distance / double(editor.brushWidth);
            if (!(falloff > 0.0)) falloff = 0.0;
            const double w = falloff * mask[size_t(sy) * size_t(stampWidth) + size_t(sx)];
            vertex.position[2] = float(toolHeight(terrain, vertex, x, y, w));
        }
    }

    refreshVertexRegion(cols.first, rows.first, cols.last, rows.last);
    // Positions changed inside the square, colours one vertex beyond it.
    reportGridRegion(cols.first - 1, rows.first - 1, cols.last + 1, rows.last + 1);
}
