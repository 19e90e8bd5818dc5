#include "engine/FileList.h"

#include <sys/stat.h>

#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "engine/EntryPath.h"
#include "framework/FileBytes.h"
#include "framework/MbcsText.h"
#include "net/FileChecksum.h"

FileList g_WorkList;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Reads a decimal checksum with an optional sign, wrapping into 32 bits, so that the signed
// and the unsigned form of a value agree. Only blanks may surround it.
bool ParseChecksum(const char* p, const char* end, int32_t* out) {
  while (p < end && IsBlank(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const char* digits = p;
  uint32_t value = 0;
  while (p < end && *p >= '0' && *p <= '9') value = value * 10u + static_cast<uint32_t>(*p++ - '0');
  if (p == digits) return false;
  while (p < end && IsBlank(*p)) ++p;
  if (p != end) return false;
  *out = static_cast<int32_t>(negative ? 0u - value : value);
  return true;
}

// Parses one line (without its line feed) into entry; false for anything but a whole entry.
bool ParseLine(const char* p, const char* end, FileEntry* entry) {
  // Blanks before an entry are skipped, as after the checksum of the line before.
  while (p < end && IsBlank(*p)) ++p;
  const char* colon1 = static_cast<const char*>(memchr(p, ':', end - p));
  if (colon1 == nullptr) return false;
  const char* colon2 = static_cast<const char*>(memchr(colon1 + 1, ':', end - colon1 - 1));
  if (colon2 == nullptr) return false;
  size_t dirLen = colon1 - p;
  size_t nameLen = colon2 - colon1 - 1;
  if (dirLen == 0 || nameLen == 0 || dirLen > kMaxListField || nameLen > kMaxListField) return false;
  int32_t crc = 0;
  if (!ParseChecksum(colon2 + 1, end, &crc)) return false;
  entry->m_strDir.assign(p, dirLen);
  entry->m_strName.assign(colon1 + 1, nameLen);
  entry->m_nCrc = crc;
  entry->m_nKind = FILE_KIND_FILE;
  return true;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Comparison key of an entry: directory and name, ASCII letters folded, joined by a byte
// that neither field can hold.
std::string EntryKey(const FileEntry& e) {
  std::string key = mbcs::LowerAscii(e.m_strDir);
  key += '\0';
  key += mbcs::LowerAscii(e.m_strName);
  return key;
}

}  // namespace

bool IsFileName(const std::string& strName) { return mbcs::ContainsChar(strName, '.'); }

void ParseFileList(const char* data, size_t len, FileList& list) {
  const char* end = data + len;
  for (const char* line = data; line < end;) {
    const char* lf = static_cast<const char*>(memchr(line, '\n', end - line));
    const char* lineEnd = lf ? lf : end;
    FileEntry entry;
    if (ParseLine(line, lineEnd, &entry)) list.push_back(std::move(entry));
    line = lf ? lf + 1 : end;
  }
}

void LoadFileList(const char* szPath, FileList& list) {
  std::string text;
  if (!ReadFileBytes(szPath, &text)) return;
  ParseFileList(text.data(), text.size(), list);
}

void BuildLocalList(const FileList& remote, FileList& local, const std::string& strInstallDir) {
  for (const FileEntry& row : remote) {
    std::string relative;
    if (!MapEntryToLocalPath(row.m_strDir, row.m_strName, &relative)) continue;
    std::string path = strInstallDir + relative;
    if (!PathExists(path)) continue;
    FileEntry found = row;
    found.m_nCrc = IsFileName(row.m_strName) ? GetFileCrc32(path.c_str()) : 0;
    local.push_back(std::move(found));
  }
}

void CompareFileLists(const FileList& remote, const FileList& local, FileList& work) {
  size_t first = work.size();
  // Remote rows by key, in list order: a local row is compared only with its own key's rows.
  std::unordered_map<std::string, std::vector<size_t>> remoteByKey;
  remoteByKey.reserve(remote.size());
  for (size_t i = 0; i < remote.size(); ++i) remoteByKey[EntryKey(remote[i])].push_back(i);

  std::unordered_set<std::string> present;
  present.reserve(local.size());
  for (const FileEntry& l : local) {
    std::string key = EntryKey(l);
    auto it = remoteByKey.find(key);
    if (it != remoteByKey.end()) {
      for (size_t i : it->second) {
        const FileEntry& r = remote[i];
        if (r.m_nCrc != l.m_nCrc && IsFileName(r.m_strName)) work.push_back(r);
      }
    }
    present.insert(std::move(key));
  }
  // Equal lengths mean every remote row exists on disk: nothing is missing.
  if (remote.size() != local.size()) {
    for (const FileEntry& r : remote) {
      if (present.count(EntryKey(r)) == 0) work.push_back(r);
    }
  }
  for (size_t i = first; i < work.size(); ++i)
    work[i].m_nKind = IsFileName(work[i].m_strName) ? FILE_KIND_FILE : FILE_KIND_DIRECTORY;
}
