// Any bytes as a PGM height map: refused without change, or installed as a
// consistent grid.
#include "app/editor_state.h"
#include "io/heightmap_import.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = false;
    if (!started) {
        resetEditorState();
        started = true;
    }
    const int32_t gridX = editor.terrain.gridX, gridY = editor.terrain.gridY;
    const size_t vertices = editor.terrain.vertices.size();
    const bool imported = importPgmFromBytes(data, size);
    const Terrain& t = editor.terrain;
    if (imported) {
        if (t.vertices.size() != size_t(t.gridX) * size_t(t.gridY) ||
            t.indices.size() != size_t(t.gridX - 1) * size_t(t.gridY - 1) * 6)
            std::abort();
    } else if (t.gridX != gridX || t.gridY != gridY || t.vertices.size() != vertices) {
        std::abort();
    }
    return 0;
}
