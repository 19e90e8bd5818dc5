// Reading a server's file list, finding what of it exists on disk, and comparing the two
// into the work list of entries to create or download. Portable: no Windows header.
// All of it runs on the update worker thread only.
#pragma once

#include <cstddef>
#include <string>

#include "engine/FileEntry.h"

// Longest directory or name field a list line may carry; a longer one skips the line.
constexpr size_t kMaxListField = 9999;

// The program-wide work list: appended to by CompareFileLists, walked by the update run.
extern FileList g_WorkList;

// Appends every well-formed line "dir:name:checksum" of the list text to list. A malformed
// line (empty field, missing colon, checksum not a number, field over 9999 bytes) is skipped.
void ParseFileList(const char* data, size_t len, FileList& list);

// Appends the entries of the list file at szPath to list; a file that cannot be read adds none.
void LoadFileList(const char* szPath, FileList& list);

// Appends to local one row per remote row whose path exists below strInstallDir (given with
// its trailing separator, or empty for the current directory), with the checksum on disk for
// names that hold "." and 0 for others. Rows the path rule refuses are never looked at.
void BuildLocalList(const FileList& remote, FileList& local, const std::string& strInstallDir);

// Appends to work the remote rows to handle and sets the kind of every work row: first the
// existing files whose checksum differs (once per equal local row), then the rows missing on
// disk, both in list order. Keys compare ignoring the case of ASCII letters. Linear time.
void CompareFileLists(const FileList& remote, const FileList& local, FileList& work);

// True when the name denotes a file: it holds "." as a whole character.
bool IsFileName(const std::string& strName);
