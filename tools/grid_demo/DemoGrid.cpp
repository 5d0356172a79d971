#include "DemoGrid.h"

#include "grid/ColumnClasses.h"
#include "grid/SharedCommon.h"

#include <string>
#include <vector>

namespace {

constexpr TColor kHeaderColor = 16637883;  // RGB 187, 223, 253
constexpr TColor kEvenRowColor = 16510435;  // RGB 227, 237, 251

struct TField {
  const char* Name;
  const char* Type;
  bool Key;
  const char* Input;
  const char* Hint;
};

const TField kFields[] = {
    {"id", "int(11)", true, "Hidden", ""},
    {"name", "varchar(40)", false, "Text", "The customer's full name as it is printed on letters and invoices"},
    {"email", "varchar(80)", false, "Text", "Where notifications go"},
    {"created", "date", false, "Text", ""},
    {"balance", "decimal(10,2)", false, "Text", ""},
    {"notes", "text", false, "Textarea", ""},
    {"status", "enum('new','active','closed')", false, "Combobox", ""},
    {"tags", "set('a','b')", false, "Checkbox", ""},
    {"password", "varchar(32)", false, "Password", ""},
    {"photo", "varchar(255)", false, "File", ""},
};

TStringList Items(std::initializer_list<const char*> items) {
  TStringList list;
  for (const char* item : items) list.Add(item);
  return list;
}

template <class T> T* AddColumn(TGridView* grid, const char* caption, const char* hint, int width) {
  T* column = grid->Columns().Add<T>();
  column->Header().SetCaption(caption);
  column->Header().SetHint(hint);
  column->Header().SetColor(kHeaderColor);
  if (width > 0) column->SetWidth(width);
  return column;
}

TCheckBoxColumn* AddCheck(TGridView* grid, const char* caption, const char* hint, const char* value) {
  auto* column = AddColumn<TCheckBoxColumn>(grid, caption, hint, 18);
  column->SetDefaultValue(value);
  column->SetAlignment(taCenter);
  column->SetOptions(TColumnOptions(column->Options()) << coEditing);
  return column;
}

TComboBoxColumn* AddList(TGridView* grid, const char* caption, int width, const char* value, const TStringList& items) {
  auto* column = AddColumn<TComboBoxColumn>(grid, caption, "", width);
  column->SetDefaultValue(value);
  column->SetItems(items);
  column->SetStyle(cbsDropDownList);
  column->SetOptions(TColumnOptions(column->Options()) << coEditing);
  return column;
}

}  // namespace

std::unique_ptr<TImageList> MakeDemoImages() {
  auto images = std::make_unique<TImageList>(16, 16);
  const TColor squares[] = {clRed, clGreen, clBlue, clTeal, clPurple, clOlive, clNone, clMaroon, clNone};
  for (int i = 0; i < 9; ++i) {
    TBitmap bitmap(16, 16);
    TCanvas* c = bitmap.Canvas();
    c->Brush.Color = clFuchsia;
    c->FillRect({0, 0, 16, 16});
    c->Pen.Color = clBlack;
    if (i == 6) {
      // A key: a ring and a bit.
      c->Brush.Color = clYellow;
      c->Ellipse(1, 4, 9, 12);
      c->FillRect({8, 7, 15, 9});
      c->FillRect({12, 9, 14, 12});
      c->Brush.Color = clFuchsia;
      c->Ellipse(3, 6, 7, 10);
    } else if (i == 8) {
      c->Brush.Color = clGray;
      c->Ellipse(5, 5, 11, 11);
    } else {
      c->Brush.Color = squares[i];
      c->Rectangle(3, 3, 13, 13);
    }
    images->AddMasked(bitmap, clFuchsia);
  }
  return images;
}

TGridView* MakeDemoGrid(TWinControl* parent, TImageList* images, int width, int height) {
  auto* grid = new TGridView(parent);
  grid->SetParent(parent);
  grid->SetBounds(0, 0, width, height);
  grid->SetColor(clWhite);
  grid->SetGridLinesStyle(lsFramed);
  grid->SetAppearanceOptions({aoHideSelection, aoHintMarks});
  grid->SetOptions({goGrid, goHeader, goIndicator, goSelectFullRow, goUseDefaultValues});

  auto* key = AddColumn<TImageColumn>(grid, "K", "Key field indicator", 18);
  key->SetImages(images);
  key->SetAlignment(taCenter);
  auto* field = AddColumn<TTextualColumn>(grid, "Db Field", "Original SQL field name", 80);
  TFont bold = field->Font();
  bold.SetStyle(fsBold);
  field->SetFont(bold);
  field->SetOptions(TColumnOptions(field->Options()) << coSearchColumn);
  AddColumn<TTextualColumn>(grid, "DbType", "Original SQL field type", 90);
  AddCheck(grid, " I", "Show field on Insert page", "True");
  AddCheck(grid, " U", "Show field on Update page", "True");
  AddCheck(grid, " D", "Show field on Detail page", "True");
  AddCheck(grid, " L", "Show field on List page", "True");
  auto* caption = AddColumn<TTextualColumn>(grid, "Caption", "Displayed caption", 90);
  caption->SetOptions(TColumnOptions(caption->Options()) << coEditing);
  AddList(grid, "View type", 75, "Text", Items({"Text", "Number", "Picture"}));
  AddList(grid, "Input type", 90, "Text",
          Items({"Text", "Textarea", "Combobox", "Listbox", "Checkbox", "Radiobox", "Password", "Hidden", "File"}));
  AddList(grid, "Filter", 60, "No", Items({"No", "Like", "Interval"}));
  AddCheck(grid, " H", "Add hint information to the field", "False");
  auto* hint = AddColumn<TTextualColumn>(grid, "Hint text", "", 120);
  hint->SetOptions(TColumnOptions(hint->Options()) << coEditing << coAutoSize);

  // The main window's looks: light blue even rows, a gradient under the selection.
  grid->OnCellColoring = [](TObject*, int, int row, TColor& cell, TColor&, TCellState) {
    if (row % 2 == 0) cell = kEvenRowColor;
  };
  grid->OnDrawCellBackground = [grid](TObject*, int, int, const TRect& r, TCellState state, bool& defaultDrawing) {
    if (!state.Contains(csSelected)) return;
    defaultDrawing = false;
    if (grid->HasFocus())
      TGraphicsProvider::FillVerticalGradient(grid->Canvas(), r, RGB(255, 190, 120), RGB(255, 127, 0));
    else
      TGraphicsProvider::FillVerticalGradient(grid->Canvas(), r, RGB(200, 200, 200), RGB(230, 230, 230));
  };

  const int count = static_cast<int>(std::size(kFields));
  grid->AddRow(count);
  for (int r = 0; r < count; ++r) {
    const TField& f = kFields[r];
    grid->GetCellObject(0, r)->SetAsInteger(f.Key ? 6 : 8);
    grid->SetCellText(1, r, f.Name);
    grid->SetCellText(2, r, f.Type);
    grid->GetCellObject(6, r)->SetAsBoolean(r < 5);
    grid->SetCellText(7, r, f.Name);
    grid->SetCellText(9, r, f.Input);
    grid->SetCellText(10, r, r < 5 ? "Interval" : "No");
    grid->GetCellObject(11, r)->SetAsBoolean(true);
    grid->SetCellText(12, r, f.Hint);
  }
  grid->GetCellObject(12, 2)->SetHint("A hint of the cell itself");
  return grid;
}
