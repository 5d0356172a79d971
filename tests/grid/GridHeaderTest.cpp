// The header through the mouse on a shown grid: resizing columns by their
// borders, dragging them to another place or out of the grid, sorting by a
// click, abandoning a drag when the application goes inactive, footer
// clicks, columns deleted while the mouse holds them, and the hints of
// headers, footers and cells.

#include "GridWindowTest.h"
#include "grid/ColumnDragBox.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using gridtest::Click;
using gridtest::Focus;
using gridtest::TShownForm;
using qftest::SendMouse;

namespace {

/** A shown grid of four 60-pixel text columns named A to D (creation
 *  indexes 0 to 3), rows "c,r", header 18 pixels high at the top. */
struct THeaderGrid {
  THeaderGrid() {
    Grid = gridtest::MakeGrid(&Form, {60, 60, 60, 60}, 5, 400, 200);
    Grid->SetClientSize(400, 200);  // again: the first size took the horizontal bar away
    for (int i = 0; i < 4; ++i) Grid->Columns().Items(i)->Header().SetCaption(std::string(1, char('A' + i)));
    Grid->OnHeaderClick = [this](TObject*, int col) { Clicks.push_back(col); };
    Focus(Grid);
  }
  QWidget* W() const { return Grid->ClientWidget(); }
  void Mouse(QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(W(), type, button, {x, y});
  }
  /** The display order as the columns' captions. */
  std::string Order() const {
    std::string s;
    for (int i = 0; i < Grid->Columns().DisplayCount(); ++i)
      if (const TCustomColumn* c = Grid->Columns().DisplayItems(i); c->Visible()) s += c->Header().Caption();
    return s;
  }
  /** Presses on column col's header, moves by dx (the drag starts), then over x, and releases there. */
  void Drag(int col, int x, int y) {
    const int start = Grid->Columns().Items(col)->Left() + 30;
    Mouse(QEvent::MouseButtonPress, start, 9);
    Mouse(QEvent::MouseMove, start + 5, 9);
    TColumnDragBox* box = Grid->DragBox();
    ASSERT_TRUE(box->Visible());
    TPoint at = box->ScreenToClient(Grid->ClientToScreen({x, y}));
    SendMouse(box->ClientWidget(), QEvent::MouseMove, Qt::LeftButton, {at.X, at.Y});
    // The box followed the pointer: the same screen point lies elsewhere in it now.
    at = box->ScreenToClient(Grid->ClientToScreen({x, y}));
    SendMouse(box->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {at.X, at.Y});
  }
  /** Nothing of a drag is left: no box, arrows, state, pressed column or target, the default cursor. */
  void ExpectNoDrag(const std::string& name) {
    EXPECT_FALSE(Grid->DragBox()->Visible() || Grid->DownArrow()->Visible() || Grid->UpArrow()->Visible()) << name;
    EXPECT_FALSE(Grid->State().Contains(gbColumnDragging)) << name;
    EXPECT_EQ(std::tuple(Grid->DragPressedColumn(), Grid->PressedHeaderColumn(), Grid->DropTarget()),
              std::tuple(nullptr, nullptr, nullptr))
        << name;
    EXPECT_EQ(Screen->Cursor(), crDefault) << name;
  }
  TShownForm Form;
  TGridView* Grid;
  std::vector<int> Clicks;
};

TEST(GridColumnResizing, TheBorderIsDraggedDownToEightPixels) {
  const struct {
    const char* name;
    int pressX, moveX;
    int width;
  } cases[] = {
      {"wider", 120, 150, 90}, {"narrower", 118, 100, 40}, {"far_left", 121, -40, 8}, {"just_inside", 117, 127, 67},
  };
  for (const auto& c : cases) {
    THeaderGrid g;
    std::vector<int> resized;
    g.Grid->OnColumnResize = [&](TObject*, int col) { resized.push_back(col); };
    g.Mouse(QEvent::MouseMove, c.pressX, 9, Qt::NoButton);
    EXPECT_EQ(g.Grid->Cursor(), crHorzSplit) << c.name;
    g.Mouse(QEvent::MouseButtonPress, c.pressX, 9);
    ASSERT_EQ(g.Grid->ResizingColumn(), 1) << c.name;
    EXPECT_TRUE(g.Grid->State().Contains(gbColumnResizing));
    EXPECT_EQ(g.Grid->InvertedCount(), 2) << "the two lines";
    g.Mouse(QEvent::MouseMove, c.moveX, 9);
    g.Mouse(QEvent::MouseButtonRelease, c.moveX, 9);
    EXPECT_EQ(g.Grid->Columns().Items(1)->Width(), c.width) << c.name;
    EXPECT_EQ(g.Grid->InvertedCount(), 0) << c.name << ": both lines erased";
    EXPECT_FALSE(g.Grid->State().Contains(gbColumnResizing));
    EXPECT_EQ(resized, std::vector<int>{1}) << c.name;
    EXPECT_TRUE(g.Clicks.empty()) << c.name << ": a resize is no header click";
  }
}

TEST(GridColumnResizing, AFixedSizeColumnsBorderActsAsItsHeader) {
  THeaderGrid g;
  g.Grid->Columns().Items(1)->SetOptions(TColumnOptions(g.Grid->Columns().Items(1)->Options()) << coFixedSize);
  g.Mouse(QEvent::MouseMove, 120, 9, Qt::NoButton);
  EXPECT_EQ(g.Grid->Cursor(), crDefault);
  g.Mouse(QEvent::MouseButtonPress, 119, 9);
  EXPECT_EQ(g.Grid->ResizingColumn(), -1);
  EXPECT_EQ(g.Grid->PressedHeaderColumn(), g.Grid->Columns().Items(1));
  g.Mouse(QEvent::MouseButtonRelease, 119, 9);
  EXPECT_EQ(g.Grid->Columns().Items(1)->Width(), 60);
  EXPECT_EQ(g.Clicks, std::vector<int>{1});
}

TEST(GridColumnDragging, TheDropPlaceFollowsTheSideTheColumnCameFrom) {
  const struct {
    const char* name;
    int col, x, y;
    TGridOptions extra;
    std::string order;
  } cases[] = {
      {"onto_a_column_to_its_right", 0, 150, 9, {}, "BACD"},
      {"onto_the_next_column", 0, 90, 9, {}, "ABCD"},
      {"onto_a_column_to_its_left", 3, 70, 9, {}, "ADBC"},
      {"onto_itself", 2, 150, 9, {}, "ABCD"},
      {"within_twice_the_header", 3, 10, 30, {}, "DABC"},
      {"beyond_the_columns", 0, 300, 9, {}, "ABCD"},
      {"below_without_hiding", 1, 100, 100, {}, "ABCD"},
      {"below_with_hiding", 1, 100, 100, {goCanHideColumn}, "ACD"},
      {"hiding_outside_the_grid", 2, 100, -40, {goCanHideColumn}, "ABD"},
  };
  for (const auto& c : cases) {
    THeaderGrid g;
    g.Grid->SetOptions(TGridOptions(g.Grid->Options()) + c.extra);
    g.Drag(c.col, c.x, c.y);
    EXPECT_EQ(g.Order(), c.order) << c.name;
    g.ExpectNoDrag(c.name);
    EXPECT_TRUE(g.Clicks.empty()) << c.name << ": a drag is no header click";
  }
}

TEST(GridColumnDragging, ArrowsMarkTheTargetInsideTheHeaderOnly) {
  THeaderGrid g;
  g.Mouse(QEvent::MouseButtonPress, 30, 9);
  g.Mouse(QEvent::MouseMove, 33, 12);
  EXPECT_FALSE(g.Grid->DragBox()->Visible()) << "3 pixels start nothing";
  g.Mouse(QEvent::MouseMove, 34, 9);
  TColumnDragBox* box = g.Grid->DragBox();
  ASSERT_TRUE(box->Visible());
  EXPECT_TRUE(g.Grid->State().Contains(gbColumnDragging));
  auto moveTo = [&](int x, int y) {
    const TPoint at = box->ScreenToClient(g.Grid->ClientToScreen({x, y}));
    SendMouse(box->ClientWidget(), QEvent::MouseMove, Qt::LeftButton, {at.X, at.Y});
  };
  moveTo(130, 10);
  EXPECT_EQ(g.Grid->DropTarget(), g.Grid->Columns().Items(2));
  ASSERT_TRUE(g.Grid->DownArrow()->Visible());
  const TPoint s = g.Grid->ClientToScreen({120, 0});
  EXPECT_EQ(std::tuple(g.Grid->DownArrow()->BoundsRect(), g.Grid->DownArrow()->Direction()),
            std::tuple(Bounds(s.X - 4, s.Y - 12, 9, 9), 2));
  EXPECT_EQ(std::tuple(g.Grid->UpArrow()->BoundsRect(), g.Grid->UpArrow()->Direction()),
            std::tuple(Bounds(s.X - 4, s.Y + 17, 9, 9), 1));
  const TPoint pointer = g.Grid->ClientToScreen({130, 10});
  EXPECT_EQ(box->BoundsRect(), Bounds(pointer.X - 30, pointer.Y - 18 + 4, 60, 18)) << "centred, bottom 4 below";
  EXPECT_EQ(Screen->Cursor(), crDefault);
  moveTo(130, 60);
  EXPECT_FALSE(g.Grid->DownArrow()->Visible());
  EXPECT_EQ(Screen->Cursor(), crColumnNoDrag);
  moveTo(130, 10);
  EXPECT_TRUE(g.Grid->UpArrow()->Visible());

  // The application goes inactive: the drag is abandoned.
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);
  g.ExpectNoDrag("inactive");
  EXPECT_EQ(g.Order(), "ABCD");
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
}

TEST(GridColumnDragging, AHeaderWithoutCanClickIsNeitherClickedNorDragged) {
  THeaderGrid g;
  TCustomColumn* b = g.Grid->Columns().Items(1);
  b->SetOptions(TColumnOptions(b->Options()) >> coCanClick);
  g.Mouse(QEvent::MouseButtonPress, 90, 9);
  EXPECT_EQ(g.Grid->PressedHeaderColumn(), nullptr);
  g.Mouse(QEvent::MouseMove, 100, 9);
  EXPECT_FALSE(g.Grid->DragBox()->Visible());
  g.Mouse(QEvent::MouseButtonRelease, 100, 9);
  EXPECT_TRUE(g.Clicks.empty());
  EXPECT_FALSE(b->Sorted()) << "nor sorted";
  g.Grid->SetOptions(TGridOptions(g.Grid->Options()) << goDisableColumnMoving);
  g.Mouse(QEvent::MouseButtonPress, 30, 9);
  g.Mouse(QEvent::MouseMove, 50, 9);
  EXPECT_FALSE(g.Grid->DragBox()->Visible()) << "moving switched off";
  g.Mouse(QEvent::MouseButtonRelease, 50, 9);
  EXPECT_EQ(g.Clicks, std::vector<int>{0});
}

TEST(GridSorting, HeaderClicksCycleTheSortOfTheColumn) {
  THeaderGrid g;
  const char* const texts[] = {"pear", "Apple", "fig", "apple", "kiwi"};
  for (int r = 0; r < 5; ++r) g.Grid->SetCellText(2, r, texts[r]);
  std::vector<std::string> sorts;
  g.Grid->OnSortColumn = [&](TObject*, int col, bool up) { sorts.push_back(std::to_string(col) + (up ? "+" : "-")); };
  auto column = [&] {
    std::string s;
    for (int r = 0; r < 5; ++r) s += g.Grid->GetCellText(2, r) + " ";
    return s;
  };
  const char *up = "Apple apple fig kiwi pear ", *down = "pear kiwi fig apple Apple ";
  for (const char* sorted : {up, down, up}) {
    Click(g.Grid, {150, 9});
    EXPECT_EQ(column(), sorted);
  }
  EXPECT_EQ(g.Clicks, (std::vector<int>{2, 2, 2}));
  g.Grid->Columns().Items(2)->SetSortKind(skDescending);  // from code, on the sorted column
  EXPECT_EQ(column(), down);
  g.Grid->Columns().Items(0)->SetSortKind(skDescending);  // not sorted: nothing happens
  EXPECT_EQ(sorts, (std::vector<std::string>{"2+", "2-", "2+", "2-"}));
  // A press on one header released on another sorts nothing.
  g.Mouse(QEvent::MouseButtonPress, 30, 9);
  g.Mouse(QEvent::MouseButtonRelease, 31 + 60, 9);
  EXPECT_FALSE(g.Grid->Columns().Items(1)->Sorted());
  EXPECT_TRUE(g.Grid->Columns().Items(2)->Sorted());
  // Without coCanSort a click only clicks.
  TCustomColumn* d = g.Grid->Columns().Items(3);
  d->SetOptions(TColumnOptions(d->Options()) >> coCanSort);
  Click(g.Grid, {210, 9});
  EXPECT_FALSE(d->Sorted());
}

TEST(GridFooter, AClickNamesTheColumnUnderTheReleaseOnly) {
  THeaderGrid g;
  g.Grid->SetOptions({goHeader, goFooter});
  std::vector<int> footers;
  g.Grid->OnFooterClick = [&](TObject*, int col) { footers.push_back(col); };
  const int y = g.Grid->GetPartRect(gpFooter).Top + 5;
  const struct {
    int x;
    Qt::MouseButton button;
    std::vector<int> clicks;
  } cases[] = {{90, Qt::LeftButton, {1}}, {200, Qt::LeftButton, {3}}, {300, Qt::LeftButton, {}},
               {90, Qt::RightButton, {}}};
  for (const auto& c : cases) {
    footers.clear();
    Click(g.Grid, {c.x, y}, Qt::NoModifier, c.button);
    EXPECT_EQ(footers, c.clicks) << c.x << " " << c.button;
  }
  EXPECT_TRUE(g.Clicks.empty()) << "no header click either";
}

// Nothing may hold on to a deleted column: the grid reads what it holds when
// it paints, hovers and releases.
TEST(GridColumnsGoingAway, HeaderClickHandlersMayRebuildTheColumns) {
  THeaderGrid g;
  g.Grid->OnHeaderClick = [&](TObject*, int col) {
    g.Clicks.push_back(col);
    g.Grid->Columns().Clear();
    for (int i = 0; i < 4; ++i) g.Grid->Columns().Add<TTextualColumn>()->SetWidth(60);
  };
  Click(g.Grid, {90, 9});
  EXPECT_EQ(g.Clicks, std::vector<int>{1});
  EXPECT_EQ(g.Grid->PressedHeaderColumn(), nullptr);
  for (int i = 0; i < 4; ++i)
    EXPECT_FALSE(g.Grid->Columns().Items(i)->Sorted()) << i << ": a new column sorts by no click";
}

TEST(GridColumnsGoingAway, PressesHoversDragsAndResizesForgetDeletedColumns) {
  const struct {
    const char* name;
    int pressX, moveX;
    bool drag, resize;
  } cases[] = {
      {"pressed", 90, 90, false, false},
      {"dragged", 90, 110, true, false},
      {"resized", 119, 140, false, true},
  };
  for (const auto& c : cases) {
    THeaderGrid g;
    g.Mouse(QEvent::MouseMove, c.pressX, 9, Qt::NoButton);
    EXPECT_EQ(g.Grid->HotHeaderColumn(), g.Grid->Columns().Items(1)) << c.name;
    g.Mouse(QEvent::MouseButtonPress, c.pressX, 9);
    g.Mouse(QEvent::MouseMove, c.moveX, 9);
    ASSERT_EQ(g.Grid->DragBox()->Visible(), c.drag) << c.name;
    ASSERT_EQ(g.Grid->ResizingColumn() == 1, c.resize) << c.name;
    g.Grid->Columns().Delete(1);
    EXPECT_EQ(std::tuple(g.Grid->HotHeaderColumn(), g.Grid->DragBox()->Column, g.Grid->ResizingColumn()),
              std::tuple(nullptr, nullptr, -1))
        << c.name;
    g.ExpectNoDrag(c.name);
    EXPECT_EQ(std::tuple(g.Grid->InvertedCount(), g.Grid->State().Contains(gbColumnResizing)), std::tuple(0, false))
        << c.name << ": the resize lines are gone";
    g.Mouse(QEvent::MouseMove, 100, 9);
    g.Mouse(QEvent::MouseButtonRelease, 100, 9);
    EXPECT_EQ(std::tuple(g.Order(), g.Grid->Columns().Items(1)->Width()), std::tuple(std::string("ACD"), 60))
        << c.name << ": the release moves and sizes nothing";
    EXPECT_TRUE(g.Clicks.empty()) << c.name;
  }
}

TEST(GridHints, HeaderFooterTextFitAndCellHints) {
  THeaderGrid g;
  g.Grid->SetOptions({goHeader, goFooter});
  g.Grid->Columns().Items(1)->Header().SetHint("Second column");
  g.Grid->Columns().Items(2)->Footer().SetHint("Sum of C");
  g.Grid->SetCellText(0, 1, "a text far too wide for sixty pixels");
  // The text-fit hint shows the cell's own text, without what the column draws round it.
  auto* first = static_cast<TTextualColumn*>(g.Grid->Columns().Items(0));
  first->SetTextAfter("<");
  first->SetTextBefore(">");
  g.Grid->GetCellObject(1, 2)->SetHint("own hint");
  TGridHintWindow* hint = g.Grid->HintWindow();
  const struct {
    const char* name;
    int x, y;
    THintKind kind;
    const char* text;
    TPoint at;
  } steps[] = {
      {"header", 90, 9, hkHeader, "Second column", {60, 20}},
      {"header_without_hint", 150, 9, hkNone, "", {}},
      {"footer", 150, 190, hkFooter, "Sum of C", {120, 202}},
      {"text_fits", 30, 18 + 8, hkNone, "", {}},
      {"text_too_wide", 30, 18 + 16 + 8, hkTextFit, "a text far too wide for sixty pixels", {0, 34}},
      // A text-fit hint still up keeps the cell hint away for one move.
      {"cell_hint_after_text_fit", 90, 18 + 32 + 8, hkNone, "", {}},
      {"cell_hint", 91, 18 + 32 + 8, hkCell, "own hint", {60, 50}},
      {"nothing", 150, 18 + 32 + 8, hkNone, "", {}},
  };
  for (const auto& s : steps) {
    g.Mouse(QEvent::MouseMove, s.x, s.y, Qt::NoButton);
    EXPECT_EQ(hint->Kind, s.kind) << s.name;
    EXPECT_EQ(hint->Visible(), s.kind != hkNone) << s.name;
    if (s.kind == hkNone) continue;
    EXPECT_EQ(std::tuple(hint->Caption(), TPoint{hint->Left(), hint->Top()}, hint->Color()),
              std::tuple(std::string(s.text), g.Grid->ClientToScreen(s.at), clInfoBk))
        << s.name;
  }
  g.Mouse(QEvent::MouseMove, 90, 9, Qt::NoButton);
  ASSERT_TRUE(hint->Visible());
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(g.Grid->Handle(), &leave);
  EXPECT_FALSE(hint->Visible()) << "leaving the grid hides it";
}

}  // namespace
