// One row of a file list: what the server lists, what exists on disk, or what to update.
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum FileKind : int32_t { FILE_KIND_FILE = 0, FILE_KIND_DIRECTORY = 1 };

struct FileEntry {
  std::string m_strDir;   // directory relative to the installation; "/" or "\" is the installation itself
  std::string m_strName;  // file name, or directory name for a directory entry
  int32_t m_nCrc = 0;     // listed checksum (remote and work rows) or checksum on disk (local rows)
  int32_t m_nKind = FILE_KIND_FILE;  // set in work rows only: a name with "." is a file
};

// Lists only grow at the end; their order is the order of appending and nothing is sorted.
using FileList = std::vector<FileEntry>;
