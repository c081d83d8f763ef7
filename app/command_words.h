// The command-line word scans (portable: no Win32). Arguments are as the C
// runtime splits the command line: position 0 is the program path.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

// ASCII case-insensitive equality of two whole words.
bool EqualsNoCase(const std::string& a, const std::string& b);

// True when an argument at position `from` or later equals one of `words`
// (ASCII case-insensitive).
bool HasWordFrom(const std::vector<std::string>& args, size_t from,
                 std::initializer_list<const char*> words);

// Lower-case ASCII letters; other bytes unchanged.
std::string AsciiLower(const std::string& s);
