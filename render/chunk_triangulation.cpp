// Index: layout | interior | strips
#include "render/chunk_triangulation.h"

#include <algorithm>

#include "render/terrain_lod.h"

namespace {

// One chunk at one level: the samples along both axes and the part drawn as
// a regular grid (samples i0..i1, j0..j1); each edge in `strips` gives up
// its outer row of cells to a strip.
struct Layout {
    int cellsX = 0, cellsY = 0, step = 1;
    int xs[kLodChunkCells + 2] = {};
    int ys[kLodChunkCells + 2] = {};
    int nx = 0, ny = 0;
    unsigned strips = 0; // bit per ChunkEdge
    int i0 = 0, i1 = 0, j0 = 0, j1 = 0;
};

constexpr unsigned kAcrossX = (1u << kWest) | (1u << kEast);
constexpr unsigned kAcrossY = (1u << kSouth) | (1u << kNorth);

// A side of one segment cannot give way to strips at both ends: it gets a
// middle sample, and the other two edges become strips too (at their own
// level), so that the four strips meet in the middle of the chunk instead
// of putting that middle sample on an edge a neighbour draws without it.
bool splitLoneSegment(int cells, int* samples, int& n)
{
    if (n != 1 || cells < 2) return false;
    samples[1] = cells / 2;
    samples[2] = cells;
    n = 2;
    return true;
}

Layout makeLayout(int cellsX, int cellsY, int level, unsigned stitched)
{
    Layout l;
    l.cellsX = cellsX;
    l.cellsY = cellsY;
    l.step = 1 << level;
    l.nx = axisSamples(cellsX, l.step, l.xs);
    l.ny = axisSamples(cellsY, l.step, l.ys);
    l.strips = stitched;
    for (int pass = 0; pass < 2; ++pass) {
        if ((l.strips & kAcrossX) == kAcrossX && splitLoneSegment(cellsX, l.xs, l.nx)) l.strips |= kAcrossY;
        if ((l.strips & kAcrossY) == kAcrossY && splitLoneSegment(cellsY, l.ys, l.ny)) l.strips |= kAcrossX;
    }
    l.i0 = (l.strips & (1u << kWest)) ? 1 : 0;
    l.i1 = std::max(l.i0, (l.strips & (1u << kEast)) ? l.nx - 1 : l.nx);
    l.j0 = (l.strips & (1u << kSouth)) ? 1 : 0;
    l.j1 = std::max(l.j0, (l.strips & (1u << kNorth)) ? l.ny - 1 : l.ny);
    return l;
}

// Counter-clockwise seen from above, like the full-detail list; the corner
// order is kept when it already is.
void addTriangle(std::vector<LocalTriangle>& out, int c0, int r0, int c1, int r1, int c2, int r2)
{
    const int area = (c1 - c0) * (r2 - r0) - (c2 - c0) * (r1 - r0);
    if (area == 0) return;
    if (area < 0) {
        std::swap(c1, c2);
        std::swap(r1, r2);
    }
    out.push_back({{uint8_t(c0), uint8_t(c1), uint8_t(c2)}, {uint8_t(r0), uint8_t(r1), uint8_t(r2)}});
}

// The regular part: each cell split like the full-detail list's cells
// (corners in the same order), so level 0 unstitched is that list exactly.
void addInterior(const Layout& l, std::vector<LocalTriangle>& out)
{
    for (int j = l.j0; j < l.j1; ++j) {
        for (int i = l.i0; i < l.i1; ++i) {
            const int x0 = l.xs[i], x1 = l.xs[i + 1], y0 = l.ys[j], y1 = l.ys[j + 1];
            addTriangle(out, x0, y0, x1, y0, x0, y1);
            addTriangle(out, x0, y1, x1, y0, x1, y1);
        }
    }
}

// The strip between a stitched edge, which has the samples of the level the
// edge is drawn at (every `outerStep`-th), and the side of the regular part.
// The two rows are zipped together: each triangle advances along one of
// them, the inner one while its next sample lies before the middle of the
// current outer segment.
void addStrip(const Layout& l, int edge, int outerStep, std::vector<LocalTriangle>& out)
{
    const bool alongX = edge == kSouth || edge == kNorth;
    int outer[kLodChunkCells + 1];
    const int m = axisSamples(alongX ? l.cellsX : l.cellsY, outerStep, outer);
    const int* inner = alongX ? l.xs : l.ys;
    const int first = alongX ? l.i0 : l.j0, last = alongX ? l.i1 : l.j1;
    int outerAcross = 0, innerAcross = 0;
    switch (edge) {
    case kSouth: innerAcross = l.ys[l.j0]; break;
    case kNorth: outerAcross = l.cellsY; innerAcross = l.ys[l.j1]; break;
    case kWest: innerAcross = l.xs[l.i0]; break;
    default: outerAcross = l.cellsX; innerAcross = l.xs[l.i1]; break;
    }
    auto add = [&](int a0, int across0, int a1, int across1, int a2, int across2) {
        if (alongX)
            addTriangle(out, a0, across0, a1, across1, a2, across2);
        else
            addTriangle(out, across0, a0, across1, a1, across2, a2);
    };
    int k = 0, i = first;
    while (k < m || i < last) {
        const bool innerNext = k == m || (i < last && 2 * inner[i + 1] <= outer[k] + outer[k + 1]);
        if (innerNext) {
            add(outer[k], outerAcross, inner[i + 1], innerAcross, inner[i], innerAcross);
            ++i;
        } else {
            add(outer[k], outerAcross, outer[k + 1], outerAcross, inner[i], innerAcross);
            ++k;
        }
    }
}

} // namespace

int axisSamples(int cells, int step, int* out)
{
    int n = 0;
    for (int v = 0; v < cells; v += step) out[n++] = v;
    out[n] = cells;
    return n;
}

void chunkTriangles(int cellsX, int cellsY, int level, const EdgeLevels& edges, std::vector<LocalTriangle>& out)
{
    unsigned stitched = 0;
    for (int edge = 0; edge < 4; ++edge)
        if (edges[size_t(edge)] != level) stitched |= 1u << edge;
    const Layout l = makeLayout(cellsX, cellsY, level, stitched);
    addInterior(l, out);
    for (int edge = 0; edge < 4; ++edge)
        if (l.strips & (1u << edge)) addStrip(l, edge, 1 << edges[size_t(edge)], out);
}

void chunkStrip(int cellsX, int cellsY, int level, int edge, bool sidesToo, std::vector<LocalTriangle>& out)
{
    const unsigned sides = (1u << ((edge + 1) % 4)) | (1u << ((edge + 3) % 4));
    addStrip(makeLayout(cellsX, cellsY, level, (1u << edge) | (sidesToo ? sides : 0u)), edge, 2 << level, out);
}
