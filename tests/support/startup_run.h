// Runs the application's start-up in-process with its hand-overs recorded
// instead of carried out, and every message box answered.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/message_box.h"

namespace testing_support {

struct StartupRun {
  char mode;  // S setup, U relaunch for uninstall, D self-deleting removal, - none
  std::vector<fw::MessageBoxCall> boxes;
  BOOL result;
  int exitCode;
  std::string removed;  // the installed uninstaller the removal was given
};

// The program `program` started with `words`; each box is answered `answer`.
StartupRun RunStartup(const std::string& program, const std::vector<std::string>& words, int answer);

}  // namespace testing_support
