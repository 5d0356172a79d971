#include "generator/TemplateEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace {

class TTestEngine : public TTemplateEngine {
public:
  const std::string& RawOutput() const { return Output; }
};

using TWords = std::vector<std::string>;
const TWords kBlocks = {"a", "b", "c", "row", "_ROOT", "a AS b", "x.y", " a ", "A"};
const TWords kVariables = {"v", "w", "a.v", "row.v", "_ROOT.v", "b.w", "x.y.z", "v w", "", ".v", "a.", "nosuch.v"};
const TWords kValues = {"", "1", "{v}", "\xC3\xA4", "<!-- END BLOCK : a -->", "x\ny"};
// Line shapes: "%o" an opener with or without its blank, "%b" a block name,
// "%m" an odd marker, "%t" a run of text bits.
const TWords kLines = {"%oSTART BLOCK : %b -->", "%oSTART BLOCK : %b -->", "%oEND BLOCK : %b -->",
                       "%oEND BLOCK : %b -->", "%oREUSE BLOCK : %b AS %b -->", "%m", "%oSTART IGNORE -->",
                       "%oEND IGNORE -->", "", "%t", "%t", "%t", "%t"};
const TWords kOddMarkers = {"<!-- REUSE BLOCK : a -->", "<!-- INCLUDE BLOCK : a -->", "<!-- START BLOCK : -->",
                            "x <!-- END BLOCK : a --> y -->", "<!-- START BLOCK :  -->"};
const TWords kBits = {"{", "}", "v", "w", " ", "{v}", "{w}", "{a b}", "{}", "<!--", "-->", "\xE2\x82\xAC", "x", "{v}}"};

bool OnlyErrorLines(const std::string& text) {
  TStringList lines;
  lines.SetText(text);
  return std::ranges::all_of(lines.Lines(), [](const auto& l) { return l.starts_with("TemplateEngine Error: "); });
}

}  // namespace

// Random templates (nested, duplicate and self-reusing blocks, stray markers
// and braces) and random calls: every round ends, throws nothing but the
// hash-table errors, renders each instance at most once and renders the same
// page twice.
TEST(TemplateEngineRandomTest, RandomTemplatesAndCallsStayWellBehaved) {
  const auto started = std::chrono::steady_clock::now();
  int prepared = 0, rendered = 0, hashErrors = 0;
  for (uint32_t round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    std::mt19937 random(round);
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    auto pick = [&](const TWords& words) { return words[static_cast<size_t>(below(static_cast<int>(words.size())))]; };
    auto line = [&] {
      std::string text;
      const std::string& shape = pick(kLines);
      for (size_t i = 0; i < shape.size(); ++i) {
        const char c = shape[i] == '%' ? shape[++i] : '\0';
        if (c == 'o') text += below(2) ? "<!-- " : "<!--";
        else if (c == 'b') text += pick(kBlocks);
        else if (c == 'm') text += pick(kOddMarkers);
        else if (c == 't') for (int n = below(8); n > 0; --n) text += pick(kBits);
        else text += shape[i];
      }
      return text;
    };
    TTestEngine engine;
    const int lineCount = below(30);
    size_t templateBytes = 0;
    for (int i = 0; i < lineCount; ++i) templateBytes += engine.TemplateLines[engine.TemplateLines.Add(line())].size();
    // An instance renders its block's pieces at most once; a block's pieces are
    // at most every piece of the template, copied once per line.
    const size_t perInstance = (static_cast<size_t>(lineCount) + 1) * (templateBytes + 2 * lineCount + 1) * 9;
    try {
      engine.Prepare();
    } catch (const EHashError&) {
      ++hashErrors;
      continue;
    }
    ++prepared;
    ASSERT_TRUE(OnlyErrorLines(engine.RawOutput())) << engine.RawOutput();
    size_t instances = 1;
    for (int call = below(60); call > 0; --call) {
      const size_t before = engine.RawOutput().size();
      try {
        switch (below(9)) {
          case 0: case 1: case 2:
            engine.NewBlock(pick(kBlocks));
            if (engine.RawOutput().size() == before) ++instances;
            break;
          case 3: case 4: engine.Assign(pick(kVariables), pick(kValues)); break;
          case 5: engine.AssignGlobal(pick(kVariables), pick(kValues)); break;
          case 6: engine.GotoBlock(pick(kBlocks)); break;
          case 7: {
            TStringList list;
            engine.GetOutputContent(list);
            const std::string first = engine.RawOutput();
            ASSERT_LE(first.size() - before, instances * perInstance);
            engine.GetOutputContent(list);
            ASSERT_EQ(engine.RawOutput(), first + first.substr(before));
            ASSERT_EQ(list.Text(), TStringList::CrLfText(engine.RawOutput()));
            ++rendered;
            break;
          }
          default:
            if (below(4) == 0) {
              engine.Prepare();
              instances = 1;
              ASSERT_TRUE(OnlyErrorLines(engine.RawOutput()));
            }
        }
      } catch (const EHashError&) {
        ++hashErrors;
      }
    }
  }
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 10.0);
  // The generator reaches the interesting paths rather than failing early.
  EXPECT_GT(prepared, 2000);
  EXPECT_GT(rendered, 1000);
  EXPECT_GT(hashErrors, 100);
}
