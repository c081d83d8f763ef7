// Removal of registry keys: a key with everything below it, a key that holds no
// subkeys, and the product's fixed list of keys. Nothing here reports to the
// user: a key that cannot be opened with full access or deleted simply stays.
#pragma once
#include <windows.h>

#include <string>

// Deletes parent\path and every key below it. A subkey that cannot be deleted
// stays, with the keys above it; its siblings still go. True when parent\path
// itself was deleted. An empty path, a path of 512 bytes or more, and trees
// deeper than kMaxKeyTreeDepth levels below parent\path are left alone.
bool DeleteKeyTree(HKEY parent, const std::string& path);

// Deletes parent\path when it has no subkeys (values do not keep it). Leaves it
// when it has subkeys, cannot be opened with full access, or the path is empty.
void DeleteKeyIfEmpty(HKEY parent, const std::string& path);

// Removes the product's settings key under the machine, the current user and
// every loaded user hive, the vendor key above it where nothing else is left in
// it, the document type, and the product's Uninstall and App Paths entries.
void RemoveProductKeys();

// The registry allows 512 levels; no key below a product key goes deeper, and
// each level of the removal costs stack.
inline constexpr int kMaxKeyTreeDepth = 512;
