#include "framework/message_box.h"

#include "framework/app.h"

namespace fw {
namespace {
MessageBoxHook& Hook() {
  static MessageBoxHook hook;
  return hook;
}
}  // namespace

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  if (Hook()) return Hook()(MessageBoxCall{owner, text, caption, style});
  return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

}  // namespace fw

int AfxMessageBox(const std::string& text, UINT style) {
  if ((style & MB_TYPEMASK) == MB_OK && (style & MB_ICONMASK) == 0) style |= MB_ICONEXCLAMATION;
  std::string caption;
  if (CWinApp* app = AfxGetApp()) caption = app->AppTitle();
  return fw::ShowMessageBox(AfxGetApp() ? AfxGetApp()->MainWindow : nullptr, text, caption, style);
}
