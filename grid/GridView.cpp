#include "grid/GridView.h"

#include "grid/CellClasses.h"
#include "grid/Displays.h"

#include <algorithm>

TGridView::TGridView(TComponent* AOwner)
    : TCustomGridView(AOwner), FCells(std::make_unique<TCells>(this, &Columns())), FRows(std::make_unique<TRows>()) {
  FCells->OnChange = [this](TCells&, int ACol, int ARow) { CellChanged(ACol, ARow); };
  FCells->OnCompare = [this](TCells&, TCell* Cell1, TCell* Cell2, int& Compare) {
    if (OnCompare) OnCompare(this, Cell1, Cell2, Compare);
  };
}

TGridView::~TGridView() {
  BeginDestruction();
  FCells->OnChange = nullptr;
  FCells->OnCompare = nullptr;
}

void TGridView::ClearEvents() {
  OnCellFormating = nullptr;
  OnCompare = nullptr;
  TCustomGridView::ClearEvents();
}

bool TGridView::Exists(int ACol, int ARow) const {
  return ACol >= 0 && ACol < FCells->ColCount() && ARow >= 0 && ARow < FCells->RowCount();
}

void TGridView::CellChanged(int ACol, int ARow) {
  if (IsUpdating() || Destroying()) return;
  InvalidateCell(ACol, ARow);
  if (OnChange) OnChange(this, ACol, ARow);
}

// ---------------------------------------------------------------- cells

std::string TGridView::GetCellText(int ACol, int ARow) {
  return Exists(ACol, ARow) ? FCells->GetCell(ACol, ARow)->AsString() : std::string();
}

void TGridView::GetCellText(int ACol, int ARow, std::string& Value) {
  if (Exists(ACol, ARow)) Value = FCells->GetCell(ACol, ARow)->AsString();
}

void TGridView::SetCellText(int ACol, int ARow, const std::string& Value) {
  if (Exists(ACol, ARow)) FCells->GetCell(ACol, ARow)->SetAsString(Value);
}

TColor TGridView::GetCellColor(int ACol, int ARow) {
  return Exists(ACol, ARow) ? FCells->GetCell(ACol, ARow)->Color() : Color();
}

std::string TGridView::GetCellHint(int ACol, int ARow) {
  return Exists(ACol, ARow) ? FCells->GetCell(ACol, ARow)->Hint() : std::string();
}

TCell* TGridView::GetCellObject(int ACol, int ARow) { return FCells->GetCell(ACol, ARow); }

// ---------------------------------------------------------------- rows

int TGridView::RowCount() const { return FCells->RowCount(); }

int TGridView::GetRowHeight(int ARow) const {
  int height = FRows->Items(ARow)->Height;
  if (OnMeasuringRowHeight) OnMeasuringRowHeight(const_cast<TGridView*>(this), ARow, height);
  return height;
}

bool TGridView::RowHeightsUniform() const {
  return !OnMeasuringRowHeight && (FRows->Count() == 0 || FUniformHeight == RowSize());
}

void TGridView::NoteHeight(int Height) {
  if (FRows->Count() == 0)
    FUniformHeight = Height;
  else if (FUniformHeight != Height)
    FUniformHeight = -1;
}

void TGridView::SetRowHeight(int ARow, int Height) {
  if (ARow < 0 || ARow >= RowCount() || Height == GetRowHeight(ARow)) return;
  const int top = RowTop(ARow), line = GridLineWidth();
  const int oldNext = top + RowHeightAt(ARow) + line;
  NoteHeight(Height);
  FRows->Items(ARow)->Height = Height;
  const int newNext = top + RowHeightAt(ARow) + line;
  InvalidateRow(ARow);
  // The rows below move with the row's lower edge.
  if (ARow >= TopRow() && GridStyle() == gsReport && std::min(oldNext, newNext) < DataRect().Bottom)
    ScrollWindow(0, newNext - oldNext, {0, std::min(oldNext, newNext), ClientWidth(), DataRect().Bottom});
  UpdateVertScrollBar();
}

bool TGridView::IsRowSelected(int ARow) const {
  return ARow >= 0 && ARow < FRows->Count() && FRows->Items(ARow)->Selected;
}

void TGridView::SetRowSelected(int ARow, bool Selected) {
  if (ARow < 0 || ARow >= RowCount() || FRows->Items(ARow)->Selected == Selected) return;
  FRows->Items(ARow)->Selected = Selected;
  InvalidateRow(ARow);
}

void TGridView::AddRow(int Count) {
  if (Count <= 0) return;
  const int before = RowCount();
  FCells->AddRows(Count);
  NoteHeight(RowSize());
  FRows->Add(Count, RowSize());
  if (Options().Contains(goUseDefaultValues))
    for (int r = before; r < before + Count; ++r)
      for (int c = 0; c < Columns().Count(); ++c)
        if (const std::string& value = Columns().Items(c)->DefaultValue(); !value.empty()) SetCellText(c, r, value);
  if (!IsUpdating()) {
    if (before == 0) {
      // The caption of the empty grid goes.
      InvalidatePart(gpDataArea);
      InvalidatePart(gpIndicator);
    } else {
      const int bottom = DataRect().Bottom;
      for (int r = std::max(before, TopRow()); r < RowCount() && RowTop(r) < bottom; ++r) InvalidateRow(r);
    }
  }
  if (Options().Contains(goGrid) && before > 0) InvalidateRow(before - 1);
  UpdateVertScrollBar();
}

void TGridView::AppendRows(int Count) {
  if (Count <= 0) return;
  FCells->AddRows(Count);
  NoteHeight(RowSize());
  FRows->Add(Count, RowSize());
  Invalidate();
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
}

void TGridView::ClearRows() {
  TCustomGridView::ClearRows();
  FCells->ClearRows();
  FRows->Clear();
  FUniformHeight = -1;
  InvalidatePart(gpDataArea);
  InvalidatePart(gpIndicator);
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
}

void TGridView::DeleteRow(int ARow) {
  if (ARow < 0 || ARow >= RowCount()) return;
  TCustomGridView::DeleteRow(ARow);
  const int shift = GridStyle() == gsReport ? RowHeightAt(ARow) + GridLineWidth() : GridLineWidth() + SlideSize();
  const int top = RowTop(ARow);
  const bool above = ARow < TopRow();
  FCells->DeleteRow(ARow);
  FRows->Delete(ARow);
  const TRect data = DataRect();
  if (above)
    Invalidate();
  else if (top < data.Bottom)
    ScrollWindow(0, -shift, {0, top, ClientWidth(), data.Bottom});
  InvalidateSelection();
  UpdateVertScrollBar();
}

void TGridView::InsertRow(int ARow) {
  if (ARow < 0 || ARow > RowCount()) return;
  TCustomGridView::InsertRow(ARow);
  const int current = CurrentRow();
  FCells->InsertRow(ARow);
  NoteHeight(RowSize());
  FRows->Insert(ARow, RowSize());
  const TRect data = DataRect();
  if (ARow < TopRow()) {
    Invalidate();
  } else if (const int top = RowTop(ARow); top < data.Bottom) {
    const int shift = GridStyle() == gsReport ? RowHeightAt(ARow) + GridLineWidth() : GridLineWidth() + SlideSize();
    ScrollWindow(0, shift, {0, top, ClientWidth(), data.Bottom});
  }
  // Below the current row the current row stays where it is.
  if (current < 0 || ARow <= current) SelectRow(current + 1);
  UpdateVertScrollBar();
}

void TGridView::MoveRow(int From, int To) {
  if (From < 0 || From >= RowCount() || To < 0 || To >= RowCount()) return;
  TCustomGridView::MoveRow(From, To);
  FCells->MoveRow(From, To);
  FRows->Move(From, To);
}

void TGridView::SwapRows(int Row1, int Row2) {
  FCells->SwapRows(Row1, Row2);
  InvalidateRow(Row1);
  InvalidateRow(Row2);
}

// ---------------------------------------------------------------- columns, sorting, footers

void TGridView::ColumnsChanged(int Action, int Index, int Index2) {
  FCells->ColumnsChanged(Action, Index, Index2);
  // Without columns the store holds no rows; neither may the row records.
  if (FCells->ColCount() == 0 && FRows->Count() > 0) {
    FRows->Clear();
    FUniformHeight = -1;
  }
  TCustomGridView::ColumnsChanged(Action, Index, Index2);
}

void TGridView::HeaderClick(TCustomColumn& Column, bool Ascending) {
  TCustomGridView::HeaderClick(Column, Ascending);
  if (!Column.Options().Contains(coCanSort)) return;
  FCells->Sort(Column.Index(), Column.SortType(), Ascending ? skAscending : skDescending);
  InvalidatePart(gpDataArea);
}

void TGridView::RecalcFooters() {
  const int rows = RowCount();
  for (int i = 0; i < Columns().Count(); ++i) {
    TCustomColumn* column = Columns().Items(i);
    const TFormulaKind kind = column->Footer().FormulaKind();
    if (kind == fkNone) continue;
    if (rows == 0) {
      column->Footer().SetCaption("0");
      continue;
    }
    double value = kind == fkCount ? rows : FCells->GetCell(i, 0)->AsFloat();
    if (kind != fkCount) {
      for (int r = 1; r < rows; ++r) {
        const double x = FCells->GetCell(i, r)->AsFloat();
        if (kind == fkSum || kind == fkAverage) value += x;
        if (kind == fkMaximum && x > value) value = x;
        if (kind == fkMinimum && x < value) value = x;
      }
      if (kind == fkAverage) value /= rows;
    }
    column->Footer().SetCaption(column->ValueToDisplayText(FloatToText(value, FCells->FormatSettings)));
  }
}

// ---------------------------------------------------------------- painting and check boxes

void TGridView::FormatCell(int ACol, int ARow, TCellState State) {
  if (!Exists(ACol, ARow)) return;
  TFont& font = Canvas()->Font;
  // The column's own style (a bold column) stays; the cell adds its own.
  TFontStyles style = font.Style() | FCells->GetCell(ACol, ARow)->FontStyle();
  TColor color = font.Color();
  if (OnCellFormating) OnCellFormating(this, ACol, ARow, color, style, State);
  font.SetColor(color);
  font.SetStyle(style);
}

bool TGridView::PrepareCellDraw(int ACol, int ARow, TCellState State) {
  TCustomGridView::PrepareCellDraw(ACol, ARow, State);
  TCustomColumn* column = Columns().Items(ACol);
  TColumnDisplay* display = column->Display();
  if (!display || !Exists(ACol, ARow)) return true;
  TCell* cell = FCells->GetCell(ACol, ARow);
  switch (column->Kind()) {
    case 0:
    case 6: display->IntegerValue = cell->AsInteger(); break;
    case 3: display->BooleanValue = cell->AsBoolean(); break;
    case 4: display->DateTimeValue = cell->AsDateTime(); break;
    case 5: display->FloatValue = cell->AsFloat(); break;
    default: display->TextValue = cell->AsString(); break;
  }
  if (!cell->Hint().empty() && AppearanceOptions().Contains(aoHintMarks)) display->DrawHintMark();
  return true;
}

void TGridView::LoadPlayValue(TColumnPlay& Play) {
  auto* check = dynamic_cast<TCheckBoxColumnPlay*>(&Play);
  if (check && Exists(Play.Col, Play.Row) && Columns().Items(Play.Col)->Kind() == 3)
    check->Checked = FCells->GetCell(Play.Col, Play.Row)->AsBoolean();
}

void TGridView::PlayClicked(TColumnPlay& Play) {
  auto* check = dynamic_cast<TCheckBoxColumnPlay*>(&Play);
  if (!check || Destroying()) return;
  const std::string value = check->ValueText;
  bool accept = true;
  if (OnEditAccept) OnEditAccept(this, Play.Col, Play.Row, value, accept);
  if (!accept) return;
  if (Exists(Play.Col, Play.Row) && Columns().Items(Play.Col)->Kind() == 3)
    FCells->GetCell(Play.Col, Play.Row)->SetAsBoolean(check->Checked);
  if (OnAfterEdit) OnAfterEdit(this, Play.Col, Play.Row, value);
}
