#include "install/shortcuts.h"

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <vector>

#include "app/setup_state.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/strings.h"
#include "installlog/log_format.h"

namespace {

constexpr char kSetPathFailed[] = "SetPath failed!";
constexpr char kSetDescriptionFailed[] = "SetDescription failed!";

// What the shell link is handed: a target of at most 511 bytes and a link path
// of at most 259 UTF-16 units, each with its terminating zero.
constexpr size_t kMaxTargetBytes = 511;
constexpr int kMaxLinkUnits = MAX_PATH - 1;

// COM is initialised by the first shortcut and stays so for the rest of the run.
bool comInitialised = false;

std::string WithoutQuotes(const std::string& target) {
  std::string path = target;
  if (!path.empty() && path.front() == '"') path.erase(0, 1);
  if (!path.empty() && path.back() == '"') path.pop_back();
  return path;
}

// The link path in UTF-16, or empty when it cannot be converted or is too long.
std::wstring WideLinkPath(const std::string& link) {
  int units = MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, nullptr, 0);
  if (units <= 0 || units - 1 > kMaxLinkUnits) return std::wstring();
  std::vector<wchar_t> wide(static_cast<size_t>(units));
  if (MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide.data(), units) != units) return std::wstring();
  return std::wstring(wide.data());
}

}  // namespace

HRESULT CreateShortcut(const std::string& target, const std::string& link, const char* workFolder) {
  // Refused before anything is made: neither fits what the shell link is given.
  const std::string path = WithoutQuotes(target);
  if (path.size() > kMaxTargetBytes) return E_INVALIDARG;
  const std::wstring widePath = WideLinkPath(link);
  if (widePath.empty()) return E_INVALIDARG;

  if (!comInitialised) {
    CoInitialize(nullptr);
    comInitialised = true;
  }

  // Declared in this order so that the file interface is released before the link.
  fw::ComPtr<IShellLinkA> shellLink;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                shellLink.put_void());
  if (FAILED(hr)) return hr;
  fw::ComPtr<IPersistFile> file;
  hr = shellLink->QueryInterface(IID_IPersistFile, file.put_void());
  if (FAILED(hr)) return hr;

  if (FAILED(shellLink->SetPath(path.c_str()))) AfxMessageBox(kSetPathFailed, MB_OK);
  if (FAILED(shellLink->SetDescription(""))) AfxMessageBox(kSetDescriptionFailed, MB_OK);
  if (workFolder) shellLink->SetWorkingDirectory(workFolder);

  hr = file->Save(widePath.c_str(), TRUE);
  if (SUCCEEDED(hr)) {
    AppendLogLine(theSetupState.InstallDir + product::kInstallLog, std::string(logprefix::kShellLink) + link);
  }
  return hr;
}

std::string LoadResString(UINT id) { return fw::LoadResourceString(nullptr, id); }
