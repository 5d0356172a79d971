#pragma once
/** The grid engine: columns and grid-wide settings, the layout of the grid's
 *  parts (data area, header, input row, footer, indicator column, or one
 *  slide per row), both scroll bars, the current cell and the row selection.
 *  The data side supplies rows, texts, colours and heights through the
 *  engine's abstract operations. */

#include "grid/Cells.h"
#include "grid/Columns.h"
#include "grid/ScrollView.h"
#include "grid/SharedCommon.h"
#include "ui/Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TStyleDisplay;

enum TGridOption {
  goCanHideColumn,
  goDisableColumnMoving,
  goFooter,
  goGrid,
  goHeader,
  goIndicator,
  goInput,
  goMultiSelect,
  goRowResizing,
  goSelectFullRow,
  goUseDefaultValues
};
using TGridOptions = TEnumSet<TGridOption>;

enum TAppearanceOption {
  aoAlphaBlendedSelection,
  aoBoldTextSelection,
  aoHideFocus,
  aoHideSelection,
  aoHintMarks,
  aoIndicateSelectedCell,
  aoIndicateSortedColumn
};
using TAppearanceOptions = TEnumSet<TAppearanceOption>;

/** gsReport: rows and columns; gsSlides: one panel per row, the columns
 *  placed in it by their SlideBounds. */
enum TGridStyle { gsReport, gsSlides };
enum THeaderStyle { hsAuto, hsFlatBorders, hsOldStyle, hsOutlook };
enum TGridLinesStyle { lsNormal, lsFramed, lsHorizontalOnly };
enum TSelectionMoveDirection { mdNone, mdUp, mdDown, mdLeft, mdRight };

enum TCellStateItem { csBoldTextSelection, csFocused, csSelected };
using TCellState = TSet<TCellStateItem>;

/** The parts of the grid, numbered as the engine's operations know them. */
enum TGridPart { gpNone = 0, gpDataArea = 1, gpFooter = 2, gpHeader = 3, gpIndicator = 4, gpInputRow = 5 };

/** The engine's state bits. */
enum TGridStateBit {
  gbColumnResizing = 0,  // painting is skipped meanwhile
  gbHeaderDown = 1,
  gbColumnDragging = 2,
  gbEditing = 3,
  gbInputEditing = 6,
  gbMultiSelect = 7
};
using TGridState = TSet<TGridStateBit>;

/** A cell by column (creation index) and row; -1 for none. */
struct TGridCell {
  int Col = -1;
  int Row = -1;
  friend bool operator==(const TGridCell&, const TGridCell&) = default;
};

using TCellEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TColumnResizeEvent = std::function<void(TObject* Sender, int ACol)>;
using TSortColumnEvent = std::function<void(TObject* Sender, int ACol, bool Ascending)>;
/** CellColor and GridColor arrive holding what the grid would use. */
using TCellColoringEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor& CellColor,
                                              TColor& GridColor, TCellState CellState)>;
/** Setting DefaultDrawing to False keeps the grid from filling the cell's background. */
using TDrawCellBackgroundEvent = std::function<void(TObject* Sender, int ACol, int ARow, const TRect& CellRect,
                                                    TCellState CellState, bool& DefaultDrawing)>;
using TCustomDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& CellRect, TCellState CellState)>;

/** Width of the indicator column. */
constexpr int IndicatorColumnWidth = 12;

/** The grid engine. Column indexes are creation indexes, rows are 0-based.
 *  Changes mark areas dirty; painting happens when the event loop runs.
 *  It paints the rows cell by cell through the columns' display elements
 *  and the header, input row, footer and indicator through the style
 *  display of its HeaderStyle. */
class TCustomGridViewControl : public TScrollView, public IColumnsGrid, public ICellsGrid {
public:
  explicit TCustomGridViewControl(TComponent* AOwner);
  ~TCustomGridViewControl() override;

  // Settings.
  TAppearanceOptions AppearanceOptions() const { return FAppearanceOptions; }
  void SetAppearanceOptions(TAppearanceOptions Value);
  /** Scroll the current row into view when a cell is selected. */
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value) { FAutoScroll = Value; }
  /** bsSingle gives the window a sunken client edge; bsNone none. */
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TColumns& Columns() { return *FColumns; }
  const TColumns& Columns() const { return *FColumns; }
  bool EnableVisualStyles() const { return FEnableVisualStyles; }
  void SetEnableVisualStyles(bool Value);
  TColor GridLinesColor() const { return FGridLinesColor; }
  void SetGridLinesColor(TColor Value);
  TGridLinesStyle GridLinesStyle() const { return FGridLinesStyle; }
  void SetGridLinesStyle(TGridLinesStyle Value);
  TGridStyle GridStyle() const { return FGridStyle; }
  void SetGridStyle(TGridStyle Value);
  int HeaderSize() const { return FHeaderSize; }
  void SetHeaderSize(int Value);
  THeaderStyle HeaderStyle() const { return FHeaderStyle; }
  void SetHeaderStyle(THeaderStyle Value);
  bool HideScrollBar() const { return FHideScrollBar; }
  void SetHideScrollBar(bool Value);
  TColor HighlightedTextColor() const { return FHighlightedTextColor; }
  void SetHighlightedTextColor(TColor Value);
  int InputSize() const { return FInputSize; }
  void SetInputSize(int Value);
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  /** The default row height; values below 1 are ignored. */
  int RowSize() const { return FRowSize; }
  void SetRowSize(int Value);
  TSelectionMoveDirection SelectionMoveDirection() const { return FSelectionMoveDirection; }
  void SetSelectionMoveDirection(TSelectionMoveDirection Value) { FSelectionMoveDirection = Value; }
  int SlideSize() const { return FSlideSize; }
  void SetSlideSize(int Value);

  // State.
  int CurrentColumn() const { return FCurrentColumn; }
  /** The current row: -1 only while there are no rows; a row past the last
   *  one (rows were deleted) is pulled back to the last row first. */
  virtual int CurrentRow() const;
  /** The cell whose in-place editor is open, (-1, -1) when none. */
  TGridCell EditedCell() const { return FEditedCell; }
  int InputColumn() const { return FInputColumn; }
  bool InputRowFocused() const { return FInputRowFocused; }
  /** Moves the current cell into the input row or out of it. */
  void SetInputRowFocused(bool Value);
  int MultiSelectAnchor() const { return FMultiSelectAnchor; }
  TGridState State() const { return FState; }

  /** Bulk changes: while the counter is positive the data side paints nothing. */
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  bool IsUpdating() const { return FUpdateCount > 0; }

  // Geometry.
  int GridLineWidth() const { return FOptions.Contains(goGrid) ? 1 : 0; }
  int IndicatorWidth() const override;
  int ColumnsAreaWidth() const override;
  bool PartShown(TGridPart Part) const;
  TRect GetPartRect(TGridPart Part) const;
  /** The rectangle of the rows (gsReport) or the client area (gsSlides). */
  TRect DataRect() const { return GetPartRect(gpDataArea); }
  /** The first visible row: the vertical position. */
  int TopRow() const { return VertScrollBar()->Position(); }
  /** The horizontal position in pixels (gsReport). */
  int LeftPosition() const { return FGridStyle == gsReport ? HorzScrollBar()->Position() : 0; }
  /** The height of a row as laid out: its own (RowSize beyond the last row), at least 1. */
  int RowHeightAt(int ARow) const;
  /** The top of a row (client y). Rows far outside the window get a top
   *  beyond its edge rather than the exact one. */
  int RowTop(int ARow) const;
  /** The row under client y, or -1 above or below the rows. */
  int RowAt(int Y) const;
  /** The first visible column by display position under client x, or -1. */
  int ColumnAt(int X) const;
  /** The cell under a client point: (-1, -1) parts where there is none. */
  TGridCell CellAt(TPoint P) const;
  /** Rows from the first visible one that fit wholly into the data area. */
  int VisibleRowCount() const;
  virtual TRect GetCellRect(int ACol, int ARow, TGridPart Part = gpDataArea) const;

  // Selection.
  /** Makes (ACol, ARow) current. Flags: ssShift extends the row selection
   *  from the anchor, ssCtrl toggles the row; programs pass none. */
  virtual void SelectCell(int ACol, int ARow, TShiftState Flags);
  virtual void SelectRow(int ARow);
  void SelectColumn(int ACol) { SelectCell(ACol, CurrentRow(), {}); }
  /** Whether a cell is drawn as selected. */
  bool IsCellSelected(int ACol, int ARow) const;
  /** The grid or its open in-place editor has the keyboard focus. */
  bool HasFocus() const { return Focused() || EditorHasFocus(); }
  TColor GetSelectedCellColor(int ACol, int ARow) override;
  TColor GetSelectedTextColor(int ACol, int ARow) override;

  // The data side.
  virtual std::string GetCellText(int ACol, int ARow) = 0;
  virtual TColor GetCellColor(int ACol, int ARow) = 0;
  virtual std::string GetCellHint(int ACol, int ARow) = 0;
  virtual void SetCellText(int ACol, int ARow, const std::string& Text) = 0;
  virtual int RowCount() const = 0;
  virtual int GetRowHeight(int ARow) const;
  /** True while every row has the height RowSize: row arithmetic then needs
   *  no walk over the rows. */
  virtual bool RowHeightsUniform() const { return true; }
  virtual void SetRowHeight(int ARow, int Height) = 0;
  virtual bool IsRowSelected(int ARow) const = 0;
  virtual void SetRowSelected(int ARow, bool Selected) = 0;
  virtual void AddRow(int Count) = 0;
  virtual void SwapRows(int Row1, int Row2) = 0;
  virtual void RecalcFooters() = 0;
  /** The engine's part: ends editing, forgets the selection and the current row. */
  virtual void ClearRows();
  virtual void DeleteRow(int ARow);
  virtual void InsertRow(int ARow);
  virtual void MoveRow(int From, int To);
  /** Closes the open editor, if any. */
  virtual void EndEdit();

  virtual int HorzOverflow() const;
  virtual int VertScrollMax() const;
  virtual void UpdateHorzScrollBar();
  virtual void UpdateVertScrollBar();

  // Repainting (lazy).
  virtual void InvalidateCell(int ACol, int ARow);
  void InvalidateRow(int ARow);
  void InvalidatePart(TGridPart Part);
  virtual void InvalidateColumnPart(TCustomColumn& Column, TGridPart Part);
  /** The input row when it has the focus, then the selected rows in view or the current cell. */
  void InvalidateSelection();

  // IColumnsGrid
  bool Loading() const override { return false; }
  bool Designing() const override { return false; }
  using TScrollView::Font;
  const TFont& Font() const override { return TScrollView::Font(); }
  void ColumnChanged(TCustomColumn& Column, TColumnChange Kind) override;
  void ColumnsChanged(int Action, int Index, int Index2) override;
  void InvalidateColumn(TCustomColumn& Column) override;

  /** The painter of the header style in use. */
  TStyleDisplay* StyleDisplay() const;
  /** The column whose header is held down, and the one under the mouse (none: null). */
  virtual TCustomColumn* PressedHeaderColumn() const { return nullptr; }
  virtual TCustomColumn* HotHeaderColumn() const { return nullptr; }
  /** True from the start of the grid's destruction: it raises no events and paints nothing. */
  bool Destroying() const { return FDestroying; }

  TCellEvent OnSelectCell;
  TCellEvent OnDeselectCell;
  TColumnResizeEvent OnColumnResize;
  TSortColumnEvent OnSortColumn;
  TCellColoringEvent OnCellColoring;
  TDrawCellBackgroundEvent OnDrawCellBackground;
  TCustomDrawCellEvent OnCustomDrawCell;
  TNotifyEvent OnPostDraw;

  int GetHorzDelta(int OldPos, int NewPos) const override;
  int GetVertDelta(int OldPos, int NewPos) const override;

protected:
  /** The collection changed (TColumnsAction); re-places an editor and repaints. */
  virtual void ColumnsNotify(TCustomColumn* Column, int Kind);
  /** Sorting of a column was switched on or changed; the data side sorts. */
  virtual void HeaderClick(TCustomColumn& Column, bool Ascending);
  /** An open in-place editor follows its cell. */
  virtual void PlaceEditor() {}
  virtual bool EditorHasFocus() const { return false; }
  /** Called first by each destructor: events are dropped and nothing paints from here on. */
  void BeginDestruction();
  /** Drops every event handler (each class its own, then its base's). */
  virtual void ClearEvents();
  void SetStateBit(TGridStateBit Bit, bool On);
  void SetEditedCell(TGridCell Cell) { FEditedCell = Cell; }
  void SetInputColumn(int Value) { FInputColumn = Value; }
  /** Prepares the canvas for a cell's content; true when it is to be drawn. */
  virtual bool PrepareCellDraw(int ACol, int ARow, TCellState State);
  virtual void FormatCell(int, int, TCellState) {}
  /** A last row that does not fit wholly is painted as empty cells. */
  virtual bool DrawPartialRowEmpty() const { return false; }

  void Paint() override;
  virtual void PaintColumnParts();
  virtual void PaintRows(const TRect& Rect);
  virtual void PaintSlides(const TRect& Rect);
  virtual void DrawCell(int ACol, int ARow);
  virtual void DrawIndicatorCell(int ARow, bool Current, bool Selected);
  /** Background and grid lines of a cell below the last row. */
  void DrawEmptyCell(TCustomColumn& Column, int ARow);

  void ScrollBarPositionChanged(TScrollBarKind Kind) override;
  void SizeChanged() override;
  void FocusGained() override;
  void FocusLost() override;
  void FontChanged() override;

private:
  int RowSpan(int From, int To, int Limit) const;
  int ColumnsRight() const;
  int VisibleColumnsWidth() const;
  void UpdateScrollRects();
  void DeselectAllRows();
  void SetCurrent(int ACol, int ARow);
  void DrawGridLines(const TRect& R, TColor GridColor, bool LastRow, bool FramedCheckBox);
  /** The focus mark of the current row (goSelectFullRow). */
  void DrawFocusMark();
  /** The part of the canvas a cell may paint: the cell and its grid lines within the data area. */
  TRect CellReach(const TRect& R) const;
  TRect RowRect(int ARow) const;

  std::unique_ptr<TColumns> FColumns;
  std::unique_ptr<TStyleDisplay> FStyleDisplays[4];
  bool FReady = false;
  bool FDestroying = false;
  TAppearanceOptions FAppearanceOptions{aoHideSelection};
  bool FAutoScroll = false;
  TBorderStyle FBorderStyle = bsSingle;
  TGridCell FEditedCell;
  bool FEnableVisualStyles = true;
  int FMultiSelectAnchor = -1;
  TColor FGridLinesColor = clBtnFace;
  TGridLinesStyle FGridLinesStyle = lsNormal;
  TGridState FState;
  TGridStyle FGridStyle = gsReport;
  int FHeaderSize = 18;
  THeaderStyle FHeaderStyle = hsAuto;
  bool FHideScrollBar = true;
  TColor FHighlightedTextColor = clHighlightText;
  int FInputColumn = -1;
  bool FInputRowFocused = false;
  int FInputSize = 16;
  TGridOptions FOptions{goHeader};
  int FRowSize = 16;
  int FCurrentColumn = 0;
  mutable int FCurrentRow = 0;
  TSelectionMoveDirection FSelectionMoveDirection = mdDown;
  int FSlideSize = 80;
  int FUpdateCount = 0;
  int FLastClientWidth = 0;
  int FLastClientHeight = 0;
};
