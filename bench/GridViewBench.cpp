// The grid engine at the size of a large column grid, 100,000 rows of the
// main window's 13 columns, against the same window over 1,000 rows,
// measured in the same run; the window is shown on the offscreen platform:
// - painting the whole visible area, at the top and at the bottom, into an image;
// - jumping to the last row and back to the first (the current cell, the
//   scroll and the repaint of what the scroll left to paint);
// - 1,000 line scrolls (500 down, 500 up), each painting the strip it uncovered.
// - sorting by a click on a header of 100,000 rows, with the repaint, against
//   the cell store's own sort of the same column;
// - typing 1,000 characters into a cell editor, the cell repainted after
//   each, at 100,000 rows against 1,000;
// - painting with an OnCellFormating handler that makes every other row bold
//   against painting without one.
// Painting, scrolling and typing must not grow with the rows that are out of sight.
// The ratios compare CPU time, which the load of a shared machine disturbs
// less than the time on the clock.

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "grid/CellEditors.h"
#include "grid/ColumnClasses.h"
#include "grid/GridView.h"
#include "ui/Forms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFew = 1000;
constexpr int kMany = 100000;
constexpr int kLineScrolls = 1000;
constexpr int kTypedKeys = 1000;

/** Counts its paints, so that a benchmark can tell that it painted at all. */
struct TCountingGrid : TGridView {
  using TGridView::TGridView;
  long Paints = 0;
  void Paint() override {
    ++Paints;
    TGridView::Paint();
  }
};

/** A shown form with a grid of the main window's columns (1 image, 7 text,
 *  5 check-box columns) and, once filled, Rows rows. */
struct TBenchWindow {
  explicit TBenchWindow(int rows) : Form(nullptr), Rows(rows) {
    Form.SetBounds(0, 0, 860, 480);
    Grid = new TCountingGrid(&Form);
    Grid->SetParent(&Form);
    Grid->SetBounds(0, 0, 820, 420);
    Grid->Columns().Add<TImageColumn>();
    for (int i = 0; i < 2; ++i) Grid->Columns().Add<TTextualColumn>();
    for (int i = 0; i < 4; ++i) Grid->Columns().Add<TCheckBoxColumn>();
    Grid->Columns().Add<TTextualColumn>();
    for (int i = 0; i < 3; ++i) Grid->Columns().Add<TComboBoxColumn>();
    Grid->Columns().Add<TCheckBoxColumn>();
    Grid->Columns().Add<TTextualColumn>();
    for (int c = 0; c < Grid->Columns().Count(); ++c) Grid->Columns().Items(c)->SetWidth(60);
    TCustomColumn* field = Grid->Columns().Items(1);
    field->SetOptions(TColumnOptions(field->Options()) << coEditing);
    Grid->SetOptions({goHeader, goGrid, goIndicator});
  }
  /** Shows the window and paints it. */
  void Show() {
    Form.Show();
    // Painting starts once the platform has exposed the window.
    Activate();
    Flush();
  }
  /** Makes the window the active one: only there the focus, and the marks
   *  that show it, are painted. */
  void Activate() {
    Form.Handle()->activateWindow();
    QElapsedTimer t;
    t.start();
    while (!Form.Active() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
  }
  /** Adds the rows and paints them. */
  void Fill() {
    Grid->AddRow(Rows);
    for (int r = 0; r < Rows; ++r) {
      // Texts of one length in both windows: only the number of rows differs.
      char n[16];
      std::snprintf(n, sizeof n, "%06d", r);
      for (int c : {1, 2, 7, 12}) Grid->Cells().GetCell(c, r)->SetAsString(std::string("field_") + n);
      for (int c : {8, 9, 10}) Grid->Cells().GetCell(c, r)->SetAsString("text");
      Grid->Cells().GetCell(3, r)->SetAsBoolean(r % 2 == 0);
    }
    Flush();
  }
  /** Paints what is waiting to be painted, now. */
  void Flush() { Form.Update(); }
  TForm Form;
  TCountingGrid* Grid;
  int Rows;
};

/** Fails a benchmark whose window did not paint while it ran. */
void CheckPainted(benchmark::State& state, const TBenchWindow& w, long before) {
  if (w.Grid->Paints == before) state.SkipWithError("the window did not paint");
}

std::map<int, std::unique_ptr<TBenchWindow>>& Windows() {
  static std::map<int, std::unique_ptr<TBenchWindow>> windows;
  return windows;
}

TBenchWindow& Window(int rows) { return *Windows().at(rows); }

template <int Rows>
void BM_Paint(benchmark::State& state) {
  TBenchWindow& w = Window(Rows);
  w.Activate();
  TControlScrollBar* bar = w.Grid->VertScrollBar();
  QImage image(w.Grid->ClientWidth(), w.Grid->ClientHeight(), QImage::Format_ARGB32_Premultiplied);
  bar->SetNoContentScroll(true);  // only the picture in the image counts here
  for (auto _ : state) {
    for (int position : {0, bar->Max()}) {
      bar->SetPosition(position);
      w.Grid->PaintTo(image);
    }
  }
  bar->SetNoContentScroll(false);
  bar->SetPosition(0);
  w.Flush();
  benchmark::DoNotOptimize(image.constBits());
}

template <int Rows>
void BM_Jump(benchmark::State& state) {
  TBenchWindow& w = Window(Rows);
  w.Activate();
  TControlScrollBar* bar = w.Grid->VertScrollBar();
  const long paints = w.Grid->Paints;
  for (auto _ : state) {
    bar->SetPosition(bar->Max());
    w.Grid->SelectCell(1, Rows - 1, {});
    w.Flush();
    bar->SetPosition(0);
    w.Grid->SelectCell(1, 0, {});
    w.Flush();
  }
  CheckPainted(state, w, paints);
}

template <int Rows>
void BM_Scroll(benchmark::State& state) {
  TBenchWindow& w = Window(Rows);
  w.Activate();
  TControlScrollBar* bar = w.Grid->VertScrollBar();
  const long paints = w.Grid->Paints;
  for (auto _ : state) {
    for (int i = 0; i < kLineScrolls; ++i) {
      if (i < kLineScrolls / 2)
        bar->LineDown();
      else
        bar->LineUp();
      w.Flush();
    }
  }
  if (bar->Position() != 0) state.SkipWithError("the scrolls did not come back to the top");
  CheckPainted(state, w, paints);
}

/** A left click at a client point of the grid. */
void ClickGrid(TCountingGrid* grid, int x, int y) {
  QWidget* w = grid->ClientWidget();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const bool press = type == QEvent::MouseButtonPress;
    QMouseEvent e(type, QPointF(x, y), QPointF(w->mapToGlobal(QPoint(x, y))), Qt::LeftButton,
                  press ? Qt::MouseButtons(Qt::LeftButton) : Qt::MouseButtons(), Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
}

// The rows are in order already: every sort below is a full one of the same work.
void BM_HeaderSort(benchmark::State& state) {
  TBenchWindow& w = Window(kMany);
  w.Activate();
  TCustomColumn* column = w.Grid->Columns().Items(1);
  const long paints = w.Grid->Paints;
  for (auto _ : state) {
    ClickGrid(w.Grid, column->Left() + column->Width() / 2, 9);
    w.Flush();
    column->SetSorted(false);
  }
  if (w.Grid->Cells().SortedColumn() != 1) state.SkipWithError("the click did not sort");
  CheckPainted(state, w, paints);
}

void BM_StoreSort(benchmark::State& state) {
  TBenchWindow& w = Window(kMany);
  w.Activate();
  for (auto _ : state) w.Grid->Cells().Sort(1, stAlphabetic, skAscending);
}

template <int Rows>
void BM_Typing(benchmark::State& state) {
  TBenchWindow& w = Window(Rows);
  w.Activate();
  TCountingGrid* grid = w.Grid;
  // As the main window's handler would: the model takes the text, the cell shows it.
  grid->OnEdit = [grid](TObject*, int col, int row, const std::string&) { grid->InvalidateCell(col, row); };
  const long paints = grid->Paints;
  for (auto _ : state) {
    grid->BeginEdit(1, 0, "");
    QWidget* line = static_cast<TTextualEditor*>(grid->ActiveEditor())->LineEdit();
    std::size_t typed = 0;
    for (int i = 0; i < kTypedKeys; ++i) {
      // A line of 50 characters at the most: the line edit's own text layout
      // would otherwise outweigh the grid.
      if (i % 50 == 0) {
        typed += grid->ActiveEditor()->Text().size();
        grid->ActiveEditor()->ClearText();
      }
      QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
      QCoreApplication::sendEvent(line, &press);
      w.Flush();
    }
    typed += grid->ActiveEditor()->Text().size();
    if (typed != kTypedKeys + grid->GetCellText(1, 0).size()) state.SkipWithError("the keys did not reach the editor");
    grid->EndEdit();
  }
  grid->OnEdit = nullptr;
  CheckPainted(state, w, paints);
}

template <bool Bold>
void BM_PaintFormatted(benchmark::State& state) {
  TBenchWindow& w = Window(kFew);
  w.Activate();
  if (Bold)
    w.Grid->OnCellFormating = [](TObject*, int, int row, TColor&, TFontStyles& style, TCellState) {
      if (row % 2 == 0) style |= fsBold;
    };
  QImage image(w.Grid->ClientWidth(), w.Grid->ClientHeight(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) w.Grid->PaintTo(image);
  w.Grid->OnCellFormating = nullptr;
  benchmark::DoNotOptimize(image.constBits());
}

// Named after the template argument as written: BM_Paint<kFew>, BM_Paint<kMany>.
BENCHMARK_TEMPLATE(BM_Paint, kFew)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_Paint, kMany)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_Jump, kFew)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_Jump, kMany)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_Scroll, kFew)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_Scroll, kMany)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK(BM_HeaderSort)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK(BM_StoreSort)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_Typing, kFew)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_Typing, kMany)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_PaintFormatted, false)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);
BENCHMARK_TEMPLATE(BM_PaintFormatted, true)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Repetitions(9);

}  // namespace

int main(int argc, char** argv) {
  // The repetitions of the two sizes run interleaved, so that a busy moment
  // of the machine does not fall on one side of a ratio only.
  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  TApplication app(qtArgc, argv);
  // Both windows are built and shown before any timing starts, and before
  // either gets its rows: the order in which they came then weighs on
  // neither side of a ratio.
  for (int rows : {kFew, kMany}) Windows()[rows] = std::make_unique<TBenchWindow>(rows);
  for (int rows : {kFew, kMany}) Window(rows).Show();
  for (int rows : {kFew, kMany}) Window(rows).Fill();
  // CPU time of the whole process, Qt's worker threads included.
  TRatioReporter reporter(true);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.PrintRatio("paint_100k_rows/1k_rows", "BM_Paint<kMany>", "BM_Paint<kFew>");
  reporter.PrintRatio("jump_100k_rows/1k_rows", "BM_Jump<kMany>", "BM_Jump<kFew>");
  reporter.PrintRatio("scroll_100k_rows/1k_rows", "BM_Scroll<kMany>", "BM_Scroll<kFew>");
  reporter.PrintRatio("header_sort_100k_rows/store_sort", "BM_HeaderSort", "BM_StoreSort");
  reporter.PrintRatio("typing_100k_rows/1k_rows", "BM_Typing<kMany>", "BM_Typing<kFew>");
  reporter.PrintRatio("paint_bold_rows/plain", "BM_PaintFormatted<true>", "BM_PaintFormatted<false>");
  Windows().clear();
  return 0;
}
