// Saving and loading a document the way a user does: the button, a typed
// name, Enter.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/editor_state.h"
#include "support/session.h"

namespace {

class DocumentSession : public SessionTest {};

void typeText(const std::string& text)
{
    for (char c : text) {
        if (c == '/') pressKey(SDLK_SLASH);
        else if (c == '.') pressKey(SDLK_PERIOD);
        else if (c == '_') pressKey(SDLK_MINUS, KMOD_LSHIFT);
        else if (c == '-') pressKey(SDLK_MINUS);
        else if (c >= 'a' && c <= 'z') pressKey(SDLK_a + (c - 'a'));
        else if (c >= 'A' && c <= 'Z') pressKey(SDLK_a + (c - 'A'), KMOD_LSHIFT);
        else if (c >= '0' && c <= '9') pressKey(SDLK_0 + (c - '0'));
    }
}

void clickFileButton(int kind)
{
    const Button& b = editor.buttons[size_t(editor.fileButtons[size_t(kind - 1)])];
    clickAt(int(b.x1) + 10, int(b.y1) + 10);
}

TEST_F(DocumentSession, SaveThroughThePromptThenLoadItBack)
{
    char dir[] = "/tmp/brivel-session-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string base = std::string(dir) + "/valley";

    editor.terrain.vertices[300].position[2] = 321.0f;
    clickFileButton(3);
    ASSERT_EQ(editor.promptKind, 3);
    EXPECT_EQ(editor.buttons[size_t(editor.fileButtons[2])].r, 1.0f) << "the open prompt's button is lit";
    typeText(base);
    ASSERT_EQ(std::string(editor.promptText), base);
    pressKey(SDLK_RETURN);
    EXPECT_EQ(editor.promptKind, 0);
    std::FILE* saved = std::fopen((base + ".bvt").c_str(), "rb");
    ASSERT_NE(saved, nullptr) << "valley becomes valley.bvt";
    std::fseek(saved, 0, SEEK_END);
    EXPECT_EQ(std::ftell(saved), 12684340L);
    std::fclose(saved);

    editor.terrain.vertices[300].position[2] = 0.0f;
    clickFileButton(2);
    ASSERT_EQ(editor.promptKind, 2);
    typeText(base);
    pressKey(SDLK_KP_ENTER);
    EXPECT_EQ(editor.promptKind, 0);
    EXPECT_EQ(editor.terrain.vertices[300].position[2], 321.0f) << "loading valley opens valley.bvt";
    std::remove((base + ".bvt").c_str());
    rmdir(dir);
}

TEST_F(DocumentSession, TypedNameAppearsInThePromptAndEscapeCancels)
{
    clickFileButton(5);
    ASSERT_EQ(editor.promptKind, 5);
    typeText("level");
    EXPECT_STREQ(editor.promptText, "level");
    pressKey(SDLK_w); // typed, the camera does not fly
    EXPECT_STREQ(editor.promptText, "levelw");
    pressKey(SDLK_F7);
    EXPECT_EQ(editor.exportFormat, 2);
    stepFrames(1);
    // The prompt box: a grey panel at the bottom right above the file buttons.
    const auto box = pixelAt(800 - 100, 600 - 100);
    EXPECT_NEAR(box[0], box[1], 8);
    EXPECT_GT(box[0], 90);
    pressKey(SDLK_ESCAPE);
    EXPECT_EQ(editor.promptKind, 0);
    EXPECT_STREQ(editor.promptText, "");
    EXPECT_FALSE(editor.quitRequested);
}

} // namespace
