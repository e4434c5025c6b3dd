// Whole-terrain commands when memory runs out: refused with a message, with
// terrain and undo history exactly as before, never half done.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "ops/commands.h"
#include "support/allocation_failure.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

// A small random terrain on a small map with three undo entries (one of
// them for the map) and one redo entry, so that a command which drops or
// adds an entry, or empties the redo list, shows.
void prepareScene()
{
    makeFlatTerrain(19, 15, 0.0f);
    Terrain& t = editor.terrain;
    t.distributionWidth = 40;
    t.distributionHeight = 24;
    t.distribution.assign(40 * 24 * 3, 0.3f);
    srand(3);
    commandGenerateRandom();
    commandTextureByElevation();
    commandInvertTerrain();
    commandBlockWidth(true, false);
    undo();
    srand(5);
    editor.statusMessage.clear();
}

bool refusedForMemory() { return editor.statusMessage.rfind("Not enough memory for ", 0) == 0; }

struct Command {
    const char* operation; // the name the refusal gives
    bool (*run)();
    int growFirst;         // columns and rows added before (Decrease Detail needs 29 x 17 to act)
};

const Command kCommands[] = {
    {"Generate Random", commandGenerateRandom, 0},
    {"Erosion", commandErosion, 0},
    {"Texture by Elevation", commandTextureByElevation, 0},
    {"Invert Terrain", commandInvertTerrain, 0},
    {"Increase Detail 2x", commandIncreaseDetail, 0},
    {"Decrease Detail 2x", commandDecreaseDetail, 2},
    {"Change X Dimension", [] { return commandGrowGrid(false, 2); }, 0},
    {"Change Y Dimension", [] { return commandGrowGrid(true, 8); }, 0},
    {"Change X Dimension", [] { return commandShrinkGrid(false, 2); }, 0},
    {"Change Y Dimension", [] { return commandShrinkGrid(true, 2); }, 0},
    {"Change Block Width", [] { return commandBlockWidth(true, false); }, 0},
    {"Scale Height", [] { return commandHeightScale(false, false); }, 0},
};

void prepareFor(const Command& command)
{
    prepareScene();
    if (command.growFirst) {
        commandGrowGrid(false, 10);
        commandGrowGrid(true, command.growFirst);
    }
    editor.statusMessage.clear();
}

// Each allocation the command makes is failed in turn: every time, the
// command is either refused and leaves terrain and history as they were,
// or completes with exactly the result it has with memory to spare (an
// allocation it can do without, such as a helper thread's).
TEST(OutOfMemory, EveryFailedAllocationRefusesTheCommandOrLeavesItsWholeResult)
{
    for (const Command& command : kCommands) {
        SCOPED_TRACE(command.operation);
        prepareFor(command);
        const std::vector<Bytes> before = sceneWithHistory();
        armAllocationFailure(-1);
        command.run();
        const long allocations = disarmAllocationFailure();
        ASSERT_FALSE(refusedForMemory());
        const std::vector<Bytes> after = sceneWithHistory();
        ASSERT_NE(after, before);
        ASSERT_GT(allocations, 0);

        int refusals = 0;
        for (long failing = 0; failing < allocations; ++failing) {
            SCOPED_TRACE(failing);
            prepareFor(command);
            armAllocationFailure(failing);
            const bool wentAhead = command.run();
            disarmAllocationFailure();
            EXPECT_EQ(wentAhead, !refusedForMemory());
            if (refusedForMemory()) {
                ++refusals;
                EXPECT_EQ(editor.statusMessage, std::string("Not enough memory for ") + command.operation);
                ASSERT_EQ(sceneWithHistory(), before);
            } else {
                ASSERT_EQ(sceneWithHistory(), after);
            }
        }
        EXPECT_GT(refusals, 0);
    }
}

long addressSpaceBytes()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kilobytes = -1;
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmSize: %ld kB", &kilobytes) == 1)
            break;
    if (status != nullptr)
        std::fclose(status);
    return kilobytes * 1024;
}

// The real thing: a child process whose address space is capped 32 MB above
// what it uses, on a 1025 x 1025 terrain. Increase Detail (270 MB) cannot
// fit and is refused; each of the others either fits and runs or is refused
// and changes nothing (how much fits depends on what the allocator keeps in
// reserve), and the child lives on through all of them.
TEST(OutOfMemory, CommandsUnderALoweredAddressSpaceLimit)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any limit allows";
#endif
    makeFlatTerrain(1025, 1025, 0.0f);
    addRelief();
    commandInvertTerrain();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A fingerprint of the grid, taken without allocating.
        auto fingerprint = [] {
            const Terrain& t = editor.terrain;
            const std::string_view vertices(reinterpret_cast<const char*>(t.vertices.data()),
                                            t.vertices.size() * sizeof(TerrainVertex));
            return std::make_tuple(t.gridX, t.gridY, t.blockWidth, std::hash<std::string_view>{}(vertices));
        };
        const rlimit limit = {rlim_t(addressSpaceBytes() + (32l << 20)), RLIM_INFINITY};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(100);
        int failures = 0, refusals = 0;
        bool (*commands[])() = {commandIncreaseDetail, commandGenerateRandom, commandErosion,
                                [] { return commandGrowGrid(false, 8); }, commandInvertTerrain};
        for (bool (*command)() : commands) {
            const int entries = undoCount();
            const auto before = fingerprint();
            editor.statusMessage.clear();
            command();
            if (refusedForMemory()) {
                ++refusals;
                failures += fingerprint() != before || undoCount() != entries;
            } else {
                failures += command == commandIncreaseDetail || undoCount() != entries + 1;
            }
        }
        _exit(failures > 0 ? 1 : refusals == 0 ? 2 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child did not survive";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
