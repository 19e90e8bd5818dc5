#include "engine/Globals.h"

std::atomic<bool> g_bSelfUpdate{false};
std::atomic<bool> g_bUpdateOk{false};
HWND g_hMainWnd = nullptr;
