// The start-up's handling of running instances, with stand-ins of the product
// registered in this test program's own list: the question and its answers, the
// words that skip it, and which processes are closed.
#include <gtest/gtest.h>

#include <memory>

#include "app/program_objects.h"
#include "framework/strings.h"
#include "resource_ids.h"
#include "tests/instances/instances_test_support.h"
#include "tests/support/startup_run.h"
#include "tests/support/test_support.h"

namespace {

using instances_testing::OwnListName;
using instances_testing::RunningFixture;
using testing_support::RunStartup;
using testing_support::StartupRun;

std::string Text(UINT id) { return fw::LoadResourceString(nullptr, id); }

std::string WithCount(std::string format, const std::string& n) {
  const size_t at = format.find("%d");
  if (at != std::string::npos) format.replace(at, 2, n);
  return format;
}

constexpr char kSetup[] = "C:\\pkg\\setup.exe";
constexpr char kUninstaller[] = "C:\\Program Files\\Lumishot 6\\LmUnInst.exe";
const std::string kClosed = "close 1001";

class InstanceClosing : public ::testing::Test {
 protected:
  // The list holds only the stand-ins each test starts, and this process where
  // the test registers it. Stand-ins that were terminated stay listed, so each
  // test starts from an empty list.
  void SetUp() override {
    theInstanceManager.ResetInstanceList();
    ASSERT_EQ(theInstanceManager.CountInstances(), 0);
  }
  void TearDown() override {
    theInstanceManager.ResetInstanceList();
    theInstanceManager.RegisterInstance(GetCurrentProcessId());
  }
  // A guarded stand-in refuses termination, so only the close request can end
  // it: setup waits just 10 ms before terminating, and on a busy machine the
  // stand-in may not have run by then. Unguarded ones show the termination.
  enum Guard { kGuarded, kUnguarded };
  std::unique_ptr<RunningFixture> StartStandIn(const std::string& windows = "main", Guard guard = kGuarded) {
    auto fixture = std::make_unique<RunningFixture>(OwnListName(), windows, guard == kGuarded ? "-guard" : "");
    EXPECT_TRUE(fixture->started());
    if (guard == kGuarded) {
      EXPECT_TRUE(fixture->HasRecord("guarded"));
      EXPECT_FALSE(fw::UniqueHandle(OpenProcess(PROCESS_TERMINATE, FALSE, fixture->pid())))
          << "the guard does not keep others from terminating the stand-in";
    }
    return fixture;
  }
  void RegisterSelf() { ASSERT_TRUE(theInstanceManager.RegisterInstance(GetCurrentProcessId())); }
  static bool Closed(const RunningFixture& f) { return f.WaitForExit(10000) && f.HasRecord(kClosed); }
};

TEST_F(InstanceClosing, TwoInstancesAreAskedAboutAndClosedOnYesOnly) {
  auto a = StartStandIn();
  auto b = StartStandIn();
  RegisterSelf();
  ASSERT_EQ(theInstanceManager.CountInstances(), 3);
  CDWordArray ids;
  ASSERT_TRUE(theInstanceManager.ListInstanceIds(ids));
  EXPECT_EQ(ids, (CDWordArray{a->pid(), b->pid(), GetCurrentProcessId()}));

  const std::string question = WithCount(Text(IDS_INSTANCES_OPEN), "2");
  ASSERT_NE(question, Text(IDS_INSTANCES_OPEN));
  StartupRun no = RunStartup(kSetup, {}, IDNO);
  ASSERT_EQ(no.boxes.size(), 2u);
  EXPECT_EQ(no.boxes[0].text, question);
  EXPECT_EQ(no.boxes[0].caption, "Lumishot Setup");
  EXPECT_EQ(no.boxes[0].style, 0x34u);
  EXPECT_EQ(no.boxes[0].owner, nullptr);
  EXPECT_EQ(no.boxes[1].text, Text(IDS_SETUP_ABORTED));
  EXPECT_EQ(no.boxes[1].caption, "Lumishot Setup");
  EXPECT_EQ(no.boxes[1].style, 0x40u);
  EXPECT_TRUE(no.result);
  EXPECT_EQ(no.mode, '-') << "setup went on after No";
  EXPECT_TRUE(a->Running());
  EXPECT_TRUE(b->Running());
  EXPECT_FALSE(a->HasRecord(kClosed));
  EXPECT_FALSE(b->HasRecord(kClosed));

  StartupRun yes = RunStartup(kSetup, {}, IDYES);
  ASSERT_EQ(yes.boxes.size(), 1u);
  EXPECT_EQ(yes.boxes[0].text, question);
  EXPECT_EQ(yes.mode, 'S');
  EXPECT_TRUE(Closed(*a));
  EXPECT_TRUE(Closed(*b));
}

// Only "/s" or "-s" from the second argument on skips the question; the
// uninstaller never asks it (its confirmation covers the closing).
TEST_F(InstanceClosing, WhichStartsAskBeforeClosing) {
  struct Case {
    const char* program;
    std::vector<std::string> words;
    bool asks;
    char mode;
  } cases[] = {
      {kSetup, {"-install", "-s"}, false, 'S'},
      {kSetup, {"-instdir", "D:\\X", "/s"}, false, 'S'},
      {kSetup, {"-install", "/S"}, false, 'S'},
      {kSetup, {"-s"}, true, '-'},
      {kSetup, {"/s"}, true, '-'},
      {kUninstaller, {"-s"}, false, 'U'},
  };
  for (const Case& c : cases) {
    std::string words;
    for (const std::string& w : c.words) words += " " + w;
    SCOPED_TRACE(std::string(c.program) + words);
    theInstanceManager.ResetInstanceList();
    auto fixture = StartStandIn();
    RegisterSelf();
    StartupRun run = RunStartup(c.program, c.words, IDNO);
    EXPECT_EQ(run.mode, c.mode);
    if (c.asks) {
      ASSERT_EQ(run.boxes.size(), 2u);
      EXPECT_EQ(run.boxes[0].text, Text(IDS_ONE_INSTANCE_OPEN));
      EXPECT_EQ(run.boxes[0].style, 0x34u);
      EXPECT_EQ(run.boxes[1].text, Text(IDS_SETUP_ABORTED));
      EXPECT_TRUE(fixture->Running());
      EXPECT_FALSE(fixture->HasRecord(kClosed));
    } else {
      EXPECT_EQ(run.boxes.size(), 0u);
      EXPECT_TRUE(Closed(*fixture));
    }
  }
}

TEST_F(InstanceClosing, TheUninstallerClosesAfterItsConfirmation) {
  auto fixture = StartStandIn();
  RegisterSelf();
  StartupRun run = RunStartup(kUninstaller, {}, IDYES);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].text, Text(IDS_UNINSTALL_CONFIRM));
  EXPECT_EQ(run.mode, 'U');
  EXPECT_TRUE(Closed(*fixture));
}

// Only the first N = count - 1 entries are handled: an instance registered after
// this program's count stays.
TEST_F(InstanceClosing, AnInstanceListedAfterTheOwnIdKeepsRunning) {
  auto a = StartStandIn();
  RegisterSelf();
  auto b = StartStandIn();
  CDWordArray ids;
  ASSERT_TRUE(theInstanceManager.ListInstanceIds(ids));
  ASSERT_EQ(ids, (CDWordArray{a->pid(), GetCurrentProcessId(), b->pid()}));

  StartupRun run = RunStartup(kSetup, {"-install", "-s"}, IDYES);
  EXPECT_EQ(run.boxes.size(), 0u);
  EXPECT_TRUE(Closed(*a));
  EXPECT_TRUE(b->Running());
  EXPECT_FALSE(b->HasRecord(kClosed));
}

// A listed process without a product window is terminated all the same (only
// termination can end this stand-in), and the close request goes nowhere, not
// into this program's own queue.
TEST_F(InstanceClosing, AProcessWithoutWindowIsTerminatedWithoutARequest) {
  auto hidden = StartStandIn("none", kUnguarded);
  RegisterSelf();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
  }
  StartupRun run = RunStartup(kSetup, {"-install", "/s"}, IDYES);
  EXPECT_EQ(run.mode, 'S');
  EXPECT_TRUE(hidden->WaitForExit(10000));
  EXPECT_FALSE(hidden->HasRecord(kClosed));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << "the request landed in this thread's queue";
}

}  // namespace
