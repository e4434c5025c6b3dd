// Scratch files for the file tests: a fresh directory per test, bytes in
// and out, and directory listings to prove no temporary was left behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

inline std::string makeScratchDir()
{
    std::string pattern = testing::TempDir() + "brivel-test-XXXXXX";
    char* made = mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr);
    return pattern + "/";
}

inline void removeScratchDir(const std::string& dir)
{
    std::string command = "rm -rf '" + dir + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

inline std::vector<uint8_t> readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline std::vector<std::string> listDir(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A test fixture with a clean editor and its own scratch directory.
class ScratchTest : public testing::Test {
protected:
    void SetUp() override
    {
        resetEditorState();
        dir = makeScratchDir();
    }
    void TearDown() override { removeScratchDir(dir); }
    std::string dir;
};
