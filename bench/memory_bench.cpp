// Resident memory of the largest terrain after ten whole-grid commands: a
// 4097 x 4097 height map replaces the default terrain, then ] and [ are
// pressed by turns ten times (each records a whole-grid undo entry). Run it
// alone, as the first thing in its process, so that nothing else's memory
// counts:
//   ./build/bench/brivel_bench --benchmark_filter=Resident
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "app/editor_state.h"
#include "io/heightmap_import.h"
#include "ops/commands.h"
#include "terrain/terrain.h"
#include "terrain/undo.h"

namespace {

// VmRSS or VmHWM of this process, in MB.
double statusMegabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) / 1024.0;
    return 0.0;
}

void Resident_Import4097ThenTenBlockWidthPresses(benchmark::State& state)
{
    mkdir("/tmp/brivel-bench", 0777);
    const std::string path = "/tmp/brivel-bench/resident.pgm";
    {
        std::ofstream pgm(path, std::ios::binary);
        pgm << "P5\n4097 4097\n255\n";
        for (long i = 0; i < 4097l * 4097; ++i) pgm.put(char((i * 7 + i / 4097 * 13) % 251));
    }
    for (auto _ : state) {
        resetEditorState();
        createDefaultTerrain();
        if (!importPgmHeightmap(path)) state.SkipWithError("import failed");
        state.counters["after_import_MB"] = statusMegabytes("VmRSS:");
        for (int press = 0; press < 10; ++press) commandBlockWidth(press % 2 == 0, false);
    }
    state.counters["resident_MB"] = statusMegabytes("VmRSS:");
    state.counters["peak_MB"] = statusMegabytes("VmHWM:");
    state.counters["undo_entries"] = undoCount();
    std::remove(path.c_str());
}
BENCHMARK(Resident_Import4097ThenTenBlockWidthPresses)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
