// Registry values and the well-known folders that setup reads.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace regvalue {
inline constexpr char kInstalledPath[] = "Path";               // under product::kProductKey
inline constexpr char kProgramFilesDir[] = "ProgramFilesDir";  // under product::kCurrentVersionKey
inline constexpr char kProgramFilesName[] = "Program Files";   // the fallback beside the Windows folder
}  // namespace regvalue

// Fixed buffers: a value is read into 260 bytes; key paths, value
// names and written texts live in 512-byte buffers. Longer input is refused
// (empty result, nothing written), never cut.
inline constexpr std::size_t kRegValueBuffer = 260;
inline constexpr std::size_t kRegNameBuffer = 512;

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
