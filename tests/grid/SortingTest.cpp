#include "TestSupport.h"
#include "GridRecorder.h"

#include "core/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <iterator>
#include <string>
#include <tuple>
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

/** The keys of a fixture field, | between them. */
Texts KeyList(const std::string& field) { return field.empty() ? Texts{} : SplitString(field, '|'); }

TSortType SortType(const std::string& name) {
  const char* const names[] = {"alphabetic", "boolean", "caseinsensitive", "custom", "numeric", "date", "ip"};
  return static_cast<TSortType>(std::find(std::begin(names), std::end(names), name) - std::begin(names));
}

TEST(Sorting, EachKindOrdersWholeRows) {
  for (const auto& c : gridtest::FixtureRows("sorts.tsv")) {
    ASSERT_EQ(c.size(), 6u) << c[0];
    const TSortKind kind = c[2] == "desc" ? skDescending : skAscending;
    TSortStore s(KeyList(c[4]), static_cast<std::uint8_t>(std::stoi(c[3])));
    const Texts rows = s.WholeRows();
    s.G.Cells.Sort(0, SortType(c[1]), kind);
    EXPECT_EQ(s.Keys(), KeyList(c[5])) << c[0];
    EXPECT_EQ(s.WholeRows(), rows) << c[0];
    EXPECT_EQ(std::tuple(s.G.Cells.Sorted(), s.G.Cells.SortedColumn(), s.G.Cells.SortKind()),
              std::tuple(true, 0, kind))
        << c[0];
  }
}

TEST(Sorting, CustomOrderAsksTheHandlerAndTheOtherDirectionReverses) {
  TSortStore s({"ccc", "a", "bb", "dddd", "ee"});
  int calls = 0;
  s.G.Cells.OnCompare = [&](TCells&, TCell* a, TCell* b, int& compare) {
    ++calls;
    EXPECT_EQ(compare, 0);
    compare = static_cast<int>(a->AsString().size()) - static_cast<int>(b->AsString().size());
  };
  s.G.Cells.Sort(0, stCustom, skAscending);
  EXPECT_EQ(s.Keys(), (Texts{"a", "bb", "ee", "ccc", "dddd"}));  // ties keep their order
  EXPECT_GT(calls, 0);

  calls = 0;
  s.G.Cells.Sort(0, stCustom, skDescending);
  EXPECT_EQ(s.Keys(), (Texts{"dddd", "ccc", "ee", "bb", "a"}));
  EXPECT_EQ(calls, 0) << "the other direction only reverses";
  EXPECT_EQ(s.G.Cells.SortKind(), skDescending);

  s.G.Cells.Sort(0, stCustom, skDescending);
  EXPECT_EQ(s.Keys(), (Texts{"dddd", "ccc", "ee", "bb", "a"}));
  EXPECT_GT(calls, 0) << "the same direction sorts in full, ties kept";

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
  for (const auto& c : gridtest::FixtureRows("sort-failures.tsv")) {
    TSortStore s(KeyList(c[2]));
    s.G.Cells.Sort(1, stAlphabetic, skDescending);
    const Texts before = s.Names();
    try {
      s.G.Cells.Sort(0, SortType(c[1]), skAscending);
      ADD_FAILURE() << c[0] << ": no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c[3]) << c[0];
    }
    EXPECT_EQ(s.Names(), before) << c[0];
    EXPECT_EQ(std::tuple(s.G.Cells.Sorted(), s.G.Cells.SortedColumn(), s.G.Cells.SortKind()),
              std::tuple(true, 1, skDescending))
        << c[0];
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
  EXPECT_GT(CompareAddressKeys({1, 0, 1, 0}, {9, 0, 0, 0}), 0);
  EXPECT_EQ(CompareAddressKeys({1, 2, 3, 4}, {1, 2, 3, 4}), 0);
  EXPECT_LT(CompareAddressKeys({0, 0, 0, -1}, {0, 0, 0, 0}), 0) << "signed groups";
}

}  // namespace
