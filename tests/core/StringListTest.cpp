#include "core/Exception.h"
#include "core/StringList.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(StringList, SplitsAtCrLfCrAndLfAndWritesCrLf) {
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"abc", {"abc"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\nb\rc", {"a", "", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {"\r\n\r\n", {"", ""}},
      {std::string("\xC3\xA4\0x\n", 5), {std::string("\xC3\xA4\0x", 4)}}};
  for (const auto& [text, lines] : cases) {
    TStringList list;
    list.SetText(text);
    EXPECT_EQ(list.Lines(), lines) << text;
    std::string crlf;
    for (const auto& l : lines) crlf += l + "\r\n";
    EXPECT_EQ(list.Text(), crlf) << text;
    EXPECT_EQ(TStringList::CrLfText(text), crlf) << "the list-free form saves the same text: " << text;
  }
}

TEST(StringList, InsertDeleteIndexOfAndBounds) {
  TStringList list;
  list.Add("b");
  list.Insert(0, "a");
  list.Insert(2, "c");
  EXPECT_EQ(list.IndexOf("c"), 2);
  EXPECT_EQ(list.IndexOf("C"), -1);
  list.Delete(1);
  EXPECT_EQ(list.Lines(), (Lines{"a", "c"}));
  EXPECT_THROW(list.Insert(3, "x"), EListError);
  EXPECT_THROW(list.Delete(2), EListError);
  EXPECT_THROW(list[-1], EListError);
  EXPECT_THROW(list.Get(2), EListError);
}

TEST(StringList, FileRoundTrip) {
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
