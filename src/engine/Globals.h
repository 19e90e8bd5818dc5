// Process-wide state the update engine shares with start-up, the dialog and the hand-off.
// Windows only.
#pragma once

#include <windows.h>

#include <atomic>

// The updater's own executable was replaced by the update (set by the worker thread).
extern std::atomic<bool> g_bSelfUpdate;
// Result of the update run, stored by the worker thread before it posts IDOK.
extern std::atomic<bool> g_bUpdateOk;
// The update dialog, target of every repaint request and of the final IDOK; stored by the
// dialog before the worker starts, null until then.
extern HWND g_hMainWnd;
