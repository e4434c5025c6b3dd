#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/editor_state.h"
#include "sculpt/stamps.h"

namespace {

namespace fs = std::filesystem;

// A 2 x 2 uncompressed true-colour TGA, rows stored bottom first as usual.
// `rgb` holds the top-left, top-right, bottom-left, bottom-right pixels.
void writeStamp(const fs::path& path, int bits, const std::vector<std::array<uint8_t, 3>>& rgb)
{
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = 2;
    bytes[14] = 2;
    bytes[16] = uint8_t(bits);
    bytes[17] = bits == 32 ? 8 : 0;
    for (int fileRow = 0; fileRow < 2; ++fileRow) {
        const int imageRow = 1 - fileRow;
        for (int x = 0; x < 2; ++x) {
            const auto& p = rgb[size_t(imageRow * 2 + x)];
            bytes.insert(bytes.end(), {p[2], p[1], p[0]});
            if (bits == 32) bytes.push_back(255);
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    ASSERT_EQ(std::fclose(f), 0);
}

class StampLoadingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetEditorState();
        dir = fs::temp_directory_path() / ("brivel_stamps_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

const std::vector<std::array<uint8_t, 3>> kGrey = {{0, 0, 0}, {51, 51, 51}, {204, 204, 204}, {255, 255, 255}};

TEST_F(StampLoadingTest, AGapInTheNumberingEndsTheList)
{
    writeStamp(dir / "1.tga", 24, kGrey);
    writeStamp(dir / "2.tga", 32, kGrey);
    writeStamp(dir / "4.tga", 24, kGrey);
    loadBrushStampsFrom(dir.string());
    ASSERT_EQ(editor.stamps.size(), 2u);
    EXPECT_EQ(editor.currentStamp, 0);
    EXPECT_EQ(editor.stamps[0].previous, -1);
    EXPECT_EQ(editor.stamps[0].next, 1);
    EXPECT_EQ(editor.stamps[1].previous, 0);
    EXPECT_EQ(editor.stamps[1].next, -1);

    // Reloading after a release gives the same stamps once each.
    selectNextStamp();
    releaseBrushStamps();
    loadBrushStampsFrom(dir.string());
    EXPECT_EQ(editor.stamps.size(), 2u);
    EXPECT_EQ(editor.currentStamp, 0);
}

TEST_F(StampLoadingTest, MaskIsTheRedChannelTopRowFirstWhateverTheDepth)
{
    writeStamp(dir / "1.tga", 24, kGrey);
    writeStamp(dir / "2.tga", 32, kGrey);
    // Colour: only red counts.
    writeStamp(dir / "3.tga", 24, {{0, 255, 255}, {51, 0, 0}, {204, 9, 9}, {255, 0, 0}});
    loadBrushStampsFrom(dir.string());
    ASSERT_EQ(editor.stamps.size(), 3u);
    const std::vector<float> expected = {0.0f, float(51 / 255.0), float(204 / 255.0), 1.0f};
    for (const BrushStamp& stamp : editor.stamps) {
        EXPECT_EQ(stamp.width, 2);
        EXPECT_EQ(stamp.height, 2);
        EXPECT_EQ(stamp.mask, expected);
        EXPECT_EQ(stamp.texture, 0u) << "no GL context: no preview";
    }
}

TEST_F(StampLoadingTest, NoStampFileLeavesTheListEmpty)
{
    loadBrushStampsFrom(dir.string());
    EXPECT_TRUE(editor.stamps.empty());
    EXPECT_EQ(editor.currentStamp, -1);
    selectNextStamp();
    selectPreviousStamp();
    EXPECT_EQ(editor.currentStamp, -1);
}

} // namespace
