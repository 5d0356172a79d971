// The page generators over the shipped templates: the rules the golden pages
// of the fixture project cannot show. Escaping for each output context, the
// validation names, lookup joins the fixture lacks, the mail-content options
// and the failures.

#include "TestSupport.h"
#include "core/Exception.h"
#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/phpIndex.h"
#include "generator/phpLogin.h"
#include "generator/phpdbinfo.h"
#include "generator/phpdelete.h"
#include "generator/phpdetail.h"
#include "generator/phpindexmenu.h"
#include "generator/phpinsert.h"
#include "generator/phplist.h"
#include "generator/phpupdate.h"
#include "generator/TablePageCode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

using TGenerate = void (*)(const TGeneratorContext&);
template <class TGenerator>
void Make(const TGeneratorContext& context) {
  TGenerator(context).Generate();
}

struct TPage {
  const char* Name;
  TGenerate Generate;
};
const TPage kTablePages[] = {{"list", Make<TListGenerator>},     {"insert", Make<TInsertGenerator>},
                             {"update", Make<TUpdateGenerator>}, {"detail", Make<TDetailGenerator>},
                             {"delete", Make<TDeleteGenerator>}};

class TablePagesTest : public ::testing::Test {
protected:
  /** A table of the project, made current, every right "Guest". */
  TWebTable& AddTable(const std::string& db, const std::string& name) {
    auto table = std::make_unique<TWebTable>();
    table->DB = db;
    table->Name = name;
    table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = "Guest";
    TWebTable& result = *table;
    FProject.AddTable(std::move(table));
    FProject.CurrentDatabase = db;
    FProject.CurrentTable = name;
    return result;
  }

  /** A column on every page, its caption its name. */
  static TWebInput& AddColumn(TWebTable& table, const std::string& field, const std::string& input = "Text") {
    auto column = std::make_unique<TWebInput>(field);
    column->Database_field = column->Caption = field;
    column->Input_type = input;
    column->View_type = "Text";
    column->Filter_type = "No";
    column->List = column->Detail = column->Insert = column->Update = true;
    TWebInput& result = *column;
    table.AddToInputList(std::move(column));
    return result;
  }

  static TWebInput& Lookup(TWebInput& input, const std::string& table, const std::string& display) {
    input.HtmlInput->iLElementFromDb = true;
    input.HtmlInput->iLTable = table;
    input.HtmlInput->iLDisplayField = display;
    input.HtmlInput->iLValueField = "id";
    return input;
  }

  TGeneratorContext Context() const { return {FProject, qftest::SourceDir() + "/data/", FOut.Path() + "/"}; }
  std::string File(const std::string& page) const {
    return FOut.File(TablePageFileName(FProject.CurrentDatabase, FProject.CurrentTable, page));
  }
  /** One page of the current table, generated from the shipped template. */
  std::string Page(const std::string& page) {
    for (const TPage& p : kTablePages)
      if (page == p.Name) p.Generate(Context());
    return qftest::ReadFile(File(page));
  }

  TProjectManager FProject;
  qftest::TempDir FOut;
};

TEST_F(TablePagesTest, HostileNamesAndTextsAreEscapedForTheirContext) {
  FProject.TableAlign = "Left\" onclick=\"x";
  TWebTable& table = AddTable("my-$db", "it's \"t\"");
  TWebInput& text = AddColumn(table, "a'b\"$c\\");
  text.Key = true;
  text.Filter_type = "Like";
  text.Caption = "Size's <b>";
  text.UseHint = true;
  text.HintText = "Say \"hi\" & <b>bye</b>";
  text.HtmlInput->iValue = "say \"hi\" & 'bye'";
  text.HtmlInput->iCheckType = "Email";
  text.HtmlInput->iErrorText = "It's \"wrong\" </script>";
  TWebInput& radio = AddColumn(table, "it's", "Radiobox");
  radio.HtmlInput->iLSource = 1;
  radio.HtmlInput->ItemList.Add("It's $=it's $x");
  AddColumn(table, "pic", "File").HtmlInput->iFileUpDir = "it's/";
  Lookup(AddColumn(table, "l", "Combobox"), "ci`ty", "na'me");

  // The fixture lists, by output context, what each page must hold.
  TStringList expected;
  expected.LoadFromFile(qftest::SourceDir() + "/tests/fixtures/site/hostile_fragments.txt");
  ASSERT_GT(expected.Count(), 20);
  for (const std::string& line : expected)
    if (!line.empty() && line[0] != '#') {
      EXPECT_TRUE(Page(line.substr(0, line.find(' '))).find(line.substr(line.find(' ') + 1)) != std::string::npos)
          << "lacks: " << line;
    }

  // Every page stays valid PHP.
  if (std::system("php -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "php is not on PATH: pages not linted";
  for (const TPage& page : kTablePages)
    EXPECT_EQ(std::system(("php -l '" + ReplaceAll(File(page.Name), "'", "'\\''") + "' >/dev/null").c_str()), 0)
        << page.Name;
}

// The hint icon stands beside a form field whenever the field's hint is on,
// with a text or without one.
TEST_F(TablePagesTest, TheHintIconFollowsTheHintSwitchAlone) {
  TWebTable& table = AddTable("shop", "t");
  const struct {
    const char* Field;
    bool UseHint;
    const char* Text;
  } cases[] = {
      {"with_text", true, "Say hi"}, {"no_text", true, ""}, {"blank_text", true, " "}, {"off", false, "Unseen"}};
  for (const auto& c : cases) {
    TWebInput& column = AddColumn(table, c.Field);
    column.UseHint = c.UseHint;
    column.HintText = c.Text;
  }
  for (const char* page : {"insert", "update"}) {
    const std::string html = Page(page);
    for (const auto& c : cases) {
      const std::string icon = std::string("EnterContent('ToolTip','") + c.Field + "','" + c.Text + "'); Activate();";
      EXPECT_EQ(html.find(icon) != std::string::npos, c.UseHint) << page << ": " << c.Field;
    }
  }
}

TEST_F(TablePagesTest, ValidationNamesGiveTheirChecksAndRangeBoundsStayNumbers) {
  struct TCase {
    const char* Check;
    const char* Function;
    std::string Min = "", Max = "", Bounds = "";
  };
  const TCase cases[] = {
      // (checkInt, checkChar, checkPrice and checkEmail show in the golden and hostile pages)
      {"Alphabetical", "checkChar"}, {"Float", "checkFloat"}, {"Number", "checkFloat"}, {"URL", "checkURL"},
      {"PostalCode", "checkPostalCode"}, {"IP", "checkIP"}, {"No", ""}, {"integer", ""}, {"", ""}, {"Date", ""},
      {"Int Range", "checkIntRange", "0", "100", "0,100,"},
      {"Range", "checkIntRange", " 7 ", "+8", "7,+8,"},
      {"Int Range", "checkIntRange", "1.5", "-2.25", "1.5,-2.25,"},
      {"Range", "checkIntRange", "", "", "-Infinity,Infinity,"},
      {"Int Range", "checkIntRange", "abc", "1);alert(1", "-Infinity,Infinity,"},
      {"Int Range", "checkIntRange", "1.", ".5", "-Infinity,Infinity,"},
  };
  TInsertGenerator generator(Context());
  bool required = false;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Check);
    TWebInput input("f");
    input.Database_field = "f";
    input.Input_type = "Text";
    input.HtmlInput->iCheckType = c.Check;
    input.HtmlInput->iCheckMin = c.Min;
    input.HtmlInput->iCheckMax = c.Max;
    input.HtmlInput->iErrorText = "Wrong";
    input.HtmlInput->iRequired = required = !required;
    generator.ScriptList.Clear();
    const std::string args = c.Bounds + "'Wrong'," + (required ? "true" : "false") + ")";
    const std::string function = c.Function;
    const std::string attribute = "onBlur=\"" + function + "(this," + args + "\"";
    EXPECT_EQ(generator.BuildValidation(input), function.empty() ? "" : attribute);
    const std::string script = function + "(document.yztInsertForm.f," + args + "\r\n";
    EXPECT_EQ(generator.ScriptList.Text(), function.empty() ? "" : script);
  }
}

TEST_F(TablePagesTest, ListJoinsOnlyShownLookupsUnderTheirOwnAlias) {
  struct TCase {
    const char* What;
    const char* Table;
    const char* Lookup;   // the looked-up table of column c
    const char* Display;  // its display field
    const char* Select;
    bool FromDb = true;
  };
  const TCase cases[] = {
      {"lookup neither listed nor filtered", "t", "city", "name", "SELECT  `t`.`id` FROM `shop`.`t`"},
      {"no display field", "t", "city", "", "SELECT  `t`.`id` FROM `shop`.`t`"},
      {"table looking itself up", "t", "t", "name",
       "SELECT  `t`.`id` FROM `shop`.`t` LEFT JOIN `shop`.`t` AS `lk_2` ON `t`.`c` = `lk_2`.`id`"},
      {"alias never equals the table name", "lk_2", "city", "name",
       "SELECT  `lk_2`.`id` FROM `shop`.`lk_2` LEFT JOIN `shop`.`city` AS `_lk_2` ON `lk_2`.`c` = `_lk_2`.`id`"},
      {"items not from the database", "t", "city", "name", "SELECT  `t`.`id` FROM `shop`.`t`", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    FProject.Tables.clear();
    TWebTable& table = AddTable("shop", c.Table);
    AddColumn(table, "id").Key = true;
    TWebInput& lookup = Lookup(AddColumn(table, "c", "Combobox"), c.Lookup, c.Display);
    lookup.List = false;
    // Filtered only where a join is wanted.
    if (std::string(c.Select).find("JOIN") != std::string::npos || !c.FromDb) lookup.Filter_type = "Like";
    lookup.HtmlInput->iLElementFromDb = c.FromDb;
    EXPECT_NE(Page("list").find("$selectSql = qfSelectExact('" + std::string(c.Select) + "', "), std::string::npos);
  }
}

// The list page fetches the rows after a row through that row's values only
// where the server compares their text exactly as it sorts the column, and
// only as far as it sorts long values.
TEST(ListSeekTypeTest, KeyPagingOnlyOverValuesComparedAsTheyAreSorted) {
  const std::tuple<std::string, std::string, int> cases[] = {
      {"int(10) unsigned zerofill", "n", 0}, {"BIGINT(20)", "n", 0}, {"decimal(65,30)", "n", 0},
      {"year(4)", "n", 0}, {"tinyint(1)", "n", 0}, {"date", "s", 0}, {"datetime(6)", "s", 0},
      {"varchar(255)", "s", 1020}, {"varchar(600)", "s", 2400}, {"char", "s", 4}, {"binary(16)", "b", 16},
      {"varbinary(3000)", "b", 3000},
      // The text read back is not what the server sorts by.
      {"float", "", 0}, {"double(10,2)", "", 0}, {"enum('b','a')", "", 0}, {"set('a','b')", "", 0},
      {"timestamp", "", 0}, {"bit(1)", "", 0}, {"text", "", 0}, {"longblob", "", 0}, {"varchar", "", 0},
      {"varchar(x)", "", 0}, {"", "", 0}};
  for (const auto& [type, kind, bytes] : cases) {
    const TSeekType seek = SeekType(type);
    EXPECT_EQ(seek.Kind, kind) << type;
    EXPECT_EQ(seek.SortBytes, bytes) << type;
  }
}

TEST_F(TablePagesTest, ChangeMailsFollowTheContentOption) {
  TWebTable& table = AddTable("shop", "t");
  // Columns on the insert page (i), the update page (u), the list (l).
  for (const auto& [name, flags] : {std::pair{"a", "iul"}, {"b", "iu"}, {"c", "l"}, {"d", "i"}, {"e", "u"}}) {
    TWebInput& input = AddColumn(table, name, *name == 'b' ? "Checkbox" : "Text");
    input.Insert = std::string(flags).find('i') != std::string::npos;
    input.Update = std::string(flags).find('u') != std::string::npos;
    input.List = std::string(flags).find('l') != std::string::npos;
  }
  FProject.mailSendTo = "to@example.com";
  FProject.mailSubject = "s";
  FProject.mailFrom = "f@example.com";
  const auto line = [](const std::string& field, const std::string& value) {
    return std::string(16, ' ') + ".\"\\n" + field + "=\"." + value + "\r\n";
  };
  const std::string a = line("a", "requestValue('a')"), b = line("b", "getCheckboxValue('b')"),
                    c = line("c", "requestValue('c')"), d = line("d", "requestValue('d')"),
                    e = line("e", "requestValue('e')");
  const std::string ins = "\"A new record was inserted\\n\\n\"\r\n", upd = "\"A record was updated\\n\\n\"\r\n",
                    del = "\"A record was deleted\\n\\n\"\r\n";
  struct TMailPage {
    const char* Name;
    bool TProjectManager::*On;
    std::string Bodies[4];  // all data, list data, no data, no option
  };
  const TMailPage pages[] = {
      {"insert", &TProjectManager::mailOnInsert, {ins + a + b + d, ins + a + c, "''", ins}},
      {"update", &TProjectManager::mailOnUpdate, {upd + a + b + e, upd + a + c, "\"A record was updated\\n\\n\"", upd}},
      {"delete", &TProjectManager::mailOnDelete, {del, del, del, del}},
  };
  for (const TMailPage& page : pages)
    for (int option = 0; option < 6; ++option) {
      // Options 0 to 3 as the bodies; 4: the table sends no mail; 5: the page sends none.
      SCOPED_TRACE(std::string(page.Name) + " option " + std::to_string(option));
      FProject.mailAllData = option == 0 || option >= 4;
      FProject.mailListData = option == 1;
      FProject.mailNoData = option == 2;
      table.SendMail = option != 4;
      FProject.mailOnInsert = FProject.mailOnUpdate = FProject.mailOnDelete = true;
      FProject.*page.On = option != 5;
      const std::string text = Page(page.Name);
      const size_t start = text.find("qfMail(");
      if (option >= 4) {
        EXPECT_EQ(start, std::string::npos);
        continue;
      }
      ASSERT_NE(start, std::string::npos);
      EXPECT_EQ(text.substr(start, text.find(");", start) + 2 - start),
                "qfMail('to@example.com','s'," + page.Bodies[option] + std::string(9, ' ') + ",'f@example.com');");
    }
}

TEST_F(TablePagesTest, MissingTableTemplateOrTargetRaisesAndWritesNothing) {
  const TPage sitePages[] = {{"general/dbinfo.php", Make<TSQLGenerator>}, {"general/login.php", Make<TLoginGenerator>},
                             {"index.html", Make<TIndexGenerator>},       {"menu.php", Make<TIndexMenuGenerator>}};
  AddColumn(AddTable("shop", "t"), "a");
  for (const auto& [db, name] : {std::pair{"shop", "missing"}, {"", "t"}, {"other", "t"}}) {
    FProject.CurrentDatabase = db;
    FProject.CurrentTable = name;
    for (const TPage& page : kTablePages) EXPECT_THROW(page.Generate(Context()), Exception) << page.Name << " " << db;
  }
  EXPECT_TRUE(FindFiles(FOut.Path(), "*").empty());

  // Folders in place of the targets: no write can succeed, not even as root.
  FProject.CurrentDatabase = "shop";
  for (const TPage& page : kTablePages) ForceDirectories(File(page.Name));
  for (const TPage& page : sitePages) ForceDirectories(FOut.File(page.Name));
  qftest::TempDir emptyApp;
  const TGeneratorContext noTemplates{FProject, emptyApp.Path() + "/", FOut.Path() + "/"};
  for (const auto& pages : {std::vector<TPage>(std::begin(kTablePages), std::end(kTablePages)),
                            std::vector<TPage>(std::begin(sitePages), std::end(sitePages))})
    for (const TPage& page : pages) {
      EXPECT_THROW(page.Generate(Context()), EInOutError) << page.Name;
      EXPECT_THROW(page.Generate(noTemplates), EFOpenError) << page.Name;
    }
}

}  // namespace
