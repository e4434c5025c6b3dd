// TGA reader: header checks, then raw or run-length pixel decoding into
// top-down R, G, B(, A) rows. Every read goes through bounds checks on the
// in-memory file, so a damaged file can only fail, never overrun.
#include "io/tga.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "io/file_read.h"

static const uint8_t kRawTemplate[10] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
static const uint8_t kRunLengthTemplate[10] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0};
static constexpr size_t kHeaderSize = 18;

// Byte offset of the pixel with file order number p in the top-down image.
static size_t destinationOffset(uint64_t p, int width, int height, bool topFirst, int bytesPerPixel)
{
    if (topFirst)
        return size_t(p * bytesPerPixel);
    uint64_t row = uint64_t(height - 1) - p / uint64_t(width);
    return size_t((row * uint64_t(width) + p % uint64_t(width)) * bytesPerPixel);
}

static bool decodeRaw(const uint8_t* data, size_t size, Image& image, bool topFirst)
{
    const int b = image.bitsPerPixel / 8;
    const size_t rowBytes = size_t(image.width) * b;
    const size_t imageBytes = rowBytes * size_t(image.height);
    if (size - kHeaderSize < imageBytes)
        return false; // short pixel data
    image.pixels.resize(imageBytes);
    const uint8_t* source = data + kHeaderSize;
    if (topFirst) {
        std::memcpy(image.pixels.data(), source, imageBytes);
    } else {
        for (int row = image.height - 1; row >= 0; --row, source += rowBytes)
            std::memcpy(image.pixels.data() + size_t(row) * rowBytes, source, rowBytes);
    }
    for (size_t i = 0; i < imageBytes; i += b)
        std::swap(image.pixels[i], image.pixels[i + 2]);
    return true;
}

static bool decodeRunLength(const uint8_t* data, size_t size, Image& image, bool topFirst)
{
    const int b = image.bitsPerPixel / 8;
    const uint64_t pixelCount = uint64_t(image.width) * uint64_t(image.height);
    // Each packet yields at most 128 pixels from at least 1 + b bytes: a file
    // shorter than that bound cannot hold the image, so refuse it before
    // allocating from the header's size.
    const uint64_t minimumBytes = (pixelCount + 127) / 128 * uint64_t(1 + b);
    if (size - kHeaderSize < minimumBytes)
        return false;
    image.pixels.resize(size_t(pixelCount) * b);
    size_t at = kHeaderSize;
    uint64_t produced = 0;
    while (produced < pixelCount) {
        if (at >= size)
            return false;
        const uint8_t header = data[at++];
        const uint64_t count = header < 128 ? uint64_t(header) + 1 : uint64_t(header) - 127;
        if (produced + count > pixelCount)
            return false; // a packet running past the last pixel
        if (header < 128) {
            if (size - at < count * b)
                return false;
            for (uint64_t i = 0; i < count; ++i, ++produced, at += b) {
                uint8_t* out = &image.pixels[destinationOffset(produced, image.width, image.height, topFirst, b)];
                std::memcpy(out, data + at, b);
                std::swap(out[0], out[2]);
            }
        } else {
            if (size - at < size_t(b))
                return false;
            const uint8_t* pixel = data + at;
            at += b;
            for (uint64_t i = 0; i < count; ++i, ++produced) {
                uint8_t* out = &image.pixels[destinationOffset(produced, image.width, image.height, topFirst, b)];
                out[0] = pixel[2];
                out[1] = pixel[1];
                out[2] = pixel[0];
                if (b == 4)
                    out[3] = pixel[3];
            }
        }
    }
    return true;
}

Image decodeTga(const uint8_t* data, size_t size)
{
    Image image;
    if (data == nullptr || size < kHeaderSize)
        return image;
    const bool raw = std::memcmp(data, kRawTemplate, 10) == 0;
    const bool runLength = std::memcmp(data, kRunLengthTemplate, 10) == 0;
    if (!raw && !runLength)
        return image;
    image.width = data[12] | (data[13] << 8);
    image.height = data[14] | (data[15] << 8);
    image.bitsPerPixel = data[16];
    const bool topFirst = (data[17] & 0x20) != 0;
    if (image.width == 0 || image.height == 0 || (image.bitsPerPixel != 24 && image.bitsPerPixel != 32))
        return image;
    const bool ok = raw ? decodeRaw(data, size, image, topFirst) : decodeRunLength(data, size, image, topFirst);
    if (!ok)
        std::vector<uint8_t>().swap(image.pixels);
    return image;
}

Image readTga(const std::string& path)
{
    std::vector<uint8_t> bytes;
    const FileRead result = readFileBytes(path, bytes);
    if (result == FileRead::kCannotOpen) {
        std::fprintf(stderr, "Failed to open TGA: %s\n", path.c_str());
        return Image();
    }
    if (bytes.size() < 12) {
        std::fprintf(stderr, "File is too small to be TGA: %s\n", path.c_str());
        return Image();
    }
    if (result != FileRead::kOk)
        return Image();
    return decodeTga(bytes.data(), bytes.size());
}
