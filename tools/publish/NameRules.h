// Which release names and targets the file list and the updater can carry.
// Portable: no Windows header.
#pragma once

#include <string>

// Longest name, and longest local path of a file, the updater's buffers hold.
constexpr size_t kMaxClientPath = 259;
// Longest local path of a directory the updater creates.
constexpr size_t kMaxClientDirPath = 255;
// Longest URL path the updater requests.
constexpr size_t kMaxClientUrl = 259;

// Why the file list cannot carry this GBK name of a file (or of a directory), or nullptr.
const char* RefuseEntryName(const std::string& strName, bool bDirectory);

// Why target cannot name a publication, or nullptr.
const char* RefuseTarget(const std::string& target);

// Why the entry (list directory field, name) would not fit the updater's buffers for target,
// or an empty text.
std::string RefuseEntryLength(const std::string& target, const std::string& strDir,
                              const std::string& strName, bool bDirectory);

// A note for an entry the updater skips on purpose, or nullptr.
const char* NoteSkippedEntry(const std::string& strDir, const std::string& strName);
