// The grid engine: layout of its parts, row arithmetic, scroll bars, the
// current cell and the row selection, and what a scroll repaints.

#include "GridWindowTest.h"
#include "ui/QtConvert.h"

#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using gridtest::MakeGrid;
using gridtest::TShownForm;
using qftest::PixelAt;
using qftest::ProcessEventsUntil;

namespace {

using Cells = std::vector<std::pair<int, int>>;

/** Notes the area of every paint. */
struct TPaintCountingGrid : TGridView {
  using TGridView::TGridView;
  std::vector<TRect> Areas;
  void Paint() override {
    Areas.push_back(Canvas()->ClipRect());
    TGridView::Paint();
  }
};

TEST(GridLayout, PartsAndCellsFollowTheOptions) {
  const struct {
    const char* name;
    TGridOptions options;
    TRect data, header, input, footer, cell00, cell12, input0;
    TGridLinesStyle lines = lsNormal;
  } cases[] = {
      {"header_only", {goHeader}, {0, 18, 180, 200}, {0, 0, 180, 18}, {}, {}, {0, 18, 50, 34}, {50, 50, 110, 66}, {}},
      {"indicator_and_grid", {goHeader, goIndicator, goGrid}, {12, 18, 192, 200}, {12, 0, 192, 18}, {}, {},
       {12, 18, 61, 34}, {62, 52, 121, 68}, {}},
      {"input_and_footer", {goHeader, goInput, goFooter, goGrid}, {0, 41, 180, 177}, {0, 0, 180, 18},
       {0, 18, 180, 41}, {0, 177, 180, 200}, {0, 41, 49, 57}, {50, 75, 109, 91}, {0, 18, 49, 34}},
      {"input_without_header", {goInput}, {0, 22, 180, 200}, {}, {0, 0, 180, 22}, {}, {0, 22, 50, 38},
       {50, 54, 110, 70}, {0, 0, 50, 16}},
      // Without vertical lines a cell reaches its neighbour.
      {"horizontal_lines_only", {goHeader, goGrid}, {0, 18, 180, 200}, {0, 0, 180, 18}, {}, {}, {0, 18, 50, 34},
       {50, 52, 110, 68}, {}, lsHorizontalOnly},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {50, 60, 70}, 5));
    grid->SetOptions(c.options);
    grid->SetGridLinesStyle(c.lines);
    EXPECT_EQ(grid->DataRect(), c.data) << c.name;
    for (auto [part, rect] :
         {std::pair{gpHeader, c.header}, std::pair{gpInputRow, c.input}, std::pair{gpFooter, c.footer}}) {
      EXPECT_EQ(grid->PartShown(part), !rect.IsEmpty()) << c.name;
      if (!rect.IsEmpty()) {
        EXPECT_EQ(grid->GetPartRect(part), rect) << c.name << " part " << part;
      }
    }
    EXPECT_EQ(grid->GetCellRect(0, 0), c.cell00) << c.name;
    EXPECT_EQ(grid->GetCellRect(1, 2), c.cell12) << c.name;
    if (!c.input0.IsEmpty()) {
      EXPECT_EQ(grid->GetCellRect(0, 0, gpInputRow), c.input0) << c.name;
    }
    EXPECT_EQ(grid->ColumnsAreaWidth(), 300 - grid->IndicatorWidth()) << c.name;
  }
}

TEST(GridLayout, RowSizesBelowOneAreIgnored) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {50}, 0));
  const std::pair<int, int> sizes[] = {{0, 16}, {-4, 16}, {1, 1}, {20, 20}, {0, 20}};
  for (auto [size, kept] : sizes) {
    grid->SetRowSize(size);
    grid->AddRow(1);
    EXPECT_EQ(std::tuple(grid->RowSize(), grid->Rows().Items(grid->RowCount() - 1)->Height), std::tuple(kept, kept))
        << size;
  }
}

TEST(GridLayout, RowTopsDeltasAndHitsWithMixedHeights) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {50, 60, 70}, 20));
  grid->SetOptions({goHeader, goGrid});
  // Rows 0.. take 16 + 1 pixels, row 1 is 30 high, rows 2 and 3 count as 1.
  grid->SetRowHeight(1, 30);
  grid->SetRowHeight(2, 0);
  grid->SetRowHeight(3, -5);
  ASSERT_FALSE(grid->RowHeightsUniform());
  const std::pair<int, int> tops[] = {{0, 18}, {1, 35}, {2, 66}, {3, 68}, {4, 70}, {5, 87}, {9, 155}};
  for (auto [row, top] : tops) EXPECT_EQ(grid->RowTop(row), top) << row;
  const std::pair<int, int> hits[] = {{17, -1}, {18, 0}, {34, 0}, {35, 1}, {65, 1}, {66, 2}, {67, 2},
                                      {68, 3}, {70, 4}, {86, 4}, {87, 5}, {199, 11}, {-3, -1}};
  for (auto [y, row] : hits) EXPECT_EQ(grid->RowAt(y), row) << "y " << y;
  const std::tuple<int, int, int> deltas[] = {{0, 3, -50}, {3, 0, 50}, {0, 1, -17}, {2, 5, -21}, {5, 5, 0}};
  for (auto [from, to, delta] : deltas) EXPECT_EQ(grid->GetVertDelta(from, to), delta) << from << "->" << to;
  // A jump far beyond the window stops summing once it is out of sight.
  EXPECT_LT(grid->GetVertDelta(0, 19), -grid->ClientHeight());
  EXPECT_EQ(grid->VisibleRowCount(), 11);  // 171 of the 182 pixels, row 10 included
  EXPECT_EQ(grid->VertScrollMax(), 10);    // the last ten rows fill the window

  grid->VertScrollBar()->SetPosition(2);
  EXPECT_EQ(grid->RowTop(2), 18);
  EXPECT_EQ(grid->RowTop(5), 39);
  EXPECT_EQ(grid->RowAt(20), 3);
  EXPECT_EQ(grid->RowTop(0), 18 - 48);
  // Nineteen rows down: only the rows in sight are counted.
  grid->VertScrollBar()->SetPosition(10);
  EXPECT_EQ(grid->RowAt(18 + 9 * 17), 19);
  EXPECT_EQ(grid->RowAt(18 + 10 * 17), -1) << "below the last row";
}

TEST(GridLayout, CellsUnderPointsInBothStyles) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {50, 60, 70}, 8));
  grid->SetOptions({goHeader, goIndicator});
  const std::tuple<int, int, TGridCell> report[] = {
      {11, 20, {-1, 0}}, {12, 20, {0, 0}}, {61, 33, {0, 0}}, {62, 34, {1, 1}}, {191, 40, {2, 1}},
      {192, 40, {-1, 1}}, {30, 10, {0, -1}}};
  for (auto [x, y, cell] : report) EXPECT_EQ(grid->CellAt({x, y}), cell) << x << "," << y;
  grid->HorzScrollBar()->SetMax(100);
  grid->HorzScrollBar()->SetPosition(40);
  EXPECT_EQ(grid->CellAt({12, 20}).Col, 0) << "column 0 shows its last 10 pixels";
  EXPECT_EQ(grid->CellAt({22, 20}).Col, 1);

  // Slides: 80 pixels plus the grid line per row, columns at their bounds.
  grid->SetOptions({goGrid});
  grid->SetGridStyle(gsSlides);
  const TRect bounds[] = {{10, 5, 110, 25}, {10, 30, 60, 50}, {120, 5, 200, 60}};
  for (int i = 0; i < 3; ++i) {
    TSlideBounds b;
    b.SetLeft(bounds[i].Left);
    b.SetTop(bounds[i].Top);
    b.SetWidth(bounds[i].Width());
    b.SetHeight(bounds[i].Height());
    grid->Columns().Items(i)->SetSlideBounds(b);
  }
  grid->VertScrollBar()->SetPosition(1);
  const std::tuple<int, int, TGridCell> slides[] = {
      {10, 5, {0, 1}}, {109, 24, {0, 1}}, {110, 24, {-1, 1}}, {15, 81 + 40, {1, 2}}, {150, 162 + 59, {2, 3}},
      {5, 5, {-1, 1}}};
  for (auto [x, y, cell] : slides) EXPECT_EQ(grid->CellAt({x, y}), cell) << "slides " << x << "," << y;
  EXPECT_EQ(grid->RowTop(3), 162);
  EXPECT_EQ(grid->GetCellRect(2, 2), (TRect{120, 86, 200, 141}));
  EXPECT_EQ(grid->DataRect(), grid->ClientRect());
}

TEST(GridScrollBars, FollowTheRowsTheColumnsAndTheStyle) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {50, 60}, 0));
  TControlScrollBar* vert = grid->VertScrollBar();
  TControlScrollBar* horz = grid->HorzScrollBar();
  EXPECT_EQ(std::tuple(vert->Max(), vert->Enabled(), grid->ScrollBarShown(sbHorizontal)), std::tuple(0, false, false));
  grid->AddRow(30);  // 182 pixels of rows hold 11 rows of 17
  grid->SetOptions({goHeader, goGrid});
  EXPECT_EQ(std::tuple(vert->Max(), vert->Enabled(), grid->ScrollBarWidget(sbVertical)->maximum()),
            std::tuple(30 - 10, true, 20));

  // 360 pixels in 300; the horizontal bar takes 16 pixels from the rows.
  grid->Columns().Add<TTextualColumn>()->SetWidth(250);
  EXPECT_EQ(std::tuple(grid->ScrollBarShown(sbHorizontal), horz->Max(), horz->PageStep(), vert->Max()),
            std::tuple(true, 60, 15, 30 - 9));
  horz->SetPosition(60);
  grid->Columns().Items(2)->SetVisible(false);
  EXPECT_EQ(std::tuple(horz->Position(), grid->ScrollBarShown(sbHorizontal)), std::tuple(0, false))
      << "the range went, and the position with it";

  grid->Columns().Items(2)->SetVisible(true);
  grid->SetGridStyle(gsSlides);
  EXPECT_FALSE(grid->ScrollBarShown(sbHorizontal));
  EXPECT_EQ(vert->Max(), 30 - grid->ClientHeight() / 81);
  grid->ClearRows();
  EXPECT_EQ(std::tuple(vert->Max(), vert->Enabled()), std::tuple(0, false));
}

// ---------------------------------------------------------------- selection

struct TSelectionLog {
  explicit TSelectionLog(TCustomGridViewControl& grid) {
    grid.OnSelectCell = [this](TObject*, int c, int r) { Selected.emplace_back(c, r); };
    grid.OnDeselectCell = [this](TObject*, int c, int r) { Deselected.emplace_back(c, r); };
  }
  Cells Selected, Deselected;
};

TEST(GridSelection, RefusedSelectionsChangeNothing) {
  const struct {
    const char* name;
    int rows, col, row;
    bool refused;
  } cases[] = {
      {"plain", 5, 1, 3, false},         {"disabled_column", 5, 2, 3, true}, {"no_such_column", 5, 3, 1, true},
      {"negative_column", 5, -1, 1, true}, {"row_past_the_end", 5, 1, 5, true}, {"row_minus_one", 5, 1, -1, true},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {40, 40, 40}, c.rows));
    grid->Columns().Items(2)->SetEnabled(false);
    grid->SelectCell(0, 1, {});
    TSelectionLog log(*grid);
    grid->SelectCell(c.col, c.row, {});
    const TGridCell now{grid->CurrentColumn(), grid->CurrentRow()}, moved{c.col, c.row};
    const auto expected = c.refused ? std::tuple(TGridCell{0, 1}, Cells{}, Cells{})
                                    : std::tuple(moved, Cells{{c.col, c.row}}, Cells{{0, 1}});
    EXPECT_EQ(std::tuple(now, log.Selected, log.Deselected), expected) << c.name;
  }
  // SelectRow past the end does nothing either.
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {40}, 4));
  TSelectionLog log(*grid);
  grid->SelectRow(4);
  grid->SelectRow(-1);
  EXPECT_TRUE(log.Selected.empty());
  grid->SelectRow(3);
  EXPECT_EQ(log.Selected, (Cells{{0, 3}}));
}

TEST(GridSelection, FullRowsToggleExtendAndEndTheMultiSelection) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {40, 40}, 8));
  grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
  auto selected = [&] {
    std::vector<int> rows;
    for (int r = 0; r < grid->RowCount(); ++r)
      if (grid->IsRowSelected(r)) rows.push_back(r);
    return rows;
  };
  const struct {
    const char* name;
    int row;
    TShiftState flags;
    std::vector<int> rows;
    bool multi;
  } steps[] = {
      {"plain", 2, {}, {2}, false},
      {"plain_moves_the_selection", 3, {}, {3}, false},
      {"ctrl_adds", 6, {ssCtrl}, {3, 6}, true},
      {"ctrl_again_removes", 6, {ssCtrl}, {3}, true},
      {"shift_below_the_anchor", 1, {ssShift}, {1, 2, 3, 4, 5, 6}, true},
      {"shift_keeps_the_anchor", 7, {ssShift}, {6, 7}, true},
      {"plain_ends_it", 0, {}, {0}, false},
  };
  for (const auto& s : steps) {
    grid->SelectCell(1, s.row, s.flags);
    EXPECT_EQ(std::tuple(selected(), grid->State().Contains(gbMultiSelect), grid->CurrentRow()),
              std::tuple(s.rows, s.multi, s.row))
        << s.name;
  }
  // Without goMultiSelect the flags select like a plain click.
  grid->SetOptions({goHeader, goSelectFullRow});
  grid->SelectCell(0, 4, {ssCtrl});
  EXPECT_EQ(selected(), std::vector<int>{4});
}

TEST(GridSelection, AutoScrollBringsTheRowToTheTop) {
  std::unique_ptr<TGridView> grid(MakeGrid(nullptr, {40}, 100));
  grid->SelectCell(0, 50, {});
  EXPECT_EQ(grid->TopRow(), 0) << "off by default";
  grid->SetAutoScroll(true);
  grid->SelectCell(0, 60, {});
  EXPECT_EQ(grid->TopRow(), 60);
  grid->SelectCell(0, 62, {});
  EXPECT_EQ(grid->TopRow(), 60) << "already in view";
  grid->SelectCell(0, 99, {});
  EXPECT_EQ(grid->TopRow(), grid->VertScrollBar()->Max());
}

// ---------------------------------------------------------------- painting

TEST(GridPainting, AScrollRepaintsOnlyTheUncoveredStrip) {
  TShownForm form;
  auto* grid = new TPaintCountingGrid(&form);
  grid->SetParent(&form);
  grid->SetBorderStyle(bsNone);
  grid->SetOptions({goHeader, goGrid, goFooter});
  for (int i = 0; i < 2; ++i) grid->Columns().Add<TTextualColumn>()->SetWidth(60);
  grid->AddRow(50);
  grid->SetClientSize(200, 160);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !grid->Areas.empty(); }));
  grid->Areas.clear();
  const TRect data = grid->DataRect();  // rows of 17 pixels from 18 to 160 - 23
  ASSERT_EQ(data, (TRect{0, 18, 120, 137}));

  grid->Cells().GetCell(0, 1)->SetColor(clYellow);
  grid->Invalidate();
  ASSERT_TRUE(ProcessEventsUntil([&] { return !grid->Areas.empty(); }));
  grid->Areas.clear();
  grid->VertScrollBar()->LineDown();
  ASSERT_TRUE(ProcessEventsUntil([&] { return !grid->Areas.empty(); }));
  EXPECT_EQ(grid->Areas, (std::vector<TRect>{{0, 137 - 17, 200, 137}}));
  // Row 1 moved up to the top, its grid line with it; the header stayed.
  EXPECT_EQ(qftest::Missing(grid->PaintedImage(), {qftest::At(30, 20, clYellow), qftest::At(30, 18 + 16, clBtnFace),
                                                    qftest::At(30, 5, clBtnFace)}),
            "");

  // The horizontal bar moves everything right of the indicator, header included.
  grid->Columns().Add<TTextualColumn>()->SetWidth(150);
  ASSERT_TRUE(grid->ScrollBarShown(sbHorizontal));
  grid->Repaint();
  grid->Areas.clear();
  grid->HorzScrollBar()->SetPosition(20);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !grid->Areas.empty(); }));
  ASSERT_EQ(grid->Areas.size(), 1u);
  EXPECT_EQ(grid->Areas[0], (TRect{180, 0, 200, grid->ClientHeight()}));
  EXPECT_EQ(PixelAt(grid->PaintedImage(), 10, 20), clYellow);
}

TEST(GridPainting, ChangesOnlyMarkAreasDirty) {
  TShownForm form;
  auto* grid = new TPaintCountingGrid(&form);
  grid->SetParent(&form);
  grid->Columns().Add<TTextualColumn>();
  ASSERT_TRUE(ProcessEventsUntil([&] { return !grid->Areas.empty(); }));
  grid->Areas.clear();
  grid->AddRow(100000);
  for (int r = 0; r < 1000; ++r) grid->SetCellText(0, r, "x");
  grid->SelectCell(0, 99999, {});
  grid->SetOptions({goHeader, goGrid, goIndicator});
  EXPECT_TRUE(grid->Areas.empty());
  ASSERT_TRUE(ProcessEventsUntil([&] { return !grid->Areas.empty(); }));
}

}  // namespace
