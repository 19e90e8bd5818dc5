#include <windows.h>

#include "publish/HostNames.h"

namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

bool HostNameToGbk(const std::filesystem::path& component, std::string* gbk) {
  const std::wstring& in = component.native();
  gbk->clear();
  if (in.empty()) return true;
  int wideLen = static_cast<int>(in.size());
  BOOL usedDefault = FALSE;
  int len = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, in.data(), wideLen, nullptr, 0, nullptr,
                                &usedDefault);
  if (len <= 0 || usedDefault) return false;
  std::string out(static_cast<size_t>(len), '\0');
  if (WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, in.data(), wideLen, &out[0], len, nullptr,
                          &usedDefault) != len ||
      usedDefault)
    return false;
  // The name must come back unchanged, or the updater would create a different file.
  int backLen = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, out.data(), len, nullptr, 0);
  if (backLen != wideLen) return false;
  std::wstring back(static_cast<size_t>(backLen), L'\0');
  MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, out.data(), len, &back[0], backLen);
  if (back != in) return false;
  *gbk = out;
  return true;
}

std::filesystem::path ReleaseCopyName(const std::filesystem::path& component, const std::string&) {
  return component;
}

std::string DisplayPath(const std::filesystem::path& path) {
  const std::wstring& in = path.native();
  if (in.empty()) return std::string();
  int wideLen = static_cast<int>(in.size());
  int len = WideCharToMultiByte(CP_ACP, 0, in.data(), wideLen, nullptr, 0, nullptr, nullptr);
  if (len <= 0) return std::string();
  std::string out(static_cast<size_t>(len), '\0');
  WideCharToMultiByte(CP_ACP, 0, in.data(), wideLen, &out[0], len, nullptr, nullptr);
  return out;
}
