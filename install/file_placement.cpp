#include "install/file_placement.h"

#include "app/command_words.h"
#include "app/paths.h"
#include "app/setup_state.h"
#include "framework/files.h"
#include "framework/handles.h"
#include "uninstall/relaunch.h"

namespace {

constexpr char kSecondOldMark[] = "2";  // D + ".old" + "2"
constexpr char kRenameEntrySeparator[] = "=";
constexpr char kFolderTrimmed[] = " \t\r\n\\";

RestartMoveFunction theRestartMove = MoveFileExA;

// Paths live in MAX_PATH buffers.
bool FitsPath(const std::string& path) { return path.size() < MAX_PATH; }

std::string WithSeparator(const std::string& folder) {
  return EndsWithSeparator(folder) ? folder : folder + "\\";
}

// For comparing paths: "/" and "\" are the same separator to the system.
std::string Normalised(const std::string& path) {
  std::string s = path;
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

void ClearReadOnlyAndHidden(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
}

enum class InUse { FreedNow, Staged, Untouched };

// Steps 6.3 to 6.5: D cannot be deleted. Move it aside, or stage S beside it.
InUse ReplaceInUse(const std::string& source, const std::string& dest) {
  std::string aside = dest + product::kOldSuffix;
  bool asideUsable = FitsPath(aside);
  if (asideUsable && fw::PathExists(aside) && !DeleteFileA(aside.c_str())) {
    ScheduleDeleteAtReboot(aside);
    aside += kSecondOldMark;
    asideUsable = FitsPath(aside);
    if (asideUsable) DeleteFileA(aside.c_str());
  }
  if (asideUsable && MoveFileA(dest.c_str(), aside.c_str())) {
    ScheduleDeleteAtReboot(aside);
    return InUse::FreedNow;
  }

  // Registering the deletion of D before the staged copy exists would let a
  // failed copy leave the restart to delete the product file with nothing to
  // replace it. Stage first, register after.
  const std::string staged = dest + product::kNewSuffix;
  if (!FitsPath(staged)) return InUse::Untouched;
  DeleteFileA(staged.c_str());
  if (!CopyFileA(source.c_str(), staged.c_str(), FALSE)) return InUse::Untouched;
  // The deletion first: the rename is registered without MOVEFILE_REPLACE_EXISTING.
  ScheduleDeleteAtReboot(dest);
  ScheduleRenameAtReboot(dest, staged);
  return InUse::Staged;
}

// Step 2 of PlaceMatchingFiles: every level of the folder, from the top down.
void CreateFolderPath(const std::string& folder) {
  std::string levels = folder;
  for (char& c : levels)
    if (c == '/') c = '\\';
  const std::string::size_type first = levels.find_first_not_of(kFolderTrimmed);
  if (first == std::string::npos) {
    levels.clear();
  } else {
    levels = levels.substr(first, levels.find_last_not_of(kFolderTrimmed) - first + 1);
  }
  for (std::string::size_type i = 1; i < levels.size(); ++i)
    if (levels[i] == '\\') CreateDirectoryA(levels.substr(0, i).c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace

BOOL PlaceFile(const std::string& name, const std::string& sourceFolder, const std::string& destFolder,
               const char* newName) {
  const std::string sourceDir = WithSeparator(sourceFolder);
  const std::string destDir = WithSeparator(destFolder);
  // "/" and "\" compare alike: C:\Pkg/ and C:\Pkg are one folder, and taking
  // them for two would have the deletion of D below take the source away.
  const bool sameFolder = EqualsNoCase(Normalised(sourceDir), Normalised(destDir));
  if (sameFolder && newName == nullptr) return TRUE;  // already in place

  const std::string source = sourceDir + name;
  const std::string dest = destDir + (newName != nullptr ? newName : name);
  if (!FitsPath(source) || !FitsPath(dest)) return FALSE;
  if (!fw::PathExists(source)) return FALSE;

  if (sameFolder) {
    // A new name that is the file's own name (in any letter case) would have the
    // deletion below take the source away: nothing to do.
    if (EqualsNoCase(Normalised(source), Normalised(dest))) return TRUE;
    if (fw::PathExists(dest) && !DeleteFileA(dest.c_str())) return TRUE;
  } else if (fw::PathExists(dest)) {
    ClearReadOnlyAndHidden(dest);
    if (!DeleteFileA(dest.c_str()) && ReplaceInUse(source, dest) == InUse::Untouched) return FALSE;
  }
  // After staging this fails as long as D is held open, so a staged file gives 0.
  return CopyFileA(source.c_str(), dest.c_str(), FALSE);
}

int PlaceMatchingFiles(const std::string& pattern, const std::string& sourceFolder,
                       const std::string& destFolder) {
  const std::string search = WithSeparator(sourceFolder) + pattern;
  if (!FitsPath(search) || !FitsPath(destFolder)) return 0;
  WIN32_FIND_DATAA entry;
  fw::UniqueFind find(FindFirstFileA(search.c_str(), &entry));
  if (!find) return 0;

  if (GetFileAttributesA(destFolder.c_str()) == INVALID_FILE_ATTRIBUTES) CreateFolderPath(destFolder);

  std::string source = sourceFolder;
  std::string dest = destFolder;
  const std::string::size_type slash = pattern.rfind('\\');
  if (slash != std::string::npos) {
    // The sub-folder is not made here: the manifest's "Make Dir: " line made it.
    source = search.substr(0, search.rfind('\\'));
    dest = JoinPath(destFolder, pattern.substr(0, slash));
  }

  int placed = 0;
  do {
    const std::string found = entry.cFileName;
    if (found == "." || found == "..") continue;
    // A match that is a folder fails to copy and ends the loop like any failure.
    if (!PlaceFile(found, source, dest, nullptr)) break;
    ++placed;
  } while (FindNextFileA(find.get(), &entry));
  return placed;
}

void ScheduleRenameAtReboot(const std::string& target, const std::string& staged) {
  if (!FitsPath(target) || !FitsPath(staged)) return;
  if (theRestartMove(staged.c_str(), target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT)) return;
  AppendWininitRenameEntry(target + kRenameEntrySeparator + staged);
}

void SetRestartMoveForTests(RestartMoveFunction move) { theRestartMove = move ? move : MoveFileExA; }
