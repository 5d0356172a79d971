#include "grid/Cells.h"

#include "core/Exception.h"
#include "grid/CellClasses.h"
#include "grid/Columns.h"
#include "grid/VirtualColumn.h"

#include <algorithm>

namespace {

[[noreturn]] void ListIndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const TFormatSettings kDefaultSettings;
const std::string kNoHint;

}  // namespace

// ---------------------------------------------------------------- TCell

void TCell::SetColor(TColor Value) {
  FColor = Value;
  if (!FSuppressNotify) Changed();
}

const std::string& TCell::Hint() const { return FHint ? *FHint : kNoHint; }

void TCell::SetHint(const std::string& Value) {
  if (Value.empty())
    FHint.reset();
  else
    FHint = std::make_unique<std::string>(Value);
}

TColor TCell::GetSelectedCellColor() const {
  ICellsGrid* grid = FOwner ? FOwner->Grid() : nullptr;
  return grid ? grid->GetSelectedCellColor(FColumn, FRow) : FColor;
}

TColor TCell::GetSelectedTextColor() const {
  ICellsGrid* grid = FOwner ? FOwner->Grid() : nullptr;
  return grid ? grid->GetSelectedTextColor(FColumn, FRow) : clWindowText;
}

void TCell::SetAsBoolean(bool) { Changed(); }
void TCell::SetAsDateTime(TDateTime) { Changed(); }
void TCell::SetAsFloat(double) { Changed(); }
void TCell::SetAsInteger(std::int32_t) { Changed(); }
void TCell::SetAsString(const std::string&) { Changed(); }

void TCell::Changed() {
  if (FOwner && !FSuppressNotify) FOwner->Change(FColumn, FRow);
}

const TFormatSettings& TCell::FormatSettings() const { return FOwner ? FOwner->FormatSettings : kDefaultSettings; }

// ---------------------------------------------------------------- TCells

TCells::TCellList& TCells::TCellList::operator=(TCellList&& other) noexcept {
  if (this != &other) {
    for (TCell* cell : Cells) delete cell;
    Cells = std::move(other.Cells);
    other.Cells.clear();
  }
  return *this;
}

TCells::TCellList::~TCellList() {
  for (TCell* cell : Cells) delete cell;
}

TCells::TCells(ICellsGrid* Grid, TColumns* Columns) : FGrid(Grid), FColumns(Columns) {}

TCells::~TCells() = default;

void TCells::CheckIndex(int index, int count) const {
  if (index < 0 || index >= count) ListIndexError(index);
}

TCell* TCells::GetCell(int ACol, int ARow) {
  CheckIndex(ARow, FRowCount);
  CheckIndex(ACol, ColCount());
  TCell* cell = FLists[static_cast<size_t>(ACol)].Cells[static_cast<size_t>(ARow)];
  cell->FColumn = ACol;
  cell->FRow = ARow;
  return cell;
}

TCell* TCells::NewCell(std::uint8_t kind, TColor color) {
  TCell* cell;
  switch (kind) {
    case 0: cell = new TIncrementCell(this); break;
    case 3: cell = new TBooleanCell(this); break;
    case 4: cell = new TDateTimeCell(this); break;
    case 5: cell = new TFloatCell(this); break;
    case 6: cell = new TIntegerCell(this); break;
    case 9: cell = new TVirtualCell(this); break;
    default: cell = new TStringCell(this); break;
  }
  // The column's colour arrives without a change report.
  cell->SetColor(color);
  cell->FSuppressNotify = false;
  return cell;
}

TCells::TCellList TCells::MakeList(int columnIndex) {
  const TCustomColumn* column = FColumns->Items(columnIndex);
  TCellList list;
  list.Cells.reserve(static_cast<size_t>(FRowCount));
  for (int r = 0; r < FRowCount; ++r) list.Cells.push_back(NewCell(column->Kind(), column->Color()));
  return list;
}

void TCells::ColumnsChanged(int Action, int Index, int Index2) {
  switch (Action) {
    case 0:
      FLists.push_back(MakeList(FColumns->Count() - 1));
      break;
    case 1:
      CheckIndex(Index, ColCount());
      FLists.erase(FLists.begin() + Index);
      if (FLists.empty()) FRowCount = 0;
      // Sorted must not name another column than the one sorted.
      if (FSorted && Index <= FSortedColumn) FSorted = false;
      break;
    case 2:
      while (!FLists.empty()) ColumnsChanged(1, 0, 0);
      break;
    case 3: {
      if (Index < 0 || Index > ColCount()) ListIndexError(Index);
      TCellList list = MakeList(Index);
      FLists.insert(FLists.begin() + Index, std::move(list));
      FSorted = false;
      break;
    }
    case 4: {
      CheckIndex(Index, ColCount());
      CheckIndex(Index2, ColCount());
      if (Index == Index2) break;
      auto from = FLists.begin() + Index, to = FLists.begin() + Index2;
      if (Index < Index2)
        std::rotate(from, from + 1, to + 1);
      else
        std::rotate(to, from, from + 1);
      // The lists between move one place towards Index.
      const bool shifted = Index < Index2 ? FSortedColumn >= Index && FSortedColumn <= Index2
                                          : FSortedColumn >= Index2 && FSortedColumn <= Index;
      if (FSorted && shifted) FSorted = false;
      break;
    }
    default:
      break;
  }
}

void TCells::AddRows(int Count) {
  if (Count <= 0) return;
  for (TCellList& list : FLists) list.Cells.reserve(static_cast<size_t>(FRowCount) + static_cast<size_t>(Count));
  // Column by column, so that a column's cells lie close together in memory
  // and reading one column (as sorting does) stays near in the caches.
  size_t c = 0;
  try {
    for (; c < FLists.size(); ++c) {
      const TCustomColumn* column = FColumns->Items(static_cast<int>(c));
      const std::uint8_t kind = column->Kind();
      const TColor color = column->Color();
      for (int r = 0; r < Count; ++r) FLists[c].Cells.push_back(NewCell(kind, color));
    }
  } catch (...) {
    // Every list keeps RowCount cells: take back what was added.
    for (size_t k = 0; k <= c && k < FLists.size(); ++k) {
      std::vector<TCell*>& cells = FLists[k].Cells;
      while (cells.size() > static_cast<size_t>(FRowCount)) {
        delete cells.back();
        cells.pop_back();
      }
    }
    throw;
  }
  FRowCount += Count;
  FSorted = false;
}

void TCells::InsertRow(int Index) {
  if (Index < 0 || Index > FRowCount) ListIndexError(Index);
  for (TCellList& list : FLists) list.Cells.reserve(static_cast<size_t>(FRowCount) + 1);
  for (size_t c = 0; c < FLists.size(); ++c) {
    const TCustomColumn* column = FColumns->Items(static_cast<int>(c));
    TCell* cell;
    try {
      cell = NewCell(column->Kind(), column->Color());
    } catch (...) {
      for (size_t k = 0; k < c; ++k) {
        delete FLists[k].Cells[static_cast<size_t>(Index)];
        FLists[k].Cells.erase(FLists[k].Cells.begin() + Index);
      }
      throw;
    }
    FLists[c].Cells.insert(FLists[c].Cells.begin() + Index, cell);
  }
  ++FRowCount;
  FSorted = false;
}

void TCells::DeleteRow(int Index) {
  CheckIndex(Index, FRowCount);
  for (TCellList& list : FLists) {
    delete list.Cells[static_cast<size_t>(Index)];
    list.Cells.erase(list.Cells.begin() + Index);
  }
  --FRowCount;
}

void TCells::MoveRow(int From, int To) {
  CheckIndex(From, FRowCount);
  CheckIndex(To, FRowCount);
  if (From != To) {
    for (TCellList& list : FLists) {
      auto from = list.Cells.begin() + From, to = list.Cells.begin() + To;
      if (From < To)
        std::rotate(from, from + 1, to + 1);
      else
        std::rotate(to, from, from + 1);
    }
  }
  FSorted = false;
}

void TCells::SwapRows(int A, int B) {
  CheckIndex(A, FRowCount);
  CheckIndex(B, FRowCount);
  for (TCellList& list : FLists) std::swap(list.Cells[static_cast<size_t>(A)], list.Cells[static_cast<size_t>(B)]);
}

void TCells::ClearRows() {
  for (TCellList& list : FLists) list = TCellList();
  FRowCount = 0;
  FSorted = false;
}

void TCells::ApplyOrder(const std::vector<std::int32_t>& order) {
  std::vector<TCell*> moved(order.size());
  for (TCellList& list : FLists) {
    for (size_t i = 0; i < order.size(); ++i) moved[i] = list.Cells[static_cast<size_t>(order[i])];
    list.Cells.swap(moved);  // the old list serves the next column
  }
}

void TCells::Change(int ACol, int ARow) {
  if (OnChange) OnChange(*this, ACol, ARow);
  FSorted = false;
}

int TCells::Compare(TCell* Cell1, TCell* Cell2) {
  int compare = 0;
  if (OnCompare) OnCompare(*this, Cell1, Cell2, compare);
  return compare;
}
