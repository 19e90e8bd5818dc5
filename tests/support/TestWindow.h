// A real window of the test that stands where the update dialog would: it collects the
// engine's repaint requests in its update region and its posted commands in its queue.
// Wine keeps no update region for a window that is not shown, so it is shown off the screen.
// Windows only; create and query it on the test's own thread.
#pragma once

#include <windows.h>

#include <initializer_list>

class TestWindow {
 public:
  TestWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PellarinTestWindow";
    RegisterClassA(&wc);  // a second registration fails harmlessly
    // Wider than the widest repaint area (18 + 500), so no request is clipped.
    hwnd_ =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "test", WS_POPUP | WS_VISIBLE,
                        -5000, -5000, 640, 320, nullptr, nullptr, wc.hInstance, nullptr);
    Validate();
  }
  ~TestWindow() { DestroyWindow(hwnd_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return hwnd_; }

  // Forgets the repaint requests so far.
  void Validate() { ValidateRect(hwnd_, nullptr); }

  // True when the update region is exactly the union of the rectangles (left, top, width,
  // height); an empty list means no request at all.
  bool UpdateRegionIs(std::initializer_list<RECT> areas) const {
    HRGN actual = CreateRectRgn(0, 0, 0, 0);
    HRGN expected = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(hwnd_, actual, FALSE);
    for (const RECT& a : areas) {
      HRGN one = CreateRectRgn(a.left, a.top, a.left + a.right, a.top + a.bottom);
      CombineRgn(expected, expected, one, RGN_OR);
      DeleteObject(one);
    }
    bool same = EqualRgn(actual, expected) != FALSE;
    DeleteObject(actual);
    DeleteObject(expected);
    return same;
  }

  // Waits up to ms for WM_COMMAND with IDOK (lParam 0) in the queue and removes it.
  bool WaitForIdOk(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
      MSG msg;
      while (PeekMessageA(&msg, hwnd_, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        if (msg.wParam == IDOK && msg.lParam == 0) return true;
      DWORD spent = GetTickCount() - start;
      if (spent >= ms) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_POSTMESSAGE);
    }
  }

  // Number of WM_COMMAND messages waiting in the queue, removed.
  int TakeCommands() {
    int n = 0;
    MSG msg;
    while (PeekMessageA(&msg, hwnd_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) ++n;
    return n;
  }

 private:
  HWND hwnd_ = nullptr;
};
