// The shared instance list as an interface: what the class writes is read back
// through a raw view of the section and the other way round, its limits hold
// against a damaged count, and its notices reach the product stand-in.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "instances/instance_manager.h"
#include "tests/instances/instances_test_support.h"

namespace {

using instances_testing::FreshListName;
using instances_testing::RawSection;
using instances_testing::RunningFixture;

constexpr size_t kInitMark = 0, kCount = 4, kIds = 8, kPastList = 4008;
size_t IdAt(size_t i) { return kIds + 4 * i; }

CDWordArray Listed(COXInstanceManager& list) {
  CDWordArray ids;
  EXPECT_TRUE(list.ListInstanceIds(ids));
  return ids;
}

CDWordArray RawIds(const RawSection& raw) {
  CDWordArray ids;
  for (DWORD i = 0; i < raw.Word(kCount) && i < 1000; ++i) ids.push_back(raw.Word(IdAt(i)));
  return ids;
}

// A top-level window of this test process whose title the window search accepts,
// to receive the notices posted to this process.
class ListenerWindow {
 public:
  ListenerWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LumishotTestListener";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "Lumishot test listener", WS_OVERLAPPED, 0, 0, 100, 100,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
  }
  ~ListenerWindow() {
    DestroyWindow(window_);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND get() const { return window_; }
  // The notices waiting in the queue, as (message, lParam) pairs.
  std::vector<std::pair<UINT, DWORD>> TakeNotices() {
    std::vector<std::pair<UINT, DWORD>> notices;
    MSG msg;
    while (PeekMessageA(&msg, window_, COXInstanceManager::kMsgInstanceAdded, COXInstanceManager::kMsgInstanceRemoved,
                        PM_REMOVE)) {
      EXPECT_EQ(msg.wParam, 0u);
      notices.emplace_back(msg.message, static_cast<DWORD>(msg.lParam));
    }
    return notices;
  }

 private:
  HWND window_ = nullptr;
};

}  // namespace

TEST(InstanceList, RawViewAndClassSeeTheSameLayout) {
  const std::string name = FreshListName("layout");
  const DWORD self = GetCurrentProcessId();
  ASSERT_FALSE(RawSection(name)) << "the name is in use before the test";

  COXInstanceManager list(name);
  RawSection raw(name);
  ASSERT_TRUE(raw);
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  ASSERT_EQ(system.dwAllocationGranularity, 65536u);
  EXPECT_EQ(raw.MappedSize(), 131072u) << "two regions of one allocation granule each";
  // Both mutexes carry their names, without any namespace prefix.
  EXPECT_TRUE(fw::UniqueHandle(OpenMutexA(SYNCHRONIZE, FALSE, ("COXInstanceManager_InstanceList_Mutex_" + name).c_str())));
  EXPECT_TRUE(fw::UniqueHandle(OpenMutexA(SYNCHRONIZE, FALSE, ("COXInstanceManager_Additional_Mutex_" + name).c_str())));

  // The creator initialised the region and registered itself.
  EXPECT_EQ(raw.Word(kInitMark), 1u);
  EXPECT_EQ(raw.Word(kCount), 1u);
  EXPECT_EQ(raw.Word(IdAt(0)), self);
  std::memset(raw.Bytes() + kPastList, 0xAB, 64);  // beyond the list: never touched

  // Written raw, read by the class.
  raw.SetWord(kCount, 3);
  raw.SetWord(IdAt(1), 111);
  raw.SetWord(IdAt(2), 222);
  EXPECT_EQ(list.CountInstances(), 3);
  EXPECT_EQ(Listed(list), (CDWordArray{self, 111, 222}));

  // Written by the class, read raw: appended at Count, duplicates allowed.
  EXPECT_TRUE(list.RegisterInstance(333));
  EXPECT_TRUE(list.RegisterInstance(111));
  EXPECT_EQ(raw.Word(kCount), 5u);
  EXPECT_EQ(RawIds(raw), (CDWordArray{self, 111, 222, 333, 111}));

  // Withdrawal takes the first match, closes the gap in order and clears the freed slot.
  EXPECT_TRUE(list.UnregisterInstance(111));
  EXPECT_EQ(RawIds(raw), (CDWordArray{self, 222, 333, 111}));
  EXPECT_EQ(raw.Word(IdAt(4)), 0u);
  EXPECT_FALSE(list.UnregisterInstance(999));
  EXPECT_EQ(raw.Word(kCount), 4u);

  // A second object over an existing section joins it without resetting it.
  raw.SetWord(kInitMark, 7);
  {
    COXInstanceManager second(name);
    EXPECT_EQ(raw.Word(kInitMark), 7u);
    EXPECT_EQ(RawIds(raw), (CDWordArray{self, 222, 333, 111, self}));
  }
  EXPECT_EQ(RawIds(raw), (CDWordArray{222, 333, 111, self})) << "the first entry of this id is the one withdrawn";

  list.ResetInstanceList();
  EXPECT_EQ(raw.Word(kInitMark), 1u);
  EXPECT_EQ(raw.Word(kCount), 0u);
  for (size_t i = 0; i < 1000; ++i) ASSERT_EQ(raw.Word(IdAt(i)), 0u) << "entry " << i;
  for (size_t i = 0; i < 64; ++i) ASSERT_EQ(raw.Bytes()[kPastList + i], 0xAB) << "byte " << kPastList + i;
  EXPECT_EQ(list.CountInstances(), 0);
}

// Any process of the user can write the count; the class never goes past the
// 1000 entries, whatever it says.
TEST(InstanceList, DamagedCountIsTreatedAsFull) {
  const std::string name = FreshListName("damaged");
  COXInstanceManager list(name);
  RawSection raw(name);
  ASSERT_TRUE(raw);
  for (DWORD damaged : {1001u, 5000u, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE("Count " + std::to_string(damaged));
    for (DWORD i = 0; i < 1000; ++i) raw.SetWord(IdAt(i), 10000 + i);
    raw.SetWord(kPastList, 77777);  // the word after the last entry
    raw.SetWord(kCount, damaged);

    EXPECT_EQ(list.CountInstances(), 1000);
    CDWordArray ids = Listed(list);
    ASSERT_EQ(ids.size(), 1000u);
    EXPECT_EQ(ids.back(), 10999u);
    EXPECT_FALSE(list.RegisterInstance(5));
    EXPECT_FALSE(list.UnregisterInstance(77777)) << "read past the list";
    EXPECT_EQ(raw.Word(kPastList), 77777u);
    EXPECT_TRUE(list.UnregisterInstance(10000));
    EXPECT_EQ(raw.Word(kCount), 999u);
    EXPECT_EQ(raw.Word(IdAt(0)), 10001u);
    EXPECT_EQ(raw.Word(IdAt(999)), 0u);
    EXPECT_EQ(raw.Word(kPastList), 77777u);
  }
}

TEST(InstanceList, TheThousandAndFirstRegistrationIsRefusedAndPostsNothing) {
  const std::string name = FreshListName("full");
  ListenerWindow listener;
  ASSERT_TRUE(listener.get());
  COXInstanceManager list(name);  // this process at index 0
  RawSection raw(name);
  ASSERT_TRUE(raw);
  for (DWORD i = 1; i < 999; ++i) raw.SetWord(IdAt(i), 0x7FFF0000 + 4 * i);  // ids of no process
  raw.SetWord(kCount, 999);

  EXPECT_TRUE(list.RegisterInstance(0x12345678));
  EXPECT_EQ(raw.Word(kCount), 1000u);
  EXPECT_EQ(raw.Word(IdAt(999)), 0x12345678u);
  using Notices = std::vector<std::pair<UINT, DWORD>>;
  EXPECT_EQ(listener.TakeNotices(), (Notices{{1946, 0x12345678}})) << "the listener hears a registration";

  EXPECT_FALSE(list.RegisterInstance(0x22222222));
  EXPECT_EQ(raw.Word(kCount), 1000u);
  EXPECT_EQ(raw.Word(kPastList), 0u);
  EXPECT_EQ(listener.TakeNotices(), Notices{});

  // Withdrawing the only entry leaves an empty list and tells nobody.
  list.ResetInstanceList();
  EXPECT_TRUE(list.RegisterInstance(0x33333333));
  EXPECT_TRUE(list.UnregisterInstance(0x33333333));
  EXPECT_EQ(raw.Word(kCount), 0u);
  EXPECT_EQ(listener.TakeNotices(), Notices{});
}

// When a kernel-object name is taken by an object of another kind, the list
// cannot be reached: every operation reports failure and nothing is touched.
TEST(InstanceList, UnreachableListFailsEveryOperation) {
  for (const char* takenPrefix : {"COXInstanceManager_InstanceList_Mutex_", "COXInstanceManager_FileMap_"}) {
    SCOPED_TRACE(takenPrefix);
    const std::string name = FreshListName("unreachable");
    // An event holds the name, so the mutex or the section cannot be made.
    fw::UniqueHandle squatter(CreateEventA(nullptr, TRUE, FALSE, (takenPrefix + name).c_str()));
    ASSERT_TRUE(squatter);
    // Where only the mutex is missing, a list exists: it must stay as it is.
    std::unique_ptr<RawSection> existing;
    if (std::string(takenPrefix).find("Mutex") != std::string::npos) {
      existing = std::make_unique<RawSection>(name, true, 131072);
      ASSERT_TRUE(*existing);
      existing->SetWord(kCount, 1);
      existing->SetWord(IdAt(0), 4242);
    }

    COXInstanceManager list(name);
    EXPECT_EQ(list.CountInstances(), 0);
    CDWordArray ids{9, 8};
    EXPECT_FALSE(list.ListInstanceIds(ids));
    EXPECT_EQ(ids, (CDWordArray{9, 8}));
    EXPECT_FALSE(list.RegisterInstance(5));
    EXPECT_FALSE(list.UnregisterInstance(4242));
    list.ResetInstanceList();
    if (existing) {
      EXPECT_EQ(existing->Word(kInitMark), 0u);
      EXPECT_EQ(existing->Word(kCount), 1u);
      EXPECT_EQ(existing->Word(IdAt(0)), 4242u);
      EXPECT_EQ(existing->Word(IdAt(1)), 0u) << "registered without the mutex";
    }
  }
}

struct ConstructionStart {
  std::string name;
  std::unique_ptr<COXInstanceManager> list;
};

DWORD WINAPI ConstructOnThread(void* p) {
  auto* s = static_cast<ConstructionStart*>(p);
  s->list = std::make_unique<COXInstanceManager>(s->name);
  return 0;
}

// The section is created and a new region initialised under the list mutex, so
// a process that registers in between cannot have its entry wiped.
TEST(InstanceList, CreationAndResetHappenUnderTheListMutex) {
  const std::string name = FreshListName("atomic");
  fw::UniqueHandle mutex(CreateMutexA(nullptr, TRUE, ("COXInstanceManager_InstanceList_Mutex_" + name).c_str()));
  ASSERT_TRUE(mutex);
  ConstructionStart start{name, nullptr};
  fw::UniqueHandle thread(CreateThread(nullptr, 0, ConstructOnThread, &start, 0, nullptr));
  ASSERT_TRUE(thread);
  // While the mutex is held elsewhere, construction waits and no section exists
  // for a second process to register in.
  EXPECT_EQ(WaitForSingleObject(thread.get(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_FALSE(RawSection(name));
  ReleaseMutex(mutex.get());
  ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(start.list->CountInstances(), 1);
}

TEST(InstanceList, NoticesReachTheStandInAndWithdrawalKeepsOrder) {
  const std::string name = FreshListName("notices");
  const DWORD self = GetCurrentProcessId();
  RunningFixture first(name);
  ASSERT_TRUE(first.started());
  auto list = std::make_unique<COXInstanceManager>(name);
  EXPECT_TRUE(first.WaitForRecord("1946 " + std::to_string(self), 5000));
  RunningFixture third(name);
  ASSERT_TRUE(third.started());
  EXPECT_TRUE(first.WaitForRecord("1946 " + std::to_string(third.pid()), 5000));
  EXPECT_EQ(Listed(*list), (CDWordArray{first.pid(), self, third.pid()}));

  list.reset();  // withdraws the middle entry
  const std::string removed = "1947 " + std::to_string(self);
  EXPECT_TRUE(first.WaitForRecord(removed, 5000));
  EXPECT_TRUE(third.WaitForRecord(removed, 5000));
  RawSection raw(name);
  ASSERT_TRUE(raw);
  EXPECT_EQ(RawIds(raw), (CDWordArray{first.pid(), third.pid()}));
  EXPECT_EQ(raw.Word(IdAt(2)), 0u);
  // No process is told about its own registration.
  for (const std::string& record : third.Records()) EXPECT_NE(record, "1946 " + std::to_string(third.pid()));
}

TEST(InstanceList, AKilledProcessStaysListed) {
  const std::string name = FreshListName("killed");
  RunningFixture fixture(name);
  ASSERT_TRUE(fixture.started());
  RawSection raw(name);  // keeps the section alive once the fixture is gone
  ASSERT_TRUE(raw);
  ASSERT_TRUE(TerminateProcess(fixture.process(), 1));
  ASSERT_TRUE(fixture.WaitForExit(10000));
  COXInstanceManager list(name);
  EXPECT_EQ(Listed(list), (CDWordArray{fixture.pid(), GetCurrentProcessId()}));
}

TEST(FindInstanceWindow, OnlyTheProductWindowOfThatProcess) {
  const std::string name = FreshListName("windows");
  struct Case {
    const char* windows;
    const char* expectedTitle;  // null: no window is found
  } cases[] = {
      {"main", "Lumishot 6 - fixture"}, {"decoys", "Lumishot 6 - fixture"}, {"tool", nullptr},
      {"owned", nullptr},               {"inner", nullptr},                 {"none", nullptr},
  };
  // All run at once, so a search that ignored the process would find another's window.
  std::vector<std::unique_ptr<RunningFixture>> fixtures;
  for (const Case& c : cases) {
    fixtures.push_back(std::make_unique<RunningFixture>(name, c.windows));
    ASSERT_TRUE(fixtures.back()->started()) << c.windows;
  }
  for (size_t i = 0; i < fixtures.size(); ++i) {
    SCOPED_TRACE(cases[i].windows);
    HWND found = FindInstanceWindow(fixtures[i]->pid());
    if (!cases[i].expectedTitle) {
      EXPECT_EQ(found, nullptr);
      continue;
    }
    ASSERT_NE(found, nullptr);
    char title[256] = "";
    GetWindowTextA(found, title, sizeof title);
    EXPECT_STREQ(title, cases[i].expectedTitle);
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    EXPECT_EQ(owner, fixtures[i]->pid());
  }
  EXPECT_EQ(FindInstanceWindow(GetCurrentProcessId()), nullptr);
}
