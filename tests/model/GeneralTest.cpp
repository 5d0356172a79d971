#include "core/Exception.h"
#include "core/Files.h"
#include "model/General.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(General, BoolText) {
  EXPECT_EQ(BoolToText(true), "true");
  EXPECT_EQ(BoolToText(false), "false");
  const struct {
    const char* text;
    bool value;
  } cases[] = {{"true", true}, {"TRUE", true}, {"tRuE", true}, {" true", false}, {"true ", false},
               {"", false},    {"1", false},   {"-1", false},  {"yes", false},   {"false", false}};
  for (const auto& c : cases) EXPECT_EQ(TextToBool(c.text), c.value) << '"' << c.text << '"';
}

struct EnumCase {
  const char* name;
  std::string type;
  std::vector<std::string> lines;
  const char* kind;
};

class ParseEnumSetTest : public ::testing::TestWithParam<EnumCase> {};

TEST_P(ParseEnumSetTest, FillsListAndKind) {
  const EnumCase& c = GetParam();
  TStringList list;
  std::string kind = "stale";
  ParseEnumSet(c.type, list, kind);
  EXPECT_EQ(list.Lines(), c.lines);
  EXPECT_EQ(kind, c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ParseEnumSetTest,
    ::testing::Values(
        EnumCase{"quoted", "enum('a','b c','it''s')", {"a=a", "b c=b c", "it's=it's"}, "enum"},
        EnumCase{"upper_case", "ENUM('A','B')", {"A=A", "B=B"}, "enum"},
        EnumCase{"unquoted_set", "set(x,y)", {"x=x", "y=y"}, "set"},
        EnumCase{"set_quoted", "set('red','green')", {"red=red", "green=green"}, "set"},
        EnumCase{"blanks_around", "enum( 'a' ,  'b' )", {"a=a", "b=b"}, "enum"},
        EnumCase{"trailing_comma", "enum('a',)", {"a=a", "="}, "enum"},
        EnumCase{"empty_item", "enum('','x')", {"=", "x=x"}, "enum"},
        EnumCase{"missing_close_quote", "enum('abc)", {"abc=abc"}, "enum"},
        EnumCase{"equals_in_value", "enum('a=b')", {"a=b=a=b"}, "enum"},
        EnumCase{"not_a_list", "int(11)", {}, ""},
        EnumCase{"varchar", "varchar(20)", {}, ""},
        EnumCase{"shorter_than_prefix", "enu", {}, ""},
        EnumCase{"bare_prefix", "enum", {}, "enum"},
        EnumCase{"bare_set", "set", {}, "set"},
        EnumCase{"empty_parens", "enum()", {}, "enum"},
        EnumCase{"utf8", "enum('Z\xC3\xBCrich','\xE6\x9D\xB1\xE4\xBA\xAC')",
                 {"Z\xC3\xBCrich=Z\xC3\xBCrich", "\xE6\x9D\xB1\xE4\xBA\xAC=\xE6\x9D\xB1\xE4\xBA\xAC"}, "enum"},
        EnumCase{"utf8_unquoted", "set(\xC3\xA4,\xC3\xB6)", {"\xC3\xA4=\xC3\xA4", "\xC3\xB6=\xC3\xB6"}, "set"},
        EnumCase{"nul_ends_text", std::string("enum(a,\0b,c)", 12), {"a=a"}, "enum"},
        EnumCase{"nul_right_after_paren", std::string("set(\0)", 6), {}, "set"},
        EnumCase{"high_bytes_only", "enum(\xFF\xFE)", {"\xFF\xFE=\xFF\xFE"}, "enum"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(General, ParseEnumSetInsertsAheadOfExistingLines) {
  TStringList list;
  list.Add("old");
  std::string kind;
  ParseEnumSet("enum('a','b')", list, kind);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a=a", "b=b", "old"}));
}

TEST(General, ParseEnumSetOnRandomBytesTerminates) {
  // Any byte sequence after the prefix must end; the old splitter looped on
  // control and high bytes.
  uint32_t seed = 12345;
  for (int round = 0; round < 5000; ++round) {
    std::string type = round % 2 ? "enum(" : "SET(";
    const int len = static_cast<int>(seed % 24);
    for (int i = 0; i < len; ++i) {
      seed = seed * 1103515245u + 12345u;
      type += static_cast<char>((seed >> 16) & 0xFF);
    }
    TStringList list;
    std::string kind;
    ParseEnumSet(type, list, kind);
    EXPECT_LE(list.Count(), len + 1);
  }
}

TEST(General, CopyFolderFilesCopiesMatchingEntriesOnly) {
  qftest::TempDir src, dst;
  qftest::WriteFile(src.File("a.css"), "A");
  qftest::WriteFile(src.File("b.CSS"), "B");
  qftest::WriteFile(src.File("c.gif"), "C");
  qftest::WriteFile(dst.File("a.css"), "old content of a");
  CopyFolderFiles(src.Path() + "/", dst.Path() + "/", "*.css");
  EXPECT_EQ(FindFiles(dst.Path(), "*"), (std::vector<std::string>{"a.css", "b.CSS"}));
  EXPECT_EQ(qftest::ReadFile(dst.File("a.css")), "A");

  // A matching subfolder fails the copy; files copied before it stay.
  ForceDirectories(src.File("z.css"));
  qftest::TempDir dst2;
  EXPECT_THROW(CopyFolderFiles(src.Path() + "/", dst2.Path() + "/", "*.css"), EInOutError);
  EXPECT_EQ(qftest::ReadFile(dst2.File("b.CSS")), "B");

  EXPECT_THROW(CopyFileByStream(src.File("a.css"), src.File("a.css")), EInOutError);
  EXPECT_EQ(qftest::ReadFile(src.File("a.css")), "A");
}

TEST(General, AppFolderIsTheFolderOfTheTestProgram) {
  const std::string folder = GetAppFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_EQ(ExtractFilePath(GetExecutablePath()), folder);
}

}  // namespace
