// The generated site judged by what lands in the database, on a schema of
// its own (tests/fixtures/site/roundtrip.sql): a form posted back as the
// browser shows it writes nothing; one changed field changes that field
// only; a save follows the row as the server stored it; a blank insert
// stores the columns' defaults and NULLs; rows without a key, or with a
// FLOAT or long key, are reached, changed and deleted one at a time; two
// visitors saving one row keep each other's changes; a refused or failed
// save keeps what the visitor sent. The forms are sent as a browser sends
// them (BrowserForm), and once more by headless Chromium.

#include "E2ESupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PhpMain.h"
#include "model/General.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <optional>
#include <regex>

namespace e2e {
namespace {

using TRow = std::map<std::string, std::string>;  // column -> HEX() of its value, or NULL

const char* const kTables[] = {"place", "person", "tool",  "loan", "badge", "journal", "sample",
                                "wide",  "reading", "gauge", "slot", "shelf", "box"};

/** The rows only one side has, shortened: what a failed comparison shows. */
std::string Difference(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  std::string text;
  for (const auto& [side, mine, other] : {std::tuple{"before: ", &before, &after}, {"after: ", &after, &before}})
    for (const std::string& line : *mine)
      if (std::find(other->begin(), other->end(), line) == other->end()) text += side + line.substr(0, 300) + "\n";
  return text;
}

/** The page's message (saved, refused, ...), or "". */
std::string Message(const std::string& html) {
  static const std::regex kMessage(R"re(<tr class="csstr1"><td colspan="2"(?: class="qf-error")?>([^<]*)</td>)re");
  std::smatch m;
  return std::regex_search(html, m, kMessage) ? HtmlDecode(m[1].str()) : "";
}
const std::string kUnchanged = "Nothing was changed, so nothing was saved.";
const std::string kSaved = "The record was saved.";
/** The refusal of a save whose field (its caption) changed meanwhile. */
std::string Meanwhile(const std::string& caption) {
  return "The record was changed meanwhile, so nothing was saved: \"" + caption + "\" was changed since the form was "
         "shown. The form shows the record as it is now, with your changes; send it again to save them.";
}

class RoundTripSiteTest : public ServedSiteTest {
protected:
  void SetUp() override {
    if (!Connect()) return;
    FBase = "qf_roundtrip_" + std::to_string(::getpid());
    Rows(*FDb, "DROP DATABASE IF EXISTS " + QuoteIdentifier(FBase));
    Rows(*FDb, "CREATE DATABASE " + QuoteIdentifier(FBase) + " CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci");
    Rows(*FDb, "USE " + QuoteIdentifier(FBase));
    const std::string sql = qftest::SourceDir() + "/tests/fixtures/site/roundtrip.sql";
    for (const std::string& statement : SplitString(ReadFileText(sql), ';')) {
      if (IsComment(statement)) continue;
      ASSERT_NO_THROW(Rows(*FDb, statement));
      if (Trim(statement).find("INSERT") != std::string::npos) FRows.push_back(statement);
    }

    for (const char* name : kTables) FProject.AddTable(Import(name));
    SetInputTypes();
    FProject.RowNumber = 50;
    Serve(FProject);
  }

  void TearDown() override {
    ServedSiteTest::TearDown();
    if (FDb && !FBase.empty()) FDb->ExecuteQuery("DROP DATABASE IF EXISTS " + QuoteIdentifier(FBase));
  }

  /** The fixture's rows again, as they were at the start. */
  void Reload() {
    for (const char* table : kTables) Rows(*FDb, "DELETE FROM " + Qualified(table));
    for (const std::string& statement : FRows) Rows(*FDb, statement);
  }

  static bool IsComment(const std::string& statement) {
    for (const std::string& line : SplitString(statement, '\n'))
      if (!Trim(line).empty() && !StartsWith(Trim(line), "--")) return false;
    return true;
  }

  /** The table as the program's import makes it: every column on every
   *  page, an enum as a select and a set as check boxes of their values, the
   *  primary key as the key, a hint icon without hint text. */
  std::unique_ptr<TWebTable> Import(const std::string& name) {
    auto table = std::make_unique<TWebTable>();
    table->DB = FBase;
    table->Name = table->Caption = name;
    table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = "Guest";
    int index = 0;
    for (const auto& column : Rows(*FDb, "SHOW COLUMNS FROM " + Qualified(name))) {
      auto input = std::make_unique<TWebInput>(column[0]);
      input->Database_field = input->Caption = column[0];
      input->Type = column[1];
      input->Key = column[3] == "PRI";
      input->Insert = input->Update = input->Detail = true;
      input->List = index++ < 5;
      input->Filter_type = "No";
      input->View_type = "Text";
      input->UseHint = true;
      std::string kind;
      ParseEnumSet(input->Type, input->HtmlInput->ItemList, kind);
      input->Input_type = kind == "set" ? "Checkbox" : kind == "enum" ? "Combobox" : "Text";
      input->HtmlInput->iLSource = kind.empty() ? 0 : 1;
      input->HtmlInput->iMax = 200;
      table->AddToInputList(std::move(input));
    }
    return table;
  }

  TWebInput& Input(const std::string& table, const std::string& column) {
    for (const auto& t : FProject.Tables)
      if (t->Name == table)
        for (const auto& input : t->InputList)
          if (input->Database_field == column) return *input;
    throw std::runtime_error("no column " + table + "." + column);
  }

  /** The controls the fixture's columns get besides the imported ones. */
  void SetInputTypes() {
    for (const char* table : {"tool", "place"}) Input(table, "id").Insert = Input(table, "id").Update = false;
    Input("tool", "manual").Input_type = "Textarea";  // width and lines 0: a usable size all the same
    TWebInput& active = Input("tool", "active");
    active.Input_type = "Checkbox";
    active.HtmlInput->iLSource = 1;
    active.HtmlInput->ItemList.Add("on=1");
    Input("tool", "pin").Input_type = "Password";
    TWebInput& pic = Input("tool", "pic");
    pic.Input_type = "File";
    pic.HtmlInput->iFileUpDir = "uploads/";
    TWebInput& place = Input("tool", "place_id");
    place.Input_type = "Combobox";
    place.HtmlInput->iLTable = "place";
    place.HtmlInput->iLDisplayField = "name";
    place.HtmlInput->iLValueField = "id";
    Input("tool", "title").Filter_type = "Like";
    // Choices looked up by name, one holding a line feed; radio buttons whose
    // values PHP's == takes for equal numbers; check boxes holding commas.
    for (const auto& [column, type] : {std::pair{"shelf", "Combobox"}, {"shelves", "Checkbox"}}) {
      TWebInput& input = Input("box", column);
      input.Input_type = type;
      input.HtmlInput->iLTable = "shelf";
      input.HtmlInput->iLDisplayField = input.HtmlInput->iLValueField = "name";
    }
    TWebInput& mark = Input("box", "mark");
    mark.Input_type = "Radiobox";
    mark.HtmlInput->iLSource = 1;
    for (const char* item : {"one=1", "zero one=01", "ten=10", "ten as 1e1=1e1"}) mark.HtmlInput->ItemList.Add(item);
    TWebInput& parts = Input("box", "parts");
    parts.Input_type = "Checkbox";
    parts.HtmlInput->iLSource = 1;
    for (const char* item : {"a=a", "a,b=a,b", "b,c=b,c"}) parts.HtmlInput->ItemList.Add(item);
    // Looked up by name, names holding commas: one chosen, or several ticked.
    for (const auto& [column, type] : {std::pair{"owner", "Radiobox"}, {"crew", "Checkbox"}}) {
      TWebInput& input = Input("tool", column);
      input.Input_type = type;
      input.HtmlInput->iLTable = "person";
      input.HtmlInput->iLDisplayField = input.HtmlInput->iLValueField = "name";
    }
  }

  std::string Qualified(const std::string& table) const {
    return QuoteIdentifier(FBase) + "." + QuoteIdentifier(table);
  }
  std::string Page(const std::string& table, const std::string& page) const {
    return "/" + UrlEncode(FBase + "_" + table + "_" + page + ".php");
  }
  std::string Url(const std::string& target) const { return "http://127.0.0.1:" + std::to_string(FPort) + target; }

  /** The SELECT list of every column of the table as HEX() or NULL, a long
   *  value as the MD5 of its bytes. A number with a fraction by its text
   *  (HEX() of a number is that of its integer part), a FLOAT by the exact
   *  text of its DOUBLE value. */
  std::string HexColumns(const std::string& table) {
    std::string list;
    for (const auto& column : Rows(*FDb, "SHOW COLUMNS FROM " + Qualified(table))) {
      const std::string type = LowerCase(column[1]);
      std::string c = QuoteIdentifier(column[0]);
      if (StartsWith(type, "float") || StartsWith(type, "double") || StartsWith(type, "real"))
        c = "CAST(CAST(" + c + " AS DOUBLE) AS CHAR)";
      else if (StartsWith(type, "decimal"))
        c = "CAST(" + c + " AS CHAR)";
      list += (list.empty() ? "" : ", ") + std::string("IFNULL(IF(LENGTH(") + c + ") > 40, CONCAT('md5:', MD5(" + c +
              ")), HEX(" + c + ")), 'NULL')";
    }
    return list;
  }
  /** Every row of every table, byte for byte, sorted. */
  std::vector<std::string> AllBytes() {
    std::vector<std::string> lines;
    for (const char* table : kTables)
      for (const auto& row : Rows(*FDb, "SELECT " + HexColumns(table) + " FROM " + Qualified(table))) {
        std::string line = table;
        for (const std::string& cell : row) line += " " + cell;
        lines.push_back(line);
      }
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  /** The one row that where names, column by column. */
  TRow RowOf(const std::string& table, const std::string& where) {
    const auto columns = Column(*FDb, "SHOW COLUMNS FROM " + Qualified(table));
    const auto rows = Rows(*FDb, "SELECT " + HexColumns(table) + " FROM " + Qualified(table) + " WHERE " + where);
    EXPECT_EQ(rows.size(), 1u) << table << " where " << where;
    TRow row;
    for (size_t i = 0; !rows.empty() && i < columns.size(); ++i) row[columns[i]] = rows[0][i];
    return row;
  }
  /** HEX() of an SQL expression's value, or NULL. */
  std::string Hex(const std::string& expression) {
    return Value(*FDb, "SELECT IFNULL(HEX(" + expression + "), 'NULL')");
  }

  /** The links to one page kind ("update") of a table's list page. */
  std::vector<std::string> Links(THttpClient& visitor, const std::string& table, const std::string& page = "update") {
    std::vector<std::string> links;
    for (const std::string& link : PageLinks(visitor.Get(Page(table, "list")).Body))
      if (link.find("_" + page + ".php?") != std::string::npos) links.push_back("/" + link);
    return links;
  }
  std::vector<std::string> UpdateLinks(THttpClient& visitor, const std::string& table) { return Links(visitor, table); }
  /** The one update link of the list that holds `part`. */
  std::string UpdateLink(THttpClient& visitor, const std::string& table, const std::string& part) {
    std::vector<std::string> found;
    for (const std::string& link : UpdateLinks(visitor, table))
      if (link.find(part) != std::string::npos) found.push_back(link);
    EXPECT_EQ(found.size(), 1u) << table << " links with " << part;
    return found.empty() ? std::string() : found[0];
  }

  /** Sends the form of the page at target as the browser would; the answer. */
  THttpResponse Send(THttpClient& visitor, const std::string& target, const TBrowserForm& form) {
    return visitor.Post(ResolveTarget(target, form.Action), form.Fields, form.Files);
  }
  /** The visitor opens the row at target, changes one field and saves it. */
  void SaveField(THttpClient& visitor, const std::string& target, const std::string& field, const std::string& value) {
    TBrowserForm form = BrowserForm(visitor.Get(target).Body);
    form.Set(field, value);
    EXPECT_EQ(Message(Send(visitor, target, form).Body), kSaved) << target << " " << field;
  }

  std::string FBase;
  std::vector<std::string> FRows;  // the fixture's INSERT statements
  TProjectManager FProject;
};

TEST_F(RoundTripSiteTest, FormsSentBackUnchangedWriteNothingAndLinksStayShort) {
  THttpClient visitor = Visitor();
  const std::vector<std::string> before = AllBytes();
  for (const char* table : kTables) {
    SCOPED_TRACE(table);
    const THttpResponse list = visitor.Get(Page(table, "list"));
    ExpectCleanPage(list, "list");
    for (const std::string& link : PageLinks(list.Body)) EXPECT_LT(link.size(), 2048u) << link.substr(0, 200);
    const std::vector<std::string> links = UpdateLinks(visitor, table);
    EXPECT_EQ(links.size(), std::stoul(Value(*FDb, "SELECT COUNT(*) FROM " + Qualified(table))));
    for (const std::string& link : links) {
      const THttpResponse page = visitor.Get(link);
      ExpectCleanPage(page, link);
      ASSERT_EQ(page.Body.find(kNotFound), std::string::npos) << link;
      const THttpResponse answer = Send(visitor, link, BrowserForm(page.Body));
      ExpectCleanPage(answer, link);
      EXPECT_EQ(Message(answer.Body), kUnchanged) << link;
      const std::vector<std::string> after = AllBytes();
      EXPECT_TRUE(after == before) << link << "\n" << Difference(before, after);
    }
  }
}

TEST_F(RoundTripSiteTest, OneChangedFieldChangesThatColumnOnly) {
  THttpClient visitor = Visitor();
  struct TCase {
    const char* Table;
    std::string Key;          // the row's key parameters
    std::string Before;       // the row before
    std::string Where;        // the row afterwards
    std::function<void(TBrowserForm&)> Change;
    const char* Column;       // the column that changes
    std::string Expected;     // SQL of its new value
  };
  const auto set = [](const char* name, const char* value) {
    return [=](TBrowserForm& form) { form.Set(name, value); };
  };
  const auto untick = [](const char* name) { return [=](TBrowserForm& form) { form.Remove(name); }; };
  const std::string tool1 = "qf_key=1&id=1", tool2 = "qf_key=1&id=2";
  const TCase cases[] = {
      {"tool", tool1, "id = 1", "id = 1", set("title", "Saw 2"), "title", "'Saw 2'"},
      // The browser sends CR LF; a text written with LF keeps LF.
      {"tool", tool1, "id = 1", "id = 1", set("note", "first line\r\nsecond line\r\nthird"), "note",
       "'first line\\nsecond line\\nthird'"},
      {"tool", tool1, "id = 1", "id = 1", set("manual", "Step 1\r\nStep 2\r\nStep 3"), "manual", "'Step 1\\r\\nStep 2\\r\\nStep 3'"},
      {"tool", tool1, "id = 1", "id = 1", set("raw", "typed"), "raw", "'typed'"},
      {"tool", tool1, "id = 1", "id = 1", untick("active-i1"), "active", "0"},
      {"tool", tool1, "id = 1", "id = 1", set("pin", "new pin"), "pin", "'new pin'"},
      {"tool", tool1, "id = 1", "id = 1", set("tags_1", "one"), "tags_1", "'one'"},
      {"tool", tool1, "id = 1", "id = 1", set("host", "::2"), "host", "CAST('::2' AS INET6)"},
      {"tool", tool1, "id = 1", "id = 1", set("qty", ""), "qty", "3"},
      {"tool", tool1, "id = 1", "id = 1", set("size", "x"), "size", "'x'"},
      {"tool", tool1, "id = 1", "id = 1", set("owner", "Smith"), "owner", "'Smith'"},
      {"tool", tool1, "id = 1", "id = 1", untick("crew-i1"), "crew", "'Doe, Jane'"},
      {"tool", tool1, "id = 1", "id = 1", set("secret", "9"), "secret", "9"},  // INVISIBLE
      {"tool", tool2, "id = 2", "id = 2", set("tags-i2", "green"), "tags", "'red,green,blue'"},
      {"tool", tool2, "id = 2", "id = 2", set("active-i1", "1"), "active", "1"},
      {"tool", tool2, "id = 2", "id = 2", set("mood", ""), "mood", "NULL"},
      {"tool", tool2, "id = 2", "id = 2", set("price", ""), "price", "NULL"},
      {"tool", tool2, "id = 2", "id = 2", set("pic_file", "big"), "pic_file", "'big'"},
      {"tool", tool2, "id = 2", "id = 2", set("host", ""), "host", "NULL"},
      {"tool", tool2, "id = 2", "id = 2", set("place_id", "1"), "place_id", "1"},
      {"tool", tool2, "id = 2", "id = 2", set("code", ""), "code", "''"},
      {"tool", tool2, "id = 2", "id = 2", set("pic-upload", "yes"), "pic", "NULL"},
      // A key field changed: the page follows the row.
      {"loan", "qf_key=1&tool_id=1&borrower=ann", "tool_id = 1 AND borrower = 'ann'", "tool_id = 1 AND borrower = 'cid'", set("borrower", "cid"),
       "borrower", "'cid'"},
      {"badge", "qf_key=1&code-null=1&label=no+code", "code IS NULL AND label = 'no code'", "code IS NULL AND label = 'none'", set("label", "none"), "label",
       "'none'"},
      {"journal", "qf_key=1&day-null=1&entry=no+day&text=short", "entry = 'no day'", "entry = 'some day'", set("entry", "some day"),
       "entry", "'some day'"},
      // A key part the server stores rounded: the page follows the row as stored.
      {"slot", "qf_key=1&pos=1.000&name=a", "pos = 1 AND name = 'a'", "pos = 2 AND name = 'a'", set("pos", "2.0004"),
       "pos", "'2.000'"},
      // Choices holding a line feed, which the browser sends as CR LF: the
      // item is stored as it holds it.
      {"box", "qf_key=1&id=2", "id = 2", "id = 2", set("shelf", "Multi\r\nLine"), "shelf", "'Multi\nLine'"},
      {"box", "qf_key=1&id=2", "id = 2", "id = 2", set("shelves-i2", "Multi\r\nLine"), "shelves", "'Multi\nLine'"},
      {"box", "qf_key=1&id=1", "id = 1", "id = 1", untick("shelves-i1"), "shelves", "'Multi\nLine'"},
      // Items holding commas: "a,b,c" came back as "a" and "b,c".
      {"box", "qf_key=1&id=1", "id = 1", "id = 1", untick("parts-i1"), "parts", "'b,c'"},
      {"box", "qf_key=1&id=2", "id = 2", "id = 2", set("parts-i3", "b,c"), "parts", "'a,b,b,c'"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Table) + " " + c.Key + " " + c.Column);
    const std::string target = Page(c.Table, "update") + "?" + c.Key;
    const THttpResponse page = visitor.Get(target);
    ASSERT_EQ(page.Body.find(kNotFound), std::string::npos);
    TBrowserForm form = BrowserForm(page.Body);
    const TRow row = RowOf(c.Table, c.Before);
    c.Change(form);
    const THttpResponse answer = Send(visitor, target, form);
    ExpectCleanPage(answer, "save");
    EXPECT_EQ(Message(answer.Body), kSaved);
    EXPECT_EQ(answer.Body.find(kNotFound), std::string::npos) << "the page lost the row";
    const TRow after = RowOf(c.Table, c.Where);
    for (const auto& [column, hex] : row) {
      if (column == c.Column)
        EXPECT_EQ(after.at(column), Hex(c.Expected)) << column;
      else if (column == "changed" || column == "stamp")  // ON UPDATE and a trigger fire with a real change
        EXPECT_NE(after.at(column), hex) << column;
      else
        EXPECT_EQ(after.at(column), hex) << column;
    }
    // The page shows the row as stored: its form, sent back, changes nothing.
    const TBrowserForm followed = BrowserForm(answer.Body);
    ASSERT_FALSE(followed.Fields.empty()) << "no form after the save";
    EXPECT_EQ(Message(Send(visitor, target, followed).Body), kUnchanged);
    EXPECT_EQ(RowOf(c.Table, c.Where), after);
    Reload();
  }
}

// Rows of a table without a key that differ only in the column a save
// writes, with a value the server stores otherwise than typed (or a trigger
// rewrites): the page follows the row the save wrote, never another, and
// the next save through its form changes that row again.
TEST_F(RoundTripSiteTest, ASaveFollowsTheRowAsTheServerStoredIt) {
  THttpClient visitor = Visitor();
  struct TCase {
    const char* Part;   // in the link of the row that differs
    const char* Where;  // that row
    std::map<std::string, std::string> Typed;   // field -> what the visitor types
    std::map<std::string, std::string> Stored;  // column -> SQL of what it holds afterwards
  };
  const TCase cases[] = {
      {"&d=2.00&", "d = 2.00", {{"d", "3.5"}}, {{"d", "'3.50'"}}},
      {"&at=2024-01-05", "at = '2024-01-05'", {{"at", "2024-1-3"}}, {{"at", "'2024-01-03 00:00:00'"}}},
      {"&c=y&", "c = 'y'", {{"c", "x  "}}, {{"c", "'x'"}}},
      {"&fl=0.25&", "fl = 0.25", {{"fl", "0.1234567"}}, {{"fl", "CAST(CAST(CAST('0.1234567' AS FLOAT) AS DOUBLE) AS CHAR)"}}},
      {"&b=cd%00%00&", "b = X'63640000'", {{"b", "ef"}}, {{"b", "X'65660000'"}}},
      {"&up=v&", "up = 'v'", {{"up", "w"}}, {{"up", "'W'"}}},
      // The column named like the site's digest of a row.
      {"&qf_row=s", "qf_row = 's'", {{"qf_row", "t"}}, {{"qf_row", "'t'"}}},
      // Every column written.
      {"&d=2.00&", "d = 2.00",
       {{"n", "5"}, {"d", "4.5"}, {"at", "2024-2-1"}, {"c", "q "}, {"fl", "0.75"}, {"b", "gh"}, {"up", "k"}, {"qf_row", "m"}},
       {{"d", "'4.50'"}, {"at", "'2024-02-01 00:00:00'"}, {"c", "'q'"}, {"fl", "'0.75'"}, {"b", "X'67680000'"},
        {"up", "'K'"}, {"qf_row", "'m'"}}},
  };
  const TRow base = RowOf("reading", "d = 1.00 AND at = '2024-01-02' AND c = 'z' AND fl = 0.5 AND b = X'61620000' AND up = 'u' "
                                     "AND qf_row = 'r'");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Where + std::string(" ") + c.Typed.begin()->first);
    const auto others = [&] { return Column(*FDb, "SELECT CONCAT_WS(' ', " + HexColumns("reading") + ") FROM " +
                                                  Qualified("reading") + " WHERE n = 1 AND NOT (" + c.Where + ")"); };
    const std::vector<std::string> untouched = others();
    const std::string link = UpdateLink(visitor, "reading", c.Part);
    TBrowserForm form = BrowserForm(visitor.Get(link).Body);
    for (const auto& [field, text] : c.Typed) form.Set(field, text);
    const THttpResponse saved = Send(visitor, link, form);
    ExpectCleanPage(saved, "save");
    EXPECT_EQ(Message(saved.Body), kSaved);
    // The form shown is that of the row saved: changed through it, that row
    // changes, no other.
    TBrowserForm followed = BrowserForm(saved.Body);
    followed.Set("n", "9");
    const THttpResponse again = Send(visitor, link, followed);
    EXPECT_EQ(Message(again.Body), kSaved);
    TRow expected = base;
    expected["n"] = Hex("9");
    expected["up"] = Hex("'U'");  // the trigger's, at every save
    for (const auto& [column, sql] : c.Stored) expected[column] = Hex(sql);
    EXPECT_EQ(RowOf("reading", "n = 9"), expected);
    EXPECT_EQ(others(), untouched);
    EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + Qualified("reading")), "8");
    Reload();
  }
}

// Every row is reached, changed and deleted through its own links: rows
// without a key alike but for NULLs, a FLOAT key whose values the server
// sends rounded alike, a key of 255 emoji (links under 2 KB).
TEST_F(RoundTripSiteTest, EveryRowIsChangedAndDeletedThroughItsOwnLinks) {
  THttpClient visitor = Visitor();
  for (const auto& [table, field, count] : {std::tuple{"journal", "entry", 4}, {"badge", "label", 3},
                                           {"gauge", "label", 5}, {"slot", "note", 2}}) {
    SCOPED_TRACE(table);
    const std::vector<std::string> details = Links(visitor, table, "detail");
    ASSERT_EQ(details.size(), static_cast<size_t>(count));
    for (const std::string& link : details) {
      EXPECT_LT(link.size(), 2048u);
      EXPECT_EQ(visitor.Get(link).Body.find(kNotFound), std::string::npos) << link;
    }
    // Each update link changes its own row.
    const std::vector<std::string> updates = Links(visitor, table);
    for (size_t i = 0; i < updates.size(); ++i) {
      TBrowserForm form = BrowserForm(visitor.Get(updates[i]).Body);
      const std::string mark = "row " + std::to_string(i);
      form.Set(field, mark);
      EXPECT_EQ(Message(Send(visitor, updates[i], form).Body), kSaved) << updates[i];
      EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + Qualified(table) + " WHERE " + QuoteIdentifier(field) + " = " +
                                SqlLiteral(*FDb, mark)), "1") << updates[i];
    }
    // Each delete link removes its own row.
    const std::vector<std::string> deletes = Links(visitor, table, "delete");
    for (size_t i = 0; i < deletes.size(); ++i) {
      const THttpResponse answer = visitor.Post(deletes[i], {{"qf_confirm", "yes"}});
      EXPECT_NE(answer.Body.find("The record was deleted."), std::string::npos) << deletes[i];
      EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + Qualified(table) + " WHERE " + QuoteIdentifier(field) + " = " +
                                SqlLiteral(*FDb, "row " + std::to_string(i))), "0") << deletes[i];
      EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + Qualified(table)), std::to_string(count - 1 - i));
    }
  }
}

TEST_F(RoundTripSiteTest, ABlankInsertStoresDefaultsAndNullsAndAFailedOneKeepsTheForm) {
  THttpClient visitor = Visitor();
  const std::string insert = Page("tool", "insert");
  const THttpResponse form = visitor.Get(insert);
  ExpectCleanPage(form, "insert form");
  // Imported columns have their hint switched on: the icon stands there even
  // without a text. A text area of width and lines 0 gets a usable size.
  EXPECT_NE(form.Body.find("info.gif"), std::string::npos);
  EXPECT_NE(form.Body.find("<textarea name=\"manual\" id=\"manual\" cols=\"35\" rows=\"5\""), std::string::npos);
  const THttpResponse answer = Send(visitor, insert, BrowserForm(form.Body));
  ExpectCleanPage(answer, "blank insert");
  EXPECT_EQ(Message(answer.Body), "The record was added.");
  const TRow row = RowOf("tool", "id = 3");
  const TRow expected = {
      {"title", Hex("''")}, {"note", "NULL"},   {"manual", "NULL"},  {"raw", "NULL"},      {"scan", "NULL"},
      {"checksum", "NULL"}, {"serial", "NULL"}, {"mood", "NULL"},    {"tags", "NULL"},     {"tags_1", "NULL"},
      {"active", Hex("0")}, {"qty", Hex("3")}, {"price", "NULL"}, {"code", Hex("'T-0'")}, {"pin", "NULL"},
      {"pic", "NULL"},      {"pic_file", "NULL"}, {"host", "NULL"},  {"place_id", Hex("1")}};
  for (const auto& [column, hex] : expected) EXPECT_EQ(row.at(column), hex) << column;
  EXPECT_NE(row.at("changed"), "NULL");

  // NOT NULL without a default refuses the blank: the page says so without
  // the server's words and shows what the visitor typed.
  const std::vector<std::string> before = AllBytes();
  TBrowserForm loan = BrowserForm(visitor.Get(Page("loan", "insert")).Body);
  loan.Set("borrower", "zed \"z\"");
  loan.Set("remark", "two & <lines>");
  const THttpResponse refused = Send(visitor, Page("loan", "insert"), loan);
  EXPECT_EQ(Message(refused.Body), "The record could not be added: the database refused it.");
  EXPECT_EQ(refused.Body.find("cannot be null"), std::string::npos);
  const TBrowserForm kept = BrowserForm(refused.Body);
  EXPECT_EQ(kept.Get("borrower"), "zed \"z\"");
  EXPECT_EQ(kept.Get("remark"), "two & <lines>");
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());
}

// Rows that differ only in case and in trailing blanks, with a FLOAT, a
// DOUBLE and a long geometry beside: each link names its own row, a save
// follows it though the server pads a BINARY and sets an ON UPDATE column,
// and an INVISIBLE column is shown.
TEST_F(RoundTripSiteTest, KeylessRowsAreNamedByTheirExactValues) {
  THttpClient visitor = Visitor();
  const std::vector<std::string> links = UpdateLinks(visitor, "sample");
  ASSERT_EQ(links.size(), 3u);
  const auto wordOf = [](const std::string& link) {
    for (const auto& [param, word] : {std::pair{"&word=abc&", "abc"}, {"&word=ABC&", "ABC"}, {"&word=abc++&", "abc  "}})
      if (link.find(param) != std::string::npos) return std::string(word);
    ADD_FAILURE() << "no word in " << link;
    return std::string();
  };
  const std::string table = Qualified("sample");
  for (const std::string& link : links) {
    const std::string word = wordOf(link);
    SCOPED_TRACE(word);
    TBrowserForm form = BrowserForm(visitor.Get(link).Body);
    EXPECT_FALSE(form.Get("note").value_or("").empty());
    form.Set("pad", "cd");
    const THttpResponse answer = Send(visitor, link, form);
    EXPECT_EQ(Message(answer.Body), kSaved);
    EXPECT_EQ(answer.Body.find(kNotFound), std::string::npos) << "the page lost the row";
    EXPECT_EQ(Value(*FDb, "SELECT GROUP_CONCAT(HEX(word)) FROM " + table + " WHERE pad = X'63640000'"), Hex("'" + word + "'"));
    EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + table + " WHERE seen <> '2001-02-03 04:05:06'"), "1");
    Reload();
  }
  for (const std::string& link : links) {
    const std::string word = wordOf(link);
    EXPECT_EQ(visitor.Get(ReplaceAll(link, "_update.php?", "_detail.php?")).Body.find(kNotFound), std::string::npos);
    const THttpResponse answer = visitor.Post(ReplaceAll(link, "_update.php?", "_delete.php?"), {{"qf_confirm", "yes"}});
    EXPECT_NE(answer.Body.find("The record was deleted."), std::string::npos) << word;
    EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + table + " WHERE HEX(word) = HEX('" + word + "')"), "0") << word;
  }
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + table), "0");
}

// Visitor A saves the form he opened before B saved the same row: what A
// did not change stays as B saved it; a field both changed is not saved,
// and A sees the record as it is now with his change, to send again.
TEST_F(RoundTripSiteTest, TwoVisitorsSavingOneRowKeepEachOthersChanges) {
  THttpClient a = Visitor(), b = Visitor();
  const std::string update = Page("tool", "update") + "?qf_key=1&id=1";
  const TBrowserForm formA = BrowserForm(a.Get(update).Body);
  SaveField(b, update, "title", "Saw of B");
  const TRow savedByB = RowOf("tool", "id = 1");

  EXPECT_EQ(Message(Send(a, update, formA).Body), kUnchanged);
  EXPECT_EQ(RowOf("tool", "id = 1"), savedByB);
  TBrowserForm other = formA;
  other.Set("tags_1", "tag of A");
  EXPECT_EQ(Message(Send(a, update, other).Body), kSaved);
  const TRow savedByA = RowOf("tool", "id = 1");
  EXPECT_EQ(savedByA.at("title"), savedByB.at("title"));
  EXPECT_EQ(savedByA.at("tags_1"), Hex("'tag of A'"));

  TBrowserForm same = formA;
  same.Set("title", "Saw of A");
  const THttpResponse refused = Send(a, update, same);
  EXPECT_EQ(Message(refused.Body), Meanwhile("title"));
  EXPECT_EQ(RowOf("tool", "id = 1"), savedByA);
  const TBrowserForm again = BrowserForm(refused.Body);
  EXPECT_EQ(again.Get("title"), "Saw of A");
  EXPECT_EQ(again.Get("tags_1"), "tag of A");
  EXPECT_EQ(Message(Send(a, update, again).Body), kSaved);
  EXPECT_EQ(RowOf("tool", "id = 1").at("title"), Hex("'Saw of A'"));
  EXPECT_EQ(RowOf("tool", "id = 1").at("tags_1"), Hex("'tag of A'"));
}

// A form sent twice finds its values already stored; a field only the
// server changed after another visitor's save (ON UPDATE, a trigger) is
// refused by name and saved when sent again; a record whose key another
// visitor changed gives the form back as it was sent; a blank key is
// refused. Nothing typed is lost, nothing unsent is written.
TEST_F(RoundTripSiteTest, RepeatedAndRefusedSavesKeepWhatWasTyped) {
  THttpClient a = Visitor(), b = Visitor();
  // The same form twice (a reload, or Back and Save).
  const std::string tool = Page("tool", "update") + "?qf_key=1&id=1";
  TBrowserForm twice = BrowserForm(a.Get(tool).Body);
  twice.Set("title", "Saw twice");
  EXPECT_EQ(Message(Send(a, tool, twice).Body), kSaved);
  std::vector<std::string> before = AllBytes();
  EXPECT_EQ(Message(Send(a, tool, twice).Body), kUnchanged);
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());

  // Fields only the server changed since A opened the form: the fixture's
  // old time stamp becomes the time of B's save.
  Reload();
  for (const auto& [table, field, typed, stored] :
       {std::tuple{"tool", "changed", "2030-01-02 03:04:05", "'2030-01-02 03:04:05'"},
        {"box", "stamp", "mine", "'MINE'"}}) {
    SCOPED_TRACE(table);
    const std::string update = Page(table, "update") + "?qf_key=1&id=1";
    TBrowserForm formA = BrowserForm(a.Get(update).Body);
    SaveField(b, update, std::string(table) == "tool" ? "tags_1" : "mark", std::string(table) == "tool" ? "by B" : "10");
    before = AllBytes();
    formA.Set(field, typed);
    const THttpResponse refused = Send(a, update, formA);
    EXPECT_EQ(Message(refused.Body), Meanwhile(field));
    EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());
    const TBrowserForm again = BrowserForm(refused.Body);
    EXPECT_EQ(again.Get(field), typed);
    EXPECT_EQ(Message(Send(a, update, again).Body), kSaved);
    EXPECT_EQ(RowOf(table, "id = 1").at(field), Hex(stored));
  }

  // B changes the key of the row A has open: A's save writes nothing and
  // gives A's form back, without links to a row it no longer names.
  const std::string loan = Page("loan", "update") + "?qf_key=1&tool_id=1&borrower=ann";
  TBrowserForm formA = BrowserForm(a.Get(loan).Body);
  SaveField(b, loan, "borrower", "cid");
  before = AllBytes();
  formA.Set("remark", "typed by A\r\non two lines");
  const THttpResponse lost = Send(a, loan, formA);
  ExpectCleanPage(lost, "lost");
  EXPECT_EQ(Message(lost.Body), kLost);
  EXPECT_EQ(BrowserForm(lost.Body).Get("remark"), "typed by A\r\non two lines");
  EXPECT_EQ(BrowserForm(lost.Body).Get("borrower"), "ann");
  for (const std::string& link : PageLinks(lost.Body)) EXPECT_EQ(link.find("_delete.php"), std::string::npos) << link;
  EXPECT_EQ(Message(Send(a, loan, BrowserForm(lost.Body)).Body), kLost);
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());

  // A blank AUTO_INCREMENT key would move the record to another key.
  const std::string box = Page("box", "update") + "?qf_key=1&id=2";
  TBrowserForm blank = BrowserForm(a.Get(box).Body);
  blank.Set("id", "");
  blank.Set("stamp", "kept");
  const THttpResponse refused = Send(a, box, blank);
  EXPECT_EQ(Message(refused.Body), "The record could not be saved: \"id\" may not be blank, as it names the record.");
  EXPECT_EQ(BrowserForm(refused.Body).Get("stamp"), "kept");
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());
}

// List and detail pages name a stored choice by the item that holds exactly
// it ("01" is not "1", "1e1" not "10"), and check boxes whose items hold
// commas by the items that were ticked.
TEST_F(RoundTripSiteTest, ListAndDetailShowTheChosenItemsExactly) {
  THttpClient visitor = Visitor();
  for (const auto& [id, mark, parts] : {std::tuple{"1", "zero one", "a b,c "}, {"2", "ten as 1e1", "a,b "}}) {
    const std::string detail = visitor.Get(Page("box", "detail") + "?qf_key=1&id=" + id).Body;
    EXPECT_EQ(HtmlDecode(DetailCell(detail, "mark")), mark) << id;
    EXPECT_EQ(HtmlDecode(DetailCell(detail, "parts")), parts) << id;
  }
  const std::string list = VisibleText(visitor.Get(Page("box", "list")).Body);
  for (const char* shown : {"zero one", "ten as 1e1", "a b,c"}) EXPECT_NE(list.find(shown), std::string::npos) << shown;
  for (const char* wrong : {"onezero one", "tenten as 1e1", "a,b c"}) EXPECT_EQ(list.find(wrong), std::string::npos) << wrong;
}

TEST_F(RoundTripSiteTest, AFailedUploadFailsTheSaveAndKeepsTheStoredFile) {
  THttpClient visitor = Visitor();
  const std::string big(3 * 1024 * 1024, 'x');  // beyond PHP's upload limit of 2 MB
  const std::string update = Page("tool", "update") + "?qf_key=1&id=2";
  TBrowserForm form = BrowserForm(visitor.Get(update).Body);
  form.Set("pic-upload", "yes");
  form.Set("title", "Drill 2");
  form.Files = {{"pic-file", "big.png", big}};
  const std::vector<std::string> before = AllBytes();
  THttpResponse answer = Send(visitor, update, form);
  EXPECT_EQ(Message(answer.Body), "The record could not be saved: the file \"big.png\" is larger than the site takes.");
  EXPECT_EQ(BrowserForm(answer.Body).Get("title"), "Drill 2");
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());

  // A folder that cannot be made (a file stands in its place) fails it too.
  qftest::WriteFile(FOut + "/uploads", "not a folder");
  form.Files = {{"pic-file", "small.png", "PNG"}};
  answer = Send(visitor, update, form);
  EXPECT_EQ(Message(answer.Body), "The record could not be saved: the file \"small.png\" could not be stored.");
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());

  form = BrowserForm(visitor.Get(Page("tool", "insert")).Body);
  form.Set("title", "Big");
  form.Files = {{"pic", "big.png", big}};
  answer = Send(visitor, Page("tool", "insert"), form);
  EXPECT_NE(answer.Body.find("The record could not be added: the file"), std::string::npos);
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());
}

TEST_F(RoundTripSiteTest, LikeFilterTakesWildcardsAsText) {
  Rows(*FDb, "INSERT INTO " + Qualified("tool") + " (title) VALUES ('50% off'), ('500 items'), ('a_b'), ('axb'), "
                                                  "('back\\\\slash'), ('backXslash')");
  THttpClient visitor = Visitor();
  for (const auto& [typed, found] : std::vector<std::pair<std::string, int>>{
           {"50%", 1}, {"50", 2}, {"a_", 1}, {"a", 2}, {"back\\", 1}, {"%", 0}}) {
    const THttpResponse list =
        visitor.Post(Page("tool", "list"), {{"title_val", typed}, {"title_mode", "Like"}, {"qf_search", "Search"}});
    ExpectCleanPage(list, typed);
    EXPECT_EQ(RecordCount(list.Body), found) << typed;
  }
}

// The browser itself: what it sends for an unchanged form, for a text area
// it was typed into, and for an empty insert form.
TEST_F(RoundTripSiteTest, ABrowserSendsFormsBackUnchangedAndKeepsLineEnds) {
  if (!FileExists("/usr/bin/chromedriver")) GTEST_SKIP() << "no chromedriver (scripts/deps installs it)";
  TBrowser browser;
  ASSERT_TRUE(browser.Started()) << browser.Error();
  THttpClient visitor = Visitor();
  const std::vector<std::string> before = AllBytes();
  for (const char* table : kTables)
    for (const std::string& link : UpdateLinks(visitor, table)) {
      browser.Open(Url(link));
      EXPECT_NE(browser.Submit().find(kUnchanged), std::string::npos) << link;
    }
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());

  const TRow saw = RowOf("tool", "id = 1");
  browser.Open(Url(Page("tool", "update") + "?qf_key=1&id=1"));
  browser.Type("note", "third line");
  browser.Type("title", " sharp");
  EXPECT_NE(browser.Submit().find(kSaved), std::string::npos);
  const TRow after = RowOf("tool", "id = 1");
  EXPECT_EQ(after.at("note"), Hex("'first line\\nsecond line\\nthird line'"));
  EXPECT_EQ(after.at("title"), Hex("'Saw sharp'"));
  for (const char* column : {"manual", "raw", "checksum", "serial", "mood", "tags", "active", "pin", "host", "size",
                             "owner", "crew", "secret"})
    EXPECT_EQ(after.at(column), saw.at(column)) << column;
  // The detail page shows the lines of a text.
  EXPECT_NE(browser.Open(Url(Page("tool", "detail") + "?qf_key=1&id=1")).find("first line\nsecond line\nthird line"),
            std::string::npos);

  // Two visitors: the browser's form, opened before another visitor saved
  // the row, keeps that visitor's title; a title changed by both is refused.
  THttpClient other = Visitor();
  const std::string update = Page("tool", "update") + "?qf_key=1&id=2";
  const auto openThenOtherSaves = [&](const std::string& title) {
    browser.Open(Url(update));
    SaveField(other, update, "title", title);
  };
  openThenOtherSaves("Drill of B");
  browser.Type("tags_1", " too");
  EXPECT_NE(browser.Submit().find(kSaved), std::string::npos);
  EXPECT_EQ(RowOf("tool", "id = 2").at("tags_1"), Hex("'tag one too'"));
  EXPECT_EQ(RowOf("tool", "id = 2").at("title"), Hex("'Drill of B'"));
  openThenOtherSaves("Drill of C");
  browser.Type("title", " of A");
  EXPECT_NE(browser.Submit().find(Meanwhile("title")), std::string::npos);
  EXPECT_EQ(RowOf("tool", "id = 2").at("title"), Hex("'Drill of C'"));

  browser.Open(Url(Page("tool", "insert")));
  EXPECT_NE(browser.Submit().find("The record was added."), std::string::npos);
  const TRow added = RowOf("tool", "id = 3");
  for (const char* column : {"note", "manual", "raw", "serial", "mood", "tags", "price", "host"})
    EXPECT_EQ(added.at(column), "NULL") << column;
  EXPECT_EQ(added.at("code"), Hex("'T-0'"));
}

// The browser again, on what the server or another visitor changes: a
// choice holding a line feed, a value the server stores rounded among rows
// alike, the same form sent after Back, a field a trigger changed after
// another visitor's save, a record whose key another visitor changed.
TEST_F(RoundTripSiteTest, ABrowserFollowsWhatTheServerStoredAndKeepsWhatWasTyped) {
  if (!FileExists("/usr/bin/chromedriver")) GTEST_SKIP() << "no chromedriver (scripts/deps installs it)";
  TBrowser browser;
  ASSERT_TRUE(browser.Started()) << browser.Error();
  THttpClient other = Visitor();
  std::vector<std::string> before = AllBytes();

  // A choice and a check box holding a line feed: stored as the item holds it.
  browser.Open(Url(Page("box", "update") + "?qf_key=1&id=2"));
  browser.Choose("shelf", "Multi\nLine");
  browser.Click("shelves-i2");
  EXPECT_NE(browser.Submit().find(kSaved), std::string::npos);
  EXPECT_EQ(RowOf("box", "id = 2").at("shelf"), Hex("'Multi\\nLine'"));
  EXPECT_EQ(RowOf("box", "id = 2").at("shelves"), Hex("'Multi\\nLine'"));
  EXPECT_NE(browser.Submit().find(kUnchanged), std::string::npos);
  Reload();

  // Among rows alike but for d, 2.005 is stored as 2.01: the page shows
  // that row, and the next save changes it.
  browser.Open(Url(UpdateLink(other, "reading", "&d=2.00&")));
  browser.Type("d", "5");
  EXPECT_NE(browser.Submit().find(kSaved), std::string::npos);
  browser.Type("n", "9");
  EXPECT_NE(browser.Submit().find(kSaved), std::string::npos);
  EXPECT_EQ(RowOf("reading", "n = 19").at("d"), Hex("'2.01'"));
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + Qualified("reading") + " WHERE n = 1 AND d = 1.00"), "7");
  Reload();

  // Saved, then Back and Save again: the record holds it already.
  const std::string tool = Url(Page("tool", "update") + "?qf_key=1&id=2");
  browser.Open(tool);
  browser.Type("title", " twice");
  EXPECT_NE(browser.Submit().find(kSaved), std::string::npos);
  before = AllBytes();
  browser.Back();
  EXPECT_NE(browser.Submit().find(kUnchanged), std::string::npos);
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());
  EXPECT_EQ(RowOf("tool", "id = 2").at("title"), Hex("'Drill twice'"));

  // The trigger changed "stamp" after another visitor's save: refused by
  // name, with what was typed, and saved when sent again.
  const std::string box = Page("box", "update") + "?qf_key=1&id=1";
  browser.Open(Url(box));
  SaveField(other, box, "mark", "10");
  browser.Type("stamp", " by A");
  EXPECT_NE(browser.Submit().find(Meanwhile("stamp")), std::string::npos);
  EXPECT_EQ(RowOf("box", "id = 1").at("stamp"), Hex("'LOWER'"));
  EXPECT_NE(browser.Submit().find(kSaved), std::string::npos);
  EXPECT_EQ(RowOf("box", "id = 1").at("stamp"), Hex("'LOWER BY A'"));
  EXPECT_EQ(RowOf("box", "id = 1").at("mark"), Hex("'10'"));

  // Another visitor changed the key of the record the browser has open.
  const std::string loan = Page("loan", "update") + "?qf_key=1&tool_id=1&borrower=bob";
  browser.Open(Url(loan));
  SaveField(other, loan, "borrower", "dan");
  before = AllBytes();
  browser.Type("remark", "typed in the browser");
  EXPECT_NE(browser.Submit().find(kLost), std::string::npos);
  EXPECT_TRUE(AllBytes() == before) << Difference(before, AllBytes());
}

}  // namespace
}  // namespace e2e
