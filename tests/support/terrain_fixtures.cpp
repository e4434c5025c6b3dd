#include "support/terrain_fixtures.h"

#include "terrain/terrain.h"
#include "terrain/undo.h"

void makeFlatTerrain(int gridX, int gridY, float height, float blockWidth)
{
    // Keep what belongs to an open GL context (GL tests build terrains too).
    const EditorState kept = editor;
    resetEditorState();
    editor.glContextReady = kept.glContextReady;
    editor.vboSupported = kept.vboSupported;
    editor.glExtensions = kept.glExtensions;
    editor.videoSurface = kept.videoSurface;
    editor.windowWidth = kept.windowWidth;
    editor.windowHeight = kept.windowHeight;
    editor.standardProgram = kept.standardProgram;
    editor.shadowProgram = kept.shadowProgram;
    Terrain& t = editor.terrain;
    t.gridX = gridX;
    t.gridY = gridY;
    t.blockWidth = blockWidth;
    t.vertices.assign(size_t(gridX) * size_t(gridY), TerrainVertex{});
    for (int r = 0; r < gridY; ++r) {
        for (int c = 0; c < gridX; ++c) {
            float* p = t.vertices[size_t(c + r * gridX)].position;
            p[0] = float(c) * blockWidth;
            p[1] = float(r) * blockWidth;
            p[2] = height;
        }
    }
    t.distributionWidth = t.distributionHeight = 1024;
    t.distribution.assign(size_t(1024) * 1024 * 3, 0.3f);
    refreshAllVertices();
    computeTextureCoords(gridX, gridY);
    buildIndices();
    clearHistory();
}

float& heightAt(int c, int r)
{
    return editor.terrain.vertices[size_t(c + r * editor.terrain.gridX)].position[2];
}
