#include "terrain/terrain.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "terrain/large_array.h"
#include "terrain/parallel.h"
#include "terrain/terrain_events.h"
#include "terrain/undo.h"

bool hasVertexGrid()
{
    const Terrain& t = editor.terrain;
    return t.gridX > 0 && t.gridY > 0 && t.vertices.size() == size_t(t.gridX) * size_t(t.gridY);
}

bool hasDistributionMap()
{
    const Terrain& t = editor.terrain;
    return t.distributionWidth > 0 && t.distributionHeight > 0 &&
           t.distribution.size() == size_t(t.distributionWidth) * size_t(t.distributionHeight) * 3;
}

float normalizeVector(float v[3])
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f) return 0.0f;
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
    return length;
}

float pointDistance(const float a[3], const float b[3])
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void faceNormal(const float a[3], const float b[3], const float p[3], float out[3])
{
    const float u[3] = {a[0] - p[0], a[1] - p[1], a[2] - p[2]};
    const float w[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    out[0] = w[1] * u[2] - w[2] * u[1];
    out[1] = w[2] * u[0] - w[0] * u[2];
    out[2] = w[0] * u[1] - w[1] * u[0];
    normalizeVector(out);
}

namespace {

inline void addFace(const float* a, const float* b, const float* p, float sum[3])
{
    float n[3];
    faceNormal(a, b, p, n);
    sum[0] += n[0];
    sum[1] += n[1];
    sum[2] += n[2];
}

// All eight ring faces exist: the same faces in the same order as the
// general case (so the same bits), without the edge tests.
void interiorNormal(TerrainVertex* vertices, int col, int row, int gridX, float sum[3])
{
    const size_t stride = size_t(gridX);
    const TerrainVertex* centre = vertices + size_t(row) * stride + size_t(col);
    const float* p = centre->position;
    const float* l = (centre - 1)->position;
    const float* r = (centre + 1)->position;
    const float* dl = (centre - stride - 1)->position;
    const float* d = (centre - stride)->position;
    const float* dr = (centre - stride + 1)->position;
    const float* ul = (centre + stride - 1)->position;
    const float* u = (centre + stride)->position;
    const float* ur = (centre + stride + 1)->position;
    addFace(l, dl, p, sum);
    addFace(ul, l, p, sum);
    addFace(dr, r, p, sum);
    addFace(r, ur, p, sum);
    addFace(u, ul, p, sum);
    addFace(ur, u, p, sum);
    addFace(dl, d, p, sum);
    addFace(d, dr, p, sum);
}

} // namespace

void computeVertexNormal(TerrainVertex* vertices, int col, int row, int gridX, int gridY)
{
    if (col >= 1 && row >= 1 && col + 1 < gridX && row + 1 < gridY) {
        float sum[3] = {0, 0, 0};
        interiorNormal(vertices, col, row, gridX, sum);
        normalizeVector(sum);
        float* normal = vertices[size_t(col) + size_t(row) * size_t(gridX)].normal;
        normal[0] = sum[0];
        normal[1] = sum[1];
        normal[2] = sum[2];
        computeVertexLighting(vertices, col, row, gridX);
        return;
    }
    auto at = [&](int c, int r) -> const float* { return vertices[c + r * gridX].position; };
    const float* p = at(col, row);
    float sum[3] = {0, 0, 0};
    auto add = [&](const float* a, const float* b) {
        float n[3];
        faceNormal(a, b, p, n);
        sum[0] += n[0];
        sum[1] += n[1];
        sum[2] += n[2];
    };
    // The ring is walked in a fixed order so the float sum is reproducible.
    for (int k = -1; k <= 0; ++k) {
        if (col >= 1 && row + k >= 0 && row + k + 1 < gridY) add(at(col - 1, row + k + 1), at(col - 1, row + k));
    }
    for (int k = -1; k <= 0; ++k) {
        if (col + 1 < gridX && row + k >= 0 && row + k + 1 < gridY) add(at(col + 1, row + k), at(col + 1, row + k + 1));
    }
    for (int k = -1; k <= 0; ++k) {
        if (row + 1 < gridY && col + k >= 0 && col + k + 1 < gridX) add(at(col + k + 1, row + 1), at(col + k, row + 1));
    }
    for (int k = -1; k <= 0; ++k) {
        if (row >= 1 && col + k >= 0 && col + k + 1 < gridX) add(at(col + k, row - 1), at(col + k + 1, row - 1));
    }
    normalizeVector(sum);
    float* normal = vertices[col + row * gridX].normal;
    normal[0] = sum[0];
    normal[1] = sum[1];
    normal[2] = sum[2];
    computeVertexLighting(vertices, col, row, gridX);
}

void computeVertexLighting(TerrainVertex* vertices, int col, int row, int gridX)
{
    TerrainVertex& v = vertices[col + row * gridX];
    float toLight[3] = {editor.lightPosition[0] - v.position[0], editor.lightPosition[1] - v.position[1],
                        editor.lightPosition[2] - v.position[2]};
    normalizeVector(toLight);
    const float d = v.normal[0] * toLight[0] + v.normal[1] * toLight[1] + v.normal[2] * toLight[2];
    // Never fully black: faces turned away from the light keep a tenth.
    const float brightness = std::clamp(0.5f * d + 0.5f, 0.1f, 1.0f);
    v.color[0] = brightness;
    v.color[1] = brightness;
    v.color[2] = 0.9f * brightness;
}

// A row's normals read the positions of its neighbour rows and write only
// normals and colours, which no row reads: rows split over threads freely.
// Each block of rows is walked in strips of columns, so that the three rows
// a normal reads stay in the processor's cache however wide the grid is
// (the order changes no result: every vertex is computed on its own).
void refreshVertices(TerrainVertex* vertices, int gridX, int gridY)
{
    constexpr int kStripColumns = 512; // three rows of a strip: 80 KB
    parallelRows(gridY, gridX, [=](int first, int end) {
        for (int c0 = 0; c0 < gridX; c0 += kStripColumns) {
            const int c1 = std::min(gridX, c0 + kStripColumns);
            for (int r = first; r < end; ++r)
                for (int c = c0; c < c1; ++c) computeVertexNormal(vertices, c, r, gridX, gridY);
        }
    });
}

void refreshAllVertices()
{
    Terrain& t = editor.terrain;
    if (t.vertices.empty()) return;
    refreshVertices(t.vertices.data(), t.gridX, t.gridY);
}

void relightVertices(TerrainVertex* vertices, int gridX, int gridY)
{
    parallelRows(gridY, gridX, [=](int first, int end) {
        for (int r = first; r < end; ++r)
            for (int c = 0; c < gridX; ++c) computeVertexLighting(vertices, c, r, gridX);
    });
}

void relightAllVertices()
{
    Terrain& t = editor.terrain;
    if (t.vertices.empty()) return;
    relightVertices(t.vertices.data(), t.gridX, t.gridY);
    reportLightingChanged();
}

void refreshVertexRegion(int x0, int y0, int x1, int y1)
{
    Terrain& t = editor.terrain;
    if (t.vertices.empty()) return;
    x0 = std::max(x0 - 1, 0);
    y0 = std::max(y0 - 1, 0);
    x1 = std::min(x1 + 1, t.gridX - 1);
    y1 = std::min(y1 + 1, t.gridY - 1);
    for (int r = y0; r <= y1; ++r)
        for (int c = x0; c <= x1; ++c) computeVertexNormal(t.vertices.data(), c, r, t.gridX, t.gridY);
}

// tileCoord and mapCoord of vertex (c, r) of an nx x ny grid.
static void textureCoordsOf(const TerrainVertex& v, int c, int r, int nx, int ny, float bw, float tile[2],
                            float map[2])
{
    // The products are rounded to float before dividing, as the GPU path expects.
    const float cu = float(c) * bw, rv = float(r) * bw;
    tile[0] = cu / 256.0f;
    tile[1] = rv / 256.0f;
    map[0] = v.position[0] / (float(nx) * bw);
    map[1] = v.position[1] / (float(ny) * bw);
}

void computeTextureCoords(int nx, int ny)
{
    Terrain& t = editor.terrain;
    computeTextureCoords(t.vertices, nx, ny, t.blockWidth);
}

bool textureCoordsCurrent()
{
    const Terrain& t = editor.terrain;
    if (!hasVertexGrid()) return false;
    // Only a block width change leaves them stale, and it does so for every
    // vertex but the origin: the far corner tells.
    const TerrainVertex& v = t.vertices.back();
    float tile[2], map[2];
    textureCoordsOf(v, t.gridX - 1, t.gridY - 1, t.gridX, t.gridY, t.blockWidth, tile, map);
    return std::memcmp(tile, v.tileCoord, sizeof tile) == 0 && std::memcmp(map, v.mapCoord, sizeof map) == 0;
}

void computeTextureCoords(std::vector<TerrainVertex>& vertices, int nx, int ny, float bw)
{
    if (nx < 1) return;
    const int64_t count = std::min<int64_t>(int64_t(nx) * ny, int64_t(vertices.size()));
    TerrainVertex* data = vertices.data();
    const int rows = int((count + nx - 1) / nx);
    parallelRows(rows, nx, [=](int first, int end) {
        for (int64_t i = int64_t(first) * nx; i < std::min(int64_t(end) * nx, count); ++i) {
            TerrainVertex& v = data[size_t(i)];
            textureCoordsOf(v, int(i % nx), int(i / nx), nx, ny, bw, v.tileCoord, v.mapCoord);
        }
    });
}

std::vector<uint32_t> gridIndices(int gridX, int gridY)
{
    std::vector<uint32_t> indices;
    if (gridX < 2 || gridY < 2) return indices;
    resizeLarge(indices, size_t(gridX - 1) * size_t(gridY - 1) * 6);
    const uint32_t w = uint32_t(gridX);
    uint32_t* out = indices.data();
    for (uint32_t j = 0; j + 1 < uint32_t(gridY); ++j) {
        for (uint32_t k = 0; k + 1 < w; ++k, out += 6) {
            const uint32_t a = k + j * w;
            out[0] = a;
            out[1] = a + 1;
            out[2] = a + w;
            out[3] = a + w;
            out[4] = a + 1;
            out[5] = a + w + 1;
        }
    }
    return indices;
}

std::vector<TerrainVertex> layOutFlatGrid(int gridX, int gridY, float blockWidth, float height)
{
    std::vector<TerrainVertex> vertices;
    resizeLarge(vertices, size_t(gridX) * size_t(gridY));
    for (int r = 0; r < gridY; ++r) {
        for (int c = 0; c < gridX; ++c) {
            float* p = vertices[size_t(c) + size_t(r) * size_t(gridX)].position;
            p[0] = float(c) * blockWidth;
            p[1] = float(r) * blockWidth;
            p[2] = height;
        }
    }
    return vertices;
}

// Normals, lighting and texture coordinates are made for the new array
// before anything of the terrain changes. The old array goes back at once
// rather than staying reserved.
static void installDerivedGrid(int gridX, int gridY, float blockWidth, std::vector<TerrainVertex>& vertices)
{
    refreshVertices(vertices.data(), gridX, gridY);
    computeTextureCoords(vertices, gridX, gridY, blockWidth);
    Terrain& t = editor.terrain;
    t.gridX = gridX;
    t.gridY = gridY;
    t.blockWidth = blockWidth;
    t.vertices.swap(vertices);
    std::vector<TerrainVertex>().swap(vertices);
}

void installGrid(int gridX, int gridY, std::vector<TerrainVertex>& vertices)
{
    installDerivedGrid(gridX, gridY, editor.terrain.blockWidth, vertices);
}

void installFlatGrid(int gridX, int gridY, float blockWidth, float height)
{
    std::vector<TerrainVertex> vertices = layOutFlatGrid(gridX, gridY, blockWidth, height);
    installDerivedGrid(gridX, gridY, blockWidth, vertices);
}

void createDefaultTerrain()
{
    constexpr float kHeightScale = 512.0f;
    std::vector<float> map(size_t(1024) * 1024 * 3, 0.3f);
    std::vector<TerrainVertex> vertices = layOutFlatGrid(65, 65, 32.0f, kHeightScale * 0.5f);
    installDerivedGrid(65, 65, 32.0f, vertices); // the last step that needs memory
    Terrain& t = editor.terrain;
    t.distributionWidth = t.distributionHeight = 1024;
    t.distribution.swap(map);
    reportMapReplaced();
    t.heightScale = kHeightScale;
    reportGridReplaced();
    editor.camera.position[0] = 0.0f;
    editor.camera.position[1] = 0.0f;
    editor.camera.position[2] = t.heightScale + 1000.0f;
    editor.camera.angles[kPitch] = 45.0f;
    editor.camera.angles[kYaw] = 45.0f;
    editor.hoverIndex = 0;
    clearHistory();
}
