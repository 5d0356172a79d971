// The shipped table-page templates, filled for a project modelled on the
// fixture schemas (shop and my-db), must give pages that PHP accepts.

#include "TestSupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/phpdelete.h"
#include "generator/phpdetail.h"
#include "generator/phpinsert.h"
#include "generator/phplist.h"
#include "generator/phpupdate.h"
#include "model/General.h"
#include "model/ProjectManager.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

std::optional<std::string> FindPhp() {
  const char* path = std::getenv("PATH");
  if (!path) return std::nullopt;
  for (const std::string& dir : SplitString(path, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/php";
    if (FileExists(candidate)) return candidate;
  }
  return std::nullopt;
}

std::string ShellQuoted(const std::string& text) { return "'" + ReplaceAll(text, "'", "'\\''") + "'"; }

/** Runs the command; its exit code, with stdout and stderr in output. */
int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TWebInput& Column(TWebTable& table, const std::string& field, const std::string& type, const std::string& input,
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

void Lookup(TWebInput& input, const std::string& table, const std::string& display, const std::string& value) {
  TBaseHtmlInput& html = *input.HtmlInput;
  html.iLSource = 0;
  html.iLElementFromDb = true;
  html.iLTable = table;
  html.iLDisplayField = display;
  html.iLValueField = value;
}

TWebTable& Table(TProjectManager& project, const std::string& db, const std::string& name, const std::string& right) {
  auto table = std::make_unique<TWebTable>();
  table->DB = db;
  table->Name = name;
  table->Caption = name + "'s \"records\"";
  table->InsertRight = table->UpdateRight = table->DeleteRight = right;
  table->DetailRight = table->ListRight = "Guest";
  table->SendMail = true;
  TWebTable& result = *table;
  project.AddTable(std::move(table));
  return result;
}

/** The fixture schemas as an imported and edited project: every input type,
 *  quotes in captions, texts and enum values, lookups, a composite key, a
 *  table without key, reserved words and a database name with a hyphen. */
void BuildProject(TProjectManager& project, const std::string& statusInput, int statusSource) {
  project.SiteCaption = "Shop's \"site\"";
  project.mailOnInsert = project.mailOnUpdate = project.mailOnDelete = true;
  project.mailAllData = true;
  project.mailSendTo = "o'neil@example.com";
  project.mailSubject = "Change in \"shop\" isn't $none";
  project.mailFrom = "site'@example.com";

  TWebTable& city = Table(project, "shop", "city", "Guest");
  Column(city, "id", "int(11)", "Text", true).Insert = false;
  Column(city, "name", "varchar(100)", "Text").Filter_type = "Like";

  TWebTable& customer = Table(project, "shop", "customer", "Admin");
  Column(customer, "id", "int(11)", "Hidden", true).HtmlInput->iHiValue = "echo '';";
  Column(customer, "name", "varchar(100)", "Text").HtmlInput->iCheckType = "Alphabetical";
  TWebInput& email = Column(customer, "email", "varchar(255)", "Text");
  email.HtmlInput->iCheckType = "Email";
  email.HtmlInput->iErrorText = "That isn't an \"e-mail\" address";
  TWebInput& customerCity = Column(customer, "city_id", "int(11)", "Listbox");
  Lookup(customerCity, "city", "name", "id");
  customerCity.HtmlInput->iLWhereField = "name";
  customerCity.HtmlInput->iLRelation = "Unlike";
  customerCity.HtmlInput->iLValue = "L'%";
  customerCity.HtmlInput->iLShort = "Desc";
  customerCity.Filter_type = "Interval";

  TWebTable& products = Table(project, "shop", "products", "Guest");
  TWebInput& id = Column(products, "id", "int(11)", "Text", true);
  id.Insert = false;
  id.HtmlInput->iCheckType = "Integer";
  TWebInput& name = Column(products, "name", "varchar(80)", "Text");
  name.Caption = "Product's name";
  name.Filter_type = "Like";
  name.UseHint = true;
  name.HintText = "The \"name\" isn't <b>bold</b>";
  name.HtmlInput->iCheckType = "Character";
  name.HtmlInput->iRequired = true;
  name.HtmlInput->iErrorText = "Name isn't valid";
  name.HtmlInput->iValue = "it's \"new\"";
  TWebInput& description = Column(products, "description", "text", "Textarea");
  description.HtmlInput->iTAWidth = 40;
  description.HtmlInput->iTALines = 5;
  description.View_type = "Text";
  TWebInput& price = Column(products, "price", "decimal(10,2)", "Text");
  price.View_type = "Number";
  price.Filter_type = "Interval";
  price.HtmlInput->iCheckType = "Int Range";
  price.HtmlInput->iCheckMin = "";
  price.HtmlInput->iCheckMax = "";
  TWebInput& released = Column(products, "released", "date", "Password");
  released.HtmlInput->iCheckType = "Range";
  TWebInput& updated = Column(products, "updated_at", "datetime", "Hidden");
  updated.HtmlInput->iHiValue = "echo h(date('Y-m-d H:i:s'));";
  TWebInput& status = Column(products, "status", "enum('new','used','it''s')", statusInput);
  status.Caption = "Status's";
  status.HtmlInput->iErrorText = "Pick one, it's required";
  status.HtmlInput->iRequired = true;
  status.HtmlInput->ItemList.Add("Quote \"q\"=\"q\"");
  if (statusSource == 0) Lookup(status, "city", "name", "");
  status.HtmlInput->iRaHorizontal = true;
  TWebInput& colours = Column(products, "colours", "set('red','green','blue')", "Checkbox");
  colours.Filter_type = "Like";
  TWebInput& picture = Column(products, "picture", "varchar(255)", "File");
  picture.View_type = "Picture";
  picture.HtmlInput->iFileUpDir = "uploads/it's/";
  TWebInput& productCity = Column(products, "city_id", "int(11)", "Combobox");
  Lookup(productCity, "city", "name", "id");
  productCity.Filter_type = "Like";
  productCity.View_type = "Text";

  TWebTable& order = Table(project, "shop", "order", "Admin");
  Column(order, "id", "int(11)", "Text", true).Insert = false;
  TWebInput& customerId = Column(order, "customer_id", "int(11)", "Radiobox");
  Lookup(customerId, "customer", "name", "id");
  Column(order, "key", "varchar(32)", "Text").Filter_type = "Like";
  Column(order, "placed", "datetime", "Text").Filter_type = "Interval";

  TWebTable& item = Table(project, "shop", "order_item", "Guest");
  Lookup(Column(item, "order_id", "int(11)", "Combobox", true), "order", "key", "id");
  Lookup(Column(item, "product_id", "int(11)", "Combobox", true), "products", "name", "id");
  Column(item, "quantity", "int(11)", "Text").View_type = "Number";

  TWebTable& log = Table(project, "shop", "audit_log", "Guest");
  Column(log, "logged_at", "datetime", "Text").Filter_type = "Interval";
  Column(log, "message", "varchar(255)", "Textarea").Filter_type = "Like";

  TWebTable& notes = Table(project, "my-db", "notes", "Admin");
  Column(notes, "id", "int(11)", "Text", true).Insert = false;
  TWebInput& title = Column(notes, "title", "varchar(100)", "Text");
  title.Filter_type = "Like";
  Lookup(Column(notes, "body", "text", "Checkbox"), "notes", "title", "id");
}

class TablePagesPhpTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto php = FindPhp();
    if (!php) GTEST_SKIP() << "php is not on PATH: the generated pages are not linted";
    FPhp = *php;
  }

  /** Generates the five pages of every table; the names of the files written. */
  std::vector<std::string> GenerateAll(TProjectManager& project, const std::string& outFolder,
                                       const std::string& onlyTable = "") {
    const TGeneratorContext context{project, qftest::SourceDir() + "/data/", outFolder + "/"};
    TListGenerator list(context);
    TInsertGenerator insert(context);
    TUpdateGenerator update(context);
    TDetailGenerator detail(context);
    TDeleteGenerator remove(context);
    std::vector<std::string> files;
    for (const auto& table : project.Tables) {
      if (!onlyTable.empty() && table->Name != onlyTable) continue;
      project.CurrentDatabase = table->DB;
      project.CurrentTable = table->Name;
      list.Generate();
      insert.Generate();
      update.Generate();
      detail.Generate();
      remove.Generate();
      for (const char* page : {"list", "insert", "update", "detail", "delete"})
        files.push_back(outFolder + "/" + table->DB + "_" + table->Name + "_" + page + ".php");
    }
    return files;
  }

  void ExpectValidPages(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
      SCOPED_TRACE(file);
      ASSERT_TRUE(FileExists(file));
      const std::string text = qftest::ReadFile(file);
      EXPECT_EQ(text.find("TemplateEngine Error"), std::string::npos);
      EXPECT_EQ(text.find("{yzt_"), std::string::npos);
      std::string output;
      const int code = RunCommand(ShellQuoted(FPhp) + " -n -l " + ShellQuoted(file), output);
      EXPECT_EQ(code, 0) << output;
      EXPECT_NE(output.find("No syntax errors detected"), std::string::npos) << output;
    }
  }

  std::string FPhp;
};

TEST_F(TablePagesPhpTest, EveryPageOfTheFixtureProjectPassesPhpLint) {
  qftest::TempDir out;
  TProjectManager project;
  BuildProject(project, "Radiobox", 1);
  const std::vector<std::string> files = GenerateAll(project, out.Path());
  EXPECT_EQ(files.size(), 7u * 5u);
  ExpectValidPages(files);
}

TEST_F(TablePagesPhpTest, EveryListControlWithFixedAndLookupItemsPassesPhpLint) {
  for (const char* input : {"Combobox", "Listbox", "Checkbox", "Radiobox", "text"}) {
    for (int source : {0, 1}) {
      SCOPED_TRACE(std::string(input) + (source == 0 ? " lookup" : " fixed"));
      qftest::TempDir out;
      TProjectManager project;
      BuildProject(project, input, source);
      ExpectValidPages(GenerateAll(project, out.Path(), "products"));
    }
  }
}

}  // namespace
