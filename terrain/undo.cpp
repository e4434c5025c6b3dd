#include "terrain/undo.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "terrain/terrain_events.h"
#include "terrain/terrain.h"

namespace {

constexpr size_t kVertexStride = sizeof(TerrainVertex) / sizeof(float);
constexpr int64_t kMegabyte = 1024 * 1024;

bool regionEmpty(int x0, int y0, int x1, int y1) { return x1 < x0 || y1 < y0; }

bool isSized(const UndoEntry& e) { return e.sizeX > 0 && e.sizeY > 0; }

size_t regionCount(const UndoEntry& e) { return size_t(e.x1 - e.x0 + 1) * size_t(e.y1 - e.y0 + 1); }

// Records of 3 or more floats laid out in rows: element (c, r) starts at
// base + ((r - firstRow) * rowLength + (c - firstColumn)) * stride. Views
// both the live arrays and the packed triples of an entry.
struct TripleView {
    const float* base;
    size_t stride;
    size_t rowLength;
    int firstColumn = 0, firstRow = 0;
    const float* at(int c, int r) const
    {
        return base + (size_t(r - firstRow) * rowLength + size_t(c - firstColumn)) * stride;
    }
};

TripleView liveVertices()
{
    const Terrain& t = editor.terrain;
    return {reinterpret_cast<const float*>(t.vertices.data()), kVertexStride, size_t(t.gridX)};
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// x and y of a vertex as every grid builder places it: the expression must
// stay the one they use, so that "follows" means bit for bit.
float gridCoordinate(int index, float blockWidth) { return float(index) * blockWidth; }

// Whether every vertex of the region lies at (c * blockWidth, r * blockWidth).
bool followsGrid(const TripleView& view, int x0, int y0, int x1, int y1, float blockWidth)
{
    for (int r = y0; r <= y1; ++r) {
        const float y = gridCoordinate(r, blockWidth);
        for (int c = x0; c <= x1; ++c) {
            const float* p = view.at(c, r);
            if (!sameBits(p[0], gridCoordinate(c, blockWidth)) || !sameBits(p[1], y)) return false;
        }
    }
    return true;
}

std::vector<float> copyTriples(const TripleView& view, int x0, int y0, int x1, int y1)
{
    std::vector<float> out;
    out.reserve(size_t(x1 - x0 + 1) * size_t(y1 - y0 + 1) * 3);
    for (int r = y0; r <= y1; ++r)
        for (int c = x0; c <= x1; ++c) out.insert(out.end(), view.at(c, r), view.at(c, r) + 3);
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

// A positions entry of the region of `view`, with the live terrain's scales.
// Where x and y follow from column, row and block width (every grid the
// editor builds) only the heights are kept: a third of the memory.
UndoEntry positionsEntry(const TripleView& view, int x0, int y0, int x1, int y1, int kind,
                         std::vector<float>* packed = nullptr)
{
    const Terrain& t = editor.terrain;
    UndoEntry e = makeEntry(x0, y0, x1, y1, kind);
    e.blockWidth = t.blockWidth;
    e.heightScale = t.heightScale;
    e.heightsOnly = followsGrid(view, x0, y0, x1, y1, t.blockWidth);
    if (!e.heightsOnly) {
        e.positions = packed ? std::move(*packed) : copyTriples(view, x0, y0, x1, y1);
        return e;
    }
    e.positions.reserve(regionCount(e));
    for (int r = y0; r <= y1; ++r)
        for (int c = x0; c <= x1; ++c) e.positions.push_back(view.at(c, r)[2]);
    return e;
}

int64_t entryBytes(const UndoEntry& e)
{
    return int64_t(sizeof(UndoEntry)) + int64_t((e.positions.capacity() + e.weights.capacity()) * sizeof(float));
}

// Drops the oldest entries, of the undo list first, until both lists
// together keep within the entry limit and the memory budget. The newest
// entry of `newestList` (the one just added) always stays, however large.
void trimHistory(const std::vector<UndoEntry>& newestList)
{
    UndoStack& s = editor.undoStack;
    const int64_t budget = undoBudgetBytes();
    int64_t bytes = historyBytes();
    while (s.undoList.size() + s.redoList.size() > size_t(kUndoLimit) || bytes > budget) {
        std::vector<UndoEntry>* list = nullptr;
        for (std::vector<UndoEntry>* candidate : {&s.undoList, &s.redoList}) {
            const bool onlyTheNewest = candidate == &newestList && candidate->size() == 1;
            if (!list && !candidate->empty() && !onlyTheNewest) list = candidate;
        }
        if (!list) return;
        bytes -= entryBytes(list->front());
        list->erase(list->begin());
    }
}

// The live terrain's region as an entry of the same kind (the inverse of an
// entry about to be restored), made the newest entry of `target`.
void captureCurrent(std::vector<UndoEntry>& target, int x0, int y0, int x1, int y1, int kind)
{
    const Terrain& t = editor.terrain;
    if (kind == kUndoPositions && regionEmpty(x0, y0, x1, y1)) return;
    if (kind == kUndoDistribution) {
        UndoEntry e = makeEntry(x0, y0, x1, y1, kind);
        e.weights = copyTriples({t.distribution.data(), 3, size_t(t.distributionWidth)}, x0, y0, x1, y1);
        target.push_back(std::move(e));
        return;
    }
    target.push_back(positionsEntry(liveVertices(), x0, y0, x1, y1, kind));
}

void pushEntry(UndoEntry entry)
{
    clearRedo();
    editor.undoStack.undoList.push_back(std::move(entry));
    trimHistory(editor.undoStack.undoList);
}

// Entries whose region does not fit the live arrays cannot be restored
// safely (the terrain was replaced by a path that kept the history); they
// are dropped rather than read out of bounds.
bool entryFits(const UndoEntry& e)
{
    const Terrain& t = editor.terrain;
    if (e.kind == kUndoDistribution)
        return e.x1 < t.distributionWidth && e.y1 < t.distributionHeight && !t.distribution.empty() &&
               e.weights.size() == regionCount(e) * 3;
    if (e.positions.size() != regionCount(e) * (e.heightsOnly ? 1 : 3)) return false;
    if (isSized(e)) return !t.vertices.empty();
    return e.x1 < t.gridX && e.y1 < t.gridY && !t.vertices.empty();
}

void restoreWeights(const UndoEntry& e)
{
    Terrain& t = editor.terrain;
    const size_t width = size_t(e.x1 - e.x0 + 1);
    for (int r = e.y0; r <= e.y1; ++r) {
        const float* src = e.weights.data() + size_t(r - e.y0) * width * 3;
        std::copy(src, src + width * 3, t.distribution.begin() + (std::ptrdiff_t(r) * t.distributionWidth + e.x0) * 3);
    }
    reportMapRegion(e.x0, e.y0, e.x1, e.y1);
}

// Writes the entry's positions into the live vertices; true when some x or
// y changed (texture coordinates then follow).
bool writePositions(const UndoEntry& e)
{
    Terrain& t = editor.terrain;
    bool moved = false;
    const float* src = e.positions.data();
    for (int r = e.y0; r <= e.y1; ++r) {
        for (int c = e.x0; c <= e.x1; ++c) {
            float* p = t.vertices[size_t(r) * size_t(t.gridX) + size_t(c)].position;
            float x, y;
            if (e.heightsOnly) {
                x = gridCoordinate(c, e.blockWidth);
                y = gridCoordinate(r, e.blockWidth);
                p[2] = *src++;
            } else {
                x = src[0];
                y = src[1];
                p[2] = src[2];
                src += 3;
            }
            moved |= !sameBits(p[0], x) || !sameBits(p[1], y);
            p[0] = x;
            p[1] = y;
        }
    }
    return moved;
}

void restoreEntry(const UndoEntry& e)
{
    Terrain& t = editor.terrain;
    if (e.kind == kUndoDistribution) {
        restoreWeights(e);
        return;
    }
    const bool sameScale = sameBits(t.blockWidth, e.blockWidth);
    t.blockWidth = e.blockWidth;
    t.heightScale = e.heightScale;
    if (isSized(e)) {
        t.vertices.assign(size_t(e.sizeX) * size_t(e.sizeY), TerrainVertex{});
        t.gridX = e.sizeX;
        t.gridY = e.sizeY;
        writePositions(e);
        refreshAllVertices();
        computeTextureCoords(t.gridX, t.gridY);
        reportGridReplaced();
        return;
    }
    // Texture coordinates follow from x, y and the block width alone: when
    // none of them changes and they are current, only the region (and the
    // lighting of its one-vertex border) changed, and the restore costs the
    // region, not the grid.
    const bool textureCoordsKept = textureCoordsCurrent();
    const bool moved = writePositions(e);
    refreshVertexRegion(e.x0, e.y0, e.x1, e.y1);
    if (!moved && sameScale && textureCoordsKept) {
        reportGridRegion(e.x0 - 1, e.y0 - 1, e.x1 + 1, e.y1 + 1);
        return;
    }
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
    // The inverse of a sized entry holds the current grid, which may be
    // larger than what was restored.
    if (!to.empty()) trimHistory(to);
}

} // namespace

bool pushPositionsSnapshot(const TerrainVertex* source, int x0, int y0, int x1, int y1, int kind)
{
    if (regionEmpty(x0, y0, x1, y1) || source == nullptr) return false;
    const TripleView view{reinterpret_cast<const float*>(source), kVertexStride, size_t(editor.terrain.gridX)};
    pushEntry(positionsEntry(view, x0, y0, x1, y1, kind));
    return true;
}

bool pushDistributionSnapshot(const float* source, int x0, int y0, int x1, int y1)
{
    if (regionEmpty(x0, y0, x1, y1) || source == nullptr) return false;
    UndoEntry e = makeEntry(x0, y0, x1, y1, kUndoDistribution);
    e.weights = copyTriples({source, 3, size_t(editor.terrain.distributionWidth)}, x0, y0, x1, y1);
    pushEntry(std::move(e));
    return true;
}

bool pushRegionEntry(int kind, int x0, int y0, int x1, int y1, std::vector<float> triples)
{
    if (regionEmpty(x0, y0, x1, y1) || triples.size() != size_t(x1 - x0 + 1) * size_t(y1 - y0 + 1) * 3)
        return false;
    if (kind == kUndoDistribution) {
        UndoEntry e = makeEntry(x0, y0, x1, y1, kind);
        e.weights = std::move(triples);
        pushEntry(std::move(e));
        return true;
    }
    const TripleView view{triples.data(), 3, size_t(x1 - x0 + 1), x0, y0};
    pushEntry(positionsEntry(view, x0, y0, x1, y1, kind, &triples));
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

int64_t historyBytes()
{
    int64_t bytes = 0;
    for (const std::vector<UndoEntry>* list : {&editor.undoStack.undoList, &editor.undoStack.redoList})
        for (const UndoEntry& e : *list) bytes += entryBytes(e);
    return bytes;
}

int64_t undoBudgetBytes()
{
    const char* text = std::getenv("BRIVEL_UNDO_MB");
    if (text != nullptr && *text != '\0') {
        char* end = nullptr;
        errno = 0;
        const long long megabytes = std::strtoll(text, &end, 10);
        // Beyond a petabyte the product would overflow; nobody has that much.
        if (errno == 0 && *end == '\0' && megabytes > 0 && megabytes < (int64_t(1) << 30))
            return megabytes * kMegabyte;
    }
    return kUndoBudgetMB * kMegabyte;
}
