// A scratch directory that is the current directory for the life of the object, as the
// installation directory is for the program. Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "framework/FileBytes.h"
#include "support/ScratchDir.h"

class WorkDir {
 public:
  WorkDir() {
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, old);
    old_ = old;
    SetCurrentDirectoryA(scratch_.Prefix().c_str());
  }
  ~WorkDir() { SetCurrentDirectoryA(old_.c_str()); }
  WorkDir(const WorkDir&) = delete;
  WorkDir& operator=(const WorkDir&) = delete;

  // Writes bytes to the relative path ("/" separates directories), creating its directories.
  void Write(const std::string& relative, const std::string& bytes) const { scratch_.Write(relative, bytes); }

  // The whole content of the relative file, or "<missing>" when it cannot be read.
  static std::string Read(const std::string& relative) {
    std::string text;
    return ReadFileBytes(relative.c_str(), &text) ? text : "<missing>";
  }

  static bool Exists(const std::string& relative) {
    return GetFileAttributesA(relative.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  static bool IsDirectory(const std::string& relative) {
    DWORD a = GetFileAttributesA(relative.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

 private:
  ScratchDir scratch_;
  std::string old_;
};
