// Any bytes through the TGA decoder: it must refuse or decode without
// touching memory outside its input and pixel array.
#include "io/tga.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Image image = decodeTga(data, size);
    if (!image.pixels.empty()) {
        const size_t expected = size_t(image.width) * size_t(image.height) * size_t(image.bitsPerPixel / 8);
        if (image.pixels.size() != expected)
            std::abort();
    }
    return 0;
}
