// What follows a dialog that ended with OK: relaunch the shadow after a self-update, start
// the platform for "plat", or tell the running platform that its game was updated.
// Main thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The platform's executable, its window class and the game-updated message with its wParam.
constexpr const char* PLATFORM_EXE = "Tarsuvio.exe";
constexpr const char* PLATFORM_WND_CLASS = "PTkv9MRLVTarsuvio";
constexpr UINT WM_GAME_UPDATED = WM_USER + 1000;
constexpr WPARAM GAME_UPDATED_WPARAM = 20;
// Time the platform has to show its window before it is restarted once.
constexpr DWORD PLATFORM_START_WAIT_MS = 2000;

// Performs the hand-off with the installation directory, the shadow path (the running file)
// and the two numbers of the argument.
void HandOff(const std::string& strInstallDir, const std::string& strShadowPath, int32_t nFirst,
             int32_t nSecond);

// True when a top-level window of class PLATFORM_WND_CLASS exists.
bool IsPlatformWindowOpen();

// Finds the first process of the snapshot whose executable name equals szName exactly and
// stores its id; false (and *pdwProcessId untouched) when there is none.
bool FindProcessByName(const char* szName, DWORD* pdwProcessId);

// Terminates the process with exit code 0; failures go to the debugger output.
void KillProcessById(DWORD dwProcessId);

// The lParam of the game-updated message: low 16 bits of each number, first in the low word.
LPARAM GameUpdatedLParam(int32_t nFirst, int32_t nSecond);
