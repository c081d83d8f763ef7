// File-system helpers of the framework layer.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

// True when a file or folder of that name exists.
inline bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace fw
