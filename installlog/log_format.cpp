#include "installlog/log_format.h"

#include <cstring>

namespace {

// White space that the readers trim around the ">" of a renaming.
bool IsSpecSpace(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

constexpr char kAnnotationMark[] = " | ";
constexpr char kRenamingMark = '>';

}  // namespace

bool ReadLogLine(std::FILE* file, std::string& line) {
  char buffer[kLogLineBuffer];
  if (file == nullptr || std::fgets(buffer, sizeof buffer, file) == nullptr) return false;
  // A NUL inside the line ends it, as it ends a C string.
  std::size_t n = std::strlen(buffer);
  // Bytes of 128 and above are text, hence the unsigned comparison; the first
  // byte stays whatever it is.
  while (n > 1 && static_cast<unsigned char>(buffer[n - 1]) <= 32) --n;
  line.assign(buffer, n);
  return true;
}

LogReader::LogReader(const std::string& path) : file_(std::fopen(path.c_str(), "r")) {}

LogReader::~LogReader() {
  if (file_ != nullptr) std::fclose(file_);
}

bool LogReader::NextLine(std::string& line) { return ReadLogLine(file_, line); }

void LogReader::Rewind() {
  if (file_ != nullptr) std::rewind(file_);
}

bool MatchPrefix(const std::string& line, const char* prefix, std::string& argument) {
  const std::size_t n = std::strlen(prefix);
  if (line.compare(0, n, prefix) != 0) return false;
  argument = line.substr(n);
  return true;
}

FileSpec ParseFileSpec(const std::string& argument) {
  FileSpec parsed;
  const std::size_t mark = argument.find(kRenamingMark);
  if (mark == std::string::npos) {
    parsed.Source = argument;
    return parsed;
  }
  parsed.IsRenaming = true;
  std::size_t end = mark;
  while (end > 0 && IsSpecSpace(argument[end - 1])) --end;
  parsed.Source = argument.substr(0, end);
  std::size_t begin = mark + 1;
  while (begin < argument.size() && IsSpecSpace(argument[begin])) ++begin;
  parsed.Destination = argument.substr(begin);
  return parsed;
}

std::string StripAnnotation(const std::string& argument) {
  return argument.substr(0, argument.find(kAnnotationMark));
}

std::string DeletionPattern(const std::string& argument) {
  FileSpec parsed = ParseFileSpec(StripAnnotation(argument));
  return parsed.IsRenaming ? parsed.Destination : parsed.Source;
}

void AppendLogLine(const std::string& logPath, const std::string& line) {
  std::FILE* file = std::fopen(logPath.c_str(), "a");
  if (file == nullptr) return;
  std::fprintf(file, "%s\n", line.c_str());
  std::fclose(file);
}
