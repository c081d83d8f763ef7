#include "framework/strings.h"

#include <vector>

namespace fw {

std::string LoadResourceString(HINSTANCE module, UINT id) {
  // LoadStringA with a zero length gives a pointer to the entry; its length is
  // that of the wide entry, so load into a buffer large enough for any entry.
  if (!module) module = GetModuleHandleA(nullptr);
  std::vector<char> buffer(4096);
  int n = LoadStringA(module, id, buffer.data(), static_cast<int>(buffer.size()));
  if (n <= 0) return std::string();
  return std::string(buffer.data(), static_cast<size_t>(n));
}

std::string LowerCaseAnsi(const std::string& s) {
  std::vector<char> copy(s.begin(), s.end());
  copy.push_back('\0');
  CharLowerA(copy.data());
  return std::string(copy.data(), s.size());
}

}  // namespace fw
