#include "install/wow64.h"

IsWow64ProcessFn LookupIsWow64Process() {
  HMODULE kernel = GetModuleHandleA("kernel32");
  if (!kernel) return nullptr;
  return reinterpret_cast<IsWow64ProcessFn>(GetProcAddress(kernel, "IsWow64Process"));
}

BOOL IsWow64() {
  BOOL result = FALSE;
  if (theIsWow64Process) theIsWow64Process(GetCurrentProcess(), &result);
  return result;
}
