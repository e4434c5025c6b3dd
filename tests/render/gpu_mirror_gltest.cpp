#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <vector>

#include "render/gl_extensions.h"
#include "render/gpu_mirror.h"
#include "sculpt/stroke.h"
#include "support/gl_context.h"
#include "support/terrain_fixtures.h"
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

void expectMeshBuffersMatch()
{
    expectBufferMatches(kPositionBuffer, 0, 3);
    expectBufferMatches(kColourBuffer, 6, 3);
    expectBufferMatches(kNormalBuffer, 3, 3);
}

void expectTextureMatchesMap()
{
    std::vector<float> texels(editor.terrain.distribution.size());
    glBindTexture(GL_TEXTURE_2D, editor.terrain.distributionTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    // The texture keeps 8 bits a channel: each weight to the nearest 1/255.
    const std::vector<float>& map = editor.terrain.distribution;
    for (size_t i = 0; i < map.size(); ++i)
        ASSERT_NEAR(texels[i], map[i], 0.5 / 255.0 + 1e-6) << "texel " << i / 3 << " channel " << i % 3;
}

// One stroke of the current tool with a brush step at each of the points.
void strokeAt(std::initializer_list<std::pair<int, int>> vertices)
{
    editor.frameMillis = 25;
    beginStroke();
    for (auto [c, r] : vertices) {
        editor.pickColumn = c;
        editor.pickRow = r;
        editor.pickPoint[0] = float(c) * editor.terrain.blockWidth;
        editor.pickPoint[1] = float(r) * editor.terrain.blockWidth;
        editor.pickPoint[2] = 256.0f;
        applyBrush(1);
    }
    endStroke();
}

TEST_F(GpuMirrorTest, BuffersFollowUploadsAndBrushSteps)
{
    ASSERT_TRUE(editor.vboSupported);
    makeFlatTerrain(33, 17);
    uploadMeshBuffers();
    expectMeshBuffersMatch();
    // Raise steps near the far corner: the patched vertices, edges included.
    editor.currentOp = 1;
    strokeAt({{31, 15}, {31, 15}});
    EXPECT_GT(editor.terrain.vertices.back().position[2], 256.0f);
    expectMeshBuffersMatch();
    undo();
    expectMeshBuffersMatch();
}

TEST_F(GpuMirrorTest, DistributionTextureFollowsPaintUndoAndRedo)
{
    makeFlatTerrain(65, 65);
    replaceDistributionTexture();
    const GLuint first = editor.terrain.distributionTexture;
    replaceDistributionTexture();
    EXPECT_FALSE(glIsTexture(first)) << "the replaced texture is deleted";
    expectTextureMatchesMap();
    // Paint at the first and the last corner: the first and last rows and columns.
    editor.currentOp = 5;
    editor.paintTexture = 1;
    strokeAt({{0, 0}, {64, 64}});
    const std::vector<float> painted = editor.terrain.distribution;
    EXPECT_NE(painted[1], 0.3f);
    EXPECT_NE(painted[painted.size() - 2], 0.3f);
    expectTextureMatchesMap();
    undo();
    EXPECT_EQ(editor.terrain.distribution[1], 0.3f);
    expectTextureMatchesMap();
    redo();
    EXPECT_EQ(editor.terrain.distribution, painted);
    expectTextureMatchesMap();
}

} // namespace
