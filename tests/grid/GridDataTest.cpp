// The grid's data side: cells outside the grid and typed cells, default
// values of new rows, row heights and records through inserts, deletes, moves
// and sorts, footer formulas, updates without change events and custom
// comparison.

#include "GridWindowTest.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using gridtest::MakeGrid;

namespace {

std::unique_ptr<TGridView> Grid(const std::vector<int>& widths, int rows) {
  return std::unique_ptr<TGridView>(MakeGrid(nullptr, widths, rows));
}

TEST(GridData, CellsOutsideTheGridAreLeftAloneTypedCellsRefuseBadText) {
  auto grid = Grid({40, 40}, 5);
  std::vector<std::pair<int, int>> changes;
  grid->OnChange = [&](TObject*, int c, int r) { changes.emplace_back(c, r); };
  const std::pair<int, int> outside[] = {{0, 5}, {2, 0}, {-1, 0}, {0, -1}};
  for (auto [c, r] : outside) {
    std::string value = "kept";
    grid->GetCellText(c, r, value);
    EXPECT_EQ(value, "kept") << c << "," << r;
    grid->SetCellText(c, r, "x");
    EXPECT_EQ(grid->GetCellText(c, r), "") << c << "," << r;
  }
  EXPECT_TRUE(changes.empty());
  std::string value;
  grid->GetCellText(1, 4, value);
  EXPECT_EQ(value, "1,4");
  EXPECT_THROW(grid->GetCellObject(0, 5), EListError);
  grid->Columns().Add<TImageColumn>();
  grid->SetCellText(2, 0, "7");
  EXPECT_EQ(grid->GetCellObject(2, 0)->AsInteger(), 7);
  EXPECT_THROW(grid->SetCellText(2, 0, "seven"), EConvertError);
  EXPECT_EQ(grid->GetCellText(2, 0), "7");
}

TEST(GridData, NewRowsTakeDefaultValuesOnlyWhenAskedTo) {
  const struct {
    const char* name;
    bool useDefaults;
    std::vector<std::string> row;
  } cases[] = {
      {"with_defaults", true, {"True", "False", "Text", "0"}},
      {"without", false, {"False", "False", "", "0"}},
  };
  for (const auto& c : cases) {
    auto grid = Grid({}, 0);
    grid->Columns().Add<TCheckBoxColumn>()->SetDefaultValue("True");
    grid->Columns().Add<TCheckBoxColumn>();
    grid->Columns().Add<TComboBoxColumn>()->SetDefaultValue("Text");
    grid->Columns().Add<TImageColumn>();
    if (c.useDefaults) grid->SetOptions({goHeader, goUseDefaultValues});
    std::vector<std::pair<int, int>> changes;
    grid->OnChange = [&](TObject*, int col, int row) { changes.emplace_back(col, row); };
    grid->AddRow(3);
    ASSERT_EQ(grid->RowCount(), 3);
    for (int r = 0; r < 3; ++r)
      for (int col = 0; col < 4; ++col) EXPECT_EQ(grid->GetCellText(col, r), c.row[col]) << c.name << " " << col;
    // Written in row order, each column in creation order: True, Text, "0" of the image column.
    EXPECT_EQ(changes.size(), c.useDefaults ? 9u : 0u) << c.name;
    if (c.useDefaults) {
      EXPECT_EQ(changes[1], (std::pair<int, int>{2, 0})) << c.name;
    }
    grid->AppendRows(1);
    EXPECT_EQ(grid->GetCellText(0, 3), "False") << c.name << ": appended rows take no defaults";
  }
}

TEST(GridData, MeasuredHeightsArePaintedNotStored) {
  auto grid = Grid({40}, 4);
  grid->SetOptions({goHeader, goGrid});
  grid->OnMeasuringRowHeight = [](TObject*, int index, int& height) {
    if (index == 1) height = 30;
  };
  EXPECT_EQ(
      std::tuple(grid->RowHeightsUniform(), grid->GetRowHeight(1), grid->Rows().Items(1)->Height, grid->RowTop(2)),
      std::tuple(false, 30, 16, 18 + 17 + 31));
  grid->OnMeasuringRowHeight = nullptr;
  EXPECT_TRUE(grid->RowHeightsUniform());
  grid->SetRowHeight(9, 20);  // no such row
  grid->SetRowSelected(9, true);
  EXPECT_FALSE(grid->IsRowSelected(9));
}

TEST(GridData, RowRecordsFollowInsertsDeletesAndMovesButNotSorts) {
  auto grid = Grid({40}, 5);
  grid->SetOptions({goHeader, goSelectFullRow});
  grid->SelectRow(2);
  grid->SetRowHeight(4, 25);
  auto height = [&](int row) { return grid->Rows().Items(row)->Height; };
  grid->InsertRow(0);
  // The current row is still the same row, one further down, still selected.
  EXPECT_EQ(std::tuple(grid->CurrentRow(), grid->IsRowSelected(3), grid->GetCellText(0, 0), grid->GetCellText(0, 3)),
            std::tuple(3, true, "", "0,2"));
  EXPECT_EQ(std::tuple(height(5), height(0)), std::tuple(25, 16));
  grid->DeleteRow(0);
  EXPECT_EQ(std::tuple(grid->GetCellText(0, 0), height(4)), std::tuple("0,0", 25));
  grid->MoveRow(4, 0);
  EXPECT_EQ(std::tuple(grid->GetCellText(0, 0), height(0)), std::tuple("0,4", 25));
  grid->SwapRows(0, 1);
  EXPECT_EQ(std::tuple(grid->GetCellText(0, 1), height(0)), std::tuple("0,4", 25)) << "swapping leaves the records";

  // A header sort reorders the cells, not the selection flags.
  const int selected = 3;
  ASSERT_TRUE(grid->IsRowSelected(selected));
  grid->Columns().Items(0)->SetSortKind(skDescending);
  grid->Columns().Items(0)->SetSorted(true);
  EXPECT_EQ(std::tuple(grid->GetCellText(0, 0), grid->GetCellText(0, 4), grid->IsRowSelected(selected)),
            std::tuple("0,4", "0,0", true));
  grid->MoveRow(0, 4);  // downwards, the record with it
  EXPECT_EQ(std::tuple(grid->GetCellText(0, 4), height(4)), std::tuple("0,4", 25));
  grid->DeleteRow(7);  // nothing happens outside
  EXPECT_EQ(grid->RowCount(), 5);
}

TEST(GridData, AnInsertMovesTheCurrentRowOnlyWhenItLandsAtOrAboveIt) {
  const struct {
    const char* name;
    int rows, current, at;
    int newCurrent;
    bool selectEvent;
  } cases[] = {
      {"above", 5, 2, 0, 3, true},   {"at", 5, 2, 2, 3, true},     {"below", 5, 2, 3, 2, false},
      {"at_the_end", 5, 2, 5, 2, false}, {"into_an_empty_grid", 0, -1, 0, 0, true},
  };
  for (const auto& c : cases) {
    auto grid = Grid({40}, c.rows);
    grid->SetOptions({goHeader, goSelectFullRow});
    if (c.current >= 0) grid->SelectRow(c.current);
    std::vector<int> selected;
    grid->OnSelectCell = [&](TObject*, int, int row) { selected.push_back(row); };
    grid->InsertRow(c.at);
    EXPECT_EQ(grid->CurrentRow(), c.newCurrent) << c.name;
    EXPECT_EQ(selected, c.selectEvent ? std::vector<int>{c.newCurrent} : std::vector<int>{}) << c.name;
    for (int r = 0; r < grid->RowCount(); ++r)
      EXPECT_EQ(grid->IsRowSelected(r), r == c.newCurrent) << c.name << " row " << r;
  }
}

TEST(GridData, FootersAreComputedOnlyOnRequest) {
  auto grid = Grid({}, 0);
  const TFormulaKind kinds[] = {fkSum, fkMaximum, fkMinimum, fkCount, fkAverage, fkNone};
  for (TFormulaKind kind : kinds) grid->Columns().Add<TTextualColumn>()->Footer().SetFormulaKind(kind);
  grid->Columns().Items(5)->Footer().SetCaption("untouched");
  grid->RecalcFooters();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(grid->Columns().Items(i)->Footer().Caption(), "0") << i;
  grid->AddRow(3);
  const char* const values[] = {"2", "5", "3"};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 6; ++c) grid->SetCellText(c, r, values[r]);
  EXPECT_EQ(grid->Columns().Items(0)->Footer().Caption(), "0") << "no recalculation by itself";
  grid->RecalcFooters();
  const char* const expected[] = {"10", "5", "2", "3", "3.33333333333333", "untouched"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(grid->Columns().Items(i)->Footer().Caption(), expected[i]) << i;
  auto* money = static_cast<TTextualColumn*>(grid->Columns().Items(0));
  money->SetTextBefore(" EUR");
  grid->RecalcFooters();
  EXPECT_EQ(money->Footer().Caption(), "10 EUR");
  grid->SetCellText(1, 1, "five");
  EXPECT_THROW(grid->RecalcFooters(), EConvertError);
}

TEST(GridData, UpdatesAndCustomComparison) {
  auto grid = Grid({40}, 3);
  int changes = 0;
  grid->OnChange = [&](TObject*, int, int) { ++changes; };
  grid->BeginUpdate();
  for (int r = 0; r < 3; ++r) grid->SetCellText(0, r, std::string(1, char('c' - r)));
  grid->EndUpdate();
  EXPECT_EQ(changes, 0);
  grid->GetCellObject(0, 1)->SetColor(clRed);
  EXPECT_EQ(std::tuple(changes, grid->GetCellColor(0, 1)), std::tuple(1, clRed)) << "outside an update writes report";

  // A custom order, backwards, asked of the grid's own handler.
  grid->SetCellText(0, 0, "bbb");
  TCustomColumn* column = grid->Columns().Items(0);
  std::vector<TObject*> senders;
  grid->OnCompare = [&](TObject* sender, TCell* a, TCell* b, int& compare) {
    senders.push_back(sender);
    compare = b->AsString().compare(a->AsString());
  };
  column->SetSortType(stCustom);
  column->SetSorted(true);
  EXPECT_EQ(std::tuple(grid->GetCellText(0, 0), grid->GetCellText(0, 1), grid->GetCellText(0, 2)),
            std::tuple("bbb", "b", "a"));
  ASSERT_FALSE(senders.empty());
  EXPECT_EQ(senders.front(), grid.get());
  // Without coCanSort, sorting from code sorts nothing either.
  grid->SetCellText(0, 2, "zz");
  column->SetSorted(false);
  column->SetOptions(TColumnOptions(column->Options()) >> coCanSort);
  column->SetSorted(true);
  EXPECT_EQ(grid->GetCellText(0, 2), "zz");
}

}  // namespace
