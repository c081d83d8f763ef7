#include "uninstall/uninstall_transaction.h"

#include <windows.h>
#include <shlobj.h>

#include <array>
#include <cstddef>

#include "app/setup_state.h"
#include "framework/handles.h"
#include "uninstall/log_removal.h"
#include "uninstall/registry_tree.h"

namespace {

// The image types that the product may have taken over, in the order they are restored.
constexpr std::array<const char*, 11> kImageTypes = {
    ".bmp", ".dib", ".gif", ".jpg", ".jpeg", ".tif", ".tiff", ".png", ".cmp", ".tga", ".wpg"};

// Registry texts are read into 512 bytes: at most 511 characters and the zero.
constexpr DWORD kRegTextBuffer = 512;

// The text of a value of any type; false when it is missing or does not fit.
// Data stored without a terminating zero is cut at its end.
bool ReadText(HKEY key, const char* name, std::string& text) {
  char buffer[kRegTextBuffer];
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    return false;
  std::size_t length = 0;
  while (length < size && buffer[length] != '\0') ++length;
  if (length >= kRegTextBuffer) return false;
  text.assign(buffer, length);
  return true;
}

bool NamesProduct(const std::string& handler) {
  return handler.find(product::kProductExeName) != std::string::npos;
}

// Gives each image type whose handler names the product back to the handler
// kept in "LmShotOld", or takes the product's handler away when none is kept.
// True when at least one type changed.
bool RestoreImageTypes() {
  // The user's own choices win over the machine's classes where they exist.
  fw::UniqueKey root;
  const char* handlerValue = product::kHandlerValue;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, product::kFileExtsKey, 0, KEY_ALL_ACCESS, root.put()) != ERROR_SUCCESS) {
    handlerValue = nullptr;  // the default value of HKEY_CLASSES_ROOT\ext
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, KEY_ALL_ACCESS, root.put()) != ERROR_SUCCESS) return false;
  }

  // Both passes read the handler; the first decides what each type gets back.
  std::array<std::string, kImageTypes.size()> saved;
  for (std::size_t i = 0; i < kImageTypes.size(); ++i) {
    fw::UniqueKey key;
    if (RegOpenKeyExA(root.get(), kImageTypes[i], 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) continue;
    std::string handler;
    if (!ReadText(key.get(), handlerValue, handler) || handler.empty()) continue;
    if (!NamesProduct(handler)) {
      saved[i] = handler;
      continue;
    }
    std::string old;
    // An earlier handler that names the product itself would point the type
    // at the program being removed: the handler goes instead.
    if (ReadText(key.get(), product::kOldHandlerValue, old) && !NamesProduct(old)) saved[i] = old;
  }

  bool changed = false;
  for (std::size_t i = 0; i < kImageTypes.size(); ++i) {
    fw::UniqueKey key;
    if (RegOpenKeyExA(root.get(), kImageTypes[i], 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) continue;
    std::string handler;
    if (!ReadText(key.get(), handlerValue, handler) || !NamesProduct(handler)) continue;
    changed = true;
    if (!saved[i].empty()) {
      RegSetValueExA(key.get(), handlerValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved[i].c_str()),
                     static_cast<DWORD>(saved[i].size() + 1));
    } else {
      RegDeleteValueA(key.get(), handlerValue);
    }
    RegDeleteValueA(key.get(), product::kOldHandlerValue);
  }
  return changed;
}

// "C:\..." or "\\server\share...": a folder that does not depend on the
// process's current drive or folder.
bool IsFullPath(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) return true;
  return path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

// "C:\" or "\\server\share\": nothing to remove there as a folder.
bool IsRoot(const std::string& folder) {
  if (folder.size() == 3 && folder[1] == ':') return true;
  if (folder.size() < 2 || folder[0] != '\\' || folder[1] != '\\') return false;
  const std::string::size_type share = folder.find('\\', 2);
  if (share == std::string::npos) return true;
  const std::string::size_type end = folder.find('\\', share + 1);
  return end == std::string::npos || end == folder.size() - 1;
}

void DeletePath(const std::string& path) {
  if (path.size() < MAX_PATH) DeleteFileA(path.c_str());
}

// The shortcuts and the program group under their default names in one scope.
// An empty or relative folder value is skipped: after the current folder was
// set to the drive's root, a relative one would name a folder there.
void RemoveDefaultShortcuts(HKEY shellFolders, const char* startupName, const char* desktopName,
                            const char* programsName) {
  const std::string link = std::string("\\") + product::kProductName + product::kLinkExtension;
  std::string folder;
  if (ReadText(shellFolders, startupName, folder) && IsFullPath(folder)) DeletePath(folder + link);
  if (ReadText(shellFolders, desktopName, folder) && IsFullPath(folder)) DeletePath(folder + link);
  if (ReadText(shellFolders, programsName, folder) && IsFullPath(folder)) {
    const std::string group = folder + "\\" + product::kProductName + "\\";
    // Every file of a group under the product's name goes, also files that
    // the product did not make; subfolders keep it in place.
    DeleteMatchingFiles(group, "*.*");
    if (group.size() < MAX_PATH) RemoveDirectoryA(group.c_str());
  }
}

void RemoveFilesAndFolder(const std::string& folder) {
  const std::string olderLog = folder + product::kOlderInstallLogName;
  const std::string log = folder + product::kInstallLogName;
  // Shortcuts and the recorded folders (the group) first, then the files.
  RemoveLinksAndMadeDirs(olderLog);
  RemoveLinksAndMadeDirs(log);
  RemoveListedFiles(olderLog, folder, nullptr);
  RemoveListedFiles(log, folder, nullptr);
  // The install log goes; the older "install.log" is read but kept.
  DeleteMatchingFiles(folder, product::kInstallLogName);
  if (!IsRoot(folder) && folder.size() < MAX_PATH) RemoveDirectoryA(folder.c_str());
}

}  // namespace

void RunUninstallation(const std::string& installFolder) {
  // The install folder cannot be removed while it is the current folder, of
  // this process or of a program started from it: the change notification
  // may start one. Nothing below depends on the current folder.
  SetCurrentDirectoryA("\\");

  RemoveProductKeys();

  if (RestoreImageTypes()) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);

  // A relative or empty folder would make the logs' names relative to the
  // current folder, where nothing of the product is.
  if (IsFullPath(installFolder)) {
    std::string folder = installFolder;
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    RemoveFilesAndFolder(folder);
  }

  // The default names in every scope, whatever the logs named: all users...
  {
    fw::UniqueKey shellFolders;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, product::kShellFoldersKey, 0, KEY_QUERY_VALUE, shellFolders.put()) ==
        ERROR_SUCCESS)
      RemoveDefaultShortcuts(shellFolders.get(), "Common Startup", "Common Desktop", "Common Programs");
  }
  // ...and every loaded user profile.
  char name[kRegTextBuffer];
  for (DWORD index = 0; RegEnumKeyA(HKEY_USERS, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
    fw::UniqueKey profile;
    if (RegOpenKeyExA(HKEY_USERS, name, 0, KEY_ALL_ACCESS, profile.put()) != ERROR_SUCCESS) continue;
    fw::UniqueKey shellFolders;
    if (RegOpenKeyExA(profile.get(), product::kShellFoldersKey, 0, KEY_ALL_ACCESS, shellFolders.put()) ==
        ERROR_SUCCESS)
      RemoveDefaultShortcuts(shellFolders.get(), "Startup", "Desktop", "Programs");
  }
}
