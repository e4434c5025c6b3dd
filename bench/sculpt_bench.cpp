// Brush costs: one application of a tool must follow the brush, not the grid.
// Run: ./build/bench/brivel_bench --benchmark_filter=Brush
#include <benchmark/benchmark.h>

#include "app/editor_state.h"
#include "sculpt/picking.h"
#include "sculpt/stroke.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

// A flat n x n grid at block width 32 with the default 1024 x 1024 map, no
// GL context (the GPU mirror returns at once), cursor over the centre.
void makeGrid(int n)
{
    makeFlatTerrain(n, n);
    const double centre = double(n / 2) * editor.terrain.blockWidth;
    applyPick(centre, centre, 256.0);
}

// One brush step of tool range(1) on a range(0) x range(0) grid.
void BM_BrushStep(benchmark::State& state)
{
    makeGrid(int(state.range(0)));
    editor.currentOp = int(state.range(1));
    beginStroke();
    for (auto _ : state) {
        applyBrush(1);
        benchmark::ClobberMemory();
    }
    endStroke();
}
BENCHMARK(BM_BrushStep)
    ->ArgNames({"grid", "op"})
    ->ArgsProduct({{65, 1025}, {1, 2, 5, 7}})
    ->Unit(benchmark::kMicrosecond);

// Press, one step, release on a large grid: the whole-grid copy and the undo entry.
void BM_StrokeStartAndRelease(benchmark::State& state)
{
    makeGrid(int(state.range(0)));
    editor.currentOp = int(state.range(1));
    for (auto _ : state) {
        beginStroke();
        applyBrush(1);
        endStroke();
        state.PauseTiming();
        clearHistory();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StrokeStartAndRelease)
    ->ArgNames({"grid", "op"})
    ->Args({1025, 1})
    ->Args({1025, 5})
    ->Unit(benchmark::kMillisecond);

// Undo then redo of one entry covering the whole distribution map.
void BM_UndoRedoWholeMapPaint(benchmark::State& state)
{
    makeGrid(65);
    const Terrain& t = editor.terrain;
    pushDistributionSnapshot(t.distribution.data(), 0, 0, t.distributionWidth - 1, t.distributionHeight - 1);
    for (auto _ : state) {
        undo();
        redo();
    }
}
BENCHMARK(BM_UndoRedoWholeMapPaint)->Unit(benchmark::kMillisecond);

} // namespace
