#include "ui/ProgressPainter.h"

#include <cstdio>

#include "engine/Updater.h"
#include "framework/Handles.h"
#include "ui/BarWidth.h"
#include "ui/SkinTable.h"

namespace {

// Copies cx x 14 of the bitmap in the slot to (x, y); a slot that failed to load gets a plain
// fill of the colour instead, so the progress still shows.
void DrawBarPart(HDC hdc, int nSlot, int x, int y, int cx, COLORREF crPlain) {
  if (cx <= 0) return;
  HBITMAP hBitmap = g_hSkinBitmap[nSlot];
  if (hBitmap == nullptr) {
    RECT rc = {x, y, x + cx, y + BAR_HEIGHT};
    win::UniqueBrush brush(CreateSolidBrush(crPlain));
    FillRect(hdc, &rc, brush.Get());
    return;
  }
  win::UniqueMemDc dcMem(CreateCompatibleDC(hdc));
  win::SelectGuard select(dcMem.Get(), hBitmap);
  BitBlt(hdc, x, y, cx, BAR_HEIGHT, dcMem.Get(), 0, 0, SRCCOPY);
}

// The fill of progress p, never wider than the track nor negative.
int FillWidth(int32_t p) {
  int32_t w = BarFillWidth(p);
  if (w < 0) return 0;
  return w > BAR_WIDTH ? BAR_WIDTH : w;
}

void DrawLabel(CTextLabel& label, HDC hdc, int x, int y, COLORREF cr, const char* szText) {
  label.m_crColor = cr;
  label.m_strText = szText;
  label.Draw(hdc, x, y);
}

}  // namespace

void PaintProgress(HDC hdc, CUpdater& updater) {
  const int32_t nFile = updater.m_nFileProgress.load(std::memory_order_relaxed);
  const int32_t nTotal = updater.m_nTotalProgress.load(std::memory_order_relaxed);

  DrawBarPart(hdc, SKIN_BAR_TRACK, g_nBarLeft, g_nFileBarTop, BAR_WIDTH, CR_PLAIN_TRACK);
  DrawBarPart(hdc, SKIN_BAR_TRACK, g_nBarLeft, g_nTotalBarTop, BAR_WIDTH, CR_PLAIN_TRACK);
  DrawBarPart(hdc, SKIN_BAR_FILL, g_nBarLeft, g_nFileBarTop, FillWidth(nFile), CR_PLAIN_FILL);
  DrawBarPart(hdc, SKIN_BAR_FILL, g_nBarLeft, g_nTotalBarTop, FillWidth(nTotal), CR_PLAIN_FILL);

  CTextLabel& label = updater.m_labelMain;
  // Both captions lie below the window's 302 pixels and so never show; they are kept for a
  // taller skin.
  DrawLabel(label, hdc, g_nBarLeft + 5, 380, CR_CAPTION, "当前文件：");
  DrawLabel(label, hdc, g_nBarLeft + 5, 400, CR_CAPTION, "总共进度：");

  char szText[260] = {};
  snprintf(szText, sizeof(szText), "共%d/%d个文件 %.2fkb/s (%.2fk)",
           static_cast<int>(updater.m_nFileIndex.load(std::memory_order_relaxed)),
           static_cast<int>(updater.m_nFileCount.load(std::memory_order_relaxed)),
           updater.m_dwSpeed.load(std::memory_order_relaxed) / 1024.0,
           updater.m_dwContentLength.load(std::memory_order_relaxed) / 1024.0);
  DrawLabel(label, hdc, g_nCountersLeft, g_nCountersTop, CR_TEXT, szText);

  snprintf(szText, sizeof(szText), "%.2f%%", nFile / 100.0);
  DrawLabel(label, hdc, g_nPercentLeft, g_nFileBarTop + 1, CR_TEXT, szText);
  snprintf(szText, sizeof(szText), "%.2f%%", nTotal / 100.0);
  DrawLabel(label, hdc, g_nPercentLeft, g_nTotalBarTop + 1, CR_TEXT, szText);

  // The worker may replace the status text at any moment: draw a copy taken under its lock.
  label.m_crColor = CR_TEXT;
  label.m_strText = updater.GetStatusText();
  label.Draw(hdc, g_nStatusLeft, g_nStatusTop);
}
