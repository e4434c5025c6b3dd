#include "app/editor_state.h"

#include <chrono>
#include <cstdio>

EditorState editor;
std::string gDataDirectory = "data";

std::string dataFile(const std::string& relative) { return gDataDirectory + "/" + relative; }

void resetEditorState() { editor = EditorState{}; }

int64_t steadyMillis()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool gStatusToStderr = true;

void postStatus(const std::string& message)
{
    if (gStatusToStderr) std::fprintf(stderr, "%s\n", message.c_str());
    editor.statusMessage = message;
    editor.statusMessageUntil = steadyMillis() + 4000;
}

bool refused(const std::string& why)
{
    if (why.empty()) return false;
    postStatus(why);
    return true;
}
