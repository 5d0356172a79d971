#pragma once
/** Shared by the window tests of the grid: a shown, active form and a
 *  grid of text columns and rows on it. */

#include "GuiTestApp.h"
#include "grid/ColumnClasses.h"
#include "grid/GridView.h"
#include "ui/Forms.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gridtest {

/** A form that is shown and active, so that its controls can take the focus. */
struct TShownForm : TForm {
  TShownForm() : TForm(nullptr) {
    SetBounds(40, 40, 600, 400);
    Show();
    Handle()->activateWindow();
    EXPECT_TRUE(qftest::ProcessEventsUntil([this] { return Active(); }));
  }
};

/** A grid at (0, 0) of the form with text columns of the given widths and
 *  rows whose cells read "c,r"; the grid's client area is width x height. */
inline TGridView* MakeGrid(TWinControl* parent, const std::vector<int>& widths, int rows, int width = 300,
                                 int height = 200) {
  auto* grid = new TGridView(parent);
  if (parent) grid->SetParent(parent);
  grid->SetBorderStyle(bsNone);
  for (int w : widths) grid->Columns().Add<TTextualColumn>()->SetWidth(w);
  grid->AddRow(rows);
  for (int c = 0; c < static_cast<int>(widths.size()); ++c)
    for (int r = 0; r < rows; ++r) grid->SetCellText(c, r, std::to_string(c) + "," + std::to_string(r));
  // The vertical bar is always there; its width comes on top of the client area.
  grid->SetClientSize(width, height);
  return grid;
}

}  // namespace gridtest

namespace gridtest {

/** Sends a key press and its release to the widget with the keyboard focus. */
inline void Press(int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* w = QApplication::focusWidget();
  ASSERT_NE(w, nullptr) << "nothing has the focus";
  qftest::Key(w, key, text, mods);
  if (QWidget* now = QApplication::focusWidget()) qftest::Key(now, key, text, mods, QEvent::KeyRelease);
}

/** Types characters, each as a key of its own. */
inline void Type(const QString& text) {
  for (QChar ch : text) Press(ch.isLetter() ? Qt::Key_A + (ch.toUpper().unicode() - 'A') : 0, QString(ch));
}

/** A left click (press and release) at a client point of control. */
inline void Click(TControl* control, TPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier,
                  Qt::MouseButton button = Qt::LeftButton) {
  QWidget* w = control->ClientWidget();
  qftest::SendMouse(w, QEvent::MouseButtonPress, button, {at.X, at.Y}, mods);
  qftest::SendMouse(w, QEvent::MouseButtonRelease, button, {at.X, at.Y}, mods);
}

/** The centre of a cell (or of its input-row cell) in the grid's client coordinates. */
inline TPoint CellCentre(const TCustomGridViewControl& grid, int col, int row, TGridPart part = gpDataArea) {
  return grid.GetCellRect(col, row, part).CenterPoint();
}

/** The grid takes the keyboard focus. */
inline void Focus(TWinControl* control) {
  control->SetFocus();
  ASSERT_TRUE(qftest::ProcessEventsUntil([&] { return control->Focused(); }));
}

}  // namespace gridtest
