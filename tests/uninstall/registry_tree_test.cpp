// Removal of registry trees, of keys that are empty, and of the product's keys.
#include <gtest/gtest.h>
#include <aclapi.h>

#include <string>
#include <utility>
#include <vector>

#include "app/setup_state.h"
#include "tests/uninstall/registry_test_keys.h"
#include "uninstall/registry_tree.h"

namespace {

using regtest::GetText;
using regtest::KeyExists;
using regtest::MakeKey;
using regtest::SetText;

// A key of this test program's own under the current user.
class KeyTree : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeKey(HKEY_CURRENT_USER, base);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base.c_str(), 0, KEY_ALL_ACCESS, &parent), ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(parent);
    regtest::RemoveTree(HKEY_CURRENT_USER, base);
  }
  bool Has(const std::string& path) const { return KeyExists(HKEY_CURRENT_USER, base + "\\" + path); }
  void Make(const std::string& path) const { MakeKey(HKEY_CURRENT_USER, base + "\\" + path); }
  void Value(const std::string& path, const char* name) const {
    SetText(HKEY_CURRENT_USER, base + "\\" + path, name, "v");
  }

  const std::string base = "Software\\LmTreeTest" + std::to_string(GetCurrentProcessId());
  HKEY parent = nullptr;
};

TEST_F(KeyTree, ThreeLevelsWithValuesGoWholeAndNothingBesideThem) {
  for (const char* path : {"Lumishot 6", "Lumishot 6\\Capture", "Lumishot 6\\Capture\\Hotkeys",
                           "Lumishot 6\\Capture\\Hotkeys\\Region", "Lumishot 6\\Editor", "Lumishot 6\\Editor\\Tools",
                           "Lumishot 6\\Editor\\Tools\\Pen"}) {
    Make(path);
    Value(path, "Setting");
    Value(path, nullptr);
  }
  Make("Lumishot 6 Beta\\Keep");
  EXPECT_TRUE(DeleteKeyTree(parent, "Lumishot 6"));
  EXPECT_FALSE(Has("Lumishot 6"));
  EXPECT_TRUE(Has("Lumishot 6 Beta\\Keep"));
}

// A key that this process may read but not open with full access, and that
// has a subkey, cannot be deleted.
void LockKey(const std::string& path) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
  EXPLICIT_ACCESSA access = {};
  access.grfAccessPermissions = KEY_READ | WRITE_DAC;
  access.grfAccessMode = SET_ACCESS;
  access.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = const_cast<char*>("EVERYONE");
  PACL acl = nullptr;
  ASSERT_EQ(SetEntriesInAclA(1, &access, nullptr, &acl), ERROR_SUCCESS);
  LONG set = SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                             nullptr, nullptr, acl, nullptr);
  LocalFree(acl);
  RegCloseKey(key);
  ASSERT_EQ(set, ERROR_SUCCESS);
}

void UnlockKey(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                  nullptr, nullptr, nullptr);
  RegCloseKey(key);
}

TEST_F(KeyTree, AKeyThatStaysKeepsItsAncestorsButNotItsSiblings) {
  // Siblings before and after the locked key in enumeration order.
  for (const char* path : {"P\\A\\Deep", "P\\B\\Locked\\Inner", "P\\B\\Z", "P\\C", "P\\D\\Deep"}) Make(path);
  const std::string locked = base + "\\P\\B\\Locked";
  LockKey(locked);
  HKEY probe;
  ASSERT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, locked.c_str(), 0, KEY_ALL_ACCESS, &probe), ERROR_SUCCESS)
      << "the lock does not refuse full access here";

  const bool deleted = DeleteKeyTree(parent, "P");
  UnlockKey(locked);

  EXPECT_FALSE(deleted);
  EXPECT_TRUE(Has("P\\B\\Locked\\Inner"));
  EXPECT_FALSE(Has("P\\A"));
  EXPECT_FALSE(Has("P\\B\\Z"));
  EXPECT_FALSE(Has("P\\C"));
  EXPECT_FALSE(Has("P\\D"));
}

TEST_F(KeyTree, MissingOrEmptyPathsChangeNothing) {
  Make("Other\\Sub");
  Value("Other", "Setting");
  for (const char* path : {"Missing", "Missing\\Deeper", ""}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(DeleteKeyTree(parent, path));
    DeleteKeyIfEmpty(parent, path);
    EXPECT_TRUE(Has("Other\\Sub"));
    EXPECT_TRUE(GetText(HKEY_CURRENT_USER, base + "\\Other", "Setting"));
  }
  // An empty path names the parent itself: it must be neither emptied nor deleted.
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base));
}

TEST_F(KeyTree, DeleteKeyIfEmptyKeepsAVendorKeyWithAnotherProduct) {
  Make("Kept\\Other Product");
  Value("Kept\\Other Product", "Path");
  Value("Gone", "Setting");
  Value("Gone", nullptr);
  DeleteKeyIfEmpty(parent, "Kept");
  DeleteKeyIfEmpty(parent, "Gone");
  EXPECT_TRUE(GetText(HKEY_CURRENT_USER, base + "\\Kept\\Other Product", "Path"));
  EXPECT_FALSE(Has("Gone"));
}

// The product's keys in every place RemoveProductKeys looks, with neighbours
// that must stay. Machine-wide keys: the test runs alone.
class ProductKeys : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& key : made) regtest::RemoveTree(key.first, key.second);
  }
  void Make(HKEY root, const std::string& path, const std::string& topToRemove) {
    SetText(root, path, "Setting", "v");
    made.push_back({root, topToRemove});
  }

  std::vector<std::pair<HKEY, std::string>> made;
};

TEST_F(ProductKeys, EveryScopeAndTheSystemListsLoseTheProductOnly) {
  const std::string settings = product::kProductKey;
  const std::string vendor = std::string("SOFTWARE\\") + product::kVendorName;
  const std::string uninstall = std::string(product::kUninstallParent) + "\\";
  const std::string appPaths = std::string(product::kAppPathsParent) + "\\";
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    ASSERT_FALSE(KeyExists(root, vendor)) << "the machine already holds the vendor key";
  }
  Make(HKEY_LOCAL_MACHINE, settings + "\\Capture\\Hotkeys", vendor);
  Make(HKEY_LOCAL_MACHINE, vendor + "\\Other Product", vendor);  // keeps the machine's vendor key
  Make(HKEY_CURRENT_USER, settings + "\\Editor", vendor);
  Make(HKEY_USERS, std::string(".Default\\") + settings + "\\Editor", std::string(".Default\\") + vendor);
  Make(HKEY_CLASSES_ROOT, std::string(product::kDocumentType) + "\\shell\\open\\command", product::kDocumentType);
  Make(HKEY_LOCAL_MACHINE, uninstall + product::kProductName + "\\Extra", uninstall + product::kProductName);
  Make(HKEY_LOCAL_MACHINE, uninstall + "LmTest Other", uninstall + "LmTest Other");
  Make(HKEY_LOCAL_MACHINE, appPaths + product::kProductExeName, appPaths + product::kProductExeName);
  Make(HKEY_LOCAL_MACHINE, appPaths + "LmTestOther.exe", appPaths + "LmTestOther.exe");

  RemoveProductKeys();

  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, settings));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, vendor + "\\Other Product"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, vendor));
  EXPECT_FALSE(KeyExists(HKEY_USERS, std::string(".Default\\") + vendor));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, product::kDocumentType));
  // The Uninstall entry is one key: with a subkey of its own it stays.
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + product::kProductName + "\\Extra"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + "LmTest Other"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, appPaths + product::kProductExeName));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, appPaths + "LmTestOther.exe"));

  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (uninstall + product::kProductName + "\\Extra").c_str());
  RemoveProductKeys();
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + product::kProductName));
}

}  // namespace
