// Row loops on several threads: every command, reader and writer gives the
// same bits as on one thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "../io/io_test_files.h"
#include "io/document.h"
#include "io/heightmap_import.h"
#include "io/image_export.h"
#include "io/map_export.h"
#include "io/obj_export.h"
#include "ops/commands.h"
#include "terrain/parallel.h"
#include "terrain/terrain.h"

namespace {

using ParallelRows = ScratchTest;

TEST(ParallelRowsLoop, VisitsEveryRowOnceAndPassesAFailureOn)
{
    setWorkerThreads(4);
    std::vector<std::atomic<int>> visits(1000);
    std::atomic<int> otherThreads{0};
    const std::thread::id caller = std::this_thread::get_id();
    parallelRows(1000, 1, [&](int first, int end) {
        if (std::this_thread::get_id() != caller) {
            ++otherThreads;
        } else {
            // The rows are trivial: without waiting, the calling thread could
            // finish them all before a helper is scheduled on a busy machine.
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (otherThreads.load() == 0 && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::yield();
        }
        for (int r = first; r < end; ++r) ++visits[size_t(r)];
    });
    for (const auto& v : visits) EXPECT_EQ(v.load(), 1);
    EXPECT_GT(otherThreads.load(), 0);
    EXPECT_THROW(parallelRows(1000, 1, [](int first, int end) {
                     if (first <= 700 && 700 < end) throw std::bad_alloc();
                 }),
                 std::bad_alloc);
    setWorkerThreads(0);
}

// A relief of 131 x 97 vertices (enough rows for four threads) on a map of
// 70 x 90 texels with a pattern in it.
void prepare()
{
    makeFlatTerrain(131, 97, 0.0f);
    addRelief();
    Terrain& t = editor.terrain;
    t.distributionWidth = 70;
    t.distributionHeight = 90;
    t.distribution.resize(70 * 90 * 3);
    for (size_t i = 0; i < t.distribution.size(); ++i) t.distribution[i] = float(i % 17) / 16.0f;
    srand(23);
}

// What one run leaves: the terrain's bits and the bytes of any file written.
using Outcome = std::pair<Bytes, Bytes>;

TEST_F(ParallelRows, CommandsFilesAndExportsMatchOneThreadBitForBit)
{
    const std::string document = dir + "in.bvt", image = dir + "in.pgm", out = dir + "out";
    prepare();
    ASSERT_TRUE(saveDocument(document));
    {
        std::string header = "P5\n131 97\n255\n";
        Bytes pgm(header.begin(), header.end());
        for (int i = 0; i < 131 * 97; ++i) pgm.push_back(uint8_t(i * 7 % 251));
        writeAll(image, pgm);
    }
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"generate random", commandGenerateRandom},
        {"erosion", commandErosion},
        {"texture by elevation", commandTextureByElevation},
        {"invert", commandInvertTerrain},
        {"increase detail", commandIncreaseDetail},
        {"increase detail, ctrl", [] { editor.modState = kModCtrl; commandIncreaseDetail(); }},
        {"decrease detail", commandDecreaseDetail},
        {"page up", [] { commandGrowGrid(false, 8); }},
        {"ctrl page up", [] { commandGrowGrid(true, 8); }},
        {"page down", [] { commandShrinkGrid(false, 8); }},
        {"block width", [] { commandBlockWidth(true, true); }},
        {"height scale", [] { commandHeightScale(false, false); }},
        {"light moved", [] { editor.lightPosition[0] = 900.0f; relightAllVertices(); }},
        {"load", [&] { loadDocument(document); }},
        {"import", [&] { importPgmHeightmap(image); }},
        {"obj", [&] { exportObj(out); }},
        {"q3 map", [&] { exportQ3Map(out); }},
        {"height map", [&] { exportHeightmapTga(out); }},
        {"normal map", [&] { exportNormalMapTga(out); }},
        {"distribution map", [&] { exportDistributionTga(out); }},
        {"final texture", [&] { exportFinalTextureTga(out); }},
    };
    for (const auto& [name, run] : cases) {
        SCOPED_TRACE(name);
        Outcome outcomes[2];
        for (int threads : {1, 4}) {
            prepare();
            std::remove(out.c_str());
            setWorkerThreads(threads);
            run();
            setWorkerThreads(0);
            outcomes[threads == 4] = {terrainBytes(), readAll(out)};
        }
        EXPECT_TRUE(outcomes[0] == outcomes[1]);
    }
}

} // namespace
