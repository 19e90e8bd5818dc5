#include "app/StartupText.h"

#include <cstdio>

#include "framework/MbcsText.h"

ArgumentNumbers ParseArgumentNumbers(const std::string& strArgument) {
  ArgumentNumbers numbers;
  int nFirst = 0;
  int nSecond = 0;
  sscanf(strArgument.c_str(), "%d,%d", &nFirst, &nSecond);
  numbers.nFirst = nFirst;
  numbers.nSecond = nSecond;
  return numbers;
}

std::string BuildWindowTitle(const std::string& strArgument) {
  std::string strTitle = "自动更新程序";
  if (strArgument == PLATFORM_ARGUMENT) {
    strTitle += " 大厅";
    strTitle += strArgument;
    return strTitle;
  }
  char szGame[100] = {};
  snprintf(szGame, sizeof(szGame), " 游戏(%d)", static_cast<int>(ParseArgumentNumbers(strArgument).nFirst));
  return strTitle + szGame;
}

std::string InstallDirOf(const std::string& strExePath) {
  size_t nPos = mbcs::FindLastChar(strExePath, '\\');
  return nPos == std::string::npos ? std::string() : strExePath.substr(0, nPos + 1);
}

std::string ShadowPathOf(const std::string& strExePath) {
  if (strExePath.size() < 3) return strExePath;
  return strExePath.substr(0, strExePath.size() - 3) + "san";
}

bool IsShadowPath(const std::string& strExePath) {
  size_t nPos = mbcs::FindLastChar(strExePath, '\\');
  if (nPos == std::string::npos) nPos = mbcs::FindLastChar(strExePath, '/');
  std::string strName = nPos == std::string::npos ? strExePath : strExePath.substr(nPos + 1);
  return mbcs::EqualsNoCase(strName, "Pellarin.san");
}

std::string BuildCommandLine(const std::string& strPath, const std::string& strArgument) {
  return strPath + " " + strArgument;
}
