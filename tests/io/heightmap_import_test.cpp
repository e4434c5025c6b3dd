#include "io/heightmap_import.h"

#include "app/editor_state.h"
#include "io_test_files.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

#include <cstring>

namespace {

std::vector<uint8_t> bytesOf(const std::string& header, const std::vector<uint8_t>& samples)
{
    std::vector<uint8_t> out(header.begin(), header.end());
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

bool importBytes(const std::vector<uint8_t>& bytes) { return importPgmFromBytes(bytes.data(), bytes.size()); }

float z(int c, int r) { return editor.terrain.vertices[size_t(r) * editor.terrain.gridX + c].position[2]; }

// Grid before an import, with one undo entry, to prove a refusal keeps both.
void prepareOldTerrain()
{
    makeFlatTerrain(6, 5, 77.0f, 10.0f);
    editor.terrain.heightScale = 510.0f;
    pushWholeGridSnapshot(kUndoPositions);
}

void expectOldTerrain(const char* what)
{
    EXPECT_EQ(editor.terrain.gridX, 6) << what;
    EXPECT_EQ(editor.terrain.gridY, 5) << what;
    EXPECT_EQ(editor.terrain.vertices.size(), 30u) << what;
    EXPECT_EQ(z(5, 4), 77.0f) << what;
    EXPECT_EQ(undoCount(), 1) << what;
    EXPECT_EQ(editor.terrain.distribution[0], 0.3f) << what;
}

void expectImportedState()
{
    EXPECT_EQ(undoCount(), 0);
    EXPECT_EQ(editor.terrain.distributionWidth, 1024);
    EXPECT_EQ(editor.terrain.distribution.size(), size_t(1024 * 1024 * 3));
    EXPECT_EQ(editor.terrain.distribution[12345], 0.33333334f);
    EXPECT_EQ(editor.camera.position[2], 510.0f + 25.0f);
    EXPECT_EQ(editor.camera.angles[kPitch], 45.0f);
    EXPECT_EQ(editor.camera.angles[kYaw], 45.0f);
    EXPECT_EQ(editor.hoverIndex, 0);
    EXPECT_EQ(editor.terrain.indices.size(), size_t(editor.terrain.gridX - 1) * (editor.terrain.gridY - 1) * 6);
}

using HeightmapImport = ScratchTest;

} // namespace

TEST_F(HeightmapImport, PgmHeadersInNetpbmForms)
{
    // 4 x 3 samples: row i, byte k = 10 i + k (row 0 first), except one 255.
    std::vector<uint8_t> samples = {0, 1, 2, 3, 10, 11, 12, 13, 20, 21, 22, 255};
    const char* headers[] = {
        "P5\n# made by hand\n4 3\n255\n",
        "P5\n4 3\n255\n",
        "P5 4 3 255 ",
        "P5\n# one\n# two\n4 # width\n#three\n 3\n255\t",
        "P5\n4\n3\n100\n", // maxval below 255 still scales by 1/255
        "P5\r\n4 3\r\n255\n",
    };
    for (const char* header : headers) {
        prepareOldTerrain();
        ASSERT_TRUE(importBytes(bytesOf(header, samples))) << header;
        ASSERT_EQ(editor.terrain.gridX, 4) << header;
        ASSERT_EQ(editor.terrain.gridY, 3) << header;
        // The first byte lands at column 3 of row 0: the image is mirrored.
        EXPECT_EQ(z(3, 0), 0.0f) << header;
        EXPECT_EQ(z(0, 0), 3.0f / 255.0f * 510.0f) << header;
        EXPECT_EQ(z(2, 1), 11.0f / 255.0f * 510.0f) << header;
        EXPECT_EQ(z(0, 2), 510.0f) << header;
        const float* corner = editor.terrain.vertices[3].position;
        EXPECT_EQ(corner[0], 30.0f) << header;
        EXPECT_EQ(editor.terrain.vertices[4 * 2 + 1].position[1], 20.0f) << header;
        expectImportedState();
    }
}

TEST_F(HeightmapImport, SixteenBitPgmKeepsItsPrecision)
{
    prepareOldTerrain();
    // 2 x 1, maxval 1000: big-endian 1000 and 1.
    ASSERT_TRUE(importBytes(bytesOf("P5\n2 1\n1000\n", {0x03, 0xE8, 0x00, 0x01})));
    EXPECT_EQ(z(1, 0), 510.0f);
    EXPECT_EQ(z(0, 0), 1.0f / 1000.0f * 510.0f);
}

TEST_F(HeightmapImport, RefusedPgmFilesChangeNothing)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool badSize; // prints the size message on standard output
    } cases[] = {
        {"size 0 10", bytesOf("P5\n# c\n0 10\n255\n", std::vector<uint8_t>(10, 1)), true},
        {"width over 4097", bytesOf("P5\n4098 1\n255\n", std::vector<uint8_t>(4098, 1)), true},
        {"negative width", bytesOf("P5\n-4 1\n255\n", std::vector<uint8_t>(4, 1)), true},
        {"missing height", bytesOf("P5\n4\n", {}), true},
        {"short data", bytesOf("P5\n4 3\n255\n", std::vector<uint8_t>(11, 1)), false},
        {"short 16-bit data", bytesOf("P5\n2 1\n65535\n", {1, 2, 3}), false},
        {"ASCII grey map", bytesOf("P2\n2 1\n255\n", {'1', ' ', '2'}), false},
        {"no magic", bytesOf("4 3\n255\n", std::vector<uint8_t>(12, 1)), false},
        {"maxval 0", bytesOf("P5\n1 1\n0\n", {0}), false},
        {"maxval too big", bytesOf("P5\n1 1\n65536\n", {0, 0}), false},
        {"no byte after maxval", bytesOf("P5\n1 1\n255", {}), false},
        {"empty", {}, false},
    };
    for (const auto& c : cases) {
        prepareOldTerrain();
        editor.statusMessage.clear();
        testing::internal::CaptureStdout();
        EXPECT_FALSE(importBytes(c.bytes)) << c.name;
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, c.badSize ? "Bad width/height read.\n" : "") << c.name;
        EXPECT_FALSE(editor.statusMessage.empty()) << c.name;
        expectOldTerrain(c.name);
    }
    prepareOldTerrain();
    EXPECT_FALSE(importPgmHeightmap(dir + "missing.pgm"));
    EXPECT_EQ(editor.statusMessage, "Cannot open " + dir + "missing.pgm");
    expectOldTerrain("missing file");
}

TEST_F(HeightmapImport, PgmFileOnDisk)
{
    const std::string path = dir + "hill.pgm";
    writeAll(path, bytesOf("P5\n# GIMP\n3 2\n255\n", {0, 51, 255, 102, 0, 0}));
    prepareOldTerrain();
    ASSERT_TRUE(importPgmHeightmap(path));
    EXPECT_EQ(z(0, 0), 510.0f);
    EXPECT_EQ(z(1, 0), 51.0f / 255.0f * 510.0f);
    EXPECT_EQ(z(2, 1), 102.0f / 255.0f * 510.0f);
}

TEST_F(HeightmapImport, TgaUsesTheRedChannelMirrored)
{
    // 3 x 2, 32 bits, top-left origin; B, G, R, A per pixel, red = 10 r + c.
    std::vector<uint8_t> file(18, 0);
    file[2] = 2;
    file[12] = 3;
    file[14] = 2;
    file[16] = 32;
    file[17] = 0x20;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            for (uint8_t b : {uint8_t(200), uint8_t(201), uint8_t(10 * r + c), uint8_t(255)})
                file.push_back(b);
    const std::string path = dir + "hill.tga";
    writeAll(path, file);
    prepareOldTerrain();
    ASSERT_TRUE(importTgaHeightmap(path));
    ASSERT_EQ(editor.terrain.gridX, 3);
    ASSERT_EQ(editor.terrain.gridY, 2);
    EXPECT_EQ(z(0, 0), 2.0f / 255.0f * 510.0f);
    EXPECT_EQ(z(2, 0), 0.0f);
    EXPECT_EQ(z(0, 1), 12.0f / 255.0f * 510.0f);
    EXPECT_EQ(editor.terrain.vertices[2].position[0], 20.0f);
    expectImportedState();

    // A refused image: its reader's message, a status line, nothing changed.
    writeAll(path, std::vector<uint8_t>(15, 0));
    prepareOldTerrain();
    EXPECT_FALSE(importTgaHeightmap(path));
    EXPECT_EQ(editor.statusMessage, "Cannot read image " + path);
    expectOldTerrain("bad tga");
}
