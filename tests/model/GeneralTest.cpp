#include "core/Exception.h"
#include "core/Files.h"
#include "model/General.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST(General, BoolText) {
  EXPECT_EQ(BoolToText(true) + BoolToText(false), "truefalse");
  for (const char* text : {"true", "TRUE", "tRuE"}) EXPECT_TRUE(TextToBool(text)) << text;
  for (const char* text : {" true", "true ", "", "1", "-1", "yes", "false"}) EXPECT_FALSE(TextToBool(text)) << text;
}

TEST(General, ParseEnumSetFillsListAheadOfExistingLinesAndSetsKind) {
  const struct {
    std::string Type;
    Strings Lines;
    const char* Kind;
  } cases[] = {
      {"enum('a','b c','it''s')", {"a=a", "b c=b c", "it's=it's"}, "enum"},
      {"ENUM('A','B')", {"A=A", "B=B"}, "enum"},
      {"set(x,y)", {"x=x", "y=y"}, "set"},
      {"set('red','green')", {"red=red", "green=green"}, "set"},
      {"enum( 'a' ,  'b' )", {"a=a", "b=b"}, "enum"},
      {"enum('a',)", {"a=a", "="}, "enum"},
      {"enum('','x')", {"=", "x=x"}, "enum"},
      {"enum('abc)", {"abc=abc"}, "enum"},  // no closing quote
      {"enum('a=b')", {"a=b=a=b"}, "enum"},
      {"int(11)", {}, ""},
      {"enu", {}, ""},
      {"enum", {}, "enum"},
      {"enum()", {}, "enum"},
      {"enum('Zürich','東京')", {"Zürich=Zürich", "東京=東京"}, "enum"},
      {std::string("enum(a,\0b,c)", 12), {"a=a"}, "enum"},  // a NUL ends the text
      {std::string("set(\0)", 6), {}, "set"},
      {"enum(\xFF\xFE)", {"\xFF\xFE=\xFF\xFE"}, "enum"},
  };
  for (const auto& c : cases) {
    TStringList list;
    list.Add("old");
    std::string kind = "stale";
    ParseEnumSet(c.Type, list, kind);
    Strings expected = c.Lines;
    expected.push_back("old");
    EXPECT_EQ(list.Lines(), expected) << c.Type;
    EXPECT_EQ(kind, c.Kind) << c.Type;
  }
}

TEST(General, ParseEnumSetOnRandomBytesTerminates) {
  std::mt19937 rng(12345);  // the old splitter looped on control and high bytes
  for (int round = 0; round < 5000; ++round) {
    std::string type = round % 2 ? "enum(" : "SET(";
    const int len = static_cast<int>(rng() % 24);
    for (int i = 0; i < len; ++i) type += static_cast<char>(rng());
    TStringList list;
    std::string kind;
    ParseEnumSet(type, list, kind);
    EXPECT_LE(list.Count(), len + 1);
  }
}

TEST(General, CopyFolderFilesCopiesMatchingEntriesOnly) {
  qftest::TempDir src, dst, dst2;
  qftest::WriteFile(src.File("a.css"), "A");
  qftest::WriteFile(src.File("b.CSS"), "B");
  qftest::WriteFile(src.File("c.gif"), "C");
  qftest::WriteFile(dst.File("a.css"), "old content of a");
  CopyFolderFiles(src.Path() + "/", dst.Path() + "/", "*.css");
  EXPECT_EQ(FindFiles(dst.Path(), "*"), (Strings{"a.css", "b.CSS"}));
  EXPECT_EQ(qftest::ReadFile(dst.File("a.css")), "A");

  ForceDirectories(src.File("z.css"));  // a matching subfolder fails the copy; files copied before it stay
  EXPECT_THROW(CopyFolderFiles(src.Path() + "/", dst2.Path() + "/", "*.css"), EInOutError);
  EXPECT_EQ(qftest::ReadFile(dst2.File("b.CSS")), "B");

  EXPECT_THROW(CopyFileByStream(src.File("a.css"), src.File("a.css")), EInOutError);
  EXPECT_EQ(qftest::ReadFile(src.File("a.css")), "A");
}

TEST(General, AppFolderIsAnExistingFolderEndingInSlash) {
  const std::string folder = GetAppFolder();
  EXPECT_TRUE(!folder.empty() && folder.back() == '/' && DirectoryExists(folder)) << folder;
}

}  // namespace
