#include "engine/ServerList.h"

#include <cstring>
#include <string>

#include "framework/FileBytes.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The file is read in text mode: CR LF is one line feed and Ctrl-Z ends the text.
std::string TextModeView(const char* data, size_t len) {
  std::string text;
  text.reserve(len);
  for (size_t i = 0; i < len; ++i) {
    if (data[i] == 0x1A) break;
    if (data[i] == '\r' && i + 1 < len && data[i + 1] == '\n') continue;
    text += data[i];
  }
  return text;
}

// "%d": blanks, an optional sign, at least one digit; the value wraps into 32 bits.
bool ScanInt(const char*& p, int32_t* out) {
  while (*p != '\0' && IsSpace(*p)) ++p;
  const char* q = p;
  bool negative = false;
  if (*q == '+' || *q == '-') negative = *q++ == '-';
  if (*q < '0' || *q > '9') return false;
  uint32_t value = 0;
  while (*q >= '0' && *q <= '9') value = value * 10u + static_cast<uint32_t>(*q++ - '0');
  *out = static_cast<int32_t>(negative ? 0u - value : value);
  p = q;
  return true;
}

// "%[^;]": at least one byte up to the next ";" or the end, into a field of cap bytes.
// Returns 1 on a match, 0 when nothing matches, -1 when the text would not fit.
int ScanField(const char*& p, char* field, size_t cap) {
  size_t n = strcspn(p, ";");
  if (n == 0) return 0;
  if (n >= cap) return -1;
  memcpy(field, p, n);
  field[n] = '\0';
  p += n;
  return 1;
}

bool ScanSemicolon(const char*& p) {
  if (*p != ';') return false;
  ++p;
  return true;
}

// Parses one line as "%d;%d;%[^;];%[^;];%d"; the fields after the first mismatch stay
// cleared. Returns false when the row must be dropped because a text field is too long.
bool ParseServerLine(const char* line, ServerEntry* row) {
  const char* p = line;
  if (!ScanInt(p, &row->nId) || !ScanSemicolon(p)) return true;
  if (!ScanInt(p, &row->nLineType) || !ScanSemicolon(p)) return true;
  int r = ScanField(p, row->szName, sizeof row->szName);
  if (r < 0) return false;
  if (r == 0 || !ScanSemicolon(p)) return true;
  r = ScanField(p, row->szHost, sizeof row->szHost);
  if (r < 0) return false;
  if (r == 0 || !ScanSemicolon(p)) return true;
  ScanInt(p, &row->nPort);
  return true;
}

}  // namespace

void ParseUpdateList(const char* data, size_t len, ServerList& list) {
  list.clear();
  std::string text = TextModeView(data, len);
  size_t pos = 0;
  while (pos < text.size()) {
    // "%[^\n]" takes at least one byte up to the line feed; a line feed here is an empty read.
    size_t lf = text.find('\n', pos);
    size_t lineEnd = lf == std::string::npos ? text.size() : lf;
    if (lineEnd == pos) break;
    std::string line = text.substr(pos, lineEnd - pos);
    // "\r" in the format then skips every blank that follows, line feeds included.
    pos = lineEnd;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;

    if (line.size() > kMaxServerLine) continue;
    // The first field of a row stops at a NUL byte, as the C string of the line does.
    line.resize(strlen(line.c_str()));
    if (line.empty()) break;
    if (line[0] == '#') continue;
    ServerEntry row;
    if (!ParseServerLine(line.c_str(), &row)) continue;
    if (row.nId != 0) list.push_back(row);
  }
}

void ReadUpdateListFile(const char* szPath, ServerList& list) {
  std::string data;
  ReadFileBytes(szPath, &data);  // a missing file reads as empty: no rows
  ParseUpdateList(data.data(), data.size(), list);
}

int ChooseServerIndex(const ServerList& list, int32_t nLineType, int r) {
  int n = static_cast<int>(list.size());
  if (n == 0) return -1;
  // 64 bits: n may be as large as the memory allows, and 2n must not overflow.
  long long t = (static_cast<long long>(r) + n) % (2LL * n);
  long long ordinal = -1;
  for (int visit = 0; visit < 1001; ++visit) {
    const ServerEntry& row = list[visit % n];
    if (row.nLineType != nLineType) continue;
    if (ordinal == t) return visit % n;
    ++ordinal;
  }
  return -1;
}
