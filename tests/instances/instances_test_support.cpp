#include "tests/instances/instances_test_support.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>

#include "instances/instance_manager.h"
#include "tests/support/test_support.h"

namespace instances_testing {

namespace {

std::string FixturePath() {
  const char* build = std::getenv("LM_BUILD");
  std::string path = build ? std::string("Z:") + build : std::string(".");
  for (char& c : path)
    if (c == '/') c = '\\';
  return path + "\\fixtures\\none\\LmShot6.exe";
}

std::string TempFile(const std::string& stem) {
  static int counter = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + stem + "_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) +
         ".log";
}

bool Poll(DWORD timeoutMs, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
}

}  // namespace

std::string OwnListName() { return TestProgramListName(); }

std::string FreshListName(const std::string& tag) {
  static int counter = 0;
  return OwnListName() + "." + tag + "." + std::to_string(++counter);
}

RunningFixture::RunningFixture(const std::string& list, const std::string& windows, const std::string& flags)
    : log_(TempFile("lmfixture")) {
  DeleteFileA(log_.c_str());
  std::string command = "\"" + FixturePath() + "\" -list \"" + list + "\" -windows " + windows + " -log \"" + log_ + "\" " + flags;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  pid_ = info.dwProcessId;
  started_ = WaitForRecord("ready", 30000);
}

RunningFixture::~RunningFixture() {
  if (process_ && Running()) {
    // The product's own way out withdraws it from the list.
    HWND window = FindInstanceWindow(pid_);
    if (window) PostMessageA(window, WM_CLOSE, 1001, 0);
    if (!window || !WaitForExit(10000)) {
      TerminateProcess(process_.get(), 1);
      WaitForExit(10000);
    }
  }
  DeleteFileA(log_.c_str());
}

std::vector<std::string> RunningFixture::Records() const {
  std::vector<std::string> lines;
  std::istringstream in(testing_support::ReadFile(log_));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool RunningFixture::HasRecord(const std::string& line) const {
  for (const std::string& l : Records())
    if (l == line) return true;
  return false;
}

bool RunningFixture::WaitForRecord(const std::string& line, DWORD timeoutMs) const {
  return Poll(timeoutMs, [&] { return HasRecord(line) || !Running(); }) && HasRecord(line);
}

bool RunningFixture::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool RunningFixture::WaitForExit(DWORD timeoutMs) const {
  return !process_ || WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

RawSection::RawSection(const std::string& listName, bool create, DWORD size) {
  const std::string name = "COXInstanceManager_FileMap_" + listName;
  section_.reset(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()));
  if (!section_ && create)
    section_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_COMMIT, 0, size, name.c_str()));
  if (section_) view_.reset(MapViewOfFile(section_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0));
}

DWORD RawSection::Word(size_t offset) const {
  DWORD value;
  std::memcpy(&value, Bytes() + offset, sizeof value);
  return value;
}

void RawSection::SetWord(size_t offset, DWORD value) { std::memcpy(Bytes() + offset, &value, sizeof value); }

size_t RawSection::MappedSize() const {
  MEMORY_BASIC_INFORMATION info{};
  if (!VirtualQuery(view_.get(), &info, sizeof info)) return 0;
  return info.RegionSize;
}

}  // namespace instances_testing
