#include "io/heightmap_import.h"

#include "io/export_formats.h"
#include "io/image_export.h"
#include "io/png_codec.h"
#include "io_test_files.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

static Bytes pgm(std::string header, const Bytes& samples)
{
    header.append(samples.begin(), samples.end());
    return Bytes(header.begin(), header.end());
}

// A PNG of `rows` (packed, 16-bit samples big-endian) written by libpng.
static Bytes png(int width, int height, int colourType, int depth, const Bytes& rows, bool interlaced = false)
{
    Bytes out;
    png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(p);
    png_set_write_fn(
        p, &out,
        [](png_structp q, png_bytep d, size_t n) { static_cast<Bytes*>(png_get_io_ptr(q))->insert(
                                                       static_cast<Bytes*>(png_get_io_ptr(q))->end(), d, d + n); },
        [](png_structp) {});
    png_set_IHDR(p, info, png_uint_32(width), png_uint_32(height), depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[5] = {{0, 1, 2}, {51, 3, 4}, {255, 5, 6}, {102, 7, 8}, {17, 9, 10}};
        png_set_PLTE(p, info, palette, 5);
    }
    png_write_info(p, info);
    std::vector<png_bytep> pointers;
    for (int r = 0; r < height; ++r)
        pointers.push_back(const_cast<uint8_t*>(rows.data()) + rows.size() / size_t(height) * size_t(r));
    png_write_image(p, pointers.data());
    png_write_end(p, info);
    png_destroy_write_struct(&p, &info);
    return out;
}

static Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

static float z(int c, int r) { return editor.terrain.vertices[size_t(r * editor.terrain.gridX + c)].position[2]; }

// Writes `bytes` to `path` and imports it over a 6 x 5 grid at height 77
// (block width 10, height scale 510) that has one undo entry.
static bool import(const std::string& path, const Bytes& bytes)
{
    makeFlatTerrain(6, 5, 77.0f, 10.0f);
    editor.terrain.heightScale = 510.0f;
    pushWholeGridSnapshot(kUndoPositions);
    writeAll(path, bytes);
    return importHeightmapFile(path);
}

using HeightmapImport = ScratchTest;

TEST_F(HeightmapImport, ImagesBecomeGridsMirroredAlongX)
{
    // 3 x 2 samples, top row first; each height is sample / 255 x 510, row by row with the columns reversed.
    const Bytes samples = {0, 51, 255, 102, 0, 17};
    const float heights[] = {510, 102, 0, 34, 0, 204};
    // The samples doubled, out of 510, big-endian: the high byte comes first.
    const Bytes wide = {0, 0, 0, 102, 0x01, 0xFE, 0, 204, 0, 0, 0, 34};
    const Bytes bgra = {9, 9, 0, 255, 9, 9, 51, 255, 9, 9, 255, 255, 9, 9, 102, 255, 9, 9, 0, 255, 9, 9, 17, 255};
    const std::pair<const char*, Bytes> cases[] = {
        {"plain.pgm", pgm("P5\n3 2\n255\n", samples)},
        {"comments.pgm", pgm("P5\n# one\n# two\n3 # width\n#three\n 2 255\t", samples)},
        {"16-bit.pgm", pgm("P5\n3 2\n510\n", wide)},
        {"32-bit.tga", tga(2, 3, 2, 32, 0x20, bgra)},
        {"grey.TGA", tga(3, 3, 2, 8, 0, {102, 0, 17, 0, 51, 255})}, // bottom row first
        {"grey-rle.tga", tga(11, 3, 2, 8, 0x20, {0x00, 0, 0x01, 51, 255, 0x02, 102, 0, 17})},
        {"image-id.tga", [&] { Bytes f = tga(2, 3, 2, 32, 0x20, join({{'i', 'd', '!'}, bgra})); f[0] = 3; return f; }()},
        {"plain.pgm", pgm("P2\n# plain\n3 2\n255\n0 51 255\n102 0\n17\n", {})},
        {"plain-16.pgm", pgm("P2 3 2 510 0 102 510 204 0 34", {})},
        {"grey-8.png", png(3, 2, PNG_COLOR_TYPE_GRAY, 8, samples)},
        {"grey-16.png", png(3, 2, PNG_COLOR_TYPE_GRAY, 16, {0, 0, 51, 51, 255, 255, 102, 102, 0, 0, 17, 17})},
        {"interlaced.png", png(3, 2, PNG_COLOR_TYPE_GRAY, 8, samples, true)},
        {"rgb.png", png(3, 2, PNG_COLOR_TYPE_RGB, 8, {0, 9, 9, 51, 9, 9, 255, 9, 9, 102, 9, 9, 0, 9, 9, 17, 9, 9})},
        {"rgba-16.png", png(3, 2, PNG_COLOR_TYPE_RGB_ALPHA, 16,
                            join({{0, 0, 1, 2, 3, 4, 5, 6}, {51, 51, 1, 2, 3, 4, 5, 6}, {255, 255, 1, 2, 3, 4, 5, 6},
                                  {102, 102, 1, 2, 3, 4, 5, 6}, {0, 0, 1, 2, 3, 4, 5, 6}, {17, 17, 1, 2, 3, 4, 5, 6}}))},
        {"palette.png", png(3, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 3, 0, 4})},
    };
    for (const auto& [name, file] : cases) {
        ASSERT_TRUE(import(dir + name, file)) << name;
        ASSERT_EQ(std::pair(editor.terrain.gridX, editor.terrain.gridY), std::pair(3, 2)) << name;
        for (int i = 0; i < 6; ++i)
            EXPECT_FLOAT_EQ(z(i % 3, i / 3), heights[i]) << name << " vertex " << i;
        EXPECT_EQ(editor.terrain.vertices[5].position[0], 20.0f) << name; // the block width is kept
        EXPECT_EQ(undoCount(), 0) << name;
    }
}

TEST_F(HeightmapImport, RefusedImagesChangeNeitherTerrainNorHistory)
{
    const Bytes grey = png(3, 2, PNG_COLOR_TYPE_GRAY, 8, Bytes(6, 9));
    const Bytes widePng = png(4098, 1, PNG_COLOR_TYPE_GRAY, 8, Bytes(4098, 9));
    // badSize: says so on stdout as well; says: part of the message ("" for any).
    const struct { const char* name; Bytes bytes; bool badSize; const char* says; } cases[] = {
        {"0-10.pgm", pgm("P5\n# c\n0 10\n255\n", Bytes(10, 1)), true, "Bad image size"},
        {"no-height.pgm", pgm("P5\n4\n", {}), true, ""},
        {"wide.pgm", pgm("P5\n4098 1\n255\n", Bytes(4098, 1)), true, ""},
        {"-4.pgm", pgm("P5\n-4 1\n255\n", {1}), true, ""},
        {"short.pgm", pgm("P5\n4 3\n255\n", Bytes(11, 1)), false, "short"},
        {"short-16.pgm", pgm("P5\n2 1\n65535\n", {1, 2, 3}), false, ""},
        {"max-0.pgm", pgm("P5\n1 1\n0\n", {0}), false, ""},
        {"max-65536.pgm", pgm("P5\n1 1\n65536\n", {0, 0}), false, ""},
        {"empty.pgm", {}, false, "Not a PGM image"},
        {"plain-over-max.pgm", pgm("P2 2 1 255 7 256", {}), false, "out of range"},
        {"plain-short.pgm", pgm("P2 2 1 255 7", {}), false, "short"},
        {"15-bytes.tga", Bytes(15, 0), false, "Cannot read image"},
        {"grey-16-bit.tga", tga(3, 1, 1, 16, 0, {1, 2}), false, "Cannot read image"},
        {"colour-map.tga", [] { Bytes f = tga(2, 1, 1, 24, 0, {1, 2, 3}); f[1] = 1; return f; }(), false, ""},
        {"wide.tga", tga(2, 4098, 1, 24, 0, Bytes(4098 * 3, 1)), false, "Image too large (at most 4097 x 4097)"},
        {"truncated.png", Bytes(grey.begin(), grey.end() - 20), false, "Cannot read PNG image"},
        {"damaged.png", [&] { Bytes f = grey; f[f.size() / 2] ^= 0x55; return f; }(), false, "Cannot read PNG image"},
        {"wide.png", Bytes(widePng.begin(), widePng.begin() + 40), false, "Image too large (at most 4097 x 4097)"},
        {"not-png.png", pgm("P5 1 1 255 ", {1}), false, "Cannot read PNG image"},
        {"3-samples.r16", Bytes(6, 1), false, "not a square of 16-bit samples"},
        {"odd.raw", Bytes(9, 1), false, "not a square of 16-bit samples"},
        {"empty.r16", {}, false, "not a square of 16-bit samples"},
        {"picture.bmp", Bytes(6, 1), false, "Height maps are .tga, .pgm, .png, .r16 or .raw files"},
    };
    for (const auto& [name, file, badSize, says] : cases) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(import(dir + name, file)) << name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), badSize ? "Bad width/height read.\n" : "") << name;
        EXPECT_NE(editor.statusMessage.find(says), std::string::npos) << name << ": " << editor.statusMessage;
        EXPECT_FALSE(editor.statusMessage.empty()) << name;
        EXPECT_EQ(std::tuple(editor.terrain.vertices.size(), z(5, 4), undoCount()), std::tuple(30u, 77.0f, 1)) << name;
    }
    // A raw square of 4098 a side is refused by its size alone (a sparse file: never read).
    import(dir + "4097.r16", {});
    ASSERT_EQ(truncate((dir + "4097.r16").c_str(), off_t(2) * 4098 * 4098), 0);
    EXPECT_FALSE(importHeightmapFile(dir + "4097.r16"));
    EXPECT_EQ(editor.statusMessage, "Image too large (at most 4097 x 4097): " + dir + "4097.r16");
    EXPECT_EQ(std::tuple(editor.terrain.vertices.size(), undoCount()), std::tuple(30u, 1));
}

// Heights as fractions of the height scale, and of the terrain's own range.
static std::vector<double> scaledHeights()
{
    std::vector<double> out;
    for (const TerrainVertex& v : editor.terrain.vertices)
        out.push_back(v.position[2] / editor.terrain.heightScale);
    return out;
}

static std::vector<double> heightsOverRange()
{
    double lo = 1e30, hi = -1e30;
    for (const TerrainVertex& v : editor.terrain.vertices) {
        lo = std::min(lo, double(v.position[2]));
        hi = std::max(hi, double(v.position[2]));
    }
    std::vector<double> out;
    for (const TerrainVertex& v : editor.terrain.vertices)
        out.push_back((v.position[2] - lo) / (hi - lo));
    return out;
}

static ChannelSamples decodePng(const Bytes& file)
{
    ByteSource source = memorySource(file.data(), file.size());
    ChannelSamples samples;
    std::string failure;
    bool tooLarge = false;
    EXPECT_TRUE(decodePngChannel(source, 4097, samples, failure, tooLarge)) << failure;
    return samples;
}

TEST_F(HeightmapImport, SixteenBitExportsImportBackToTheSameGrid)
{
    for (const char* name : {"round.png", "round.r16", "ROUND.R16"}) {
        makeFlatTerrain(7, name[6] == 'p' ? 5 : 7, 0.0f, 16.0f);
        addRelief();
        heightAt(2, 3) = -40.0f;
        const std::vector<double> expected = heightsOverRange();
        ASSERT_TRUE(exportByTypedName(name)->run(dir + name)) << name;
        editor.terrain.heightScale = 1.0f;
        ASSERT_TRUE(importHeightmapFile(dir + name)) << name;
        ASSERT_EQ(std::pair(editor.terrain.gridX, editor.terrain.gridY), std::pair(7, name[6] == 'p' ? 5 : 7));
        EXPECT_EQ(editor.terrain.vertices[6 + 4 * 7].position[0], 6 * 16.0f);
        const std::vector<double> got = scaledHeights();
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], expected[i], 1.0 / 65535) << name << " vertex " << i;
    }
    // The raw file is the PNG's samples, little-endian: lowest 0, highest 65535.
    makeFlatTerrain(2, 2, 10.0f);
    heightAt(1, 1) = 15.0f;
    ASSERT_TRUE(exportHeightmapR16(dir + "two.r16"));
    EXPECT_EQ(readAll(dir + "two.r16"), (Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0, 0})); // x mirrored: row 1 starts with (1, 1)
    makeFlatTerrain(3, 2);
    EXPECT_FALSE(exportHeightmapR16(dir + "oblong.r16"));
    EXPECT_EQ(editor.statusMessage, "Raw height maps are square; this terrain is 3 x 2: " + dir + "oblong.r16");
    EXPECT_FALSE(pathExists(dir + "oblong.r16"));
}

TEST_F(HeightmapImport, AnImportedPngExportsAsTheSameImageStretchedToFullRange)
{
    const Bytes full = {0x12, 0x34, 0xFF, 0xFF, 0x00, 0x00, 0xAB, 0xCD, 0x01, 0x02, 0x7F, 0x80};
    const Bytes narrow = {10, 20, 250, 131};
    const struct { Bytes file; std::vector<uint16_t> exported; } cases[] = {
        {png(3, 2, PNG_COLOR_TYPE_GRAY, 16, full), {0x1234, 0xFFFF, 0x0000, 0xABCD, 0x0102, 0x7F80}},
        // (v - 10) / 240 x 65535, rounded: 0, 2730.6, 65535, 33040.6.
        {png(2, 2, PNG_COLOR_TYPE_GRAY, 8, narrow), {0, 2731, 65535, 33041}},
    };
    for (const auto& c : cases) {
        makeFlatTerrain(3, 3);
        ASSERT_TRUE(import(dir + "in.png", c.file));
        ASSERT_TRUE(exportHeightmapPng(dir + "out.png"));
        EXPECT_EQ(decodePng(readAll(dir + "out.png")).values, c.exported);
        EXPECT_EQ(decodePng(readAll(dir + "out.png")).maxValue, 65535);
    }
}
