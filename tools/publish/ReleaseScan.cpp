#include "publish/ReleaseScan.h"

#include <algorithm>
#include <system_error>
#include <unordered_map>

#include "engine/EntryPath.h"
#include "framework/MbcsText.h"
#include "publish/HostNames.h"
#include "publish/NameRules.h"

namespace fs = std::filesystem;

namespace {

struct Walker {
  const std::string& target;
  ReleaseScan* scan;

  void Fail(const fs::path& p, const std::string& why) {
    scan->errors.push_back(DisplayPath(p) + ": " + why);
  }

  // Reads the entries of one directory, checks them and appends their rows, then descends.
  void Walk(const fs::path& dir, const std::string& strListDir, const fs::path& copyDir) {
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) return Fail(dir, "cannot be read: " + ec.message());
    std::vector<ReleaseItem> children;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
      if (ec) return Fail(dir, "cannot be read: " + ec.message());
      ReleaseItem item;
      if (Check(*it, strListDir, copyDir, &item)) children.push_back(std::move(item));
    }
    if (ec) return Fail(dir, "cannot be read: " + ec.message());

    std::sort(children.begin(), children.end(),
              [](const ReleaseItem& a, const ReleaseItem& b) { return a.strName < b.strName; });
    // The updater and Windows take names that differ in letter case for one entry.
    std::unordered_map<std::string, const ReleaseItem*> byKey;
    for (const ReleaseItem& c : children) {
      auto inserted = byKey.emplace(mbcs::LowerAscii(c.strName), &c);
      if (!inserted.second)
        Fail(c.source, "differs from " + DisplayPath(inserted.first->second->source) +
                           " only in letter case; the updater takes both for one entry");
    }
    for (const ReleaseItem& c : children) {
      if (const char* note = NoteSkippedEntry(c.strDir, c.strName))
        scan->warnings.push_back(DisplayPath(c.source) + ": " + note);
      if (!c.bDirectory) {
        ++scan->nFiles;
        scan->nBytes += c.nSize;
      }
      scan->items.push_back(c);
    }
    for (const ReleaseItem& c : children) {
      if (!c.bDirectory) continue;
      std::string sub = strListDir == "\\" ? c.strName : strListDir + "\\" + c.strName;
      Walk(c.source, sub, c.copyRelative);
    }
  }

  // Fills item for one entry and returns true, or records why it is refused.
  bool Check(const fs::directory_entry& entry, const std::string& strListDir, const fs::path& copyDir,
             ReleaseItem* item) {
    const fs::path& p = entry.path();
    std::error_code ec;
    fs::file_status link = entry.symlink_status(ec);
    fs::file_status st = entry.status(ec);
    if (ec) return Fail(p, "cannot be read: " + ec.message()), false;
    if (fs::is_symlink(link) && fs::is_directory(st))
      return Fail(p, "is a symbolic link to a directory, which is not followed"), false;
    if (!fs::is_directory(st) && !fs::is_regular_file(st))
      return Fail(p, "is neither a regular file nor a directory"), false;
    item->bDirectory = fs::is_directory(st);
    item->source = p;
    item->strDir = strListDir;
    fs::path name = p.filename();
    if (!HostNameToGbk(name, &item->strName))
      return Fail(p, "its name cannot be written in GBK, the code page of the updater"), false;
    if (const char* why = RefuseEntryName(item->strName, item->bDirectory)) return Fail(p, why), false;
    // The updater's own path rule has the last word: what it refuses it never installs.
    std::string local;
    if (!MapEntryToLocalPath(strListDir, item->strName, &local))
      return Fail(p, "the updater's path rule refuses this entry"), false;
    std::string tooLong = RefuseEntryLength(target, strListDir, item->strName, item->bDirectory);
    if (!tooLong.empty()) return Fail(p, tooLong), false;
    if (!item->bDirectory) {
      item->nSize = entry.file_size(ec);
      if (ec) return Fail(p, "cannot be read: " + ec.message()), false;
      if (item->nSize >= kMaxReleaseFile)
        return Fail(p, "is 2 GiB or larger; the updater's file sizes are 32-bit"), false;
    }
    item->copyRelative = copyDir / ReleaseCopyName(name, item->strName);
    return true;
  }
};

}  // namespace

void ScanRelease(const fs::path& root, const std::string& target, ReleaseScan* scan) {
  Walker walker{target, scan};
  walker.Walk(root, "\\", fs::path());
}
