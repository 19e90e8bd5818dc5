// Timings of the download engine under Wine against a loopback server, and the baseline the
// platform allows: a plain loop of WinINet calls with no threads, progress or checksums.
//   engine_bench baseline PORT URLFILE OUTDIR READSIZE   fetch every URL of URLFILE
//   engine_bench update PORT TARGET INSTALLDIR           one whole update of TARGET
//   engine_bench download PORT URL LOCALPATH             one Download, nothing else
//   engine_bench downloadall PORT URLFILE OUTDIR         Download of every URL of URLFILE
// Each prints "ms=<elapsed> bytes=<received> peak=<peak working set in bytes>".
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Updater.h"

namespace {

double NowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

unsigned long long PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc.PeakWorkingSetSize;
}

void Report(double ms, unsigned long long bytes) {
  printf("ms=%.1f bytes=%llu peak=%llu\n", ms, bytes, PeakWorkingSet());
}

int Baseline(int port, const char* urlFile, const std::string& outDir, DWORD readSize) {
  std::vector<std::string> urls;
  std::ifstream in(urlFile);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) urls.push_back(line);
  std::vector<char> buffer(readSize);
  double start = NowMs();
  HINTERNET hInternet = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET hConnect = InternetConnectA(hInternet, "127.0.0.1", static_cast<INTERNET_PORT>(port), "", "",
                                        INTERNET_SERVICE_HTTP, 0, 0);
  unsigned long long total = 0;
  for (size_t i = 0; i < urls.size(); ++i) {
    HINTERNET hRequest = HttpOpenRequestA(hConnect, "GET", urls[i].c_str(), "HTTP/1.0", nullptr, nullptr,
                                          INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (hRequest == nullptr || !HttpSendRequestA(hRequest, nullptr, 0, nullptr, 0)) return 1;
    std::string path = outDir + "\\" + std::to_string(i) + ".bin";
    HANDLE hFile =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD got = 0;
    while (InternetReadFile(hRequest, buffer.data(), readSize, &got) && got > 0) {
      DWORD written = 0;
      WriteFile(hFile, buffer.data(), got, &written, nullptr);
      total += got;
    }
    CloseHandle(hFile);
    InternetCloseHandle(hRequest);
  }
  Report(NowMs() - start, total);
  return 0;
}

// Notes the moment the run reports its end, before its final pause for the reader.
class TimedUpdater : public CUpdater {
 public:
  void OnStatus(int nCode, const char* szText) override {
    CUpdater::OnStatus(nCode, szText);
    if (nCode == NOTIFY_MESSAGE) lastReport = NowMs();
    if (nCode == NOTIFY_FILE_DONE) bytes += m_dwReceived;
  }
  double lastReport = 0;
  unsigned long long bytes = 0;
};

int Update(int port, const char* target, const char* installDir) {
  SetCurrentDirectoryA(installDir);
  TimedUpdater updater;
  updater.SetTarget(target);
  updater.m_strHost = "127.0.0.1";
  updater.m_nPort = static_cast<uint16_t>(port);
  double start = NowMs();
  bool ok = updater.RunUpdate();
  if (!ok || updater.m_nFileIndex.load() != updater.m_nFileCount.load()) {
    fprintf(stderr, "update failed: %s\n", updater.GetStatusText().c_str());
    return 1;
  }
  Report(updater.lastReport - start, updater.bytes);
  return 0;
}

// Opens the handles the update run would open, to the loopback server on port.
void ConnectLoopback(CHttpDownloader& downloader, int port) {
  downloader.m_hInternet = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  downloader.m_hConnect =
      InternetConnectA(downloader.m_hInternet, "127.0.0.1", static_cast<INTERNET_PORT>(port), "", "",
                       INTERNET_SERVICE_HTTP, 0, 0);
}

// Every URL of the file through Download, one after another: the engine without the run.
int DownloadAll(int port, const char* urlFile, const std::string& outDir) {
  std::vector<std::string> urls;
  std::ifstream in(urlFile);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) urls.push_back(line);
  SetCurrentDirectoryA(outDir.c_str());
  CHttpDownloader downloader;
  double start = NowMs();
  ConnectLoopback(downloader, port);
  unsigned long long total = 0;
  for (size_t i = 0; i < urls.size(); ++i) {
    if (!downloader.Download(urls[i].c_str(), (std::to_string(i) + ".bin").c_str())) return 1;
    total += downloader.m_dwReceived;
  }
  Report(NowMs() - start, total);
  return 0;
}

int DownloadOnce(int port, const char* url, const char* local) {
  CHttpDownloader downloader;
  double start = NowMs();
  ConnectLoopback(downloader, port);
  if (!downloader.Download(url, local)) return 1;
  Report(NowMs() - start, downloader.m_dwReceived);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && strcmp(argv[1], "baseline") == 0)
    return Baseline(atoi(argv[2]), argv[3], argv[4], static_cast<DWORD>(atol(argv[5])));
  if (argc == 5 && strcmp(argv[1], "update") == 0) return Update(atoi(argv[2]), argv[3], argv[4]);
  if (argc == 5 && strcmp(argv[1], "downloadall") == 0) return DownloadAll(atoi(argv[2]), argv[3], argv[4]);
  if (argc == 5 && strcmp(argv[1], "download") == 0) return DownloadOnce(atoi(argv[2]), argv[3], argv[4]);
  fprintf(stderr, "usage: see the top of DownloadBench.cpp\n");
  return 2;
}
