// Registry values and the well-known folders that setup reads.
#pragma once
#include <windows.h>

#include <string>

// The text of one value (any type taken as text, expandable strings left
// unexpanded); empty when the key or value is missing or the data does not
// fit in 260 bytes. An empty name reads the key's default value.
std::string GetRegString(HKEY root, const std::string& keyPath, const std::string& valueName);

// Writes a REG_SZ value, creating the key and any missing keys above it. A null
// name writes the default value. True when written.
bool SetRegString(HKEY root, const std::string& keyPath, const char* valueName, const std::string& text);

// Folder of the installed copy (no trailing backslash), or empty when none is registered.
std::string FindInstalledFolder();

// The Program Files folder, without a trailing backslash.
std::string GetProgramFilesFolder();

// Folder of the running program, without a trailing backslash; empty when unknown.
std::string GetOwnFolder();

// Sets theSetupState.ProductVersion to the file version of `path`; 0.0.0.0 when
// the file or its version information is missing.
void ReadFileVersion(const std::string& path);
