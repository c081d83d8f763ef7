// Helpers shared by the test programs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/message_box.h"

// Name of the instance list of this test program's own registry object.
std::string TestProgramListName();

namespace testing_support {

// Records every message box and answers each with `answer`, for the lifetime of the object.
class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int answer = IDOK);
  ~MessageBoxRecorder();
  std::vector<fw::MessageBoxCall> calls;
  int answer;
};

// A fresh folder under the temporary folder, removed with its contents at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name = "lmtest");
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
void RemoveTree(const std::string& path);

}  // namespace testing_support
