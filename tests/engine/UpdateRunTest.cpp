// Whole update runs against the loopback fault server: request lines, status texts, work
// order, skip rules, directories, progress arithmetic, the flags, the path and target rules,
// checksum retries, and the worker's end as the dialog sees it.
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Globals.h"
#include "engine/Updater.h"
#include "net/FileChecksum.h"
#include "support/TestWindow.h"
#include "support/WorkDir.h"

namespace {

struct Step {
  std::string status;  // status line after the notification
  int total;           // total progress at that moment
  bool operator==(const Step& o) const { return status == o.status && total == o.total; }
};
void PrintTo(const Step& s, std::ostream* os) { *os << "{\"" << s.status << "\", " << s.total << "}"; }

// Records the status line and the total progress at every status notification.
class RecordingUpdater : public CUpdater {
 public:
  void OnStatus(int nCode, const char* szText) override {
    CUpdater::OnStatus(nCode, szText);
    if (nCode >= NOTIFY_FILE_START && nCode <= NOTIFY_MESSAGE)
      steps.push_back({GetStatusText(), m_nTotalProgress});
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Step& s : steps) texts.push_back(s.status);
    return texts;
  }
  std::vector<Step> steps;
};

const char kConnecting[] = "尝试连接到更新伺服器...";
const char kListStart[] = "下载中... (updatetmp/plat/filelist.list)";
const char kListDone[] = "完成 (updatetmp/plat/filelist.list)";
const char kStarting[] = "开始获得更新信息...";
const char kDone[] = "完成更新。";
const char kListFailed[] = "无法连接服务器，请检查您的网络或致电客服！(0)";
const char kFileFailed[] = "无法连接服务器，请检查您的网络或致电客服！(G)";
const char kInitFailed[] = "错误：无法初始化更新器";

std::string Start(const std::string& path) { return "下载中... (" + path + ")"; }
std::string Done(const std::string& path) { return "完成 (" + path + ")"; }
std::string Get(const std::string& path) { return "GET " + path + " HTTP/1.0"; }

int32_t Crc(const std::string& bytes) {
  return static_cast<int32_t>(Crc32Update(kCrcStart, bytes.data(), bytes.size()));
}

// One file-list line for an entry with these bytes.
std::string Line(const std::string& dir, const std::string& name, const std::string& bytes) {
  return dir + ":" + name + ":" + std::to_string(Crc(bytes)) + "\n";
}

class UpdateRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Available()) << "run through tests/support/run_with_servers.py";
    server.Reset();
    g_hMainWnd = window.Handle();
    g_bSelfUpdate = false;
    g_bUpdateOk = false;
    updater->SetTarget("plat");
    updater->m_strHost = "127.0.0.1";
    updater->m_nPort = static_cast<uint16_t>(server.FaultPort());
  }
  void TearDown() override {
    if (updater) {
      if (updater->m_hConnect) InternetCloseHandle(updater->m_hConnect);
      if (updater->m_hInternet) InternetCloseHandle(updater->m_hInternet);
    }
    g_hMainWnd = nullptr;
  }

  void ServeList(const std::string& text) { server.Serve("/kv9update/plat/filelist.list", text); }
  void ServeFile(const std::string& relative, const std::string& bytes) {
    server.Serve("/kv9update/plat/release/" + relative, bytes);
  }

  WorkDir dir;
  TestServer server;
  TestWindow window;
  std::unique_ptr<RecordingUpdater> updater = std::make_unique<RecordingUpdater>();
};

TEST_F(UpdateRunTest, InstallsTheWorkListInOrderAndSkipsWhatIsNeverInstalled) {
  dir.Write("c.dat", "changed on disk");
  dir.Write("same.dat", "same");
  dir.Write("tools/keep.txt", "");
  ServeList(Line("/", "a.dat", "A") + Line("data", "maps", "") + Line("data", "b.dat", "BB") +
            Line("UpdateTmp", "x.dat", "X") + Line("sub", "WINMM.DLL", "W") +
            Line("tools", "Pellarin.EXE", "P") + Line("\\", "c.dat", "C") + Line("/", "same.dat", "same"));
  ServeFile("a.dat", "A");
  ServeFile("data/b.dat", "BB");
  ServeFile("tools/Pellarin.EXE", "P");
  ServeFile("c.dat", "C");

  DWORD start = timeGetTime();
  EXPECT_TRUE(updater->RunUpdate());
  // The pause that lets the user read the final text (a lower bound only).
  EXPECT_GE(timeGetTime() - start, 1000u);

  // Changed files first, then missing entries, each in list order.
  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{
                Get("/kv9update/plat/filelist.list"), Get("/kv9update/plat/release/c.dat"),
                Get("/kv9update/plat/release/a.dat"), Get("/kv9update/plat/release/data/b.dat"),
                Get("/kv9update/plat/release/tools/Pellarin.EXE")}));
  // 7 entries in the work list; 5 counted (the skipped two are not).
  const int n = 10000 / 7;
  EXPECT_EQ(updater->steps, (std::vector<Step>{{kConnecting, 0},
                                               {kListStart, 0},
                                               {kListDone, 0},
                                               {kStarting, 0},
                                               {Start("c.dat"), 0},
                                               {Done("c.dat"), n},
                                               {Start("a.dat"), 1 * 10000 / 7},
                                               {Done("a.dat"), 1 * 10000 / 7 + n},
                                               {Start("data\\b.dat"), 3 * 10000 / 7},
                                               {Done("data\\b.dat"), 3 * 10000 / 7 + n},
                                               {Start("tools\\Pellarin.EXE"), 4 * 10000 / 7},
                                               {Done("tools\\Pellarin.EXE"), 4 * 10000 / 7 + n},
                                               {kDone, 5 * 10000 / 7}}));
  EXPECT_EQ(updater->m_nFileCount.load(), 7);
  EXPECT_EQ(updater->m_nFileIndex.load(), 5);
  EXPECT_EQ(WorkDir::Read("a.dat"), "A");
  EXPECT_EQ(WorkDir::Read("c.dat"), "C");
  EXPECT_EQ(WorkDir::Read("data\\b.dat"), "BB");
  EXPECT_EQ(WorkDir::Read("tools\\Pellarin.EXE"), "P");
  EXPECT_TRUE(WorkDir::IsDirectory("data\\maps"));
  EXPECT_FALSE(WorkDir::Exists("UpdateTmp\\x.dat"));
  EXPECT_FALSE(WorkDir::Exists("sub"));
  EXPECT_EQ(WorkDir::Read("updatetmp\\plat\\filelist.list").substr(0, 6), "/:a.da");
  EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));
  EXPECT_TRUE(g_bSelfUpdate);
  EXPECT_EQ(window.TakeCommands(), 0);  // only the worker's end posts IDOK
}

TEST_F(UpdateRunTest, FailedFileIsNotCountedAndTheRunDoesNotEndAsSuccess) {
  ServeList(Line("/", "a.dat", "A") + Line("/", "b.dat", "B") + Line("/", "c.dat", "C"));
  ServeFile("a.dat", "A");
  ServeFile("b.dat", "B");
  ServeFile("c.dat", "C");
  server.Fault("/kv9update/plat/release/b.dat", "404");

  EXPECT_FALSE(updater->RunUpdate());
  EXPECT_EQ(updater->steps, (std::vector<Step>{{kConnecting, 0},
                                               {kListStart, 0},
                                               {kListDone, 0},
                                               {kStarting, 0},
                                               {Start("a.dat"), 0},
                                               {Done("a.dat"), 3333},
                                               {Start("b.dat"), 3333},
                                               {kFileFailed, 3333},
                                               {Start("c.dat"), 3333},
                                               {Done("c.dat"), 3333 + 3333},
                                               {kFileFailed, 6666}}));
  EXPECT_EQ(updater->m_nFileIndex.load(), 2);
  EXPECT_FALSE(WorkDir::Exists("b.dat"));
  EXPECT_EQ(WorkDir::Read("c.dat"), "C");
}

// A copy with the wrong checksum is fetched exactly once more and installed only when right.
TEST_F(UpdateRunTest, ChecksumIsTestedOnTheCopyBeforeItIsInstalled) {
  struct Case {
    const char* fault;
    const char* installed;  // before the run, nullptr for none
    bool ok;
  };
  const Case cases[] = {
      {"corrupt", "old", false},
      {"corrupt", nullptr, false},
      {"corrupt-once", "old", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fault) + (c.installed ? " over a file" : " on nothing"));
    server.Reset();
    DeleteFileA("Pellarin.exe");
    if (c.installed) dir.Write("Pellarin.exe", c.installed);
    ServeList(Line("/", "Pellarin.exe", "new program"));
    ServeFile("Pellarin.exe", "new program");
    server.Fault("/kv9update/plat/release/Pellarin.exe", c.fault);
    g_bSelfUpdate = false;
    updater = std::make_unique<RecordingUpdater>();
    updater->SetTarget("plat");
    updater->m_strHost = "127.0.0.1";
    updater->m_nPort = static_cast<uint16_t>(server.FaultPort());

    EXPECT_EQ(updater->RunUpdate(), c.ok);
    std::vector<std::string> requests = server.Requests();
    EXPECT_EQ(requests, (std::vector<std::string>{Get("/kv9update/plat/filelist.list"),
                                                  Get("/kv9update/plat/release/Pellarin.exe"),
                                                  Get("/kv9update/plat/release/Pellarin.exe")}));
    EXPECT_EQ(WorkDir::Read("Pellarin.exe"), c.ok ? "new program" : c.installed ? c.installed : "<missing>");
    EXPECT_EQ(updater->Texts().back(), c.ok ? kDone : kFileFailed);
    EXPECT_EQ(g_bSelfUpdate.load(), c.ok);
    if (updater->m_hConnect) InternetCloseHandle(updater->m_hConnect);
    if (updater->m_hInternet) InternetCloseHandle(updater->m_hInternet);
    updater->m_hConnect = updater->m_hInternet = nullptr;
  }
}

TEST_F(UpdateRunTest, UnavailableFileListEndsTheRunAtOnce) {
  struct Case {
    const char* what;
    const char* fault;  // on the file list; nullptr with a server that is down
  };
  for (const Case& c : {Case{"server down", nullptr}, Case{"404", "404"}, Case{"no length", "nolength"}}) {
    SCOPED_TRACE(c.what);
    server.Reset();
    ServeList(Line("/", "a.dat", "A"));
    updater->steps.clear();
    if (c.fault)
      server.Fault("/kv9update/plat/filelist.list", c.fault);
    else
      updater->m_nPort = static_cast<uint16_t>(UnusedLoopbackPort());
    EXPECT_FALSE(updater->RunUpdate());
    EXPECT_EQ(updater->Texts(), (std::vector<std::string>{kConnecting, kListStart, kListFailed}));
    EXPECT_EQ(updater->m_nTotalProgress.load(), 0);
    updater->m_nPort = static_cast<uint16_t>(server.FaultPort());
  }
}

TEST_F(UpdateRunTest, NothingToDoEndsWithTheListTextsAndDone) {
  dir.Write("same.dat", "same");
  ServeList(Line("/", "same.dat", "same"));
  EXPECT_TRUE(updater->RunUpdate());
  EXPECT_EQ(updater->Texts(), (std::vector<std::string>{kConnecting, kListStart, kListDone, kDone}));
  EXPECT_EQ(updater->m_nFileCount.load(), 0);
}

// Entries the path rule refuses are never requested nor created, and fail the run.
TEST_F(UpdateRunTest, RefusedEntriesFailWithoutTouchingAnything) {
  ServeList("..:evil.dat:1\n" + std::string("data\\..\\..:evil2.dat:1\n") + "/:" + std::string(300, 'x') +
            ".dat:1\n" + Line("/", "ok.dat", "ok"));
  ServeFile("ok.dat", "ok");
  EXPECT_FALSE(updater->RunUpdate());
  EXPECT_EQ(server.Requests(), (std::vector<std::string>{Get("/kv9update/plat/filelist.list"),
                                                         Get("/kv9update/plat/release/ok.dat")}));
  EXPECT_EQ(WorkDir::Read("ok.dat"), "ok");
  EXPECT_FALSE(WorkDir::Exists("..\\evil.dat"));
  EXPECT_FALSE(WorkDir::Exists("..\\..\\evil2.dat"));
  EXPECT_EQ(updater->Texts().back(), kFileFailed);
  EXPECT_EQ(updater->m_nFileIndex.load(), 1);
}

TEST_F(UpdateRunTest, TargetThatCannotBeOnePathComponentIsRefused) {
  for (const std::string& target :
       {std::string("../plat"), std::string("a\\b"), std::string("a/b"), std::string("c:"), std::string(".."),
        std::string(""), std::string(260, 'p')}) {
    SCOPED_TRACE(target);
    updater->steps.clear();
    updater->SetTarget(target.c_str());
    EXPECT_FALSE(updater->RunUpdate());
    EXPECT_EQ(updater->Texts(), std::vector<std::string>{kInitFailed});
  }
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_FALSE(WorkDir::Exists("updatetmp"));
  // A double-byte character whose second byte has the code of "\" is one character.
  EXPECT_TRUE(IsValidUpdateTarget("淺"));
  EXPECT_TRUE(IsValidUpdateTarget(std::string(259, 'p')));
}

TEST_F(UpdateRunTest, LeftoverTemporaryCopyIsNeitherInstalledNorKept) {
  dir.Write("updatetmp/download.part", "from a stopped run");
  ServeList(Line("updatetmp", "download.part", "from a stopped run") + Line("/", "a.dat", "A"));
  ServeFile("a.dat", "A");
  EXPECT_TRUE(updater->RunUpdate());
  EXPECT_EQ(server.Requests(), (std::vector<std::string>{Get("/kv9update/plat/filelist.list"),
                                                         Get("/kv9update/plat/release/a.dat")}));
  EXPECT_EQ(WorkDir::Read("a.dat"), "A");
  EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));
}

TEST(CreateDirectoryPathTest, CreatesEveryLevelAndKeepsDoubleByteCharactersWhole) {
  WorkDir dir;
  EXPECT_TRUE(CreateDirectoryPath("data/maps\\x"));
  EXPECT_TRUE(WorkDir::IsDirectory("data"));
  EXPECT_TRUE(WorkDir::IsDirectory("data\\maps"));
  EXPECT_TRUE(WorkDir::IsDirectory("data\\maps\\x"));

  // "淺" ends in the byte of "\": no directory named by its first byte alone.
  EXPECT_TRUE(CreateDirectoryPath("淺/sub"));
  EXPECT_TRUE(WorkDir::IsDirectory("淺\\sub"));
  EXPECT_FALSE(WorkDir::Exists("\x9C"));

  EXPECT_TRUE(CreateDirectoryPath(("/" + std::string(254, 'd')).c_str()));
  std::string tooLong = "long/" + std::string(251, 'd');
  ASSERT_EQ(tooLong.size(), 256u);
  EXPECT_FALSE(CreateDirectoryPath(tooLong.c_str()));
  EXPECT_FALSE(WorkDir::Exists("long"));
}

// The worker as the dialog sees it: started by the server choice, ending with IDOK.
TEST_F(UpdateRunTest, ChosenServerRunsTheUpdateAndTheWorkerPostsIdOk) {
  int unused1 = UnusedLoopbackPort(), unused2 = UnusedLoopbackPort();
  std::ofstream("updatelist.ini") << "1;1;one;127.0.0.1;" << unused1 << "\n2;1;two;127.0.0.1;"
                                  << server.FaultPort() << "\n3;2;other;127.0.0.1;" << unused2
                                  << "\n4;1;four;127.0.0.1;" << unused2 << "\n";
  ServeList(Line("/", "a.dat", "A"));
  ServeFile("a.dat", "A");
  updater->ReadUpdateList();
  ASSERT_EQ(updater->m_listServers.size(), 4u);
  // A start value of the random generator whose first draw chooses the fault server.
  unsigned value = 1;
  for (;; ++value) {
    srand(value);
    if (ChooseServerIndex(updater->m_listServers, 1, rand()) == 1) break;
  }
  srand(value);
  window.Validate();
  ASSERT_TRUE(updater->ChooseServer(1));
  EXPECT_EQ(updater->m_nPort, server.FaultPort());
  ASSERT_TRUE(window.WaitForIdOk(20000));
  EXPECT_TRUE(g_bUpdateOk);
  EXPECT_EQ(updater->m_nTotalProgress.load(), 10000);
  EXPECT_EQ(updater->m_hWorkerThread.load(), nullptr);
  EXPECT_EQ(WorkDir::Read("a.dat"), "A");
  EXPECT_EQ(updater->Texts().back(), kDone);
}

TEST_F(UpdateRunTest, FailedUpdateStillEndsWithFullTotalAndIdOk) {
  updater->m_nTotalProgress = 10000;
  window.Validate();
  ASSERT_TRUE(updater->StartWorker("127.0.0.1", static_cast<uint16_t>(UnusedLoopbackPort())));
  ASSERT_TRUE(window.WaitForIdOk(20000));
  EXPECT_FALSE(g_bUpdateOk);
  EXPECT_EQ(updater->m_nTotalProgress.load(), 10000);
  EXPECT_EQ(updater->Texts().back(), kListFailed);
  // The bar areas and the status line were asked to repaint.
  RECT box;
  EXPECT_NE(GetUpdateRect(window.Handle(), &box, FALSE), FALSE);
}

TEST_F(UpdateRunTest, NoServerChosenStartsNothing) {
  updater->ReadUpdateList();  // no updatelist.ini
  EXPECT_FALSE(updater->ChooseServer(1));
  std::ofstream("updatelist.ini") << "1;2;other;127.0.0.1;80\n";
  updater->ReadUpdateList();
  EXPECT_FALSE(updater->ChooseServer(1));
  EXPECT_EQ(updater->m_hWorkerThread.load(), nullptr);
  EXPECT_FALSE(window.WaitForIdOk(300));
  EXPECT_EQ(updater->m_nTotalProgress.load(), 10000);
}

// The window closed while a file was arriving: the worker is stopped, the installed file
// stays, and the next run installs it and leaves no copy behind.
TEST_F(UpdateRunTest, StoppedRunLeavesTheInstalledFileAndTheNextRunCompletes) {
  const std::string body(100000, 'n');
  dir.Write("big.dat", "old");
  ServeList(Line("/", "big.dat", body));
  ServeFile("big.dat", body);
  server.Fault("/kv9update/plat/release/big.dat", "slow 2000 100");
  ASSERT_TRUE(updater->StartWorker("127.0.0.1", static_cast<uint16_t>(server.FaultPort())));
  DWORD start = timeGetTime();
  while (updater->GetStatusText() != Start("big.dat") && timeGetTime() - start < 10000) Sleep(20);
  ASSERT_EQ(updater->GetStatusText(), Start("big.dat"));
  Sleep(300);
  updater.reset();
  EXPECT_EQ(WorkDir::Read("big.dat"), "old");

  server.Reset();
  ServeList(Line("/", "big.dat", body));
  ServeFile("big.dat", body);
  updater = std::make_unique<RecordingUpdater>();
  updater->SetTarget("plat");
  updater->m_strHost = "127.0.0.1";
  updater->m_nPort = static_cast<uint16_t>(server.FaultPort());
  EXPECT_TRUE(updater->RunUpdate());
  EXPECT_EQ(WorkDir::Read("big.dat"), body);
  EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));
}

}  // namespace
