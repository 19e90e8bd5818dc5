#include "engine/Updater.h"

#include <cstring>

#include "engine/Globals.h"

CUpdater theUpdater;

void InvalidateArea(int x, int y, int cx, int cy) {
  // Without a window, a null handle would ask every window of the desktop to repaint. A
  // window that is gone (closed while the worker ran) simply ignores the request.
  if (g_hMainWnd == nullptr) return;
  RECT rc = {x, y, x + cx, y + cy};
  InvalidateRect(g_hMainWnd, &rc, TRUE);
}

namespace {

void InvalidateFileBar() { InvalidateArea(g_nBarLeft, g_nFileBarTop, g_nBarAreaWidth, g_nBarAreaHeight); }
void InvalidateTotalBar() { InvalidateArea(g_nBarLeft, g_nTotalBarTop, g_nBarAreaWidth, g_nBarAreaHeight); }
void InvalidateCounters() {
  InvalidateArea(g_nCountersLeft, g_nCountersTop, g_nCountersAreaWidth, g_nCountersAreaHeight);
}
void InvalidateStatus() {
  InvalidateArea(g_nStatusLeft, g_nStatusTop, g_nStatusAreaWidth, g_nStatusAreaHeight);
}

void FillLabelFont(LOGFONTA* lf, LONG lHeight, const char* szFace) {
  memset(lf, 0, sizeof *lf);
  lf->lfHeight = lHeight;
  lf->lfWeight = FW_NORMAL;
  lf->lfCharSet = DEFAULT_CHARSET;
  lf->lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf->lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf->lfQuality = ANTIALIASED_QUALITY;
  lf->lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  strncpy(lf->lfFaceName, szFace, LF_FACESIZE - 1);
}

}  // namespace

CTextLabel::CTextLabel() : m_crColor(0), m_hFont(nullptr) { memset(&m_lf, 0, sizeof m_lf); }

CTextLabel::~CTextLabel() = default;

void CTextLabel::Draw(HDC hdc, int x, int y) {
  int nOldMode = SetBkMode(hdc, TRANSPARENT);
  COLORREF crOld = SetTextColor(hdc, m_crColor);
  HGDIOBJ hOldFont = m_hFont != nullptr ? SelectObject(hdc, m_hFont) : nullptr;
  if (!m_strText.empty()) TextOutA(hdc, x, y, m_strText.data(), static_cast<int>(m_strText.size()));
  SetBkMode(hdc, nOldMode);
  SetTextColor(hdc, crOld);
  if (hOldFont != nullptr) SelectObject(hdc, hOldFont);
}

CUpdater::CUpdater() { InitializeCriticalSection(&m_csStatus); }

CUpdater::~CUpdater() {
  HANDLE hWorker = m_hWorkerThread.exchange(nullptr);
  bool bStopped = false;
  if (hWorker != nullptr) {
    // The window was closed while the update ran. The run has no point at which it could be
    // asked to stop, and the process is ending, so the worker is terminated.
    TerminateThread(hWorker, 1);
    WaitForSingleObject(hWorker, 1000);
    CloseHandle(hWorker);
    bStopped = true;
  }
  // The worker's download, if any, must not notify an object being destroyed.
  bStopped = StopDownloadThread() || bStopped;
  // A stopped thread may have held the status lock; it is left as it is then.
  if (!bStopped) DeleteCriticalSection(&m_csStatus);
}

void CUpdater::OnProgress(int nCode, int nValue) {
  if (nCode != NOTIFY_PROGRESS) return;
  m_nFileProgress.store(nValue, std::memory_order_relaxed);
  InvalidateFileBar();
  int32_t nCount = m_nFileCount.load(std::memory_order_relaxed);
  if (nCount > 0) {
    int32_t nIndex = m_nFileIndex.load(std::memory_order_relaxed);
    m_nTotalProgress.store(nIndex * 10000 / nCount + nValue / nCount, std::memory_order_relaxed);
    InvalidateTotalBar();
  }
  InvalidateCounters();
}

void CUpdater::OnStatus(int nCode, const char* szText) {
  std::string strText;
  switch (nCode) {
    case NOTIFY_FILE_START:
      strText = std::string("下载中... (") + szText + ")";
      break;
    case NOTIFY_FILE_DONE:
      strText = std::string("完成 (") + szText + ")";
      break;
    case NOTIFY_MESSAGE:
      strText = szText;
      break;
    default:
      return;
  }
  SetStatusText(std::move(strText));
  InvalidateStatus();
}

void CUpdater::SetTarget(const char* szTarget) {
  FillLabelFont(&m_labelMain.m_lf, -12, "宋体");
  m_labelMain.m_hFont = CreateFontIndirectA(&m_labelMain.m_lf);
  FillLabelFont(&m_labelAux.m_lf, -9, "Arial ");
  m_labelAux.m_hFont = CreateFontIndirectA(&m_labelAux.m_lf);
  m_labelMain.m_crColor = RGB(255, 255, 255);
  m_labelAux.m_crColor = RGB(255, 255, 255);
  m_strTarget = szTarget;
}

std::string CUpdater::GetStatusText() const {
  win::CriticalSectionLock lock(&m_csStatus);
  return m_strStatus;
}

void CUpdater::SetStatusText(std::string strText) {
  // The old text is freed after the lock is left, so the painter never waits on the heap.
  win::CriticalSectionLock lock(&m_csStatus);
  m_strStatus.swap(strText);
}

void CUpdater::SetTotalProgress(int32_t nValue) {
  m_nTotalProgress.store(nValue, std::memory_order_relaxed);
  InvalidateTotalBar();
}
