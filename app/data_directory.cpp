#include "app/data_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/editor_state.h"

bool isDataDirectory(const std::string& directory)
{
    // The shaders are the one thing the editor cannot draw without.
    struct stat info;
    const std::string marker = directory + "/standard.vert";
    return !directory.empty() && stat(marker.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

static std::string executableDirectory()
{
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return std::string();
    std::string exe(path.data(), size_t(length));
    const size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

bool locateDataDirectory()
{
    std::vector<std::string> candidates;
    if (const char* fromEnvironment = std::getenv("BRIVEL_DATA")) {
        if (isDataDirectory(fromEnvironment)) {
            gDataDirectory = fromEnvironment;
            return true;
        }
        std::fprintf(stderr, "BRIVEL_DATA=%s holds no editor data; looking elsewhere\n", fromEnvironment);
    }
    const std::string exeDirectory = executableDirectory();
    if (!exeDirectory.empty()) {
        candidates.push_back(exeDirectory + "/data");
        candidates.push_back(exeDirectory + "/../share/brivel");
    }
    candidates.push_back("data");
    for (const std::string& candidate : candidates) {
        if (isDataDirectory(candidate)) {
            gDataDirectory = candidate;
            return true;
        }
    }
    gDataDirectory = "data";
    return false;
}
