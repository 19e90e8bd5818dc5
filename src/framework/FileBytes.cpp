#include "framework/FileBytes.h"

#include <cstdio>

bool ReadFileBytes(const char* szPath, std::string* out) {
  out->clear();
  FILE* f = fopen(szPath, "rb");
  if (f == nullptr) return false;
  char chunk[65536];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) out->append(chunk, got);
  fclose(f);
  return true;
}
