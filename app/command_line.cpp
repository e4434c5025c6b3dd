#include "app/command_line.h"

#include "app/batch.h"
#include "io/document.h"
#include "io/heightmap_import.h"

Launch parseCommandLine(int argc, const char* const* argv)
{
    Launch launch;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) words.emplace_back(argv[i]);
    if (!words.empty() && words[0] == "batch") {
        launch.mode = LaunchMode::kBatch;
        launch.batchWords.assign(words.begin() + 1, words.end());
        return launch;
    }
    bool optionsEnded = false;
    for (const std::string& word : words) {
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (word == "--help" || word == "-h")) {
            launch.mode = LaunchMode::kHelp;
            return launch;
        } else if (!optionsEnded && word == "--version") {
            launch.mode = LaunchMode::kVersion;
            return launch;
        } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
            launch.mode = LaunchMode::kUsageError;
            launch.error = "unknown option \"" + word + "\"";
            return launch;
        } else if (!launch.file.empty()) {
            launch.mode = LaunchMode::kUsageError;
            launch.error = "one file at a time";
            return launch;
        } else {
            launch.file = word;
        }
    }
    return launch;
}

std::string usageText()
{
    return std::string("Usage: brivel [FILE]\n"
                       "       brivel batch STEP...\n"
                       "       brivel --help | --version\n"
                       "\n"
                       "Opens the terrain editor, on FILE when given: a .bvt document is loaded, an image\n"
                       "(.tga .pgm .png) or raw 16-bit file (.r16 .raw) is imported as a height map.\n"
                       "\n"
                       "batch runs the steps in order without a window and exits 0 when all succeed,\n"
                       "or 1 at the first failing step. Steps:\n") +
           batchUsage() +
           "\n"
           "The data folder is found beside the executable, under ../share/brivel, or in $BRIVEL_DATA.\n";
}

bool openTerrainFile(const std::string& path)
{
    const bool document = path.size() >= 4 && path.compare(path.size() - 4, 4, ".bvt") == 0;
    return document ? loadDocument(path) : importHeightmapFile(path);
}
