// File placement on Wine: files held open by another process, a running executable at
// the destination, the restart-time registrations, and what `wineboot -r` (the
// restart) makes of them; then the pattern copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/command_words.h"
#include "app/registry_access.h"
#include "install/file_placement.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::Exists;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingValue[] = "PendingFileRenameOperations";

std::string HolderExe() { return GetOwnFolder() + "\\holder.exe"; }

// A running copy of holder.exe (from `program`), holding `held` open without sharing.
class Holder {
 public:
  Holder(const std::string& program, const std::vector<std::string>& held) {
    static int counter = 0;
    const std::string base = "lm_holder_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    stop_ = CreateEventA(nullptr, TRUE, FALSE, (base + "_stop").c_str());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (base + "_ready").c_str());
    std::string commandLine = "\"" + program + "\" " + base + "_stop " + base + "_ready";
    for (const std::string& path : held) commandLine += " \"" + path + "\"";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      CloseHandle(info.hThread);
      process_ = info.hProcess;
      HANDLE waitFor[] = {ready, process_};
      ready_ = WaitForMultipleObjects(2, waitFor, FALSE, 30000) == WAIT_OBJECT_0;
    }
    CloseHandle(ready);
  }
  ~Holder() { Stop(); }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

  bool ready() const { return ready_; }
  void Stop() {
    if (process_ != nullptr) {
      SetEvent(stop_);
      if (WaitForSingleObject(process_, 30000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 30000);
      CloseHandle(process_);
      process_ = nullptr;
    }
    if (stop_ != nullptr) CloseHandle(stop_);
    stop_ = nullptr;
  }

 private:
  HANDLE stop_ = nullptr;
  HANDLE process_ = nullptr;
  bool ready_ = false;
};

// PendingFileRenameOperations as stored: pairs of NT paths, an empty second
// one for a deletion; each string ends in a NUL, and one more NUL ends the list.
std::vector<std::wstring> PendingStrings() {
  std::vector<std::wstring> strings;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return strings;
  DWORD size = 0;
  std::vector<wchar_t> data;
  if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    data.resize(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
      size = 0;
  }
  RegCloseKey(key);
  const size_t count = size / sizeof(wchar_t);
  for (size_t i = 0; i + 1 < count;) {
    std::wstring one(data.data() + i);
    strings.push_back(one);
    i += one.size() + 1;
  }
  if (strings.size() % 2) strings.pop_back();
  return strings;
}

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += static_cast<char>(c);  // the test paths are ASCII
  return s;
}

// Drops the "\\??\\" of an NT path; a "!" in front (MOVEFILE_REPLACE_EXISTING) stays.
std::string Plain(std::string s) {
  const size_t at = !s.empty() && s[0] == '!' ? 1 : 0;
  if (s.compare(at, 4, "\\??\\") == 0) s.erase(at, 4);
  return s;
}

bool Under(std::string path, const std::string& folder) {
  if (!path.empty() && path[0] == '!') path.erase(0, 1);
  return path.size() >= folder.size() && EqualsNoCase(path.substr(0, folder.size()), folder);
}

using Operation = std::pair<std::string, std::string>;  // {path, new path}; an empty new path deletes
using Operations = std::vector<Operation>;

// The registered operations that touch `folder`, in their order.
Operations PendingUnder(const std::string& folder) {
  std::vector<std::wstring> strings = PendingStrings();
  Operations found;
  for (size_t i = 0; i + 1 < strings.size(); i += 2) {
    Operation op{Plain(Narrow(strings[i])), Plain(Narrow(strings[i + 1]))};
    if (Under(op.first, folder) || Under(op.second, folder)) {
      // Case as the file system reports it may differ from ours; compare folded.
      op.first = AsciiLower(op.first);
      op.second = AsciiLower(op.second);
      found.push_back(op);
    }
  }
  return found;
}

Operation Deletion(const std::string& path) { return {AsciiLower(path), ""}; }
Operation Rename(const std::string& from, const std::string& to) { return {AsciiLower(from), AsciiLower(to)}; }

// Takes this test's registrations out of the list again, leaving all others.
void ForgetPendingUnder(const std::string& folder) {
  std::vector<std::wstring> strings = PendingStrings();
  std::vector<wchar_t> kept;
  size_t pairs = 0;
  for (size_t i = 0; i + 1 < strings.size(); i += 2) {
    const std::string a = Plain(Narrow(strings[i])), b = Plain(Narrow(strings[i + 1]));
    if (Under(a, folder) || Under(b, folder)) continue;
    for (size_t k = i; k <= i + 1; ++k) {
      kept.insert(kept.end(), strings[k].begin(), strings[k].end());
      kept.push_back(L'\0');
    }
    ++pairs;
  }
  kept.push_back(L'\0');
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  if (pairs == 0)
    RegDeleteValueA(key, kPendingValue);
  else
    RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                   static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
  RegCloseKey(key);
}

// The restart: Wine's wineboot -r carries out the registered operations and the
// "rename" section of WININIT.INI.
void Restart() {
  char system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  std::string commandLine = std::string(system) + "\\wineboot.exe -r";
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      << GetLastError();
  CloseHandle(info.hThread);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  EXPECT_EQ(code, 0u);
}

std::vector<std::string> WininitRenameSection() {
  std::vector<char> block(16384, '\0');
  DWORD n = GetPrivateProfileSectionA("rename", block.data(), static_cast<DWORD>(block.size()), "WININIT.INI");
  std::vector<std::string> entries;
  for (DWORD i = 0; i < n && block[i]; i += static_cast<DWORD>(std::string(block.data() + i).size()) + 1)
    entries.emplace_back(block.data() + i);
  return entries;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// A package folder and an install folder, and the restart list kept clean of them.
class Placement : public testing::Test {
 protected:
  void TearDown() override { ForgetPendingUnder(root.path()); }
  TempFolder root{"lmplace"};
  std::string pkg = root / "Pkg";
  std::string dst = root / "Lumishot 6";
  void SetUp() override {
    CreateDirectoryA(pkg.c_str(), nullptr);
    CreateDirectoryA(dst.c_str(), nullptr);
  }
};

}  // namespace

TEST_F(Placement, CopiesReplacesAndRenames) {
  WriteFile(pkg + "\\readme.txt", "readme 6.10");
  CreateDirectoryA((dst + "\\Docs").c_str(), nullptr);

  EXPECT_NE(PlaceFile("readme.txt", pkg, dst, nullptr), 0);
  EXPECT_EQ(ReadFile(dst + "\\readme.txt"), "readme 6.10");

  // A read-only hidden destination is replaced, and the copy has the source's attributes.
  WriteFile(dst + "\\readme.txt", "readme 6.9");
  SetFileAttributesA((dst + "\\readme.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_NE(PlaceFile("readme.txt", pkg + "\\", dst, nullptr), 0);
  EXPECT_EQ(ReadFile(dst + "\\readme.txt"), "readme 6.10");
  EXPECT_EQ(Attributes(dst + "\\readme.txt") & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);

  // A new name with a folder part, relative to the destination.
  EXPECT_NE(PlaceFile("readme.txt", pkg, dst + "\\", "Docs\\Read me.txt"), 0);
  EXPECT_EQ(ReadFile(dst + "\\Docs\\Read me.txt"), "readme 6.10");

  // A missing source: 0, and the destination stays as it is.
  WriteFile(dst + "\\gone.txt", "kept");
  EXPECT_EQ(PlaceFile("gone.txt", pkg, dst, nullptr), 0);
  EXPECT_EQ(ReadFile(dst + "\\gone.txt"), "kept");

  EXPECT_EQ(PendingUnder(root.path()), Operations{});
}

TEST_F(Placement, SameFolderWithoutNewNameCopiesNothing) {
  WriteFile(pkg + "\\a.txt", "a");
  FILETIME before{}, after{};
  {
    HANDLE h = CreateFileA((pkg + "\\a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(h, nullptr, nullptr, &before);
    CloseHandle(h);
  }
  std::string otherCase = AsciiLower(pkg) + "\\";
  for (const std::string& dest : {otherCase, pkg + "\\", pkg, pkg + "/"}) {
    EXPECT_NE(PlaceFile("a.txt", pkg, dest, nullptr), 0) << dest;
    // Nonzero even for a file that is not there: the folders alone decide.
    EXPECT_NE(PlaceFile("missing.txt", pkg, dest, nullptr), 0) << dest;
  }
  // The source as a folder with "/" at its end, against the same folder with "\".
  EXPECT_NE(PlaceFile("a.txt", pkg + "/", pkg, nullptr), 0);
  EXPECT_EQ(ReadFile(pkg + "\\a.txt"), "a");
  EXPECT_FALSE(Exists(pkg + "\\missing.txt"));
  HANDLE h = CreateFileA((pkg + "\\a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  GetFileTime(h, nullptr, nullptr, &after);
  CloseHandle(h);
  EXPECT_EQ(CompareFileTime(&before, &after), 0);
}

TEST_F(Placement, SameFolderWithNewName) {
  WriteFile(pkg + "\\a.txt", "a");
  WriteFile(pkg + "\\b.txt", "old b");
  EXPECT_NE(PlaceFile("a.txt", pkg, AsciiLower(pkg), "b.txt"), 0);
  EXPECT_EQ(ReadFile(pkg + "\\b.txt"), "a");
  EXPECT_EQ(ReadFile(pkg + "\\a.txt"), "a");

  // The file's own name as the new name leaves the file alone (deleting it
  // first would leave nothing to copy).
  EXPECT_NE(PlaceFile("a.txt", pkg, pkg, "A.TXT"), 0);
  EXPECT_EQ(ReadFile(pkg + "\\a.txt"), "a");

  // A destination in use is left untouched, and the result is nonzero.
  WriteFile(pkg + "\\c.txt", "old c");
  {
    Holder holder(HolderExe(), {pkg + "\\c.txt"});
    ASSERT_TRUE(holder.ready());
    EXPECT_NE(PlaceFile("a.txt", pkg, pkg, "c.txt"), 0);
  }
  EXPECT_EQ(ReadFile(pkg + "\\c.txt"), "old c");
  EXPECT_FALSE(Exists(pkg + "\\c.txt.new"));
  EXPECT_EQ(PendingUnder(root.path()), Operations{});
}

TEST_F(Placement, HeldOpenIsStagedAsNewAndReplacedAtRestart) {
  const std::string d = dst + "\\LmShot6.ini";
  WriteFile(pkg + "\\LmShot6.ini", "settings 6.10");
  WriteFile(d, "settings 6.9");
  Holder holder(HolderExe(), {d});
  ASSERT_TRUE(holder.ready());

  EXPECT_EQ(PlaceFile("LmShot6.ini", pkg, dst, nullptr), 0);
  EXPECT_EQ(ReadFile(d + ".new"), "settings 6.10");
  EXPECT_FALSE(Exists(d + ".old"));
  // The target's deletion first, then the rename of the staged copy onto it.
  EXPECT_EQ(PendingUnder(root.path()), (Operations{Deletion(d), Rename(d + ".new", d)}));

  holder.Stop();
  EXPECT_EQ(ReadFile(d), "settings 6.9");
  Restart();
  EXPECT_EQ(ReadFile(d), "settings 6.10");
  EXPECT_FALSE(Exists(d + ".new"));
  EXPECT_EQ(PendingUnder(root.path()), Operations{});
}

TEST_F(Placement, NoStagedCopyMeansNothingRegistered) {
  const std::string d = dst + "\\LmShot6.ini";
  WriteFile(pkg + "\\LmShot6.ini", "settings 6.10");
  WriteFile(d, "settings 6.9");
  WriteFile(d + ".new", "an earlier staging");
  {
    Holder holder(HolderExe(), {d, d + ".new"});
    ASSERT_TRUE(holder.ready());
    EXPECT_EQ(PlaceFile("LmShot6.ini", pkg, dst, nullptr), 0);
    EXPECT_EQ(PendingUnder(root.path()), Operations{});
  }
  EXPECT_EQ(ReadFile(d), "settings 6.9");
  EXPECT_EQ(ReadFile(d + ".new"), "an earlier staging");
}

TEST_F(Placement, RunningExecutableIsMovedAsideAndReplacedAtOnce) {
  const std::string d = dst + "\\LmShot6.exe";
  WriteFile(pkg + "\\LmShot6.exe", "LmShot6 6.10");
  ASSERT_TRUE(CopyFileA(HolderExe().c_str(), d.c_str(), FALSE));
  Holder running(d, {});
  ASSERT_TRUE(running.ready());
  ASSERT_FALSE(DeleteFileA(d.c_str()));  // what makes it a file in use

  EXPECT_NE(PlaceFile("LmShot6.exe", pkg, dst, nullptr), 0);
  EXPECT_EQ(ReadFile(d), "LmShot6 6.10");
  EXPECT_TRUE(Exists(d + ".old"));
  EXPECT_FALSE(Exists(d + ".new"));
  EXPECT_EQ(PendingUnder(root.path()), Operations{Deletion(d + ".old")});

  running.Stop();
  Restart();
  EXPECT_FALSE(Exists(d + ".old"));
  EXPECT_EQ(ReadFile(d), "LmShot6 6.10");
}

TEST_F(Placement, LeftoverOldThatCannotGoMakesOld2TheName) {
  const std::string d = dst + "\\LmShot6.exe";
  WriteFile(pkg + "\\LmShot6.exe", "LmShot6 6.10");
  WriteFile(d + ".old", "left by an earlier update");
  ASSERT_TRUE(CopyFileA(HolderExe().c_str(), d.c_str(), FALSE));
  // The running program holds its own leftover ".old" open.
  Holder running(d, {d + ".old"});
  ASSERT_TRUE(running.ready());

  EXPECT_NE(PlaceFile("LmShot6.exe", pkg, dst, nullptr), 0);
  EXPECT_EQ(ReadFile(d), "LmShot6 6.10");
  EXPECT_TRUE(Exists(d + ".old2"));
  EXPECT_EQ(PendingUnder(root.path()), (Operations{Deletion(d + ".old"), Deletion(d + ".old2")}));

  running.Stop();
  Restart();
  EXPECT_FALSE(Exists(d + ".old"));
  EXPECT_FALSE(Exists(d + ".old2"));
}

namespace {
BOOL WINAPI RestartMoveUnavailable(LPCSTR, LPCSTR, DWORD) {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}
}  // namespace

TEST_F(Placement, RenameFallsBackOnWininitIni) {
  const std::string target = dst + "\\LmShot6.ini";
  WriteFile(target, "settings 6.9");
  WriteFile(target + ".new", "settings 6.10");
  WriteFile(dst + "\\stale.tmp", "x");
  const std::string earlier = "NUL=" + dst + "\\stale.tmp";
  ASSERT_TRUE(WritePrivateProfileSectionA("rename", (earlier + '\0').c_str(), "WININIT.INI"));

  SetRestartMoveForTests(RestartMoveUnavailable);
  ScheduleRenameAtReboot(target, target + ".new");
  SetRestartMoveForTests(nullptr);

  EXPECT_EQ(WininitRenameSection(), (std::vector<std::string>{earlier, target + "=" + target + ".new"}));
  EXPECT_EQ(PendingUnder(root.path()), Operations{});
  Restart();
  EXPECT_EQ(ReadFile(target), "settings 6.10");
  EXPECT_FALSE(Exists(target + ".new"));
  EXPECT_FALSE(Exists(dst + "\\stale.tmp"));
}

TEST_F(Placement, PatternThatMatchesNothingCreatesNoFolder) {
  const std::string deep = root / "new\\a\\b";
  EXPECT_EQ(PlaceMatchingFiles("*.chm", pkg, deep), 0);
  EXPECT_FALSE(Exists(root / "new"));
}

TEST_F(Placement, MissingDestinationIsCreatedLevelByLevel) {
  WriteFile(pkg + "\\one.dll", "1");
  WriteFile(pkg + "\\two.dll", "2");
  WriteFile(pkg + "\\three.txt", "3");
  struct Case { std::string dest; std::string check; } cases[] = {
      {root / "d1\\a\\b", root / "d1\\a\\b"},
      {root / "d2\\a\\b\\", root / "d2\\a\\b"},
      {root / "d3/a/b", root / "d3\\a\\b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceMatchingFiles("*.dll", pkg, c.dest), 2) << c.dest;
    EXPECT_EQ(ReadFile(c.check + "\\one.dll"), "1") << c.dest;
    EXPECT_EQ(ReadFile(c.check + "\\two.dll"), "2") << c.dest;
    EXPECT_FALSE(Exists(c.check + "\\three.txt")) << c.dest;
  }
}

TEST_F(Placement, PatternWithAFolderPartCopiesIntoThatSubFolder) {
  CreateDirectoryA((pkg + "\\Help").c_str(), nullptr);
  WriteFile(pkg + "\\Help\\LmShot6Man.chm", "manual");
  WriteFile(pkg + "\\Help\\Tips.chm", "tips");
  WriteFile(pkg + "\\Top.chm", "top");

  // The sub-folder is not made here: without it nothing is placed.
  EXPECT_EQ(PlaceMatchingFiles("Help\\*.chm", pkg, dst), 0);
  EXPECT_FALSE(Exists(dst + "\\Help"));

  CreateDirectoryA((dst + "\\Help").c_str(), nullptr);
  EXPECT_EQ(PlaceMatchingFiles("Help\\*.chm", pkg + "\\", dst), 2);
  EXPECT_EQ(ReadFile(dst + "\\Help\\LmShot6Man.chm"), "manual");
  EXPECT_EQ(ReadFile(dst + "\\Help\\Tips.chm"), "tips");
  EXPECT_FALSE(Exists(dst + "\\Top.chm"));
  EXPECT_FALSE(Exists(dst + "\\LmShot6Man.chm"));
}

TEST_F(Placement, AMatchThatIsAFolderEndsTheCopy) {
  for (const char* name : {"f1.txt", "f2.txt", "f3.txt", "f4.txt"}) WriteFile(pkg + "\\" + name, name);
  CreateDirectoryA((pkg + "\\f25").c_str(), nullptr);

  // The order is the file system's; the count is what came before the folder.
  std::vector<std::string> order;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((pkg + "\\f*").c_str(), &entry);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do order.emplace_back(entry.cFileName);
  while (FindNextFileA(find, &entry));
  FindClose(find);
  const size_t folderAt = std::find(order.begin(), order.end(), "f25") - order.begin();
  ASSERT_LT(folderAt, order.size());

  EXPECT_EQ(PlaceMatchingFiles("f*", pkg, dst), static_cast<int>(folderAt));
  for (size_t i = 0; i < order.size(); ++i)
    EXPECT_EQ(Exists(dst + "\\" + order[i]), i < folderAt) << order[i] << " at " << i;
  RecordProperty("EnumerationOrder", [&] {
    std::string s;
    for (const std::string& n : order) s += n + " ";
    return s;
  }());
}
