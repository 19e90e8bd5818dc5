// The one rule that maps a list entry to a path inside the installation directory.
// The updater runs elevated, so no list may make it touch anything outside that directory.
// Portable: no Windows header.
#pragma once

#include <string>

// The separator of the local paths this build produces.
#ifdef _WIN32
constexpr char kLocalSeparator = '\\';
#else
constexpr char kLocalSeparator = '/';
#endif

// Maps the entry (directory, name) to its path relative to the installation directory and
// returns true; returns false, leaving *out untouched, for an entry that could reach outside it.
// A directory of exactly "/" or "\" is the installation directory; one that begins with a
// separator is taken relative to it. Refused: empty names, ".." and other all-dot or all-blank
// components, drive and UNC prefixes, ":", characters no Windows name may hold, device names.
bool MapEntryToLocalPath(const std::string& strDir, const std::string& strName, std::string* out);

// True for a single-byte character no Windows file name may hold (controls, ":", "<", ">",
// '"', "|", "?", "*" and both separators).
inline bool IsForbiddenNameChar(unsigned char c) {
  return c < 0x20 || c == ':' || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*' ||
         c == '\\' || c == '/';
}

// True when a name with this text may be a component of an installed path (see above).
bool IsSafePathComponent(const std::string& strPart);
