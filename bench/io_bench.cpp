// File speed: document save/load of the default terrain; the OBJ and Quake 1
// map exports of a 1025 x 1025 grid against the same files written with one
// fprintf per line (the comparison versions live only here); and every
// import, load, save and export at 1025 x 1025 and 4097 x 4097 on one and
// on two threads (File/...; the .map export at 1025 and 2049 only: at 4097
// it is a 19 GB file).
//   ./build/bench/brivel_bench --benchmark_filter=File/
#include <benchmark/benchmark.h>

#include "app/editor_state.h"
#include "io/document.h"
#include "io/heightmap_import.h"
#include "io/image_export.h"
#include "io/map_export.h"
#include "io/obj_export.h"
#include "render/textures.h"
#include "support/terrain_fixtures.h"
#include "terrain/parallel.h"
#include "terrain/terrain.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

std::string benchPath(const char* name)
{
    mkdir("/tmp/brivel-bench", 0777);
    return std::string("/tmp/brivel-bench/") + name;
}

long long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_size : 0;
}

void reportBytes(benchmark::State& state, const std::string& path)
{
    const double bytes = double(fileSize(path));
    state.counters["MB/s"] = benchmark::Counter(bytes * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
    state.counters["bytes"] = bytes;
}

// ------------------------------------------------- straightforward writers

bool fprintfObj(const std::string& path)
{
    const Terrain& t = editor.terrain;
    FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr)
        return false;
    for (const TerrainVertex& v : t.vertices)
        std::fprintf(f, "v %f %f %f\n", v.position[0], v.position[1], v.position[2]);
    for (const TerrainVertex& v : t.vertices)
        std::fprintf(f, "vn %f %f %f\n", v.normal[0], v.normal[1], v.normal[2]);
    for (const TerrainVertex& v : t.vertices)
        std::fprintf(f, "vt %f %f\n", v.position[0] / t.blockWidth / t.gridX, v.position[1] / t.blockWidth / t.gridY);
    std::fprintf(f, "g terrain\ns 1\n");
    for (int i = 0; i < t.gridY - 1; ++i) {
        for (int j = 0; j < t.gridX - 1; ++j) {
            const int a = i * t.gridX + j + 1, b = a + 1, c = (i + 1) * t.gridX + j + 1, d = c + 1;
            std::fprintf(f, "f %i/%i/%i %i/%i/%i %i/%i/%i\n", a, a, a, b, b, b, c, c, c);
            std::fprintf(f, "f %i/%i/%i %i/%i/%i %i/%i/%i\n", c, c, c, b, b, b, d, d, d);
        }
    }
    return std::fclose(f) == 0;
}

void planeLine(FILE* f, const float* a, const float* b, const float* c)
{
    std::fprintf(f, "( %.3f %.3f %.3f ) ( %.3f %.3f %.3f ) ( %.3f %.3f %.3f ) %s 0 0 0 1 1\n", a[0], a[1], a[2], b[0],
                 b[1], b[2], c[0], c[1], c[2], "NULL");
}

bool fprintfQ1Map(const std::string& path)
{
    const Terrain& t = editor.terrain;
    FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr)
        return false;
    std::fprintf(f, "// entity 0\n{\n\n\"classname\" \"worldspawn\"\n\n");
    auto at = [&](int c, int r) { return t.vertices[size_t(r) * t.gridX + c].position; };
    for (int i = 0; i < t.gridY - 1; ++i) {
        for (int j = 0; j < t.gridX - 1; ++j) {
            const float* p00 = at(j, i), *p01 = at(j + 1, i), *p10 = at(j, i + 1), *p11 = at(j + 1, i + 1);
            const float d00[3] = {p00[0], p00[1], -400}, d01[3] = {p01[0], p01[1], -400};
            const float d10[3] = {p10[0], p10[1], -400}, d11[3] = {p11[0], p11[1], -400};
            std::fprintf(f, "// brush #\n{\n");
            planeLine(f, p10, p01, p00);
            planeLine(f, p00, p01, d01);
            planeLine(f, p01, p10, d10);
            planeLine(f, p10, p00, d00);
            planeLine(f, d00, d01, d10);
            std::fprintf(f, "}\n// brush #\n{\n");
            planeLine(f, p01, p10, p11);
            planeLine(f, p11, p10, d10);
            planeLine(f, p10, p01, d01);
            planeLine(f, p01, p11, d11);
            planeLine(f, d11, d10, d01);
            std::fprintf(f, "}\n");
        }
    }
    std::fprintf(f, "}\n");
    return std::fclose(f) == 0;
}

// ------------------------------------------------------------- benchmarks

void BM_SaveDefaultDocument(benchmark::State& state)
{
    resetEditorState();
    createDefaultTerrain();
    const std::string path = benchPath("default.bvt");
    for (auto _ : state)
        if (!saveDocument(path))
            state.SkipWithError("save failed");
    reportBytes(state, path);
}
BENCHMARK(BM_SaveDefaultDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadDefaultDocument(benchmark::State& state)
{
    resetEditorState();
    createDefaultTerrain();
    const std::string path = benchPath("default.bvt");
    saveDocument(path);
    for (auto _ : state)
        if (!loadDocument(path))
            state.SkipWithError("load failed");
    reportBytes(state, path);
}
BENCHMARK(BM_LoadDefaultDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Export1025(benchmark::State& state, bool (*Write)(const std::string&), const char* name)
{
    makeFlatTerrain(1025, 1025, 0.0f);
    addRelief();
    const std::string path = benchPath(name);
    for (auto _ : state)
        if (!Write(path))
            state.SkipWithError("export failed");
    reportBytes(state, path);
}
BENCHMARK_CAPTURE(BM_Export1025, obj, exportObj, "export.obj")->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export1025, obj_fprintf, fprintfObj, "fprintf.obj")->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export1025, q1map, exportQ1Map, "export.map")->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Export1025, q1map_fprintf, fprintfQ1Map, "fprintf.map")->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

// ------------------------------------------ every file road at two sizes

// A side x side relief with fractional heights, its document and a PGM
// height map of the same size, made once per size.
void prepareFiles(int side)
{
    static int prepared = 0;
    makeFlatTerrain(side, side, 0.0f);
    addRelief();
    // The final texture blends the editor's own ground textures.
    for (int slot = 0; slot < 3; ++slot) {
        TextureRecord record;
        record.name = dataFile(kDefaultGroundTextures[slot]);
        editor.textureCache.push_back(record);
        editor.groundTextures[size_t(slot)] = slot;
    }
    if (prepared == side)
        return;
    saveDocument(benchPath("grid.bvt"));
    std::ofstream pgm(benchPath("grid.pgm"), std::ios::binary);
    pgm << "P5\n" << side << " " << side << "\n255\n";
    for (int i = 0; i < side * side; ++i)
        pgm.put(char((i * 7 + i / side * 13) % 251));
    prepared = side;
}

// range(0): grid side; range(1): threads. The file written is removed
// afterwards (an OBJ of 4097 x 4097 is 2.5 GB).
void File(benchmark::State& state, bool (*run)(const std::string&), const char* name)
{
    prepareFiles(int(state.range(0)));
    setWorkerThreads(int(state.range(1)));
    const std::string path = benchPath(name);
    for (auto _ : state)
        if (!run(path))
            state.SkipWithError("failed");
    setWorkerThreads(0);
    reportBytes(state, path);
    if (std::string(name) != "grid.bvt" && std::string(name) != "grid.pgm")
        std::remove(path.c_str());
}

#define FILE_BENCH(name, run, file, sides)                                                                     \
    BENCHMARK_CAPTURE(File, name, run, file)                                                                   \
        ->ArgNames({"grid", "threads"})                                                                        \
        ->ArgsProduct({sides, {1, 2}})                                                                         \
        ->Unit(benchmark::kMillisecond)                                                                        \
        ->UseRealTime()                                                                                        \
        ->Iterations(1)                                                                                        \
        ->Repetitions(3)                                                                                       \
        ->ReportAggregatesOnly(true)
FILE_BENCH(import_pgm, importPgmHeightmap, "grid.pgm", (std::vector<int64_t>{1025, 4097}));
FILE_BENCH(load, loadDocument, "grid.bvt", (std::vector<int64_t>{1025, 4097}));
FILE_BENCH(save, saveDocument, "saved.bvt", (std::vector<int64_t>{1025, 4097}));
FILE_BENCH(obj, exportObj, "out.obj", (std::vector<int64_t>{1025, 4097}));
FILE_BENCH(q1map, exportQ1Map, "out.map", (std::vector<int64_t>{1025, 2049}));
FILE_BENCH(heightmap_tga, exportHeightmapTga, "out.tga", (std::vector<int64_t>{1025, 4097}));
FILE_BENCH(normalmap_tga, exportNormalMapTga, "out.tga", (std::vector<int64_t>{1025, 4097}));
FILE_BENCH(distribution_tga, exportDistributionTga, "out.tga", (std::vector<int64_t>{1025, 4097}));
FILE_BENCH(final_texture_tga, exportFinalTextureTga, "out.tga", (std::vector<int64_t>{1025, 4097}));

} // namespace
