// The program-wide objects for the test programs. The instance registry works
// on a list of this process alone: a test program never shows up among the
// product's instances, and one test program's start-up never closes another.
#include "app/program_objects.h"
#include "install/wow64.h"
#include "wizard/saved_texts.h"
#include "tests/support/test_support.h"

COXInstanceManager theInstanceManager(TestProgramListName());
CSetupApp theApp;
SetupState theSetupState;
IsWow64ProcessFn theIsWow64Process = LookupIsWow64Process();
std::string SavedNextText;
std::string SavedCancelText;
