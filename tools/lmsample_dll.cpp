// A small library that the sample package ships on a "File Copy ind: " line:
// no system has one of this name, so setup places it.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI LmShotFxVersion() { return 6; }
