// Shell shortcuts (.lnk files), each recorded in the install log once saved.
#pragma once
#include <windows.h>

#include <string>

// Makes the shortcut `link` (full path of the .lnk file) to `target`, which may
// be enclosed in double quotes; the description is empty and the working folder
// is `workFolder` when given, as written (no expansion). Once the file is saved,
// "Shell Link: " + link is appended to the install log. Returns the result of
// the save, or of the step that failed before it: E_INVALIDARG for a link path
// of more than 259 characters or a target of more than 511 bytes, which make
// no file and no log line.
HRESULT CreateShortcut(const std::string& target, const std::string& link, const char* workFolder);

// The string-table entry `id`; empty when there is none.
std::string LoadResString(UINT id);
