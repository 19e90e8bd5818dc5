// Owning wrappers for the handles and GDI objects the program creates. Each is non-copyable,
// movable, and releases what it holds on every path with the release function of its kind.
// Windows only.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace win {

// Holds a value of type T and releases it with Traits::Close unless it equals Traits::Invalid().
template <typename T, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T h) : h_(h) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }

  T Get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Invalid(); }
  // Gives up ownership without releasing.
  T Release() { return std::exchange(h_, Traits::Invalid()); }
  // Releases the held value, then takes h.
  void Reset(T h = Traits::Invalid()) {
    if (h_ != Traits::Invalid()) Traits::Close(h_);
    h_ = h;
  }

 private:
  T h_ = Traits::Invalid();
};

struct KernelTraits {  // threads, processes, events: null when absent
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileTraits {  // CreateFile, FindFirstFile snapshots use INVALID_HANDLE_VALUE
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct InternetTraits {
  static HINTERNET Invalid() { return nullptr; }
  static void Close(HINTERNET h) { InternetCloseHandle(h); }
};
template <typename T>
struct GdiTraits {  // pens, brushes, fonts, bitmaps, regions
  static T Invalid() { return nullptr; }
  static void Close(T h) { DeleteObject(h); }
};
struct DcTraits {  // memory device contexts from CreateCompatibleDC
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using UniqueFileHandle = UniqueHandle<HANDLE, FileTraits>;
using UniqueInternet = UniqueHandle<HINTERNET, InternetTraits>;
template <typename T>
using UniqueGdi = UniqueHandle<T, GdiTraits<T>>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueRegion = UniqueGdi<HRGN>;
using UniqueMemDc = UniqueHandle<HDC, DcTraits>;

// Selects an object into a device context and selects the previous one back on destruction.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(dc && obj ? SelectObject(dc, obj) : nullptr) {}
  ~SelectGuard() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Holds a critical section for the life of the guard.
class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
  ~CriticalSectionLock() { LeaveCriticalSection(cs_); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

 private:
  CRITICAL_SECTION* cs_;
};

}  // namespace win
