// Copying package files into the install folder, with care for files in use.
#pragma once
#include <windows.h>

#include <string>

// Copies sourceFolder\name to destFolder\(newName or name). A destination in use
// is moved aside (".old", deleted at restart) or, when that fails, the new copy
// is staged as ".new" to replace it at restart. Nonzero when the destination was
// written or nothing needed doing; 0 otherwise (also when staged).
BOOL PlaceFile(const std::string& name, const std::string& sourceFolder,
               const std::string& destFolder, const char* newName);

// Copies every match of `pattern` (wildcards in its last part, optional folder
// part) from sourceFolder to destFolder, creating destFolder first when missing.
// Returns the number of files placed; stops at the first that fails.
int PlaceMatchingFiles(const std::string& pattern, const std::string& sourceFolder,
                       const std::string& destFolder);

// Registers the rename of `staged` onto `target` at the next restart.
void ScheduleRenameAtReboot(const std::string& target, const std::string& staged);
