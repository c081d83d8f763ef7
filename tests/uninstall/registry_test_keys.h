// Registry helpers of the uninstall tests: make keys and values, look at them,
// and take away what a test made.
#pragma once
#include <windows.h>

#include <string>

namespace regtest {

inline bool KeyExists(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline void MakeKey(HKEY root, const std::string& path) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
    RegCloseKey(key);
}

// A null name sets the default value; the key is made when missing.
inline void SetText(HKEY root, const std::string& path, const char* name, const std::string& text) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
  RegCloseKey(key);
}

// True and the text when the value exists.
inline bool GetText(HKEY root, const std::string& path, const char* name, std::string* text = nullptr) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buffer[2048];
  DWORD size = sizeof buffer - 1;
  LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return false;
  buffer[size] = '\0';
  if (text) *text = buffer;
  return true;
}

inline void RemoveTree(HKEY root, const std::string& path) { RegDeleteTreeA(root, path.c_str()); RegDeleteKeyA(root, path.c_str()); }

}  // namespace regtest
