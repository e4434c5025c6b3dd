// Shadow map resources, the programs, the light's aim and the light transform.
#include <GL/gl.h>
#include <GL/glext.h>

#include "app/editor_state.h"
#include "render/gl_extensions.h"
#include "render/shadow.h"
#include "support/gl_context.h"
#include "support/terrain_fixtures.h"

using ShadowTest = GlContextTest;

TEST(LightAim, AngleExamples)
{
    struct Case {
        float light[3];
        int grid;
        float yaw, pitch;
    };
    const Case cases[] = {
        {{1040, 1040, 2000}, 65, 0.0f, 90.0f},       // straight above the middle
        {{-400, -400, 1024}, 65, 45.0f, 26.6947f},   // the default light over the default grid
        {{1040, -960, -2000}, 65, 90.0f, -45.0f},    // below the ground: looks upwards
        {{3000, 80, 0}, 5, 180.0f, 0.0f},            // beyond the far side: looks back along -x
    };
    for (const Case& c : cases) {
        const LightAim aim = lightAimAngles(c.light, c.grid, c.grid, 32.0f);
        EXPECT_NEAR(aim.yaw, c.yaw, 0.001f) << c.light[0] << "," << c.light[1] << "," << c.light[2];
        EXPECT_NEAR(aim.pitch, c.pitch, 0.001f) << c.light[0] << "," << c.light[1] << "," << c.light[2];
    }
}

TEST_F(ShadowTest, MapIsACompleteFramebuffer)
{
    createShadowMap();
    EXPECT_EQ(editor.shadowsOn, 1);
    ASSERT_NE(editor.shadowFramebuffer, 0u);
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, editor.shadowFramebuffer);
    EXPECT_EQ(gl.checkFramebufferStatus(GL_FRAMEBUFFER_EXT), GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
}

TEST_F(ShadowTest, BothTerrainProgramsLink)
{
    for (const ShaderProgram* program : {&editor.standardProgram, &editor.shadowProgram}) {
        ASSERT_GT(program->program, 0);
        const GLhandleARB handle = GLhandleARB(program->program);
        GLint linked = 0;
        gl.getObjectParameteriv(handle, GL_OBJECT_LINK_STATUS_ARB, &linked);
        EXPECT_EQ(linked, 1);
        EXPECT_EQ(gl.getUniformLocation(handle, "shadowTex") >= 0, program == &editor.shadowProgram);
    }
}

TEST_F(ShadowTest, LightTransformMapsTheGroundBelowTheLightToTheMapCentre)
{
    makeFlatTerrain(65, 65, 256.0f);
    createShadowMap();
    editor.lightPosition[0] = editor.lightPosition[1] = 1040.0f;
    editor.lightPosition[2] = 2000.0f;
    renderShadowPass();

    // Texture matrix 7 applied to the ground point straight below the light.
    double m[16];
    selectTextureUnit(7);
    glGetDoublev(GL_TEXTURE_MATRIX, m);
    selectTextureUnit(0);
    double p[4];
    for (int row = 0; row < 4; ++row) p[row] = m[row] * 1040.0 + m[4 + row] * 1040.0 + m[8 + row] * 256.0 + m[12 + row];
    EXPECT_NEAR(p[0] / p[3], 0.5, 1e-4);
    EXPECT_NEAR(p[1] / p[3], 0.5, 1e-4);
    EXPECT_GT(p[2] / p[3], 0.0);
    EXPECT_LT(p[2] / p[3], 1.0);
}
