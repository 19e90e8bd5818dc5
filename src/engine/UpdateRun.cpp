// One complete update of the target on the worker thread: connection, file list, work list,
// and every entry created or downloaded into its place.
#include <cstring>
#include <string>

#include "engine/EntryPath.h"
#include "engine/FileList.h"
#include "engine/Globals.h"
#include "engine/Updater.h"
#include "framework/MbcsText.h"

namespace {

// Longest local path and URL path the run builds (they must fit a MAX_PATH buffer).
constexpr size_t kMaxPath = 259;
// Longest directory path CreateDirectoryPath creates.
constexpr size_t kMaxDirectoryPath = 255;

const char kTextInitFailed[] = "错误：无法初始化更新器";
const char kTextConnecting[] = "尝试连接到更新伺服器...";
const char kTextConnectFailed[] = "无法连接到更新伺服器。";
const char kTextListFailed[] = "无法连接服务器，请检查您的网络或致电客服！(0)";
const char kTextFileFailed[] = "无法连接服务器，请检查您的网络或致电客服！(G)";
const char kTextStarting[] = "开始获得更新信息...";
const char kTextDone[] = "完成更新。";

bool IsInstallDirectory(const std::string& strDir) { return strDir == "/" || strDir == "\\"; }

}  // namespace

bool CreateDirectoryPath(const char* szPath) {
  size_t nLength = strlen(szPath);
  if (nLength > kMaxDirectoryPath) return false;
  std::string strCopy;
  strCopy.reserve(nLength);
  for (size_t i = 0; i < nLength; ++i) {
    unsigned char c = static_cast<unsigned char>(szPath[i]);
    if (mbcs::IsLeadByte(c) && i + 1 < nLength) {
      // A trail byte may have the code of "\": it is part of the character, not a separator.
      strCopy += szPath[i];
      strCopy += szPath[++i];
    } else if (mbcs::IsSeparator(static_cast<char>(c))) {
      // An existing directory or an empty name just fails; the walk goes on.
      if (!strCopy.empty()) CreateDirectoryA(strCopy.c_str(), nullptr);
      strCopy += '\\';
    } else {
      strCopy += static_cast<char>(c);
    }
  }
  if (!strCopy.empty()) CreateDirectoryA(strCopy.c_str(), nullptr);
  return true;
}

DWORD WINAPI WorkerThreadProc(LPVOID pParam) {
  auto* pUpdater = static_cast<CUpdater*>(pParam);
  g_bUpdateOk = pUpdater->RunUpdate();
  HANDLE hSelf = pUpdater->m_hWorkerThread.exchange(nullptr);
  if (hSelf != nullptr) CloseHandle(hSelf);
  // The total bar shows complete at the end of every update, failed or not.
  pUpdater->m_nTotalProgress.store(10000, std::memory_order_relaxed);
  InvalidateArea(g_nBarLeft, g_nTotalBarTop, g_nBarAreaWidth, g_nBarAreaHeight);
  PostMessageA(g_hMainWnd, WM_COMMAND, IDOK, 0);
  return 0;
}

bool CUpdater::RunUpdate() {
  SetTotalProgress(0);
  // The target becomes a local directory and a URL component: it must stay one component.
  if (!IsValidUpdateTarget(m_strTarget)) {
    Report(kTextInitFailed);
    return false;
  }
  m_hInternet = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (m_hInternet == nullptr) {
    Report(kTextInitFailed);
    return false;
  }
  Report(kTextConnecting);
  m_hConnect = InternetConnectA(m_hInternet, m_strHost.c_str(), m_nPort, "", "", INTERNET_SERVICE_HTTP, 0, 0);
  if (m_hConnect == nullptr) {
    InternetCloseHandle(m_hInternet);
    m_hInternet = nullptr;
    Report(kTextConnectFailed);
    return false;
  }
  // Both usually exist from an earlier run.
  CreateDirectoryPath("updatetmp");
  CreateDirectoryPath(("updatetmp/" + m_strTarget).c_str());

  std::string strListUrl = "/kv9update/" + m_strTarget + "/filelist.list";
  std::string strListPath = "updatetmp/" + m_strTarget + "/filelist.list";
  if (!Download(strListUrl.c_str(), strListPath.c_str())) {
    Report(kTextListFailed);
    return false;
  }

  FileList remote;
  FileList local;
  LoadFileList(strListPath.c_str(), remote);
  // The working directory is the installation directory.
  BuildLocalList(remote, local, "");
  g_WorkList.clear();
  CompareFileLists(remote, local, g_WorkList);
  if (g_WorkList.empty()) {
    Report(kTextDone);
    return true;
  }

  Report(kTextStarting);
  bool bAllInstalled = RunWorkList();
  // A run with a failed entry must not report the target as updated.
  Report(bAllInstalled ? kTextDone : kTextFileFailed);
  Sleep(1000);
  return bAllInstalled;
}

bool CUpdater::RunWorkList() {
  m_nFileCount.store(static_cast<int32_t>(g_WorkList.size()), std::memory_order_relaxed);
  m_nFileIndex.store(0, std::memory_order_relaxed);
  bool bAllInstalled = true;
  for (const FileEntry& entry : g_WorkList) {
    // Never installed: the run's own temporary directory and the multimedia library.
    if (mbcs::EqualsNoCase(entry.m_strDir, "updatetmp") || mbcs::EqualsNoCase(entry.m_strName, "winmm.dll"))
      continue;
    bool bCounted = false;
    if (!HandleEntry(entry, &bCounted)) {
      Report(kTextFileFailed);
      bAllInstalled = false;
    }
    if (!bCounted) continue;
    int32_t nCount = m_nFileCount.load(std::memory_order_relaxed);
    int32_t nIndex = m_nFileIndex.load(std::memory_order_relaxed);
    if (nCount > 0) SetTotalProgress((nIndex + 1) * 10000 / nCount);
    m_nFileIndex.store(nIndex + 1, std::memory_order_relaxed);
  }
  return bAllInstalled;
}

// Creates or installs one work-list entry; false when it failed. *pbCounted tells whether
// the entry counts as handled (a failed file does not).
bool CUpdater::HandleEntry(const FileEntry& entry, bool* pbCounted) {
  std::string strLocal;
  if (!MapEntryToLocalPath(entry.m_strDir, entry.m_strName, &strLocal) || strLocal.size() > kMaxPath)
    return false;
  if (entry.m_nKind == FILE_KIND_DIRECTORY) {
    // A directory that cannot be created shows later, when a file inside it fails.
    CreateDirectoryPath(strLocal.c_str());
    *pbCounted = true;
    return true;
  }
  std::string strUrl = "/kv9update/" + m_strTarget + "/release/";
  strUrl += IsInstallDirectory(entry.m_strDir) ? entry.m_strName : entry.m_strDir + "/" + entry.m_strName;
  if (strUrl.size() > kMaxPath) return false;

  bool bInstalled = Download(strUrl.c_str(), strLocal.c_str(), entry.m_nCrc);
  // A copy with the wrong checksum is fetched once more, and tested again.
  if (!bInstalled && m_bCrcMismatch) bInstalled = Download(strUrl.c_str(), strLocal.c_str(), entry.m_nCrc);
  if (!bInstalled) return false;
  if (mbcs::EqualsNoCase(entry.m_strName, "pellarin.exe")) g_bSelfUpdate = true;
  *pbCounted = true;
  return true;
}
