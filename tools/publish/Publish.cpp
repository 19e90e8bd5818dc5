#include "publish/Publish.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <system_error>

#include "net/FileChecksum.h"
#include "publish/HostNames.h"
#include "publish/Progress.h"
#include "publish/ReleaseScan.h"

namespace fs = std::filesystem;

const char kFileListEnd[] = "#end\r\n";

namespace {

constexpr size_t kCopyChunk = 1 << 20;

const char kInterrupted[] = "interrupted";

bool IsCancelled(const std::atomic<bool>* cancel) { return cancel != nullptr && cancel->load(); }

struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Removes a tree this run made, unless the run kept it.
class OwnedTree {
 public:
  OwnedTree() = default;
  explicit OwnedTree(fs::path p) : m_path(std::move(p)) {}
  ~OwnedTree() {
    if (m_path.empty()) return;
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  OwnedTree(const OwnedTree&) = delete;
  OwnedTree& operator=(const OwnedTree&) = delete;
  void Reset(fs::path p) { m_path = std::move(p); }
  void Keep() { m_path.clear(); }

 private:
  fs::path m_path;
};

std::string UniqueSuffix() {
  std::random_device rd;
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return std::to_string(rd()) + "-" + std::to_string(static_cast<unsigned long long>(ticks) & 0xFFFFFFu);
}

// True when p is base or lies below it (both made absolute and free of links first).
bool IsWithin(const fs::path& p, const fs::path& base) {
  std::error_code ec;
  fs::path a = fs::weakly_canonical(fs::absolute(p, ec), ec);
  fs::path b = fs::weakly_canonical(fs::absolute(base, ec), ec);
  if (ec) return false;
  fs::path rel = a.lexically_relative(b);
  return !rel.empty() && *rel.begin() != "..";
}

std::string LastErrorText() { return strerror(errno); }

// Copies source to dest through buffer (kCopyChunk bytes), computing the checksum of the
// bytes on the way.
bool CopyWithChecksum(const fs::path& source, const fs::path& dest, unsigned char* buffer,
                      ProgressMeter* meter, const std::atomic<bool>* cancel, int32_t* crcOut,
                      uint64_t* sizeOut, std::string* error) {
  FilePtr in(OpenHostFile(source, "rb"));
  if (!in) return *error = DisplayPath(source) + ": cannot be opened: " + LastErrorText(), false;
  FilePtr out(OpenHostFile(dest, "wb"));
  if (!out) return *error = DisplayPath(dest) + ": cannot be created: " + LastErrorText(), false;
  uint32_t crc = kCrcStart;
  uint64_t size = 0;
  size_t got;
  while ((got = fread(buffer, 1, kCopyChunk, in.get())) > 0) {
    crc = Crc32Update(crc, buffer, got);
    size += got;
    if (size >= kMaxReleaseFile)
      return *error = DisplayPath(source) + ": grew to 2 GiB or more while copied", false;
    if (fwrite(buffer, 1, got, out.get()) != got)
      return *error = DisplayPath(dest) + ": cannot be written: " + LastErrorText(), false;
    meter->AddBytes(got);
    if (IsCancelled(cancel)) return *error = kInterrupted, false;
  }
  if (ferror(in.get())) return *error = DisplayPath(source) + ": cannot be read", false;
  if (fclose(out.release()) != 0)
    return *error = DisplayPath(dest) + ": cannot be written: " + LastErrorText(), false;
  *crcOut = static_cast<int32_t>(crc);
  *sizeOut = size;
  return true;
}

bool WriteTextFile(const fs::path& path, const std::string& text, std::string* error) {
  FilePtr f(OpenHostFile(path, "wb"));
  if (!f) return *error = DisplayPath(path) + ": cannot be created", false;
  if (fwrite(text.data(), 1, text.size(), f.get()) != text.size() || fclose(f.release()) != 0)
    return *error = DisplayPath(path) + ": cannot be written", false;
  return true;
}

// Puts the complete tree fresh in the place of finalDir, which may hold an older publication.
// On failure the older one is back in its place.
bool PutInPlace(const fs::path& fresh, const fs::path& finalDir, const fs::path& parked, std::string* error) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(finalDir, ec))) {
    fs::rename(fresh, finalDir, ec);
    if (ec) return *error = DisplayPath(finalDir) + ": cannot be put in place: " + ec.message(), false;
    return true;
  }
  if (!fs::is_directory(fs::symlink_status(finalDir, ec)))
    return *error = DisplayPath(finalDir) + ": exists and is no directory; not replaced", false;
  if (ExchangeDirectories(fresh, finalDir)) {
    fs::remove_all(fresh, ec);  // now the older tree
    return true;
  }
  fs::rename(finalDir, parked, ec);
  if (ec) return *error = DisplayPath(finalDir) + ": cannot be moved aside: " + ec.message(), false;
  fs::rename(fresh, finalDir, ec);
  if (ec) {
    *error = DisplayPath(finalDir) + ": cannot be put in place: " + ec.message();
    std::error_code back;
    fs::rename(parked, finalDir, back);
    if (back) *error += "; the older publication is left at " + DisplayPath(parked);
    return false;
  }
  fs::remove_all(parked, ec);
  return true;
}

// The first of path and its parents that does not exist, or an empty path.
fs::path FirstMissing(const fs::path& path) {
  fs::path missing;
  std::error_code ec;
  for (fs::path p = fs::absolute(path, ec); !p.empty(); p = p.parent_path()) {
    // Only what surely does not exist counts: a path that cannot be examined is left alone.
    if (fs::symlink_status(p, ec).type() != fs::file_type::not_found) break;
    missing = p;
    if (p == p.parent_path()) break;
  }
  return missing;
}

}  // namespace

std::string FileListRow(const std::string& strDir, const std::string& strName, int32_t nCrc) {
  return strDir + ":" + strName + ":" + std::to_string(nCrc) + "\r\n";
}

bool PublishRelease(const PublishRequest& request, PublishSummary* summary,
                    std::vector<std::string>* errors) {
  std::error_code ec;
  if (!fs::is_directory(request.releaseDir, ec))
    return errors->push_back(DisplayPath(request.releaseDir) + ": is no directory"), false;
  fs::path server = request.outDir / "kv9update";
  fs::path finalDir = server / request.target;
  if (IsWithin(server, request.releaseDir) || IsWithin(request.releaseDir, finalDir))
    return errors->push_back(DisplayPath(request.outDir) +
                             ": the output and the release directory must not lie inside each other"),
           false;

  ReleaseScan scan;
  ScanRelease(request.releaseDir, request.target, &scan);
  summary->warnings = scan.warnings;
  if (!scan.errors.empty()) return *errors = scan.errors, false;

  // Whatever this run creates goes again on failure: the directories above the server tree
  // that did not exist, and the staging tree.
  OwnedTree createdAbove(FirstMissing(server));
  fs::create_directories(server, ec);
  if (ec) return errors->push_back(DisplayPath(server) + ": cannot be created: " + ec.message()), false;
  std::string suffix = UniqueSuffix();
  fs::path staging = server / ("~publish-" + request.target + "-" + suffix);
  fs::path release = staging / "release";
  OwnedTree stagingTree;
  if (!fs::create_directory(staging, ec))
    return errors->push_back(DisplayPath(staging) + ": cannot be created: " + ec.message()), false;
  stagingTree.Reset(staging);
  if (!fs::create_directory(release, ec))
    return errors->push_back(DisplayPath(release) + ": cannot be created: " + ec.message()), false;

  bool enabled = request.progressAlways || scan.nFiles >= request.progressMinFiles ||
                 scan.nBytes >= request.progressMinBytes;
  ProgressMeter meter(request.progress, enabled, request.progressTerminal, scan.nFiles, scan.nBytes,
                      request.progressEveryFiles);
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[kCopyChunk]);
  std::string list;
  std::string error;
  PublishSummary done;
  for (const ReleaseItem& item : scan.items) {
    if (IsCancelled(request.cancel)) return errors->push_back(kInterrupted), false;
    fs::path dest = release / item.copyRelative;
    int32_t crc = 0;
    if (item.bDirectory) {
      if (!fs::create_directory(dest, ec))
        return errors->push_back(DisplayPath(dest) + ": cannot be created: " + ec.message()), false;
      ++done.nDirectories;
    } else {
      uint64_t size = 0;
      if (!CopyWithChecksum(item.source, dest, buffer.get(), &meter, request.cancel, &crc, &size, &error))
        return errors->push_back(error), false;
      meter.FileDone();
      ++done.nFiles;
      done.nBytes += size;
    }
    list += FileListRow(item.strDir, item.strName, crc);
  }
  list += kFileListEnd;
  meter.Finish();
  if (!WriteTextFile(staging / "filelist.list", list, &error)) return errors->push_back(error), false;
  if (IsCancelled(request.cancel)) return errors->push_back(kInterrupted), false;

  fs::path parked = server / ("~publish-" + request.target + "-old-" + suffix);
  if (!PutInPlace(staging, finalDir, parked, &error)) return errors->push_back(error), false;
  stagingTree.Keep();
  createdAbove.Keep();
  done.published = finalDir;
  done.warnings = scan.warnings;
  *summary = done;
  return true;
}
