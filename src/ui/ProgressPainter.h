// Drawing of everything that changes during an update: both bars, the counter line, the two
// percentages and the status line, on top of the dialog's background. User-interface thread.
#pragma once

#include <windows.h>

class CUpdater;

// Colours of the progress area: captions in dark green, every other text in blue-grey; the
// plain fill and track for a bar whose picture failed to load.
constexpr COLORREF CR_CAPTION = RGB(0, 96, 0);
constexpr COLORREF CR_TEXT = RGB(75, 133, 170);
constexpr COLORREF CR_PLAIN_FILL = RGB(75, 133, 170);
constexpr COLORREF CR_PLAIN_TRACK = RGB(40, 52, 64);

// Draws the progress area of updater onto hdc, the paint device context of the dialog.
void PaintProgress(HDC hdc, CUpdater& updater);
