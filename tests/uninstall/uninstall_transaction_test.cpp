// The whole removal of an installed copy: image types given back, the logged
// files, folders and shortcuts gone, the install folder removed when empty,
// the default-name shortcuts and group gone in every scope. Runs alone: it
// changes machine-wide keys and folders and puts them back.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/registry_access.h"
#include "app/setup_state.h"
#include "tests/support/test_support.h"
#include "tests/uninstall/registry_test_keys.h"
#include "uninstall/uninstall_transaction.h"

namespace {

using testing_support::Exists;
using testing_support::TempFolder;
using testing_support::WriteFile;

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

// The process's current folder, put back at the end (the removal moves it).
class KeepCurrentFolder {
 public:
  KeepCurrentFolder() { GetCurrentDirectoryA(MAX_PATH, saved_); }
  ~KeepCurrentFolder() { SetCurrentDirectoryA(saved_); }

 private:
  char saved_[MAX_PATH] = {};
};

// ---- image types ---------------------------------------------------------

constexpr UINT kAssocMessage = WM_APP + 17;
int theNotifications = 0;

LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == kAssocMessage) {
    ++theNotifications;
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

// Counts the shell's association-change notifications sent by this process.
class AssocNotifications {
 public:
  AssocNotifications() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyWindowProc;
    wc.lpszClassName = "LmAssocNotifyTest";
    RegisterClassA(&wc);
    window_ = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop_);
    SHChangeNotifyEntry entry = {desktop_, TRUE};
    id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ASSOCCHANGED,
                                 kAssocMessage, 1, &entry);
    theNotifications = 0;
  }
  ~AssocNotifications() {
    if (id_) SHChangeNotifyDeregister(id_);
    if (window_) DestroyWindow(window_);
    if (desktop_) CoTaskMemFree(desktop_);
  }
  bool Registered() const { return id_ != 0; }
  int Count() {  // after letting posted notifications arrive
    for (DWORD end = GetTickCount() + 300; GetTickCount() < end; Sleep(10)) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return theNotifications;
  }

 private:
  HWND window_ = nullptr;
  LPITEMIDLIST desktop_ = nullptr;
  ULONG id_ = 0;
};

// How one image type stands before and after the removal. A null text is a missing value.
struct TypeCase {
  const char* ext;
  const char* handler;
  const char* old;
  const char* handlerAfter;
  const char* oldAfter;
};

const std::string kLongText(600, 'a');
const std::vector<TypeCase> kTypes = {
    // The product's handler gives way to the one it replaced.
    {".png", "C:\\Program Files\\Lumishot 6\\LmShot6.exe \"%1\"", "OtherViewer.png", "OtherViewer.png", nullptr},
    // Nothing kept: the product's handler goes.
    {".gif", "\"C:\\Lumishot\\LmShot6.exe\" /open", nullptr, nullptr, nullptr},
    // Another program's handler stays, with its "LmShotOld".
    {".jpg", "PaintApp.Picture", "Earlier.Picture", "PaintApp.Picture", "Earlier.Picture"},
    // The product's name is compared in its own letter case.
    {".tif", "C:\\Apps\\lmshot6.EXE", "Earlier.Tiff", "C:\\Apps\\lmshot6.EXE", "Earlier.Tiff"},
    // A kept handler that is the product itself, or one too long to read, is not put back.
    {".tga", "LmShot6.exe", "C:\\Old Copy\\LmShot6.exe", nullptr, nullptr},
    {".bmp", "LmShot6.exe", kLongText.c_str(), nullptr, nullptr},
};

// One value as it was, to be put back.
struct SavedValue {
  HKEY root;
  std::string path;
  const char* name;
  bool existed;
  std::string text;
  void Restore() const {
    if (existed) {
      regtest::SetText(root, path, name, text);
    } else {
      HKEY key;
      if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
      }
    }
  }
};

// The extension keys of the classes root as they were; keys made by the test go again.
class ClassesGuard {
 public:
  void Keep(const std::string& ext) {
    if (!regtest::KeyExists(HKEY_CLASSES_ROOT, ext)) {
      madeKeys_.push_back(ext);
      return;
    }
    for (const char* name : {static_cast<const char*>(nullptr), product::kOldHandlerValue}) {
      SavedValue v{HKEY_CLASSES_ROOT, ext, name, false, {}};
      v.existed = regtest::GetText(HKEY_CLASSES_ROOT, ext, name, &v.text);
      values_.push_back(v);
    }
  }
  ~ClassesGuard() {
    for (const auto& v : values_) v.Restore();
    for (const auto& ext : madeKeys_) regtest::RemoveTree(HKEY_CLASSES_ROOT, ext);
  }

 private:
  std::vector<SavedValue> values_;
  std::vector<std::string> madeKeys_;
};

enum class Choices { PerUser, Classes };

class ImageTypes : public ::testing::TestWithParam<Choices> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(regtest::KeyExists(HKEY_CURRENT_USER, product::kFileExtsKey))
        << "the per-user FileExts key exists already; this test would change it";
    for (const auto& t : kTypes) classes.Keep(t.ext);
    if (GetParam() == Choices::PerUser) {
      root = HKEY_CURRENT_USER;
      prefix = std::string(product::kFileExtsKey) + "\\";
      handlerName = product::kHandlerValue;
      regtest::MakeKey(HKEY_CURRENT_USER, product::kFileExtsKey);
    }
  }
  void TearDown() override {
    if (GetParam() == Choices::PerUser) regtest::RemoveTree(HKEY_CURRENT_USER, product::kFileExtsKey);
  }
  void Plant(const TypeCase& t) {
    if (t.handler) regtest::SetText(root, prefix + t.ext, handlerName, t.handler);
    if (t.old) regtest::SetText(root, prefix + t.ext, product::kOldHandlerValue, t.old);
  }
  void ExpectValue(const std::string& ext, const char* name, const char* expected) {
    std::string text;
    const bool present = regtest::GetText(root, prefix + ext, name, &text);
    if (expected) {
      EXPECT_TRUE(present && text == expected) << (name ? name : "(default)") << " is '" << text << "'";
    } else {
      EXPECT_FALSE(present) << (name ? name : "(default)") << " is still '" << text << "'";
    }
  }

  ClassesGuard classes;
  KeepCurrentFolder current;
  HKEY root = HKEY_CLASSES_ROOT;
  std::string prefix;
  const char* handlerName = nullptr;
};

TEST_P(ImageTypes, TheProductsTypesGoBackOthersStayOneNotification) {
  for (const auto& t : kTypes) Plant(t);
  // With the per-user choices in use, the classes root is not where the handlers live.
  std::string pngClass;
  regtest::GetText(HKEY_CLASSES_ROOT, ".png", nullptr, &pngClass);
  if (GetParam() == Choices::PerUser) regtest::SetText(HKEY_CLASSES_ROOT, ".gif", nullptr, "C:\\X\\LmShot6.exe");
  AssocNotifications notifications;
  ASSERT_TRUE(notifications.Registered());

  RunUninstallation("");

  for (const auto& t : kTypes) {
    SCOPED_TRACE(t.ext);
    ExpectValue(t.ext, handlerName, t.handlerAfter);
    ExpectValue(t.ext, product::kOldHandlerValue, t.oldAfter);
  }
  if (GetParam() == Choices::PerUser) {
    std::string text;
    EXPECT_TRUE(regtest::GetText(HKEY_CLASSES_ROOT, ".gif", nullptr, &text) && text == "C:\\X\\LmShot6.exe");
    EXPECT_TRUE(regtest::GetText(HKEY_CLASSES_ROOT, ".png", nullptr, &text) && text == pngClass);
  }
  EXPECT_EQ(notifications.Count(), 1) << "four types changed: one notification for all";
}

TEST_P(ImageTypes, NoTypeOfTheProductNoNotification) {
  Plant(kTypes[2]);
  Plant(kTypes[3]);
  AssocNotifications notifications;
  ASSERT_TRUE(notifications.Registered());
  RunUninstallation("");
  ExpectValue(kTypes[2].ext, handlerName, kTypes[2].handlerAfter);
  ExpectValue(kTypes[3].ext, product::kOldHandlerValue, kTypes[3].oldAfter);
  EXPECT_EQ(notifications.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Where, ImageTypes, ::testing::Values(Choices::PerUser, Choices::Classes),
                         [](const auto& info) { return info.param == Choices::PerUser ? "FileExts" : "ClassesRoot"; });

// ---- files, folders, shortcuts --------------------------------------------

class Files : public ::testing::Test {
 protected:
  std::string Inst(const std::string& name) const { return install / name; }
  void Put(const std::string& path) const { WriteFile(path, "x"); }

  TempFolder work{"lmuninst_work"};
  TempFolder install{"lmuninst_inst"};
  KeepCurrentFolder current;
};

TEST_F(Files, LoggedItemsGoAndAUsersFileKeepsTheFolder) {
  const std::string start = work / "Start", group = start + "\\My Tools", desk = work / "Desk";
  MakeFolder(start);
  MakeFolder(group);
  MakeFolder(desk);
  MakeFolder(Inst("Samples"));
  for (const std::string& f : {Inst("LmShot6.exe"), Inst("readme.txt"), Inst("Samples\\Welcome.ls6"),
                               Inst("Samples\\Shapes.ls6"), Inst("LmShot6.exe.old"), Inst("old.dll"),
                               Inst("mine.txt"), start + "\\keep.txt", group + "\\Lumishot 6.lnk",
                               group + "\\Uninstall Lumishot 6.lnk", desk + "\\Lumishot 6.lnk",
                               desk + "\\Old Lumishot.lnk"})
    Put(f);
  SetFileAttributesA(Inst("readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFile(Inst("LmUnInst.log"),
            "File Copy: LmShot6.exe\r\nFile Copy: setup.exe > LmUnInst.exe\r\nFile Copy: readme.txt\r\n"
            "Make Dir: Samples\r\nFile Copy: Samples\\*.ls6\r\nFile Del: LmShot6.exe.old\r\n\r\n"
            "Made Dir: " + group + "\r\nShell Link: " + group + "\\Lumishot 6.lnk\r\n"
            "Shell Link: " + group + "\\Uninstall Lumishot 6.lnk\r\nShell Link: " + desk + "\\Lumishot 6.lnk\r\n");
  WriteFile(Inst("install.log"), "File Copy: old.dll\r\nShell Link: " + desk + "\\Old Lumishot.lnk\r\n");
  SetCurrentDirectoryA(install.path().c_str());

  RunUninstallation(install.path() + "\\");

  for (const std::string& gone : {Inst("LmShot6.exe"), Inst("readme.txt"), Inst("Samples"), Inst("LmShot6.exe.old"),
                                  Inst("old.dll"), Inst("LmUnInst.log"), group, desk + "\\Lumishot 6.lnk",
                                  desk + "\\Old Lumishot.lnk"})
    EXPECT_FALSE(Exists(gone)) << gone;
  // The group's parent still holds a file; the older log is read, not deleted.
  for (const std::string& kept : {start + "\\keep.txt", Inst("install.log"), Inst("mine.txt")})
    EXPECT_TRUE(Exists(kept)) << kept;
}

class EmptiedFolder : public Files, public ::testing::WithParamInterface<const char*> {};

// Also after an image type was given back: the change notification that
// follows may start a program, which must not inherit the folder as its own.
TEST_P(EmptiedFolder, GoesAlsoWhenItIsTheCurrentFolder) {
  ClassesGuard classes;
  classes.Keep(".wpg");
  regtest::SetText(HKEY_CLASSES_ROOT, ".wpg", nullptr, "C:\\Lumishot 6\\LmShot6.exe");
  MakeFolder(Inst("Samples"));
  Put(Inst("LmShot6.exe"));
  Put(Inst("Samples\\Welcome.ls6"));
  WriteFile(Inst("LmUnInst.log"), "File Copy: LmShot6.exe\r\nMake Dir: Samples\r\nFile Copy: Samples\\*.ls6\r\n");
  SetCurrentDirectoryA(install.path().c_str());
  RunUninstallation(install.path() + GetParam());
  EXPECT_FALSE(Exists(install.path()));
}

INSTANTIATE_TEST_SUITE_P(Ending, EmptiedFolder, ::testing::Values("\\", ""),
                         [](const auto& info) { return std::string(info.param).empty() ? "Bare" : "Backslash"; });

// An empty or relative folder must not make the logs' names relative to the
// current folder.
TEST_F(Files, AFolderThatIsNotAFullPathTouchesNoFile) {
  MakeFolder(work / "relative");
  for (const std::string& f : {work / "victim.txt", work / "relative\\victim.txt"}) Put(f);
  for (const std::string& log : {work / "LmUnInst.log", work / "relative\\LmUnInst.log"})
    WriteFile(log, "File Copy: victim.txt\r\nFile Del: *.txt\r\n");
  for (const char* folder : {"", "relative\\", "relative"}) {
    SCOPED_TRACE(folder);
    SetCurrentDirectoryA(work.path().c_str());
    RunUninstallation(folder);
    for (const std::string& kept : {work / "victim.txt", work / "relative\\victim.txt", work / "LmUnInst.log",
                                    work / "relative\\LmUnInst.log"})
      EXPECT_TRUE(Exists(kept)) << kept;
  }
}

// A loaded profile of the test's own (the system lets a subkey of HKEY_USERS
// stand in for one) whose shell folders point into the test's folder.
class DefaultNames : public Files {
 protected:
  void TearDown() override {
    for (const auto& p : profiles) regtest::RemoveTree(HKEY_USERS, p);
    testing_support::RemoveTree("C:\\Lumishot 6");
  }
  void Profile(const std::string& name, const std::string& startup, const std::string& desktop,
               const std::string& programs) {
    const std::string profile = name + std::to_string(GetCurrentProcessId());
    profiles.push_back(profile);
    const std::string key = profile + "\\" + product::kShellFoldersKey;
    regtest::SetText(HKEY_USERS, key, "Startup", startup);
    regtest::SetText(HKEY_USERS, key, "Desktop", desktop);
    regtest::SetText(HKEY_USERS, key, "Programs", programs);
  }
  std::vector<std::string> profiles;
};

TEST_F(DefaultNames, ShortcutsAndGroupGoInEveryScope) {
  std::vector<std::string> gone, kept;
  const std::string link = "\\Lumishot 6.lnk";
  // All users: the machine's own folders.
  const std::string commonDesktop = GetRegString(HKEY_LOCAL_MACHINE, product::kShellFoldersKey, "Common Desktop");
  const std::string commonStartup = GetRegString(HKEY_LOCAL_MACHINE, product::kShellFoldersKey, "Common Startup");
  const std::string commonGroup =
      GetRegString(HKEY_LOCAL_MACHINE, product::kShellFoldersKey, "Common Programs") + "\\Lumishot 6";
  ASSERT_FALSE(commonDesktop.empty() || commonStartup.empty() || commonGroup == "\\Lumishot 6");
  ASSERT_FALSE(Exists(commonGroup)) << "the machine already has the group";
  MakeFolder(commonGroup);
  gone = {commonDesktop + link, commonStartup + link, commonGroup + link, commonGroup + "\\notes of mine.txt"};
  kept = {commonDesktop + "\\Lumishot 6 Tools.lnk"};
  // A profile with its folders in the test's folder.
  for (const char* f : {"Startup", "Desktop", "Programs", "Programs\\Lumishot 6"}) MakeFolder(work / f);
  Profile("LmTestProfile", work / "Startup", work / "Desktop", work / "Programs");
  gone.insert(gone.end(), {work / "Startup" + link, work / "Desktop" + link, work / "Programs\\Lumishot 6\\a.lnk"});
  // A profile with an empty Programs folder and relative others: nothing at
  // the root of the drive goes.
  Profile("LmTestBlank", "Startup", "", "");
  MakeFolder("C:\\Lumishot 6");
  kept.push_back("C:\\Lumishot 6\\keep.txt");
  for (const auto& f : gone) Put(f);
  for (const auto& f : kept) Put(f);
  gone.push_back(work / "Programs\\Lumishot 6");
  // The removal makes the root of the current drive its current folder: C:.
  SetCurrentDirectoryA(work.path().c_str());

  RunUninstallation(install.path() + "\\");

  for (const auto& f : gone) EXPECT_FALSE(Exists(f)) << f;
  EXPECT_FALSE(Exists(commonGroup));
  for (const auto& f : kept) EXPECT_TRUE(Exists(f)) << f;
  DeleteFileA(kept[0].c_str());
  testing_support::RemoveTree(commonGroup);
}

}  // namespace
