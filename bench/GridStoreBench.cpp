// The grid's cell store at the size of a large column grid: 100,000 rows of
// the main window's 13 columns (1 image, 7 text, 5 check-box columns). Each
// benchmark has a baseline on plain standard containers, measured in the
// same run:
// - sorting a text column (ordinal and case-insensitive) against std::sort
//   of the same keys copied into a vector of strings; a numeric sort of a
//   text column of numbers against std::sort of the parsed doubles;
// - reversing the rows (the other direction of the same column) against
//   the store's own full sort;
// - AddRows against allocating and filling as many std::strings, one heap
//   string per cell in 13 vectors of pointers;
// - DeleteRow(0) 1,000 times against erase(begin()) on 13 vectors of pointers.
// It also prints the store's bytes per cell, as the allocator counts them.

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "grid/CellClasses.h"
#include "grid/Cells.h"
#include "grid/ColumnClasses.h"
#include "grid/Columns.h"
#include "grid/Rows.h"

#include <malloc.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 13;
constexpr int kDeletes = 1000;
constexpr int kKeyColumn = 1;     // random 12-character texts
constexpr int kNumberColumn = 2;  // numbers as text

/** Just enough of a grid for the store and its columns. */
class TBenchGrid : public IColumnsGrid, public ICellsGrid {
public:
  TBenchGrid() : Columns(this), Cells(this, &Columns) {
    // The main window's column grid: image, 2 texts, 4 check boxes, text,
    // 3 drop-down lists, check box, text.
    Columns.Add<TImageColumn>();
    for (int i = 0; i < 2; ++i) Columns.Add<TTextualColumn>();
    for (int i = 0; i < 4; ++i) Columns.Add<TCheckBoxColumn>();
    Columns.Add<TTextualColumn>();
    for (int i = 0; i < 3; ++i) Columns.Add<TComboBoxColumn>();
    Columns.Add<TCheckBoxColumn>();
    Columns.Add<TTextualColumn>();
  }
  bool Loading() const override { return false; }
  bool Designing() const override { return false; }
  const TFont& Font() const override { return FFont; }
  int IndicatorWidth() const override { return 12; }
  int ColumnsAreaWidth() const override { return 800; }
  void ColumnChanged(TCustomColumn&, TColumnChange) override {}
  void ColumnsChanged(int action, int index, int index2) override { Cells.ColumnsChanged(action, index, index2); }
  void InvalidateColumn(TCustomColumn&) override {}
  TColor GetSelectedCellColor(int, int) override { return clHighlight; }
  TColor GetSelectedTextColor(int, int) override { return clHighlightText; }

  TFont FFont;
  TColumns Columns;
  TCells Cells;
};

struct TData {
  std::vector<std::string> Keys;     // kKeyColumn
  std::vector<std::string> Numbers;  // kNumberColumn
  std::vector<double> Parsed;
};

const TData& Data() {
  static const TData data = [] {
    TData d;
    std::mt19937 random(20240611);
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uniform_int_distribution<size_t> pick(0, letters.size() - 1);
    std::uniform_real_distribution<double> number(-1e6, 1e6);
    for (int r = 0; r < kRows; ++r) {
      std::string key(12, ' ');
      for (char& c : key) c = letters[pick(random)];
      d.Keys.push_back(key);
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.3f", number(random));
      d.Numbers.push_back(buf);
      d.Parsed.push_back(std::strtod(buf, nullptr));
    }
    return d;
  }();
  return data;
}

/** Short texts, check boxes and image indexes, as the schema import fills them. */
void Fill(TBenchGrid& g) {
  static const char* const types[] = {"int(11)", "varchar(255)", "datetime", "text", "decimal(10,2)"};
  static const char* const views[] = {"Text", "Number", "Picture"};
  const TData& d = Data();
  TCells& cells = g.Cells;
  for (int r = 0; r < kRows; ++r) {
    cells.GetCell(0, r)->SetAsInteger(r % 7 == 0);
    cells.GetCell(kKeyColumn, r)->SetAsString(d.Keys[static_cast<size_t>(r)]);
    cells.GetCell(kNumberColumn, r)->SetAsString(d.Numbers[static_cast<size_t>(r)]);
    for (int c = 3; c <= 6; ++c) cells.GetCell(c, r)->SetAsBoolean((r + c) % 3 != 0);
    cells.GetCell(7, r)->SetAsString("Caption " + std::to_string(r % 1000));
    cells.GetCell(8, r)->SetAsString(views[r % 3]);
    cells.GetCell(9, r)->SetAsString(types[r % 5][0] == 'i' ? "Text" : "Textarea");
    cells.GetCell(10, r)->SetAsString(r % 2 ? "No" : "Like");
    cells.GetCell(11, r)->SetAsBoolean(r % 5 == 0);
    cells.GetCell(12, r)->SetAsString(r % 4 ? "" : "hint " + std::to_string(r % 100));
  }
}

std::unique_ptr<TBenchGrid> MakeFilled() {
  auto g = std::make_unique<TBenchGrid>();
  g->Cells.AddRows(kRows);
  Fill(*g);
  return g;
}

/** Shuffles the rows (the same way each time) and forgets the sort. */
void Unsort(TBenchGrid& g) {
  std::mt19937 random(7);
  for (int r = kRows - 1; r > 0; --r) g.Cells.SwapRows(r, std::uniform_int_distribution<int>(0, r)(random));
  g.Cells.MoveRow(0, 0);
}

void SortBench(benchmark::State& state, TSortType type) {
  auto g = MakeFilled();
  Unsort(*g);
  const int column = type == stNumeric ? kNumberColumn : kKeyColumn;
  for (auto _ : state) {
    g->Cells.Sort(column, type, skAscending);
    state.PauseTiming();
    Unsort(*g);
    state.ResumeTiming();
  }
}

void BM_SortAlphabetic(benchmark::State& state) { SortBench(state, stAlphabetic); }
void BM_SortCaseInsensitive(benchmark::State& state) { SortBench(state, stCaseInsensitive); }
void BM_SortNumeric(benchmark::State& state) { SortBench(state, stNumeric); }

void BM_StdSortKeys(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> keys = Data().Keys;
    state.ResumeTiming();
    std::sort(keys.begin(), keys.end());
    benchmark::DoNotOptimize(keys.data());
  }
}

void BM_StdSortDoubles(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<double> values = Data().Parsed;
    state.ResumeTiming();
    std::sort(values.begin(), values.end());
    benchmark::DoNotOptimize(values.data());
  }
}

void BM_Reverse(benchmark::State& state) {
  auto g = MakeFilled();
  g->Cells.Sort(kKeyColumn, stAlphabetic, skAscending);
  TSortKind next = skDescending;
  for (auto _ : state) {
    g->Cells.Sort(kKeyColumn, stAlphabetic, next);  // the other direction: reversed
    next = next == skAscending ? skDescending : skAscending;
  }
}

void BM_AddRows(benchmark::State& state) {
  for (auto _ : state) {
    auto g = std::make_unique<TBenchGrid>();
    g->Cells.AddRows(kRows);
    benchmark::DoNotOptimize(g->Cells.RowCount());
    state.PauseTiming();
    g.reset();
    state.ResumeTiming();
  }
}

void BM_AllocateStrings(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::vector<std::unique_ptr<std::string>>> columns(kColumns);
    for (auto& column : columns) column.reserve(kRows);
    for (int r = 0; r < kRows; ++r)
      for (auto& column : columns) column.push_back(std::make_unique<std::string>("Text"));
    benchmark::DoNotOptimize(columns.data());
    state.PauseTiming();
    columns.clear();
    state.ResumeTiming();
  }
}

void BM_DeleteRows(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto g = std::make_unique<TBenchGrid>();
    g->Cells.AddRows(kRows);
    state.ResumeTiming();
    for (int i = 0; i < kDeletes; ++i) g->Cells.DeleteRow(0);
    state.PauseTiming();
    g.reset();
    state.ResumeTiming();
  }
}

void BM_EraseFront(benchmark::State& state) {
  static int dummy[kRows];
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::vector<int*>> columns(kColumns);
    for (auto& column : columns)
      for (int r = 0; r < kRows; ++r) column.push_back(&dummy[r]);
    state.ResumeTiming();
    for (int i = 0; i < kDeletes; ++i)
      for (auto& column : columns) column.erase(column.begin());
    benchmark::DoNotOptimize(columns.data());
  }
}

BENCHMARK(BM_SortAlphabetic)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_SortCaseInsensitive)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_StdSortKeys)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_SortNumeric)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_StdSortDoubles)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond)->Iterations(200)->Repetitions(5);
BENCHMARK(BM_AddRows)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
BENCHMARK(BM_AllocateStrings)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
BENCHMARK(BM_DeleteRows)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(5);
BENCHMARK(BM_EraseFront)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(5);

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

/** The sorts must give what std::sort gives. */
bool CheckSorts() {
  auto g = MakeFilled();
  std::vector<std::string> keys = Data().Keys;
  std::sort(keys.begin(), keys.end());
  g->Cells.Sort(kKeyColumn, stAlphabetic, skAscending);
  for (int r = 0; r < kRows; ++r)
    if (g->Cells.GetCell(kKeyColumn, r)->AsString() != keys[static_cast<size_t>(r)]) return false;
  std::vector<double> values = Data().Parsed;
  std::sort(values.begin(), values.end(), std::greater<double>());
  g->Cells.Sort(kNumberColumn, stNumeric, skDescending);
  for (int r = 0; r < kRows; ++r)
    if (g->Cells.GetCell(kNumberColumn, r)->AsFloat() != values[static_cast<size_t>(r)]) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!CheckSorts()) {
    std::fprintf(stderr, "store and std::sort orders differ\n");
    return 1;
  }

  Data();
  const size_t before = HeapInUse();
  auto g = MakeFilled();
  const size_t withStore = HeapInUse();
  TRows rows;
  rows.Add(kRows, 16);
  const size_t withRows = HeapInUse();
  const double cells = static_cast<double>(kRows) * kColumns;
  std::printf("bytes per cell: %.1f (store), %.1f (store and row records)\n", (withStore - before) / cells,
              (withRows - before) / cells);
  rows.Clear();
  g.reset();

  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  reporter.PrintRatio("sort_alphabetic/std_sort_keys", "BM_SortAlphabetic", "BM_StdSortKeys");
  reporter.PrintRatio("sort_case_insensitive/std_sort_keys", "BM_SortCaseInsensitive", "BM_StdSortKeys");
  reporter.PrintRatio("sort_numeric/std_sort_doubles", "BM_SortNumeric", "BM_StdSortDoubles");
  reporter.PrintRatio("reverse/sort_alphabetic", "BM_Reverse", "BM_SortAlphabetic");
  reporter.PrintRatio("add_rows/allocate_strings", "BM_AddRows", "BM_AllocateStrings");
  reporter.PrintRatio("delete_row_front/erase_front", "BM_DeleteRows", "BM_EraseFront");
  return 0;
}
