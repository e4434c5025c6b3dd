#include "app/main_loop.h"
#include "app/startup.h"

int main()
{
    if (!startUp()) return 1;
    runMainLoop();
    shutDown();
    return 0;
}
