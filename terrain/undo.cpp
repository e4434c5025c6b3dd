#include "terrain/undo.h"

#include <algorithm>
#include <cstddef>

#include "terrain/terrain_events.h"
#include "terrain/terrain.h"

namespace {

bool regionEmpty(int x0, int y0, int x1, int y1) { return x1 < x0 || y1 < y0; }

bool isSized(const UndoEntry& e) { return e.sizeX > 0 && e.sizeY > 0; }

// Copies a rectangle of 3-float records out of an array whose rows are
// `rowLength` records long.
std::vector<float> copyTriples(const float* source, size_t stride, int rowLength, int x0, int y0, int x1, int y1)
{
    std::vector<float> out;
    out.reserve(size_t(x1 - x0 + 1) * size_t(y1 - y0 + 1) * 3);
    for (int r = y0; r <= y1; ++r) {
        const float* row = source + (size_t(r) * size_t(rowLength) + size_t(x0)) * stride;
        for (int c = x0; c <= x1; ++c, row += stride) out.insert(out.end(), row, row + 3);
    }
    return out;
}

UndoEntry makeEntry(int x0, int y0, int x1, int y1, int kind)
{
    UndoEntry e;
    e.x0 = x0;
    e.y0 = y0;
    e.x1 = x1;
    e.y1 = y1;
    e.kind = kind;
    if (kind >= kUndoIncreaseDetail) {
        e.sizeX = x1 + 1;
        e.sizeY = y1 + 1;
    }
    return e;
}

constexpr size_t kVertexStride = sizeof(TerrainVertex) / sizeof(float);

// The live terrain's region as an entry of the same kind (the inverse of an
// entry about to be restored).
bool captureCurrent(std::vector<UndoEntry>& target, int x0, int y0, int x1, int y1, int kind)
{
    const Terrain& t = editor.terrain;
    if (kind == kUndoPositions && regionEmpty(x0, y0, x1, y1)) return false;
    UndoEntry e = makeEntry(x0, y0, x1, y1, kind);
    if (kind == kUndoDistribution) {
        e.weights = copyTriples(t.distribution.data(), 3, t.distributionWidth, x0, y0, x1, y1);
    } else {
        e.positions = copyTriples(t.vertices[0].position, kVertexStride, t.gridX, x0, y0, x1, y1);
        e.blockWidth = t.blockWidth;
        e.heightScale = t.heightScale;
    }
    target.push_back(std::move(e));
    return true;
}

void pushEntry(UndoEntry entry)
{
    clearRedo();
    UndoStack& s = editor.undoStack;
    s.undoList.push_back(std::move(entry));
    if (s.undoList.size() + s.redoList.size() > size_t(kUndoLimit) && s.undoList.size() > 1)
        s.undoList.erase(s.undoList.begin());
}

// Entries whose region does not fit the live arrays cannot be restored
// safely (the terrain was replaced by a path that kept the history); they
// are dropped rather than read out of bounds.
bool entryFits(const UndoEntry& e)
{
    const Terrain& t = editor.terrain;
    if (e.kind == kUndoDistribution)
        return e.x1 < t.distributionWidth && e.y1 < t.distributionHeight && !t.distribution.empty();
    if (isSized(e)) return !t.vertices.empty();
    return e.x1 < t.gridX && e.y1 < t.gridY && !t.vertices.empty();
}

void restoreEntry(const UndoEntry& e)
{
    Terrain& t = editor.terrain;
    if (e.kind != kUndoDistribution) {
        t.blockWidth = e.blockWidth;
        t.heightScale = e.heightScale;
    }
    if (isSized(e)) {
        t.vertices.assign(size_t(e.sizeX) * size_t(e.sizeY), TerrainVertex{});
        t.gridX = e.sizeX;
        t.gridY = e.sizeY;
        computeTextureCoords(t.gridX, t.gridY);
        buildIndices();
    }
    const int width = e.x1 - e.x0 + 1;
    if (e.kind == kUndoDistribution) {
        for (int r = e.y0; r <= e.y1; ++r) {
            const float* src = e.weights.data() + size_t(r - e.y0) * size_t(width) * 3;
            std::copy(src, src + size_t(width) * 3,
                      t.distribution.begin() + (std::ptrdiff_t(r) * t.distributionWidth + e.x0) * 3);
        }
        reportMapRegion(e.x0, e.y0, e.x1, e.y1);
        return;
    }
    const float* src = e.positions.data();
    for (int r = e.y0; r <= e.y1; ++r) {
        for (int c = e.x0; c <= e.x1; ++c, src += 3) {
            float* p = t.vertices[size_t(r) * size_t(t.gridX) + size_t(c)].position;
            p[0] = src[0];
            p[1] = src[1];
            p[2] = src[2];
        }
    }
    if (isSized(e))
        refreshAllVertices();
    else
        refreshVertexRegion(e.x0, e.y0, e.x1, e.y1);
    computeTextureCoords(t.gridX, t.gridY);
    reportGridReplaced();
}

// Restores the newest entry of `from`, first capturing the live state of the
// same area onto `to`, so that every undo can be redone and vice versa.
void restoreNewest(std::vector<UndoEntry>& from, std::vector<UndoEntry>& to)
{
    if (from.empty()) return;
    UndoEntry e = std::move(from.back());
    from.pop_back();
    if (!entryFits(e)) return;
    const Terrain& t = editor.terrain;
    if (isSized(e))
        captureCurrent(to, 0, 0, t.gridX - 1, t.gridY - 1, e.kind);
    else
        captureCurrent(to, e.x0, e.y0, e.x1, e.y1, e.kind);
    restoreEntry(e);
}

} // namespace

bool pushPositionsSnapshot(const TerrainVertex* source, int x0, int y0, int x1, int y1, int kind)
{
    const Terrain& t = editor.terrain;
    if (regionEmpty(x0, y0, x1, y1) || source == nullptr) return false;
    UndoEntry e = makeEntry(x0, y0, x1, y1, kind);
    e.positions = copyTriples(source[0].position, kVertexStride, t.gridX, x0, y0, x1, y1);
    e.blockWidth = t.blockWidth;
    e.heightScale = t.heightScale;
    pushEntry(std::move(e));
    return true;
}

bool pushDistributionSnapshot(const float* source, int x0, int y0, int x1, int y1)
{
    const Terrain& t = editor.terrain;
    if (regionEmpty(x0, y0, x1, y1) || source == nullptr) return false;
    UndoEntry e = makeEntry(x0, y0, x1, y1, kUndoDistribution);
    e.weights = copyTriples(source, 3, t.distributionWidth, x0, y0, x1, y1);
    pushEntry(std::move(e));
    return true;
}

bool pushWholeGridSnapshot(int kind)
{
    const Terrain& t = editor.terrain;
    if (t.vertices.empty()) return false;
    return pushPositionsSnapshot(t.vertices.data(), 0, 0, t.gridX - 1, t.gridY - 1, kind);
}

void undo() { restoreNewest(editor.undoStack.undoList, editor.undoStack.redoList); }

void redo() { restoreNewest(editor.undoStack.redoList, editor.undoStack.undoList); }

void clearHistory()
{
    editor.undoStack.undoList.clear();
    clearRedo();
}

void clearRedo() { editor.undoStack.redoList.clear(); }

int undoCount() { return int(editor.undoStack.undoList.size()); }

int redoCount() { return int(editor.undoStack.redoList.size()); }
