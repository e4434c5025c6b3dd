#include "app/editor_state.h"
#include "io/file_write.h"
#include "io_test_files.h"

#include <algorithm>
#include <sys/stat.h>

using FileWrite = ScratchTest;

TEST_F(FileWrite, ReplacesTheTargetAndLeavesNoTemporary)
{
    const std::string target = dir + "out.bin";
    writeAll(target, {1, 2, 3, 4, 5, 6, 7, 8});
    const uint8_t data[3] = {9, 8, 7};
    ASSERT_TRUE(writeFileReplacing(target, data, 3));
    EXPECT_EQ(readAll(target), (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"out.bin"}));
    // Written with the umask's permissions, not the private ones of a temp file.
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST_F(FileWrite, FailuresLeaveTheOldFileAndNoTemporary)
{
    const std::string keep = dir + "keep.txt";
    writeAll(keep, {'o', 'l', 'd'});
    mkdir((dir + "sub").c_str(), 0777);
    const uint8_t data[2] = {1, 2};
    struct Case {
        const char* name;
        std::string target;
    } cases[] = {
        {"missing directory", dir + "nowhere/file.bin"},
        {"target is a directory", dir + "sub"},
        {"empty name", ""},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(writeFileReplacing(c.target, data, 2)) << c.name;
    }
    EXPECT_EQ(readAll(keep), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"keep.txt", "sub"}));
    EXPECT_TRUE(listDir(dir + "sub").empty());

    // A failed write midway (marked by the writer) abandons the temporary.
    PendingFile pending;
    ASSERT_TRUE(beginPendingFile(pending, keep));
    appendPendingFile(pending, data, 2);
    pending.failed = true;
    EXPECT_FALSE(finishPendingFile(pending));
    EXPECT_EQ(readAll(keep), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"keep.txt", "sub"}));
}

TEST_F(FileWrite, FullDeviceIsAFailure)
{
    // /dev/full accepts the open but fails every flushed write.
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    PendingFile pending;
    pending.target = dir + "x";
    pending.tempPath = dir + "never-created";
    pending.file = std::fopen("/dev/full", "wb");
    ASSERT_NE(pending.file, nullptr);
    std::vector<uint8_t> block(1 << 16, 7);
    appendPendingFile(pending, block.data(), block.size());
    EXPECT_FALSE(finishPendingFile(pending));
    EXPECT_TRUE(listDir(dir).empty());
}
