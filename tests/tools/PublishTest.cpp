// The release publisher, run in-process through its command line on trees made by each test.
// Host names are written as u8 literals; plain literals are GBK (the execution charset), which
// is what the file list must hold.
#include "publish/Publish.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "engine/FileList.h"
#include "framework/FileBytes.h"
#include "net/FileChecksum.h"
#include "publish/HostNames.h"
#include "publish/NameRules.h"
#include "publish/PublishCommand.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace {

struct Closer {
  void operator()(FILE* f) const { fclose(f); }
};

std::string ReadAll(const fs::path& p) {
  std::unique_ptr<FILE, Closer> f(OpenHostFile(p, "rb"));
  std::string text;
  if (!f) return "<missing>";
  char chunk[65536];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f.get())) > 0) text.append(chunk, got);
  return text;
}

int32_t Crc(const std::string& bytes) {
  return static_cast<int32_t>(Crc32Update(kCrcStart, bytes.data(), bytes.size()));
}

// The names of what lies in dir, as GBK, sorted.
std::set<std::string> Listing(const fs::path& dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string gbk;
    EXPECT_TRUE(HostNameToGbk(it->path().filename(), &gbk));
    names.insert(gbk);
  }
  return names;
}

class Publish : public ::testing::Test {
 protected:
  fs::path Root() const { return fs::path(scratch_.Prefix()); }
  fs::path Release() const { return Root() / "rel"; }
  fs::path Out() const { return Root() / "out"; }
  fs::path Server() const { return Out() / "kv9update" / "plat"; }

  // Writes bytes to the release file at the u8 path (with "/"), creating its directories.
  void File(const char* u8rel, const std::string& bytes) {
    fs::path p = Release() / fs::u8path(u8rel);
    fs::create_directories(p.parent_path());
    std::unique_ptr<FILE, Closer> f(OpenHostFile(p, "wb"));
    ASSERT_TRUE(f) << u8rel;
    fwrite(bytes.data(), 1, bytes.size(), f.get());
  }
  void Dir(const char* u8rel) { fs::create_directories(Release() / fs::u8path(u8rel)); }

  struct Result {
    int code;
    std::string out;
    std::string err;
  };
  Result Run(const fs::path& target) { return RunArgs({Release(), target, Out()}); }
  Result RunArgs(const std::vector<fs::path>& args, const std::atomic<bool>* cancel = nullptr) {
    fs::path outLog = Root() / "stdout.txt", errLog = Root() / "stderr.txt";
    Result r;
    {
      std::unique_ptr<FILE, Closer> out(OpenHostFile(outLog, "wb")), err(OpenHostFile(errLog, "wb"));
      r.code = RunPublishCommand(args, out.get(), err.get(), cancel);
    }
    r.out = ReadAll(outLog);
    r.err = ReadAll(errLog);
    return r;
  }

  ScratchDir scratch_;
};

TEST_F(Publish, RoundTripKeepsEveryFileWithItsChecksum) {
  std::mt19937 random(7);
  std::string large(3 * (1 << 20) + 12345, '\0');  // spans several copy chunks
  for (char& c : large) c = static_cast<char>(random());
  File(u8"readme.txt", "");
  File(u8"说明.txt", "abc");
  File(u8"data/config.ini", "[a]\r\nb=1\r\n");
  Dir(u8"data/maps");
  File(u8"数据/图片/大.bin", large);

  Result r = Run("plat");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("pellarin-publish: published 4 files and 4 directories (", 0), 0u) << r.out;

  // Directories before their contents, GBK byte order within a directory, CR LF, and a last
  // line that is no entry.
  const std::string expected =
      "\\:data:0\r\n"
      "\\:readme.txt:-1\r\n"
      "\\:数据:0\r\n"
      "\\:说明.txt:899311407\r\n"
      "data:config.ini:" +
      std::to_string(Crc("[a]\r\nb=1\r\n")) +
      "\r\n"
      "data:maps:0\r\n"
      "数据:图片:0\r\n"
      "数据\\图片:大.bin:" +
      std::to_string(Crc(large)) +
      "\r\n"
      "#end\r\n";
  EXPECT_EQ(ReadAll(Server() / "filelist.list"), expected);

  FileList list;
  LoadFileList((scratch_.Prefix() + "out/kv9update/plat/filelist.list").c_str(), list);
  ASSERT_EQ(list.size(), 8u);
  const std::pair<std::string, std::string> files[] = {{"readme.txt", ""},
                                                       {"说明.txt", "abc"},
                                                       {"data/config.ini", "[a]\r\nb=1\r\n"},
                                                       {"数据/图片/大.bin", large}};
  for (const auto& f : files) {
    std::string dir = f.first.find('/') == std::string::npos ? "\\" : f.first.substr(0, f.first.rfind('/'));
    std::string name = f.first.substr(f.first.rfind('/') + 1);
    for (char& c : dir) c = c == '/' ? '\\' : c;
    int found = 0;
    for (const FileEntry& e : list)
      if (e.m_strDir == dir && e.m_strName == name && e.m_nCrc == Crc(f.second)) ++found;
    EXPECT_EQ(found, 1) << f.first;
    // The copy is reached by its GBK bytes, as the updater's URL names it.
    std::string copy = scratch_.Prefix() + "out/kv9update/plat/release/" + f.first;
    EXPECT_EQ(GetFileCrc32(copy.c_str()), Crc(f.second)) << f.first;
    std::string bytes;
    ReadFileBytes(copy.c_str(), &bytes);
    EXPECT_TRUE(bytes == f.second) << f.first;
  }
  EXPECT_TRUE(fs::is_directory(Server() / "release" / "data" / "maps"));
  EXPECT_EQ(Listing(Out() / "kv9update"), std::set<std::string>{"plat"});
}

struct Refusal {
  const char* what;
  const char* u8name;  // path below the release directory; a trailing "/" makes a directory
  const char* marker;  // the part of the name every host shows in the message
  const char* reason;
  bool posixOnly;  // Windows cannot hold the name at all
};

TEST_F(Publish, RefusesNamesTheListCannotCarryAndLeavesNothing) {
  const std::string longName = "data/" + std::string(250, 'x') + ".txt";  // its URL path is too long
  const Refusal cases[] = {
      {"colon", u8"bad:name.txt", "name.txt", "separates the fields", true},
      {"file without dot", u8"LICENSE", "LICENSE", "without \".\"", false},
      {"directory with dot", u8"v1.2/", "v1.2", "directory name with \".\"", false},
      {"emoji", u8"smile😀.txt", "smile", "GBK", false},
      {"hangul", u8"data/han한.txt", "han", "GBK", false},
      {"percent", u8"100%.txt", "100", "URL", false},
      {"device name", u8"data/con.txt", "con.txt", "device", true},
      {"trailing dot", u8"tail.txt.", "tail.txt", "trailing dot", true},
      {"backslash", u8"back\\slash.txt", "slash.txt", "Windows file names cannot hold", true},
      {"case twins", u8"Twin.txt", "twin.txt", "letter case", true},
      {"too long", longName.c_str(), "xxxx", "URL path is 283 bytes", false},
  };
  for (const Refusal& c : cases) {
#ifdef _WIN32
    if (c.posixOnly) continue;
#endif
    fs::remove_all(Release());
    File(u8"ok.txt", "fine");
    File(u8"twin.txt", "one");
    std::string name = c.u8name;
    if (name.back() == '/') {
      Dir(c.u8name);
    } else {
      File(c.u8name, "x");
    }
    Result r = Run("plat");
    EXPECT_EQ(r.code, 1) << c.what;
    EXPECT_NE(r.err.find(c.marker), std::string::npos) << c.what << ": " << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.what << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_FALSE(fs::exists(Out())) << c.what;
  }
}

TEST_F(Publish, RefusesBadTargetsAndCommandLines) {
  File(u8"ok.txt", "fine");
  const char* targets[] = {"", "a/b", "a\\b", "a:b", "..", "x..y", ".hidden", "con", "a b", "a,1", u8"中文"};
  for (const char* t : targets) {
    Result r = Run(fs::u8path(t));
    EXPECT_EQ(r.code, 2) << t;
    EXPECT_NE(r.err.find("bad target"), std::string::npos) << t << ": " << r.err;
  }
  EXPECT_EQ(Run(std::string(235, 'a')).code, 2);  // its file list's URL path would pass 259 bytes
  EXPECT_EQ(RefuseTarget(std::string(234, 'a')), nullptr);
  EXPECT_EQ(RunArgs({Release(), "plat"}).code, 2);
  EXPECT_FALSE(fs::exists(Out()));
  // Publishing into the release itself would list the older publication in the new one.
  EXPECT_EQ(RunArgs({Release(), "plat", Release() / "www"}).code, 1);
  EXPECT_FALSE(fs::exists(Release() / "www"));
}

TEST_F(Publish, RepublishingReplacesTheOlderTreeOnlyWhenComplete) {
  File(u8"a.txt", "one");
  File(u8"data/old.txt", "old");
  ASSERT_EQ(Run("plat").code, 0);
  const std::string first = ReadAll(Server() / "filelist.list");

  // A refused name leaves the older publication as it was.
  File(u8"data/NOEXT", "x");
  EXPECT_EQ(Run("plat").code, 1);
  EXPECT_EQ(ReadAll(Server() / "filelist.list"), first);
  EXPECT_EQ(ReadAll(Server() / "release" / "a.txt"), "one");

  fs::remove(Release() / "data" / "NOEXT");
  fs::remove(Release() / "data" / "old.txt");
  File(u8"a.txt", "two");
  ASSERT_EQ(Run("plat").code, 0);
  EXPECT_EQ(ReadAll(Server() / "filelist.list"),
            "\\:a.txt:" + std::to_string(Crc("two")) + "\r\n\\:data:0\r\n#end\r\n");
  EXPECT_EQ(ReadAll(Server() / "release" / "a.txt"), "two");
  EXPECT_FALSE(fs::exists(Server() / "release" / "data" / "old.txt"));
  EXPECT_EQ(Listing(Out() / "kv9update"), std::set<std::string>{"plat"});

  // An interrupted run removes what it staged and keeps the older tree too.
  File(u8"a.txt", "three");
  std::atomic<bool> cancel{true};
  EXPECT_EQ(RunArgs({Release(), "plat", Out()}, &cancel).code, 1);
  EXPECT_EQ(ReadAll(Server() / "release" / "a.txt"), "two");
  EXPECT_EQ(Listing(Out() / "kv9update"), std::set<std::string>{"plat"});

  // A failure after everything was copied removes the staged tree: here the target's place
  // holds a file.
  fs::remove_all(Server());
  File(u8"../out/kv9update/plat", "not a directory");
  Result r = Run("plat");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no directory"), std::string::npos) << r.err;
  EXPECT_EQ(Listing(Out() / "kv9update"), std::set<std::string>{"plat"});
  EXPECT_EQ(ReadAll(Server()), "not a directory");
}

TEST_F(Publish, ReportsProgressOnlyForLargeTreesAndWarnsOfSkippedEntries) {
  for (const char* name : {u8"1.txt", u8"2.txt", u8"3.txt", u8"4.txt", u8"5.txt"}) File(name, name);
  fs::path log = Root() / "progress.txt";
  for (size_t minFiles : {6, 5}) {
    PublishRequest request;
    request.releaseDir = Release();
    request.target = "plat";
    request.outDir = Out();
    request.progressMinFiles = minFiles;
    request.progressEveryFiles = 2;
    PublishSummary summary;
    std::vector<std::string> errors;
    {
      std::unique_ptr<FILE, Closer> f(OpenHostFile(log, "wb"));
      request.progress = f.get();
      ASSERT_TRUE(PublishRelease(request, &summary, &errors));
    }
    std::string text = ReadAll(log);
    if (minFiles == 6) {
      EXPECT_EQ(text, "");
    } else {
      EXPECT_NE(text.find("2/5 files"), std::string::npos) << text;
      EXPECT_NE(text.find("4/5 files"), std::string::npos) << text;
      EXPECT_NE(text.find("5/5 files"), std::string::npos) << text;
    }
  }

  File(u8"updatetmp/x.txt", "x");
  File(u8"game/winmm.dll", "x");
  Result r = Run("plat");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("warning: " + DisplayPath(Release() / "updatetmp" / "x.txt")), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("winmm.dll: the updater never downloads"), std::string::npos) << r.err;
}

}  // namespace
