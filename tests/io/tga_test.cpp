#include "io/tga.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> header(int type, int width, int height, int depth, int descriptor)
{
    std::vector<uint8_t> h(18, 0);
    h[2] = uint8_t(type);
    h[12] = uint8_t(width & 255);
    h[13] = uint8_t(width >> 8);
    h[14] = uint8_t(height & 255);
    h[15] = uint8_t(height >> 8);
    h[16] = uint8_t(depth);
    h[17] = uint8_t(descriptor);
    return h;
}

std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Image decode(const std::vector<uint8_t>& bytes) { return decodeTga(bytes.data(), bytes.size()); }

std::string writeTemp(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::string path = testing::TempDir() + "brivel_tga_" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

// Pixels of a 2 x 2 picture in file B, G, R order: top-left 1, top-right 2,
// bottom-left 3, bottom-right 4 (the red byte carries the number).
const std::vector<uint8_t> kTopLeft = {0, 10, 1}, kTopRight = {0, 20, 2};
const std::vector<uint8_t> kBottomLeft = {0, 30, 3}, kBottomRight = {0, 40, 4};
// The same picture as R, G, B top row first.
const std::vector<uint8_t> kExpected = {1, 10, 0, 2, 20, 0, 3, 30, 0, 4, 40, 0};

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(Tga, BothOriginsRawAndRunLengthGiveTheSameTopDownPixels)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
    } cases[] = {
        {"raw bottom-up", concat(header(2, 2, 2, 24, 0), join({kBottomLeft, kBottomRight, kTopLeft, kTopRight}))},
        {"raw top-down", concat(header(2, 2, 2, 24, 0x20), join({kTopLeft, kTopRight, kBottomLeft, kBottomRight}))},
        {"rle raw packet top-down",
         concat(header(10, 2, 2, 24, 0x20), join({{0x03}, kTopLeft, kTopRight, kBottomLeft, kBottomRight}))},
        {"rle mixed bottom-up",
         concat(header(10, 2, 2, 24, 0x08), join({{0x80}, kBottomLeft, {0x00}, kBottomRight, {0x01}, kTopLeft, kTopRight}))},
        {"y origin ignored",
         [] { auto h = header(2, 2, 2, 24, 0x20); h[10] = 7; h[11] = 1;
              return concat(h, join({kTopLeft, kTopRight, kBottomLeft, kBottomRight})); }()},
        {"trailing footer ignored",
         concat(header(2, 2, 2, 24, 0x20), join({kTopLeft, kTopRight, kBottomLeft, kBottomRight, {9, 9, 9, 9}}))},
    };
    for (const auto& c : cases) {
        Image image = decode(c.file);
        EXPECT_EQ(image.width, 2) << c.name;
        EXPECT_EQ(image.height, 2) << c.name;
        EXPECT_EQ(image.bitsPerPixel, 24) << c.name;
        EXPECT_EQ(image.pixels, kExpected) << c.name;
    }
}

TEST(Tga, RunPacketsRepeatAndThirtyTwoBitKeepsAlpha)
{
    // 0x83 repeats one B,G,R,A pixel four times; bottom-up 2 x 3 image whose
    // last row (the top) comes from a raw packet 0x01.
    auto file = concat(header(10, 2, 3, 32, 0x00),
                       join({{0x83}, {1, 2, 3, 4}, {0x01}, {5, 6, 7, 8}, {9, 10, 11, 12}}));
    Image image = decode(file);
    ASSERT_EQ(image.pixels.size(), 24u);
    std::vector<uint8_t> expected = {7, 6, 5, 8, 11, 10, 9, 12, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4};
    EXPECT_EQ(image.pixels, expected);

    auto raw = concat(header(2, 1, 1, 32, 0x20), {10, 20, 30, 40});
    EXPECT_EQ(decode(raw).pixels, (std::vector<uint8_t>{30, 20, 10, 40}));
}

TEST(Tga, UnsupportedOrDamagedFilesAreRefused)
{
    const auto body = join({kTopLeft, kTopRight, kBottomLeft, kBottomRight});
    auto with = [&](int offset, uint8_t value) {
        auto h = header(2, 2, 2, 24, 0x20);
        h[offset] = value;
        return concat(h, body);
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
    } cases[] = {
        {"image id", with(0, 4)},
        {"colour map", with(1, 1)},
        {"colour map description", with(5, 1)},
        {"grey type 3", with(2, 3)},
        {"grey rle type 11", with(2, 11)},
        {"colour-mapped type 1", with(2, 1)},
        {"8 bits", with(16, 8)},
        {"15 bits", with(16, 15)},
        {"16 bits", with(16, 16)},
        {"x origin", with(8, 1)},
        {"x origin high byte", with(9, 1)},
        {"zero width", concat(header(2, 0, 2, 24, 0x20), body)},
        {"zero height", concat(header(2, 2, 0, 24, 0x20), body)},
        {"short raw data", concat(header(2, 2, 2, 24, 0x20), std::vector<uint8_t>(body.begin(), body.end() - 1))},
        {"header only", header(2, 2, 2, 24, 0x20)},
        {"15 bytes", std::vector<uint8_t>(15, 0)},
        {"run past last pixel", concat(header(10, 2, 2, 24, 0x20), join({{0x84}, kTopLeft}))},
        {"raw packet past last pixel", concat(header(10, 1, 1, 24, 0x20), join({{0x01}, kTopLeft, kTopLeft}))},
        {"rle file ends in a packet",
         concat(header(10, 2, 2, 24, 0x20), join({{0x03}, kTopLeft, kTopRight, kBottomLeft, {0, 40}}))},
        {"rle file ends before a header", concat(header(10, 2, 2, 24, 0x20), join({{0x81}, kTopLeft}))},
        {"huge rle claim", concat(header(10, 65535, 65535, 32, 0x20), join({{0xFF}, {1, 2, 3, 4}}))},
        {"huge raw claim", concat(header(2, 65535, 65535, 32, 0x20), body)},
    };
    for (const auto& c : cases) {
        Image image = decode(c.file);
        EXPECT_TRUE(image.pixels.empty()) << c.name;
    }
    // Sanity: the unmodified file decodes.
    EXPECT_EQ(decode(concat(header(2, 2, 2, 24, 0x20), body)).pixels, kExpected);
}

TEST(Tga, ReadTgaReportsOnlyMissingAndTinyFiles)
{
    const auto good = concat(header(2, 2, 2, 24, 0), join({kBottomLeft, kBottomRight, kTopLeft, kTopRight}));
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        bool decodes;
        std::string message; // "" = silent; "%s" replaced by the path
    } cases[] = {
        {"good.tga", good, true, ""},
        {"eleven.tga", std::vector<uint8_t>(good.begin(), good.begin() + 11), false, "File is too small to be TGA: %s\n"},
        {"fifteen.tga", std::vector<uint8_t>(good.begin(), good.begin() + 15), false, ""},
    };
    for (const auto& c : cases) {
        const std::string path = writeTemp(c.name, c.file);
        testing::internal::CaptureStderr();
        Image image = readTga(path);
        std::string err = testing::internal::GetCapturedStderr();
        std::string expected = c.message;
        if (auto at = expected.find("%s"); at != std::string::npos)
            expected.replace(at, 2, path);
        EXPECT_EQ(err, expected) << c.name;
        EXPECT_EQ(!image.pixels.empty(), c.decodes) << c.name;
        if (c.decodes) {
            EXPECT_EQ(image.pixels, kExpected);
        }
        std::remove(path.c_str());
    }
    const std::string missing = testing::TempDir() + "brivel_no_such_file.tga";
    testing::internal::CaptureStderr();
    EXPECT_TRUE(readTga(missing).pixels.empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to open TGA: " + missing + "\n");
}
