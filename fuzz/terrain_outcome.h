// What every terrain loader must leave behind, whatever bytes it was given:
// a refused input changes nothing; an accepted one installs a terrain whose
// arrays all match its sizes. Shared by the document, PGM and PNG targets.
#pragma once

#include <cstdlib>

#include "app/editor_state.h"

inline void startFuzzedEditor()
{
    static bool started = false;
    if (started) return;
    resetEditorState();
    started = true;
}

// Runs `load` on the live editor and aborts on a broken outcome.
template <typename Load> void checkTerrainLoad(Load load)
{
    startFuzzedEditor();
    const Terrain& t = editor.terrain;
    const int32_t gridX = t.gridX, gridY = t.gridY;
    const size_t vertices = t.vertices.size(), weights = t.distribution.size();
    if (!load()) {
        if (t.gridX != gridX || t.gridY != gridY || t.vertices.size() != vertices || t.distribution.size() != weights)
            std::abort();
        return;
    }
    if (t.vertices.size() != size_t(t.gridX) * size_t(t.gridY) ||
        t.distribution.size() != size_t(t.distributionWidth) * size_t(t.distributionHeight) * 3)
        std::abort();
}
