#include "app/prompt.h"

#include "app/editor_state.h"
#include "../io/io_test_files.h"
#include "sculpt/stroke.h"
#include "support/terrain_fixtures.h"

#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int kF6 = kKeyF5 + 1, kF7 = kKeyF5 + 2, kF8 = kKeyF5 + 3;

// Presses the keys that type `text`, holding Shift where a character needs it.
void type(const std::string& text)
{
    for (char c : text) {
        const bool shifted = (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
        const int sym = c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c == '_' ? '-' : c == ':' ? ';' : c;
        editor.modState = shifted ? 0x0001 : 0;
        promptKey(sym);
    }
    editor.modState = 0;
}

class Prompt : public ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        makeFlatTerrain(3, 3);
        editor.terrain.distributionWidth = editor.terrain.distributionHeight = 2;
        editor.terrain.distribution.assign(12, 0.5f);
        // File buttons in palette slots 10..14 for prompt kinds 1..5.
        for (int k = 0; k < 5; ++k)
            editor.fileButtons[size_t(k)] = 10 + k;
    }
    // Opens `kind`, types `name` (a path inside the scratch dir) and presses Enter.
    void run(int kind, const std::string& name)
    {
        togglePrompt(kind);
        type(name);
        promptKey(kKeyReturn);
    }
};

} // namespace

TEST(PromptKeys, KeyToCharTable)
{
    struct Case {
        int sym;
        uint32_t mod;
        int expected;
    } cases[] = {
        {'m', 0, 'm'},      {'m', 0x0001, 'M'}, {'z', 0x0002, 'Z'}, {'a', 0x0040, 'a'}, // Ctrl is not Shift
        {'7', 0x0001, '7'}, {'.', 0x0003, '.'}, {'/', 0, '/'},      {' ', 0, ' '},
        {'-', 0, '-'},      {'-', 0x0001, '_'}, {';', 0, ';'},      {';', 0x0002, ':'},
        {'\\', 0, 0},       {'=', 0, 0},        {8, 0, 0},          {13, 0, 0},
        {kKeyF5, 0, 0},     {'A', 0, 0},        {256 + 'a', 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keyToChar(c.sym, c.mod), c.expected) << c.sym << " mod " << c.mod;
}

TEST_F(Prompt, TypingShiftBackspaceAndTheLengthLimit)
{
    togglePrompt(3);
    editor.modState = 0x0001;
    promptKey('m');
    editor.modState = 0;
    type("ap1");
    editor.modState = 0x0002;
    promptKey('-');
    promptKey(';');
    editor.modState = 0;
    EXPECT_STREQ(editor.promptText, "Map1_:");
    type("\\=");
    EXPECT_STREQ(editor.promptText, "Map1_:");

    togglePrompt(2); // switching kinds empties the text
    EXPECT_STREQ(editor.promptText, "");
    promptKey(kKeyBackspace);
    EXPECT_STREQ(editor.promptText, "");
    type(std::string(94, 'a'));
    promptKey('b');
    EXPECT_EQ(std::strlen(editor.promptText), 94u);
    EXPECT_EQ(editor.promptText[93], 'a');
    promptKey(kKeyBackspace);
    promptKey('c');
    EXPECT_EQ(editor.promptText[93], 'c');
    EXPECT_EQ(editor.promptKind, 2);
}

TEST_F(Prompt, ButtonTintsFollowTheOpenPrompt)
{
    auto tint = [](int kind) {
        const Button& b = editor.buttons[size_t(9 + kind)];
        return std::vector<float>{b.r, b.g, b.b};
    };
    const std::vector<float> lit = {1, 1, 0}, dim = {0.5f, 0.5f, 0};
    togglePrompt(5);
    EXPECT_EQ(editor.promptKind, 5);
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(tint(k), k == 5 ? lit : dim) << k;
    togglePrompt(2);
    EXPECT_EQ(tint(2), lit);
    EXPECT_EQ(tint(5), dim);
    togglePrompt(2);
    EXPECT_EQ(editor.promptKind, 0);
    EXPECT_EQ(tint(2), dim);
    togglePrompt(4);
    type("x");
    promptKey(kKeyEscape);
    EXPECT_EQ(editor.promptKind, 0);
    EXPECT_STREQ(editor.promptText, "");
    EXPECT_EQ(tint(4), dim);
}

TEST_F(Prompt, FunctionKeysChooseFormatAndSlot)
{
    togglePrompt(5);
    promptKey(kF7);
    EXPECT_EQ(editor.exportFormat, 2);
    closePrompt();
    togglePrompt(5); // the format is kept between prompts
    EXPECT_EQ(editor.exportFormat, 2);
    const int formatKeys[][2] = {{kKeyF5, 0}, {kF6, 1}, {kF7, 2}, {kF8, 3}, {kKeyF10, 4}, {kKeyF11, 5}, {kKeyF9, 6}};
    for (const auto& fk : formatKeys) {
        promptKey(fk[0]);
        EXPECT_EQ(editor.exportFormat, fk[1]) << fk[0];
    }
    togglePrompt(1);
    editor.exportFormat = 0;
    promptKey(kF8);
    EXPECT_EQ(editor.textureSlot, 3);
    EXPECT_EQ(editor.exportFormat, 0);
    promptKey(kKeyF9); // F9 in the texture prompt still picks an export format
    EXPECT_EQ(editor.textureSlot, 3);
    EXPECT_EQ(editor.exportFormat, 6);
    promptKey(kF6);
    EXPECT_EQ(editor.textureSlot, 1);
    EXPECT_EQ(editor.promptKind, 1);
}

TEST_F(Prompt, SaveAndLoadExtensions)
{
    run(3, dir + "valley");
    EXPECT_EQ(editor.promptKind, 0);
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"valley.bvt"}));
    EXPECT_EQ(editor.statusMessage, "Saved " + dir + "valley.bvt");

    run(3, dir + "terrain.old"); // saves as terrain.old.bvt
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"terrain.old.bvt", "valley.bvt"}));

    makeFlatTerrain(5, 4);
    run(2, dir + "valley"); // loading "valley" opens valley.bvt
    EXPECT_EQ(editor.terrain.gridX, 3);

    makeFlatTerrain(5, 4);
    run(2, dir + "terrain.old"); // any dot: loaded as typed, which does not exist
    EXPECT_EQ(editor.terrain.gridX, 5);
    EXPECT_EQ(editor.statusMessage, "Cannot open " + dir + "terrain.old");
    EXPECT_EQ(editor.promptKind, 0);

    // A name that leaves no room for ".bvt" is saved as typed.
    togglePrompt(3);
    std::strcpy(editor.promptText, (dir + std::string(92 - dir.size(), 'n')).c_str());
    promptKey(kKeyReturn);
    EXPECT_EQ(listDir(dir).size(), 3u);
    EXPECT_EQ(access((dir + std::string(92 - dir.size(), 'n')).c_str(), F_OK), 0);
}

TEST_F(Prompt, LoadingWhileAStrokeIsHeldEndsTheStrokeFirst)
{
    run(3, dir + "same");
    editor.currentOp = 1;
    beginStroke(); // left button held while Enter is pressed
    run(2, dir + "same");
    EXPECT_FALSE(editor.hasVertexSnapshot) << "no stroke snapshot survives the new document";
    EXPECT_EQ(editor.strokeActive, 0);
    EXPECT_TRUE(editor.undoStack.undoList.empty()) << "the old stroke's entry is not in the new history";
}

TEST_F(Prompt, ExportExtensionsAndFormats)
{
    togglePrompt(5);
    promptKey(kF7);
    type(dir + "level");
    promptKey(kKeyReturn);
    run(5, dir + "level.map.bak");
    run(5, dir + "level.map.bak"); // replaced, not doubled
    const std::string objName = dir + "model";
    togglePrompt(5);
    promptKey(kKeyF5);
    type(objName);
    promptKey(kKeyReturn);
    togglePrompt(5);
    promptKey(kKeyF11);
    type(dir + "final");
    promptKey(kKeyReturn);
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"final.tga", "level.map", "level.map.bak", "model.obj"}));
    EXPECT_EQ(readText(dir + "level.map").substr(0, 12), "// entity 0\n");
    EXPECT_EQ(readAll(dir + "final.tga").size(), 18u + 2 * 2 * 3);

    // No terrain: nothing is written.
    editor.terrain.vertices.clear();
    run(5, dir + "empty");
    EXPECT_EQ(listDir(dir).size(), 4u);
    EXPECT_EQ(editor.statusMessage, "No terrain to export");
}

TEST_F(Prompt, HeightmapImportChoosesByName)
{
    writeAll(dir + "h.pgm", {'P', '5', '\n', '2', ' ', '2', '\n', '2', '5', '5', '\n', 1, 2, 3, 4});
    run(4, dir + "h.pgm");
    EXPECT_EQ(editor.terrain.gridX, 2);
    makeFlatTerrain(3, 3);
    run(4, "");
    EXPECT_EQ(editor.terrain.gridX, 3);
    EXPECT_EQ(editor.promptKind, 0);
    run(4, dir + "h.png");
    EXPECT_EQ(editor.terrain.gridX, 3);
    EXPECT_EQ(editor.statusMessage, "Height maps are .tga or .pgm files: " + dir + "h.png");
}
