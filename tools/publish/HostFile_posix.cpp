#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "publish/HostNames.h"

FILE* OpenHostFile(const std::filesystem::path& path, const char* mode) { return fopen(path.c_str(), mode); }

bool IsTerminal(FILE* f) { return f != nullptr && isatty(fileno(f)) == 1; }

bool ExchangeDirectories(const std::filesystem::path& a, const std::filesystem::path& b) {
#ifdef RENAME_EXCHANGE
  // A web server serving b sees the old tree or the new one, never none.
  return renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
#else
  (void)a;
  (void)b;
  return false;
#endif
}
