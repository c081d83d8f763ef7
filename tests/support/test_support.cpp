#include "tests/support/test_support.h"

#include "framework/files.h"

#include <cstdio>
#include <fstream>
#include <sstream>

std::string TestProgramListName() { return "Lumishot.TestPrograms." + std::to_string(GetCurrentProcessId()); }

namespace testing_support {

MessageBoxRecorder::MessageBoxRecorder(int a) : answer(a) {
  fw::SetMessageBoxHook([this](const fw::MessageBoxCall& call) {
    calls.push_back(call);
    return answer;
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { fw::SetMessageBoxHook(nullptr); }

TempFolder::TempFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  path_ = std::string(temp) + name + "_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++counter);
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& path) { return fw::PathExists(path); }

void RemoveTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    return;
  }
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name != "." && name != "..") RemoveTree(path + "\\" + name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(path.c_str());
}

}  // namespace testing_support
