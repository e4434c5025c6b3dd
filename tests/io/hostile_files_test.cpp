// Files that must neither hang nor exhaust the editor: FIFOs, devices,
// endless or huge files, and images whose header claims a huge size.
#include "io/document.h"
#include "io/heightmap_import.h"
#include "io/tga.h"

#include "io_test_files.h"

#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

// The largest single allocation made while `gWatch` is set.
static bool gWatch = false;
static size_t gLargest = 0;

// Replaced for the whole test program; they pair malloc with free throughout.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size)
{
    if (gWatch && size > gLargest)
        gLargest = size;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

template <typename Run> static size_t largestAllocation(Run run)
{
    gLargest = 0;
    gWatch = true;
    run();
    gWatch = false;
    return gLargest;
}

// `header` followed by zeros up to `size` bytes, without writing them (a sparse file).
static void writeSparse(const std::string& path, const Bytes& header, off_t size)
{
    writeAll(path, header);
    ASSERT_EQ(truncate(path.c_str(), size), 0);
}

using HostileFiles = ScratchTest;

TEST_F(HostileFiles, FifosDevicesAndHugeFilesAreRefusedQuicklyAndChangeNothing)
{
    ASSERT_EQ(mkfifo((dir + "pipe.bvt").c_str(), 0600), 0);
    for (const char* name : {"pipe.tga", "pipe.pgm"})
        ASSERT_EQ(symlink((dir + "pipe.bvt").c_str(), (dir + name).c_str()), 0);
    const off_t huge = off_t(1) << 36; // 64 GiB of nothing
    writeSparse(dir + "huge.bvt", {92, 0, 0, 0}, huge);
    writeSparse(dir + "huge.pgm", {'P', '5', '\n', '1', ' ', '1', '\n', '2', '5', '5', '\n'}, huge);
    writeSparse(dir + "huge.tga", tga(2, 3, 2, 24, 0, Bytes(18, 9)), huge); // a picture, then 64 GiB
    const struct { std::string path; bool (*load)(const std::string&); std::string message; } cases[] = {
        {dir + "pipe.bvt", loadDocument, "Not a regular file: " + dir + "pipe.bvt"},
        {dir + "pipe.tga", importTgaHeightmap, "Not a regular file: " + dir + "pipe.tga"},
        {dir + "pipe.pgm", importPgmHeightmap, "Not a regular file: " + dir + "pipe.pgm"},
        {"/dev/zero", loadDocument, "Not a regular file: /dev/zero"},
        {"/dev/zero", importTgaHeightmap, "Not a regular file: /dev/zero"},
        {"/dev/zero", importPgmHeightmap, "Not a regular file: /dev/zero"},
        {dir, loadDocument, "Not a regular file: " + dir},
        {dir + "huge.bvt", loadDocument, "Damaged terrain document: " + dir + "huge.bvt"},
        {dir + "huge.pgm", importPgmHeightmap, "File too large: " + dir + "huge.pgm"},
    };
    for (const auto& c : cases) {
        makeFlatTerrain(4, 3, 5.0f);
        pushWholeGridSnapshot(kUndoPositions);
        const size_t largest = largestAllocation([&] { EXPECT_FALSE(c.load(c.path)) << c.path; });
        EXPECT_EQ(editor.statusMessage, c.message);
        EXPECT_LT(largest, size_t(1) << 20) << c.message;
        EXPECT_EQ(std::tuple(editor.terrain.gridX, editor.terrain.gridY, heightAt(3, 2), undoCount()),
                  std::tuple(4, 3, 5.0f, 1)) << c.path;
    }
    // The huge TGA's picture is read and nothing of what follows it.
    const size_t largest = largestAllocation([&] { EXPECT_TRUE(importTgaHeightmap(dir + "huge.tga")); });
    EXPECT_EQ(editor.terrain.gridX, 3);
    EXPECT_LT(largest, size_t(1) << 26);
}

TEST_F(HostileFiles, TheCallersSizeLimitStopsASizeBombBeforeItsPixels)
{
    // 65535 x 65535 run-length pixels: 134 MB on disk would decode to 12.9 GB.
    Bytes bomb = tga(10, 65535, 65535, 24, 0, {});
    for (int i = 0; i < 1000; ++i)
        bomb.insert(bomb.end(), {0xFF, 1, 2, 3});
    writeSparse(dir + "bomb.tga", bomb, off_t(65535) * 65535 / 128 * 4 + 18);
    // 4098 x 1 fits any texture but not a terrain.
    Bytes wide = tga(10, 4098, 1, 24, 0, {0x81, 1, 2, 3});
    for (int i = 0; i < 32; ++i)
        wide.insert(wide.end(), {0xFF, 1, 2, 3});
    writeAll(dir + "wide.tga", wide);
    TgaOptions texture, heightmap;
    heightmap.maxSide = 4097;
    const struct { std::string name; TgaOptions options; std::string failure; } cases[] = {
        {"bomb.tga", texture, "Image too large (at most 8192 x 8192): "},
        {"bomb.tga", heightmap, "Image too large (at most 4097 x 4097): "},
        {"wide.tga", heightmap, "Image too large (at most 4097 x 4097): "},
    };
    for (const auto& c : cases) {
        Image image;
        const size_t largest = largestAllocation([&] { image = readTga(dir + c.name, c.options); });
        EXPECT_TRUE(image.pixels.empty()) << c.name;
        EXPECT_EQ(image.failure, c.failure + dir + c.name);
        EXPECT_LT(largest, size_t(1) << 16) << c.name;
    }
    EXPECT_EQ(readTga(dir + "wide.tga").width, 4098); // the default limit takes it
}
