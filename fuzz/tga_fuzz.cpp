// Any bytes through the TGA decoder: it must refuse or decode without
// touching memory outside its input and pixel array.
#include "io/tga.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // As textures read it, and as height maps do (grey, image IDs, 4097 a side).
    TgaOptions heightmap;
    heightmap.maxSide = 4097;
    heightmap.greyAndImageId = true;
    for (const TgaOptions& options : {TgaOptions(), heightmap}) {
        Image image = decodeTga(data, size, options);
        if (image.pixels.empty())
            continue;
        const size_t expected = size_t(image.width) * size_t(image.height) * size_t(image.bitsPerPixel / 8);
        if (image.pixels.size() != expected || image.width > options.maxSide || image.height > options.maxSide)
            std::abort();
    }
    return 0;
}
