#include "uninstall/uninstall_transaction.h"

// The removal itself (registry keys, file associations, the logged files and
// folders) is not part of this build yet: the hand-over around it works, and
// the installed copy stays in place.
void RunUninstallation(const std::string& folder) { (void)folder; }
