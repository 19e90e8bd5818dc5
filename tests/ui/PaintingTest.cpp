// The progress painting and the skinned button, drawn into memory bitmaps and read back by
// pixel. Runs under Wine with the build's default skin in "Patch\".
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/Updater.h"
#include "ui/BarWidth.h"
#include "ui/ProgressPainter.h"
#include "ui/SkinTable.h"
#include "ui/WinButton.h"

std::string g_strArgument = "plat";
std::string g_strSkinDir = "Patch\\";

namespace {

// The single-precision formula the width must equal: p x 0.0001 in float, times 371, truncated.
// volatile forces each step to be rounded to float, as single-precision arithmetic does.
int FloatFormula(int p) {
  volatile float f = static_cast<float>(p) * 0.0001f;
  volatile float g = f * 371.0f;
  return static_cast<int>(g);
}

TEST(BarFillWidth, EqualsTheSinglePrecisionFormulaForEveryProgress) {
  for (int p = 0; p <= 10000; ++p) {
    ASSERT_EQ(BarFillWidth(p), FloatFormula(p)) << "p = " << p;
    ASSERT_EQ(BarFillWidth(p), p * 371 / 10000) << "p = " << p;
  }
  EXPECT_EQ(BarFillWidth(1), 0);
  EXPECT_EQ(BarFillWidth(27), 1);
  EXPECT_EQ(BarFillWidth(5000), 185);
  EXPECT_EQ(BarFillWidth(10000), 371);
}

// A 406 x 302 top-down 32-bit bitmap selected into a memory context, cleared to black.
class Canvas {
 public:
  Canvas(int cx, int cy) : cx_(cx), cy_(cy) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < cx * cy; ++i) bits_[i] = 0;
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    DWORD v = bits_[y * cx_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

 private:
  int cx_, cy_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

COLORREF PixelOf(HBITMAP hBitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, hBitmap);
  COLORREF cr = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return cr;
}

// Width of the fill on the top row of a bar (the texts start one row lower): the run of fill
// pixels from the bar's left edge.
int MeasuredFill(const Canvas& canvas, int nTop, COLORREF crFill) {
  int w = 0;
  while (w < 400 && canvas.At(g_nBarLeft + w, nTop) == crFill) ++w;
  return w;
}

struct BarCase {
  int nFile;
  int nTotal;
  int nFileWidth;
  int nTotalWidth;
};

const BarCase kBarCases[] = {
    {0, 10000, 0, 371},  // nothing yet / complete
    {1, 27, 0, 1},       // the first pixel appears at 27
    {5000, 9999, 185, 370},
    {12000, -5, 371, 0},  // more bytes than announced: the fill stops at the track's end
};

class PaintProgressTest : public ::testing::Test {
 protected:
  void SetUp() override { updater_.SetTarget("plat"); }
  void TearDown() override { FreeSkinBitmaps(); }

  void CheckBars(COLORREF crFill, COLORREF crTrack) {
    for (const BarCase& c : kBarCases) {
      Canvas canvas(406, 302);
      updater_.m_nFileProgress = c.nFile;
      updater_.m_nTotalProgress = c.nTotal;
      PaintProgress(canvas.dc(), updater_);
      EXPECT_EQ(MeasuredFill(canvas, g_nFileBarTop, crFill), c.nFileWidth) << "file " << c.nFile;
      EXPECT_EQ(MeasuredFill(canvas, g_nTotalBarTop, crFill), c.nTotalWidth) << "total " << c.nTotal;
      // The track shows right after the fill and ends with the bar.
      if (c.nFileWidth < 371) {
        EXPECT_EQ(canvas.At(g_nBarLeft + c.nFileWidth, g_nFileBarTop), crTrack);
      }
      EXPECT_NE(canvas.At(g_nBarLeft + 371, g_nFileBarTop), crFill);
      EXPECT_NE(canvas.At(g_nBarLeft + 371, g_nFileBarTop), crTrack);
    }
  }

  CUpdater updater_;
};

TEST_F(PaintProgressTest, BarsFollowTheProgressWithTheSkin) {
  LoadSkinBitmaps("Patch\\");
  ASSERT_NE(g_hSkinBitmap[SKIN_BAR_FILL], nullptr) << "the default skin must be beside the test";
  ASSERT_NE(g_hSkinBitmap[SKIN_BAR_TRACK], nullptr);
  COLORREF crFill = PixelOf(g_hSkinBitmap[SKIN_BAR_FILL], 0, 0);
  COLORREF crTrack = PixelOf(g_hSkinBitmap[SKIN_BAR_TRACK], 0, 0);
  ASSERT_NE(crFill, crTrack);
  CheckBars(crFill, crTrack);
}

TEST_F(PaintProgressTest, BarsWithoutPicturesArePlainFillAndTrack) {
  LoadSkinBitmaps("no-such-skin\\");
  for (HBITMAP h : g_hSkinBitmap) ASSERT_EQ(h, nullptr);
  CheckBars(CR_PLAIN_FILL, CR_PLAIN_TRACK);
}

TEST_F(PaintProgressTest, TextsAppearWhereTheLayoutPutsThem) {
  // Blue-grey text pixels exist in the percentage, counter and status areas; the captions
  // below the window's height draw nothing inside it.
  Canvas canvas(406, 302);
  updater_.m_nFileProgress = 5000;
  updater_.m_nTotalProgress = 2500;
  updater_.OnStatus(NOTIFY_MESSAGE, "完成更新。");
  PaintProgress(canvas.dc(), updater_);
  auto CountText = [&](int x0, int y0, int cx, int cy) {
    int n = 0;
    for (int y = y0; y < y0 + cy; ++y)
      for (int x = x0; x < x0 + cx; ++x) n += canvas.At(x, y) != RGB(0, 0, 0) ? 1 : 0;
    return n;
  };
  EXPECT_GT(CountText(g_nStatusLeft, g_nStatusTop, 200, 13), 20);
  EXPECT_GT(CountText(g_nCountersLeft, g_nCountersTop, 200, 13), 20);
  EXPECT_EQ(CountText(0, 0, 406, 200), 0);
}

// A parent window with one push button, as the dialog's control 1.
class ButtonFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    button_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 10,
                              37, 26, parent_, reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    for (int i = 0; i < 3; ++i) faces_[i] = MakeFace(kFaceColours[i]);
  }
  void TearDown() override {
    DestroyWindow(parent_);
    for (HBITMAP h : faces_) DeleteObject(h);
  }
  static HBITMAP MakeFace(COLORREF cr) {
    HDC screen = GetDC(nullptr);
    HBITMAP h = CreateCompatibleBitmap(screen, 22, 22);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, h);
    RECT rc = {0, 0, 22, 22};
    HBRUSH brush = CreateSolidBrush(cr);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return h;
  }
  COLORREF DrawnAt(CWinButton& button, int x, int y) {
    Canvas canvas(64, 64);
    button.DrawButton(canvas.dc());
    return canvas.At(x, y);
  }

  static constexpr COLORREF kFaceColours[3] = {RGB(10, 20, 200), RGB(200, 30, 30), RGB(20, 160, 40)};
  HWND parent_ = nullptr;
  HWND button_ = nullptr;
  HBITMAP faces_[3] = {};
};

TEST_F(ButtonFixture, AttachSubclassesAndSetBitmapSizesTheControl) {
  CWinButton button;
  EXPECT_FALSE(button.Attach(nullptr));
  ASSERT_TRUE(button.Attach(button_));
  EXPECT_EQ(GetPropA(button_, "CWINBUTTON"), &button);
  EXPECT_EQ(GetWindowLongA(button_, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(GetWindowLongPtrA(button_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&CWinButton::ButtonProc));
  EXPECT_FALSE(button.SetBitmap(nullptr, TRUE));
  EXPECT_FALSE(button.m_bBitmapMode);

  ASSERT_TRUE(button.SetBitmap(faces_[0], TRUE));
  RECT rc;
  GetClientRect(button_, &rc);
  EXPECT_EQ(rc.right, 22);
  EXPECT_EQ(rc.bottom, 22);
  RECT rcWindow;
  GetWindowRect(button_, &rcWindow);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rcWindow), 2);
  EXPECT_EQ(rcWindow.left, 10) << "SetBitmap keeps the position";

  SendMessageA(button_, WM_ENABLE, FALSE, 0);
  EXPECT_FALSE(button.SetBitmap(faces_[1], TRUE)) << "refused while disabled";
}

TEST_F(ButtonFixture, FaceFollowsHoverAndPressWithFallbacks) {
  struct Case {
    bool bHoverFace, bDownFace;
    BOOL bHover, bDown;
    int nExpectedFace;
  };
  const Case kCases[] = {
      {true, true, FALSE, FALSE, 0}, {true, true, TRUE, FALSE, 1},  {true, true, TRUE, TRUE, 2},
      {true, true, FALSE, TRUE, 2},  {false, true, TRUE, FALSE, 0}, {true, false, TRUE, TRUE, 1},
      {false, false, TRUE, TRUE, 0},
  };
  for (const Case& c : kCases) {
    CWinButton button;
    ASSERT_TRUE(button.Attach(button_));
    ASSERT_TRUE(button.SetBitmap(faces_[0], TRUE));
    button.m_hBmpHover = c.bHoverFace ? faces_[1] : nullptr;
    button.m_hBmpDown = c.bDownFace ? faces_[2] : nullptr;
    button.m_bHover = c.bHover;
    button.m_bDown = c.bDown;
    EXPECT_EQ(DrawnAt(button, 11, 11), kFaceColours[c.nExpectedFace])
        << "hover face " << c.bHoverFace << " down face " << c.bDownFace << " hover " << c.bHover << " down "
        << c.bDown;
  }
}

TEST_F(ButtonFixture, ClassicFaceShadesAndHoverFrame) {
  CWinButton button;
  ASSERT_TRUE(button.Attach(button_));
  RECT rc;
  GetClientRect(button_, &rc);
  const int cx = GetSystemMetrics(SM_CXEDGE);
  const int cy = GetSystemMetrics(SM_CYEDGE);
  const int nBottom = rc.bottom - cy;
  // Top row of the inner face is shade 0 (white); its bottom row shade 63.
  EXPECT_EQ(DrawnAt(button, rc.right / 2, cy), RGB(255, 255, 255));
  EXPECT_EQ(DrawnAt(button, rc.right / 2, nBottom), RGB(234, 234, 243)) << "the gradient's last row";
  button.m_bHover = TRUE;
  // Hovered: the orange frame's left line and bottom line.
  EXPECT_EQ(DrawnAt(button, cx, rc.bottom / 2), RGB(250, 196, 88));
  EXPECT_EQ(DrawnAt(button, rc.right / 2, nBottom), RGB(229, 151, 0));
}

}  // namespace
