// Test helper: holds files open without sharing until told to stop, so that
// they count as in use. A copy of this program placed at a destination and
// started is also the "running executable" case.
//   holder.exe STOP-EVENT READY-EVENT [FILE...]
// Opens every FILE with share mode 0, sets READY-EVENT, waits for STOP-EVENT
// (at most two minutes) and ends. Exit code 2 when a file or event cannot be opened.
#include <windows.h>

#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HANDLE stop = OpenEventA(SYNCHRONIZE, FALSE, argv[1]);
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (stop == nullptr || ready == nullptr) return 2;
  std::vector<HANDLE> held;
  for (int i = 3; i < argc; ++i) {
    HANDLE file = CreateFileA(argv[i], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    held.push_back(file);
  }
  SetEvent(ready);
  WaitForSingleObject(stop, 120000);
  for (HANDLE file : held) CloseHandle(file);
  return 0;
}
