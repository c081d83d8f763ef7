// The registry look-ups on Wine's registry: the value read and its limits, the write, the
// installed copy's folder, the Program Files folder, the program's own folder,
// and the product executable's file version.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/registry_access.h"
#include "app/setup_state.h"
#include "install/wow64.h"
#include "tests/support/test_support.h"

namespace {

// A key of its own under HKCU\Software\Orvantic, removed with its tree at both ends.
class ScratchKey {
 public:
  ScratchKey() : path_(std::string("Software\\Orvantic\\LmRegTest_") + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
  }
  ~ScratchKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orvantic");  // refused while others' keys remain
  }
  const std::string& path() const { return path_; }

  void Set(const std::string& name, DWORD type, const std::string& bytes) const {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path_.c_str(), &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void SetText(const std::string& name, DWORD type, const std::string& text) const {
    Set(name, type, std::string(text.c_str(), text.size() + 1));
  }

 private:
  std::string path_;
};

struct StoredValue {
  bool present = false;
  DWORD type = 0;
  std::vector<BYTE> data;
};

StoredValue ReadRaw(HKEY root, const std::string& keyPath, const char* name) {
  StoredValue v;
  HKEY key;
  if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    v.data.resize(size);
    v.present = RegQueryValueExA(key, name, nullptr, &v.type, v.data.data(), &size) == ERROR_SUCCESS;
    v.data.resize(size);
  }
  RegCloseKey(key);
  return v;
}

void WriteRaw(HKEY root, const std::string& keyPath, const char* name, const StoredValue& v) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyA(root, keyPath.c_str(), &key), ERROR_SUCCESS);
  if (v.present)
    RegSetValueExA(key, name, 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
  else
    RegDeleteValueA(key, name);
  RegCloseKey(key);
}

// The machine-wide keys by which setup finds an installed copy, reset at both ends.
class ProductKeysReset {
 public:
  ProductKeysReset() { Reset(); }
  ~ProductKeysReset() { Reset(); }
  static void Reset() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, product::kProductKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvantic");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, product::kAppPathsKey);
  }
};

// ProgramFilesDir as it was, put back at the end whatever the test did.
class ProgramFilesDirRestore {
 public:
  ProgramFilesDirRestore()
      : saved_(ReadRaw(HKEY_LOCAL_MACHINE, product::kCurrentVersionKey, regvalue::kProgramFilesDir)) {}
  ~ProgramFilesDirRestore() { WriteRaw(HKEY_LOCAL_MACHINE, product::kCurrentVersionKey, regvalue::kProgramFilesDir, saved_); }
  const StoredValue& saved() const { return saved_; }

 private:
  StoredValue saved_;
};

// LM_BUILD as Wine shows a Unix path: drive Z: is the root of the file system.
std::string BuildFolder() {
  const char* unixPath = std::getenv("LM_BUILD");
  if (unixPath == nullptr) return std::string();
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

TEST(GetRegString, LimitsTypesAndMissingParts) {
  ScratchKey scratch;
  scratch.SetText("259", REG_SZ, std::string(259, 'a'));
  scratch.SetText("260", REG_SZ, std::string(260, 'b'));
  scratch.SetText("expand", REG_EXPAND_SZ, "%ProgramFiles%\\Lumishot 6");
  scratch.SetText("", REG_SZ, "the default value");
  scratch.Set("binary with NUL", REG_BINARY, std::string("ab\0cd", 5));
  scratch.Set("binary without NUL", REG_BINARY, "abc");
  scratch.Set("dword", REG_DWORD, std::string("ABC\0", 4));
  scratch.SetText(std::string(600, 'n'), REG_SZ, "behind an over-long name");

  struct Case { std::string name; std::string text; } cases[] = {
      {"259", std::string(259, 'a')},
      {"260", ""},
      {"expand", "%ProgramFiles%\\Lumishot 6"},
      {"", "the default value"},
      {"binary with NUL", "ab"},
      {"binary without NUL", "abc"},
      {"dword", "ABC"},
      {"missing", ""},
      {std::string(600, 'n'), ""},  // refused: names live in 512 bytes
  };
  for (const Case& c : cases) EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, scratch.path(), c.name), c.text) << c.name;
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, scratch.path() + "\\missing", "259"), "");
}

TEST(SetRegString, CreatesTheWholeKeyPathAndWritesRegSz) {
  ScratchKey scratch;
  const std::string deep = scratch.path() + "\\a\\b\\c";
  HKEY probe;
  ASSERT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, scratch.path().c_str(), 0, KEY_READ, &probe), ERROR_SUCCESS);

  ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, deep, "Path", "D:\\Apps\\Lumishot 6"));
  StoredValue v = ReadRaw(HKEY_CURRENT_USER, deep, "Path");
  ASSERT_TRUE(v.present);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(v.data.size(), sizeof "D:\\Apps\\Lumishot 6");  // the NUL counted
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, deep, "Path"), "D:\\Apps\\Lumishot 6");

  // An absent name writes the default value; an empty text is one NUL.
  ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, deep, nullptr, "C:\\P\\LmShot6.exe"));
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, deep, ""), "C:\\P\\LmShot6.exe");
  ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, deep, "Empty", ""));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, deep, "Empty").data.size(), 1u);

  // 512-byte texts: 511 characters are written, 512 refused.
  EXPECT_TRUE(SetRegString(HKEY_CURRENT_USER, deep, "511", std::string(511, 't')));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, deep, "511").data.size(), 512u);
  EXPECT_FALSE(SetRegString(HKEY_CURRENT_USER, deep, "512", std::string(512, 't')));
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, deep, "512").present);
}

TEST(FindInstalledFolder, PathValueThenAppPaths) {
  ProductKeysReset reset;
  struct Case {
    const char* path;      // "Path" under the product key; null: none
    const char* appPaths;  // App Paths\LmShot6.exe default value; null: none
    const char* folder;
  } cases[] = {
      {nullptr, nullptr, ""},
      {"D:\\Apps\\Lumishot 6\\", nullptr, "D:\\Apps\\Lumishot 6"},
      {"D:\\Apps\\Lumishot 6", nullptr, "D:\\Apps\\Lumishot 6"},
      {"D:\\", nullptr, "D:"},
      {"C:\\P", "D:\\Apps\\Lumishot 6\\LmShot6.exe", "C:\\P"},
      {nullptr, "D:\\Apps\\Lumishot 6\\LmShot6.exe", "D:\\Apps\\Lumishot 6"},
      {"", "D:\\Apps\\Lumishot 6\\LmShot6.exe", "D:\\Apps\\Lumishot 6"},  // an empty Path counts as none
      {nullptr, "D:\\Apps\\lmshot6.exe", ""},                              // the name's case matters
      {nullptr, "D:\\LmShot6.exe", "D:"},
      {nullptr, "D:\\A\\LmShot6.exe.1\\LmShot6.exe", "D:\\A"},             // the first occurrence
  };
  for (const Case& c : cases) {
    ProductKeysReset::Reset();
    if (c.path) {
      ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, product::kProductKey, regvalue::kInstalledPath, c.path));
    }
    if (c.appPaths) {
      ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, product::kAppPathsKey, nullptr, c.appPaths));
    }
    EXPECT_EQ(FindInstalledFolder(), c.folder) << (c.path ? c.path : "(no Path)") << " / "
                                               << (c.appPaths ? c.appPaths : "(no App Paths)");
  }
}

TEST(GetProgramFilesFolder, ValueOrTheWindowsDrive) {
  ProgramFilesDirRestore restore;
  // What this Wine gives: a 64-bit process reads C:\Program Files; a 32-bit one
  // on a 64-bit prefix reads the 32-bit view, C:\Program Files (x86).
  const std::string asFound = GetProgramFilesFolder();
  RecordProperty("ProgramFilesDir", asFound);
  std::printf("GetProgramFilesFolder reads \"%s\" (%d-bit process%s)\n", asFound.c_str(),
              static_cast<int>(sizeof(void*) * 8), IsWow64() ? " under WOW64" : "");
  EXPECT_EQ(asFound, IsWow64() ? "C:\\Program Files (x86)" : "C:\\Program Files");

  WriteRaw(HKEY_LOCAL_MACHINE, product::kCurrentVersionKey, regvalue::kProgramFilesDir, StoredValue{});
  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 3u);
  EXPECT_EQ(GetProgramFilesFolder(), std::string(windows, 3) + "Program Files") << windows;

  ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, product::kCurrentVersionKey, regvalue::kProgramFilesDir, "D:\\Progs\\"));
  EXPECT_EQ(GetProgramFilesFolder(), "D:\\Progs");
}

TEST(GetOwnFolder, FolderOfTheRunningProgram) {
  char self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  const std::string folder = GetOwnFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_EQ(folder + "\\registry_tests.exe", self);
}

TEST(ReadFileVersion, FileVersionOfTheProductFixture) {
  const std::string fixtures = BuildFolder() + "\\fixtures\\";
  ASSERT_TRUE(testing_support::Exists(fixtures + "6.10.3.1\\LmShot6.exe")) << fixtures;
  struct Case { std::string path; VersionNumber version; } cases[] = {
      {fixtures + "6.10.3.1\\LmShot6.exe", {6, 10, 3, 1}},  // its product version is 9.9.9.9
      {fixtures + "6.10.3.2\\LmShot6.exe", {6, 10, 3, 2}},
      {fixtures + "none\\LmShot6.exe", {0, 0, 0, 0}},       // no version information
      {fixtures + "missing\\LmShot6.exe", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    theSetupState.ProductVersion = {7, 7, 7, 7};
    ReadFileVersion(c.path);
    const VersionNumber& v = theSetupState.ProductVersion;
    EXPECT_EQ(std::vector<uint32_t>({v.Major, v.Minor, v.Release, v.Build}),
              std::vector<uint32_t>({c.version.Major, c.version.Minor, c.version.Release, c.version.Build}))
        << c.path;
  }
}
