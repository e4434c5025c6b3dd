// Safe replacement of files: everything is written to a temporary file in
// the target's directory and renamed over the target only once every write
// and the close succeeded, so a failed save never destroys an existing file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// A file being written. Fill it with appendPendingFile, then finish or
// abandon it; between those calls the target is untouched.
struct PendingFile {
    std::string target;
    std::string tempPath;
    FILE* file = nullptr;
    bool failed = false; // a write failed; finishing will fail and clean up

    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    // One left unfinished (its writer ran out of memory, say) is abandoned:
    // no temporary file stays behind.
    ~PendingFile();
};

// Creates the temporary file beside `target`; false (and nothing created)
// when the directory cannot take it.
bool beginPendingFile(PendingFile& pending, const std::string& target);
// Appends bytes; a short write marks the file failed.
void appendPendingFile(PendingFile& pending, const void* data, size_t size);
// Closes the temporary and renames it over the target. On any failure the
// temporary is removed, the target is left as it was, and false is returned.
bool finishPendingFile(PendingFile& pending);
// Closes and removes the temporary without touching the target.
void abandonPendingFile(PendingFile& pending);

// Whole-buffer convenience: begin, one append, finish.
bool writeFileReplacing(const std::string& target, const void* data, size_t size);
