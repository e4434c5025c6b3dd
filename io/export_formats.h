// The table of exports the export prompt and batch mode share: each with
// its ExportFormat code, the extension it ensures, its batch name, the label
// the prompt shows and the function that writes it.
#pragma once

#include <string>
#include <string_view>

#include "app/editor_state.h"

struct ExportEntry {
    ExportFormat code;
    const char* extension; // added to a typed name that lacks it
    const char* batchName; // as `--export NAME FILE` takes it
    const char* label;     // the export prompt's format line
    const char* byName;    // the format line when the typed name chose it; nullptr when no name does
    bool (*run)(const std::string& path);
};

// Every export, in code order.
const ExportEntry* exportEntries(size_t& count);
// nullptr when nothing matches.
const ExportEntry* exportByCode(int code);
const ExportEntry* exportByBatchName(std::string_view name);
// The export a typed file name chooses by itself, whatever format is
// selected: a name ending in ".png" or ".r16" (any case) is a 16-bit height map.
const ExportEntry* exportByTypedName(std::string_view fileName);
// The prompt's format line for the selected code and the typed name ("" for none).
const char* exportFormatLine(int code, std::string_view typedName);
