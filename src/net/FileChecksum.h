// The file checksum every list entry carries: zlib's CRC-32 called with the running
// value 0xFFFFFFFF (register start 0, final XOR 0xFFFFFFFF), held as a signed 32-bit value.
// Portable: no Windows header. Keeps no state; safe on any thread.
#pragma once

#include <cstddef>
#include <cstdint>

// Running value a checksum starts from.
constexpr uint32_t kCrcStart = 0xFFFFFFFFu;

// Continues the checksum crc over len bytes at data; returns the new running value.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t len);

// Checksum of the first nSize bytes of the file at szPath (the whole file for -1), read in
// bounded chunks; -1 when the file cannot be opened. An empty file also gives -1.
int32_t GetFileCrc32(const char* szPath, int32_t nSize = -1);
