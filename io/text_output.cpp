#include "io/text_output.h"

#include <charconv>

static constexpr size_t kFlushBlock = 1 << 20;

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

void flushIfLarge(PendingFile& pending, std::string& buffer)
{
    if (buffer.size() >= kFlushBlock)
        flushText(pending, buffer);
}

void flushText(PendingFile& pending, std::string& buffer)
{
    appendPendingFile(pending, buffer.data(), buffer.size());
    buffer.clear();
}
