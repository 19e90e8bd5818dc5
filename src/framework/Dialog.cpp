#include "framework/Dialog.h"

#include "framework/WinApp.h"

namespace {
const MessageMapEntry kNoEntries[] = {{0, 0, 0, nullptr}};
const MessageMap kDialogMap = {nullptr, kNoEntries};
}  // namespace

CDialog::CDialog(UINT nIdTemplate, CDialog* pParent) : m_nIdTemplate(nIdTemplate), m_pParent(pParent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  HWND hParent = m_pParent != nullptr ? m_pParent->m_hWnd : nullptr;
  INT_PTR nResult = DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIdTemplate), hParent,
                                    &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  m_hWnd = nullptr;
  return nResult;
}

const MessageMap* CDialog::GetMessageMap() const { return &kDialogMap; }

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(m_hWnd, IDOK); }

void CDialog::OnCancel() { EndDialog(m_hWnd, IDCANCEL); }

const MessageMapEntry* CDialog::FindEntry(UINT nMessage, WPARAM wParam) const {
  for (const MessageMap* pMap = GetMessageMap(); pMap != nullptr; pMap = pMap->pBase) {
    for (const MessageMapEntry* p = pMap->pEntries; p->nMessage != 0; ++p) {
      if (p->nMessage != nMessage) continue;
      // A posted command with no control has code 0, which is BN_CLICKED: it reaches the
      // same handler as the button's click.
      if (nMessage == WM_COMMAND && (p->nCode != HIWORD(wParam) || p->nId != LOWORD(wParam))) continue;
      return p;
    }
  }
  return nullptr;
}

INT_PTR CDialog::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) {
  if (const MessageMapEntry* p = FindEntry(nMessage, wParam)) return (this->*(p->pfn))(wParam, lParam);
  if (nMessage == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
  CDialog* pDlg;
  if (nMessage == WM_INITDIALOG) {
    pDlg = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
    pDlg->m_hWnd = hWnd;
    return pDlg->OnInitDialog();
  }
  pDlg = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
  // Messages before WM_INITDIALOG (WM_SETFONT, sizing) go to the default handling.
  if (pDlg == nullptr) return FALSE;
  INT_PTR nResult = pDlg->OnMessage(nMessage, wParam, lParam);
  if (nMessage == WM_NCDESTROY) {
    SetWindowLongPtrA(hWnd, DWLP_USER, 0);
    pDlg->m_hWnd = nullptr;
  }
  return nResult;
}
