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
// GL context (the GPU mirror returns at once), cursor over the centre. The
// grid is kept between benchmarks of the same size (4097 x 4097 takes
// seconds to build).
void makeGrid(int n)
{
    if (editor.terrain.gridX != n || editor.terrain.gridY != n) makeFlatTerrain(n, n);
    clearHistory();
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

// A stroke's press and first step, then (untimed) its release: a press must
// cost the brush, not the grid.
void BM_StrokePressAndFirstStep(benchmark::State& state)
{
    makeGrid(int(state.range(0)));
    editor.currentOp = int(state.range(1));
    for (auto _ : state) {
        beginStroke();
        applyBrush(1);
        state.PauseTiming();
        endStroke();
        undo(); // back to the flat grid, so every press sees the same data
        clearHistory();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StrokePressAndFirstStep)
    ->ArgNames({"grid", "op"})
    ->ArgsProduct({{65, 1025, 4097}, {1, 5}})
    ->Unit(benchmark::kMillisecond);

// The release of a default-width stroke of 20 steps moving a cell each:
// building its undo entry from the copies.
void BM_StrokeRelease(benchmark::State& state)
{
    const int n = int(state.range(0));
    makeGrid(n);
    editor.currentOp = int(state.range(1));
    const double start = double(n / 2) * editor.terrain.blockWidth;
    for (auto _ : state) {
        state.PauseTiming();
        beginStroke();
        for (int step = 0; step < 20; ++step) {
            const double at = start + step * editor.terrain.blockWidth;
            applyPick(at, at, 256.0);
            applyBrush(1);
        }
        state.ResumeTiming();
        endStroke();
        state.PauseTiming();
        undo();
        clearHistory();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StrokeRelease)
    ->ArgNames({"grid", "op"})
    ->ArgsProduct({{65, 1025, 4097}, {1, 5}})
    ->Unit(benchmark::kMillisecond);

// Undo then redo of one default-width height stroke: restoring a region
// must cost the region.
void BM_UndoRedoStroke(benchmark::State& state)
{
    makeGrid(int(state.range(0)));
    editor.currentOp = 1;
    beginStroke();
    applyBrush(1);
    endStroke();
    for (auto _ : state) {
        undo();
        redo();
    }
    undo();
    clearHistory();
}
BENCHMARK(BM_UndoRedoStroke)->ArgName("grid")->Arg(65)->Arg(1025)->Arg(4097)->Unit(benchmark::kMillisecond);

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
