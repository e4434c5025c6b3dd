// Reading the numbered stamp images; kept apart from the selection code so
// that the strokes do not pull in the image reader.
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/editor_state.h"
#include "io/tga.h"
#include "sculpt/stamps.h"

// Builds a stamp from a decoded image; false when the image does not hold the
// pixels its size claims (the reader should never deliver that, but a stamp
// indexes its mask by width * height and must not read past it).
static bool buildStamp(const Image& image, BrushStamp* stamp)
{
    if (image.width <= 0 || image.height <= 0) return false;
    if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32) return false;
    const uint64_t pixelCount = uint64_t(image.width) * uint64_t(image.height);
    const uint64_t stride = uint64_t(image.bitsPerPixel / 8);
    if (image.pixels.size() != pixelCount * stride) return false;

    stamp->width = image.width;
    stamp->height = image.height;
    stamp->mask.resize(size_t(pixelCount));
    const uint8_t* pixel = image.pixels.data();
    for (uint64_t i = 0; i < pixelCount; ++i, pixel += stride) {
        // Only red counts, so a colour stamp follows its red channel.
        stamp->mask[size_t(i)] = float(pixel[0] / 255.0);
    }
    return true;
}

void loadBrushStampsFrom(const std::string& dir)
{
    // The numbering must be contiguous: the first missing or unreadable
    // number ends the list, so a gap hides every stamp after it. The first
    // missing number is the list's normal end and goes unreported; a file
    // that is there but cannot be read is reported by the reader.
    for (int n = 1;; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/%i.tga", n);
        std::error_code error;
        if (!std::filesystem::exists(dir + name, error)) break;
        const Image image = readTga(dir + name);
        BrushStamp stamp;
        if (!buildStamp(image, &stamp)) break;

        const int index = int(editor.stamps.size());
        stamp.previous = index > 0 ? index - 1 : -1;
        stamp.next = -1;
        if (index > 0) editor.stamps[size_t(index - 1)].next = index;
        editor.stamps.push_back(std::move(stamp));
    }
    editor.currentStamp = editor.stamps.empty() ? -1 : 0;
}

void loadBrushStamps() { loadBrushStampsFrom(dataFile("brushes")); }
