// Copying package files into the install folder, with care for files in use.
#pragma once
#include <windows.h>

#include <string>

// Copies sourceFolder\name to destFolder\(newName or name). A destination in use
// is moved aside (".old", deleted at restart) or, when that fails, the new copy
// is staged as ".new" to replace it at restart. Nonzero when the destination was
// written or nothing needed doing; 0 otherwise (also when staged). When the
// staged copy cannot be made, nothing is registered and the file in use stays.
// A path of 260 bytes or more is refused: 0, nothing touched.
BOOL PlaceFile(const std::string& name, const std::string& sourceFolder,
               const std::string& destFolder, const char* newName);

// Copies every match of `pattern` (wildcards in its last part, optional folder
// part) from sourceFolder to destFolder, creating destFolder first when missing.
// Returns the number of files placed; stops at the first that fails.
int PlaceMatchingFiles(const std::string& pattern, const std::string& sourceFolder,
                       const std::string& destFolder);

// Registers the rename of `staged` onto `target` at the next restart:
// MoveFileExA, else a "target=staged" entry in the "rename" section of
// WININIT.INI. Paths of 260 bytes or more are refused (nothing registered).
void ScheduleRenameAtReboot(const std::string& target, const std::string& staged);

// For tests: stands in for MoveFileExA in ScheduleRenameAtReboot, so that the
// WININIT.INI road of the systems without restart-time MoveFileExA can be taken
// on one that has it. Null puts MoveFileExA back.
using RestartMoveFunction = BOOL(WINAPI*)(LPCSTR existing, LPCSTR replacement, DWORD flags);
void SetRestartMoveForTests(RestartMoveFunction move);
