// A product version as the file version resource gives it, and its two forms
// of text. Portable: no Win32.
#pragma once
#include <cstdint>
#include <string>

struct VersionNumber {
  uint32_t Major = 0;
  uint32_t Minor = 0;
  uint32_t Release = 0;
  uint32_t Build = 0;
};

// Major * 1000000 + Minor * 10000 + Release * 100 + Build, in unsigned 32-bit arithmetic.
uint32_t PackVersion(const VersionNumber& v);

// "%d.%02d.%02d.%02d", as the version questions show it.
std::string FormatVersionFull(const VersionNumber& v);

// "%d.%02d.%02d", as the list of installed programs shows it.
std::string FormatVersionShort(const VersionNumber& v);
