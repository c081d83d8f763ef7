// Every message box of the program goes through ShowMessageBox, so that tests
// of a routine can record what would be shown and give the answer.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace fw {

struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
};

// Returns the button pressed (IDOK, IDYES, ...), as MessageBoxA does.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);

// A hook replaces the real box for the whole process; an empty function removes it.
using MessageBoxHook = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace fw

// The framework's message box: the application title as caption, no owner.
// A box with only an OK button carries the exclamation icon unless the caller
// names another icon.
int AfxMessageBox(const std::string& text, UINT style = MB_OK);
