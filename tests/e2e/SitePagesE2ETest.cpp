// The generated site served by PHP against the database: generation and
// syntax of every page, the list page's paging, sorting and filters, a record
// going through insert, detail, update and delete, a composite key, and the
// pages kept for the administrator.

#include "SiteFixture.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PageGenerator.h"

#include <algorithm>
#include <filesystem>
#include <regex>

namespace e2e {
namespace {

const std::string kNotFound = "The record was not found.";

std::string Join(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : ",") + value;
  return text;
}

/** The text of the <textarea name="name"> of a page, decoded. */
std::optional<std::string> TextareaText(const std::string& html, const std::string& name) {
  const size_t open = html.find("<textarea name=\"" + name + "\"");
  if (open == std::string::npos) return std::nullopt;
  const size_t start = html.find('>', open);
  const size_t end = html.find("</textarea>", open);
  if (start == std::string::npos || end == std::string::npos) return std::nullopt;
  return HtmlDecode(html.substr(start + 1, end - start - 1));
}

/** The first <option> tag of a page with that value, or "". */
std::string OptionTag(const std::string& html, const std::string& value) {
  const size_t pos = html.find("<option value=\"" + value + "\"");
  if (pos == std::string::npos) return {};
  return html.substr(pos, html.find('>', pos) - pos + 1);
}

TEST_F(GeneratedSiteTest, GeneratesEveryPageAndPhpAcceptsThem) {
  const TRecordedMessage& closing = FMessages.Messages.at(0);
  EXPECT_EQ(closing.Type, TMsgDlgType::mtInformation);
  EXPECT_NE(closing.Text.find("sucessfully generated"), std::string::npos) << closing.Text;
  EXPECT_NE(closing.Text.find(FProject.Project_output), std::string::npos) << closing.Text;
  EXPECT_EQ(closing.Text.find("Not generated"), std::string::npos) << closing.Text;
  ASSERT_FALSE(FProgress.Events.empty());
  EXPECT_EQ(FProgress.Events.front(), "start");
  EXPECT_EQ(FProgress.Events.back(), "finish");
  EXPECT_NE(std::find(FProgress.Events.begin(), FProgress.Events.end(), "100"), FProgress.Events.end());

  for (const char* file : {"index.html", "menu.php", "left.html", "general/dbinfo.php", "general/login.php",
                           "general/functions.php", "theme/style.css", "scripts/checks.js", "scripts/tooltip.js"})
    EXPECT_TRUE(FileExists(FOut + "/" + file)) << file;
  for (const auto& table : FProject.Tables)
    for (const char* page : {"list", "insert", "update", "detail", "delete"})
      EXPECT_TRUE(FileExists(FOut + "/" + TablePageFileName(table->DB, table->Name, page)))
          << table->DB << "." << table->Name << " " << page;

  int linted = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FOut)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".php") continue;
    std::string output;
    const int code = RunCommand(ShellQuoted(FPhp) + " -l " + ShellQuoted(entry.path().string()), output);
    EXPECT_EQ(code, 0) << entry.path() << "\n" << output;
    ++linted;
  }
  EXPECT_EQ(linted, static_cast<int>(FProject.Tables.size()) * 5 + 4);  // menu, dbinfo, login, functions

  // The frame pages answer, and the menu links every table's list.
  THttpClient visitor = Visitor();
  ExpectCleanPage(visitor.Get("/index.html"), "index");
  const THttpResponse menu = visitor.Get("/menu.php");
  ExpectCleanPage(menu, "menu");
  for (const auto& table : FProject.Tables)
    EXPECT_NE(menu.Body.find("href=\"" + UrlEncode(TablePageFileName(table->DB, table->Name, "list")) + "\""),
              std::string::npos)
        << table->Name;
}

TEST_F(GeneratedSiteTest, ListPagePagesSortsAndFilters) {
  THttpClient visitor = Visitor();
  const std::string list = ShopPage("products", "list");
  const std::string products = ShopTable("products");
  const auto ids = [&](const std::string& where, const std::string& order, int page) {
    return Column(*FDb, "SELECT p.id FROM " + products + " p LEFT JOIN " + ShopTable("city") + " c ON p.city_id = c.id" +
                            (where.empty() ? "" : " WHERE " + where) + " ORDER BY " + order + " LIMIT " +
                            std::to_string((page - 1) * kRowsPerPage) + ", " + std::to_string(kRowsPerPage));
  };
  const auto count = [&](const std::string& where) {
    return std::stoi(Value(*FDb, "SELECT COUNT(*) FROM " + products + " p LEFT JOIN " + ShopTable("city") +
                                     " c ON p.city_id = c.id" + (where.empty() ? "" : " WHERE " + where)));
  };

  // Paging, sorted by the key.
  THttpResponse page = visitor.Get(list + "?qf_sort=id&qf_dir=ASC&qf_goto=2");
  ExpectCleanPage(page, "page 2");
  EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")), Join(ids("", "p.id", 2)));
  EXPECT_EQ(PageNumbers(page.Body), std::make_pair(2, 3));
  EXPECT_EQ(RecordCount(page.Body), 30);
  page = visitor.Get(list + "?qf_sort=id&qf_dir=ASC&qf_goto=99");
  EXPECT_EQ(PageNumbers(page.Body), std::make_pair(3, 3)) << "a page past the end shows the last one";
  EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")), Join(ids("", "p.id", 3)));
  page = visitor.Get(list + "?qf_sort=id&qf_dir=ASC&qf_goto=-4");
  EXPECT_EQ(PageNumbers(page.Body), std::make_pair(1, 3));
  EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")), Join(ids("", "p.id", 1)));

  // The sort buttons post the field; the hidden fields carry the order to the next page.
  page = visitor.PostForm(list, {{"qf_sort_desc", "price"}});
  ExpectCleanPage(page, "price descending");
  EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")), Join(ids("", "p.price DESC", 1)));
  EXPECT_EQ(AttributeValue(InputTag(page.Body, "qf_sort"), "value"), "price");
  EXPECT_EQ(AttributeValue(InputTag(page.Body, "qf_dir"), "value"), "DESC");
  page = visitor.PostForm(list, {{"qf_sort", "price"}, {"qf_dir", "DESC"}, {"qf_goto", "2"}});
  EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")), Join(ids("", "p.price DESC", 2)));
  page = visitor.PostForm(list, {{"qf_sort", "price"}, {"qf_dir", "DESC"}, {"qf_sort_asc", "price"}});
  EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")), Join(ids("", "p.price ASC", 1)));
  for (const char* dir : {"ASC", "DESC"}) {
    page = visitor.Get(list + "?qf_sort=name&qf_dir=" + dir + "&qf_goto=2");
    ExpectCleanPage(page, std::string("name ") + dir);
    EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")), Join(ids("", std::string("p.name ") + dir, 2))) << dir;
  }

  // Rows show the looked-up city, the enum text and every member of a set.
  page = visitor.Get(list + "?qf_sort=id&qf_dir=ASC");
  const std::vector<std::string> rows = ListRows(page.Body);
  const auto expected = Rows(*FDb, "SELECT p.id, p.name, IFNULL(c.name, ''), p.status, p.colours FROM " + products +
                                       " p LEFT JOIN " + ShopTable("city") + " c ON p.city_id = c.id ORDER BY p.id LIMIT 10");
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string text = VisibleText(rows[i]);
    const auto& row = expected[i];
    EXPECT_NE(text.find(row[1]), std::string::npos) << "product " << row[0] << ": " << text;
    if (!row[2].empty()) {
      EXPECT_NE(text.find(row[2]), std::string::npos) << "city of product " << row[0] << ": " << text;
    }
    EXPECT_NE(text.find(row[3]), std::string::npos) << "status of product " << row[0] << ": " << text;
    for (const std::string& colour : SplitString(row[4], ','))
      if (!colour.empty()) {
        EXPECT_NE(text.find(colour), std::string::npos)
            << "product " << row[0] << " stores the set \"" << row[4] << "\", the list does not show \"" << colour
            << "\": " << text;
      }
  }

  // Filters: prefix and exact text, text of a lookup, intervals, combined.
  const struct {
    std::vector<std::pair<std::string, std::string>> Params;
    std::string Where;
  } filters[] = {
      {{{"name_val", "C"}, {"name_mode", "Like"}}, "p.name LIKE 'C%'"},
      {{{"name_val", "  c  "}}, "p.name LIKE 'c%'"},
      {{{"name_val", "Mug"}, {"name_mode", "Exactly"}}, "p.name = 'Mug'"},
      {{{"name_val", "Mu"}, {"name_mode", "Exactly"}}, "p.name = 'Mu'"},
      {{{"name_val", "children's"}}, "p.name LIKE 'children''s%'"},
      {{{"city_id_val", "Lon"}}, "c.name LIKE 'Lon%'"},
      {{{"city_id_val", "L'A"}}, "c.name LIKE 'L''A%'"},
      {{{"price_min", "10"}, {"price_max", "20"}}, "p.price >= 10 AND p.price <= 20"},
      {{{"price_min", "100"}}, "p.price >= 100"},
      {{{"price_max", "5.5"}}, "p.price <= 5.5"},
      {{{"price_min", "5"}, {"qf_goto", "2"}}, "p.price >= 5"},
      {{{"name_val", "C"}, {"price_max", "20"}}, "p.name LIKE 'C%' AND p.price <= 20"},
  };
  for (const auto& filter : filters) {
    TFields fields = filter.Params;
    fields.emplace_back("qf_sort", "id");
    std::string label;
    int pageNumber = 1;
    for (const auto& [name, value] : filter.Params) {
      label += name + "=" + value + " ";
      if (name == "qf_goto") pageNumber = std::stoi(value);
    }
    page = visitor.Get(list + "?" + FormEncode(fields));
    ExpectCleanPage(page, label);
    EXPECT_EQ(RecordCount(page.Body), count(filter.Where)) << label;
    EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")), Join(ids(filter.Where, "p.id", pageNumber))) << label;
    // The form shows what was asked for.
    for (const auto& [name, value] : filter.Params)
      if (name != "qf_goto" && name != "name_mode") {
        EXPECT_EQ(AttributeValue(InputTag(page.Body, name), "value"), value) << label;
      }
  }
  // The same filter posted from the form.
  page = visitor.PostForm(list, {{"name_val", "C"}, {"name_mode", "Like"}, {"qf_search", "Search"}});
  EXPECT_EQ(RecordCount(page.Body), count("p.name LIKE 'C%'"));

  // A reserved word as table and column name.
  page = visitor.Get(ShopPage("order", "list") + "?key_val=B-&qf_sort=id");
  ExpectCleanPage(page, "order key filter");
  EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")),
            Join(Column(*FDb, "SELECT id FROM " + ShopTable("order") + " WHERE `key` LIKE 'B-%' ORDER BY id")));
  page = visitor.Get(ShopPage("order", "list") + "?placed_min=2024-02-02&placed_max=2024-02-03+23:59:59&qf_sort=key&qf_dir=DESC");
  ExpectCleanPage(page, "order placed interval");
  EXPECT_EQ(Join(DetailLinkValues(page.Body, "id")),
            Join(Column(*FDb, "SELECT id FROM " + ShopTable("order") +
                                  " WHERE placed >= '2024-02-02' AND placed <= '2024-02-03 23:59:59' ORDER BY `key` DESC")));
}

TEST_F(GeneratedSiteTest, EveryListPageShowsItsTableAndLinksItsRecords) {
  THttpClient admin = Administrator();
  for (const auto& table : FProject.Tables) {
    const std::string what = table->DB + "." + table->Name;
    const std::string qualified = QuoteIdentifier(table->DB) + "." + QuoteIdentifier(table->Name);
    const int rows = std::stoi(Value(*FDb, "SELECT COUNT(*) FROM " + qualified));
    const THttpResponse list = admin.Get(PagePath(table->DB, table->Name, "list"));
    ExpectCleanPage(list, what + " list");
    EXPECT_EQ(RecordCount(list.Body), rows) << what;
    const auto links = DetailLinkKeys(list.Body);
    EXPECT_EQ(static_cast<int>(links.size()), std::min(rows, kRowsPerPage)) << what;
    // Every record a list links is found by its detail and update pages.
    for (const auto& keys : links) {
      std::string query = "qf_key=1";
      std::string where;
      for (const auto& [name, value] : keys) {
        if (name == "qf_key") continue;
        query += "&" + UrlEncode(name) + "=" + UrlEncode(value);
        where += (where.empty() ? "" : " AND ") + QuoteIdentifier(name) + " = " + Lit(value);
      }
      ASSERT_FALSE(where.empty()) << what;
      EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + qualified + " WHERE " + where), "1") << what << " " << query;
      for (const char* pageName : {"detail", "update"}) {
        const THttpResponse page = admin.Get(PagePath(table->DB, table->Name, pageName) + "?" + query);
        ExpectCleanPage(page, what + " " + pageName + " " + query);
        EXPECT_EQ(page.Body.find(kNotFound), std::string::npos) << what << " " << pageName << " " << query;
      }
    }
  }

  // Looked-up texts and quotes on detail pages.
  THttpClient visitor = Visitor();
  THttpResponse detail = visitor.Get(ShopPage("order", "detail") + "?qf_key=1&id=1");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "key").value_or("<none>")), "A-0001");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "customer_id").value_or("<none>")), "O'Brien");
  detail = visitor.Get(PagePath(NotesDb(), "notes", "detail") + "?qf_key=1&id=2");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "title").value_or("<none>")), "It's the second");
  detail = visitor.Get(ShopPage("order_item", "detail") + "?qf_key=1&order_id=5&product_id=13");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "product_id").value_or("<none>")), "Mug");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "quantity").value_or("<none>")), "6");
}

TEST_F(GeneratedSiteTest, ProductGoesThroughInsertDetailUpdateAndDelete) {
  THttpClient visitor = Visitor();
  const std::string products = ShopTable("products");

  // The insert form as the browser gets it.
  const std::string insert = ShopPage("products", "insert");
  const THttpResponse form = visitor.Get(insert);
  ExpectCleanPage(form, "insert form");
  EXPECT_EQ(AttributeValue(InputTag(form.Body, "colours_1"), "value"), "red");
  EXPECT_EQ(AttributeValue(InputTag(form.Body, "colours_3"), "value"), "blue");
  const std::string itsValue = "it's";
  EXPECT_NE(InputTag(form.Body, "status", &itsValue), "") << "the enum value with an apostrophe is offered";
  EXPECT_NE(OptionTag(form.Body, "5"), "") << "the city lookup offers L'Aquila";
  EXPECT_NE(form.Body.find("L&#039;Aquila</option>"), std::string::npos);
  const auto updatedAt = AttributeValue(InputTag(form.Body, "updated_at"), "value");
  ASSERT_TRUE(updatedAt.has_value()) << "hidden updated_at field";
  EXPECT_TRUE(std::regex_match(*updatedAt, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << *updatedAt;

  const std::string name = "qf-e2e It's <b>bold</b> & \"quoted\"";
  const std::string description = "It's a <b>test</b>,\r\nC:\\temp\\new; 'quoted' \\' -- done";
  const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDRqf-e2e-first", 29);
  THttpResponse answer = visitor.PostMultipart(
      insert,
      {{"name", name}, {"description", description}, {"price", "912.50"}, {"released", "2031-02-03"},
       {"updated_at", *updatedAt}, {"status", "it's"}, {"colours_1", "red"}, {"colours_3", "blue"}, {"city_id", "5"}},
      {{"picture", "photo 1'a.png", png, "image/png"}});
  ExpectCleanPage(answer, "insert");
  EXPECT_NE(answer.Body.find("The record was added."), std::string::npos) << answer.Body;

  auto stored = Rows(*FDb, "SELECT id, name, description, price, released, updated_at, status, colours, picture, city_id FROM " +
                               products + " WHERE name = " + Lit(name));
  ASSERT_EQ(stored.size(), 1u) << "the inserted row";
  const std::string id = stored[0][0];
  EXPECT_EQ(stored[0][2], description);
  EXPECT_EQ(stored[0][3], "912.50");
  EXPECT_EQ(stored[0][4], "2031-02-03");
  EXPECT_EQ(stored[0][5], *updatedAt);
  EXPECT_EQ(stored[0][6], "it's");
  EXPECT_EQ(stored[0][7], "red,blue");
  EXPECT_EQ(stored[0][9], "5");
  const std::string picture = stored[0][8];
  ASSERT_TRUE(std::regex_match(picture, std::regex(R"(uploads/[A-Za-z0-9_-][A-Za-z0-9._-]*)"))) << picture;
  EXPECT_NE(picture.find(".png"), std::string::npos) << picture;
  ASSERT_TRUE(FileExists(FOut + "/" + picture)) << picture;
  EXPECT_EQ(ReadFileText(FOut + "/" + picture), png);
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + products), "31");

  // The detail page shows it escaped, quotes and backslashes as they were.
  const std::string keyQuery = "?qf_key=1&id=" + id;
  THttpResponse detail = visitor.Get(ShopPage("products", "detail") + keyQuery);
  ExpectCleanPage(detail, "detail");
  const std::string nameCell = DetailCell(detail.Body, "name").value_or("<none>");
  EXPECT_EQ(HtmlDecode(nameCell), name);
  EXPECT_NE(nameCell.find("&lt;b&gt;"), std::string::npos) << nameCell;
  EXPECT_EQ(nameCell.find("<b>"), std::string::npos) << nameCell;
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "description").value_or("<none>")), description);
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "price").value_or("<none>")), "912.50");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "status").value_or("<none>")), "it's");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "city_id").value_or("<none>")), "L'Aquila");
  const std::string colours = HtmlDecode(DetailCell(detail.Body, "colours").value_or("<none>"));
  EXPECT_TRUE(colours.find("red") != std::string::npos && colours.find("blue") != std::string::npos)
      << "the set \"red,blue\" is shown as \"" << colours << "\"";
  const std::string pictureCell = DetailCell(detail.Body, "picture").value_or("<none>");
  EXPECT_EQ(AttributeValue(pictureCell, "src"), picture) << pictureCell;

  // The update form holds the stored values.
  const std::string update = ShopPage("products", "update") + keyQuery;
  THttpResponse edit = visitor.Get(update);
  ExpectCleanPage(edit, "update form");
  EXPECT_EQ(AttributeValue(InputTag(edit.Body, "name"), "value"), name);
  EXPECT_EQ(TextareaText(edit.Body, "description"), description);
  EXPECT_NE(InputTag(edit.Body, "colours_1").find("checked"), std::string::npos);
  EXPECT_EQ(InputTag(edit.Body, "colours_2").find("checked"), std::string::npos);
  EXPECT_NE(InputTag(edit.Body, "colours_3").find("checked"), std::string::npos);
  EXPECT_NE(InputTag(edit.Body, "status", &itsValue).find("checked"), std::string::npos);
  const std::string newValue = "new";
  EXPECT_EQ(InputTag(edit.Body, "status", &newValue).find("checked"), std::string::npos);
  EXPECT_NE(OptionTag(edit.Body, "5").find("selected"), std::string::npos) << OptionTag(edit.Body, "5");
  EXPECT_EQ(OptionTag(edit.Body, "3").find("selected"), std::string::npos);
  const auto oldFile = AttributeValue(InputTag(edit.Body, "picture_oldFile"), "value");
  EXPECT_EQ(oldFile, picture);
  const auto editUpdatedAt = AttributeValue(InputTag(edit.Body, "updated_at"), "value");
  ASSERT_TRUE(editUpdatedAt.has_value());

  // Save a change and keep the file: the browser sends the empty file field.
  const std::string name2 = name + " v2";
  TFields fields = {{"name", name2},          {"description", description},
                    {"price", "913.00"},      {"released", "2031-02-04"},
                    {"updated_at", *editUpdatedAt}, {"status", "used"},
                    {"colours_2", "green"},   {"city_id", "3"},
                    {"picture_needUpload", "no"}, {"picture_oldFile", oldFile.value_or("")}};
  answer = visitor.PostMultipart(update, fields, {{"picture_file", "", "", "application/octet-stream"}});
  ExpectCleanPage(answer, "update keeping the file");
  EXPECT_NE(answer.Body.find("The record was saved."), std::string::npos);
  stored = Rows(*FDb, "SELECT name, price, released, status, colours, picture, city_id FROM " + products +
                          " WHERE id = " + id);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0], (std::vector<std::string>{name2, "913.00", "2031-02-04", "used", "green", picture, "3"}));
  // The page shows the saved values.
  EXPECT_EQ(AttributeValue(InputTag(answer.Body, "name"), "value"), name2);

  // Upload a new file.
  const std::string png2 = "\x89PNG\r\n\x1a\nqf-e2e-second";
  fields = {{"name", name2},           {"description", description}, {"price", "913.00"},
            {"released", "2031-02-04"}, {"updated_at", *editUpdatedAt}, {"status", "used"},
            {"colours_2", "green"},    {"city_id", "3"},              {"picture_needUpload", "yes"},
            {"picture_oldFile", picture}};
  answer = visitor.PostMultipart(update, fields, {{"picture_file", "second.png", png2, "image/png"}});
  ExpectCleanPage(answer, "update with a new file");
  const std::string picture2 = Value(*FDb, "SELECT picture FROM " + products + " WHERE id = " + id);
  EXPECT_NE(picture2, picture);
  ASSERT_TRUE(std::regex_match(picture2, std::regex(R"(uploads/[A-Za-z0-9_-][A-Za-z0-9._-]*)"))) << picture2;
  ASSERT_TRUE(FileExists(FOut + "/" + picture2)) << picture2;
  EXPECT_EQ(ReadFileText(FOut + "/" + picture2), png2);
  EXPECT_EQ(Value(*FDb, "SELECT name FROM " + products + " WHERE id = " + id), name2);

  // Delete: nothing before the posted confirmation.
  const std::string del = ShopPage("products", "delete") + keyQuery;
  answer = visitor.Get(del);
  ExpectCleanPage(answer, "delete question");
  EXPECT_NE(answer.Body.find("Delete this record"), std::string::npos);
  answer = visitor.Get(del + "&qf_confirm=yes");
  ExpectCleanPage(answer, "delete by GET");
  answer = visitor.PostForm(del, {{"qf_confirm", "no"}});
  ExpectCleanPage(answer, "delete without confirmation");
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + products + " WHERE id = " + id), "1")
      << "deleted without the posted confirmation";
  answer = visitor.PostForm(del, {{"qf_confirm", "yes"}});
  ExpectCleanPage(answer, "delete");
  EXPECT_NE(answer.Body.find("The record was deleted."), std::string::npos) << answer.Body;
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + products + " WHERE id = " + id), "0");
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + products), "30");
  answer = visitor.PostForm(del, {{"qf_confirm", "yes"}});
  EXPECT_NE(answer.Body.find(kNotFound), std::string::npos);
  detail = visitor.Get(ShopPage("products", "detail") + keyQuery);
  EXPECT_NE(detail.Body.find(kNotFound), std::string::npos);
}

TEST_F(GeneratedSiteTest, CompositeKeyNamesOneRecord) {
  THttpClient visitor = Visitor();
  const std::string items = ShopTable("order_item");
  const std::string before = Value(*FDb, "SELECT COUNT(*) FROM " + items);

  const THttpResponse form = visitor.Get(ShopPage("order_item", "insert"));
  ExpectCleanPage(form, "order_item insert form");
  EXPECT_NE(form.Body.find(">B-0002</option>"), std::string::npos) << "the order lookup shows the order keys";
  THttpResponse answer =
      visitor.PostMultipart(ShopPage("order_item", "insert"), {{"order_id", "2"}, {"product_id", "9"}, {"quantity", "3"}}, {});
  ExpectCleanPage(answer, "order_item insert");
  EXPECT_EQ(Value(*FDb, "SELECT quantity FROM " + items + " WHERE order_id = 2 AND product_id = 9"), "3");

  const std::string key = "?qf_key=1&order_id=2&product_id=9";
  const THttpResponse detail = visitor.Get(ShopPage("order_item", "detail") + key);
  ExpectCleanPage(detail, "order_item detail");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "quantity").value_or("<none>")), "3");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "order_id").value_or("<none>")), "A-0002");
  EXPECT_EQ(HtmlDecode(DetailCell(detail.Body, "product_id").value_or("<none>")), "Notebook");

  answer = visitor.PostMultipart(ShopPage("order_item", "update") + key,
                                 {{"order_id", "2"}, {"product_id", "9"}, {"quantity", "7"}}, {});
  ExpectCleanPage(answer, "order_item update");
  EXPECT_EQ(Value(*FDb, "SELECT quantity FROM " + items + " WHERE order_id = 2 AND product_id = 9"), "7");
  EXPECT_EQ(Value(*FDb, "SELECT quantity FROM " + items + " WHERE order_id = 2 AND product_id = 5"), "1")
      << "the other item of the order is left alone";

  answer = visitor.PostForm(ShopPage("order_item", "delete") + key, {{"qf_confirm", "yes"}});
  ExpectCleanPage(answer, "order_item delete");
  EXPECT_NE(answer.Body.find("The record was deleted."), std::string::npos);
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + items + " WHERE order_id = 2"), "1");
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + items), before);

  // Half a key names nothing.
  answer = visitor.PostForm(ShopPage("order_item", "delete") + "?qf_key=1&order_id=3", {{"qf_confirm", "yes"}});
  ExpectCleanPage(answer, "order_item delete with half a key");
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + items), before);
}

TEST_F(GeneratedSiteTest, AdministratorPagesNeedTheLogin) {
  const std::string customers = ShopTable("customer");
  const std::string before = Snapshot();
  THttpClient visitor = Visitor();
  const std::string listFile = TablePageFileName(ShopDb(), "customer", "list");

  // A visitor is sent to the login page and sees no data, whatever he asks.
  for (const std::string& page : {ShopPage("customer", "list"), ShopPage("customer", "insert"),
                                  ShopPage("customer", "update") + "?qf_key=1&id=1",
                                  ShopPage("customer", "detail") + "?qf_key=1&id=1",
                                  ShopPage("customer", "delete") + "?qf_key=1&id=4"}) {
    THttpResponse answer = visitor.Get(page);
    EXPECT_EQ(answer.Status, 302) << page;
    const std::string location = answer.Header("location");
    EXPECT_TRUE(StartsWith(location, "general/login.php?back=")) << page << " -> " << location;
    EXPECT_EQ(UrlDecode(location.substr(location.find('=') + 1)), page.substr(1)) << "back to the page asked for";
    for (const char* data : {"obrien@example.com", "O&#039;Brien", "Müller", "Dupont"})
      EXPECT_EQ(answer.Body.find(data), std::string::npos) << page << " shows " << data;
  }
  EXPECT_EQ(visitor.PostForm(ShopPage("customer", "delete") + "?qf_key=1&id=4", {{"qf_confirm", "yes"}}).Status, 302);
  EXPECT_EQ(visitor.PostMultipart(ShopPage("customer", "update") + "?qf_key=1&id=4",
                                  {{"name", "qf-e2e visitor"}, {"email", "x@example.com"}, {"city_id", "1"}}, {})
                .Status,
            302);
  EXPECT_EQ(visitor.PostMultipart(ShopPage("customer", "insert"),
                                  {{"name", "qf-e2e visitor"}, {"email", "x@example.com"}, {"city_id", "1"}}, {})
                .Status,
            302);
  EXPECT_EQ(ChangesSince(before), "") << "a visitor changed data of the administrator's table";

  // Wrong logins are refused.
  const THttpResponse loginPage = visitor.Get("/general/login.php?back=" + UrlEncode(listFile));
  ExpectCleanPage(loginPage, "login page");
  EXPECT_EQ(AttributeValue(InputTag(loginPage.Body, "back"), "value"), listFile);
  const std::vector<std::pair<std::string, std::string>> wrong = {
      {kAdminName, "wrong"}, {kAdminName, ""}, {"admin", kAdminPass}, {"", ""}, {kAdminName + " ", kAdminPass},
      {kAdminName, kAdminPass + "x"}};
  for (const auto& [name, pass] : wrong) {
    const THttpResponse answer =
        visitor.PostForm("/general/login.php", {{"qf_name", name}, {"qf_pass", pass}, {"back", listFile}});
    EXPECT_EQ(answer.Status, 200) << name << " / " << pass;
    EXPECT_NE(answer.Body.find("Wrong name or password."), std::string::npos) << name << " / " << pass;
    EXPECT_EQ(visitor.Get(ShopPage("customer", "list")).Status, 302) << "logged in with " << name << " / " << pass;
  }

  // The administrator logs in, goes back to the page and sees the data.
  THttpResponse answer =
      visitor.PostForm("/general/login.php", {{"qf_name", kAdminName}, {"qf_pass", kAdminPass}, {"back", listFile}});
  EXPECT_EQ(answer.Status, 302);
  EXPECT_EQ(answer.Header("location"), "../" + listFile);
  answer = visitor.Get(ShopPage("customer", "list"));
  ExpectCleanPage(answer, "customer list for the administrator");
  EXPECT_EQ(RecordCount(answer.Body), 8);
  EXPECT_NE(answer.Body.find("O&#039;Brien"), std::string::npos);
  answer = visitor.Get(ShopPage("customer", "detail") + "?qf_key=1&id=1");
  ExpectCleanPage(answer, "customer detail for the administrator");
  EXPECT_EQ(HtmlDecode(DetailCell(answer.Body, "email").value_or("<none>")), "obrien@example.com");

  // The administrator may write.
  answer = visitor.PostMultipart(ShopPage("customer", "insert"),
                                 {{"name", "qf-e2e admin's customer"}, {"email", "qf@example.com"}, {"city_id", "3"}}, {});
  ExpectCleanPage(answer, "customer insert by the administrator");
  const std::string id = Value(*FDb, "SELECT id FROM " + customers + " WHERE name = 'qf-e2e admin''s customer'");
  ASSERT_FALSE(id.empty());
  answer = visitor.PostForm(ShopPage("customer", "delete") + "?qf_key=1&id=" + id, {{"qf_confirm", "yes"}});
  ExpectCleanPage(answer, "customer delete by the administrator");
  EXPECT_EQ(Value(*FDb, "SELECT COUNT(*) FROM " + customers), "8");

  // After the login the visitor goes back only to a page of the site.
  const struct {
    const char* Back;
    std::string Location;
  } backs[] = {
      {"http://evil.example/x.php", "../left.html"},
      {"//evil.example/x.php", "../left.html"},
      {"../../etc/passwd.php", "../left.html"},
      {"javascript:alert(1)//.php", "../left.html"},
      {"", "../left.html"},
      {"menu.php?a=1&b=2", "../menu.php?a=1&b=2"},
  };
  for (const auto& back : backs) {
    THttpClient other = Visitor();
    answer = other.PostForm("/general/login.php", {{"qf_name", kAdminName}, {"qf_pass", kAdminPass}, {"back", back.Back}});
    EXPECT_EQ(answer.Status, 302) << back.Back;
    EXPECT_EQ(answer.Header("location"), back.Location) << back.Back;
  }

  // The back parameter is shown escaped.
  answer = Visitor().Get("/general/login.php?back=" + UrlEncode("\"><script>alert(1)</script>"));
  ExpectCleanPage(answer, "login page with a script in back");
  EXPECT_EQ(answer.Body.find("<script>alert(1)"), std::string::npos);
}

}  // namespace
}  // namespace e2e
