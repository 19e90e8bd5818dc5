#include <iconv.h>
#include <langinfo.h>

#include <cstring>

#include "publish/HostNames.h"

namespace {

// The charset of host file names: the locale's, or UTF-8 when the locale is the plain C one
// (which says nothing about names).
const char* HostCharset() {
  const char* cs = nl_langinfo(CODESET);
  if (cs == nullptr || *cs == '\0' || strcmp(cs, "ANSI_X3.4-1968") == 0 || strcmp(cs, "ASCII") == 0)
    return "UTF-8";
  return cs;
}

}  // namespace

bool HostNameToGbk(const std::filesystem::path& component, std::string* gbk) {
  const std::string& in = component.native();
  iconv_t cd = iconv_open("GBK", HostCharset());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  // Every host charset spends at least one byte on a character and GBK at most two.
  std::string out(in.size() * 2 + 8, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = &out[0];
  size_t dstLeft = out.size();
  size_t converted = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  // A positive count means characters were replaced by look-alikes: GBK does not hold them.
  bool ok = converted == 0 && srcLeft == 0 && iconv(cd, nullptr, nullptr, &dst, &dstLeft) == 0;
  iconv_close(cd);
  if (!ok) return false;
  out.resize(out.size() - dstLeft);
  *gbk = out;
  return true;
}

std::filesystem::path ReleaseCopyName(const std::filesystem::path&, const std::string& gbk) {
  return std::filesystem::path(gbk);
}

std::string DisplayPath(const std::filesystem::path& path) { return path.native(); }
