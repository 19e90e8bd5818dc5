// Writes what the updater downloads for one target: the server tree
// <out>/kv9update/<target>/filelist.list and <out>/kv9update/<target>/release/... made from a
// release directory, every file checksummed while it is copied. Portable: no Windows header.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

struct PublishRequest {
  std::filesystem::path releaseDir;
  std::string target;  // ASCII; names the server directory below "kv9update"
  std::filesystem::path outDir;
  FILE* progress = nullptr;     // where progress lines go; nullptr for none
  bool progressAlways = false;  // report however small the tree (a terminal watches)
  bool progressTerminal = false;
  size_t progressMinFiles = 1000;            // a tree this large reports progress...
  uint64_t progressMinBytes = 256ull << 20;  // ...and so does one with this many bytes
  size_t progressEveryFiles = 500;
  const std::atomic<bool>* cancel = nullptr;  // when it turns true the run stops and cleans up
};

struct PublishSummary {
  size_t nFiles = 0;
  size_t nDirectories = 0;
  uint64_t nBytes = 0;
  std::filesystem::path published;    // <out>/kv9update/<target>
  std::vector<std::string> warnings;  // entries the updater will skip
};

// Publishes the release and returns true. The new tree is written beside the final one and
// takes its place only when complete; on failure nothing of it is left, an older publication
// of the target stays as it was, and errors holds one message per problem, naming the file.
bool PublishRelease(const PublishRequest& request, PublishSummary* summary, std::vector<std::string>* errors);

// The text of one file-list row: directory, name and signed checksum, ending in CR LF.
std::string FileListRow(const std::string& strDir, const std::string& strName, int32_t nCrc);

// The line after the last row. It is no entry: a reader that drops the last entry it reads
// drops nothing real.
extern const char kFileListEnd[];
