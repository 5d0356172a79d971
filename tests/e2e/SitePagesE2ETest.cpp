// The generated site served by PHP against the database: every link leading
// to a page that parses and finds its record, a record going through insert,
// detail, update and delete, columns with odd names and empty values, a
// composite key, and the pages kept for the administrator.

#include "E2ESupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PhpText.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <regex>
#include <thread>
#include <tuple>

namespace e2e {
namespace {

using TRows = std::vector<std::vector<std::string>>;

/** Whether the tag of the control named name with that value is checked or selected. */
bool IsChosen(const std::string& html, const std::string& name, const std::string& value) {
  const std::string tag = InputTag(html, name, value);
  if (!tag.empty()) return tag.find("checked") != std::string::npos;
  const size_t option = html.find("<option value=\"" + value + "\"", html.find("<select name=\"" + name + "\""));
  return option != std::string::npos && html.substr(option, html.find('>', option) - option).find("selected") !=
                                            std::string::npos;
}

TEST_F(GeneratedSiteTest, EveryPageIsValidAndEveryLinkLeadsToAPage) {
  // From the menu to every table's list, which counts the table's rows; from
  // the list to the insert page and to each listed record's pages, which
  // find it; from the first record's detail page on again. A page that does
  // not parse answers 500 and shows in the server's log (see TearDown).
  THttpClient admin = Administrator();
  const THttpResponse menu = admin.Get("/menu.php");
  ExpectCleanPage(menu, "menu");
  const std::vector<std::string> lists = PageLinks(menu.Body);
  ASSERT_EQ(lists.size(), FProject.Tables.size());
  for (size_t i = 0; i < lists.size(); ++i) {
    const TWebTable& table = *FProject.Tables[i];
    const std::string what = table.DB + "." + table.Name;
    const THttpResponse list = admin.Get("/" + lists[i]);
    ExpectCleanPage(list, what + " list");
    const std::string qualified = QuoteIdentifier(table.DB) + "." + QuoteIdentifier(table.Name);
    const int rows = std::stoi(Sql("SELECT COUNT(*) FROM " + qualified));
    EXPECT_EQ(RecordCount(list.Body), rows) << what;
    std::vector<std::string> links = PageLinks(list.Body);
    EXPECT_EQ(links.size(), 1 + 3 * static_cast<size_t>(std::min(rows, FProject.RowNumber))) << what;
    if (links.size() > 1)
      for (const std::string& link : PageLinks(admin.Get("/" + links[1]).Body)) links.push_back(link);
    for (const std::string& link : links) {
      const THttpResponse page = admin.Get("/" + link);
      ExpectCleanPage(page, what + ": " + link);
      EXPECT_EQ(page.Body.find(kNotFound), std::string::npos) << what << ": " << link;
    }
  }

  // Looked-up texts and quotes on detail pages.
  for (const auto& [page, field, text] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {ShopPage("order", "detail") + "?qf_key=1&id=1", "customer_id", "O'Brien"},
           {PagePath(FNotesDb, "notes", "detail") + "?qf_key=1&id=2", "title", "It's the second"}})
    EXPECT_EQ(HtmlDecode(DetailCell(admin.Get(page).Body, field)), text) << page;
}

TEST_F(GeneratedSiteTest, RecordGoesThroughInsertDetailUpdateAndDelete) {
  THttpClient visitor = Visitor();
  const std::string products = ShopTable("products");
  const std::string script = "<script>alert(";

  // A looked-up text holding markup.
  const std::string cityName = "<script>alert(3)</script>";
  ExpectCleanPage(visitor.Post(ShopPage("city", "insert"), {{"name", cityName}}), "city insert");
  const std::string city = Sql("SELECT id FROM " + ShopTable("city") + " WHERE name = " + Lit(cityName));
  ASSERT_NE(city, "");

  const std::string insert = ShopPage("products", "insert");
  const THttpResponse form = visitor.Get(insert);
  ExpectCleanPage(form, "insert form", script);
  EXPECT_EQ(Attribute(InputTag(form.Body, "colours-i3"), "value"), "blue");
  EXPECT_NE(InputTag(form.Body, "status", "it's"), "") << "the enum value with an apostrophe is offered";
  EXPECT_NE(form.Body.find("&lt;script&gt;alert(3)&lt;/script&gt;</option>"), std::string::npos);
  const std::string updatedAt = Attribute(InputTag(form.Body, "updated_at"), "value");
  EXPECT_TRUE(std::regex_match(updatedAt, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << updatedAt;

  const std::string name = "qf-e2e It's <b>bold</b> & \"q\" <script>alert(1)</script>";
  const std::string description =
      "It's a <b>test</b>,\r\nC:\\temp\\new; \\' -- \"></textarea><script>alert(2)</script>";
  const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDRqf-e2e-first", 29);
  TFields fields = {{"name", name},         {"description", description}, {"price", "912.50"},
                    {"released", "2031-02-03"}, {"updated_at", updatedAt}, {"status", "it's"},
                    {"colours-i1", "red"},   {"colours-i3", "blue"},        {"city_id", city}};
  THttpResponse answer = visitor.Post(insert, fields, {{"picture", "photo 1'a.png", png}});
  ExpectCleanPage(answer, "insert", script);
  EXPECT_NE(answer.Body.find("The record was added."), std::string::npos) << answer.Body;
  TRows stored = Rows(*FDb, "SELECT id, name, description, price, released, updated_at, status, colours, city_id, "
                            "picture FROM " + products + " WHERE name = " + Lit(name));
  ASSERT_EQ(stored.size(), 1u);
  const std::string id = stored[0][0], picture = stored[0][9];
  EXPECT_EQ(stored,
            (TRows{{id, name, description, "912.50", "2031-02-03", updatedAt, "it's", "red,blue", city, picture}}));
  EXPECT_TRUE(IsStoredUpload(picture) && EndsWith(picture, ".png")) << picture;
  EXPECT_EQ(ReadFileText(FOut + "/" + picture), png);
  const std::string key = "?qf_key=1&id=" + id;

  // The detail page shows it as text, with the looked-up city, the enum
  // text and every member of the set.
  THttpResponse page = visitor.Get(ShopPage("products", "detail") + key);
  ExpectCleanPage(page, "detail", script);
  EXPECT_EQ(page.Body.find("<b>"), std::string::npos);
  for (const auto& [field, text] : std::vector<std::pair<std::string, std::string>>{
           {"name", name}, {"description", description}, {"status", "it's"}, {"city_id", cityName}})
    EXPECT_EQ(HtmlDecode(DetailCell(page.Body, field)), text) << field;
  EXPECT_EQ(VisibleText(DetailCell(page.Body, "colours")), "red blue ");
  EXPECT_EQ(Attribute(DetailCell(page.Body, "picture"), "src"), picture);

  // The update form holds the stored values.
  const std::string update = ShopPage("products", "update") + key;
  page = visitor.Get(update);
  ExpectCleanPage(page, "update form", script);
  EXPECT_EQ(Attribute(InputTag(page.Body, "name"), "value"), name);
  const size_t area = page.Body.find('>', page.Body.find("<textarea name=\"description\""));
  // The browser drops the line break that opens a text area's content.
  EXPECT_EQ(HtmlDecode(page.Body.substr(area + 2, page.Body.find("</textarea>", area) - area - 2)), description);
  EXPECT_EQ(page.Body[area + 1], '\n');
  for (const auto& [field, value, chosen] : std::vector<std::tuple<std::string, std::string, bool>>{
           {"colours-i1", "red", true}, {"colours-i2", "green", false}, {"colours-i3", "blue", true},
           {"status", "it's", true}, {"status", "new", false}, {"city_id", city, true}, {"city_id", "3", false}})
    EXPECT_EQ(IsChosen(page.Body, field, value), chosen) << field << " " << value;

  // Save a change keeping the file (the browser sends the empty file field),
  // then with a new file.
  fields = {{"name", "qf-e2e v2"}, {"price", "913.00"}, {"released", "2031-02-04"}, {"updated_at", updatedAt},
            {"status", "used"}, {"colours-i2", "green"}, {"city_id", "3"}, {"picture-upload", "no"}};
  answer = visitor.Post(update, fields, {{"picture-file", "", ""}});
  ExpectCleanPage(answer, "update keeping the file");
  EXPECT_NE(answer.Body.find("The record was saved."), std::string::npos);
  EXPECT_EQ(Attribute(InputTag(answer.Body, "name"), "value"), "qf-e2e v2");
  EXPECT_EQ(Rows(*FDb, "SELECT name, price, released, status, colours, city_id, picture FROM " + products +
                           " WHERE id = " + id),
            (TRows{{"qf-e2e v2", "913.00", "2031-02-04", "used", "green", "3", picture}}));
  fields[7].second = "yes";
  ExpectCleanPage(visitor.Post(update, fields, {{"picture-file", "second.png", "\x89PNG-second"}}), "new file");
  const std::string picture2 = Sql("SELECT picture FROM " + products + " WHERE id = " + id);
  EXPECT_NE(picture2, picture);
  EXPECT_TRUE(IsStoredUpload(picture2)) << picture2;
  EXPECT_EQ(ReadFileText(FOut + "/" + picture2), "\x89PNG-second");

  // Delete: nothing before the posted confirmation, then the record is gone.
  const std::string del = ShopPage("products", "delete") + key;
  const std::string count = "SELECT COUNT(*) FROM " + products + " WHERE id = " + id;
  answer = visitor.Get(del + "&qf_confirm=yes");
  EXPECT_NE(answer.Body.find("Delete this record"), std::string::npos);
  ExpectCleanPage(visitor.Post(del, {{"qf_confirm", "no"}}), "delete without confirmation");
  EXPECT_EQ(Sql(count), "1") << "deleted without the posted confirmation";
  answer = visitor.Post(del, {{"qf_confirm", "yes"}});
  EXPECT_NE(answer.Body.find("The record was deleted."), std::string::npos) << answer.Body;
  EXPECT_EQ(Sql(count), "0");
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM " + products), "30");
}

// Column names with blanks, dots and quotes travel under names PHP keeps;
// empty values of numeric, date and time columns are stored as NULL, a
// check-box group on a number as 0, text as ''.
TEST_F(GeneratedSiteTest, OddColumnNamesAreFilledAndEmptyValuesStoredByColumnType) {
  THttpClient visitor = Visitor();
  const std::string odd = "odd \"#?& \xC3\xBC";
  const std::string insert = ShopPage(odd, "insert");
  const THttpResponse form = visitor.Get(insert);
  ExpectCleanPage(form, "insert form");
  std::map<std::string, std::string> name;  // the form's names of the columns
  for (const std::string field : {"order date", "a.b", "is.on", "count", "note's", "size", "tags"})
    name[field] = ControlName(form.Body, HtmlAttribute(field));
  const auto row = [&](const std::string& count) {
    return Rows(*FDb, "SELECT IFNULL(`order date`, 'NULL'), IFNULL(`a.b`, 'NULL'), `is.on`, `note's`, `size`, `tags` "
                      "FROM " + ShopTable(odd) + " WHERE `count` = " + count);
  };
  const TFields empty = {{name["order date"], ""}, {name["a.b"], ""}, {name["note's"], ""}, {name["size"], ""}};
  const auto with = [](TFields fields, const std::string& field, const std::string& value) {
    fields.emplace_back(field, value);
    return fields;
  };

  ExpectCleanPage(visitor.Post(insert, {{name["order date"], "2031-05-06"}, {name["a.b"], "5"}, {name["is.on"], "1"},
                                        {name["count"], "41"}, {name["note's"], "it's"}, {name["size"], "L"},
                                        {name["tags"], "London"}}), "insert");
  EXPECT_EQ(row("41"), (TRows{{"2031-05-06", "5", "1", "it's", "L", "London"}}));
  ExpectCleanPage(visitor.Post(insert, with(empty, name["count"], "42")), "insert of empty values");
  EXPECT_EQ(row("42"), (TRows{{"NULL", "NULL", "0", "", "", ""}}));
  // A column that takes no NULL still refuses an empty value.
  EXPECT_NE(visitor.Post(insert, with(empty, name["count"], "")).Body.find("The record could not be added"),
            std::string::npos);
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM " + ShopTable(odd)), "4");

  // The list links the record by its key; its update form shows and empties it.
  const std::string id = Sql("SELECT `the id` FROM " + ShopTable(odd) + " WHERE `count` = 41");
  std::string update;
  for (const std::string& link : PageLinks(visitor.Get(ShopPage(odd, "list")).Body))
    if (link.find("_update.php?") != std::string::npos && EndsWith(link, "=" + id)) update = "/" + link;
  ASSERT_NE(update, "") << "no update link for record " << id;
  EXPECT_EQ(Attribute(InputTag(visitor.Get(update).Body, name["order date"]), "value"), "2031-05-06");
  const THttpResponse saved = visitor.Post(update, with(empty, name["count"], "41"));
  EXPECT_NE(saved.Body.find("The record was saved."), std::string::npos) << saved.Body;
  EXPECT_EQ(row("41"), (TRows{{"NULL", "NULL", "0", "", "", ""}}));
}

TEST_F(GeneratedSiteTest, CompositeKeyNamesOneRecord) {
  THttpClient visitor = Visitor();
  const std::string items = "SELECT quantity FROM " + ShopTable("order_item") + " WHERE order_id = 2 AND product_id = ";
  const auto page = [&](const char* name) { return ShopPage("order_item", name); };
  const auto item = [](const char* quantity) {
    return TFields{{"order_id", "2"}, {"product_id", "9"}, {"quantity", quantity}};
  };
  const std::string before = Snapshot();
  ExpectCleanPage(visitor.Post(page("insert"), item("3")), "insert");
  EXPECT_EQ(Sql(items + "9"), "3");
  const std::string key = "?qf_key=1&order_id=2&product_id=9";
  const THttpResponse detail = visitor.Get(page("detail") + key);
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "order_id")), "A-0002");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "product_id")), "Notebook");
  ExpectCleanPage(visitor.Post(page("update") + key, item("7")), "update");
  EXPECT_EQ(Sql(items + "9"), "7");
  EXPECT_EQ(Sql(items + "5"), "1") << "the other item of the order is left alone";
  // Half a key names nothing; the whole key deletes the one record.
  ExpectCleanPage(visitor.Post(page("delete") + "?qf_key=1&order_id=2", {{"qf_confirm", "yes"}}), "delete");
  EXPECT_EQ(Sql(items + "9"), "7");
  ExpectCleanPage(visitor.Post(page("delete") + key, {{"qf_confirm", "yes"}}), "delete");
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(GeneratedSiteTest, AdministratorPagesNeedTheLogin) {
  const std::string before = Snapshot();
  THttpClient visitor = Visitor();
  const std::string listFile = PagePath(FShopDb, "customer", "list").substr(1);
  const TFields customer = {{"name", "qf-e2e admin's"}, {"email", "x@example.com"}, {"city_id", "1"}};
  TFields writes = customer;
  writes.emplace_back("qf_confirm", "yes");

  // A visitor is sent to the login page, back to the page asked for, and
  // neither sees nor changes data.
  for (const std::string page : {"list", "insert", "update", "detail", "delete"})
    for (const bool post : {false, true}) {
      const std::string target = ShopPage("customer", page) + "?qf_key=1&id=4";
      const THttpResponse answer = post ? visitor.Post(target, writes) : visitor.Get(target);
      EXPECT_EQ(answer.Status, 302) << target;
      EXPECT_EQ(answer.Header("location"), "general/login.php?back=" + UrlEncode(target.substr(1))) << target;
      EXPECT_EQ(answer.Body.find("O&#039;Brien"), std::string::npos) << target;
    }
  EXPECT_EQ(Snapshot(), before) << "a visitor changed the administrator's table";

  const THttpResponse login = visitor.Get("/general/login.php?back=" + UrlEncode(listFile));
  ExpectCleanPage(login, "login page");
  EXPECT_EQ(Attribute(InputTag(login.Body, "back"), "value"), listFile);
  const std::string& admin = FProject.AdminName;
  for (const auto& [name, pass] : std::vector<std::pair<std::string, std::string>>{
           {admin, "wrong"}, {admin, ""}, {"admin", FProject.AdminPass}, {admin + " ", FProject.AdminPass}}) {
    EXPECT_NE(Login(visitor, name, pass, listFile).Body.find("Wrong name or password."), std::string::npos) << name;
    EXPECT_EQ(visitor.Get(ShopPage("customer", "list")).Status, 302) << "logged in with " << name << " / " << pass;
  }

  // The administrator goes back to the page asked for, sees and writes data.
  THttpResponse answer = Login(visitor, admin, FProject.AdminPass, listFile);
  EXPECT_EQ(answer.Status, 302);
  EXPECT_EQ(answer.Header("location"), "../" + listFile);
  answer = visitor.Get(ShopPage("customer", "list"));
  ExpectCleanPage(answer, "customer list");
  EXPECT_EQ(RecordCount(answer.Body), 8);
  ExpectCleanPage(visitor.Post(ShopPage("customer", "insert"), customer), "customer insert");
  EXPECT_EQ(Sql("SELECT city_id FROM " + ShopTable("customer") + " WHERE name = 'qf-e2e admin''s'"), "1");

  // After the login the visitor goes back only to a page of the site, and
  // the back parameter is shown escaped.
  for (const auto& [back, location] : std::vector<std::pair<std::string, std::string>>{
           {"http://evil.example/x.php", "../left.html"},
           {"//evil.example/x.php", "../left.html"},
           {"../../etc/passwd.php", "../left.html"},
           {"javascript:alert(1)//.php", "../left.html"},
           {"menu.php?a=1&b=2", "../menu.php?a=1&b=2"}}) {
    THttpClient other = Visitor();
    EXPECT_EQ(Login(other, admin, FProject.AdminPass, back).Header("location"), location) << back;
  }
  const std::string hostile = "\"><script>alert(1)</script>";
  ExpectCleanPage(Visitor().Get("/general/login.php?back=" + UrlEncode(hostile)), "login page", hostile);
}

/** Whether the process runs: it exists and is no zombie. */
bool Running(pid_t pid) {
  const std::string stat = ReadIfExists("/proc/" + std::to_string(pid) + "/stat");
  const size_t state = stat.rfind(") ");
  return state != std::string::npos && state + 2 < stat.size() && stat[state + 2] != 'Z';
}

// A test that dies without stopping its php -S leaves no server behind.
TEST(PhpServerTest, EndsWithTheProcessThatStartedIt) {
  std::string output;
  if (RunCommand("php -v", output) != 0) GTEST_SKIP() << "php cannot be run";
  qftest::TempDir dir;
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  const pid_t test = ::fork();
  if (test == 0) {
    const pid_t server = StartPhpServer(dir.Path(), dir.File("php.out")).first;
    (void)!::write(pipe[1], &server, sizeof server);
    ::_exit(3);  // as a crash: the server is not stopped
  }
  ::close(pipe[1]);
  pid_t server = -1;
  ASSERT_EQ(::read(pipe[0], &server, sizeof server), static_cast<ssize_t>(sizeof server));
  ::close(pipe[0]);
  ::waitpid(test, nullptr, 0);
  ASSERT_GT(server, 0) << ReadIfExists(dir.File("php.out"));
  for (int i = 0; i < 200 && Running(server); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
  EXPECT_FALSE(Running(server)) << "php -S " << server << " outlived the test that started it";
  if (Running(server)) ::kill(server, SIGKILL);
}

}  // namespace
}  // namespace e2e
