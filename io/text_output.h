// Text building for the exports: numbers formatted without printf, with the
// same bytes "%.3f" / "%f" produce for a float widened to double, and rows
// of text built on several threads and written in order, in large blocks.
#pragma once

#include "io/file_write.h"

#include <string>
#include <type_traits>

// Appends `value` (widened to double) with `precision` decimals, as
// printf("%.*f") would.
void appendFixed(std::string& out, float value, int precision);
void appendInt(std::string& out, long long value);
// Writes the text.
void appendText(PendingFile& pending, const std::string& text);

using RowText = void (*)(void* context, std::string& out, int row);
void writeRowsOf(PendingFile& pending, int rows, size_t bytesPerRow, RowText rowText, void* context);

// Writes the text of rows 0 .. rows - 1, rowText(out, row) appending one
// row's text to `out`. Batches of rows (about 16 MB of text, by the
// estimate `bytesPerRow`) are built on several threads into a buffer per
// row and written in row order: the file holds the bytes one thread would
// write. Reports progress over the rows.
template <class RowTextOf> void writeRows(PendingFile& pending, int rows, size_t bytesPerRow, RowTextOf&& rowText)
{
    using Stored = std::remove_reference_t<RowTextOf>;
    writeRowsOf(
        pending, rows, bytesPerRow,
        [](void* context, std::string& out, int row) { (*static_cast<Stored*>(context))(out, row); },
        const_cast<void*>(static_cast<const void*>(&rowText)));
}
