#include "render/gpu_mirror.h"

#include <algorithm>
#include <vector>

#include "app/editor_state.h"
#include "render/gl_extensions.h"
#include "render/terrain_lod.h"
#include "terrain/terrain_events.h"

namespace {

bool buffersUsable() { return editor.glContextReady && editor.vboSupported && gl.bindBuffer; }

// Packs one field of every vertex into `scratch` and loads it into `buffer`.
void uploadStream(GLuint buffer, size_t offset, size_t count, std::vector<float>& scratch)
{
    const std::vector<TerrainVertex>& vertices = editor.terrain.vertices;
    scratch.resize(vertices.size() * count);
    float* out = scratch.data();
    for (const TerrainVertex& v : vertices) {
        const float* field = reinterpret_cast<const float*>(&v) + offset;
        std::copy(field, field + count, out);
        out += count;
    }
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, buffer);
    gl.bufferData(GL_ARRAY_BUFFER_ARB, GLsizeiptrARB(scratch.size() * sizeof(float)), scratch.data(),
                  GL_DYNAMIC_DRAW_ARB);
}

// A new bilinear texture, bound, ready for a tightly packed upload.
GLuint newLinearTexture()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return name;
}

constexpr size_t kPositionOffset = 0;
constexpr size_t kNormalOffset = 3;
constexpr size_t kColorOffset = 6;
constexpr size_t kTileOffset = 9;
constexpr size_t kMapOffset = 11;

} // namespace

void deleteMeshBuffers()
{
    for (int32_t& n : editor.meshBuffers) {
        const GLuint name = GLuint(n);
        if (n >= 0 && gl.deleteBuffers) gl.deleteBuffers(1, &name);
        n = -1;
    }
}

void uploadMeshBuffers()
{
    if (!buffersUsable()) return;
    deleteMeshBuffers();
    std::array<int32_t, 5>& names = editor.meshBuffers;
    GLuint fresh[5];
    gl.genBuffers(5, fresh);
    for (int i = 0; i < 5; ++i) names[size_t(i)] = int32_t(fresh[i]);
    std::vector<float> scratch;
    uploadStream(fresh[kPositionBuffer], kPositionOffset, 3, scratch);
    uploadStream(fresh[kTileCoordBuffer], kTileOffset, 2, scratch);
    uploadStream(fresh[kMapCoordBuffer], kMapOffset, 2, scratch);
    uploadStream(fresh[kColourBuffer], kColorOffset, 3, scratch);
    uploadStream(fresh[kNormalBuffer], kNormalOffset, 3, scratch);
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

// Rewrites positions, colours and normals of the vertices in the rectangle
// (clipped to the grid) in their buffers.
static void patchMeshVertices(int x0, int y0, int x1, int y1)
{
    if (!buffersUsable() || editor.meshBuffers[kPositionBuffer] < 0) return;
    const Terrain& t = editor.terrain;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, t.gridX - 1);
    y1 = std::min(y1, t.gridY - 1);
    if (x1 < x0 || y1 < y0) return;
    // A row of the rectangle is contiguous in every buffer, so one sub-upload
    // per row and stream replaces the per-vertex calls.
    std::vector<float> row(size_t(x1 - x0 + 1) * 3);
    const struct { int buffer; size_t offset; } streams[3] = {
        {kPositionBuffer, kPositionOffset}, {kColourBuffer, kColorOffset}, {kNormalBuffer, kNormalOffset}};
    for (const auto& stream : streams) {
        gl.bindBuffer(GL_ARRAY_BUFFER_ARB, GLuint(editor.meshBuffers[size_t(stream.buffer)]));
        for (int r = y0; r <= y1; ++r) {
            const size_t first = size_t(r) * size_t(t.gridX) + size_t(x0);
            float* out = row.data();
            for (int c = x0; c <= x1; ++c, out += 3) {
                const float* field = reinterpret_cast<const float*>(&t.vertices[first + size_t(c - x0)]) + stream.offset;
                std::copy(field, field + 3, out);
            }
            gl.bufferSubData(GL_ARRAY_BUFFER_ARB, GLintptrARB(first * 12), GLsizeiptrARB(row.size() * sizeof(float)),
                             row.data());
        }
    }
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

uint32_t createDistributionTexture(int width, int height)
{
    const Terrain& t = editor.terrain;
    if (!editor.glContextReady) return 0;
    if (int64_t(width) * height * 3 > int64_t(t.distribution.size())) return 0;
    const GLuint name = newLinearTexture();
    // The map itself stays float; the texture only shows it, and 8 bits a
    // channel (within 1/255 of every weight) sample markedly faster than
    // float storage on a software renderer.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_FLOAT, t.distribution.data());
    return name;
}

void replaceDistributionTexture()
{
    Terrain& t = editor.terrain;
    if (!editor.glContextReady) {
        t.distributionTexture = 0;
        return;
    }
    if (t.distributionTexture != 0) {
        const GLuint old = t.distributionTexture;
        glDeleteTextures(1, &old);
    }
    t.distributionTexture = createDistributionTexture(t.distributionWidth, t.distributionHeight);
}

// Re-sends rows y0..y1, columns x0..x1 (clipped to the map) of the
// distribution map.
static void updateDistributionRows(int x0, int y0, int x1, int y1)
{
    const Terrain& t = editor.terrain;
    if (!editor.glContextReady || t.distributionTexture == 0) return;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, t.distributionWidth - 1);
    y1 = std::min(y1, t.distributionHeight - 1);
    if (x1 < x0 || y1 < y0) return;
    glBindTexture(GL_TEXTURE_2D, t.distributionTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (x0 == 0 && x1 == t.distributionWidth - 1) {
        // Whole rows are contiguous in the map: one call covers them all.
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, y0, x1 + 1, y1 - y0 + 1, GL_RGB, GL_FLOAT,
                        t.distribution.data() + size_t(y0) * size_t(t.distributionWidth) * 3);
    } else {
        for (int r = y0; r <= y1; ++r)
            glTexSubImage2D(GL_TEXTURE_2D, 0, x0, r, x1 - x0 + 1, 1, GL_RGB, GL_FLOAT,
                            t.distribution.data() + (size_t(r) * size_t(t.distributionWidth) + size_t(x0)) * 3);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void createStampPreviews()
{
    if (!editor.glContextReady) return;
    for (BrushStamp& stamp : editor.stamps) {
        if (stamp.mask.size() != size_t(stamp.width) * size_t(stamp.height)) continue;
        // The preview shows the mask itself: what the brush will use.
        stamp.texture = newLinearTexture();
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, stamp.width, stamp.height, 0, GL_LUMINANCE, GL_FLOAT,
                     stamp.mask.data());
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Only the colour stream changes when the light moves.
static void uploadMeshColours()
{
    if (!buffersUsable() || editor.meshBuffers[kColourBuffer] < 0) return;
    std::vector<float> scratch;
    uploadStream(GLuint(editor.meshBuffers[kColourBuffer]), kColorOffset, 3, scratch);
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

void gpuMirrorTerrainChanged(const TerrainChange& change)
{
    if (!editor.glContextReady) return;
    switch (change.kind) {
    case TerrainChangeKind::kGridRegion:
        patchMeshVertices(change.x0, change.y0, change.x1, change.y1);
        lodGridRegionChanged(change.x0, change.y0, change.x1, change.y1);
        break;
    case TerrainChangeKind::kGridReplaced:
        uploadMeshBuffers();
        lodGridReplaced();
        break;
    case TerrainChangeKind::kLighting: uploadMeshColours(); break;
    case TerrainChangeKind::kMapRegion: updateDistributionRows(change.x0, change.y0, change.x1, change.y1); break;
    case TerrainChangeKind::kMapReplaced: replaceDistributionTexture(); break;
    }
}
