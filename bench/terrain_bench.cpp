// Whole-grid refresh cost: normals and lighting of every vertex.
#include <benchmark/benchmark.h>

#include "app/editor_state.h"
#include "terrain/terrain.h"

namespace {

void makeGrid(int side)
{
    resetEditorState();
    Terrain& t = editor.terrain;
    t.gridX = t.gridY = side;
    t.vertices.assign(size_t(side) * size_t(side), TerrainVertex{});
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c) {
            float* p = t.vertices[size_t(c + r * side)].position;
            p[0] = float(c) * 32.0f;
            p[1] = float(r) * 32.0f;
            p[2] = float((c * 7 + r * 13) % 97); // some relief so no face is degenerate
        }
    }
}

void BM_RefreshAllVertices(benchmark::State& state)
{
    makeGrid(int(state.range(0)));
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
