// Reading files the user named. Only regular files are read: a FIFO, a
// device, a socket or a folder is refused before anything could wait on it,
// and no reader takes more bytes than its format can need.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class FileRead { kOk, kCannotOpen, kNotRegular, kTooLarge, kReadError };

// A regular file open for reading.
struct InputFile {
    std::FILE* file = nullptr;
    uint64_t size = 0; // bytes, as the file system reported at opening
};

// Opens `path` only if it is a regular file. The type is checked before the
// open, and the open itself never blocks, so a FIFO cannot hang the editor.
FileRead openRegularFile(const std::string& path, InputFile& input);
void closeInputFile(InputFile& input);

// Bytes from an open file or a memory block, taken in order through a
// cursor that refuses to pass `size`.
struct ByteSource {
    std::FILE* file = nullptr;
    const uint8_t* data = nullptr;
    uint64_t size = 0; // bytes available in all
    uint64_t at = 0;   // bytes taken so far
};
ByteSource fileSource(const InputFile& input);
ByteSource memorySource(const uint8_t* data, size_t size);
// Takes exactly `count` bytes; false (and nothing taken) past the end or on a read error.
bool takeBytes(ByteSource& source, void* out, size_t count);

// Reads all of the regular file `path` if it holds at most `limit` bytes
// (replacing the contents of `bytes`; empty on any failure).
FileRead readFileBytes(const std::string& path, uint64_t limit, std::vector<uint8_t>& bytes);
// The one-line reason for a failed read: "Cannot open NAME", "Not a regular
// file: NAME", "File too large: NAME" or "Cannot read NAME".
std::string fileReadMessage(FileRead result, const std::string& path);
// Whether anything (even a dangling link) exists under `path`.
bool pathExists(const std::string& path);
