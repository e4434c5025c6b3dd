#include "io/text_output.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "terrain/parallel.h"
#include "terrain/progress.h"

static constexpr size_t kBatchBytes = size_t(16) << 20;

void appendFixed(std::string& out, float value, int precision)
{
    // Shortest round trip is not what printf does: fixed notation with the
    // precision asked for rounds the exact binary value the same way glibc does.
    char text[400]; // a double in fixed notation has at most 309 integer digits
    auto result = std::to_chars(text, text + sizeof text, double(value), std::chars_format::fixed, precision);
    out.append(text, result.ptr);
}

void appendInt(std::string& out, long long value)
{
    char text[24];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void appendText(PendingFile& pending, const std::string& text) { appendPendingFile(pending, text.data(), text.size()); }

void writeRowsOf(PendingFile& pending, int rows, size_t bytesPerRow, RowText rowText, void* context)
{
    if (rows <= 0) return;
    const int batchRows = int(std::clamp<size_t>(kBatchBytes / std::max<size_t>(bytesPerRow, 1), 1, size_t(rows)));
    // A row's text costs a few hundred nanoseconds a line: a line is worth
    // about ten vertices of other work.
    const int rowCost = int(std::min<size_t>(bytesPerRow / 4, size_t(1) << 30));
    // One buffer per row of a batch, kept from batch to batch so that their
    // memory is allocated once.
    std::vector<std::string> texts(static_cast<size_t>(batchRows));
    for (int first = 0; first < rows; first += batchRows) {
        const int count = std::min(batchRows, rows - first);
        {
            ProgressSpan span(float(first) / float(rows), float(first + count) / float(rows));
            parallelRows(count, rowCost, [&](int begin, int end) {
                for (int i = begin; i < end; ++i) {
                    texts[size_t(i)].clear();
                    rowText(context, texts[size_t(i)], first + i);
                }
            });
        }
        for (int i = 0; i < count; ++i) appendText(pending, texts[size_t(i)]);
    }
}
