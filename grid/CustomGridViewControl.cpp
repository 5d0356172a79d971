#include "grid/CustomGridViewControl.h"

#include "grid/ColumnClasses.h"
#include "grid/Displays.h"
#include "grid/ThemesSupport.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

TRect Common(const TRect& a, const TRect& b) {
  TRect r;
  IntersectRect(r, a, b);
  return r;
}

}  // namespace

TCustomGridViewControl::TCustomGridViewControl(TComponent* AOwner) : TScrollView(AOwner) {
  FColumns = std::make_unique<TColumns>(this);
  FStyleDisplays[hsAuto] = std::make_unique<TDefaultStyleDisplay>(this);
  FStyleDisplays[hsFlatBorders] = std::make_unique<TFlatStyleDisplay>(this);
  FStyleDisplays[hsOldStyle] = std::make_unique<TOldStyleDisplay>(this);
  FStyleDisplays[hsOutlook] = std::make_unique<TOutlookStyleDisplay>(this);
  SetColor(clWindow);
  SetTabStop(true);
  SetFrameWidth(2);
  SetBounds(Left(), Top(), 250, 150);
  HorzScrollBar()->SetPageStep(10);
  HorzScrollBar()->SetLineStep(5);
  VertScrollBar()->SetPageStep(10);
  VertScrollBar()->SetLineStep(1);
  // No columns and no rows yet: nothing to scroll. The rows are the data
  // side's, which is not built yet, so they are not asked here.
  VertScrollBar()->SetParams(0, 0, 0, 1, false, true);
  HorzScrollBar()->SetParams(0, 0, 0, 1, true, false);
  FLastClientWidth = ClientWidth();
  FLastClientHeight = ClientHeight();
  FReady = true;
}

TCustomGridViewControl::~TCustomGridViewControl() {
  BeginDestruction();
  FReady = false;
  FColumns.reset();
}

void TCustomGridViewControl::BeginDestruction() {
  if (FDestroying) return;
  FDestroying = true;
  ClearEvents();
}

void TCustomGridViewControl::ClearEvents() {
  OnSelectCell = nullptr;
  OnDeselectCell = nullptr;
  OnColumnResize = nullptr;
  OnSortColumn = nullptr;
  OnCellColoring = nullptr;
  OnDrawCellBackground = nullptr;
  OnCustomDrawCell = nullptr;
  OnPostDraw = nullptr;
  OnHorizontalScroll = nullptr;
  OnVerticalScroll = nullptr;
  OnClick = nullptr;
  OnDblClick = nullptr;
  OnMouseDown = nullptr;
  OnMouseMove = nullptr;
  OnMouseUp = nullptr;
  OnMouseEnter = nullptr;
  OnMouseLeave = nullptr;
  OnMouseWheel = nullptr;
  OnMouseWheelDown = nullptr;
  OnMouseWheelUp = nullptr;
  OnResize = nullptr;
  OnContextPopup = nullptr;
  OnStartDrag = nullptr;
  OnDragOver = nullptr;
  OnDragDrop = nullptr;
  OnEndDrag = nullptr;
  OnKeyDown = nullptr;
  OnKeyPress = nullptr;
  OnKeyUp = nullptr;
  OnEnter = nullptr;
  OnExit = nullptr;
}

void TCustomGridViewControl::SetStateBit(TGridStateBit Bit, bool On) {
  if (On)
    FState << Bit;
  else
    FState >> Bit;
}

// ---------------------------------------------------------------- settings

void TCustomGridViewControl::SetAppearanceOptions(TAppearanceOptions Value) {
  FAppearanceOptions = Value;
  Invalidate();
  InvalidateFrame();
}

void TCustomGridViewControl::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value == bsNone ? bsNone : bsSingle;
  SetFrameWidth(FBorderStyle == bsNone ? 0 : 2);
}

void TCustomGridViewControl::SetEnableVisualStyles(bool Value) {
  FEnableVisualStyles = Value;
  Invalidate();
  InvalidateFrame();
}

void TCustomGridViewControl::SetGridLinesColor(TColor Value) {
  FGridLinesColor = Value;
  Invalidate();
}

void TCustomGridViewControl::SetGridLinesStyle(TGridLinesStyle Value) {
  FGridLinesStyle = Value;
  Invalidate();
}

void TCustomGridViewControl::SetGridStyle(TGridStyle Value) {
  FGridStyle = Value;
  if (Value == gsSlides) {
    EndEdit();
    SetInputRowFocused(false);
  }
  Invalidate();
  PlaceEditor();
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
}

// The settings below change how many rows fit, so the vertical range follows.

void TCustomGridViewControl::SetHeaderSize(int Value) {
  FHeaderSize = Value;
  Invalidate();
  PlaceEditor();
  UpdateVertScrollBar();
}

void TCustomGridViewControl::SetHeaderStyle(THeaderStyle Value) {
  if (Value == FHeaderStyle) return;
  FHeaderStyle = Value;
  StyleDisplay()->Canvas = Canvas();
  Invalidate();
}

void TCustomGridViewControl::SetHideScrollBar(bool Value) {
  FHideScrollBar = Value;
  Invalidate();
}

void TCustomGridViewControl::SetHighlightedTextColor(TColor Value) {
  FHighlightedTextColor = Value;
  InvalidateSelection();
}

void TCustomGridViewControl::SetInputSize(int Value) {
  FInputSize = Value;
  Invalidate();
  UpdateVertScrollBar();
}

void TCustomGridViewControl::SetOptions(TGridOptions Value) {
  const bool indicatorChanged = Value.Contains(goIndicator) != FOptions.Contains(goIndicator);
  FOptions = Value;
  if (indicatorChanged) {
    // The cell area moved and changed its width.
    FColumns->UpdateLeftEdges();
    FColumns->ShareWidth(nullptr, false);
  }
  Invalidate();
  PlaceEditor();
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
}

void TCustomGridViewControl::SetRowSize(int Value) {
  if (Value < 1) return;
  FRowSize = Value;
  InvalidatePart(gpDataArea);
  InvalidatePart(gpInputRow);
  InvalidatePart(gpIndicator);
  PlaceEditor();
  UpdateVertScrollBar();
}

void TCustomGridViewControl::SetSlideSize(int Value) {
  FSlideSize = Value;
  Invalidate();
  UpdateVertScrollBar();
}

// ---------------------------------------------------------------- state

int TCustomGridViewControl::CurrentRow() const {
  const int rows = RowCount();
  if (rows == 0)
    FCurrentRow = -1;
  else
    FCurrentRow = std::clamp(FCurrentRow, 0, rows - 1);
  return FCurrentRow;
}

void TCustomGridViewControl::SetInputRowFocused(bool Value) {
  if (Value == FInputRowFocused) return;
  FInputRowFocused = Value;
  InvalidatePart(gpInputRow);
  InvalidateSelection();
}

void TCustomGridViewControl::EndUpdate() {
  // What changed meanwhile was not painted.
  if (FUpdateCount > 0 && --FUpdateCount == 0) Invalidate();
}

// ---------------------------------------------------------------- geometry

int TCustomGridViewControl::IndicatorWidth() const {
  return FOptions.Contains(goIndicator) ? IndicatorColumnWidth : 0;
}

int TCustomGridViewControl::ColumnsAreaWidth() const {
  const bool indicator = FOptions.Contains(goIndicator) && FGridStyle == gsReport;
  return ClientWidth() - (indicator ? IndicatorColumnWidth : 0);
}

// Summed over the creation order: a column being added is reported before it
// joins the display order.
int TCustomGridViewControl::VisibleColumnsWidth() const {
  int width = 0;
  for (int i = 0; i < FColumns->Count(); ++i)
    if (const TCustomColumn* c = FColumns->Items(i); c->Visible()) width += c->Width();
  return width;
}

int TCustomGridViewControl::ColumnsRight() const { return VisibleColumnsWidth() - LeftPosition() + IndicatorWidth(); }

bool TCustomGridViewControl::PartShown(TGridPart Part) const {
  if (Part == gpDataArea) return true;
  if (FGridStyle == gsSlides) return false;
  switch (Part) {
    case gpFooter: return FOptions.Contains(goFooter);
    case gpHeader: return FOptions.Contains(goHeader);
    case gpIndicator: return FOptions.Contains(goIndicator);
    case gpInputRow: return FOptions.Contains(goInput);
    default: return false;
  }
}

TRect TCustomGridViewControl::GetPartRect(TGridPart Part) const {
  const int width = ClientWidth(), height = ClientHeight(), line = GridLineWidth();
  if (FGridStyle == gsSlides) return Part == gpDataArea ? TRect{0, 0, width, height} : TRect{};
  const int left = IndicatorWidth();
  const int right = std::min(ColumnsRight(), width);
  const int inputTop = FOptions.Contains(goHeader) ? FHeaderSize : 0;
  const int inputHeight = FInputSize + 6 + line;
  const int footerTop = height - FHeaderSize - 4 - line;
  switch (Part) {
    case gpDataArea:
      return {left, inputTop + (FOptions.Contains(goInput) ? inputHeight : 0), right,
              FOptions.Contains(goFooter) ? footerTop : height};
    case gpHeader: return {left, 0, right, FHeaderSize};
    case gpInputRow: return {left, inputTop, right, inputTop + inputHeight};
    case gpFooter: return {left, footerTop, right, height};
    case gpIndicator: return {0, 0, IndicatorColumnWidth, height};
    default: return {};
  }
}

int TCustomGridViewControl::GetRowHeight(int) const { return FRowSize; }

int TCustomGridViewControl::RowHeightAt(int ARow) const {
  const int h = ARow >= 0 && ARow < RowCount() ? GetRowHeight(ARow) : FRowSize;
  return std::max(1, h);
}

int TCustomGridViewControl::RowSpan(int From, int To, int Limit) const {
  if (To <= From) return 0;
  const int line = GridLineWidth();
  if (RowHeightsUniform()) {
    const long long span = static_cast<long long>(To - From) * (std::max(1, FRowSize) + line);
    return static_cast<int>(std::min<long long>(span, static_cast<long long>(Limit) + 1));
  }
  // Only as far as the limit: rows beyond it are out of sight anyway.
  int span = 0;
  for (int r = From; r < To && span <= Limit; ++r) span += RowHeightAt(r) + line;
  return span;
}

int TCustomGridViewControl::RowTop(int ARow) const {
  const int first = TopRow(), limit = std::max(ClientHeight(), 0);
  if (FGridStyle == gsSlides) {
    const long long top = static_cast<long long>(FSlideSize + GridLineWidth()) * (ARow - first);
    return static_cast<int>(std::clamp<long long>(top, -limit - 1, limit + 1));
  }
  const int top = DataRect().Top;
  return ARow >= first ? top + RowSpan(first, ARow, limit) : top - RowSpan(ARow, first, limit);
}

int TCustomGridViewControl::RowAt(int Y) const {
  const int rows = RowCount(), first = TopRow(), line = GridLineWidth();
  int row = -1;
  if (FGridStyle == gsSlides) {
    if (Y < 0) return -1;
    row = first + Y / (FSlideSize + line);
  } else {
    const TRect data = DataRect();
    if (Y < data.Top || Y >= data.Bottom) return -1;
    if (RowHeightsUniform()) {
      row = first + (Y - data.Top) / (std::max(1, FRowSize) + line);
    } else {
      int bottom = data.Top;
      for (row = first; row < rows; ++row) {
        bottom += RowHeightAt(row) + line;
        if (Y < bottom) break;
      }
    }
  }
  return row >= 0 && row < rows ? row : -1;
}

int TCustomGridViewControl::ColumnAt(int X) const {
  const int position = LeftPosition();
  for (int i = 0; i < FColumns->DisplayCount(); ++i) {
    const TCustomColumn* c = FColumns->DisplayItems(i);
    if (!c->Visible()) continue;
    const int left = c->Left() - position;
    if (X >= left && X < left + c->Width()) return c->Index();
  }
  return -1;
}

TGridCell TCustomGridViewControl::CellAt(TPoint P) const {
  TGridCell cell;
  cell.Row = RowAt(P.Y);
  if (FGridStyle == gsReport) {
    cell.Col = ColumnAt(P.X);
    return cell;
  }
  if (cell.Row < 0) return cell;
  const TPoint inSlide{P.X, P.Y - RowTop(cell.Row)};
  for (int i = 0; i < FColumns->DisplayCount(); ++i) {
    const TCustomColumn* c = FColumns->DisplayItems(i);
    const TSlideBounds& b = c->SlideBounds();
    if (c->Visible() && TRect{b.Left(), b.Top(), b.Right(), b.Bottom()}.Contains(inSlide)) {
      cell.Col = c->Index();
      break;
    }
  }
  return cell;
}

int TCustomGridViewControl::VisibleRowCount() const {
  const int height = DataRect().Height(), line = GridLineWidth();
  if (height <= 0) return 0;
  if (FGridStyle == gsSlides) return height / (FSlideSize + line);
  if (RowHeightsUniform()) return height / (std::max(1, FRowSize) + line);
  int count = 0;
  for (int r = TopRow(), used = 0;; ++r, ++count) {
    used += RowHeightAt(r) + line;
    if (used > height) break;
  }
  return count;
}

int TCustomGridViewControl::HorzOverflow() const {
  return std::max(0, VisibleColumnsWidth() - (ClientWidth() - IndicatorWidth()));
}

int TCustomGridViewControl::VertScrollMax() const {
  const int rows = RowCount();
  if (FColumns->Count() == 0 || rows == 0) return 0;
  // The rows that fit at the bottom, counted up from the last one; at least
  // one, so that the last row can always be scrolled into view.
  const int height = DataRect().Height(), line = GridLineWidth();
  int fit = 0;
  if (RowHeightsUniform()) {
    fit = height / (std::max(1, FRowSize) + line);
  } else {
    for (int r = rows - 1, used = 0; r >= 0; --r, ++fit) {
      used += RowHeightAt(r) + line;
      if (used > height) break;
    }
  }
  return std::max(0, rows - std::clamp(fit, 1, rows));
}

TRect TCustomGridViewControl::GetCellRect(int ACol, int ARow, TGridPart Part) const {
  const TCustomColumn* c = FColumns->Items(ACol);
  if (FGridStyle == gsSlides) {
    const TSlideBounds& b = c->SlideBounds();
    const int top = RowTop(ARow) + b.Top();
    return {b.Left(), top, b.Right(), top + b.Height()};
  }
  TRect r;
  r.Left = c->Left() - LeftPosition();
  r.Right = r.Left + c->Width() - (FOptions.Contains(goGrid) && FGridLinesStyle != lsHorizontalOnly ? 1 : 0);
  if (Part == gpInputRow) {
    r.Top = FOptions.Contains(goHeader) ? FHeaderSize : 0;
    r.Bottom = r.Top + FInputSize;
  } else {
    r.Top = RowTop(ARow);
    r.Bottom = r.Top + RowHeightAt(ARow);
  }
  return r;
}

int TCustomGridViewControl::GetHorzDelta(int OldPos, int NewPos) const { return OldPos - NewPos; }

int TCustomGridViewControl::GetVertDelta(int OldPos, int NewPos) const {
  const int limit = std::max(ClientHeight(), 0);
  if (FGridStyle == gsSlides) {
    const long long delta = static_cast<long long>(OldPos - NewPos) * (FSlideSize + GridLineWidth());
    return static_cast<int>(std::clamp<long long>(delta, -limit - 1, limit + 1));
  }
  return NewPos > OldPos ? -RowSpan(OldPos, NewPos, limit) : RowSpan(NewPos, OldPos, limit);
}

// ---------------------------------------------------------------- scroll bars

void TCustomGridViewControl::UpdateHorzScrollBar() {
  if (!FReady) return;
  TControlScrollBar* bar = HorzScrollBar();
  if (FGridStyle == gsSlides) {
    bar->SetVisible(false);
    return;
  }
  bar->SetMax(HorzOverflow());
  bar->SetPageSize(1);
  bar->SetVisible(bar->Max() >= 1);
  bar->SetPageStep(static_cast<int>(std::nearbyint(ClientWidth() * 0.05)));
}

void TCustomGridViewControl::UpdateVertScrollBar() {
  if (!FReady) return;
  TControlScrollBar* bar = VertScrollBar();
  if (FGridStyle == gsReport) {
    const int max = VertScrollMax();
    bar->SetParams(bar->Position(), 0, max, 1, max >= 1, bar->Visible());
    return;
  }
  bar->SetMax(RowCount() - ClientHeight() / (FSlideSize + GridLineWidth()));
  bar->SetVisible(true);
  bar->SetEnabled(bar->Max() != 0);
}

void TCustomGridViewControl::UpdateScrollRects() {
  if (FGridStyle == gsSlides) {
    SetHorzScrollRect(ClientRect());
    SetVertScrollRect(ClientRect());
    return;
  }
  const TRect data = DataRect();
  SetHorzScrollRect({data.Left, 0, ClientWidth(), ClientHeight()});
  SetVertScrollRect({0, data.Top, ClientWidth(), data.Bottom});
}

void TCustomGridViewControl::ScrollBarPositionChanged(TScrollBarKind Kind) {
  TScrollView::ScrollBarPositionChanged(Kind);
  UpdateScrollRects();
}

void TCustomGridViewControl::SizeChanged() {
  TScrollView::SizeChanged();
  if (!FReady || FDestroying) return;
  const int width = ClientWidth(), height = ClientHeight();
  if (height != FLastClientHeight) {
    if (PartShown(gpFooter)) {
      const int footer = FHeaderSize + 4 + GridLineWidth();
      InvalidateRect({0, FLastClientHeight - footer, width, FLastClientHeight});
      InvalidateRect({0, height - footer, width, height});
    }
    FLastClientHeight = height;
    UpdateVertScrollBar();
  }
  if (width != FLastClientWidth) {
    FColumns->ShareWidth(nullptr, false);
    if (LeftPosition() > 0)
      Invalidate();
    else
      InvalidateRect({std::min(width, FLastClientWidth), 0, std::max(width, FLastClientWidth), height});
    FLastClientWidth = width;
  }
  UpdateHorzScrollBar();
}

// ---------------------------------------------------------------- selection

bool TCustomGridViewControl::IsCellSelected(int ACol, int ARow) const {
  if (FInputRowFocused || ACol < 0 || ACol >= FColumns->Count()) return false;
  if (FColumns->Items(ACol)->Options().Contains(coDontHighlight)) return false;
  if (!HasFocus() && FAppearanceOptions.Contains(aoHideSelection)) return false;
  const bool current = ACol == FCurrentColumn && ARow == CurrentRow();
  const bool edited = FEditedCell == TGridCell{ACol, ARow};
  if (FOptions.Contains(goSelectFullRow)) {
    if (ARow < 0 || ARow >= RowCount() || !IsRowSelected(ARow)) return false;
    return !current || (!FAppearanceOptions.Contains(aoIndicateSelectedCell) && !edited);
  }
  return current && !edited;
}

TColor TCustomGridViewControl::GetSelectedCellColor(int ACol, int ARow) {
  if (!IsCellSelected(ACol, ARow)) return GetCellColor(ACol, ARow);
  if (!HasFocus()) return clBtnFace;
  if (FAppearanceOptions.Contains(aoAlphaBlendedSelection))
    return TGraphicsProvider::MixColors(Color(), clHighlight, 0.25);
  return clHighlight;
}

TColor TCustomGridViewControl::GetSelectedTextColor(int ACol, int ARow) {
  if (IsCellSelected(ACol, ARow) && HasFocus()) return FHighlightedTextColor;
  if (ACol >= 0 && ACol < FColumns->Count()) return FColumns->Items(ACol)->Font().Color();
  return Font().Color();
}

void TCustomGridViewControl::DeselectAllRows() {
  for (int r = 0, rows = RowCount(); r < rows; ++r)
    if (IsRowSelected(r)) SetRowSelected(r, false);
}

void TCustomGridViewControl::SelectCell(int ACol, int ARow, TShiftState Flags) {
  const bool extend = Flags.Contains(ssShift), toggle = Flags.Contains(ssCtrl);
  if (FState.Contains(gbMultiSelect) && !extend && !toggle) {
    DeselectAllRows();
    FState >> gbMultiSelect;
  }
  // Refusals: no such column, a disabled one, or a row that does not exist
  // (row -1 is never current while there are rows).
  if (ACol < 0 || ACol >= FColumns->Count() || !FColumns->Items(ACol)->Enabled()) return;
  const int rows = RowCount();
  if (rows > 0 && (ARow < 0 || ARow >= rows)) return;
  if (rows == 0) ARow = -1;

  const int oldCol = FCurrentColumn, oldRow = CurrentRow();
  FCurrentColumn = ACol;
  FCurrentRow = ARow;
  const bool colChanged = oldCol != ACol, rowChanged = oldRow != ARow;
  if ((colChanged || rowChanged) && OnDeselectCell) OnDeselectCell(this, oldCol, oldRow);

  if (FAutoScroll && rows > 0 && (ARow < TopRow() || ARow >= TopRow() + VisibleRowCount()))
    VertScrollBar()->SetPosition(ARow);

  if (FInputRowFocused) {
    if (colChanged) {
      InvalidateColumnPart(*FColumns->Items(ACol), gpInputRow);
      if (oldCol >= 0 && oldCol < FColumns->Count()) InvalidateColumnPart(*FColumns->Items(oldCol), gpInputRow);
    }
    return;
  }
  if (rows == 0) return;

  const bool fullRow = FOptions.Contains(goSelectFullRow), multi = FOptions.Contains(goMultiSelect);
  if (fullRow && multi && (toggle || extend)) {
    FState << gbMultiSelect;
    if (toggle) {
      FMultiSelectAnchor = ARow;
      SetRowSelected(ARow, !IsRowSelected(ARow));
    } else {
      const int from = std::min(FMultiSelectAnchor, ARow), to = std::max(FMultiSelectAnchor, ARow);
      for (int r = 0; r < rows; ++r) {
        const bool inside = r >= from && r <= to;
        if (IsRowSelected(r) != inside) SetRowSelected(r, inside);
      }
    }
    if (rowChanged) {
      InvalidateRow(ARow);
      InvalidateRow(oldRow);
    }
  } else if (fullRow) {
    if (rowChanged && !FState.Contains(gbMultiSelect)) {
      if (oldRow >= 0) SetRowSelected(oldRow, false);
    } else if (colChanged) {
      // The current cell's mark (and an indicated cell) moves within the row.
      InvalidateCell(oldCol, oldRow);
      InvalidateCell(ACol, ARow);
    }
    SetRowSelected(ARow, true);
    FMultiSelectAnchor = ARow;
  } else if (colChanged || rowChanged) {
    InvalidateCell(ACol, ARow);
    InvalidateCell(oldCol, oldRow);
    if (rowChanged && PartShown(gpIndicator)) {
      const TRect indicator = GetPartRect(gpIndicator);
      InvalidateRect(Common(RowRect(ARow), indicator));
      if (oldRow >= 0) InvalidateRect(Common(RowRect(oldRow), indicator));
    }
  }
  if (OnSelectCell) OnSelectCell(this, ACol, ARow);
}

void TCustomGridViewControl::SelectRow(int ARow) {
  if (ARow < 0 || ARow >= RowCount()) return;
  // Out of the input row first, so that the row itself is selected.
  SetInputRowFocused(false);
  SelectCell(FCurrentColumn, ARow, {});
}

// ---------------------------------------------------------------- rows

void TCustomGridViewControl::ClearRows() {
  EndEdit();
  FState >> gbMultiSelect;
  FMultiSelectAnchor = -1;
  FCurrentRow = -1;
}

void TCustomGridViewControl::DeleteRow(int) {
  EndEdit();
  UpdateVertScrollBar();
}

void TCustomGridViewControl::InsertRow(int) {
  EndEdit();
  UpdateVertScrollBar();
}

void TCustomGridViewControl::MoveRow(int, int) {
  Invalidate();
  EndEdit();
}

void TCustomGridViewControl::EndEdit() {
  if (FEditedCell.Col >= 0 && !FDestroying) InvalidateCell(FEditedCell.Col, FEditedCell.Row);
  FState >> gbEditing >> gbInputEditing;
  FEditedCell = {};
  FInputColumn = -1;
}

// ---------------------------------------------------------------- repainting

TRect TCustomGridViewControl::RowRect(int ARow) const {
  const int top = RowTop(ARow);
  if (FGridStyle == gsSlides) return {0, top, ClientWidth(), top + FSlideSize + GridLineWidth()};
  return {0, top, ClientWidth(), top + RowHeightAt(ARow) + GridLineWidth()};
}

void TCustomGridViewControl::InvalidateCell(int ACol, int ARow) {
  if (FDestroying || ACol < 0 || ACol >= FColumns->Count() || !FColumns->Items(ACol)->Visible() || ARow < TopRow())
    return;
  TRect r = GetCellRect(ACol, ARow);
  r.Right += GridLineWidth();
  r.Bottom += GridLineWidth();
  r = Common(r, ClientRect());
  if (!r.IsEmpty()) InvalidateRect(r);
}

void TCustomGridViewControl::InvalidateRow(int ARow) {
  if (FDestroying || ARow < TopRow()) return;
  const TRect r = Common(RowRect(ARow), ClientRect());
  if (!r.IsEmpty()) InvalidateRect(r);
}

void TCustomGridViewControl::InvalidatePart(TGridPart Part) {
  if (PartShown(Part)) InvalidateRect(GetPartRect(Part));
}

void TCustomGridViewControl::InvalidateColumnPart(TCustomColumn& Column, TGridPart Part) {
  if (!PartShown(Part) || !Column.Visible()) return;
  TRect r = GetPartRect(Part);
  r.Left = Column.Left() - LeftPosition();
  r.Right = r.Left + Column.Width();
  InvalidateRect(r);
}

void TCustomGridViewControl::InvalidateColumn(TCustomColumn& Column) {
  if (!Column.Visible()) return;
  const int left = FGridStyle == gsReport ? Column.Left() - LeftPosition() : 0;
  const int right = FGridStyle == gsReport ? left + Column.Width() : ClientWidth();
  InvalidateRect({left, 0, right, ClientHeight()});
}

void TCustomGridViewControl::InvalidateSelection() {
  if (FDestroying) return;
  if (FInputRowFocused) InvalidatePart(gpInputRow);
  if (!FOptions.Contains(goSelectFullRow)) {
    InvalidateCell(FCurrentColumn, CurrentRow());
    return;
  }
  const int rows = RowCount();
  for (int r = TopRow(), last = TopRow() + VisibleRowCount(); r <= last && r < rows; ++r)
    if (IsRowSelected(r)) InvalidateRow(r);
}

// ---------------------------------------------------------------- columns

void TCustomGridViewControl::ColumnChanged(TCustomColumn& Column, TColumnChange Kind) {
  if (!FReady) return;
  switch (Kind) {
    case ccInputValue: InvalidateColumnPart(Column, gpInputRow); break;
    case ccPosition:
      PlaceEditor();
      Invalidate();
      break;
    case ccVisibility:
      PlaceEditor();
      UpdateHorzScrollBar();
      Invalidate();
      break;
    case ccAppearance: InvalidateColumn(Column); break;
    case ccSortingOff: InvalidateColumnPart(Column, gpHeader); break;
    case ccWidth:
      PlaceEditor();
      InvalidateRect({Column.Left() - LeftPosition(), 0, ClientWidth(), ClientHeight()});
      UpdateHorzScrollBar();
      if (OnColumnResize) OnColumnResize(this, Column.Index());
      break;
    case ccSortingOn:
    case ccSortOrder:
      if (Kind == ccSortingOn) PlaceEditor();
      if (Column.Sorted()) {
        const bool ascending = Column.SortKind() == skAscending;
        HeaderClick(Column, ascending);
        if (OnSortColumn) OnSortColumn(this, Column.Index(), ascending);
      }
      break;
  }
}

void TCustomGridViewControl::ColumnsChanged(int Action, int, int) {
  if (!FReady) return;
  if (Action == caDeleted || Action == caCleared) EndEdit();
  ColumnsNotify(nullptr, Action);
}

void TCustomGridViewControl::ColumnsNotify(TCustomColumn*, int Kind) {
  if (Kind != caCleared) PlaceEditor();
  Invalidate();
  // Widths and the number of columns decide both ranges.
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
}

void TCustomGridViewControl::HeaderClick(TCustomColumn& Column, bool) {
  if (Column.Options().Contains(coCanSort)) EndEdit();
}

// ---------------------------------------------------------------- focus and font

void TCustomGridViewControl::FocusGained() {
  TScrollView::FocusGained();
  if (!FDestroying) InvalidateSelection();
}

void TCustomGridViewControl::FocusLost() {
  TScrollView::FocusLost();
  if (!FDestroying) InvalidateSelection();
}

void TCustomGridViewControl::FontChanged() {
  TScrollView::FontChanged();
  for (int i = 0; i < FColumns->Count(); ++i)
    if (TCustomColumn* c = FColumns->Items(i); c->ParentFont()) c->SetParentFont(true);
}

// ---------------------------------------------------------------- painting

TStyleDisplay* TCustomGridViewControl::StyleDisplay() const { return FStyleDisplays[FHeaderStyle].get(); }

bool TCustomGridViewControl::PrepareCellDraw(int ACol, int ARow, TCellState State) {
  TCanvas* c = Canvas();
  c->Font = FColumns->Items(ACol)->Font();
  c->Font.SetColor(GetSelectedTextColor(ACol, ARow));
  FormatCell(ACol, ARow, State);
  if (State.Contains(csBoldTextSelection)) c->Font.SetStyle(c->Font.Style() | fsBold);
  return false;
}

void TCustomGridViewControl::Paint() {
  if (FDestroying || FState.Contains(gbColumnResizing)) return;
  TCanvas* c = Canvas();
  TStyleDisplay* style = StyleDisplay();
  style->Canvas = c;
  style->UseVisualStyles = FEnableVisualStyles && ThemesAvailable();
  UpdateScrollRects();
  if (FGridStyle == gsSlides) {
    PaintSlides(ClientRect());
  } else {
    PaintColumnParts();
    const int width = ClientWidth(), right = ColumnsRight();
    const TRect data = DataRect();
    if (right < width) {
      // Right of the columns: the header band and the rows' band. The input
      // row's and the footer's remainders are the style display's.
      const int left = std::max(right, IndicatorWidth());
      c->Brush.Style = bsSolid;
      c->Brush.Color = Color();
      if (PartShown(gpHeader)) {
        const TRect header{left, 0, width, FHeaderSize};
        if (style->UseVisualStyles && FHeaderStyle == hsAuto)
          style->PaintEmptyHeader(header);
        else
          c->FillRect(header);
      }
      c->Brush.Color = Color();
      c->FillRect({left, data.Top, width, data.Bottom});
    }
    if (RowCount() == 0 && !Caption().empty()) {
      c->Font = Font();
      const int top = data.Top + 4;
      TGraphicsProvider::DrawTextLine(c, {0, top, width, top + c->TextHeight(Caption())}, false, Caption(), taCenter);
    }
  }
  if (OnPostDraw) OnPostDraw(this);
}

void TCustomGridViewControl::PaintColumnParts() {
  TCanvas* c = Canvas();
  TStyleDisplay* style = StyleDisplay();
  const int width = ClientWidth(), position = LeftPosition();
  const TRect header = GetPartRect(gpHeader), input = GetPartRect(gpInputRow), footer = GetPartRect(gpFooter);
  const TRect clip = c->ClipRect();
  auto inClip = [&](const TRect& part) { return part.Bottom > clip.Top && part.Top < clip.Bottom; };
  const bool headers = PartShown(gpHeader) && inClip(header), inputs = PartShown(gpInputRow) && inClip(input),
             footers = PartShown(gpFooter) && inClip(footer);
  for (int i = 0; i < FColumns->DisplayCount(); ++i) {
    TCustomColumn* col = FColumns->DisplayItems(i);
    if (!col->Visible()) continue;
    const int left = col->Left() - position, right = left + col->Width();
    if (left >= width) break;
    if (right <= 0 || right <= clip.Left || left >= clip.Right) continue;
    if (headers) style->PaintHeaderCell(*col, {left, header.Top, right, header.Bottom});
    if (inputs) style->PaintInputCell(*col, {left, input.Top, right, input.Bottom});
    if (footers) style->PaintFooterCell(*col, {left, footer.Top, right, footer.Bottom});
  }
  const int right = std::max(ColumnsRight(), IndicatorWidth());
  if (right < width) {
    if (inputs) style->PaintStrip(gpInputRow, {right, input.Top, width, input.Bottom});
    if (footers) style->PaintStrip(gpFooter, {right, footer.Top, width, footer.Bottom});
  }
  // The rows' part of the indicator column is drawn with the rows.
  if (PartShown(gpIndicator))
    for (TGridPart part : {gpInputRow, gpFooter, gpHeader})
      if (PartShown(part)) {
        const TRect r = GetPartRect(part);
        style->PaintIndicatorPart(part, {0, r.Top, IndicatorColumnWidth, r.Bottom});
      }
  PaintRows(DataRect());
}

void TCustomGridViewControl::PaintRows(const TRect& Rect) {
  TCanvas* c = Canvas();
  const int rows = RowCount(), line = GridLineWidth(), current = CurrentRow(), width = ClientWidth();
  const int position = LeftPosition();
  const TRect clip = c->ClipRect();
  for (int row = TopRow(), y = Rect.Top; y < Rect.Bottom; ++row) {
    const int height = RowHeightAt(row);
    const int bottom = y + height + line;
    if (bottom > clip.Top && y < clip.Bottom) {
      const bool partial = DrawPartialRowEmpty() && y + height > Rect.Bottom;
      for (int i = 0; i < FColumns->DisplayCount(); ++i) {
        TCustomColumn* col = FColumns->DisplayItems(i);
        const int left = col->Left() - position;
        if (!col->Visible() || left >= width || left + col->Width() <= 0) continue;
        if (row < rows && !partial)
          DrawCell(col->Index(), row);
        else
          DrawEmptyCell(*col, row);
      }
      if (PartShown(gpIndicator)) {
        const bool exists = row < rows && !FInputRowFocused;
        DrawIndicatorCell(row, exists && row == current, exists && (row == current || IsRowSelected(row)));
      }
    }
    y = bottom;
  }
  if (FOptions.Contains(goSelectFullRow)) DrawFocusMark();
  c->ResetClipRect();
}

void TCustomGridViewControl::PaintSlides(const TRect& Rect) {
  TCanvas* c = Canvas();
  const int width = ClientWidth(), line = GridLineWidth(), rows = RowCount(), current = CurrentRow();
  const TRect clip = c->ClipRect();
  int y = 0;
  for (int row = TopRow(); row < rows && y < Rect.Bottom; ++row) {
    const TRect slide{0, y, width, y + FSlideSize};
    if (slide.Bottom + line > clip.Top && slide.Top < clip.Bottom) {
      c->SetClipRect({0, y, width, slide.Bottom + line});
      c->Brush.Style = bsSolid;
      c->Brush.Color = Color();
      c->FillRect(slide);
      for (int i = 0; i < FColumns->DisplayCount(); ++i)
        if (TCustomColumn* col = FColumns->DisplayItems(i); col->Visible()) DrawCell(col->Index(), row);
      c->SetClipRect({0, y, width, slide.Bottom + line});
      if (row == current) {
        c->Brush.Color = clHighlight;
        TRect frame = slide;
        InflateRect(frame, -1, -1);
        c->FrameRect(frame);
        InflateRect(frame, -1, -1);
        c->FrameRect(frame);
      }
      if (line) {
        c->Pen.Color = clBtnFace;
        c->MoveTo(0, slide.Bottom);
        c->LineTo(width, slide.Bottom);
      }
      c->ResetClipRect();
    }
    y = slide.Bottom + line;
  }
  c->Brush.Style = bsSolid;
  c->Brush.Color = Color();
  if (y < Rect.Bottom) c->FillRect({0, y, width, Rect.Bottom});
}

TRect TCustomGridViewControl::CellReach(const TRect& R) const {
  const int line = GridLineWidth();
  const TRect data = DataRect();
  const TRect band = FGridStyle == gsReport ? TRect{0, data.Top, ClientWidth(), data.Bottom} : ClientRect();
  return Common({R.Left, R.Top, R.Right + line, std::min(R.Bottom + line, band.Bottom)}, band);
}

void TCustomGridViewControl::DrawGridLines(const TRect& R, TColor GridColor, bool LastRow, bool FramedCheckBox) {
  TCanvas* c = Canvas();
  c->Pen.Mode = pmCopy;
  c->Pen.Color = FGridLinesStyle == lsFramed && LastRow ? clBlack : GridColor;
  c->MoveTo(R.Left, R.Bottom);
  c->LineTo(R.Right + 1, R.Bottom);
  if (FGridLinesStyle == lsHorizontalOnly) return;
  c->Pen.Color = FramedCheckBox ? clBlack : GridColor;
  c->MoveTo(R.Right, R.Top);
  c->LineTo(R.Right, R.Bottom + (FramedCheckBox ? 1 : 0));
}

void TCustomGridViewControl::DrawCell(int ACol, int ARow) {
  TCustomColumn* col = FColumns->Items(ACol);
  if (!col->Visible()) return;
  TCanvas* c = Canvas();
  const TRect r = GetCellRect(ACol, ARow);
  const TRect reach = CellReach(r);
  if (Common(reach, c->ClipRect()).IsEmpty()) return;

  c->Font = col->Font();
  TColor cellColor = GetSelectedCellColor(ACol, ARow), gridColor = FGridLinesColor;
  const bool selected = IsCellSelected(ACol, ARow);
  TCellState state;
  if (selected) {
    state << csSelected;
    if (FAppearanceOptions.Contains(aoBoldTextSelection)) state << csBoldTextSelection;
  }
  if (HasFocus() && !FAppearanceOptions.Contains(aoHideFocus)) state << csFocused;
  TColumnDisplay* display = col->Display();
  if (display) display->Selected = selected;
  if (OnCellColoring) OnCellColoring(this, ACol, ARow, cellColor, gridColor, state);
  if (FAppearanceOptions.Contains(aoIndicateSortedColumn) && col->Sorted() && !selected)
    cellColor = TGraphicsProvider::Blend(clBlack, cellColor, 10);

  c->SetClipRect(reach);
  if (GridLineWidth() && FGridStyle == gsReport) {
    const bool framedCheckBox = FGridLinesStyle == lsFramed && dynamic_cast<TCheckBoxColumn*>(col);
    DrawGridLines(r, gridColor, ARow == RowCount() - 1, framedCheckBox);
  }
  bool defaultDrawing = true;
  if (OnDrawCellBackground) OnDrawCellBackground(this, ACol, ARow, r, state, defaultDrawing);
  const bool current = ACol == FCurrentColumn && ARow == CurrentRow();
  if (display) {
    display->Canvas = c;
    display->RightToLeft = false;
    display->CellRect = r;
    display->HighlightedTextColor = FHighlightedTextColor;
    display->Current = current;
    if (defaultDrawing) display->PaintBackground(cellColor);
  }
  const TDrawingOptions drawing = col->DrawingOptions();
  if ((drawing == doNormal || drawing == doCustom) && PrepareCellDraw(ACol, ARow, state) && display)
    display->PaintContent();
  if (drawing != doNormal && OnCustomDrawCell) OnCustomDrawCell(this, ACol, ARow, r, state);
  if (!FOptions.Contains(goSelectFullRow) && current && ARow >= TopRow() && HasFocus() && !FInputRowFocused &&
      !FAppearanceOptions.Contains(aoHideFocus))
    TGraphicsProvider::DrawFocus(c, r, FAppearanceOptions.Contains(aoAlphaBlendedSelection));
  c->ResetClipRect();
}

void TCustomGridViewControl::DrawEmptyCell(TCustomColumn& Column, int ARow) {
  TCanvas* c = Canvas();
  const TRect r = GetCellRect(Column.Index(), ARow);
  const TRect reach = CellReach(r);
  if (Common(reach, c->ClipRect()).IsEmpty()) return;
  TColor cellColor = Color(), gridColor = FGridLinesColor;
  if (FAppearanceOptions.Contains(aoIndicateSortedColumn) && Column.Sorted())
    cellColor = TGraphicsProvider::Blend(clBlack, cellColor, 10);
  c->SetClipRect(reach);
  if (OnCellColoring) OnCellColoring(this, Column.Index(), ARow, cellColor, gridColor, {});
  c->Brush.Style = bsSolid;
  c->Brush.Color = cellColor;
  c->FillRect(r);
  if (GridLineWidth()) DrawGridLines(r, gridColor, false, false);
  c->ResetClipRect();
}

void TCustomGridViewControl::DrawIndicatorCell(int ARow, bool Current, bool Selected) {
  TCanvas* c = Canvas();
  const TRect data = DataRect();
  const int top = RowTop(ARow);
  const TRect r{0, top, IndicatorColumnWidth, top + RowHeightAt(ARow) + GridLineWidth()};
  c->SetClipRect(Common(r, {0, data.Top, IndicatorColumnWidth, data.Bottom}));
  StyleDisplay()->PaintIndicatorCell(r, Current, Selected);
  c->ResetClipRect();
}

void TCustomGridViewControl::DrawFocusMark() {
  const int row = CurrentRow();
  if (row < 0 || row < TopRow() || !HasFocus() || FInputRowFocused || FAppearanceOptions.Contains(aoHideFocus)) return;
  const TRect data = DataRect();
  const int top = RowTop(row);
  const TRect mark{std::max(data.Left, IndicatorWidth() - LeftPosition()), top, ColumnsRight() - GridLineWidth(),
                   top + RowHeightAt(row)};
  if (Common(mark, data).IsEmpty()) return;
  TCanvas* c = Canvas();
  const bool solid = FAppearanceOptions.Contains(aoAlphaBlendedSelection);
  c->SetClipRect(TRect{0, data.Top, ClientWidth(), data.Bottom});
  TGraphicsProvider::DrawFocus(c, mark, solid);
  // The row's mark does not say which column the keys act on: the current
  // cell gets one of its own, clear of the row's lines above and below it
  // and of the cell's text at its sides.
  if (FCurrentColumn >= 0 && FCurrentColumn < FColumns->Count() && FColumns->Items(FCurrentColumn)->Visible()) {
    TRect cell = GetCellRect(FCurrentColumn, row);
    InflateRect(cell, -1, -2);
    c->SetClipRect(Common(TRect{mark.Left + 1, data.Top, mark.Right - 1, data.Bottom}, data));
    TGraphicsProvider::DrawFocus(c, cell, solid);
  }
  c->ResetClipRect();
}
