#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatMemo.h"
#include "components/FlatSpinEdit.h"
#include "components/GradPageControl.h"
#include "core/Exception.h"
#include "grid/GridView.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/TableDetailInterface.h"
#include "shell/TableSelectFrame.h"
#include "shell/ValueListEditor.h"
#include "ui/ComCtrls.h"

#include <functional>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

/** The main window on a project of "shop" (products, city) with products
 *  chosen, so that the field editor edits its columns. */
struct TEditorWindow {
  TProgramFolder F;
  TMainForm* Form = nullptr;
  TFrameDetailedProperties* Frame = nullptr;

  explicit TEditorWindow(const DbParams& db) {
    auto project = ShopProject(db, {"products", "city"});
    project->Project_path = F.File("");
    SaveProjectFile(*project, F.File("shopfront.vrk"));
    Form = F.Start({F.File("shopfront.vrk")});
    Frame = Form->FrameDetailedProperties;
    TTreeView* tree = Form->SelectTablePanel->TreeSelectedTable;
    for (TTreeNode* t = tree->Items().GetFirstNode()->GetFirstChild(); t; t = t->getNextSibling())
      if (t->Text() == "products") tree->SetSelected(t);
  }
  /** Selects the column's row in the grid, as a click would. */
  TWebInput* Column(const std::string& field, const std::string& type = "") {
    const int row = RowOf(Form, field);
    if (!type.empty()) {
      Form->TableInfo->SetCellText(9, row, type);
      Form->Project()->GetCurrentTable()->GetInputListElement(row)->Input_type = type;
    }
    Form->TableInfo->SelectRow(row);
    return Frame->EditedInput();
  }
  TBaseHtmlInput& Options(const std::string& field) { return *Column(field)->HtmlInput; }
};

/** Chooses text in a drop-down list from the keyboard, as a user does. */
void Choose(TFlatComboBox* box, const std::string& text) {
  SCOPED_TRACE(box->Name());
  box->SetFocus();
  Key(Focus(), Qt::Key_Home);
  for (int i = 0; i < box->Items().Count() && box->Text() != text; ++i) Key(Focus(), Qt::Key_Down);
  ASSERT_EQ(box->Text(), text);
}

/** Clicks the tab of page index, as a user does. */
void ClickTab(TGradPageControl* pages, int index) {
  const TRect r = pages->TabRect(index);
  Click(pages->Handle(), QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

/** Types text a key at a time into whatever has the focus then. */
void TypeKeys(const std::string& text) {
  for (char c : text) Type(Focus(), std::string(1, c));
}

std::vector<std::string> Rows(TValueListEditor* list) {
  std::vector<std::string> rows;
  for (int row = 0; row < list->RowCount(); ++row) rows.push_back(list->Caption(row) + "|" + list->Value(row));
  return rows;
}

}  // namespace

TEST(LookupSelect, BuiltFromTheLookupControls) {
  struct TCase {
    const char* Name;
    std::string Table, Display, Value, Where, Relation, Compared, Sort;
    bool Distinct;
    std::string Sql;
  };
  const TCase cases[] = {
      {"no_table", "", "name", "", "", "All", "", "Asc", true, ""},
      {"no_display_field", "products", "", "id", "", "All", "", "Asc", true, ""},
      {"distinct_two_blanks", "products", "name", "", "", "All", "", "Asc", true,
       "SELECT DISTINCT `name`  FROM `shop`.`products` ORDER BY `name` ASC"},
      {"value_field_desc", "city", "name", "id", "", "All", "", "Desc", false,
       "SELECT `name` ,`id` FROM `shop`.`city` ORDER BY `name` DESC"},
      {"all_adds_no_where", "city", "name", "", "id", "All", "3", "No short", false,
       "SELECT `name`  FROM `shop`.`city`"},
      {"where_needs_a_value", "city", "name", "", "id", ">", "", "No short", false,
       "SELECT `name`  FROM `shop`.`city`"},
      {"greater_equal", "city", "name", "", "id", ">=", "3", "No short", false,
       "SELECT `name`  FROM `shop`.`city` WHERE `id` >= '3'"},
      {"unlike_is_not_like_quoted", "city", "name", "id", "name", "Unlike", "L'A%", "Asc", true,
       "SELECT DISTINCT `name` ,`id` FROM `shop`.`city` WHERE `name` NOT LIKE 'L''A%' ORDER BY `name` ASC"},
      {"reserved_and_backtick_names", "order", "key", "", "we`ird", "=", "x", "No short", false,
       "SELECT `key`  FROM `shop`.`order` WHERE `we``ird` = 'x'"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBaseHtmlInput lookup("x");
    lookup.iLTable = c.Table;
    lookup.iLDisplayField = c.Display;
    lookup.iLValueField = c.Value;
    lookup.iLWhereField = c.Where;
    lookup.iLRelation = c.Relation;
    lookup.iLValue = c.Compared;
    lookup.iLShort = c.Sort;
    lookup.iLDistinct = c.Distinct;
    EXPECT_EQ(BuildLookupTestSelect(lookup, "shop"), c.Sql);
  }
}

TEST(FieldEditor, BindersRoundTripEveryOption) {
  QF_REQUIRE_DB(db);
  TEditorWindow w(db);
  TBaseHtmlInput lookup("name");
  lookup.iCheckType = "Range";
  lookup.iRequired = true;
  lookup.iErrorText = "Say it";
  lookup.iCheckMin = "2";
  lookup.iCheckMax = "9";
  lookup.iLength = 120;
  lookup.iMax = 180;
  lookup.iValue = "def";
  lookup.iLElementFromDb = true;
  lookup.iLDb = "shop";
  lookup.iLTable = "city";
  lookup.iLDisplayField = "name";
  lookup.iLValueField = "id";
  lookup.iLWhereField = "id";
  lookup.iLRelation = "Unlike";
  lookup.iLValue = "4";
  lookup.iLShort = "Desc";
  lookup.iLDistinct = false;
  lookup.iLSQL = "SELECT 1";
  lookup.iLSource = 0;
  lookup.ItemList.Add("Yes=1");
  lookup.ItemList.Add("=empty caption");
  lookup.iTAWidth = 60;
  lookup.iTALines = 8;
  lookup.iTAWrap = lookup.iTARequired = lookup.iRaHorizontal = true;
  lookup.iTADefault = "line 1\r\nline 2";
  lookup.iTAErrorText = "Too short";
  lookup.iHiValue = "echo 1;";
  lookup.iFileUpDir = "/srv/up/";
  lookup.iFileUpSize = "2048";
  TBaseHtmlInput manual = lookup;
  manual.iLElementFromDb = false;
  manual.iLSource = 1;
  manual.iLTable = manual.iLDisplayField = manual.iLValueField = manual.iLWhereField = manual.iLRelation = "";
  manual.iLShort = "No short";
  manual.iLValue = "";

  const std::pair<const char*, std::function<std::string(const TBaseHtmlInput&)>> fields[] = {
      {"iCheckType", [](auto& h) { return h.iCheckType; }},
      {"iRequired", [](auto& h) { return std::to_string(h.iRequired); }},
      {"iErrorText", [](auto& h) { return h.iErrorText; }},
      {"iCheckMin", [](auto& h) { return h.iCheckMin; }},
      {"iCheckMax", [](auto& h) { return h.iCheckMax; }},
      {"iLength", [](auto& h) { return std::to_string(h.iLength); }},
      {"iMax", [](auto& h) { return std::to_string(h.iMax); }},
      {"iValue", [](auto& h) { return h.iValue; }},
      {"iLElementFromDb", [](auto& h) { return std::to_string(h.iLElementFromDb); }},
      {"iLDb", [](auto& h) { return h.iLDb; }},
      {"iLTable", [](auto& h) { return h.iLTable; }},
      {"iLDisplayField", [](auto& h) { return h.iLDisplayField; }},
      {"iLValueField", [](auto& h) { return h.iLValueField; }},
      {"iLWhereField", [](auto& h) { return h.iLWhereField; }},
      {"iLRelation", [](auto& h) { return h.iLRelation; }},
      {"iLValue", [](auto& h) { return h.iLValue; }},
      {"iLShort", [](auto& h) { return h.iLShort; }},
      {"iLDistinct", [](auto& h) { return std::to_string(h.iLDistinct); }},
      {"iLSQL", [](auto& h) { return h.iLSQL; }},
      {"iLSource", [](auto& h) { return std::to_string(h.iLSource); }},
      {"ItemList", [](auto& h) { return h.ItemList.Text(); }},
      {"iTAWidth", [](auto& h) { return std::to_string(h.iTAWidth); }},
      {"iTALines", [](auto& h) { return std::to_string(h.iTALines); }},
      {"iTAWrap", [](auto& h) { return std::to_string(h.iTAWrap); }},
      {"iTADefault", [](auto& h) { return h.iTADefault; }},
      {"iTARequired", [](auto& h) { return std::to_string(h.iTARequired); }},
      {"iTAErrorText", [](auto& h) { return h.iTAErrorText; }},
      {"iHiValue", [](auto& h) { return h.iHiValue; }},
      {"iRaHorizontal", [](auto& h) { return std::to_string(h.iRaHorizontal); }},
      {"iFileUpDir", [](auto& h) { return h.iFileUpDir; }},
      {"iFileUpSize", [](auto& h) { return h.iFileUpSize; }},
  };
  // The error text and the required flag sit on another page for lists.
  for (const auto& [type, options] : {std::pair{"Text", lookup}, {"Combobox", lookup}, {"Radiobox", manual}}) {
    SCOPED_TRACE(type);
    w.Column("id", "Text");  // another column first: nothing of it may stay behind
    TWebInput* input = w.Column("name", type);
    ASSERT_NE(input, nullptr);
    *input->HtmlInput = options;
    TInterfaceTableDetail(*w.Form).updateUI();
    *input->HtmlInput = TBaseHtmlInput("name");
    TInterfaceTableDetail(*w.Form).updateData();
    for (const auto& [name, get] : fields) EXPECT_EQ(get(*input->HtmlInput), get(options)) << name;
  }
  // The type page follows the type, and a lookup shows its own page.
  EXPECT_EQ(w.Frame->TypeSelector->ActivePage(), w.Frame->ComboboxPage);
  EXPECT_EQ(w.Frame->DataSourceSelector->ActivePageIndex(), 1);
  // A list turned into a text field keeps its own error text, not the last text field's.
  w.Column("id");
  TWebInput* list = w.Column("name");
  w.Frame->setDetails("Text");
  TInterfaceTableDetail(*w.Form).updateData();
  EXPECT_EQ(list->HtmlInput->iErrorText, "Say it");
}

TEST(FieldEditor, SetDetailsShowsThePageAndTheControlsOfEachType) {
  QF_REQUIRE_DB(db);
  TEditorWindow w(db);
  TFrameDetailedProperties& f = *w.Frame;
  const struct {
    const char* Type;
    TGradTabSheet* Page;
    bool LineNr, Multiple, Horizontal;
  } cases[] = {
      {"Text", f.TextPage, false, false, false},       {"Password", f.TextPage, false, false, false},
      {"Textarea", f.TextareaPage, false, false, false}, {"Combobox", f.ComboboxPage, false, false, false},
      {"Listbox", f.ComboboxPage, true, true, false},  {"Radiobox", f.ComboboxPage, false, false, true},
      {"Checkbox", f.ComboboxPage, false, false, true}, {"File", f.FileboxPage, false, false, false},
      {"Hidden", f.HiddenPage, false, false, false},
  };
  TWebInput* input = w.Column("name");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Type);
    f.setDetails(c.Type);
    EXPECT_EQ(input->Input_type, c.Type);
    EXPECT_EQ(f.TypeSelector->ActivePage(), c.Page);
    if (c.Page != f.ComboboxPage) continue;
    EXPECT_EQ(f.LLineNr->Visible(), c.LineNr);
    EXPECT_EQ(f.inpListBoxLineNr->Visible(), c.LineNr);
    EXPECT_EQ(f.inpMultipleselect->Visible(), c.Multiple);
    EXPECT_EQ(f.inpHorizontalAllign->Visible(), c.Horizontal);
    EXPECT_GE(f.eCOTable->Items().IndexOf("order"), 0) << "the tables of shop are listed";
  }
  f.setDetails("Bogus");
  EXPECT_EQ(input->Input_type, "Hidden");
  EXPECT_EQ(f.TypeSelector->ActivePage(), f.HiddenPage);

  // "Range" alone shows the bounds.
  f.setDetails("Text");
  for (const auto& [check, shown] : {std::pair{"Range", true}, {"Email", false}}) {
    Choose(f.inpValidationType, check);
    EXPECT_EQ(f.inpMinValue->Visible(), shown) << check;
    EXPECT_EQ(f.LMax->Visible(), shown) << check;
  }
}

TEST(FieldEditor, TheSqlTestFillsTheValueListFromTheServer) {
  QF_REQUIRE_DB(db);
  TEditorWindow w(db);
  TFrameDetailedProperties& f = *w.Frame;
  TBaseHtmlInput& h = *w.Column("name", "Combobox")->HtmlInput;
  ClickTab(f.DataSourceSelector, 0);
  Choose(f.eCOTable, "city");
  EXPECT_EQ(f.eCODisplayField->Items().Count(), 2);
  EXPECT_FALSE(f.eCOWhereField->Enabled()) << "the condition waits for a display field";
  Choose(f.eCODisplayField, "name");
  Choose(f.eCOValueField, "id");
  Choose(f.eCOWhereField, "name");
  Choose(f.eCORelation, "Unlike");
  f.eCOValue->SetFocus();
  Type(Focus(), "L'%");
  Choose(f.eCOShort, "Desc");
  EXPECT_EQ(f.eCOSQL->Text(),
            "SELECT DISTINCT `name` ,`id` FROM `shop`.`city` WHERE `name` NOT LIKE 'L''%' ORDER BY `name` DESC");
  Click(f.BtnSqlTest->Handle(), QPoint(5, 5));
  const std::vector<std::string> cities = {"東京|2", "Київ|6", "Zürich|1", "São Paulo|4", "London|3"};
  EXPECT_EQ(Rows(f.impValueList), cities);
  // The list is the column's at once, and stays when another column is chosen.
  w.Column("id");
  EXPECT_EQ(h.ItemList.Count(), 5);
  EXPECT_EQ(h.iLRelation, "Unlike");
  EXPECT_TRUE(h.iLElementFromDb);

  w.Column("name");
  EXPECT_EQ(Rows(f.impValueList), cities);
  f.eCOValueField->SetItemIndex(-1);  // a drop-down list has no empty item to choose
  f.eCODisplayFieldChange();
  Choose(f.eCORelation, "All");
  f.BtnSqlTestClick();
  EXPECT_EQ(f.impValueList->RowCount(), 6);
  EXPECT_EQ(f.impValueList->Value(0), f.impValueList->Caption(0)) << "without a value field the caption is the value";

  // A failing statement changes nothing; a caption holding "=" is refused.
  f.eCOOverSQL->SetChecked(true);
  EXPECT_TRUE(f.eCOSQL->Enabled());
  f.eCOSQL->SetText("SELECT nothing FROM nowhere");
  f.BtnSqlTestClick();
  EXPECT_EQ(f.impValueList->RowCount(), 6);
  f.eCOSQL->SetText("SELECT 'a=b', 1 UNION SELECT 'c', 2");
  f.BtnSqlTestClick();
  EXPECT_EQ(Rows(f.impValueList), std::vector<std::string>{"c|c"});
  ASSERT_EQ(w.F.Messages.Recorder.Calls.size(), 1u);
  EXPECT_NE(w.F.Messages.Recorder.Calls[0].Text.find("\"a=b\""), std::string::npos);
}

TEST(FieldEditor, ValueListButtonsAndPresets) {
  QF_REQUIRE_DB(db);
  TEditorWindow w(db);
  TFrameDetailedProperties& f = *w.Frame;
  TBaseHtmlInput& h = *w.Column("name", "Radiobox")->HtmlInput;
  for (const auto& [page, fromDb] : {std::pair{0, true}, {1, false}}) {
    ClickTab(f.DataSourceSelector, page);
    EXPECT_EQ(h.iLElementFromDb, fromDb);
    EXPECT_EQ(h.iLSource, fromDb ? 0 : 1);
  }

  const struct {
    const char* Preset;
    std::vector<std::string> Rows;
  } presets[] = {
      {"Yes/No/NA", {"Yes|1", "No|0", "NA|2"}},
      {"1..10", {"1|1", "2|2", "3|3", "4|4", "5|5", "6|6", "7|7", "8|8", "9|9", "10|10"}},
      {"Hours", {"1|1", "2|2", "3|3", "4|4", "5|5", "6|6", "7|7", "8|8", "9|9", "10|10", "11|11", "12|12"}},
      {"Days", {"Sunday|Sunday", "Monday|Monday", "Tuesday|Tuesday", "Wednesday|Wednesday", "Thursday|Thursday",
                "Friday|Friday", "Saturday|Saturday"}},
      {"Months", {"January|January", "February|February", "March|March", "April|April", "May |May", "June|June",
                  "July|July", "August|August", "September|September", "October |October", "November|November",
                  "December |December"}},
      {"AM/PM", {"AM|AM", "PM|PM"}},
  };
  for (const auto& p : presets) {
    Choose(f.PreselectCombo, p.Preset);
    EXPECT_EQ(Rows(f.impValueList), p.Rows) << p.Preset;
    EXPECT_EQ(h.ItemList.Count(), static_cast<int>(p.Rows.size())) << p.Preset;
  }

  // Add, up and down move the selected row; a blank row is never stored.
  f.BtnValueListAddClick();
  EXPECT_EQ(f.impValueList->RowCount(), 3);
  EXPECT_EQ(h.ItemList.Text(), "AM=AM\r\nPM=PM\r\n");
  f.impValueList->SelectRow(0);
  f.BtnValueListUpClick();
  f.BtnValueListDownClick();
  f.BtnValueListDownClick();
  f.BtnValueListDownClick();
  EXPECT_EQ(Rows(f.impValueList), (std::vector<std::string>{"PM|PM", "|", "AM|AM"}));
  EXPECT_EQ(f.impValueList->CurrentRow(), 2);
  EXPECT_EQ(h.ItemList.Text(), "PM=PM\r\nAM=AM\r\n");
  f.BtnRemoveClick();
  EXPECT_EQ(Rows(f.impValueList), (std::vector<std::string>{"PM|PM", "|"}));
  f.BtnRemoveAllClick();
  EXPECT_EQ(Rows(f.impValueList), std::vector<std::string>{"|"});
  EXPECT_EQ(h.ItemList.Count(), 0);
  f.impValueList->Append("Only", "1");
  f.impValueList->SelectRow(0);
  f.BtnRemoveClick();
  EXPECT_EQ(Rows(f.impValueList), std::vector<std::string>{"|"}) << "the last row is blanked, not deleted";

  // Typed into the list like a user: leaving it writes the column.
  f.impValueList->SetFocus();
  f.impValueList->SelectCell(0, 0, {});
  TypeKeys("Red");
  Key(Focus(), Qt::Key_Return);
  f.impValueList->SelectCell(1, 0, {});
  TypeKeys("r");
  w.Form->TableInfo->SetFocus();
  EXPECT_EQ(h.ItemList.Text(), "Red=r\r\n");

  // A caption typed with "=" is refused with a message.
  bool accept = true;
  f.impValueList->OnEditAccept(f.impValueList, 0, 0, "a=b", accept);
  EXPECT_FALSE(accept);
  EXPECT_EQ(w.F.Messages.Recorder.Calls.size(), 1u);
  accept = true;
  f.impValueList->OnEditAccept(f.impValueList, 1, 0, "a=b", accept);
  EXPECT_TRUE(accept) << "a value may hold it";

  // The hidden-value presets go into the column at once.
  f.setDetails("Hidden");
  Choose(f.impSelPreHidden, "Date - 2004-12-31");
  EXPECT_EQ(h.iHiValue, "echo date('Y-m-d');");
}

TEST(FieldEditor, NumbersTakeDigitsAndAreCheckedBeforeAnythingIsCopied) {
  QF_REQUIRE_DB(db);
  TEditorWindow w(db);
  TFrameDetailedProperties& f = *w.Frame;
  TBaseHtmlInput& h = w.Options("name");
  // Typed like a user; leaving the field writes the column.
  for (const auto& [type, edit] : {std::pair<const char*, TCustomFlatEdit*>{"File", f.inpFileUploadSize},
                                   {"Text", f.inpMaxSize}}) {
    f.setDetails(type);
    edit->SetFocus();
    Key(Focus(), Qt::Key_End);
    Type(Focus(), "\b\b\b\b\b\b1x-2");
    EXPECT_EQ(edit->Text(), "12");
  }
  f.inpDefaultValue->SetFocus();
  Type(Focus(), "typed");
  w.Form->TableInfo->SetFocus();
  EXPECT_EQ(h.iMax, 12);
  EXPECT_EQ(h.iFileUpSize, "12");
  EXPECT_EQ(h.iValue, "typed");

  // Pasted text that is no number stops the copy before anything changed.
  f.inpErrorText->SetText("changed");
  for (TCustomFlatEdit* edit : std::initializer_list<TCustomFlatEdit*>{f.eTAWidth, f.inpFileUploadSize, f.inpInputSize}) {
    const std::string old = edit->Text();
    edit->SetText("-5");
    EXPECT_THROW(TInterfaceTableDetail(*w.Form).updateData(), EConvertError) << edit->Name();
    EXPECT_EQ(h.iErrorText, "");
    edit->SetText(old);
  }
  // An empty size keeps the column's.
  f.inpInputSize->SetText("");
  TInterfaceTableDetail(*w.Form).updateData();
  EXPECT_EQ(h.iLength, 35);
  EXPECT_EQ(h.iErrorText, "changed");
}
