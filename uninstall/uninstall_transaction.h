// Removal of an installed copy of the product.
#pragma once
#include <string>

// Removes the product installed in `folder` (full path ending in a backslash).
void RunUninstallation(const std::string& folder);
