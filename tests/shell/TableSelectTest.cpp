// The table panel against the private server: importing the fixture tables,
// adding and removing them with the trees, grids, status bar and current
// table in step, and Update project.

#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/GradPageControl.h"
#include "grid/CellClasses.h"
#include "grid/GridView.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/StdCtrls.h"

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
  EXPECT_EQ(form->SelectTablePanel->MemoProjectInfo->Lines()[3], "Tables: 6");
  ExpectShown(form, "shop", "audit_log", 2);

  const TWebTable& order = *p.FindTable("shop", "order");
  EXPECT_EQ(order.Caption, "shop.order");
  for (const std::string* right : {&order.InsertRight, &order.UpdateRight, &order.DeleteRight, &order.DetailRight,
                                   &order.ListRight})
    EXPECT_EQ(*right, "Guest");
  EXPECT_FALSE(order.SendMail);

  struct TColumn {
    const char* Table;
    const char* Field;
    const char* Type;
    bool Key, List;
    const char* Input;
    const char* Filter;
    std::vector<std::string> Items;
  };
  const TColumn columns[] = {
      {"products", "id", "int(11)", true, true, "Text", "Interval", {}},
      // The fifth column is the last one listed and filtered.
      {"products", "released", "date", false, true, "Text", "Interval", {}},
      {"products", "updated_at", "datetime", false, false, "Text", "No", {}},
      {"products", "status", "enum('new','used','it''s')", false, false, "Combobox", "No", {"new=new", "used=used", "it's=it's"}},
      {"products", "colours", "set('red','green','blue')", false, false, "Checkbox", "No",
       {"red=red", "green=green", "blue=blue"}},
      {"products", "city_id", "int(11)", false, false, "Text", "No", {}},
      {"order", "key", "varchar(32)", false, true, "Text", "Interval", {}},
      {"order_item", "order_id", "int(11)", true, true, "Text", "Interval", {}},
      {"order_item", "product_id", "int(11)", true, true, "Text", "Interval", {}},
      {"order_item", "quantity", "int(11)", false, true, "Text", "Interval", {}},
      {"audit_log", "logged_at", "datetime", false, true, "Text", "Interval", {}},
  };
  for (const TColumn& c : columns) {
    SCOPED_TRACE(std::string(c.Table) + "." + c.Field);
    const TWebTable& table = *p.FindTable("shop", c.Table);
    const TWebInput* input = nullptr;
    for (const auto& i : table.InputList)
      if (i->Database_field == c.Field) input = i.get();
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->Type, c.Type);
    EXPECT_EQ(input->Caption, c.Field);
    EXPECT_EQ(input->Key, c.Key);
    EXPECT_EQ(input->List, c.List);
    EXPECT_TRUE(input->Insert && input->Update && input->Detail);
    EXPECT_EQ(input->Input_type, c.Input);
    EXPECT_EQ(input->Filter_type, c.Filter);
    EXPECT_EQ(input->View_type, "Text");
    EXPECT_TRUE(input->UseHint);
    EXPECT_EQ(input->HtmlInput->ItemList.Lines(), c.Items);
    EXPECT_FALSE(input->HtmlInput->iLElementFromDb);
    if (!c.Items.empty()) {
      EXPECT_EQ(input->HtmlInput->iLSource, 1);
    }
  }

  // The grid shows a table as the model holds it, the key column as an image.
  form->SelectTablePanel->TreeSelectedTable->SetSelected(
      form->SelectTablePanel->TreeSelectedTable->Items().GetFirstNode()->Item(4));
  ExpectShown(form, "shop", "order_item", 3);
  TGridView& grid = *form->TableInfo;
  EXPECT_EQ(grid.GetCellObject(0, 1)->AsInteger(), 6);
  EXPECT_EQ(grid.GetCellObject(0, 2)->AsInteger(), 8);
  EXPECT_EQ(grid.GetCellText(2, 2), "int(11)");
  EXPECT_TRUE(grid.GetCellObject(6, 2)->AsBoolean());
  EXPECT_EQ(grid.GetCellText(10, 2), "Interval");

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

  // A grid edit lands in the table on screen.
  form->TableInfo->BeginEdit(7, 1);
  form->TableInfo->ActiveEditor()->SetText("Town");
  form->TableInfo->CommitEdit();
  form->TableInfo->EndEdit();
  EXPECT_EQ(p.FindTable("shop", "city")->GetInputListElement(1)->Caption, "Town");
  EXPECT_EQ(p.FindTable("shop", "products")->GetInputListElement(1)->Caption, "name");

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
  panel.TreeSelectedTable->SetSelected(panel.TreeSelectedTable->Items().GetFirstNode()->GetFirstChild());
  ExpectShown(form, "my-db", "notes", 3);
  Click(panel.BtnRemoveTable->Handle(), QPoint(6, 6));
  EXPECT_EQ(p.GetTableCount(), 0);
  EXPECT_EQ(p.CurrentTable, "");
  EXPECT_EQ(form->TableInfo->RowCount(), 0);
  EXPECT_FALSE(form->FrameDetailedProperties->Visible());
  EXPECT_EQ(Status(form, 1), "Table: ");
}

TEST(TablePanel, ProjectTablesShowUnderTheirOwnDatabases) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = StartConnected(f, db);
  auto project = ShopProject(db, {"products", "city"});
  auto notes = std::make_unique<TWebTable>();
  notes->DB = "my-db";
  notes->Name = "notes";
  project->Tables.insert(project->Tables.begin() + 1, std::move(notes));
  form->ReplaceProject(std::move(project));
  EXPECT_EQ(TreeTexts(form->SelectTablePanel->TreeSelectedTable),
            (std::vector<std::string>{"shop", "  products", "  city", "my-db", "  notes"}));
  EXPECT_EQ(Status(form, 0), "DB: ");
}

TEST(TablePanel, UpdateProjectReshowsTheCurrentTableWithItsNewColumns) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = StartConnected(f, db);
  TScratchDatabase scratch(db, "qf_panel_" + std::to_string(::getpid()));
  scratch.Exec("CREATE TABLE " + scratch.Table("books") + " (id INT PRIMARY KEY, title VARCHAR(80), pages INT)");
  scratch.Exec("CREATE TABLE " + scratch.Table("shelf") + " (id INT PRIMARY KEY)");
  form->SelectTablePanel->initAllTablePanel();
  AddFromServer(form, scratch.Name);
  AddFromServer(form, scratch.Name, "books");
  form->TableInfo->SelectRow(2);
  TProjectManager& p = *form->Project();
  p.GetCurrentTable()->GetInputListElement(1)->Caption = "Title";

  // A column changes its type, one is added, a table goes.
  scratch.Exec("ALTER TABLE " + scratch.Table("books") + " MODIFY pages BIGINT, ADD COLUMN isbn CHAR(13)");
  scratch.Exec("DROP TABLE " + scratch.Table("shelf"));
  form->ToolButton3Click();
  EXPECT_EQ(Texts(f.Messages.Recorder), std::vector<std::string>{"Project was updated!"});
  ASSERT_EQ(p.GetTableCount(), 1);
  ExpectShown(form, scratch.Name, "books", 4);
  const TWebTable& books = *p.GetCurrentTable();
  EXPECT_EQ(books.GetInputListElement(1)->Caption, "Title");
  EXPECT_EQ(books.GetInputListElement(2)->Database_field, "pages");
  EXPECT_EQ(books.GetInputListElement(2)->Type, "bigint(20)");
  EXPECT_EQ(books.GetInputListElement(3)->Database_field, "isbn");
  EXPECT_EQ(form->TableInfo->GetCellText(1, 3), "isbn");
  // The field editor edits the first column again: the old row may name another one now.
  EXPECT_EQ(form->FrameDetailedProperties->EditedInput(), books.GetInputListElement(0));
}
