// winsock2.h must come before windows.h, which the header pulls in.
#include <winsock2.h>

#include "app/UpdateApp.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <cstdlib>
#include <string>

#include "app/AppGlobals.h"
#include "app/HandOff.h"
#include "app/Launcher.h"
#include "app/StartupText.h"
#include "app/resource.h"
#include "framework/Sockets.h"
#include "ui/UpdateDlg.h"

// Constructed in this order, before InitInstance runs; theUpdater belongs to the engine.
CUpdateApp theApp;
std::string g_strArgument = PLATFORM_ARGUMENT;
std::string g_strSkinDir = "Patch\\";

namespace {

std::string RunningExePath(DWORD cchBuffer) {
  std::string strPath(cchBuffer, '\0');
  DWORD n = GetModuleFileNameA(nullptr, &strPath[0], cchBuffer - 1);
  strPath.resize(n);
  return strPath;
}

}  // namespace

BOOL CUpdateApp::InitInstance() {
  const std::string strInstallDir = InstallDirOf(RunningExePath(520));
  SetCurrentDirectoryA(strInstallDir.c_str());

  std::string strArgument;
  if (ParseCommandLine(strArgument)) g_strArgument = strArgument;

  const std::string strTitle = BuildWindowTitle(g_strArgument);
  const ArgumentNumbers numbers = ParseArgumentNumbers(g_strArgument);

  // One updater per platform or game number: the title carries the argument.
  if (HWND hOther = FindWindowA(nullptr, strTitle.c_str())) {
    SetForegroundWindow(hOther);
    return 0;
  }

  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  CWinApp::InitInstance();

  if (!AfxSocketInit(IDP_SOCKETS_INIT_FAILED)) return 0;

  SetRegistryKey("应用程序向导生成的本地应用程序");

  // The server choice draws from the C library's generator.
  srand(timeGetTime());

  WSADATA wsaData;
  if (WSAStartup(MAKEWORD(2, 2), &wsaData) != 0) return 0;

  const std::string strExePath = RunningExePath(1025);
  const std::string strShadowPath = ShadowPathOf(strExePath);

  if (!IsShadowPath(strExePath)) return RunLauncher(strExePath, strShadowPath, g_strArgument);

  CUpdateDlg* pDlg = new CUpdateDlg(nullptr);
  m_pMainWnd = pDlg;
  pDlg->m_strTitle = strTitle;
  if (pDlg->DoModal() == IDOK) HandOff(strInstallDir, strShadowPath, numbers.nFirst, numbers.nSecond);
  m_pMainWnd = nullptr;
  delete pDlg;
  return 0;
}
