// The download of one file against real loopback servers: request lines, notifications,
// the replacement of the installed file only by a complete copy, and the speed window.
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "net/FileChecksum.h"
#include "net/HttpDownloader.h"
#include "support/WorkDir.h"

namespace {

struct Note {
  int code;
  int value;         // progress notifications
  std::string text;  // status notifications
  bool operator==(const Note& o) const { return code == o.code && value == o.value && text == o.text; }
};
void PrintTo(const Note& n, std::ostream* os) {
  *os << "{" << n.code << ", " << n.value << ", \"" << n.text << "\"}";
}

Note Start(const std::string& path) { return {NOTIFY_FILE_START, 0, path}; }
Note Done(const std::string& path) { return {NOTIFY_FILE_DONE, 0, path}; }
Note Progress(int value) { return {NOTIFY_PROGRESS, value, ""}; }

class RecordingDownloader : public CHttpDownloader {
 public:
  void OnProgress(int nCode, int nValue) override { notes.push_back({nCode, nValue, ""}); }
  void OnStatus(int nCode, const char* szText) override { notes.push_back({nCode, 0, szText}); }
  std::vector<Note> notes;
};

// Compares file contents without printing megabytes on a mismatch.
::testing::AssertionResult HoldsBytes(const std::string& path, const std::string& expected) {
  std::string actual = WorkDir::Read(path);
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << path << " holds " << actual.size() << " bytes ("
                                       << actual.substr(0, 20) << "...), expected " << expected.size();
}

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Available()) << "run through tests/support/run_with_servers.py";
    server.Reset();
    Connect(server.FaultPort());
  }
  void TearDown() override { Disconnect(); }

  void Connect(int port) {
    Disconnect();
    d.m_hInternet = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    d.m_hConnect = InternetConnectA(d.m_hInternet, "127.0.0.1", static_cast<INTERNET_PORT>(port), "", "",
                                    INTERNET_SERVICE_HTTP, 0, 0);
  }
  void Disconnect() {
    if (d.m_hConnect) InternetCloseHandle(d.m_hConnect);
    if (d.m_hInternet) InternetCloseHandle(d.m_hInternet);
    d.m_hConnect = d.m_hInternet = nullptr;
  }

  TestServer server;
  WorkDir dir;
  RecordingDownloader d;
};

TEST_F(DownloadTest, FastFileIsRequestedAsHttp10WithForwardSlashesAndNotifiesOnce) {
  std::string body = Pattern(70000);
  server.Serve("/kv9update/plat/release/data/a.dat", body);
  dir.Write("data/keep.txt", "");
  ASSERT_TRUE(d.Download("/kv9update/plat/release\\data\\a.dat", "data\\a.dat"));

  EXPECT_EQ(server.Requests(), std::vector<std::string>{"GET /kv9update/plat/release/data/a.dat HTTP/1.0"});
  EXPECT_EQ(d.m_strUrlPath, "/kv9update/plat/release/data/a.dat");
  EXPECT_EQ(d.notes, (std::vector<Note>{Start("data\\a.dat"), Progress(10000), Done("data\\a.dat")}));
  EXPECT_TRUE(HoldsBytes("data\\a.dat", body));
  EXPECT_EQ(d.m_dwContentLength.load(), 70000u);
  EXPECT_EQ(d.m_dwReceived, 70000u);
  EXPECT_EQ(d.m_dwSpeed.load(), 0u);  // ended within its first 3 s
  EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));
}

TEST_F(DownloadTest, BackslashAsTrailByteOfADoubleByteCharacterStays) {
  // "淺" is 0x9C 0x5C in GBK: its second byte is not a separator.
  const std::string name = "淺.dat";
  ASSERT_EQ(name.substr(0, 2), "\x9C\x5C");
  d.Download(("/kv9update/plat/release/dir\\" + name).c_str(), "x.dat");
  EXPECT_EQ(d.m_strUrlPath, "/kv9update/plat/release/dir/" + name);
}

TEST_F(DownloadTest, EmptyFileIsCompleteWithoutDividingByZero) {
  server.Serve("/empty.dat", "");
  dir.Write("empty.dat", "old");
  ASSERT_TRUE(d.Download("/empty.dat", "empty.dat"));
  EXPECT_EQ(d.notes, (std::vector<Note>{Start("empty.dat"), Progress(10000), Done("empty.dat")}));
  EXPECT_TRUE(HoldsBytes("empty.dat", ""));
}

// Every way a transfer can go wrong leaves the installed file byte for byte as it was.
TEST_F(DownloadTest, FailedTransferLeavesInstalledFileUnchanged) {
  struct Case {
    const char* fault;  // fault_server.py line, "" for none
    bool sendsFinalProgress;
    int finalProgress;  // when sent
  };
  const Case cases[] = {
      {"404", false, 0},     {"500", false, 0},  {"nolength", false, 0}, {"drop", false, 0},
      {"short", true, 5000}, {"long", true, -1},  // above 10000 where WinINet lets it be seen
  };
  const std::string body = Pattern(20000);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    server.Reset();
    server.Serve("/f.dat", body);
    server.Fault("/f.dat", c.fault);
    dir.Write("f.dat", "installed");
    d.notes.clear();
    bool ok = d.Download("/f.dat", "f.dat");
    EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));
    EXPECT_EQ(server.Requests().size(), 1u);
    if (std::string(c.fault) == "long" && ok) {
      // WinINet stops at the announced length and hides the rest: the copy is exactly the
      // announced bytes, which the checksum of the update run then judges.
      EXPECT_TRUE(HoldsBytes("f.dat", body));
      continue;
    }
    EXPECT_TRUE(HoldsBytes("f.dat", "installed"));
    EXPECT_FALSE(ok);
    ASSERT_FALSE(d.notes.empty());
    EXPECT_EQ(d.notes.front(), Start("f.dat"));
    EXPECT_NE(d.notes.back().code, NOTIFY_FILE_DONE);
    if (c.sendsFinalProgress) {
      EXPECT_EQ(d.notes.back().code, NOTIFY_PROGRESS);
      if (c.finalProgress >= 0) {
        EXPECT_EQ(d.notes.back().value, c.finalProgress);
      } else {
        EXPECT_GT(d.notes.back().value, 10000);
      }
    } else {
      EXPECT_EQ(d.notes.size(), 1u);
    }
  }
}

TEST_F(DownloadTest, RefusedConnectionFailsAfterTheStartNotification) {
  Connect(UnusedLoopbackPort());
  dir.Write("f.dat", "installed");
  EXPECT_FALSE(d.Download("/f.dat", "f.dat"));
  EXPECT_EQ(d.notes, std::vector<Note>{Start("f.dat")});
  EXPECT_TRUE(HoldsBytes("f.dat", "installed"));
}

TEST_F(DownloadTest, LocalFileThatCannotBeReplacedFails) {
  server.Serve("/f.dat", "new");
  EXPECT_FALSE(d.Download("/f.dat", "missing\\dir\\f.dat"));
  EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));
  EXPECT_NE(d.notes.back().code, NOTIFY_FILE_DONE);
}

// A target held open without sharing, as a running executable is: the copy waits for its
// release; one that is never released fails and stays as it was.
TEST_F(DownloadTest, HeldTargetIsReplacedOnceReleased) {
  server.Serve("/f.dat", "new");
  dir.Write("f.dat", "old");
  HANDLE hHeld = CreateFileA("f.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
  std::thread release([hHeld] {
    Sleep(600);
    CloseHandle(hHeld);
  });
  EXPECT_TRUE(d.Download("/f.dat", "f.dat"));
  release.join();
  EXPECT_TRUE(HoldsBytes("f.dat", "new"));

  hHeld = CreateFileA("f.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  server.Serve("/f.dat", "newer");
  EXPECT_FALSE(d.Download("/f.dat", "f.dat"));
  CloseHandle(hHeld);
  EXPECT_TRUE(HoldsBytes("f.dat", "new"));
  EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));
}

TEST_F(DownloadTest, CopyIsInstalledOnlyWithTheExpectedChecksum) {
  const std::string body = Pattern(5000);
  const int32_t crc = static_cast<int32_t>(Crc32Update(kCrcStart, body.data(), body.size()));
  server.Serve("/f.dat", body);
  dir.Write("f.dat", "installed");
  EXPECT_FALSE(d.Download("/f.dat", "f.dat", crc ^ 1));
  EXPECT_TRUE(d.m_bCrcMismatch);
  EXPECT_TRUE(HoldsBytes("f.dat", "installed"));
  EXPECT_NE(d.notes.back().code, NOTIFY_FILE_DONE);
  EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));

  d.notes.clear();
  EXPECT_TRUE(d.Download("/f.dat", "f.dat", crc));
  EXPECT_FALSE(d.m_bCrcMismatch);
  EXPECT_TRUE(HoldsBytes("f.dat", body));
  EXPECT_EQ(d.notes.back(), Done("f.dat"));
}

TEST_F(DownloadTest, LeftoverTemporaryCopyIsReplacedNotInstalled) {
  // What a stopped run leaves behind.
  dir.Write("updatetmp/download.part", "half of something");
  server.Serve("/f.dat", "whole");
  ASSERT_TRUE(d.Download("/f.dat", "f.dat"));
  EXPECT_TRUE(HoldsBytes("f.dat", "whole"));
  EXPECT_FALSE(WorkDir::Exists(kDownloadTempPath));
}

// A body in timed chunks over more than 3 s: throttled, rising progress, a measured speed,
// and a later download that starts from reset figures.
TEST_F(DownloadTest, SlowTransferIsThrottledAndMeasured) {
  const std::string body = Pattern(36 * 4000);
  server.Serve("/slow.dat", body);
  server.Fault("/slow.dat", "slow 4000 100");
  DWORD start = timeGetTime();
  ASSERT_TRUE(d.Download("/slow.dat", "slow.dat"));
  DWORD elapsed = timeGetTime() - start;
  ASSERT_GE(elapsed, 3000u);
  EXPECT_TRUE(HoldsBytes("slow.dat", body));

  ASSERT_GE(d.notes.size(), 4u);
  EXPECT_EQ(d.notes.front(), Start("slow.dat"));
  EXPECT_EQ(d.notes.back(), Done("slow.dat"));
  EXPECT_EQ(d.notes[d.notes.size() - 2], Progress(10000));
  int last = 0;
  size_t progressCount = 0;
  for (size_t i = 1; i + 1 < d.notes.size(); ++i) {
    ASSERT_EQ(d.notes[i].code, NOTIFY_PROGRESS);
    EXPECT_GE(d.notes[i].value, last);
    EXPECT_LE(d.notes[i].value, 10000);
    last = d.notes[i].value;
    ++progressCount;
  }
  // One per 200 ms of the time base plus the final one; never one per chunk.
  EXPECT_LE(progressCount, elapsed / 200 + 2);
  EXPECT_GE(progressCount, 5u);
  // Bytes of the first window over its length: near the body's average rate.
  const double average = body.size() * 1000.0 / elapsed;
  EXPECT_GT(d.m_dwSpeed.load(), average / 3);
  EXPECT_LT(d.m_dwSpeed.load(), average * 3);

  server.Serve("/small.dat", "abc");
  ASSERT_TRUE(d.Download("/small.dat", "small.dat"));
  EXPECT_EQ(d.m_dwSpeed.load(), 0u);
  EXPECT_EQ(d.m_dwContentLength.load(), 3u);
  EXPECT_EQ(d.m_dwReceived, 3u);
}

// The server an operator would run.
TEST_F(DownloadTest, NginxServesTheFileAndAnswersMissingOnesWith404) {
  ASSERT_NE(server.NginxPort(), 0) << "run with --nginx";
  Connect(server.NginxPort());
  const std::string body = Pattern(3 * 1024 * 1024 + 17);
  server.Serve("/kv9update/plat/release/data/big.dat", body);
  dir.Write("data/big.dat", "old");
  ASSERT_TRUE(d.Download("/kv9update/plat/release\\data\\big.dat", "data\\big.dat"));
  EXPECT_TRUE(HoldsBytes("data\\big.dat", body));
  EXPECT_EQ(d.notes.back(), Done("data\\big.dat"));

  d.notes.clear();
  EXPECT_FALSE(d.Download("/kv9update/plat/release/none.dat", "data\\big.dat"));
  EXPECT_EQ(d.notes, std::vector<Note>{Start("data\\big.dat")});
  EXPECT_TRUE(HoldsBytes("data\\big.dat", body));
}

}  // namespace
