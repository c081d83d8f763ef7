// Path helpers of the portable core (no Win32).
#pragma once
#include <string>

// The folder part of a path: one trailing backslash removed, then the part before
// the last backslash; empty when there is no path, no backslash, or only one at
// the first position.
std::string ParentFolder(const std::string& path);

// Folder + "\" + name, the separator left out when the folder already ends in "\" or "/".
std::string JoinPath(const std::string& folder, const std::string& name);

bool EndsWithSeparator(const std::string& path);
