// Removal of an installed copy of the product.
#pragma once
#include <string>

// Removes the product installed in `folder` (full path, normally ending in a
// backslash; one is added when missing): its registry keys, the image file
// types it took over (given back to their earlier handlers), what the install
// logs record, the install log, the install folder when nothing is left in it,
// and the shortcuts and program group under their default names in every scope.
// Reports nothing; whatever cannot be removed stays. Files are touched only
// when `folder` is a full path (a drive letter and "\", or "\\server\share").
void RunUninstallation(const std::string& folder);
