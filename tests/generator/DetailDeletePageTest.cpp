// The detail and delete page generators, filled into probe templates.

#include "TablePageTestSupport.h"

#include "core/Exception.h"
#include "generator/PhpSql.h"
#include "generator/phpdelete.h"
#include "generator/phpdetail.h"

namespace {

using tablepages::TablePageTest;
using tablepages::TProbeOutput;

class DetailDeletePageTest : public TablePageTest {
protected:
  void SetUp() override {
    TablePageTest::SetUp();
    WriteProbe("detail", tablepages::DetailPageNames());
    // With page variables the delete page does not get, to see them empty.
    tablepages::TPageNames names = tablepages::DeletePageNames();
    for (const char* name : {"yzt_table_name_caption", "yzt_page_title_name", "yzt_page_width"})
      names.Globals.push_back(name);
    WriteProbe("delete", names);
  }
};

// ---------------------------------------------------------------- detail

TEST_F(DetailDeletePageTest, DetailGlobals) {
  TWebTable& table = AddTable("my-db", "notes");
  AddColumn(table, "id").Key = true;
  table.Caption = "Notes";
  FProject.SiteCaption = "Site";
  FProject.TableWidth = 70;
  FProject.WidthType = 0;
  FProject.TableAlign = "<Center>";
  const TProbeOutput out = Run<TDetailGenerator>("detail");
  EXPECT_EQ(out.Global("yzt_page_align"), "&lt;Center&gt;");
  EXPECT_EQ(out.Global("yzt_table_name"), "notes");
  EXPECT_EQ(out.Global("yzt_table_name_caption"), "Notes");
  EXPECT_EQ(out.Global("yzt_key"), BuildKeyCondition(table));
  EXPECT_EQ(out.Global("yzt_table_key_field"), BuildKeyUrlParams(table));
  EXPECT_EQ(out.Global("yzt_db_name"), "my-db");
  EXPECT_EQ(out.Global("yzt_page_title_name"), "Site");
  EXPECT_EQ(out.Global("yzt_page_width"), "70");
  EXPECT_EQ(out.Global("yzt_page_width_type"), "%");
  EXPECT_EQ(out.Global("yzt_db_link"), "${'MyDb_my-db'}");
  EXPECT_EQ(out.Global("yzt_sql_table"), "`my-db`.`notes`");

  const std::pair<const char*, const char*> rights[] = {{"Guest", "0"}, {"Admin", "1"}, {"guest", "1"}};
  for (const auto& [right, flag] : rights) {
    table.DetailRight = right;
    EXPECT_EQ(Run<TDetailGenerator>("detail").Global("yzt_page_right"), flag) << right;
  }
}

TEST_F(DetailDeletePageTest, DetailShowsEachColumnByItsViewType) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "name");
  AddColumn(table, "secret").Detail = false;
  AddColumn(table, "price").View_type = "Number";
  AddColumn(table, "picture").View_type = "Picture";
  AddColumn(table, "odd").View_type = "number";
  TWebInput& status = AddColumn(table, "status", "Radiobox");
  SetItems(status, {"New=new", "It's=it's"});
  TWebInput& colours = AddColumn(table, "colours", "Checkbox");
  SetItems(colours, {});
  SetLookup(AddColumn(table, "city_id", "Combobox"), "city", "name", "id");
  SetItems(AddColumn(table, "kind", "Combobox"), {"A=a"});
  SetLookup(AddColumn(table, "city_name", "Radiobox"), "city", "name", "");
  TWebInput& quoted = AddColumn(table, "it's");
  quoted.Caption = "It's";

  const TProbeOutput out = Run<TDetailGenerator>("detail");
  const auto rows = out.Of("yzt_detail_block");
  ASSERT_EQ(rows.size(), 10u);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"name", " writeHtmlText($Resultset['name']);\r\n"},
      {"price",
       "if ($Resultset['price'] == \"\") echo \"&nbsp;\"; else if (is_numeric($Resultset['price'])) echo "
       "number_format((float)$Resultset['price']); else echo h($Resultset['price']);"},
      {"picture",
       "if ($Resultset['picture'] == \"\") echo \"&nbsp;\"; else echo '<img src=\"'.h($Resultset['picture']).'\">';"},
      {"odd", ""},
      {"status",
       "if ($Resultset['status'] == 'new') writeHtmlText('New');\r\n"
       "if ($Resultset['status'] == 'it\\'s') writeHtmlText('It\\'s');\r\n"},
      {"colours", ""},
      {"city_id", "writeHtmlTextFromDB($MyDb_shop,'shop','city','id',$Resultset['city_id'],'name')"},
      {"kind", " writeHtmlText($Resultset['kind']);\r\n"},
      {"city_name", "writeHtmlTextFromDB($MyDb_shop,'shop','city','name',$Resultset['city_name'],'name')"},
      {"it&#39;s", " writeHtmlText($Resultset['it\\'s']);\r\n"},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows[i]["yzt_field_name"], expected[i].first) << i;
    EXPECT_EQ(rows[i]["yzt_detail_data"], expected[i].second) << i;
  }
  EXPECT_EQ(rows[0]["yzt_field_caption"], "name caption");
  EXPECT_EQ(rows[9]["yzt_field_caption"], "It's");
}

TEST_F(DetailDeletePageTest, DetailOfTableWithoutDetailColumnsHasNoRows) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "a").Detail = false;
  EXPECT_TRUE(Run<TDetailGenerator>("detail").Of("yzt_detail_block").empty());
  table.ClearInputList();
  EXPECT_TRUE(Run<TDetailGenerator>("detail").Of("yzt_detail_block").empty());
}

// ---------------------------------------------------------------- delete

TEST_F(DetailDeletePageTest, DeleteGlobalsOnly) {
  TWebTable& table = AddTable("shop", "order");
  AddColumn(table, "id").Key = true;
  table.DeleteRight = "Admin";
  const TProbeOutput out = Run<TDeleteGenerator>("delete");
  EXPECT_EQ(out.Global("yzt_page_right"), "1");
  EXPECT_EQ(out.Global("yzt_table_name"), "order");
  EXPECT_EQ(out.Global("yzt_key"), BuildKeyCondition(table));
  EXPECT_EQ(out.Global("yzt_db_name"), "shop");
  EXPECT_EQ(out.Global("yzt_delete_send_mail"), "");
  EXPECT_EQ(out.Global("yzt_sql_table"), "`shop`.`order`");
  EXPECT_EQ(out.Global("yzt_db_link"), "$MyDb_shop");
  EXPECT_EQ(out.Global("yzt_table_name_caption"), "");
  EXPECT_EQ(out.Global("yzt_page_title_name"), "");
  EXPECT_EQ(out.Global("yzt_page_width"), "");

  table.DeleteRight = "Guest";
  EXPECT_EQ(Run<TDeleteGenerator>("delete").Global("yzt_page_right"), "0");
}

TEST_F(DetailDeletePageTest, DeleteMailIsTheSameForEveryContentOption) {
  TWebTable& table = AddTable("shop", "t");
  AddColumn(table, "a");
  FProject.mailSendTo = "o'neil@example.com";
  FProject.mailSubject = "Gone";
  FProject.mailFrom = "site@example.com";
  const std::string expected = "qfMail('o\\'neil@example.com','Gone',\"A record was deleted\\n\\n\"\r\n" +
                               std::string(9, ' ') + ",'site@example.com');\r\n\r\n";
  struct TCase {
    bool SendMail, OnDelete, All, List, None;
    bool Sent;
  };
  const TCase cases[] = {
      {true, true, true, false, false, true},  {true, true, false, true, false, true},
      {true, true, false, false, true, true},  {true, true, false, false, false, true},
      {false, true, true, false, false, false}, {true, false, true, false, false, false},
  };
  for (const TCase& c : cases) {
    table.SendMail = c.SendMail;
    FProject.mailOnDelete = c.OnDelete;
    FProject.mailOnInsert = FProject.mailOnUpdate = !c.OnDelete;
    FProject.mailAllData = c.All;
    FProject.mailListData = c.List;
    FProject.mailNoData = c.None;
    EXPECT_EQ(Run<TDeleteGenerator>("delete").Global("yzt_delete_send_mail"), c.Sent ? expected : "");
  }
}

TEST_F(DetailDeletePageTest, NoCurrentTableRaisesForBothPages) {
  FProject.CurrentDatabase = "shop";
  FProject.CurrentTable = "t";
  TDetailGenerator detail(Context());
  TDeleteGenerator remove(Context());
  EXPECT_THROW(detail.Generate(), Exception);
  EXPECT_THROW(remove.Generate(), Exception);
  EXPECT_TRUE(FindFiles(FOut.Path(), "*").empty());
}

}  // namespace
