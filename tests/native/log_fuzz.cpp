// libFuzzer target of the install-log reading rule and the file-pattern
// parsing: any bytes as a log, read twice (the second pass after a rewind), every
// line tried against every prefix and parsed as replay and uninstall parse it.
// Besides the sanitizers' findings, a broken invariant of the rule aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "installlog/log_format.h"

namespace {

const char* const kPrefixes[] = {logprefix::kFileCopy,  logprefix::kFileCopyX64, logprefix::kFileCopyInd,
                                 logprefix::kFileOverwrite, logprefix::kFileDel, logprefix::kMakeDir,
                                 logprefix::kMadeDir,  logprefix::kShellLink};

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsSpecSpace(char c) { return std::strchr(" \t\v\f\r\n", c) != nullptr && c != '\0'; }

void CheckLine(const std::string& line) {
  Require(line.size() <= kLogLineBuffer - 1);
  Require(line.find('\0') == std::string::npos);
  if (line.size() > 1) Require(static_cast<unsigned char>(line.back()) > 32);
  for (const char* prefix : kPrefixes) {
    std::string argument;
    if (!MatchPrefix(line, prefix, argument)) continue;
    Require(line == prefix + argument);
    Require(!argument.empty());  // a prefix alone loses its blank to the trimming

    FileSpec parsed = ParseFileSpec(argument);
    Require(parsed.IsRenaming == (argument.find('>') != std::string::npos));
    if (parsed.IsRenaming) {
      Require(parsed.Source.find('>') == std::string::npos);
      Require(parsed.Source.empty() || !IsSpecSpace(parsed.Source.back()));
      Require(parsed.Destination.empty() || !IsSpecSpace(parsed.Destination.front()));
      Require(parsed.Source.size() + parsed.Destination.size() < argument.size());
    } else {
      Require(parsed.Source == argument && parsed.Destination.empty());
    }

    std::string kept = StripAnnotation(argument);
    Require(argument.compare(0, kept.size(), kept) == 0);
    Require(kept.find(" | ") == std::string::npos);
    std::string deleted = DeletionPattern(argument);
    Require(deleted.size() <= kept.size());
    Require(kept.find(deleted) != std::string::npos);
  }
}

// The reading rule restated on the raw bytes (no text-mode translation, as on
// Linux): pieces of at most 511 bytes that end after a line feed, cut at a NUL,
// trailing bytes of 32 and below dropped but never the first.
std::vector<std::string> ModelLines(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  size_t p = 0;
  while (p < size) {
    size_t end = p;
    while (end < size && end - p < kLogLineBuffer - 1) {
      if (data[end++] == '\n') break;
    }
    std::string piece(reinterpret_cast<const char*>(data) + p, end - p);
    piece = piece.substr(0, piece.find('\0'));
    size_t n = piece.size();
    while (n > 1 && static_cast<unsigned char>(piece[n - 1]) <= 32) --n;
    lines.push_back(piece.substr(0, n));
    p = end;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  std::vector<char> bytes(data, data + size);
  std::FILE* file = fmemopen(bytes.data(), bytes.size(), "r");
  if (file == nullptr) return 0;

  std::vector<std::string> first;
  std::string line;
  while (ReadLogLine(file, line)) {
    CheckLine(line);
    first.push_back(line);
  }
  std::rewind(file);
  size_t i = 0;
  while (ReadLogLine(file, line)) {
    Require(i < first.size() && line == first[i]);
    ++i;
  }
  Require(i == first.size());
  Require(first == ModelLines(data, size));
  std::fclose(file);
  return 0;
}
