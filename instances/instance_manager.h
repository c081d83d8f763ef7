// The machine-wide list of running instances that this program shares with the
// product: process ids in a named paging-file section guarded by a named mutex.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "framework/sync.h"

using CDWordArray = std::vector<DWORD>;

class COXInstanceManager {
 public:
  // Opens (or creates) the list of `applicationName` and registers this process.
  explicit COXInstanceManager(const std::string& applicationName);
  // Withdraws this process and closes the kernel objects.
  virtual ~COXInstanceManager();
  COXInstanceManager(const COXInstanceManager&) = delete;
  COXInstanceManager& operator=(const COXInstanceManager&) = delete;

  // Registered processes, this one included; 0 when the list cannot be reached.
  int CountInstances();
  // The ids in registration order; false (array unchanged) when the list cannot be reached.
  BOOL ListInstanceIds(CDWordArray& ids);
  // False when the list is full (1000) or cannot be reached.
  BOOL RegisterInstance(DWORD processId);
  // False when the id is not listed or the list cannot be reached.
  BOOL UnregisterInstance(DWORD processId);
  void ResetInstanceList();

  static constexpr DWORD kMaxInstances = 1000;
  static constexpr UINT kMsgInstanceAdded = 1946;
  static constexpr UINT kMsgInstanceRemoved = 1947;

 private:
  struct ListRegion;
  // The frame of every list operation: map the list region, take the list
  // mutex, run `work`, unmap, release. False, with nothing done, when the list
  // cannot be reached.
  bool WithList(const std::function<void(ListRegion&)>& work);

  std::string ApplicationName;
  DWORD ListRegionSize = 0;
  DWORD AdditionalRegionSize = 0;
  fw::NamedMutex ListMutex;
  fw::NamedMutex AdditionalMutex;
  fw::UniqueHandle SectionHandle;
  void* ListView = nullptr;
  void* AdditionalView = nullptr;  // the additional region is never mapped
};

// The process's main product window: top-level, unowned, not a tool window,
// title beginning with "Lumishot"; null when there is none.
HWND FindInstanceWindow(DWORD processId);
