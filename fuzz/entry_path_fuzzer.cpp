// Any directory and name (split at the first NUL): an accepted entry must map to a path that
// stays inside the installation directory.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/EntryPath.h"
#include "framework/MbcsText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t nul = input.find('\0');
  std::string dir = input.substr(0, nul);
  std::string name = nul == std::string::npos ? std::string() : input.substr(nul + 1);
  std::string path;
  if (!MapEntryToLocalPath(dir, name, &path)) return 0;
  if (path.empty() || mbcs::IsSeparator(path[0]) || path.find(':') != std::string::npos) abort();
  for (const std::string& part : mbcs::SplitAtSeparators(path)) {
    if (part.empty() || part.find_first_not_of(". ") == std::string::npos) abort();
  }
  return 0;
}
