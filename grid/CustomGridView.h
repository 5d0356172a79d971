#pragma once
/** The grid as the forms see it: the engine with its keys and mouse, the
 *  in-place editing of cells and of the input row, column resizing and
 *  dragging in the header, row resizing in the indicator, the incremental
 *  search, and the hints of headers, footers and cells. */

#include "grid/CellEditors.h"
#include "grid/CustomGridViewControl.h"
#include "ui/ExtCtrls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;
class TColumnDragBox;
class TDragArrow;

/** The grid's cursors, drawn in code. */
constexpr TCursor crHorzSplit = 3000;
constexpr TCursor crColumnNoDrag = 3001;
constexpr TCursor crVertSplit = 3006;
constexpr TCursor crIndicatorSelect = 3007;

using TBeforeEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Accept)>;
using TEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TEditAcceptEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value, bool& Accept)>;
using THeaderClickEvent = std::function<void(TObject* Sender, int ACol)>;
using TInputAcceptEvent = std::function<void(TObject* Sender, bool& Accept)>;
using TChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TMeasuringRowHeightEvent = std::function<void(TObject* Sender, int Index, int& RowHeight)>;

/** What a grid hint shows. */
enum THintKind : std::uint8_t { hkNone, hkFooter, hkHeader, hkTextFit, hkCell };

/** The grid's own hint window, in the hint colours. */
class TGridHintWindow : public THintWindow {
public:
  explicit TGridHintWindow(TComponent* AOwner);
  THintKind Kind = hkNone;
};

/** Registers the grid's cursors under their numbers. */
void RegisterGridCursors();

/** The grid with keys, mouse, in-place editing, column and row resizing,
 *  column dragging and hints. The data side supplies the play elements'
 *  values and acts on their clicks. */
class TCustomGridView : public TCustomGridViewControl {
public:
  explicit TCustomGridView(TComponent* AOwner);
  ~TCustomGridView() override;

  /** Enter moves the current cell by SelectionMoveDirection. */
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }

  // Editing.
  /** Opens the column's editor on a cell with InitialText, or the cell's text when it is empty. */
  void BeginEdit(int ACol, int ARow, const std::string& InitialText = "");
  /** Opens the column's editor on the input row with InitialText, or the column's input value. */
  void BeginInputEdit(int Column, const std::string& InitialText = "");
  /** Takes the open editor's text back; False when nothing was written. */
  virtual bool CommitEdit();
  /** Closes the open editor; raises no event. */
  void EndEdit() override;
  /** Adds the input row's values as a new row. */
  virtual void AcceptInput();
  TCellEditor* ActiveEditor() const { return FActiveEditor; }
  /** The input row's editor text was changed since it opened. */
  bool InputEdited() const { return FInputEdited; }

  // Where things are.
  /** The part under a client point (gpNone where there is none). */
  TGridPart HitTest(TPoint P) const;
  /** The column whose right border lies under x in the header, or -1. */
  int ColumnBorderAt(int X) const;
  /** The row whose lower border lies under y in the indicator, or -1. */
  int RowBorderAt(int Y) const;

  // What the mouse is doing.
  TGridCell MouseDownCell() const { return FMouseDownCell; }
  TCustomColumn* PressedHeaderColumn() const override { return FPressedColumn; }
  TCustomColumn* HotHeaderColumn() const override { return FHoverColumn; }
  TCustomColumn* DragPressedColumn() const { return FDragPressed; }
  TCustomColumn* DropTarget() const { return FDropTarget; }
  int ResizingRow() const { return FResizingRow; }
  int ResizingColumn() const { return FResizeColumn; }
  const std::string& SearchText() const { return FSearchText; }
  TTimer* SearchTimer() const { return FSearchTimer.get(); }
  TColumnDragBox* DragBox() const { return FDragBox.get(); }
  TDragArrow* DownArrow() const { return FDownArrow.get(); }
  TDragArrow* UpArrow() const { return FUpArrow.get(); }
  TGridHintWindow* HintWindow() const { return FHint.get(); }

  /** The drag box moved to a screen point: the drop arrows follow. */
  void ColumnDragMove(TPoint ScreenPoint);
  /** The drag box was released at a screen point: the column moves or hides. */
  void ColumnDrop(TPoint ScreenPoint);
  /** Abandons a pending or running column drag (the application went inactive). */
  void CancelColumnDrag();

  TBeforeEditEvent OnBeforeEdit;
  TEditEvent OnEdit;
  TEditEvent OnAfterEdit;
  TEditAcceptEvent OnEditAccept;
  TCellEvent OnCellClick;
  THeaderClickEvent OnHeaderClick;
  THeaderClickEvent OnFooterClick;
  TInputAcceptEvent OnInputAccept;
  TNotifyEvent OnInputAdded;
  TChangeEvent OnChange;
  TMeasuringRowHeightEvent OnMeasuringRowHeight;

protected:
  /** Before a click handler acts on a cell: OnBeforeEdit, then the handler
   *  gets the cell's position, value and rectangle. */
  virtual bool PreparePlay(int ACol, int ARow, const TRect& CellRect);
  /** Loads the cell's value into the column's click handler. */
  virtual void LoadPlayValue(TColumnPlay& Play) = 0;
  /** A click handler changed its value. */
  virtual void PlayClicked(TColumnPlay&) {}

  void PlaceEditor() override;
  bool EditorHasFocus() const override;
  void ColumnsNotify(TCustomColumn* Column, int Kind) override;
  void ClearEvents() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(TKeyChar& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void DoEnter() override;
  void DoExit() override;
  void ScrollMessage(TScrollBarKind Kind, int Code, int TrackPos) override;
  void SizeChanged() override;

private:
  void AttachEditor(TCellEditor* Editor);
  void DetachEditor(TCellEditor* Editor);
  void EditorChanged();
  void EditorKeyDown(WORD& Key, TShiftState Shift);
  /** Commits and closes an open editor (a scroll or a resize moves it off its cell). */
  void CloseEditorCommitting();
  /** The next visible column left (-1) or right (+1) of the current one by display position, or -1. */
  int NeighbourColumn(int Direction) const;
  void MoveBySelectionDirection();
  /** A drop-down key (IsDropDownKey) on a drop-down column: opens the current
   *  cell's editor and its list. False when the column has no list or the
   *  edit is refused. */
  bool DropDownCurrentCell();
  void IncrementalSearch(TKeyChar Key);
  void PressAt(TMouseButton Button, TShiftState Shift, TPoint P);
  void PressData(TShiftState Shift, TPoint P);
  void ReleaseAt(TMouseButton Button, TPoint P);
  bool InHeader(TPoint P) const;

  void StartColumnResize(int ACol);
  void MoveColumnResize(int X);
  void EndColumnResize();
  void InvertColumnLine(int X);
  void StartRowResize(int ARow, int Y);
  void MoveRowResize(int Y);
  void EndRowResize();
  void StartColumnDrag(TPoint P);
  void EndColumnDrag();

  /** Drops every hold on columns that left the collection. */
  void ForgetGoneColumns();
  void UpdateHover(TPoint P);
  void SetGridCursor(TCursor Value);
  void SetHoverColumn(TCustomColumn* Column);
  void ShowGridHint(THintKind Kind, const std::string& Text, TPoint ClientPoint);
  void HideGridHint(THintKind Kind);
  /** The cell's text is wider than its cell, in the font it is drawn with. */
  bool CellTextFits(int ACol, int ARow);

  bool FWantReturns = false;
  TCellEditor* FActiveEditor = nullptr;
  bool FInputEdited = false;
  TGridCell FMouseDownCell;
  TCustomColumn* FPressedColumn = nullptr;
  TCustomColumn* FDragPressed = nullptr;
  TPoint FPressPoint;
  TCustomColumn* FDropTarget = nullptr;
  TCustomColumn* FHoverColumn = nullptr;
  TGridCell FHoverCell;
  int FLastHeaderHint = -1;
  int FLastFooterHint = -1;
  int FResizeColumn = -1;
  int FResizeDelta = 0;
  int FLeftLine = 0;
  int FRightLine = 0;
  int FResizingRow = -1;
  int FRowLine = 0;
  TWheelNotches FWheel;
  std::string FSearchText;
  TPoint FLastMousePoint;
  std::unique_ptr<TTimer> FSearchTimer;
  std::unique_ptr<TGridHintWindow> FHint;
  std::unique_ptr<TColumnDragBox> FDragBox;
  std::unique_ptr<TDragArrow> FDownArrow;
  std::unique_ptr<TDragArrow> FUpArrow;
  std::unique_ptr<QObject> FSignals;
};
