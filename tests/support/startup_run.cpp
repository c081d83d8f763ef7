#include "tests/support/startup_run.h"

#include "app/setup_app.h"
#include "tests/support/test_support.h"

namespace testing_support {
namespace {

class RecordingApp : public CSetupApp {
 public:
  char mode = '-';
  std::string removed;

 protected:
  BOOL EnterSetup() override { mode = 'S'; return TRUE; }
  void EnterRelaunch() override { mode = 'U'; }
  void RemoveAsTemporaryCopy(const std::string& p) override { mode = 'D'; removed = p; }
};

}  // namespace

StartupRun RunStartup(const std::string& program, const std::vector<std::string>& words, int answer) {
  RecordingApp app;
  app.ModulePath = program;
  app.Args = {program};
  app.Args.insert(app.Args.end(), words.begin(), words.end());
  MessageBoxRecorder boxes(answer);
  BOOL result = app.InitInstance();
  return {app.mode, boxes.calls, result, app.ExitCode, app.removed};
}

}  // namespace testing_support
