// Named mutexes shared between processes, and a scoped lock on one.
#pragma once
#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace fw {

// Creates the named mutex, or opens it when another process made it first.
// Empty when neither works (for instance when another kind of kernel object
// already holds the name).
class NamedMutex {
 public:
  NamedMutex() = default;
  explicit NamedMutex(const std::string& name) : handle_(CreateMutexA(nullptr, FALSE, name.c_str())) {}
  explicit operator bool() const { return static_cast<bool>(handle_); }
  HANDLE get() const { return handle_.get(); }
  void reset() { handle_.reset(); }

 private:
  UniqueHandle handle_;
};

// Holds a mutex from construction to destruction. The wait has no time-out; a
// mutex left behind by a process that ended while holding it counts as taken.
// The mutex is recursive, so a thread that holds it may lock it again.
class MutexLock {
 public:
  explicit MutexLock(HANDLE mutex) {
    if (!mutex) return;
    DWORD r = WaitForSingleObject(mutex, INFINITE);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) mutex_ = mutex;
  }
  ~MutexLock() {
    if (mutex_) ReleaseMutex(mutex_);
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  bool locked() const { return mutex_ != nullptr; }

 private:
  HANDLE mutex_ = nullptr;
};

}  // namespace fw
