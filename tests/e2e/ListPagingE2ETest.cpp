// The list page's paging over tables of its own (tests/fixtures/site/
// paging.sql), driven through its buttons as a browser posts its form: every
// page, in every sort and filter, shows the rows of the page's query with
// LIMIT offset, and says which page of how many; paging forward while rows
// come and go skips none and repeats none; past the counting cap the page
// says "more than" and still reaches the last rows.

#include "TestSupport.h"
#include "E2ESupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PageGenerator.h"
#include "generator/phplist.h"

#include <algorithm>
#include <regex>
#include <set>

namespace e2e {
namespace {

constexpr int kCountCap = 10000;  // the list page counts no further

/** One list page as shown: the key of each row, "Page 2 of 5 (47 records)". */
struct TListPage {
  std::vector<std::string> Rows;
  std::string Label, Html;
};

/** The name and value of the button with that caption, or none. */
std::optional<std::pair<std::string, std::string>> Button(const std::string& html, const std::string& caption) {
  const std::regex button(R"re(<button type="submit" name="([^"]*)" value="([^"]*)">)re" + caption + "</button>");
  std::smatch m;
  if (!std::regex_search(html, m, button)) return std::nullopt;
  return std::pair(m[1].str(), m[2].str());
}

/** The values of these key parameters of each detail link, joined by "/";
 *  "NULL" for a NULL. */
std::vector<std::string> DetailKeys(const std::string& html, const std::vector<std::string>& keys) {
  static const std::regex kLink(R"re(href="[^"?]*_detail\.php\?([^"]*)")re");
  std::vector<std::string> rows;
  for (std::sregex_iterator it(html.begin(), html.end(), kLink), end; it != end; ++it) {
    std::string row;
    const std::string query = "&" + HtmlDecode((*it)[1].str()) + "&";
    for (const std::string& key : keys) {
      std::smatch m;
      row += row.empty() ? "" : "/";
      if (std::regex_search(query, m, std::regex("&" + key + "=([^&]*)&")))
        row += m[1].str();
      else
        row += query.find("&" + key + "-null=1&") != std::string::npos ? "NULL" : "<none>";
    }
    rows.push_back(row);
  }
  return rows;
}

std::string PageLabel(const std::string& html) {
  static const std::regex kLabel(
      R"(((Page \d+( from the end)?|Last page) of (more than )?\d+ \((more than )?\d+ records\)))");
  std::smatch m;
  return std::regex_search(html, m, kLabel) ? m[1].str() : "<no label>";
}

std::string Label(int page, int pages, int records) {
  return qftest::Str("Page ", page, " of ", pages, " (", records, " records)");
}

struct TColumn {
  std::string Field, Type, Filter = "No";
  std::string Lookup = "", Display = "", Value = "";  // a lookup of Lookup.Display by Lookup.Value
};

class ListPagingTest : public GeneratedSiteTest {
protected:
  void SetUp() override {
    GeneratedSiteTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Rows(*FDb, "USE " + QuoteIdentifier(FShopDb));
    for (const std::string& statement :
         SplitString(ReadFileText(qftest::SourceDir() + "/tests/fixtures/site/paging.sql"), ';'))
      if (!Trim(statement).empty()) {
        ASSERT_NO_THROW(Rows(*FDb, statement));
      }
  }

  /** Generates the list page of a table of the copy of shop, every column
   *  listed, the keys flagged; its address. */
  std::string List(const std::string& name, const std::vector<TColumn>& columns,
                   const std::vector<std::string>& keys) {
    FProject.RemoveTable(FShopDb, name);
    auto table = std::make_unique<TWebTable>();
    table->DB = FShopDb;
    table->Name = table->Caption = name;
    table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = "Guest";
    for (const TColumn& c : columns) {
      auto input = std::make_unique<TWebInput>(c.Field);
      input->Database_field = input->Caption = c.Field;
      input->Type = c.Type;
      input->Key = std::find(keys.begin(), keys.end(), c.Field) != keys.end();
      input->List = input->Detail = true;
      input->Input_type = "Text";
      input->Filter_type = c.Filter;
      if (!c.Lookup.empty()) {
        TBaseHtmlInput& html = *input->HtmlInput;
        html.iLElementFromDb = true;
        html.iLTable = c.Lookup;
        html.iLDisplayField = c.Display;
        html.iLValueField = c.Value;
      }
      table->AddToInputList(std::move(input));
    }
    FProject.AddTable(std::move(table));
    FProject.CurrentDatabase = FShopDb;
    FProject.CurrentTable = name;
    TListGenerator({FProject, qftest::SourceDir() + "/data/", FOut + "/"}).Generate();
    return ShopPage(name, "list");
  }

  /** The paging table's list: sorted by every column, filtered by name
   *  (Like), grade (Interval), city (Like on the looked-up name) and price
   *  (Interval). Grade optionally looked up in a table. */
  std::string PagingList(const std::string& gradeLookup = "") {
    return List("paging",
                {{"id", "int(11)"},
                 {"grade", "int(11)", "Interval", gradeLookup, gradeLookup.empty() ? "" : "label", "level"},
                 {"name", "varchar(40)", "Like"},
                 {"price", "decimal(8,2)", "Interval"},
                 {"weight", "float"},
                 {"size", "enum('S','M','L')"},
                 {"code", "varbinary(8)"},
                 {"city_id", "int(11)", "Like", "city", "name", "id"},
                 {"note", "varchar(600)"}},
                {"id"});
  }

  TListPage Read(const THttpResponse& response) {
    ExpectCleanPage(response, "list page");
    return {DetailKeys(response.Body, FKeys), PageLabel(response.Body), response.Body};
  }
  TListPage Open(THttpClient& visitor, const std::string& list, const TFields& fields) {
    return Read(visitor.Post(list, fields));
  }
  /** Presses the button with that caption on the page at that address;
   *  a page without label and rows when it has no such button. */
  TListPage Press(THttpClient& visitor, const std::string& address, const TListPage& page,
                  const std::string& caption, const TFields& changes = {}) {
    const auto button = Button(page.Html, caption);
    if (!button) return {{}, "<no " + caption + " button>", ""};
    TBrowserForm form = BrowserForm(page.Html);
    for (const auto& [name, typed] : changes) form.Set(name, typed);
    form.Fields.push_back(*button);
    return Read(visitor.Post(address, form.Fields));
  }

  /** Walks every page of the list under the request's filter and sort with
   *  each button and by number, against the rows of `query` (keys, in the
   *  order the page promises) with LIMIT offset. */
  void ExpectEveryPage(const std::string& list, const TFields& request, const std::string& query) {
    const std::string what = FormEncode(request);
    const int records = std::stoi(Sql("SELECT COUNT(*) FROM (" + query + ") AS q"));
    const int pages = std::max(1, (records + FProject.RowNumber - 1) / FProject.RowNumber);
    const auto expect = [&](const TListPage& page, int number, const std::string& how) {
      EXPECT_EQ(page.Label, Label(number, pages, records)) << what << " " << how;
      EXPECT_EQ(page.Rows, Column(*FDb, qftest::Str(query, " LIMIT ", (number - 1) * FProject.RowNumber, ", ",
                                                    FProject.RowNumber)))
          << what << " " << how << " page " << number;
    };
    THttpClient visitor = Visitor();
    TListPage page = Open(visitor, list, request);
    expect(page, 1, "opened");
    for (int number = 2; number <= pages; ++number) expect(page = Press(visitor, list, page, "Next"), number, "Next");
    EXPECT_FALSE(Button(page.Html, "Next")) << what;
    EXPECT_FALSE(Button(page.Html, "Last")) << what;
    for (int number = pages - 1; number >= 1; --number)
      expect(page = Press(visitor, list, page, "Previous"), number, "Previous");
    EXPECT_FALSE(Button(page.Html, "Previous")) << what;
    if (pages > 1) {
      expect(page = Press(visitor, list, page, "Last"), pages, "Last");
      expect(Press(visitor, list, page, "First"), 1, "First");
    }
    // A page number in the address; one past the end gives the last page.
    // The buttons on it post to that address and count before its number.
    for (int number = 1; number <= pages + 1; ++number) {
      TFields fields = request;
      fields.emplace_back("qf_goto", std::to_string(number));
      const std::string address = list + "?" + FormEncode(fields);
      expect(page = Read(visitor.Get(address)), std::min(number, pages), "number " + std::to_string(number));
      if (number < pages) expect(Press(visitor, address, page, "Next"), number + 1, "Next from the address");
    }
  }

  std::string Table(const std::string& name) { return ShopTable(name) + " t"; }

  std::vector<std::string> FKeys = {"id"};  // the key parameters that name a listed row
};

TEST_F(ListPagingTest, EveryPageInEverySortAndFilterShowsTheRowsOfItsOffset) {
  const std::string list = PagingList();
  const std::string from = "SELECT t.id FROM " + Table("paging") + " LEFT JOIN " + ShopTable("city") +
                           " c ON t.city_id = c.id WHERE ";
  struct TCase {
    TFields Filter;
    std::string Where;
  };
  const TCase filters[] = {
      {{}, "1"},
      {{{"name_val", "a"}}, "t.name LIKE 'a%'"},
      {{{"grade_min", "1"}, {"grade_max", "2"}}, "t.grade >= 1 AND t.grade <= 2"},
      {{{"city_id_val", "L"}}, "c.name LIKE 'L%'"},
      {{{"price_min", "100"}}, "t.price >= 100"},
  };
  // Sorted by each kind of column: numbers, texts the collation holds
  // equal, bytes, decimals, and those without key order (double, enum);
  // rows with equal values follow the key in the same direction.
  // Notes differ only past what the server sorts on.
  const std::pair<std::string, std::string> sorts[] = {
      {"", ""},          {"grade", "ASC"}, {"grade", "DESC"}, {"name", "ASC"},      {"name", "DESC"},
      {"price", "DESC"}, {"code", "ASC"},  {"code", "DESC"},  {"city_id", "DESC"}, {"weight", "ASC"},
      {"size", "DESC"},  {"note", "ASC"},  {"id", "DESC"}};
  for (const TCase& filter : filters)
    for (const auto& [field, dir] : sorts) {
      // Every sort unfiltered, three sorts under each filter.
      if (!filter.Filter.empty() && field != "" && field != "grade" && field != "name") continue;
      if (!filter.Filter.empty() && field != "" && dir != (field == "grade" ? "DESC" : "ASC")) continue;
      TFields request = filter.Filter;
      if (!field.empty()) {
        request.emplace_back("qf_sort", field);
        request.emplace_back("qf_dir", dir);
      }
      const std::string order = field.empty() ? "t.id" : "t." + field + " " + dir + ", t.id " + dir;
      ExpectEveryPage(list, request, from + filter.Where + " ORDER BY " + order);
    }

  // A filter typed before pressing Next holds from that page on: the next
  // page by number, as the rows shown before belong to another list.
  THttpClient visitor = Visitor();
  const TListPage second = Press(visitor, list, Open(visitor, list, {}), "Next");
  const std::string named = from + "t.name LIKE 'a%' ORDER BY t.id";
  const TListPage third = Press(visitor, list, second, "Next", {{"name_val", "a"}});
  EXPECT_EQ(third.Label, Label(3, 3, std::stoi(Sql("SELECT COUNT(*) FROM (" + named + ") AS q"))));
  EXPECT_EQ(third.Rows, Column(*FDb, named + " LIMIT 20, 10"));
}

TEST_F(ListPagingTest, CompositeKeysKeylessTablesAndRepeatingLookupsPageAsTheirOffsets) {
  // Two key columns, in key order and behind a sorted column.
  FKeys = {"a", "b"};
  std::string list = List("paging_pair", {{"a", "int(11)"}, {"b", "varchar(10)"}, {"v", "int(11)"}}, {"a", "b"});
  const std::string pairs = "SELECT CONCAT(t.a, '/', t.b) FROM " + Table("paging_pair") + " ORDER BY ";
  ExpectEveryPage(list, {}, pairs + "t.a, t.b");
  ExpectEveryPage(list, {{"qf_sort", "v"}, {"qf_dir", "DESC"}}, pairs + "t.v DESC, t.a DESC, t.b DESC");
  ExpectEveryPage(list, {{"qf_sort", "b"}, {"qf_dir", "ASC"}}, pairs + "t.b ASC, t.a ASC");

  // Without a key: by offset, in the table's own order or a sort without
  // equal values; with equal values, the sorted values.
  FKeys = {"label"};
  list = List("paging_loose", {{"label", "varchar(20)"}, {"n", "int(11)"}}, {});
  const std::string loose = "SELECT t.label FROM " + Table("paging_loose");
  ExpectEveryPage(list, {}, loose);
  ExpectEveryPage(list, {{"qf_sort", "label"}, {"qf_dir", "DESC"}}, loose + " ORDER BY t.label DESC");
  FKeys = {"n"};
  ExpectEveryPage(list, {{"qf_sort", "n"}, {"qf_dir", "DESC"}},
                  "SELECT IFNULL(t.n, 'NULL') FROM " + Table("paging_loose") + " ORDER BY t.n DESC");

  // A lookup whose value field is not unique lists a row once per match,
  // and counts it so.
  FKeys = {"id"};
  list = PagingList("paging_tier");
  const std::string tiers = "SELECT t.id FROM " + Table("paging") + " LEFT JOIN " + ShopTable("paging_tier") +
                            " g ON t.grade = g.level LEFT JOIN " + ShopTable("city") + " c ON t.city_id = c.id WHERE ";
  ASSERT_GT(std::stoi(Sql("SELECT COUNT(*) FROM (" + tiers + "1) AS q")), 47);
  ExpectEveryPage(list, {}, tiers + "1 ORDER BY t.id");
  ExpectEveryPage(list, {{"qf_sort", "grade"}, {"qf_dir", "DESC"}}, tiers + "1 ORDER BY t.grade DESC, t.id DESC");
  ExpectEveryPage(list, {{"grade_min", "two"}}, tiers + "g.label >= 'two' ORDER BY t.id");
}

// Between two pages rows are inserted ahead of the last row shown and behind
// it, with its value, and deleted: the last row shown itself, rows ahead and
// rows behind. Paging forward shows every row ahead once, in order.
TEST_F(ListPagingTest, PagingForwardWhileRowsComeAndGoSkipsNoneAndRepeatsNone) {
  const std::string list = PagingList();
  const std::string table = ShopTable("paging");
  for (const auto& [request, order] : std::vector<std::pair<TFields, std::string>>{
           {{}, "id"},
           {{{"qf_sort", "grade"}, {"qf_dir", "DESC"}}, "grade DESC, id DESC"},
           {{{"qf_sort", "name"}, {"qf_dir", "ASC"}}, "name ASC, id ASC"}}) {
    SCOPED_TRACE(order);
    Rows(*FDb, "DELETE FROM " + table + " WHERE id NOT IN (SELECT seq * 10 FROM seq_1_to_47)");
    const auto ordered = [&] { return Column(*FDb, "SELECT id FROM " + table + " ORDER BY " + order); };
    std::set<std::string> behind, deletedAhead;
    std::vector<std::string> shown;
    THttpClient visitor = Visitor();
    TListPage page = Open(visitor, list, request);
    bool end = false;
    int fresh = 5000;
    for (int step = 0; step < 40 && !end; ++step) {
      shown.insert(shown.end(), page.Rows.begin(), page.Rows.end());
      end = !Button(page.Html, "Next");
      if (end) break;
      const std::string cursor = page.Rows.back();
      // Inserted next to the last row shown (by id): with its values, with
      // others, with NULLs.
      const std::string values[] = {"grade, name", "grade + 1, CONCAT(name, 'b')", "NULL, NULL"};
      const std::string near[] = {std::to_string(std::stoi(cursor) - 1), std::to_string(std::stoi(cursor) + 1),
                                  std::to_string(++fresh)};
      std::vector<std::string> inserted;
      for (int i = 0; i < 3; ++i) {
        if (!Sql("SELECT id FROM " + table + " WHERE id = " + near[i]).empty()) continue;
        Rows(*FDb, "INSERT INTO " + table + " (id, grade, name, price) SELECT " + near[i] + ", " +
                       values[(i + step) % 3] + ", 1 FROM " + table + " WHERE id = " + cursor);
        inserted.push_back(near[i]);
      }
      const std::vector<std::string> now = ordered();
      const auto at = [&](const std::string& id) { return std::find(now.begin(), now.end(), id) - now.begin(); };
      for (const std::string& id : inserted)
        if (at(id) < at(cursor)) behind.insert(id);
      // Deleted: the last row shown, the second row ahead of it and a row behind.
      if (const size_t ahead = static_cast<size_t>(at(cursor)) + 2; ahead < now.size()) {
        deletedAhead.insert(now[ahead]);
        Rows(*FDb, "DELETE FROM " + table + " WHERE id = " + now[ahead]);
      }
      Rows(*FDb, "DELETE FROM " + table + " WHERE id IN (" + cursor + ", " + page.Rows.front() + ")");
      page = Press(visitor, list, page, "Next");
    }
    EXPECT_TRUE(end) << "the walk did not reach the last page";
    std::vector<std::string> expected;
    for (const std::string& id : ordered())
      if (!behind.count(id)) expected.push_back(id);
    std::vector<std::string> survivors;
    for (const std::string& id : shown)
      if (std::find(expected.begin(), expected.end(), id) != expected.end()) survivors.push_back(id);
    EXPECT_EQ(survivors, expected) << "rows ahead skipped, repeated or out of order";
    EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size()) << "a row shown twice";
    for (const std::string& id : deletedAhead)
      EXPECT_EQ(std::count(shown.begin(), shown.end(), id), 0) << id << " shown after it was deleted";
  }
}

TEST_F(ListPagingTest, PastTheCapThePageCountsNoFurtherAndStillReachesTheLastRows) {
  const std::string list = List("paging_big", {{"id", "int(11)"}, {"n", "int(11)"}}, {"id"});
  const std::string table = ShopTable("paging_big");
  const auto ids = [](int first, int last) {
    std::vector<std::string> ids;
    for (int id = first; id <= last; ++id) ids.push_back(std::to_string(id));
    return ids;
  };
  const std::string more = " of more than 1000 (more than 10000 records)";
  THttpClient visitor = Visitor();
  TListPage page = Open(visitor, list, {});
  EXPECT_EQ(page.Label, "Page 1" + more);
  EXPECT_EQ(page.Rows, ids(1, 10));
  page = Press(visitor, list, page, "Last");
  EXPECT_EQ(page.Label, "Last page" + more);
  EXPECT_EQ(page.Rows, ids(10016, 10025));
  EXPECT_FALSE(Button(page.Html, "Next"));
  page = Press(visitor, list, page, "Previous");
  EXPECT_EQ(page.Label, "Page 2 from the end" + more);
  EXPECT_EQ(page.Rows, ids(10006, 10015));
  page = Press(visitor, list, page, "Next");
  EXPECT_EQ(page.Label, "Last page" + more);
  EXPECT_EQ(page.Rows, ids(10016, 10025));
  // Page numbers asked for: past the cap, past the end, past any number.
  page = Open(visitor, list, {{"qf_goto", "1002"}});
  EXPECT_EQ(page.Label, "Page 1002" + more);
  EXPECT_EQ(page.Rows, ids(10011, 10020));
  page = Press(visitor, list, page, "Next");
  EXPECT_EQ(page.Label, "Page 1003" + more);
  EXPECT_EQ(page.Rows, ids(10021, 10025));
  for (const std::string number : {"1004", "5000", "99999999999999999999"}) {
    page = Open(visitor, list, {{"qf_goto", number}});
    EXPECT_EQ(page.Label, "Last page" + more) << number;
    EXPECT_EQ(page.Rows, ids(10016, 10025)) << number;
  }
  // Sorted: the last rows of that order.
  page = Press(visitor, list, Open(visitor, list, {{"qf_sort", "n"}, {"qf_dir", "DESC"}}), "Last");
  EXPECT_EQ(page.Rows, Column(*FDb, "SELECT id FROM (SELECT id, n FROM " + table +
                                        " ORDER BY n ASC, id ASC LIMIT 10) AS q ORDER BY n DESC, id DESC"));

  // At the cap the count is exact again; one row more and it is not.
  Rows(*FDb, "DELETE FROM " + table + " WHERE id > " + std::to_string(kCountCap));
  page = Press(visitor, list, Open(visitor, list, {}), "Last");
  EXPECT_EQ(page.Label, Label(1000, 1000, kCountCap));
  EXPECT_EQ(page.Rows, ids(9991, 10000));
  Rows(*FDb, "INSERT INTO " + table + " VALUES (20000, 1)");
  EXPECT_EQ(Open(visitor, list, {}).Label, "Page 1" + more);
}

// Hostile values in the fields that carry the page shown: the page reads
// them as values, shows a page of the list and changes nothing.
TEST_F(ListPagingTest, CursorFieldsAreValuesNotSql) {
  const std::string list = PagingList();
  const std::string before = Snapshot();
  const std::vector<std::string> all = Column(*FDb, "SELECT id FROM " + ShopTable("paging") + " ORDER BY id");
  THttpClient visitor = Visitor();
  for (const std::string sort : {"id", "name", "code"}) {
    const TBrowserForm form = BrowserForm(Open(visitor, list, {{"qf_sort", sort}}).Html);
    // Raw SQL, not hex, hex of odd length, wrong numbers of values, hex of
    // SQL ("' OR 1=1", "1 OR 1=1" with a second value, "'").
    for (const std::string text : {"' OR '1'='1", "1 OR 1=1", "zz", "4", "-", "-,-,-", "27204f5220313d31",
                                   "31204f5220313d31,3130", "27"})
      for (const std::string field : {"qf_first", "qf_last", "qf_page", "qf_state", "qf_move"})
        for (const std::string move : {"next", "prev", "last"}) {
          if (field == "qf_move" && move != "next") continue;
          TBrowserForm sent = form;
          sent.Set("qf_move", move);
          sent.Set(field, text);
          const std::string what = sort + " " + field + "=" + text + " " + move;
          const TListPage page = Read(visitor.Post(list, sent.Fields));
          EXPECT_FALSE(page.Rows.empty() || page.Rows.size() > 10u) << what;
          if (sort == "id") {
            EXPECT_NE(std::search(all.begin(), all.end(), page.Rows.begin(), page.Rows.end()), all.end()) << what;
          }
          if (move == "last" && field != "qf_move") {
            EXPECT_EQ(page.Label, Label(5, 5, 47)) << what;
          } else {
            EXPECT_NE(page.Label, "<no label>") << what;
          }
        }
  }
  EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace e2e
