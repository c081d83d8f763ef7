#include "install/install_transaction.h"

#include <cstdlib>

#include "app/paths.h"
#include "app/registry_access.h"
#include "app/setup_state.h"
#include "framework/files.h"
#include "install/file_placement.h"
#include "install/manifest_replay.h"
#include "install/shortcuts.h"
#include "installlog/log_format.h"
#include "resource_ids.h"
#include "uninstall/log_removal.h"

namespace {

bool IsGroupTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\\'; }

std::string NormalisedGroupName(std::string name) {
  for (char& c : name)
    if (c == '/') c = '\\';
  size_t first = 0;
  while (first < name.size() && IsGroupTrimmed(name[first])) ++first;
  size_t last = name.size();
  while (last > first && IsGroupTrimmed(name[last - 1])) --last;
  return name.substr(first, last - first);
}

// The all-users or the current user's shell folder.
std::string ShellFolder(bool allUsers, const char* commonName, const char* userName) {
  return allUsers ? GetRegString(HKEY_LOCAL_MACHINE, product::kShellFoldersKey, commonName)
                  : GetRegString(HKEY_CURRENT_USER, product::kShellFoldersKey, userName);
}

void CreateGroupShortcuts(const std::string& groupFolder) {
  const SetupState& s = theSetupState;
  const std::string in = groupFolder + "\\";
  CreateShortcut(s.InstallDir + product::kProductExe, in + LoadResString(IDS_PRODUCT_NAME) + product::kLinkExtension,
                 product::kAppDataReference);
  CreateShortcut(s.InstallDir + product::kHelpFile, in + LoadResString(IDS_HELP_SHORTCUT) + product::kLinkExtension,
                 nullptr);
  CreateShortcut(s.InstallDir + product::kReadmeFile,
                 in + LoadResString(IDS_README_SHORTCUT) + product::kLinkExtension, nullptr);
  CreateShortcut(s.InstallDir + product::kUninstallerExe,
                 in + LoadResString(IDS_UNINSTALL_SHORTCUT) + product::kLinkExtension, nullptr);
}

// The desktop or Startup shortcut to the product. A missing folder value would
// put the link at the root of the current drive, so none is made then.
void CreateProductShortcut(const std::string& folder) {
  if (folder.empty()) return;
  CreateShortcut(theSetupState.InstallDir + product::kProductExe,
                 folder + "\\" + LoadResString(IDS_PRODUCT_NAME) + product::kLinkExtension,
                 product::kAppDataReference);
}

void WriteRegistryValues() {
  const SetupState& s = theSetupState;
  HKEY hklm = HKEY_LOCAL_MACHINE;
  SetRegString(hklm, product::kProductKey, "AllUsers", s.AllUsers ? "B" : "A");
  SetRegString(hklm, product::kProductKey, "Path", s.InstallDir);
  SetRegString(hklm, product::kAppPathsKey, nullptr, s.InstallDir + product::kProductExe);
  SetRegString(hklm, product::kUninstallKey, "Contact", "Support");
  SetRegString(hklm, product::kUninstallKey, "DisplayName", LoadResString(IDS_PRODUCT_NAME));
  SetRegString(hklm, product::kUninstallKey, "DisplayVersion", FormatVersionShort(s.ProductVersion));
  SetRegString(hklm, product::kUninstallKey, "Publisher", product::kPublisher);
  // Quoted: the folder may hold blanks, and whoever runs the value must not
  // start a program named after the path's first word.
  SetRegString(hklm, product::kUninstallKey, "UninstallString",
               "\"" + s.InstallDir + product::kUninstallerExe + "\"");
  SetRegString(hklm, product::kUninstallKey, "URLInfoAbout", product::kVendorUrl);
}

}  // namespace

int RunInstallation() {
  SetupState& s = theSetupState;
  const std::string installLog = s.InstallDir + product::kInstallLog;
  const std::string manifest = s.SourceDir + product::kInstallLog;

  // 1. What the installed copy made and the new package retires goes first.
  if (!s.IsNewInstall) {
    RemoveLinksAndMadeDirs(s.InstallDir + product::kOlderInstallLog);
    RemoveLinksAndMadeDirs(installLog);
    RemoveListedFiles(manifest, s.InstallDir, logprefix::kFileDel);
  }

  // 2, 3. Files, then the manifest becomes the install log.
  ReplayManifest(manifest);
  PlaceMatchingFiles(product::kInstallLogName, s.SourceDir, s.InstallDir);
  AppendLogLine(installLog, "");

  // 4. Programs folder; an unusable all-users folder makes this a current-user install.
  std::string programs;
  if (s.AllUsers) {
    programs = GetRegString(HKEY_LOCAL_MACHINE, product::kShellFoldersKey, "Common Programs");
    if (programs.size() < 4) s.AllUsers = 0;
  }
  if (!s.AllUsers) programs = GetRegString(HKEY_CURRENT_USER, product::kShellFoldersKey, "Programs");

  // 5-8. The program group. Without a programs folder the group would land at
  // the root of the current drive: no group then.
  s.GroupName = NormalisedGroupName(s.GroupName);
  if (!programs.empty()) {
    for (size_t i = 1; i < s.GroupName.size(); ++i)
      if (s.GroupName[i] == '\\') CreateDirectoryA((programs + "\\" + s.GroupName.substr(0, i)).c_str(), nullptr);
    std::string groupFolder = programs;
    if (!s.GroupName.empty()) {
      groupFolder += "\\" + s.GroupName;
      CreateDirectoryA(groupFolder.c_str(), nullptr);
      AppendLogLine(installLog, logprefix::kMadeDir + groupFolder);
    }
    // An empty group name puts the shortcuts straight into the programs
    // folder, which is not ours to remove, so it is not logged as made.
    if (fw::PathExists(groupFolder)) CreateGroupShortcuts(groupFolder);
  }

  // 9, 10. Desktop and Startup.
  if (s.DesktopIcon) CreateProductShortcut(ShellFolder(s.AllUsers != 0, "Common Desktop", "Desktop"));
  if (s.AutoStart) CreateProductShortcut(ShellFolder(s.AllUsers != 0, "Common Startup", "Startup"));

  // 11. Registry, always under HKLM.
  WriteRegistryValues();

  // 12. A settings file beside the self-extracting archive replaces the installed one.
  if (const char* archive = std::getenv(product::kSfxVariable)) {
    std::string folder = ParentFolder(archive);
    if (!folder.empty()) PlaceFile(product::kSettingsFileName, folder, s.InstallDir, nullptr);
  }
  return 0;
}
