// Removal driven by install logs and package manifests: what is gone afterwards
// and what stays.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_support.h"
#include "uninstall/log_removal.h"

namespace {

using testing_support::Exists;
using testing_support::TempFolder;
using testing_support::WriteFile;

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// An install folder with a sub-folder, and a log beside it (not inside, so
// that a pattern cannot reach it).
class Removal : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return install / name; }
  void Files(std::initializer_list<const char*> names) {
    for (const char* name : names) WriteFile(Path(name), name);
  }
  std::string Log(const std::string& lines) {
    WriteFile(logs / "LmUnInst.log", lines);
    return logs / "LmUnInst.log";
  }

  TempFolder install{"lmremove_inst"};
  TempFolder logs{"lmremove_logs"};
};

TEST_F(Removal, FileDelLinesOnlyWithThatPrefix) {
  MakeFolder(Path("Samples"));
  MakeFolder(Path("Empty"));
  MakeFolder(Path("Kept"));
  Files({"LmShot6.exe", "readme.txt", "a.bak", "b.bak", "Samples\\c.bak", "Kept\\x.ls6"});
  SetFileAttributesA(Path("a.bak").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(Path("b.bak").c_str(), FILE_ATTRIBUTE_HIDDEN);
  RemoveListedFiles(Log("File Copy: LmShot6.exe\r\n"
                        "File Copy: *.txt\r\n"
                        "Make Dir: Empty\r\n"
                        "File Del: *.bak\r\n"
                        "Make Dir: Kept\r\n"),
                    install.path(), "File Del: ");
  EXPECT_TRUE(Exists(Path("LmShot6.exe")));
  EXPECT_TRUE(Exists(Path("readme.txt")));
  EXPECT_FALSE(Exists(Path("a.bak")));
  EXPECT_FALSE(Exists(Path("b.bak")));
  // A pattern without a folder part stays in the folder itself.
  EXPECT_TRUE(Exists(Path("Samples\\c.bak")));
  // The folder pass runs with a prefix too: empty folders go, others stay.
  EXPECT_FALSE(Exists(Path("Empty")));
  EXPECT_TRUE(Exists(Path("Kept\\x.ls6")));
}

TEST_F(Removal, EveryFileLineKindWithoutPrefix) {
  MakeFolder(Path("Samples"));
  MakeFolder(Path("Outer"));
  MakeFolder(Path("Outer\\Inner"));
  Files({"LmShot6.exe", "LmUnInst.exe", "setup.exe", "LmShotFx64.dll", "LmShotFx.dll", "over.txt", "old.txt",
         "dest.txt", "Samples\\dest.txt", "Samples\\a.ls6", "lower.txt", "indented.txt", "Outer\\Inner\\deep.txt"});
  // Written as on Windows, and installed to a folder given with its trailing
  // backslash, as the uninstaller gives it.
  RemoveListedFiles(Log("File Copy: LmShot6.exe\r\n"
                        "File Copy: setup.exe  >  LmUnInst.exe\r\n"
                        "File Copy: source.txt > Samples\\dest.txt | placed by 6.10\r\n"
                        "File Copy: Samples\\*.ls6\r\n"
                        "File Copy x64: LmShotFx64.dll\r\n"
                        "File Copy ind: LmShotFx.dll\r\n"
                        "File Overwrite: over.txt\r\n"
                        "File Del: old.txt\r\n"
                        "file copy: lower.txt\r\n"
                        " File Copy: indented.txt\r\n"
                        "Make Dir: Outer\r\n"
                        "File Copy: Outer\\Inner\\deep.txt\r\n"
                        "Make Dir: Outer\\Inner\r\n"
                        "Make Dir: Samples\r\n"),
                    install.path() + "\\", nullptr);
  for (const char* gone : {"LmShot6.exe", "LmUnInst.exe", "Samples\\dest.txt", "Samples\\a.ls6",
                           "LmShotFx64.dll", "LmShotFx.dll", "over.txt", "old.txt", "Outer\\Inner\\deep.txt"}) {
    EXPECT_FALSE(Exists(Path(gone))) << gone;
  }
  // The source of a renaming, a file of the destination's name outside its
  // sub-folder, and lines that only look like file lines.
  for (const char* kept : {"setup.exe", "dest.txt", "lower.txt", "indented.txt"}) {
    EXPECT_TRUE(Exists(Path(kept))) << kept;
  }
  EXPECT_FALSE(Exists(Path("Samples")));
  // Folders in file order: Outer's line came while Outer\Inner still stood.
  EXPECT_FALSE(Exists(Path("Outer\\Inner")));
  EXPECT_TRUE(Exists(Path("Outer")));
}

TEST_F(Removal, DeleteMatchingFiles) {
  MakeFolder(Path("Sub"));
  MakeFolder(Path("Folder.log"));
  Files({"a.log", "b.log", "keep.txt", "Sub\\c.log", "Sub\\d.log", "Sub\\e.txt"});
  SetFileAttributesA(Path("Folder.log").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(install.path().c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

  // A folder part: only inside that sub-folder.
  EXPECT_EQ(DeleteMatchingFiles(install.path(), "Sub\\*.log"), 2);
  EXPECT_TRUE(Exists(Path("a.log")));
  EXPECT_TRUE(Exists(Path("Sub\\e.txt")));
  EXPECT_FALSE(Exists(Path("Sub\\c.log")));

  // A matching sub-folder is not deleted, but loses its read-only and hidden marks.
  EXPECT_EQ(DeleteMatchingFiles(install.path() + "\\", "*.log"), 2);
  EXPECT_FALSE(Exists(Path("a.log")));
  EXPECT_FALSE(Exists(Path("b.log")));
  EXPECT_TRUE(Exists(Path("keep.txt")));
  ASSERT_NE(Attributes(Path("Folder.log")), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Attributes(Path("Folder.log")) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);

  // "*" also finds "." and "..": the folder itself and its parent keep their marks.
  EXPECT_EQ(DeleteMatchingFiles(install.path(), "*"), 1);
  EXPECT_FALSE(Exists(Path("keep.txt")));
  EXPECT_TRUE(Attributes(install.path()) & FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(install.path().c_str(), FILE_ATTRIBUTE_DIRECTORY);

  EXPECT_EQ(DeleteMatchingFiles(install.path(), "*.none"), 0);
  EXPECT_EQ(DeleteMatchingFiles(install.path() + "\\Missing", "*"), 0);
}

// A start menu with a group inside a group, and one more folder beside them.
class LinksAndMadeDirs : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeFolder(programs);
    MakeFolder(outer);
    MakeFolder(group);
    for (const std::string& link : {linkA, linkB}) WriteFile(link, "lnk");
  }
  std::string LogOf(const std::string& lines) {
    WriteFile(logs / "LmUnInst.log", lines);
    return logs / "LmUnInst.log";
  }

  TempFolder menu{"lmremove_menu"};
  TempFolder logs{"lmremove_logs"};
  std::string programs = menu / "Programs";
  std::string outer = programs + "\\Orvantic";
  std::string group = outer + "\\Lumishot 6";
  std::string linkA = group + "\\Lumishot 6.lnk";
  std::string linkB = group + "\\Uninstall Lumishot 6.lnk";
};

TEST_F(LinksAndMadeDirs, EmptiedGroupGoesWithItsEmptyParents) {
  WriteFile(programs + "\\Other.lnk", "lnk");
  RemoveLinksAndMadeDirs(LogOf("Made Dir: " + group + "\n"  // folder line before the links: links go first
                               "Shell Link: " + linkA + "\n"
                               "Shell Link: " + linkB + "\n"));
  EXPECT_FALSE(Exists(linkA));
  EXPECT_FALSE(Exists(linkB));
  EXPECT_FALSE(Exists(group));
  EXPECT_FALSE(Exists(outer));
  // The first folder that still holds something stops the climb.
  EXPECT_TRUE(Exists(programs + "\\Other.lnk"));
  EXPECT_TRUE(Exists(menu.path()));
}

TEST_F(LinksAndMadeDirs, WhatStaysStopsTheClimb) {
  struct Case {
    const char* what;
    std::string log;
    bool readOnlyB;
    bool linkAGone, linkBGone, groupGone, outerGone;
  } cases[] = {
      {"a read-only shortcut stays, and so does its group",
       "Shell Link: " + linkA + "\r\nShell Link: " + linkB + "\r\nMade Dir: " + group + "\r\n", true, true, false, false, false},
      {"lines that only look like shortcut lines",
       "shell link: " + linkA + "\r\n Shell Link: " + linkB + "\r\nMade Dir: " + group + "\r\n", false, false, false, false, false},
      {"a folder line for the outer group only",
       "Shell Link: " + linkA + "\r\nMade Dir: " + outer + "\r\n", false, true, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    if (c.readOnlyB) SetFileAttributesA(linkB.c_str(), FILE_ATTRIBUTE_READONLY);
    RemoveLinksAndMadeDirs(LogOf(c.log));
    EXPECT_EQ(!Exists(linkA), c.linkAGone);
    EXPECT_EQ(!Exists(linkB), c.linkBGone);
    EXPECT_EQ(!Exists(group), c.groupGone);
    EXPECT_EQ(!Exists(outer), c.outerGone);
    EXPECT_TRUE(Exists(programs));
    SetFileAttributesA(linkB.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(LinksAndMadeDirs, LogThatCannotBeReadRemovesNothing) {
  RemoveLinksAndMadeDirs(logs / "missing.log");
  RemoveListedFiles(logs / "missing.log", group, nullptr);
  EXPECT_TRUE(Exists(linkA));
  EXPECT_TRUE(Exists(group));
}

}  // namespace
