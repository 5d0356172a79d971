// Hostile requests against the generated site: SQL, quotes and arrays in key,
// filter, sort and paging parameters, and upload names that try to leave the
// upload folder or run as PHP.

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
        {"updated_at", "2020-01-01 00:00:00"}, {"status", "new"}, {"colours_1", "red"}, {"city_id", "1"},
        {"picture_needUpload", "no"}, {"picture_oldFile", "qf-e2e.png"}}},
      {FShopDb, "city", {"id"}, {{"name", "qf-e2e probe"}}},
      {FShopDb, "customer", {"id"}, {{"name", "qf-e2e probe"}, {"email", "x@example.com"}, {"city_id", "1"}}},
      {FShopDb, "order", {"id"},
       {{"customer_id", "1"}, {"key", "qf-e2e probe"}, {"placed", "2020-01-01 00:00:00"}}},
      {FShopDb, "order_item", {"order_id", "product_id"},
       {{"order_id", "1"}, {"product_id", "1"}, {"quantity", "99"}}},
      {FNotesDb, "notes", {"id"}, {{"title", "qf-e2e probe"}, {"body", "x"}}},
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
          query += "&" + (key == probed ? probe.Param(key) : key + "=1");
          where += " AND " + QuoteIdentifier(key) + " = " + Lit(key == probed ? probe.Value() : "1");
        }
        // The rows the key names taken as a value: the server compares a text
        // with a number column by its numeric start.
        const std::string named = Sql("SELECT " + target.Keys[0] + " FROM " + qualified + " WHERE " + where);

        const THttpResponse detail = admin.Get(page("detail") + query);
        ExpectCleanPage(detail, what + " detail", probe.Text);
        EXPECT_EQ(detail.Body.find("data-field=") != std::string::npos, !named.empty()) << what;
        if (target.Keys.size() == 1) {
          EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "id")), named.empty() ? "<none>" : named) << what;
        }
        const THttpResponse edit = admin.Get(page("update") + query);
        ExpectCleanPage(edit, what + " update form", probe.Text);
        EXPECT_EQ(edit.Body.find(kNotFound) == std::string::npos, !named.empty()) << what;
        const THttpResponse question = admin.Get(page("delete") + query);
        ExpectCleanPage(question, what + " delete question", probe.Text);
        EXPECT_NE(question.Body.find("Delete this record"), std::string::npos) << what;
        if (!named.empty()) continue;
        // Writing through a key that names no record changes nothing.
        ExpectCleanPage(admin.Post(page("update") + query, target.Update, {{"picture_file", "", ""}}), what + " update",
                        probe.Text);
        const THttpResponse deleted = admin.Post(page("delete") + query, {{"qf_confirm", "yes"}});
        ExpectCleanPage(deleted, what + " delete", probe.Text);
        EXPECT_NE(deleted.Body.find(kNotFound), std::string::npos) << what;
      }
    ASSERT_EQ(Snapshot(), before) << "hostile keys of " << target.Table << " changed the data";
  }
}

TEST_F(GeneratedSiteTest, FilterSortAndPagingParametersAreValuesNotSql) {
  const struct {
    std::string Table, Param;
    std::string Condition;  // with ? for the value
    TFields Extra;
  } filters[] = {
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

  for (const auto& filter : filters) {
    const std::string from = ShopTable(filter.Table) + " t LEFT JOIN " + ShopTable("city") + " c ON " +
                             (filter.Table == "products" ? "t.city_id = c.id" : "0");
    for (const TProbe& probe : kProbes) {
      const std::string what = filter.Table + " " + probe.Label(filter.Param);
      // A value that is empty after trimming filters nothing.
      const std::string value = PhpTrim(probe.Value());
      const std::string where = filter.Condition.find('?') == std::string::npos ? filter.Condition
                                : value.empty() ? "1"
                                                : ReplaceAll(filter.Condition, "?", Lit(value));
      const std::string query = "?qf_sort=id&" + probe.Param(filter.Param) + "&" + FormEncode(filter.Extra);
      const THttpResponse page = visitor.Get(ShopPage(filter.Table, "list") + query);
      ExpectCleanPage(page, what, probe.Text);
      EXPECT_EQ(RecordCount(page.Body), std::stoi(Sql("SELECT COUNT(*) FROM " + from + " WHERE " + where))) << what;
      EXPECT_EQ(LinkIds(page.Body),
                Column(*FDb, "SELECT t.id FROM " + from + " WHERE " + where + " ORDER BY t.id LIMIT 10"))
          << what;
      if (filter.Param != "name_mode") {
        EXPECT_EQ(Attribute(InputTag(page.Body, filter.Param), "value"), probe.Value()) << what << " in its field";
      }
    }
  }

  // Sorting takes only the listed fields and the two directions; paging a number.
  const std::string list = ShopPage("products", "list");
  const auto byId = [&](const std::string& order, int page) {
    return Column(*FDb, "SELECT id FROM " + ShopTable("products") + " ORDER BY " + order + " LIMIT " +
                            std::to_string((page - 1) * FProject.RowNumber) + ", 10");
  };
  const auto unsorted = LinkIds(visitor.Get(list).Body);
  ASSERT_EQ(unsorted.size(), 10u);
  std::vector<TProbe> sortProbes = kProbes;
  for (const char* text : {"name; DROP TABLE `city`", "name`", "name DESC", "(SELECT 1)", "description"})
    sortProbes.push_back({text, ""});
  sortProbes.push_back({"name", "[]"});
  for (const TProbe& probe : sortProbes) {
    for (const std::string param : {"qf_sort", "qf_sort_asc", "qf_sort_desc"}) {
      const THttpResponse page = visitor.Get(list + "?" + probe.Param(param) + "&qf_dir=DESC");
      ExpectCleanPage(page, probe.Label(param), probe.Text);
      EXPECT_EQ(RecordCount(page.Body), 30) << probe.Label(param);
      EXPECT_EQ(LinkIds(page.Body), unsorted) << probe.Label(param) << " sorted by a field that is not listed";
    }
    THttpResponse page = visitor.Get(list + "?qf_sort=price&" + probe.Param("qf_dir"));
    ExpectCleanPage(page, probe.Label("qf_dir"), probe.Text);
    EXPECT_EQ(LinkIds(page.Body), byId("price", 1)) << probe.Label("qf_dir");
    page = visitor.Get(list + "?qf_sort=id&" + probe.Param("qf_goto"));
    ExpectCleanPage(page, probe.Label("qf_goto"), probe.Text);
    const auto [number, count] = PageNumbers(page.Body);
    EXPECT_EQ(count, 3) << probe.Label("qf_goto");
    EXPECT_EQ(LinkIds(page.Body), byId("id", std::clamp(number, 1, 3))) << probe.Label("qf_goto");
  }
  EXPECT_EQ(LinkIds(visitor.Get(list + "?qf_sort=price&qf_dir=desc").Body), byId("price DESC", 1));
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(GeneratedSiteTest, UploadsStayInsideTheUploadFolderAndKeepTheirOwnFiles) {
  const std::string payload = "<?php echo 'EXEC' . (6 * 7); ?>";
  const std::string absolute = "/tmp/qf-e2e-abs-" + std::to_string(::getpid()) + ".php";
  THttpClient visitor = Visitor();
  std::map<std::string, std::string> stored;  // stored name -> the content sent
  int n = 0;
  for (const std::string& fileName : {"../x.php"s, "..\\..\\z.php"s, "sub/dir/w.php"s, absolute, ".htaccess"s, ".."s,
                                      "v.phtml"s, "u.php."s, "t.PHP"s, "same.png"s, "same.png"s, "same"s, "same"s}) {
    const std::string product = "qf-e2e upload " + std::to_string(++n);
    ExpectCleanPage(visitor.Post(ShopPage("products", "insert"),
                                 {{"name", product}, {"description", ""}, {"price", "960.00"},
                                  {"released", "2030-01-01"}, {"updated_at", "2030-01-01 00:00:00"},
                                  {"status", "new"}, {"city_id", "1"}},
                                 {{"picture", fileName, payload + product}}),
                    "upload of " + fileName);
    const std::string name = Sql("SELECT picture FROM " + ShopTable("products") + " WHERE name = " + Lit(product));
    if (name.empty()) continue;  // refused: nothing stored
    EXPECT_TRUE(IsStoredUpload(name)) << fileName << " stored as " << name;
    EXPECT_TRUE(stored.emplace(name, payload + product).second) << fileName << " stored again as " << name;
    EXPECT_EQ(Visitor().Get("/" + name).Body.find("EXEC42"), std::string::npos)
        << fileName << " stored as " << name << " runs as PHP";
  }
  // Each record keeps its own file; nothing landed outside the upload folder.
  for (const auto& [name, content] : stored) EXPECT_EQ(ReadFileText(FOut + "/" + name), content) << name;
  EXPECT_FALSE(FileExists(absolute));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FDir->Path())) {
    const std::string path = entry.path().string();
    if (entry.is_regular_file() && !StartsWith(path, FOut + "/uploads/") && !StartsWith(path, FDir->File("work/"))) {
      EXPECT_EQ(ReadFileText(path).find(payload), std::string::npos) << "an upload landed at " << path;
    }
  }
}

}  // namespace
}  // namespace e2e
