// The table panel against the private server: importing the fixture tables,
// adding and removing them with the trees, grids, status bar and current
// table in step.

#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/FlatEdit.h"
#include "core/TextUtils.h"
#include "shell/ConnectionWindow.h"
#include "components/GradPageControl.h"
#include "grid/CellClasses.h"
#include "grid/GridView.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/StdCtrls.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

std::string Status(TMainForm* form, int panel) { return form->StatusBar1->Panels()[panel]->Text(); }

/** Everything that says which table is current agrees on table (empty: none). */
void ExpectShown(TMainForm* form, const std::string& database, const std::string& table, int columns) {
  TProjectManager& p = *form->Project();
  EXPECT_EQ(p.CurrentDatabase, database);
  EXPECT_EQ(p.CurrentTable, table);
  EXPECT_EQ(Status(form, 0), "DB: " + database);
  EXPECT_EQ(Status(form, 1), "Table: " + table);
  EXPECT_EQ(form->TableInfo->RowCount(), columns);
  EXPECT_EQ(form->FrameDetailedProperties->Visible(), !table.empty());
  TTreeNode* selected = form->SelectTablePanel->TreeSelectedTable->Selected();
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(selected->Text(), table.empty() ? database : table);
  if (table.empty()) return;
  const TWebTable* shown = p.GetCurrentTable();
  ASSERT_NE(shown, nullptr);
  for (int row = 0; row < form->TableInfo->RowCount(); ++row)
    EXPECT_EQ(form->TableInfo->GetCellText(1, row), shown->GetInputListElement(row)->Database_field);
}

}  // namespace

TEST(SchemaImport, TheFixtureTablesGetTheirDefaultsPerColumnType) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = StartConnected(f, db);
  form->Project()->ProjectName = "";
  AddFromServer(form, "shop");
  TProjectManager& p = *form->Project();
  EXPECT_EQ(p.ProjectName, "Project1") << "a project without a name gets one";

  // The database node brings every table, in the server's order; the first is shown.
  const std::vector<std::string> tables = {"audit_log", "city", "customer", "order", "order_item", "products"};
  ASSERT_EQ(p.GetTableCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(p.GetTable(i)->Name, tables[i]);
    EXPECT_EQ(form->TableSettingsGrid->GetCellText(1, i), tables[i]);
  }
  ExpectShown(form, "shop", "audit_log", 2);

  // One column per fault class: the first-five edge, enum (with a quote) and
  // set lists, a composite key, a reserved word as table and column name.
  struct TColumn {
    const char* Table;
    const char* Field;
    bool Key, List;
    const char* Input;
    std::vector<std::string> Items;
  };
  const TColumn columns[] = {
      {"products", "released", false, true, "Text", {}},
      {"products", "updated_at", false, false, "Text", {}},
      {"products", "status", false, false, "Combobox", {"new=new", "used=used", "it's=it's"}},
      {"products", "colours", false, false, "Checkbox", {"red=red", "green=green", "blue=blue"}},
      {"order_item", "product_id", true, true, "Text", {}},
      {"order", "key", false, true, "Text", {}},
  };
  for (const TColumn& c : columns) {
    SCOPED_TRACE(std::string(c.Table) + "." + c.Field);
    const TWebInput* input = nullptr;
    for (const auto& i : p.FindTable("shop", c.Table)->InputList)
      if (i->Database_field == c.Field) input = i.get();
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(std::tuple(input->Key, input->List, input->Filter_type, input->Input_type),
              std::tuple(c.Key, c.List, c.List ? "Interval" : "No", c.Input));
    EXPECT_EQ(input->HtmlInput->ItemList.Lines(), c.Items);
    if (!c.Items.empty()) {
      EXPECT_EQ(input->HtmlInput->iLSource, 1);
    }
  }

  // The grid shows a table as the model holds it, the key column as an image.
  ShowTable(form, "order_item");
  ExpectShown(form, "shop", "order_item", 3);
  EXPECT_EQ(form->TableInfo->GetCellObject(0, 1)->AsInteger(), 6);
  EXPECT_EQ(form->TableInfo->GetCellObject(0, 2)->AsInteger(), 8);

  // Adding what is there already changes nothing.
  AddFromServer(form, "shop", "city");
  EXPECT_EQ(p.GetTableCount(), 6);
  EXPECT_EQ(form->TableSettingsGrid->RowCount(), 6);
  ExpectShown(form, "shop", "city", 2);
}

TEST(TablePanel, AddAndRemoveKeepTreesGridsStatusAndCurrentTableInStep) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = StartConnected(f, db);
  TTableSelectPanel& panel = *form->SelectTablePanel;
  TProjectManager& p = *form->Project();

  AddFromServer(form, "shop", "products");
  ExpectShown(form, "shop", "products", 10);
  // Choosing a column before the next Add: the next table starts at its first.
  form->TableInfo->SelectRow(3);
  EXPECT_EQ(p.CurrentRow, 3);
  AddFromServer(form, "my-db", "notes");
  ExpectShown(form, "my-db", "notes", 3);
  EXPECT_EQ(p.CurrentRow, 0);
  EXPECT_EQ(form->FrameDetailedProperties->EditedInput()->Database_field, "id");
  AddFromServer(form, "shop", "city");
  ExpectShown(form, "shop", "city", 2);
  EXPECT_EQ(TreeTexts(panel.TreeSelectedTable),
            (std::vector<std::string>{"shop", "  products", "  city", "my-db", "  notes"}));
  EXPECT_EQ(form->TableSettingsGrid->RowCount(), 3);

  // Removing the table on screen: the selection moves to its database.
  Click(panel.BtnRemoveTable->Handle(), QPoint(6, 6));
  EXPECT_EQ(p.FindTable("shop", "city"), nullptr);
  EXPECT_EQ(form->TableSettingsGrid->RowCount(), 2);
  ExpectShown(form, "shop", "", 0);
  EXPECT_EQ(form->SubPageControl->ActivePage(), form->AdvTabSheet3);
  EXPECT_EQ(panel.MemoProjectInfo->Lines()[3], "Tables: 2");

  // Removing a database takes every table of it, and its grid rows.
  panel.TreeSelectedTable->SetSelected(panel.TreeSelectedTable->Items().GetFirstNode());
  Click(panel.BtnRemoveTable->Handle(), QPoint(6, 6));
  ASSERT_EQ(p.GetTableCount(), 1);
  EXPECT_EQ(p.GetTable(0)->Name, "notes");
  ASSERT_EQ(form->TableSettingsGrid->RowCount(), 1);
  EXPECT_EQ(form->TableSettingsGrid->GetCellText(0, 0), "my-db");
  ExpectShown(form, "my-db", "", 0);

  // The last table going leaves nothing current.
  ShowTable(form, "notes", "my-db");
  ExpectShown(form, "my-db", "notes", 3);
  Click(panel.BtnRemoveTable->Handle(), QPoint(6, 6));
  EXPECT_EQ(p.GetTableCount(), 0);
  EXPECT_EQ(p.CurrentTable, "");
  EXPECT_EQ(form->TableInfo->RowCount(), 0);
  EXPECT_FALSE(form->FrameDetailedProperties->Visible());
  EXPECT_EQ(Status(form, 1), "Table: ");
}

// A long project name keeps the summary's four lines in sight: its line is
// cut to the memo's width, the whole name its hint; a wider panel shows more.
TEST(TableSelect, ALongProjectNameLeavesEveryLineOfTheSummaryInSight) {
  TProgramFolder f;
  TMainForm* main = f.Start();
  TTableSelectPanel* panel = main->SelectTablePanel;
  TMemo* memo = panel->MemoProjectInfo;
  auto rename = [&](const std::string& name) {
    main->ProjectSettingsSBtnClick();
    main->ConnectionForm->EProjectName->SetText(name);
    Click(main->ConnectionForm->BtnConnect->Handle(), QPoint(6, 6));
    Grabbed(memo);  // laid out as it is shown
  };
  auto* edit = memo->Handle()->findChild<QPlainTextEdit*>();
  ASSERT_NE(edit, nullptr);
  // Lines of text on screen, each line's wrapped ones counted.
  auto shownLines = [&] {
    int n = 0;
    for (QTextBlock b = edit->document()->firstBlock(); b.isValid(); b = b.next())
      if (!b.text().isEmpty()) n += b.lineCount();
    return n;
  };
  const std::string name = "A project whose name is far longer than the panel is wide, and then some";
  rename(name);
  ASSERT_EQ(memo->Lines().Count(), 4);
  EXPECT_EQ(shownLines(), 4) << "no line wraps";
  EXPECT_LE(4 * edit->fontMetrics().lineSpacing(), edit->viewport()->height()) << "and all four fit";
  const std::string first = memo->Lines()[0];
  EXPECT_TRUE(StartsWith(first, "Project: A project")) << first;
  EXPECT_TRUE(EndsWith(first, "...")) << first;
  EXPECT_EQ(memo->Lines()[1], "Host: " + main->Project()->Database_host);
  EXPECT_EQ(memo->Lines()[3], "Tables: 0");
  EXPECT_EQ(memo->Hint(), "Project: " + name);
  EXPECT_TRUE(memo->ShowHint());

  panel->SetWidth(200);
  Grabbed(memo);
  EXPECT_GT(memo->Lines()[0].size(), first.size()) << "more of it on a wider panel";
  EXPECT_EQ(shownLines(), 4);

  rename("shop");
  EXPECT_EQ(memo->Lines()[0], "Project: shop");
  EXPECT_FALSE(memo->ShowHint());
}
