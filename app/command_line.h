// The editor's command line, in the conventions of Unix tools:
//   brivel [FILE]            the editor, on FILE when one is given
//   brivel batch STEP...     headless batch mode (app/batch.h)
//   brivel --help | --version
#pragma once

#include <string>
#include <vector>

constexpr const char* kBrivelVersion = "1.0.0";

enum class LaunchMode { kEditor, kBatch, kHelp, kVersion, kUsageError };

struct Launch {
    LaunchMode mode = LaunchMode::kEditor;
    std::string file;                     // editor: the document or height map to open, may be empty
    std::vector<std::string> batchWords;  // batch: the words after "batch"
    std::string error;                    // usage error: why
};

// Reads argv[1..]; never fails, a bad line gives kUsageError.
Launch parseCommandLine(int argc, const char* const* argv);
// The usage text (for --help on stdout, for errors on stderr).
std::string usageText();
// Opens FILE given on the command line: a .bvt document is loaded, anything
// else imported as a height map. A failure is reported and changes nothing.
bool openTerrainFile(const std::string& path);
