// Temporary-file-and-rename writer. The temporary sits in the same directory
// as the final target so that the rename never crosses file systems and is
// atomic: readers see either the old file or the complete new one.
#include "io/file_write.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Symbolic link chains longer than this are taken as loops (the kernel's own limit).
static constexpr int kMaxLinkDepth = 40;

// The file `target` finally names: each symbolic link in turn replaced by
// what it points to (relative links resolve against the link's folder). A
// dangling link yields the missing file it points to, which will be created.
static bool resolveLinks(const std::string& target, std::string& resolved)
{
    resolved = target;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat info;
        if (lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        char link[PATH_MAX];
        const ssize_t length = readlink(resolved.c_str(), link, sizeof link - 1);
        if (length <= 0)
            return false;
        const std::string next(link, size_t(length));
        const size_t slash = resolved.rfind('/');
        if (next[0] == '/' || slash == std::string::npos)
            resolved = next;
        else
            resolved = resolved.substr(0, slash + 1) + next;
    }
    return false;
}

// Checks the existing final file: it must be a regular file the user may
// write. The permission bits count even for root, for whom access() always
// succeeds: a file nobody may write is protected on purpose.
static bool existingTargetWritable(PendingFile& pending)
{
    struct stat info;
    if (stat(pending.finalPath.c_str(), &info) != 0)
        return errno == ENOENT;
    if (!S_ISREG(info.st_mode) || access(pending.finalPath.c_str(), W_OK) != 0 || (info.st_mode & 0222) == 0)
        return false;
    pending.replacing = true;
    pending.mode = uint32_t(info.st_mode & 07777);
    pending.owner = uint32_t(info.st_uid);
    pending.group = uint32_t(info.st_gid);
    return true;
}

static bool openTemporary(PendingFile& pending, int& error)
{
    // Mode 0666 lets the process umask decide the permissions of a new file,
    // as a plain fopen would; O_EXCL keeps us from writing through someone
    // else's file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate =
            pending.finalPath + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(attempt);
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = errno;
            if (error == EEXIST)
                continue;
            return false;
        }
        if (pending.replacing) {
            fchmod(fd, mode_t(pending.mode));
            // Keeping the owner works for root only; anyone else keeps the
            // file as theirs, as any editor that replaces files does.
            const bool ownerKept = fchown(fd, uid_t(pending.owner), gid_t(pending.group)) == 0;
            (void)ownerKept;
        }
        pending.file = fdopen(fd, "wb");
        if (pending.file == nullptr) {
            close(fd);
            unlink(candidate.c_str());
            return false;
        }
        pending.tempPath = candidate;
        return true;
    }
    return false;
}

// The folder refuses new files but the file itself is writable: overwrite
// it. The data is written from the start and the file cut to its new length
// at the end, so a save that fails before its first byte changes nothing.
static bool openInPlace(PendingFile& pending)
{
    const int fd = open(pending.finalPath.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || (pending.file = fdopen(fd, "wb")) == nullptr) {
        close(fd);
        return false;
    }
    pending.inPlace = true;
    return true;
}

bool beginPendingFile(PendingFile& pending, const std::string& target)
{
    pending = PendingFile();
    pending.target = target;
    if (target.empty() || !resolveLinks(target, pending.finalPath) || !existingTargetWritable(pending))
        return false;
    int error = 0;
    if (openTemporary(pending, error))
        return true;
    return pending.replacing && (error == EACCES || error == EPERM) && openInPlace(pending);
}

void appendPendingFile(PendingFile& pending, const void* data, size_t size)
{
    if (pending.file == nullptr || pending.failed || size == 0)
        return;
    if (std::fwrite(data, 1, size, pending.file) != size)
        pending.failed = true;
}

void abandonPendingFile(PendingFile& pending)
{
    if (pending.file != nullptr)
        std::fclose(pending.file);
    pending.file = nullptr;
    if (!pending.tempPath.empty())
        unlink(pending.tempPath.c_str());
    pending.tempPath.clear();
}

bool finishPendingFile(PendingFile& pending)
{
    if (pending.file == nullptr)
        return false;
    if (pending.failed) {
        abandonPendingFile(pending);
        return false;
    }
    // fflush and fclose report the errors of buffered writes (a full disk
    // shows up here, not at fwrite).
    bool ok = std::fflush(pending.file) == 0;
    if (ok && pending.inPlace) {
        const long length = std::ftell(pending.file);
        ok = length >= 0 && ftruncate(fileno(pending.file), off_t(length)) == 0;
    }
    ok = std::fclose(pending.file) == 0 && ok;
    pending.file = nullptr;
    if (pending.inPlace)
        return ok;
    if (ok)
        ok = std::rename(pending.tempPath.c_str(), pending.finalPath.c_str()) == 0;
    if (!ok)
        unlink(pending.tempPath.c_str());
    pending.tempPath.clear();
    return ok;
}

bool writeFileReplacing(PendingFile& pending, const std::string& target, const void* data, size_t size)
{
    if (!beginPendingFile(pending, target))
        return false;
    appendPendingFile(pending, data, size);
    return finishPendingFile(pending);
}

std::string writeOutcomeMessage(const char* done, const PendingFile& pending, bool ok)
{
    if (!ok)
        return "Cannot write " + pending.target;
    std::string message = std::string(done) + " " + pending.target;
    if (pending.inPlace)
        message += " (written in place: its folder takes no new files)";
    return message;
}
