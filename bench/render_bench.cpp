// Frame time with and without shadows on grids of 65 to 4097 vertices a
// side, from the start-up camera and from a camera flying low over the
// middle, in the real window (Mesa's software renderer under the virtual
// display). Two kinds of ground:
//   terrain 0, an imported height map: fractal hills (plasma), heights in
//     256 steps as an 8-bit image gives them, the editor's 32-unit spacing,
//     so a bigger grid is a bigger area;
//   terrain 1, Increase Detail: the same random hills made finer again and
//     again, every size covering the same 2048 x 2048 units, each step
//     adding detail at the new vertex spacing.
// FrameTime counts the triangles both passes drew in the last frame.
// ShadowCost takes shadows on and off in turn, to give their ratio on a
// busy machine; ChunkMeasure times measuring every chunk of a grid.
// Run from the repository root (data/ is read at start-up):
//   DISPLAY=:99 ./build/bench/brivel_bench --benchmark_filter='Frame|Shadow|Chunk'
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "app/editor_state.h"
#include "app/startup.h"
#include "ops/detail.h"
#include "ops/random_terrain.h"
#include "render/frame.h"
#include "render/mesh.h"
#include "render/terrain_lod.h"
#include "terrain/terrain.h"
#include "terrain/terrain_events.h"
#include "terrain/undo.h"

namespace {

bool editorRunning = false;
int gridKind = -1; // terrain kind the current grid was made as

// Diamond-square heights on a (2^k + 1)-square grid, scaled to 0..255 and
// rounded like the grey levels of an image.
std::vector<float> plasmaLevels(int side)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::vector<float> h(size_t(side) * size_t(side), 0.0f);
    auto at = [&](int c, int r) -> float& { return h[size_t(r) * size_t(side) + size_t(c)]; };
    for (int c : {0, side - 1})
        for (int r : {0, side - 1}) at(c, r) = unit(random);
    float amplitude = 1.0f;
    for (int step = side - 1; step > 1; step /= 2, amplitude *= 0.5f) {
        const int half = step / 2;
        for (int r = half; r < side; r += step)
            for (int c = half; c < side; c += step)
                at(c, r) = (at(c - half, r - half) + at(c + half, r - half) + at(c - half, r + half) +
                            at(c + half, r + half)) / 4.0f + amplitude * unit(random);
        for (int r = 0; r < side; r += half)
            for (int c = (r / half) % 2 == 0 ? half : 0; c < side; c += step) {
                float sum = 0.0f;
                int n = 0;
                if (c >= half) sum += at(c - half, r), ++n;
                if (c + half < side) sum += at(c + half, r), ++n;
                if (r >= half) sum += at(c, r - half), ++n;
                if (r + half < side) sum += at(c, r + half), ++n;
                at(c, r) = sum / float(n) + amplitude * unit(random);
            }
    }
    const auto [lo, hi] = std::minmax_element(h.begin(), h.end());
    const float low = *lo, range = std::max(*hi - *lo, 1e-6f);
    for (float& v : h) v = std::round((v - low) / range * 255.0f);
    return h;
}

void makeImportedGrid(int side)
{
    Terrain& t = editor.terrain;
    installFlatGrid(side, side, 32.0f, 0.0f);
    const std::vector<float> levels = plasmaLevels(side);
    for (size_t i = 0; i < levels.size(); ++i) t.vertices[i].position[2] = levels[i] / 255.0f * t.heightScale;
    refreshAllVertices();
    reportGridReplaced();
    clearHistory();
}

void makeFinerGrid(int side)
{
    std::srand(11);
    if (editor.terrain.gridX != 65) createDefaultTerrain();
    generateRandomTerrain();
    while (editor.terrain.gridX < side) increaseDetail();
}

// Starts the editor once and gives it a grid of `side` vertices (65, 257,
// ...) of the given kind, the same terrain for every run.
bool prepareGrid(int side, int kind)
{
    if (!editorRunning) {
        startUp();
        editorRunning = editor.glContextReady;
    }
    if (!editorRunning) return false;
    if (editor.terrain.gridX != side || gridKind != kind) {
        gridKind = kind;
        if (kind == 0)
            makeImportedGrid(side);
        else
            makeFinerGrid(side);
    }
    editor.hudVisible = 0;
    return editor.terrain.gridX == side;
}

// Camera 0: where start-up puts it, high over the first corner looking
// down across the grid. Camera 1: 60 units above the middle of the grid,
// looking a little down.
void placeCamera(int which)
{
    Camera& camera = editor.camera;
    camera = Camera{};
    const Terrain& t = editor.terrain;
    if (which == 0) {
        camera.position[0] = camera.position[1] = 0.0f;
        camera.position[2] = t.heightScale + 1000.0f;
        camera.angles[kPitch] = 45.0f;
        camera.angles[kYaw] = 45.0f;
        return;
    }
    const int c = t.gridX / 2, r = t.gridY / 2;
    const float* middle = t.vertices[size_t(r) * size_t(t.gridX) + size_t(c)].position;
    camera.position[0] = middle[0];
    camera.position[1] = middle[1];
    camera.position[2] = middle[2] + 60.0f;
    camera.angles[kPitch] = 10.0f;
    camera.angles[kYaw] = 30.0f;
}

void FrameTime(benchmark::State& state)
{
    if (!prepareGrid(int(state.range(1)), int(state.range(0)))) {
        state.SkipWithError("no window or the grid could not be made");
        return;
    }
    editor.shadowsOn = uint8_t(state.range(2));
    editor.texturingOn = 1;
    placeCamera(int(state.range(3)));
    drawFrame();
    for (auto _ : state) {
        drawFrame();
        glFinish();
    }
    const MeshDrawCount drawn = meshDrawCount();
    state.counters["triangles"] = double(drawn.triangles); // both passes of the last frame
    state.counters["chunks"] = double(drawn.chunks);
}

// The picture a user meets at start-up: the default flat terrain with the
// HUD on; shadows and texturing on as at start-up, and off to show their share.
void DefaultSceneFrame(benchmark::State& state)
{
    if (!prepareGrid(65, 0)) {
        state.SkipWithError("no window");
        return;
    }
    createDefaultTerrain();
    gridKind = -1;
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
// Terrain kind and grid outermost, so that each grid is made once.
void frameTimeArgs(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"terrain", "grid", "shadows", "camera"});
    for (int terrain : {0, 1})
        for (int grid : {65, 257, 1025, 2049, 4097})
            for (int camera : {0, 1})
                for (int shadows : {0, 1}) b->Args({terrain, grid, shadows, camera});
}
BENCHMARK(FrameTime)
    ->Apply(frameTimeArgs)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

namespace {

// Shadows on against off at 65 x 65, frame by frame in turn so that the
// machine's other load falls on both alike: medians of the frame's wall
// time and of the process's CPU time (the renderer's threads included).
// Scene 0: the default scene as DefaultSceneFrame; 1 and 2: the imported
// grid from cameras 0 and 1. Edit 1: every frame reports a one-vertex
// change, as a brush step does, so the shadow map is made again each frame
// (with 0 it is kept while the surface and the light stay).
void ShadowCost(benchmark::State& state)
{
    const int scene = int(state.range(0));
    const bool edit = state.range(1) != 0;
    if (!prepareGrid(65, 0)) {
        state.SkipWithError("no window");
        return;
    }
    if (scene == 0) {
        createDefaultTerrain();
        gridKind = -1;
        editor.hudVisible = 1;
    } else {
        placeCamera(scene - 1);
    }
    editor.texturingOn = 1;
    auto cpuMillis = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return (double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)) * 1e3 +
               (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1e3;
    };
    std::vector<double> wall[2], cpu[2];
    for (auto _ : state) {
        for (int shadows = 0; shadows < 2; ++shadows) {
            editor.shadowsOn = uint8_t(shadows);
            drawFrame();
            glFinish();
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = cpuMillis();
            if (edit) reportGridRegion(32, 32, 32, 32);
            drawFrame();
            glFinish();
            cpu[shadows].push_back(cpuMillis() - cpuStart);
            wall[shadows].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    }
    auto median = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double wallOff = median(wall[0]), wallOn = median(wall[1]), cpuOff = median(cpu[0]), cpuOn = median(cpu[1]);
    state.counters["off_ms"] = wallOff;
    state.counters["on_ms"] = wallOn;
    state.counters["ratio"] = wallOn / wallOff;
    state.counters["cpu_off_ms"] = cpuOff;
    state.counters["cpu_on_ms"] = cpuOn;
    state.counters["cpu_ratio"] = cpuOn / cpuOff;
}

// Measuring every chunk of a grid (a whole-terrain change or a load).
void ChunkMeasure(benchmark::State& state)
{
    if (!prepareGrid(int(state.range(0)), 0)) {
        state.SkipWithError("no window");
        return;
    }
    for (auto _ : state) lodGridReplaced();
}

} // namespace

BENCHMARK(ShadowCost)
    ->ArgNames({"scene", "edit"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ChunkMeasure)->ArgName("grid")->Arg(1025)->Arg(4097)->Iterations(3)->Unit(benchmark::kMillisecond);
