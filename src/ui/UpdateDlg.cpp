#include "ui/UpdateDlg.h"

#include <cstdio>

#include "app/AppGlobals.h"
#include "app/resource.h"
#include "engine/Globals.h"
#include "engine/Updater.h"
#include "framework/Handles.h"
#include "framework/PaintDC.h"
#include "framework/WinApp.h"
#include "ui/ProgressPainter.h"
#include "ui/SkinTable.h"

namespace {

// Shown where the background picture is missing: a dark plain colour the texts stand out on.
constexpr COLORREF CR_PLAIN_BACKGROUND = RGB(24, 32, 40);

// Height of a whole text line of the progress area. The repaint requests cover 13 or 14
// pixels, but a substitute for the label font may draw taller glyphs (brackets, "\"), whose
// lower rows would stay on screen after the text changes. Every line fits 18 pixels without
// reaching the next bar or line.
constexpr int TEXT_LINE_HEIGHT = 18;

struct TextRow {
  int x, y, cx;
};
const TextRow kTextRows[] = {
    {g_nStatusLeft, g_nStatusTop, g_nStatusAreaWidth},
    {g_nBarLeft, g_nFileBarTop, g_nBarAreaWidth},
    {g_nBarLeft, g_nTotalBarTop, g_nBarAreaWidth},
    {g_nCountersLeft, g_nCountersTop, g_nCountersAreaWidth},
};

// Widens every requested text row of the pending update region to its whole line.
void WidenTextRows(HWND hWnd) {
  RECT rcUpdate;
  if (!GetUpdateRect(hWnd, &rcUpdate, FALSE)) return;
  for (const TextRow& row : kTextRows) {
    RECT rcRow = {row.x, row.y, row.x + row.cx, row.y + TEXT_LINE_HEIGHT};
    RECT rcHit;
    if (IntersectRect(&rcHit, &rcUpdate, &rcRow)) InvalidateRect(hWnd, &rcRow, FALSE);
  }
}

const MessageMapEntry kUpdateDlgEntries[] = {
    {WM_PAINT, 0, 0, DIALOG_HANDLER(&CUpdateDlg::OnPaint)},
    {WM_QUERYDRAGICON, 0, 0, DIALOG_HANDLER(&CUpdateDlg::OnQueryDragIcon)},
    {WM_DESTROY, 0, 0, DIALOG_HANDLER(&CUpdateDlg::OnDestroy)},
    {WM_MOUSEMOVE, 0, 0, DIALOG_HANDLER(&CUpdateDlg::OnMouseMove)},
    {WM_COMMAND, BN_CLICKED, IDOK, DIALOG_HANDLER(&CUpdateDlg::OnBnClickedOk)},
    {0, 0, 0, nullptr},
};

}  // namespace

std::string UpdateTargetOf(const std::string& strArgument) {
  char szTarget[260] = {};
  int nNumber = 0;
  // A first field of 260 bytes or more is cut to fit the buffer.
  sscanf(strArgument.c_str(), "%259[^,],%d", szTarget, &nNumber);
  return szTarget;
}

CUpdateDlg::CUpdateDlg(CDialog* pParent)
    : CDialog(IDD_UPDATE_DIALOG, pParent),
      m_hIcon(LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

CUpdateDlg::~CUpdateDlg() = default;

const MessageMap* CUpdateDlg::GetMessageMap() const {
  static const MessageMap map = {CDialog::GetMessageMap(), kUpdateDlgEntries};
  return &map;
}

void CUpdateDlg::PlaceWindow() {
  // The template's dialog units depend on the font's metrics, which differ between systems;
  // the window must match its picture exactly, so it is sized and centred here.
  RECT rcWork;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0)) {
    rcWork = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  int x = rcWork.left + (rcWork.right - rcWork.left - UPDATE_DLG_WIDTH) / 2;
  int y = rcWork.top + (rcWork.bottom - rcWork.top - UPDATE_DLG_HEIGHT) / 2;
  SetWindowPos(m_hWnd, nullptr, x, y, UPDATE_DLG_WIDTH, UPDATE_DLG_HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CUpdateDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  PlaceWindow();

  LoadSkinBitmaps(g_strSkinDir.c_str());

  HWND hClose = GetDlgItem(IDOK);
  m_btnClose.Attach(hClose);
  m_btnClose.SetBitmap(g_hSkinBitmap[SKIN_EXIT_NORMAL], TRUE);
  if (g_hSkinBitmap[SKIN_EXIT_HOVER] != nullptr) m_btnClose.m_hBmpHover = g_hSkinBitmap[SKIN_EXIT_HOVER];
  if (g_hSkinBitmap[SKIN_EXIT_DOWN] != nullptr) m_btnClose.m_hBmpDown = g_hSkinBitmap[SKIN_EXIT_DOWN];
  RECT rcButton;
  GetClientRect(hClose, &rcButton);
  SetWindowPos(hClose, nullptr, 370, 8, rcButton.right - rcButton.left, rcButton.bottom - rcButton.top, 0);

  SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  SetWindowTextA(m_hWnd, m_strTitle.c_str());

  std::string strTarget = UpdateTargetOf(g_strArgument);
  theUpdater.SetTarget(strTarget.c_str());
  theUpdater.ReadUpdateList();
  // The worker uses the window from its first step, so it is stored before the worker starts.
  g_hMainWnd = m_hWnd;
  theUpdater.ChooseServer(1);
  return TRUE;
}

INT_PTR CUpdateDlg::OnPaint(WPARAM, LPARAM) {
  WidenTextRows(m_hWnd);
  CPaintDC dc(m_hWnd);
  RECT rcClient;
  GetClientRect(m_hWnd, &rcClient);
  if (g_hSkinBitmap[SKIN_BACKGROUND] != nullptr) {
    win::UniqueMemDc dcMem(CreateCompatibleDC(dc.GetSafeHdc()));
    win::SelectGuard select(dcMem.Get(), g_hSkinBitmap[SKIN_BACKGROUND]);
    BitBlt(dc.GetSafeHdc(), 0, 0, rcClient.right, rcClient.bottom, dcMem.Get(), 0, 0, SRCCOPY);
  } else {
    win::UniqueBrush brush(CreateSolidBrush(CR_PLAIN_BACKGROUND));
    FillRect(dc.GetSafeHdc(), &rcClient, brush.Get());
  }
  PaintProgress(dc.GetSafeHdc(), theUpdater);
  return TRUE;
}

INT_PTR CUpdateDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<INT_PTR>(m_hIcon); }

INT_PTR CUpdateDlg::OnDestroy(WPARAM, LPARAM) {
  FreeSkinBitmaps();
  return FALSE;
}

INT_PTR CUpdateDlg::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  // Holding the left button on the surface drags the window as if by its caption.
  if (wParam & MK_LBUTTON) SendMessageA(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
  return FALSE;
}

INT_PTR CUpdateDlg::OnBnClickedOk(WPARAM, LPARAM) {
  OnOK();
  return TRUE;
}
