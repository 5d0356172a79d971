#include "TestSupport.h"
#include "GridRecorder.h"

#include "core/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using gridtest::TGridRecorder;

namespace {

using Texts = std::vector<std::string>;

/** Column 0 holds the keys (a text column, or a check-box column for
 *  Boolean keys), column 1 the row names r0, r1, ... */
struct TSortStore {
  explicit TSortStore(const Texts& keys, bool checkBoxes = false) {
    if (checkBoxes)
      G.Add<TCheckBoxColumn>("key");
    else
      G.Add<TTextualColumn>("key");
    G.Add<TTextualColumn>("name");
    G.Cells.AddRows(static_cast<int>(keys.size()));
    G.Put(0, keys);
    for (size_t r = 0; r < keys.size(); ++r) G.Cells.GetCell(1, static_cast<int>(r))->SetAsString(qftest::Str("r", r));
  }
  Texts Keys() { return G.Column(0); }
  Texts Names() { return G.Column(1); }
  TGridRecorder G;
};

TEST(Sorting, EachKindOrdersWholeRows) {
  const struct {
    const char* name;
    TSortType type;
    TSortKind kind;
    Texts keys;
    Texts names;  // the row names after sorting
  } cases[] = {
      {"alphabetic_ordinal", stAlphabetic, skAscending, {"b", "B", "a", "ab", ""}, {"r4", "r1", "r2", "r3", "r0"}},
      {"alphabetic_descending", stAlphabetic, skDescending, {"b", "B", "a", "ab"}, {"r0", "r3", "r2", "r1"}},
      {"alphabetic_utf8", stAlphabetic, skAscending, {"\xC3\xA9", "z", "\xE2\x82\xAC"}, {"r1", "r0", "r2"}},
      {"case_insensitive", stCaseInsensitive, skAscending, {"b", "C", "a", "Ab"}, {"r2", "r3", "r0", "r1"}},
      {"case_insensitive_desc", stCaseInsensitive, skDescending, {"_", "Z", "a"}, {"r1", "r2", "r0"}},
      {"numeric", stNumeric, skAscending, {"10", "9", "-1", "2.5", "1e2"}, {"r2", "r3", "r1", "r0", "r4"}},
      {"numeric_descending", stNumeric, skDescending, {"10", "9", "-1", "2.5"}, {"r0", "r1", "r3", "r2"}},
      {"date", stDate, skAscending, {"2023-03-15", "1999-01-01", "2023-03-14 23:00"}, {"r1", "r2", "r0"}},
      {"ip_ascending_is_descending_key", stIP, skAscending, {"10.0.0.1", "10.0.0.3", "10.0.0.2"},
       {"r1", "r2", "r0"}},
      {"ip_group_four_decides_first", stIP, skAscending, {"2.0.0.1", "1.0.0.9"}, {"r1", "r0"}},
      {"ip_descending", stIP, skDescending, {"10.0.0.1", "10.0.0.3", "", "10.0.0.2"}, {"r2", "r0", "r3", "r1"}},
      {"custom_without_handler_keeps_order", stCustom, skAscending, {"c", "a", "b"}, {"r0", "r1", "r2"}},
      {"one_row", stNumeric, skDescending, {"7"}, {"r0"}},
      {"no_rows", stNumeric, skAscending, {}, {}},
  };
  for (const auto& c : cases) {
    TSortStore s(c.keys);
    s.G.Cells.Sort(0, c.type, c.kind);
    EXPECT_EQ(s.Names(), c.names) << c.name;
    EXPECT_TRUE(s.G.Cells.Sorted()) << c.name;
    EXPECT_EQ(s.G.Cells.SortedColumn(), 0) << c.name;
    EXPECT_EQ(s.G.Cells.SortKind(), c.kind) << c.name;
  }
}

TEST(Sorting, BooleansAndNonNumbersKeepAStrictOrder) {
  TSortStore s({"True", "False", "True", "False", "False"}, true);
  s.G.Cells.Sort(0, stBoolean, skAscending);
  EXPECT_EQ(s.Keys(), (Texts{"False", "False", "False", "True", "True"}));
  s.G.Cells.Sort(0, stBoolean, skDescending);
  EXPECT_EQ(s.Keys(), (Texts{"True", "True", "False", "False", "False"}));

  // A float column holding NaNs: they sort before every number.
  TGridRecorder g;
  g.Add<TTextualColumn>("f")->SetKind(5);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> values = {3, nan, -1, nan, 2, 0, nan, 1};
  g.Cells.AddRows(static_cast<int>(values.size()));
  for (size_t r = 0; r < values.size(); ++r) g.Cells.GetCell(0, static_cast<int>(r))->SetAsFloat(values[r]);
  g.Cells.Sort(0, stNumeric, skAscending);
  EXPECT_EQ(g.Column(0), (Texts{"NAN", "NAN", "NAN", "-1", "0", "1", "2", "3"}));
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
  s.G.Cells.Sort(0, stCustom, skAscending);
  Texts keys = s.Keys();
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (Texts{"a", "bb", "ccc", "dddd"}));
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
