// A fresh directory for one test's files, removed with everything in it when the test ends.
// Relative names are byte strings (GBK), created through the C library as the program does.
#pragma once

#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#endif

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("pellarin-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
    prefix_ = path_.string() + static_cast<char>(std::filesystem::path::preferred_separator);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The directory with a trailing separator, as the installation directory is given.
  const std::string& Prefix() const { return prefix_; }

  // Creates the relative directory path and its parents; returns the full path.
  std::string MakeDir(const std::string& relative) const {
    std::string full = prefix_;
    for (size_t i = 0; i <= relative.size(); ++i) {
      if (i == relative.size() || relative[i] == '/' || relative[i] == '\\') {
        MakeOne(full);
        if (i < relative.size()) full += Sep();
      } else {
        full += relative[i];
      }
    }
    return full;
  }

  // Writes bytes to the relative path ("/" separates directories), creating its directories.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    size_t slash = relative.rfind('/');
    if (slash != std::string::npos) MakeDir(relative.substr(0, slash));
    std::string full = prefix_;
    for (char c : relative) full += c == '/' ? Sep() : c;
    FILE* f = fopen(full.c_str(), "wb");
    if (f != nullptr) {
      fwrite(bytes.data(), 1, bytes.size(), f);
      fclose(f);
    }
    return full;
  }

 private:
  static char Sep() { return static_cast<char>(std::filesystem::path::preferred_separator); }
  static void MakeOne(const std::string& p) {
#ifdef _WIN32
    _mkdir(p.c_str());
#else
    mkdir(p.c_str(), 0755);
#endif
  }
  std::filesystem::path path_;
  std::string prefix_;
};
