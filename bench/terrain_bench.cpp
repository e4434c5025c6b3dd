// Whole-grid refresh cost: normals and lighting of every vertex.
#include <benchmark/benchmark.h>

#include "app/editor_state.h"
#include "support/terrain_fixtures.h"
#include "terrain/terrain.h"

namespace {

void BM_RefreshAllVertices(benchmark::State& state)
{
    const int side = int(state.range(0));
    makeFlatTerrain(side, side, 0.0f);
    addRelief();
    for (auto _ : state) {
        refreshAllVertices();
        benchmark::ClobberMemory();
    }
    const double vertices = double(editor.terrain.vertices.size());
    state.counters["per_vertex"] = benchmark::Counter(
        vertices * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RefreshAllVertices)->Arg(65)->Arg(257)->Arg(1025)->Unit(benchmark::kMillisecond);

} // namespace
