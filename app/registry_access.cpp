#include "app/registry_access.h"

#include <cstring>
#include <vector>

#include "app/setup_state.h"
#include "framework/app.h"
#include "framework/handles.h"

namespace {

bool FitsNameBuffer(const std::string& s) { return s.size() < kRegNameBuffer; }

void DropOneTrailingBackslash(std::string& s) {
  if (!s.empty() && s.back() == '\\') s.pop_back();
}

}  // namespace

std::string GetRegString(HKEY root, const std::string& keyPath, const std::string& valueName) {
  if (!FitsNameBuffer(keyPath) || !FitsNameBuffer(valueName)) return std::string();
  fw::UniqueKey key;
  if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::string();
  char buffer[kRegValueBuffer] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  // The type is not examined: whatever the value holds is taken as text, and an
  // expandable string keeps its %references%.
  if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                       &size) != ERROR_SUCCESS)
    return std::string();
  // Data need not end in a NUL; the text stops at the first one within what was read.
  const DWORD read = size < sizeof buffer ? size : static_cast<DWORD>(sizeof buffer);
  const void* nul = std::memchr(buffer, '\0', read);
  return std::string(buffer, nul ? static_cast<const char*>(nul) - buffer : read);
}

bool SetRegString(HKEY root, const std::string& keyPath, const char* valueName, const std::string& text) {
  const std::string value = text.c_str();  // the text ends at its first NUL
  if (!FitsNameBuffer(keyPath) || !FitsNameBuffer(value) ||
      (valueName != nullptr && std::strlen(valueName) >= kRegNameBuffer))
    return false;
  fw::UniqueKey key;
  if (RegCreateKeyA(root, keyPath.c_str(), key.put()) != ERROR_SUCCESS) return false;
  return RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::string FindInstalledFolder() {
  std::string folder = GetRegString(HKEY_LOCAL_MACHINE, product::kProductKey, regvalue::kInstalledPath);
  if (folder.empty()) {
    const std::string exe = GetRegString(HKEY_LOCAL_MACHINE, product::kAppPathsKey, std::string());
    const std::string::size_type at = exe.find(product::kProductExe);  // case-sensitive
    if (at != std::string::npos) folder = exe.substr(0, at);
  }
  DropOneTrailingBackslash(folder);
  return folder;
}

std::string GetProgramFilesFolder() {
  std::string folder = GetRegString(HKEY_LOCAL_MACHINE, product::kCurrentVersionKey, regvalue::kProgramFilesDir);
  if (folder.empty()) {
    char windows[MAX_PATH];
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    std::string drive = (n > 0 && n < MAX_PATH) ? std::string(windows, n) : std::string();
    const std::string::size_type slash = drive.find('\\');
    if (slash != std::string::npos) drive.resize(slash + 1);  // C:\WINDOWS gives C:\ .
    folder = drive + regvalue::kProgramFilesName;
  }
  DropOneTrailingBackslash(folder);
  return folder;
}

std::string GetOwnFolder() {
  const std::string self = ModuleFileName(nullptr);  // empty when it does not fit in 260 bytes
  const std::string::size_type slash = self.rfind('\\');
  if (slash == std::string::npos) return std::string();
  return self.substr(0, slash);
}

void ReadFileVersion(const std::string& path) {
  VersionNumber& version = theSetupState.ProductVersion;
  version = VersionNumber{};
  if (path.size() >= MAX_PATH) return;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO))
    return;
  // The file version; the product version fields may say anything.
  version.Major = HIWORD(info->dwFileVersionMS);
  version.Minor = LOWORD(info->dwFileVersionMS);
  version.Release = HIWORD(info->dwFileVersionLS);
  version.Build = LOWORD(info->dwFileVersionLS);
}
