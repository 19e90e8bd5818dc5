#include "framework/WinApp.h"

#include <cstdlib>

#include "framework/Dialog.h"

namespace {
CWinApp* g_pTheApp = nullptr;
}

CWinApp::CWinApp() { g_pTheApp = this; }

CWinApp::~CWinApp() {
  if (g_pTheApp == this) g_pTheApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  // The only windows of this framework are modal dialogs, which run their own loop; a loop
  // here serves a main window that outlives InitInstance, and ends at once without one.
  MSG msg = {};
  while (m_pMainWnd != nullptr && IsWindow(m_pMainWnd->m_hWnd) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool CWinApp::ParseCommandLine(std::string& strArgument) const {
  // The C runtime splits the ANSI command line with the usual quoting rules.
  for (int i = 1; i < __argc; ++i) {
    const char* p = __argv[i];
    if (p[0] == '-' || p[0] == '/') continue;
    strArgument = p;
    return true;
  }
  return false;
}

void CWinApp::SetRegistryKey(const char* szKey) { m_strRegistryKey = szKey; }

CWinApp* AfxGetApp() { return g_pTheApp; }

HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleA(nullptr); }

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return 1;
  pApp->m_hInstance = hInstance;
  if (!pApp->InitInstance()) return 0;
  return pApp->Run();
}
