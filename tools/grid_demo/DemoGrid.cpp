#include "DemoGrid.h"

#include "shell/GridLook.h"

#include <string>
#include <vector>

namespace {

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
  StyleGrid(grid);

  auto* key = AddColumn<TImageColumn>(grid, "", "K", "Key field indicator", 18);
  key->SetImages(images);
  key->SetAlignment(taCenter);
  auto* field = AddText(grid, "", "Db Field", "Original SQL field name", 80, false, true);
  field->SetOptions(TColumnOptions(field->Options()) << coSearchColumn);
  AddText(grid, "", "DbType", "Original SQL field type", 90, false);
  AddCheck(grid, "", " I", "Show field on Insert page", 18, "True");
  AddCheck(grid, "", " U", "Show field on Update page", 18, "True");
  AddCheck(grid, "", " D", "Show field on Detail page", 18, "True");
  AddCheck(grid, "", " L", "Show field on List page", 18, "True");
  AddText(grid, "", "Caption", "Displayed caption", 90, true);
  AddList(grid, "", "View type", 75, "Text", PickList({"Text", "Number", "Picture"}));
  AddList(grid, "", "Input type", 90, "Text",
          PickList({"Text", "Textarea", "Combobox", "Listbox", "Checkbox", "Radiobox", "Password", "Hidden", "File"}));
  AddList(grid, "", "Filter", 60, "No", PickList({"No", "Like", "Interval"}));
  AddCheck(grid, "", " H", "Add hint information to the field", 18, "False");
  auto* hint = AddText(grid, "", "Hint text", "", 120, true);
  hint->SetOptions(TColumnOptions(hint->Options()) << coAutoSize);

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
