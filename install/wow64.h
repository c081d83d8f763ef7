// Whether this 32-bit process runs on 64-bit Windows.
#pragma once
#include <windows.h>

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

// Address of IsWow64Process in kernel32, or null where the system lacks it.
IsWow64ProcessFn LookupIsWow64Process();

// Looked up once at start-up.
extern IsWow64ProcessFn theIsWow64Process;

// Nonzero when the process runs under WOW64; false when the function is missing or fails.
BOOL IsWow64();
