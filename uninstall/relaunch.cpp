#include "uninstall/relaunch.h"

#include <unistd.h>

#include <vector>

#include "app/setup_state.h"
#include "framework/app.h"
#include "framework/handles.h"
#include "uninstall/restart_section.h"

namespace {

bool HoldsBlankOrTab(const std::string& s) { return s.find_first_of(" \t") != std::string::npos; }

std::string QuotedWhenNeeded(const std::string& s) {
  return HoldsBlankOrTab(s) ? "\"" + s + "\"" : s;
}

}  // namespace

std::string RelaunchCommandLine(const std::string& copyPath, const std::string& uninstallerPath,
                                bool silent) {
  std::string line = QuotedWhenNeeded(copyPath) + " -delself " + QuotedWhenNeeded(uninstallerPath);
  if (silent) line += " -s";
  return line;
}

void RelaunchFromTempCopy() {
  char tempFolder[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, tempFolder);
  if (n == 0 || n >= MAX_PATH) return;

  // GetTempFileNameA writes at most MAX_PATH bytes; a folder that leaves no
  // room for "uniXXXX.tmp" makes it fail.
  char copyPath[MAX_PATH];
  if (GetTempFileNameA(tempFolder, product::kTempPrefix, 0, copyPath) == 0) return;

  std::string self = ModuleFileName(nullptr);
  if (self.empty()) return;

  CopyFileA(self.c_str(), copyPath, FALSE);

  std::string commandLine = RelaunchCommandLine(copyPath, self, theSetupState.Silent != 0);
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(copyPath, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info))
    return;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  // Ends without the exit-time destruction of the program-wide objects: this
  // process stays listed in the instance registry, as the product expects.
  _exit(0);
}

BOOL AppendWininitRenameEntry(const std::string& entry) {
  std::vector<char> block(kRenameSectionCapacity, '\0');
  DWORD used = GetPrivateProfileSectionA(product::kRenameSection, block.data(),
                                         static_cast<DWORD>(block.size()), product::kWininitFile);
  // A section that filled the buffer came back cut short; writing it back
  // would lose entries.
  if (used >= kRenameSectionCapacity - 2) return FALSE;
  if (!AppendSectionEntry(block, used, entry)) return FALSE;
  return WritePrivateProfileSectionA(product::kRenameSection, block.data(), product::kWininitFile);
}

BOOL ScheduleDeleteAtReboot(const std::string& path) {
  if (MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return TRUE;
  return AppendWininitRenameEntry(product::kDeleteKeyPrefix + path);
}
