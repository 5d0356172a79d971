// The list page's filters, sorting and paging, and hostile requests against
// the generated site: SQL, quotes and arrays in key, filter, sort and paging
// parameters, and upload names that try to leave the upload folder, run as
// PHP or in a browser, or take another record's file.

#include "TestSupport.h"
#include "E2ESupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace e2e {
namespace {

using namespace std::string_literals;

/** A hostile parameter value; Array sends it as name<Array>=Text, which PHP
 *  reads as an array (and the pages as ""). */
struct TProbe {
  std::string Text, Array;
  std::string Label(const std::string& param) const { return param + Array + "=" + ReplaceAll(Text, "\0"s, "\\0"); }
  std::string Param(const std::string& param) const { return UrlEncode(param + Array) + "=" + UrlEncode(Text); }
  std::string Value() const { return Array.empty() ? Text : ""; }
};

const std::vector<TProbe> kProbes = {
    {"' OR '1'='1", ""},  {"1' OR 1=1 -- ", ""}, {"1\\' OR 1=1 -- ", ""}, {"0\0' OR 1=1 -- "s, ""},
    {"0 OR 1=1", ""},     {"\"", ""},            {"\\", ""},              {"\"><script>alert(9)</script>", ""},
    {"1", "[]"},          {"' OR '1'='1", "[a]"},
};

std::string PhpTrim(std::string text) {
  const std::string_view blank(" \t\n\r\0\x0B", 6);
  text.erase(0, text.find_first_not_of(blank));
  text.erase(text.find_last_not_of(blank) + 1);
  return text;
}

TEST_F(GeneratedSiteTest, KeyParametersAreValuesNotSql) {
  const struct {
    std::string Db, Table;
    std::vector<std::string> Keys;
    TFields Update;  // a complete update form
  } targets[] = {
      {FShopDb, "products", {"id"},
       {{"name", "qf-e2e probe"}, {"description", "x"}, {"price", "1.00"}, {"released", "2020-01-01"},
        {"updated_at", "2020-01-01 00:00:00"}, {"status", "new"}, {"colours-i1", "red"}, {"city_id", "1"},
        {"picture-upload", "no"}}},
      {FShopDb, "order", {"id"},
       {{"customer_id", "1"}, {"key", "qf-e2e probe"}, {"placed", "2020-01-01 00:00:00"}}},
      {FShopDb, "order_item", {"order_id", "product_id"},
       {{"order_id", "1"}, {"product_id", "1"}, {"quantity", "99"}}},
      {FNotesDb, "notes", {"id"}, {{"title", "qf-e2e probe"}, {"body", "x"}}},
      {FShopDb, "odd \"#?& \xC3\xBC", {"the id"}, {{"count", "1"}, {"note-27s", "qf-e2e probe"}}},
  };
  const std::string before = Snapshot();
  THttpClient admin = Administrator();

  for (const auto& target : targets) {
    const std::string qualified = QuoteIdentifier(target.Db) + "." + QuoteIdentifier(target.Table);
    const auto page = [&](const char* name) { return PagePath(target.Db, target.Table, name); };
    for (const std::string& probed : target.Keys)
      for (const TProbe& probe : kProbes) {
        // The other key columns are 1.
        const std::string what = target.Table + " " + probe.Label(probed);
        std::string query = "?qf_key=1", where = "1";
        for (const std::string& key : target.Keys) {
          query += qftest::Str("&", key == probed ? probe.Param(FormName(key)) : qftest::Str(FormName(key), "=1"));
          where += " AND " + QuoteIdentifier(key) + " = " + Lit(key == probed ? probe.Value() : "1");
        }
        // The rows the key names taken as a value: the server compares a text
        // with a number column by its numeric start.
        const std::string named =
            Sql("SELECT " + QuoteIdentifier(target.Keys[0]) + " FROM " + qualified + " WHERE " + where);

        const THttpResponse detail = admin.Get(page("detail") + query);
        ExpectCleanPage(detail, what + " detail", probe.Text);
        EXPECT_EQ(detail.Body.find("data-field=") != std::string::npos, !named.empty()) << what;
        if (target.Keys.size() == 1) {
          EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, target.Keys[0])), named.empty() ? "<none>" : named) << what;
        }
        const THttpResponse edit = admin.Get(page("update") + query);
        ExpectCleanPage(edit, what + " update form", probe.Text);
        EXPECT_EQ(edit.Body.find(kNotFound) == std::string::npos, !named.empty()) << what;
        const THttpResponse question = admin.Get(page("delete") + query);
        ExpectCleanPage(question, what + " delete question", probe.Text);
        EXPECT_NE(question.Body.find("Delete this record"), std::string::npos) << what;
        if (!named.empty()) continue;
        // Writing through a key that names no record changes nothing: the
        // page says so and shows the form as it was sent.
        const THttpResponse update = admin.Post(page("update") + query, target.Update, {{"picture-file", "", ""}});
        EXPECT_NE(update.Body.find(kLost), std::string::npos) << what;
        ExpectCleanPage(update, what + " update", probe.Text);
        const THttpResponse deleted = admin.Post(page("delete") + query, {{"qf_confirm", "yes"}});
        ExpectCleanPage(deleted, what + " delete", probe.Text);
        EXPECT_NE(deleted.Body.find(kNotFound), std::string::npos) << what;
      }
    ASSERT_EQ(Snapshot(), before) << "hostile keys of " << target.Table << " changed the data";
  }
}

// The list page's filters, sorting and paging, with ordinary and hostile
// parameter values: a filter takes any value as text, sorting takes only the
// listed fields and the two directions, paging a number.
TEST_F(GeneratedSiteTest, ListPageFiltersSortsAndPagesByValuesNotSql) {
  THttpClient visitor = Visitor();
  const std::string before = Snapshot();
  const std::string products = ShopTable("products") + " t LEFT JOIN " + ShopTable("city") + " c ON t.city_id = c.id";
  // What the page must show: the records of where in that order, page number.
  const auto expect = [&](const std::string& what, const THttpResponse& page, const std::string& from,
                          const std::string& where, const std::string& order, int number,
                          const std::string& echo = "") {
    ExpectCleanPage(page, what, echo);
    EXPECT_EQ(RecordCount(page.Body), std::stoi(Sql("SELECT COUNT(*) FROM " + from + " WHERE " + where))) << what;
    EXPECT_EQ(PageNumbers(page.Body).first, number) << what;
    EXPECT_EQ(LinkIds(page.Body), Column(*FDb, "SELECT t.id FROM " + from + " WHERE " + where + " ORDER BY " + order +
                                                   " LIMIT " + std::to_string((number - 1) * FProject.RowNumber) +
                                                   ", " + std::to_string(FProject.RowNumber)))
        << what;
  };
  struct TCase {
    bool Post;
    TFields Fields;
    std::string Where, Sort, Dir;
    int Page;
  };
  const TCase cases[] = {
      // Paging and sorting; the sort buttons post the field, hidden fields carry the order on.
      {false, {{"qf_sort", "id"}, {"qf_dir", "ASC"}, {"qf_goto", "2"}}, "1", "id", "ASC", 2},
      {false, {{"qf_sort", "id"}, {"qf_goto", "99"}}, "1", "id", "ASC", 3},
      {false, {{"qf_sort", "id"}, {"qf_goto", "-4"}}, "1", "id", "ASC", 1},
      {true, {{"qf_sort_desc", "price"}}, "1", "price", "DESC", 1},
      {true, {{"qf_sort", "price"}, {"qf_dir", "DESC"}, {"qf_goto", "2"}}, "1", "price", "DESC", 2},
      {true, {{"qf_sort", "price"}, {"qf_dir", "DESC"}, {"qf_sort_asc", "price"}}, "1", "price", "ASC", 1},
      {false, {{"qf_sort", "name"}, {"qf_dir", "desc"}, {"qf_goto", "2"}}, "1", "name", "DESC", 2},
      // Filters: prefix and exact text, trimmed, a lookup's text, intervals, with paging, posted.
      {false, {{"qf_sort", "id"}, {"name_val", "C"}, {"name_mode", "Like"}}, "t.name LIKE 'C%'", "id", "ASC", 1},
      {false, {{"qf_sort", "id"}, {"name_val", "  c  "}}, "t.name LIKE 'c%'", "id", "ASC", 1},
      {false, {{"qf_sort", "id"}, {"name_val", "Mu"}, {"name_mode", "Exactly"}}, "t.name = 'Mu'", "id", "ASC", 1},
      {false, {{"qf_sort", "id"}, {"city_id_val", "L'A"}}, "c.name LIKE 'L''A%'", "id", "ASC", 1},
      {false, {{"qf_sort", "id"}, {"price_min", "10"}, {"price_max", "20"}}, "t.price BETWEEN 10 AND 20", "id", "ASC",
       1},
      {false, {{"qf_sort", "id"}, {"price_min", "5"}, {"qf_goto", "2"}}, "t.price >= 5", "id", "ASC", 2},
      {true, {{"qf_sort", "id"}, {"name_val", "C"}, {"price_max", "20"}}, "t.name LIKE 'C%' AND t.price <= 20", "id",
       "ASC", 1},
  };
  const std::string list = ShopPage("products", "list");
  for (const TCase& c : cases) {
    const std::string what = FormEncode(c.Fields);
    const THttpResponse page = c.Post ? visitor.Post(list, c.Fields) : visitor.Get(list + "?" + what);
    expect(what, page, products, c.Where, "t." + c.Sort + " " + c.Dir, c.Page);
    EXPECT_EQ(Attribute(InputTag(page.Body, "qf_sort"), "value"), c.Sort) << what;
    EXPECT_EQ(Attribute(InputTag(page.Body, "qf_dir"), "value"), c.Dir) << what;
    for (const auto& [name, value] : c.Fields)
      if (EndsWith(name, "_val") || EndsWith(name, "_min") || EndsWith(name, "_max")) {
        EXPECT_EQ(Attribute(InputTag(page.Body, name), "value"), value) << what;
      }
  }
  // A filter on a table named by a reserved word.
  expect("order", visitor.Get(ShopPage("order", "list") + "?qf_sort=id&key_val=B"),
         ShopTable("order") + " t", "t.`key` LIKE 'B%'", "t.id", 1);

  const std::vector<std::string> unsorted = LinkIds(visitor.Get(list).Body);
  std::vector<TProbe> sortProbes = kProbes;
  for (const char* text : {"name; DROP TABLE `city`", "name`", "name DESC", "(SELECT 1)", "description"})
    sortProbes.push_back({text, ""});
  for (const TProbe& probe : sortProbes) {
    // Filters, with what is left of the value after trimming.
    const std::string value = PhpTrim(probe.Value());
    for (const auto& [param, condition] : std::vector<std::pair<std::string, std::string>>{
             {"name_val", "t.`name` LIKE CONCAT(?, '%')"}, {"price_min", "t.`price` >= ?"},
             {"price_max", "t.`price` <= ?"}, {"city_id_val", "c.`name` LIKE CONCAT(?, '%')"}}) {
      const THttpResponse page = visitor.Get(list + "?qf_sort=id&" + probe.Param(param));
      const std::string where = value.empty() ? "1" : ReplaceAll(condition, "?", Lit(value));
      expect(probe.Label(param), page, products, where, "t.id", 1, probe.Text);
      EXPECT_EQ(Attribute(InputTag(page.Body, param), "value"), probe.Value()) << probe.Label(param) << " in its field";
    }
    expect(probe.Label("name_mode"), visitor.Get(list + "?qf_sort=id&name_val=C&" + probe.Param("name_mode")),
           products, "t.name LIKE 'C%'", "t.id", 1, probe.Text);
    // Sorting and paging.
    for (const std::string param : {"qf_sort", "qf_sort_asc", "qf_sort_desc"}) {
      const THttpResponse page = visitor.Get(list + "?" + probe.Param(param) + "&qf_dir=DESC");
      ExpectCleanPage(page, probe.Label(param), probe.Text);
      EXPECT_EQ(LinkIds(page.Body), unsorted) << probe.Label(param) << " sorted by a field that is not listed";
    }
    expect(probe.Label("qf_dir"), visitor.Get(list + "?qf_sort=price&" + probe.Param("qf_dir")), products, "1",
           "t.price", 1, probe.Text);
    const THttpResponse page = visitor.Get(list + "?qf_sort=id&" + probe.Param("qf_goto"));
    expect(probe.Label("qf_goto"), page, products, "1", "t.id", std::clamp(PageNumbers(page.Body).first, 1, 3),
           probe.Text);
  }
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(GeneratedSiteTest, UploadsStayInsideTheUploadFolderAndKeepTheirOwnFiles) {
  const std::string payload = "<?php echo 'EXEC' . (6 * 7); ?>";
  const std::string absolute = "qf-e2e-abs-" + std::to_string(::getpid());
  THttpClient visitor = Visitor();
  const auto upload = [&](const std::string& fileName, const std::string& content, const std::string& product) {
    visitor.Post(ShopPage("products", "insert"),
                 {{"name", product}, {"description", ""}, {"price", "960.00"}, {"released", "2030-01-01"},
                  {"updated_at", "2030-01-01 00:00:00"}, {"status", "new"}, {"city_id", "1"}},
                 {{"picture", fileName, content}});
    return Sql("SELECT picture FROM " + ShopTable("products") + " WHERE name = " + Lit(product));
  };
  // Only pictures, PDF, plain text, office documents and archives keep their
  // name; every other upload becomes a text file, no dot inside its name.
  std::map<std::string, std::string> stored;  // stored name -> the content sent
  int n = 0;
  for (const auto& [fileName, expected] : std::vector<std::pair<std::string, std::string>>{
           {"../x.php", "x_php.txt"}, {"..\\..\\z.php", "z_php.txt"}, {"sub/dir/w.php", "w_php.txt"},
           {"/tmp/" + absolute + ".php", absolute + "_php.txt"}, {".htaccess", ""}, {"..", ""},
           {"v.phtml", "v_phtml.txt"}, {"u.php.", "u_php.txt"}, {"t.PHP", "t_PHP.txt"}, {"same.png", "same.png"},
           {"same.png", "same_1.png"}, {"same", "same.txt"}, {"same", "same_1.txt"}, {"x.html", "x_html.txt"},
           {"x.svg", "x_svg.txt"}, {"a.php. ", "a_php.txt"}, {"y.php.png", "y_php.png"}, {"x", "x.txt"},
           {"x.unknown", "x_unknown.txt"}, {"x.html_", "x_html_.txt"}, {"x.htm5", "x_htm5.txt"},
           {"x.bak", "x_bak.txt"}, {"x.dat", "x_dat.txt"}, {"x.cfg", "x_cfg.txt"}, {"x.xsd", "x_xsd.txt"},
           {"Report 2024.PDF", "Report2024.PDF"}, {"a.tar.gz", "a_tar.gz"}}) {
    const std::string product = "qf-e2e upload " + std::to_string(++n);
    const std::string name = upload(fileName, payload + product, product);
    // A name that cannot be stored fails the insert: no record.
    if (expected.empty()) {
      EXPECT_EQ(Sql("SELECT COUNT(*) FROM " + ShopTable("products") + " WHERE name = " + Lit(product)), "0");
      continue;
    }
    EXPECT_EQ(name, "uploads/" + expected) << fileName;
    EXPECT_TRUE(stored.emplace(name, payload + product).second) << fileName << " stored again as " << name;
    const THttpResponse served = Visitor().Get("/" + name);
    EXPECT_EQ(served.Body.find("EXEC42"), std::string::npos) << fileName << " stored as " << name << " runs as PHP";
    // Nor is it a page or script that a browser would run from the site,
    // nor served without a type, which a browser would guess.
    const std::string type = served.Header("content-type");
    EXPECT_FALSE(type.empty() || std::regex_search(type, std::regex("html|svg|xml|javascript", std::regex::icase)))
        << fileName << " stored as " << name << " is served as \"" << type << "\"";
  }
  // Each record keeps its own file; nothing landed outside the upload folder.
  for (const auto& [name, content] : stored) EXPECT_EQ(ReadFileText(FOut + "/" + name), content) << name;
  EXPECT_FALSE(FileExists("/tmp/" + absolute + ".php"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FDir->Path())) {
    const std::string path = entry.path().string();
    if (entry.is_regular_file() && !StartsWith(path, FOut + "/uploads/") && !StartsWith(path, FDir->File("work/"))) {
      EXPECT_EQ(ReadFileText(path).find(payload), std::string::npos) << "an upload landed at " << path;
    }
  }

  // What Chromium does with such files: it shows them as text and runs no
  // script, whether the file looks like HTML or like XHTML.
  if (!FileExists("/usr/bin/chromedriver")) GTEST_SKIP() << "no chromedriver (scripts/deps installs it)";
  TBrowser browser;
  ASSERT_TRUE(browser.Started()) << browser.Error();
  for (const std::string& content :
       {"<html><body><script>document.body.textContent = 'RAN' + (6 * 7);</script></body></html>"s,
        "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><body><script>"
        "document.documentElement.textContent = 'RAN' + (6 * 7);</script></body></html>"s})
    for (const std::string fileName : {"x", "x.unknown", "x.html_", "x.htm5", "x.bak", "x.xsd", "y.svg"}) {
      const std::string name = upload(fileName, content, "qf-e2e browser " + std::to_string(++n));
      const std::string shown = browser.Open("http://127.0.0.1:" + std::to_string(FPort) + "/" + name);
      EXPECT_EQ(shown.find("RAN42"), std::string::npos) << fileName << " stored as " << name << " ran its script";
      EXPECT_NE(shown.find("textContent"), std::string::npos) << fileName << " stored as " << name << ": " << shown;
    }
}

}  // namespace
}  // namespace e2e
