// C++ gives no order of construction across files, so every program-wide object
// is defined here, in this order: the instance registry first (it registers the
// process before any of the program's logic runs, and is destroyed last, which
// withdraws it at exit), then the application object, the settings, the WOW64
// probe and the wizard's saved button texts.
#include "app/program_objects.h"
#include "install/wow64.h"
#include "wizard/saved_texts.h"

COXInstanceManager theInstanceManager(product::kInstanceAppName);
CSetupApp theApp;
SetupState theSetupState;
IsWow64ProcessFn theIsWow64Process = LookupIsWow64Process();
std::string SavedNextText;
std::string SavedCancelText;
