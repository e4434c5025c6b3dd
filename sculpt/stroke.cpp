#include "sculpt/stroke.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/editor_state.h"
#include "sculpt/brush_geometry.h"
#include "terrain/undo.h"

// The undo entry is cut from the snapshot with the current row length, so a
// snapshot whose size no longer matches (a grid resized behind the stroke's
// back) is dropped rather than misread.
static bool vertexSnapshotUsable()
{
    const Terrain& terrain = editor.terrain;
    return editor.hasVertexSnapshot && editor.strokeSnapshotWidth == terrain.gridX &&
           editor.strokeSnapshotHeight == terrain.gridY &&
           editor.strokeVertexSnapshot.size() == size_t(terrain.gridX) * size_t(terrain.gridY) &&
           terrain.vertices.size() == editor.strokeVertexSnapshot.size();
}

static bool distributionSnapshotUsable()
{
    const Terrain& terrain = editor.terrain;
    const size_t floats = size_t(terrain.distributionWidth) * size_t(terrain.distributionHeight) * 3;
    return editor.hasDistributionSnapshot && editor.strokeSnapshotWidth == terrain.distributionWidth &&
           editor.strokeSnapshotHeight == terrain.distributionHeight &&
           editor.strokeDistributionSnapshot.size() == floats && terrain.distribution.size() == floats;
}

static void resetDirtyBounds()
{
    editor.dirtyMinX = editor.terrain.gridX - 1;
    editor.dirtyMinY = editor.terrain.gridY - 1;
    editor.dirtyMaxX = 0;
    editor.dirtyMaxY = 0;
}

void growDirtyBounds(double cx, double cy, double rx, double ry, int width, int height)
{
    editor.dirtyMinX = std::min(editor.dirtyMinX, truncWithin(std::max(cx - rx, 0.0), 0, width));
    editor.dirtyMinY = std::min(editor.dirtyMinY, truncWithin(std::max(cy - ry, 0.0), 0, height));
    editor.dirtyMaxX = std::max(editor.dirtyMaxX, truncWithin(std::min(double(width - 1), cx + rx), -1, width - 1));
    editor.dirtyMaxY = std::max(editor.dirtyMaxY, truncWithin(std::min(double(height - 1), cy + ry), -1, height - 1));
}

// True when a record of the rectangle differs, in any byte of its first
// three floats (position, or the three weights), from the copy; rows are
// `rowLength` records of `stride` floats in both arrays.
static bool rectangleChanged(const float* copy, const float* live, size_t stride, int rowLength, int x0, int y0,
                             int x1, int y1)
{
    for (int r = y0; r <= y1; ++r) {
        const size_t first = (size_t(r) * size_t(rowLength) + size_t(x0)) * stride;
        for (int c = x0; c <= x1; ++c) {
            const size_t at = first + size_t(c - x0) * stride;
            if (std::memcmp(copy + at, live + at, 3 * sizeof(float)) != 0) return true;
        }
    }
    return false;
}

void beginStroke()
{
    // A press while a copy is still held means its release never came;
    // that stroke keeps its undo entry.
    finishHeldStroke();

    Terrain& terrain = editor.terrain;
    editor.strokeActive = 1;
    if (isHeightTool(editor.currentOp)) {
        editor.strokeVertexSnapshot = terrain.vertices;
        editor.hasVertexSnapshot = true;
        editor.strokeSnapshotWidth = terrain.gridX;
        editor.strokeSnapshotHeight = terrain.gridY;
        editor.dirtyMinX = terrain.gridX - 1;
        editor.dirtyMinY = terrain.gridY - 1;
    } else {
        editor.strokeDistributionSnapshot = terrain.distribution;
        editor.hasDistributionSnapshot = true;
        editor.strokeSnapshotWidth = terrain.distributionWidth;
        editor.strokeSnapshotHeight = terrain.distributionHeight;
        editor.dirtyMinX = terrain.distributionWidth - 1;
        editor.dirtyMinY = terrain.distributionHeight - 1;
    }
    editor.dirtyMaxX = 0;
    editor.dirtyMaxY = 0;

    // The hovered vertex, not the exact pick point: Flatten levels to a
    // height that exists on the grid.
    if (editor.hoverIndex >= 0 && size_t(editor.hoverIndex) < terrain.vertices.size()) {
        editor.flattenHeight = terrain.vertices[size_t(editor.hoverIndex)].position[2];
    }
}

void endStroke()
{
    if (!editor.strokeActive && !editor.hasVertexSnapshot && !editor.hasDistributionSnapshot) return;

    // The bounds are clipped to the snapshot they refer to, so the entry
    // never reads outside it.
    // A stroke that changed no value (over the sky, at zero strength)
    // records nothing: an entry that restores nothing would make the next
    // Ctrl+Z seem dead.
    const int x0 = std::max(editor.dirtyMinX, 0);
    const int y0 = std::max(editor.dirtyMinY, 0);
    const int x1 = std::min(editor.dirtyMaxX, editor.strokeSnapshotWidth - 1);
    const int y1 = std::min(editor.dirtyMaxY, editor.strokeSnapshotHeight - 1);
    const Terrain& terrain = editor.terrain;
    if (editor.hasVertexSnapshot) {
        if (vertexSnapshotUsable() &&
            rectangleChanged(reinterpret_cast<const float*>(editor.strokeVertexSnapshot.data()),
                             reinterpret_cast<const float*>(terrain.vertices.data()),
                             sizeof(TerrainVertex) / sizeof(float), terrain.gridX, x0, y0, x1, y1)) {
            pushPositionsSnapshot(editor.strokeVertexSnapshot.data(), x0, y0, x1, y1, kUndoPositions);
        }
    } else if (editor.hasDistributionSnapshot) {
        if (distributionSnapshotUsable() &&
            rectangleChanged(editor.strokeDistributionSnapshot.data(), terrain.distribution.data(), 3,
                             terrain.distributionWidth, x0, y0, x1, y1)) {
            pushDistributionSnapshot(editor.strokeDistributionSnapshot.data(), x0, y0, x1, y1);
        }
    }
    // Freed, not just emptied: a whole-grid copy of a large terrain is tens
    // of megabytes that nothing needs between strokes.
    std::vector<TerrainVertex>().swap(editor.strokeVertexSnapshot);
    std::vector<float>().swap(editor.strokeDistributionSnapshot);
    editor.hasVertexSnapshot = false;
    editor.hasDistributionSnapshot = false;
    editor.strokeSnapshotWidth = 0;
    editor.strokeSnapshotHeight = 0;

    resetDirtyBounds();
    editor.strokeActive = 0;
}

void finishHeldStroke()
{
    if (editor.hasVertexSnapshot || editor.hasDistributionSnapshot) endStroke();
}

void applyBrush(uint32_t buttonMask)
{
    if (!editor.strokeActive || (buttonMask & 1u) == 0) return;
    // Without the copy of its own family a tool's changes could not be
    // undone, so it does not act.
    if (isHeightTool(editor.currentOp)) {
        if (vertexSnapshotUsable()) applyHeightTool();
    } else if (isTextureTool(editor.currentOp)) {
        if (distributionSnapshotUsable()) applyTextureTool();
    }
}
