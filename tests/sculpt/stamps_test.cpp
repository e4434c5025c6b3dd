#include <gtest/gtest.h>

#include "app/editor_state.h"
#include "sculpt/stamps.h"

namespace {

// n linked stamps of 1 x 1 whose mask value is their index.
void makeStamps(int n)
{
    resetEditorState();
    for (int i = 0; i < n; ++i) {
        BrushStamp stamp;
        stamp.width = stamp.height = 1;
        stamp.mask = {float(i)};
        stamp.previous = i - 1;
        stamp.next = i + 1 < n ? i + 1 : -1;
        editor.stamps.push_back(stamp);
    }
    editor.currentStamp = n > 0 ? 0 : -1;
}

TEST(BrushStamps, NextAndPreviousWrapAround)
{
    struct Case { int count; int start; int afterNext; int afterPrevious; } cases[] = {
        {3, 0, 1, 2}, {3, 2, 0, 1}, {3, 1, 2, 0}, {1, 0, 0, 0}, {0, -1, -1, -1},
        {3, -1, 0, 2}, // no selection yet: next starts at the first, previous at the last
    };
    for (const Case& c : cases) {
        makeStamps(c.count);
        editor.currentStamp = c.start;
        selectNextStamp();
        EXPECT_EQ(editor.currentStamp, c.afterNext) << c.count << " stamps from " << c.start;
        editor.currentStamp = c.start;
        selectPreviousStamp();
        EXPECT_EQ(editor.currentStamp, c.afterPrevious) << c.count << " stamps from " << c.start;
    }
}

TEST(BrushStamps, StrokesSampleTheCurrentStampOrAUniformOne)
{
    makeStamps(3);
    selectNextStamp();
    int width = 0, height = 0;
    const float* mask = currentStampMask(&width, &height);
    EXPECT_EQ(mask[0], 1.0f);

    releaseBrushStamps();
    EXPECT_TRUE(editor.stamps.empty());
    EXPECT_EQ(editor.currentStamp, -1);
    mask = currentStampMask(&width, &height);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 1);
    EXPECT_EQ(mask[0], 1.0f) << "no stamp: full strength everywhere";

    // A damaged record is never indexed past its mask.
    makeStamps(1);
    editor.stamps[0].width = 4;
    mask = currentStampMask(&width, &height);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(mask[0], 1.0f);
}

} // namespace
