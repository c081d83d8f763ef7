#include "uninstall/log_removal.h"

#include <windows.h>

#include <vector>

#include "app/paths.h"
#include "framework/handles.h"
#include "installlog/log_format.h"

namespace {

// The narrow file functions take at most MAX_PATH bytes with the zero.
bool FitsPath(const std::string& path) { return !path.empty() && path.size() < MAX_PATH; }

// The folder with the separator that names are appended after.
std::string FolderPrefix(const std::string& folder) {
  if (folder.empty() || EndsWithSeparator(folder)) return folder;
  return folder + "\\";
}

// "C:" is what ParentFolder leaves of "C:\A": the drive, which is never
// removed. Handed to the system, it would name the current folder of the drive.
bool IsDrive(const std::string& path) { return path.size() == 2 && path[1] == ':'; }

}  // namespace

void RemoveLinksAndMadeDirs(const std::string& logPath) {
  LogReader log(logPath);
  if (!log.IsOpen()) return;
  std::string line, argument;
  // Shortcuts first, so that their folders can be empty when the folder lines come.
  while (log.NextLine(line)) {
    if (MatchPrefix(line, logprefix::kShellLink, argument) && FitsPath(argument)) {
      DeleteFileA(argument.c_str());
    }
  }
  log.Rewind();
  while (log.NextLine(line)) {
    if (!MatchPrefix(line, logprefix::kMadeDir, argument)) continue;
    // Up the tree until the first folder that stays (not empty, in use, a drive).
    for (std::string folder = argument; FitsPath(folder) && !IsDrive(folder);
         folder = ParentFolder(folder)) {
      if (!RemoveDirectoryA(folder.c_str())) break;
    }
  }
}

void RemoveListedFiles(const std::string& logPath, const std::string& folder, const char* prefix) {
  std::vector<const char*> prefixes;
  if (prefix) {
    prefixes.push_back(prefix);
  } else {
    prefixes = {logprefix::kFileCopy, logprefix::kFileCopyX64, logprefix::kFileCopyInd,
                logprefix::kFileOverwrite, logprefix::kFileDel};
  }
  LogReader log(logPath);
  if (!log.IsOpen()) return;
  std::string line, argument;
  while (log.NextLine(line)) {
    for (const char* p : prefixes) {
      if (MatchPrefix(line, p, argument)) DeleteMatchingFiles(folder, DeletionPattern(argument));
    }
  }
  // Folders after the files, in file order: a folder listed before one of its
  // own subfolders stays unless it was already empty.
  log.Rewind();
  while (log.NextLine(line)) {
    if (!MatchPrefix(line, logprefix::kMakeDir, argument)) continue;
    const std::string path = JoinPath(folder, argument);
    if (FitsPath(path)) RemoveDirectoryA(path.c_str());
  }
}

int DeleteMatchingFiles(const std::string& folder, const std::string& pattern) {
  const std::string base = FolderPrefix(folder);
  const std::string search = base + pattern;
  if (!FitsPath(search)) return 0;
  // Found names come without the pattern's folder part; put it back.
  std::string::size_type lastSeparator = pattern.rfind('\\');
  const std::string entryFolder =
      base + (lastSeparator == std::string::npos ? std::string() : pattern.substr(0, lastSeparator + 1));

  WIN32_FIND_DATAA data;
  fw::UniqueFind find(FindFirstFileA(search.c_str(), &data));
  if (!find) return 0;
  int deleted = 0;
  do {
    const std::string name = data.cFileName;
    // "." and ".." are the folder itself and its parent, never files of the folder.
    if (name == "." || name == "..") continue;
    const std::string path = entryFolder + name;
    if (!FitsPath(path)) continue;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      SetFileAttributesA(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    }
    if (DeleteFileA(path.c_str())) ++deleted;
  } while (FindNextFileA(find.get(), &data));
  return deleted;
}
