// The download of one file over HTTP from the connected update server, with progress and speed
// figures and status notifications. Windows only.
//
// Threads: Download runs on the update worker thread and blocks it; the transfer itself and
// both notifications run on a download thread of its own, one at a time. The painter reads
// m_dwSpeed and m_dwContentLength on the user-interface thread.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "framework/Handles.h"

// Notification codes of OnProgress (10) and OnStatus (11, 12, 13).
enum : int {
  NOTIFY_PROGRESS = 10,    // value: progress of the current file, 10000 = complete
  NOTIFY_FILE_START = 11,  // text: the local path, when a download begins
  NOTIFY_FILE_DONE = 12,   // text: the local path, when the file has been installed
  NOTIFY_MESSAGE = 13,     // text: a whole status line, sent by the update run
};

// Guards m_bBusy and m_hThread of the downloader; initialised by its constructor, never deleted.
extern CRITICAL_SECTION g_csDownload;

// Where a download is written before it is moved into place; under "updatetmp", whose
// entries no file list may install, and reused by every download so nothing piles up.
constexpr const char* kDownloadTempPath = "updatetmp\\download.part";

// A complete copy whose target is held open by another process is retried this often, this
// far apart, before the download fails (about 3 s in all).
constexpr int kInstallRetries = 15;
constexpr DWORD kInstallRetryMs = 200;

class CHttpDownloader {
 public:
  CHttpDownloader();
  // Terminates a download thread still recorded (only at process end).
  virtual ~CHttpDownloader();
  CHttpDownloader(const CHttpDownloader&) = delete;
  CHttpDownloader& operator=(const CHttpDownloader&) = delete;

  // Progress notification (code 10); does nothing here. Called on the download thread.
  virtual void OnProgress(int nCode, int nValue);
  // Status notification (codes 11, 12, 13); does nothing here. Called on the download thread
  // (11, 12) or the worker thread (13).
  virtual void OnStatus(int nCode, const char* szText);

  // Fetches szUrlPath ("\" sent as "/") from m_hConnect into szLocalPath and returns true
  // when status 200 came with a Content-Length, exactly that many bytes arrived and the file
  // was moved into place; otherwise the local file is unchanged. Blocks until the transfer
  // has ended. Worker thread only.
  bool Download(const char* szUrlPath, const char* szLocalPath);
  // As above, but the downloaded copy is installed only when its checksum is nExpectedCrc;
  // a mismatch returns false with m_bCrcMismatch set.
  bool Download(const char* szUrlPath, const char* szLocalPath, int32_t nExpectedCrc);

  HINTERNET m_hInternet = nullptr;  // root handle, opened by the update run; never closed
  HINTERNET m_hConnect = nullptr;   // connection of every request, opened by the update run
  std::string m_strUrlPath;         // object name of the current download, "/" separated
  std::string m_strLocalPath;       // local path as the caller gave it; text of 11 and 12
  HANDLE m_hThread = nullptr;       // running download thread, under g_csDownload
  BOOL m_bBusy = FALSE;             // a download thread is running, under g_csDownload
  BOOL m_bResult = FALSE;           // result of the last download
  BOOL m_bCrcMismatch = FALSE;      // the last download failed only on its checksum
  DWORD m_dwLastSampleBytes = 0;    // m_dwReceived at the last speed computation
  // Bytes per second of the current download, 0 for its first 3 s. Painter reads it:
  // use load(std::memory_order_relaxed).
  std::atomic<DWORD> m_dwSpeed{0};
  DWORD m_dwLastProgressTime = 0;  // time base of progress notifications (timeGetTime)
  DWORD m_dwLastSampleTime = 0;    // start of the current speed window (timeGetTime)
  // Announced size of the current file, 0 until its headers are read. Painter reads it.
  std::atomic<DWORD> m_dwContentLength{0};
  DWORD m_dwReceived = 0;  // bytes received and written in the current download

 protected:
  // The transfer; runs on the download thread; true when the file was installed.
  bool FetchToFile();
  // Entry of the download thread; the parameter is the downloader.
  static DWORD WINAPI DownloadThreadProc(LPVOID pParam);

 protected:
  // Terminates and releases a download thread still recorded; true when there was one.
  // Only for the end of the process, when its caller has been stopped already.
  bool StopDownloadThread();

 private:
  bool Start(const char* szUrlPath, const char* szLocalPath);
  int ProgressValue() const;
  bool Receive(HINTERNET hRequest, HANDLE hFile);
  bool Install();

  bool m_bCheckCrc = false;
  int32_t m_nExpectedCrc = 0;
  std::string m_strBuffer;  // the read buffer, allocated once per downloader
  // The open temporary copy, for StopDownloadThread to close after a terminated transfer.
  HANDLE m_hTempFile = nullptr;
  uint32_t m_dwCrc = 0;  // running checksum of the bytes written to the copy
};
