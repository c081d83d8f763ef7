// The temporary copy's command line, and the restart-time list of the older
// systems in WININIT.INI (called directly: MoveFileExA does not fail here).
#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "uninstall/relaunch.h"

using testing_support::Exists;
using testing_support::ReadFile;
using testing_support::WriteFile;

TEST(Relaunch, CommandLineQuotesPathsWithBlanksOrTabs) {
  struct Case { const char* copy; const char* uninstaller; bool silent; const char* line; } cases[] = {
      {"C:\\Temp\\uni1A.tmp", "C:\\Apps\\LmUnInst.exe", false,
       "C:\\Temp\\uni1A.tmp -delself C:\\Apps\\LmUnInst.exe"},
      {"C:\\Temp\\uni1A.tmp", "C:\\Program Files\\Lumishot 6\\LmUnInst.exe", true,
       "C:\\Temp\\uni1A.tmp -delself \"C:\\Program Files\\Lumishot 6\\LmUnInst.exe\" -s"},
      {"C:\\Documents and Settings\\u\\Temp\\uni2.tmp", "C:\\A\tB\\LmUnInst.exe", false,
       "\"C:\\Documents and Settings\\u\\Temp\\uni2.tmp\" -delself \"C:\\A\tB\\LmUnInst.exe\""},
  };
  for (const Case& c : cases) EXPECT_EQ(RelaunchCommandLine(c.copy, c.uninstaller, c.silent), c.line);
}

namespace {

std::string WininitPath() {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\WININIT.INI";
}

// Keeps whatever WININIT.INI the prefix had, and puts it back afterwards: the
// system would act on our entries at its next start.
class Wininit : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = WininitPath();
    had_ = Exists(path_);
    if (had_) saved_ = ReadFile(path_);
    DeleteFileA(path_.c_str());
  }
  void TearDown() override {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "WININIT.INI");  // flush the profile cache
    DeleteFileA(path_.c_str());
    if (had_) WriteFile(path_, saved_);
  }
  std::string Section() {
    std::string block(16384, '\0');
    DWORD n = GetPrivateProfileSectionA("rename", &block[0], 16384, "WININIT.INI");
    block.resize(n);
    for (char& c : block) if (c == '\0') c = ';';
    return block;
  }
  std::string path_;
  bool had_ = false;
  std::string saved_;
};

}  // namespace

TEST_F(Wininit, ExistingSectionKeepsItsEntriesAndGainsOneAtTheEnd) {
  WriteFile(path_, "[other]\r\nx=1\r\n[rename]\r\nC:\\a.dll=C:\\a.new\r\nNUL=C:\\b.old\r\n");
  ASSERT_TRUE(AppendWininitRenameEntry("NUL=C:\\Temp\\uni7.tmp"));
  EXPECT_EQ(Section(), "C:\\a.dll=C:\\a.new;NUL=C:\\b.old;NUL=C:\\Temp\\uni7.tmp;");
  EXPECT_EQ(GetPrivateProfileIntA("other", "x", 0, "WININIT.INI"), 1u);
}

TEST_F(Wininit, MissingSectionIsCreatedAndCallsKeepTheirOrder) {
  ASSERT_TRUE(AppendWininitRenameEntry("NUL=C:\\first.tmp"));
  EXPECT_EQ(Section(), "NUL=C:\\first.tmp;");
  ASSERT_TRUE(AppendWininitRenameEntry("NUL=C:\\second.tmp"));
  EXPECT_EQ(Section(), "NUL=C:\\first.tmp;NUL=C:\\second.tmp;");
}

TEST_F(Wininit, SectionThatWouldOverflowIsRefusedAndLeftAlone) {
  // Entries filling all but a few bytes of the 16,384-byte block.
  std::string content = "[rename]\r\n";
  size_t used = 0;
  int i = 0;
  while (used < 16384 - 120) {
    std::string entry = "NUL=C:\\padding\\file" + std::to_string(i++) + std::string(60, 'x');
    content += entry + "\r\n";
    used += entry.size() + 1;
  }
  WriteFile(path_, content);
  const std::string before = Section();
  const std::string longPath = "NUL=C:\\" + std::string(200, 'y');
  EXPECT_FALSE(AppendWininitRenameEntry(longPath));
  EXPECT_EQ(Section(), before);

  // A section larger than the block comes back cut short: never written back.
  std::string huge = "[rename]\r\n";
  for (int j = 0; j < 400; ++j) huge += "NUL=C:\\" + std::string(50, 'z') + std::to_string(j) + "\r\n";
  WriteFile(path_, huge);
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, "WININIT.INI");
  EXPECT_FALSE(AppendWininitRenameEntry("NUL=C:\\x"));
  EXPECT_EQ(ReadFile(path_), huge);
}
