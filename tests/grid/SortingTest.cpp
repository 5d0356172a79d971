#include "TestSupport.h"
#include "GridRecorder.h"

#include "core/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

using gridtest::TGridRecorder;

namespace {

using Texts = std::vector<std::string>;

/** Column 0 holds the keys in a column of the given kind ("NAN" goes into a
 *  float column as a NaN), column 1 the row names r0, r1, ... */
struct TSortStore {
  explicit TSortStore(const Texts& keys, std::uint8_t kind = 7) {
    G.Add<TTextualColumn>("key")->SetKind(kind);
    G.Add<TTextualColumn>("name");
    G.Cells.AddRows(static_cast<int>(keys.size()));
    for (size_t r = 0; r < keys.size(); ++r) {
      TCell* key = G.Cells.GetCell(0, static_cast<int>(r));
      if (keys[r] == "NAN")
        key->SetAsFloat(std::numeric_limits<double>::quiet_NaN());
      else
        key->SetAsString(keys[r]);
      G.Cells.GetCell(1, static_cast<int>(r))->SetAsString(qftest::Str("r", r));
    }
  }
  Texts Keys() { return G.Column(0); }
  Texts Names() { return G.Column(1); }
  /** Each row as "key name", in a fixed order: the same rows, whole, whatever their places. */
  Texts WholeRows() {
    Texts keys = Keys(), names = Names();
    for (size_t r = 0; r < keys.size(); ++r) keys[r] += " " + names[r];
    std::sort(keys.begin(), keys.end());
    return keys;
  }
  TGridRecorder G;
};

TEST(Sorting, EachKindOrdersWholeRows) {
  const struct {
    const char* name;
    TSortType type;
    TSortKind kind;
    Texts keys;
    Texts sorted;
    std::uint8_t column = 7;
  } cases[] = {
      {"alphabetic_ordinal", stAlphabetic, skAscending, {"b", "B", "a", "ab", ""}, {"", "B", "a", "ab", "b"}},
      {"alphabetic_descending", stAlphabetic, skDescending, {"b", "B", "a", "ab"}, {"b", "ab", "a", "B"}},
      {"alphabetic_utf8", stAlphabetic, skAscending, {"\xC3\xA9", "z", "\xE2\x82\xAC"},
       {"z", "\xC3\xA9", "\xE2\x82\xAC"}},
      {"case_insensitive", stCaseInsensitive, skAscending, {"b", "C", "a", "Ab"}, {"a", "Ab", "b", "C"}},
      {"case_insensitive_desc", stCaseInsensitive, skDescending, {"_", "Z", "a"}, {"Z", "a", "_"}},
      {"numeric", stNumeric, skAscending, {"10", "9", "-1", "2.5", "1e2"}, {"-1", "2.5", "9", "10", "1e2"}},
      {"numeric_descending", stNumeric, skDescending, {"10", "9", "-1", "2.5"}, {"10", "9", "2.5", "-1"}},
      {"nan_before_every_number", stNumeric, skAscending, {"3", "NAN", "-1", "NAN", "0", "NAN"},
       {"NAN", "NAN", "NAN", "-1", "0", "3"}, 5},
      {"boolean", stBoolean, skAscending, {"True", "False", "True", "False"}, {"False", "False", "True", "True"}, 3},
      {"boolean_descending", stBoolean, skDescending, {"False", "True", "False"}, {"True", "False", "False"}, 3},
      {"date", stDate, skAscending, {"2023-03-15", "1999-01-01", "2023-03-14 23:00"},
       {"1999-01-01", "2023-03-14 23:00", "2023-03-15"}},
      {"ip_ascending_is_descending_key", stIP, skAscending, {"10.0.0.1", "10.0.0.3", "10.0.0.2"},
       {"10.0.0.3", "10.0.0.2", "10.0.0.1"}},
      {"ip_group_four_decides_first", stIP, skAscending, {"2.0.0.1", "1.0.0.9"}, {"1.0.0.9", "2.0.0.1"}},
      {"ip_descending", stIP, skDescending, {"10.0.0.1", "10.0.0.3", "", "10.0.0.2"},
       {"", "10.0.0.1", "10.0.0.2", "10.0.0.3"}},
      {"custom_without_handler_keeps_order", stCustom, skAscending, {"c", "a", "b"}, {"c", "a", "b"}},
      {"one_row", stNumeric, skDescending, {"7"}, {"7"}},
      {"no_rows", stNumeric, skAscending, {}, {}},
  };
  for (const auto& c : cases) {
    TSortStore s(c.keys, c.column);
    const Texts rows = s.WholeRows();
    s.G.Cells.Sort(0, c.type, c.kind);
    EXPECT_EQ(s.Keys(), c.sorted) << c.name;
    EXPECT_EQ(s.WholeRows(), rows) << c.name;
    EXPECT_TRUE(s.G.Cells.Sorted()) << c.name;
    EXPECT_EQ(s.G.Cells.SortedColumn(), 0) << c.name;
    EXPECT_EQ(s.G.Cells.SortKind(), c.kind) << c.name;
  }
}

TEST(Sorting, CustomOrderAsksTheHandlerAndTheOtherDirectionReverses) {
  TSortStore s({"ccc", "a", "bb", "dddd"});
  int calls = 0;
  s.G.Cells.OnCompare = [&](TCells&, TCell* a, TCell* b, int& compare) {
    ++calls;
    EXPECT_EQ(compare, 0);
    compare = static_cast<int>(a->AsString().size()) - static_cast<int>(b->AsString().size());
  };
  s.G.Cells.Sort(0, stCustom, skAscending);
  EXPECT_EQ(s.Keys(), (Texts{"a", "bb", "ccc", "dddd"}));
  EXPECT_GT(calls, 0);

  calls = 0;
  s.G.Cells.Sort(0, stCustom, skDescending);
  EXPECT_EQ(s.Keys(), (Texts{"dddd", "ccc", "bb", "a"}));
  EXPECT_EQ(calls, 0) << "the other direction only reverses";
  EXPECT_EQ(s.G.Cells.SortKind(), skDescending);

  s.G.Cells.Sort(0, stCustom, skDescending);
  EXPECT_EQ(s.Keys(), (Texts{"dddd", "ccc", "bb", "a"}));
  EXPECT_GT(calls, 0) << "the same direction sorts in full";

  // A handler that answers at random still leaves every row once.
  unsigned seed = 1;
  s.G.Cells.OnCompare = [&](TCells&, TCell*, TCell*, int& compare) {
    seed = seed * 1103515245u + 12345u;
    compare = static_cast<int>(seed >> 16) % 3 - 1;
  };
  const Texts rows = s.WholeRows();
  s.G.Cells.Sort(0, stCustom, skAscending);
  EXPECT_EQ(s.WholeRows(), rows);
}

TEST(Sorting, AFailedSortChangesNothing) {
  const struct {
    const char* name;
    TSortType type;
    Texts keys;
    const char* error;
  } cases[] = {
      {"numeric_word", stNumeric, {"3", "1", "abc", "2"}, "'abc' is not a valid floating point value"},
      {"numeric_empty", stNumeric, {"3", "", "1"}, "'' is not a valid floating point value"},
      {"date_word", stDate, {"2020-01-01", "soon"}, "'soon' is not a valid date and time"},
      {"ip_two_points", stIP, {"10.0.0.1", "1..2"}, "'' is not a valid integer value"},
      {"ip_no_digit", stIP, {"host", "10.0.0.1"}, "'' is not a valid integer value"},
      {"ip_group_too_big", stIP, {"1.99999999999", "10.0.0.1"}, "'99999999999' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    TSortStore s(c.keys);
    s.G.Cells.Sort(1, stAlphabetic, skDescending);
    const Texts before = s.Names();
    try {
      s.G.Cells.Sort(0, c.type, skAscending);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.error) << c.name;
    }
    EXPECT_EQ(s.Names(), before) << c.name;
    EXPECT_TRUE(s.G.Cells.Sorted()) << c.name;
    EXPECT_EQ(s.G.Cells.SortedColumn(), 1) << c.name;
    EXPECT_EQ(s.G.Cells.SortKind(), skDescending) << c.name;
  }
}

TEST(Sorting, AddressKeys) {
  const struct {
    const char* text;
    TAddressKey key;
  } cases[] = {
      {"10.0.0.2", {10, 0, 0, 2}},  {"1.2.", {1, 2, 0, 0}},        {"1.1:80", {1, 180, 0, 0}},
      {"", {0, 0, 0, 0}},           {"7", {7, 0, 0, 0}},           {"v1.2.3.4.5", {1, 2, 3, 4}},
      {"1.2.3.4..", {1, 2, 3, 4}},  {"2147483647", {2147483647, 0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(AddressKey(c.text), c.key) << c.text;
  EXPECT_LT(CompareAddressKeys({9, 0, 0, 1}, {1, 0, 0, 2}), 0);
  EXPECT_GT(CompareAddressKeys({1, 0, 1, 0}, {9, 0, 0, 0}), 0);
  EXPECT_EQ(CompareAddressKeys({1, 2, 3, 4}, {1, 2, 3, 4}), 0);
  EXPECT_LT(CompareAddressKeys({0, 0, 0, -1}, {0, 0, 0, 0}), 0) << "signed groups";
}

}  // namespace
