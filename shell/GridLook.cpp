#include "shell/GridLook.h"

#include "grid/SharedCommon.h"

namespace {

void Editable(TCustomColumn* column) { column->SetOptions(TColumnOptions(column->Options()) << coEditing); }

}  // namespace

TStringList PickList(std::initializer_list<const char*> items) {
  TStringList list;
  for (const char* item : items) list.Add(item);
  return list;
}

TTextualColumn* AddText(TGridView* grid, const char* name, const char* caption, const char* hint, int width,
                        bool editable, bool bold) {
  auto* column = AddColumn<TTextualColumn>(grid, name, caption, hint, width);
  if (editable) Editable(column);
  if (bold) {
    TFont font = column->Font();
    font.SetStyle(fsBold);
    column->SetFont(font);
  }
  return column;
}

TCheckBoxColumn* AddCheck(TGridView* grid, const char* name, const char* caption, const char* hint, int width,
                          const char* value) {
  auto* column = AddColumn<TCheckBoxColumn>(grid, name, caption, hint, width);
  column->SetDefaultValue(value);
  column->SetAlignment(taCenter);
  Editable(column);
  return column;
}

TComboBoxColumn* AddList(TGridView* grid, const char* name, const char* caption, int width, const char* value,
                         const TStringList& items) {
  auto* column = AddColumn<TComboBoxColumn>(grid, name, caption, "", width);
  column->SetDefaultValue(value);
  column->SetItems(items);
  column->SetStyle(cbsDropDownList);
  Editable(column);
  return column;
}

void StyleGrid(TGridView* grid) {
  // A row holds the in-place editor: the text and a pixel above and below
  // it, inside the editor's border (two pixels a side) and its one-pixel
  // inset from the cell, and one pixel to spare below.
  TCanvas* canvas = grid->Canvas();
  canvas->Font = grid->Font();
  grid->SetRowSize(canvas->TextHeight("Tg") + 2 * (1 + 2 + 1) + 1);
  grid->SetColor(clWhite);
  grid->SetGridLinesStyle(lsFramed);
  grid->SetAppearanceOptions({aoHideSelection, aoHintMarks});
  grid->SetOptions({goGrid, goHeader, goIndicator, goSelectFullRow, goUseDefaultValues});
  grid->OnCellColoring = [](TObject*, int, int row, TColor& cell, TColor&, TCellState) {
    if (row % 2 == 0) cell = kGridEvenRowColor;
  };
  grid->OnDrawCellBackground = [grid](TObject*, int, int, const TRect& r, TCellState state, bool& defaultDrawing) {
    if (!state.Contains(csSelected)) return;
    defaultDrawing = false;
    if (grid->HasFocus())
      TGraphicsProvider::FillVerticalGradient(grid->Canvas(), r, RGB(255, 190, 120), RGB(255, 127, 0));
    else
      TGraphicsProvider::FillVerticalGradient(grid->Canvas(), r, RGB(200, 200, 200), RGB(230, 230, 230));
  };
}
