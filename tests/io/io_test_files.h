// Scratch files for the file tests: a fresh directory per test, bytes in
// and out, and directory listings to prove no temporary was left behind.
#pragma once

#include "app/editor_state.h"
#include "support/terrain_fixtures.h"
#include "terrain/undo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

// The whole file as bytes (or as text with Container = std::string).
template <typename Container = Bytes> Container readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Container(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A TGA file: the 18-byte header with `type`, size, depth and descriptor, then `body`.
inline Bytes tga(int type, int width, int height, int depth, int descriptor, const Bytes& body)
{
    Bytes file = body;
    file.insert(file.begin(), {0, 0, uint8_t(type), 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8),
                               uint8_t(height), uint8_t(height >> 8), uint8_t(depth), uint8_t(descriptor)});
    return file;
}

inline Names listDir(const std::string& dir)
{
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A test fixture with a clean editor and its own scratch directory.
class ScratchTest : public testing::Test {
protected:
    void SetUp() override
    {
        resetEditorState();
        std::string pattern = testing::TempDir() + "brivel-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern + "/";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};
