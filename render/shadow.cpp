// Shadow map: each frame with shadows on, the terrain's depth as seen from
// the light goes into a 1024 x 1024 depth texture, and texture matrix 7 maps
// world positions into that texture for the "shadow" program.
#include "render/shadow.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cmath>

#include "app/editor_state.h"
#include "render/gl_extensions.h"
#include "render/mesh.h"
#include "terrain/terrain.h"

namespace {

constexpr int kShadowMapSize = 1024;
constexpr int kShadowUnit = 7;
// Degrees per radian as the single-precision constant the aim always used.
constexpr float kDegreesPerRadian = 57.2957763671875f;

// Scale and shift clip space [-1, 1] into texture space [0, 1] (column-major).
constexpr GLdouble kBiasMatrix[16] = {
    0.5, 0.0, 0.0, 0.0, 0.0, 0.5, 0.0, 0.0, 0.0, 0.0, 0.5, 0.0, 0.5, 0.5, 0.5, 1.0,
};

bool framebufferEntryPointsPresent()
{
    return gl.genFramebuffers && gl.bindFramebuffer && gl.framebufferTexture2D &&
           gl.checkFramebufferStatus;
}

void createDepthTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    editor.shadowDepthTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // The shader compares depths itself, so it must receive stored depths.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_NONE);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE_ARB, GL_LUMINANCE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32_ARB, kShadowMapSize, kShadowMapSize, 0,
                 GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace

void createShadowMap()
{
    // Without framebuffer objects there is nowhere to render the light's view.
    if (!framebufferEntryPointsPresent()) {
        editor.shadowsOn = 0;
        return;
    }
    createDepthTexture();

    GLuint framebuffer = 0;
    gl.genFramebuffers(1, &framebuffer);
    editor.shadowFramebuffer = framebuffer;
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    gl.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D,
                               editor.shadowDepthTexture, 0);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT)
        editor.shadowsOn = 0;
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);

    GLint imageUnits = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS_ARB, &imageUnits);
    if (imageUnits < kShadowUnit + 1)
        editor.shadowsOn = 0;
}

void destroyShadowMap()
{
    if (editor.shadowFramebuffer != 0 && gl.deleteFramebuffers) {
        const GLuint framebuffer = editor.shadowFramebuffer;
        gl.deleteFramebuffers(1, &framebuffer);
    }
    if (editor.shadowDepthTexture != 0) {
        const GLuint texture = editor.shadowDepthTexture;
        glDeleteTextures(1, &texture);
    }
    editor.shadowFramebuffer = 0;
    editor.shadowDepthTexture = 0;
}

LightAim lightAimAngles(const float light[3], int gridX, int gridY, float blockWidth)
{
    float d[3] = {
        static_cast<float>(gridX) * blockWidth * 0.5f - light[0],
        static_cast<float>(gridY) * blockWidth * 0.5f - light[1],
        0.0f - light[2],
    };
    normalizeVector(d);
    LightAim aim;
    aim.yaw = std::atan2(d[1], d[0]) * kDegreesPerRadian;
    aim.pitch = -std::asin(d[2]) * kDegreesPerRadian;
    return aim;
}

void setLightProjection()
{
    const Terrain& t = editor.terrain;
    const float* first = t.vertices.front().position;
    const float* last = t.vertices.back().position;
    const float centre[3] = {(first[0] + last[0]) / 2, (first[1] + last[1]) / 2, (first[2] + last[2]) / 2};
    const int widest = t.gridX > t.gridY ? t.gridX : t.gridY;
    const double farDistance =
        pointDistance(editor.lightPosition, centre) + static_cast<float>(widest) * t.blockWidth;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, static_cast<double>(1.6f), 125.0, farDistance);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The scene camera's base turn from z-up world axes to GL view axes.
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
}

void setShadowTextureMatrix()
{
    GLdouble modelview[16];
    GLdouble projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_TEXTURE);
    selectTextureUnit(kShadowUnit);
    glLoadIdentity();
    glLoadMatrixd(kBiasMatrix);
    glMultMatrixd(projection);
    glMultMatrixd(modelview);
    glMatrixMode(GL_MODELVIEW);
    selectTextureUnit(0);
}

void renderShadowPass()
{
    // Without a framebuffer the pass would draw into the window's own depth.
    if (editor.terrain.vertices.empty() || !framebufferEntryPointsPresent() || editor.shadowFramebuffer == 0)
        return;
    const uint8_t texturing = editor.texturingOn;
    const float* light = editor.lightPosition;

    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, editor.shadowFramebuffer);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    setLightProjection();

    const LightAim aim =
        lightAimAngles(light, editor.terrain.gridX, editor.terrain.gridY, editor.terrain.blockWidth);
    glPushMatrix();
    glRotatef(-aim.pitch, 0.0f, 1.0f, 0.0f);
    glRotatef(-aim.yaw, 0.0f, 0.0f, 1.0f);
    glTranslatef(-light[0], -light[1], -light[2]);

    // Depth only: no textures, no program, no colour.
    editor.texturingOn = 0;
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    drawTerrainMesh();

    setShadowTextureMatrix();
    glPopMatrix();

    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glViewport(0, 0, editor.windowWidth, editor.windowHeight);
    editor.texturingOn = texturing;
}
