#include "core/Exception.h"
#include "core/StringList.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SplitCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;
};

class StringListSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(StringListSplit, SplitsAtEveryLineBreakKind) {
  TStringList list;
  list.SetText(GetParam().text);
  EXPECT_EQ(list.Lines(), GetParam().lines);
  EXPECT_EQ(TStringList::CrLfText(GetParam().text), list.Text()) << "the list-free form saves the same text";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StringListSplit,
    ::testing::Values(SplitCase{"empty", "", {}}, SplitCase{"no_break", "abc", {"abc"}},
                      SplitCase{"crlf", "a\r\nb\r\n", {"a", "b"}}, SplitCase{"lf", "a\nb", {"a", "b"}},
                      SplitCase{"cr", "a\rb\r", {"a", "b"}},
                      SplitCase{"mixed", "a\r\n\nb\rc", {"a", "", "b", "c"}},
                      SplitCase{"lf_cr_is_two_breaks", "a\n\rb", {"a", "", "b"}},
                      SplitCase{"only_breaks", "\r\n\r\n", {"", ""}},
                      SplitCase{"utf8_and_nul", std::string("\xC3\xA4\0x\n", 5), {std::string("\xC3\xA4\0x", 4)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringList, TextEndsEveryLineWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("a");
  list.Add("");
  list.Add("b");
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringList, InsertDeleteIndexOfAndBounds) {
  TStringList list;
  list.Add("b");
  list.Insert(0, "a");
  list.Insert(2, "c");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(list.IndexOf("c"), 2);
  EXPECT_EQ(list.IndexOf("C"), -1);
  list.Delete(1);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "c"}));
  EXPECT_THROW(list.Insert(3, "x"), EListError);
  EXPECT_THROW(list.Delete(2), EListError);
  EXPECT_THROW(list[-1], EListError);
  EXPECT_THROW(list.Get(2), EListError);
}

TEST(StringList, FileRoundTripWritesCrLf) {
  qftest::TempDir dir;
  TStringList list;
  list.Add("first");
  list.Add("zweite Zeile: \xC3\xBC");
  list.SaveToFile(dir.File("l.txt"));
  EXPECT_EQ(qftest::ReadFile(dir.File("l.txt")), "first\r\nzweite Zeile: \xC3\xBC\r\n");
  TStringList back;
  back.Add("stale");
  back.LoadFromFile(dir.File("l.txt"));
  EXPECT_EQ(back, list);
  EXPECT_THROW(back.LoadFromFile(dir.File("missing.txt")), EFOpenError);
}

}  // namespace
