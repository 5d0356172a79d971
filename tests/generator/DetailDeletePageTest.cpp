// The detail page generator, and what all five table pages share: their
// globals and rights, the change mails, the failures.

#include "TablePageTestSupport.h"

#include "core/Exception.h"
#include "generator/PhpSql.h"
#include "generator/phpdelete.h"
#include "generator/phpdetail.h"
#include "generator/phpinsert.h"
#include "generator/phplist.h"
#include "generator/phpupdate.h"

#include <array>
#include <cstring>
#include <tuple>

namespace {

using tablepages::TablePageTest;
using tablepages::TProbeOutput;

template <class TGenerator>
void Make(const TGeneratorContext& context) {
  TGenerator(context).Generate();
}

struct TPage {
  const char* Name;
  void (*Generate)(const TGeneratorContext&);
  std::string TWebTable::*Right;
  const tablepages::TPageNames& Names;
};

const TPage kPages[] = {
    {"list", Make<TListGenerator>, &TWebTable::ListRight, tablepages::kListNames},
    {"insert", Make<TInsertGenerator>, &TWebTable::InsertRight, tablepages::kInsertNames},
    {"update", Make<TUpdateGenerator>, &TWebTable::UpdateRight, tablepages::kUpdateNames},
    {"detail", Make<TDetailGenerator>, &TWebTable::DetailRight, tablepages::kDetailNames},
    {"delete", Make<TDeleteGenerator>, &TWebTable::DeleteRight, tablepages::kDeleteNames},
};

using TablePagesTest = TablePageTest;

TEST_F(TablePagesTest, SharedGlobalsOfEveryPageAndTheirRights) {
  TWebTable& table = AddTable("my$db", "a\"b");
  table.Caption = "It's <b>";
  AddColumn(table, "id").Key = true;
  AddColumn(table, "it's").Key = true;
  AddColumn(table, "note");
  FProject.SiteCaption = "Site's";
  FProject.TableAlign = "Left\" onclick=\"x";  // the templates put it in an attribute
  FProject.TableWidth = 640;
  std::map<std::string, std::string> values = {
      {"yzt_table_name", "a\"b"},
      {"yzt_db_name", "my$db"},
      {"yzt_db_link", "${'MyDb_my$db'}"},
      {"yzt_sql_table", "`my\\$db`.`a\\\"b`"},
      {"yzt_key", BuildKeyCondition(table)},
      {"yzt_table_key_field", BuildKeyUrlParams(table)},
      {"yzt_table_name_caption", "It's <b>"},
      {"yzt_page_title_name", "Site's"},
      {"yzt_page_align", "Left&quot; onclick=&quot;x"},
      {"yzt_page_width", "640"},
  };
  ASSERT_NE(values["yzt_table_key_field"].find("&it%27s="), std::string::npos);
  const std::pair<const char*, const char*> rights[] = {{"Guest", "0"}, {"Admin", "1"}, {"guest", "1"}, {"", "1"}};
  for (const TPage& page : kPages) {
    for (const auto& [right, flag] : rights) {
      SCOPED_TRACE(std::string(page.Name) + " right [" + right + "]");
      // Every other page's right the other way, to see each page read its own.
      const bool guest = std::string(flag) == "0";
      table.ListRight = table.InsertRight = table.UpdateRight = table.DetailRight = table.DeleteRight =
          guest ? "Admin" : "Guest";
      table.*page.Right = right;
      FProject.WidthType = guest ? 0 : 1;
      values["yzt_page_width_type"] = guest ? "%" : "";
      page.Generate(Context());
      const TProbeOutput out = Read(page.Name);
      EXPECT_EQ(out.Global("yzt_page_right"), flag);
      const auto& own = page.Names.Globals;
      for (const auto& [name, value] : values)
        EXPECT_EQ(out.Global(name), std::find(own.begin(), own.end(), name) != own.end() ? value : "") << name;
    }
  }
}

TEST_F(TablePagesTest, ChangeMailsFollowTheContentOption) {
  TWebTable& t = AddTable("shop", "t");
  // Columns on the insert page (i), the update page (u), the list (l).
  for (const auto& [name, caption, flags] : {std::tuple{"a", "A", "iul"}, {"b", "B's $", "iu"}, {"c", "C", "l"},
                                             {"d", "D", "i"}, {"e", "E", "u"}}) {
    TWebInput& input = AddColumn(t, name, *name == 'b' ? "Checkbox" : "Text");
    input.Caption = caption;
    input.Insert = std::strchr(flags, 'i');
    input.Update = std::strchr(flags, 'u');
    input.List = std::strchr(flags, 'l');
  }
  FProject.mailSendTo = "o'neil@example.com";
  FProject.mailSubject = "Row's \\ here";
  FProject.mailFrom = "c'd@example.com";
  const auto line = [](const std::string& caption, const std::string& value) {
    return std::string(16, ' ') + ".\"\\n" + caption + "=\"." + value + "\r\n";
  };
  const std::string a = line("A", "requestValue('a')"), b = line("B's \\$", "getCheckboxValue('b')"),
                    c = line("C", "requestValue('c')"), d = line("D", "requestValue('d')"),
                    e = line("E", "requestValue('e')");
  const std::string ins = "\"A new record was inserted\\n\\n\"\r\n", upd = "\"A record was updated\\n\\n\"\r\n",
                    del = "\"A record was deleted\\n\\n\"\r\n";
  struct TMailPage {
    const char* Name;
    void (*Generate)(const TGeneratorContext&);
    bool TProjectManager::*On;
    const char* Global;
    std::array<std::string, 4> Bodies;  // all data, list data, no data, no option
  };
  const TMailPage pages[] = {
      {"insert", Make<TInsertGenerator>, &TProjectManager::mailOnInsert, "yzt_insert_send_mail",
       {ins + a + b + d, ins + a + c, "''", ins}},
      {"update", Make<TUpdateGenerator>, &TProjectManager::mailOnUpdate, "yzt_update_send_mail",
       {upd + a + b + e, upd + a + c, "\"A record was updated\\n\\n\"", upd}},
      {"delete", Make<TDeleteGenerator>, &TProjectManager::mailOnDelete, "yzt_delete_send_mail", {del, del, del, del}},
  };
  // all data, list data, no data, the table sends mail, the page sends mail; the body, -1 for no mail
  const std::array<int, 6> cases[] = {{1, 0, 0, 1, 1, 0},  {0, 1, 0, 1, 1, 1}, {0, 0, 1, 1, 1, 2},
                                      {0, 0, 0, 1, 1, 3},  {1, 0, 0, 0, 1, -1}, {1, 0, 0, 1, 0, -1}};
  for (const TMailPage& page : pages) {
    for (const auto& [all, list, none, table, onPage, body] : cases) {
      SCOPED_TRACE(std::string(page.Name) + " case with body " + std::to_string(body));
      FProject.mailAllData = all;
      FProject.mailListData = list;
      FProject.mailNoData = none;
      t.SendMail = table;
      FProject.mailOnInsert = FProject.mailOnUpdate = FProject.mailOnDelete = !onPage;
      FProject.*page.On = onPage;
      page.Generate(Context());
      EXPECT_EQ(Read(page.Name).Global(page.Global),
                body < 0 ? "" : "qfMail('o\\'neil@example.com','Row\\'s \\\\ here'," + page.Bodies[body] +
                                    std::string(9, ' ') + ",'c\\'d@example.com');\r\n\r\n");
    }
  }
}

TEST_F(TablePagesTest, EveryPageFailsWithoutItsTableOrTemplateAndWritesNothing) {
  AddTable("shop", "t");
  for (const auto& [db, name] : {std::pair{"shop", "missing"}, {"", "t"}, {"other", "t"}}) {
    FProject.CurrentDatabase = db;
    FProject.CurrentTable = name;
    for (const TPage& page : kPages) EXPECT_THROW(page.Generate(Context()), Exception) << page.Name << " " << db;
    EXPECT_THROW(TInsertGenerator(Context()).BuildInsertMailCode(), Exception);
    EXPECT_THROW(TUpdateGenerator(Context()).BuildUpdateMailCode(), Exception);
  }
  EXPECT_TRUE(FindFiles(FOut.Path(), "*").empty());
  FProject.CurrentDatabase = "shop";
  for (const TPage& page : kPages) {
    ASSERT_EQ(::unlink(FApp.File("tpl/" + std::string(page.Name) + ".tpl").c_str()), 0);
    EXPECT_THROW(page.Generate(Context()), EFOpenError) << page.Name;
  }
}

// ---------------------------------------------------------------- detail

TEST_F(TablePagesTest, DetailShowsEachColumnByItsViewType) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "name");
  AddColumn(table, "secret").Detail = false;
  AddColumn(table, "price").View_type = "Number";
  AddColumn(table, "picture").View_type = "Picture";
  AddColumn(table, "odd").View_type = "number";
  SetLookup(AddColumn(table, "city_name", "Radiobox"), "city", "name", "");
  AddColumn(table, "it's").Caption = "It's";

  const auto rows = Run<TDetailGenerator>("detail").Of("yzt_detail_block");
  const std::vector<std::array<std::string, 3>> expected = {
      {"name", "name caption", " writeHtmlText($Resultset['name']);\r\n"},
      {"price", "price caption",
       "if ($Resultset['price'] == \"\") echo \"&nbsp;\"; else if (is_numeric($Resultset['price'])) echo "
       "number_format((float)$Resultset['price']); else echo h($Resultset['price']);"},
      {"picture", "picture caption",
       "if ($Resultset['picture'] == \"\") echo \"&nbsp;\"; else echo '<img src=\"'.h($Resultset['picture']).'\">';"},
      {"odd", "odd caption", ""},
      {"city_name", "city_name caption",
       "writeHtmlTextFromDB($MyDb_shop,'shop','city','name',$Resultset['city_name'],'name')"},
      {"it&#39;s", "It's", " writeHtmlText($Resultset['it\\'s']);\r\n"},
  };
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows[i]["yzt_field_name"], expected[i][0]);
    EXPECT_EQ(rows[i]["yzt_field_caption"], expected[i][1]);
    EXPECT_EQ(rows[i]["yzt_detail_data"], expected[i][2]);
  }

  table.ClearInputList();
  AddColumn(table, "a").Detail = false;
  EXPECT_TRUE(Run<TDetailGenerator>("detail").Of("yzt_detail_block").empty());
}

}  // namespace
