#include "generator/TemplateEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace {

class TTestEngine : public TTemplateEngine {
public:
  const std::string& RawOutput() const { return Output; }
};

class TRandomTemplate {
public:
  explicit TRandomTemplate(uint32_t seed) : FRandom(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRandom); }
  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<size_t>(Below(static_cast<int>(items.size())))];
  }

  std::string BlockName() {
    static const std::vector<std::string> names = {"a", "b", "c", "row", "_ROOT", "a AS b", "x.y", " a ", "A"};
    return Pick(names);
  }
  std::string VariableName() {
    static const std::vector<std::string> names = {"v", "w", "a.v", "row.v", "_ROOT.v", "b.w",
                                                   "x.y.z", "v w", "", ".v", "a.", "nosuch.v"};
    return Pick(names);
  }
  std::string Value() {
    static const std::vector<std::string> values = {"", "1", "{v}", "\xC3\xA4", "<!-- END BLOCK : a -->", "x\ny"};
    return Pick(values);
  }

  std::string Opener() { return Below(2) ? "<!-- " : "<!--"; }

  std::string Line() {
    switch (Below(12)) {
      case 0:
      case 1:
        return Opener() + "START BLOCK : " + BlockName() + " -->";
      case 2:
      case 3:
        return Opener() + "END BLOCK : " + BlockName() + " -->";
      case 4:
        return Opener() + "REUSE BLOCK : " + BlockName() + " AS " + BlockName() + " -->";
      case 5:
        return Pick(std::vector<std::string>{"<!-- REUSE BLOCK : a -->", "<!-- INCLUDE BLOCK : a -->",
                                             "<!-- START BLOCK : -->", "x <!-- END BLOCK : a --> y -->",
                                             "<!-- START BLOCK :  -->"});
      case 6:
        return Opener() + (Below(2) ? "START" : "END") + " IGNORE -->";
      case 7:
        return "";
      default: {
        static const std::vector<std::string> bits = {"{", "}", "v", "w", " ", "{v}", "{w}", "{a b}", "{}",
                                                      "<!--", "-->", "\xE2\x82\xAC", "x", "{v}}"};
        std::string line;
        const int count = Below(8);
        for (int i = 0; i < count; ++i) line += Pick(bits);
        return line;
      }
    }
  }

private:
  std::mt19937 FRandom;
};

bool OnlyErrorLines(const std::string& text) {
  TStringList lines;
  lines.SetText(text);
  for (const auto& line : lines)
    if (!line.starts_with("TemplateEngine Error: ")) return false;
  return true;
}

}  // namespace

// Random templates (nested, duplicate and self-reusing blocks, stray markers
// and braces) and random filling calls: every round must end, throw nothing
// but the hash-table errors, and render each instance at most once.
TEST(TemplateEngineRandomTest, RandomTemplatesAndCallsStayWellBehaved) {
  const auto started = std::chrono::steady_clock::now();
  int prepared = 0;
  int rendered = 0;
  int hashErrors = 0;
  for (uint32_t round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    TRandomTemplate random(round);
    TTestEngine engine;
    const int lineCount = random.Below(30);
    size_t templateBytes = 0;
    for (int i = 0; i < lineCount; ++i) {
      engine.TemplateLines.Add(random.Line());
      templateBytes += engine.TemplateLines[i].size();
    }
    // Every instance renders at most its block's pieces once; a block's key
    // list is at most every piece the template made, copied once per line.
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
    const int callCount = random.Below(60);
    for (int call = 0; call < callCount; ++call) {
      const size_t before = engine.RawOutput().size();
      try {
        switch (random.Below(9)) {
          case 0:
          case 1:
          case 2:
            engine.NewBlock(random.BlockName());
            if (engine.RawOutput().size() == before) ++instances;
            break;
          case 3:
          case 4:
            engine.Assign(random.VariableName(), random.Value());
            break;
          case 5:
            engine.AssignGlobal(random.VariableName(), random.Value());
            break;
          case 6:
            engine.GotoBlock(random.BlockName());
            break;
          case 7: {
            // The second render repeats exactly what the first one added.
            TStringList list;
            engine.GetOutputContent(list);
            const std::string first = engine.RawOutput();
            ASSERT_LE(first.size() - before, instances * perInstance);
            engine.GetOutputContent(list);
            ASSERT_EQ(engine.RawOutput(), first + first.substr(before));
            TStringList expected;
            expected.SetText(engine.RawOutput());
            ASSERT_EQ(list, expected);
            ++rendered;
            break;
          }
          default:
            if (random.Below(4) == 0) {
              engine.Prepare();
              instances = 1;
              ASSERT_TRUE(OnlyErrorLines(engine.RawOutput()));
            }
            break;
        }
      } catch (const EHashError&) {
        ++hashErrors;
      }
    }
  }
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_LT(seconds, 10.0);
  // The generator must reach the interesting paths, not fail early every time.
  EXPECT_GT(prepared, 2000);
  EXPECT_GT(rendered, 1000);
  EXPECT_GT(hashErrors, 100);
}

// Text without markers or braces is copied line by line, with CR LF.
TEST(TemplateEngineRandomTest, TextWithoutMarkersRendersAsItself) {
  std::mt19937 random(7);
  const std::string alphabet = "ab -}>!\t\xC3\xA4\x01";
  for (int round = 0; round < 500; ++round) {
    TTestEngine engine;
    std::string expected;
    const int lines = static_cast<int>(random() % 20);
    for (int i = 0; i < lines; ++i) {
      std::string line;
      const int length = static_cast<int>(random() % 30);
      for (int k = 0; k < length; ++k) line += alphabet[random() % alphabet.size()];
      engine.TemplateLines.Add(line);
      expected += line + "\r\n";
    }
    engine.Prepare();
    engine.AssignGlobal("v", "unused");
    TStringList list;
    engine.GetOutputContent(list);
    ASSERT_EQ(engine.RawOutput(), expected) << round;
  }
}
