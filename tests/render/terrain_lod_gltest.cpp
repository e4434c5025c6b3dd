// Chunked level of detail on big grids: levels by distance and error, edits
// re-measuring their chunks, no cracks, full detail reproducing the whole
// list's picture, view culling, and the drawn surface staying within the
// error bound of the true one where picking reads it.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

#include "app/editor_state.h"
#include "render/gl_extensions.h"
#include "render/mesh.h"
#include "render/shadow.h"
#include "render/terrain_lod.h"
#include "sculpt/stroke.h"
#include "support/gl_context.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/terrain_events.h"

namespace {

class TerrainLodTest : public GlContextTest {};

constexpr int kWidth = 320, kHeight = 240; // the test window

// Rolling hills: smooth, so coarse levels fit them from far away but not
// from near.
void makeHills(int side, float blockWidth = 32.0f)
{
    makeFlatTerrain(side, side, 256.0f, blockWidth);
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            heightAt(c, r) = 256.0f + 150.0f * std::sin(float(c) / 9.0f) * std::cos(float(r) / 11.0f);
    refreshAllVertices();
    reportGridReplaced();
}

// The scene camera's projection, looking from `eye` at `target`; chooses
// the chunk levels for it.
void lookAt(const double eye[3], const double target[3], float pixelError = kLodPixelError)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(kWidth) / kHeight, 1.0, 16384.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0, 0, 1);
    double modelview[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    chooseLodLevels(modelview, projection, kHeight, pixelError);
}

// The mesh with vertex colours over `background`, culled and depth-tested
// as in the scene.
std::vector<uint8_t> drawOver(const uint8_t background[3])
{
    editor.texturingOn = 0;
    editor.shadowsOn = 0;
    glClearColor(background[0] / 255.0f, background[1] / 255.0f, background[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    drawTerrainMesh();
    glDisable(GL_CULL_FACE);
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// One stroke of Raise with a brush step at vertex (c, r) per frame.
void raiseAt(int c, int r, int steps)
{
    editor.currentOp = 1;
    editor.frameMillis = 25;
    beginStroke();
    for (int i = 0; i < steps; ++i) {
        editor.pickColumn = c;
        editor.pickRow = r;
        editor.pickPoint[0] = float(c) * editor.terrain.blockWidth;
        editor.pickPoint[1] = float(r) * editor.terrain.blockWidth;
        editor.pickPoint[2] = heightAt(c, r);
        applyBrush(1);
    }
    endStroke();
}

// Height of the full-detail surface at world (x, y): each cell is the two
// triangles of the grid's index list, split along its rising diagonal.
double trueHeight(double x, double y)
{
    const Terrain& t = editor.terrain;
    const double u0 = x / t.blockWidth, v0 = y / t.blockWidth;
    const int c = std::clamp(int(u0), 0, t.gridX - 2), r = std::clamp(int(v0), 0, t.gridY - 2);
    const double u = u0 - c, v = v0 - r;
    if (u + v <= 1.0)
        return heightAt(c, r) + u * (heightAt(c + 1, r) - heightAt(c, r)) + v * (heightAt(c, r + 1) - heightAt(c, r));
    return heightAt(c + 1, r + 1) + (1 - u) * (heightAt(c, r + 1) - heightAt(c + 1, r + 1)) +
           (1 - v) * (heightAt(c + 1, r) - heightAt(c + 1, r + 1));
}

// Triangles of a 513-wide grid's list: all counter-clockwise from above and
// together exactly `chunks` whole chunks' area.
void expectChunksTiled(const std::vector<uint32_t>& list, int chunks)
{
    int64_t twiceArea = 0;
    int clockwise = 0;
    for (size_t i = 0; i + 2 < list.size(); i += 3) {
        int c[3], r[3];
        for (int k = 0; k < 3; ++k) {
            c[k] = int(list[i + size_t(k)] % 513);
            r[k] = int(list[i + size_t(k)] / 513);
        }
        const int64_t area = int64_t(c[1] - c[0]) * (r[2] - r[0]) - int64_t(c[2] - c[0]) * (r[1] - r[0]);
        clockwise += area <= 0 ? 1 : 0;
        twiceArea += area;
    }
    EXPECT_EQ(clockwise, 0);
    EXPECT_EQ(twiceArea, int64_t(chunks) * 2 * 64 * 64);
}

std::array<uint32_t, 3> sortedTriangle(const uint32_t* corners)
{
    std::array<uint32_t, 3> t = {corners[0], corners[1], corners[2]};
    std::sort(t.begin(), t.end());
    return t;
}

} // namespace

TEST_F(TerrainLodTest, OnlyGridsAboveTheLimitDrawInChunks)
{
    struct Case {
        int x, y;
        bool chunked;
        int chunksX, chunksY;
    };
    // 258 and 322 vertices: a last chunk of one and of one cell short of a
    // whole chunk.
    const Case cases[] = {{65, 65, false, 1, 1}, {257, 257, false, 4, 4}, {258, 65, true, 5, 1}, {65, 322, true, 1, 6}};
    for (const Case& c : cases) {
        makeFlatTerrain(c.x, c.y);
        reportGridReplaced();
        EXPECT_EQ(terrainUsesLod(), c.chunked) << c.x << "x" << c.y;
        EXPECT_EQ(lodChunksX(), c.chunksX) << c.x << "x" << c.y;
        EXPECT_EQ(lodChunksY(), c.chunksY) << c.x << "x" << c.y;
    }
}

TEST_F(TerrainLodTest, NearChunksKeepFullDetailFarOnesGoCoarse)
{
    makeHills(513);
    const double eye[3] = {-200, -200, 700}, target[3] = {8000, 8000, 256};
    lookAt(eye, target);
    EXPECT_EQ(lodChunkLevel(0, 0), 0);
    EXPECT_GE(lodChunkLevel(7, 7), 3);
    for (int k = 1; k < 8; ++k) EXPECT_GE(lodChunkLevel(k, k), lodChunkLevel(k - 1, k - 1)) << "diagonal chunk " << k;
}

TEST_F(TerrainLodTest, StrokeRemeasuresOnlyTheChunksUnderTheBrush)
{
    struct Case {
        int c, r;          // brush centre vertex
        int chunks;        // chunks whose vertices it moves
        int cx, cy;        // one of them
    };
    // Radius 96 = 3 cells: inside chunk (2, 5), or across the corner of four.
    const Case cases[] = {{160, 352, 1, 2, 5}, {256, 256, 4, 3, 3}};
    for (const Case& c : cases) {
        makeFlatTerrain(513, 513);
        reportGridReplaced();
        // Close above the brush: a bump of a few units shows there.
        const float x = float(c.c) * 32.0f, y = float(c.r) * 32.0f;
        const double eye[3] = {x - 600.0, y - 600.0, 900}, target[3] = {x, y, 256};
        lookAt(eye, target);
        EXPECT_EQ(lodChunkLevel(c.cx, c.cy), kLodLevels - 1);
        const int64_t before = lodChunksMeasured();
        raiseAt(c.c, c.r, 3);
        EXPECT_EQ(lodChunksMeasured() - before, 3 * c.chunks) << c.c << "," << c.r;
        EXPECT_GT(lodChunkError(c.cx, c.cy, 1), 0.0f);
        EXPECT_EQ(lodChunkError(c.cx + 2, c.cy, kLodLevels - 1), 0.0f); // untouched
        // The raised bump is not flattened away by the coarse level the
        // flat chunk had.
        lookAt(eye, target);
        EXPECT_LT(lodChunkLevel(c.cx, c.cy), kLodLevels - 1);
    }
}

TEST_F(TerrainLodTest, LevelBoundariesLeaveNoCracks)
{
    // Coarse levels on hills, and a ridge across the grid: where a finer
    // chunk's edge vertex stood apart from its coarser neighbour's edge,
    // the gap would be up to this many pixels high.
    makeHills(513);
    for (int c = 0; c < 513; ++c)
        for (int r = 200; r < 260; ++r) heightAt(c, r) += 8.0f * float(30 - std::abs(r - 230));
    refreshAllVertices();
    reportGridReplaced();
    const double eye[3] = {100, 2000, 700}, target[3] = {8000, 9000, 0};
    lookAt(eye, target, 16.0f);
    // Neighbours differ by one level at most: their edges stitch to that.
    int levels[kLodLevels] = {};
    for (int cy = 0; cy < lodChunksY(); ++cy)
        for (int cx = 0; cx < lodChunksX(); ++cx) {
            const int level = lodChunkLevel(cx, cy);
            levels[level] = 1;
            const int east = cx + 1 < lodChunksX() ? lodChunkLevel(cx + 1, cy) : level;
            const int north = cy + 1 < lodChunksY() ? lodChunkLevel(cx, cy + 1) : level;
            EXPECT_LE(std::max(std::abs(level - east), std::abs(level - north)), 1) << cx << "," << cy;
        }
    ASSERT_GE(std::count(levels, levels + kLodLevels, 1), 4) << "the view must cross level boundaries";

    const uint8_t magenta[3] = {255, 0, 255};
    const std::vector<uint8_t> pixels = drawOver(magenta);
    ASSERT_GT(lodLastListCount().chunks, 20);
    // A height field seen from above covers each pixel column in one run:
    // background between its first and last terrain pixel is a crack.
    int cracks = 0, covered = 0;
    for (int x = 0; x < kWidth; ++x) {
        int first = -1, last = -1;
        auto background = [&](int y) {
            const uint8_t* p = &pixels[(size_t(y) * kWidth + size_t(x)) * 3];
            return p[0] == 255 && p[1] == 0 && p[2] == 255;
        };
        for (int y = 0; y < kHeight; ++y)
            if (!background(y)) {
                if (first < 0) first = y;
                last = y;
            }
        for (int y = first + 1; y < last; ++y) cracks += background(y) ? 1 : 0;
        covered += first >= 0 ? last - first + 1 : 0;
    }
    EXPECT_GT(covered, kWidth * kHeight / 3);
    EXPECT_EQ(cracks, 0);

    // Nor do chunks overlap or leave holes inside, in the camera's view or
    // the light's (which stitches chunks the camera does not see to any
    // level): the triangles, all turning the same way, cover exactly the
    // drawn chunks' cells. And the light sees the very triangles the camera
    // draws, or the ground would shadow itself.
    expectChunksTiled(lodLastList(), lodLastListCount().chunks);
    createShadowMap();
    // From the middle at the normal error, with a far light behind the
    // camera: chunks behind the camera are near (fine for the camera) yet
    // only cast shadows (coarse for the light), beside seen ones.
    const double middle[3] = {8000, 8000, 700}, ahead[3] = {16000, 15000, 0};
    lookAt(middle, ahead);
    const uint8_t black[3] = {0, 0, 0};
    const std::vector<uint32_t> seen = (drawOver(black), lodLastList());
    expectChunksTiled(seen, lodLastListCount().chunks);
    editor.lightPosition[0] = editor.lightPosition[1] = -20000.0f;
    editor.lightPosition[2] = 20000.0f;
    renderShadowPass();
    const std::vector<uint32_t>& lit = lodLastList();
    expectChunksTiled(lit, lodLastListCount().chunks);
    EXPECT_GT(lodLastListCount().chunks, 30);
    std::set<std::array<uint32_t, 3>> litTriangles;
    for (size_t i = 0; i + 2 < lit.size(); i += 3) litTriangles.insert(sortedTriangle(&lit[i]));
    int missing = 0;
    for (size_t i = 0; i + 2 < seen.size(); i += 3) missing += litTriangles.count(sortedTriangle(&seen[i])) ? 0 : 1;
    EXPECT_EQ(missing, 0);
    destroyShadowMap();
}

TEST_F(TerrainLodTest, FullDetailChunksDrawTheWholeListsPicture)
{
    // Rough enough that no coarser level is ever good enough.
    makeFlatTerrain(321, 321);
    addRelief();
    reportGridReplaced();
    const double eye[3] = {-800, -1200, 4000}, target[3] = {5120, 5120, 256};
    lookAt(eye, target);
    const uint8_t black[3] = {0, 0, 0};
    const std::vector<uint8_t> chunked = drawOver(black);
    EXPECT_EQ(lodLastListCount().triangles, 2 * 320 * 320);

    // The same picture from the whole index list.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, GLuint(editor.meshBuffers[kPositionBuffer]));
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, GLuint(editor.meshBuffers[kColourBuffer]));
    glColorPointer(3, GL_FLOAT, 0, nullptr);
    const std::vector<uint32_t> list = gridIndices(editor.terrain.gridX, editor.terrain.gridY);
    glDrawElements(GL_TRIANGLES, GLsizei(list.size()), GL_UNSIGNED_INT, list.data());
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    std::vector<uint8_t> whole(chunked.size());
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, whole.data());
    EXPECT_EQ(chunked, whole);
}

TEST_F(TerrainLodTest, CullingKeepsChunksOutOfViewAndOutOfTheLightsView)
{
    makeFlatTerrain(513, 513, 256.0f, 8.0f);
    reportGridReplaced();
    struct Case {
        double eye[3], target[3];
        int chunks;
    };
    // Chunks are 512 units square. Looking away; straight down on the
    // middle of chunk (3, 3) from close enough to see nothing else; high
    // above the whole grid.
    const Case cases[] = {{{-500, -500, 300}, {-5000, -4000, 300}, 0},
                          {{1792, 1792, 600}, {1792, 1793, 256}, 1},
                          {{2048, 2048, 12000}, {2048, 2049, 256}, 64}};
    for (const Case& c : cases) {
        lookAt(c.eye, c.target);
        const uint8_t black[3] = {0, 0, 0};
        drawOver(black);
        EXPECT_EQ(lodLastListCount().chunks, c.chunks) << c.eye[2];
    }
    // The light's view fits what the camera sees: chunk (3, 3) and what
    // touches it, not the grid.
    lookAt(cases[1].eye, cases[1].target);
    createShadowMap();
    editor.lightPosition[0] = editor.lightPosition[1] = 1792.0f;
    editor.lightPosition[2] = 3000.0f;
    renderShadowPass();
    EXPECT_TRUE(shadowMapReady());
    EXPECT_GE(lodLastListCount().chunks, 1);
    EXPECT_LE(lodLastListCount().chunks, 9);
    destroyShadowMap();
}

TEST_F(TerrainLodTest, DepthUnderTheCursorStaysWithinTheErrorOfTheTrueSurface)
{
    // The largest grid: 4097 x 4097 vertices, 64 x 64 chunks.
    makeHills(4097);
    const double eye[3] = {20000, 21000, 2500}, target[3] = {23000, 24000, 256};
    lookAt(eye, target);
    const uint8_t black[3] = {0, 0, 0};
    drawOver(black);
    double modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const double pixelsPerUnitAtOne = projection[5] * kHeight / 2.0;
    double worst = 0.0;
    int read = 0;
    for (int y = 4; y < kHeight; y += 8) {
        for (int x = 4; x < kWidth; x += 8) {
            GLfloat depth = 1.0f;
            glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
            if (depth >= 1.0f) continue;
            double p[3];
            gluUnProject(x, y, depth, modelview, projection, viewport, &p[0], &p[1], &p[2]);
            const double distance = std::sqrt((p[0] - eye[0]) * (p[0] - eye[0]) + (p[1] - eye[1]) * (p[1] - eye[1]) +
                                              (p[2] - eye[2]) * (p[2] - eye[2]));
            // The height difference as the camera sees it, in pixels.
            worst = std::max(worst, std::fabs(p[2] - trueHeight(p[0], p[1])) * pixelsPerUnitAtOne / distance);
            ++read;
        }
    }
    EXPECT_GT(read, 1000);
    EXPECT_LE(worst, kLodPixelError + 0.25);
    EXPECT_LT(lodLastListCount().triangles, 200000) << "the frame draws what the screen shows";
}
