// A modal dialog made from a dialog template resource, with a small message map: a derived
// class lists the messages it handles and the framework routes the rest to the dialog
// manager's default handling. All of it runs on the thread that calls DoModal. Windows only.
#pragma once

#include <windows.h>

class CDialog;

// A handler takes the message's parameters and returns the dialog procedure's result; FALSE
// (0) lets the dialog manager's default handling run as well.
using DialogHandler = INT_PTR (CDialog::*)(WPARAM, LPARAM);

struct MessageMapEntry {
  UINT nMessage;  // 0 ends the table
  UINT nCode;     // WM_COMMAND only: the notification code
  UINT nId;       // WM_COMMAND only: the control or command identifier
  DialogHandler pfn;
};

struct MessageMap {
  const MessageMap* pBase;  // searched when no entry of this map matches; null ends the chain
  const MessageMapEntry* pEntries;
};

class CDialog {
 public:
  // nIdTemplate names the dialog template resource; pParent may be null.
  CDialog(UINT nIdTemplate, CDialog* pParent);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Creates the window from the template and runs it modally; returns the value given to
  // EndDialog (IDOK, IDCANCEL) or -1 when the window cannot be created.
  INT_PTR DoModal();

  // The message map of the class; derived classes with handlers return their own.
  virtual const MessageMap* GetMessageMap() const;

  // Called once the window and its controls exist; returns TRUE to focus the first control.
  virtual BOOL OnInitDialog();

  // Ends the dialog with IDOK.
  virtual void OnOK();

  // Ends the dialog with IDCANCEL.
  virtual void OnCancel();

  // The handle of a control of the dialog, or null.
  HWND GetDlgItem(int nId) const { return ::GetDlgItem(m_hWnd, nId); }

  HWND m_hWnd = nullptr;  // null before DoModal creates the window and after it is destroyed

 protected:
  // Dispatches one message through the message maps, then to OnOK / OnCancel for the
  // commands IDOK and IDCANCEL; returns the dialog procedure's result.
  virtual INT_PTR OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
  const MessageMapEntry* FindEntry(UINT nMessage, WPARAM wParam) const;

  UINT m_nIdTemplate;
  CDialog* m_pParent;
};

// Casts a handler of a derived dialog class for a message map table.
#define DIALOG_HANDLER(fn) static_cast<DialogHandler>(fn)
