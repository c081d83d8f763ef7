// Removal of what an install log or a package manifest records. Nothing here
// reports a failure: an item that cannot be removed stays, and the next follows.
// Paths of more than 259 characters are left alone.
#pragma once
#include <string>

// Deletes the log's "Shell Link: " files, then removes each "Made Dir: " folder
// and its parents as long as each comes away. Does nothing when the log cannot
// be read.
void RemoveLinksAndMadeDirs(const std::string& logPath);

// Deletes from `folder` what the log's file lines name (only lines beginning
// with `prefix` when given, else every file line kind), then removes the
// "Make Dir: " folders below `folder` that are empty by then, in file order.
void RemoveListedFiles(const std::string& logPath, const std::string& folder, const char* prefix);

// Deletes the files of `folder` that match `pattern` (wildcards and a relative
// folder part allowed), read-only and hidden ones too. Returns how many went;
// 0 when none matched.
int DeleteMatchingFiles(const std::string& folder, const std::string& pattern);
