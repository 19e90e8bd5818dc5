// The framework's sockets support: Windows Sockets 1.1, started once per process and
// cleaned up when the process ends. Windows only.
#pragma once

#include <windows.h>

// Starts Windows Sockets 1.1; on failure shows the string resource nIdMessage in a message
// box with an OK button and returns FALSE.
BOOL AfxSocketInit(UINT nIdMessage);
