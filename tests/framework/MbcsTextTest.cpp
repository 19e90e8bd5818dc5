#include "framework/MbcsText.h"

#include <gtest/gtest.h>

namespace {

// "\x95\x5c" is one GBK character whose trail byte is the code of "\".
const std::string kTrail5C = "\x95\x5c";

TEST(MbcsText, ScansStepOverTrailBytes) {
  EXPECT_EQ(mbcs::FindLastSeparator("a\\b/c"), 3u);
  EXPECT_EQ(mbcs::FindLastSeparator("dir\\" + kTrail5C), 3u);
  EXPECT_EQ(mbcs::FindLastSeparator(kTrail5C), std::string::npos);
  EXPECT_EQ(mbcs::FindLastSeparator(""), std::string::npos);
  // A lead byte at the very end stands alone; it swallows nothing.
  EXPECT_EQ(mbcs::FindLastSeparator("a\\\x95"), 1u);

  EXPECT_TRUE(mbcs::ContainsChar("数据.dat", '.'));
  EXPECT_FALSE(mbcs::ContainsChar("数据", '.'));
  EXPECT_FALSE(mbcs::ContainsChar(kTrail5C, '\\'));

  std::vector<std::string> parts = mbcs::SplitAtSeparators("a\\" + kTrail5C + "/b");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[1], kTrail5C);
}

TEST(MbcsText, CaseFoldsAsciiLettersOnly) {
  EXPECT_TRUE(mbcs::EqualsNoCase("Pellarin.EXE", "pellarin.exe"));
  EXPECT_FALSE(mbcs::EqualsNoCase("a", "ab"));
  // 0xC1 and 0xE1 differ by 0x20 like a letter pair, but are not ASCII letters.
  EXPECT_FALSE(mbcs::EqualsNoCase("\xC1", "\xE1"));
  EXPECT_EQ(mbcs::LowerAscii("ABC\xC1z"), "abc\xC1z");
}

}  // namespace
