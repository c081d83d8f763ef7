// Carrying out the package manifest: folders made and files placed from
// theSetupState.SourceDir into theSetupState.InstallDir.
#pragma once
#include <string>

// Replays the manifest line by line: "Make Dir: " folders are made where they
// come, "File Copy: " files are placed, "File Copy x64: " files only under
// WOW64, and "File Copy ind: " files only when the system has no library of
// that name. Writes no log and reports nothing; a manifest that cannot be read
// changes nothing.
void ReplayManifest(const std::string& manifestPath);
