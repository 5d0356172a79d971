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
    ShowTable(Form, "products");
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
};

/** Clicks the tab of page index, as a user does. */
void ClickTab(TGradPageControl* pages, int index) {
  const TRect r = pages->TabRect(index);
  Click(pages->Handle(), QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

using TListRows = std::vector<std::string>;

TListRows Rows(TValueListEditor* list) {
  TListRows rows;
  for (int row = 0; row < list->RowCount(); ++row) rows.push_back(list->Caption(row) + "|" + list->Value(row));
  return rows;
}

}  // namespace

TEST(LookupSelect, BuiltFromTheLookupControls) {
  struct TCase {
    std::string Table, Display, Value, Where, Relation, Compared, Sort;
    bool Distinct;
    std::string Sql;
  } cases[] = {
      {"", "name", "", "", "All", "", "Asc", true, ""},
      {"products", "", "id", "", "All", "", "Asc", true, ""},
      {"city", "name", "id", "id", "All", "3", "Desc", false,
       "SELECT `name` ,`id` FROM `shop`.`city` ORDER BY `name` DESC"},
      {"city", "name", "id", "name", "Unlike", "L'A%", "Asc", true,
       "SELECT DISTINCT `name` ,`id` FROM `shop`.`city` WHERE `name` NOT LIKE 'L''A%' ORDER BY `name` ASC"},
      {"order", "key", "", "we`ird", "=", "x", "No short", false,
       "SELECT `key`  FROM `shop`.`order` WHERE `we``ird` = 'x'"},
  };
  for (const TCase& c : cases) {
    TBaseHtmlInput h("x");
    h.iLTable = c.Table, h.iLDisplayField = c.Display, h.iLValueField = c.Value, h.iLWhereField = c.Where;
    h.iLRelation = c.Relation, h.iLValue = c.Compared, h.iLShort = c.Sort, h.iLDistinct = c.Distinct;
    EXPECT_EQ(BuildLookupTestSelect(h, "shop"), c.Sql);
  }
}

TEST(FieldEditor, EachTypeShowsItsPageAndTheBindersRoundTripEveryOption) {
  QF_REQUIRE_DB(db);
  TEditorWindow w(db);
  TBaseHtmlInput lookup("name");
  lookup.iCheckType = "Range", lookup.iCheckMin = "2", lookup.iCheckMax = "9", lookup.iValue = "def";
  lookup.iRequired = lookup.iTAWrap = lookup.iTARequired = lookup.iRaHorizontal = true;
  lookup.iErrorText = "Say it", lookup.iTAErrorText = "Too short", lookup.iTADefault = "line 1\r\nline 2";
  lookup.iLength = 120, lookup.iMax = 180, lookup.iTAWidth = 60, lookup.iTALines = 8;
  lookup.iLElementFromDb = true, lookup.iLDistinct = false, lookup.iLSource = 0, lookup.iLDb = "shop";
  lookup.iLTable = "city", lookup.iLDisplayField = "name", lookup.iLValueField = "id", lookup.iLWhereField = "id";
  lookup.iLRelation = "Unlike", lookup.iLValue = "4", lookup.iLShort = "Desc", lookup.iLSQL = "SELECT 1";
  lookup.ItemList.SetText("Yes=1\n=empty caption");
  lookup.iHiValue = "echo 1;", lookup.iFileUpDir = "/srv/up/", lookup.iFileUpSize = "2048";
  TBaseHtmlInput manual = lookup;
  manual.iLElementFromDb = false, manual.iLSource = 1, manual.iLShort = "No short";
  manual.iLTable = manual.iLDisplayField = manual.iLValueField = manual.iLWhereField = manual.iLRelation = "";
  manual.iLValue = "";
  // Each type shows its page; the error text and the required flag sit on another page for lists.
  TFrameDetailedProperties& f = *w.Frame;
  const struct {
    const char* Type;
    TGradTabSheet* Page;
    bool LineNr, Multiple, Horizontal;
    const TBaseHtmlInput& Options;
  } cases[] = {
      {"Text", f.TextPage, 0, 0, 0, lookup},         {"Password", f.TextPage, 0, 0, 0, manual},
      {"Textarea", f.TextareaPage, 0, 0, 0, lookup}, {"Combobox", f.ComboboxPage, 0, 0, 0, lookup},
      {"Listbox", f.ComboboxPage, 1, 1, 0, manual},  {"Checkbox", f.ComboboxPage, 0, 0, 1, lookup},
      {"File", f.FileboxPage, 0, 0, 0, lookup},      {"Hidden", f.HiddenPage, 0, 0, 0, manual},
      {"Radiobox", f.ComboboxPage, 0, 0, 1, manual},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Type);
    w.Column("id", "Text");  // another column first: nothing of it may stay behind
    TWebInput* input = w.Column("name", c.Type);
    *input->HtmlInput = c.Options;
    TInterfaceTableDetail(*w.Form).updateUI();
    f.TypeSelector->SetActivePage(c.Page == f.HiddenPage ? f.TextPage : f.HiddenPage);
    f.setDetails(c.Type);  // as the type chosen in the grid does
    EXPECT_EQ(f.TypeSelector->ActivePage(), c.Page);
    EXPECT_EQ(f.DataSourceSelector->ActivePageIndex(), c.Options.iLSource);
    if (c.Page == f.ComboboxPage) {
      EXPECT_EQ(f.LLineNr->Visible() + 2 * f.inpListBoxLineNr->Visible(), 3 * c.LineNr);
      EXPECT_EQ(f.inpMultipleselect->Visible(), c.Multiple);
      EXPECT_EQ(f.inpHorizontalAllign->Visible(), c.Horizontal);
    }
    *input->HtmlInput = TBaseHtmlInput("name");
    TInterfaceTableDetail(*w.Form).updateData();
    EXPECT_TRUE(*input->HtmlInput == c.Options);
  }
  // A list turned into a text field keeps its own error text, not the last text field's.
  w.Column("id");
  TWebInput* list = w.Column("name");
  f.setDetails("Text");
  EXPECT_EQ(list->Input_type, "Text");
  TInterfaceTableDetail(*w.Form).updateData();
  EXPECT_EQ(list->HtmlInput->iErrorText, "Say it");
  // An unknown type changes neither the column nor the page.
  f.setDetails("Bogus");
  EXPECT_EQ(list->Input_type, "Text");
  EXPECT_EQ(f.TypeSelector->ActivePage(), f.TextPage);
}

TEST(FieldEditor, TheSqlTestFillsTheValueListFromTheServer) {
  QF_REQUIRE_DB(db);
  TEditorWindow w(db);
  TFrameDetailedProperties& f = *w.Frame;
  TBaseHtmlInput& h = *w.Column("name", "Combobox")->HtmlInput;
  ClickTab(f.DataSourceSelector, 0);
  ChooseWithKeys(f.eCOTable, "city");
  ChooseWithKeys(f.eCODisplayField, "name");
  ChooseWithKeys(f.eCOValueField, "id");
  ChooseWithKeys(f.eCOWhereField, "name");
  ChooseWithKeys(f.eCORelation, "Unlike");
  f.eCOValue->SetFocus();
  Type(Focus(), "L'%");
  ChooseWithKeys(f.eCOShort, "Desc");
  EXPECT_EQ(f.eCOSQL->Text(),
            "SELECT DISTINCT `name` ,`id` FROM `shop`.`city` WHERE `name` NOT LIKE 'L''%' ORDER BY `name` DESC");
  Click(f.BtnSqlTest->Handle(), QPoint(5, 5));
  const TListRows cities = {"東京|2", "Київ|6", "Zürich|1", "São Paulo|4", "London|3"};
  EXPECT_EQ(Rows(f.impValueList), cities);
  // The list is the column's at once, and comes back with it.
  w.Column("id");
  EXPECT_EQ(h.ItemList.Count(), 5);
  EXPECT_TRUE(h.iLElementFromDb);
  w.Column("name");

  // A failing statement changes nothing; a caption holding "=" is refused with a message.
  f.eCOOverSQL->SetChecked(true);
  f.eCOSQL->SetText("SELECT nothing FROM nowhere");
  f.BtnSqlTestClick();
  EXPECT_EQ(Rows(f.impValueList), cities);
  f.eCOSQL->SetText("SELECT 'a=b', 1 UNION SELECT 'c', 2");
  f.BtnSqlTestClick();
  EXPECT_EQ(Rows(f.impValueList), TListRows{"c|2"});
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
    EXPECT_EQ(h.iLSource, page);
  }
  const std::pair<const char*, TListRows> presets[] = {
      {"Yes/No/NA", {"Yes|1", "No|0", "NA|2"}},
      {"Months", {"January|January", "February|February", "March|March", "April|April", "May |May", "June|June",
                  "July|July", "August|August", "September|September", "October |October", "November|November",
                  "December |December"}},
      {"AM/PM", {"AM|AM", "PM|PM"}},
  };
  for (const auto& [preset, rows] : presets) {
    ChooseWithKeys(f.PreselectCombo, preset);
    EXPECT_EQ(Rows(f.impValueList), rows) << preset;
    EXPECT_EQ(h.ItemList.Count(), static_cast<int>(rows.size())) << preset;
  }

  // Add, up and down move the selected row; a blank row is never stored.
  f.BtnValueListAddClick();
  f.impValueList->SelectRow(0);
  f.BtnValueListUpClick();
  for (int i = 0; i < 3; ++i) f.BtnValueListDownClick();
  EXPECT_EQ(Rows(f.impValueList), (TListRows{"PM|PM", "|", "AM|AM"}));
  EXPECT_EQ(f.impValueList->CurrentRow(), 2);
  EXPECT_EQ(h.ItemList.Text(), "PM=PM\r\nAM=AM\r\n");
  f.BtnRemoveClick();
  EXPECT_EQ(Rows(f.impValueList), (TListRows{"PM|PM", "|"}));
  f.BtnRemoveAllClick();
  EXPECT_EQ(Rows(f.impValueList), TListRows{"|"});
  EXPECT_EQ(h.ItemList.Count(), 0);
  f.impValueList->Append("Red", "r");
  f.impValueList->SelectRow(0);
  f.BtnRemoveClick();
  EXPECT_EQ(Rows(f.impValueList), TListRows{"|"}) << "the last row is blanked, not deleted";
}

TEST(FieldEditor, StoredNumbersStayAsTheyAreAndOnlyATypedOneIsRefused) {
  QF_REQUIRE_DB(db);
  TEditorWindow w(db);
  TFrameDetailedProperties& f = *w.Frame;
  TBaseHtmlInput& h = *w.Column("name")->HtmlInput;
  f.inpMaxSize->SetFocus();
  Key(Focus(), Qt::Key_End);
  Type(Focus(), "\b\b1x-2");
  EXPECT_EQ(f.inpMaxSize->Text(), "12");
  w.Form->TableInfo->SetFocus();
  EXPECT_EQ(h.iMax, 12);

  // Values a file may hold that no one could type: shown as they are, kept
  // as they are, and every other field is still taken when one is left.
  h.iFileUpSize = "2M";
  h.iTAWidth = -5;
  h.iLength = -3;
  w.Column("city_id");
  w.Column("name");
  EXPECT_EQ(std::tuple(f.inpFileUploadSize->Text(), f.eTAWidth->Text()), std::tuple("2M", "-5"));
  FocusOn(f.inpErrorText);
  Type(Focus(), "Say it");
  w.Form->TableInfo->SetFocus();
  EXPECT_TRUE(w.F.Messages.Recorder.Calls.empty()) << Texts(w.F.Messages.Recorder).front();
  EXPECT_EQ(std::tuple(h.iErrorText, h.iFileUpSize, h.iTAWidth, h.iLength), std::tuple("Say it", "2M", -5, -3));

  // Pasted text that is no number is refused alone, and said so by its field's name.
  const struct {
    TCustomFlatEdit* Edit;
    const char* Label;
    std::string Stored;
  } typed[] = {{f.eTAWidth, "Input width:", "-5"}, {f.eTALines, "Line number:", "0"},
               {f.inpFileUploadSize, "Maximum file size:", "2M"}, {f.inpInputSize, "Input Size:", "-3"}};
  for (const auto& t : typed) {
    SCOPED_TRACE(t.Label);
    f.inpErrorText->SetText(std::string("Not with ") + t.Label);
    t.Edit->SetText("7a");
    try {
      TInterfaceTableDetail(*w.Form).updateData();
      ADD_FAILURE() << "taken";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'7a' is not a valid integer value for \"") + t.Label + "\"");
    }
    EXPECT_EQ(h.iErrorText, std::string("Not with ") + t.Label);
    EXPECT_EQ(t.Edit->Text(), t.Stored) << "the field shows the column's value again";
  }
  EXPECT_EQ(std::tuple(h.iFileUpSize, h.iTAWidth, h.iLength), std::tuple("2M", -5, -3));
  f.inpInputSize->SetText("");
  TInterfaceTableDetail(*w.Form).updateData();
  EXPECT_EQ(h.iLength, -3) << "an empty size keeps the column's";
}
