#include "app/editor_state.h"
#include "io/image_export.h"
#include "io/map_export.h"
#include "io/obj_export.h"
#include "io/text_output.h"
#include "io_test_files.h"
#include "support/terrain_fixtures.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sys/stat.h>

namespace {

using Export = ScratchTest;

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    return out;
}

std::vector<uint8_t> tgaPixel(const std::vector<uint8_t>& file, size_t n)
{
    return {file[18 + 3 * n], file[18 + 3 * n + 1], file[18 + 3 * n + 2]};
}

} // namespace

TEST(TextOutput, FixedNumbersMatchPrintfByteForByte)
{
    std::vector<float> values = {0.0f, -0.0f, 0.0005f, -0.0005f, 0.0015f, 2.5e-7f, -1e-9f, 1.0f / 3.0f,
                                 255.9995f, 123456.789f, -400.0f, 1e20f, -3.4028235e38f,
                                 std::numeric_limits<float>::denorm_min(),
                                 std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN()};
    srand(1234);
    for (int i = 0; i < 200000; ++i) {
        // Random bit patterns cover every exponent; scaled integers hit the
        // exact ties (x.xxx5) where rounding rules differ between libraries.
        uint32_t bits = (uint32_t(rand()) << 16) ^ uint32_t(rand());
        float f;
        std::memcpy(&f, &bits, 4);
        values.push_back(f);
        values.push_back(float(rand() % 2000001 - 1000000) / 8192.0f);
    }
    char expected[512];
    for (float v : values) {
        for (int precision : {3, 6}) {
            std::string got;
            appendFixed(got, v, precision);
            std::snprintf(expected, sizeof expected, "%.*f", precision, double(v));
            ASSERT_EQ(got, expected) << "bits of " << v;
        }
    }
    std::string ints;
    appendInt(ints, -42);
    appendInt(ints, 4225);
    EXPECT_EQ(ints, "-424225");
}

TEST_F(Export, QuakeMapsOfATwoByTwoGrid)
{
    makeFlatTerrain(2, 2, 256.0f, 32.0f);
    ASSERT_TRUE(exportQ1Map(dir + "q1.map"));
    EXPECT_EQ(editor.statusMessage, "Exported " + dir + "q1.map");
    ASSERT_TRUE(exportQ3Map(dir + "q3.map"));
    const std::vector<std::string> q1 = lines(readText(dir + "q1.map"));
    const std::vector<std::string> q3 = lines(readText(dir + "q3.map"));
    ASSERT_EQ(q1.size(), 5u + 2 * 8 + 1);
    EXPECT_EQ(q1[0], "// entity 0");
    EXPECT_EQ(q1[1], "{");
    EXPECT_EQ(q1[2], "");
    EXPECT_EQ(q1[3], "\"classname\" \"worldspawn\"");
    EXPECT_EQ(q1[4], "");
    EXPECT_EQ(q1[5], "// brush #");
    EXPECT_EQ(q1[6], "{");
    EXPECT_EQ(q1[7], "( 0.000 32.000 256.000 ) ( 32.000 0.000 256.000 ) ( 0.000 0.000 256.000 ) NULL 0 0 0 1 1");
    EXPECT_EQ(q1[11], "( 0.000 0.000 -400.000 ) ( 32.000 0.000 -400.000 ) ( 0.000 32.000 -400.000 ) NULL 0 0 0 1 1");
    EXPECT_EQ(q1[12], "}");
    // Brush B, plane 2: P11, P10, P10 at the floor.
    EXPECT_EQ(q1[16],
              "( 32.000 32.000 256.000 ) ( 0.000 32.000 256.000 ) ( 0.000 32.000 -400.000 ) NULL 0 0 0 1 1");
    EXPECT_EQ(q1.back(), "}");
    // The dialects differ only in the plane-line endings.
    ASSERT_EQ(q3.size(), q1.size());
    for (size_t i = 0; i < q1.size(); ++i) {
        const std::string q1End = " NULL 0 0 0 1 1", q3End = " notex 0 0 0 0.5 0.5 0 0 0";
        if (q1[i].rfind("( ", 0) == 0) {
            ASSERT_TRUE(q1[i].ends_with(q1End)) << i;
            ASSERT_TRUE(q3[i].ends_with(q3End)) << i;
            EXPECT_EQ(q1[i].substr(0, q1[i].size() - q1End.size()), q3[i].substr(0, q3[i].size() - q3End.size()));
        } else {
            EXPECT_EQ(q1[i], q3[i]);
        }
    }
}

TEST_F(Export, ObjFiles)
{
    makeFlatTerrain(2, 2, 256.0f, 32.0f);
    ASSERT_TRUE(exportObj(dir + "a.obj"));
    EXPECT_EQ(readText(dir + "a.obj"),
              "v 0.000000 0.000000 256.000000\n"
              "v 32.000000 0.000000 256.000000\n"
              "v 0.000000 32.000000 256.000000\n"
              "v 32.000000 32.000000 256.000000\n"
              "vn 0.000000 0.000000 1.000000\n"
              "vn 0.000000 0.000000 1.000000\n"
              "vn 0.000000 0.000000 1.000000\n"
              "vn 0.000000 0.000000 1.000000\n"
              "vt 0.000000 0.000000\n"
              "vt 0.500000 0.000000\n"
              "vt 0.000000 0.500000\n"
              "vt 0.500000 0.500000\n"
              "g terrain\n"
              "s 1\n"
              "f 1/1/1 2/2/2 3/3/3\n"
              "f 3/3/3 2/2/2 4/4/4\n");

    makeFlatTerrain(65, 65);
    editor.terrain.vertices[7].normal[0] = 2.5f; // written as stored, not renormalised
    editor.terrain.vertices[7].position[2] = -0.0000001f;
    ASSERT_TRUE(exportObj(dir + "b.obj"));
    const std::vector<std::string> b = lines(readText(dir + "b.obj"));
    ASSERT_EQ(b.size(), 3u * 4225 + 2 + 8192);
    EXPECT_EQ(b.back(), "f 4224/4224/4224 4160/4160/4160 4225/4225/4225");
    EXPECT_EQ(b[7], "v 224.000000 0.000000 -0.000000");
    EXPECT_EQ(b[4225 + 7], "vn 2.500000 0.000000 1.000000");
    EXPECT_EQ(b[2 * 4225 + 64], "vt 0.984615 0.000000"); // 64 / 65
}

TEST_F(Export, TgaImagesBytes)
{
    makeFlatTerrain(3, 1, 100.0f);
    heightAt(1, 0) = 200.0f;
    heightAt(2, 0) = 300.0f;
    editor.terrain.vertices[0].normal[0] = -1.0f;
    editor.terrain.vertices[0].normal[2] = 0.0f;
    editor.terrain.vertices[1].normal[2] = 1.0f; // a single row has no faces: set by hand
    ASSERT_TRUE(exportHeightmapTga(dir + "h.tga"));
    std::vector<uint8_t> h = readAll(dir + "h.tga");
    const std::vector<uint8_t> header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 1, 0, 24, 0};
    ASSERT_EQ(h.size(), 18u + 9);
    EXPECT_EQ(std::vector<uint8_t>(h.begin(), h.begin() + 18), header);
    EXPECT_EQ(tgaPixel(h, 0), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(tgaPixel(h, 1), (std::vector<uint8_t>{127, 127, 127}));
    EXPECT_EQ(tgaPixel(h, 2), (std::vector<uint8_t>{255, 255, 255}));

    ASSERT_TRUE(exportNormalMapTga(dir + "n.tga"));
    std::vector<uint8_t> n = readAll(dir + "n.tga");
    EXPECT_EQ(tgaPixel(n, 0), (std::vector<uint8_t>{127, 127, 0})); // (-1, 0, 0)
    EXPECT_EQ(tgaPixel(n, 1), (std::vector<uint8_t>{255, 127, 127})); // (0, 0, 1): blue first

    // Below ground: the range still reaches 0, so -10 is not white.
    makeFlatTerrain(2, 1, -50.0f);
    heightAt(1, 0) = -10.0f;
    ASSERT_TRUE(exportHeightmapTga(dir + "h.tga"));
    EXPECT_EQ(tgaPixel(readAll(dir + "h.tga"), 1), (std::vector<uint8_t>{204, 204, 204}));
    // Flat at zero: every pixel 0.
    makeFlatTerrain(2, 2, 0.0f);
    ASSERT_TRUE(exportHeightmapTga(dir + "h.tga"));
    EXPECT_EQ(tgaPixel(readAll(dir + "h.tga"), 3), (std::vector<uint8_t>{0, 0, 0}));

    // Rows go bottom-up: grid row 0 first in the file; 65 x 65 is 12693 bytes.
    makeFlatTerrain(65, 65, 0.0f);
    heightAt(0, 64) = 10.0f;
    ASSERT_TRUE(exportHeightmapTga(dir + "big.tga"));
    std::vector<uint8_t> big = readAll(dir + "big.tga");
    ASSERT_EQ(big.size(), 12693u);
    EXPECT_EQ(big[12], 65);
    EXPECT_EQ(big[14], 65);
    EXPECT_EQ(tgaPixel(big, 64 * 65), (std::vector<uint8_t>{255, 255, 255}));
}

TEST_F(Export, DistributionAndFinalTexture)
{
    makeFlatTerrain(3, 3);
    Terrain& t = editor.terrain;
    t.distributionWidth = 4;
    t.distributionHeight = 2;
    t.distribution.assign(4 * 2 * 3, 0.3f);
    const float texel1[3] = {1.0f, 0.0f, 1.5f}, texel2[3] = {-0.2f, 0.5f, 0.999f};
    std::memcpy(&t.distribution[3], texel1, sizeof texel1);
    std::memcpy(&t.distribution[6], texel2, sizeof texel2);
    ASSERT_TRUE(exportDistributionTga(dir + "d.tga"));
    std::vector<uint8_t> d = readAll(dir + "d.tga");
    ASSERT_EQ(d.size(), 18u + 4 * 2 * 3);
    EXPECT_EQ(d[12], 4);
    EXPECT_EQ(d[14], 2);
    EXPECT_EQ(tgaPixel(d, 0), (std::vector<uint8_t>{76, 76, 76}));
    EXPECT_EQ(tgaPixel(d, 1), (std::vector<uint8_t>{255, 0, 255}));
    EXPECT_EQ(tgaPixel(d, 2), (std::vector<uint8_t>{254, 127, 0}));

    // Every slot empty: trunc(3 x 76.5) everywhere.
    t.distribution.assign(4 * 2 * 3, 0.3f);
    ASSERT_TRUE(exportFinalTextureTga(dir + "f.tga"));
    std::vector<uint8_t> f = readAll(dir + "f.tga");
    ASSERT_EQ(f.size(), 18u + 24);
    for (size_t i = 18; i < f.size(); ++i)
        ASSERT_EQ(f[i], 229) << i;

    // Slot 0: a 2 x 1 image (red 100 then red 200, top-first); slot 1: an
    // unreadable file (counts as white); slot 2 empty.
    std::vector<uint8_t> image = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0x20};
    for (uint8_t b : {10, 20, 100, 30, 40, 200})
        image.push_back(b);
    writeAll(dir + "sand.tga", image);
    editor.textureCache.push_back({0, dir + "sand.tga"});
    editor.textureCache.push_back({0, dir + "gone.tga"});
    editor.groundTextures = {0, 1, kNoTexture};
    for (size_t i = 0; i < t.distribution.size(); i += 3) {
        t.distribution[i] = 1.0f;
        t.distribution[i + 1] = 0.5f;
        t.distribution[i + 2] = 0.0f;
    }
    testing::internal::CaptureStderr();
    ASSERT_TRUE(exportFinalTextureTga(dir + "f.tga"));
    testing::internal::GetCapturedStderr();
    f = readAll(dir + "f.tga");
    // Column 0: (100, 20, 10) + 127.5 capped; column 1: (200, 40, 30) + 127.5.
    EXPECT_EQ(tgaPixel(f, 0), (std::vector<uint8_t>{137, 147, 227}));
    EXPECT_EQ(tgaPixel(f, 1), (std::vector<uint8_t>{157, 167, 255}));
    EXPECT_EQ(tgaPixel(f, 2), tgaPixel(f, 0)); // the 2-pixel image repeats
    EXPECT_EQ(tgaPixel(f, 5), tgaPixel(f, 1)); // and its single row too
}

TEST_F(Export, FailedWritesKeepExistingFilesAndReport)
{
    makeFlatTerrain(3, 3);
    editor.terrain.distributionWidth = editor.terrain.distributionHeight = 2;
    editor.terrain.distribution.assign(12, 0.5f);
    writeAll(dir + "level.map", {'o', 'l', 'd'});
    mkdir((dir + "sub.obj").c_str(), 0777);
    using ExportFunction = bool (*)(const std::string&);
    const ExportFunction exports[] = {exportQ1Map, exportQ3Map, exportObj, exportHeightmapTga,
                                      exportDistributionTga, exportFinalTextureTga, exportNormalMapTga};
    for (ExportFunction run : exports) {
        const std::string missing = dir + "no/dir/level.map";
        EXPECT_FALSE(run(missing));
        EXPECT_EQ(editor.statusMessage, "Cannot write " + missing);
        EXPECT_FALSE(run(dir + "sub.obj"));
        EXPECT_EQ(editor.statusMessage, "Cannot write " + dir + "sub.obj");
    }
    EXPECT_EQ(readAll(dir + "level.map"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"level.map", "sub.obj"}));
}
