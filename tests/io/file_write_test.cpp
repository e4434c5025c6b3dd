// Saving respects the user's file system: links are written through,
// protected files are refused, a replaced file keeps its mode, a read-only
// folder is written in place, and a failed rename leaves nothing behind.
#include "io/document.h"
#include "io/file_write.h"
#include "io/image_export.h"
#include "io/map_export.h"
#include "io/obj_export.h"

#include "io_test_files.h"

#include <sys/stat.h>
#include <unistd.h>

static const std::pair<const char*, bool (*)(const std::string&)> kWriters[] = {
    {"save", saveDocument},           {"q1", exportQ1Map},           {"q3", exportQ3Map},
    {"obj", exportObj},               {"height", exportHeightmapTga}, {"distribution", exportDistributionTga},
    {"texture", exportFinalTextureTga}, {"normal", exportNormalMapTga},
};

static unsigned modeOf(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

static bool isLink(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

using FileWrite = ScratchTest;

TEST_F(FileWrite, EveryWriterWritesThroughLinksAndKeepsTheReplacedFilesMode)
{
    makeFlatTerrain(3, 3);
    ASSERT_EQ(mkdir((dir + "real").c_str(), 0755), 0);
    for (const auto& [name, write] : kWriters) {
        // A relative link to a link to a file with mode 0600, and a dangling link.
        const std::string file = dir + "real/" + name, dangling = dir + "real/new-" + name;
        writeAll(file, {'o', 'l', 'd'});
        chmod(file.c_str(), 0600);
        ASSERT_EQ(symlink((std::string("real/") + name).c_str(), (dir + "first-" + name).c_str()), 0);
        ASSERT_EQ(symlink(("first-" + std::string(name)).c_str(), (dir + name).c_str()), 0);
        ASSERT_EQ(symlink(dangling.c_str(), (dir + "to-new-" + name).c_str()), 0);
        ASSERT_TRUE(write(dir + name)) << name;
        ASSERT_TRUE(write(dir + "to-new-" + name)) << name;
        EXPECT_TRUE(isLink(dir + name) && isLink(dir + "first-" + name) && isLink(dir + "to-new-" + name)) << name;
        EXPECT_GT(readAll(file).size(), 3u) << name;
        EXPECT_EQ(readAll(file), readAll(dangling)) << name;
        EXPECT_EQ(modeOf(file), 0600u) << name;
    }
    EXPECT_EQ(listDir(dir + "real").size(), 2 * std::size(kWriters)) << "no temporary is left";
}

TEST_F(FileWrite, FilesNobodyMayWriteAndNonFilesAreRefusedAndKept)
{
    makeFlatTerrain(3, 3);
    writeAll(dir + "locked", {'o', 'l', 'd'});
    chmod((dir + "locked").c_str(), 0444);
    ASSERT_EQ(mkdir((dir + "folder").c_str(), 0755), 0);
    ASSERT_EQ(symlink("locked", (dir + "link").c_str()), 0);
    for (const auto& [name, write] : kWriters) {
        for (const char* target : {"locked", "link", "folder"}) {
            EXPECT_FALSE(write(dir + target)) << name << " " << target;
            EXPECT_EQ(editor.statusMessage, "Cannot write " + dir + target);
        }
    }
    EXPECT_EQ(readAll<std::string>(dir + "locked"), "old");
    EXPECT_EQ(modeOf(dir + "locked"), 0444u);
    EXPECT_EQ(listDir(dir), (Names{"folder", "link", "locked"}));
}

TEST_F(FileWrite, AFailedRenameIsAFailureAndLeavesNoTemporary)
{
    PendingFile pending;
    ASSERT_TRUE(beginPendingFile(pending, dir + "out"));
    appendPendingFile(pending, "data", 4);
    // Something else takes the name meanwhile: a folder that is not empty.
    ASSERT_EQ(mkdir((dir + "out").c_str(), 0755), 0);
    writeAll(dir + "out/keep", {1});
    EXPECT_FALSE(finishPendingFile(pending));
    EXPECT_EQ(writeOutcomeMessage("Saved", pending, false), "Cannot write " + dir + "out");
    EXPECT_EQ(listDir(dir), Names{"out"});
    EXPECT_EQ(listDir(dir + "out"), Names{"keep"});
}

// Runs `check` as an ordinary user in a child process (root passes every
// permission check); its failures come back as the child's exit status.
template <typename Check> static void asOrdinaryUser(Check check)
{
    EXPECT_EXIT(
        {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                std::_Exit(3);
            std::_Exit(check() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(FileWrite, AnotherUsersFileIsRefusedAndAReadOnlyFolderIsWrittenInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
    makeFlatTerrain(3, 3);
    chmod(dir.c_str(), 0755); // root's folder: the other user may read, not create
    ASSERT_EQ(mkdir((dir + "open").c_str(), 0777), 0);
    chmod((dir + "open").c_str(), 0777);
    writeAll(dir + "open/theirs", {'o', 'l', 'd'}); // 0644, root's
    writeAll(dir + "shared", Bytes(100000, 'x'));
    chmod((dir + "shared").c_str(), 0666);
    asOrdinaryUser([&] {
        const bool refused = !exportObj(dir + "open/theirs") &&
                             editor.statusMessage == "Cannot write " + dir + "open/theirs";
        const bool written = exportObj(dir + "shared") &&
                             editor.statusMessage == "Exported " + dir + "shared" +
                                                         " (written in place: its folder takes no new files)";
        return refused && written;
    });
    EXPECT_EQ(readAll<std::string>(dir + "open/theirs"), "old");
    EXPECT_TRUE(readAll<std::string>(dir + "shared").starts_with("v 0.000000 0.000000 256.000000\n"));
    EXPECT_LT(readAll(dir + "shared").size(), 100000u) << "the old tail is cut off";
    EXPECT_EQ(modeOf(dir + "shared"), 0666u);
    EXPECT_EQ(listDir(dir), (Names{"open", "shared"}));
    EXPECT_EQ(listDir(dir + "open"), Names{"theirs"});
}
