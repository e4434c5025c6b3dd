#include "render/mesh.h"

#include <cstddef>

#include "render/gl_extensions.h"
#include "render/shadow.h"
#include "render/terrain_lod.h"
#include "render/textures.h"
#include "terrain/terrain.h"

namespace {

constexpr GLsizei kStride = sizeof(TerrainVertex);

bool useBuffers() { return editor.vboSupported && gl.bindBuffer && editor.meshBuffers[kPositionBuffer] >= 0; }

void bindBuffer(int which) { gl.bindBuffer(GL_ARRAY_BUFFER_ARB, GLuint(editor.meshBuffers[size_t(which)])); }

// Points the current client unit's coordinate array at mapCoord or tileCoord.
void pointTexCoords(int buffer, size_t fieldOffset)
{
    if (useBuffers()) {
        bindBuffer(buffer);
        glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    } else {
        glTexCoordPointer(2, GL_FLOAT, kStride,
                          reinterpret_cast<const char*>(editor.terrain.vertices.data()) + fieldOffset);
    }
}

void setSampler(GLhandleARB program, const char* name, int unit)
{
    if (!gl.getUniformLocation || !gl.uniform1i) return;
    gl.uniform1i(gl.getUniformLocation(program, name), unit);
}

MeshDrawCount drawCount;

// The whole triangle list of a grid drawn whole, made again when the grid's
// size changes (big grids never need one: it would be 400 MB at 4097 x 4097).
const std::vector<uint32_t>& fullDetailList()
{
    static std::vector<uint32_t> list;
    static int listX = 0, listY = 0;
    const Terrain& t = editor.terrain;
    if (listX != t.gridX || listY != t.gridY) {
        list = gridIndices(t.gridX, t.gridY);
        listX = t.gridX;
        listY = t.gridY;
    }
    return list;
}

// The triangles this draw sends: the whole list on small grids, otherwise
// the chunks inside the current view (the matrices on the GL stacks) at
// their chosen levels.
const std::vector<uint32_t>& trianglesToDraw()
{
    if (!terrainUsesLod()) return fullDetailList();
    double modelview[16], projection[16], clip[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    multiplyMatrices(projection, modelview, clip);
    const std::vector<uint32_t>& list = lodTrianglesInView(clip);
    drawCount.chunks += lodLastListCount().chunks;
    return list;
}

} // namespace

void drawTerrainMesh()
{
    Terrain& t = editor.terrain;
    if (t.gridX < 2 || t.gridY < 2 || !hasVertexGrid()) return;
    const std::vector<uint32_t>& triangles = trianglesToDraw();
    drawCount.triangles += int64_t(triangles.size() / 3);
    ++drawCount.draws;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (useBuffers()) {
        bindBuffer(kPositionBuffer);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        bindBuffer(kColourBuffer);
        glColorPointer(3, GL_FLOAT, 0, nullptr);
    } else {
        glVertexPointer(3, GL_FLOAT, kStride, t.vertices[0].position);
        glColorPointer(3, GL_FLOAT, kStride, t.vertices[0].color);
    }

    const bool textured = editor.texturingOn != 0;
    const bool shadowed = textured && editor.shadowsOn && shadowMapReady();
    if (textured) {
        selectClientTextureUnit(0);
        selectTextureUnit(0);
        glBindTexture(GL_TEXTURE_2D, t.distributionTexture);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        pointTexCoords(kMapCoordBuffer, offsetof(TerrainVertex, mapCoord));
        for (int unit = 1; unit <= 3; ++unit) {
            selectTextureUnit(unit);
            glEnable(GL_TEXTURE_2D);
            selectClientTextureUnit(unit);
            glBindTexture(GL_TEXTURE_2D, textureName(editor.groundTextures[size_t(unit - 1)]));
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            pointTexCoords(kTileCoordBuffer, offsetof(TerrainVertex, tileCoord));
        }
        const ShaderProgram& program = shadowed ? editor.shadowProgram : editor.standardProgram;
        if (shadowed) {
            selectTextureUnit(7);
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, editor.shadowDepthTexture);
            // The shadow program moves each vertex's lookup off the surface
            // along its normal.
            glEnableClientState(GL_NORMAL_ARRAY);
            if (useBuffers()) {
                bindBuffer(kNormalBuffer);
                glNormalPointer(GL_FLOAT, 0, nullptr);
            } else {
                glNormalPointer(GL_FLOAT, kStride, t.vertices[0].normal);
            }
        }
        // A program that failed to build (-1) is not used: the units above
        // then draw through fixed-function multitexturing.
        const GLhandleARB handle =
            program.program > 0 && shaderObjectsAvailable() ? GLhandleARB(program.program) : 0;
        if (gl.useProgramObject) gl.useProgramObject(handle);
        if (handle != 0) {
            setSampler(handle, "tex1", 1);
            setSampler(handle, "tex2", 2);
            setSampler(handle, "tex3", 3);
            setSampler(handle, "tex4", 4);
            if (shadowed) {
                setSampler(handle, "shadowTex", 7);
                const float* light = editor.lightPosition;
                if (gl.uniform3f) gl.uniform3f(gl.getUniformLocation(handle, "lightPosition"), light[0], light[1], light[2]);
                if (gl.uniform1f) gl.uniform1f(gl.getUniformLocation(handle, "texelPerDepth"), shadowTexelPerDepth());
            }
        }
    }

    if (!triangles.empty())
        glDrawElements(GL_TRIANGLES, GLsizei(triangles.size()), GL_UNSIGNED_INT, triangles.data());

    if (textured) {
        glDisableClientState(GL_NORMAL_ARRAY);
        selectClientTextureUnit(7);
        selectTextureUnit(7);
        glDisable(GL_TEXTURE_2D);
        for (int unit = 3; unit >= 1; --unit) {
            selectClientTextureUnit(unit);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            selectTextureUnit(unit);
            glDisable(GL_TEXTURE_2D);
        }
        selectTextureUnit(0);
        selectClientTextureUnit(0);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        if (gl.useProgramObject) gl.useProgramObject(0);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    if (useBuffers()) gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}

void drawChunkWireframe()
{
    const Terrain& t = editor.terrain;
    const std::vector<uint32_t>& triangles = lodLastList();
    if (t.vertices.empty() || triangles.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    if (useBuffers()) {
        bindBuffer(kPositionBuffer);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
    } else {
        glVertexPointer(3, GL_FLOAT, kStride, t.vertices[0].position);
    }
    // Pulled a little towards the eye: lines at the surface's own depth
    // would lose the depth test to it along half their length.
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(-1.0f, -2.0f);
    glDrawElements(GL_TRIANGLES, GLsizei(triangles.size()), GL_UNSIGNED_INT, triangles.data());
    glDisable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(0.0f, 0.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (useBuffers()) gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    glDisableClientState(GL_VERTEX_ARRAY);
}

MeshDrawCount meshDrawCount() { return drawCount; }

void resetMeshDrawCount() { drawCount = {}; }
