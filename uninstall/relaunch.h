// Hand-over of the uninstallation to a temporary copy of this program, and
// deletion of a file at the next restart.
#pragma once
#include <windows.h>

#include <string>

// Starts a copy of the program in the temporary folder with "-delself", the
// program's own path and "-s" when silent, and ends this process at once.
// Returns only when the copy could not be started.
void RelaunchFromTempCopy();

// The command line of the temporary copy: each path in double quotes when it
// holds a blank or a tab.
std::string RelaunchCommandLine(const std::string& copyPath, const std::string& uninstallerPath,
                                bool silent);

// Registers the deletion of `path` at the next restart: MoveFileExA, else a
// "NUL=" entry in the "rename" section of WININIT.INI. Nonzero when registered.
BOOL ScheduleDeleteAtReboot(const std::string& path);

// Appends one "key=value" entry to the "rename" section of WININIT.INI, after
// the existing ones. Refuses (returns FALSE, writes nothing) when the section
// with the new entry does not fit in 16,384 bytes.
BOOL AppendWininitRenameEntry(const std::string& entry);
