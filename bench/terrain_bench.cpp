// Whole-grid refresh cost: normals and lighting of every vertex, on one and
// on two threads.
#include <benchmark/benchmark.h>

#include "app/editor_state.h"
#include "support/terrain_fixtures.h"
#include "terrain/parallel.h"
#include "terrain/terrain.h"

namespace {

void BM_RefreshAllVertices(benchmark::State& state)
{
    const int side = int(state.range(0));
    makeFlatTerrain(side, side, 0.0f);
    addRelief();
    setWorkerThreads(int(state.range(1)));
    for (auto _ : state) {
        refreshAllVertices();
        benchmark::ClobberMemory();
    }
    setWorkerThreads(0);
    const double vertices = double(editor.terrain.vertices.size());
    state.counters["per_vertex"] = benchmark::Counter(
        vertices * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RefreshAllVertices)
    ->ArgNames({"grid", "threads"})
    ->ArgsProduct({{65, 1025, 4097}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
