#include "app/paths.h"

std::string ParentFolder(const std::string& path) {
  if (path.empty()) return std::string();
  std::string p = path;
  if (p.back() == '\\') p.pop_back();
  std::string::size_type last = p.rfind('\\');
  if (last == std::string::npos || last == 0) return std::string();
  return p.substr(0, last);
}

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (EndsWithSeparator(folder)) return folder + name;
  return folder + "\\" + name;
}
