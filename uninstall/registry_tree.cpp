#include "uninstall/registry_tree.h"

#include "app/setup_state.h"
#include "framework/handles.h"

namespace {

// Subkey names are read, and key paths built, in 512-byte buffers.
constexpr DWORD kKeyNameBuffer = 512;

// A path the key functions are handed: never empty (an empty path names the
// parent key itself, which would then be emptied and deleted) and within the
// 512-byte buffers.
bool UsablePath(const std::string& path) { return !path.empty() && path.size() < kKeyNameBuffer; }

bool EnumSubkey(HKEY key, DWORD index, std::string& name) {
  char buffer[kKeyNameBuffer];
  if (RegEnumKeyA(key, index, buffer, kKeyNameBuffer) != ERROR_SUCCESS) return false;
  name.assign(buffer);
  return true;
}

bool DeleteKeyTreeAt(HKEY parent, const std::string& path, int depth) {
  if (!UsablePath(path) || depth > kMaxKeyTreeDepth) return false;
  fw::UniqueKey key;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, key.put()) == ERROR_SUCCESS) {
    std::string name;
    DWORD index = 0;
    while (EnumSubkey(key.get(), index, name)) {
      ++index;
      // A deleted subkey moves the next one up to the same index; one that
      // stays is stepped over.
      if (DeleteKeyTreeAt(key.get(), name, depth + 1)) --index;
    }
  }
  key.reset();
  // Also when the key could not be opened: one without subkeys may still go.
  return RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
}

std::string VendorKey() { return std::string("SOFTWARE\\") + product::kVendorName; }

// Deletes one named subkey of root\parentPath (a single key, not a tree).
void DeleteSingleSubkey(HKEY root, const char* parentPath, const char* name) {
  fw::UniqueKey key;
  if (RegOpenKeyExA(root, parentPath, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;
  RegDeleteKeyA(key.get(), name);
}

}  // namespace

bool DeleteKeyTree(HKEY parent, const std::string& path) { return DeleteKeyTreeAt(parent, path, 0); }

void DeleteKeyIfEmpty(HKEY parent, const std::string& path) {
  if (!UsablePath(path)) return;
  fw::UniqueKey key;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;
  // Only a clean end of the enumeration at index 0 means "no subkeys"; any
  // other failure keeps the key.
  char name[kKeyNameBuffer];
  const LONG first = RegEnumKeyA(key.get(), 0, name, kKeyNameBuffer);
  key.reset();
  if (first == ERROR_NO_MORE_ITEMS) RegDeleteKeyA(parent, path.c_str());
}

void RemoveProductKeys() {
  const std::string settings = product::kProductKey;
  const std::string vendor = VendorKey();
  DeleteKeyTree(HKEY_LOCAL_MACHINE, settings);
  DeleteKeyTree(HKEY_CURRENT_USER, settings);
  DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, vendor);
  DeleteKeyIfEmpty(HKEY_CURRENT_USER, vendor);

  // Every loaded user hive, the default user's included. The index moves on for
  // every name read, whether or not its hive could be opened.
  std::string name;
  for (DWORD index = 0; EnumSubkey(HKEY_USERS, index, name); ++index) {
    fw::UniqueKey hive;
    if (RegOpenKeyExA(HKEY_USERS, name.c_str(), 0, KEY_ALL_ACCESS, hive.put()) != ERROR_SUCCESS) continue;
    DeleteKeyTree(hive.get(), settings);
    DeleteKeyIfEmpty(hive.get(), vendor);
  }

  DeleteKeyTree(HKEY_CLASSES_ROOT, product::kDocumentType);
  // The system's lists: the product's own entry only, never a subkey tree of it.
  DeleteSingleSubkey(HKEY_LOCAL_MACHINE, product::kUninstallParent, product::kProductName);
  DeleteSingleSubkey(HKEY_LOCAL_MACHINE, product::kAppPathsParent, product::kProductExeName);
}
