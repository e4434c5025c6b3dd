// Any bytes as a terrain document: refused without change, or installed
// with every array matching its sizes.
#include "app/editor_state.h"
#include "io/document.h"

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
    const size_t weights = editor.terrain.distribution.size();
    const bool loaded = loadDocumentFromBytes(data, size);
    const Terrain& t = editor.terrain;
    if (loaded) {
        if (t.vertices.size() != size_t(t.gridX) * size_t(t.gridY) ||
            t.distribution.size() != size_t(t.distributionWidth) * size_t(t.distributionHeight) * 3)
            std::abort();
    } else if (t.gridX != gridX || t.gridY != gridY || t.distribution.size() != weights) {
        std::abort();
    }
    return 0;
}
