#include "GridRecorder.h"
#include "TestSupport.h"

#include "core/Exception.h"
#include "grid/Rows.h"
#include "grid/VirtualColumn.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

using gridtest::TGridRecorder;

namespace {

// One form read, written as text: "T"/"F", numbers with %g, or "!" and the error.
template <class F> std::string Read(F read) {
  try {
    const auto v = read();
    if constexpr (std::is_same_v<decltype(v), const bool>) {
      return v ? "T" : "F";
    } else if constexpr (std::is_same_v<decltype(v), const std::string>) {
      return v;
    } else {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.10g", static_cast<double>(v));
      return buf;
    }
  } catch (const EConvertError& e) {
    return "!" + e.Message();
  }
}

std::array<std::string, 5> ReadAll(TCell* c) {
  return {Read([&] { return c->AsBoolean(); }), Read([&] { return c->AsDateTime(); }),
          Read([&] { return c->AsFloat(); }), Read([&] { return c->AsInteger(); }),
          Read([&] { return c->AsString(); })};
}

/** A store with one column of the kind and `rows` rows. */
struct TOneColumn {
  explicit TOneColumn(std::uint8_t kind, int rows = 1) {
    G.Add<TTextualColumn>("c")->SetKind(kind);
    G.Cells.AddRows(rows);
  }
  TCell* Cell(int row = 0) { return G.Cells.GetCell(0, row); }
  TGridRecorder G;
};

/** One write, "form:value": 'b'oolean (value != 0), 'd'ate-time, 'f'loat or
 *  'i'nteger of the number, 's'tring of the text; "-" writes nothing. */
void Write(TCell* c, const std::string& write) {
  const std::string value = write.size() > 2 ? write.substr(2) : "";
  const double number = write[0] == 's' || write[0] == '-' ? 0 : std::stod(value);
  switch (write[0]) {
    case 'b': return c->SetAsBoolean(number != 0);
    case 'd': return c->SetAsDateTime(number);
    case 'f': return c->SetAsFloat(number);
    case 'i': return c->SetAsInteger(static_cast<std::int32_t>(number));
    case 's': return c->SetAsString(value);
  }
}

TEST(CellConversions, EachClassReadsEveryForm) {
  for (const auto& c : gridtest::FixtureRows("cell-reads.tsv")) {
    ASSERT_EQ(c.size(), 7u) << c[0] << " " << c[1];
    TOneColumn s(static_cast<std::uint8_t>(std::stoi(c[0])), 5);
    const int row = c[0] == "0" ? 4 : 0;
    Write(s.Cell(row), c[1]);
    EXPECT_EQ(ReadAll(s.Cell(row)), (std::array<std::string, 5>{c[2], c[3], c[4], c[5], c[6]}))
        << "kind " << c[0] << " " << c[1];
  }
}

TEST(CellConversions, WritesStoreTheConvertedValue) {
  // A write that raises keeps the value and reports nothing.
  const std::string today = DateTimeToText(Date(), TFormatSettings{});
  const char* const prefill[] = {"-", "-", "-", "b:1", "d:1", "f:9.5", "i:9", "s:x"};
  for (const auto& c : gridtest::FixtureRows("cell-writes.tsv")) {
    const std::string name = "kind " + c[0] + " " + c[1], expectedError = c.size() > 3 ? c[3] : "";
    TOneColumn s(static_cast<std::uint8_t>(std::stoi(c[0])));
    Write(s.Cell(), prefill[std::stoi(c[0])]);
    s.G.Changes.clear();
    std::string error;
    try {
      Write(s.Cell(), c[1]);
    } catch (const EConvertError& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, expectedError) << name;
    const std::string stored = s.Cell()->AsString();
    if (c[2] == "<today>")  // midnight may pass during the test
      EXPECT_TRUE(stored == today || stored == DateTimeToText(Date(), TFormatSettings{})) << name << ": " << stored;
    else
      EXPECT_EQ(stored, c[2]) << name;
    EXPECT_EQ(s.G.Changes.size(), expectedError.empty() ? 1u : 0u) << name;
  }
}

TEST(CellConversions, TextFormsFollowTheFormatSettings) {
  TFormatSettings german;
  german.DecimalSeparator = ',';
  german.ShortDateFormat = "dd.mm.yyyy";
  german.LongTimeFormat = "hh:nn";
  EXPECT_EQ(FloatToText(-2.5, german), "-2,5");
  EXPECT_EQ(FloatToText(1.25e-9, german), "1,25E-9");
  EXPECT_EQ(DateTimeToText(45000.5, german), "15.03.2023 12:00");
  double f = 0;
  EXPECT_TRUE(TryTextToFloat("1,5", f, german));
  EXPECT_EQ(f, 1.5);
  EXPECT_FALSE(TryTextToFloat("1.5", f, german));
  TDateTime d = 0;
  EXPECT_TRUE(TryTextToDateTime("15.03.2023 12:00", d, german));
  EXPECT_EQ(d, 45000.5);
  EXPECT_FALSE(TryTextToDateTime("2023-03-15", d, german));

  // Text shapes that the parsers must refuse.
  const TFormatSettings fs;
  for (const char* text : {"", " ", "+", "1e", "e5", ".", "inf", "nan", "1.5x", "1 5", "0x10"})
    EXPECT_FALSE(TryTextToFloat(text, f, fs)) << text;
  std::int32_t i = 0;
  for (const char* text : {"", " 5", "5 ", "+", "$", "$G", "$123456789", "0x10", "1.0", "-2147483649"})
    EXPECT_FALSE(TryTextToInteger(text, i)) << text;
  EXPECT_TRUE(TryTextToInteger("-$10", i));
  EXPECT_EQ(i, -16);
  for (const char* text : {"2023-02-29", "2023-13-01", "2023-00-10", "2023-03", "2023-03-15-1", "2023-03-15 24:00",
                           "2023-03-15 10", "2023-03-15 10:60", "15:30", "0000-01-01"})
    EXPECT_FALSE(TryTextToDateTime(text, d, fs)) << text;
  EXPECT_TRUE(TryTextToDateTime("2024-02-29", d, fs));
  EXPECT_THROW(DateTimeToText(1e300, fs), EConvertError);
}

TEST(CellStore, IndexesOutsideTheStoreRaiseTheListError) {
  TGridRecorder g;
  g.Add<TTextualColumn>("a");
  g.Add<TTextualColumn>("b");
  g.Cells.AddRows(5);
  TRows rows;
  rows.Add(5, 16);
  // Each call names the bad index.
  const std::pair<std::function<void()>, int> cases[] = {
      {[&] { g.Cells.GetCell(0, 5); }, 5},  {[&] { g.Cells.GetCell(0, -1); }, -1},
      {[&] { g.Cells.GetCell(2, 0); }, 2},  {[&] { g.Cells.GetCell(-3, 4); }, -3},
      {[&] { g.Cells.DeleteRow(5); }, 5},   {[&] { g.Cells.InsertRow(6); }, 6},
      {[&] { g.Cells.MoveRow(0, 5); }, 5},  {[&] { g.Cells.SwapRows(7, 0); }, 7},
      {[&] { rows.Items(5); }, 5},          {[&] { rows.Insert(6, 16); }, 6},
      {[&] { g.Columns.Items(2); }, 2},     {[&] { g.Cells.ColumnsChanged(caDeleted, 2, 0); }, 2},
  };
  for (const auto& [call, index] : cases) {
    const std::string message = qftest::Str("List index out of bounds (", index, ")");
    try {
      call();
      ADD_FAILURE() << "no error: " << message;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
  EXPECT_EQ(g.Cells.RowCount(), 5);
  EXPECT_EQ(rows.Count(), 5);
}

TEST(CellStore, RowOperationsMoveWholeRows) {
  TGridRecorder g;
  g.Add<TTextualColumn>("a");
  g.Add<TTextualColumn>("b");
  g.Cells.AddRows(4);
  g.Put(0, {"a0", "a1", "a2", "a3"});
  g.Put(1, {"b0", "b1", "b2", "b3"});
  g.Cells.InsertRow(1);
  EXPECT_EQ(g.Column(0), (std::vector<std::string>{"a0", "", "a1", "a2", "a3"}));
  g.Cells.MoveRow(0, 3);
  EXPECT_EQ(g.Column(1), (std::vector<std::string>{"", "b1", "b2", "b0", "b3"}));
  g.Cells.MoveRow(4, 1);
  EXPECT_EQ(g.Column(0), (std::vector<std::string>{"", "a3", "a1", "a2", "a0"}));
  g.Cells.DeleteRow(0);
  g.Cells.SwapRows(0, 3);
  EXPECT_EQ(g.Column(0), (std::vector<std::string>{"a0", "a1", "a2", "a3"}));
  EXPECT_EQ(g.Column(1), (std::vector<std::string>{"b0", "b1", "b2", "b3"}));
  g.Cells.ClearRows();
  EXPECT_EQ(std::tuple(g.Cells.RowCount(), g.Cells.ColCount()), std::tuple(0, 2));
}

TEST(CellStore, ColumnsInsertedMovedAndDeletedKeepEveryRowInStep) {
  TGridRecorder g;
  for (const char* name : {"a", "b", "c"}) g.Add<TTextualColumn>(name);
  g.Cells.AddRows(3);
  for (int c = 0; c < 3; ++c) {
    const std::string n(1, static_cast<char>('a' + c));
    g.Put(c, {n + "0", n + "1", n + "2"});
  }
  auto all = [&] {
    std::vector<std::vector<std::string>> out;
    for (int c = 0; c < g.Cells.ColCount(); ++c) out.push_back(g.Column(c));
    return out;
  };
  using Table = std::vector<std::vector<std::string>>;

  auto* check = static_cast<TCheckBoxColumn*>(g.Columns.Insert(1, std::make_unique<TCheckBoxColumn>()));
  check->SetColor(clAqua);  // later rows only
  EXPECT_EQ(all(), (Table{{"a0", "a1", "a2"}, {"False", "False", "False"}, {"b0", "b1", "b2"}, {"c0", "c1", "c2"}}));
  g.Cells.GetCell(1, 2)->SetAsBoolean(true);

  g.Columns.Move(0, 3);
  EXPECT_EQ(all(), (Table{{"False", "False", "True"}, {"b0", "b1", "b2"}, {"c0", "c1", "c2"}, {"a0", "a1", "a2"}}));
  EXPECT_EQ(g.Columns.Items(3)->Name(), "a");
  g.Columns.Move(2, 0);
  EXPECT_EQ(all(), (Table{{"c0", "c1", "c2"}, {"False", "False", "True"}, {"b0", "b1", "b2"}, {"a0", "a1", "a2"}}));

  g.Columns.Delete(1);
  EXPECT_EQ(all(), (Table{{"c0", "c1", "c2"}, {"b0", "b1", "b2"}, {"a0", "a1", "a2"}}));
  g.Changes.clear();
  g.Cells.AddRows(1);
  g.Add<TImageColumn>("d")->SetColor(clLime);
  g.Cells.AddRows(1);
  EXPECT_EQ(g.Column(3), (std::vector<std::string>{"0", "0", "0", "0", "0"}));
  TCell *image = g.Cells.GetCell(3, 4), *text = g.Cells.GetCell(2, 4);
  EXPECT_EQ(std::tuple(image->Color(), text->Color(), text->AsString()), std::tuple(clLime, clWindow, ""));
  EXPECT_TRUE(g.Changes.empty()) << "placing a cell reports nothing";
}

TEST(CellStore, WhichOperationsClearSorted) {
  // Each case starts from four text columns, three rows, sorted by column 1.
  const struct {
    const char* name;
    std::function<void(TGridRecorder&)> op;
    bool sorted;
  } cases[] = {
      {"write_text", [](TGridRecorder& g) { g.Cells.GetCell(0, 0)->SetAsString("z"); }, false},
      {"write_same_text", [](TGridRecorder& g) { g.Cells.GetCell(1, 0)->SetAsString("a"); }, false},
      {"write_colour", [](TGridRecorder& g) { g.Cells.GetCell(0, 0)->SetColor(clRed); }, false},
      {"suppressed_colour",
       [](TGridRecorder& g) {
         g.Cells.GetCell(0, 0)->SetSuppressNotify(true);
         g.Cells.GetCell(0, 0)->SetColor(clRed);
       },
       true},
      {"font_style_and_hint",
       [](TGridRecorder& g) {
         g.Cells.GetCell(0, 0)->SetFontStyle(fsBold);
         g.Cells.GetCell(0, 0)->SetHint("hint");
       },
       true},
      {"add_rows", [](TGridRecorder& g) { g.Cells.AddRows(1); }, false},
      {"add_no_rows", [](TGridRecorder& g) { g.Cells.AddRows(0); }, true},
      {"insert_row", [](TGridRecorder& g) { g.Cells.InsertRow(3); }, false},
      {"move_row", [](TGridRecorder& g) { g.Cells.MoveRow(0, 0); }, false},
      {"clear_rows", [](TGridRecorder& g) { g.Cells.ClearRows(); }, false},
      {"delete_row", [](TGridRecorder& g) { g.Cells.DeleteRow(0); }, true},
      {"swap_rows", [](TGridRecorder& g) { g.Cells.SwapRows(0, 2); }, true},
      {"append_column", [](TGridRecorder& g) { g.Add<TTextualColumn>("x"); }, true},
      {"insert_column_after", [](TGridRecorder& g) { g.Columns.Insert(3, std::make_unique<TTextualColumn>()); },
       false},
      {"delete_column_after", [](TGridRecorder& g) { g.Columns.Delete(2); }, true},
      {"delete_sorted_column", [](TGridRecorder& g) { g.Columns.Delete(1); }, false},
      {"delete_column_before", [](TGridRecorder& g) { g.Columns.Delete(0); }, false},
      {"move_sorted_column", [](TGridRecorder& g) { g.Columns.Move(1, 3); }, false},
      {"move_column_across", [](TGridRecorder& g) { g.Columns.Move(3, 0); }, false},
      {"move_columns_after", [](TGridRecorder& g) { g.Columns.Move(3, 2); }, true},
      {"reverse_rows", [](TGridRecorder& g) { g.Cells.ReverseRows(); }, true},
  };
  for (const auto& c : cases) {
    TGridRecorder g;
    for (const char* name : {"a", "b", "c", "d"}) g.Add<TTextualColumn>(name);
    g.Cells.AddRows(3);
    g.Put(1, {"c", "a", "b"});
    g.Cells.Sort(1, stAlphabetic, skDescending);
    ASSERT_TRUE(g.Cells.Sorted());
    c.op(g);
    EXPECT_EQ(g.Cells.Sorted(), c.sorted) << c.name;
    EXPECT_EQ(g.Cells.SortedColumn(), 1) << c.name;
    EXPECT_EQ(g.Cells.SortKind(), skDescending) << c.name;
  }
}

TEST(CellStore, RunningNumbersAndVirtualCells) {
  TGridRecorder g;
  g.Add<TTextualColumn>("number")->SetKind(0);
  g.Add<TTextualColumn>("virtual")->SetKind(9);
  g.Cells.AddRows(5);
  EXPECT_EQ(g.Cells.GetCell(0, 4)->AsInteger(), 5);
  EXPECT_EQ(g.Cells.GetCell(0, 4)->AsString(), "5");
  TCell* five = g.Cells.GetCell(0, 4);
  g.Cells.InsertRow(0);
  EXPECT_EQ(g.Cells.GetCell(0, 5), five);
  EXPECT_EQ(five->AsInteger(), 6) << "once fetched again";
  EXPECT_EQ(five->GetSelectedCellColor(), 5) << "the grid is asked about the cell's last fetched place";

  // The virtual cell's text lives in the host, addressed by its two tags.
  std::map<std::pair<int, int>, std::string> host{{{7, 1}, "12"}};
  auto* cell = dynamic_cast<TVirtualCell*>(g.Cells.GetCell(1, 2));
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->AsString(), "") << "no callback yet";
  cell->SetFirstTag(7);
  cell->SetSecondTag(1);
  cell->SetOnGetValue([&](const TVirtualCell&, int a, int b, std::string& v) { v = host[{a, b}]; });
  cell->SetOnSetValue([&](TVirtualCell&, int a, int b, const std::string& v) { host[{a, b}] = v; });
  EXPECT_EQ(cell->AsInteger(), 12);
  g.Changes.clear();
  cell->SetAsFloat(2.5);
  EXPECT_EQ(host[std::make_pair(7, 1)], "2.5");
  cell->SetAsBoolean(false);  // "2.5" would read as true
  EXPECT_FALSE(cell->AsBoolean());
  cell->SetSuppressNotify(true);
  cell->SetAsString("quiet");
  EXPECT_EQ(g.Changes, (std::vector<std::pair<int, int>>{{1, 2}, {1, 2}}));
  host[std::make_pair(7, 1)] = "x";
  EXPECT_THROW(cell->AsInteger(), EConvertError);
}

}  // namespace
