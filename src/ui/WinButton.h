// A push-button control of a dialog turned into a bitmap-skinned button by subclassing: the
// object paints the control itself, double-buffered, with a normal, a hover and a pressed
// face, and passes every other message on to the control's own procedure, which keeps the
// clicks, the keyboard and the command to the parent. User-interface thread only.
#pragma once

#include <windows.h>

class CWinButton {
 public:
  // Creates the five pens of the classic face; attaches to nothing.
  CWinButton();
  // Puts the control's previous procedure back and deletes the pens.
  virtual ~CWinButton();
  CWinButton(const CWinButton&) = delete;
  CWinButton& operator=(const CWinButton&) = delete;

  // Subclasses the push button h; FALSE when h is not a window or the property cannot be set.
  BOOL Attach(HWND h);

  // Sets the normal face (not owned) and, with bResize, sizes the control to it; FALSE and no
  // change while disabled or for a null bitmap.
  BOOL SetBitmap(HBITMAP hBitmap, BOOL bResize);

  // The procedure the control runs once attached; finds the object through its property.
  static LRESULT CALLBACK ButtonProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);

  // Handles one message of the control; returns the window procedure's result.
  LRESULT HandleMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);

  // Paints the whole control onto hdc; returns TRUE.
  BOOL DrawButton(HDC hdc);

  // The fallback face for a button without a normal bitmap; returns TRUE.
  BOOL DrawClassicFace(HDC hdc);

  // The 64-shade vertical gradient of the classic face over ri; returns TRUE.
  BOOL FillGradient(HDC hdc, const RECT& ri);

  // The orange frame of the hovered classic face around ri; returns TRUE.
  BOOL DrawHoverFrame(HDC hdc, const RECT& ri);

  HWND m_hWnd = nullptr;
  HWND m_hParent = nullptr;
  WNDPROC m_pfnOldProc = nullptr;
  HBITMAP m_hBmpNormal = nullptr;
  HBITMAP m_hBmpHover = nullptr;  // assigned by the owner; null: no hover face
  HBITMAP m_hBmpDown = nullptr;   // assigned by the owner; null: no pressed face
  BITMAP m_bmNormal = {};
  BOOL m_bHover = FALSE;
  BOOL m_bDown = FALSE;
  BOOL m_bEnabled = TRUE;
  BOOL m_bBitmapMode = FALSE;
  char m_szText[256] = {};
  HPEN m_hPenWhite = nullptr;
  HPEN m_hHoverPen[4] = {};  // left, right, top, bottom

 private:
  void Repaint();
  void DrawCaption(HDC hdc, RECT rcText);
  LRESULT PassOn(UINT nMessage, WPARAM wParam, LPARAM lParam);
  void Paint();
};
