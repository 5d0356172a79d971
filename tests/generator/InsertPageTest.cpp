// The insert page generator and its builders, filled into a probe template.

#include "TablePageTestSupport.h"

#include "core/Exception.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/phpinsert.h"

#include <algorithm>
#include <functional>

namespace {

using tablepages::TablePageTest;
using tablepages::TProbeOutput;

const std::string kCrLf = "\r\n";
const std::string k25(25, ' ');
const std::string k28(28, ' ');

class InsertPageTest : public TablePageTest {
protected:
  void SetUp() override {
    TablePageTest::SetUp();
    WriteProbe("insert", tablepages::InsertPageNames());
  }
  TProbeOutput Generate() { return Run<TInsertGenerator>("insert"); }

  /** A fresh current table shop.t holding the one column the callback makes. */
  TProbeOutput GenerateOne(const std::function<void(TWebTable&)>& columns) {
    FProject.Tables.clear();
    TWebTable& table = AddTable("shop", "t");
    columns(table);
    return Generate();
  }
};

// ---------------------------------------------------------------- globals

TEST_F(InsertPageTest, GlobalsComeFromProjectAndTable) {
  TWebTable& table = AddTable("shop", "order");
  table.Caption = "Orders";
  AddColumn(table, "key").Key = true;
  FProject.SiteCaption = "Shop";
  FProject.TableAlign = "Right";
  FProject.TableWidth = 90;
  FProject.WidthType = 0;

  const TProbeOutput out = Generate();
  EXPECT_EQ(out.Global("yzt_table_name"), "order");
  EXPECT_EQ(out.Global("yzt_table_name_caption"), "Orders");
  EXPECT_EQ(out.Global("yzt_key"), BuildKeyCondition(table));
  EXPECT_EQ(out.Global("yzt_db_name"), "shop");
  EXPECT_EQ(out.Global("yzt_page_title_name"), "Shop");
  EXPECT_EQ(out.Global("yzt_page_align"), "Right");
  EXPECT_EQ(out.Global("yzt_page_width"), "90");
  EXPECT_EQ(out.Global("yzt_page_width_type"), "%");
  EXPECT_EQ(out.Global("yzt_insert_send_mail"), "");
  EXPECT_EQ(out.Global("yzt_db_link"), "$MyDb_shop");
  EXPECT_EQ(out.Global("yzt_sql_table"), "`shop`.`order`");
}

TEST_F(InsertPageTest, RightAndTableIdentifierForOddNames) {
  const std::pair<const char*, const char*> rights[] = {{"Guest", "0"}, {"Admin", "1"}, {"guest", "1"}};
  TWebTable& table = AddTable("my$db", "a\"b");
  for (const auto& [right, flag] : rights) {
    table.InsertRight = right;
    EXPECT_EQ(Generate().Global("yzt_page_right"), flag) << right;
  }
  const TProbeOutput out = Generate();
  EXPECT_EQ(out.Global("yzt_sql_table"), "`my\\$db`.`a\\\"b`");
  EXPECT_EQ(out.Global("yzt_db_link"), "${'MyDb_my$db'}");
}

// ---------------------------------------------------------------- controls

struct TControlCase {
  const char* Name;
  std::function<void(TWebInput&)> Setup;
  std::string Expected;
};

TEST_F(InsertPageTest, EveryInputTypeGivesItsControl) {
  TBaseHtmlInput lookup("x");
  lookup.iLTable = "city";
  lookup.iLDisplayField = "name";
  lookup.iLValueField = "id";
  const std::string sql = BuildLookupSelect(lookup, "shop");
  const auto asLookup = [](TWebInput& f) {
    SetLookup(f, "city", "name", "id");
    f.HtmlInput->iLElementFromDb = false;  // the controls do not care
  };

  const TControlCase cases[] = {
      {"Text",
       [](TWebInput& f) {
         f.HtmlInput->iValue = "say \"hi\" & 'bye'";
         f.HtmlInput->iLength = 20;
         f.HtmlInput->iMax = 40;
       },
       "<input name=\"f\" id=\"f\" type=\"text\" class=\"cssInput\"  size=\"20\" maxlength=\"40\" "
       "value=\"say &quot;hi&quot; &amp; &#39;bye&#39;\">"},
      {"File", [](TWebInput&) {},
       "<input name=\"f\" id=\"f\" type=\"file\" class=\"cssInput\"  size=\"35\" maxlength=\"50\" value=\"\">"},
      {"Password", [](TWebInput&) {}, "<input name=\"f\" id=\"f\" type=\"password\" class=\"cssInput\" >"},
      {"Textarea",
       [](TWebInput& f) {
         f.HtmlInput->iTAWidth = 30;
         f.HtmlInput->iTALines = 4;
         f.HtmlInput->iTAWrap = true;
       },
       "<textarea name=\"f\" id=\"f\" cols=\"30\" rows=\"4\" class=\"cssTextArea\" wrap=\"VIRTUAL\" ></textarea> "},
      {"Textarea", [](TWebInput&) {},
       "<textarea name=\"f\" id=\"f\" cols=\"0\" rows=\"0\" class=\"cssTextArea\" wrap=\"OFF\" ></textarea> "},
      {"Combobox", [](TWebInput& f) { SetItems(f, {"New=new", "It's=it's", "Quote=\"q\"", "bare"}); },
       "<select name=\"f\" id=\"f\" class=\"csscombo\">\r\n" + k25 +
           "<option value=\"\">Please select!</option>\r\n" + k25 + "<option value=\"new\">New</option>\r\n" + k25 +
           "<option value=\"it&#39;s\">It's</option>\r\n" + k25 + "<option value=\"&quot;q&quot;\">Quote</option>\r\n" +
           k25 + "<option value=\"bare\">bare</option>\r\n</select>"},
      {"Combobox", [](TWebInput& f) { SetItems(f, {}); },
       "<select name=\"f\" id=\"f\" class=\"csscombo\">\r\n" + k25 + "<option value=\"\">Please select!</option>\r\n" +
           "</select>"},
      {"Listbox", [](TWebInput& f) { SetItems(f, {"A=1"}); },
       "<select name=\"f\" id=\"f\" size=\"5\" class=\"csscombo\">\r\n" + k25 +
           "<option value=\"\">Please select!</option>\r\n" + k25 + "<option value=\"1\">A</option>\r\n</select>"},
      {"Combobox", asLookup,
       "<select name=\"f\" id=\"f\" class=\"csscombo\">\r\n" + k28 + "<?php getComboItemsFromDb($MyDb_shop,'" + sql +
           "','id','name'); ?>\r\n" + k25 + "</select>\r\n"},
      {"Listbox", asLookup,
       "<select name=\"f\" id=\"f\" size=\"5\" class=\"csscombo\">\r\n" + k28 + "<?php getComboItemsFromDb($MyDb_shop,'" +
           sql + "','id','name'); ?>\r\n" + k25 + "</select>\r\n"},
      {"Checkbox", [](TWebInput& f) { SetItems(f, {"Red=red", "It's=it's", "Blue=blue"}); },
       "<input type=\"checkbox\" name=\"f_1\" id=\"f_1\" class=\"csscombo\" value=\"red\">Red<br>\r\n"
       "<input type=\"checkbox\" name=\"f_2\" id=\"f_2\" class=\"csscombo\" value=\"it&#39;s\">It's<br>\r\n"
       "<input type=\"checkbox\" name=\"f_3\" id=\"f_3\" class=\"csscombo\" value=\"blue\">Blue<br>\r\n"},
      {"Checkbox", [](TWebInput& f) { SetItems(f, {}); }, ""},
      {"Checkbox", asLookup,
       k28 + "<?php getCheckboxItemsFromDb($MyDb_shop,'" + sql + "','id','name','f','<br>'); ?>\r\n" + k25 +
           "<br>\r\n"},
      {"Radiobox", [](TWebInput& f) { SetItems(f, {"New=new", "Used=used"}); },
       "<input name=\"f\" id = \"f_1\" type=\"radio\" value=\"new\">New<br>\r\n"
       "<input name=\"f\" id = \"f_2\" type=\"radio\" value=\"used\">Used<br>\r\n"},
      {"Radiobox",
       [](TWebInput& f) {
         SetItems(f, {"New=new", "Used=used"});
         f.HtmlInput->iRaHorizontal = true;
       },
       "<input name=\"f\" id = \"f_1\" type=\"radio\" value=\"new\">New\r\n"
       "<input name=\"f\" id = \"f_2\" type=\"radio\" value=\"used\">Used\r\n"},
      {"Radiobox", asLookup,
       "<?php getRadioItemsFromDb($MyDb_shop,'" + sql + "','id','name','f','<br>'); ?>\r\n"},
      {"Radiobox",
       [&](TWebInput& f) {
         asLookup(f);
         f.HtmlInput->iRaHorizontal = true;
       },
       "<?php getRadioItemsFromDb($MyDb_shop,'" + sql + "','id','name','f',''); ?>\r\n"},
  };
  for (const TControlCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + ": " + c.Expected);
    const TProbeOutput out = GenerateOne([&](TWebTable& t) { c.Setup(AddColumn(t, "f", c.Name)); });
    const auto fields = out.Of("yzt_insert_fields");
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0]["yzt_html_input_item"], c.Expected);
    EXPECT_EQ(fields[0]["yzt_caption"], "f caption");
    EXPECT_EQ(fields[0]["yzt_field_name"], "f");
    EXPECT_EQ(fields[0]["yzt_tooltip_event"], "");
    EXPECT_TRUE(out.Of("yzt_insert_hidden_fields").empty());
  }
}

TEST_F(InsertPageTest, UnknownInputTypeHasCaptionButNoControl) {
  const TProbeOutput out = GenerateOne([](TWebTable& t) { AddColumn(t, "f", "text"); });
  const auto fields = out.Of("yzt_insert_fields");
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(fields[0]["yzt_html_input_item"], "");
  EXPECT_EQ(fields[0]["yzt_caption"], "f caption");
  EXPECT_EQ(fields[0]["yzt_field_name"], "f");
  EXPECT_EQ(out.Values("yzt_insert_sql_fields", "yzt_insert_field_name"), std::vector<std::string>{"`f`\r\n"});
}

TEST_F(InsertPageTest, LookupControlsUseTheConnectionOfAnOddlyNamedDatabase) {
  FProject.Tables.clear();
  TWebTable& table = AddTable("my-db", "notes");
  SetLookup(AddColumn(table, "author", "Combobox"), "people", "name", "");
  const std::string html = Generate().Of("yzt_insert_fields").at(0)["yzt_html_input_item"];
  EXPECT_NE(html.find("getComboItemsFromDb(${'MyDb_my-db'},'"), std::string::npos) << html;
  EXPECT_NE(html.find("'.sqlIdent(${'dbname_my-db'}).'"), std::string::npos) << html;
  EXPECT_NE(html.find("','','name'); ?>"), std::string::npos) << html;
}

TEST_F(InsertPageTest, ColumnNameWithQuoteIsEscapedInEveryContext) {
  const TProbeOutput out = GenerateOne([](TWebTable& t) {
    SetItems(AddColumn(t, "it's", "Checkbox"), {"A=a"});
    SetItems(AddColumn(t, "it's", "Radiobox"), {"A=a"});
  });
  const auto fields = out.Of("yzt_insert_fields");
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0]["yzt_html_input_item"],
            "<input type=\"checkbox\" name=\"it&#39;s_1\" id=\"it&#39;s_1\" class=\"csscombo\" value=\"a\">A<br>\r\n");
  EXPECT_EQ(fields[0]["yzt_field_name"], "it&#39;s");
  EXPECT_EQ(out.Values("yzt_script", "yzt_script_item"),
            (std::vector<std::string>{"checkCheckboxGroup('it\\'s','',false);\r\n",
                                      "checkRadioGroup('it\\'s','',false);\r\n"}));
  EXPECT_EQ(out.Values("yzt_insert_sql_field_values", "yzt_insert_field_str")[0],
            ".\"'\".sqlEscape($MyDb_shop, getCheckboxValue('it\\'s')).\"'\"\r\n");
}

// ---------------------------------------------------------------- validation

struct TCheckCase {
  const char* CheckType;
  const char* Function;  // "" for no check
};

TEST_F(InsertPageTest, EveryValidationNameOfATextInputGivesItsCheck) {
  const TCheckCase cases[] = {
      {"Integer", "checkInt"},      {"Email", "checkEmail"},   {"Character", "checkChar"},
      {"Alphabetical", "checkChar"}, {"Float", "checkFloat"},  {"Number", "checkFloat"},
      {"Price", "checkPrice"},      {"PostalCode", "checkPostalCode"}, {"URL", "checkURL"},
      {"IP", "checkIP"},            {"No", ""},                {"integer", ""},
      {"", ""},                     {"Date", ""},
  };
  for (const TCheckCase& c : cases) {
    for (bool required : {false, true}) {
      SCOPED_TRACE(std::string(c.CheckType) + (required ? " required" : " optional"));
      const std::string req = required ? "true" : "false";
      const TProbeOutput out = GenerateOne([&](TWebTable& t) {
        TWebInput& f = AddColumn(t, "f");
        f.HtmlInput->iCheckType = c.CheckType;
        f.HtmlInput->iErrorText = "Wrong";
        f.HtmlInput->iRequired = required;
      });
      const std::string html = out.Of("yzt_insert_fields").at(0)["yzt_html_input_item"];
      const std::string function = c.Function;
      if (function.empty()) {
        EXPECT_EQ(html.find("onBlur"), std::string::npos) << html;
        EXPECT_TRUE(out.Of("yzt_script").empty());
        continue;
      }
      EXPECT_EQ(html, "<input name=\"f\" id=\"f\" type=\"text\" class=\"cssInput\"  size=\"35\" maxlength=\"50\" "
                      "value=\"\"onBlur=\"" + function + "(this,'Wrong'," + req + ")\">");
      EXPECT_EQ(out.Values("yzt_script", "yzt_script_item"),
                std::vector<std::string>{function + "(document.yztInsertForm.f,'Wrong'," + req + ");\r\n"});
    }
  }
}

struct TRangeCase {
  const char* CheckType;
  const char* Min;
  const char* Max;
  const char* Bounds;
};

TEST_F(InsertPageTest, RangeBoundsAreNumbersOrLeaveTheRangeOpen) {
  const TRangeCase cases[] = {
      {"Int Range", "0", "100", "0,100"},
      {"Range", "-5", "5", "-5,5"},
      {"Int Range", " 7 ", "+8", "7,+8"},
      {"Int Range", "1.5", "2.25", "1.5,2.25"},
      {"Int Range", "", "", "-Infinity,Infinity"},
      {"Int Range", "abc", "1);alert(1", "-Infinity,Infinity"},
      {"Int Range", "1.", ".5", "-Infinity,Infinity"},
      {"Int Range", "-", "1e3", "-Infinity,Infinity"},
  };
  for (const TRangeCase& c : cases) {
    SCOPED_TRACE(std::string(c.CheckType) + " [" + c.Min + "] [" + c.Max + "]");
    const TProbeOutput out = GenerateOne([&](TWebTable& t) {
      TWebInput& f = AddColumn(t, "f");
      f.HtmlInput->iCheckType = c.CheckType;
      f.HtmlInput->iCheckMin = c.Min;
      f.HtmlInput->iCheckMax = c.Max;
      f.HtmlInput->iErrorText = "Out of range";
    });
    const std::string bounds = c.Bounds;
    EXPECT_NE(out.Of("yzt_insert_fields").at(0)["yzt_html_input_item"].find(
                  "onBlur=\"checkIntRange(this," + bounds + ",'Out of range',false)\">"),
              std::string::npos);
    EXPECT_EQ(out.Values("yzt_script", "yzt_script_item"),
              std::vector<std::string>{"checkIntRange(document.yztInsertForm.f," + bounds +
                                       ",'Out of range',false);\r\n"});
  }
}

TEST_F(InsertPageTest, ListControlsAlwaysGetASubmitCheckAndOthersNone) {
  const TProbeOutput out = GenerateOne([](TWebTable& t) {
    for (const char* type : {"Combobox", "Listbox", "Radiobox", "Checkbox", "Textarea", "Password", "File"}) {
      TWebInput& f = AddColumn(t, std::string("c_") + type, type);
      f.HtmlInput->iCheckType = "Integer";  // ignored by every one of these
      f.HtmlInput->iErrorText = "Choose";
      f.HtmlInput->iRequired = std::string(type) == "Listbox";
    }
    TWebInput& text = AddColumn(t, "plain");
    text.HtmlInput->iRequired = true;  // required but "No" check: nothing
    AddColumn(t, "skipped", "Combobox").Insert = false;
    AddColumn(t, "hidden", "Hidden");
  });
  EXPECT_EQ(out.Values("yzt_script", "yzt_script_item"),
            (std::vector<std::string>{"checkComboSelect(document.yztInsertForm.c_Combobox,'Choose',false);\r\n",
                                      "checkComboSelect(document.yztInsertForm.c_Listbox,'Choose',true);\r\n",
                                      "checkRadioGroup('c_Radiobox','Choose',false);\r\n",
                                      "checkCheckboxGroup('c_Checkbox','Choose',false);\r\n"}));
  for (const auto& field : out.Of("yzt_insert_fields"))
    EXPECT_EQ(field["yzt_html_input_item"].find("onBlur"), std::string::npos) << field["yzt_html_input_item"];
}

TEST_F(InsertPageTest, ErrorTextsAndFieldNamesAreEscapedForJavaScriptAndTheAttribute) {
  const std::string err = "It's \"wrong\" </script>";
  const TProbeOutput out = GenerateOne([&](TWebTable& t) {
    TWebInput& f = AddColumn(t, "first-name");
    f.HtmlInput->iCheckType = "Email";
    f.HtmlInput->iErrorText = err;
  });
  const std::string html = out.Of("yzt_insert_fields").at(0)["yzt_html_input_item"];
  EXPECT_EQ(html, "<input name=\"first-name\" id=\"first-name\" type=\"text\" class=\"cssInput\"  size=\"35\" "
                  "maxlength=\"50\" value=\"\"onBlur=\"checkEmail(this,'" +
                      HtmlAttribute(JsSingleQuoted(err)) + "',false)\">");
  // The attribute holds no quote that would end it, and the JavaScript
  // string only its own two delimiters.
  const std::string attribute = html.substr(html.find("onBlur=\"") + 8);
  EXPECT_EQ(attribute.find('"'), attribute.size() - 2);
  EXPECT_EQ(std::count(attribute.begin(), attribute.end(), '\''), 2);
  EXPECT_EQ(out.Values("yzt_script", "yzt_script_item"),
            std::vector<std::string>{"checkEmail(document.yztInsertForm['first-name'],'" + JsSingleQuoted(err) +
                                     "',false);\r\n"});
  EXPECT_EQ(out.Values("yzt_script", "yzt_script_item")[0].find("</script>"), std::string::npos);
}

TEST_F(InsertPageTest, ScriptListStartsOverForEveryTable) {
  TWebTable& first = AddTable("shop", "a");
  AddColumn(first, "x").HtmlInput->iCheckType = "Integer";
  AddColumn(first, "y", "Radiobox");
  TInsertGenerator generator(Context());
  generator.Generate();
  EXPECT_EQ(generator.ScriptList.Count(), 2);
  EXPECT_EQ(generator.DatabaseName, "shop");

  TWebTable& second = AddTable("other", "b");
  AddColumn(second, "z", "Combobox");
  generator.Generate();
  ASSERT_EQ(generator.ScriptList.Count(), 1);
  EXPECT_EQ(generator.ScriptList[0], "checkComboSelect(document.yztInsertForm.z,'',false)");
  EXPECT_EQ(generator.DatabaseName, "other");
  const TProbeOutput out = tablepages::ParseProbe(qftest::ReadFile(FOut.File("other_b_insert.php")));
  EXPECT_EQ(out.Of("yzt_script").size(), 1u);
}

// ---------------------------------------------------------------- hints

TEST_F(InsertPageTest, HintTextsAreEscapedForJavaScriptInsideTheAttribute) {
  const std::string caption = "Size's";
  const std::string hint = "Say \"hi\" & <b>bye</b>";
  const TProbeOutput out = GenerateOne([&](TWebTable& t) {
    TWebInput& f = AddColumn(t, "f");
    f.Caption = caption;
    f.UseHint = true;
    f.HintText = hint;
    AddColumn(t, "g").HintText = "not used";
  });
  const auto fields = out.Of("yzt_insert_fields");
  const std::string tip = fields.at(0)["yzt_tooltip_event"];
  EXPECT_EQ(tip, "<img src=\"theme/images/info.gif\" onMouseover=\"EnterContent('ToolTip','" +
                     HtmlAttribute(JsSingleQuoted(caption)) + "','" + HtmlAttribute(JsSingleQuoted(hint)) +
                     "'); Activate();\" onMouseout=\"deActivate()\">");
  const std::string inner = tip.substr(tip.find("EnterContent("), tip.find("); Activate") - tip.find("EnterContent("));
  EXPECT_EQ(inner.find('"'), std::string::npos) << inner;
  EXPECT_EQ(inner.find('<'), std::string::npos) << inner;
  EXPECT_EQ(fields.at(0)["yzt_caption"], "Size's");  // body text stays as written
  EXPECT_EQ(fields.at(1)["yzt_tooltip_event"], "");
}

// ---------------------------------------------------------------- hidden, file and SQL lists

TEST_F(InsertPageTest, HiddenAndFileColumnsAndTheSqlLists) {
  const TProbeOutput out = GenerateOne([](TWebTable& t) {
    AddColumn(t, "a");
    AddColumn(t, "b", "Checkbox");
    AddColumn(t, "h", "Hidden").HtmlInput->iHiValue = "echo date('Y');";
    AddColumn(t, "f", "File").HtmlInput->iFileUpDir = "it's/";
    AddColumn(t, "x").Insert = false;
    AddColumn(t, "key", "Combobox");
  });
  EXPECT_EQ(out.Values("yzt_insert_fields", "yzt_field_name"), (std::vector<std::string>{"a", "b", "f", "key"}));
  EXPECT_EQ(out.Values("yzt_insert_hidden_fields", "yzt_html_hidden_input_item"),
            std::vector<std::string>{"<input name=\"h\" id=\"h\" type=\"hidden\" value=\"<?php echo date('Y'); ?>\">"});
  EXPECT_EQ(out.Values("yzt_insert_file_fields", "yzt_insert_file_code"),
            std::vector<std::string>{"if (isset($_FILES['f'])) {\r\n$_POST['f'] = storeUpload('f', 'it\\'s/') ?? '';"
                                     "\r\n}\r\n"});
  EXPECT_EQ(out.Values("yzt_insert_sql_fields", "yzt_insert_field_name"),
            (std::vector<std::string>{"`a`\r\n", ",`b`\r\n", ",`h`\r\n", ",`f`\r\n", ",`key`\r\n"}));
  EXPECT_EQ(out.Values("yzt_insert_sql_field_values", "yzt_insert_field_str"),
            (std::vector<std::string>{".\"'\".sqlEscape($MyDb_shop, $_POST['a'] ?? '').\"'\"\r\n",
                                      ".\",'\".sqlEscape($MyDb_shop, getCheckboxValue('b')).\"'\"\r\n",
                                      ".\",'\".sqlEscape($MyDb_shop, $_POST['h'] ?? '').\"'\"\r\n",
                                      ".\",'\".sqlEscape($MyDb_shop, $_POST['f'] ?? '').\"'\"\r\n",
                                      ".\",'\".sqlEscape($MyDb_shop, $_POST['key'] ?? '').\"'\"\r\n"}));
}

TEST_F(InsertPageTest, TableWithoutInsertColumnsStillGetsItsGlobals) {
  const TProbeOutput out = GenerateOne([](TWebTable& t) {
    AddColumn(t, "a").Insert = false;
    AddColumn(t, "h", "Hidden").Insert = false;
  });
  for (const char* block : {"yzt_insert_fields", "yzt_insert_hidden_fields", "yzt_insert_file_fields",
                            "yzt_insert_sql_fields", "yzt_insert_sql_field_values", "yzt_script"})
    EXPECT_TRUE(out.Of(block).empty()) << block;
  EXPECT_EQ(out.Global("yzt_table_name"), "t");
  EXPECT_EQ(out.Global("yzt_page_right"), "0");
}

// ---------------------------------------------------------------- mail

struct TMailCase {
  const char* Name;
  bool All, List, None, SendMail, OnInsert;
  std::string Body;  // "" when no mail is sent
};

TEST_F(InsertPageTest, MailBodyFollowsTheContentOption) {
  const std::string head = "\"A new record was inserted\\n\\n\"\r\n";
  const std::string pad(16, ' ');
  const std::string lineA = pad + ".\"\\nA=\".requestValue('a')\r\n";
  const std::string lineB = pad + ".\"\\nB's \\$=\".getCheckboxValue('b')\r\n";
  const std::string lineC = pad + ".\"\\nC=\".requestValue('c')\r\n";
  const TMailCase cases[] = {
      {"all data: the insert columns", true, false, false, true, true, head + lineA + lineB},
      {"list data: the list columns", false, true, false, true, true, head + lineA + lineC},
      {"no data", false, false, true, true, true, "''"},
      {"no option: heading only", false, false, false, true, true, head},
      {"table sends no mail", true, false, false, false, true, ""},
      {"no mail on insert", true, false, false, true, false, ""},
  };
  for (const TMailCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FProject.mailSendTo = "boss@example.com";
    FProject.mailSubject = "New row's here";
    FProject.mailFrom = "site@example.com";
    FProject.mailAllData = c.All;
    FProject.mailListData = c.List;
    FProject.mailNoData = c.None;
    FProject.mailOnInsert = c.OnInsert;
    const TProbeOutput out = GenerateOne([&](TWebTable& t) {
      t.SendMail = c.SendMail;
      TWebInput& a = AddColumn(t, "a");
      a.Caption = "A";
      TWebInput& b = AddColumn(t, "b", "Checkbox");
      b.Caption = "B's $";
      b.List = false;
      TWebInput& cc = AddColumn(t, "c");
      cc.Caption = "C";
      cc.Insert = false;
    });
    const std::string expected =
        c.Body.empty() ? ""
                       : "qfMail('boss@example.com','New row\\'s here'," + c.Body + std::string(9, ' ') +
                             ",'site@example.com');\r\n\r\n";
    EXPECT_EQ(out.Global("yzt_insert_send_mail"), expected);
  }
}

TEST_F(InsertPageTest, MailBuilderEscapesTheProjectAddresses) {
  AddTable("shop", "t");
  FProject.mailNoData = true;
  TInsertGenerator noData(Context());
  EXPECT_EQ(noData.BuildInsertMailCode(), "qfMail('','',''" + std::string(9, ' ') + ",'');");  // even without columns
  FProject.mailNoData = false;
  FProject.mailSendTo = "a'b@example.com";
  FProject.mailSubject = "x\\'y";
  FProject.mailFrom = "c'd@example.com";
  TInsertGenerator generator(Context());
  EXPECT_EQ(generator.BuildInsertMailCode(),
            "qfMail('a\\'b@example.com','x\\\\\\'y',\"A new record was inserted\\n\\n\"\r\n" + std::string(9, ' ') +
                ",'c\\'d@example.com');");
}

// ---------------------------------------------------------------- failures

TEST_F(InsertPageTest, NoCurrentTableRaisesAndWritesNothing) {
  AddTable("shop", "products");
  FProject.CurrentDatabase = "other";
  TInsertGenerator generator(Context());
  EXPECT_THROW(generator.Generate(), Exception);
  EXPECT_THROW(generator.BuildInsertMailCode(), Exception);
  EXPECT_TRUE(FindFiles(FOut.Path(), "*").empty());
}

}  // namespace
