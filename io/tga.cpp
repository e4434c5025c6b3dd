// TGA reader: header checks against the caller's limits, then raw or
// run-length pixel decoding into top-down R, G, B(, A) rows. Every read goes
// through bounds checks on the in-memory file, so a damaged file can only
// fail, never overrun; a file is read only as far as its header can need.
#include "io/tga.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "io/file_read.h"

static constexpr size_t kHeaderSize = 18;

struct TgaHeader {
    size_t dataStart = kHeaderSize; // after the header and the image ID field
    bool runLength = false;
    bool topFirst = false;
    int width = 0, height = 0;
    int bytesPerPixel = 0;
};

enum class TgaCheck { kOk, kUnsupported, kTooLarge };

static TgaCheck parseHeader(const uint8_t* data, const TgaOptions& options, TgaHeader& header)
{
    static const uint8_t kZero[7] = {};
    const uint8_t type = data[2];
    const bool colour = type == 2 || type == 10;
    const bool grey = (type == 3 || type == 11) && options.greyAndImageId;
    // Colour maps and x origins are never supported; byte 1 and bytes 3 to 9 must be 0.
    if ((!colour && !grey) || data[1] != 0 || std::memcmp(data + 3, kZero, 7) != 0)
        return TgaCheck::kUnsupported;
    if (data[0] != 0 && !options.greyAndImageId)
        return TgaCheck::kUnsupported;
    header.dataStart = kHeaderSize + data[0];
    header.runLength = type >= 10;
    header.topFirst = (data[17] & 0x20) != 0;
    header.width = data[12] | (data[13] << 8);
    header.height = data[14] | (data[15] << 8);
    const int depth = data[16];
    if (header.width == 0 || header.height == 0 || (grey ? depth != 8 : depth != 24 && depth != 32))
        return TgaCheck::kUnsupported;
    header.bytesPerPixel = depth / 8;
    // Both sides within the caller's limit keeps width x height x bytes within
    // its square at four bytes a pixel: the pixel array is never larger.
    if (header.width > options.maxSide || header.height > options.maxSide)
        return TgaCheck::kTooLarge;
    return TgaCheck::kOk;
}

// The most bytes a file with this header can use: run-length data spends at
// most one packet byte per pixel on top of the pixel itself.
static uint64_t bytesNeeded(const TgaHeader& h)
{
    const uint64_t perPixel = uint64_t(h.bytesPerPixel) + (h.runLength ? 1 : 0);
    return h.dataStart + uint64_t(h.width) * uint64_t(h.height) * perPixel;
}

// Byte offset of the pixel with file order number p in the top-down image.
static size_t destinationOffset(uint64_t p, const TgaHeader& h)
{
    if (h.topFirst)
        return size_t(p * h.bytesPerPixel);
    const uint64_t row = uint64_t(h.height - 1) - p / uint64_t(h.width);
    return size_t((row * uint64_t(h.width) + p % uint64_t(h.width)) * h.bytesPerPixel);
}

// B, G, R(, A) as stored becomes R, G, B(, A); grey stays as it is.
static void storePixel(uint8_t* out, const uint8_t* in, int bytesPerPixel)
{
    std::memcpy(out, in, size_t(bytesPerPixel));
    if (bytesPerPixel >= 3)
        std::swap(out[0], out[2]);
}

static bool decodeRaw(const uint8_t* data, size_t size, const TgaHeader& h, Image& image)
{
    const size_t rowBytes = size_t(h.width) * h.bytesPerPixel;
    const size_t imageBytes = rowBytes * size_t(h.height);
    if (size - h.dataStart < imageBytes)
        return false; // short pixel data
    image.pixels.resize(imageBytes);
    const uint8_t* source = data + h.dataStart;
    if (h.topFirst) {
        std::memcpy(image.pixels.data(), source, imageBytes);
    } else {
        for (int row = h.height - 1; row >= 0; --row, source += rowBytes)
            std::memcpy(image.pixels.data() + size_t(row) * rowBytes, source, rowBytes);
    }
    if (h.bytesPerPixel >= 3)
        for (size_t i = 0; i < imageBytes; i += size_t(h.bytesPerPixel))
            std::swap(image.pixels[i], image.pixels[i + 2]);
    return true;
}

static bool decodeRunLength(const uint8_t* data, size_t size, const TgaHeader& h, Image& image)
{
    const int b = h.bytesPerPixel;
    const uint64_t pixelCount = uint64_t(h.width) * uint64_t(h.height);
    // Each packet yields at most 128 pixels from at least 1 + b bytes: a file
    // shorter than that bound cannot hold the image, so refuse it before
    // allocating from the header's size.
    const uint64_t minimumBytes = (pixelCount + 127) / 128 * uint64_t(1 + b);
    if (size - h.dataStart < minimumBytes)
        return false;
    image.pixels.resize(size_t(pixelCount) * b);
    size_t at = h.dataStart;
    uint64_t produced = 0;
    while (produced < pixelCount) {
        if (at >= size)
            return false;
        const uint8_t packet = data[at++];
        const uint64_t count = packet < 128 ? uint64_t(packet) + 1 : uint64_t(packet) - 127;
        if (produced + count > pixelCount)
            return false; // a packet running past the last pixel
        const bool raw = packet < 128;
        if (size - at < (raw ? count : 1) * b)
            return false;
        for (uint64_t i = 0; i < count; ++i, ++produced) {
            storePixel(&image.pixels[destinationOffset(produced, h)], data + at, b);
            if (raw)
                at += b;
        }
        if (!raw)
            at += b;
    }
    return true;
}

static TgaCheck decode(const uint8_t* data, size_t size, const TgaOptions& options, Image& image)
{
    image = Image();
    TgaHeader header;
    if (data == nullptr || size < kHeaderSize)
        return TgaCheck::kUnsupported;
    const TgaCheck check = parseHeader(data, options, header);
    if (check != TgaCheck::kOk)
        return check;
    if (size < header.dataStart)
        return TgaCheck::kUnsupported;
    const bool ok = header.runLength ? decodeRunLength(data, size, header, image) : decodeRaw(data, size, header, image);
    if (!ok) {
        image = Image();
        return TgaCheck::kUnsupported;
    }
    image.width = header.width;
    image.height = header.height;
    image.bitsPerPixel = header.bytesPerPixel * 8;
    return TgaCheck::kOk;
}

Image decodeTga(const uint8_t* data, size_t size, const TgaOptions& options)
{
    Image image;
    decode(data, size, options, image);
    return image;
}

std::string imageTooLargeMessage(int maxSide, const std::string& name)
{
    const std::string side = std::to_string(maxSide);
    return "Image too large (at most " + side + " x " + side + "): " + name;
}

Image readTga(const std::string& path, const TgaOptions& options)
{
    Image image;
    InputFile input;
    const FileRead opened = openRegularFile(path, input);
    if (opened != FileRead::kOk) {
        if (opened == FileRead::kCannotOpen)
            std::fprintf(stderr, "Failed to open TGA: %s\n", path.c_str());
        image.failure = fileReadMessage(opened, path);
        return image;
    }
    const std::string unreadable = "Cannot read image " + path;
    if (input.size < 12) {
        closeInputFile(input);
        std::fprintf(stderr, "File is too small to be TGA: %s\n", path.c_str());
        image.failure = unreadable;
        return image;
    }
    // The header first: its sizes are checked before the rest is read, and
    // the rest is read only as far as such an image can need.
    ByteSource source = fileSource(input);
    std::vector<uint8_t> bytes(kHeaderSize);
    TgaHeader header;
    TgaCheck check = TgaCheck::kUnsupported;
    if (takeBytes(source, bytes.data(), kHeaderSize))
        check = parseHeader(bytes.data(), options, header);
    if (check == TgaCheck::kOk) {
        bytes.resize(size_t(std::min(input.size, bytesNeeded(header))));
        if (!takeBytes(source, bytes.data() + kHeaderSize, bytes.size() - kHeaderSize))
            check = TgaCheck::kUnsupported;
    }
    closeInputFile(input);
    if (check == TgaCheck::kOk)
        check = decode(bytes.data(), bytes.size(), options, image);
    if (check == TgaCheck::kTooLarge)
        image.failure = imageTooLargeMessage(options.maxSide, path);
    else if (check != TgaCheck::kOk)
        image.failure = unreadable;
    return image;
}
