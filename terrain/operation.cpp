#include "terrain/operation.h"

#include <cstdio>
#include <string>

#include "app/editor_state.h"

void reportOutOfMemory(const char* operation)
{
    try {
        postStatus(std::string("Not enough memory for ") + operation);
    } catch (const std::bad_alloc&) {
        // Not even the message fits: it still reaches the terminal.
        std::fprintf(stderr, "Not enough memory for %s\n", operation);
    }
}
