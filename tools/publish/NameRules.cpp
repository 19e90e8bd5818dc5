#include "publish/NameRules.h"

#include "engine/EntryPath.h"
#include "engine/FileList.h"
#include "framework/MbcsText.h"

namespace {

// True when s holds a single-byte character the updater puts unescaped into a URL where it
// changes the meaning: "%" starts an escape and "#" a fragment.
bool HasUrlMetaChar(const std::string& s) { return mbcs::ContainsChar(s, '%') || mbcs::ContainsChar(s, '#'); }

bool HasWindowsForbiddenChar(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (mbcs::IsLeadByte(c) && i + 1 < s.size()) {
      ++i;
      continue;
    }
    if (IsForbiddenNameChar(c)) return true;
  }
  return false;
}

std::string LocalPath(const std::string& strDir, const std::string& strName) {
  return strDir == "\\" ? strName : strDir + "\\" + strName;
}

}  // namespace

const char* RefuseEntryName(const std::string& strName, bool bDirectory) {
  if (mbcs::ContainsChar(strName, ':'))
    return "\":\" cannot be carried: it separates the fields of the file list";
  if (!bDirectory && !IsFileName(strName))
    return "a file name without \".\" would be created as a directory by the updater";
  if (bDirectory && IsFileName(strName))
    return "a directory name with \".\" would be taken for a file by the updater";
  if (HasWindowsForbiddenChar(strName)) return "holds a character that Windows file names cannot hold";
  if (!strName.empty() && (strName.back() == '.' || strName.back() == ' '))
    return "Windows drops a trailing dot or blank, so the installed name would differ";
  if (HasUrlMetaChar(strName)) return "\"%\" and \"#\" change the meaning of the URL the updater requests";
  if (!IsSafePathComponent(strName)) return "the updater refuses this name (a reserved device name)";
  return nullptr;
}

const char* RefuseTarget(const std::string& target) {
  if (target.empty()) return "the target is empty";
  if (target.size() >= 260) return "the target must stay below 260 bytes";
  for (char c : target) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
              c == '-' || c == '.';
    if (!ok) return "the target may hold only ASCII letters, digits, \"_\", \"-\" and \".\"";
  }
  if (target.find("..") != std::string::npos || target.front() == '.' || target.back() == '.')
    return "the target may not hold \"..\" nor begin or end with \".\"";
  if (!IsSafePathComponent(target)) return "the target is a reserved device name on Windows";
  if (std::string("/kv9update/").size() + target.size() + std::string("/filelist.list").size() >
      kMaxClientUrl)
    return "the target is too long for the URL of its file list";
  return nullptr;
}

std::string RefuseEntryLength(const std::string& target, const std::string& strDir,
                              const std::string& strName, bool bDirectory) {
  std::string local = LocalPath(strDir, strName);
  size_t limit = bDirectory ? kMaxClientDirPath : kMaxClientPath;
  if (local.size() > limit)
    return "its path is " + std::to_string(local.size()) + " bytes in GBK; the updater holds at most " +
           std::to_string(limit);
  if (!bDirectory) {
    size_t url =
        std::string("/kv9update/").size() + target.size() + std::string("/release/").size() + local.size();
    if (url > kMaxClientUrl)
      return "its URL path is " + std::to_string(url) + " bytes; the updater holds at most " +
             std::to_string(kMaxClientUrl);
  }
  return std::string();
}

const char* NoteSkippedEntry(const std::string& strDir, const std::string& strName) {
  if (mbcs::EqualsNoCase(strDir, "updatetmp")) return "the updater skips every entry in \"updatetmp\"";
  if (mbcs::EqualsNoCase(strName, "winmm.dll")) return "the updater never downloads a file named winmm.dll";
  return nullptr;
}
