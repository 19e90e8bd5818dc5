// The texts start-up derives from its argument and its own path. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>

// Argument that stands for the platform itself, and the default when none is given.
constexpr const char* PLATFORM_ARGUMENT = "plat";

// The two numbers of a game argument read with "%d,%d"; a field that is not a decimal number
// leaves its number, and every later one, at 0.
struct ArgumentNumbers {
  int32_t nFirst = 0;
  int32_t nSecond = 0;
};
ArgumentNumbers ParseArgumentNumbers(const std::string& strArgument);

// "自动更新程序 大厅plat" for the platform, "自动更新程序 游戏(<first number>)" for any other argument.
std::string BuildWindowTitle(const std::string& strArgument);

// The installation directory of the executable path: up to and including its last "\" (a
// whole GBK character), or empty.
std::string InstallDirOf(const std::string& strExePath);

// The shadow path: strExePath with its last three bytes replaced by "san" (unchanged if shorter).
std::string ShadowPathOf(const std::string& strExePath);

// True when the file-name part of the path (after the last "\", else the last "/") is
// "Pellarin.san", ignoring the case of ASCII letters.
bool IsShadowPath(const std::string& strExePath);

// The command line that starts the program at strPath with the argument: path, space, argument.
std::string BuildCommandLine(const std::string& strPath, const std::string& strArgument);
