#include "SiteFixture.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PageGenerator.h"
#include "generator/PhpMain.h"
#include "model/General.h"

#include <unistd.h>

#include <algorithm>
#include <iterator>

namespace e2e {

namespace {

TWebTable& AddTable(TProjectManager& project, const std::string& db, const std::string& name, const std::string& right) {
  auto table = std::make_unique<TWebTable>();
  table->DB = db;
  table->Name = name;
  table->Caption = name + " records";
  table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = right;
  TWebTable& result = *table;
  project.AddTable(std::move(table));
  return result;
}

/** A column as the schema import leaves it (caption, every page), with the
 *  fixed item list of an enum or set type. */
TWebInput& AddColumn(TWebTable& table, const std::string& field, const std::string& type, const std::string& input,
                     bool key = false) {
  auto column = std::make_unique<TWebInput>(field);
  column->Database_field = field;
  column->Type = type;
  column->Key = key;
  column->Caption = field;
  column->List = column->Detail = column->Insert = column->Update = true;
  column->Input_type = input;
  column->View_type = "Text";
  column->Filter_type = "No";
  std::string kind;
  ParseEnumSet(type, column->HtmlInput->ItemList, kind);
  if (!kind.empty()) column->HtmlInput->iLSource = 1;
  TWebInput& result = *column;
  table.AddToInputList(std::move(column));
  return result;
}

/** An auto-increment key: shown, never entered. */
TWebInput& AddAutoKey(TWebTable& table) {
  TWebInput& id = AddColumn(table, "id", "int(11)", "Text", true);
  id.Insert = id.Update = false;
  return id;
}

void SetLookup(TWebInput& input, const std::string& table, const std::string& display, const std::string& value) {
  TBaseHtmlInput& html = *input.HtmlInput;
  html.iLSource = 0;
  html.iLElementFromDb = true;
  html.iLTable = table;
  html.iLDisplayField = display;
  html.iLValueField = value;
  html.iLShort = "Asc";
}

/** The fixture schemas as the user would set them up: every input type, fixed
 *  lists for the enum and set columns, lookups, filters, an upload folder, a
 *  composite key, reserved words, a table for the administrator only and a
 *  database name that is no PHP name. */
void BuildProject(TProjectManager& project, const std::string& shop, const std::string& notesDb) {
  const qftest::DbParams db = *qftest::TestDb();
  project.Database_host = db.Host;
  project.Database_port = db.Port;
  project.Database_user = db.User;
  project.Database_password = db.Password;
  project.SiteCaption = "Shop's <site>";
  project.AdminName = kAdminName;
  project.AdminPass = kAdminPass;
  project.SecurityMode = "Table";
  project.RowNumber = kRowsPerPage;

  TWebTable& city = AddTable(project, shop, "city", "Guest");
  AddAutoKey(city);
  AddColumn(city, "name", "varchar(100)", "Text").Filter_type = "Like";

  TWebTable& customer = AddTable(project, shop, "customer", "Admin");
  AddAutoKey(customer);
  AddColumn(customer, "name", "varchar(100)", "Text").HtmlInput->iRequired = true;
  AddColumn(customer, "email", "varchar(255)", "Password").HtmlInput->iCheckType = "Email";
  SetLookup(AddColumn(customer, "city_id", "int(11)", "Listbox"), "city", "name", "id");

  TWebTable& products = AddTable(project, shop, "products", "Guest");
  AddAutoKey(products);
  TWebInput& name = AddColumn(products, "name", "varchar(80)", "Text");
  name.Filter_type = "Like";
  name.UseHint = true;
  name.HintText = "The product's \"name\"";
  name.HtmlInput->iRequired = true;
  name.HtmlInput->iCheckType = "Character";
  name.HtmlInput->iErrorText = "A name, please";
  name.HtmlInput->iMax = 80;
  TWebInput& description = AddColumn(products, "description", "text", "Textarea");
  description.List = false;
  description.HtmlInput->iTAWidth = 40;
  description.HtmlInput->iTALines = 4;
  TWebInput& price = AddColumn(products, "price", "decimal(10,2)", "Text");
  price.Filter_type = "Interval";
  price.HtmlInput->iCheckType = "Price";
  AddColumn(products, "released", "date", "Text").List = false;
  TWebInput& updated = AddColumn(products, "updated_at", "datetime", "Hidden");
  updated.List = false;
  updated.HtmlInput->iHiValue = "echo h(date('Y-m-d H:i:s'));";
  TWebInput& status = AddColumn(products, "status", "enum('new','used','it''s')", "Radiobox");
  status.HtmlInput->iRequired = true;
  status.HtmlInput->iErrorText = "Pick a status, it's needed";
  TWebInput& colours = AddColumn(products, "colours", "set('red','green','blue')", "Checkbox");
  colours.HtmlInput->iRaHorizontal = true;
  TWebInput& picture = AddColumn(products, "picture", "varchar(255)", "File");
  picture.List = false;
  picture.View_type = "Picture";
  picture.HtmlInput->iFileUpDir = "uploads/";
  TWebInput& productCity = AddColumn(products, "city_id", "int(11)", "Combobox");
  SetLookup(productCity, "city", "name", "id");
  productCity.Filter_type = "Like";

  TWebTable& order = AddTable(project, shop, "order", "Guest");
  AddAutoKey(order);
  SetLookup(AddColumn(order, "customer_id", "int(11)", "Listbox"), "customer", "name", "id");
  AddColumn(order, "key", "varchar(32)", "Text").Filter_type = "Like";
  AddColumn(order, "placed", "datetime", "Text").Filter_type = "Interval";

  TWebTable& item = AddTable(project, shop, "order_item", "Guest");
  SetLookup(AddColumn(item, "order_id", "int(11)", "Combobox", true), "order", "key", "id");
  SetLookup(AddColumn(item, "product_id", "int(11)", "Combobox", true), "products", "name", "id");
  AddColumn(item, "quantity", "int(11)", "Text").View_type = "Number";

  TWebTable& notes = AddTable(project, notesDb, "notes", "Guest");
  AddAutoKey(notes);
  AddColumn(notes, "title", "varchar(100)", "Text").Filter_type = "Like";
  AddColumn(notes, "body", "text", "Textarea").List = false;
}

}  // namespace

std::string GeneratedSiteTest::PagePath(const std::string& db, const std::string& table, const std::string& page) {
  return "/" + UrlEncode(TablePageFileName(db, table, page));
}

void GeneratedSiteTest::SetUp() {
  QF_REQUIRE_DB(params);
  (void)params;
  const auto php = FindProgram("php");
  if (!php) GTEST_SKIP() << "php is not on PATH: the generated site cannot be served";
  FPhp = *php;

  ASSERT_NO_THROW(FDb = ConnectTestDb());
  // Private copies: the tests change rows and count them exactly, while other
  // tests read the fixture databases at the same time.
  const std::string suffix = std::to_string(::getpid());
  ASSERT_NO_THROW(FShop = std::make_unique<TDatabaseCopy>(*FDb, "shop", "qf_e2e_shop_" + suffix));
  ASSERT_NO_THROW(FNotes = std::make_unique<TDatabaseCopy>(*FDb, "my-db", "qf-e2e-my-db-" + suffix));

  FDir = std::make_unique<qftest::TempDir>();
  FOut = FDir->File("site");
  BuildProject(FProject, ShopDb(), NotesDb());
  FProject.Project_output = FOut + "/";
  TMainPhpManager manager(FProject, qftest::SourceDir() + "/data/", "default", &FProgress, &FMessages);
  ASSERT_NO_THROW(manager.Generate());
  ASSERT_EQ(FMessages.Messages.size(), 1u);
  ASSERT_TRUE(FileExists(FOut + "/general/dbinfo.php"));

  FServer = std::make_unique<TPhpServer>(FPhp, FOut, FDir->File("work"));
  std::string error;
  ASSERT_TRUE(FServer->Start(error)) << error;
}

void GeneratedSiteTest::TearDown() {
  if (FServer) {
    FServer->Stop();
    // No page may warn, notice or fail, whatever the test sent it.
    if (const std::string log = FServer->ErrorLog(); !log.empty()) {
      const std::vector<std::string> lines = SplitString(log, '\n');
      std::string shown;
      for (size_t i = 0; i < lines.size() && i < 20; ++i) shown += lines[i] + "\n";
      ADD_FAILURE() << "the PHP error log of the site is not empty (" << lines.size() << " lines):\n" << shown;
    }
    for (const std::string& line : ProblemLines(FServer->Output())) ADD_FAILURE() << "php -S: " << line;
    FServer.reset();
  }
  FNotes.reset();
  FShop.reset();
  FDb.reset();
}

std::string GeneratedSiteTest::ChangesSince(const std::string& snapshot) const {
  std::vector<std::string> before = SplitString(snapshot, '\n');
  std::vector<std::string> after = SplitString(Snapshot(), '\n');
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  std::vector<std::string> gone, added;
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
  if (gone.empty() && added.empty()) return {};
  std::string text = std::to_string(gone.size()) + " rows gone or changed, " + std::to_string(added.size()) + " new:";
  for (size_t i = 0; i < gone.size() && i < 5; ++i) text += "\n- " + ReplaceAll(gone[i], "\x1f", " | ");
  for (size_t i = 0; i < added.size() && i < 5; ++i) text += "\n+ " + ReplaceAll(added[i], "\x1f", " | ");
  return text;
}

THttpClient GeneratedSiteTest::Administrator() {
  THttpClient admin = Visitor();
  const THttpResponse login = admin.PostForm("/general/login.php", {{"qf_name", kAdminName}, {"qf_pass", kAdminPass}});
  EXPECT_EQ(login.Status, 302) << login.Body;
  return admin;
}

void GeneratedSiteTest::ExpectCleanPage(const THttpResponse& response, const std::string& what) {
  EXPECT_EQ(response.Status, 200) << what;
  for (const char* text : {"could not be read", "could not be added", "could not be saved", "could not be deleted",
                           "SQL syntax", "mysqli", "Warning", "Fatal", "Uncaught", "Database error"})
    EXPECT_EQ(response.Body.find(text), std::string::npos) << what << ": the page shows \"" << text << "\"";
}

}  // namespace e2e
