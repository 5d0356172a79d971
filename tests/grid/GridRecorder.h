#pragma once
/** A stand-in for the grid engine: it records what the columns and the cell
 *  store report and keeps a store in step with the columns, as the grid does. */

#include "grid/CellClasses.h"
#include "grid/Cells.h"
#include "grid/ColumnClasses.h"
#include "grid/Columns.h"
#include "TestSupport.h"
#include "core/TextUtils.h"

#include <string>
#include <utility>
#include <vector>

namespace gridtest {

/** The tab-separated rows of tests/fixtures/grid/name, without blank and '#' lines. */
inline std::vector<std::vector<std::string>> FixtureRows(const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  const std::string text = qftest::ReadFile(qftest::SourceDir() + "/tests/fixtures/grid/" + name);
  for (const std::string& line : SplitString(text, '\n'))
    if (!line.empty() && line[0] != '#') rows.push_back(SplitString(line, '\t'));
  return rows;
}

class TGridRecorder : public IColumnsGrid, public ICellsGrid {
public:
  TGridRecorder() : Columns(this), Cells(this, &Columns) {
    Cells.OnChange = [this](TCells&, int col, int row) { Changes.emplace_back(col, row); };
  }

  // IColumnsGrid
  bool Loading() const override { return IsLoading; }
  bool Designing() const override { return IsDesigning; }
  const TFont& Font() const override { return GridFont; }
  int IndicatorWidth() const override { return Indicator ? 12 : 0; }
  int ColumnsAreaWidth() const override { return ClientWidth - IndicatorWidth(); }
  void ColumnChanged(TCustomColumn& column, TColumnChange kind) override {
    Reports.emplace_back(column.Name(), kind);
  }
  void ColumnsChanged(int action, int index, int index2) override { Cells.ColumnsChanged(action, index, index2); }
  void InvalidateColumn(TCustomColumn& column) override { Repainted.push_back(column.Name()); }

  // ICellsGrid
  TColor GetSelectedCellColor(int col, int row) override { return static_cast<TColor>(col * 100 + row); }
  TColor GetSelectedTextColor(int, int) override { return clHighlightText; }

  template <class T> T* Add(const std::string& name) {
    T* column = Columns.Add<T>();
    column->SetName(name);
    return column;
  }
  /** Column col's cells as text, top to bottom. */
  std::vector<std::string> Column(int col) {
    std::vector<std::string> out;
    for (int r = 0; r < Cells.RowCount(); ++r) out.push_back(Cells.GetCell(col, r)->AsString());
    return out;
  }
  void Put(int col, const std::vector<std::string>& texts) {
    for (size_t r = 0; r < texts.size(); ++r) Cells.GetCell(col, static_cast<int>(r))->SetAsString(texts[r]);
  }
  /** The reported change kinds, and forgets them. */
  std::vector<std::pair<std::string, TColumnChange>> TakeReports() { return std::exchange(Reports, {}); }

  bool IsLoading = false;
  bool IsDesigning = false;
  bool Indicator = false;
  int ClientWidth = 300;
  TFont GridFont;
  std::vector<std::pair<std::string, TColumnChange>> Reports;
  std::vector<std::string> Repainted;
  std::vector<std::pair<int, int>> Changes;
  // The store goes first: it reads the columns.
  TColumns Columns;
  TCells Cells;
};

}  // namespace gridtest
