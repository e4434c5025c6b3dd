#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "app/editor_state.h"
#include "sculpt/stamps.h"
#include "support/gl_context.h"

namespace {

class StampPreviewTest : public GlContextTest {};

// The shipped stamps load in order, each with a preview texture that holds
// the picture its mask came from.
TEST_F(StampPreviewTest, EveryShippedStampHasAMatchingPreview)
{
    loadBrushStamps();
    ASSERT_GE(editor.stamps.size(), 1u);
    EXPECT_EQ(editor.currentStamp, 0);
    for (const BrushStamp& stamp : editor.stamps) {
        ASSERT_NE(stamp.texture, 0u);
        std::vector<uint8_t> rgba(size_t(stamp.width) * size_t(stamp.height) * 4);
        glBindTexture(GL_TEXTURE_2D, stamp.texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        for (size_t i = 0; i < stamp.mask.size(); ++i) {
            ASSERT_EQ(stamp.mask[i], float(rgba[i * 4] / 255.0)) << "texel " << i;
        }
    }
    releaseBrushStamps();
    EXPECT_TRUE(editor.stamps.empty());
}

} // namespace
