// Whole-terrain commands at two sizes, on one and on two threads. Each
// command runs on a random landscape of about 1025 x 1025 or 4097 x 4097
// vertices (texture by elevation on the 1024 x 1024 map), rebuilt outside
// the timing before every iteration. Commands that change the vertex count
// start from the size that makes their result fit the largest grid:
// Increase Detail from 513 and 2049 (giving 1025 and 4097), Page Up from
// 1017 and 4089.
//   ./build/bench/brivel_bench --benchmark_filter=Command
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "ops/commands.h"
#include "support/terrain_fixtures.h"
#include "terrain/parallel.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

// A random landscape of side x side, built once per size and copied per
// iteration. Only the latest size is kept: a 4097 x 4097 template is 870 MB.
const Terrain& reliefTemplate(int side)
{
    static std::unique_ptr<Terrain> relief;
    if (!relief || relief->gridX != side) {
        relief.reset();
        makeFlatTerrain(side, side);
        srand(7);
        commandGenerateRandom();
        clearHistory();
        relief = std::make_unique<Terrain>(editor.terrain);
    }
    return *relief;
}

// range(0): the result's grid class (1025 or 4097); range(1): threads.
void runCommand(benchmark::State& state, bool (*command)(), int sideBelow1025, int sideBelow4097)
{
    const int side = state.range(0) == 1025 ? sideBelow1025 : sideBelow4097;
    const Terrain& relief = reliefTemplate(side);
    setWorkerThreads(int(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        resetEditorState();
        editor.terrain = relief;
        srand(1);
        state.ResumeTiming();
        if (!command()) {
            state.SkipWithError(editor.statusMessage.c_str()); // a refusal measures nothing
            break;
        }
        benchmark::ClobberMemory();
    }
    setWorkerThreads(0);
    state.counters["vertices"] = double(editor.terrain.vertices.size());
}

void Command_GenerateRandom(benchmark::State& s) { runCommand(s, commandGenerateRandom, 1025, 4097); }
void Command_Erosion(benchmark::State& s) { runCommand(s, commandErosion, 1025, 4097); }
void Command_IncreaseDetail(benchmark::State& s) { runCommand(s, commandIncreaseDetail, 513, 2049); }
void Command_DecreaseDetail(benchmark::State& s) { runCommand(s, commandDecreaseDetail, 1025, 4097); }
void Command_PageUp(benchmark::State& s) { runCommand(s, [] { return commandGrowGrid(false, 8); }, 1017, 4089); }
void Command_CtrlPageUp(benchmark::State& s) { runCommand(s, [] { return commandGrowGrid(true, 8); }, 1017, 4089); }
void Command_PageDown(benchmark::State& s) { runCommand(s, [] { return commandShrinkGrid(false, 8); }, 1025, 4097); }
void Command_TextureByElevation(benchmark::State& s) { runCommand(s, commandTextureByElevation, 1025, 4097); }
void Command_InvertTerrain(benchmark::State& s) { runCommand(s, commandInvertTerrain, 1025, 4097); }
void Command_BlockWidth(benchmark::State& s) { runCommand(s, [] { return commandBlockWidth(true, false); }, 1025, 4097); }
void Command_HeightScale(benchmark::State& s) { runCommand(s, [] { return commandHeightScale(true, false); }, 1025, 4097); }
void Command_UndoWholeGrid(benchmark::State& s)
{
    runCommand(s, [] { const bool changed = commandBlockWidth(true, false); undo(); return changed; }, 1025, 4097);
}

// One iteration, three repetitions: the median of a noisy shared machine.
#define COMMAND_BENCH(fn)                                                                                      \
    BENCHMARK(fn)                                                                                              \
        ->ArgNames({"grid", "threads"})                                                                        \
        ->ArgsProduct({{1025, 4097}, {1, 2}})                                                                  \
        ->Unit(benchmark::kMillisecond)                                                                        \
        ->UseRealTime()                                                                                        \
        ->Iterations(1)                                                                                        \
        ->Repetitions(3)                                                                                       \
        ->ReportAggregatesOnly(true)
COMMAND_BENCH(Command_GenerateRandom);
COMMAND_BENCH(Command_Erosion);
COMMAND_BENCH(Command_IncreaseDetail);
COMMAND_BENCH(Command_DecreaseDetail);
COMMAND_BENCH(Command_PageUp);
COMMAND_BENCH(Command_CtrlPageUp);
COMMAND_BENCH(Command_PageDown);
COMMAND_BENCH(Command_TextureByElevation);
COMMAND_BENCH(Command_InvertTerrain);
COMMAND_BENCH(Command_BlockWidth);
COMMAND_BENCH(Command_HeightScale);
COMMAND_BENCH(Command_UndoWholeGrid);

} // namespace
