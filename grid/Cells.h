#pragma once
/** The grid's cell store: one typed cell object per column and row, held
 *  column by column, with the order of the last sort. Every cell answers for
 *  its value as Boolean, date-time, float, integer and text, and reports its
 *  changes to the store, which passes them to the grid. */

#include "grid/Sorting.h"
#include "ui/Canvas.h"
#include "ui/Colors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCells;
class TColumns;

/** Days since 1899-12-30; the fraction is the time of day. */
using TDateTime = double;

/** How cells write and read numbers and dates as text. Each store has one,
 *  with fixed defaults, so that results are the same on every machine. */
struct TFormatSettings {
  char DecimalSeparator = '.';
  /** Letters y, m, d give the order of the parts; the first other character
   *  separates them. */
  std::string ShortDateFormat = "yyyy-mm-dd";
  /** Letters h, n (minutes), s; the first other character separates them. */
  std::string LongTimeFormat = "hh:nn:ss";
};

/** What a cell asks its grid: the colours of a selected cell at a position.
 *  The grid engine implements it. */
class ICellsGrid {
public:
  virtual ~ICellsGrid() = default;
  virtual TColor GetSelectedCellColor(int ACol, int ARow) = 0;
  virtual TColor GetSelectedTextColor(int ACol, int ARow) = 0;
};

/** One cell of the store. Its value forms are abstract here; each typed class
 *  stores one form and converts to the others by fixed rules. A cell learns
 *  its position only when the store's GetCell fetches it. */
class TCell {
public:
  explicit TCell(TCells* Owner) : FOwner(Owner) {}
  virtual ~TCell() = default;
  TCell(const TCell&) = delete;
  TCell& operator=(const TCell&) = delete;

  TCells* Owner() const { return FOwner; }
  TFontStyles FontStyle() const { return FFontStyle; }
  void SetFontStyle(TFontStyles Value) { FFontStyle = static_cast<std::uint8_t>(Value); }
  TColor Color() const { return FColor; }
  /** Stores the colour and, unless SuppressNotify is set, reports a change. */
  void SetColor(TColor Value);
  /** The position of the last fetch through TCells::GetCell. */
  int Column() const { return FColumn; }
  int Row() const { return FRow; }
  /** Set from creation until the store has placed the cell. */
  bool SuppressNotify() const { return FSuppressNotify; }
  void SetSuppressNotify(bool Value) { FSuppressNotify = Value; }
  const std::string& Hint() const;
  void SetHint(const std::string& Value);

  /** The background and text colours of the cell drawn as selected, from the grid. */
  virtual TColor GetSelectedCellColor() const;
  virtual TColor GetSelectedTextColor() const;

  virtual bool AsBoolean() const = 0;
  virtual TDateTime AsDateTime() const = 0;
  virtual double AsFloat() const = 0;
  virtual std::int32_t AsInteger() const = 0;
  virtual std::string AsString() const = 0;
  /** The base writers only report the change; typed cells store the
   *  converted value first. */
  virtual void SetAsBoolean(bool Value);
  virtual void SetAsDateTime(TDateTime Value);
  virtual void SetAsFloat(double Value);
  virtual void SetAsInteger(std::int32_t Value);
  virtual void SetAsString(const std::string& Value);

protected:
  /** Reports a change of the cell at its last fetched position. */
  void Changed();
  const TFormatSettings& FormatSettings() const;

private:
  friend class TCells;
  // Kept small: a store holds one of these per cell.
  TCells* FOwner;
  std::unique_ptr<std::string> FHint;
  TColor FColor = clWindow;
  std::int32_t FColumn = 0;
  std::int32_t FRow = 0;
  std::uint8_t FFontStyle = 0;
  bool FSuppressNotify = true;
};

/** The change report: a cell at (ACol, ARow) was written. */
using TCellsChangeEvent = std::function<void(TCells& Sender, int ACol, int ARow)>;
/** The compare report of custom sorting: Compare below zero puts Cell1 first. */
using TCellsCompareEvent = std::function<void(TCells& Sender, TCell* Cell1, TCell* Cell2, int& Compare)>;

/** The store: one list of cells per column, in creation order of the
 *  columns, each holding exactly RowCount cells. The cell class of a column
 *  follows its Kind: 0 running number, 3 Boolean, 4 date-time, 5 float,
 *  6 integer, 7 text, 9 callbacks; any other kind holds text. */
class TCells {
public:
  TCells(ICellsGrid* Grid, TColumns* Columns);
  ~TCells();
  TCells(const TCells&) = delete;
  TCells& operator=(const TCells&) = delete;

  ICellsGrid* Grid() const { return FGrid; }
  TColumns* Columns() const { return FColumns; }
  int ColCount() const { return static_cast<int>(FLists.size()); }
  int RowCount() const { return FRowCount; }
  /** True while the rows stand in the order of the last sort. */
  bool Sorted() const { return FSorted; }
  int SortedColumn() const { return FSortedColumn; }
  TSortKind SortKind() const { return FSortKind; }

  TFormatSettings FormatSettings;
  TCellsChangeEvent OnChange;
  TCellsCompareEvent OnCompare;

  /** The cell at (ACol, ARow), told its position. Either index outside the
   *  store raises EListError "List index out of bounds (%d)". */
  TCell* GetCell(int ACol, int ARow);
  /** Keeps the column lists in step with the columns: 0 appends a list for
   *  the last column, 1 deletes list Index, 2 deletes every list, 3 inserts a
   *  list at Index, 4 moves list Index to Index2; others do nothing. */
  void ColumnsChanged(int Action, int Index, int Index2);

  void AddRows(int Count);
  void InsertRow(int Index);
  void DeleteRow(int Index);
  void MoveRow(int From, int To);
  void SwapRows(int A, int B);
  void ClearRows();

  /** Sorts every row by column ACol. Sorting the sorted column again in the
   *  other direction only reverses the rows. Every key is read before any
   *  row moves, so a key that cannot be read raises its conversion error and
   *  leaves the rows and the sort state as they were. */
  void Sort(int ACol, TSortType SortType, TSortKind Direction);
  void ReverseRows();

  /** The change report used by the cells: raises OnChange, then clears Sorted. */
  void Change(int ACol, int ARow);
  /** The compare report of stCustom: OnCompare's answer, 0 without a handler. */
  int Compare(TCell* Cell1, TCell* Cell2);

private:
  /** One column's cells in row order. It owns them; plain pointers keep row
   *  moves plain memory moves. */
  struct TCellList {
    TCellList() = default;
    TCellList(TCellList&& other) noexcept : Cells(std::move(other.Cells)) {}
    TCellList& operator=(TCellList&& other) noexcept;
    ~TCellList();
    std::vector<TCell*> Cells;
  };

  TCell* NewCell(std::uint8_t kind, TColor color);
  TCellList MakeList(int columnIndex);
  void CheckIndex(int index, int count) const;
  /** Puts every column's cells into the row order given (order[i] is the old row of new row i). */
  void ApplyOrder(const std::vector<std::int32_t>& order);
  std::vector<std::int32_t> SortedOrder(int col, TSortType sortType, TSortKind direction);

  ICellsGrid* FGrid;
  TColumns* FColumns;
  std::vector<TCellList> FLists;
  int FRowCount = 0;
  bool FSorted = false;
  int FSortedColumn = -1;
  TSortKind FSortKind = skAscending;
};
