// The setup flow from the defaults to the last after-install action.
#pragma once
#include <windows.h>

// True when the user stopped setup (version question, cancelled wizard); false
// after a complete run. Ends the process with exit code 1 for a damaged package.
BOOL RunSetup();
