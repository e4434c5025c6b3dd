#include <cstdio>

#include "app/data_directory.h"
#include "app/main_loop.h"
#include "app/startup.h"

int main()
{
    if (!locateDataDirectory())
        std::fprintf(stderr, "Cannot find the editor's data folder; set BRIVEL_DATA to it\n");
    if (!startUp()) return 1;
    runMainLoop();
    shutDown();
    return 0;
}
