// The shipped table-page templates, filled for a project modelled on the
// fixture schemas (shop and my-db), must give pages that PHP accepts.

#include "TablePageTestSupport.h"

#include "generator/phpdelete.h"
#include "generator/phpdetail.h"
#include "generator/phpinsert.h"
#include "generator/phplist.h"
#include "generator/phpupdate.h"
#include "model/General.h"

namespace {

class TablePagesPhpTest : public tablepages::TablePageTest {
protected:
  void SetUp() override {
    const auto php = tablepages::FindPhp();
    if (!php) GTEST_SKIP() << "php is not on PATH: the generated pages are not linted";
    FPhp = *php;
  }

  TWebTable& Table(const std::string& db, const std::string& name, const std::string& right) {
    TWebTable& table = AddTable(db, name);
    table.Caption = name + "'s \"records\"";
    table.InsertRight = table.UpdateRight = table.DeleteRight = right;
    table.SendMail = true;
    return table;
  }

  /** A column of the SQL type; enum and set types bring their items. */
  static TWebInput& Column(TWebTable& table, const std::string& field, const std::string& type,
                           const std::string& input, bool key = false) {
    TWebInput& column = AddColumn(table, field, input);
    column.Type = type;
    column.Key = key;
    column.Caption = field;
    std::string kind;
    ParseEnumSet(type, column.HtmlInput->ItemList, kind);
    if (!kind.empty()) column.HtmlInput->iLSource = 1;
    return column;
  }

  static TWebInput& Check(TWebInput& column, const std::string& check, const std::string& error = "",
                          bool required = false) {
    column.HtmlInput->iCheckType = check;
    column.HtmlInput->iErrorText = error;
    column.HtmlInput->iRequired = required;
    return column;
  }

  /** Every input type, quotes in captions, texts and enum values, lookups, a
   *  composite key, a table without key, reserved words, a hyphenated database. */
  void BuildProject() {
    FProject.SiteCaption = "Shop's \"site\"";
    FProject.mailOnInsert = FProject.mailOnUpdate = FProject.mailOnDelete = FProject.mailAllData = true;
    FProject.mailSendTo = "o'neil@example.com";
    FProject.mailSubject = "Change in \"shop\" isn't $none";
    FProject.mailFrom = "site'@example.com";

    TWebTable& city = Table("shop", "city", "Guest");
    Column(city, "id", "int(11)", "Text", true).Insert = false;
    Column(city, "name", "varchar(100)", "Text").Filter_type = "Like";

    TWebTable& customer = Table("shop", "customer", "Admin");
    Column(customer, "id", "int(11)", "Hidden", true).HtmlInput->iHiValue = "echo '';";
    Check(Column(customer, "name", "varchar(100)", "Text"), "Alphabetical");
    Check(Column(customer, "email", "varchar(255)", "Text"), "Email", "That isn't an \"e-mail\" address");
    TWebInput& customerCity = SetLookup(Column(customer, "city_id", "int(11)", "Listbox"), "city", "name", "id");
    customerCity.Filter_type = "Interval";
    customerCity.HtmlInput->iLWhereField = "name";
    customerCity.HtmlInput->iLRelation = "Unlike";
    customerCity.HtmlInput->iLValue = "L'%";
    customerCity.HtmlInput->iLShort = "Desc";

    TWebTable& products = Table("shop", "products", "Guest");
    Check(Column(products, "id", "int(11)", "Text", true), "Integer").Insert = false;
    TWebInput& name = Check(Column(products, "name", "varchar(80)", "Text"), "Character", "Name isn't valid", true);
    name.Caption = "Product's name";
    name.Filter_type = "Like";
    name.UseHint = true;
    name.HintText = "The \"name\" isn't <b>bold</b>";
    name.HtmlInput->iValue = "it's \"new\"";
    TWebInput& description = Column(products, "description", "text", "Textarea");
    description.HtmlInput->iTAWidth = 40;
    description.HtmlInput->iTALines = 5;
    TWebInput& price = Check(Column(products, "price", "decimal(10,2)", "Text"), "Int Range");
    price.View_type = "Number";
    price.Filter_type = "Interval";
    price.HtmlInput->iCheckMin = price.HtmlInput->iCheckMax = "";
    Check(Column(products, "released", "date", "Password"), "Range");
    Column(products, "updated_at", "datetime", "Hidden").HtmlInput->iHiValue = "echo h(date('Y-m-d H:i:s'));";
    // Every list control with fixed and with lookup items, the caption, error text and items quoted.
    for (const std::string input : {"Combobox", "Listbox", "Checkbox", "Radiobox", "text"}) {
      for (const bool lookup : {false, true}) {
        TWebInput& status = Check(Column(products, "status_" + input + (lookup ? "_lookup" : ""),
                                         "enum('new','used','it''s')", input),
                                  "No", "Pick one, it's required", true);
        status.Caption = "Status's";
        status.HtmlInput->iRaHorizontal = lookup;
        status.HtmlInput->ItemList.Add("Quote \"q\"=\"q\"");
        if (lookup) SetLookup(status, "city", "name", "");
      }
    }
    Column(products, "colours", "set('red','green','blue')", "Checkbox").Filter_type = "Like";
    TWebInput& picture = Column(products, "picture", "varchar(255)", "File");
    picture.View_type = "Picture";
    picture.HtmlInput->iFileUpDir = "uploads/it's/";
    SetLookup(Column(products, "city_id", "int(11)", "Combobox"), "city", "name", "id").Filter_type = "Like";

    TWebTable& order = Table("shop", "order", "Admin");
    Column(order, "id", "int(11)", "Text", true).Insert = false;
    SetLookup(Column(order, "customer_id", "int(11)", "Radiobox"), "customer", "name", "id");
    Column(order, "key", "varchar(32)", "Text").Filter_type = "Like";
    Column(order, "placed", "datetime", "Text").Filter_type = "Interval";

    TWebTable& item = Table("shop", "order_item", "Guest");
    SetLookup(Column(item, "order_id", "int(11)", "Combobox", true), "order", "key", "id");
    SetLookup(Column(item, "product_id", "int(11)", "Combobox", true), "products", "name", "id");
    Column(item, "quantity", "int(11)", "Text").View_type = "Number";

    TWebTable& log = Table("shop", "audit_log", "Guest");
    Column(log, "logged_at", "datetime", "Text").Filter_type = "Interval";
    Column(log, "message", "varchar(255)", "Textarea").Filter_type = "Like";

    TWebTable& notes = Table("my-db", "notes", "Admin");
    Column(notes, "id", "int(11)", "Text", true).Insert = false;
    Column(notes, "title", "varchar(100)", "Text").Filter_type = "Like";
    SetLookup(Column(notes, "body", "text", "Checkbox"), "notes", "title", "id");
  }

  /** Generates the five pages of every table from the shipped templates and
   *  expects each to pass "php -l"; how many pages it checked. */
  size_t ExpectValidPages() {
    const TGeneratorContext context{FProject, qftest::SourceDir() + "/data/", FOut.Path() + "/"};
    size_t pages = 0;
    for (const auto& table : FProject.Tables) {
      FProject.CurrentDatabase = table->DB;
      FProject.CurrentTable = table->Name;
      TListGenerator(context).Generate();
      TInsertGenerator(context).Generate();
      TUpdateGenerator(context).Generate();
      TDetailGenerator(context).Generate();
      TDeleteGenerator(context).Generate();
      for (const char* page : {"list", "insert", "update", "detail", "delete"}) {
        const std::string file = OutputFile(page);
        SCOPED_TRACE(file);
        const std::string text = qftest::ReadFile(file);
        EXPECT_EQ(text.find("TemplateEngine Error"), std::string::npos);
        EXPECT_EQ(text.find("{yzt_"), std::string::npos);
        const tablepages::TRun run = tablepages::RunPhp(FPhp, {"-n", "-l", file}, FScratch);
        EXPECT_EQ(run.Code, 0) << run.Out << run.Err;
        EXPECT_NE(run.Out.find("No syntax errors detected"), std::string::npos) << run.Out << run.Err;
        ++pages;
      }
    }
    return pages;
  }

  std::string FPhp;
  qftest::TempDir FScratch;
};

TEST_F(TablePagesPhpTest, EveryPageOfTheFixtureProjectPassesPhpLint) {
  BuildProject();
  EXPECT_EQ(ExpectValidPages(), 7u * 5u);
}

}  // namespace
