// The triangles of one chunk, for every shape a grid can cut, every level
// and every level its edges can be drawn at: they tile the chunk, and each
// edge carries exactly the samples of its level, so neighbours meet without
// cracks whatever their levels. (No GL: lives with the render tests.)
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "render/chunk_triangulation.h"
#include "render/terrain_lod.h"

namespace {

struct Shape {
    int cellsX, cellsY;
};

// The vertices on `edge` of a chunk of `shape`, along the edge.
std::set<int> verticesOnEdge(const std::vector<LocalTriangle>& triangles, Shape shape, int edge)
{
    std::set<int> found;
    for (const LocalTriangle& t : triangles)
        for (int k = 0; k < 3; ++k) {
            const int c = t.c[k], r = t.r[k];
            if (edge == kSouth && r == 0) found.insert(c);
            if (edge == kNorth && r == shape.cellsY) found.insert(c);
            if (edge == kWest && c == 0) found.insert(r);
            if (edge == kEast && c == shape.cellsX) found.insert(r);
        }
    return found;
}

std::set<int> samples(int cells, int level)
{
    int out[kLodChunkCells + 1];
    const int n = axisSamples(cells, 1 << level, out);
    return std::set<int>(out, out + n + 1);
}

// How many triangles hold a point inside each cell (off every line a
// triangle's edge can follow); a tiling gives one everywhere.
int cellsNotCoveredOnce(const std::vector<LocalTriangle>& triangles, Shape shape)
{
    std::vector<int> count(size_t(shape.cellsX) * size_t(shape.cellsY), 0);
    for (const LocalTriangle& t : triangles) {
        const int cLo = std::min({t.c[0], t.c[1], t.c[2]}), cHi = std::max({t.c[0], t.c[1], t.c[2]});
        const int rLo = std::min({t.r[0], t.r[1], t.r[2]}), rHi = std::max({t.r[0], t.r[1], t.r[2]});
        for (int r = rLo; r < rHi; ++r)
            for (int c = cLo; c < cHi; ++c) {
                const double x = c + 0.3183098, y = r + 0.1415926;
                bool inside = true;
                for (int k = 0; k < 3 && inside; ++k) {
                    const int a = k, b = (k + 1) % 3;
                    inside = (t.c[b] - t.c[a]) * (y - t.r[a]) - (t.r[b] - t.r[a]) * (x - t.c[a]) > 0;
                }
                count[size_t(r) * size_t(shape.cellsX) + size_t(c)] += inside ? 1 : 0;
            }
    }
    int wrong = 0;
    for (int n : count) wrong += n == 1 ? 0 : 1;
    return wrong;
}

} // namespace

TEST(ChunkTriangulation, TilesTheChunkWithEachEdgeAtItsOwnLevel)
{
    // Whole chunks, and the short last chunks of a row or column (whose far
    // edge is the grid's border, drawn at the chunk's own level).
    const Shape shapes[] = {{64, 64}, {37, 64}, {64, 2}, {1, 37}};
    std::vector<LocalTriangle> triangles;
    int combinations = 0;
    for (const Shape& shape : shapes) {
        for (int level = 0; level < kLodLevels; ++level) {
            // Each edge: finer, the same, one coarser or the coarsest.
            std::vector<int> choices;
            for (int e : {level - 1, level, level + 1, kLodLevels - 1})
                if (e >= 0 && e < kLodLevels && (choices.empty() || choices.back() != e)) choices.push_back(e);
            for (int s : choices)
                for (int e : choices)
                    for (int n : choices)
                        for (int w : choices) {
                            EdgeLevels edges = {s, e, n, w};
                            if (shape.cellsX < kLodChunkCells) edges[kEast] = level;
                            if (shape.cellsY < kLodChunkCells) edges[kNorth] = level;
                            triangles.clear();
                            chunkTriangles(shape.cellsX, shape.cellsY, level, edges, triangles);
                            ++combinations;
                            const std::string name = std::to_string(shape.cellsX) + "x" + std::to_string(shape.cellsY) +
                                                     " level " + std::to_string(level) + " edges " + std::to_string(s) +
                                                     std::to_string(e) + std::to_string(n) + std::to_string(w);
                            int64_t twiceArea = 0;
                            for (const LocalTriangle& t : triangles) {
                                const int area = (t.c[1] - t.c[0]) * (t.r[2] - t.r[0]) - (t.c[2] - t.c[0]) * (t.r[1] - t.r[0]);
                                ASSERT_GT(area, 0) << name;
                                twiceArea += area;
                            }
                            ASSERT_EQ(twiceArea, 2 * shape.cellsX * shape.cellsY) << name;
                            ASSERT_EQ(cellsNotCoveredOnce(triangles, shape), 0) << name;
                            for (int edge = 0; edge < 4; ++edge) {
                                const int along = edge == kSouth || edge == kNorth ? shape.cellsX : shape.cellsY;
                                ASSERT_EQ(verticesOnEdge(triangles, shape, edge), samples(along, edges[size_t(edge)]))
                                    << name << " edge " << edge;
                            }
                        }
        }
    }
    EXPECT_GT(combinations, 2000);
}
