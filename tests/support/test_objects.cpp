// The program-wide objects for the test programs. The instance registry works
// on a list of its own, so a test program never shows up among the product's
// instances.
#include "app/program_objects.h"
#include "install/wow64.h"
#include "wizard/saved_texts.h"

COXInstanceManager theInstanceManager("Lumishot.TestPrograms");
CSetupApp theApp;
SetupState theSetupState;
IsWow64ProcessFn theIsWow64Process = LookupIsWow64Process();
std::string SavedNextText;
std::string SavedCancelText;
