// Loads, imports, saves and exports when memory runs out: each allocation
// they make is failed in turn, as the prompt runs them (one operation each).
#include "io/document.h"
#include "io/heightmap_import.h"
#include "io/image_export.h"
#include "io/map_export.h"
#include "io/obj_export.h"
#include "io_test_files.h"
#include "support/allocation_failure.h"
#include "terrain/operation.h"

#include <functional>

namespace {

using FilesOutOfMemory = ScratchTest;

// A 9 x 7 relief on a 16 x 8 map with two undo entries and one redo entry.
void prepareScene()
{
    makeFlatTerrain(9, 7, 0.0f);
    addRelief();
    editor.terrain.distributionWidth = 16;
    editor.terrain.distributionHeight = 8;
    editor.terrain.distribution.assign(16 * 8 * 3, 0.25f);
    for (int i = 0; i < 3; ++i) {
        pushWholeGridSnapshot(kUndoPositions);
        heightAt(i, 1) += 5.0f;
    }
    undo();
    editor.statusMessage.clear();
}

bool refusedForMemory() { return editor.statusMessage.rfind("Not enough memory for ", 0) == 0; }

// A reader either installs the whole file or, refused, leaves the document
// and its history as they were.
TEST_F(FilesOutOfMemory, ReadersInstallAllOrNothing)
{
    prepareScene();
    heightAt(4, 4) = 900.0f; // something the saved document has and the scene not
    ASSERT_TRUE(saveDocument(dir + "other.bvt"));
    writeAll(dir + "image.pgm", [] {
        std::string header = "P5\n5 4\n255\n";
        Bytes file(header.begin(), header.end());
        for (int i = 0; i < 20; ++i)
            file.push_back(uint8_t(i * 12));
        return file;
    }());
    writeAll(dir + "image.tga", tga(2, 4, 3, 24, 0x20, Bytes(4 * 3 * 3, 99)));
    const std::pair<const char*, std::function<void()>> readers[] = {
        {"Load Terrain", [&] { loadDocument(dir + "other.bvt"); }},
        {"Import Heightmap", [&] { importPgmHeightmap(dir + "image.pgm"); }},
        {"Import Heightmap", [&] { importTgaHeightmap(dir + "image.tga"); }},
    };
    for (const auto& [operation, read] : readers) {
        SCOPED_TRACE(operation);
        prepareScene();
        const std::vector<Bytes> before = sceneWithHistory();
        armAllocationFailure(-1);
        ASSERT_TRUE(runOperation(operation, read));
        const long allocations = disarmAllocationFailure();
        const std::vector<Bytes> after = sceneWithHistory();
        ASSERT_NE(after, before);
        for (long failing = 0; failing < allocations; ++failing) {
            SCOPED_TRACE(failing);
            prepareScene();
            armAllocationFailure(failing);
            const bool ran = runOperation(operation, read);
            disarmAllocationFailure();
            EXPECT_EQ(ran, !refusedForMemory());
            ASSERT_EQ(sceneWithHistory(), ran ? after : before);
        }
    }
}

// A writer leaves the target either as it was or completely written, and
// no temporary file behind; the document never changes.
TEST_F(FilesOutOfMemory, WritersReplaceTheFileWholeOrNotAtAll)
{
    const std::pair<const char*, bool (*)(const std::string&)> writers[] = {
        {"target.bvt", saveDocument},          {"target.obj", exportObj},
        {"target.map", exportQ1Map},           {"target.tga", exportHeightmapTga},
        {"target.tga", exportDistributionTga}, {"target.tga", exportNormalMapTga},
        {"target.tga", exportFinalTextureTga},
    };
    for (size_t writer = 0; writer < std::size(writers); ++writer) {
        SCOPED_TRACE(writer);
        const auto& [name, write] = writers[writer];
        const std::string target = dir + name;
        const Bytes old = {'o', 'l', 'd'};
        prepareScene();
        const std::vector<Bytes> scene = sceneWithHistory();
        writeAll(target, old);
        armAllocationFailure(-1);
        ASSERT_TRUE(runOperation("Export Terrain", [&] { write(target); }));
        const long allocations = disarmAllocationFailure();
        const Bytes written = readAll(target);
        ASSERT_NE(written, old);
        const Names files = listDir(dir);
        for (long failing = 0; failing < allocations; ++failing) {
            SCOPED_TRACE(failing);
            writeAll(target, old);
            armAllocationFailure(failing);
            runOperation("Export Terrain", [&] { write(target); });
            disarmAllocationFailure();
            const Bytes now = readAll(target);
            EXPECT_TRUE(now == old || now == written);
            ASSERT_EQ(listDir(dir), files);
            ASSERT_EQ(sceneWithHistory(), scene);
        }
    }
}

} // namespace
