#include "TestSupport.h"
#include "generator/TemplateEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

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
  const char* Name;
  std::string Template;
  const char* Script;
  std::string Expected;  // with "\n" for CR LF
};

void RunCases(const std::vector<TCase>& cases) {
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestEngine engine;
    engine.TemplateLines.SetText(c.Template);
    engine.Prepare();
    Fill(engine, c.Script);
    EXPECT_EQ(Output(engine), Dos(c.Expected));
  }
}

template <class E, class F>
void ExpectThrowWithMessage(F&& call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

const std::string kNotPrepared = "TemplateEngine Error: Template is not prepared!\r\n";
const std::string kRow = "<table>\n" + S("row") + "<tr><td>{name}</td><td>{price}</td></tr>\n" + E("row") +
                         "</table>\n";
const std::string kNested = S("group") + "G:{title}\n" + S("item") + "- {label} ({title})\n" + E("item") + E("group") +
                            "end {title}\n";

}  // namespace

TEST(TemplateEngineTest, TextAndVariables) {
  RunCases({
      {"plain and empty lines", "a\n\n-}>!\t\x01 -->\n\n", "", "a\n\n-}>!\t\x01 -->\n\n"},
      {"empty template", "", "", ""},
      {"names with blanks and empty braces stay literal", "x {a b} {a\tb} { x} {}\n", "", "x {a b} {a\tb} { x} {}\n"},
      {"stray braces", "end {\n{\na {v b\n} {v\n", "v=1", "end {\n{\na {v b\n} {v\n"},
      {"braces around variables", "{}{v} {x}} {{v}}\n", "v=1|x=V", "{}1 V} {1}\n"},
      {"a line ending in a variable keeps its break", "a {v}\nb\n{v}\n\nz\n", "v=1", "a 1\nb\n1\n\nz\n"},
      {"CR breaks", "a\r{v}\r\rb\r", "v=V", "a\nV\n\nb\n"},
      {"CR LF breaks", "a\r\n{v}\r\n\r\nb\r\n", "v=V", "a\nV\n\nb\n"},
      {"no final break", "a\n{v}", "v=V", "a\nV\n"},
      {"unassigned variable", "[{v}]\n{v}\n", "", "[]\n\n"},
      {"side by side, twice, the last value wins", "{v}{w}-{v}\n", "v=1|w=2|v=3", "32-3\n"},
      {"UTF-8 passes through", "Gr\xC3\xBC\xC3\x9F" "e {n} \xE2\x82\xAC\n", "n=J\xC3\xBCrgen",
       "Gr\xC3\xBC\xC3\x9F" "e J\xC3\xBCrgen \xE2\x82\xAC\n"},
      {"a value is not parsed", "{v}\n", "v={w}|w=no", "{w}\n"},
      {"two dots make a plain variable", "{a.b.c}\n", "a.b.c=d", "d\n"},
      {"comments that are no markers",
       "<!-- c -->\n<!-- start block : x -->\n<!-- START BLOCK : -->\n<!--  START BLOCK : x -->\n"
       "<!-- START BLOCK : x\n<!-- START IGNORE-->\n{v}\n",
       "v=1",
       "<!-- c -->\n<!-- start block : x -->\n<!-- START BLOCK : -->\n<!--  START BLOCK : x -->\n"
       "<!-- START BLOCK : x\n<!-- START IGNORE-->\n1\n"},
  });
}

TEST(TemplateEngineTest, Blocks) {
  const std::string rowX = S("row") + "row {x}\n" + E("row") + S("foot") + "foot {x}\n" + E("foot");
  RunCases({
      {"a block without instances vanishes", kRow, "", "<table>\n</table>\n"},
      {"instances with own values and a global fallback", kRow,
       "*price=0.00|+row|name=tea|price=1.50|+row|name=water|+row|name=coffee|price=2.10",
       "<table>\n<tr><td>tea</td><td>1.50</td></tr>\n<tr><td>water</td><td>0.00</td></tr>\n"
       "<tr><td>coffee</td><td>2.10</td></tr>\n</table>\n"},
      {"root values are not seen inside blocks; own values beat globals",
       "{v}{w}\n" + S("row") + "[{v}]\n" + E("row"), "*v=global|*w=g|v=root|+row|+row|v=own",
       "rootg\n[global]\n[own]\n"},
      {"a global assigned after the instances applies", kRow, "+row|name=n|*price=late",
       "<table>\n<tr><td>n</td><td>late</td></tr>\n</table>\n"},
      {"block.var while another block is current", rowX, "+row|+row|+foot|row.x=1|x=2", "row \nrow 1\nfoot 2\n"},
      {"_ROOT.var from inside a block", "{x}\n" + S("row") + E("row"), "+row|_ROOT.x=r", "r\n"},
      {"block.var with an empty variable name", S("row") + "[{x}]\n" + E("row"), "+row|row.=no", "[]\n"},
      {"a new parent instance starts a new list", kNested,
       "+group|title=A|+item|label=x|+item|label=y|+group|title=B|+group|title=C|+item|label=z",
       "G:A\n- x ()\n- y ()\nG:B\nG:C\n- z ()\nend \n"},
      {"three levels", S("b1") + "1\n" + S("b2") + "2\n" + S("b3") + "3\n" + E("b3") + E("b2") + E("b1"),
       "+b1|+b2|+b3|+b3|+b1", "1\n2\n3\n3\n1\n"},
      {"GotoBlock goes to the newest instance and to the root; an unknown name changes nothing", kNested,
       "+group|+item|label=x|>group|title=A|>_ROOT|title=R|>undefined|label=still root", "G:A\n- x ()\nend R\n"},
      {"text around a marker is dropped", "a <!-- START BLOCK : row --> b\nin\nc <!--END BLOCK : row-->d\nout\n",
       "+row", "in\nout\n"},
      {"names are trimmed", "<!--START BLOCK :    row  \t-->\nin\n" + E("row"), "+row", "in\n"},
      {"the name runs to the last closer", S("a --> b") + "in\n" + E("a --> b"), "+a --> b", "in\n"},
      {"START closes a block of the same name", S("row") + "in\n" + S("row") + "out\n", "+row", "in\nout\n"},
      {"an empty line right after START", S("row") + "\nx\n" + E("row"), "+row", "\nx\n"},
      {"the break after a nested block", "a\n" + S("row") + "r\n" + E("row") + "\n", "+row", "a\nr\n\n"},
      {"an unclosed block runs to the end", "top\n" + S("row") + "r1\nr2\n", "+row", "top\nr1\nr2\n"},
      {"closing _ROOT drops the rest", "kept\n" + E("_ROOT") + "dropped\n", "", "kept\n"},
  });
}

TEST(TemplateEngineTest, IgnoreReuseAndInclude) {
  const std::string ignore = "<!-- START IGNORE -->\n";
  const std::string endIgnore = "<!-- END IGNORE -->\n";
  RunCases({
      {"markers and braces inside IGNORE are literal", "a\n" + ignore + S("x") + "{v}\n" + endIgnore + "{v}\n", "v=1",
       "a\n<!-- START BLOCK : x -->\n{v}\n1\n"},
      {"IGNORE nests",
       ignore + "<!--START IGNORE -->\ninner {v}\n" + endIgnore + "still {v}\n<!--END IGNORE -->\n{v}\n",
       "v=1", "inner {v}\nstill {v}\n1\n"},
      {"END IGNORE without START is ignored", endIgnore + endIgnore + "{v}\n" + ignore + "{v}\n" + endIgnore + "{v}\n",
       "v=1", "1\n{v}\n1\n"},
      {"an unclosed IGNORE runs to the end", ignore + E("_ROOT") + "{v}\n", "v=1", "<!-- END BLOCK : _ROOT -->\n{v}\n"},
      {"ignored lines belong to their block", S("row") + ignore + "{raw}\n" + endIgnore + "{v}\n" + E("row"),
       "+row|v=a|+row|v=b", "{raw}\na\n{raw}\nb\n"},
      {"IGNORE wins over a block marker on its line", "<!-- START BLOCK : x --><!-- START IGNORE -->\n{v}\n", "",
       "{v}\n"},
      {"REUSE copies a definition; INCLUDE is dropped",
       S("row") + "[{v}]\n" + E("row") + "<!-- REUSE BLOCK : row AS other -->\n<!-- INCLUDE BLOCK : x.tpl -->\nend\n",
       "+row|v=1|+other|v=2|+other|v=3", "[1]\n[2]\n[3]\nend\n"},
      {"REUSE names are trimmed and split at the last AS",
       S("a AS b") + "x\n" + E("a AS b") + "<!-- REUSE BLOCK :   a AS b   AS   c  -->\n", "+a AS b|+c", "x\nx\n"},
      {"REUSE without AS is literal", "<!-- REUSE BLOCK : row -->\n<!-- REUSE BLOCK : AS x -->\n", "",
       "<!-- REUSE BLOCK : row -->\n<!-- REUSE BLOCK : AS x -->\n"},
      {"REUSE of an unknown block", "top\n<!-- REUSE BLOCK : nope AS x -->\nbottom\n", "",
       "TemplateEngine Error: Can't find block \"nope\" to REUSE as \"x\"\ntop\nbottom\n"},
      {"a copy keeps the nested block's place, its instances stay with the source",
       S("outer") + "o{v}\n" + S("inner") + "i\n" + E("inner") + E("outer") + "<!-- REUSE BLOCK : outer AS copy -->\n",
       "+outer|v=1|+copy|v=2|+inner", "o1\ni\no2\n"},
  });
}

// Templates that break the rules must end, stay memory-safe and give a fixed output.
TEST(TemplateEngineTest, MalformedTemplates) {
  RunCases({
      {"a name defined twice shows once, at the first place, with the last definition",
       S("b") + "one {v}\n" + E("b") + "mid\n" + S("b") + "two {v}\n" + E("b") + "end\n", "+b|v=1|+b|v=2",
       "two 1\ntwo 2\nmid\nend\n"},
      {"REUSE inside the source copies what was parsed so far",
       S("a") + "x{v}\n<!-- REUSE BLOCK : a AS b -->\ny\n" + E("a"), "+a|v=1|+b|v=2", "x1\nx2\ny\n"},
      {"a parent redefined without its nested block",
       S("a") + S("b") + "x{v}\n" + E("b") + E("a") + S("a") + "y\n" + E("a"), "+a|+b|+b|b.v=1|+a|+b|>b|v=2",
       "y\ny\n"},
  });
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
  ExpectThrowWithMessage<EHashInvalidKeyError>([&] { engine.Prepare(); }, "Key cannot be an empty string");
  engine.Assign("v", "1");
  EXPECT_EQ(Output(engine), kNotPrepared + kNotPrepared);
}

TEST(TemplateEngineTest, HashTableExceptionsReachTheCaller) {
  const std::string page = S("row") + "r\n" + E("row") + S("group") + S("item") + E("item") + E("group") + "page\n";
  const std::string endA = "x\n" + S("a") + "1\n" + S("b") + "2\n" + E("a") + "3\n" + E("b") + "4\n" + E("a") + "y\n";
  const std::string emptyKey = "Key cannot be an empty string";
  struct Case {
    const char* Name;
    std::string Template;
    const char* Script;
    bool InvalidKey;  // else a find error
    std::string Message;
    std::string Expected;  // the output afterwards
  };
  const std::vector<Case> cases = {
      {"Assign to an undefined block", page, "nosuch.v=1", false, "Key \"nosuch\" not found", "page\n"},
      {"GotoBlock of a block without instances", page, ">row", false, "Key \"row_0\" not found", "page\n"},
      {"NewBlock of a child before its parent", page, "+item", false, "Key \"group_0\" not found", "page\n"},
      {"Assign with an empty block name", page, ".v=1", true, emptyKey, "page\n"},
      {"AssignGlobal with an empty name", page, "*=1", true, emptyKey, "page\n"},
      {"NewBlock with an empty name", page, "+", true, emptyKey, "page\n"},
      {"GotoBlock with an empty name", page, ">", true, emptyKey, "page\n"},
      {"a block REUSEd as itself inside itself", "top\n" + S("a") + "in\n<!-- REUSE BLOCK : a AS a -->\n" + E("a") +
       "bottom\n", "+a", false, "Key \"a_0\" not found", "top\nbottom\n"},
      {"an END naming an enclosing block (a)", endA, "+a", false, "Key \"b_0\" not found", "x\n"},
      {"an END naming an enclosing block (b)", endA, "+b", false, "Key \"a_0\" not found", "x\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestEngine engine;
    engine.TemplateLines.SetText(c.Template);
    engine.Prepare();
    if (c.InvalidKey)
      ExpectThrowWithMessage<EHashInvalidKeyError>([&] { Fill(engine, c.Script); }, c.Message);
    else
      ExpectThrowWithMessage<EHashFindError>([&] { Fill(engine, c.Script); }, c.Message);
    EXPECT_EQ(Output(engine), Dos(c.Expected));  // the engine stays usable, the call left no trace
  }
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
