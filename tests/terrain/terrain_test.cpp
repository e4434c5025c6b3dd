#include <gtest/gtest.h>

#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

const TerrainVertex& vertexAt(int c, int r) { return editor.terrain.vertices[size_t(c + r * editor.terrain.gridX)]; }

TEST(TerrainGrid, DefaultTerrainIsFlatEvenlyMixedAndHasNoHistory)
{
    resetEditorState();
    pushWholeGridSnapshot(kUndoPositions); // no terrain yet: nothing recorded
    createDefaultTerrain();
    const Terrain& t = editor.terrain;
    ASSERT_EQ(t.gridX, 65);
    ASSERT_EQ(t.gridY, 65);
    for (const TerrainVertex& v : t.vertices) ASSERT_EQ(v.position[2], 256.0f);
    ASSERT_EQ(t.distribution.size(), 1024u * 1024u * 3u);
    for (float w : t.distribution) ASSERT_EQ(w, 0.3f);
    EXPECT_EQ(undoCount(), 0);
}

TEST(TerrainGrid, FlatNormalsAndBrightnessFromTheLight)
{
    // Light at (-400, -400, 1024), ground at 256: brightness 0.5 + 0.5 * L.z.
    makeFlatTerrain(65, 65);
    const struct { int c, r; float brightness; } cases[] = {{0, 0, 0.90258f}, {33, 0, 0.72668f}, {64, 64, 0.60829f}};
    for (const auto& k : cases) {
        const TerrainVertex& v = vertexAt(k.c, k.r);
        EXPECT_EQ(v.normal[0], 0.0f);
        EXPECT_EQ(v.normal[1], 0.0f);
        EXPECT_FLOAT_EQ(v.normal[2], 1.0f);
        EXPECT_NEAR(v.color[0], k.brightness, 1e-5) << k.c << "," << k.r;
        EXPECT_EQ(v.color[1], v.color[0]);
        EXPECT_FLOAT_EQ(v.color[2], 0.9f * v.color[0]);
    }
    editor.lightPosition[2] = -1000.0f; // below the ground: facing away
    relightAllVertices();
    EXPECT_FLOAT_EQ(vertexAt(1, 1).color[0], 0.1f);
    EXPECT_FLOAT_EQ(vertexAt(1, 1).color[2], 0.09f);
}

TEST(TerrainGrid, NormalsUseOnlyTheFacesThatExist)
{
    // 3 x 3 unit grid with one raised vertex. Corner (0,0) beside a spike at (1,0):
    // its 2 faces are (-1,1,1)/sqrt 3 and (0,0,1). Edge (1,0) below a spike at (1,1):
    // its 4 faces are two flat ones and (+-1,-1,1)/sqrt 3.
    const struct { int spikeC, spikeR, c, r; float normal[3]; } cases[] = {
        {1, 0, 0, 0, {-0.32506f, 0.32506f, 0.88807f}},
        {1, 1, 1, 0, {0.0f, -0.34372f, 0.93907f}},
    };
    for (const auto& k : cases) {
        makeFlatTerrain(3, 3, 0.0f, 1.0f);
        heightAt(k.spikeC, k.spikeR) = 1.0f;
        refreshAllVertices();
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(vertexAt(k.c, k.r).normal[i], k.normal[i], 1e-5) << k.c << "," << k.r;
    }
}

TEST(TerrainGrid, AGridOfOneRowHasNoTriangles)
{
    EXPECT_TRUE(gridIndices(65, 1).empty());
    EXPECT_TRUE(gridIndices(1, 65).empty());
}

} // namespace
