// Shadow map: each frame with shadows on, the terrain's depth as seen from
// the light goes into a 1024 x 1024 depth texture, and texture matrix 7 maps
// world positions into that texture for the "shadow" program.
#include "render/shadow.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "app/editor_state.h"
#include "render/gl_extensions.h"
#include "render/mesh.h"

namespace {

constexpr int kShadowMapSize = 1024;
constexpr int kShadowUnit = 7;
// Depth bias of the light pass: the stored depth is pushed back by this many
// times the surface's depth slope per pixel of the map, plus a few steps of
// depth resolution. Ground at a grazing angle to the light changes depth
// fast across one texel and needs the slope term; the 2 x 2 filter compares
// against texels a further texel away, hence more than one slope.
constexpr float kSlopeBias = 2.5f;
constexpr float kConstantBias = 64.0f;
// Widest half angle of the light's view, as its tangent (about 76 degrees):
// beyond it one texel would cover too much ground.
constexpr double kMaxHalfAngleTangent = 4.0;
// The near plane may not come closer than this share of the far plane: depth
// resolution would run out (a light standing in the terrain).
constexpr double kMinNearShare = 1.0 / 4000.0;

// Scale and shift clip space [-1, 1] into texture space [0, 1] (column-major).
constexpr GLdouble kBiasMatrix[16] = {
    0.5, 0.0, 0.0, 0.0, 0.0, 0.5, 0.0, 0.0, 0.0, 0.0, 0.5, 0.0, 0.5, 0.5, 0.5, 1.0,
};

bool mapReady = false;     // the last pass rendered the light's view to its end
float texelPerDepth = 0.0f; // of the last pass's view

// What a small grid's map was rendered from: while the surface and the light
// stay as they were, the map (and texture matrix 7) stay current and the
// pass is skipped. A big grid's map follows the camera and is always redone.
struct MapSource {
    uint64_t surfaceVersion = 0;
    float light[3] = {0, 0, 0};
    uint32_t texture = 0;
    int32_t window[2] = {0, 0}; // a resize makes it again once (see mapStillCurrent)
};
MapSource mapSource;

bool mapStillCurrent()
{
    if (!mapReady || terrainUsesLod()) return false;
    // The map does not depend on the window, but kept across a resize it
    // left the software renderer holding one more window-sized buffer (1.2 MB
    // at 640 x 480, seen by the resize memory test); one pass after each
    // resize avoids that.
    return mapSource.surfaceVersion == lodSurfaceVersion() && mapSource.texture == editor.shadowDepthTexture &&
           std::equal(mapSource.light, mapSource.light + 3, editor.lightPosition) &&
           mapSource.window[0] == editor.windowWidth && mapSource.window[1] == editor.windowHeight;
}

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
    // Compared in the sampler: with linear filtering the GL blends the
    // outcomes of the four nearest texels, which softens the edges.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC_ARB, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE_ARB, GL_LUMINANCE);
    // Ground outside the light's view compares against the far border: lit.
    const GLfloat border[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32_ARB, kShadowMapSize, kShadowMapSize, 0,
                 GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void normalize(double v[3])
{
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0)
        for (int k = 0; k < 3; ++k) v[k] /= length;
}

// Looks from `eye` along `forward` (unit), z up where it can be.
void lookAlong(const double eye[3], const double forward[3], double view[16])
{
    const double up[3] = {0.0, std::fabs(forward[2]) > 0.999 ? 1.0 : 0.0, std::fabs(forward[2]) > 0.999 ? 0.0 : 1.0};
    double side[3], upright[3];
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, upright);
    const double* rows[3] = {side, upright, forward};
    const double signs[3] = {1.0, 1.0, -1.0};
    for (int row = 0; row < 3; ++row) {
        double dot = 0.0;
        for (int k = 0; k < 3; ++k) {
            view[4 * k + row] = signs[row] * rows[row][k];
            dot += view[4 * k + row] * eye[k];
        }
        view[12 + row] = -dot;
        view[4 * row + 3] = 0.0;
    }
    view[15] = 1.0;
}

// Light-space position of corner `i` (0..7) of a box.
void boxCorner(const LodBounds& box, int i, const double view[16], double out[3])
{
    const double p[3] = {(i & 1) ? box.hi[0] : box.lo[0], (i & 2) ? box.hi[1] : box.lo[1],
                         (i & 4) ? box.hi[2] : box.lo[2]};
    for (int row = 0; row < 3; ++row)
        out[row] = view[row] * p[0] + view[4 + row] * p[1] + view[8 + row] * p[2] + view[12 + row];
}

} // namespace

void createShadowMap()
{
    mapReady = false;
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
    mapReady = false;
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

LightView fitLightView(const float light[3], const LodBounds& receivers, const LodBounds& terrain)
{
    LightView v;
    const double eye[3] = {light[0], light[1], light[2]};
    double forward[3];
    for (int k = 0; k < 3; ++k) forward[k] = 0.5 * (double(receivers.lo[k]) + receivers.hi[k]) - eye[k];
    normalize(forward);
    if (forward[0] == 0 && forward[1] == 0 && forward[2] == 0) forward[2] = -1.0;
    lookAlong(eye, forward, v.view);

    // Tangents of the receivers' corners off the axis, and the depth range.
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    double farthest = 0.0, nearest = 1e300;
    bool behind = false;
    for (int i = 0; i < 8; ++i) {
        double p[3];
        boxCorner(receivers, i, v.view, p);
        const double depth = -p[2];
        farthest = std::max(farthest, depth);
        if (depth <= 1e-3) {
            behind = true;
            continue;
        }
        for (int k = 0; k < 2; ++k) {
            lo[k] = std::min(lo[k], p[k] / depth);
            hi[k] = std::max(hi[k], p[k] / depth);
        }
    }
    for (int i = 0; i < 8; ++i) {
        double p[3];
        boxCorner(terrain, i, v.view, p);
        nearest = std::min(nearest, -p[2]);
    }
    // A light among the receivers cannot see them all: the widest view.
    for (int k = 0; k < 2; ++k) {
        lo[k] = behind ? -kMaxHalfAngleTangent : std::max(lo[k], -kMaxHalfAngleTangent);
        hi[k] = behind ? kMaxHalfAngleTangent : std::min(hi[k], kMaxHalfAngleTangent);
    }
    v.farPlane = std::max(farthest * 1.01 + 1.0, 2.0);
    v.nearPlane = std::min(std::max({nearest * 0.99, v.farPlane * kMinNearShare, 1.0}), v.farPlane * 0.5);
    v.left = lo[0] * v.nearPlane;
    v.right = hi[0] * v.nearPlane;
    v.bottom = lo[1] * v.nearPlane;
    v.top = hi[1] * v.nearPlane;
    return v;
}

void setShadowTextureMatrix(const double modelview[16], const double projection[16])
{
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
    if (mapStillCurrent()) return;
    mapReady = false;
    // Without a framebuffer the pass would draw into the window's own depth.
    if (editor.terrain.vertices.empty() || !framebufferEntryPointsPresent() || editor.shadowFramebuffer == 0)
        return;
    LodBounds terrain, receivers;
    if (!lodTerrainBounds(terrain)) return;
    // On big grids only what the camera sees receives shadows; the map's
    // texels go there.
    if (!terrainUsesLod())
        receivers = terrain;
    else if (!lodBoundsInView(receivers))
        return;
    const LightView light = fitLightView(editor.lightPosition, receivers, terrain);
    const uint8_t texturing = editor.texturingOn;

    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, editor.shadowFramebuffer);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glFrustum(light.left, light.right, light.bottom, light.top, light.nearPlane, light.farPlane);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixd(light.view);
    // As the GL holds it: the chunk levels and texture matrix 7 use this.
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);

    // Depth only: no textures, no program, no colour.
    editor.texturingOn = 0;
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(kSlopeBias, kConstantBias);
    if (terrainUsesLod()) {
        chooseLodLightLevels(light.view, projection, kShadowMapSize);
        useLodLightLevels(true);
    }
    drawTerrainMesh();
    useLodLightLevels(false);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.0f, 0.0f);

    setShadowTextureMatrix(light.view, projection);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();

    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glViewport(0, 0, editor.windowWidth, editor.windowHeight);
    editor.texturingOn = texturing;
    texelPerDepth = float(std::max(light.right - light.left, light.top - light.bottom) / light.nearPlane /
                          kShadowMapSize);
    mapSource = {lodSurfaceVersion(),
                 {editor.lightPosition[0], editor.lightPosition[1], editor.lightPosition[2]},
                 editor.shadowDepthTexture,
                 {editor.windowWidth, editor.windowHeight}};
    mapReady = true;
}

bool shadowMapReady() { return mapReady; }

float shadowTexelPerDepth() { return texelPerDepth; }
