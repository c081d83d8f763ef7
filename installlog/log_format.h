// The line format shared by the package manifest and the install log, its
// reading rule, and its writer. Portable: no Win32 (the C runtime's text-mode
// streams do the line-end translation on Windows).
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

namespace logprefix {
inline constexpr char kFileCopy[] = "File Copy: ";
inline constexpr char kFileCopyX64[] = "File Copy x64: ";
inline constexpr char kFileCopyInd[] = "File Copy ind: ";
inline constexpr char kFileOverwrite[] = "File Overwrite: ";
inline constexpr char kFileDel[] = "File Del: ";
inline constexpr char kMakeDir[] = "Make Dir: ";
inline constexpr char kMadeDir[] = "Made Dir: ";
inline constexpr char kShellLink[] = "Shell Link: ";
}  // namespace logprefix

// The reading rule's line buffer: at most 511 bytes a read and the zero.
inline constexpr std::size_t kLogLineBuffer = 512;

// One read of the reading rule from an open text stream: up to 511 bytes (the
// line feed included when it fits), cut at an embedded NUL, trailing bytes of
// value 32 and below removed except the first byte. False at the end of the
// stream or when `file` is null; `line` is then left as it was.
bool ReadLogLine(std::FILE* file, std::string& line);

// Reads a log by the reading rule: text mode, at most 511 bytes a read (a longer
// line comes back in pieces), trailing bytes of value 32 and below removed (the
// first byte never). A file that cannot be opened reads as empty.
class LogReader {
 public:
  explicit LogReader(const std::string& path);
  ~LogReader();
  LogReader(const LogReader&) = delete;
  LogReader& operator=(const LogReader&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  // The next line; false at the end of the file.
  bool NextLine(std::string& line);
  // Back to the start, for a second pass.
  void Rewind();

 private:
  std::FILE* file_ = nullptr;
};

// True when `line` begins with `prefix` at byte 0 (case-sensitive); `argument`
// is then the rest of the line, untrimmed at its left end.
bool MatchPrefix(const std::string& line, const char* prefix, std::string& argument);

// A file line's argument: a pattern, or a renaming "source > destination" split
// at the first ">", with white space trimmed before and after the ">".
struct FileSpec {
  bool IsRenaming = false;
  std::string Source;       // the pattern, or the source name of a renaming
  std::string Destination;  // the destination name of a renaming; empty for a pattern
};
FileSpec ParseFileSpec(const std::string& argument);

// Uninstall readers drop the annotation: the text from the first " | " on.
std::string StripAnnotation(const std::string& argument);

// What uninstall deletes for a file line: the destination side of the
// argument, without its annotation.
std::string DeletionPattern(const std::string& argument);

// Appends `line` and a line feed to the log (text mode "a"), opening and closing
// the file for this one line; does nothing when the file cannot be opened.
void AppendLogLine(const std::string& logPath, const std::string& line);
