#include "net/HttpDownloader.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "framework/MbcsText.h"
#include "net/FileChecksum.h"

CRITICAL_SECTION g_csDownload;

namespace {

// Large reads matter under Wine: every InternetReadFile call costs far more than the copy.
constexpr DWORD kReadBufferSize = 1024 * 1024;
// The read size adapts between these, doubling after a read that took under kFastReadMs and
// halving after one that took over kSlowReadMs.
constexpr DWORD kMinReadSize = 8 * 1024;
constexpr DWORD kStartReadSize = 64 * 1024;
constexpr DWORD kFastReadMs = 50;
constexpr DWORD kSlowReadMs = 150;
constexpr DWORD kSpeedWindowMs = 3000;
constexpr DWORD kProgressStepMs = 200;

BOOL CALLBACK InitDownloadLock(PINIT_ONCE, PVOID, PVOID*) {
  InitializeCriticalSection(&g_csDownload);
  return TRUE;
}

// "\" becomes "/", stepping over double-byte characters whose trail byte has the same code.
std::string ToUrlPath(const char* szPath) {
  std::string s(szPath);
  for (size_t i = 0; i < s.size(); ++i) {
    if (mbcs::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size())
      ++i;
    else if (s[i] == '\\')
      s[i] = '/';
  }
  return s;
}

// The whole text is a decimal number of at most 32 bits.
bool ParseContentLength(const char* sz, DWORD* pdwOut) {
  if (*sz < '0' || *sz > '9') return false;
  unsigned long long n = 0;
  for (; *sz >= '0' && *sz <= '9'; ++sz) {
    n = n * 10 + static_cast<unsigned>(*sz - '0');
    if (n > 0xFFFFFFFFull) return false;
  }
  if (*sz != '\0') return false;
  *pdwOut = static_cast<DWORD>(n);
  return true;
}

}  // namespace

CHttpDownloader::CHttpDownloader() {
  // Every downloader shares the one lock; tests make more than one.
  static INIT_ONCE s_once = INIT_ONCE_STATIC_INIT;
  InitOnceExecuteOnce(&s_once, InitDownloadLock, nullptr, nullptr);
}

CHttpDownloader::~CHttpDownloader() { StopDownloadThread(); }

void CHttpDownloader::OnProgress(int, int) {}

void CHttpDownloader::OnStatus(int, const char*) {}

bool CHttpDownloader::StopDownloadThread() {
  HANDLE hThread;
  {
    win::CriticalSectionLock lock(&g_csDownload);
    hThread = m_hThread;
    m_hThread = nullptr;
    m_bBusy = FALSE;
  }
  if (hThread == nullptr) return false;
  TerminateThread(hThread, 1);
  // Termination is asynchronous: the thread must be gone before its object is.
  WaitForSingleObject(hThread, 1000);
  CloseHandle(hThread);
  // The copy it was writing stays behind; the next download truncates and reuses it.
  if (m_hTempFile != nullptr) CloseHandle(std::exchange(m_hTempFile, nullptr));
  return true;
}

bool CHttpDownloader::Download(const char* szUrlPath, const char* szLocalPath) {
  m_bCheckCrc = false;
  return Start(szUrlPath, szLocalPath);
}

bool CHttpDownloader::Download(const char* szUrlPath, const char* szLocalPath, int32_t nExpectedCrc) {
  m_bCheckCrc = true;
  m_nExpectedCrc = nExpectedCrc;
  return Start(szUrlPath, szLocalPath);
}

bool CHttpDownloader::Start(const char* szUrlPath, const char* szLocalPath) {
  m_strUrlPath = ToUrlPath(szUrlPath);
  m_strLocalPath = szLocalPath;
  DWORD dwNow = timeGetTime();
  m_dwLastSampleBytes = 0;
  m_dwSpeed.store(0, std::memory_order_relaxed);
  m_dwLastProgressTime = dwNow;
  m_dwLastSampleTime = dwNow;
  m_dwContentLength.store(0, std::memory_order_relaxed);
  m_dwReceived = 0;
  m_bResult = TRUE;
  m_bCrcMismatch = FALSE;
  if (m_strBuffer.size() != kReadBufferSize) m_strBuffer.assign(kReadBufferSize, '\0');

  // A thread is still recorded only when an earlier caller was stopped while it waited.
  StopDownloadThread();
  {
    win::CriticalSectionLock lock(&g_csDownload);
    m_bBusy = TRUE;
  }

  HANDLE hThread = CreateThread(nullptr, 0, DownloadThreadProc, this, 0, nullptr);
  if (hThread == nullptr) {
    win::CriticalSectionLock lock(&g_csDownload);
    m_bBusy = FALSE;
    m_bResult = FALSE;
    return false;
  }
  {
    // Recorded for the destructor; a thread that has already ended is harmless there, as
    // the field is cleared again right after the wait.
    win::CriticalSectionLock lock(&g_csDownload);
    m_hThread = hThread;
  }
  WaitForSingleObject(hThread, INFINITE);
  {
    win::CriticalSectionLock lock(&g_csDownload);
    m_hThread = nullptr;
  }
  CloseHandle(hThread);
  return m_bResult != FALSE;
}

DWORD WINAPI CHttpDownloader::DownloadThreadProc(LPVOID pParam) {
  auto* pThis = static_cast<CHttpDownloader*>(pParam);
  pThis->m_bResult = pThis->FetchToFile() ? TRUE : FALSE;
  win::CriticalSectionLock lock(&g_csDownload);
  pThis->m_bBusy = FALSE;
  return 0;
}

int CHttpDownloader::ProgressValue() const {
  DWORD dwLength = m_dwContentLength.load(std::memory_order_relaxed);
  // An announced length of 0 is a complete empty file.
  if (dwLength == 0) return 10000;
  double dValue = static_cast<double>(m_dwReceived) / static_cast<double>(dwLength) * 10000.0;
  return dValue >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(dValue);
}

bool CHttpDownloader::FetchToFile() {
  OnStatus(NOTIFY_FILE_START, m_strLocalPath.c_str());
  win::UniqueInternet hRequest(HttpOpenRequestA(m_hConnect, "GET", m_strUrlPath.c_str(), "HTTP/1.0", nullptr,
                                                nullptr, INTERNET_FLAG_NO_CACHE_WRITE, 0));
  if (!hRequest) return false;
  if (!HttpSendRequestA(hRequest.Get(), nullptr, 0, nullptr, 0)) return false;

  char szStatus[16] = {};
  DWORD dwSize = sizeof szStatus;
  if (!HttpQueryInfoA(hRequest.Get(), HTTP_QUERY_STATUS_CODE, szStatus, &dwSize, nullptr)) return false;
  if (strcmp(szStatus, "200") != 0) return false;

  char szLength[32] = {};
  dwSize = sizeof szLength;
  DWORD dwIndex = 0;
  if (!HttpQueryInfoA(hRequest.Get(), HTTP_QUERY_CONTENT_LENGTH, szLength, &dwSize, &dwIndex)) return false;
  DWORD dwLength = 0;
  if (!ParseContentLength(szLength, &dwLength)) return false;
  m_dwContentLength.store(dwLength, std::memory_order_relaxed);
  m_dwReceived = 0;

  // The installed file is replaced only by a complete, closed copy.
  CreateDirectoryA("updatetmp", nullptr);
  win::UniqueFileHandle hFile(CreateFileA(kDownloadTempPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!hFile) return false;
  m_hTempFile = hFile.Get();
  m_dwCrc = kCrcStart;
  bool bComplete = Receive(hRequest.Get(), hFile.Get());
  OnProgress(NOTIFY_PROGRESS, ProgressValue());
  m_hTempFile = nullptr;
  bool bClosed = CloseHandle(hFile.Release()) != FALSE;
  hRequest.Reset();
  if (!bComplete || !bClosed || m_dwReceived != dwLength || !Install()) {
    DeleteFileA(kDownloadTempPath);
    return false;
  }
  OnStatus(NOTIFY_FILE_DONE, m_strLocalPath.c_str());
  return true;
}

// Reads the body into the file until the server ends it; false on a read or write error and
// as soon as more bytes arrive than were announced.
bool CHttpDownloader::Receive(HINTERNET hRequest, HANDLE hFile) {
  char* pBuffer = &m_strBuffer[0];
  DWORD dwReadSize = kStartReadSize;
  DWORD dwLength = m_dwContentLength.load(std::memory_order_relaxed);
  for (;;) {
    // A read returns only when its whole size has arrived (or the body ended), so its size
    // follows the link: large reads where data flows fast, small ones where it trickles, so
    // that progress keeps moving.
    DWORD dwBefore = timeGetTime();
    DWORD dwGot = 0;
    if (!InternetReadFile(hRequest, pBuffer, dwReadSize, &dwGot)) return false;
    if (dwGot == 0) return true;
    DWORD dwTook = timeGetTime() - dwBefore;
    if (dwTook < kFastReadMs && dwReadSize < kReadBufferSize)
      dwReadSize *= 2;
    else if (dwTook > kSlowReadMs && dwReadSize > kMinReadSize)
      dwReadSize /= 2;
    DWORD dwWritten = 0;
    if (!WriteFile(hFile, pBuffer, dwGot, &dwWritten, nullptr) || dwWritten != dwGot) return false;
    // The checksum of the copy is taken from the bytes as they are written to it.
    m_dwCrc = Crc32Update(m_dwCrc, pBuffer, dwGot);
    if (dwGot > dwLength - m_dwReceived) {
      m_dwReceived = dwLength + 1;  // more than announced: the rest is not worth reading
      return false;
    }
    m_dwReceived += dwGot;

    // Both windows advance by fixed steps, so after a long blocking read they catch up over
    // the following reads.
    if (timeGetTime() - m_dwLastSampleTime >= kSpeedWindowMs) {
      DWORD t = timeGetTime();
      DWORD dwElapsed = t - m_dwLastSampleTime;
      if (dwElapsed != 0) {
        unsigned long long ullBytes =
            static_cast<unsigned long long>(m_dwReceived - m_dwLastSampleBytes) * 1000u;
        m_dwSpeed.store(static_cast<DWORD>(ullBytes / dwElapsed), std::memory_order_relaxed);
      }
      m_dwLastSampleBytes = m_dwReceived;
      m_dwLastSampleTime += kSpeedWindowMs;
    }
    if (timeGetTime() - m_dwLastProgressTime >= kProgressStepMs) {
      OnProgress(NOTIFY_PROGRESS, ProgressValue());
      m_dwLastProgressTime += kProgressStepMs;
    }
  }
}

// Checks the copy when a checksum is expected, then moves it over the installed file.
// Every write of the copy succeeded and it was closed without error, so its bytes are the
// bytes the checksum was taken over.
bool CHttpDownloader::Install() {
  if (m_bCheckCrc && static_cast<int32_t>(m_dwCrc) != m_nExpectedCrc) {
    m_bCrcMismatch = TRUE;
    return false;
  }
  // A file that is still held gets a short grace: the launcher that started this process may
  // still be ending while its own executable, Pellarin.exe, is being replaced.
  for (int nTry = 0;; ++nTry) {
    if (MoveFileExA(kDownloadTempPath, m_strLocalPath.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
      return true;
    DWORD dwError = GetLastError();
    if ((dwError != ERROR_ACCESS_DENIED && dwError != ERROR_SHARING_VIOLATION) || nTry >= kInstallRetries)
      return false;
    Sleep(kInstallRetryMs);
  }
}
