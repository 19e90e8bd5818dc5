#include "net/FileChecksum.h"

#include <gtest/gtest.h>

#include <string>

#include "support/ScratchDir.h"

namespace {

struct KnownAnswer {
  const char* name;
  std::string bytes;
  int32_t crc;
};

TEST(FileChecksum, KnownAnswers) {
  const KnownAnswer cases[] = {
      {"abc", "abc", 899311407},
      {"check", "123456789", -771566985},
      {"empty", "", -1},
  };
  ScratchDir dir;
  for (const KnownAnswer& c : cases) {
    std::string path = dir.Write(std::string(c.name) + ".bin", c.bytes);
    EXPECT_EQ(GetFileCrc32(path.c_str()), c.crc) << c.name;
  }
  EXPECT_EQ(GetFileCrc32((dir.Prefix() + "missing.bin").c_str()), -1);
}

// The chunked read must give the checksum of the bytes as one block, across chunk borders,
// and a size limits the bytes covered.
TEST(FileChecksum, ChunkedReadMatchesOneBlock) {
  std::string bytes((3 << 20) + 12345, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
  ScratchDir dir;
  std::string path = dir.Write("big.bin", bytes);

  int32_t whole = static_cast<int32_t>(Crc32Update(kCrcStart, bytes.data(), bytes.size()));
  EXPECT_EQ(GetFileCrc32(path.c_str()), whole);
  EXPECT_EQ(GetFileCrc32(path.c_str(), -1), whole);

  const int32_t sizes[] = {0, 1, (1 << 20) - 1, 1 << 20, (1 << 20) + 1, 50000000};
  for (int32_t n : sizes) {
    size_t covered = std::min<size_t>(static_cast<size_t>(n), bytes.size());
    EXPECT_EQ(GetFileCrc32(path.c_str(), n),
              static_cast<int32_t>(Crc32Update(kCrcStart, bytes.data(), covered)))
        << n;
  }
}

// Chaining: the checksum of a + b equals continuing the checksum of a over b.
TEST(FileChecksum, UpdateChains) {
  uint32_t part = Crc32Update(kCrcStart, "1234", 4);
  EXPECT_EQ(static_cast<int32_t>(Crc32Update(part, "56789", 5)), -771566985);
  EXPECT_EQ(Crc32Update(kCrcStart, nullptr, 0), kCrcStart);
}

}  // namespace
