// The command line and the batch mode, as a script or a shell user meets
// them: what each command line does, what a failing step leaves behind, and
// that a batch writes the very bytes the editor's own commands write.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../io/io_test_files.h"
#include "app/batch.h"
#include "app/command_line.h"
#include "app/data_directory.h"
#include "app/editor_state.h"
#include "io/document.h"
#include "io/map_export.h"
#include "io/obj_export.h"
#include "ops/commands.h"
#include "ops/erosion.h"
#include "ops/random_terrain.h"
#include "terrain/terrain.h"

namespace {

using CommandLine = ScratchTest;
using BatchSteps = ScratchTest;
using BatchRun = ScratchTest;

TEST_F(CommandLine, EachLineStartsTheRightMode)
{
    struct Case {
        std::vector<const char*> words;
        LaunchMode mode;
        std::string file;
    } cases[] = {
        {{}, LaunchMode::kEditor, ""},
        {{"valley.bvt"}, LaunchMode::kEditor, "valley.bvt"},
        {{"--", "-odd name.tga"}, LaunchMode::kEditor, "-odd name.tga"},
        {{"--help"}, LaunchMode::kHelp, ""},
        {{"-h"}, LaunchMode::kHelp, ""},
        {{"--version"}, LaunchMode::kVersion, ""},
        {{"--frobnicate"}, LaunchMode::kUsageError, ""},
        {{"a.bvt", "b.bvt"}, LaunchMode::kUsageError, "a.bvt"},
        {{"batch", "--new"}, LaunchMode::kBatch, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"brivel"};
        argv.insert(argv.end(), c.words.begin(), c.words.end());
        const Launch launch = parseCommandLine(int(argv.size()), argv.data());
        EXPECT_EQ(launch.mode, c.mode) << (c.words.empty() ? "(none)" : c.words[0]);
        EXPECT_EQ(launch.file, c.file);
    }
}

TEST_F(BatchSteps, BadStepsAreRefusedBeforeAnythingRuns)
{
    struct Case {
        std::vector<std::string> words;
        const char* reason; // part of the message
    } cases[] = {
        {{}, "at least one step"},
        {{"--erode", "--polish"}, "unknown batch step \"--polish\""},
        {{"erode"}, "unknown batch step \"erode\""},
        {{"--save"}, "--save needs an argument"},
        {{"--export", "q1"}, "--export needs a format and a file name"},
        {{"--export", "dxf", "a.dxf"}, "not \"dxf\""},
        {{"--grow-x", "0"}, "a count of 1 to 4097"},
        {{"--grow-y", "-2"}, "a count of 1 to 4097"},
        {{"--shrink-x", "2x"}, "a count"},
        {{"--seed", "many"}, "a whole number"},
        {{"--block-width", "wide"}, "a number"},
        {{"--height-scale", "nan"}, "a number"},
    };
    for (const Case& c : cases) {
        std::vector<BatchStep> steps;
        std::string error;
        EXPECT_FALSE(parseBatchSteps(c.words, steps, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    // A file that would be written by a refused command line is never made.
    const std::string target = dir + "never.bvt";
    EXPECT_EQ(runBatch({"--save", target, "--grow-x", "zero"}), 2);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(BatchRun, FirstFailingStepEndsTheRunAndEarlierFilesStayWhole)
{
    const std::string before = dir + "before.bvt", after = dir + "after.bvt";
    EXPECT_EQ(runBatch({"--save", before, "--load", dir + "missing.bvt", "--save", after}), 1);
    EXPECT_EQ(readAll<std::string>(before).size(), 12684340u); // the whole default document
    EXPECT_FALSE(std::filesystem::exists(after));
    EXPECT_NE(editor.statusMessage.find("missing.bvt"), std::string::npos);
    EXPECT_EQ(runBatch({"--new", "--save", after}), 0);
    EXPECT_EQ(readAll<std::string>(after), readAll<std::string>(before));

    // A command the editor refuses fails its step too, with the editor's reason.
    for (const std::vector<std::string>& refusedSteps :
         {std::vector<std::string>{"--shrink-x", "63", "--save", dir + "shrunk.bvt"},
          std::vector<std::string>{"--block-width", "0.5", "--save", dir + "narrow.bvt"}}) {
        EXPECT_EQ(runBatch(refusedSteps), 1) << refusedSteps[0];
        EXPECT_FALSE(editor.statusMessage.empty()) << refusedSteps[0];
        EXPECT_FALSE(std::filesystem::exists(refusedSteps[3])) << refusedSteps[0];
    }
}

// A batch writes the bytes the editor's buttons and keys write, and one
// seed gives one result.
TEST_F(BatchRun, SeededPipelineMatchesTheEditorsCommandsByteForByte)
{
    const std::vector<std::string> steps = {"--seed", "7", "--generate", "--erode", "--detail-up",
                                            "--grow-x", "2", "--export", "q3", dir + "batch.map",
                                            "--export", "obj", dir + "batch.obj"};
    ASSERT_EQ(runBatch(steps), 0);
    const std::string batchMap = readAll<std::string>(dir + "batch.map");
    const std::string batchObj = readAll<std::string>(dir + "batch.obj");

    resetEditorState();
    createDefaultTerrain();
    std::srand(7);
    commandGenerateRandom(); // the palette's buttons
    commandErosion();
    commandIncreaseDetail();
    commandGrowGrid(false, 2);
    ASSERT_TRUE(exportQ3Map(dir + "editor.map"));
    ASSERT_TRUE(exportObj(dir + "editor.obj"));
    EXPECT_GT(batchMap.size(), 1000000u);
    EXPECT_TRUE(batchMap == readAll<std::string>(dir + "editor.map"));
    EXPECT_TRUE(batchObj == readAll<std::string>(dir + "editor.obj"));

    ASSERT_EQ(runBatch(steps), 0);
    EXPECT_TRUE(readAll<std::string>(dir + "batch.map") == batchMap);
}

// The installed or built editor, started from elsewhere, still finds its
// data: the final-texture export blends the real ground textures, not white.
TEST_F(CommandLine, TheExecutableRunsFromAnotherDirectory)
{
    const std::string out = dir + "texture.tga";
    const std::string command = std::string("cd / && env -u BRIVEL_DATA ") + BRIVEL_EXECUTABLE +
                                " batch --seed 1 --generate --texture-by-elevation --export texture-tga " + out;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string texture = readAll<std::string>(out);
    ASSERT_EQ(texture.size(), 18u + 1024u * 1024u * 3u);
    int white = 0;
    for (size_t i = 18; i < texture.size(); i += 3)
        white += texture[i] == char(255) && texture[i + 1] == char(255) && texture[i + 2] == char(255);
    EXPECT_LT(white, 1024 * 1024 / 100);

    const std::string help = std::string("cd / && ") + BRIVEL_EXECUTABLE + " --help > /dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(help.c_str())), 0);
    const std::string bad = std::string("cd / && ") + BRIVEL_EXECUTABLE + " --frobnicate 2> /dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(bad.c_str())), 2);

    // BRIVEL_DATA names the folder explicitly; a folder without the data is not taken.
    const std::string saved = gDataDirectory;
    setenv("BRIVEL_DATA", "/tmp", 1);
    locateDataDirectory();
    EXPECT_NE(gDataDirectory, "/tmp");
    EXPECT_TRUE(isDataDirectory(gDataDirectory));
    unsetenv("BRIVEL_DATA");
    gDataDirectory = saved;
}

} // namespace
