#include "io/obj_export.h"

#include "app/editor_state.h"
#include "io/export_common.h"
#include "io/text_output.h"
#include "terrain/progress.h"

static void appendCorner(std::string& out, long long index)
{
    appendInt(out, index);
    out += '/';
    appendInt(out, index);
    out += '/';
    appendInt(out, index);
}

static void appendFace(std::string& out, long long a, long long b, long long c)
{
    out += "f ";
    appendCorner(out, a);
    out += ' ';
    appendCorner(out, b);
    out += ' ';
    appendCorner(out, c);
    out += '\n';
}

static void appendVector(std::string& out, const char* tag, const float* v, int count)
{
    out += tag;
    for (int i = 0; i < count; ++i) {
        out += ' ';
        appendFixed(out, v[i], 6);
    }
    out += '\n';
}

bool exportObj(const std::string& path)
{
    const Terrain& terrain = editor.terrain;
    const int nx = terrain.gridX, ny = terrain.gridY;
    PendingFile pending;
    if (!terrainExportable(false) || !beginExportFile(pending, path))
        return false;
    const TerrainVertex* vertices = terrain.vertices.data();
    const float blockWidth = terrain.blockWidth;
    // Three passes over the vertices, a row of the grid at a time, then the
    // faces a row of cells at a time; the passes take about half the time.
    auto vertexPass = [&](float from, float to, auto&& appendVertex) {
        ProgressSpan span(from, to);
        writeRows(pending, ny, size_t(nx) * 40, [&](std::string& out, int row) {
            for (int c = 0; c < nx; ++c) appendVertex(out, vertices[size_t(row) * size_t(nx) + size_t(c)]);
        });
    };
    vertexPass(0.0f, 0.2f, [](std::string& out, const TerrainVertex& v) { appendVector(out, "v", v.position, 3); });
    vertexPass(0.2f, 0.35f, [](std::string& out, const TerrainVertex& v) { appendVector(out, "vn", v.normal, 3); });
    vertexPass(0.35f, 0.5f, [=](std::string& out, const TerrainVertex& v) {
        // Single precision throughout, as the coordinates were always computed.
        const float uv[2] = {v.position[0] / blockWidth / float(nx), v.position[1] / blockWidth / float(ny)};
        appendVector(out, "vt", uv, 2);
    });
    appendText(pending, "g terrain\ns 1\n");
    ProgressSpan faces(0.5f, 1.0f);
    writeRows(pending, ny - 1, size_t(nx) * 90, [=](std::string& out, int row) {
        const long long i = row;
        for (long long j = 0; j + 1 < nx; ++j) {
            const long long a = i * nx + j + 1, b = a + 1, c = (i + 1) * nx + j + 1, d = (i + 1) * nx + j + 2;
            appendFace(out, a, b, c);
            appendFace(out, c, b, d);
        }
    });
    return reportExport(finishPendingFile(pending), pending);
}
