// Frame time with and without shadows on 65 x 65 and 257 x 257 grids, in
// the real window (Mesa's software renderer under the virtual display).
// Run from the repository root (data/ is read at start-up):
//   DISPLAY=:99 ./build/bench/brivel_bench --benchmark_filter=Frame
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/editor_state.h"
#include "app/startup.h"
#include "ops/detail.h"
#include "ops/random_terrain.h"
#include "render/frame.h"
#include "terrain/terrain.h"

namespace {

bool editorRunning = false;

// Starts the editor once and gives it a hilly grid of `side` vertices
// (65, 129, 257, ...), the same terrain for every run.
bool prepareGrid(int side)
{
    if (!editorRunning) {
        startUp();
        editorRunning = editor.glContextReady;
    }
    if (!editorRunning) return false;
    if (editor.terrain.gridX != side) {
        std::srand(11);
        while (editor.terrain.gridX > 65) decreaseDetail();
        generateRandomTerrain();
        while (editor.terrain.gridX < side) increaseDetail();
    }
    editor.hudVisible = 0;
    return editor.terrain.gridX == side;
}

void FrameTime(benchmark::State& state)
{
    if (!prepareGrid(int(state.range(0)))) {
        state.SkipWithError("no window or the grid could not be made");
        return;
    }
    editor.shadowsOn = uint8_t(state.range(1));
    editor.texturingOn = 1;
    drawFrame();
    for (auto _ : state) {
        drawFrame();
        glFinish();
    }
    state.counters["vertices"] = double(editor.terrain.vertices.size());
}

// The picture a user meets at start-up: the default flat terrain with the
// HUD on; shadows and texturing on as at start-up, and off to show their share.
void DefaultSceneFrame(benchmark::State& state)
{
    if (!prepareGrid(65)) {
        state.SkipWithError("no window");
        return;
    }
    createDefaultTerrain();
    editor.hudVisible = 1;
    editor.shadowsOn = uint8_t(state.range(0));
    editor.texturingOn = uint8_t(state.range(1));
    drawFrame();
    for (auto _ : state) {
        drawFrame();
        glFinish();
    }
}

} // namespace

BENCHMARK(DefaultSceneFrame)
    ->ArgNames({"shadows", "texturing"})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(FrameTime)
    ->ArgNames({"grid", "shadows"})
    ->Args({65, 0})
    ->Args({65, 1})
    ->Args({257, 0})
    ->Args({257, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
