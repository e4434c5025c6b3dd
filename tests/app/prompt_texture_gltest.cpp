#include "app/prompt.h"

#include "app/editor_state.h"
#include "render/textures.h"
#include "support/gl_context.h"

#include <cstring>

namespace {

class PromptTexture : public GlContextTest {};

void importTexture(int slot, const char* name)
{
    togglePrompt(1);
    editor.textureSlot = slot;
    std::strcpy(editor.promptText, name);
    promptKey(kKeyReturn);
}

} // namespace

TEST_F(PromptTexture, FillsTheSlotAndTheChooserIcon)
{
    editor.textureButtons = {20, 21, 22};
    importTexture(1, "data/textures/snow1.tga");
    const int32_t record = editor.groundTextures[1];
    ASSERT_GE(record, 0);
    EXPECT_EQ(editor.textureCache[size_t(record)].name, "data/textures/snow1.tga");
    EXPECT_NE(textureName(record), 0u);
    EXPECT_EQ(editor.buttons[21].icon, textureName(record));
    EXPECT_EQ(editor.loadMipmapped, 0);
    EXPECT_EQ(editor.promptKind, 0);
    EXPECT_EQ(editor.groundTextures[0], kNoTexture);

    // The same name again reuses the cached record.
    const size_t cached = editor.textureCache.size();
    importTexture(0, "data/textures/snow1.tga");
    EXPECT_EQ(editor.groundTextures[0], record);
    EXPECT_EQ(editor.textureCache.size(), cached);

    // An empty or unreadable name still fills the slot, untextured, and is reported.
    testing::internal::CaptureStderr();
    importTexture(2, "");
    testing::internal::GetCapturedStderr();
    ASSERT_GE(editor.groundTextures[2], 0);
    EXPECT_EQ(textureName(editor.groundTextures[2]), 0u);
    EXPECT_EQ(editor.buttons[22].icon, 0u);
    EXPECT_EQ(editor.statusMessage, "Cannot read texture ");
}

TEST_F(PromptTexture, SlotFourLoadsASkySet)
{
    importTexture(3, "data/sky/default");
    EXPECT_EQ(editor.groundTextures[0], kNoTexture);
    EXPECT_NE(textureName(editor.skyTextures[0]), 0u);
}

TEST_F(PromptTexture, UnreadableSkySetIsReported)
{
    testing::internal::CaptureStderr();
    importTexture(3, "no/such/sky");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(editor.statusMessage, "Cannot read sky set no/such/sky");
    EXPECT_NE(err.find("Cannot read sky set no/such/sky"), std::string::npos);
}
