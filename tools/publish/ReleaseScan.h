// Walks a release directory into the rows of its file list, refusing what the list or the
// updater cannot carry. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// One directory or file of the release, in list order.
struct ReleaseItem {
  std::string strDir;   // list directory field: "\" for the root, else "data\maps"
  std::string strName;  // the name in GBK
  bool bDirectory = false;
  uint64_t nSize = 0;                  // bytes of a file when scanned
  std::filesystem::path source;        // the file or directory in the release directory
  std::filesystem::path copyRelative;  // its copy's path below "release"
};

struct ReleaseScan {
  std::vector<ReleaseItem> items;     // every directory before anything inside it
  std::vector<std::string> errors;    // one message per refused name, naming the file
  std::vector<std::string> warnings;  // entries the updater will skip
  size_t nFiles = 0;
  uint64_t nBytes = 0;
};

// Files of this size or more lie outside the updater's 32-bit sizes.
constexpr uint64_t kMaxReleaseFile = 0x80000000u;

// Scans root for target. Within a directory the entries are sorted by their GBK bytes; all of
// a directory's rows come before the rows of its subdirectories. Nothing is followed into a
// refused directory, nor into a symbolic link to a directory.
void ScanRelease(const std::filesystem::path& root, const std::string& target, ReleaseScan* scan);
