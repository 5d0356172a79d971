#pragma once
/** A plain data side for the grid engine, over the real cell store and row
 *  records, for the engine's tests, its benchmark and the render tool. It
 *  keeps the store in step with the columns, remembers whether any row got
 *  a height of its own, and draws every cell it prepares. */

#include "grid/Cells.h"
#include "grid/CustomGridViewControl.h"
#include "grid/Rows.h"

#include <string>

class TSampleGridView : public TCustomGridViewControl {
public:
  explicit TSampleGridView(TComponent* AOwner) : TCustomGridViewControl(AOwner), Cells(this, &Columns()) {}

  TCells Cells;
  TRows Rows;

  bool Exists(int ACol, int ARow) const { return ACol >= 0 && ACol < Cells.ColCount() && ARow >= 0 && ARow < RowCount(); }
  std::string GetCellText(int ACol, int ARow) override {
    return Exists(ACol, ARow) ? Cells.GetCell(ACol, ARow)->AsString() : std::string();
  }
  TColor GetCellColor(int ACol, int ARow) override {
    return Exists(ACol, ARow) ? Cells.GetCell(ACol, ARow)->Color() : Color();
  }
  std::string GetCellHint(int ACol, int ARow) override {
    return Exists(ACol, ARow) ? Cells.GetCell(ACol, ARow)->Hint() : std::string();
  }
  void SetCellText(int ACol, int ARow, const std::string& Text) override {
    if (Exists(ACol, ARow)) Cells.GetCell(ACol, ARow)->SetAsString(Text);
  }
  int RowCount() const override { return Cells.RowCount(); }
  int GetRowHeight(int ARow) const override { return Rows.Items(ARow)->Height; }
  bool RowHeightsUniform() const override { return !FOwnHeights; }
  void SetRowHeight(int ARow, int Height) override {
    if (ARow < 0 || ARow >= RowCount() || Rows.Items(ARow)->Height == Height) return;
    Rows.Items(ARow)->Height = Height;
    FOwnHeights = true;
    Invalidate();
    UpdateVertScrollBar();
  }
  bool IsRowSelected(int ARow) const override { return ARow >= 0 && ARow < RowCount() && Rows.Items(ARow)->Selected; }
  void SetRowSelected(int ARow, bool Selected) override {
    if (ARow < 0 || ARow >= RowCount() || Rows.Items(ARow)->Selected == Selected) return;
    Rows.Items(ARow)->Selected = Selected;
    InvalidateRow(ARow);
  }
  void AddRow(int Count) override {
    Cells.AddRows(Count);
    Rows.Add(Count, RowSize());
    Invalidate();
    UpdateVertScrollBar();
  }
  void SwapRows(int Row1, int Row2) override { Cells.SwapRows(Row1, Row2); }
  void RecalcFooters() override {}
  void ClearRows() override {
    TCustomGridViewControl::ClearRows();
    Cells.ClearRows();
    Rows.Clear();
    FOwnHeights = false;
    Invalidate();
    UpdateVertScrollBar();
  }
  void DeleteRow(int ARow) override {
    TCustomGridViewControl::DeleteRow(ARow);
    Cells.DeleteRow(ARow);
    Rows.Delete(ARow);
    Invalidate();
    UpdateVertScrollBar();
  }
  void ColumnsChanged(int Action, int Index, int Index2) override {
    Cells.ColumnsChanged(Action, Index, Index2);
    TCustomGridViewControl::ColumnsChanged(Action, Index, Index2);
  }

  // Widened for the tests.
  using TCustomGridViewControl::Paint;
  using TCustomGridViewControl::RollTick;

protected:
  bool PrepareCellDraw(int ACol, int ARow, TCellState State) override {
    TCustomGridViewControl::PrepareCellDraw(ACol, ARow, State);
    return true;
  }

private:
  bool FOwnHeights = false;
};
