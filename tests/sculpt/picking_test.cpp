#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sculpt/picking.h"
#include "support/terrain_fixtures.h"

namespace {

TEST(Picking, PickPointCellAndHoveredVertex)
{
    // 10 x 10 grid, block width 32: x and y run 0 .. 288. hoverIndex starts at 7.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double ox, oy, oz;
        float px, py, pz;
        int column, row, hover;
    } cases[] = {
        {96.0, 64.0, 256.0, 96.0f, 64.0f, 256.0f, 3, 2, 23},          // exactly over vertex (3, 2)
        {111.9, 64.0, 256.0, 111.9f, 64.0f, 256.0f, 3, 2, 23},        // less than half a cell past it
        {112.0, 64.0, 256.0, 112.0f, 64.0f, 256.0f, 4, 2, 24},        // half a cell rounds up
        {5000.0, 64.0, -9000.0, 288.0f, 64.0f, -9000.0f, 156, 2, 7},  // sky beyond +x: hover kept
        {-12.8, 64.0, 256.0, 0.0f, 64.0f, 256.0f, 0, 2, 20},          // 0.4 cells below the low edge
        {-47.0, -47.0, 256.0, 0.0f, 0.0f, 256.0f, 0, 0, 0},           // up to 1.5 cells still gives 0
        {-49.0, 64.0, 256.0, 0.0f, 64.0f, 256.0f, -1, 2, 7},          // beyond 1.5 cells: off the grid
        {1.0e300, -1.0e300, 1.0e300, 288.0f, 0.0f, std::numeric_limits<float>::max(), 1000000000, -1000000000, 7},
    };
    for (const Case& c : cases) {
        makeFlatTerrain(10, 10, 256.0f);
        editor.hoverIndex = 7;
        applyPick(c.ox, c.oy, c.oz);
        EXPECT_EQ(editor.pickPoint[0], c.px) << c.ox;
        EXPECT_EQ(editor.pickPoint[1], c.py) << c.oy;
        EXPECT_EQ(editor.pickPoint[2], c.pz) << c.oz;
        EXPECT_EQ(editor.pickColumn, c.column) << c.ox;
        EXPECT_EQ(editor.pickRow, c.row) << c.oy;
        EXPECT_EQ(editor.hoverIndex, c.hover) << c.ox << ", " << c.oy;
    }

    // A point that cannot be a place leaves everything as it was.
    makeFlatTerrain(10, 10, 256.0f);
    applyPick(96.0, 64.0, 256.0);
    applyPick(nan, 10.0, 10.0);
    EXPECT_EQ(editor.pickColumn, 3);
    EXPECT_EQ(editor.pickPoint[0], 96.0f);
    EXPECT_EQ(editor.hoverIndex, 23);
}

} // namespace
