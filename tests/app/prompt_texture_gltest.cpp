#include "app/prompt.h"

#include "app/editor_state.h"
#include "render/textures.h"
#include "support/gl_context.h"

#include <cstring>

using PromptTexture = GlContextTest;

TEST_F(PromptTexture, ImportIntoAGroundSlotSetsTheChooserIcon)
{
    editor.textureButtons = {20, 21, 22};
    togglePrompt(1);
    editor.textureSlot = 1;
    std::strcpy(editor.promptText, "data/textures/snow1.tga");
    promptKey(kKeyReturn);
    const uint32_t texture = textureName(editor.groundTextures[1]); // 0 when the slot stayed empty
    EXPECT_NE(texture, 0u);
    EXPECT_EQ(editor.buttons[21].icon, texture);
}
