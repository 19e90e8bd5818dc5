#include "engine/ServerList.h"

#include <gtest/gtest.h>

#include "support/ScratchDir.h"

namespace {

ServerList Parse(const std::string& text) {
  ServerList list;
  ParseUpdateList(text.data(), text.size(), list);
  return list;
}

std::string Rows(const ServerList& list) {
  std::string out;
  for (const ServerEntry& e : list)
    out += std::to_string(e.nId) + "," + std::to_string(e.nLineType) + "," + e.szName + "," + e.szHost + "," +
           std::to_string(e.nPort) + ";";
  return out;
}

struct ParseCase {
  const char* what;
  std::string text;
  const char* rows;
};

TEST(ParseUpdateList, ReadsRowsAsTheLineReaderDoes) {
  const ParseCase cases[] = {
      {"one row", "3;1;main;host1;80\r\n", "3,1,main,host1,80;"},
      {"empty file", "", ""},
      {"starts with a line feed", "\n3;1;main;host1;80\n", ""},
      {"starts with CR LF", "\r\n3;1;main;host1;80\n", ""},
      {"comment, blank line and blanks between rows",
       "1;1;a;h1;80\r\n# comment\r\n\r\n   \r\n  2;1;b;h2;81\r\n   # indented comment\r\n",
       "1,1,a,h1,80;2,1,b,h2,81;"},
      {"last line without line feed", "1;1;a;h1;80\n2;1;b;h2;81", "1,1,a,h1,80;2,1,b,h2,81;"},
      {"id 0 and words dropped, negative kept", "0;1;x;h;80\nabc\n-2;1;x;h;80\n", "-2,1,x,h,80;"},
      {"empty name keeps the rest cleared", "5;1;;h;80\n", "5,1,,,0;"},
      {"row without host", "5;2;name\n", "5,2,name,,0;"},
      {"port low bits are the caller's", "1;1;a;h;65616\n", "1,1,a,h,65616;"},
      {"text after the port ignored", "1;1;a;h;80 trailing;junk\n", "1,1,a,h,80;"},
      {"blanks and signs in numbers", " 7; +1;a;h; -5\n", " 7,1,a,h,-5;"},
      {"Ctrl-Z ends the text",
       "1;1;a;h;80\n\x1a"
       "2;1;b;h;80\n",
       "1,1,a,h,80;"},
      {"GBK name", "1;1;电信;h;80\n", "1,1,电信,h,80;"},
  };
  for (const ParseCase& c : cases) {
    std::string rows = Rows(Parse(c.text));
    // The id of a row with leading blanks on the first line prints without them.
    EXPECT_EQ(rows, std::string(c.rows).substr(c.rows[0] == ' ' ? 1 : 0)) << c.what;
  }
}

TEST(ParseUpdateList, OverlongFieldsDropTheirRowOnly) {
  const std::string name259(259, 'n'), name260(260, 'n'), host63(63, 'h'), host64(64, 'h');
  ServerList list = Parse("1;1;" + name259 + ";" + host63 + ";80\n2;1;" + name260 + ";h;80\n3;1;n;" + host64 +
                          ";80\n4;1;" + std::string(1300, 'x') + "\n5;1;n;h;80\n");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].nId, 1);
  EXPECT_EQ(std::string(list[0].szName), name259);
  EXPECT_EQ(std::string(list[0].szHost), host63);
  EXPECT_EQ(list[1].nId, 5);
}

TEST(ReadUpdateListFile, ReplacesTheListAndToleratesAMissingFile) {
  ScratchDir dir;
  std::string path = dir.Write("updatelist.ini", "1;1;a;127.0.0.1;8080\r\n2;1;b;localhost;80\r\n");
  ServerList list = Parse("9;9;old;old;9\n");
  ReadUpdateListFile(path.c_str(), list);
  EXPECT_EQ(Rows(list), "1,1,a,127.0.0.1,8080;2,1,b,localhost,80;");
  ReadUpdateListFile((dir.Prefix() + "none.ini").c_str(), list);
  EXPECT_TRUE(list.empty());
}

ServerList Lines(std::initializer_list<int> lineTypes) {
  ServerList list;
  int id = 1;
  for (int type : lineTypes) {
    ServerEntry e;
    e.nId = id++;
    e.nLineType = type;
    list.push_back(e);
  }
  return list;
}

TEST(ChooseServerIndex, WalksTheOrdinals) {
  struct Case {
    const char* what;
    ServerList list;
    int r;
    int expected;
  };
  const Case cases[] = {
      {"three rows, r 5: t 2, wraps to the first", Lines({1, 1, 1}), 5, 0},
      {"three rows, r 0: t 3", Lines({1, 1, 1}), 0, 1},
      {"single row, r 0", Lines({1}), 0, 0},
      {"single row, r 32767", Lines({1}), 32767, 0},
      {"other line types are passed over", Lines({2, 1, 2, 1}), 0, 3},
      {"no row of the type", Lines({2, 3}), 7, -1},
      {"empty list", Lines({}), 0, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseServerIndex(c.list, 1, c.r), c.expected) << c.what;

  // 100 rows, only the first of type 1: found only while (r + 100) mod 200 is below 10.
  ServerList hundred = Lines({1});
  for (int i = 1; i < 100; ++i) hundred.push_back(Lines({2})[0]);
  for (int r = 0; r <= 32767; ++r) {
    bool reachable = (r + 100) % 200 < 10;
    ASSERT_EQ(ChooseServerIndex(hundred, 1, r), reachable ? 0 : -1) << r;
  }
}

// With m matching rows the choice is the ((t + 1) mod m)-th of them, whenever the walk
// reaches it within 1001 visits.
TEST(ChooseServerIndex, AgreesWithTheClosedForm) {
  ServerList list = Lines({1, 2, 1, 1, 3, 1});
  const int positions[] = {0, 2, 3, 5};
  const int n = 6, m = 4;
  for (int r = 0; r < 2000; ++r) {
    int t = (r + n) % (2 * n);
    int k = (t + 1) % m;
    bool reached = ((t + 1) / m) * n + positions[k] <= 1000;
    ASSERT_EQ(ChooseServerIndex(list, 1, r), reached ? positions[k] : -1) << r;
  }
}

}  // namespace
