// The headless batch mode: `brivel batch STEP...` runs whole-terrain steps
// in order, without a window or display, through the same functions the
// editor's keys, buttons and prompts call. Only the model library is used.
#pragma once

#include <string>
#include <vector>

// One parsed step: its name without the leading "--" and its arguments.
struct BatchStep {
    std::string name;
    std::vector<std::string> arguments;
};

// Parses the words after "batch". On a usage error (unknown step, missing or
// malformed argument, no step at all) returns false with the reason.
bool parseBatchSteps(const std::vector<std::string>& words, std::vector<BatchStep>& steps, std::string& error);
// Runs the steps on a fresh default terrain; stops at the first failing
// step. Returns 0 when all succeeded, 1 at a failure (its message has been
// written to stderr). `showProgress` adds a line per step on stderr.
int runBatchSteps(const std::vector<BatchStep>& steps, bool showProgress);
// The whole mode: parse, then run; 2 on a usage error.
int runBatch(const std::vector<std::string>& words);
// The list of steps for the usage text.
const char* batchUsage();
