// One complete installation from the settings in theSetupState.
#pragma once

// Clears what an earlier installation left, places the files, writes the
// install log, the shortcuts and the registry entries. Asks nothing; always 0.
int RunInstallation();
