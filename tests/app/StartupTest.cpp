// What start-up and the hand-off derive from the argument and the program's own path.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/HandOff.h"
#include "app/SelfUpdateCount.h"
#include "app/StartupText.h"
#include "ui/UpdateDlg.h"

std::string g_strArgument = "plat";
std::string g_strSkinDir = "Patch\\";

namespace {

TEST(Argument, TitleNumbersAndTarget) {
  struct Case {
    const char* szArgument;
    const char* szTitle;
    int nFirst, nSecond;
    const char* szTarget;
  };
  const Case kCases[] = {
      {"plat", "自动更新程序 大厅plat", 0, 0, "plat"},
      {"12,3", "自动更新程序 游戏(12)", 12, 3, "12"},
      {"abc,5", "自动更新程序 游戏(0)", 0, 0, "abc"},  // "%d" stops at once
      {"PLAT", "自动更新程序 游戏(0)", 0, 0, "PLAT"},  // the platform test is case-sensitive
      {"7", "自动更新程序 游戏(7)", 7, 0, "7"},
      {"70000,-2", "自动更新程序 游戏(70000)", 70000, -2, "70000"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(BuildWindowTitle(c.szArgument), c.szTitle) << c.szArgument;
    ArgumentNumbers numbers = ParseArgumentNumbers(c.szArgument);
    EXPECT_EQ(numbers.nFirst, c.nFirst) << c.szArgument;
    EXPECT_EQ(numbers.nSecond, c.nSecond) << c.szArgument;
    EXPECT_EQ(UpdateTargetOf(c.szArgument), c.szTarget) << c.szArgument;
  }
  EXPECT_EQ(UpdateTargetOf(std::string(300, 'g') + ",1"), std::string(259, 'g')) << "cut to its buffer";
}

TEST(Paths, InstallDirShadowAndRole) {
  // "\x95\x5c" is one GBK character whose trail byte is the code of "\".
  EXPECT_EQ(InstallDirOf("C:\\Games\\Pellarin.exe"), "C:\\Games\\");
  EXPECT_EQ(InstallDirOf("C:\\\x95\x5c\\Pellarin.exe"), "C:\\\x95\x5c\\");
  EXPECT_EQ(InstallDirOf("C:\\a\x95\x5cPellarin.exe"), "C:\\");
  EXPECT_EQ(InstallDirOf("Pellarin.exe"), "");

  EXPECT_EQ(ShadowPathOf("C:\\Games\\Pellarin.exe"), "C:\\Games\\Pellarin.san");
  EXPECT_EQ(ShadowPathOf("C:\\Games\\Pellarin.bin"), "C:\\Games\\Pellarin.san");
  EXPECT_EQ(ShadowPathOf("C:\\Games\\Pellarin"), "C:\\Games\\Pellasan") << "exactly three bytes";

  struct RoleCase {
    const char* szPath;
    bool bShadow;
  };
  const RoleCase kRoles[] = {
      {"C:\\Games\\Pellarin.san", true},  {"C:\\Games\\PELLARIN.SAN", true},
      {"C:/Games/Pellarin.san", true},    {"Pellarin.san", true},
      {"C:\\Games\\Pellarin.exe", false}, {"C:\\Games\\Other.san", false},
      {"C:\\Pellarin.san\\x.exe", false},
  };
  for (const RoleCase& c : kRoles) EXPECT_EQ(IsShadowPath(c.szPath), c.bShadow) << c.szPath;

  EXPECT_EQ(BuildCommandLine("C:\\Games\\Pellarin.san", "plat"), "C:\\Games\\Pellarin.san plat");
}

TEST(HandOff, GameUpdatedLParamKeepsTheLow16BitsOfEachNumber) {
  EXPECT_EQ(GameUpdatedLParam(12, 3), 0x0003000C);
  EXPECT_EQ(static_cast<DWORD>(GameUpdatedLParam(70000, -2)), 0xFFFE1170u);
  EXPECT_EQ(GameUpdatedLParam(0, 0), 0);
}

TEST(HandOff, SelfUpdateRelaunchesAreBounded) {
  ResetSelfUpdateCount();
  for (int i = 0; i < MAX_SELF_UPDATE_RELAUNCHES; ++i) EXPECT_TRUE(TakeSelfUpdateRelaunch()) << i;
  EXPECT_FALSE(TakeSelfUpdateRelaunch());
  char szValue[16] = {};
  GetEnvironmentVariableA(SELF_UPDATE_COUNT_VAR, szValue, sizeof(szValue));
  EXPECT_STREQ(szValue, "3") << "what a relaunched shadow inherits";
  ResetSelfUpdateCount();
  EXPECT_TRUE(TakeSelfUpdateRelaunch()) << "a launcher starts a fresh count";
  SetEnvironmentVariableA(SELF_UPDATE_COUNT_VAR, "garbage");
  EXPECT_TRUE(TakeSelfUpdateRelaunch());
  ResetSelfUpdateCount();
}

}  // namespace
