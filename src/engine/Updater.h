// The update engine's one object, theUpdater: progress model, status line, chosen server,
// worker thread and the text labels the window draws with. Windows only.
//
// Threads: the user-interface thread calls SetTarget, ReadUpdateList, ChooseServer and paints
// (reading the progress fields, GetStatusText, m_dwSpeed, m_dwContentLength, the labels); the
// worker thread runs RunUpdate; the download thread sends OnProgress and OnStatus(11, 12).
// The integer fields are atomic with relaxed order; the status text is behind its own lock.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/FileEntry.h"
#include "engine/ServerList.h"
#include "net/HttpDownloader.h"

// Fixed positions (client pixels) of the bars and texts, shared by painter and repaints.
inline constexpr int g_nBarLeft = 18;       // left edge of both bars
inline constexpr int g_nFileBarTop = 226;   // top of the current-file bar
inline constexpr int g_nTotalBarTop = 245;  // top of the total bar
inline constexpr int g_nStatusLeft = 18;    // left end of the status line
inline constexpr int g_nStatusTop = 205;    // top of the status line
inline constexpr int g_nPercentLeft = 330;  // left end of both percentage texts
inline constexpr int g_nCountersLeft = 15;  // left end of the file counter and speed text
inline constexpr int g_nCountersTop = 268;  // top of the file counter and speed text

// Sizes of the repaint areas that start at the positions above.
inline constexpr int g_nBarAreaWidth = 500, g_nBarAreaHeight = 14;
inline constexpr int g_nCountersAreaWidth = 300, g_nCountersAreaHeight = 13;
inline constexpr int g_nStatusAreaWidth = 500, g_nStatusAreaHeight = 13;

// Requests a repaint (with erasing) of (x, y)-(x + cx, y + cy) of g_hMainWnd; any thread.
void InvalidateArea(int x, int y, int cx, int cy);

// A text with its own font and colour, drawn transparently. User-interface thread only.
class CTextLabel {
 public:
  CTextLabel();
  // Frees the text only: the font lives until the process ends.
  virtual ~CTextLabel();

  // Draws m_strText with its top-left corner at (x, y), restoring the DC's mode, colour, font.
  void Draw(HDC hdc, int x, int y);

  LOGFONTA m_lf;          // description the font is created from
  COLORREF m_crColor;     // text colour
  std::string m_strText;  // GBK bytes to draw
  HFONT m_hFont;          // font created from m_lf; null when creation failed
};

class CUpdater : public CHttpDownloader {
 public:
  CUpdater();
  // Stops a worker still running (the window was closed early), without waiting for its end.
  ~CUpdater() override;

  // Stores a progress value (code 10) and requests repaints of the bars and counters.
  void OnProgress(int nCode, int nValue) override;
  // Sets the status line from codes 11, 12, 13 and requests its repaint; ignores others.
  void OnStatus(int nCode, const char* szText) override;

  // Creates both label fonts and stores the target ("plat" or a game). Once, before the worker.
  void SetTarget(const char* szTarget);
  // Replaces m_listServers with the rows of "updatelist.ini" in the current directory.
  void ReadUpdateList();
  // Picks a server of the line type at random (rand()) and starts the worker on it; false
  // when none was chosen and nothing started.
  bool ChooseServer(int nLineType);
  // Stores the server and starts the worker thread; always true.
  bool StartWorker(const char* szHost, uint16_t nPort);
  // One whole update of m_strTarget against m_strHost:m_nPort; true only when every entry of
  // the work list was installed. Worker thread only.
  bool RunUpdate();

  // A consistent copy of the status line; for the painter.
  std::string GetStatusText() const;

  // Progress of the current file and of the whole update, 1/10000 units; may exceed 10000
  // only transiently. Read with load(std::memory_order_relaxed).
  std::atomic<int32_t> m_nFileProgress{10000};
  std::atomic<int32_t> m_nTotalProgress{10000};
  std::atomic<int32_t> m_nFileCount{0};  // entries of the work list; 0 until it is known
  std::atomic<int32_t> m_nFileIndex{0};  // entries handled so far
  std::string m_strTarget;               // update target, set by SetTarget
  std::string m_strHost;                 // chosen server, set by StartWorker
  uint16_t m_nPort = 0;
  ServerList m_listServers;  // rows of "updatelist.ini", file order
  CTextLabel m_labelMain;    // every text of the window is drawn through it
  CTextLabel m_labelAux;     // prepared by SetTarget, drawn by nothing
  // The worker thread while it runs; cleared by the worker at its end.
  std::atomic<HANDLE> m_hWorkerThread{nullptr};

 private:
  void SetStatusText(std::string strText);
  void Report(const char* szText) { OnStatus(NOTIFY_MESSAGE, szText); }
  void SetTotalProgress(int32_t nValue);
  bool RunWorkList();
  bool HandleEntry(const FileEntry& entry, bool* pbCounted);

  mutable CRITICAL_SECTION m_csStatus;  // held only to assign or copy m_strStatus
  std::string m_strStatus;
};

// The single updater of the process.
extern CUpdater theUpdater;

// Entry of the update worker thread; pParam is the updater. Runs RunUpdate, stores the result
// in g_bUpdateOk, sets the total progress to complete and posts IDOK to g_hMainWnd.
DWORD WINAPI WorkerThreadProc(LPVOID pParam);

// Creates the directory and every missing one above it ("\" or "/" separated, GBK-aware);
// false for a path over 255 bytes, which is not touched.
bool CreateDirectoryPath(const char* szPath);

// True when the update target may go into local paths and URL paths: not empty, under 260
// bytes, no "\", "/", ":" and no "..".
bool IsValidUpdateTarget(const std::string& strTarget);
