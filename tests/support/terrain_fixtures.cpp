#include "support/terrain_fixtures.h"

#include "terrain/terrain.h"
#include "terrain/undo.h"

#include <string>

void makeFlatTerrain(int gridX, int gridY, float height, float blockWidth)
{
    // Keep what belongs to an open GL context (GL tests build terrains too),
    // without copying the old terrain along.
    const bool context = editor.glContextReady, buffers = editor.vboSupported;
    const std::string extensions = editor.glExtensions;
    SDL_Surface* const surface = editor.videoSurface;
    const int windowWidth = editor.windowWidth, windowHeight = editor.windowHeight;
    const ShaderProgram standard = editor.standardProgram, shadow = editor.shadowProgram;
    resetEditorState();
    editor.glContextReady = context;
    editor.vboSupported = buffers;
    editor.glExtensions = extensions;
    editor.videoSurface = surface;
    editor.windowWidth = windowWidth;
    editor.windowHeight = windowHeight;
    editor.standardProgram = standard;
    editor.shadowProgram = shadow;
    installFlatGrid(gridX, gridY, blockWidth, height);
    editor.terrain.distributionWidth = editor.terrain.distributionHeight = 1024;
    editor.terrain.distribution.assign(size_t(1024) * 1024 * 3, 0.3f);
    clearHistory();
}

void addRelief()
{
    const int gridX = editor.terrain.gridX;
    for (size_t i = 0; i < editor.terrain.vertices.size(); ++i) {
        const int c = int(i % size_t(gridX)), r = int(i / size_t(gridX));
        editor.terrain.vertices[i].position[2] += float((c * 7 + r * 13) % 97) * 1.37f;
    }
    refreshAllVertices();
}

float& heightAt(int c, int r)
{
    return editor.terrain.vertices[size_t(c + r * editor.terrain.gridX)].position[2];
}

template <typename T> static void appendBytes(Bytes& out, const T* data, size_t count)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + count * sizeof(T));
}

Bytes terrainBytes()
{
    const Terrain& t = editor.terrain;
    Bytes out;
    const float scalars[] = {float(t.gridX), float(t.gridY), t.blockWidth, t.heightScale,
                             float(t.distributionWidth), float(t.distributionHeight)};
    appendBytes(out, scalars, 6);
    appendBytes(out, t.vertices.data(), t.vertices.size());
    appendBytes(out, t.distribution.data(), t.distribution.size());
    return out;
}

std::vector<Bytes> sceneWithHistory()
{
    std::vector<Bytes> scene = {terrainBytes()};
    const int undos = undoCount(), redos = redoCount();
    for (int i = 0; i < undos; ++i) {
        undo();
        scene.push_back(terrainBytes());
    }
    for (int i = 0; i < undos + redos; ++i) {
        redo();
        scene.push_back(terrainBytes());
    }
    for (int i = 0; i < redos; ++i)
        undo();
    scene.push_back(Bytes{uint8_t(undos), uint8_t(redos)});
    return scene;
}
