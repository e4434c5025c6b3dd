// Whole-terrain commands on a 1025 x 1025 grid (texture by elevation on the
// 1024 x 1024 map). Each iteration rebuilds the input outside the timing.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "ops/commands.h"
#include "ops/detail.h"
#include "ops/erosion.h"
#include "ops/random_terrain.h"
#include "ops/transforms.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

constexpr int kSide = 1025;

// A random landscape of kSide x kSide, built once and copied per iteration.
const Terrain& reliefTemplate()
{
    static Terrain relief = [] {
        makeFlatTerrain(kSide, kSide);
        srand(7);
        generateRandomTerrain();
        clearHistory();
        return editor.terrain;
    }();
    return relief;
}

void runCommand(benchmark::State& state, void (*command)())
{
    const Terrain& relief = reliefTemplate();
    for (auto _ : state) {
        state.PauseTiming();
        resetEditorState();
        editor.terrain = relief;
        srand(1);
        state.ResumeTiming();
        command();
        benchmark::ClobberMemory();
    }
}

void BM_GenerateRandom(benchmark::State& s) { runCommand(s, generateRandomTerrain); }
void BM_Erosion(benchmark::State& s) { runCommand(s, erodeTerrain); }
void BM_IncreaseDetail(benchmark::State& s) { runCommand(s, commandIncreaseDetail); }
void BM_DecreaseDetail(benchmark::State& s) { runCommand(s, commandDecreaseDetail); }
void BM_PageUp(benchmark::State& s) { runCommand(s, [] { commandGrowGrid(false, 8); }); }
void BM_CtrlPageUp(benchmark::State& s) { runCommand(s, [] { commandGrowGrid(true, 8); }); }
void BM_PageDown(benchmark::State& s) { runCommand(s, [] { commandShrinkGrid(false, 8); }); }
void BM_TextureByElevation(benchmark::State& s) { runCommand(s, textureByElevation); }
void BM_InvertTerrain(benchmark::State& s) { runCommand(s, invertTerrain); }
void BM_BlockWidth(benchmark::State& s) { runCommand(s, [] { commandBlockWidth(true, false); }); }
void BM_HeightScale(benchmark::State& s) { runCommand(s, [] { commandHeightScale(true, false); }); }

#define OPS_BENCH(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true)
OPS_BENCH(BM_GenerateRandom);
OPS_BENCH(BM_Erosion);
OPS_BENCH(BM_IncreaseDetail);
OPS_BENCH(BM_DecreaseDetail);
OPS_BENCH(BM_PageUp);
OPS_BENCH(BM_CtrlPageUp);
OPS_BENCH(BM_PageDown);
OPS_BENCH(BM_TextureByElevation);
OPS_BENCH(BM_InvertTerrain);
OPS_BENCH(BM_BlockWidth);
OPS_BENCH(BM_HeightScale);

} // namespace
