// Temporary-file-and-rename writer. The temporary sits in the same directory
// as the target so that the final rename never crosses file systems and is
// atomic: readers see either the old file or the complete new one.
#include "io/file_write.h"

#include <cerrno>
#include <utility>
#include <fcntl.h>
#include <unistd.h>

bool beginPendingFile(PendingFile& pending, const std::string& target)
{
    abandonPendingFile(pending);
    pending.failed = false;
    pending.target = target;
    if (target.empty())
        return false;
    // Mode 0666 lets the process umask decide the permissions, as a plain
    // fopen would; O_EXCL keeps us from ever writing through someone else's file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = target + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(attempt);
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        pending.file = fdopen(fd, "wb");
        if (pending.file == nullptr) {
            close(fd);
            unlink(candidate.c_str());
            return false;
        }
        pending.tempPath = std::move(candidate); // no allocation once the file exists
        return true;
    }
    return false;
}

void appendPendingFile(PendingFile& pending, const void* data, size_t size)
{
    if (pending.file == nullptr || pending.failed || size == 0)
        return;
    if (std::fwrite(data, 1, size, pending.file) != size)
        pending.failed = true;
}

PendingFile::~PendingFile() { abandonPendingFile(*this); }

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
    ok = std::fclose(pending.file) == 0 && ok;
    pending.file = nullptr;
    if (ok)
        ok = std::rename(pending.tempPath.c_str(), pending.target.c_str()) == 0;
    if (!ok)
        unlink(pending.tempPath.c_str());
    pending.tempPath.clear();
    return ok;
}

bool writeFileReplacing(const std::string& target, const void* data, size_t size)
{
    PendingFile pending;
    if (!beginPendingFile(pending, target))
        return false;
    appendPendingFile(pending, data, size);
    return finishPendingFile(pending);
}
