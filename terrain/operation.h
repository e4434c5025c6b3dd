// The edge of every command, import, load, save and export. The work runs as
// one named operation; work that cannot get its memory throws std::bad_alloc
// before it has changed anything (every operation allocates first and
// changes afterwards), and here that becomes a refusal the user reads, "Not
// enough memory for <operation>", while the editor goes on with the terrain
// and the undo history exactly as they were.
#pragma once

#include <new>

// Posts "Not enough memory for <operation>"; never throws.
void reportOutOfMemory(const char* operation);

// Runs `work` as `operation`. False when it was refused for memory.
template <class Work> bool runOperation(const char* operation, Work&& work)
{
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
        reportOutOfMemory(operation);
        return false;
    }
}
