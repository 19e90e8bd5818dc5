// What differs between the hosts the publisher runs on: how file names become GBK, what the
// release copies are called, how paths are shown, and how files and trees are opened and
// swapped. GbkName_posix.cpp / HostFile_posix.cpp and their _win32 twins implement it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// Converts one file-name component of this host to GBK and returns true; false when GBK
// cannot hold every character of it (or the host name is not valid in its own charset).
// POSIX reads names in the charset of the current C locale, UTF-8 when it names none.
bool HostNameToGbk(const std::filesystem::path& component, std::string* gbk);

// The name the release copy of component gets: its GBK bytes on POSIX, which is what a web
// server maps the updater's raw GBK URL bytes to; the unchanged wide name on Windows.
std::filesystem::path ReleaseCopyName(const std::filesystem::path& component, const std::string& gbk);

// The path as text for messages, in the charset of this host's terminal.
std::string DisplayPath(const std::filesystem::path& path);

// Opens the file at path with the C library's mode; nullptr on failure. The caller closes it.
FILE* OpenHostFile(const std::filesystem::path& path, const char* mode);

// True when f is a terminal.
bool IsTerminal(FILE* f);

// Swaps two existing directories in one step and returns true; false, changing nothing, when
// the host cannot do that.
bool ExchangeDirectories(const std::filesystem::path& a, const std::filesystem::path& b);
