#include "io/file_read.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileRead openRegularFile(const std::string& path, InputFile& input)
{
    input = InputFile();
    struct stat info;
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return FileRead::kCannotOpen;
    // Refused before opening: opening a device may itself have effects.
    if (!S_ISREG(info.st_mode))
        return FileRead::kNotRegular;
    // O_NONBLOCK: should the name turn into a FIFO between the check and the
    // open, the open returns at once instead of waiting for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return FileRead::kCannotOpen;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return FileRead::kNotRegular;
    }
    input.file = fdopen(fd, "rb");
    if (input.file == nullptr) {
        close(fd);
        return FileRead::kCannotOpen;
    }
    input.size = uint64_t(info.st_size);
    return FileRead::kOk;
}

void closeInputFile(InputFile& input)
{
    if (input.file != nullptr)
        std::fclose(input.file);
    input = InputFile();
}

ByteSource fileSource(const InputFile& input)
{
    ByteSource source;
    source.file = input.file;
    source.size = input.size;
    return source;
}

ByteSource memorySource(const uint8_t* data, size_t size)
{
    ByteSource source;
    source.data = data;
    source.size = data == nullptr ? 0 : size;
    return source;
}

bool takeBytes(ByteSource& source, void* out, size_t count)
{
    if (source.size - source.at < count)
        return false;
    if (source.file != nullptr) {
        if (std::fread(out, 1, count, source.file) != count)
            return false;
    } else if (count > 0) {
        std::memcpy(out, source.data + source.at, count);
    }
    source.at += count;
    return true;
}

FileRead readFileBytes(const std::string& path, uint64_t limit, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    InputFile input;
    const FileRead opened = openRegularFile(path, input);
    if (opened != FileRead::kOk)
        return opened;
    if (input.size > limit) {
        closeInputFile(input);
        return FileRead::kTooLarge;
    }
    // One read for the size the file system reported; a file that shrank
    // meanwhile is a read error, one that grew is read only that far.
    bytes.resize(size_t(input.size));
    ByteSource source = fileSource(input);
    const bool ok = takeBytes(source, bytes.data(), bytes.size());
    closeInputFile(input);
    if (!ok) {
        bytes.clear();
        return FileRead::kReadError;
    }
    return FileRead::kOk;
}

std::string fileReadMessage(FileRead result, const std::string& path)
{
    switch (result) {
    case FileRead::kOk: return std::string();
    case FileRead::kCannotOpen: return "Cannot open " + path;
    case FileRead::kNotRegular: return "Not a regular file: " + path;
    case FileRead::kTooLarge: return "File too large: " + path;
    case FileRead::kReadError: break;
    }
    return "Cannot read " + path;
}

bool pathExists(const std::string& path)
{
    struct stat info;
    return !path.empty() && lstat(path.c_str(), &info) == 0;
}
