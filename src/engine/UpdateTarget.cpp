#include <string>

#include "engine/Updater.h"
#include "framework/MbcsText.h"

bool IsValidUpdateTarget(const std::string& strTarget) {
  // The target names a directory under "updatetmp" and a directory of the server: it must
  // stay one plain component. "." is never a trail byte, so ".." needs no character scan.
  if (strTarget.empty() || strTarget.size() >= 260) return false;
  if (strTarget.find("..") != std::string::npos) return false;
  return !mbcs::ContainsChar(strTarget, '\\') && !mbcs::ContainsChar(strTarget, '/') &&
         !mbcs::ContainsChar(strTarget, ':') && strTarget.find('\0') == std::string::npos;
}
