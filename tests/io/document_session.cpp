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

// Types a name made of letters, digits, '/', '.' and '-'.
void typeText(const std::string& text)
{
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') pressKey(SDLK_a + (c - 'A'), KMOD_LSHIFT);
        else pressKey(c); // SDL's key symbols for these are their ASCII codes
    }
}

// Clicks the file button of prompt kind `kind` and checks that it opened.
void openPrompt(int kind)
{
    const Button& b = editor.buttons[size_t(editor.fileButtons[size_t(kind - 1)])];
    clickAt(int(b.x1) + 10, int(b.y1) + 10);
    ASSERT_EQ(editor.promptKind, kind);
}

TEST_F(DocumentSession, SaveThroughThePromptThenLoadItBack)
{
    char dir[] = "/tmp/brivel-session-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string base = std::string(dir) + "/valley";

    editor.terrain.vertices[300].position[2] = 321.0f;
    openPrompt(3);
    EXPECT_EQ(editor.buttons[size_t(editor.fileButtons[2])].r, 1.0f) << "the open prompt's button is lit";
    typeText(base);
    ASSERT_EQ(std::string(editor.promptText), base);
    pressKey(SDLK_RETURN);
    EXPECT_EQ(editor.promptKind, 0);
    ASSERT_EQ(access((base + ".bvt").c_str(), F_OK), 0) << "valley becomes valley.bvt";

    editor.terrain.vertices[300].position[2] = 0.0f;
    openPrompt(2);
    typeText(base);
    pressKey(SDLK_KP_ENTER);
    EXPECT_EQ(editor.promptKind, 0);
    EXPECT_EQ(editor.terrain.vertices[300].position[2], 321.0f) << "loading valley opens valley.bvt";
    std::remove((base + ".bvt").c_str());
    rmdir(dir);
}

} // namespace
