// The device context of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
// Windows only.
#pragma once

#include <windows.h>

class CPaintDC {
 public:
  explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(BeginPaint(hWnd, &m_ps)) {}
  ~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  HDC GetSafeHdc() const { return m_hDC; }
  const PAINTSTRUCT& Info() const { return m_ps; }

 private:
  HWND m_hWnd;
  PAINTSTRUCT m_ps = {};
  HDC m_hDC;
};
