#include "uninstall/restart_section.h"

#include <cstring>

bool AppendSectionEntry(std::vector<char>& block, std::size_t used, const std::string& entry,
                        std::size_t capacity) {
  if (used > block.size() || used > capacity) return false;
  if (entry.empty() || entry.find('\0') != std::string::npos) return false;
  // entry, its zero, and the zero that ends the list
  if (capacity - used < entry.size() + 2) return false;
  if (block.size() < used + entry.size() + 2) block.resize(used + entry.size() + 2);
  std::memcpy(block.data() + used, entry.data(), entry.size());
  block[used + entry.size()] = '\0';
  block[used + entry.size() + 1] = '\0';
  return true;
}
