#include "io/tga.h"

#include "io_test_files.h"

static Image decode(const Bytes& file) { return decodeTga(file.data(), file.size()); }

// A 2 x 2 picture in file order (B, G, R; red numbers the pixel 1..4 from
// the top left), and as the reader must return it (R, G, B, top row first).
const Bytes kTopDown = {0, 10, 1, 0, 20, 2, 0, 30, 3, 0, 40, 4};
const Bytes kBottomUp = {0, 30, 3, 0, 40, 4, 0, 10, 1, 0, 20, 2};
const Bytes kPicture = {1, 10, 0, 2, 20, 0, 3, 30, 0, 4, 40, 0};

// The top-down 2 x 2 file with the header byte at `offset` set to `value`.
static Bytes patched(size_t offset, uint8_t value)
{
    Bytes file = tga(2, 2, 2, 24, 0x20, kTopDown);
    file[offset] = value;
    return file;
}

TEST(Tga, DecodesBothOriginsRawAndRunLength)
{
    const std::tuple<const char*, Bytes, Bytes> cases[] = {
        {"raw bottom-up", tga(2, 2, 2, 24, 0, kBottomUp), kPicture},
        {"raw top-down", tga(2, 2, 2, 24, 0x20, kTopDown), kPicture},
        {"y origin is ignored", [] { Bytes f = tga(2, 2, 2, 24, 0, kBottomUp); f[10] = 7; return f; }(), kPicture},
        {"rle bottom-up: run, raw, raw of two",
         tga(10, 2, 2, 24, 0x08, {0x80, 0, 30, 3, 0x00, 0, 40, 4, 0x01, 0, 10, 1, 0, 20, 2}), kPicture},
        {"raw 32 bits keeps alpha", tga(2, 1, 1, 32, 0x20, {10, 20, 30, 40}), {30, 20, 10, 40}},
        {"rle 32 bits top-down: run of three, raw", tga(10, 2, 2, 32, 0x20, {0x82, 1, 2, 3, 4, 0x00, 5, 6, 7, 8}),
         {3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 7, 6, 5, 8}},
    };
    for (const auto& [name, file, pixels] : cases) {
        const Image image = decode(file);
        EXPECT_EQ(image.pixels, pixels) << name;
        EXPECT_EQ(size_t(image.width * image.height * image.bitsPerPixel / 8), pixels.size()) << name;
    }
}

TEST(Tga, RefusesUnsupportedAndDamagedFiles)
{
    const std::pair<const char*, Bytes> cases[] = {
        {"image id", patched(0, 4)},    {"colour map", patched(1, 1)},  {"colour map length", patched(5, 1)},
        {"mapped type", patched(2, 1)}, {"grey", patched(2, 3)},        {"grey rle", patched(2, 11)},
        {"8 bits", patched(16, 8)},     {"15 bits", patched(16, 15)},   {"16 bits", patched(16, 16)},
        {"zero width", patched(12, 0)}, {"x origin", patched(8, 1)},    {"x origin 256", patched(9, 1)},
        {"short raw data", tga(2, 2, 2, 24, 0x20, Bytes(kTopDown.begin(), kTopDown.end() - 1))},
        {"run past the last pixel", tga(10, 2, 2, 24, 0x20, {0x84, 0, 10, 1})},
        {"raw packet past the last pixel", tga(10, 1, 1, 24, 0x20, {0x01, 0, 10, 1, 0, 10, 1})},
        {"ends inside a packet", tga(10, 2, 2, 24, 0x20, {0x03, 0, 10, 1, 0, 20, 2, 0, 30, 3, 0, 40})},
        {"ends before a packet", tga(10, 2, 2, 24, 0x20, {0x81, 0, 10, 1})},
        {"huge size claim", tga(10, 65535, 65535, 32, 0x20, {0xFF, 1, 2, 3, 4})},
    };
    for (const auto& [name, file] : cases)
        EXPECT_TRUE(decode(file).pixels.empty()) << name;
}
