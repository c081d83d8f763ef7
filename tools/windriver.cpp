// Window driver for the tests: finds a top-level window (a message box or a
// dialog) by its caption, reports its controls, clicks buttons and types into
// edits. It never types into whatever happens to have the focus.
//
//   windriver wait CAPTION [TIMEOUT_MS]        wait until the window exists; print its dump
//   windriver gone CAPTION [TIMEOUT_MS]        wait until no such window exists
//   windriver dump CAPTION                     print the window's controls
//   windriver click CAPTION ID [TIMEOUT_MS]    press the button with that control id
//   windriver settext CAPTION ID TEXT          set the text of a control
//
// The dump lists one control a line: "control ID CLASS visible|hidden [default] TEXT",
// and for a message box first "text: ..." (the static 65535). Line feeds in
// texts are written as \n. Exit code 0 on success, 1 on a time-out, 2 on misuse.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  std::string caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindByCaption(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  char title[512];
  GetWindowTextA(window, title, sizeof title);
  if (search->caption == title) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowByCaption(const std::string& caption) {
  Search search{caption};
  EnumWindows(FindByCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(const std::string& caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND w = FindWindowByCaption(caption)) return w;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(50);
  }
}

std::string Escape(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c == '\n') r += "\\n";
    else if (c == '\r') r += "\\r";
    else r += c;
  }
  return r;
}

std::string TextOf(HWND w) {
  int n = GetWindowTextLengthA(w);
  std::vector<char> text(static_cast<size_t>(n) + 2, '\0');
  GetWindowTextA(w, text.data(), n + 1);
  return text.data();
}

BOOL CALLBACK DumpChild(HWND child, LPARAM) {
  char cls[128];
  GetClassNameA(child, cls, sizeof cls);
  LONG style = GetWindowLongA(child, GWL_STYLE);
  int id = GetDlgCtrlID(child);
  bool isButton = lstrcmpiA(cls, "Button") == 0;
  bool isDefault = isButton && (style & 0x0F) == BS_DEFPUSHBUTTON;
  std::printf("control %d %s %s%s %s\n", id, cls, IsWindowVisible(child) ? "visible" : "hidden",
              isDefault ? " default" : "", Escape(TextOf(child)).c_str());
  return TRUE;
}

void Dump(HWND w) {
  char cls[128];
  GetClassNameA(w, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  std::printf("window %s pid %lu caption %s\n", cls, static_cast<unsigned long>(pid),
              Escape(TextOf(w)).c_str());
  if (HWND text = GetDlgItem(w, 0xFFFF)) std::printf("text: %s\n", Escape(TextOf(text)).c_str());
  EnumChildWindows(w, DumpChild, 0);
  std::fflush(stdout);
}

DWORD Timeout(int argc, char** argv, int index) {
  return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10)) : 10000;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string verb = argv[1];
  std::string caption = argv[2];
  if (verb == "wait") {
    HWND w = WaitForWindow(caption, Timeout(argc, argv, 3));
    if (!w) return 1;
    Sleep(100);  // let the window lay out its controls
    Dump(w);
    return 0;
  }
  if (verb == "gone") {
    DWORD start = GetTickCount();
    while (FindWindowByCaption(caption)) {
      if (GetTickCount() - start > Timeout(argc, argv, 3)) return 1;
      Sleep(50);
    }
    return 0;
  }
  if (verb == "dump") {
    HWND w = FindWindowByCaption(caption);
    if (!w) return 1;
    Dump(w);
    return 0;
  }
  if (verb == "click" && argc >= 4) {
    HWND w = WaitForWindow(caption, Timeout(argc, argv, 4));
    if (!w) return 1;
    HWND button = GetDlgItem(w, std::atoi(argv[3]));
    if (!button) return 1;
    // Posted, so that a button that opens another modal box does not block the driver.
    PostMessageA(w, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return 0;
  }
  if (verb == "settext" && argc >= 5) {
    HWND w = FindWindowByCaption(caption);
    if (!w) return 1;
    HWND control = GetDlgItem(w, std::atoi(argv[3]));
    if (!control) return 1;
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
    return 0;
  }
  return 2;
}
