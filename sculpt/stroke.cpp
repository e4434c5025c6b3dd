#include "sculpt/stroke.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/editor_state.h"
#include "sculpt/brush_geometry.h"
#include "terrain/undo.h"

namespace {

constexpr size_t kVertexStride = sizeof(TerrainVertex) / sizeof(float);

// The array the held copy refers to: element (c, r) starts at
// base + (r * width + c) * stride, and its first 3 floats are what a stroke
// changes and an entry records (position, or the three weights).
struct StrokeArray {
    float* base = nullptr;
    size_t stride = 3;
    int width = 0, height = 0;
    float* at(int c, int r) const { return base + (size_t(r) * size_t(width) + size_t(c)) * stride; }
};

StrokeArray strokeArray()
{
    Terrain& t = editor.terrain;
    if (editor.hasVertexSnapshot)
        return {reinterpret_cast<float*>(t.vertices.data()), kVertexStride, t.gridX, t.gridY};
    return {t.distribution.data(), 3, t.distributionWidth, t.distributionHeight};
}

// The copy is cut with the current row length, so a copy whose array no
// longer has the size it had at the press (a grid resized behind the
// stroke's back) is dropped rather than misread.
bool vertexCopyUsable()
{
    const Terrain& terrain = editor.terrain;
    return editor.hasVertexSnapshot && editor.strokeSnapshotWidth == terrain.gridX &&
           editor.strokeSnapshotHeight == terrain.gridY &&
           terrain.vertices.size() == size_t(terrain.gridX) * size_t(terrain.gridY);
}

bool distributionCopyUsable()
{
    const Terrain& terrain = editor.terrain;
    const size_t floats = size_t(terrain.distributionWidth) * size_t(terrain.distributionHeight) * 3;
    return editor.hasDistributionSnapshot && editor.strokeSnapshotWidth == terrain.distributionWidth &&
           editor.strokeSnapshotHeight == terrain.distributionHeight && terrain.distribution.size() == floats;
}

int tilesPerRow(int width) { return (width + kStrokeTile - 1) / kStrokeTile; }

uint32_t tileKey(int tileX, int tileY, int width) { return uint32_t(tileY) * uint32_t(tilesPerRow(width)) + uint32_t(tileX); }

// Columns of tile column `tileX` (or rows of tile row `tileY`): its first
// index and how many it spans inside an array `size` long.
int tileFirst(int tile) { return tile * kStrokeTile; }
int tileSpan(int tile, int size) { return std::min(kStrokeTile, size - tileFirst(tile)); }

// Gathers the run of columns x0..x1 of row r into `out` (3 floats each) as
// it stood at the press, and tells whether any of it has changed since.
bool gatherRun(const StrokeArray& a, int r, int x0, int x1, float* out)
{
    bool changed = false;
    const int tileY = r / kStrokeTile;
    const size_t rowInTile = size_t(r - tileFirst(tileY));
    for (int tileX = x0 / kStrokeTile; tileX <= x1 / kStrokeTile; ++tileX) {
        const int first = std::max(x0, tileFirst(tileX)), last = std::min(x1, tileFirst(tileX) + kStrokeTile - 1);
        const auto found = editor.strokeTiles.find(tileKey(tileX, tileY, a.width));
        for (int c = first; c <= last; ++c, out += 3) {
            const float* live = a.at(c, r);
            if (found == editor.strokeTiles.end()) {
                // Never written: the live values are those of the press.
                std::copy(live, live + 3, out);
                continue;
            }
            const size_t at = (rowInTile * size_t(tileSpan(tileX, a.width)) + size_t(c - tileFirst(tileX))) * 3;
            std::copy(found->second.data() + at, found->second.data() + at + 3, out);
            changed |= std::memcmp(out, live, 3 * sizeof(float)) != 0;
        }
    }
    return changed;
}

void resetDirtyBounds()
{
    editor.dirtyMinX = editor.terrain.gridX - 1;
    editor.dirtyMinY = editor.terrain.gridY - 1;
    editor.dirtyMaxX = 0;
    editor.dirtyMaxY = 0;
}

// Pushes the stroke's entry for the dirty rectangle, clipped to the array
// the copy refers to, unless no value in it changed: an entry that restores
// nothing would make the next Ctrl+Z seem dead.
void pushStrokeEntry()
{
    const bool usable = editor.hasVertexSnapshot ? vertexCopyUsable() : distributionCopyUsable();
    if (!usable) return;
    const StrokeArray a = strokeArray();
    const int x0 = std::max(editor.dirtyMinX, 0), y0 = std::max(editor.dirtyMinY, 0);
    const int x1 = std::min(editor.dirtyMaxX, a.width - 1), y1 = std::min(editor.dirtyMaxY, a.height - 1);
    if (x1 < x0 || y1 < y0 || editor.strokeTiles.empty()) return;
    const size_t rowFloats = size_t(x1 - x0 + 1) * 3;
    std::vector<float> triples(rowFloats * size_t(y1 - y0 + 1));
    bool changed = false;
    for (int r = y0; r <= y1; ++r) changed |= gatherRun(a, r, x0, x1, triples.data() + size_t(r - y0) * rowFloats);
    if (!changed) return;
    pushRegionEntry(editor.hasVertexSnapshot ? kUndoPositions : kUndoDistribution, x0, y0, x1, y1,
                    std::move(triples));
}

} // namespace

void growDirtyBounds(double cx, double cy, double rx, double ry, int width, int height)
{
    editor.dirtyMinX = std::min(editor.dirtyMinX, truncWithin(std::max(cx - rx, 0.0), 0, width));
    editor.dirtyMinY = std::min(editor.dirtyMinY, truncWithin(std::max(cy - ry, 0.0), 0, height));
    editor.dirtyMaxX = std::max(editor.dirtyMaxX, truncWithin(std::min(double(width - 1), cx + rx), -1, width - 1));
    editor.dirtyMaxY = std::max(editor.dirtyMaxY, truncWithin(std::min(double(height - 1), cy + ry), -1, height - 1));
}

void copyBeforeWrite(int x0, int y0, int x1, int y1)
{
    const StrokeArray a = strokeArray();
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, a.width - 1);
    y1 = std::min(y1, a.height - 1);
    for (int tileY = y0 / kStrokeTile; tileY <= y1 / kStrokeTile && x0 <= x1; ++tileY) {
        for (int tileX = x0 / kStrokeTile; tileX <= x1 / kStrokeTile; ++tileX) {
            const auto [tile, isNew] = editor.strokeTiles.try_emplace(tileKey(tileX, tileY, a.width));
            if (!isNew) continue;
            const int columns = tileSpan(tileX, a.width), rows = tileSpan(tileY, a.height);
            std::vector<float>& copy = tile->second;
            copy.resize(size_t(columns) * size_t(rows) * 3);
            float* out = copy.data();
            for (int r = tileFirst(tileY); r < tileFirst(tileY) + rows; ++r)
                for (int c = tileFirst(tileX); c < tileFirst(tileX) + columns; ++c, out += 3)
                    std::copy(a.at(c, r), a.at(c, r) + 3, out);
        }
    }
}

void beginStroke()
{
    // A press while a copy is still held means its release never came;
    // that stroke keeps its undo entry.
    finishHeldStroke();

    Terrain& terrain = editor.terrain;
    editor.strokeActive = 1;
    editor.strokeTiles.clear();
    editor.hasVertexSnapshot = isHeightTool(editor.currentOp);
    editor.hasDistributionSnapshot = !editor.hasVertexSnapshot;
    editor.strokeSnapshotWidth = editor.hasVertexSnapshot ? terrain.gridX : terrain.distributionWidth;
    editor.strokeSnapshotHeight = editor.hasVertexSnapshot ? terrain.gridY : terrain.distributionHeight;
    editor.dirtyMinX = editor.strokeSnapshotWidth - 1;
    editor.dirtyMinY = editor.strokeSnapshotHeight - 1;
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
    if (editor.hasVertexSnapshot || editor.hasDistributionSnapshot) pushStrokeEntry();
    // Freed, not just emptied: the copies of a long stroke can be large.
    std::unordered_map<uint32_t, std::vector<float>>().swap(editor.strokeTiles);
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
        if (vertexCopyUsable()) applyHeightTool();
    } else if (isTextureTool(editor.currentOp)) {
        if (distributionCopyUsable()) applyTextureTool();
    }
}
