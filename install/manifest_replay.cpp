#include "install/manifest_replay.h"

#include <windows.h>

#include "app/paths.h"
#include "app/setup_state.h"
#include "framework/handles.h"
#include "install/file_placement.h"
#include "install/wow64.h"
#include "installlog/log_format.h"

namespace {

// A renaming places one file under its new name; a pattern places every match.
void PlaceFiles(const std::string& argument) {
  const FileSpec parsed = ParseFileSpec(argument);
  if (parsed.IsRenaming) {
    PlaceFile(parsed.Source, theSetupState.SourceDir, theSetupState.InstallDir, parsed.Destination.c_str());
  } else {
    PlaceMatchingFiles(parsed.Source, theSetupState.SourceDir, theSetupState.InstallDir);
  }
}

// Whether the system can load a library of the line's source name by itself.
// The package's copy is moved aside meanwhile: it lies in setup's own folder,
// which the library search looks in first.
bool SystemHasLibrary(const std::string& argument) {
  const std::string name = ParseFileSpec(argument).Source;
  const std::string packaged = JoinPath(theSetupState.SourceDir, name);
  const std::string aside = packaged + product::kProbeSuffix;
  MoveFileA(packaged.c_str(), aside.c_str());
  fw::UniqueModule library(LoadLibraryA(name.c_str()));
  MoveFileA(aside.c_str(), packaged.c_str());
  return static_cast<bool>(library);
}

}  // namespace

void ReplayManifest(const std::string& manifestPath) {
  const bool wow64 = IsWow64() != FALSE;
  LogReader manifest(manifestPath);
  if (!manifest.IsOpen()) return;
  std::string line, argument;
  while (manifest.NextLine(line)) {
    if (MatchPrefix(line, logprefix::kFileCopy, argument)) {
      PlaceFiles(argument);
    } else if (wow64 && MatchPrefix(line, logprefix::kFileCopyX64, argument)) {
      PlaceFiles(argument);
    } else if (MatchPrefix(line, logprefix::kFileCopyInd, argument)) {
      if (!SystemHasLibrary(argument)) PlaceFiles(argument);
    } else if (MatchPrefix(line, logprefix::kMakeDir, argument)) {
      // One level: the folder's parent must have been made by an earlier line.
      CreateDirectoryA((theSetupState.InstallDir + "\\" + argument).c_str(), nullptr);
    }
  }
}
