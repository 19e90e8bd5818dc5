// winsock2.h must come before windows.h, which the header pulls in.
#include <winsock2.h>

#include "framework/Sockets.h"

#include <cstdlib>

#include "framework/WinApp.h"

namespace {
void CleanupSockets() { WSACleanup(); }
}  // namespace

BOOL AfxSocketInit(UINT nIdMessage) {
  WSADATA wsaData;
  if (WSAStartup(MAKEWORD(1, 1), &wsaData) != 0) {
    char szText[256] = {};
    LoadStringA(AfxGetInstanceHandle(), nIdMessage, szText, sizeof(szText));
    MessageBoxA(nullptr, szText, nullptr, MB_OK);
    return FALSE;
  }
  atexit(CleanupSockets);
  return TRUE;
}
