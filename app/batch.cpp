// Batch mode: a table of steps, a parser that checks every argument before
// anything runs, and a runner that stops at the first failure.
#include "app/batch.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

#include "app/editor_state.h"
#include "io/document.h"
#include "io/export_formats.h"
#include "io/heightmap_import.h"
#include "ops/commands.h"
#include "terrain/terrain.h"

namespace {

enum class Argument { kNone, kFile, kCount, kSeed, kValue, kFormatAndFile };

struct StepKind {
    const char* name;
    Argument argument;
    bool (*run)(const BatchStep& step);
};

unsigned long parsedUnsigned(const std::string& text) { return std::strtoul(text.c_str(), nullptr, 10); }

// A whole decimal number in 1..limit (no sign, no trailing characters).
bool readCount(const std::string& text, unsigned long limit, unsigned long& value)
{
    if (text.empty() || text.size() > 10) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = parsedUnsigned(text);
    return value >= 1 && value <= limit;
}

bool readValue(const std::string& text, float& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == nullptr || *end != '\0' || !std::isfinite(parsed)) return false;
    value = float(parsed);
    return std::isfinite(value);
}

// The value of an argument the parser has already checked with readValue.
float parsedValue(const std::string& text)
{
    float value = 0.0f;
    readValue(text, value);
    return value;
}

bool grow(const BatchStep& step, bool yAxis, bool shrink)
{
    const int count = int(parsedUnsigned(step.arguments[0]));
    return shrink ? commandShrinkGrid(yAxis, count) : commandGrowGrid(yAxis, count);
}

bool increaseWithMidpoints(bool plain)
{
    // The editor takes plain midpoints when Ctrl is held with the button.
    const uint32_t saved = editor.modState;
    editor.modState = plain ? kModCtrl : 0;
    const bool ok = commandIncreaseDetail();
    editor.modState = saved;
    return ok;
}

bool exportStep(const BatchStep& step)
{
    const ExportEntry* target = exportByBatchName(step.arguments[0]);
    return target != nullptr && target->run(step.arguments[1]);
}

const StepKind kSteps[] = {
    {"new", Argument::kNone, [](const BatchStep&) { createDefaultTerrain(); return true; }},
    {"load", Argument::kFile, [](const BatchStep& s) { return loadDocument(s.arguments[0]); }},
    {"import", Argument::kFile, [](const BatchStep& s) { return importHeightmapFile(s.arguments[0]); }},
    {"seed", Argument::kSeed, [](const BatchStep& s) { std::srand(unsigned(parsedUnsigned(s.arguments[0]))); return true; }},
    {"generate", Argument::kNone, [](const BatchStep&) { return commandGenerateRandom(); }},
    {"erode", Argument::kNone, [](const BatchStep&) { return commandErosion(); }},
    {"detail-up", Argument::kNone, [](const BatchStep&) { return increaseWithMidpoints(false); }},
    {"detail-up-midpoint", Argument::kNone, [](const BatchStep&) { return increaseWithMidpoints(true); }},
    {"detail-down", Argument::kNone, [](const BatchStep&) { return commandDecreaseDetail(); }},
    {"grow-x", Argument::kCount, [](const BatchStep& s) { return grow(s, false, false); }},
    {"grow-y", Argument::kCount, [](const BatchStep& s) { return grow(s, true, false); }},
    {"shrink-x", Argument::kCount, [](const BatchStep& s) { return grow(s, false, true); }},
    {"shrink-y", Argument::kCount, [](const BatchStep& s) { return grow(s, true, true); }},
    {"invert", Argument::kNone, [](const BatchStep&) { return commandInvertTerrain(); }},
    {"texture-by-elevation", Argument::kNone, [](const BatchStep&) { return commandTextureByElevation(); }},
    {"block-width", Argument::kValue, [](const BatchStep& s) { return commandSetBlockWidth(parsedValue(s.arguments[0])); }},
    {"height-scale", Argument::kValue, [](const BatchStep& s) { return commandSetHeightScale(parsedValue(s.arguments[0])); }},
    {"save", Argument::kFile, [](const BatchStep& s) { return saveDocument(s.arguments[0]); }},
    {"export", Argument::kFormatAndFile, exportStep},
};

std::string exportBatchNames()
{
    size_t count = 0;
    const ExportEntry* entries = exportEntries(count);
    std::string names;
    for (size_t i = 0; i < count; ++i) names += (i == 0 ? "" : " ") + std::string(entries[i].batchName);
    return names;
}

const StepKind* findStep(const std::string& name)
{
    for (const StepKind& kind : kSteps)
        if (name == kind.name) return &kind;
    return nullptr;
}

int argumentCount(Argument argument)
{
    switch (argument) {
    case Argument::kNone: return 0;
    case Argument::kFormatAndFile: return 2;
    default: return 1;
    }
}

// Checks the arguments of one step; an empty string when they are usable.
std::string argumentProblem(const StepKind& kind, const std::vector<std::string>& arguments)
{
    unsigned long count = 0;
    float value = 0.0f;
    switch (kind.argument) {
    case Argument::kNone: return std::string();
    case Argument::kFile: return arguments[0].empty() ? "an empty file name" : std::string();
    case Argument::kCount:
        return readCount(arguments[0], unsigned(kMaxGridSide), count)
                   ? std::string()
                   : "a count of 1 to " + std::to_string(kMaxGridSide) + ", not \"" + arguments[0] + "\"";
    case Argument::kSeed:
        return readCount(arguments[0], 4294967295ul, count) || arguments[0] == "0"
                   ? std::string()
                   : "a whole number, not \"" + arguments[0] + "\"";
    case Argument::kValue:
        return readValue(arguments[0], value) ? std::string() : "a number, not \"" + arguments[0] + "\"";
    case Argument::kFormatAndFile:
        if (exportByBatchName(arguments[0]) == nullptr)
            return "an export format (" + exportBatchNames() + "), not \"" + arguments[0] + "\"";
        return arguments[1].empty() ? "an empty file name" : std::string();
    }
    return std::string();
}

// Prepares the record as start-up would, without a window: clock seed,
// ground textures known by name (the final-texture export reads them), and
// the default terrain.
void startBatchDocument()
{
    resetEditorState();
    std::srand(unsigned(std::time(nullptr)));
    for (int slot = 0; slot < 3; ++slot) {
        TextureRecord record;
        record.name = dataFile(kDefaultGroundTextures[slot]);
        editor.textureCache.push_back(record);
        editor.groundTextures[size_t(slot)] = slot;
    }
    createDefaultTerrain();
}

} // namespace

const char* batchUsage()
{
    return "  --new                      the default terrain (a batch starts with it)\n"
           "  --load FILE                a .bvt document\n"
           "  --import FILE              a height map (.tga .pgm .png .r16 .raw)\n"
           "  --seed N                   seeds the random steps after it (else the clock does)\n"
           "  --generate                 Generate Random\n"
           "  --erode                    Erosion\n"
           "  --detail-up                Increase Detail 2x\n"
           "  --detail-up-midpoint       Increase Detail 2x with plain midpoints (Ctrl)\n"
           "  --detail-down              Decrease Detail 2x\n"
           "  --grow-x N, --grow-y N     N more columns / rows\n"
           "  --shrink-x N, --shrink-y N N fewer columns / rows\n"
           "  --invert                   Invert Terrain\n"
           "  --texture-by-elevation     Texture by Elevation\n"
           "  --block-width W            vertex spacing W (at least 1)\n"
           "  --height-scale S           height scale S (at least 1), heights scaled with it\n"
           "  --save FILE                a .bvt document\n"
           "  --export FORMAT FILE       FORMAT: q1 q3 obj height-tga normal-tga distribution-tga\n"
           "                             texture-tga height-png height-r16\n";
}

bool parseBatchSteps(const std::vector<std::string>& words, std::vector<BatchStep>& steps, std::string& error)
{
    steps.clear();
    for (size_t at = 0; at < words.size();) {
        const std::string& word = words[at];
        const StepKind* kind = word.rfind("--", 0) == 0 ? findStep(word.substr(2)) : nullptr;
        if (kind == nullptr) {
            error = "unknown batch step \"" + word + "\"";
            return false;
        }
        const size_t count = size_t(argumentCount(kind->argument));
        if (words.size() - at - 1 < count) {
            error = word + " needs " + (count == 2 ? "a format and a file name" : "an argument");
            return false;
        }
        BatchStep step{kind->name, std::vector<std::string>(words.begin() + long(at) + 1,
                                                            words.begin() + long(at + 1 + count))};
        const std::string problem = argumentProblem(*kind, step.arguments);
        if (!problem.empty()) {
            error = word + " needs " + problem;
            return false;
        }
        steps.push_back(std::move(step));
        at += 1 + count;
    }
    if (steps.empty()) {
        error = "batch needs at least one step";
        return false;
    }
    return true;
}

int runBatchSteps(const std::vector<BatchStep>& steps, bool showProgress)
{
    gStatusToStderr = false;
    startBatchDocument();
    for (size_t i = 0; i < steps.size(); ++i) {
        const BatchStep& step = steps[i];
        if (showProgress) std::fprintf(stderr, "[%zu/%zu] --%s\n", i + 1, steps.size(), step.name.c_str());
        editor.statusMessage.clear();
        bool ok = false;
        try {
            ok = findStep(step.name)->run(step);
        } catch (const std::bad_alloc&) {
            postStatus("Not enough memory for --" + step.name);
        }
        if (!ok) {
            std::fprintf(stderr, "brivel batch: step %zu (--%s) failed%s%s\n", i + 1, step.name.c_str(),
                         editor.statusMessage.empty() ? "" : ": ", editor.statusMessage.c_str());
            gStatusToStderr = true;
            return 1;
        }
    }
    gStatusToStderr = true;
    return 0;
}

int runBatch(const std::vector<std::string>& words)
{
    std::vector<BatchStep> steps;
    std::string error;
    if (!parseBatchSteps(words, steps, error)) {
        std::fprintf(stderr, "brivel batch: %s\nSteps:\n%s", error.c_str(), batchUsage());
        return 2;
    }
    return runBatchSteps(steps, isatty(STDERR_FILENO) != 0);
}
