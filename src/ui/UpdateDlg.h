// The update window: a borderless, always-on-top dialog with the skin background, the
// progress area and a skinned close button. Its initialisation loads the skin and starts the
// update on theUpdater; the worker's final IDOK, the close button and Enter end it with IDOK,
// Escape with IDCANCEL. User-interface thread only.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Dialog.h"
#include "ui/WinButton.h"

// Size of the window: the size of the background picture.
constexpr int UPDATE_DLG_WIDTH = 406;
constexpr int UPDATE_DLG_HEIGHT = 302;

class CUpdateDlg : public CDialog {
 public:
  // Loads icon 130; pParent is null when start-up runs the dialog.
  explicit CUpdateDlg(CDialog* pParent = nullptr);
  ~CUpdateDlg() override;

  const MessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;

  std::string m_strTitle;  // window title, set by start-up before DoModal
  CWinButton m_btnClose;   // attached to control 1 (IDOK)
  HICON m_hIcon;           // shared icon resource; not destroyed

  // Message handlers, listed in the message map.
  INT_PTR OnPaint(WPARAM wParam, LPARAM lParam);
  INT_PTR OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
  INT_PTR OnDestroy(WPARAM wParam, LPARAM lParam);
  INT_PTR OnMouseMove(WPARAM wParam, LPARAM lParam);
  INT_PTR OnBnClickedOk(WPARAM wParam, LPARAM lParam);

 private:
  void PlaceWindow();
};

// The update target of an argument: the text before its first comma, or the whole argument.
std::string UpdateTargetOf(const std::string& strArgument);
