// The product's entry point: the Windows platform's start-up, the program, then the end.
#include <windows.h>

#include "app/program.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Platform platform;  // start-up: the run directory becomes the current directory
  Program program(platform);
  program.Run();
  platform.EndProgram(0);  // the exit action runs, the process ends with code 0
}
