#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/editor_state.h"
#include "../io/io_test_files.h"
#include "sculpt/stamps.h"

namespace {

using StampTest = ScratchTest;

// "<n>.tga": 2 x 2 uncompressed true colour, `pixels` as stored (BGR or BGRA,
// bottom row first); the descriptor gives 32-bit pixels their 8 alpha bits.
void writeStamp(const std::string& dir, int n, int bits, const Bytes& pixels)
{
    writeAll(dir + std::to_string(n) + ".tga", tga(2, 2, 2, bits, bits - 24, pixels));
}

TEST_F(StampTest, StampsLoadUpToTheFirstGapAndTheSelectionWraps)
{
    // None at all: strokes use a single full-strength texel.
    loadBrushStampsFrom(dir);
    selectNextStamp();
    selectPreviousStamp();
    EXPECT_EQ(std::make_pair(editor.stamps.size(), editor.currentStamp), std::make_pair(size_t(0), -1));
    int width = 0, height = 0;
    EXPECT_EQ(*currentStampMask(&width, &height), 1.0f);

    // Top row 0, 51; bottom row 204, 255 in every depth; only red counts.
    const std::vector<uint8_t> grey = {204, 204, 204, 255, 255, 255, 0, 0, 0, 51, 51, 51};
    writeStamp(dir, 1, 24, grey);
    writeStamp(dir, 2, 32, {204, 204, 204, 255, 255, 255, 255, 255, 0, 0, 0, 255, 51, 51, 51, 255});
    writeStamp(dir, 3, 24, {9, 9, 204, 0, 0, 255, 255, 255, 0, 0, 0, 51});
    writeStamp(dir, 5, 24, grey);
    for (int load = 0; load < 2; ++load) { // a reload after a release gives each stamp once
        releaseBrushStamps();
        testing::internal::CaptureStderr();
        loadBrushStampsFrom(dir);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the missing 4.tga is the list's normal end";
        ASSERT_EQ(editor.stamps.size(), 3u);
        EXPECT_EQ(editor.currentStamp, 0);
    }
    writeAll(dir + "4.tga", {0, 0, 2}); // there but unreadable: ends the list, and is reported
    releaseBrushStamps();
    testing::internal::CaptureStderr();
    loadBrushStampsFrom(dir);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("4.tga"), std::string::npos);
    EXPECT_EQ(editor.stamps.size(), 3u);
    for (const BrushStamp& stamp : editor.stamps) {
        EXPECT_EQ(std::make_pair(stamp.width, stamp.height), std::make_pair(2, 2));
        EXPECT_EQ(stamp.mask, std::vector<float>({0.0f, float(51 / 255.0), float(204 / 255.0), 1.0f}));
    }

    // Next and previous wrap around; with nothing selected they start at either end.
    auto step = [](int start, void (*select)()) { editor.currentStamp = start; select(); return editor.currentStamp; };
    struct Case { int start, afterNext, afterPrevious; } cases[] = {{0, 1, 2}, {2, 0, 1}, {1, 2, 0}, {-1, 0, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(step(c.start, selectNextStamp), c.afterNext) << c.start;
        EXPECT_EQ(step(c.start, selectPreviousStamp), c.afterPrevious) << c.start;
    }

    editor.stamps[0].width = 4; // a damaged record is never read past its mask
    editor.currentStamp = 0;
    EXPECT_EQ(*currentStampMask(&width, &height), 1.0f);
    EXPECT_EQ(width * height, 1);
}

} // namespace
