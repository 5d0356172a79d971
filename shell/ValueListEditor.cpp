#include "shell/ValueListEditor.h"

#include "grid/ColumnClasses.h"
#include "shell/MainFormUnit.h"

TValueListEditor::TValueListEditor(TComponent* AOwner) : TGridView(AOwner) {
  SetColor(clWhite);
  SetGridLinesStyle(lsFramed);
  SetOptions({goGrid, goHeader, goIndicator});
  for (const char* caption : {"Caption", "Value"}) {
    auto* column = Columns().Add<TTextualColumn>();
    column->SetName(caption);
    column->Header().SetCaption(caption);
    column->SetWidth(100);
    // Sorting would reorder the list behind the stored order.
    column->SetOptions(TColumnOptions(column->Options()) << coEditing >> coCanSort);
  }
  OnEditAccept = [](TObject*, int ACol, int, const std::string& Value, bool& Accept) {
    if (ACol != 0 || ValidCaption(Value)) return;
    Accept = false;
    ShowMessageBox(CaptionRule(Value), TMsgDlgType::mtWarning);
  };
  AddRow(1);
}

bool TValueListEditor::ValidCaption(const std::string& caption) { return caption.find('=') == std::string::npos; }

std::string TValueListEditor::CaptionRule(const std::string& caption) {
  return "The caption \"" + caption + "\" contains \"=\", which separates a caption from its value. "
         "Please choose a caption without it.";
}

bool TValueListEditor::IsBlank(int ARow) { return Caption(ARow).empty() && Value(ARow).empty(); }

TStringList TValueListEditor::Strings() {
  TStringList lines;
  for (int row = 0; row < RowCount(); ++row)
    if (!IsBlank(row)) lines.Add(Caption(row) + "=" + Value(row));
  return lines;
}

void TValueListEditor::SetStrings(const TStringList& lines) {
  Clear();
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& line = lines[i];
    const size_t at = line.find('=');
    if (at == std::string::npos)
      Append(line, "");
    else
      Append(line.substr(0, at), line.substr(at + 1));
  }
}

void TValueListEditor::Clear() {
  ClearRows();
  AddRow(1);
}

bool TValueListEditor::Append(const std::string& caption, const std::string& value) {
  if (!ValidCaption(caption)) return false;
  if (!(RowCount() == 1 && IsBlank(0))) AddRow(1);
  const int row = RowCount() - 1;
  SetCellText(0, row, caption);
  SetCellText(1, row, value);
  return true;
}

void TValueListEditor::AppendBlank() {
  AddRow(1);
  SelectRow(RowCount() - 1);
}

void TValueListEditor::DeleteItem(int ARow) {
  if (ARow < 0 || ARow >= RowCount()) return;
  if (RowCount() == 1) {
    Clear();
    return;
  }
  DeleteRow(ARow);
}

void TValueListEditor::MoveItem(int ARow, int by) {
  const int other = ARow + by;
  if (ARow < 0 || ARow >= RowCount() || other < 0 || other >= RowCount()) return;
  EndEdit();
  SwapRows(ARow, other);
  Invalidate();
  SelectRow(other);
}
