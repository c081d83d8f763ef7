#include "app/setup_driver.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/command_words.h"
#include "app/paths.h"
#include "app/registry_access.h"
#include "app/setup_state.h"
#include "framework/app.h"
#include "framework/files.h"
#include "framework/message_box.h"
#include "framework/strings.h"
#include "install/install_transaction.h"
#include "installlog/log_format.h"
#include "resource_ids.h"

namespace {

std::string FormatVersions(const std::string& format, const VersionNumber& a, const VersionNumber* b) {
  char text[512];
  int n = b ? std::snprintf(text, sizeof text, format.c_str(), a.Major, a.Minor, a.Release, a.Build, b->Major,
                            b->Minor, b->Release, b->Build)
            : std::snprintf(text, sizeof text, format.c_str(), a.Major, a.Minor, a.Release, a.Build);
  if (n < 0 || static_cast<size_t>(n) >= sizeof text) return format;
  return text;
}

void OpenWebPage(const std::string& address) {
  ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

// The group of the installed copy: the folder, relative to the programs folder,
// of the last "Shell Link: " line of its install log that lies in the programs
// folder and not in the Startup folder. Empty string when the group was the
// programs folder itself; `found` false when no line qualifies.
std::string GroupFromOldLog(LogReader& log, bool& found) {
  const SetupState& s = theSetupState;
  std::string programs, startup;
  if (s.AllUsers) {
    programs = GetRegString(HKEY_LOCAL_MACHINE, product::kShellFoldersKey, "Common Programs");
    startup = GetRegString(HKEY_LOCAL_MACHINE, product::kShellFoldersKey, "Common Startup");
  } else {
    programs = GetRegString(HKEY_CURRENT_USER, product::kShellFoldersKey, "Programs");
    startup = GetRegString(HKEY_CURRENT_USER, product::kShellFoldersKey, "Startup");
  }
  if (programs.empty() || programs.back() != '\\') programs += '\\';
  programs = fw::LowerCaseAnsi(programs);
  startup = fw::LowerCaseAnsi(startup);

  std::string group;
  found = false;
  std::string line, link;
  while (log.NextLine(line)) {
    if (!MatchPrefix(line, logprefix::kShellLink, link)) continue;
    const std::string lower = fw::LowerCaseAnsi(link);
    if (lower.compare(0, programs.size(), programs) != 0) continue;
    if (lower.find(startup) != std::string::npos) continue;
    group = ParentFolder(link.substr(programs.size()));
    found = true;
  }
  return group;
}

// The query of the after-install page: from the first "?" of the line of
// HomePage.url that begins with "URL=http://", without the line's end.
std::string QueryFromHomePageUrl(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return std::string();
  std::string query;
  char line[260];  // at most 259 bytes a read, as the file has always been read
  while (std::fgets(line, sizeof line, file)) {
    std::string text = line;
    if (text.compare(0, 11, "URL=http://") != 0) continue;
    std::string::size_type mark = text.find('?');
    if (mark != std::string::npos) query = text.substr(mark);
    break;
  }
  std::fclose(file);
  while (!query.empty() && (query.back() == '\n' || query.back() == '\r')) query.pop_back();
  return query;
}

void StartProduct() {
  const std::string& folder = theSetupState.InstallDir;
  // Quoted, so that a folder with blanks cannot start a program named after its first word.
  std::string commandLine = "\"" + folder + product::kProductExe + "\"";
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                     &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
}

}  // namespace

BOOL RunSetup() {
  SetupState& s = theSetupState;
  const std::vector<std::string> noArgs;
  const std::vector<std::string>& args = AfxGetApp() ? AfxGetApp()->Args : noArgs;

  // 1. Locations.
  s.InstallDir = FindInstalledFolder();
  s.SourceDir = GetOwnFolder();
  if (s.InstallDir.empty()) {
    s.InstallDir = GetProgramFilesFolder() + product::kProductFolder;
    s.IsNewInstall = 1;
  }

  // 2. Command line. Only the last "-instdir" with a following argument counts;
  // the argument after it is examined as a word too.
  std::string chosenFolder;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "-instdir" && i + 1 < args.size()) {
      chosenFolder = args[i + 1];
      if (!fw::PathExists(chosenFolder)) chosenFolder.clear();
      else if (EndsWithSeparator(chosenFolder)) chosenFolder.pop_back();
    } else if (EqualsNoCase(args[i], "-runafter")) {
      s.RunAfterInstall = 1;
    } else if (EqualsNoCase(args[i], "-allusers")) {
      s.AllUsers = 1;
    } else if (EqualsNoCase(args[i], "-autostart")) {
      s.AutoStart = 1;
    } else if (EqualsNoCase(args[i], "-nodeskico")) {
      s.DesktopIcon = 0;
    }
  }
  if (!chosenFolder.empty()) s.InstallDir = chosenFolder;

  // 3.
  s.GroupName = product::kProductName;

  if (!s.IsNewInstall) {
    // 4. Installed copy: compare versions.
    ReadFileVersion(s.InstallDir + product::kProductExe);
    const VersionNumber installed = s.ProductVersion;
    ReadFileVersion(s.SourceDir + product::kProductExe);
    const VersionNumber package = s.ProductVersion;
    if (s.Silent || PackVersion(installed) < PackVersion(package)) {
      s.IsUpgrade = 1;
    } else {
      std::string question =
          PackVersion(package) < PackVersion(installed)
              ? FormatVersions(fw::LoadResourceString(nullptr, IDS_OLDER_VERSION), installed, &package)
              : FormatVersions(fw::LoadResourceString(nullptr, IDS_SAME_VERSION), package, nullptr);
      if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return TRUE;
    }

    // 4.5 The stored choice replaces "-allusers".
    s.AllUsers = GetRegString(HKEY_LOCAL_MACHINE, product::kProductKey, "AllUsers") == "B" ? 1 : 0;

    // 4.6 The installed copy's program group.
    LogReader log(s.InstallDir + product::kInstallLog);
    LogReader older(s.InstallDir + product::kOlderInstallLog);
    LogReader* oldLog = log.IsOpen() ? &log : older.IsOpen() ? &older : nullptr;
    if (oldLog) {
      bool found = false;
      std::string group = GroupFromOldLog(*oldLog, found);
      if (found) s.GroupName = group;
    }
  } else {
    // 5.
    ReadFileVersion(s.SourceDir + product::kProductExe);
  }

  // 6. Package check.
  if (s.ProductVersion.Major == 0 || !fw::PathExists(s.SourceDir + product::kInstallLog)) {
    AfxMessageBox(fw::LoadResourceString(nullptr, IDS_DAMAGED_SETUP), MB_OK | MB_ICONERROR);
    OpenWebPage(product::kVendorUrl);
    std::exit(1);
  }

  // 7. Installation.
  if (s.Silent) {
    if (s.IsNewInstall) s.AllUsers = 1;
    RunInstallation();
  } else {
    // The wizard is not part of this build yet: an interactive run ends here
    // as if the user had cancelled it.
    return TRUE;
  }

  // 8.
  SetCurrentDirectoryA(s.InstallDir.c_str());

  // 9. After-install page.
  if (!s.Silent && (s.IsNewInstall || s.IsUpgrade)) {
    std::string query = QueryFromHomePageUrl(s.InstallDir + product::kHomePageUrl);
    OpenWebPage(std::string(product::kVendorUrl) +
                (query.empty() ? product::kInstalledPage : product::kInstallScriptPage + query));
  }

  // 10.
  if (s.RunAfterInstall) StartProduct();
  return FALSE;
}
