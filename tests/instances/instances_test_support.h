// Shared pieces of the instance tests: the product stand-in as a child process,
// a raw view of a list's section, and list names of this test program's own.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/handles.h"

namespace instances_testing {

// A list name no other process uses: "Lumishot.TestPrograms.<pid>.<tag>.<n>".
std::string FreshListName(const std::string& tag);
// A list name of this process alone (the closing tests' registry object uses it).
std::string OwnListName();

// LmShot6.exe started with "-list LIST -windows KIND -log <temp file>" and any
// `flags`; the constructor waits until it has opened its windows. A fixture still running at
// the end is asked to close (and killed when it does not).
class RunningFixture {
 public:
  RunningFixture(const std::string& list, const std::string& windows = "main", const std::string& flags = "");
  ~RunningFixture();
  RunningFixture(const RunningFixture&) = delete;
  RunningFixture& operator=(const RunningFixture&) = delete;

  bool started() const { return started_; }
  DWORD pid() const { return pid_; }
  HANDLE process() const { return process_.get(); }
  std::vector<std::string> Records() const;  // the lines of its log
  bool HasRecord(const std::string& line) const;
  bool WaitForRecord(const std::string& line, DWORD timeoutMs) const;
  bool Running() const;
  bool WaitForExit(DWORD timeoutMs) const;

 private:
  std::string log_;
  fw::UniqueHandle process_;
  DWORD pid_ = 0;
  bool started_ = false;
};

// The section of a list, mapped whole through a view of the test's own. The
// tests use it while no other process works on that list.
class RawSection {
 public:
  // Opens an existing section; `create` makes one of `size` bytes when missing.
  explicit RawSection(const std::string& listName, bool create = false, DWORD size = 0);
  explicit operator bool() const { return static_cast<bool>(view_); }
  DWORD Word(size_t offset) const;
  void SetWord(size_t offset, DWORD value);
  size_t MappedSize() const;
  const unsigned char* Bytes() const { return static_cast<const unsigned char*>(view_.get()); }
  unsigned char* Bytes() { return static_cast<unsigned char*>(view_.get()); }

 private:
  fw::UniqueHandle section_;
  fw::UniqueView view_;
};

}  // namespace instances_testing
