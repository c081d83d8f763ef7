#include "app/setup_app.h"

#include <cstdio>
#include <cstdlib>

#include "app/command_words.h"
#include "app/program_objects.h"
#include "app/setup_driver.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/strings.h"
#include "resource_ids.h"
#include "uninstall/relaunch.h"
#include "uninstall/uninstall_transaction.h"

namespace {

constexpr DWORD kRelaunchPauseMs = 1000;  // lets the installed uninstaller end first
constexpr DWORD kClosePauseMs = 10;

// Drive and folder of a file path, ending with a backslash; empty when the path
// does not fit the C runtime's 260-byte buffers.
std::string DriveAndFolder(const std::string& path) {
  if (path.size() >= MAX_PATH) return std::string();
  char drive[_MAX_DRIVE];
  char dir[_MAX_DIR];
  if (_splitpath_s(path.c_str(), drive, sizeof drive, dir, sizeof dir, nullptr, 0, nullptr, 0) != 0)
    return std::string();
  return std::string(drive) + dir;
}

std::string FormatCount(const std::string& format, int n) {
  char text[256];
  int written = std::snprintf(text, sizeof text, format.c_str(), n);
  if (written < 0 || static_cast<size_t>(written) >= sizeof text) return format;
  return text;
}

void CloseOtherInstances(int n) {
  CDWordArray ids;
  if (!theInstanceManager.ListInstanceIds(ids)) return;
  const DWORD self = GetCurrentProcessId();
  for (size_t i = 0; i < ids.size() && i < static_cast<size_t>(n); ++i) {
    if (ids[i] == self) continue;
    // Without a window the request is not posted: a null window would put it
    // in this program's own queue.
    if (HWND window = FindInstanceWindow(ids[i])) PostMessageA(window, WM_CLOSE, product::kCloseRequestParam, 0);
    Sleep(kClosePauseMs);
    fw::UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, ids[i]));
    if (process) TerminateProcess(process.get(), 0);
  }
}

}  // namespace

BOOL CSetupApp::InitInstance() {
  const std::vector<std::string>& args = Args;

  // 1. Silent switch, at any position from 1 on.
  theSetupState.Silent = HasWordFrom(args, 1, {"-s"}) ? 1 : 0;

  // 2. Self-deleting uninstall mode: this is the temporary copy.
  if (args.size() >= 3 && args[1] == "-delself") {
    RemoveAsTemporaryCopy(args[2]);
    if (!theSetupState.Silent) AfxMessageBox(fw::LoadResourceString(ResourceInstance, IDS_UNINSTALLED), MB_OK);
    ExitCode = 0;
    return FALSE;
  }

  // 3, 4. Resources come from this module; the start-up boxes carry string 2.
  if (!ResourceInstance) ResourceInstance = GetModuleHandleA(nullptr);
  const std::string caption = fw::LoadResourceString(ResourceInstance, IDS_SETUP_CAPTION);

  // 5. Run mode.
  bool setupMode = args.size() >= 2 && EqualsNoCase(args[1], "-install");
  if (!setupMode)
    setupMode = fw::LowerCaseAnsi(ModulePath).find(product::kSetupExeName) != std::string::npos;

  // 6. Uninstall confirmation ("No" is the default button).
  if (!setupMode && !theSetupState.Silent) {
    std::string question = fw::LoadResourceString(ResourceInstance, IDS_UNINSTALL_CONFIRM);
    if (fw::ShowMessageBox(nullptr, question, caption, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
      return FALSE;
  }

  // 7. Other running instances.
  const int others = theInstanceManager.CountInstances() - 1;
  if (others > 0) {
    // 8. In setup mode, ask unless "/s" or "-s" stands at position 2 or later.
    if (setupMode && !HasWordFrom(args, 2, {"/s", "-s"})) {
      std::string question = others == 1
          ? fw::LoadResourceString(ResourceInstance, IDS_ONE_INSTANCE_OPEN)
          : FormatCount(fw::LoadResourceString(ResourceInstance, IDS_INSTANCES_OPEN), others);
      if (fw::ShowMessageBox(nullptr, question, caption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        fw::ShowMessageBox(nullptr, fw::LoadResourceString(ResourceInstance, IDS_SETUP_ABORTED), caption,
                           MB_OK | MB_ICONINFORMATION);
        return TRUE;
      }
    }
    // 9. Ask each to close, then terminate it.
    CloseOtherInstances(others);
  }

  // 10. Hand over.
  if (setupMode) return EnterSetup();
  EnterRelaunch();
  return FALSE;
}

BOOL CSetupApp::EnterSetup() { return RunSetup(); }

void CSetupApp::EnterRelaunch() { RelaunchFromTempCopy(); }

void CSetupApp::RemoveAsTemporaryCopy(const std::string& installedUninstaller) {
  Sleep(kRelaunchPauseMs);
  if (!ModulePath.empty()) ScheduleDeleteAtReboot(ModulePath);
  std::string folder = DriveAndFolder(installedUninstaller);
  if (folder.empty()) return;
  DeleteFileA(installedUninstaller.c_str());
  RunUninstallation(folder);
}
