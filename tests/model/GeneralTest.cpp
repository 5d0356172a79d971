#include "core/Exception.h"
#include "core/Files.h"
#include "model/General.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST(General, ParseEnumSetFillsListAheadOfExistingLinesAndSetsKind) {
  const struct {
    std::string Type;
    Strings Lines;
    const char* Kind;
  } cases[] = {
      {"enum('a','b c','it''s')", {"a=a", "b c=b c", "it's=it's"}, "enum"},
      {"ENUM('A','B')", {"A=A", "B=B"}, "enum"},
      {"set(x,y)", {"x=x", "y=y"}, "set"},
      {"enum( 'a' ,  'b' )", {"a=a", "b=b"}, "enum"},
      {"enum('a',)", {"a=a", "="}, "enum"},
      {"enum('','x')", {"=", "x=x"}, "enum"},
      {"enum('abc)", {"abc=abc"}, "enum"},  // no closing quote
      {"int(11)", {}, ""},
      {"enu", {}, ""},
      {"enum", {}, "enum"},
      {"enum()", {}, "enum"},
      {std::string("enum(a,\0b,c)", 12), {"a=a"}, "enum"},  // a NUL ends the text
      {"enum(\xFF\xFE)", {"\xFF\xFE=\xFF\xFE"}, "enum"},  // high and control bytes: the old splitter looped
      {"set(a\x01" "b\x7F)", {"a=a", "b\x7F=b\x7F"}, "set"},
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
