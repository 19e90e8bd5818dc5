#include "ui/WinButton.h"

#include <cstdio>

#include "framework/Handles.h"

namespace {

const char kPropName[] = "CWINBUTTON";

// Writes the text of a key message to the debugger output, as the control sees it.
void TraceKey(WPARAM wParam, LPARAM lParam, const char* szLast) {
  char szLine[64] = {};
  snprintf(szLine, sizeof(szLine), "wParam  is:%x Param is:%x", static_cast<unsigned>(wParam),
           static_cast<unsigned>(lParam));
  OutputDebugStringA(szLine);
  if (wParam == VK_RETURN) OutputDebugStringA("Press Enter");
  OutputDebugStringA(szLast);
}

}  // namespace

CWinButton::CWinButton() {
  m_hPenWhite = CreatePen(PS_INSIDEFRAME, 1, RGB(255, 255, 255));
  m_hHoverPen[0] = CreatePen(PS_INSIDEFRAME, 3, RGB(250, 196, 88));
  m_hHoverPen[1] = CreatePen(PS_INSIDEFRAME, 3, RGB(251, 202, 106));
  m_hHoverPen[2] = CreatePen(PS_INSIDEFRAME, 2, RGB(252, 210, 121));
  m_hHoverPen[3] = CreatePen(PS_INSIDEFRAME, 2, RGB(229, 151, 0));
}

CWinButton::~CWinButton() {
  // Usually the control is gone with its dialog by now, and this does nothing.
  if (m_hWnd != nullptr && m_pfnOldProc != nullptr && IsWindow(m_hWnd)) {
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOldProc));
    RemovePropA(m_hWnd, kPropName);
  }
  DeleteObject(m_hPenWhite);
  for (HPEN hPen : m_hHoverPen) DeleteObject(hPen);
}

BOOL CWinButton::Attach(HWND h) {
  if (!IsWindow(h)) return FALSE;
  m_hWnd = h;
  m_hParent = GetParent(h);
  if (!SetPropA(m_hWnd, kPropName, this)) {
    OutputDebugStringA("SetProp ERROR");
    return FALSE;
  }
  SetWindowLongA(m_hWnd, GWL_STYLE, GetWindowLongA(m_hWnd, GWL_STYLE) | BS_OWNERDRAW);
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  // The window takes ownership of the region.
  SetWindowRgn(m_hWnd, CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, 5, 5), TRUE);
  m_pfnOldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWinButton::ButtonProc)));
  return TRUE;
}

BOOL CWinButton::SetBitmap(HBITMAP hBitmap, BOOL bResize) {
  if (!m_bEnabled || hBitmap == nullptr) return FALSE;
  m_hBmpNormal = hBitmap;
  if (bResize) {
    GetObjectA(m_hBmpNormal, sizeof(m_bmNormal), &m_bmNormal);
    SetWindowPos(m_hWnd, nullptr, 0, 0, m_bmNormal.bmWidth, m_bmNormal.bmHeight,
                 SWP_NOMOVE | SWP_NOOWNERZORDER);
  }
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  SetWindowRgn(m_hWnd, CreateRectRgn(rc.left, rc.top, rc.right, rc.bottom), TRUE);
  InvalidateRect(m_hWnd, &rc, TRUE);
  m_bBitmapMode = TRUE;
  return TRUE;
}

LRESULT CALLBACK CWinButton::ButtonProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
  auto* pButton = static_cast<CWinButton*>(GetPropA(hWnd, kPropName));
  if (pButton == nullptr) return DefWindowProcA(hWnd, nMessage, wParam, lParam);
  return pButton->HandleMessage(nMessage, wParam, lParam);
}

void CWinButton::Repaint() {
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  InvalidateRect(m_hWnd, &rc, TRUE);
}

LRESULT CWinButton::PassOn(UINT nMessage, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(m_pfnOldProc, m_hWnd, nMessage, wParam, lParam);
}

LRESULT CWinButton::HandleMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) {
  switch (nMessage) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      POINT pt;
      GetCursorPos(&pt);
      ScreenToClient(m_hWnd, &pt);
      RECT rc;
      GetClientRect(m_hWnd, &rc);
      if (pt.x >= rc.left && pt.x <= rc.right && pt.y >= rc.top && pt.y <= rc.bottom) {
        m_bHover = TRUE;
        Repaint();
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&tme);
      } else {
        m_bHover = FALSE;
      }
      break;
    }
    case WM_MOUSELEAVE:
      m_bHover = FALSE;
      Repaint();
      break;
    case WM_LBUTTONDOWN:
      m_bDown = TRUE;
      Repaint();
      break;
    case WM_LBUTTONUP:
      m_bDown = FALSE;
      Repaint();
      break;
    case WM_ENABLE:
      m_bEnabled = static_cast<BOOL>(wParam);
      Repaint();
      break;
    case WM_KILLFOCUS:
      Repaint();
      break;
    case WM_KEYDOWN:
      TraceKey(wParam, lParam, "WM_KEYDOWN");
      break;
    case WM_SYSKEYDOWN:
      TraceKey(wParam, lParam, "WM_SYSKEYDOWN");
      break;
    case WM_CHAR:
    case WM_CLOSE:
      OutputDebugStringA("WM_CHAR");
      break;
    case WM_DRAWITEM:
      OutputDebugStringA("WM_DRAWITEM");
      break;
    default:
      break;
  }
  return PassOn(nMessage, wParam, lParam);
}

void CWinButton::Paint() {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(m_hWnd, &ps);
  int nSaved = SaveDC(hdc);
  win::UniqueRegion rgn(CreateRectRgn(0, 0, 0, 0));
  GetWindowRgn(m_hWnd, rgn.Get());
  if (SelectClipRgn(hdc, rgn.Get()) == ERROR) OutputDebugStringA("SelectClipRgn ERROR");
  DrawButton(hdc);
  RestoreDC(hdc, nSaved);
  EndPaint(m_hWnd, &ps);
}

void CWinButton::DrawCaption(HDC hdc, RECT rcText) {
  char szText[256] = {};
  if (GetWindowTextA(m_hWnd, szText, sizeof(szText)) != 0) lstrcpynA(m_szText, szText, sizeof(m_szText));
  if (m_szText[0] == '\0') return;
  COLORREF crOld = SetTextColor(hdc, m_bEnabled ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(hdc, m_szText, -1, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetTextColor(hdc, crOld);
}

BOOL CWinButton::DrawButton(HDC hdc) {
  SetBkMode(hdc, TRANSPARENT);
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  int w = rc.right - rc.left;
  int h = rc.bottom - rc.top;

  HDC hdcMem = CreateCompatibleDC(hdc);
  if (hdcMem == nullptr) OutputDebugStringA("Create MemDc ERROR");
  win::UniqueMemDc dcSource(CreateCompatibleDC(hdc));
  if (!dcSource) OutputDebugStringA("Create MemDc ERROR");

  int nSaved = SaveDC(hdcMem);
  SetBkMode(hdcMem, TRANSPARENT);
  HBITMAP hBuffer = CreateCompatibleBitmap(hdc, w, h);
  SelectObject(hdcMem, hBuffer);

  if (!m_bBitmapMode) {
    DrawClassicFace(hdcMem);
  } else {
    // A disabled button shows its normal face; only its caption turns grey.
    HBITMAP hFace = m_hBmpNormal;
    if (m_bEnabled && m_bHover && m_hBmpHover != nullptr) hFace = m_hBmpHover;
    if (m_bEnabled && m_bDown && m_hBmpDown != nullptr) hFace = m_hBmpDown;
    win::SelectGuard face(dcSource.Get(), hFace);
    BitBlt(hdcMem, 0, 0, w, h, dcSource.Get(), 0, 0, SRCCOPY);
    DrawCaption(hdcMem, rc);
  }

  BitBlt(hdc, 0, 0, w, h, hdcMem, 0, 0, SRCCOPY);

  // Restoring the state takes the buffer bitmap out of the context before both are deleted.
  RestoreDC(hdcMem, nSaved);
  if (hdcMem != nullptr && !DeleteDC(hdcMem)) OutputDebugStringA("DeleteDC(hdcMem) ERROR");
  if (hBuffer != nullptr && !DeleteObject(hBuffer)) OutputDebugStringA("DeleteObject(bmp) ERROR");
  return TRUE;
}

BOOL CWinButton::DrawClassicFace(HDC hdc) {
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  int cx = GetSystemMetrics(SM_CXEDGE);
  int cy = GetSystemMetrics(SM_CYEDGE);
  {
    win::SelectGuard pen(hdc, m_hPenWhite);
    RoundRect(hdc, rc.left, rc.top, rc.right, rc.bottom, 5, 5);
  }
  RECT ri = {rc.left + cx, rc.top + cy, rc.right - cx, rc.bottom - cy};
  FillGradient(hdc, ri);
  if (m_bHover) DrawHoverFrame(hdc, ri);
  RECT rcText = m_bDown ? RECT{rc.left + 2, rc.top + 2, rc.right, rc.bottom} : ri;
  DrawCaption(hdc, rcText);
  return TRUE;
}

BOOL CWinButton::FillGradient(HDC hdc, const RECT& ri) {
  win::UniqueBrush brushes[64];
  for (int i = 0; i < 64; ++i) {
    COLORREF cr =
        m_bHover ? RGB(255 - i / 4, 255 - i / 4, 255 - i / 5) : RGB(255 - i / 3, 255 - i / 3, 255 - i / 5);
    brushes[i].Reset(CreateSolidBrush(cr));
  }
  int nHeight = ri.bottom - ri.top;
  for (int y = ri.top; y <= ri.bottom; ++y) {
    // A face with no inner height is drawn in the top shade.
    int nShade = nHeight > 0 ? (y - ri.top) * 63 / nHeight : 0;
    RECT rcRow = {ri.left, y, ri.right, y + 1};
    FillRect(hdc, &rcRow, brushes[nShade].Get());
  }
  return TRUE;
}

BOOL CWinButton::DrawHoverFrame(HDC hdc, const RECT& ri) {
  POINT ptOld;
  MoveToEx(hdc, ri.left, ri.bottom - 1, &ptOld);
  HGDIOBJ hOldPen = SelectObject(hdc, m_hHoverPen[0]);
  LineTo(hdc, ri.left, ri.top + 1);
  SelectObject(hdc, m_hHoverPen[1]);
  MoveToEx(hdc, ri.right - 1, ri.bottom - 1, nullptr);
  LineTo(hdc, ri.right - 1, ri.top);
  SelectObject(hdc, m_hHoverPen[2]);
  MoveToEx(hdc, ri.left - 1, ri.top, nullptr);
  LineTo(hdc, ri.right - 1, ri.top);
  SelectObject(hdc, m_hHoverPen[3]);
  MoveToEx(hdc, ri.left, ri.bottom, nullptr);
  LineTo(hdc, ri.right - 1, ri.bottom);
  SelectObject(hdc, hOldPen);
  MoveToEx(hdc, ptOld.x, ptOld.y, nullptr);
  return TRUE;
}
