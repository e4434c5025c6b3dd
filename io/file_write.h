// Safe replacement of files: everything is written to a temporary file
// beside the final target (symbolic links followed) and renamed over it only
// once every write and the close succeeded, so a failed save never destroys
// an existing file. A target the user may not write is refused; a replaced
// file keeps its mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// A file being written. Fill it with appendPendingFile, then finish or
// abandon it; between those calls the target is untouched (unless the file
// is written in place, see `inPlace`).
struct PendingFile {
    std::string target;    // the name as given
    std::string finalPath; // the file the bytes are for: `target` with its links resolved
    std::string tempPath;  // the temporary beside finalPath; empty when writing in place
    FILE* file = nullptr;
    bool failed = false;   // a write failed; finishing will fail and clean up
    // The folder takes no new file but the existing file may be written: it
    // is overwritten directly, so a failure part-way leaves it damaged.
    bool inPlace = false;
    bool replacing = false;  // finalPath existed: its mode and owner go to the new file
    uint32_t mode = 0;       // the existing file's permission bits
    uint32_t owner = 0, group = 0;
};

// Creates the temporary file beside the target (or opens the target itself
// when only that is writable); false, with nothing created, when the target
// is not a regular file, may not be written, or nothing can be created.
bool beginPendingFile(PendingFile& pending, const std::string& target);
// Appends bytes; a short write marks the file failed.
void appendPendingFile(PendingFile& pending, const void* data, size_t size);
// Closes the temporary and renames it over the target. On any failure the
// temporary is removed, the target is left as it was, and false is returned.
bool finishPendingFile(PendingFile& pending);
// Closes and removes the temporary without touching the target.
void abandonPendingFile(PendingFile& pending);

// Whole-buffer convenience: begin, one append, finish.
bool writeFileReplacing(PendingFile& pending, const std::string& target, const void* data, size_t size);
// The user's one line about a finished write: "<done> NAME", with a note when
// the file was written in place, or "Cannot write NAME".
std::string writeOutcomeMessage(const char* done, const PendingFile& pending, bool ok);
