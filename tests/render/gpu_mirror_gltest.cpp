#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <vector>

#include "render/gl_extensions.h"
#include "render/gpu_mirror.h"
#include "sculpt/stroke.h"
#include "support/gl_context.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

class GpuMirrorTest : public GlContextTest {};

// The buffer's floats next to the same field of every vertex.
void expectBufferMatches(int which, size_t offset, size_t count)
{
    const std::vector<TerrainVertex>& vertices = editor.terrain.vertices;
    std::vector<float> contents(vertices.size() * count);
    auto getSubData = reinterpret_cast<PFNGLGETBUFFERSUBDATAARBPROC>(SDL_GL_GetProcAddress("glGetBufferSubDataARB"));
    ASSERT_NE(getSubData, nullptr);
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, GLuint(editor.meshBuffers[size_t(which)]));
    getSubData(GL_ARRAY_BUFFER_ARB, 0, GLsizeiptrARB(contents.size() * sizeof(float)), contents.data());
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    for (size_t i = 0; i < vertices.size(); ++i) {
        const float* field = reinterpret_cast<const float*>(&vertices[i]) + offset;
        for (size_t k = 0; k < count; ++k) ASSERT_EQ(contents[i * count + k], field[k]) << "vertex " << i;
    }
}

void expectTextureMatchesMap()
{
    const Terrain& t = editor.terrain;
    std::vector<float> texels(t.distribution.size());
    glBindTexture(GL_TEXTURE_2D, t.distributionTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    ASSERT_EQ(texels, t.distribution);
}

TEST_F(GpuMirrorTest, BuffersFollowUploadsAndBrushSteps)
{
    ASSERT_TRUE(editor.vboSupported);
    makeFlatTerrain(33, 17);
    uploadMeshBuffers();
    for (int b = 0; b < 4; ++b) ASSERT_GE(editor.meshBuffers[size_t(b)], 0);
    expectBufferMatches(kPositionBuffer, 0, 3);
    expectBufferMatches(kTileCoordBuffer, 9, 2);
    expectBufferMatches(kMapCoordBuffer, 11, 2);
    expectBufferMatches(kColourBuffer, 6, 3);

    // A Raise step near the far corner: the patched vertices, edges included.
    editor.currentOp = 1;
    editor.frameMillis = 25;
    editor.pickColumn = 31;
    editor.pickRow = 15;
    editor.pickPoint[0] = 31 * 32.0f;
    editor.pickPoint[1] = 15 * 32.0f;
    editor.pickPoint[2] = 256.0f;
    beginStroke();
    applyBrush(1);
    applyBrush(1);
    endStroke();
    EXPECT_GT(editor.terrain.vertices.back().position[2], 256.0f);
    expectBufferMatches(kPositionBuffer, 0, 3);
    expectBufferMatches(kColourBuffer, 6, 3);
    undo();
    expectBufferMatches(kPositionBuffer, 0, 3);
    expectBufferMatches(kColourBuffer, 6, 3);
}

TEST_F(GpuMirrorTest, DistributionTextureFollowsPaintUndoAndRedo)
{
    makeFlatTerrain(65, 65);
    replaceDistributionTexture();
    ASSERT_NE(editor.terrain.distributionTexture, 0u);
    expectTextureMatchesMap();

    // Paint at the map's first corner so the first row and column are touched.
    editor.currentOp = 5;
    editor.paintTexture = 1;
    editor.frameMillis = 25;
    editor.pickPoint[0] = 0.0f;
    editor.pickPoint[1] = 0.0f;
    beginStroke();
    applyBrush(1);
    endStroke();
    const std::vector<float> painted = editor.terrain.distribution;
    EXPECT_NE(painted[1], 0.3f);
    expectTextureMatchesMap();
    undo();
    EXPECT_EQ(editor.terrain.distribution[1], 0.3f);
    expectTextureMatchesMap();
    redo();
    EXPECT_EQ(editor.terrain.distribution, painted);
    expectTextureMatchesMap();

    // And at the last corner: the last row and column.
    editor.pickPoint[0] = 64 * 32.0f;
    editor.pickPoint[1] = 64 * 32.0f;
    beginStroke();
    applyBrush(1);
    endStroke();
    expectTextureMatchesMap();
    undo();
    expectTextureMatchesMap();
}

TEST_F(GpuMirrorTest, ReplacingTheDistributionTextureDeletesTheOldOne)
{
    makeFlatTerrain(9, 9);
    replaceDistributionTexture();
    const GLuint first = editor.terrain.distributionTexture;
    replaceDistributionTexture();
    EXPECT_NE(editor.terrain.distributionTexture, first);
    EXPECT_FALSE(glIsTexture(first));
}

} // namespace
