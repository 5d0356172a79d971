#include "generator/TemplateEngine.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The raw output buffer shows the line breaks exactly; the string list that
// GetOutputContent fills has them split off.
class TTestEngine : public TTemplateEngine {
public:
  const std::string& RawOutput() const { return Output; }
};

using TFill = std::function<void(TTemplateEngine&)>;

struct RenderCase {
  const char* Name;
  std::vector<std::string> Lines;
  TFill Fill;
  std::string Expected;
};

std::string Render(const std::vector<std::string>& lines, const TFill& fill) {
  TTestEngine engine;
  for (const auto& line : lines) engine.TemplateLines.Add(line);
  engine.Prepare();
  if (fill) fill(engine);
  TStringList list;
  engine.GetOutputContent(list);
  TStringList expectedList;
  expectedList.SetText(engine.RawOutput());
  EXPECT_EQ(list, expectedList);
  return engine.RawOutput();
}

void RunCases(const std::vector<RenderCase>& cases) {
  for (const RenderCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Render(c.Lines, c.Fill), c.Expected);
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

const std::vector<std::string> kRowTemplate = {
    "<table>",
    "<!-- START BLOCK : row -->",
    "<tr><td>{name}</td><td>{price}</td></tr>",
    "<!-- END BLOCK : row -->",
    "</table>",
};

const std::vector<std::string> kNestedTemplate = {
    "<!-- START BLOCK : group -->",
    "G:{title}",
    "<!-- START BLOCK : item -->",
    "- {label} ({title})",
    "<!-- END BLOCK : item -->",
    "<!-- END BLOCK : group -->",
    "end {title}",
};

}  // namespace

TEST(TemplateEngineTest, TextWithoutMarkers) {
  const TFill none;
  RunCases({
      {"plain line", {"hello"}, none, "hello\r\n"},
      {"empty template", {}, none, ""},
      {"single empty line", {""}, none, "\r\n"},
      {"empty line between", {"a", "", "b"}, none, "a\r\n\r\nb\r\n"},
      {"trailing empty lines", {"a", "", ""}, none, "a\r\n\r\n\r\n"},
      {"name with blank stays literal", {"x {a b} y"}, none, "x {a b} y\r\n"},
      {"name with tab stays literal", {"{a\tb}"}, none, "{a\tb}\r\n"},
      {"leading blank in name", {"<p>{ x}</p>"}, none, "<p>{ x}</p>\r\n"},
      {"empty braces", {"{}"}, none, "{}\r\n"},
      {"empty braces then variable", {"{}{v}"}, [](auto& e) { e.Assign("v", "1"); }, "{}1\r\n"},
      {"second closing brace", {"{x}}"}, [](auto& e) { e.Assign("x", "V"); }, "V}\r\n"},
      {"double braces", {"{{v}}"}, [](auto& e) { e.Assign("v", "1"); }, "{1}\r\n"},
      {"brace at line end", {"end {"}, none, "end {\r\n"},
      {"lone brace", {"{"}, none, "{\r\n"},
      {"unclosed name", {"a {v b"}, none, "a {v b\r\n"},
      {"closing brace first", {"} {v"}, none, "} {v\r\n"},
      {"line ending in variable", {"a {v}", "b"}, [](auto& e) { e.Assign("v", "1"); }, "a 1\r\nb\r\n"},
      {"variable alone", {"{v}"}, [](auto& e) { e.Assign("v", "1"); }, "1\r\n"},
      {"unassigned variable", {"[{v}]", "{v}"}, none, "[]\r\n\r\n"},
      {"variables side by side", {"{v}{w}"}, [](auto& e) { e.Assign("v", "1"); e.Assign("w", "2"); }, "12\r\n"},
      {"same variable twice", {"{v}-{v}"}, [](auto& e) { e.Assign("v", "x"); }, "x-x\r\n"},
      {"later value wins", {"{v}"}, [](auto& e) { e.Assign("v", "1"); e.Assign("v", "2"); }, "2\r\n"},
      {"empty line after variable", {"{v}", "", "z"}, [](auto& e) { e.Assign("v", "1"); }, "1\r\n\r\nz\r\n"},
      {"UTF-8 passes through",
       {"Gr\xC3\xBC\xC3\x9F" "e {name} \xE2\x82\xAC"},
       [](auto& e) { e.Assign("name", "J\xC3\xBCrgen"); },
       "Gr\xC3\xBC\xC3\x9F" "e J\xC3\xBCrgen \xE2\x82\xAC\r\n"},
      {"value holding braces is not parsed", {"{v}"}, [](auto& e) { e.Assign("v", "{w}"); e.Assign("w", "no"); },
       "{w}\r\n"},
      {"dotted name with two dots is a plain variable", {"{a.b.c}"}, [](auto& e) { e.Assign("a.b.c", "d"); },
       "d\r\n"},
      {"plain HTML comment", {"<!-- comment -->"}, none, "<!-- comment -->\r\n"},
      {"marker words are case-sensitive", {"<!-- start block : x -->"}, none, "<!-- start block : x -->\r\n"},
      {"marker without a name", {"<!-- START BLOCK : -->"}, none, "<!-- START BLOCK : -->\r\n"},
      {"two blanks after the opener", {"<!--  START BLOCK : x -->"}, none, "<!--  START BLOCK : x -->\r\n"},
      {"marker without closing", {"<!-- START BLOCK : x"}, none, "<!-- START BLOCK : x\r\n"},
      {"ignore marker with blank missing", {"<!-- START IGNORE-->", "{v}"}, [](auto& e) { e.Assign("v", "1"); },
       "<!-- START IGNORE-->\r\n1\r\n"},
  });
}

TEST(TemplateEngineTest, LineBreaksOfAnyKindBecomeCrLf) {
  const std::vector<std::pair<const char*, std::string>> inputs = {
      {"LF", "a\n{v}\n\nb\n"},
      {"CR", "a\r{v}\r\rb\r"},
      {"CR LF", "a\r\n{v}\r\n\r\nb\r\n"},
      {"no final break", "a\n{v}\n\nb"},
  };
  for (const auto& [name, text] : inputs) {
    SCOPED_TRACE(name);
    TTestEngine engine;
    engine.TemplateLines.SetText(text);
    engine.Prepare();
    engine.Assign("v", "V");
    TStringList list;
    engine.GetOutputContent(list);
    EXPECT_EQ(engine.RawOutput(), "a\r\nV\r\n\r\nb\r\n");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "V", "", "b"}));
  }
}

TEST(TemplateEngineTest, BlocksAndVariables) {
  RunCases({
      {"block without instances vanishes", kRowTemplate, nullptr, "<table>\r\n</table>\r\n"},
      {"three instances with own values and a global fallback", kRowTemplate,
       [](auto& e) {
         e.AssignGlobal("price", "0.00");
         e.NewBlock("row");
         e.Assign("name", "tea");
         e.Assign("price", "1.50");
         e.NewBlock("row");
         e.Assign("name", "water");
         e.NewBlock("row");
         e.Assign("name", "coffee");
         e.Assign("price", "2.10");
       },
       "<table>\r\n"
       "<tr><td>tea</td><td>1.50</td></tr>\r\n"
       "<tr><td>water</td><td>0.00</td></tr>\r\n"
       "<tr><td>coffee</td><td>2.10</td></tr>\r\n"
       "</table>\r\n"},
      {"root variables are not seen inside blocks",
       {"{name}", "<!-- START BLOCK : row -->", "[{name}]", "<!-- END BLOCK : row -->"},
       [](auto& e) {
         e.Assign("name", "root");
         e.NewBlock("row");
       },
       "root\r\n[]\r\n"},
      {"own value beats the global, also in the root",
       {"{v}", "<!-- START BLOCK : row -->", "[{v}]", "<!-- END BLOCK : row -->"},
       [](auto& e) {
         e.AssignGlobal("v", "global");
         e.Assign("v", "root");
         e.NewBlock("row");
         e.NewBlock("row");
         e.Assign("v", "own");
       },
       "root\r\n[global]\r\n[own]\r\n"},
      {"global assigned after the instances still applies", kRowTemplate,
       [](auto& e) {
         e.NewBlock("row");
         e.Assign("name", "n");
         e.AssignGlobal("price", "late");
       },
       "<table>\r\n<tr><td>n</td><td>late</td></tr>\r\n</table>\r\n"},
      {"block.var while another block is current",
       {"<!-- START BLOCK : row -->", "row {x}", "<!-- END BLOCK : row -->", "<!-- START BLOCK : foot -->",
        "foot {x}", "<!-- END BLOCK : foot -->"},
       [](auto& e) {
         e.NewBlock("row");
         e.NewBlock("row");
         e.NewBlock("foot");
         e.Assign("row.x", "1");  // newest row, although foot is current
         e.Assign("x", "2");      // foot
       },
       "row \r\nrow 1\r\nfoot 2\r\n"},
      {"_ROOT.var from inside a block",
       {"{x}", "<!-- START BLOCK : row -->", "<!-- END BLOCK : row -->"},
       [](auto& e) {
         e.NewBlock("row");
         e.Assign("_ROOT.x", "r");
       },
       "r\r\n"},
      {"block.var with an empty variable name is a variable of its own",
       {"<!-- START BLOCK : row -->", "[{x}]", "<!-- END BLOCK : row -->"},
       [](auto& e) {
         e.NewBlock("row");
         e.Assign("row.", "nothing shows");
       },
       "[]\r\n"},
      {"nested lists: a new parent instance starts a new list", kNestedTemplate,
       [](auto& e) {
         e.NewBlock("group");
         e.Assign("title", "A");
         e.NewBlock("item");
         e.Assign("label", "x");
         e.NewBlock("item");
         e.Assign("label", "y");
         e.NewBlock("group");
         e.Assign("title", "B");
         e.NewBlock("group");
         e.Assign("title", "C");
         e.NewBlock("item");
         e.Assign("label", "z");
       },
       "G:A\r\n- x ()\r\n- y ()\r\nG:B\r\nG:C\r\n- z ()\r\nend \r\n"},
      {"GotoBlock returns to the newest instance and to the root", kNestedTemplate,
       [](auto& e) {
         e.NewBlock("group");
         e.NewBlock("item");
         e.Assign("label", "x");
         e.GotoBlock("group");
         e.Assign("title", "A");
         e.GotoBlock("_ROOT");
         e.Assign("title", "R");
         e.GotoBlock("undefined");  // changes nothing
         e.Assign("label", "still root");
       },
       "G:A\r\n- x ()\r\nend R\r\n"},
      {"text before and after a marker on its line is dropped",
       {"a <!-- START BLOCK : row --> b", "in", "c <!--END BLOCK : row-->d", "out"},
       [](auto& e) { e.NewBlock("row"); },
       "in\r\nout\r\n"},
      {"block names are trimmed",
       {"<!--START BLOCK :    row  \t-->", "in", "<!-- END BLOCK : row -->"},
       [](auto& e) { e.NewBlock("row"); },
       "in\r\n"},
      {"the name runs to the last closer of the line",
       {"<!-- START BLOCK : a --> b -->", "in", "<!-- END BLOCK : a --> b -->"},
       [](auto& e) { e.NewBlock("a --> b"); },
       "in\r\n"},
      {"START closes a block of the same name",
       {"<!-- START BLOCK : row -->", "in", "<!-- START BLOCK : row -->", "out"},
       [](auto& e) { e.NewBlock("row"); },
       "in\r\nout\r\n"},
      {"empty line right after START",
       {"<!-- START BLOCK : row -->", "", "x", "<!-- END BLOCK : row -->"},
       [](auto& e) { e.NewBlock("row"); },
       "\r\nx\r\n"},
      {"line break after a nested block is a piece of its own",
       {"a", "<!-- START BLOCK : row -->", "r", "<!-- END BLOCK : row -->", ""},
       [](auto& e) { e.NewBlock("row"); },
       "a\r\nr\r\n\r\n"},
      {"unclosed block runs to the end",
       {"top", "<!-- START BLOCK : row -->", "r1", "r2"},
       [](auto& e) { e.NewBlock("row"); },
       "top\r\nr1\r\nr2\r\n"},
      {"closing _ROOT drops the rest of the template",
       {"kept", "<!-- END BLOCK : _ROOT -->", "dropped"},
       nullptr,
       "kept\r\n"},
      {"deep nesting",
       {"<!-- START BLOCK : b1 -->", "1", "<!-- START BLOCK : b2 -->", "2", "<!-- START BLOCK : b3 -->", "3",
        "<!-- END BLOCK : b3 -->", "<!-- END BLOCK : b2 -->", "<!-- END BLOCK : b1 -->"},
       [](auto& e) {
         e.NewBlock("b1");
         e.NewBlock("b2");
         e.NewBlock("b3");
         e.NewBlock("b3");
         e.NewBlock("b1");
       },
       "1\r\n2\r\n3\r\n3\r\n1\r\n"},
  });
}

TEST(TemplateEngineTest, IgnoreSections) {
  RunCases({
      {"markers and braces inside are literal",
       {"a", "<!-- START IGNORE -->", "<!-- START BLOCK : x -->", "{v}", "<!-- END IGNORE -->", "{v}"},
       [](auto& e) { e.Assign("v", "1"); },
       "a\r\n<!-- START BLOCK : x -->\r\n{v}\r\n1\r\n"},
      {"sections nest and their markers vanish",
       {"<!-- START IGNORE -->", "<!--START IGNORE -->", "inner {v}", "<!-- END IGNORE -->", "still {v}",
        "<!--END IGNORE -->", "{v}"},
       [](auto& e) { e.Assign("v", "1"); },
       "inner {v}\r\nstill {v}\r\n1\r\n"},
      {"END without START is ignored",
       {"<!-- END IGNORE -->", "<!-- END IGNORE -->", "{v}", "<!-- START IGNORE -->", "{v}", "<!-- END IGNORE -->",
        "{v}"},
       [](auto& e) { e.Assign("v", "1"); },
       "1\r\n{v}\r\n1\r\n"},
      {"unclosed section runs to the end",
       {"<!-- START IGNORE -->", "<!-- END BLOCK : _ROOT -->", "{v}"},
       [](auto& e) { e.Assign("v", "1"); },
       "<!-- END BLOCK : _ROOT -->\r\n{v}\r\n"},
      {"ignored lines inside a block belong to it",
       {"<!-- START BLOCK : row -->", "<!-- START IGNORE -->", "{raw}", "<!-- END IGNORE -->", "{v}",
        "<!-- END BLOCK : row -->"},
       [](auto& e) {
         e.NewBlock("row");
         e.Assign("v", "a");
         e.NewBlock("row");
         e.Assign("v", "b");
       },
       "{raw}\r\na\r\n{raw}\r\nb\r\n"},
      {"ignore marker wins over a block marker on the same line",
       {"<!-- START BLOCK : x --><!-- START IGNORE -->", "{v}", "<!-- END IGNORE -->"},
       nullptr,
       "{v}\r\n"},
  });
}

TEST(TemplateEngineTest, ReuseAndInclude) {
  RunCases({
      {"REUSE copies a definition under a new name",
       {"<!-- START BLOCK : row -->", "[{v}]", "<!-- END BLOCK : row -->", "<!-- REUSE BLOCK : row AS other -->",
        "<!-- INCLUDE BLOCK : whatever.tpl -->", "end"},
       [](auto& e) {
         e.NewBlock("row");
         e.Assign("v", "1");
         e.NewBlock("other");
         e.Assign("v", "2");
         e.NewBlock("other");
         e.Assign("v", "3");
       },
       "[1]\r\n[2]\r\n[3]\r\nend\r\n"},
      {"REUSE names are trimmed and split at the last AS",
       {"<!-- START BLOCK : a AS b -->", "x", "<!-- END BLOCK : a AS b -->",
        "<!-- REUSE BLOCK :   a AS b   AS   c  -->"},
       [](auto& e) {
         e.NewBlock("a AS b");
         e.NewBlock("c");
       },
       "x\r\nx\r\n"},
      {"REUSE without AS is literal text",
       {"<!-- REUSE BLOCK : row -->", "<!-- REUSE BLOCK : AS x -->"},
       nullptr,
       "<!-- REUSE BLOCK : row -->\r\n<!-- REUSE BLOCK : AS x -->\r\n"},
      {"REUSE of an unknown block is an error line",
       {"top", "<!-- REUSE BLOCK : nope AS x -->", "bottom"},
       nullptr,
       "TemplateEngine Error: Can't find block \"nope\" to REUSE as \"x\"\r\ntop\r\nbottom\r\n"},
      {"the copy keeps the nested block's place but its instances stay with the source",
       {"<!-- START BLOCK : outer -->", "o{v}", "<!-- START BLOCK : inner -->", "i", "<!-- END BLOCK : inner -->",
        "<!-- END BLOCK : outer -->", "<!-- REUSE BLOCK : outer AS copy -->"},
       [](auto& e) {
         e.NewBlock("outer");
         e.Assign("v", "1");
         e.NewBlock("copy");
         e.Assign("v", "2");
         e.NewBlock("inner");  // goes into the newest "outer"
       },
       "o1\r\ni\r\no2\r\n"},
  });
}

TEST(TemplateEngineTest, ErrorLinesComeFirstInCallOrder) {
  TTestEngine engine;
  for (const char* line : {"<!-- REUSE BLOCK : ghost AS g2 -->", "<!-- START BLOCK : row -->", "[{v}]",
                           "<!-- END BLOCK : row -->", "<!-- REUSE BLOCK : phantom AS p2 -->", "{v}"})
    engine.TemplateLines.Add(line);
  engine.NewBlock("row");  // before Prepare: wiped by Prepare
  engine.Prepare();
  engine.NewBlock("ghost");
  engine.Assign("row.v", "early");
  engine.NewBlock("_ROOT");
  engine.NewBlock("row");
  engine.Assign("v", "r");
  engine.NewBlock("g2");  // REUSE failed, so no such block
  engine.GotoBlock("_ROOT");
  engine.Assign("v", "top");
  TStringList list;
  engine.GetOutputContent(list);
  EXPECT_EQ(engine.RawOutput(),
            "TemplateEngine Error: Can't find block \"ghost\" to REUSE as \"g2\"\r\n"
            "TemplateEngine Error: Can't find block \"phantom\" to REUSE as \"p2\"\r\n"
            "TemplateEngine Error: Can't find the block definition of \"ghost\"\r\n"
            "TemplateEngine Error: Unable to assign var. Can't find block \"row\", you must create the block "
            "first.\r\n"
            "TemplateEngine Error: Can't find the block definition of \"_ROOT\"\r\n"
            "TemplateEngine Error: Can't find the block definition of \"g2\"\r\n"
            "[r]\r\n"
            "top\r\n");
  EXPECT_EQ(list.Count(), 8);
}

TEST(TemplateEngineTest, EveryCallBeforePrepareWritesTheNotPreparedLine) {
  struct Case {
    const char* Name;
    TFill Calls;
    int Lines;  // including the one of GetOutputContent
  };
  const std::vector<Case> cases = {
      {"nothing but the output", [](auto&) {}, 1},
      {"NewBlock", [](auto& e) { e.NewBlock("row"); }, 2},
      {"Assign", [](auto& e) { e.Assign("v", "1"); }, 2},
      {"Assign block", [](auto& e) { e.Assign("row.v", "1"); }, 2},
      {"AssignGlobal", [](auto& e) { e.AssignGlobal("v", "1"); }, 2},
      {"GotoBlock", [](auto& e) { e.GotoBlock("_ROOT"); }, 2},
      {"empty names do not reach the tables", [](auto& e) {
         e.AssignGlobal("", "1");
         e.NewBlock("");
         e.GotoBlock("");
       }, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestEngine engine;
    for (const auto& line : kRowTemplate) engine.TemplateLines.Add(line);
    c.Calls(engine);
    TStringList list;
    engine.GetOutputContent(list);
    std::string expected;
    for (int i = 0; i < c.Lines; ++i) expected += kNotPrepared;
    EXPECT_EQ(engine.RawOutput(), expected);
    EXPECT_EQ(list.Count(), c.Lines);
  }
}

TEST(TemplateEngineTest, HashTableExceptionsReachTheCaller) {
  struct Case {
    const char* Name;
    TFill Call;
    bool InvalidKey;  // else a find error
    std::string Message;
  };
  const std::string emptyKey = "Key cannot be an empty string";
  const std::vector<Case> cases = {
      {"Assign to an undefined block", [](auto& e) { e.Assign("nosuch.v", "1"); }, false,
       "Key \"nosuch\" not found"},
      {"GotoBlock of a block without instances", [](auto& e) { e.GotoBlock("row"); }, false,
       "Key \"row_0\" not found"},
      {"NewBlock of a child before its parent", [](auto& e) { e.NewBlock("item"); }, false,
       "Key \"group_0\" not found"},
      {"Assign with an empty block name", [](auto& e) { e.Assign(".v", "1"); }, true, emptyKey},
      {"AssignGlobal with an empty name", [](auto& e) { e.AssignGlobal("", "1"); }, true, emptyKey},
      {"NewBlock with an empty name", [](auto& e) { e.NewBlock(""); }, true, emptyKey},
      {"GotoBlock with an empty name", [](auto& e) { e.GotoBlock(""); }, true, emptyKey},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestEngine engine;
    for (const char* line : {"<!-- START BLOCK : row -->", "r", "<!-- END BLOCK : row -->",
                             "<!-- START BLOCK : group -->", "<!-- START BLOCK : item -->",
                             "<!-- END BLOCK : item -->", "<!-- END BLOCK : group -->", "page"})
      engine.TemplateLines.Add(line);
    engine.Prepare();
    if (c.InvalidKey)
      ExpectThrowWithMessage<EHashInvalidKeyError>([&] { c.Call(engine); }, c.Message);
    else
      ExpectThrowWithMessage<EHashFindError>([&] { c.Call(engine); }, c.Message);
    // The engine stays usable and the failed call left no trace.
    TStringList list;
    engine.GetOutputContent(list);
    EXPECT_EQ(engine.RawOutput(), "page\r\n");
  }
}

TEST(TemplateEngineTest, BlankBlockNameMakesPrepareThrowAndLeavesTheEngineUnprepared) {
  TTestEngine engine;
  engine.TemplateLines.Add("<!-- START BLOCK :   -->");
  engine.TemplateLines.Add("x");
  ExpectThrowWithMessage<EHashInvalidKeyError>([&] { engine.Prepare(); }, "Key cannot be an empty string");
  engine.Assign("v", "1");
  TStringList list;
  engine.GetOutputContent(list);
  EXPECT_EQ(engine.RawOutput(), kNotPrepared + kNotPrepared);
}

TEST(TemplateEngineTest, SecondOutputRendersThePageAgainBehindTheFirst) {
  TTestEngine engine;
  for (const auto& line : kRowTemplate) engine.TemplateLines.Add(line);
  engine.Prepare();
  engine.NewBlock("nope");
  engine.NewBlock("row");
  engine.Assign("name", "n");
  TStringList first;
  engine.GetOutputContent(first);
  const std::string error = "TemplateEngine Error: Can't find the block definition of \"nope\"\r\n";
  const std::string page = "<table>\r\n<tr><td>n</td><td></td></tr>\r\n</table>\r\n";
  EXPECT_EQ(engine.RawOutput(), error + page);
  TStringList second;
  engine.GetOutputContent(second);
  EXPECT_EQ(engine.RawOutput(), error + page + page);
  EXPECT_EQ(second.Count(), 7);
  EXPECT_EQ(first.Count(), 4);
}

TEST(TemplateEngineTest, PrepareAgainStartsOver) {
  TTestEngine engine;
  for (const auto& line : kRowTemplate) engine.TemplateLines.Add(line);
  engine.Prepare();
  engine.AssignGlobal("price", "g");
  engine.NewBlock("row");
  engine.NewBlock("missing");
  TStringList list;
  engine.GetOutputContent(list);

  engine.TemplateLines.Put(2, "<tr>{name}</tr>");
  engine.Prepare();
  engine.NewBlock("row");
  engine.Assign("name", "fresh");
  engine.GetOutputContent(list);
  EXPECT_EQ(engine.RawOutput(), "<table>\r\n<tr>fresh</tr>\r\n</table>\r\n");
  EXPECT_EQ(engine.Version, "0.90a");
}

// Templates that break the rules must still end, stay memory-safe and give
// a fixed output.
TEST(TemplateEngineTest, MalformedTemplates) {
  RunCases({
      {"a name defined twice: the rows show once, at the first place, with the last definition",
       {"<!-- START BLOCK : b -->", "one {v}", "<!-- END BLOCK : b -->", "mid", "<!-- START BLOCK : b -->",
        "two {v}", "<!-- END BLOCK : b -->", "end"},
       [](auto& e) {
         e.NewBlock("b");
         e.Assign("v", "1");
         e.NewBlock("b");
         e.Assign("v", "2");
       },
       "two 1\r\ntwo 2\r\nmid\r\nend\r\n"},
      {"REUSE inside the source copies what was parsed so far",
       {"<!-- START BLOCK : a -->", "x{v}", "<!-- REUSE BLOCK : a AS b -->", "y", "<!-- END BLOCK : a -->"},
       [](auto& e) {
         e.NewBlock("a");
         e.Assign("v", "1");
         e.NewBlock("b");
         e.Assign("v", "2");
       },
       "x1\r\nx2\r\ny\r\n"},
      {"a parent redefined without the nested block still takes its instances, which never show",
       {"<!-- START BLOCK : a -->", "<!-- START BLOCK : b -->", "x{v}", "<!-- END BLOCK : b -->",
        "<!-- END BLOCK : a -->", "<!-- START BLOCK : a -->", "y", "<!-- END BLOCK : a -->"},
       [](auto& e) {
         e.NewBlock("a");
         e.NewBlock("b");
         e.NewBlock("b");
         e.Assign("b.v", "1");
         e.NewBlock("a");
         e.NewBlock("b");
         e.GotoBlock("b");
         e.Assign("v", "2");
       },
       "y\r\ny\r\n"},
      {"END naming an enclosing block opens a block that can never get instances",
       {"x", "<!-- START BLOCK : a -->", "1", "<!-- START BLOCK : b -->", "2", "<!-- END BLOCK : a -->", "3",
        "<!-- END BLOCK : b -->", "4", "<!-- END BLOCK : a -->", "y"},
       [](auto& e) {
         EXPECT_THROW(e.NewBlock("a"), EHashFindError);
         EXPECT_THROW(e.NewBlock("b"), EHashFindError);
       },
       "x\r\n"},
  });
}

TEST(TemplateEngineTest, BlockReusedAsItselfCannotGetInstances) {
  TTestEngine engine;
  for (const char* line : {"top", "<!-- START BLOCK : a -->", "in", "<!-- REUSE BLOCK : a AS a -->",
                           "<!-- END BLOCK : a -->", "bottom"})
    engine.TemplateLines.Add(line);
  engine.Prepare();
  ExpectThrowWithMessage<EHashFindError>([&] { engine.NewBlock("a"); }, "Key \"a_0\" not found");
  TStringList list;
  engine.GetOutputContent(list);
  EXPECT_EQ(engine.RawOutput(), "top\r\nbottom\r\n");
}

// "_ROOT" reused as itself becomes its own parent: every NewBlock("_ROOT")
// nests one level deeper. With the root's place listed twice the output
// would double at every level; it stays linear and needs no deep recursion.
TEST(TemplateEngineTest, SelfNestedRootChainRendersEachListOnce) {
  TTestEngine engine;
  for (const char* line :
       {"<!-- REUSE BLOCK : _ROOT AS _ROOT -->", "<!-- REUSE BLOCK : _ROOT AS _ROOT -->", "[{v}]"})
    engine.TemplateLines.Add(line);
  engine.Prepare();
  engine.Assign("v", "0");
  const int depth = 50000;
  for (int i = 1; i <= depth; ++i) {
    engine.NewBlock("_ROOT");
    engine.Assign("v", std::to_string(i));
  }
  TStringList list;
  engine.GetOutputContent(list);
  ASSERT_EQ(list.Count(), depth + 1);
  EXPECT_EQ(list[0], "[" + std::to_string(depth) + "]");
  EXPECT_EQ(list[depth], "[0]");
  for (int i = 0; i <= depth; ++i) ASSERT_EQ(list[i], "[" + std::to_string(depth - i) + "]");
}

TEST(TemplateEngineTest, DeeplyNestedTemplateParsesWithoutRecursion) {
  TTestEngine engine;
  const int depth = 20000;
  for (int i = 0; i < depth; ++i) engine.TemplateLines.Add("<!-- START BLOCK : b" + std::to_string(i) + " -->");
  engine.TemplateLines.Add("deep {v}");
  for (int i = depth - 1; i >= 0; --i) engine.TemplateLines.Add("<!-- END BLOCK : b" + std::to_string(i) + " -->");
  engine.Prepare();
  for (int i = 0; i < depth; ++i) engine.NewBlock("b" + std::to_string(i));
  engine.Assign("v", "here");
  TStringList list;
  engine.GetOutputContent(list);
  EXPECT_EQ(engine.RawOutput(), "deep here\r\n");
}

TEST(TemplateEngineTest, KeyListAndObjectArray) {
  TdefBlockKeys keys;
  EXPECT_EQ(keys.Get(0), "");
  EXPECT_EQ(keys.Get(-1), "");
  keys.Add("_C:0");
  keys.Set(3, "_V:0");
  EXPECT_EQ(keys.Count(), 4);
  EXPECT_EQ(keys.Get(0), "_C:0");
  EXPECT_EQ(keys.Get(1), "");
  EXPECT_EQ(keys.Get(3), "_V:0");
  EXPECT_EQ(keys.Get(4), "");
  keys.Set(0, "_B:x");
  EXPECT_EQ(keys.Get(0), "_B:x");
  EXPECT_EQ(keys.Count(), 4);

  struct TTracked : TObject {
    explicit TTracked(int& freed) : Freed(freed) {}
    ~TTracked() override { ++Freed; }
    int& Freed;
  };
  int freed = 0;
  {
    TObjectArray array;
    EXPECT_EQ(array.Get(0), nullptr);
    array.Set(2, std::make_unique<TTracked>(freed));
    EXPECT_EQ(array.Count(), 3);
    EXPECT_EQ(array.Get(0), nullptr);
    EXPECT_NE(array.Get(2), nullptr);
    EXPECT_EQ(array.Get(3), nullptr);
    array.Set(2, std::make_unique<TTracked>(freed));  // frees the replaced one
    EXPECT_EQ(freed, 1);
    array.Set(2, std::unique_ptr<TObject>(array.Get(2)));  // same object: kept
    EXPECT_EQ(freed, 1);
    array.Set(0, std::make_unique<TTracked>(freed));
  }
  EXPECT_EQ(freed, 3);
}
