#pragma once
/** The grid component of the forms. It owns the cell store and the row
 *  records and gives the grid its data: cell texts, colours and hints, row
 *  heights and selection flags, adding, inserting, deleting, moving and
 *  clearing rows, sorting by a column, footer formulas and the toggling of
 *  check-box cells. Column indexes are creation indexes. */

#include "grid/Cells.h"
#include "grid/CustomGridView.h"
#include "grid/Rows.h"

#include <functional>
#include <memory>
#include <string>

/** TextColor and FontStyle arrive holding what the cell would be drawn with. */
using TCellFormatingEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor& TextColor,
                                               TFontStyles& FontStyle, TCellState CellState)>;
/** Compare below zero sorts Cell1 first (custom sorting). */
using TCompareEvent = std::function<void(TObject* Sender, TCell* Cell1, TCell* Cell2, int& Compare)>;

/** The grid of the forms over its own cell store. Reading or writing a
 *  cell's text outside the rows and columns does nothing. */
class TGridView : public TCustomGridView {
public:
  explicit TGridView(TComponent* AOwner);
  ~TGridView() override;

  TCells& Cells() { return *FCells; }
  TRows& Rows() { return *FRows; }

  std::string GetCellText(int ACol, int ARow) override;
  /** Value stays as passed for a cell outside the grid. */
  void GetCellText(int ACol, int ARow, std::string& Value);
  void SetCellText(int ACol, int ARow, const std::string& Value) override;
  TColor GetCellColor(int ACol, int ARow) override;
  std::string GetCellHint(int ACol, int ARow) override;
  /** The cell object for typed access; a row outside the grid raises EListError. */
  TCell* GetCellObject(int ACol, int ARow);

  int RowCount() const override;
  /** The row's height as OnMeasuringRowHeight leaves it. */
  int GetRowHeight(int ARow) const override;
  bool RowHeightsUniform() const override;
  void SetRowHeight(int ARow, int Height) override;
  bool IsRowSelected(int ARow) const override;
  void SetRowSelected(int ARow, bool Selected) override;

  /** Appends rows; with goUseDefaultValues their cells get the columns' default values. */
  void AddRow(int Count) override;
  /** Appends rows without default values. */
  void AppendRows(int Count);
  void ClearRows() override;
  void DeleteRow(int ARow) override;
  /** Inserts an empty row at ARow and selects the row after the current one. */
  void InsertRow(int ARow) override;
  void MoveRow(int From, int To) override;
  /** Exchanges the cells of two rows; the row records stay. */
  void SwapRows(int Row1, int Row2) override;
  /** Computes the footer of every column with a formula. */
  void RecalcFooters() override;
  void ColumnsChanged(int Action, int Index, int Index2) override;

  TCellFormatingEvent OnCellFormating;
  TCompareEvent OnCompare;

protected:
  /** Sorts the column's cells when it can be sorted. */
  void HeaderClick(TCustomColumn& Column, bool Ascending) override;
  /** The cell's font style, then OnCellFormating. */
  void FormatCell(int ACol, int ARow, TCellState State) override;
  /** Loads the cell's value into the column's display element. */
  bool PrepareCellDraw(int ACol, int ARow, TCellState State) override;
  void LoadPlayValue(TColumnPlay& Play) override;
  /** A check box was toggled: OnEditAccept, the cell, OnAfterEdit. */
  void PlayClicked(TColumnPlay& Play) override;
  void ClearEvents() override;

private:
  bool Exists(int ACol, int ARow) const;
  void CellChanged(int ACol, int ARow);
  /** A record of Height joined the rows. */
  void NoteHeight(int Height);
  std::unique_ptr<TCells> FCells;
  std::unique_ptr<TRows> FRows;
  /** The height every row record has, or -1 when they differ. */
  int FUniformHeight = -1;
};
