// Shortcuts as the shell-link object saves them, and their install-log lines.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/setup_state.h"
#include "install/shortcuts.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::Exists;
using testing_support::MessageBoxRecorder;
using testing_support::ReadFile;
using testing_support::TempFolder;

// The install log goes into a folder of the test's own.
class Shortcuts : public ::testing::Test {
 protected:
  void SetUp() override {
    savedInstallDir = theSetupState.InstallDir;
    theSetupState.InstallDir = install.path();
  }
  void TearDown() override { theSetupState.InstallDir = savedInstallDir; }
  std::string Log() const { return ReadFile(install / "LmUnInst.log"); }

  TempFolder install{"lmlnk_install"};
  TempFolder links{"lmlnk_links"};
  MessageBoxRecorder boxes;
  std::string savedInstallDir;
};

TEST_F(Shortcuts, EachSavedShortcutIsLoggedInOrder) {
  const std::string product = links / "Lumishot 6.lnk", help = links / "Lumishot 6 Help.lnk";
  EXPECT_TRUE(SUCCEEDED(CreateShortcut(install / "LmShot6.exe", product, "%APPDATA%")));
  EXPECT_TRUE(SUCCEEDED(CreateShortcut(install / "LmShot6Man.chm", help, nullptr)));
  EXPECT_TRUE(Exists(product));
  EXPECT_TRUE(Exists(help));
  // Text-mode lines: CRLF on disk, the link path exactly as given.
  EXPECT_EQ(Log(), "Shell Link: " + product + "\r\nShell Link: " + help + "\r\n");
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(Shortcuts, ExistingShortcutIsOverwritten) {
  const std::string link = links / "Lumishot 6.lnk";
  testing_support::WriteFile(link, "not a shortcut");
  EXPECT_TRUE(SUCCEEDED(CreateShortcut(install / "LmShot6.exe", link, nullptr)));
  EXPECT_NE(ReadFile(link), "not a shortcut");
  EXPECT_EQ(Log(), "Shell Link: " + link + "\r\n");
}

TEST_F(Shortcuts, ShortcutIntoMissingFolderLeavesNoFileAndNoLine) {
  const std::string link = links / "missing\\Lumishot 6.lnk";
  EXPECT_TRUE(FAILED(CreateShortcut(install / "LmShot6.exe", link, "%APPDATA%")));
  EXPECT_FALSE(Exists(link));
  EXPECT_FALSE(Exists(install / "LmUnInst.log"));
  EXPECT_TRUE(boxes.calls.empty());
}

// The system would take a longer link path than it can later open; none is made.
TEST_F(Shortcuts, LinkPathsAndTargetsBeyondTheirLimits) {
  const std::string folder = links.path() + "\\";
  auto linkOfLength = [&](size_t n) { return folder + std::string(n - folder.size() - 4, 'k') + ".lnk"; };
  auto targetOfLength = [](size_t n) { return "C:\\" + std::string(n - 7, 't') + ".exe"; };
  struct Case {
    const char* what;
    std::string target, link;
    bool made;
  } cases[] = {
      {"link path of 259 characters", targetOfLength(40), linkOfLength(259), true},
      {"link path of 260 characters", targetOfLength(40), linkOfLength(260), false},
      {"target of 511 bytes", targetOfLength(511), folder + "t511.lnk", true},
      {"target of 512 bytes", targetOfLength(512), folder + "t512.lnk", false},
      {"quoted target of 511 bytes within the quotes", "\"" + targetOfLength(511) + "\"", folder + "q511.lnk", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileA((install / "LmUnInst.log").c_str());
    HRESULT hr = CreateShortcut(c.target, c.link, nullptr);
    if (c.made) {
      EXPECT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
      EXPECT_TRUE(Exists(c.link));
      EXPECT_EQ(Log(), "Shell Link: " + c.link + "\r\n");
    } else {
      EXPECT_EQ(hr, E_INVALIDARG);
      EXPECT_FALSE(Exists(c.link));
      EXPECT_FALSE(Exists(install / "LmUnInst.log"));
    }
  }
}

// Leaves shortcuts in the folder named by LM_SHORTCUT_OUT for the independent
// .lnk reader of shortcut_details.sh, which checks what they hold; skipped
// without it.
TEST(ShortcutDetails, MadeForTheReader) {
  const char* out = std::getenv("LM_SHORTCUT_OUT");
  if (!out || !*out) GTEST_SKIP() << "LM_SHORTCUT_OUT not set";
  const std::string folder = out;
  const std::string savedInstallDir = theSetupState.InstallDir;
  theSetupState.InstallDir = folder;
  const std::string app = "C:\\Program Files\\Lumishot 6";
  struct Row {
    const char* link;
    std::string target;
    const char* workFolder;
  } rows[] = {
      {"Lumishot 6.lnk", app + "\\LmShot6.exe", "%APPDATA%"},
      {"Lumishot 6 Help.lnk", app + "\\LmShot6Man.chm", nullptr},
      {"Read about Lumishot 6.lnk", app + "\\readme.txt", nullptr},
      {"Uninstall Lumishot 6.lnk", app + "\\LmUnInst.exe", nullptr},
      {"Quoted.lnk", "\"" + app + "\\LmShot6.exe\"", "%APPDATA%"},
      {"Leading quote.lnk", "\"" + app + "\\readme.txt", nullptr},
      {"Trailing quote.lnk", app + "\\readme.txt\"", nullptr},
  };
  MessageBoxRecorder boxes;
  for (const Row& row : rows) {
    EXPECT_TRUE(SUCCEEDED(CreateShortcut(row.target, folder + "\\" + row.link, row.workFolder))) << row.link;
  }
  EXPECT_TRUE(boxes.calls.empty());
  theSetupState.InstallDir = savedInstallDir;
}

}  // namespace
