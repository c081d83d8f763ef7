// String helpers of the framework layer.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

// A string-table entry; empty when the id has none.
std::string LoadResourceString(HINSTANCE module, UINT id);

// Lower case as the ANSI code page defines it (multibyte-aware).
std::string LowerCaseAnsi(const std::string& s);

}  // namespace fw
