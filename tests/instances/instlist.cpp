// instlist NAME: prints the instance list of application NAME, read straight from
// the shared section under its mutex: "none" when no section exists, otherwise
// "mark M", "count N" and "ids ..." (the first min(N, 1000) entries).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/handles.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string name = argv[1];
  fw::UniqueHandle section(OpenFileMappingA(FILE_MAP_READ, FALSE, ("COXInstanceManager_FileMap_" + name).c_str()));
  if (!section) {
    std::printf("none\n");
    return 0;
  }
  fw::UniqueHandle mutex(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE,
                                    ("COXInstanceManager_InstanceList_Mutex_" + name).c_str()));
  fw::UniqueView view(MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 4008));
  if (!view) return 1;
  DWORD words[1002];
  const bool locked = mutex && WaitForSingleObject(mutex.get(), 10000) != WAIT_TIMEOUT;
  std::memcpy(words, view.get(), sizeof words);
  if (locked) ReleaseMutex(mutex.get());
  const DWORD count = words[1] > 1000 ? 1000 : words[1];
  std::printf("mark %lu\ncount %lu\nids", static_cast<unsigned long>(words[0]), static_cast<unsigned long>(words[1]));
  for (DWORD i = 0; i < count; ++i) std::printf(" %lu", static_cast<unsigned long>(words[2 + i]));
  std::printf("\n");
  return 0;
}
