#include "app/version_number.h"

#include <cstdio>

uint32_t PackVersion(const VersionNumber& v) {
  return v.Major * 1000000u + v.Minor * 10000u + v.Release * 100u + v.Build;
}

std::string FormatVersionFull(const VersionNumber& v) {
  char text[64];
  std::snprintf(text, sizeof text, "%d.%02d.%02d.%02d", static_cast<int>(v.Major),
                static_cast<int>(v.Minor), static_cast<int>(v.Release), static_cast<int>(v.Build));
  return text;
}

std::string FormatVersionShort(const VersionNumber& v) {
  char text[48];
  std::snprintf(text, sizeof text, "%d.%02d.%02d", static_cast<int>(v.Major),
                static_cast<int>(v.Minor), static_cast<int>(v.Release));
  return text;
}
