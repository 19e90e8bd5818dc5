#include "framework/MbcsText.h"

namespace mbcs {

namespace {

// Calls visit(index) for every byte of s that starts a character, in order.
template <typename Visit>
void ForEachCharStart(const std::string& s, Visit visit) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (!visit(i)) return;
    // A lead byte at the very end has no trail byte; it stands alone.
    if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ++i;
  }
}

}  // namespace

size_t FindLastSeparator(const std::string& s) {
  size_t found = std::string::npos;
  ForEachCharStart(s, [&](size_t i) {
    if (IsSeparator(s[i])) found = i;
    return true;
  });
  return found;
}

size_t FindLastChar(const std::string& s, char ch) {
  size_t found = std::string::npos;
  ForEachCharStart(s, [&](size_t i) {
    if (s[i] == ch) found = i;
    return true;
  });
  return found;
}

bool ContainsChar(const std::string& s, char ch) {
  bool found = false;
  ForEachCharStart(s, [&](size_t i) {
    found = s[i] == ch;
    return !found;
  });
  return found;
}

std::vector<std::string> SplitAtSeparators(const std::string& s) {
  std::vector<std::string> parts;
  size_t start = 0;
  ForEachCharStart(s, [&](size_t i) {
    if (IsSeparator(s[i])) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
    return true;
  });
  parts.push_back(s.substr(start));
  return parts;
}

static char LowerAsciiChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAsciiChar(a[i]) != LowerAsciiChar(b[i])) return false;
  }
  return true;
}

std::string LowerAscii(const std::string& s) {
  std::string out(s);
  for (char& c : out) c = LowerAsciiChar(c);
  return out;
}

}  // namespace mbcs
