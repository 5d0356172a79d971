// Hostile requests against the generated site: SQL in key, filter and sort
// parameters, arrays where texts are expected, script in stored data, and
// upload names that try to leave the upload folder or run as PHP.

#include "SiteFixture.h"

#include "core/Files.h"
#include "core/TextUtils.h"

#include <filesystem>
#include <regex>

namespace e2e {
namespace {

using namespace std::string_literals;

const std::string kNotFound = "The record was not found.";

/** A hostile parameter value; Array sends it as name<Array>=Text, which PHP
 *  reads as an array. */
struct TProbe {
  std::string Text;
  std::string Array;
};

const std::vector<TProbe> kProbes = {
    {"' OR '1'='1", ""},
    {"1' OR 1=1 -- ", ""},
    {"0' OR '1'='1' -- ", ""},
    {"-1' OR 1=1 #", ""},
    {"9999' OR 1=1 -- ", ""},
    {"\"", ""},
    {"\\", ""},
    {"'", ""},
    {"\\'", ""},
    {"1\\' OR 1=1 -- ", ""},
    {"\" OR \"\"=\"", ""},
    {"0 OR 1=1", ""},
    {"1 OR 1=1", ""},
    {"0x31", ""},
    {"' UNION SELECT 1,2,3,4,5,6,7,8,9,10 -- ", ""},
    {"0'; DELETE FROM `products`; -- ", ""},
    {"%' OR 'x'='x", ""},
    {"0\0' OR 1=1 -- "s, ""},
    {"`", ""},
    {"\"><script>alert(9)</script>", ""},
    {"1", "[]"},
    {"' OR '1'='1", "[]"},
    {"1", "[a]"},
};

std::string ProbeLabel(const std::string& param, const TProbe& probe) {
  return param + probe.Array + "=" + ReplaceAll(probe.Text, std::string(1, '\0'), "\\0");
}

std::string ProbeParam(const std::string& param, const TProbe& probe) {
  return UrlEncode(param + probe.Array) + "=" + UrlEncode(probe.Text);
}

/** What the page takes the parameter for: arrays read as ''. */
std::string ProbeValue(const TProbe& probe) { return probe.Array.empty() ? probe.Text : std::string(); }

bool HasHtmlSpecial(const std::string& text) { return text.find_first_of("<>\"'&") != std::string::npos; }

/** A page answering a probe: status 200, no database error, and the probe
 *  not echoed as markup. */
void ExpectSafePage(const THttpResponse& response, const TProbe& probe, const std::string& what) {
  EXPECT_EQ(response.Status, 200) << what;
  for (const char* text : {"could not be read", "could not be added", "could not be saved", "could not be deleted",
                           "SQL syntax", "mysqli", "Warning", "Fatal", "Uncaught", "Database error"})
    EXPECT_EQ(response.Body.find(text), std::string::npos) << what << ": the page shows \"" << text << "\"";
  if (HasHtmlSpecial(probe.Text) && probe.Text.size() > 1) {
    EXPECT_EQ(response.Body.find(probe.Text), std::string::npos) << what << ": the value is in the page unescaped";
  }
}

// ---------------------------------------------------------------- keys

struct TKeyTarget {
  bool Notes;  // in the copy of my-db, else in the copy of shop
  bool Admin;  // its pages are the administrator's
  std::string Table;
  std::vector<std::string> Keys;
  /** Values of the other key columns while one is probed. */
  std::map<std::string, std::string> Others;
  /** A complete update form. */
  TFields Update;
  std::vector<TFilePart> Files;
};

TEST_F(GeneratedSiteTest, KeyParametersAreValuesNotSql) {
  const std::vector<TKeyTarget> targets = {
      {false, false, "products", {"id"}, {},
       {{"name", "qf-e2e probe"}, {"description", "x"}, {"price", "1.00"}, {"released", "2020-01-01"},
        {"updated_at", "2020-01-01 00:00:00"}, {"status", "new"}, {"colours_1", "red"}, {"city_id", "1"},
        {"picture_needUpload", "no"}, {"picture_oldFile", "qf-e2e.png"}},
       {{"picture_file", "", "", "application/octet-stream"}}},
      {false, false, "city", {"id"}, {}, {{"name", "qf-e2e probe"}}, {}},
      {false, true, "customer", {"id"}, {}, {{"name", "qf-e2e probe"}, {"email", "x@example.com"}, {"city_id", "1"}}, {}},
      {false, false, "order", {"id"}, {},
       {{"customer_id", "1"}, {"key", "qf-e2e probe"}, {"placed", "2020-01-01 00:00:00"}}, {}},
      {false, false, "order_item", {"order_id", "product_id"}, {{"order_id", "1"}, {"product_id", "1"}},
       {{"order_id", "1"}, {"product_id", "1"}, {"quantity", "99"}}, {}},
      {true, false, "notes", {"id"}, {}, {{"title", "qf-e2e probe"}, {"body", "x"}}, {}},
  };
  const std::string before = Snapshot();
  THttpClient guest = Visitor();
  THttpClient admin = Administrator();

  for (const TKeyTarget& target : targets) {
    THttpClient& visitor = target.Admin ? admin : guest;
    const std::string db = target.Notes ? NotesDb() : ShopDb();
    const std::string qualified = QuoteIdentifier(db) + "." + QuoteIdentifier(target.Table);
    for (const std::string& probed : target.Keys) {
      for (const TProbe& probe : kProbes) {
        const std::string what = target.Table + " " + ProbeLabel(probed, probe);
        std::string query = "?qf_key=1";
        std::string where;
        for (const std::string& key : target.Keys) {
          const bool isProbed = key == probed;
          const std::string value = isProbed ? ProbeValue(probe) : target.Others.at(key);
          query += "&" + (isProbed ? ProbeParam(key, probe) : UrlEncode(key) + "=" + UrlEncode(value));
          where += (where.empty() ? "" : " AND ") + QuoteIdentifier(key) + " = " + Lit(value);
        }
        // The rows the key names when it is taken as a value: the server
        // compares a text with a number column by its numeric start.
        const int named = std::stoi(Value(*FDb, "SELECT COUNT(*) FROM " + qualified + " WHERE " + where));

        const THttpResponse detail = visitor.Get(PagePath(db, target.Table, "detail") + query);
        ExpectSafePage(detail, probe, what + " detail");
        EXPECT_EQ(detail.Body.find("data-field=") != std::string::npos, named > 0) << what << " detail";
        if (named > 0 && target.Keys.size() == 1) {
          EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "id").value_or("<none>")),
                    Value(*FDb, "SELECT id FROM " + qualified + " WHERE " + where))
              << what << " detail shows another record";
        }

        const THttpResponse edit = visitor.Get(PagePath(db, target.Table, "update") + query);
        ExpectSafePage(edit, probe, what + " update form");
        EXPECT_EQ(edit.Body.find(kNotFound) == std::string::npos, named > 0) << what << " update form";

        const THttpResponse question = visitor.Get(PagePath(db, target.Table, "delete") + query);
        ExpectSafePage(question, probe, what + " delete question");
        EXPECT_NE(question.Body.find("Delete this record"), std::string::npos) << what;

        // Writing through a key that names no record changes nothing.
        if (named > 0) continue;
        const THttpResponse saved = visitor.PostMultipart(PagePath(db, target.Table, "update") + query, target.Update,
                                                          target.Files);
        ExpectSafePage(saved, probe, what + " update");
        const THttpResponse deleted =
            visitor.PostForm(PagePath(db, target.Table, "delete") + query, {{"qf_confirm", "yes"}});
        ExpectSafePage(deleted, probe, what + " delete");
        EXPECT_NE(deleted.Body.find(kNotFound), std::string::npos) << what << " delete";
      }
      ASSERT_EQ(ChangesSince(before), "") << "requests with hostile keys of " << target.Table << "." << probed
                                    << " changed the data";
    }
  }
}

// ---------------------------------------------------------------- filters and sorting

struct TFilterTarget {
  std::string Table;
  std::string Param;
  /** The condition the filter stands for, with ? for the value; "" when
   *  the value only counts together with another parameter. */
  std::string Condition;
  TFields Extra;
};

TEST_F(GeneratedSiteTest, FilterAndSortParametersAreValuesNotSql) {
  const std::vector<TFilterTarget> targets = {
      {"products", "name_val", "t.`name` LIKE CONCAT(?, '%')", {}},
      {"products", "name_val", "t.`name` = ?", {{"name_mode", "Exactly"}}},
      {"products", "name_mode", "t.`name` LIKE 'C%'", {{"name_val", "C"}}},
      {"products", "price_min", "t.`price` >= ?", {}},
      {"products", "price_max", "t.`price` <= ?", {}},
      {"products", "city_id_val", "c.`name` LIKE CONCAT(?, '%')", {}},
      {"order", "key_val", "t.`key` LIKE CONCAT(?, '%')", {}},
      {"order", "placed_min", "t.`placed` >= ?", {}},
      {"order", "placed_max", "t.`placed` <= ?", {}},
      {"city", "name_val", "t.`name` LIKE CONCAT(?, '%')", {}},
  };
  const std::string before = Snapshot();
  THttpClient visitor = Visitor();

  for (const TFilterTarget& target : targets) {
    const std::string from = ShopTable(target.Table) + " t" +
                             (target.Table == "products" ? " LEFT JOIN " + ShopTable("city") + " c ON t.city_id = c.id" : "");
    for (const TProbe& probe : kProbes) {
      const std::string what = target.Table + " " + ProbeLabel(target.Param, probe);
      // An empty value (after trimming) filters nothing.
      const std::string value = PhpTrim(ProbeValue(probe));
      std::string where = target.Condition;
      if (where.find('?') != std::string::npos)
        where = value.empty() ? "" : ReplaceAll(where, "?", Lit(value));
      const std::string whereSql = where.empty() ? "" : " WHERE " + where;
      const int expectedCount = std::stoi(Value(*FDb, "SELECT COUNT(*) FROM " + from + whereSql));
      const auto expectedIds =
          Column(*FDb, "SELECT t.id FROM " + from + whereSql + " ORDER BY t.id LIMIT " + std::to_string(kRowsPerPage));

      std::string query = "?qf_sort=id&" + ProbeParam(target.Param, probe);
      if (!target.Extra.empty()) query += "&" + FormEncode(target.Extra);
      const THttpResponse page = visitor.Get(ShopPage(target.Table, "list") + query);
      ExpectSafePage(page, probe, what);
      EXPECT_EQ(RecordCount(page.Body), expectedCount) << what;
      EXPECT_EQ(DetailLinkValues(page.Body, "id"), expectedIds) << what;
      // A text filter field shows the value sent, as text.
      if (target.Param != "name_mode") {
        EXPECT_EQ(AttributeValue(InputTag(page.Body, target.Param), "value"), ProbeValue(probe)) << what;
      }
    }
    ASSERT_EQ(ChangesSince(before), "") << "filter requests on " << target.Table << " changed the data";
  }

  // Sorting accepts only the listed fields and the two directions.
  const std::string list = ShopPage("products", "list");
  const auto unsorted = DetailLinkValues(visitor.Get(list).Body, "id");
  ASSERT_EQ(unsorted.size(), static_cast<size_t>(kRowsPerPage));
  const auto byPriceAsc = Column(*FDb, "SELECT id FROM " + ShopTable("products") + " ORDER BY price LIMIT 10");
  std::vector<TProbe> sortProbes = kProbes;
  for (const char* text : {"name; DROP TABLE `city`", "name`", "`name`", "name DESC", "(SELECT 1)",
                           "price,(SELECT SLEEP(1))", "1", "NAME", "name ", "description", "picture"})
    sortProbes.push_back({text, ""});
  sortProbes.push_back({"name", "[]"});
  for (const TProbe& probe : sortProbes) {
    for (const std::string param : {"qf_sort", "qf_sort_asc", "qf_sort_desc"}) {
      const std::string what = ProbeLabel(param, probe);
      const THttpResponse page = visitor.Get(list + "?" + ProbeParam(param, probe) + "&qf_dir=DESC");
      ExpectSafePage(page, probe, what);
      EXPECT_EQ(RecordCount(page.Body), 30) << what;
      EXPECT_EQ(DetailLinkValues(page.Body, "id"), unsorted) << what << " sorted by a field that is not listed";
    }
    const std::string what = ProbeLabel("qf_dir", probe);
    const THttpResponse page = visitor.Get(list + "?qf_sort=price&" + ProbeParam("qf_dir", probe));
    ExpectSafePage(page, probe, what);
    EXPECT_EQ(DetailLinkValues(page.Body, "id"), byPriceAsc) << what;
  }
  EXPECT_EQ(DetailLinkValues(visitor.Get(list + "?qf_sort=price&qf_dir=desc").Body, "id"),
            Column(*FDb, "SELECT id FROM " + ShopTable("products") + " ORDER BY price DESC LIMIT 10"));

  // Paging takes a number whatever it is sent.
  for (const TProbe& probe : kProbes) {
    const std::string what = ProbeLabel("qf_goto", probe);
    const THttpResponse page = visitor.Get(list + "?qf_sort=id&" + ProbeParam("qf_goto", probe));
    ExpectSafePage(page, probe, what);
    const auto [number, count] = PageNumbers(page.Body);
    EXPECT_EQ(count, 3) << what;
    ASSERT_GE(number, 1) << what;
    ASSERT_LE(number, 3) << what;
    EXPECT_EQ(DetailLinkValues(page.Body, "id"),
              Column(*FDb, "SELECT id FROM " + ShopTable("products") + " ORDER BY id LIMIT " +
                               std::to_string((number - 1) * kRowsPerPage) + ", 10"))
        << what;
  }
  EXPECT_EQ(ChangesSince(before), "");
}

// ---------------------------------------------------------------- stored script

TEST_F(GeneratedSiteTest, StoredScriptComesBackAsText) {
  THttpClient visitor = Visitor();
  const std::string cityName = "<script>alert(3)</script>";
  THttpResponse answer = visitor.PostMultipart(ShopPage("city", "insert"), {{"name", cityName}}, {});
  ExpectCleanPage(answer, "city insert");
  const std::string cityId = Value(*FDb, "SELECT id FROM " + ShopTable("city") + " WHERE name = " + Lit(cityName));
  ASSERT_FALSE(cityId.empty());

  const std::string name = "<script>alert(1)</script>";
  const std::string description = "\"><img src=x onerror=alert(2)></textarea><script>alert(2)</script>";
  answer = visitor.PostMultipart(ShopPage("products", "insert"),
                                 {{"name", name}, {"description", description}, {"price", "950.00"},
                                  {"released", "2030-01-01"}, {"updated_at", "2030-01-01 00:00:00"}, {"status", "new"},
                                  {"colours_2", "green"}, {"city_id", cityId}},
                                 {{"picture", "", "", "application/octet-stream"}});
  ExpectCleanPage(answer, "product insert");
  const std::string id = Value(*FDb, "SELECT id FROM " + ShopTable("products") + " WHERE name = " + Lit(name));
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(Value(*FDb, "SELECT description FROM " + ShopTable("products") + " WHERE id = " + id), description);

  const auto expectNoScript = [](const THttpResponse& page, const std::string& what) {
    EXPECT_EQ(page.Status, 200) << what;
    for (const char* raw : {"<script>alert(", "<img src=x", "</textarea><script>"})
      EXPECT_EQ(page.Body.find(raw), std::string::npos) << what << " holds " << raw;
  };
  const std::string key = "?qf_key=1&id=" + id;
  const THttpResponse list = visitor.Get(ShopPage("products", "list") + "?name_val=" + UrlEncode("<script>"));
  expectNoScript(list, "product list");
  EXPECT_EQ(RecordCount(list.Body), 1);
  EXPECT_NE(list.Body.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(list.Body.find("&lt;script&gt;alert(3)&lt;/script&gt;"), std::string::npos) << "the looked-up city";

  const THttpResponse detail = visitor.Get(ShopPage("products", "detail") + key);
  expectNoScript(detail, "product detail");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "name").value_or("<none>")), name);
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "description").value_or("<none>")), description);
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "city_id").value_or("<none>")), cityName);

  const THttpResponse edit = visitor.Get(ShopPage("products", "update") + key);
  expectNoScript(edit, "product update form");
  EXPECT_EQ(AttributeValue(InputTag(edit.Body, "name"), "value"), name);

  expectNoScript(visitor.Get(ShopPage("products", "insert")), "product insert form with the city lookup");
  expectNoScript(visitor.Get(ShopPage("city", "list") + "?qf_sort=id&qf_dir=DESC"), "city list");
  expectNoScript(visitor.Get(ShopPage("order_item", "insert")), "order item insert form with the product lookup");
}

// ---------------------------------------------------------------- uploads

TEST_F(GeneratedSiteTest, UploadNamesStayInsideTheUploadFolder) {
  const std::string payload = "<?php echo 'EXEC' . (6 * 7); ?>";
  const std::string absolute = "/tmp/qf-e2e-abs-" + std::to_string(::getpid()) + ".php";
  const std::vector<std::string> names = {"../x.php", "../../y.php", "..\\..\\z.php", "sub/dir/w.php", absolute,
                                          ".htaccess", "..", "shell.php", "ok file's name.txt", "v.phtml",
                                          "u.php.", "t.PHP"};
  THttpClient visitor = Visitor();
  const std::string products = ShopTable("products");
  const std::string uploads = FOut + "/uploads";
  int n = 0;
  for (const std::string& fileName : names) {
    const std::string productName = "qf-e2e upload " + std::to_string(++n);
    const std::string data = payload + " " + fileName;
    const THttpResponse answer = visitor.PostMultipart(
        ShopPage("products", "insert"),
        {{"name", productName}, {"description", ""}, {"price", "960.00"}, {"released", "2030-01-01"},
         {"updated_at", "2030-01-01 00:00:00"}, {"status", "new"}, {"city_id", "1"}},
        {{"picture", fileName, data, "application/x-php"}});
    ExpectCleanPage(answer, "upload of " + fileName);
    const auto stored = Column(*FDb, "SELECT picture FROM " + products + " WHERE name = " + Lit(productName));
    ASSERT_EQ(stored.size(), 1u) << fileName;
    const std::string& picture = stored[0];
    if (picture.empty()) continue;  // refused: nothing stored
    EXPECT_TRUE(std::regex_match(picture, std::regex(R"(uploads/[A-Za-z0-9_-][A-Za-z0-9._-]*)")))
        << fileName << " stored as " << picture;
    ASSERT_TRUE(FileExists(FOut + "/" + picture)) << fileName << " -> " << picture;
    EXPECT_EQ(ReadFileText(FOut + "/" + picture), data) << fileName;
    // Fetching the stored file gives it back; it never runs.
    const THttpResponse fetched = Visitor().Get("/" + picture);
    EXPECT_EQ(fetched.Body.find("EXEC42"), std::string::npos)
        << "the upload " << fileName << " stored as " << picture << " runs as PHP code when fetched";
  }

  // Nothing landed anywhere but in the upload folder.
  EXPECT_FALSE(FileExists(absolute));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FDir->Path())) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    if (StartsWith(path, uploads + "/") || StartsWith(path, FDir->File("work") + "/")) continue;
    EXPECT_EQ(ReadFileText(path).find(payload), std::string::npos) << "an upload landed at " << path;
  }
  for (const std::string& outside : {FOut + "/x.php", FDir->File("y.php"), FOut + "/shell.php"})
    EXPECT_FALSE(FileExists(outside)) << outside;
}

}  // namespace
}  // namespace e2e
