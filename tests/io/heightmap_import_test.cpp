#include "io/heightmap_import.h"

#include "io_test_files.h"

static Bytes pgm(std::string header, const Bytes& samples)
{
    header.append(samples.begin(), samples.end());
    return Bytes(header.begin(), header.end());
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
    return path.ends_with(".tga") ? importTgaHeightmap(path) : importPgmHeightmap(path);
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
    const struct { const char* name; Bytes bytes; bool badSize; } cases[] = { // badSize: says so on stdout
        {"0-10.pgm", pgm("P5\n# c\n0 10\n255\n", Bytes(10, 1)), true}, {"no-height.pgm", pgm("P5\n4\n", {}), true},
        {"wide.pgm", pgm("P5\n4098 1\n255\n", Bytes(4098, 1)), true}, {"-4.pgm", pgm("P5\n-4 1\n255\n", {1}), true},
        {"short.pgm", pgm("P5\n4 3\n255\n", Bytes(11, 1)), false}, {"ascii.pgm", pgm("P2\n1 1\n255\n", {'1'}), false},
        {"short-16.pgm", pgm("P5\n2 1\n65535\n", {1, 2, 3}), false}, {"max-0.pgm", pgm("P5\n1 1\n0\n", {0}), false},
        {"max-65536.pgm", pgm("P5\n1 1\n65536\n", {0, 0}), false}, {"empty.pgm", {}, false},
        {"15-bytes.tga", Bytes(15, 0), false},
    };
    for (const auto& [name, file, badSize] : cases) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(import(dir + name, file)) << name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), badSize ? "Bad width/height read.\n" : "") << name;
        EXPECT_FALSE(editor.statusMessage.empty()) << name;
        EXPECT_EQ(std::tuple(editor.terrain.vertices.size(), z(5, 4), undoCount()), std::tuple(30u, 77.0f, 1)) << name;
    }
}
