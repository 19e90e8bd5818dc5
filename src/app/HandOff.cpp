#include "app/HandOff.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include "app/AppGlobals.h"
#include "app/SelfUpdateCount.h"
#include "app/StartupText.h"
#include "engine/Globals.h"
#include "framework/Handles.h"

namespace {

INT_PTR StartPlatform(const std::string& strInstallDir) {
  return reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", PLATFORM_EXE, "run", strInstallDir.c_str(), SW_SHOW));
}

}  // namespace

LPARAM GameUpdatedLParam(int32_t nFirst, int32_t nSecond) {
  return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(nFirst), static_cast<WORD>(nSecond)));
}

bool IsPlatformWindowOpen() { return FindWindowA(PLATFORM_WND_CLASS, nullptr) != nullptr; }

bool FindProcessByName(const char* szName, DWORD* pdwProcessId) {
  win::UniqueFileHandle hSnapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!hSnapshot) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL bMore = Process32First(hSnapshot.Get(), &entry); bMore;
       bMore = Process32Next(hSnapshot.Get(), &entry)) {
    if (strcmp(entry.szExeFile, szName) == 0) {
      *pdwProcessId = entry.th32ProcessID;
      return true;
    }
  }
  return false;
}

void KillProcessById(DWORD dwProcessId) {
  win::UniqueKernelHandle hProcess(OpenProcess(PROCESS_TERMINATE, TRUE, dwProcessId));
  if (!hProcess) {
    OutputDebugStringA("Open the Process Failed.");
    return;
  }
  if (!TerminateProcess(hProcess.Get(), 0)) {
    char szText[128] = {};
    snprintf(szText, sizeof(szText), "TerminateProcess Failed; ErrorCode: %lu", GetLastError());
    OutputDebugStringA(szText);
  }
}

void HandOff(const std::string& strInstallDir, const std::string& strShadowPath, int32_t nFirst,
             int32_t nSecond) {
  // Past the bound of relaunches in a row, go on as if the updater had not been replaced.
  if (g_bSelfUpdate.load() && TakeSelfUpdateRelaunch()) {
    WinExec(BuildCommandLine(strShadowPath, g_strArgument).c_str(), SW_SHOWNORMAL);
    return;
  }
  // The platform and what it starts later begin with no relaunch count of ours.
  ResetSelfUpdateCount();

  if (g_strArgument == PLATFORM_ARGUMENT) {
    INT_PTR nResult = StartPlatform(strInstallDir);
    if (nResult <= 32) {
      char szText[128] = {};
      snprintf(szText, sizeof(szText), "ShellExecute return code: %d;", static_cast<int>(nResult));
      OutputDebugStringA(szText);
      return;
    }
    Sleep(PLATFORM_START_WAIT_MS);
    DWORD dwProcessId = static_cast<DWORD>(-1);
    if (!IsPlatformWindowOpen() && FindProcessByName(PLATFORM_EXE, &dwProcessId)) {
      KillProcessById(dwProcessId);
      StartPlatform(strInstallDir);
    }
    return;
  }

  if (g_bUpdateOk.load()) {
    HWND hPlatform = FindWindowA(PLATFORM_WND_CLASS, nullptr);
    if (hPlatform != nullptr)
      PostMessageA(hPlatform, WM_GAME_UPDATED, GAME_UPDATED_WPARAM, GameUpdatedLParam(nFirst, nSecond));
  }
}
