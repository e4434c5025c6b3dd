// The edge of every command, import, load, save and export. The work runs as
// one named operation; work that cannot get its memory throws std::bad_alloc
// before it has changed anything (every operation allocates first and
// changes afterwards), and here that becomes a refusal the user reads, "Not
// enough memory for <operation>", while the editor goes on with the terrain
// and the undo history exactly as they were. The operation is also what a
// progress bar names while long work runs (terrain/progress.h).
#pragma once

#include <new>

#include "terrain/progress.h"

// Posts "Not enough memory for <operation>"; never throws.
void reportOutOfMemory(const char* operation);

// Runs `work`; a std::bad_alloc from it becomes the refusal of `operation`.
// False when it was refused.
template <class Work> bool refuseOutOfMemory(const char* operation, Work&& work)
{
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
        reportOutOfMemory(operation);
        return false;
    }
}

// The same, with `work` as the operation a progress bar shows when it runs long.
template <class Work> bool runOperation(const char* operation, Work&& work)
{
    return refuseOutOfMemory(operation, [&] {
        ProgressScope progress(operation);
        work();
    });
}
