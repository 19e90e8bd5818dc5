// Width of a progress bar's fill. Portable: no Windows header.
#pragma once

#include <cstdint>

constexpr int32_t BAR_WIDTH = 371;
constexpr int32_t BAR_HEIGHT = 14;

// Pixels of fill for progress p in 1/10000: p x 371 / 10000, truncated toward zero. Integer
// arithmetic, so the result is exact for every p (0 at 0, 185 at 5000, 371 at 10000).
inline int32_t BarFillWidth(int32_t p) {
  return static_cast<int32_t>(static_cast<int64_t>(p) * BAR_WIDTH / 10000);
}
