// Where the editor's art and shaders are: found at start-up so that the
// editor runs from any working directory, in the build tree or installed.
#pragma once

#include <string>

// Sets gDataDirectory (app/editor_state.h) to the first folder that holds the
// editor's data, in this order: $BRIVEL_DATA, "data" beside the executable,
// "../share/brivel" beside it (an installed editor), "data" in the working
// directory. Returns false, and leaves "data", when none does.
bool locateDataDirectory();
// Whether `directory` holds the editor's data (tests use it).
bool isDataDirectory(const std::string& directory);
