#include <io.h>

#include <cstdio>
#include <string>

#include "publish/HostNames.h"

FILE* OpenHostFile(const std::filesystem::path& path, const char* mode) {
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
}

bool IsTerminal(FILE* f) { return f != nullptr && _isatty(_fileno(f)) != 0; }

// Windows has no atomic exchange of two directories.
bool ExchangeDirectories(const std::filesystem::path&, const std::filesystem::path&) { return false; }
