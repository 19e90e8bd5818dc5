// A stand-in for the platform client "Tarsuvio.exe", for the tests and the demo. It shows a
// small top-level window of the platform's class and appends to "tarsuvio-record.txt" in its
// own directory one line for how it was started and one for every message 2024 it receives:
//   start pid=<id> cwd=<dir> cmdline=<line>
//   message 2024 wparam=<n> lparam=0x<hex> low=<n> high=<n>
//   exit pid=<id>
// Control files in its directory: "tarsuvio-nowindow" (taken away on start) makes this start
// come up without a window, as a platform that hangs; "tarsuvio-quit" ends every instance.
// Each instance ends on its own after TARSUVIO_LIFETIME_MS (default 20000) milliseconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT kGameUpdated = WM_USER + 1000;
constexpr UINT_PTR kPollTimer = 1;
std::string g_strDir;
DWORD g_dwDeadline = 0;

void Record(const char* szLine) {
  std::string strPath = g_strDir + "tarsuvio-record.txt";
  // Several instances may write at once; the record is opened, appended to and closed per line.
  for (int i = 0; i < 50; ++i) {
    HANDLE h = CreateFileA(strPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD cb;
      WriteFile(h, szLine, static_cast<DWORD>(strlen(szLine)), &cb, nullptr);
      WriteFile(h, "\r\n", 2, &cb, nullptr);
      CloseHandle(h);
      return;
    }
    Sleep(20);
  }
}

bool ShouldQuit() {
  return GetFileAttributesA((g_strDir + "tarsuvio-quit").c_str()) != INVALID_FILE_ATTRIBUTES ||
         static_cast<LONG>(GetTickCount() - g_dwDeadline) >= 0;
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
  if (nMessage == kGameUpdated) {
    char szLine[128];
    snprintf(szLine, sizeof(szLine), "message 2024 wparam=%u lparam=0x%08lx low=%u high=%u",
             static_cast<unsigned>(wParam), static_cast<unsigned long>(lParam),
             static_cast<unsigned>(LOWORD(lParam)), static_cast<unsigned>(HIWORD(lParam)));
    Record(szLine);
    return 0;
  }
  if (nMessage == WM_TIMER && wParam == kPollTimer) {
    if (ShouldQuit()) DestroyWindow(hWnd);
    return 0;
  }
  if (nMessage == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    RECT rc;
    GetClientRect(hWnd, &rc);
    SetBkMode(hdc, TRANSPARENT);
    DrawTextA(hdc, "Tarsuvio (stand-in)", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(hWnd, &ps);
    return 0;
  }
  if (nMessage == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShow) {
  char szPath[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
  g_strDir = szPath;
  g_strDir.resize(g_strDir.rfind('\\') + 1);

  DWORD dwLifetime = 20000;
  if (const char* szLifetime = getenv("TARSUVIO_LIFETIME_MS")) dwLifetime = strtoul(szLifetime, nullptr, 10);
  g_dwDeadline = GetTickCount() + dwLifetime;

  char szCwd[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof(szCwd), szCwd);
  std::string strLine = "start pid=" + std::to_string(GetCurrentProcessId()) + " cwd=" + szCwd +
                        " cmdline=" + GetCommandLineA();
  std::string strNoWindow = g_strDir + "tarsuvio-nowindow";
  bool bNoWindow = DeleteFileA(strNoWindow.c_str()) != FALSE;
  if (bNoWindow) strLine += " (no window)";
  Record(strLine.c_str());

  if (bNoWindow) {
    while (!ShouldQuit()) Sleep(100);
  } else {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "PTkv9MRLVTarsuvio";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "Tarsuvio", WS_OVERLAPPEDWINDOW, 0, 0, 240, 120, nullptr,
                                nullptr, hInstance, nullptr);
    ShowWindow(hWnd, nShow);
    SetTimer(hWnd, kPollTimer, 100, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  Record(("exit pid=" + std::to_string(GetCurrentProcessId())).c_str());
  return 0;
}
