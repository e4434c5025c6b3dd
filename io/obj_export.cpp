#include "io/obj_export.h"

#include "app/editor_state.h"
#include "io/export_common.h"
#include "io/text_output.h"

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
    std::string text;
    for (const TerrainVertex& v : terrain.vertices) {
        appendVector(text, "v", v.position, 3);
        flushIfLarge(pending, text);
    }
    for (const TerrainVertex& v : terrain.vertices) {
        appendVector(text, "vn", v.normal, 3);
        flushIfLarge(pending, text);
    }
    for (const TerrainVertex& v : terrain.vertices) {
        // Single precision throughout, as the coordinates were always computed.
        const float uv[2] = {v.position[0] / terrain.blockWidth / float(nx),
                             v.position[1] / terrain.blockWidth / float(ny)};
        appendVector(text, "vt", uv, 2);
        flushIfLarge(pending, text);
    }
    text += "g terrain\ns 1\n";
    for (long long i = 0; i + 1 < ny; ++i) {
        for (long long j = 0; j + 1 < nx; ++j) {
            const long long a = i * nx + j + 1, b = a + 1, c = (i + 1) * nx + j + 1, d = (i + 1) * nx + j + 2;
            appendFace(text, a, b, c);
            appendFace(text, c, b, d);
        }
        flushIfLarge(pending, text);
    }
    flushText(pending, text);
    return reportExport(finishPendingFile(pending), pending);
}
