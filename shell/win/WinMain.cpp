#include "shell/win/StartUp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    return kelvane::runStartUp(instance, commandLine, showCommand);
}
