#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <vector>

#include "ops/commands.h"
#include "ops/transforms.h"
#include "render/gl_extensions.h"
#include "render/gpu_mirror.h"
#include "support/gl_context.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

namespace {

class OpsGlTest : public GlContextTest {};

std::vector<float> textureContents()
{
    const Terrain& t = editor.terrain;
    std::vector<float> texels(t.distribution.size());
    glBindTexture(GL_TEXTURE_2D, t.distributionTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

// Positions in the mesh position buffer, which must hold the whole grid.
std::vector<float> positionBuffer()
{
    std::vector<float> contents(editor.terrain.vertices.size() * 3);
    auto getSubData = reinterpret_cast<PFNGLGETBUFFERSUBDATAARBPROC>(
        SDL_GL_GetProcAddress("glGetBufferSubDataARB"));
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, GLuint(editor.meshBuffers[kPositionBuffer]));
    getSubData(GL_ARRAY_BUFFER_ARB, 0, GLsizeiptrARB(contents.size() * sizeof(float)),
               contents.data());
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    return contents;
}

std::vector<float> positions()
{
    std::vector<float> out;
    for (const TerrainVertex& v : editor.terrain.vertices)
        out.insert(out.end(), v.position, v.position + 3);
    return out;
}

TEST_F(OpsGlTest, GridResizeMakesANewTextureFromTheResampledMap)
{
    makeFlatTerrain(65, 65, 0.0f);
    for (int r = 0; r < 65; ++r)
        heightAt(64, r) = float(r);
    Terrain& t = editor.terrain;
    for (size_t k = 0; k < t.distribution.size(); ++k)
        t.distribution[k] = float(k % 1021) / 1021.0f;
    replaceDistributionTexture();
    uploadMeshBuffers();
    const GLuint before = t.distributionTexture;

    commandGrowGrid(false, 2);
    EXPECT_FALSE(glIsTexture(before));
    EXPECT_EQ(textureContents(), t.distribution);
    EXPECT_EQ(positionBuffer(), positions());

    commandIncreaseDetail();
    EXPECT_EQ(positionBuffer(), positions());
    undo();
    EXPECT_EQ(t.gridX, 67);
    EXPECT_EQ(positionBuffer(), positions());
}

TEST_F(OpsGlTest, TextureByElevationUploadsTheWholeMapAndUndoRestoresIt)
{
    makeFlatTerrain(33, 33, 0.0f);
    for (int r = 0; r < 33; ++r)
        for (int c = 0; c < 33; ++c)
            heightAt(c, r) = float(c * 10 + r);
    replaceDistributionTexture();
    textureByElevation();
    const std::vector<float> map = editor.terrain.distribution;
    EXPECT_NE(map[0], 0.3f);
    EXPECT_EQ(textureContents(), map);
    undo();
    EXPECT_EQ(textureContents(), std::vector<float>(map.size(), 0.3f));
}

} // namespace
