#include "ui/SkinTable.h"

#include <string>

HBITMAP g_hSkinBitmap[SKIN_SLOT_COUNT] = {};

namespace {

struct SkinFile {
  const char* szName;
  int cx;
  int cy;
};

const SkinFile kSkinFiles[SKIN_LOADED_SLOTS] = {
    {"patch_updateBar.bmp", 371, 14}, {"bg.bmp", 406, 302},      {"patch_updateBar2.bmp", 371, 14},
    {"btn_exit1.bmp", 22, 22},        {"btn_exit2.bmp", 22, 22}, {"btn_exit3.bmp", 22, 22},
};

}  // namespace

void LoadSkinBitmaps(const char* szSkinDir) {
  for (HBITMAP& h : g_hSkinBitmap) h = nullptr;
  for (int i = 0; i < SKIN_LOADED_SLOTS; ++i) {
    std::string strPath = std::string(szSkinDir) + kSkinFiles[i].szName;
    g_hSkinBitmap[i] = static_cast<HBITMAP>(LoadImageA(nullptr, strPath.c_str(), IMAGE_BITMAP,
                                                       kSkinFiles[i].cx, kSkinFiles[i].cy, LR_LOADFROMFILE));
  }
}

void FreeSkinBitmaps() {
  for (HBITMAP& h : g_hSkinBitmap) {
    if (h != nullptr) DeleteObject(h);
    h = nullptr;
  }
}
