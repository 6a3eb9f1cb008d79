// The executable's entry point: bring up the platform, then run the program.
#include "app/startup.h"
#include "platform/platform.h"

int main() {
    InitPlatform();
    Main();
}
