// What the model reports to its views: a view that refreshes exactly what
// was reported must end up showing the model. A missing or too small report
// leaves stale triangles or texels on screen.
#include <gtest/gtest.h>

#include <vector>

#include "ops/erosion.h"
#include "ops/transforms.h"
#include "sculpt/picking.h"
#include "sculpt/stroke.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/terrain_events.h"
#include "terrain/undo.h"

namespace {

std::vector<TerrainChange> gReports;

void record(const TerrainChange& change) { gReports.push_back(change); }

class TerrainEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeFlatTerrain(12, 12, 256.0f);
        editor.smoothBrush = 0;
        gReports.clear();
        setTerrainChangeListener(record);
    }
    void TearDown() override { setTerrainChangeListener(nullptr); }
};

// The reported rectangles cover every value that differs from `before`.
void expectCovered(const std::vector<TerrainVertex>& before, TerrainChangeKind kind)
{
    const Terrain& t = editor.terrain;
    for (int r = 0; r < t.gridY; ++r) {
        for (int c = 0; c < t.gridX; ++c) {
            const TerrainVertex& a = before[size_t(r * t.gridX + c)];
            const TerrainVertex& b = t.vertices[size_t(r * t.gridX + c)];
            if (a.position[2] == b.position[2] && a.color[0] == b.color[0]) continue;
            bool covered = false;
            for (const TerrainChange& change : gReports)
                covered |= change.kind == TerrainChangeKind::kGridReplaced ||
                           (change.kind == kind && c >= change.x0 && c <= change.x1 && r >= change.y0 &&
                            r <= change.y1);
            EXPECT_TRUE(covered) << "vertex " << c << ", " << r << " changed without a report";
        }
    }
}

TEST_F(TerrainEventsTest, AfterABlockWidthChangeAStrokeUndoBringsTheTexturesBackToScale)
{
    // ] stretches the ground textures with the grid until texture
    // coordinates are next recomputed, which an undo does.
    Terrain& t = editor.terrain;
    changeBlockWidth(32.0f);
    applyPick(5 * 64.0, 5 * 64.0, 256.0);
    editor.currentOp = 1;
    beginStroke();
    applyBrush(1);
    endStroke();
    EXPECT_NE(t.vertices.back().tileCoord[0], 11 * 64 / 256.0f);
    gReports.clear();
    undo();
    EXPECT_EQ(t.vertices.back().tileCoord[0], 11 * 64 / 256.0f);
    ASSERT_FALSE(gReports.empty());
    EXPECT_EQ(gReports.back().kind, TerrainChangeKind::kGridReplaced);
}

TEST_F(TerrainEventsTest, EveryChangedVertexOrTexelIsReported)
{
    // A Raise stroke: the square and the border whose colours follow its normals.
    std::vector<TerrainVertex> before = editor.terrain.vertices;
    applyPick(5 * 32.0, 5 * 32.0, 256.0);
    editor.currentOp = 1;
    editor.brushWidth = 64.0f;
    beginStroke();
    applyBrush(1);
    endStroke();
    expectCovered(before, TerrainChangeKind::kGridRegion);
    ASSERT_FALSE(gReports.empty());

    // Its undo and redo cost the region: reported as one, not as a new grid.
    for (void (*restore)() : {undo, redo}) {
        before = editor.terrain.vertices;
        gReports.clear();
        restore();
        expectCovered(before, TerrainChangeKind::kGridRegion);
        ASSERT_EQ(gReports.size(), 1u);
        EXPECT_EQ(gReports[0].kind, TerrainChangeKind::kGridRegion);
    }
    undo();

    // A paint stroke and its undo report the texels they touched.
    editor.currentOp = 5;
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<float> map = editor.terrain.distribution;
        gReports.clear();
        if (pass == 0) {
            beginStroke();
            applyBrush(1);
            endStroke();
        } else {
            undo();
        }
        int changed = 0;
        for (size_t i = 0; i < map.size(); i += 3) {
            if (map[i] == editor.terrain.distribution[i] && map[i + 1] == editor.terrain.distribution[i + 1]) continue;
            ++changed;
            const int tx = int(i / 3 % 1024), ty = int(i / 3 / 1024);
            bool covered = false;
            for (const TerrainChange& c : gReports)
                covered |= c.kind == TerrainChangeKind::kMapReplaced ||
                           (c.kind == TerrainChangeKind::kMapRegion && tx >= c.x0 && tx <= c.x1 && ty >= c.y0 &&
                            ty <= c.y1);
            ASSERT_TRUE(covered) << "texel " << tx << ", " << ty << " pass " << pass;
        }
        EXPECT_GT(changed, 0);
    }

    // A whole-terrain command and a moved light.
    addRelief();
    before = editor.terrain.vertices;
    gReports.clear();
    erodeTerrain();
    expectCovered(before, TerrainChangeKind::kGridReplaced);
    gReports.clear();
    editor.lightPosition[0] = 5000.0f;
    relightAllVertices();
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReports[0].kind, TerrainChangeKind::kLighting);
}

} // namespace
