#include "engine/FileList.h"

#include <gtest/gtest.h>

#include <list>
#include <random>

#include "framework/MbcsText.h"
#include "support/ScratchDir.h"

namespace {

FileList Parse(const std::string& text) {
  FileList list;
  ParseFileList(text.data(), text.size(), list);
  return list;
}

std::string Rows(const FileList& list) {
  std::string out;
  for (const FileEntry& e : list)
    out += e.m_strDir + ":" + e.m_strName + ":" + std::to_string(e.m_nCrc) + ";";
  return out;
}

struct ParseCase {
  const char* what;
  std::string text;
  const char* rows;
};

TEST(ParseFileList, TakesEveryCompleteLine) {
  const std::string longField(kMaxListField + 1, 'x');
  const std::string maxField(kMaxListField, 'x');
  const ParseCase cases[] = {
      {"three with CR LF", "\\:a.txt:1\r\ndata:b.txt:2\r\ndata:c:0\r\n", "\\:a.txt:1;data:b.txt:2;data:c:0;"},
      {"no final CR LF", "\\:a.txt:1\r\ndata:b.txt:2", "\\:a.txt:1;data:b.txt:2;"},
      {"blank lines after", "\\:a.txt:1\r\n\r\n  \r\n\n", "\\:a.txt:1;"},
      {"one entry", "\\:a.txt:1", "\\:a.txt:1;"},
      {"LF only, indented", "\\:a.txt:1\n   data:b.txt:2\n", "\\:a.txt:1;data:b.txt:2;"},
      {"trailing word", "\\:a.txt:1\r\ndata:b.txt:2\r\nEND\r\n", "\\:a.txt:1;data:b.txt:2;"},
      {"unsigned form wraps", "d:a.txt:3523400311\r\nd:b.txt:-771566985\r\nd:c.txt:+5\r\n",
       "d:a.txt:-771566985;d:b.txt:-771566985;d:c.txt:5;"},
      {"blanks around checksum", "d:a.txt: \t42 \r\n", "d:a.txt:42;"},
      {"empty", "", ""},
      {"GBK names", "数据:说明.txt:7\r\n", "数据:说明.txt:7;"},
      // Malformed lines are skipped whole and never lend their values to the next line.
      {"empty directory", ":a.txt:1\r\nd:b.txt:2\r\n", "d:b.txt:2;"},
      {"empty name", "d::1\r\nd:b.txt:2\r\n", "d:b.txt:2;"},
      {"missing colon", "d:a.txt\r\nd:b.txt:2\r\n", "d:b.txt:2;"},
      {"checksum not a number", "d:a.txt:1\r\nd:x.txt:zz\r\nd:b.txt:2\r\n", "d:a.txt:1;d:b.txt:2;"},
      {"checksum missing", "d:a.txt:\r\nd:b.txt:2\r\n", "d:b.txt:2;"},
      {"sign alone", "d:a.txt:-\r\nd:b.txt:2\r\n", "d:b.txt:2;"},
      {"junk after checksum", "d:a.txt:12ab\r\nd:b.txt:2\r\n", "d:b.txt:2;"},
      {"extra colon", "d:a.txt:x:1\r\nd:b.txt:2\r\n", "d:b.txt:2;"},
      {"field over the limit", "d:" + longField + ":1\r\n" + longField + ":n.txt:1\r\nd:b.txt:2\r\n",
       "d:b.txt:2;"},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(Rows(Parse(c.text)), c.rows) << c.what;

  FileList atLimit = Parse("d:" + maxField + ":1\r\n");
  ASSERT_EQ(atLimit.size(), 1u);
  EXPECT_EQ(atLimit[0].m_strName.size(), kMaxListField);
}

TEST(LoadFileList, ReadsAFileAndToleratesAMissingOne) {
  ScratchDir dir;
  std::string path = dir.Write("filelist.list", "\\:a.txt:1\r\ndata:maps:0\r\n#end\r\n");
  FileList list;
  LoadFileList(path.c_str(), list);
  EXPECT_EQ(Rows(list), "\\:a.txt:1;data:maps:0;");
  LoadFileList((dir.Prefix() + "none.list").c_str(), list);
  EXPECT_EQ(list.size(), 2u);
}

FileEntry Row(const char* dir, const char* name, int32_t crc) {
  FileEntry e;
  e.m_strDir = dir;
  e.m_strName = name;
  e.m_nCrc = crc;
  return e;
}

TEST(BuildLocalList, ChecksumsExistingFilesOnly) {
  ScratchDir dir;
  dir.Write("abc.txt", "abc");
  dir.Write("data/empty.dat", "");
  dir.MakeDir("data/maps");
  dir.Write("LICENSE", "text");
  dir.Write("数据/说明.txt", "123456789");
  const FileList remote = {
      Row("\\", "abc.txt", 1),  Row("/", "missing.txt", 1),      Row("data", "empty.dat", 5),
      Row("\\data", "maps", 0), Row("\\", "LICENSE", 0),         Row("数据", "说明.txt", 0),
      Row("..", "abc.txt", 0),  Row("data\\..\\..", "x.txt", 0),
  };
  FileList local;
  BuildLocalList(remote, local, dir.Prefix());
  EXPECT_EQ(Rows(local),
            "\\:abc.txt:899311407;data:empty.dat:-1;\\data:maps:0;\\:LICENSE:0;数据:说明.txt:-771566985;");
}

// The comparison as first written: quadratic, with a linked list of missing rows. The
// hashed version must give exactly its result and order.
FileList ReferenceCompare(const FileList& remote, const FileList& local) {
  FileList work;
  std::list<FileEntry> missing;
  if (remote.size() != local.size()) missing.assign(remote.begin(), remote.end());
  auto same = [](const FileEntry& a, const FileEntry& b) {
    return mbcs::EqualsNoCase(a.m_strDir, b.m_strDir) && mbcs::EqualsNoCase(a.m_strName, b.m_strName);
  };
  for (const FileEntry& l : local) {
    missing.remove_if([&](const FileEntry& m) { return same(m, l); });
    for (const FileEntry& r : remote)
      if (same(r, l) && r.m_nCrc != l.m_nCrc && IsFileName(r.m_strName)) work.push_back(r);
  }
  work.insert(work.end(), missing.begin(), missing.end());
  for (FileEntry& w : work) w.m_nKind = IsFileName(w.m_strName) ? 0 : 1;
  return work;
}

std::string Kinds(const FileList& list) {
  std::string out;
  for (const FileEntry& e : list) out += e.m_strName + "/" + std::to_string(e.m_nKind) + " ";
  return out;
}

TEST(CompareFileLists, ChangedFirstThenMissingInListOrder) {
  const FileList remote = {
      Row("\\", "same.txt", 10),    Row("\\", "gone.txt", 11), Row("data", "maps", 0),
      Row("\\", "changed.txt", 12), Row("\\", "LICENSE", 3),   Row("Data", "new.dat", 13),
  };
  const FileList local = {Row("\\", "same.txt", 10), Row("\\", "CHANGED.TXT", 99), Row("\\", "license", 7)};
  FileList work;
  CompareFileLists(remote, local, work);
  EXPECT_EQ(Rows(work), "\\:changed.txt:12;\\:gone.txt:11;data:maps:0;Data:new.dat:13;");
  EXPECT_EQ(Kinds(work), "changed.txt/0 gone.txt/0 maps/1 new.dat/0 ");
}

TEST(CompareFileLists, DuplicatesAndEqualLengths) {
  // A row listed twice that differs on disk: each local row meets both remote rows.
  const FileList remote = {Row("d", "x.dat", 1), Row("D", "X.DAT", 1)};
  const FileList local = {Row("d", "x.dat", 2), Row("D", "X.DAT", 2)};
  FileList work;
  CompareFileLists(remote, local, work);
  EXPECT_EQ(work.size(), 4u);

  // Lists of equal length: nothing is missing, even -1 for an empty file is equal.
  const FileList remote2 = {Row("\\", "empty.txt", -1)};
  FileList work2;
  CompareFileLists(remote2, remote2, work2);
  EXPECT_TRUE(work2.empty());
}

TEST(CompareFileLists, AgreesWithTheQuadraticComparisonOnRandomLists) {
  std::mt19937 rng(12345);
  const char* dirs[] = {"\\", "data", "DATA", "数据", "d\\sub"};
  const char* names[] = {"a.txt", "A.TXT", "b.dat", "maps", "Maps", "说明.txt", "c.bin"};
  for (int round = 0; round < 300; ++round) {
    FileList remote;
    int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i)
      remote.push_back(Row(dirs[rng() % 5], names[rng() % 7], static_cast<int32_t>(rng() % 3)));
    FileList local;
    for (const FileEntry& r : remote) {
      if (rng() % 3 == 0) continue;  // missing on disk
      FileEntry l = r;
      if (IsFileName(l.m_strName)) l.m_nCrc = static_cast<int32_t>(rng() % 3);
      local.push_back(l);
    }
    FileList work;
    CompareFileLists(remote, local, work);
    FileList expected = ReferenceCompare(remote, local);
    ASSERT_EQ(Rows(work), Rows(expected)) << "round " << round;
    ASSERT_EQ(Kinds(work), Kinds(expected)) << "round " << round;
  }
}

}  // namespace
