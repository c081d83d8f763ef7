// The restart-time rename list of the older systems ("rename" section of
// WININIT.INI) as a block of zero-terminated "key=value" entries ended by one
// more zero. Portable: no Win32.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

inline constexpr std::size_t kRenameSectionCapacity = 16384;

// Appends `entry` at offset `used` (the length of the existing entries without
// the final zero), followed by its zero and the list's final zero. Returns false
// and leaves the block untouched when the result would not fit in `capacity`
// bytes or `used` lies outside the block.
bool AppendSectionEntry(std::vector<char>& block, std::size_t used, const std::string& entry,
                        std::size_t capacity = kRenameSectionCapacity);
