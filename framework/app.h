// The application class: one object per program, built during static
// initialisation; WinMain fills in the command line and calls InitInstance.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CWinApp {
 public:
  // appName empty: the title is string 57344 of the program's string table.
  explicit CWinApp(const char* appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance() { return FALSE; }

  // The application title, the caption of the framework's message boxes.
  const std::string& AppTitle();

  // Arguments as the C runtime splits the command line; Args[0] is the program.
  std::vector<std::string> Args;
  // Full path of the program's file; empty when it does not fit in 260 bytes.
  std::string ModulePath;
  // Module that supplies resources and strings.
  HINSTANCE ResourceInstance = nullptr;
  // The window that owns the framework's message boxes while it exists.
  HWND MainWindow = nullptr;
  // Exit code of the program when InitInstance returns.
  int ExitCode = 0;

 private:
  CWinApp* previous_ = nullptr;  // a second object (in tests) stands in while it lives
  std::string title_;
  bool titleLoaded_ = false;
};

CWinApp* AfxGetApp();

// Full path of a module, or empty when it does not fit in MAX_PATH bytes.
std::string ModuleFileName(HMODULE module);

// Entry used by WinMain: fills the application from the process and runs it.
int AfxWinMain(HINSTANCE instance);
