#include "grid/Columns.h"

#include "core/Exception.h"

#include <algorithm>
#include <cmath>

namespace {

IColumnElementFactory* gElementFactory = nullptr;

[[noreturn]] void ListIndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

template <class T> void RotateTo(std::vector<T>& items, int from, int to) {
  auto a = items.begin() + from, b = items.begin() + to;
  if (from < to)
    std::rotate(a, a + 1, b + 1);
  else if (from > to)
    std::rotate(b, a, a + 1);
}

}  // namespace

IColumnElementFactory* SetColumnElementFactory(IColumnElementFactory* Factory) {
  return std::exchange(gElementFactory, Factory);
}

IColumnElementFactory* ColumnElementFactory() { return gElementFactory; }

// ---------------------------------------------------------------- TColumnPart

TColumnPart::TColumnPart(TCustomColumn* Column, TColor Color)
    : FColumn(Column), FColor(Color), FGlyph(std::make_unique<TBitmap>()) {}

TColumnPart::~TColumnPart() = default;

void TColumnPart::SetCaption(const std::string& Value) {
  FCaption = Value;
  if (FColumn) FColumn->PartChanged(true);
}

void TColumnPart::SetColor(TColor Value) {
  FColor = Value;
  if (FColumn) FColumn->PartChanged(false);
}

void TColumnPart::SetDisplayMode(TDisplayMode Value) {
  FDisplayMode = Value;
  Changed();
}

void TColumnPart::SetGlyph(const TBitmap& Value) {
  FGlyph->Assign(Value);
  if (!FGlyph->Empty()) {
    // The bottom-left pixel names the colour left out when drawing.
    const std::uint8_t* px = FGlyph->ScanLine(FGlyph->Height() - 1);
    FGlyph->SetTransparentColor(RGB(px[2], px[1], px[0]));
    FGlyph->SetTransparent(true);
  }
  Changed();
}

void TColumnPart::Assign(const TColumnPart& Source) {
  SetCaption(Source.FCaption);
  SetColor(Source.FColor);
  SetDisplayMode(Source.FDisplayMode);
  SetGlyph(*Source.FGlyph);
}

void TColumnPart::Changed() {
  if (OnChange) OnChange(*this);
}

void TColumnFooter::SetFormulaKind(TFormulaKind Value) {
  FFormulaKind = Value;
  Changed();
}

void TColumnFooter::Assign(const TColumnPart& Source) {
  TColumnPart::Assign(Source);
  if (auto* footer = dynamic_cast<const TColumnFooter*>(&Source)) SetFormulaKind(footer->FFormulaKind);
}

void TSlideBounds::Assign(const TSlideBounds& Source) {
  SetHeight(Source.FHeight);
  SetLeft(Source.FLeft);
  SetTop(Source.FTop);
  SetWidth(Source.FWidth);
}

// ---------------------------------------------------------------- TCustomColumn

TCustomColumn::TCustomColumn()
    : FFooter(std::make_unique<TColumnFooter>(this)), FHeader(std::make_unique<TColumnHeader>(this)) {
  FFont.OnChange = [this] {
    if (FTakingParentFont) return;
    FParentFont = false;
    Changed(ccAppearance);
  };
  auto partChanged = [this](TColumnPart&) { Changed(ccAppearance); };
  FHeader->OnChange = partChanged;
  FFooter->OnChange = partChanged;
}

TCustomColumn::~TCustomColumn() = default;

IColumnsGrid* TCustomColumn::Grid() const { return FColumns ? FColumns->Grid() : nullptr; }

bool TCustomColumn::Loading() const {
  IColumnsGrid* grid = Grid();
  return grid && grid->Loading();
}

void TCustomColumn::Changed(TColumnChange Kind) {
  IColumnsGrid* grid = Grid();
  if (grid && !grid->Loading()) grid->ColumnChanged(*this, Kind);
}

void TCustomColumn::NotifyListeners(int Flag) {
  // A listener may remove itself: call a copy.
  const auto listeners = FListeners;
  for (const auto& [data, listener] : listeners) listener(*this, Flag);
}

void TCustomColumn::AddChangeListener(void* Data, TColumnListener Listener) {
  FListeners.emplace_back(Data, std::move(Listener));
}

void TCustomColumn::RemoveChangeListener(void* Data) {
  std::erase_if(FListeners, [Data](const auto& entry) { return entry.first == Data; });
}

void TCustomColumn::PartChanged(bool captionChanged) {
  IColumnsGrid* grid = Grid();
  if (grid && !grid->Loading()) grid->InvalidateColumn(*this);
  if (captionChanged) NotifyListeners(lfNameOrCaption);
}

int TCustomColumn::Index() const { return FColumns ? FColumns->IndexOf(this) : -1; }

void TCustomColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Changed(ccAppearance);
}

void TCustomColumn::SetColor(TColor Value) {
  FColor = Value;
  NotifyListeners(lfColorOrOptions);
  Changed(ccAppearance);
}

void TCustomColumn::SetCursor(TCursor Value) {
  FCursor = Value;
  Changed(ccAppearance);
}

void TCustomColumn::SetDrawingOptions(TDrawingOptions Value) {
  FDrawingOptions = Value;
  Changed(ccAppearance);
}

void TCustomColumn::SetFont(const TFont& Value) {
  // The font's change handler clears ParentFont and reports the change.
  FFont.Assign(Value);
}

void TCustomColumn::SetInputCaption(const std::string& Value) {
  FInputCaption = Value;
  Changed(ccAppearance);
}

void TCustomColumn::SetVerticalAlignment(TVerticalAlignment Value) {
  FVerticalAlignment = Value;
  Changed(ccAppearance);
}

void TCustomColumn::SetOptions(TColumnOptions Value) {
  if (Value.Contains(coSearchColumn) && !FOptions.Contains(coSearchColumn) && FColumns)
    for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->FOptions >> coSearchColumn;
  const bool stillAutoSize = FOptions.Contains(coAutoSize) && Value.Contains(coAutoSize);
  FOptions = Value;
  if (!stillAutoSize && FColumns) FColumns->ShareWidth(this, true);
  Changed(ccAppearance);
  NotifyListeners(lfColorOrOptions);
}

void TCustomColumn::SetParentFont(bool Value) {
  FParentFont = Value;
  IColumnsGrid* grid = Grid();
  if (Value && grid) {
    FTakingParentFont = true;
    FFont.Assign(grid->Font());
    FTakingParentFont = false;
  }
}

void TCustomColumn::SetPosition(int Value) {
  if (FColumns && !Loading()) {
    const int from = FColumns->DisplayIndexOf(this);
    if (from >= 0) {
      Value = std::clamp(Value, 0, FColumns->DisplayCount() - 1);
      FColumns->MoveDisplay(from, Value);
    }
  }
  FPosition = Value;
}

void TCustomColumn::SetSorted(bool Value) {
  if (Value && FColumns) {
    for (int i = 0; i < FColumns->Count(); ++i) {
      TCustomColumn* column = FColumns->Items(i);
      if (column->FSorted) column->SetSorted(false);
    }
  }
  FSorted = Value;
  Changed(Value ? ccSortingOn : ccSortingOff);
}

void TCustomColumn::SetSortKind(TSortKind Value) {
  FSortKind = Value;
  Changed(ccSortOrder);
}

void TCustomColumn::SetSortType(TSortType Value) {
  FSortType = Value;
  Changed(ccSortOrder);
}

void TCustomColumn::SetVisible(bool Value) {
  FVisible = Value;
  if (FColumns && !Loading()) {
    FColumns->UpdateLeftEdges();
    FColumns->ShareWidth(nullptr, false);
    Changed(ccVisibility);
  }
}

void TCustomColumn::SetWidth(int Value) {
  FWidth = std::max(Value, MinColumnWidth);
  if (FColumns && !Loading()) FColumns->UpdateLeftEdges();
  Changed(ccWidth);
  if (FColumns) FColumns->ShareWidth(this, false);
  if (IColumnsGrid* grid = Grid(); grid && grid->Designing()) FDefaultWidth = FWidth;
}

void TCustomColumn::SetName(const std::string& Value) {
  FName = Value;
  NotifyListeners(lfNameOrCaption);
}

void TCustomColumn::SetInputValue(const std::string& Value) {
  FInputValue = Value;
  Changed(ccInputValue);
}

bool TCustomColumn::CanEdit() const {
  return FOptions.Contains(coEditing) && (EditCapabilities() & 1u) != 0 && FEnabled;
}

void TCustomColumn::Assign(const TCustomColumn& Source) {
  SetAlignment(Source.FAlignment);
  SetColor(Source.FColor);
  SetCursor(Source.FCursor);
  SetDefaultValue(Source.FDefaultValue);
  SetDrawingOptions(Source.FDrawingOptions);
  SetFont(Source.FFont);
  SetFooter(*Source.FFooter);
  SetHeader(*Source.FHeader);
  SetInputCaption(Source.FInputCaption);
  SetInputValue(Source.FInputValue);
  SetOptions(Source.FOptions);
  SetParentFont(Source.FParentFont);
  SetPosition(Source.FPosition);
  SetSlideBounds(Source.FSlideBounds);
  SetSorted(Source.FSorted);
  SetSortKind(Source.FSortKind);
  SetVerticalAlignment(Source.FVerticalAlignment);
  SetVisible(Source.FVisible);
  SetWidth(Source.FWidth);
  SetWrapKind(Source.FWrapKind);
}

void TCustomColumn::CreateElements() {
  // Virtual choices cannot be asked from the constructor, so the elements
  // are made when the column joins its collection.
  IColumnElementFactory* factory = ColumnElementFactory();
  if (!factory) return;
  if (!FEditor && EditorClass() != ecNone) {
    FEditor = factory->CreateEditor(EditorClass(), *this);
    if (FEditor) EditorCreated();
  }
  if (!FDisplay && DisplayClass() != dcNone) FDisplay = factory->CreateDisplay(DisplayClass(), *this);
  if (!FPlay && PlayClass() != pcNone) FPlay = factory->CreatePlay(PlayClass(), *this);
}

// ---------------------------------------------------------------- TColumns

TColumns::~TColumns() {
  FDisplay.clear();
  while (!FItems.empty()) FItems.pop_back();
}

TCustomColumn* TColumns::Items(int Index) const {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  return FItems[static_cast<size_t>(Index)].get();
}

int TColumns::IndexOf(const TCustomColumn* Column) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == Column) return static_cast<int>(i);
  return -1;
}

TCustomColumn* TColumns::Join(TCustomColumn* column) {
  column->CreateElements();
  if (column->FParentFont) column->SetParentFont(true);
  // A column made in code has no position of its own (-1) and goes last,
  // also after a display move has numbered the others.
  auto after = column->FPosition < 0 ? FDisplay.end()
                                     : std::find_if(FDisplay.begin(), FDisplay.end(), [&](const TCustomColumn* c) {
                                         return c->FPosition > column->FPosition;
                                       });
  FDisplay.insert(after, column);
  UpdateLeftEdges();
  return column;
}

TCustomColumn* TColumns::Add(std::unique_ptr<TCustomColumn> Column) {
  TCustomColumn* column = Column.get();
  column->FColumns = this;
  FItems.push_back(std::move(Column));
  if (FGrid) FGrid->ColumnsChanged(caAdded, Count() - 1, 0);
  return Join(column);
}

TCustomColumn* TColumns::Insert(int Index, std::unique_ptr<TCustomColumn> Column) {
  if (Index < 0 || Index > Count()) ListIndexError(Index);
  TCustomColumn* column = Column.get();
  column->FColumns = this;
  FItems.insert(FItems.begin() + Index, std::move(Column));
  if (FGrid) FGrid->ColumnsChanged(caInserted, Index, 0);
  return Join(column);
}

void TColumns::Move(int CurIndex, int NewIndex) {
  if (CurIndex < 0 || CurIndex >= Count()) ListIndexError(CurIndex);
  if (NewIndex < 0 || NewIndex >= Count()) ListIndexError(NewIndex);
  if (CurIndex == NewIndex) return;
  RotateTo(FItems, CurIndex, NewIndex);
  if (FGrid) FGrid->ColumnsChanged(caMoved, CurIndex, NewIndex);
}

void TColumns::Delete(int Index) {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  std::unique_ptr<TCustomColumn> column = std::move(FItems[static_cast<size_t>(Index)]);
  FItems.erase(FItems.begin() + Index);
  std::erase(FDisplay, column.get());
  // Reported while the column still exists: the grid may end its edit first.
  if (FGrid) FGrid->ColumnsChanged(caDeleted, Index, 0);
  column.reset();
  UpdateLeftEdges();
}

void TColumns::Clear() {
  if (FItems.empty()) return;
  std::vector<std::unique_ptr<TCustomColumn>> columns = std::move(FItems);
  FItems.clear();
  FDisplay.clear();
  if (FGrid) FGrid->ColumnsChanged(caCleared, 0, 0);
  while (!columns.empty()) columns.pop_back();
}

TCustomColumn* TColumns::DisplayItems(int Position) const {
  if (Position < 0 || Position >= DisplayCount()) ListIndexError(Position);
  return FDisplay[static_cast<size_t>(Position)];
}

int TColumns::DisplayIndexOf(const TCustomColumn* Column) const {
  auto found = std::find(FDisplay.begin(), FDisplay.end(), Column);
  return found == FDisplay.end() ? -1 : static_cast<int>(found - FDisplay.begin());
}

void TColumns::MoveDisplay(int From, int To) {
  if (From < 0 || From >= DisplayCount()) ListIndexError(From);
  if (To < 0 || To >= DisplayCount()) ListIndexError(To);
  RotateTo(FDisplay, From, To);
  for (size_t i = 0; i < FDisplay.size(); ++i) FDisplay[i]->FPosition = static_cast<int>(i);
  UpdateLeftEdges();
  FDisplay[static_cast<size_t>(To)]->Changed(ccPosition);
}

int TColumns::VisibleCount() const {
  return static_cast<int>(std::count_if(FDisplay.begin(), FDisplay.end(), [](auto* c) { return c->FVisible; }));
}

int TColumns::VisibleWidth() const {
  int width = 0;
  for (const TCustomColumn* c : FDisplay)
    if (c->FVisible) width += c->FWidth;
  return width;
}

void TColumns::UpdateLeftEdges() {
  int x = FGrid ? FGrid->IndicatorWidth() : 0;
  int visible = 0;
  for (TCustomColumn* c : FDisplay) {
    if (c->FVisible) {
      c->FLeft = x;
      c->FVisibleIndex = visible++;
      x += c->FWidth;
    } else {
      c->FVisibleIndex = -1;
    }
  }
}

void TColumns::ShareWidth(TCustomColumn* Start, bool IncludeStart) {
  if (!FGrid || FGrid->Loading()) return;
  const int indicator = FGrid->IndicatorWidth();
  size_t first = 0;
  int used = 0;
  if (Start) {
    // Walks the display order: the width used so far lies left of Start there.
    const int at = DisplayIndexOf(Start);
    if (at < 0) return;
    first = static_cast<size_t>(at) + (IncludeStart ? 0 : 1);
    used = Start->FLeft - indicator + (!IncludeStart && Start->FVisible ? Start->FWidth : 0);
  }
  const int available = FGrid->ColumnsAreaWidth() - used;
  int autoWidth = 0, fixedWidth = 0;
  for (size_t i = first; i < FDisplay.size(); ++i) {
    const TCustomColumn* c = FDisplay[i];
    if (!c->FVisible) continue;
    (c->FOptions.Contains(coAutoSize) ? autoWidth : fixedWidth) += c->FWidth;
  }
  if (autoWidth == 0) return;
  for (size_t i = first; i < FDisplay.size(); ++i) {
    TCustomColumn* c = FDisplay[i];
    if (!c->FVisible || !c->FOptions.Contains(coAutoSize)) continue;
    const double share = (available - fixedWidth) * (static_cast<double>(c->FWidth) / autoWidth);
    c->FWidth = std::max(static_cast<int>(std::nearbyint(share)), MinColumnWidth);
  }
  UpdateLeftEdges();
}
