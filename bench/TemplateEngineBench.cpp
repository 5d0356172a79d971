// Template engine against hand-written string appends producing the same
// bytes: a 1,000-line page with 2,000 rows of 4 cells each (10,000 block
// instances), loaded, prepared, filled and rendered into a string list per
// iteration. The main pair renders into a string on both sides, as the page
// generators do; the second pair hands both texts to a TStringList, as
// GetOutputContent does.

#include <benchmark/benchmark.h>

#include "BenchRatio.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/StringList.h"
#include "generator/TemplateEngine.h"

namespace {

constexpr int kTemplateLines = 1000;
constexpr int kRows = 2000;
constexpr int kCellsPerRow = 4;
const char* const kCellNames[kCellsPerRow] = {"weight", "colour", "stock", "supplier"};

// A plain line of the page, optionally holding the global {title}.
struct TPageLine {
  std::string Before;
  bool HasTitle = false;
  std::string After;
};

struct TPage {
  std::vector<TPageLine> Head;
  std::vector<TPageLine> Tail;
  std::vector<std::string> Template;
};

std::vector<TPageLine> MakePageLines(int count, const char* part) {
  std::vector<TPageLine> lines;
  for (int i = 0; i < count; ++i) {
    TPageLine line;
    if (i % 10 == 0) {
      line.Before = "<p class=\"" + std::string(part) + "\">";
      line.HasTitle = true;
      line.After = " - section " + std::to_string(i) + "</p>";
    } else {
      line.Before = "<div class=\"" + std::string(part) + std::to_string(i % 7) + "\">Lorem ipsum dolor sit amet, line " +
                    std::to_string(i) + "</div>";
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

const std::vector<std::string> kBlockLines = {
    "<!-- START BLOCK : row -->",
    "<tr class=\"{rowclass}\">",
    "  <td>{id}</td>",
    "  <td>{name}</td>",
    "  <td>{price}</td>",
    "  <td><a href=\"detail.php?id={id}\">{label}</a></td>",
    "<!-- START BLOCK : cell -->",
    "    <span class=\"cell\">{cellname}: {cellvalue}</span>",
    "    <br>",
    "<!-- END BLOCK : cell -->",
    "</tr>",
    "<!-- END BLOCK : row -->",
};

TPage MakePage() {
  TPage page;
  const int plain = kTemplateLines - static_cast<int>(kBlockLines.size());
  page.Head = MakePageLines(plain / 2, "head");
  page.Tail = MakePageLines(plain - plain / 2, "tail");
  auto addLines = [&](const std::vector<TPageLine>& lines) {
    for (const auto& line : lines)
      page.Template.push_back(line.HasTitle ? line.Before + "{title}" + line.After : line.Before);
  };
  addLines(page.Head);
  for (const auto& line : kBlockLines) page.Template.push_back(line);
  addLines(page.Tail);
  return page;
}

const TPage& Page() {
  static const TPage page = MakePage();
  return page;
}

const std::string kTitle = "Products of the week";
const std::string kLabel = "Details";

// Fills an engine with the page; the caller renders it.
void FillEngine(TTemplateEngine& engine) {
  for (const auto& line : Page().Template) engine.TemplateLines.Add(line);
  engine.Prepare();
  engine.AssignGlobal("title", kTitle);
  engine.AssignGlobal("label", kLabel);
  for (int r = 0; r < kRows; ++r) {
    engine.NewBlock("row");
    engine.Assign("rowclass", r % 2 ? "odd" : "even");
    engine.Assign("id", std::to_string(r));
    engine.Assign("name", "item " + std::to_string(r));
    engine.Assign("price", std::to_string(r * 3) + ".50");
    for (int c = 0; c < kCellsPerRow; ++c) {
      engine.NewBlock("cell");
      engine.Assign("cellname", kCellNames[c]);
      engine.Assign("cellvalue", std::to_string(r * kCellsPerRow + c));
    }
  }
}

void AppendLines(std::string& out, const std::vector<TPageLine>& lines) {
  for (const auto& line : lines) {
    out += line.Before;
    if (line.HasTitle) {
      out += kTitle;
      out += line.After;
    }
    out += "\r\n";
  }
}

std::string RenderByHand() {
  std::string out;
  AppendLines(out, Page().Head);
  for (int r = 0; r < kRows; ++r) {
    const std::string id = std::to_string(r);
    out += "<tr class=\"";
    out += r % 2 ? "odd" : "even";
    out += "\">\r\n  <td>";
    out += id;
    out += "</td>\r\n  <td>";
    out += "item " + std::to_string(r);
    out += "</td>\r\n  <td>";
    out += std::to_string(r * 3) + ".50";
    out += "</td>\r\n  <td><a href=\"detail.php?id=";
    out += id;
    out += "\">";
    out += kLabel;
    out += "</a></td>\r\n";
    for (int c = 0; c < kCellsPerRow; ++c) {
      out += "    <span class=\"cell\">";
      out += kCellNames[c];
      out += ": ";
      out += std::to_string(r * kCellsPerRow + c);
      out += "</span>\r\n    <br>\r\n";
    }
    out += "</tr>\r\n";
  }
  AppendLines(out, Page().Tail);
  return out;
}

size_t OutputBytes() {
  static const size_t bytes = RenderByHand().size();
  return bytes;
}

// What the page generators do: render into the engine's buffer.
void BM_TemplateEngine(benchmark::State& state) {
  for (auto _ : state) {
    TTemplateEngine engine;
    FillEngine(engine);
    benchmark::DoNotOptimize(engine.GetOutputText().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * OutputBytes()));
}
BENCHMARK(BM_TemplateEngine)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The same, handing the page to a line list.
void BM_TemplateEngineList(benchmark::State& state) {
  for (auto _ : state) {
    TTemplateEngine engine;
    FillEngine(engine);
    TStringList list;
    engine.GetOutputContent(list);
    benchmark::DoNotOptimize(list);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * OutputBytes()));
}
BENCHMARK(BM_TemplateEngineList)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_Baseline(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    std::string out = RenderByHand();
    bytes = out.size();
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Baseline)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_BaselineWithList(benchmark::State& state) {
  for (auto _ : state) {
    TStringList list;
    list.SetText(RenderByHand());
    benchmark::DoNotOptimize(list);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * OutputBytes()));
}
BENCHMARK(BM_BaselineWithList)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // Both sides allocate and free about a megabyte per iteration. By default
  // glibc serves such blocks by mmap or trims the heap after them, depending
  // on what ran before, and the page faults that follow dominate and change
  // with the order of the benchmarks. Keeping that memory in the heap makes
  // each side measure its own work.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  TTemplateEngine check;
  FillEngine(check);
  TStringList engineOutput;
  check.GetOutputContent(engineOutput);
  if (engineOutput.Text() != RenderByHand()) {
    std::fprintf(stderr, "engine and baseline outputs differ\n");
    return 1;
  }
  std::printf("output: %zu bytes in %d lines, %d template lines, %d block instances\n", OutputBytes(),
              engineOutput.Count(), kTemplateLines, kRows * (1 + kCellsPerRow));

  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  reporter.PrintRatio("template_engine/baseline", "BM_TemplateEngine", "BM_Baseline");
  reporter.PrintRatio("template_engine_list/baseline_with_list", "BM_TemplateEngineList", "BM_BaselineWithList");
  return 0;
}
