#include "net/FileChecksum.h"

#include <cstdio>
#include <memory>

#include <zlib.h>

namespace {

// Files are read in chunks of this size: constant memory whatever the file's size.
constexpr size_t kChunk = 1 << 20;

struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};

}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t len) {
  // zlib returns 0 for a null buffer instead of the running value: never pass one.
  const Bytef* p = static_cast<const Bytef*>(data);
  while (len > 0 && p != nullptr) {
    uInt n = len > 0x40000000u ? 0x40000000u : static_cast<uInt>(len);
    crc = static_cast<uint32_t>(crc32(crc, p, n));
    p += n;
    len -= n;
  }
  return crc;
}

int32_t GetFileCrc32(const char* szPath, int32_t nSize) {
  std::unique_ptr<FILE, FileCloser> file(fopen(szPath, "rb"));
  if (!file) return -1;
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[kChunk]);
  uint32_t crc = kCrcStart;
  // nSize < 0 covers the whole file; otherwise at most nSize bytes from the start.
  uint64_t left = nSize < 0 ? UINT64_MAX : static_cast<uint64_t>(nSize);
  while (left > 0) {
    size_t want = left < kChunk ? static_cast<size_t>(left) : kChunk;
    size_t got = fread(buffer.get(), 1, want, file.get());
    crc = Crc32Update(crc, buffer.get(), got);
    left -= got;
    if (got < want) break;  // end of file, or a read error: the checksum covers what was read
  }
  return static_cast<int32_t>(crc);
}
