#include "core/Exception.h"
#include "core/StringList.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(StringList, SplitsAtCrLfCrAndLfAndWritesCrLf) {
  const std::tuple<std::string, Lines, std::string> cases[] = {
      {"", {}, ""},
      {"a\nb", {"a", "b"}, "a\r\nb\r\n"},
      {"a\rb\r", {"a", "b"}, "a\r\nb\r\n"},
      {"a\r\n\nb\rc", {"a", "", "b", "c"}, "a\r\n\r\nb\r\nc\r\n"},
      {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},  // LF CR is two breaks
      {"\r\n\r\n", {"", ""}, "\r\n\r\n"},
      {std::string("\xC3\xA4\0x\n", 5), {std::string("\xC3\xA4\0x", 4)}, std::string("\xC3\xA4\0x\r\n", 6)}};
  for (const auto& [text, lines, crlf] : cases) {
    TStringList list;
    list.SetText(text);
    EXPECT_EQ(list.Lines(), lines) << text;
    EXPECT_EQ(list.Text(), crlf) << text;
    EXPECT_EQ(TStringList::CrLfText(text), crlf) << "the list-free form saves the same text: " << text;
  }
}

TEST(StringList, EditingBoundsAndFiles) {
  TStringList list;
  list.Add("b");
  list.Insert(0, "a");
  list.Insert(2, "c");
  EXPECT_EQ(list.IndexOf("c") * 10 + list.IndexOf("C"), 19);
  list.Delete(1);
  EXPECT_EQ(list.Lines(), (Lines{"a", "c"}));
  EXPECT_THROW(list.Insert(3, "x"), EListError);
  EXPECT_THROW(list.Delete(2), EListError);
  EXPECT_THROW(list[-1], EListError);
  EXPECT_THROW(list.Get(2), EListError);

  qftest::TempDir dir;
  list.Put(1, "zweite Zeile: \xC3\xBC");
  list.SaveToFile(dir.File("l.txt"));
  EXPECT_EQ(qftest::ReadFile(dir.File("l.txt")), "a\r\nzweite Zeile: \xC3\xBC\r\n");
  TStringList back;
  back.Add("stale");
  back.LoadFromFile(dir.File("l.txt"));
  EXPECT_EQ(back, list);
  EXPECT_THROW(back.LoadFromFile(dir.File("missing.txt")), EFOpenError);
}

}  // namespace
