// The updater's progress model: stored values and the repaint requests they cause, seen in
// the update region of a real window; the label fonts and the label's drawing.
#include <gtest/gtest.h>

#include <string>

#include "engine/Globals.h"
#include "engine/Updater.h"
#include "support/TestWindow.h"

namespace {

constexpr RECT kFileBar = {g_nBarLeft, g_nFileBarTop, 500, 14};
constexpr RECT kTotalBar = {g_nBarLeft, g_nTotalBarTop, 500, 14};
constexpr RECT kCounters = {g_nCountersLeft, g_nCountersTop, 300, 13};
constexpr RECT kStatus = {g_nStatusLeft, g_nStatusTop, 500, 13};

class UpdaterTest : public ::testing::Test {
 protected:
  void SetUp() override { g_hMainWnd = window.Handle(); }
  void TearDown() override { g_hMainWnd = nullptr; }
  TestWindow window;
  CUpdater updater;
};

TEST_F(UpdaterTest, StartsWithBothBarsFullAndNothingCounted) {
  EXPECT_EQ(updater.m_nFileProgress.load(), 10000);
  EXPECT_EQ(updater.m_nTotalProgress.load(), 10000);
  EXPECT_EQ(updater.m_nFileCount.load(), 0);
  EXPECT_EQ(updater.m_nFileIndex.load(), 0);
  EXPECT_EQ(updater.GetStatusText(), "");
  EXPECT_EQ(updater.m_hWorkerThread.load(), nullptr);
}

TEST_F(UpdaterTest, ProgressStoresTheValueAndRepaintsItsAreas) {
  struct Case {
    int code, count, index, value;
    int fileProgress, totalProgress;  // expected afterwards; total starts at 1234
    bool totalRepainted, anyRepainted;
  };
  const Case cases[] = {
      {NOTIFY_PROGRESS, 0, 0, 4200, 4200, 1234, false, true},  // the file list: total stays
      {NOTIFY_PROGRESS, 3, 1, 5000, 5000, 3333 + 1666, true, true},
      {NOTIFY_PROGRESS, 4, 3, 10000, 10000, 7500 + 2500, true, true},
      {NOTIFY_PROGRESS, 3, 2, 10500, 10500, 6666 + 3500, true, true},  // more bytes than announced
      {NOTIFY_FILE_START, 3, 1, 5000, 10000, 1234, false, false},      // not a progress code
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.code << " " << c.count << " " << c.index << " " << c.value);
    updater.m_nFileProgress = 10000;
    updater.m_nTotalProgress = 1234;
    updater.m_nFileCount = c.count;
    updater.m_nFileIndex = c.index;
    window.Validate();
    updater.OnProgress(c.code, c.value);
    EXPECT_EQ(updater.m_nFileProgress.load(), c.fileProgress);
    EXPECT_EQ(updater.m_nTotalProgress.load(), c.totalProgress);
    if (!c.anyRepainted)
      EXPECT_TRUE(window.UpdateRegionIs({}));
    else if (c.totalRepainted)
      EXPECT_TRUE(window.UpdateRegionIs({kFileBar, kTotalBar, kCounters}));
    else
      EXPECT_TRUE(window.UpdateRegionIs({kFileBar, kCounters}));
  }
}

TEST_F(UpdaterTest, StatusCodesSetTheStatusLineAndRepaintIt) {
  struct Case {
    int code;
    const char* text;
    const char* status;  // nullptr: unchanged and not repainted
  };
  const Case cases[] = {
      {NOTIFY_FILE_START, "data\\x.dat", "下载中... (data\\x.dat)"},
      {NOTIFY_FILE_DONE, "data\\x.dat", "完成 (data\\x.dat)"},
      {NOTIFY_MESSAGE, "完成更新。", "完成更新。"},
      {14, "ignored", nullptr},
      {NOTIFY_PROGRESS, "ignored", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    updater.OnStatus(NOTIFY_MESSAGE, "before");
    window.Validate();
    updater.OnStatus(c.code, c.text);
    EXPECT_EQ(updater.GetStatusText(), c.status != nullptr ? c.status : "before");
    if (c.status != nullptr)
      EXPECT_TRUE(window.UpdateRegionIs({kStatus}));
    else
      EXPECT_TRUE(window.UpdateRegionIs({}));
  }
}

TEST_F(UpdaterTest, SetTargetCreatesBothLabelFonts) {
  updater.SetTarget("plat");
  EXPECT_EQ(updater.m_strTarget, "plat");
  struct Case {
    const CTextLabel* label;
    LONG height;
    const char* face;
  };
  for (const Case& c : {Case{&updater.m_labelMain, -12, "宋体"}, Case{&updater.m_labelAux, -9, "Arial "}}) {
    SCOPED_TRACE(c.face);
    const LOGFONTA& lf = c.label->m_lf;
    EXPECT_EQ(lf.lfHeight, c.height);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfItalic | lf.lfUnderline | lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(lf.lfPitchAndFamily, 0);
    EXPECT_STREQ(lf.lfFaceName, c.face);
    EXPECT_NE(c.label->m_hFont, nullptr);
    EXPECT_EQ(c.label->m_crColor, RGB(255, 255, 255));
    LOGFONTA created = {};
    ASSERT_NE(GetObjectA(c.label->m_hFont, sizeof created, &created), 0);
    EXPECT_EQ(created.lfHeight, c.height);
  }
}

// Draws into a 64 x 20 white bitmap; returns the number of pixels that changed.
int ChangedPixels(CTextLabel& label, HDC dc) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 64;
  bi.bmiHeader.biHeight = 20;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  auto* px = static_cast<DWORD*>(bits);
  for (int i = 0; i < 64 * 20; ++i) px[i] = 0xFFFFFF;
  label.Draw(dc, 2, 2);
  GdiFlush();
  int changed = 0;
  for (int i = 0; i < 64 * 20; ++i) changed += (px[i] & 0xFFFFFF) != 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(bmp);
  return changed;
}

TEST_F(UpdaterTest, DrawRestoresTheDeviceContextAndDrawsNothingForAnEmptyText) {
  updater.SetTarget("plat");
  CTextLabel& label = updater.m_labelMain;
  label.m_crColor = RGB(200, 0, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  SetBkMode(dc, OPAQUE);
  SetTextColor(dc, RGB(1, 2, 3));
  for (const char* text : {"", "完成更新。"}) {
    SCOPED_TRACE(text);
    label.m_strText = text;
    int changed = ChangedPixels(label, dc);
    if (*text == '\0')
      EXPECT_EQ(changed, 0);
    else
      EXPECT_GT(changed, 20);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  }
  DeleteDC(dc);
}

}  // namespace
