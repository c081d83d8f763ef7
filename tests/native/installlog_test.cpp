// The install-log reading rule, the file patterns and the writer. Portable:
// the native build runs it under ASan/UBSan, and tests/installlog builds the
// same file for Wine, where the C runtime's text mode turns CRLF into LF.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "installlog/log_format.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own under the test's temporary folder, removed at the end.
class LogFolder {
 public:
  LogFolder() {
    static int counter = 0;
    path_ = fs::path(testing::TempDir()) /
            ("lmlog_" + std::to_string(fs::file_time_type::clock::now().time_since_epoch().count()) +
             "_" + std::to_string(++counter));
    fs::create_directories(path_);
  }
  ~LogFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> ReadAll(LogReader& reader) {
  std::vector<std::string> lines;
  std::string line;
  while (reader.NextLine(line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> ReadLines(const std::string& content) {
  LogFolder folder;
  const std::string path = folder.File("LmUnInst.log");
  WriteBytes(path, content);
  LogReader reader(path);
  return ReadAll(reader);
}

// Arguments of the lines that begin with `prefix`, in file order.
std::vector<std::string> Arguments(const std::string& content, const char* prefix) {
  std::vector<std::string> found;
  for (const std::string& line : ReadLines(content)) {
    std::string argument;
    if (MatchPrefix(line, prefix, argument)) found.push_back(argument);
  }
  return found;
}

using Strings = std::vector<std::string>;

// Every line that some reader acts on, as "prefix" + "|" + argument.
Strings Recognised(const std::string& content) {
  static const char* const kAll[] = {logprefix::kFileCopy,  logprefix::kFileCopyX64, logprefix::kFileCopyInd,
                                     logprefix::kFileOverwrite, logprefix::kFileDel, logprefix::kMakeDir,
                                     logprefix::kMadeDir,  logprefix::kShellLink};
  Strings found;
  for (const std::string& line : ReadLines(content)) {
    for (const char* prefix : kAll) {
      std::string argument;
      if (MatchPrefix(line, prefix, argument)) found.push_back(std::string(prefix) + "|" + argument);
    }
  }
  return found;
}

}  // namespace

TEST(ReadingRule, PrefixAndArgumentTable) {
  struct Case {
    const char* name;
    std::string content;
    const char* prefix;
    Strings arguments;
  } cases[] = {
      {"other letter case", "file copy: a.txt\nFILE COPY: b.txt\n", logprefix::kFileCopy, {}},
      {"blank before the prefix", " File Copy: a.txt\n\tShell Link: C:\\g\\a.lnk\n", logprefix::kFileCopy, {}},
      {"tab before the prefix", "\tShell Link: C:\\g\\a.lnk\n", logprefix::kShellLink, {}},
      {"trailing blanks, tabs, CR", "File Copy: a.txt \t \r\n", logprefix::kFileCopy, {"a.txt"}},
      {"trimming stops above 32", "File Del: *.tmp\x7f\x01\x1f \n", logprefix::kFileDel, {"*.tmp\x7f"}},
      {"prefix alone", "File Copy: \nFile Copy:\nFile Copy:   \t\n", logprefix::kFileCopy, {}},
      {"left end not trimmed", "File Copy:  a.txt\n", logprefix::kFileCopy, {" a.txt"}},
      {"blanks inside kept", "Shell Link: C:\\My Group\\Read me.lnk  \n", logprefix::kShellLink,
       {"C:\\My Group\\Read me.lnk"}},
      {"bytes of 128 and above are text", "Made Dir: C:\\Caf\xE9\xA0\n", logprefix::kMadeDir, {"C:\\Caf\xE9\xA0"}},
      {"no line end at the end of the file", "File Del: old.dll", logprefix::kFileDel, {"old.dll"}},
      {"tab inside kept", "File Copy: a\tb\n", logprefix::kFileCopy, {"a\tb"}},
      {"NUL ends the line", std::string("File Copy: a\0b.txt\n", 19), logprefix::kFileCopy, {"a"}},
      {"x64 is not File Copy", "File Copy x64: a64.dll\nFile Copy ind: b.dll\n", logprefix::kFileCopy, {}},
      {"x64 line", "File Copy x64: a64.dll\n", logprefix::kFileCopyX64, {"a64.dll"}},
      {"Make Dir is not Made Dir", "Make Dir: sub\nMade Dir: C:\\g\n", logprefix::kMadeDir, {"C:\\g"}},
      {"empty lines between", "\n\r\n \nMake Dir: sub\n\n", logprefix::kMakeDir, {"sub"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Arguments(c.content, c.prefix), c.arguments) << c.name;
}

TEST(ReadingRule, FirstByteIsNeverCleared) {
  EXPECT_EQ(ReadLines(" \n\t\t\n\n"), (Strings{" ", "\t", "\n"}));
}

TEST(ReadingRule, LongLinesComeBackIn511BytePieces) {
  const std::string longLine = "File Copy: " + std::string(589, 'a');  // 600 bytes
  Strings lines = ReadLines(longLine + "\nFile Del: b\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], longLine.substr(0, 511));
  EXPECT_EQ(lines[1], std::string(89, 'a'));
  EXPECT_EQ(lines[2], "File Del: b");

  // The remainder is read like any line: one that begins with a prefix counts.
  EXPECT_EQ(Arguments(std::string(511, 'x') + "File Del: c.tmp\n", logprefix::kFileDel), Strings{"c.tmp"});

  // 510 bytes and the line feed fit one read; at 511 the line feed is read alone
  // and stays, since the first byte is never cleared.
  EXPECT_EQ(ReadLines(std::string(510, 'y') + "\n"), Strings{std::string(510, 'y')});
  EXPECT_EQ(ReadLines(std::string(511, 'y') + "\n"), (Strings{std::string(511, 'y'), "\n"}));
}

TEST(ReadingRule, CrLfAndLfLogsReadTheSame) {
  const Strings lf = {"File Copy: LmShot6.exe", "", "Make Dir: Help", "File Copy: " + std::string(600, 'h'),
                      "Made Dir: C:\\Users\\Public\\Lumishot 6", "Shell Link: C:\\g\\Lumishot 6.lnk "};
  std::string withLf, withCrLf;
  for (const std::string& line : lf) {
    withLf += line + "\n";
    withCrLf += line + "\r\n";
  }
  EXPECT_EQ(Recognised(withCrLf), Recognised(withLf));
  EXPECT_EQ(Recognised(withLf).size(), 5u);
#ifdef _WIN32
  // Text mode hands the reader LF alone, so even the empty line is the same.
  EXPECT_EQ(ReadLines(withCrLf), ReadLines(withLf));
#endif
}

TEST(ReadingRule, RewindGivesASecondPass) {
  LogFolder folder;
  const std::string path = folder.File("LmUnInst.log");
  WriteBytes(path, "Shell Link: C:\\g\\a.lnk\nMade Dir: C:\\g\n");
  LogReader reader(path);
  ASSERT_TRUE(reader.IsOpen());
  Strings first = ReadAll(reader);
  reader.Rewind();
  EXPECT_EQ(ReadAll(reader), first);
  EXPECT_EQ(first, (Strings{"Shell Link: C:\\g\\a.lnk", "Made Dir: C:\\g"}));
}

TEST(ReadingRule, MissingFileReadsAsEmpty) {
  LogFolder folder;
  LogReader reader(folder.File("no such.log"));
  EXPECT_FALSE(reader.IsOpen());
  std::string line = "unchanged";
  EXPECT_FALSE(reader.NextLine(line));
  EXPECT_EQ(line, "unchanged");
  reader.Rewind();
  EXPECT_FALSE(ReadLogLine(nullptr, line));
}

TEST(FilePattern, PatternsAndRenamings) {
  struct Case {
    const char* argument;
    bool renaming;
    const char* source;
    const char* destination;
  } cases[] = {
      {"LmShot6.exe", false, "LmShot6.exe", ""},
      {"Help\\*.chm", false, "Help\\*.chm", ""},
      {"src.txt>dst.txt", true, "src.txt", "dst.txt"},
      {"src.txt  >  dst.txt", true, "src.txt", "dst.txt"},
      {"src.txt \t\v\f\r\n>\t \r\nsub\\dst.txt", true, "src.txt", "sub\\dst.txt"},
      {"my file.txt > your file.txt", true, "my file.txt", "your file.txt"},
      {" a.txt > b.txt", true, " a.txt", "b.txt"},  // the argument's left end stays
      {"a>b>c", true, "a", "b>c"},                  // the first ">" separates
      {">b", true, "", "b"},
      {"a>", true, "a", ""},
      {"  >  ", true, "", ""},
  };
  for (const Case& c : cases) {
    FileSpec parsed = ParseFileSpec(c.argument);
    EXPECT_EQ(parsed.IsRenaming, c.renaming) << c.argument;
    EXPECT_EQ(parsed.Source, c.source) << c.argument;
    EXPECT_EQ(parsed.Destination, c.destination) << c.argument;
  }
}

TEST(FilePattern, AnnotationKeptByReplayDroppedByUninstall) {
  // Replay takes the whole remainder as the file pattern...
  FileSpec replay = ParseFileSpec("readme.txt | shipped 2021");
  EXPECT_FALSE(replay.IsRenaming);
  EXPECT_EQ(replay.Source, "readme.txt | shipped 2021");
  FileSpec replayRenaming = ParseFileSpec("r6.txt > Docs\\readme.txt | from r6");
  EXPECT_EQ(replayRenaming.Destination, "Docs\\readme.txt | from r6");

  // ...while uninstall cuts at the first " | " and takes the destination side.
  struct Case { const char* argument; const char* deleted; } cases[] = {
      {"readme.txt | shipped 2021", "readme.txt"},
      {"r6.txt > Docs\\readme.txt | from r6", "Docs\\readme.txt"},
      {"a.txt|b.txt", "a.txt|b.txt"},       // no blanks around the bar: no annotation
      {"x | y | z", "x"},
      {"a > b | c > d", "b"},               // the annotation goes before ">" is looked for
      {"a | b > c", "a"},
      {" | all annotation", ""},
      {"*.tmp", "*.tmp"},
      {"src >   dst ", "dst "},           // only the front of the destination is trimmed
  };
  for (const Case& c : cases) EXPECT_EQ(DeletionPattern(c.argument), c.deleted) << c.argument;
  EXPECT_EQ(StripAnnotation("a.txt  | n"), "a.txt ");
}

TEST(AppendLogLine, EachLineEndsWithALineFeedInTextMode) {
  LogFolder folder;
  const std::string path = folder.File("LmUnInst.log");
  AppendLogLine(path, "File Copy: LmShot6.exe");
  AppendLogLine(path, "");
  AppendLogLine(path, "Made Dir: C:\\g");
#ifdef _WIN32
  const char* end = "\r\n";  // text mode on Windows
#else
  const char* end = "\n";
#endif
  EXPECT_EQ(ReadBytes(path), std::string("File Copy: LmShot6.exe") + end + end + "Made Dir: C:\\g" + end);

  // An existing file is appended to, and the reader gets the lines back.
  WriteBytes(path, "File Copy: a\n");
  AppendLogLine(path, "Shell Link: C:\\g\\a.lnk");
  LogReader reader(path);
  EXPECT_EQ(ReadAll(reader), (Strings{"File Copy: a", "Shell Link: C:\\g\\a.lnk"}));
}

TEST(AppendLogLine, MissingFolderWritesNothing) {
  LogFolder folder;
  const std::string missing = folder.File("no such folder");
  AppendLogLine(missing + "/sub/LmUnInst.log", "Made Dir: C:\\g");
  AppendLogLine(missing + "/LmUnInst.log", "Made Dir: C:\\g");
  EXPECT_FALSE(fs::exists(missing));
}
