// Shadow map resources, the light's aim and the light transform.
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>

#include "app/editor_state.h"
#include "render/gl_extensions.h"
#include "render/gpu_mirror.h"
#include "render/mesh.h"
#include "render/shadow.h"
#include "render/textures.h"
#include "support/gl_context.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"

namespace {

class ShadowTest : public GlContextTest {
protected:
    void SetUp() override
    {
        GlContextTest::SetUp();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
    }
};

// texture matrix 7 applied to a world point, divided by w.
void shadowSpace(const float world[3], double out[3])
{
    double m[16];
    selectTextureUnit(7);
    glGetDoublev(GL_TEXTURE_MATRIX, m);
    selectTextureUnit(0);
    double v[4];
    for (int row = 0; row < 4; ++row)
        v[row] = m[row] * world[0] + m[4 + row] * world[1] + m[8 + row] * world[2] + m[12 + row];
    for (int i = 0; i < 3; ++i) out[i] = v[i] / v[3];
}

} // namespace

TEST(LightAim, AngleExamples)
{
    struct Case {
        float light[3];
        int gridX, gridY;
        float blockWidth;
        float yaw, pitch;
    };
    const Case cases[] = {
        // Straight above the middle of the ground rectangle: atan2(0, 0) = 0.
        {{1040, 1040, 2000}, 65, 65, 32, 0.0f, 90.0f},
        // The default light over the default grid: d = (1440, 1440, -1024).
        {{-400, -400, 1024}, 65, 65, 32, 45.0f, 26.6947f},
        // Below the ground the light looks upwards.
        {{1040, -960, -2000}, 65, 65, 32, 90.0f, -45.0f},
        // Beyond the far side along x, level with the ground: looks back along -x.
        {{3000, 80, 0}, 5, 5, 32, 180.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const LightAim aim = lightAimAngles(c.light, c.gridX, c.gridY, c.blockWidth);
        EXPECT_NEAR(aim.yaw, c.yaw, 0.001f) << c.light[0] << "," << c.light[1] << "," << c.light[2];
        EXPECT_NEAR(aim.pitch, c.pitch, 0.001f) << c.light[0] << "," << c.light[1] << "," << c.light[2];
    }
}

TEST_F(ShadowTest, MapIsACompleteDepthOnlyFramebuffer)
{
    createShadowMap();
    EXPECT_EQ(editor.shadowsOn, 1);
    ASSERT_NE(editor.shadowDepthTexture, 0u);
    ASSERT_NE(editor.shadowFramebuffer, 0u);

    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, editor.shadowFramebuffer);
    EXPECT_EQ(gl.checkFramebufferStatus(GL_FRAMEBUFFER_EXT), GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));
    GLint drawBuffer = -1;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_NONE);
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);

    glBindTexture(GL_TEXTURE_2D, editor.shadowDepthTexture);
    GLint width = 0, height = 0, depthBits = 0, compare = -1, wrap = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_DEPTH_SIZE, &depthBits);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, &compare);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 1024);
    EXPECT_GE(depthBits, 24);
    EXPECT_EQ(compare, GL_NONE);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(ShadowTest, MissingFramebufferEntryPointsTurnShadowsOff)
{
    makeFlatTerrain(5, 5);
    const GlEntryPoints saved = gl;
    gl.genFramebuffers = nullptr;
    createShadowMap();
    EXPECT_EQ(editor.shadowsOn, 0);
    // The user may switch shadows on again; the pass must not crash.
    editor.shadowsOn = 1;
    renderShadowPass();
    gl = saved;
}

TEST_F(ShadowTest, BothTerrainProgramsLinkWithTheirSamplers)
{
    struct Case {
        const ShaderProgram* program;
        bool hasShadowSampler;
    };
    const Case cases[] = {{&editor.standardProgram, false}, {&editor.shadowProgram, true}};
    for (const Case& c : cases) {
        ASSERT_GT(c.program->program, 0);
        const GLhandleARB handle = GLhandleARB(c.program->program);
        GLint linked = 0;
        gl.getObjectParameteriv(handle, GL_OBJECT_LINK_STATUS_ARB, &linked);
        EXPECT_EQ(linked, 1);
        for (const char* sampler : {"tex0", "tex1", "tex2", "tex3"})
            EXPECT_GE(gl.getUniformLocation(handle, sampler), 0) << sampler;
        EXPECT_EQ(gl.getUniformLocation(handle, "shadowTex") >= 0, c.hasShadowSampler);
    }
}

TEST_F(ShadowTest, LightTransformMapsTheGroundUnderTheLightToTheMapCentre)
{
    makeFlatTerrain(65, 65, 256.0f); // resets the editor: before the map is made
    createShadowMap();
    const float light[3] = {1040.0f, 1040.0f, 2000.0f};
    for (int i = 0; i < 3; ++i) editor.lightPosition[i] = light[i];
    renderShadowPass();

    // Straight below the light lies the centre of the map, depth in (0, 1).
    const float below[3] = {1040.0f, 1040.0f, 256.0f};
    double p[3];
    shadowSpace(below, p);
    EXPECT_NEAR(p[0], 0.5, 1e-4);
    EXPECT_NEAR(p[1], 0.5, 1e-4);
    EXPECT_GT(p[2], 0.0);
    EXPECT_LT(p[2], 1.0);

    // A point nearer the light is nearer in depth; the map stores the ground.
    const float above[3] = {1040.0f, 1040.0f, 1000.0f};
    double q[3];
    shadowSpace(above, q);
    EXPECT_LT(q[2], p[2]);

    std::vector<float> depth(1024 * 1024);
    glBindTexture(GL_TEXTURE_2D, editor.shadowDepthTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_NEAR(depth[512 * 1024 + 512], p[2], 1e-4);

    // The pass gives the window back as it found it.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], editor.windowWidth);
    GLboolean colourWrites[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, colourWrites);
    EXPECT_EQ(colourWrites[0], GL_TRUE);
    EXPECT_EQ(editor.texturingOn, 1);
}

TEST_F(ShadowTest, WithoutAFramebufferThePassLeavesTheWindowAlone)
{
    makeFlatTerrain(5, 5, 0.5f, 1.0f);
    ASSERT_EQ(editor.shadowFramebuffer, 0u); // no createShadowMap
    glViewport(0, 0, 320, 240);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    renderShadowPass();
    float depth = 0.0f;
    glReadPixels(160, 120, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 0.25f);
}

TEST_F(ShadowTest, TerrainIsLitWhenNoShadowMapWasEverRendered)
{
    // Shadows switched on by hand on a GL that could not make the map: the
    // shadow program samples an empty texture and must not darken anything.
    makeFlatTerrain(5, 5, 0.0f, 32.0f);
    loadEditorTextures({kDefaultGroundTextures[0], kDefaultGroundTextures[1], kDefaultGroundTextures[2]});
    replaceDistributionTexture();
    glViewport(0, 0, 320, 240);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 128, 0, 128, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Every terrain point inside the map, at depth 0.5.
    glMatrixMode(GL_TEXTURE);
    selectTextureUnit(7);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 0.5f);
    glScalef(1.0f / 128.0f, 1.0f / 128.0f, 1.0f);
    selectTextureUnit(0);
    glMatrixMode(GL_MODELVIEW);

    uint8_t lit[3], withShadows[3];
    for (uint8_t shadows : {uint8_t(0), uint8_t(1)}) {
        editor.shadowsOn = shadows;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawTerrainMesh();
        glReadPixels(100, 100, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, shadows ? withShadows : lit);
    }
    EXPECT_GT(lit[0] + lit[1], 40);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(withShadows[i], lit[i], 1) << "channel " << i;
}
