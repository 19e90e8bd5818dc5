#include "engine/EntryPath.h"

#include <vector>

#include "framework/MbcsText.h"

namespace {

// Windows opens these as devices in any directory, with or without an extension.
bool IsDeviceName(const std::string& part) {
  // "." (0x2E) is never a GBK trail byte, so a plain search finds the extension.
  std::string base = part.substr(0, part.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  base = mbcs::LowerAscii(base);
  if (base == "con" || base == "prn" || base == "aux" || base == "nul" || base == "conin$" ||
      base == "conout$")
    return true;
  return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// Appends the non-empty components of text to parts; false if any is unsafe.
bool CollectComponents(const std::string& text, std::vector<std::string>* parts) {
  for (const std::string& part : mbcs::SplitAtSeparators(text)) {
    if (part.empty()) continue;  // doubled, leading or trailing separators add nothing
    if (!IsSafePathComponent(part)) return false;
    parts->push_back(part);
  }
  return true;
}

}  // namespace

bool IsSafePathComponent(const std::string& strPart) {
  if (strPart.empty()) return false;
  // Windows drops trailing dots and blanks, so "..", "... " and " " all name a parent or nothing.
  bool onlyDotsAndBlanks = true;
  for (size_t i = 0; i < strPart.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(strPart[i]);
    if (mbcs::IsLeadByte(c)) {
      // A lead byte without a valid trail byte is no GBK text: the system's conversion of
      // such a name is not ours to guess, and it could hide a ":" or a "." from this scan.
      if (i + 1 >= strPart.size() || !mbcs::IsTrailByte(static_cast<unsigned char>(strPart[i + 1])))
        return false;
      onlyDotsAndBlanks = false;
      ++i;  // the trail byte, "\" included, is part of the character
      continue;
    }
    if (IsForbiddenNameChar(c)) return false;
    if (c != '.' && c != ' ') onlyDotsAndBlanks = false;
  }
  return !onlyDotsAndBlanks && !IsDeviceName(strPart);
}

bool MapEntryToLocalPath(const std::string& strDir, const std::string& strName, std::string* out) {
  if (strDir.empty() || strName.empty()) return false;
  std::vector<std::string> parts;
  bool isRoot = strDir == "/" || strDir == "\\";
  if (!isRoot) {
    // Two leading separators start a UNC or device path ("\\server\share", "\\?\C:\").
    if (strDir.size() >= 2 && mbcs::IsSeparator(strDir[0]) && mbcs::IsSeparator(strDir[1])) return false;
    if (!CollectComponents(strDir, &parts)) return false;
  }
  size_t dirParts = parts.size();
  if (!CollectComponents(strName, &parts) || parts.size() == dirParts) return false;
  std::string path;
  for (const std::string& part : parts) {
    if (!path.empty()) path += kLocalSeparator;
    path += part;
  }
  *out = path;
  return true;
}
