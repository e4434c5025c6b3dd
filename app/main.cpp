#include <cstdio>
#include <string>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/data_directory.h"
#include "app/main_loop.h"
#include "app/startup.h"

int main(int argc, char** argv)
{
    const Launch launch = parseCommandLine(argc, argv);
    switch (launch.mode) {
    case LaunchMode::kHelp: std::fputs(usageText().c_str(), stdout); return 0;
    case LaunchMode::kVersion: std::printf("brivel %s\n", kBrivelVersion); return 0;
    case LaunchMode::kUsageError:
        std::fprintf(stderr, "brivel: %s\n%s", launch.error.c_str(), usageText().c_str());
        return 2;
    case LaunchMode::kBatch:
        locateDataDirectory();
        return runBatch(launch.batchWords);
    case LaunchMode::kEditor: break;
    }
    if (!locateDataDirectory())
        std::fprintf(stderr, "Cannot find the editor's data folder; set BRIVEL_DATA to it\n");
    if (!startUp()) return 1;
    if (!launch.file.empty()) openTerrainFile(launch.file);
    runMainLoop();
    shutDown();
    return 0;
}
