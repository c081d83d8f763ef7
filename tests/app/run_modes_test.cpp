// Which run mode each program name and argument list selects, and which box it shows.
#include <gtest/gtest.h>

#include "app/program_objects.h"
#include "framework/strings.h"
#include "resource_ids.h"
#include "tests/support/startup_run.h"

namespace {

using testing_support::RunStartup;
using testing_support::StartupRun;

const std::vector<std::vector<std::string>> kArgumentLists = {
    {},
    {"-install"},
    {"-INSTALL"},
    {"x", "-install"},
    {"-delself"},
    {"-DELSELF", "C:\\P\\LmUnInst.exe"},
    {"-s"},
    {"-delself", "C:\\Program Files\\Lumishot 6\\LmUnInst.exe"},
    {"-delself", "C:\\Program Files\\Lumishot 6\\LmUnInst.exe", "-s"},
};

// One letter per argument list above: S setup, U uninstall with the confirmation,
// u uninstall without it, D self-deleting removal with the closing message, d without.
struct NameCase {
  const char* program;
  const char* modes;
} kNames[] = {
    {"C:\\pkg\\setup.exe", "SSSSSSSDd"},
    {"C:\\pkg\\SETUP.EXE", "SSSSSSSDd"},
    {"C:\\pkg\\MySetup.exe", "SSSSSSSDd"},
    {"C:\\pkg\\Setup1.exe", "USSUUUuDd"},
    {"C:\\Program Files\\Lumishot 6\\LmUnInst.exe", "USSUUUuDd"},
    {"C:\\my setup.exe files\\LmUnInst.exe", "SSSSSSSDd"},
};

}  // namespace

TEST(RunModes, NameAndArgumentTable) {
  const std::string confirmation = fw::LoadResourceString(nullptr, IDS_UNINSTALL_CONFIRM);
  const std::string closing = fw::LoadResourceString(nullptr, IDS_UNINSTALLED);
  for (const NameCase& name : kNames) {
    for (size_t i = 0; i < kArgumentLists.size(); ++i) {
      const char expected = name.modes[i];
      SCOPED_TRACE(std::string(name.program) + " with argument list " + std::to_string(i));
      StartupRun r = RunStartup(name.program, kArgumentLists[i], IDYES);
      EXPECT_EQ(r.mode, static_cast<char>(toupper(expected)));
      const bool boxExpected = expected == 'U' || expected == 'D';
      ASSERT_EQ(r.boxes.size(), boxExpected ? 1u : 0u);
      if (expected == 'U') {
        EXPECT_EQ(r.boxes[0].text, confirmation);
        EXPECT_EQ(r.boxes[0].caption, "Lumishot Setup");
        EXPECT_EQ(r.boxes[0].style, 0x134u);
        EXPECT_EQ(r.boxes[0].owner, nullptr);
      }
      if (expected == 'D') {
        EXPECT_EQ(r.boxes[0].text, closing);
        EXPECT_EQ(r.boxes[0].caption, "Lumishot Setup");
        EXPECT_EQ(r.boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(r.removed, kArgumentLists[i][1]);
        EXPECT_EQ(r.exitCode, 0);
      }
      const bool silentList = i == 6 || i == 8;  // the lists that hold "-s"
      EXPECT_EQ(theSetupState.Silent, silentList ? 1 : 0);
    }
  }
}

TEST(RunModes, DecliningTheUninstallationChangesNothing) {
  for (int answer : {IDNO, IDCANCEL}) {
    StartupRun r = RunStartup("C:\\Program Files\\Lumishot 6\\LmUnInst.exe", {}, answer);
    EXPECT_EQ(r.mode, '-');
    EXPECT_FALSE(r.result);
    ASSERT_EQ(r.boxes.size(), 1u);
  }
}
