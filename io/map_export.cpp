#include "io/map_export.h"

#include "app/editor_state.h"
#include "io/export_common.h"
#include "io/text_output.h"

static constexpr float kBrushFloor = -400.0f;

struct MapPoint {
    float x, y, z;
};

static MapPoint floorOf(const MapPoint& p) { return {p.x, p.y, kBrushFloor}; }

static void appendPlane(std::string& out, const MapPoint& a, const MapPoint& b, const MapPoint& c,
                        const char* ending)
{
    const MapPoint* points[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
        out += i == 0 ? "( " : " ( ";
        appendFixed(out, points[i]->x, 3);
        out += ' ';
        appendFixed(out, points[i]->y, 3);
        out += ' ';
        appendFixed(out, points[i]->z, 3);
        out += " )";
    }
    out += ending;
}

static MapPoint pointAt(int col, int row)
{
    const float* p = editor.terrain.vertices[size_t(row) * editor.terrain.gridX + col].position;
    return {p[0], p[1], p[2]};
}

static bool exportMap(const std::string& path, const char* planeEnding)
{
    const Terrain& terrain = editor.terrain;
    PendingFile pending;
    if (!terrainExportable(false) || !beginExportFile(pending, path))
        return false;
    std::string text = "// entity 0\n{\n\n\"classname\" \"worldspawn\"\n\n";
    for (int i = 0; i + 1 < terrain.gridY; ++i) {
        for (int j = 0; j + 1 < terrain.gridX; ++j) {
            const MapPoint p00 = pointAt(j, i), p01 = pointAt(j + 1, i);
            const MapPoint p10 = pointAt(j, i + 1), p11 = pointAt(j + 1, i + 1);
            text += "// brush #\n{\n";
            appendPlane(text, p10, p01, p00, planeEnding);
            appendPlane(text, p00, p01, floorOf(p01), planeEnding);
            appendPlane(text, p01, p10, floorOf(p10), planeEnding);
            appendPlane(text, p10, p00, floorOf(p00), planeEnding);
            appendPlane(text, floorOf(p00), floorOf(p01), floorOf(p10), planeEnding);
            text += "}\n// brush #\n{\n";
            appendPlane(text, p01, p10, p11, planeEnding);
            appendPlane(text, p11, p10, floorOf(p10), planeEnding);
            appendPlane(text, p10, p01, floorOf(p01), planeEnding);
            appendPlane(text, p01, p11, floorOf(p11), planeEnding);
            appendPlane(text, floorOf(p11), floorOf(p10), floorOf(p01), planeEnding);
            text += "}\n";
            flushIfLarge(pending, text);
        }
    }
    text += "}\n";
    flushText(pending, text);
    return reportExport(finishPendingFile(pending), pending);
}

bool exportQ1Map(const std::string& path) { return exportMap(path, " NULL 0 0 0 1 1\n"); }

bool exportQ3Map(const std::string& path) { return exportMap(path, " notex 0 0 0 0.5 0.5 0 0 0\n"); }
