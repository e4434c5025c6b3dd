#include "app/prompt.h"

#include "../io/io_test_files.h"
#include "io/image_export.h"
#include "io/map_export.h"
#include "io/obj_export.h"
#include "sculpt/stroke.h"

#include <cstring>
#include <set>

// Opens prompt `kind`, presses `functionKey` (if any), enters `name` and presses Enter.
static void run(int kind, const std::string& name, int functionKey = 0)
{
    togglePrompt(kind);
    if (functionKey != 0)
        promptKey(functionKey);
    std::strcpy(editor.promptText, name.c_str());
    promptKey(kKeyReturn);
}

using Prompt = ScratchTest;

TEST_F(Prompt, TypingShiftBackspaceAndTheLengthLimit)
{
    togglePrompt(3);
    const std::pair<char, uint32_t> keys[] = {{'m', kModShift}, {'a', 0}, {'p', 0}, {'1', 0}, {'-', kModShift},
                                              {';', kModShift}, {'=', kModShift}, {'\\', 0}, {'=', 0}};
    for (auto [sym, mod] : keys) {
        editor.modState = mod;
        promptKey(sym);
    }
    EXPECT_STREQ(editor.promptText, "Map1_:"); // the last three keys type nothing
    togglePrompt(2); // another prompt starts empty
    promptKey(kKeyBackspace);
    EXPECT_STREQ(editor.promptText, "");
    for (int i = 0; i < 95; ++i)
        promptKey('a');
    EXPECT_EQ(std::string(editor.promptText), std::string(94, 'a'));
}

TEST_F(Prompt, F9PicksAnExportFormatEvenInTheTexturePrompt)
{
    togglePrompt(1);
    promptKey(kKeyF5 + 3); // F8: slot 3
    promptKey(kKeyF9);
    EXPECT_EQ(std::pair(editor.textureSlot, editor.exportFormat), std::pair(3, 6));
}

TEST_F(Prompt, EnterAddsTheMissingExtensionAndTheFormatIsKept)
{
    makeFlatTerrain(3, 3);
    run(3, dir + "valley");
    EXPECT_EQ(editor.statusMessage, "Saved " + dir + "valley.bvt");
    makeFlatTerrain(5, 4);
    run(2, dir + "valley");
    EXPECT_EQ(editor.terrain.gridX, 3);
    run(5, dir + "level", kKeyF5 + 2); // F7: format 2
    run(5, dir + "level.map.bak"); // still format 2 (or it would end in ".obj"); holds ".map": kept
    EXPECT_EQ(listDir(dir), (Names{"level.map", "level.map.bak", "valley.bvt"}));
    EXPECT_NE(readAll<std::string>(dir + "level.map").find(" NULL 0 0 0 1 1\n"), std::string::npos); // Q1 dialect
}

TEST_F(Prompt, LoadingWhileAStrokeIsHeldEndsTheStrokeFirst)
{
    makeFlatTerrain(3, 3);
    run(3, dir + "same");
    editor.currentOp = 1;
    beginStroke(); // left button held while Enter is pressed
    run(2, dir + "same");
    EXPECT_FALSE(editor.hasVertexSnapshot) << "no stroke snapshot survives the new document";
    EXPECT_EQ(editor.strokeActive, 0);
    EXPECT_TRUE(editor.undoStack.undoList.empty()) << "the old stroke's entry is not in the new history";
}

TEST_F(Prompt, EachFunctionKeyExportsItsOwnFormat)
{
    makeFlatTerrain(5, 4);
    addRelief();
    for (size_t i = 0; i < editor.terrain.distribution.size(); ++i)
        editor.terrain.distribution[i] = float(i % 5) / 4.0f;
    const struct { int key; const char* extension; bool (*run)(const std::string&); } cases[] = {
        {kKeyF5, ".obj", exportObj},
        {kKeyF5 + 1, ".tga", exportHeightmapTga},
        {kKeyF5 + 2, ".map", exportQ1Map},
        {kKeyF5 + 3, ".map", exportQ3Map},
        {kKeyF9, ".tga", exportNormalMapTga},
        {kKeyF10, ".tga", exportDistributionTga},
        {kKeyF11, ".tga", exportFinalTextureTga},
    };
    std::set<Bytes> outputs;
    for (const auto& c : cases) {
        const std::string typed = dir + "key" + std::to_string(c.key);
        run(kPromptExport, typed, c.key);
        ASSERT_TRUE(c.run(dir + "direct" + c.extension));
        EXPECT_EQ(readAll(typed + c.extension), readAll(dir + "direct" + c.extension)) << "key " << c.key;
        outputs.insert(readAll(typed + c.extension));
    }
    EXPECT_EQ(outputs.size(), std::size(cases)) << "the seven formats differ on this terrain";
}

TEST_F(Prompt, ATypedPngOrR16NameExportsA16BitHeightMapWhateverIsSelected)
{
    makeFlatTerrain(4, 4);
    addRelief();
    for (const char* name : {"hills.png", "hills.r16"}) {
        run(kPromptExport, dir + name, kKeyF5 + 2); // Q1 selected
        EXPECT_EQ(editor.exportFormat, kExportQ1Map) << "the selection is kept";
        ASSERT_TRUE((name[6] == 'p' ? exportHeightmapPng : exportHeightmapR16)(dir + "direct"));
        EXPECT_EQ(readAll(dir + name), readAll(dir + "direct")) << name;
    }
    // And the import prompt reads it back.
    makeFlatTerrain(3, 3);
    run(kPromptHeightmap, dir + "hills.png");
    EXPECT_EQ(editor.terrain.gridX, 4);
}
