#include "app/command_words.h"

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::string::size_type i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool HasWordFrom(const std::vector<std::string>& args, size_t from,
                 std::initializer_list<const char*> words) {
  for (size_t i = from; i < args.size(); ++i)
    for (const char* w : words)
      if (EqualsNoCase(args[i], w)) return true;
  return false;
}

std::string AsciiLower(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = Lower(c);
  return r;
}
