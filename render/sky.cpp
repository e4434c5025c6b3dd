// The sky: a panorama wrapped on a sphere, or six images on a box, drawn
// around the eye before the camera translation so it never comes closer.
#include "render/sky.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/editor_state.h"
#include "render/textures.h"

namespace {

constexpr const char* kFaceSuffix[6] = {"up", "dn", "lf", "rt", "ft", "bk"};

struct SkyCorner {
    float s, t;
    float x, y, z;
};

// Corners of each face in drawing order, slots up, dn, lf, rt, ft, bk. The
// world is z-up; on the side faces t = 0 is the top edge.
constexpr SkyCorner kFaces[6][4] = {
    {{1, 0, -50, -50, 50}, {1, 1, 50, -50, 50}, {0, 1, 50, 50, 50}, {0, 0, -50, 50, 50}},
    {{1, 1, -50, -50, -50}, {1, 0, 50, -50, -50}, {0, 0, 50, 50, -50}, {0, 1, -50, 50, -50}},
    {{0, 1, -50, -50, -50}, {1, 1, -50, 50, -50}, {1, 0, -50, 50, 50}, {0, 0, -50, -50, 50}},
    {{0, 1, 50, 50, -50}, {1, 1, 50, -50, -50}, {1, 0, 50, -50, 50}, {0, 0, 50, 50, 50}},
    {{1, 1, -50, -50, -50}, {0, 1, 50, -50, -50}, {0, 0, 50, -50, 50}, {1, 0, -50, -50, 50}},
    {{0, 1, -50, 50, -50}, {1, 1, 50, 50, -50}, {1, 0, 50, 50, 50}, {0, 0, -50, 50, 50}},
};

void drawSkySphere()
{
    if (editor.sceneQuadric == nullptr)
        return;
    glBindTexture(GL_TEXTURE_2D, textureName(editor.skyTextures[0]));
    glPushMatrix();
    // The quadric's t runs from -z to +z; turned over, the image's top row
    // (t = 0) lies overhead.
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    gluSphere(static_cast<GLUquadric*>(editor.sceneQuadric), 50.0, 20, 20);
    glPopMatrix();
}

void drawSkyBox()
{
    for (int face = 0; face < 6; ++face) {
        glBindTexture(GL_TEXTURE_2D, textureName(editor.skyTextures[face]));
        glBegin(GL_QUADS);
        for (const SkyCorner& c : kFaces[face]) {
            glTexCoord2f(c.s, c.t);
            glVertex3f(c.x, c.y, c.z);
        }
        glEnd();
    }
}

} // namespace

void loadSkySet(const std::string& base)
{
    TextureOptions clamped;
    clamped.clampToEdge = true;
    editor.skyTextures[0] = loadTextureCached(base + ".tga", clamped);
    if (textureName(editor.skyTextures[0]) != 0) {
        editor.skyIsSphere = true;
    } else {
        for (int face = 0; face < 6; ++face)
            editor.skyTextures[face] = loadTextureCached(base + "_" + kFaceSuffix[face] + ".tga", clamped);
        editor.skyIsSphere = false;
    }
    editor.skySetName = base;
}

void drawSky()
{
    if (editor.skyTextures[0] == kNoTexture)
        return;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDepthMask(GL_FALSE);
    if (editor.skyIsSphere)
        drawSkySphere();
    else
        drawSkyBox();
    glDepthMask(GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, 0);
}
