#include "app/main_loop.h"
#include "app/startup.h"

int main()
{
    startUp();
    runMainLoop();
    shutDown();
    return 0;
}
