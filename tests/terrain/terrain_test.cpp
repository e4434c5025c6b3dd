#include <gtest/gtest.h>

#include <cmath>

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
    EXPECT_EQ(t.vertices.size(), 65u * 65u);
    EXPECT_EQ(t.indices.size(), 64u * 64u * 6u);
    for (const TerrainVertex& v : t.vertices) ASSERT_EQ(v.position[2], 256.0f);
    EXPECT_EQ(vertexAt(64, 64).position[0], 64 * 32.0f);
    EXPECT_EQ(vertexAt(64, 64).position[1], 64 * 32.0f);
    ASSERT_EQ(t.distribution.size(), 1024u * 1024u * 3u);
    for (float w : t.distribution) ASSERT_EQ(w, 0.3f);
    EXPECT_EQ(undoCount(), 0);
    EXPECT_EQ(editor.camera.position[2], 512.0f + 1000.0f);
    EXPECT_EQ(editor.camera.angles[kPitch], 45.0f);
    EXPECT_EQ(editor.camera.angles[kYaw], 45.0f);
}

TEST(TerrainGrid, FlatTerrainNormalsAndLightingFollowTheLight)
{
    makeFlatTerrain(65, 65);
    // Brightness 0.5 + 0.5 * L.z with L the unit vector towards (-400, -400, 1024).
    for (int r : {0, 10, 64}) {
        for (int c : {0, 33, 64}) {
            const TerrainVertex& v = vertexAt(c, r);
            ASSERT_FLOAT_EQ(v.normal[2], 1.0f);
            const double dx = -400.0 - v.position[0], dy = -400.0 - v.position[1], dz = 1024.0 - 256.0;
            const double lz = dz / std::sqrt(dx * dx + dy * dy + dz * dz);
            const double expected = std::clamp(0.5 * lz + 0.5, 0.1, 1.0);
            EXPECT_NEAR(v.color[0], expected, 1e-6) << c << "," << r;
            EXPECT_EQ(v.color[0], v.color[1]);
            EXPECT_FLOAT_EQ(v.color[2], 0.9f * v.color[0]);
        }
    }
}

TEST(TerrainGrid, BrightnessNeverDropsBelowATenth)
{
    makeFlatTerrain(3, 3);
    editor.lightPosition[0] = 32.0f;
    editor.lightPosition[1] = 32.0f;
    editor.lightPosition[2] = -1000.0f; // straight below: facing away
    relightAllVertices();
    EXPECT_FLOAT_EQ(vertexAt(1, 1).color[0], 0.1f);
    EXPECT_FLOAT_EQ(vertexAt(1, 1).color[2], 0.09f);
}

TEST(TerrainGrid, NormalsUseTheFacesThatExist)
{
    // A plane rising along x with slope 1: every face normal is (-1, 0, 1)/sqrt 2,
    // whichever of the 2 (corner), 4 (edge) or 8 (interior) faces are used.
    makeFlatTerrain(4, 4, 0.0f, 1.0f);
    for (TerrainVertex& v : editor.terrain.vertices) v.position[2] = v.position[0];
    refreshAllVertices();
    for (auto [c, r] : {std::pair{0, 0}, {3, 3}, {1, 0}, {0, 2}, {1, 1}, {2, 2}}) {
        const TerrainVertex& v = vertexAt(c, r);
        EXPECT_NEAR(v.normal[0], -std::sqrt(0.5), 1e-6) << c << "," << r;
        EXPECT_NEAR(v.normal[1], 0.0, 1e-6);
        EXPECT_NEAR(v.normal[2], std::sqrt(0.5), 1e-6);
    }
    // A single spike: a corner next to it leans away from it, and only the two
    // corner faces count (a third face would pull the normal towards +y).
    makeFlatTerrain(3, 3, 0.0f, 1.0f);
    heightAt(1, 0) = 1.0f;
    refreshAllVertices();
    const TerrainVertex& corner = vertexAt(0, 0);
    float face1[3], face2[3];
    faceNormal(vertexAt(1, 0).position, vertexAt(1, 1).position, corner.position, face1); // right column, k = 0
    faceNormal(vertexAt(1, 1).position, vertexAt(0, 1).position, corner.position, face2); // upper row, k = 0
    float sum[3] = {face1[0] + face2[0], face1[1] + face2[1], face1[2] + face2[2]};
    normalizeVector(sum);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(corner.normal[i], sum[i]);
    EXPECT_LT(corner.normal[0], 0.0f);
}

TEST(TerrainGrid, IndicesAndTextureCoordinates)
{
    makeFlatTerrain(2, 2);
    const std::vector<uint32_t> expected = {0, 1, 2, 2, 1, 3};
    EXPECT_EQ(editor.terrain.indices, expected);

    makeFlatTerrain(65, 65);
    EXPECT_FLOAT_EQ(vertexAt(8, 0).tileCoord[0], 1.0f);
    EXPECT_FLOAT_EQ(vertexAt(0, 8).tileCoord[1], 1.0f);
    EXPECT_FLOAT_EQ(vertexAt(64, 0).mapCoord[0], 64.0f / 65.0f);
    EXPECT_FLOAT_EQ(vertexAt(0, 64).mapCoord[1], 64.0f / 65.0f);
    EXPECT_EQ(vertexAt(0, 0).mapCoord[0], 0.0f);

    editor.terrain.gridY = 1; // fewer than two rows: no triangles
    buildIndices();
    EXPECT_TRUE(editor.terrain.indices.empty());
}

} // namespace
