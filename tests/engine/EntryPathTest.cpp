#include "engine/EntryPath.h"

#include <gtest/gtest.h>

namespace {

std::string Local(const std::string& path) {
  std::string out;
  for (char c : path) out += c == '|' ? kLocalSeparator : c;
  return out;
}

struct Case {
  const char* dir;
  const char* name;
  const char* expected;  // "|" stands for the local separator; nullptr: refused
};

TEST(EntryPath, MapsInsideAndRefusesEverythingElse) {
  const Case cases[] = {
      {"\\", "a.dat", "a.dat"},
      {"/", "a.dat", "a.dat"},
      {"data", "a.dat", "data|a.dat"},
      {"data\\maps", "m.map", "data|maps|m.map"},
      {"data/maps/", "m.map", "data|maps|m.map"},
      {"\\data", "a.dat", "data|a.dat"},  // leading separator: relative to the installation
      {"/data//x", "a.dat", "data|x|a.dat"},
      {"数据", "说明.txt", "数据|说明.txt"},
      {"\x95\x5c", "a.dat", "\x95\x5c|a.dat"},  // a trail byte 0x5C is no separator
      {"data", "...txt", "data|...txt"},
      // Refused:
      {"..", "a.dat", nullptr},
      {"data\\..\\..", "a.dat", nullptr},
      {"data", "..\\a.dat", nullptr},
      {"data", "..", nullptr},
      {"data\\. .", "a.dat", nullptr},
      {"data\\...", "a.dat", nullptr},
      {"\\\\server\\share", "a.dat", nullptr},
      {"//server/share", "a.dat", nullptr},
      {"\\\\?\\C:", "a.dat", nullptr},
      {"C:", "a.dat", nullptr},
      {"C:\\Windows", "a.dat", nullptr},
      {"data", "a.dat:stream", nullptr},
      {"data", "a?.dat", nullptr},
      {"data", "a\x01.dat", nullptr},
      {"data", "NUL", nullptr},
      {"data", "con.txt", nullptr},  // devices answer to any extension
      {"data", "con.d", nullptr},
      {"LPT1", "a.dat", nullptr},
      {"data", "com9.log", nullptr},
      {"data", "\xe6:x.dat", nullptr},  // no GBK text: a lead byte before ":"
      {"data", "x.da\xe6", nullptr},    // a lead byte with no trail byte
      {"", "a.dat", nullptr},
      {"data", "", nullptr},
      {"\\", "\\", nullptr},
  };
  for (const Case& c : cases) {
    std::string out = "untouched";
    bool ok = MapEntryToLocalPath(c.dir, c.name, &out);
    if (c.expected == nullptr) {
      EXPECT_FALSE(ok) << c.dir << " : " << c.name;
      EXPECT_EQ(out, "untouched");
    } else {
      EXPECT_TRUE(ok) << c.dir << " : " << c.name;
      EXPECT_EQ(out, Local(c.expected)) << c.dir << " : " << c.name;
    }
  }
}

TEST(EntryPath, DeviceNamesNeedTheWholeBaseName) {
  std::string out;
  EXPECT_TRUE(MapEntryToLocalPath("data", "console.txt", &out));
  EXPECT_TRUE(MapEntryToLocalPath("data", "com10.txt", &out));
  EXPECT_TRUE(MapEntryToLocalPath("data", "lpt.txt", &out));
  EXPECT_FALSE(MapEntryToLocalPath("data", "Aux .txt", &out));
}

}  // namespace
