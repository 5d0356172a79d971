#include "E2ESupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PageGenerator.h"
#include "generator/PhpMain.h"
#include "model/General.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>

namespace e2e {

namespace {

/** A column as the schema import leaves it, on every page, with the fixed
 *  item list of an enum or set type. */
TWebInput& AddColumn(TWebTable& table, const std::string& field, const std::string& type, const std::string& input,
                     bool key = false) {
  auto column = std::make_unique<TWebInput>(field);
  column->Database_field = column->Caption = field;
  column->Type = type;
  column->Key = key;
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

/** A table with the same rights on every page, and an auto-increment key
 *  "id" (shown, never entered) unless it has a composite one. */
TWebTable& AddTable(TProjectManager& project, const std::string& db, const std::string& name,
                    const std::string& right, bool id = true) {
  auto table = std::make_unique<TWebTable>();
  table->DB = db;
  table->Name = name;
  table->Caption = name + " records";
  table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = right;
  TWebTable& result = *table;
  project.AddTable(std::move(table));
  if (id) {
    TWebInput& key = AddColumn(result, "id", "int(11)", "Text", true);
    key.Insert = key.Update = false;
  }
  return result;
}

TWebInput& Lookup(TWebInput& input, const std::string& table, const std::string& display) {
  TBaseHtmlInput& html = *input.HtmlInput;
  html.iLSource = 0;
  html.iLElementFromDb = true;
  html.iLTable = table;
  html.iLDisplayField = display;
  html.iLValueField = "id";
  html.iLShort = "Asc";
  return input;
}

/** Every input type, fixed lists for the enum and set columns, lookups,
 *  filters, an upload folder, a composite key, reserved words, a table for
 *  the administrator only and a database name that is no PHP name. */
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
  AddColumn(city, "name", "varchar(100)", "Text").Filter_type = "Like";

  TWebTable& customer = AddTable(project, shop, "customer", "Admin");
  AddColumn(customer, "name", "varchar(100)", "Text").HtmlInput->iRequired = true;
  AddColumn(customer, "email", "varchar(255)", "Password").HtmlInput->iCheckType = "Email";
  Lookup(AddColumn(customer, "city_id", "int(11)", "Listbox"), "city", "name");

  TWebTable& products = AddTable(project, shop, "products", "Guest");
  TWebInput& name = AddColumn(products, "name", "varchar(80)", "Text");
  name.Filter_type = "Like";
  name.UseHint = true;
  name.HintText = "The product's \"name\"";
  name.HtmlInput->iRequired = true;
  AddColumn(products, "description", "text", "Textarea").List = false;
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
  AddColumn(products, "colours", "set('red','green','blue')", "Checkbox").HtmlInput->iRaHorizontal = true;
  TWebInput& picture = AddColumn(products, "picture", "varchar(255)", "File");
  picture.List = false;
  picture.View_type = "Picture";
  picture.HtmlInput->iFileUpDir = "uploads/";
  Lookup(AddColumn(products, "city_id", "int(11)", "Combobox"), "city", "name").Filter_type = "Like";

  TWebTable& order = AddTable(project, shop, "order", "Guest");
  Lookup(AddColumn(order, "customer_id", "int(11)", "Listbox"), "customer", "name");
  AddColumn(order, "key", "varchar(32)", "Text").Filter_type = "Like";
  AddColumn(order, "placed", "datetime", "Text").Filter_type = "Interval";

  TWebTable& item = AddTable(project, shop, "order_item", "Guest", false);
  Lookup(AddColumn(item, "order_id", "int(11)", "Combobox", true), "order", "key");
  Lookup(AddColumn(item, "product_id", "int(11)", "Combobox", true), "products", "name");
  AddColumn(item, "quantity", "int(11)", "Text").View_type = "Number";

  TWebTable& notes = AddTable(project, notesDb, "notes", "Guest");
  AddColumn(notes, "title", "varchar(100)", "Text").Filter_type = "Like";
  AddColumn(notes, "body", "text", "Textarea").List = false;
}

/** Makes database name a copy of the tables and rows of database source. */
void CopyDatabase(TDBManager& db, const std::string& source, const std::string& name) {
  const std::string from = QuoteIdentifier(source) + ".";
  Rows(db, "DROP DATABASE IF EXISTS " + QuoteIdentifier(name));
  Rows(db, "CREATE DATABASE " + QuoteIdentifier(name) + " CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci");
  // The CREATE statements name referenced tables without a database: run in the copy.
  Rows(db, "USE " + QuoteIdentifier(name));
  Rows(db, "SET SESSION foreign_key_checks = 0");
  for (const std::string& table : Column(db, "SHOW TABLES FROM " + QuoteIdentifier(source))) {
    Rows(db, Rows(db, "SHOW CREATE TABLE " + from + QuoteIdentifier(table)).at(0).at(1));
    Rows(db, "INSERT INTO " + QuoteIdentifier(table) + " SELECT * FROM " + from + QuoteIdentifier(table));
  }
  Rows(db, "SET SESSION foreign_key_checks = 1");
}

std::string ReadIfExists(const std::string& path) { return FileExists(path) ? ReadFileText(path) : std::string(); }

/** Starts `php -S` on a free port of 127.0.0.1 in docRoot, its output in
 *  output; its pid and port, or pid -1 when it did not start. */
std::pair<pid_t, int> StartPhpServer(const std::string& docRoot, const std::string& output) {
  const std::string sessions = "session.save_path=" + ExtractFilePath(output) + "sessions";
  ForceDirectories(ExtractFilePath(output) + "sessions");
  pid_t pid = ::fork();
  if (pid == 0) {
    // Run from the document root, as a web server runs a page from its folder.
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (out < 0 || ::chdir(docRoot.c_str()) != 0) ::_exit(126);
    ::dup2(out, 1);
    ::dup2(out, 2);
    ::unsetenv("PHP_CLI_SERVER_WORKERS");
    ::execlp("php", "php", "-d", "display_errors=0", "-d", "log_errors=1", "-d", "error_reporting=E_ALL", "-d",
             sessions.c_str(), "-S", "127.0.0.1:0", "-t", docRoot.c_str(), nullptr);
    ::_exit(127);
  }
  // Port 0: the server takes a free port and names it once it listens.
  static const std::regex kStarted(R"(\(http://127\.0\.0\.1:(\d+)\) started)");
  std::smatch m;
  for (int i = 0; i < 200 && pid > 0; ++i) {
    const std::string text = ReadIfExists(output);
    if (std::regex_search(text, m, kStarted)) return {pid, std::stoi(m[1])};
    if (::waitpid(pid, nullptr, WNOHANG) == pid) pid = -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
  return {-1, 0};
}

}  // namespace

std::string GeneratedSiteTest::PagePath(const std::string& db, const std::string& table, const std::string& page) {
  return "/" + UrlEncode(TablePageFileName(db, table, page));
}

void GeneratedSiteTest::SetUp() {
  QF_REQUIRE_DB(params);
  std::string output;
  if (RunCommand("php -v", output) != 0) GTEST_SKIP() << "php cannot be run: the generated site cannot be served";
  FDb = std::make_unique<TDBManager>();
  ASSERT_TRUE(FDb->Connect(params.Host, params.User, params.Password, params.Port, "")) << FDb->LastError();
  // Private copies: the tests change rows and count them, while other tests
  // read the fixture databases at the same time.
  FShopDb = "qf_e2e_shop_" + std::to_string(::getpid());
  FNotesDb = "qf-e2e-my-db-" + std::to_string(::getpid());
  ASSERT_NO_THROW(CopyDatabase(*FDb, "shop", FShopDb));
  ASSERT_NO_THROW(CopyDatabase(*FDb, "my-db", FNotesDb));

  FDir = std::make_unique<qftest::TempDir>();
  FOut = FDir->File("site");
  BuildProject(FProject, FShopDb, FNotesDb);
  FProject.Project_output = FOut + "/";
  TMainPhpManager manager(FProject, qftest::SourceDir() + "/data/", "default", nullptr, nullptr);
  ASSERT_NO_THROW(manager.Generate());
  std::tie(FServer, FPort) = StartPhpServer(FOut, FDir->File("work/php.out"));
  ASSERT_GT(FServer, 0) << "php -S did not start:\n" << ReadIfExists(FDir->File("work/php.out"));
}

void GeneratedSiteTest::TearDown() {
  if (FServer > 0) {
    ::kill(FServer, SIGTERM);
    ::waitpid(FServer, nullptr, 0);
    // No page may warn, notice or fail, whatever the test sent it.
    static const std::regex kProblem(R"(Warning|Notice|Deprecated|Fatal error|Parse error|Uncaught|\[500\])");
    std::string problems;
    for (const std::string& line : SplitString(ReadIfExists(FDir->File("work/php.out")), '\n'))
      if (std::regex_search(line, kProblem)) problems += line + "\n";
    EXPECT_EQ(problems, "") << "problems in the output of php -S";
  }
  for (const std::string& db : {FShopDb, FNotesDb})
    if (FDb && !db.empty()) FDb->ExecuteQuery("DROP DATABASE IF EXISTS " + QuoteIdentifier(db));
}

std::string GeneratedSiteTest::Snapshot() {
  std::vector<std::string> lines;
  for (const std::string& db : {FShopDb, FNotesDb})
    for (const std::string& table : Column(*FDb, "SHOW TABLES FROM " + QuoteIdentifier(db)))
      for (const auto& row : Rows(*FDb, "SELECT * FROM " + QuoteIdentifier(db) + "." + QuoteIdentifier(table))) {
        std::string line = table;
        for (const std::string& cell : row) line += " | " + cell;
        lines.push_back(line);
      }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

THttpResponse GeneratedSiteTest::Login(THttpClient& client, const std::string& name, const std::string& pass,
                                       const std::string& back) {
  return client.Post("/general/login.php", {{"qf_name", name}, {"qf_pass", pass}, {"back", back}});
}

THttpClient GeneratedSiteTest::Administrator() {
  THttpClient admin = Visitor();
  EXPECT_EQ(Login(admin, kAdminName, kAdminPass).Status, 302);
  return admin;
}

void GeneratedSiteTest::ExpectCleanPage(const THttpResponse& response, const std::string& what,
                                        const std::string& echo) {
  EXPECT_EQ(response.Status, 200) << what;
  for (const char* text : {"could not be", "SQL syntax", "mysqli", "Warning", "Fatal", "Uncaught", "Database error"})
    EXPECT_EQ(response.Body.find(text), std::string::npos) << what << ": the page shows \"" << text << "\"";
  if (echo.size() > 1 && echo.find_first_of("<>\"'&") != std::string::npos) {
    EXPECT_EQ(response.Body.find(echo), std::string::npos) << what << ": the value is in the page unescaped";
  }
}

}  // namespace e2e
