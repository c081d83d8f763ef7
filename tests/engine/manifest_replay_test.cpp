// Replaying a package manifest: what lands in the install folder, and what the
// package folder looks like afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "app/setup_state.h"
#include "install/manifest_replay.h"
#include "install/wow64.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::Exists;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

// A package folder and an install folder that does not exist yet.
class Replay : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = theSetupState;
    theSetupState.SourceDir = package.path();
    theSetupState.InstallDir = root / "Lumishot 6";
  }
  void TearDown() override { theSetupState = saved; }

  std::string Installed(const std::string& name) const { return theSetupState.InstallDir + "\\" + name; }
  // Names as the folder holds them: the system would find "a " under the name "a".
  std::set<std::string> InstalledNames(const std::string& folder = std::string()) const {
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(((folder.empty() ? theSetupState.InstallDir : Installed(folder)) + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (data.cFileName[0] != '.') names.insert(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
  }
  void RunManifest(const std::string& manifestLines) {
    WriteFile(package / "LmUnInst.log", manifestLines);
    ReplayManifest(package / "LmUnInst.log");
  }

  TempFolder package{"lmreplay_pkg"};
  TempFolder root{"lmreplay_dest"};
  SetupState saved;
};

TEST_F(Replay, PatternsRenamingsAndFoldersInFileOrder) {
  for (const char* name : {"LmShot6.exe", "readme.txt", "notes.txt", "setup.exe"}) {
    WriteFile(package / name, std::string("package ") + name);
  }
  CreateDirectoryA((package / "Samples").c_str(), nullptr);
  CreateDirectoryA((package / "Late").c_str(), nullptr);
  WriteFile(package / "Samples\\a.ls6", "a");
  WriteFile(package / "Samples\\b.ls6", "b");
  WriteFile(package / "Late\\c.ls6", "c");
  RunManifest(
      "Make Dir: Early\r\n"  // before any file line: the install folder is not there yet
      "File Copy: LmShot6.exe\r\n"
      "File Copy: *.txt\r\n"
      "File Copy: setup.exe   >   LmUnInst.exe\t\r\n"
      "Make Dir: Samples\r\n"
      "Make Dir: Deep\\Er\r\n"
      "File Copy: Samples\\*.ls6\r\n"
      "File Copy: Late\\c.ls6\r\n"
      "Make Dir: Late\r\n");

  EXPECT_EQ(ReadFile(Installed("LmShot6.exe")), "package LmShot6.exe");
  for (const char* name : {"readme.txt", "notes.txt"}) {
    EXPECT_EQ(ReadFile(Installed(name)), std::string("package ") + name) << name;
  }
  // The renaming places one file under the destination name, without the blanks.
  EXPECT_EQ(ReadFile(Installed("LmUnInst.exe")), "package setup.exe");
  EXPECT_EQ(InstalledNames(),
            (std::set<std::string>{"LmShot6.exe", "readme.txt", "notes.txt", "LmUnInst.exe", "Samples", "Late"}));
  EXPECT_EQ(InstalledNames("Samples"), (std::set<std::string>{"a.ls6", "b.ls6"}));
  EXPECT_EQ(ReadFile(Installed("Samples\\b.ls6")), "b");
  // Folders come where their lines are: too early, too deep, or too late for the copy.
  // ("Early" and "Deep" are missing from the names above.)
  EXPECT_TRUE(InstalledNames("Late").empty());
  // The package is left as it was, manifest included.
  EXPECT_EQ(ReadFile(package / "setup.exe"), "package setup.exe");
}

TEST_F(Replay, LinesForOtherReadersPlaceNothing) {
  for (const char* name : {"over.bin", "gone.bin", "made.bin", "link.bin", "lower.bin", "indented.bin"}) {
    WriteFile(package / name, "x");
  }
  RunManifest(
      "File Overwrite: over.bin\n"
      "File Del: gone.bin\n"
      "Made Dir: made.bin\n"
      "Shell Link: link.bin\n"
      "file copy: lower.bin\n"
      " File Copy: indented.bin\n"
      "File Copy: missing.bin\n");
  EXPECT_FALSE(Exists(theSetupState.InstallDir));
}

BOOL WINAPI ReportsWow64(HANDLE, PBOOL result) {
  *result = TRUE;
  return TRUE;
}

TEST_F(Replay, SixtyFourBitFilesOnlyUnderWow64) {
  WriteFile(package / "LmShot6.exe", "exe");
  WriteFile(package / "LmShotFx64.dll", "x64");
  const std::string manifest = "File Copy: LmShot6.exe\r\nFile Copy x64: LmShotFx64.dll\r\n";

  // This test program is a 64-bit one, so the system says no WOW64 here.
  ASSERT_FALSE(IsWow64());
  RunManifest(manifest);
  EXPECT_TRUE(Exists(Installed("LmShot6.exe")));
  EXPECT_FALSE(Exists(Installed("LmShotFx64.dll")));

  // A 32-bit process on 64-bit Windows: the probe found at start-up answers yes.
  testing_support::RemoveTree(theSetupState.InstallDir);
  const IsWow64ProcessFn real = theIsWow64Process;
  theIsWow64Process = ReportsWow64;
  RunManifest(manifest);
  theIsWow64Process = real;
  EXPECT_TRUE(Exists(Installed("LmShot6.exe")));
  EXPECT_EQ(ReadFile(Installed("LmShotFx64.dll")), "x64");
}

// The sample library of the package builder: no system has one of its name.
std::string SampleLibrary() {
  const char* build = std::getenv("LM_BUILD");
  if (!build) return std::string();
  std::string path = std::string("Z:") + build + "/tools/LmShotFx.dll";
  for (char& c : path) if (c == '/') c = '\\';
  return path;
}

// The library search looks in the current folder, as it does in setup's own
// folder: a probe that did not move the package's copy aside would find it.
class LibraryProbe : public Replay {
 protected:
  void SetUp() override {
    Replay::SetUp();
    GetCurrentDirectoryA(MAX_PATH, savedFolder);
    SetCurrentDirectoryA(package.path().c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(savedFolder);
    Replay::TearDown();
  }
  char savedFolder[MAX_PATH] = {};
};

TEST_F(LibraryProbe, LibraryTheSystemHasIsNotPlaced) {
  WriteFile(package / "version.dll", "the package's copy");
  WriteFile(package / "LmShot6.exe", "exe");
  RunManifest("File Copy: LmShot6.exe\r\nFile Copy ind: version.dll\r\n");
  EXPECT_TRUE(Exists(Installed("LmShot6.exe")));
  EXPECT_FALSE(Exists(Installed("version.dll")));
  EXPECT_EQ(ReadFile(package / "version.dll"), "the package's copy");
  EXPECT_FALSE(Exists(package / "version.dll.toinst"));
}

TEST_F(LibraryProbe, UnknownLibraryIsPlaced) {
  const std::string library = SampleLibrary();
  ASSERT_TRUE(CopyFileA(library.c_str(), (package / "LmShotFx.dll").c_str(), FALSE)) << library;
  {
    // Precondition of the test: left where it is, the package's copy would be found.
    HMODULE found = LoadLibraryA("LmShotFx.dll");
    ASSERT_NE(found, nullptr);
    FreeLibrary(found);
  }
  WriteFile(package / "LmFilter.dll", "a renamed library");
  RunManifest(
      "File Copy ind: LmShotFx.dll\r\n"
      "File Copy ind: LmFilter.dll  >  LmFilter2.dll\r\n");
  EXPECT_TRUE(Exists(Installed("LmShotFx.dll")));
  EXPECT_TRUE(ReadFile(Installed("LmShotFx.dll")) == ReadFile(package / "LmShotFx.dll"));
  EXPECT_EQ(ReadFile(Installed("LmFilter2.dll")), "a renamed library");
  EXPECT_TRUE(Exists(package / "LmShotFx.dll"));
  EXPECT_TRUE(Exists(package / "LmFilter.dll"));
  EXPECT_FALSE(Exists(package / "LmShotFx.dll.toinst"));
  // The probe leaves nothing loaded.
  EXPECT_EQ(GetModuleHandleA("LmShotFx.dll"), nullptr);
}

}  // namespace
