// The control events the grid publishes beside its own: the pop-up menu of
// a right click (a multi-selection stays while it shows), drops from other
// controls next to its own column dragging, and the wheel's up and down
// events.

#include "GridWindowTest.h"
#include "grid/ColumnDragBox.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using gridtest::CellCentre;
using gridtest::Click;
using gridtest::Focus;
using qftest::Log;
using qftest::SendMouse;

namespace {

TEST(GridControlEvents, ARightClickShowsThePopupMenuAndAMultiSelectionStays) {
  gridtest::TShownForm form;
  TGridView* grid = gridtest::MakeGrid(&form, {60, 60}, 8);
  grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
  TPopupMenu menu(nullptr);
  auto* item = new TMenuItem(nullptr);
  item->SetCaption("Delete rows");
  menu.Items()->Add(item);
  grid->SetPopupMenu(&menu);
  std::vector<TPoint> asked;
  grid->OnContextPopup = [&](TObject*, TPoint p, bool&) { asked.push_back(p); };
  Focus(grid);
  grid->SelectCell(0, 1, {});
  grid->SelectCell(0, 3, {ssShift});
  ASSERT_TRUE(grid->State().Contains(gbMultiSelect));

  const TPoint at = CellCentre(*grid, 1, 6);
  Click(grid, at, Qt::NoModifier, Qt::RightButton);
  ASSERT_TRUE(qftest::ProcessEventsUntil([&] { return menu.QtPopup()->isVisible(); }));
  EXPECT_EQ(asked, std::vector<TPoint>{at});
  EXPECT_EQ(menu.PopupComponent(), grid);
  EXPECT_TRUE(grid->State().Contains(gbMultiSelect)) << "the menu is for the selected rows";
  for (int r = 0; r < 8; ++r) EXPECT_EQ(grid->IsRowSelected(r), r >= 1 && r <= 3) << r;
  EXPECT_EQ(grid->CurrentRow(), 3);
  menu.QtPopup()->hide();

  // Without a multi-selection the right button moves the current row first.
  grid->SelectCell(0, 2, {});
  Click(grid, at, Qt::NoModifier, Qt::RightButton);
  EXPECT_EQ(grid->CurrentRow(), 6);
  EXPECT_TRUE(qftest::ProcessEventsUntil([&] { return menu.QtPopup()->isVisible(); }));
  menu.QtPopup()->hide();
}

TEST(GridControlEvents, AnEditDropsOntoTheGridAndTheColumnsStillDragInTheHeader) {
  gridtest::TShownForm form;
  TGridView* grid = gridtest::MakeGrid(&form, {60, 60, 60}, 5, 300, 150);
  for (int i = 0; i < 3; ++i) grid->Columns().Items(i)->Header().SetCaption(std::string(1, char('A' + i)));
  auto* edit = qftest::Place<TEdit>(&form, 10, 250, 120, 21);
  edit->SetText("dropped");
  Log events;
  // The grid takes drops on its rows only.
  grid->OnDragOver = [&](TObject*, TObject* source, int x, int y, TDragState, bool& accept) {
    accept = source == edit && grid->HitTest({x, y}) == gpDataArea;
  };
  grid->OnDragDrop = [&](TObject*, TObject* source, int x, int y) {
    const TGridCell cell = grid->CellAt({x, y});
    grid->SetCellText(cell.Col, cell.Row, static_cast<TEdit*>(source)->Text());
    events.push_back("drop");
  };
  edit->OnEndDrag = [&](TObject*, TObject* target, int, int) { events.push_back(target == grid ? "on grid" : "none"); };
  Screen->SetCursorPos(edit->ClientToScreen({5, 5}));
  edit->BeginDrag(false);
  DragTo(grid->ClientToScreen({90, 9}));  // the header
  EXPECT_EQ(QApplication::overrideCursor()->shape(), TScreen::CursorFor(crNoDrop).shape());
  DragTo(grid->ClientToScreen(CellCentre(*grid, 1, 2)));
  EXPECT_EQ(QApplication::overrideCursor()->shape(), TScreen::CursorFor(crDrag).shape());
  DragDone(true);
  EXPECT_EQ(events, (Log{"drop", "on grid"}));
  EXPECT_EQ(grid->GetCellText(1, 2), "dropped");

  // The header's own dragging goes on as before.
  QWidget* w = grid->ClientWidget();
  SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {30, 9});
  SendMouse(w, QEvent::MouseMove, Qt::LeftButton, {35, 9});
  TColumnDragBox* box = grid->DragBox();
  ASSERT_TRUE(box->Visible());
  EXPECT_EQ(DragControl(), nullptr);
  TPoint p = box->ScreenToClient(grid->ClientToScreen({150, 9}));
  SendMouse(box->ClientWidget(), QEvent::MouseMove, Qt::LeftButton, {p.X, p.Y});
  p = box->ScreenToClient(grid->ClientToScreen({150, 9}));
  SendMouse(box->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {p.X, p.Y});
  EXPECT_EQ(grid->Columns().DisplayItems(0)->Header().Caption(), "B") << "A moved behind B";
}

TEST(GridControlEvents, TheWheelsUpAndDownEventsMayTakeEachNotchBeforeTheGridScrolls) {
  gridtest::TShownForm form;
  TGridView* grid = gridtest::MakeGrid(&form, {60}, 40, 200, 100);
  Log seen;
  bool take = true;
  grid->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
    seen.push_back("down");
    handled = take;
  };
  grid->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) {
    seen.push_back("up");
    handled = take;
  };
  gridtest::Wheel(grid, -240, Qt::NoModifier, {50, 50});
  EXPECT_EQ(seen, (Log{"down", "down"})) << "one event a notch";
  EXPECT_EQ(grid->TopRow(), 0) << "taken by the handler";
  take = false;
  gridtest::Wheel(grid, -240, Qt::NoModifier, {50, 50});
  EXPECT_EQ(grid->TopRow(), 2);
  gridtest::Wheel(grid, 120, Qt::NoModifier, {50, 50});
  EXPECT_EQ(grid->TopRow(), 1);
  EXPECT_EQ(seen.back(), "up");
  // OnMouseWheel comes first and may take the whole turn.
  grid->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
  seen.clear();
  gridtest::Wheel(grid, -120, Qt::NoModifier, {50, 50});
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(grid->TopRow(), 1);
}

}  // namespace
