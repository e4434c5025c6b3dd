#include "app/prompt.h"

#include "app/editor_state.h"
#include "render/textures.h"
#include "support/gl_context.h"

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(PromptTexture, AFifoNamedAsTextureOrSkyIsRefusedWithoutWaiting)
{
    const std::string fifo = testing::TempDir() + "brivel-fifo-" + std::to_string(getpid());
    ASSERT_EQ(mkfifo((fifo + ".tga").c_str(), 0600), 0);
    const struct { int slot; std::string name; } cases[] = {{0, fifo + ".tga"}, {kTextureSlotSky, fifo}};
    for (const auto& c : cases) {
        togglePrompt(kPromptTexture);
        editor.textureSlot = c.slot;
        std::strcpy(editor.promptText, c.name.c_str());
        promptKey(kKeyReturn);
        EXPECT_EQ(editor.statusMessage, "Not a regular file: " + fifo + ".tga");
    }
    EXPECT_EQ(textureName(editor.groundTextures[0]), 0u);
    unlink((fifo + ".tga").c_str());
}
