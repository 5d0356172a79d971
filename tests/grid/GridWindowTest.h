#pragma once
/** Shared by the window tests of the grid: a shown, active form and a
 *  grid of text columns and rows on it. */

#include "GuiTestApp.h"
#include "grid/ColumnClasses.h"
#include "grid/GridView.h"
#include "ui/Forms.h"

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
