// The skin pictures of the update window: a table of 128 bitmap handles of which the dialog
// fills slots 0 to 5 from files and frees them all when its window goes. User-interface thread.
#pragma once

#include <windows.h>

constexpr int SKIN_SLOT_COUNT = 128;
enum SkinSlot {
  SKIN_BAR_FILL = 0,    // "patch_updateBar.bmp", 371 x 14
  SKIN_BACKGROUND = 1,  // "bg.bmp", 406 x 302
  SKIN_BAR_TRACK = 2,   // "patch_updateBar2.bmp", 371 x 14
  SKIN_EXIT_NORMAL = 3,
  SKIN_EXIT_HOVER = 4,
  SKIN_EXIT_DOWN = 5,
  SKIN_LOADED_SLOTS = 6,
};

// Owned by the dialog: loaded by LoadSkinBitmaps, deleted by FreeSkinBitmaps; null when absent.
extern HBITMAP g_hSkinBitmap[SKIN_SLOT_COUNT];

// Clears the table, then loads slots 0 to 5 from szSkinDir + file name at each slot's size
// (a picture of another size is scaled); a file that fails to load leaves its slot null.
void LoadSkinBitmaps(const char* szSkinDir);

// Deletes every bitmap of the table and sets its slot to null.
void FreeSkinBitmaps();
