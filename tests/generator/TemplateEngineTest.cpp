#include "TestSupport.h"
#include "generator/TemplateEngine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using ::testing::ThrowsMessage;

// The raw buffer shows the line breaks exactly; GetOutputContent splits them off.
class TTestEngine : public TTemplateEngine {
public:
  const std::string& RawOutput() const { return Output; }
};

std::string S(const std::string& name) { return "<!-- START BLOCK : " + name + " -->\n"; }
std::string E(const std::string& name) { return "<!-- END BLOCK : " + name + " -->\n"; }

// Expected texts are written with "\n"; the engine ends every line with CR LF.
std::string Dos(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Filling calls separated by "|": "+b" NewBlock, ">b" GotoBlock, "*n=v"
// AssignGlobal, "n=v" Assign.
void Fill(TTemplateEngine& e, std::string_view script) {
  while (!script.empty()) {
    const size_t bar = std::min(script.find('|'), script.size());
    const std::string_view call = script.substr(0, bar);
    script.remove_prefix(std::min(bar + 1, script.size()));
    const std::string_view rest = call.substr(1);
    if (call[0] == '+') {
      e.NewBlock(rest);
    } else if (call[0] == '>') {
      e.GotoBlock(rest);
    } else {
      const std::string_view assign = call[0] == '*' ? rest : call;
      const size_t eq = assign.find('=');
      if (call[0] == '*')
        e.AssignGlobal(assign.substr(0, eq), assign.substr(eq + 1));
      else
        e.Assign(assign.substr(0, eq), assign.substr(eq + 1));
    }
  }
}

std::string Output(TTestEngine& engine) {
  TStringList list;
  engine.GetOutputContent(list);
  TStringList expected;
  expected.SetText(engine.RawOutput());
  EXPECT_EQ(list, expected);
  return engine.RawOutput();
}

struct TCase {
  std::string Name, Template, Script;
  std::string Throws;    // the message of the hash-table error the calls raise, or ""
  std::string Expected;  // with "\n" for CR LF
};

void RunCases(const std::vector<TCase>& cases) {
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestEngine engine;
    engine.TemplateLines.SetText(c.Template);
    engine.Prepare();
    const auto fill = [&] { Fill(engine, c.Script); };
    if (c.Throws.empty()) fill();
    else EXPECT_THAT(fill, ThrowsMessage<EHashError>(c.Throws));
    EXPECT_EQ(Output(engine), Dos(c.Expected));  // after an error too: the engine stays usable
  }
}

/** The cases of tests/fixtures/templates/engine_cases.txt (its head tells the form). */
std::vector<TCase> FixtureCases() {
  TStringList lines;
  lines.LoadFromFile(qftest::SourceDir() + "/tests/fixtures/templates/engine_cases.txt");
  std::vector<TCase> cases;
  bool output = false;
  for (const std::string& line : lines) {
    if (line.starts_with("=== ")) {
      cases.emplace_back().Name = line.substr(4);
      output = false;
    } else if (cases.empty()) {
      continue;  // the head
    } else if (!output && line.starts_with("---")) {
      cases.back().Script = line.substr(std::min<size_t>(4, line.size()));
      output = true;
    } else if (output && line.starts_with("!!! ") && cases.back().Expected.empty()) {
      cases.back().Throws = line.substr(4);
    } else {
      (output ? cases.back().Expected : cases.back().Template) += line + "\n";
    }
  }
  return cases;
}

const std::string kNotPrepared = "TemplateEngine Error: Template is not prepared!\r\n";
const std::string kRow = "<table>\n" + S("row") + "<tr><td>{name}</td><td>{price}</td></tr>\n" + E("row") +
                         "</table>\n";

}  // namespace

TEST(TemplateEngineTest, FixtureCases) {
  const std::vector<TCase> cases = FixtureCases();
  EXPECT_GE(cases.size(), 53u);
  RunCases(cases);
}

// What a text file cannot hold well: control bytes, no break at the end.
TEST(TemplateEngineTest, ControlBytesAndNoFinalBreak) {
  RunCases({{"plain and empty lines", "a\n\n-}>!\t\x01 -->\n\n", "", "", "a\n\n-}>!\t\x01 -->\n\n"},
            {"no final break", "a\n{v}", "v=V", "", "a\nV\n"}});
}

TEST(TemplateEngineTest, ErrorLinesComeFirstInCallOrder) {
  TTestEngine engine;
  engine.TemplateLines.SetText("<!-- REUSE BLOCK : ghost AS g2 -->\n" + S("row") + "[{v}]\n" + E("row") +
                               "<!-- REUSE BLOCK : phantom AS p2 -->\n{v}\n");
  engine.NewBlock("row");  // wiped by Prepare
  engine.Prepare();
  Fill(engine, "+ghost|row.v=early|+_ROOT|+row|v=r|+g2|>_ROOT|v=top");
  EXPECT_EQ(Output(engine), Dos("TemplateEngine Error: Can't find block \"ghost\" to REUSE as \"g2\"\n"
                                "TemplateEngine Error: Can't find block \"phantom\" to REUSE as \"p2\"\n"
                                "TemplateEngine Error: Can't find the block definition of \"ghost\"\n"
                                "TemplateEngine Error: Unable to assign var. Can't find block \"row\", you must "
                                "create the block first.\n"
                                "TemplateEngine Error: Can't find the block definition of \"_ROOT\"\n"
                                "TemplateEngine Error: Can't find the block definition of \"g2\"\n"
                                "[r]\ntop\n"));
}

TEST(TemplateEngineTest, EveryCallBeforePrepareWritesTheNotPreparedLine) {
  // Each script line adds as many error lines as it has calls; empty names do not reach the tables.
  for (const char* script : {"", "+row", "v=1", "row.v=1", "*v=1", ">_ROOT", "*=1|+|>"}) {
    SCOPED_TRACE(script);
    TTestEngine engine;
    engine.TemplateLines.SetText(kRow);
    Fill(engine, script);
    const auto calls = *script ? std::count(script, script + std::strlen(script), '|') + 1 : 0;
    std::string expected;
    for (int i = 0; i <= calls; ++i) expected += kNotPrepared;
    EXPECT_EQ(Output(engine), expected);
  }
  // A blank block name makes Prepare throw and leaves the engine unprepared.
  TTestEngine engine;
  engine.TemplateLines.SetText("<!-- START BLOCK :   -->\nx\n");
  EXPECT_THAT([&] { engine.Prepare(); }, ThrowsMessage<EHashInvalidKeyError>("Key cannot be an empty string"));
  engine.Assign("v", "1");
  EXPECT_EQ(Output(engine), kNotPrepared + kNotPrepared);
}

TEST(TemplateEngineTest, SecondOutputRendersAgainAndPrepareStartsOver) {
  TTestEngine engine;
  engine.TemplateLines.SetText(kRow);
  engine.Prepare();
  Fill(engine, "*price=g|+nope|+row|name=n");
  const std::string error = "TemplateEngine Error: Can't find the block definition of \"nope\"\r\n";
  const std::string page = Dos("<table>\n<tr><td>n</td><td>g</td></tr>\n</table>\n");
  EXPECT_EQ(Output(engine), error + page);
  EXPECT_EQ(Output(engine), error + page + page);

  engine.TemplateLines.Put(2, "<tr>{name}{price}</tr>");
  engine.Prepare();
  Fill(engine, "+row|name=fresh");
  EXPECT_EQ(Output(engine), Dos("<table>\n<tr>fresh</tr>\n</table>\n"));
}

// "_ROOT" reused as itself is its own parent: every NewBlock("_ROOT") nests a
// level deeper. Rendering must neither double the output nor recurse.
TEST(TemplateEngineTest, SelfNestedRootChainRendersEachListOnce) {
  TTestEngine engine;
  engine.TemplateLines.SetText("<!-- REUSE BLOCK : _ROOT AS _ROOT -->\n<!-- REUSE BLOCK : _ROOT AS _ROOT -->\n[{v}]\n");
  engine.Prepare();
  engine.Assign("v", "0");
  const int depth = 50000;
  for (int i = 1; i <= depth; ++i) {
    engine.NewBlock("_ROOT");
    engine.Assign("v", std::to_string(i));
  }
  TStringList list;
  list.SetText(Output(engine));
  ASSERT_EQ(list.Count(), depth + 1);
  for (int i = 0; i <= depth; ++i) ASSERT_EQ(list[i], qftest::Str("[", depth - i, "]"));
}

TEST(TemplateEngineTest, DeeplyNestedTemplateParsesWithoutRecursion) {
  const int depth = 20000;
  std::string text;
  for (int i = 0; i < depth; ++i) text += S(qftest::Str("b", i));
  text += "deep {v}\n";
  for (int i = depth - 1; i >= 0; --i) text += E(qftest::Str("b", i));
  TTestEngine engine;
  engine.TemplateLines.SetText(text);
  engine.Prepare();
  for (int i = 0; i < depth; ++i) engine.NewBlock(qftest::Str("b", i));
  engine.Assign("v", "here");
  EXPECT_EQ(Output(engine), "deep here\r\n");
}
