// The shared instance list. The product keeps the same list, so the object
// names, the layout of the list region, the 1000-entry limit and the two notices
// must stay exactly as they are.
#include "instances/instance_manager.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kListMutexPrefix[] = "COXInstanceManager_InstanceList_Mutex_";
constexpr char kAdditionalMutexPrefix[] = "COXInstanceManager_Additional_Mutex_";
constexpr char kSectionPrefix[] = "COXInstanceManager_FileMap_";

constexpr DWORD kListRegionBytes = 4008;       // 8 + 4 * 1000
constexpr DWORD kAdditionalRegionBytes = 1024;

DWORD RoundUp(DWORD size, DWORD granularity) {
  if (granularity == 0) return size;
  return (size + granularity - 1) / granularity * granularity;
}

}  // namespace

// The list region at the start of the section: little-endian 32-bit words.
struct COXInstanceManager::ListRegion {
  DWORD InitMark;
  DWORD Count;
  DWORD ProcessIds[kMaxInstances];
};
static_assert(sizeof(DWORD) == 4, "the shared layout is made of 32-bit words");

namespace {

// Any process of the user can write the section, so the stored count is never
// trusted beyond the 1000 entries that exist.
template <typename Region>
DWORD ValidCount(const Region& list) {
  return std::min<DWORD>(list.Count, COXInstanceManager::kMaxInstances);
}

void PostToInstance(DWORD processId, UINT message, DWORD aboutId) {
  // No window, no notice: a null window would post to this thread's own queue.
  if (HWND window = FindInstanceWindow(processId))
    PostMessageA(window, message, 0, static_cast<LPARAM>(aboutId));
}

}  // namespace

COXInstanceManager::COXInstanceManager(const std::string& applicationName)
    : ApplicationName(applicationName), AdditionalRegionSize(kAdditionalRegionBytes) {
  static_assert(sizeof(ListRegion) == kListRegionBytes, "list region layout");
  ListMutex = fw::NamedMutex(kListMutexPrefix + ApplicationName);
  AdditionalMutex = fw::NamedMutex(kAdditionalMutexPrefix + ApplicationName);
  ListRegionSize = kListRegionBytes;
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  ListRegionSize = RoundUp(ListRegionSize, system.dwAllocationGranularity);
  AdditionalRegionSize = RoundUp(AdditionalRegionSize, system.dwAllocationGranularity);

  // Without the list mutex the list cannot be used safely, so it is not opened.
  if (!ListMutex) return;
  {
    // Held across creation and the reset of a new region, so that no other
    // process can register in between and have its entry wiped.
    fw::MutexLock lock(ListMutex.get());
    if (!lock.locked()) return;
    SectionHandle.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_COMMIT, 0,
                                           ListRegionSize + AdditionalRegionSize,
                                           (kSectionPrefix + ApplicationName).c_str()));
    const bool created = SectionHandle && GetLastError() != ERROR_ALREADY_EXISTS;
    if (created) ResetInstanceList();
  }
  RegisterInstance(GetCurrentProcessId());
}

COXInstanceManager::~COXInstanceManager() {
  UnregisterInstance(GetCurrentProcessId());
  if (AdditionalView) {
    UnmapViewOfFile(AdditionalView);
    AdditionalView = nullptr;
  }
  SectionHandle.reset();
  AdditionalMutex.reset();
  ListMutex.reset();
}

bool COXInstanceManager::WithList(const std::function<void(ListRegion&)>& work) {
  if (!SectionHandle || !ListMutex) return false;
  fw::UniqueView view(MapViewOfFile(SectionHandle.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, ListRegionSize));
  if (!view) return false;
  fw::MutexLock lock(ListMutex.get());
  if (!lock.locked()) return false;
  ListView = view.get();
  work(*static_cast<ListRegion*>(ListView));
  ListView = nullptr;
  view.reset();  // unmapped before the mutex is released
  return true;
}

int COXInstanceManager::CountInstances() {
  int count = 0;
  WithList([&](ListRegion& list) { count = static_cast<int>(ValidCount(list)); });
  return count;
}

BOOL COXInstanceManager::ListInstanceIds(CDWordArray& ids) {
  return WithList([&](ListRegion& list) { ids.assign(list.ProcessIds, list.ProcessIds + ValidCount(list)); });
}

BOOL COXInstanceManager::RegisterInstance(DWORD processId) {
  BOOL added = FALSE;
  WithList([&](ListRegion& list) {
    const DWORD count = ValidCount(list);
    if (count >= kMaxInstances) return;
    // The processes already listed are told before the new one is appended.
    for (DWORD i = 0; i < count; ++i) PostToInstance(list.ProcessIds[i], kMsgInstanceAdded, processId);
    list.ProcessIds[count] = processId;
    list.Count = count + 1;
    added = TRUE;
  });
  return added;
}

BOOL COXInstanceManager::UnregisterInstance(DWORD processId) {
  BOOL removed = FALSE;
  WithList([&](ListRegion& list) {
    const DWORD count = ValidCount(list);
    DWORD* const ids = list.ProcessIds;
    DWORD* const found = std::find(ids, ids + count, processId);
    if (found == ids + count) return;
    std::memmove(found, found + 1, static_cast<size_t>(ids + count - (found + 1)) * sizeof(DWORD));
    ids[count - 1] = 0;
    list.Count = count - 1;
    for (DWORD j = 0; j < count - 1; ++j) PostToInstance(ids[j], kMsgInstanceRemoved, processId);
    removed = TRUE;
  });
  return removed;
}

void COXInstanceManager::ResetInstanceList() {
  WithList([](ListRegion& list) {
    list.InitMark = 1;
    list.Count = 0;
    std::memset(list.ProcessIds, 0, sizeof list.ProcessIds);
  });
}

namespace {

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK TestWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (GetWindow(window, GW_OWNER) != nullptr) return TRUE;
  if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;
  char title[512];
  int length = GetWindowTextA(window, title, sizeof title);
  if (length < 0) length = 0;
  title[std::min<int>(length, sizeof title - 1)] = '\0';
  if (std::strcmp(title, "DDE Server Window") == 0 || std::strcmp(title, "OleMainThreadWndName") == 0) return TRUE;
  if (std::strncmp(title, "Lumishot", 8) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindInstanceWindow(DWORD processId) {
  WindowSearch search{processId, nullptr};
  EnumWindows(TestWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
