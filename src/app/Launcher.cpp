#include "app/Launcher.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "app/SelfUpdateCount.h"
#include "app/StartupText.h"
#include "framework/Handles.h"

namespace {

// How long a terminated shadow may take to release its file, and how the copy is retried:
// a copy that runs while the old process still holds the file fails, and then nothing runs.
constexpr DWORD kShadowExitWaitMs = 5000;
constexpr int kCopyAttempts = 10;
constexpr DWORD kCopyRetryMs = 200;

enum class StopResult { kNoneOrStopped, kCannotOpen, kCannotTerminate };

StopResult StopRunningShadow(const std::string& strShadowPath) {
  // Filled once and not cleared between processes: an unreadable process keeps the last name,
  // which cannot equal the shadow path because a match ends the walk.
  char szModuleName[260] = "<unknown>";
  DWORD adwProcesses[1024];
  DWORD cbNeeded = 0;
  if (!EnumProcesses(adwProcesses, sizeof(adwProcesses), &cbNeeded)) return StopResult::kNoneOrStopped;
  DWORD nCount = cbNeeded / sizeof(DWORD);
  for (DWORD i = 0; i < nCount; ++i) {
    if (adwProcesses[i] == 0) continue;
    {
      win::UniqueKernelHandle hQuery(
          OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, adwProcesses[i]));
      if (hQuery) {
        HMODULE hModule;
        DWORD cbModules;
        if (EnumProcessModules(hQuery.Get(), &hModule, sizeof(hModule), &cbModules)) {
          GetModuleFileNameExA(hQuery.Get(), hModule, szModuleName, sizeof(szModuleName));
        }
      }
    }
    if (strcmp(szModuleName, strShadowPath.c_str()) != 0) continue;

    win::UniqueKernelHandle hProcess(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, adwProcesses[i]));
    if (!hProcess) {
      char szText[64] = {};
      snprintf(szText, sizeof(szText), "\nOpen Process fAiled:%lu\n", GetLastError());
      WriteLauncherText(szText);
      return StopResult::kCannotOpen;
    }
    if (!TerminateProcess(hProcess.Get(), 0)) {
      char szText[32] = {};
      snprintf(szText, sizeof(szText), "%lu", GetLastError());
      WriteLauncherText(szText);
      return StopResult::kCannotTerminate;
    }
    WaitForSingleObject(hProcess.Get(), kShadowExitWaitMs);
    return StopResult::kNoneOrStopped;
  }
  return StopResult::kNoneOrStopped;
}

bool CopyToShadow(const std::string& strExePath, const std::string& strShadowPath) {
  for (int i = 0; i < kCopyAttempts; ++i) {
    if (CopyFileA(strExePath.c_str(), strShadowPath.c_str(), FALSE)) return true;
    Sleep(kCopyRetryMs);
  }
  return false;
}

}  // namespace

void WriteLauncherText(const char* szText) {
  DWORD cbWritten;
  HANDLE hOut = GetStdHandle(STD_OUTPUT_HANDLE);
  if (hOut != nullptr && hOut != INVALID_HANDLE_VALUE &&
      WriteFile(hOut, szText, static_cast<DWORD>(strlen(szText)), &cbWritten, nullptr)) {
    return;
  }
  // A GUI program has no standard output of its own; a console it was started from still
  // shows the text.
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  win::UniqueFileHandle hConsole(
      CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (hConsole) WriteFile(hConsole.Get(), szText, static_cast<DWORD>(strlen(szText)), &cbWritten, nullptr);
  FreeConsole();
}

int RunLauncher(const std::string& strExePath, const std::string& strShadowPath,
                const std::string& strArgument) {
  switch (StopRunningShadow(strShadowPath)) {
    case StopResult::kCannotOpen:
      return -1;
    case StopResult::kCannotTerminate:
      return 0;
    case StopResult::kNoneOrStopped:
      break;
  }
  if (!CopyToShadow(strExePath, strShadowPath)) return 0;
  // A shadow started by a launcher begins a fresh count of self-update relaunches.
  ResetSelfUpdateCount();
  WinExec(BuildCommandLine(strShadowPath, strArgument).c_str(), SW_SHOWNORMAL);
  return 0;
}
