// Sky sets: panorama or box, which files are asked for, cache reuse.
#include <GL/gl.h>

#include <string>

#include "app/editor_state.h"
#include "render/sky.h"
#include "render/textures.h"
#include "support/gl_context.h"

namespace {

using SkyTest = GlContextTest;

bool cached(const std::string& name)
{
    for (const TextureRecord& r : editor.textureCache)
        if (r.name == name) return true;
    return false;
}

} // namespace

TEST_F(SkyTest, ReadablePanoramaIsASphereAndNoFaceIsOpened)
{
    loadSkySet("data/sky/default");
    EXPECT_TRUE(editor.skyIsSphere);
    EXPECT_NE(textureName(editor.skyTextures[0]), 0u);
    EXPECT_EQ(editor.textureCache.size(), 1u);
    EXPECT_FALSE(cached("data/sky/default_up.tga"));
    EXPECT_EQ(editor.skySetName, "data/sky/default");
    EXPECT_EQ(editor.loadClampToEdge, 0);

    glBindTexture(GL_TEXTURE_2D, textureName(editor.skyTextures[0]));
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);

    // The same set again costs nothing.
    loadSkySet("data/sky/default");
    EXPECT_EQ(editor.textureCache.size(), 1u);
}

TEST_F(SkyTest, SixFacesInSlotOrderWhenThereIsNoPanorama)
{
    loadSkySet("data/sky/box");
    EXPECT_FALSE(editor.skyIsSphere);
    const char* faces[6] = {"up", "dn", "lf", "rt", "ft", "bk"};
    for (int i = 0; i < 6; ++i) {
        const int32_t record = editor.skyTextures[size_t(i)];
        ASSERT_GE(record, 0);
        EXPECT_EQ(editor.textureCache[size_t(record)].name, std::string("data/sky/box_") + faces[i] + ".tga");
        EXPECT_NE(textureName(record), 0u) << faces[i];
    }
    EXPECT_TRUE(cached("data/sky/box.tga")); // asked for first, failed

    // A sphere loaded after a box leaves the box's other slots as they were.
    const int32_t boxDown = editor.skyTextures[1];
    loadSkySet("data/sky/default");
    EXPECT_TRUE(editor.skyIsSphere);
    EXPECT_EQ(editor.skyTextures[1], boxDown);
}

TEST_F(SkyTest, BaseNamesAreUsedVerbatim)
{
    struct Case {
        std::string base, panorama, up;
    };
    const Case cases[] = {
        {"data/sky/box.tga", "data/sky/box.tga.tga", "data/sky/box.tga_up.tga"},
        {"nowhere/sky", "nowhere/sky.tga", "nowhere/sky_up.tga"},
    };
    for (const Case& c : cases) {
        loadSkySet(c.base);
        EXPECT_TRUE(cached(c.panorama)) << c.base;
        EXPECT_TRUE(cached(c.up)) << c.base;
        // Nothing readable: a white box (every face texture 0).
        EXPECT_FALSE(editor.skyIsSphere);
        for (int32_t record : editor.skyTextures) EXPECT_EQ(textureName(record), 0u) << c.base;
        EXPECT_EQ(editor.skySetName, c.base);
    }
}

TEST_F(SkyTest, DrawingLeavesDepthWritesOnAndTextureZeroBound)
{
    // Nothing loaded: drawSky draws nothing and touches nothing.
    glViewport(0, 0, 320, 240);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glClearColor(0.25f, 0.25f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawSky();
    uint8_t pixel[4] = {};
    glReadPixels(160, 120, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 64);

    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 200);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const char* set : {"data/sky/box", "nowhere/white"}) {
        loadSkySet(set);
        glClear(GL_COLOR_BUFFER_BIT);
        drawSky();
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_EQ(depthWrites, GL_TRUE);
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
        glReadPixels(160, 120, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        // The view looks down -z at the dn face: covered, not the clear grey.
        EXPECT_FALSE(pixel[0] == 64 && pixel[1] == 64 && pixel[2] == 64) << set;
        if (std::string(set) == "nowhere/white") {
            EXPECT_EQ(pixel[0], 255) << set;
        }
    }
}
