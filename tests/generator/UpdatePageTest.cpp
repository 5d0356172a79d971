// The update page generator and its builders, filled into a probe template.

#include "TablePageTestSupport.h"

#include "core/Exception.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/phpinsert.h"
#include "generator/phpupdate.h"

#include <functional>

namespace {

using tablepages::TablePageTest;
using tablepages::TProbeOutput;

const std::string k25(25, ' ');
const std::string k28(28, ' ');

class UpdatePageTest : public TablePageTest {
protected:
  void SetUp() override {
    TablePageTest::SetUp();
    // With the insert page's check block, to see that none is made here.
    tablepages::TPageNames names = tablepages::UpdatePageNames();
    names.Blocks.push_back({"yzt_script", {"yzt_script_item"}});
    WriteProbe("update", names);
  }
  TProbeOutput Generate() { return Run<TUpdateGenerator>("update"); }

  TProbeOutput GenerateOne(const std::function<void(TWebTable&)>& columns) {
    FProject.Tables.clear();
    TWebTable& table = AddTable("shop", "t");
    columns(table);
    return Generate();
  }
};

TEST_F(UpdatePageTest, GlobalsComeFromProjectAndTable) {
  TWebTable& table = AddTable("shop", "order_item");
  AddColumn(table, "order_id").Key = true;
  AddColumn(table, "product_id").Key = true;
  AddColumn(table, "quantity");
  table.Caption = "Items";
  FProject.WidthType = 1;

  const TProbeOutput out = Generate();
  EXPECT_EQ(out.Global("yzt_table_name"), "order_item");
  EXPECT_EQ(out.Global("yzt_table_name_caption"), "Items");
  EXPECT_EQ(out.Global("yzt_key"), BuildKeyCondition(table));
  EXPECT_EQ(out.Global("yzt_table_key_field"), BuildKeyUrlParams(table));
  EXPECT_NE(out.Global("yzt_table_key_field").find("&product_id="), std::string::npos);
  EXPECT_EQ(out.Global("yzt_db_name"), "shop");
  EXPECT_EQ(out.Global("yzt_page_width_type"), "");
  EXPECT_EQ(out.Global("yzt_update_send_mail"), "");
  EXPECT_EQ(out.Global("yzt_sql_table"), "`shop`.`order_item`");
  EXPECT_TRUE(out.Of("yzt_script").empty());  // no submit-time checks on this page

  const std::pair<const char*, const char*> rights[] = {{"Guest", "0"}, {"Admin", "1"}, {"GUEST", "1"}};
  for (const auto& [right, flag] : rights) {
    table.UpdateRight = right;
    table.InsertRight = "Guest";
    EXPECT_EQ(Generate().Global("yzt_page_right"), flag) << right;
  }
}

struct TControlCase {
  const char* Name;
  std::function<void(TWebInput&)> Setup;
  std::string Expected;
};

TEST_F(UpdatePageTest, EveryInputTypeShowsTheStoredValue) {
  TBaseHtmlInput lookup("x");
  lookup.iLTable = "city";
  lookup.iLDisplayField = "name";
  lookup.iLValueField = "id";
  const std::string sql = BuildLookupSelect(lookup, "shop");
  const auto asLookup = [](TWebInput& f) { SetLookup(f, "city", "name", "id"); };
  const std::string sel = "<?php if (isValueSet($Resultset['f'],";

  const TControlCase cases[] = {
      {"Text",
       [](TWebInput& f) {
         f.HtmlInput->iValue = "ignored on this page";
         f.HtmlInput->iCheckType = "Integer";
         f.HtmlInput->iErrorText = "Number!";
       },
       "<input name=\"f\" id=\"f\" type=\"text\" class=\"cssInput\"  size=\"35\" maxlength=\"50\" "
       "value=\"<?php echo h($Resultset['f']); ?>\"onBlur=\"checkInt(this,'Number!',false)\">"},
      {"Password", [](TWebInput&) {}, "<input name=\"f\" id=\"f\" type=\"password\" class=\"cssInput\" >"},
      {"Textarea", [](TWebInput& f) { f.HtmlInput->iTAWrap = true; },
       "<textarea name=\"f\" id=\"f\" cols=\"0\" rows=\"0\" class=\"cssTextArea\" value=\"\" wrap=\"VIRTUAL\" >"
       "<?php echo h($Resultset['f']); ?></textarea> "},
      {"Combobox", [](TWebInput& f) { SetItems(f, {"New=new", "It's=it's", "Q=\"q\""}); },
       "<select name=\"f\" id=\"f\" class=\"csscombo\">\r\n" + k25 + "<option value=\"\">Please select!</option>\r\n" +
           k25 + "<option value=\"new\" " + sel + "\"new\")) echo \"selected\";?> >New</option>\r\n" + k25 +
           "<option value=\"it&#39;s\" " + sel + "\"it's\")) echo \"selected\";?> >It's</option>\r\n" + k25 +
           "<option value=\"&quot;q&quot;\" " + sel + "\"\\\"q\\\"\")) echo \"selected\";?> >Q</option>\r\n" +
           "</select>"},
      {"Listbox", asLookup,
       "<select name=\"f\" id=\"f\" size=\"5\" class=\"csscombo\">\r\n" + k28 +
           "<?php getValueComboItemsFromDb($MyDb_shop,'" + sql + "','id','name',$Resultset['f']); ?>\r\n" + k25 +
           "</select>\r\n"},
      {"Combobox", asLookup,
       "<select name=\"f\" id=\"f\" class=\"csscombo\">\r\n" + k28 + "<?php getValueComboItemsFromDb($MyDb_shop,'" +
           sql + "','id','name',$Resultset['f']); ?>\r\n" + k25 + "</select>\r\n"},
      {"Checkbox", [](TWebInput& f) { SetItems(f, {"Red=red", "Cost $=$x"}); },
       "<input type=\"checkbox\" name=\"f_1\" id=\"f_1\" class=\"csscombo\" value=\"red\"" + sel +
           "\"red\")) echo \"checked\";?> >Red<br>\r\n"
           "<input type=\"checkbox\" name=\"f_2\" id=\"f_2\" class=\"csscombo\" value=\"$x\"" +
           sel + "\"\\$x\")) echo \"checked\";?> >Cost $<br>\r\n"},
      {"Checkbox", asLookup,
       k28 + "<?php getValueCheckboxItemsFromDb($MyDb_shop,'" + sql + "','id','name','f',$Resultset['f'],'<br>'); ?>\r\n"},
      {"Radiobox",
       [](TWebInput& f) {
         SetItems(f, {"New=new"});
         f.HtmlInput->iRaHorizontal = true;
       },
       "<input name=\"f\" id = \"f_1\" type=\"radio\" value=\"new\"" + sel + "\"new\")) echo \"checked\";?> >New\r\n"},
      {"Radiobox", asLookup,
       "<?php getValueRadioItemsFromDb($MyDb_shop,'" + sql + "','id','name','f',$Resultset['f'],'<br>'); ?>\r\n"},
      {"File", [](TWebInput&) {},
       "<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\r\n"
       "  <tr>\r\n"
       "    <td class=\"cssDetailText\"><input name=\"f_needUpload\" id=\"f_needUpload\" type=\"radio\" value=\"yes\">\r\n"
       "      Upload new file</td>\r\n"
       "    <td class=\"cssDetailText\"><input name=\"f_needUpload\" id=\"f_needUpload\" type=\"radio\" value=\"no\" "
       "checked>\r\n"
       "      Keep old file <input name=\"f_oldFile\" id=\"f_oldFile\" type=\"hidden\" "
       "value=\"<?php echo h($Resultset['f']); ?>\"></td>\r\n"
       "  </tr>\r\n"
       "  <tr>\r\n"
       "    <td colspan=\"2\">\r\n"
       "      <input class=\"cssInput\" type=\"file\" name=\"f_file\" id=\"f_file\"></td>\r\n"
       "  </tr>\r\n"
       "</table>\r\n"},
  };
  for (const TControlCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + ": " + c.Expected);
    const TProbeOutput out = GenerateOne([&](TWebTable& t) { c.Setup(AddColumn(t, "f", c.Name)); });
    const auto fields = out.Of("yzt_update_fields");
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0]["yzt_html_update_item"], c.Expected);
    EXPECT_EQ(fields[0]["yzt_field_name"], "f");
  }
}

TEST_F(UpdatePageTest, SharedControlsAreTheInsertPagesOwn) {
  const auto setup = [](TWebTable& t) {
    TWebInput& pw = AddColumn(t, "pw", "Password");
    pw.UseHint = true;
    pw.HintText = "At least 8 characters, don't reuse";
    AddColumn(t, "h", "Hidden").HtmlInput->iHiValue = "echo 'x';";
  };
  const TProbeOutput update = GenerateOne(setup);
  WriteProbe("insert", {}, {{"yzt_insert_fields", {"yzt_html_input_item", "yzt_tooltip_event"}},
                            {"yzt_insert_hidden_fields", {"yzt_html_hidden_input_item"}}});
  const TProbeOutput insert = Run<TInsertGenerator>("insert");
  EXPECT_EQ(update.Of("yzt_update_fields").at(0)["yzt_html_update_item"],
            insert.Of("yzt_insert_fields").at(0)["yzt_html_input_item"]);
  EXPECT_EQ(update.Of("yzt_update_fields").at(0)["yzt_tooltip_event"],
            insert.Of("yzt_insert_fields").at(0)["yzt_tooltip_event"]);
  EXPECT_NE(update.Of("yzt_update_fields").at(0)["yzt_tooltip_event"], "");
  EXPECT_EQ(update.Values("yzt_update_hidden_fields", "yzt_html_hidden_update_item"),
            insert.Values("yzt_insert_hidden_fields", "yzt_html_hidden_input_item"));
  EXPECT_EQ(update.Values("yzt_update_hidden_fields", "yzt_html_hidden_update_item"),
            std::vector<std::string>{"<input name=\"h\" id=\"h\" type=\"hidden\" value=\"<?php echo 'x'; ?>\">"});
}

TEST_F(UpdatePageTest, SetListFileCodeAndColumnsLeftOut) {
  const TProbeOutput out = GenerateOne([](TWebTable& t) {
    AddColumn(t, "a");
    AddColumn(t, "b", "Checkbox");
    TWebInput& onlyInsert = AddColumn(t, "c", "File");
    onlyInsert.Update = false;
    AddColumn(t, "key", "Hidden");
    AddColumn(t, "pic", "File").HtmlInput->iFileUpDir = "up/";
    AddColumn(t, "odd", "text");
  });
  const auto set = out.Of("yzt_update_sql");
  ASSERT_EQ(set.size(), 5u);
  const std::vector<std::vector<std::string>> expected = {
      {"", "`a`", "sqlEscape($MyDb_shop, $_POST['a'] ?? '')"},
      {",", "`b`", "sqlEscape($MyDb_shop, getCheckboxValue('b'))"},
      {",", "`key`", "sqlEscape($MyDb_shop, $_POST['key'] ?? '')"},
      {",", "`pic`", "sqlEscape($MyDb_shop, $_POST['pic'] ?? '')"},
      {",", "`odd`", "sqlEscape($MyDb_shop, $_POST['odd'] ?? '')"},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(set[i]["yzt_coma"], expected[i][0]) << i;
    EXPECT_EQ(set[i]["yzt_update_field_name"], expected[i][1]) << i;
    EXPECT_EQ(set[i]["yzt_update_field_str"], expected[i][2]) << i;
  }
  EXPECT_EQ(out.Values("yzt_update_fields", "yzt_field_name"),
            (std::vector<std::string>{"a", "b", "pic", "odd"}));
  EXPECT_EQ(out.Of("yzt_update_fields").at(3)["yzt_html_update_item"], "");
  EXPECT_EQ(out.Of("yzt_update_hidden_fields").size(), 1u);
  EXPECT_EQ(out.Values("yzt_update_file_fields", "yzt_update_file_code"),
            std::vector<std::string>{"if (isset($_FILES['pic_file'])) {\r\n"
                                     "      if (($_POST['pic_needUpload'] ?? 'no') == \"no\")\r\n"
                                     "        $_POST['pic'] = $_POST['pic_oldFile'] ?? '';\r\n"
                                     "      else {\r\n"
                                     "        $_POST['pic'] = storeUpload('pic_file', 'up/') ?? '';\r\n"
                                     "      }\r\n"
                                     "    }\r\n"});
}

TEST_F(UpdatePageTest, OddColumnNamesStayInsideTheirLiterals) {
  const TProbeOutput out = GenerateOne([](TWebTable& t) {
    SetItems(AddColumn(t, "it's", "Radiobox"), {"A=a"});
    AddColumn(t, "it's", "File");
  });
  const auto fields = out.Of("yzt_update_fields");
  EXPECT_EQ(fields.at(0)["yzt_html_update_item"],
            "<input name=\"it&#39;s\" id = \"it&#39;s_1\" type=\"radio\" value=\"a\"<?php if "
            "(isValueSet($Resultset['it\\'s'],\"a\")) echo \"checked\";?> >A<br>\r\n");
  EXPECT_NE(fields.at(1)["yzt_html_update_item"].find("name=\"it&#39;s_oldFile\" id=\"it&#39;s_oldFile\" "
                                                      "type=\"hidden\" value=\"<?php echo h($Resultset['it\\'s']); ?>\""),
            std::string::npos);
  EXPECT_EQ(out.Of("yzt_update_sql").at(0)["yzt_update_field_name"], "`it's`");
  EXPECT_NE(out.Values("yzt_update_file_fields", "yzt_update_file_code").at(0).find(
                "$_POST['it\\'s'] = $_POST['it\\'s_oldFile'] ?? '';"),
            std::string::npos);
}

struct TMailCase {
  const char* Name;
  bool All, List, None, SendMail, OnUpdate;
  std::string Body;
};

TEST_F(UpdatePageTest, MailBodyFollowsTheContentOption) {
  const std::string head = "\"A record was updated\\n\\n\"\r\n";
  const std::string pad(16, ' ');
  const std::string lineA = pad + ".\"\\nA=\".requestValue('a')\r\n";
  const std::string lineB = pad + ".\"\\nB=\".requestValue('b')\r\n";
  const std::string lineC = pad + ".\"\\nC=\".requestValue('c')\r\n";
  const TMailCase cases[] = {
      {"all data: the update columns", true, false, false, true, true, head + lineA + lineB},
      {"list data: the list columns", false, true, false, true, true, head + lineA + lineC},
      {"no data: the heading alone", false, false, true, true, true, "\"A record was updated\\n\\n\""},
      {"no option", false, false, false, true, true, head},
      {"table sends no mail", true, false, false, false, true, ""},
      {"no mail on update", true, false, false, true, false, ""},
  };
  for (const TMailCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FProject.mailSendTo = "to@example.com";
    FProject.mailSubject = "Changed";
    FProject.mailFrom = "from@example.com";
    FProject.mailAllData = c.All;
    FProject.mailListData = c.List;
    FProject.mailNoData = c.None;
    FProject.mailOnUpdate = c.OnUpdate;
    FProject.mailOnInsert = !c.OnUpdate;
    const TProbeOutput out = GenerateOne([&](TWebTable& t) {
      t.SendMail = c.SendMail;
      AddColumn(t, "a").Caption = "A";
      TWebInput& b = AddColumn(t, "b");
      b.Caption = "B";
      b.List = false;
      b.Insert = false;
      TWebInput& cc = AddColumn(t, "c");
      cc.Caption = "C";
      cc.Update = false;
    });
    const std::string expected =
        c.Body.empty() ? ""
                       : "qfMail('to@example.com','Changed'," + c.Body + std::string(9, ' ') +
                             ",'from@example.com');\r\n\r\n";
    EXPECT_EQ(out.Global("yzt_update_send_mail"), expected);
  }
}

TEST_F(UpdatePageTest, NoCurrentTableRaises) {
  FProject.CurrentDatabase = "shop";
  FProject.CurrentTable = "nothing";
  TUpdateGenerator generator(Context());
  EXPECT_THROW(generator.Generate(), Exception);
  EXPECT_THROW(generator.BuildUpdateMailCode(), Exception);
  EXPECT_TRUE(FindFiles(FOut.Path(), "*").empty());
}

}  // namespace
