#include "framework/app.h"

#include <cstdlib>

#include "framework/strings.h"

namespace {
CWinApp* g_app = nullptr;
constexpr UINT kAppTitleId = 57344;  // AFX_IDS_APP_TITLE
}  // namespace

CWinApp::CWinApp(const char* appName) {
  if (appName) { title_ = appName; titleLoaded_ = true; }
  previous_ = g_app;
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = previous_;
}

const std::string& CWinApp::AppTitle() {
  if (!titleLoaded_) {
    title_ = fw::LoadResourceString(ResourceInstance ? ResourceInstance : GetModuleHandleA(nullptr),
                                    kAppTitleId);
    titleLoaded_ = true;
  }
  return title_;
}

CWinApp* AfxGetApp() { return g_app; }

std::string ModuleFileName(HMODULE module) {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(module, buffer, MAX_PATH);
  // A path that fills the buffer has been cut short.
  if (n == 0 || n >= MAX_PATH) return std::string();
  return std::string(buffer, n);
}

int AfxWinMain(HINSTANCE instance) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->ResourceInstance = instance;
  for (int i = 0; i < __argc; ++i) app->Args.emplace_back(__argv[i] ? __argv[i] : "");
  app->ModulePath = ModuleFileName(nullptr);
  app->InitInstance();
  // Returning from WinMain ends the process through the C runtime's exit, so
  // the program-wide objects are destroyed.
  return app->ExitCode;
}
