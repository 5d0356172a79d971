// The two form pages: the insert and update page generators, filled into
// probe templates.

#include "TablePageTestSupport.h"

#include "generator/phpinsert.h"
#include "generator/phpupdate.h"

#include <array>

namespace {

using tablepages::TProbeOutput;

const std::string k25(25, ' ');
const std::string k28(28, ' ');

class InsertPageTest : public tablepages::TablePageTest {
protected:
  TProbeOutput Generate(const std::function<void(TWebTable&)>& columns) {
    return RunOn<TInsertGenerator>("insert", columns);
  }
  /** The page for one column "f" of the type, set up by the callback. */
  TProbeOutput GenerateOne(const std::function<void(TWebInput&)>& setup, const std::string& type = "Text") {
    return Generate([&](TWebTable& t) { setup(AddColumn(t, "f", type)); });
  }
  static std::string Control(const TProbeOutput& out) { return out.Of("yzt_insert_fields").at(0)["yzt_html_input_item"]; }
  static std::vector<std::string> Scripts(const TProbeOutput& out) { return out.Values("yzt_script", "yzt_script_item"); }
};
using UpdatePageTest = InsertPageTest;

using TSetup = std::function<void(TWebInput&)>;

struct TControlCase {
  const char* Type;
  TSetup Setup;
  std::string Insert, Update;
};

TEST_F(InsertPageTest, EveryInputTypeGivesItsControlOnBothForms) {
  const std::string& sql = tablepages::kCitySql;
  const TSetup none = [](TWebInput&) {};
  const TSetup lookup = [](TWebInput& f) { SetLookup(f, "city", "name", "id").HtmlInput->iLElementFromDb = false; };
  const TSetup horizontalLookup = [&](TWebInput& f) { lookup(f); f.HtmlInput->iRaHorizontal = true; };
  const auto items = [](std::vector<std::string> lines, bool horizontal = false) {
    return [=](TWebInput& f) { SetItems(f, lines).HtmlInput->iRaHorizontal = horizontal; };
  };
  // What the update page adds to an item: a test of the stored value (given quoted for PHP).
  const auto stored = [](const std::string& value, const std::string& word) {
    return "<?php if (isValueSet($Resultset['f'],\"" + value + "\")) echo \"" + word + "\";?>";
  };
  const auto option = [&](const std::string& value, const std::string& text, const std::string& test = "") {
    return k25 + "<option value=\"" + value + "\"" + (test.empty() ? "" : " " + stored(test, "selected") + " ") + ">" +
           text + "</option>\r\n";
  };
  const std::string select = "<select name=\"f\" id=\"f\" class=\"csscombo\">\r\n";
  const std::string list = "<select name=\"f\" id=\"f\" size=\"5\" class=\"csscombo\">\r\n";
  const std::string please = option("", "Please select!");
  const std::string fromDb = k28 + "<?php getComboItemsFromDb($MyDb_shop,'" + sql + "','id','name'); ?>\r\n" + k25 +
                             "</select>\r\n";
  const std::string fromDbStored = k28 + "<?php getValueComboItemsFromDb($MyDb_shop,'" + sql +
                                   "','id','name',$Resultset['f']); ?>\r\n" + k25 + "</select>\r\n";
  const std::string echo = "<?php echo h($Resultset['f']); ?>";
  const TControlCase cases[] = {
      {"Text",
       [](TWebInput& f) {
         f.HtmlInput->iValue = "say \"hi\" & 'bye'";  // the insert page's start value
         f.HtmlInput->iLength = 20;
         f.HtmlInput->iMax = 40;
         f.HtmlInput->iCheckType = "Integer";
         f.HtmlInput->iErrorText = "Number!";
       },
       "<input name=\"f\" id=\"f\" type=\"text\" class=\"cssInput\"  size=\"20\" maxlength=\"40\" "
       "value=\"say &quot;hi&quot; &amp; &#39;bye&#39;\"onBlur=\"checkInt(this,'Number!',false)\">",
       "<input name=\"f\" id=\"f\" type=\"text\" class=\"cssInput\"  size=\"20\" maxlength=\"40\" value=\"" + echo +
           "\"onBlur=\"checkInt(this,'Number!',false)\">"},
      {"Password", none, "<input name=\"f\" id=\"f\" type=\"password\" class=\"cssInput\" >",
       "<input name=\"f\" id=\"f\" type=\"password\" class=\"cssInput\" >"},
      {"Textarea", [](TWebInput& f) { f.HtmlInput->iTAWidth = 30; f.HtmlInput->iTALines = 4; f.HtmlInput->iTAWrap = true; },
       "<textarea name=\"f\" id=\"f\" cols=\"30\" rows=\"4\" class=\"cssTextArea\" wrap=\"VIRTUAL\" ></textarea> ",
       "<textarea name=\"f\" id=\"f\" cols=\"30\" rows=\"4\" class=\"cssTextArea\" value=\"\" wrap=\"VIRTUAL\" >" + echo +
           "</textarea> "},
      {"Textarea", none, "<textarea name=\"f\" id=\"f\" cols=\"0\" rows=\"0\" class=\"cssTextArea\" wrap=\"OFF\" ></textarea> ",
       "<textarea name=\"f\" id=\"f\" cols=\"0\" rows=\"0\" class=\"cssTextArea\" value=\"\" wrap=\"OFF\" >" + echo +
           "</textarea> "},
      {"Combobox", items({"New=new", "It's=it's", "Quote=\"q\"", "bare"}),
       select + please + option("new", "New") + option("it&#39;s", "It's") + option("&quot;q&quot;", "Quote") +
           option("bare", "bare") + "</select>",
       select + please + option("new", "New", "new") + option("it&#39;s", "It's", "it's") +
           option("&quot;q&quot;", "Quote", "\\\"q\\\"") + option("bare", "bare", "bare") + "</select>"},
      {"Combobox", items({}), select + please + "</select>", select + please + "</select>"},
      {"Listbox", items({"A=1"}), list + please + option("1", "A") + "</select>",
       list + please + option("1", "A", "1") + "</select>"},
      {"Combobox", lookup, select + fromDb, select + fromDbStored},
      {"Listbox", lookup, list + fromDb, list + fromDbStored},
      {"Checkbox", items({"Red=red", "It's $=it's $x"}),
       "<input type=\"checkbox\" name=\"f_1\" id=\"f_1\" class=\"csscombo\" value=\"red\">Red<br>\r\n"
       "<input type=\"checkbox\" name=\"f_2\" id=\"f_2\" class=\"csscombo\" value=\"it&#39;s $x\">It's $<br>\r\n",
       "<input type=\"checkbox\" name=\"f_1\" id=\"f_1\" class=\"csscombo\" value=\"red\"" + stored("red", "checked") +
           " >Red<br>\r\n<input type=\"checkbox\" name=\"f_2\" id=\"f_2\" class=\"csscombo\" value=\"it&#39;s $x\"" +
           stored("it's \\$x", "checked") + " >It's $<br>\r\n"},
      {"Checkbox", items({}), "", ""},
      {"Checkbox", lookup,
       k28 + "<?php getCheckboxItemsFromDb($MyDb_shop,'" + sql + "','id','name','f','<br>'); ?>\r\n" + k25 + "<br>\r\n",
       k28 + "<?php getValueCheckboxItemsFromDb($MyDb_shop,'" + sql + "','id','name','f',$Resultset['f'],'<br>'); ?>\r\n"},
      {"Radiobox", items({"New=new", "Used=used"}),
       "<input name=\"f\" id = \"f_1\" type=\"radio\" value=\"new\">New<br>\r\n"
       "<input name=\"f\" id = \"f_2\" type=\"radio\" value=\"used\">Used<br>\r\n",
       "<input name=\"f\" id = \"f_1\" type=\"radio\" value=\"new\"" + stored("new", "checked") + " >New<br>\r\n" +
           "<input name=\"f\" id = \"f_2\" type=\"radio\" value=\"used\"" + stored("used", "checked") + " >Used<br>\r\n"},
      {"Radiobox", items({"New=new"}, true), "<input name=\"f\" id = \"f_1\" type=\"radio\" value=\"new\">New\r\n",
       "<input name=\"f\" id = \"f_1\" type=\"radio\" value=\"new\"" + stored("new", "checked") + " >New\r\n"},
      {"Radiobox", lookup, "<?php getRadioItemsFromDb($MyDb_shop,'" + sql + "','id','name','f','<br>'); ?>\r\n",
       "<?php getValueRadioItemsFromDb($MyDb_shop,'" + sql + "','id','name','f',$Resultset['f'],'<br>'); ?>\r\n"},
      {"Radiobox", horizontalLookup, "<?php getRadioItemsFromDb($MyDb_shop,'" + sql + "','id','name','f',''); ?>\r\n",
       "<?php getValueRadioItemsFromDb($MyDb_shop,'" + sql + "','id','name','f',$Resultset['f'],''); ?>\r\n"},
      {"File", none, "<input name=\"f\" id=\"f\" type=\"file\" class=\"cssInput\"  size=\"35\" maxlength=\"50\" value=\"\">",
       "<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\r\n"
       "  <tr>\r\n"
       "    <td class=\"cssDetailText\"><input name=\"f_needUpload\" id=\"f_needUpload\" type=\"radio\" value=\"yes\">\r\n"
       "      Upload new file</td>\r\n"
       "    <td class=\"cssDetailText\"><input name=\"f_needUpload\" id=\"f_needUpload\" type=\"radio\" value=\"no\" "
       "checked>\r\n"
       "      Keep old file <input name=\"f_oldFile\" id=\"f_oldFile\" type=\"hidden\" value=\"" + echo + "\"></td>\r\n"
       "  </tr>\r\n"
       "  <tr>\r\n"
       "    <td colspan=\"2\">\r\n"
       "      <input class=\"cssInput\" type=\"file\" name=\"f_file\" id=\"f_file\"></td>\r\n"
       "  </tr>\r\n"
       "</table>\r\n"},
      {"text", none, "", ""},  // unknown type: caption, no control
  };
  for (const TControlCase& c : cases) {
    SCOPED_TRACE(std::string(c.Type) + ": " + c.Insert);
    const TProbeOutput insert = GenerateOne(c.Setup, c.Type);
    const TProbeOutput update = RunOn<TUpdateGenerator>("update", [&](TWebTable& t) { c.Setup(AddColumn(t, "f", c.Type)); });
    const auto fields = insert.Of("yzt_insert_fields");
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0]["yzt_html_input_item"], c.Insert);
    const auto updateFields = update.Of("yzt_update_fields");
    ASSERT_EQ(updateFields.size(), 1u);
    EXPECT_EQ(updateFields[0]["yzt_html_update_item"], c.Update);
    for (const auto& field : {fields[0], updateFields[0]}) {
      EXPECT_EQ(field["yzt_caption"], "f caption");
      EXPECT_EQ(field["yzt_field_name"], "f");
      EXPECT_EQ(field["yzt_tooltip_event"], "");
    }
    EXPECT_TRUE(insert.Of("yzt_insert_hidden_fields").empty() && update.Of("yzt_update_hidden_fields").empty());
    EXPECT_TRUE(update.Of("yzt_script").empty());  // no submit-time checks on the update page
  }
}

TEST_F(InsertPageTest, LookupControlsUseTheConnectionOfAnOddlyNamedDatabase) {
  SetLookup(AddColumn(AddTable("my-db", "notes"), "author", "Combobox"), "people", "name", "");
  const std::string html = Control(Run<TInsertGenerator>("insert"));
  EXPECT_NE(html.find("getComboItemsFromDb(${'MyDb_my-db'},'"), std::string::npos) << html;
  EXPECT_NE(html.find("'.sqlIdent(${'dbname_my-db'}).'"), std::string::npos) << html;
  EXPECT_NE(html.find("','','name'); ?>"), std::string::npos) << html;
}

TEST_F(InsertPageTest, ColumnNameWithQuoteIsEscapedInEveryContext) {
  const TProbeOutput out = Generate([](TWebTable& t) {
    SetItems(AddColumn(t, "it's", "Checkbox"), {"A=a"});
    SetItems(AddColumn(t, "it's", "Radiobox"), {"A=a"});
  });
  EXPECT_EQ(Control(out),
            "<input type=\"checkbox\" name=\"it&#39;s_1\" id=\"it&#39;s_1\" class=\"csscombo\" value=\"a\">A<br>\r\n");
  EXPECT_EQ(out.Of("yzt_insert_fields").at(0)["yzt_field_name"], "it&#39;s");
  EXPECT_EQ(Scripts(out), (std::vector<std::string>{"checkCheckboxGroup('it\\'s','',false);\r\n",
                                                    "checkRadioGroup('it\\'s','',false);\r\n"}));
  EXPECT_EQ(out.Values("yzt_insert_sql_field_values", "yzt_insert_field_str").at(0),
            ".\"'\".sqlEscape($MyDb_shop, getCheckboxValue('it\\'s')).\"'\"\r\n");
}

TEST_F(InsertPageTest, EveryValidationNameOfATextInputGivesItsCheck) {
  const std::pair<std::string, std::string> cases[] = {
      {"Integer", "checkInt"}, {"Email", "checkEmail"}, {"Character", "checkChar"}, {"Alphabetical", "checkChar"},
      {"Float", "checkFloat"}, {"Number", "checkFloat"}, {"Price", "checkPrice"}, {"PostalCode", "checkPostalCode"},
      {"URL", "checkURL"},     {"IP", "checkIP"},       {"No", ""}, {"integer", ""}, {"", ""}, {"Date", ""},
  };
  const std::string plain =
      "<input name=\"f\" id=\"f\" type=\"text\" class=\"cssInput\"  size=\"35\" maxlength=\"50\" value=\"\"";
  for (const auto& [checkType, function] : cases) {
    for (const std::string req : {"false", "true"}) {
      SCOPED_TRACE(checkType + " required " + req);
      const TProbeOutput out = GenerateOne([&](TWebInput& f) {
        f.HtmlInput->iCheckType = checkType;
        f.HtmlInput->iErrorText = "Wrong";
        f.HtmlInput->iRequired = req == "true";
      });
      const std::string args = "'Wrong'," + req + ")";
      EXPECT_EQ(Control(out), plain + (function.empty() ? "" : "onBlur=\"" + function + "(this," + args + "\"") + ">");
      EXPECT_EQ(Scripts(out), function.empty() ? std::vector<std::string>{}
                                               : std::vector{function + "(document.yztInsertForm.f," + args + ";\r\n"});
    }
  }
}

TEST_F(InsertPageTest, RangeBoundsAreNumbersOrLeaveTheRangeOpen) {
  const std::array<std::string, 4> cases[] = {
      {"Int Range", "0", "100", "0,100"},      {"Range", "-5", "5", "-5,5"},
      {"Int Range", " 7 ", "+8", "7,+8"},      {"Int Range", "1.5", "2.25", "1.5,2.25"},
      {"Range", "", "", "-Infinity,Infinity"}, {"Int Range", "abc", "1);alert(1", "-Infinity,Infinity"},
      {"Int Range", "1.", ".5", "-Infinity,Infinity"}, {"Int Range", "-", "1e3", "-Infinity,Infinity"},
  };
  for (const auto& [checkType, min, max, bounds] : cases) {
    SCOPED_TRACE(checkType + " [" + min + "] [" + max + "]");
    const TProbeOutput out = GenerateOne([&](TWebInput& f) {
      f.HtmlInput->iCheckType = checkType;
      f.HtmlInput->iCheckMin = min;
      f.HtmlInput->iCheckMax = max;
      f.HtmlInput->iErrorText = "Out";
    });
    EXPECT_TRUE(EndsWith(Control(out), "onBlur=\"checkIntRange(this," + bounds + ",'Out',false)\">"));
    EXPECT_EQ(Scripts(out), std::vector{"checkIntRange(document.yztInsertForm.f," + bounds + ",'Out',false);\r\n"});
  }
}

TEST_F(InsertPageTest, ListControlsAlwaysGetASubmitCheckAndOthersNone) {
  const TProbeOutput out = Generate([](TWebTable& t) {
    for (const std::string type : {"Combobox", "Listbox", "Radiobox", "Checkbox", "Textarea", "Password", "File"}) {
      TWebInput& f = AddColumn(t, "c_" + type, type);
      f.HtmlInput->iCheckType = "Integer";  // ignored by every one of these
      f.HtmlInput->iErrorText = "Choose";
      f.HtmlInput->iRequired = type == "Listbox";
    }
    AddColumn(t, "plain").HtmlInput->iRequired = true;  // required but "No" check: nothing
    AddColumn(t, "skipped", "Combobox").Insert = false;
    AddColumn(t, "hidden", "Hidden");
  });
  EXPECT_EQ(Scripts(out), (std::vector<std::string>{"checkComboSelect(document.yztInsertForm.c_Combobox,'Choose',false);\r\n",
                                                    "checkComboSelect(document.yztInsertForm.c_Listbox,'Choose',true);\r\n",
                                                    "checkRadioGroup('c_Radiobox','Choose',false);\r\n",
                                                    "checkCheckboxGroup('c_Checkbox','Choose',false);\r\n"}));
  for (const std::string& html : out.Values("yzt_insert_fields", "yzt_html_input_item"))
    EXPECT_EQ(html.find("onBlur"), std::string::npos) << html;
}

TEST_F(InsertPageTest, ErrorTextsAndHintsAreEscapedForJavaScriptInsideTheAttribute) {
  const TProbeOutput out = Generate([](TWebTable& t) {
    TWebInput& f = AddColumn(t, "first-name");
    f.HtmlInput->iCheckType = "Email";
    f.HtmlInput->iErrorText = "It's \"wrong\" </script>";
    f.Caption = "Size's";
    f.UseHint = true;
    f.HintText = "Say \"hi\" & <b>bye</b>";
    AddColumn(t, "g").HintText = "not used";
  });
  EXPECT_EQ(Control(out), "<input name=\"first-name\" id=\"first-name\" type=\"text\" class=\"cssInput\"  size=\"35\" "
                         "maxlength=\"50\" value=\"\"onBlur=\"checkEmail(this,'It\\&#39;s \\x22wrong\\x22 "
                         "\\x3C/script\\x3E',false)\">");
  EXPECT_EQ(Scripts(out), std::vector<std::string>{"checkEmail(document.yztInsertForm['first-name'],'It\\'s "
                                                   "\\x22wrong\\x22 \\x3C/script\\x3E',false);\r\n"});
  const auto fields = out.Of("yzt_insert_fields");
  EXPECT_EQ(fields.at(0)["yzt_tooltip_event"],
            "<img src=\"theme/images/info.gif\" onMouseover=\"EnterContent('ToolTip','Size\\&#39;s','Say \\x22hi\\x22 "
            "\\x26 \\x3Cb\\x3Ebye\\x3C/b\\x3E'); Activate();\" onMouseout=\"deActivate()\">");
  EXPECT_EQ(fields.at(0)["yzt_caption"], "Size's");  // body text stays as written
  EXPECT_EQ(fields.at(1)["yzt_tooltip_event"], "");
}

TEST_F(InsertPageTest, ScriptListStartsOverForEveryTable) {
  TWebTable& first = AddTable("shop", "a");
  AddColumn(first, "x").HtmlInput->iCheckType = "Integer";
  AddColumn(first, "y", "Radiobox");
  TInsertGenerator generator(Context());
  generator.Generate();
  EXPECT_EQ(generator.ScriptList.Count(), 2);
  AddColumn(AddTable("other", "b"), "z", "Combobox");
  generator.Generate();
  ASSERT_EQ(generator.ScriptList.Count(), 1);
  EXPECT_EQ(generator.ScriptList[0], "checkComboSelect(document.yztInsertForm.z,'',false)");
  EXPECT_EQ(generator.DatabaseName, "other");
  EXPECT_EQ(Read("insert").Of("yzt_script").size(), 1u);
}

TEST_F(InsertPageTest, HiddenAndFileColumnsAndTheSqlLists) {
  const TProbeOutput out = Generate([](TWebTable& t) {
    AddColumn(t, "a");
    AddColumn(t, "b", "Checkbox");
    AddColumn(t, "h", "Hidden").HtmlInput->iHiValue = "echo date('Y');";
    AddColumn(t, "f", "File").HtmlInput->iFileUpDir = "it's/";
    AddColumn(t, "x").Insert = false;
    AddColumn(t, "h2", "Hidden").Insert = false;
    AddColumn(t, "odd", "text");
  });
  EXPECT_EQ(out.Values("yzt_insert_fields", "yzt_field_name"), (std::vector<std::string>{"a", "b", "f", "odd"}));
  EXPECT_EQ(out.Values("yzt_insert_hidden_fields", "yzt_html_hidden_input_item"),
            std::vector<std::string>{"<input name=\"h\" id=\"h\" type=\"hidden\" value=\"<?php echo date('Y'); ?>\">"});
  EXPECT_EQ(out.Values("yzt_insert_file_fields", "yzt_insert_file_code"),
            std::vector<std::string>{"if (isset($_FILES['f'])) {\r\n$_POST['f'] = storeUpload('f', 'it\\'s/') ?? '';\r\n}\r\n"});
  EXPECT_EQ(out.Values("yzt_insert_sql_fields", "yzt_insert_field_name"),
            (std::vector<std::string>{"`a`\r\n", ",`b`\r\n", ",`h`\r\n", ",`f`\r\n", ",`odd`\r\n"}));
  const auto value = [](const char* sep, const std::string& v) {
    return std::string(".\"") + sep + "'\".sqlEscape($MyDb_shop, " + v + ").\"'\"\r\n";
  };
  EXPECT_EQ(out.Values("yzt_insert_sql_field_values", "yzt_insert_field_str"),
            (std::vector<std::string>{value("", "$_POST['a'] ?? ''"), value(",", "getCheckboxValue('b')"),
                                      value(",", "$_POST['h'] ?? ''"), value(",", "$_POST['f'] ?? ''"),
                                      value(",", "$_POST['odd'] ?? ''")}));

  const TProbeOutput empty = Generate([](TWebTable& t) { AddColumn(t, "a").Insert = false; });
  for (const auto& block : tablepages::kInsertNames.Blocks) EXPECT_TRUE(empty.Of(block.Name).empty()) << block.Name;
  EXPECT_EQ(empty.Global("yzt_table_name"), "t");
}

TEST_F(UpdatePageTest, HintAndHiddenColumnAreTheInsertPagesOwn) {
  const auto setup = [](TWebTable& t) {
    TWebInput& pw = AddColumn(t, "pw", "Password");
    pw.UseHint = true;
    pw.HintText = "At least 8 characters, don't reuse";
    AddColumn(t, "h", "Hidden").HtmlInput->iHiValue = "echo 'x';";
  };
  const TProbeOutput update = RunOn<TUpdateGenerator>("update", setup);
  const TProbeOutput insert = Generate(setup);
  const std::string tip = update.Of("yzt_update_fields").at(0)["yzt_tooltip_event"];
  EXPECT_EQ(tip, insert.Of("yzt_insert_fields").at(0)["yzt_tooltip_event"]);
  EXPECT_NE(tip, "");
  EXPECT_EQ(update.Values("yzt_update_hidden_fields", "yzt_html_hidden_update_item"),
            std::vector<std::string>{"<input name=\"h\" id=\"h\" type=\"hidden\" value=\"<?php echo 'x'; ?>\">"});
}

TEST_F(UpdatePageTest, SetListFileCodeAndColumnsLeftOut) {
  const TProbeOutput out = RunOn<TUpdateGenerator>("update", [](TWebTable& t) {
    AddColumn(t, "a");
    AddColumn(t, "b", "Checkbox");
    AddColumn(t, "c", "File").Update = false;
    AddColumn(t, "key", "Hidden");
    AddColumn(t, "pic", "File").HtmlInput->iFileUpDir = "up/";
    AddColumn(t, "odd", "text");
  });
  std::vector<std::string> set;
  for (const auto& instance : out.Of("yzt_update_sql"))
    set.push_back(instance["yzt_coma"] + instance["yzt_update_field_name"] + "=" + instance["yzt_update_field_str"]);
  EXPECT_EQ(set, (std::vector<std::string>{"`a`=sqlEscape($MyDb_shop, $_POST['a'] ?? '')",
                                           ",`b`=sqlEscape($MyDb_shop, getCheckboxValue('b'))",
                                           ",`key`=sqlEscape($MyDb_shop, $_POST['key'] ?? '')",
                                           ",`pic`=sqlEscape($MyDb_shop, $_POST['pic'] ?? '')",
                                           ",`odd`=sqlEscape($MyDb_shop, $_POST['odd'] ?? '')"}));
  EXPECT_EQ(out.Values("yzt_update_fields", "yzt_field_name"), (std::vector<std::string>{"a", "b", "pic", "odd"}));
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
  const TProbeOutput out = RunOn<TUpdateGenerator>("update", [](TWebTable& t) {
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

}  // namespace
