// Byte-string helpers that follow the double-byte rules of the GBK code page (936).
// A GBK lead byte is 0x81..0xFE and is always followed by one trail byte 0x40..0xFE,
// which may equal "\" (0x5C) or an ASCII letter; scans must step over such pairs.
// Portable: no Windows header.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mbcs {

// True when c starts a double-byte character in code page 936.
inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// True when c may follow a lead byte as the second byte of a character.
inline bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// True for "\" and "/".
inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Index of the last "\" or "/" of s that is a whole character, or npos.
size_t FindLastSeparator(const std::string& s);

// Index of the last occurrence of the single-byte character ch as a whole character, or npos.
size_t FindLastChar(const std::string& s, char ch);

// True when s holds the single-byte character ch as a whole character (not a trail byte).
bool ContainsChar(const std::string& s, char ch);

// Splits s at whole-character separators ("\" or "/") into its components, empty ones included.
std::vector<std::string> SplitAtSeparators(const std::string& s);

// Byte-wise equality that ignores the case of the ASCII letters A..Z only.
bool EqualsNoCase(const std::string& a, const std::string& b);

// The ASCII letters A..Z of s made lower case; every other byte unchanged.
std::string LowerAscii(const std::string& s);

}  // namespace mbcs
