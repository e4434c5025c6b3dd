// Text building for the exports: numbers formatted without printf, with the
// same bytes "%.3f" / "%f" produce for a float widened to double, and a
// buffer that goes to a pending file in large blocks.
#pragma once

#include "io/file_write.h"

#include <string>

// Appends `value` (widened to double) with `precision` decimals, as
// printf("%.*f") would.
void appendFixed(std::string& out, float value, int precision);
void appendInt(std::string& out, long long value);
// Writes the buffer to the file once it has grown past a block, then empties it.
void flushIfLarge(PendingFile& pending, std::string& buffer);
// Writes and empties the buffer.
void flushText(PendingFile& pending, std::string& buffer);
