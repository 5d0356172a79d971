// The main window's editing surfaces against the private server: the column
// grid's edits by field name (sorted too), Esc, the site-settings grid's
// edit and accept rules, both grids' colours as painted, and the security
// page.

#include "ShellTestKit.h"

#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "components/FlatRadioButton.h"
#include "components/GradPageControl.h"
#include "grid/GridView.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace qftest;

namespace {

const TWebInput& Input(TMainForm* form, const std::string& field) {
  for (const auto& i : form->Project()->GetCurrentTable()->InputList)
    if (i->Database_field == field) return *i;
  throw std::runtime_error("no column " + field);
}

void ClickCell(TGridView* grid, int col, int row) {
  const TPoint at = grid->GetCellRect(col, row).CenterPoint();
  SendMouse(grid->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {at.X, at.Y});
  SendMouse(grid->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {at.X, at.Y});
}

/** The colour of a cell's pixel a few pixels in from its right edge (past any
 *  text), at dy from its top (negative: from its bottom). */
TColor CellPixel(TGridView* grid, const QImage& image, int col, int row, int dy) {
  const TRect r = grid->GetCellRect(col, row);
  return PixelAt(image, r.Right - 4, dy >= 0 ? r.Top + dy : r.Bottom + dy);
}

/** A main window on the private server, active, with these shop tables added. */
TMainForm* StartWith(TProgramFolder& f, const DbParams& db, std::initializer_list<const char*> tables) {
  TMainForm* form = StartConnected(f, db);
  Activate(form);
  for (const char* table : tables) AddFromServer(form, "shop", table);
  return form;
}

}  // namespace

TEST(ColumnGrid, EachEditReachesTheColumnOfItsRowAlsoWhenSorted) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = StartWith(f, db, {"city", "products"});  // not the first table: edits find the one on screen
  TGridView* grid = form->TableInfo;
  // Sorted by field name: "price", the fourth column, shows in the seventh row.
  grid->Columns().Items(1)->SetSorted(true);
  ASSERT_EQ(grid->GetCellText(1, 0), "city_id");

  struct TCase {
    int Col;
    std::string Value;
    std::function<std::string(const TWebInput&)> Field;
  };
  const auto flag = [](bool TWebInput::*m) { return [m](const TWebInput& i) { return std::string(i.*m ? "1" : "0"); }; };
  const auto text = [](std::string TWebInput::*m) { return [m](const TWebInput& i) { return i.*m; }; };
  const TCase cases[] = {
      {3, "", flag(&TWebInput::Insert)},  {4, "", flag(&TWebInput::Update)},
      {5, "", flag(&TWebInput::Detail)},  {6, "", flag(&TWebInput::List)},
      {11, "", flag(&TWebInput::UseHint)}, {7, "Cost", text(&TWebInput::Caption)},
      {8, "Number", text(&TWebInput::View_type)}, {9, "Listbox", text(&TWebInput::Input_type)},
      {10, "Like", text(&TWebInput::Filter_type)}, {12, "What it costs", text(&TWebInput::HintText)},
  };
  const int row = RowOf(form, "price");
  ASSERT_EQ(row, 6);
  const std::string neighbour = "status";  // the table's seventh column
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Col);
    const std::string before = c.Field(Input(form, "price"));
    const std::string untouched = c.Field(Input(form, neighbour));
    if (c.Value.empty())
      ClickCell(grid, c.Col, row);  // a check box toggles
    else
      EditCell(grid, c.Col, row, c.Value);
    const std::string after = c.Field(Input(form, "price"));
    if (c.Value.empty())
      EXPECT_EQ(after, before == "1" ? "0" : "1");
    else
      EXPECT_EQ(after, c.Value);
    EXPECT_EQ(c.Field(Input(form, neighbour)), untouched);
  }
  // Choosing the row makes the column its own index current, not the row's.
  EXPECT_EQ(form->Project()->CurrentRow, 3);
  grid->SelectRow(0);
  EXPECT_EQ(form->Project()->GetCurrentTable()->GetInputListElement(form->Project()->CurrentRow)->Database_field,
            "city_id");
}

TEST(ColumnGrid, EscWritesTheModelBackFromTheCellAndNoTableChangesNothing) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = StartWith(f, db, {"customer", "city"});
  TGridView* grid = form->TableInfo;
  const int row = RowOf(form, "name");
  for (const auto& [col, value] : {std::pair{7, "Town"}, {12, "hint"}, {9, "Radiobox"}}) {
    SCOPED_TRACE(col);
    const std::string cell = grid->GetCellText(col, row);
    EditCell(grid, col, row, value, /*escape=*/true);
    EXPECT_EQ(grid->ActiveEditor() && grid->ActiveEditor()->Visible(), false);
    const TWebInput& name = Input(form, "name");
    EXPECT_EQ(col == 7 ? name.Caption : col == 12 ? name.HintText : name.Input_type, cell);
  }

  // Without a current table, or past the last row, the handlers leave everything alone.
  form->TableInfoEdit(7, 99, "x");
  form->TableInfoSelectCell(0, 99);
  form->Project()->CurrentTable.clear();
  form->TableInfoEdit(7, row, "x");
  form->TableInfoSelectCell(7, row);
  form->Project()->CurrentTable = "city";
  EXPECT_EQ(Input(form, "name").Caption, "name");

  // An edit still open when another table is chosen (Update project, too)
  // is taken into its own table, never into the next one's column of that name.
  form->Project()->FindTable("shop", "customer")->GetInputListElement(1)->Caption = "Client";
  for (const auto& [choose, caption] : std::initializer_list<std::pair<std::function<void()>, const char*>>{
           {[&] { ShowTable(form, "customer"); }, "Town"}, {[&] { form->ToolButton3Click(); }, "City"}}) {
    ShowTable(form, "city");
    grid->SelectRow(row);
    grid->BeginEdit(7, row);
    grid->ActiveEditor()->SetText(caption);
    choose();
    EXPECT_EQ(form->Project()->FindTable("shop", "city")->GetInputListElement(1)->Caption, caption);
    EXPECT_EQ(form->Project()->FindTable("shop", "customer")->GetInputListElement(1)->Caption, "Client");
  }
}

TEST(Grids, EvenRowsAreLightBlueTheSelectionIsAGradientByFocusAndTheSiteSettingsTakeTheirEdits) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = StartWith(f, db, {"city", "customer", "products"});
  const TColor lightBlue = RGB(227, 237, 251);
  for (TGridView* grid : {form->TableSettingsGrid, form->TableInfo}) {
    SCOPED_TRACE(grid->Name());
    form->SubPageControl->SetActivePage(grid == form->TableInfo ? form->AdvTabSheet1 : form->AdvTabSheet3);
    grid->SelectRow(1);
    form->SelectTablePanel->TreeAllTable->SetFocus();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !grid->HasFocus(); }));
    QImage image = Painted(grid);
    EXPECT_EQ(CellPixel(grid, image, 2, 0, 3), lightBlue);
    EXPECT_EQ(CellPixel(grid, image, 2, 2, 3), lightBlue);
    // Unfocused, the grid hides its selection: row 1 keeps the grid's white.
    EXPECT_EQ(CellPixel(grid, image, 2, 1, 3), clWhite);

    grid->SetFocus();
    ASSERT_TRUE(ProcessEventsUntil([&] { return grid->HasFocus(); }));
    image = Painted(grid);
    EXPECT_EQ(CellPixel(grid, image, 2, 1, 0), RGB(255, 190, 120));
    const TColor bottom = CellPixel(grid, image, 2, 1, -2);
    EXPECT_EQ(GetRValue(bottom), 255);
    EXPECT_LE(GetGValue(bottom), 140) << "towards RGB(255, 127, 0)";
    EXPECT_EQ(CellPixel(grid, image, 2, 2, 3), lightBlue);
    // With the selection shown out of focus, it is the grey gradient.
    grid->SetAppearanceOptions({aoHintMarks});
    FocusOn(form->SelectTablePanel->TreeAllTable);
    image = Painted(grid);
    EXPECT_EQ(CellPixel(grid, image, 2, 1, 0), RGB(200, 200, 200));
    EXPECT_GT(GetRValue(CellPixel(grid, image, 2, 1, -2)), 225);
    grid->SetAppearanceOptions({aoHideSelection, aoHintMarks});
  }

  // The site-settings grid: a right is taken with each change, Esc puts the cell back.
  TGridView* grid = form->TableSettingsGrid;
  form->SubPageControl->SetActivePage(form->AdvTabSheet3);
  TWebTable& customer = *form->Project()->FindTable("shop", "customer");
  ASSERT_EQ(grid->GetCellText(1, 1), "customer");
  FocusOn(grid);
  grid->BeginEdit(5, 1);
  grid->ActiveEditor()->SetText("Admin");
  EXPECT_EQ(customer.DeleteRight, "Admin") << "a right is taken with the change";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(customer.DeleteRight, "Guest") << "Esc puts the cell's value back";
  EXPECT_EQ(grid->GetCellText(5, 1), "Guest");
  EditCell(grid, 3, 1, "Admin");
  EXPECT_EQ(customer.InsertRight, "Admin");
  grid->HorzScrollBar()->SetPosition(100);  // the mail column comes into view
  ClickCell(grid, 8, 1);
  EXPECT_TRUE(customer.SendMail);
  EXPECT_FALSE(form->Project()->FindTable("shop", "city")->SendMail);
}

TEST(SecurityPage, TheBinderCopiesEachModeBothWays) {
  TProgramFolder f;
  TMainForm* form = f.Start();
  TProjectManager& p = *form->Project();
  // Another mode leaves the page as it was (here: as "Admin" left it).
  for (const auto& [mode, admin, name] :
       {std::tuple{"Admin", true, "boss"}, {"No", false, ""}, {"Admin", true, "boss"}, {"Odd", true, "boss"}}) {
    SCOPED_TRACE(mode);
    p.SecurityMode = mode;
    p.AdminName = "boss";
    p.AdminPass = "pw";
    form->AdvTabSheet5Show();
    EXPECT_EQ(form->secAdmin->Checked(), admin);
    EXPECT_EQ(form->secNoUser->Checked(), !admin);
    EXPECT_EQ(form->secAdminName->Text(), name);
    EXPECT_EQ(form->secAdminName->Enabled(), admin);
    // Filling the page writes nothing back.
    EXPECT_EQ(std::tuple(p.SecurityMode, p.AdminName, p.AdminPass), std::tuple(mode, "boss", "pw"));
  }

  form->secAdminName->SetText("chief");
  form->secAdminPass->SetText("new");
  form->secAdminNameChange();
  EXPECT_EQ(std::tuple(p.SecurityMode, p.AdminName, p.AdminPass), std::tuple("Admin", "chief", "new"));
  form->secNoUser->SetChecked(true);
  EXPECT_EQ(std::tuple(p.SecurityMode, p.AdminName, p.AdminPass), std::tuple("No", "", ""));
  EXPECT_FALSE(form->AdminSettingsPanel->Enabled());
  form->secAdmin->SetChecked(true);
  EXPECT_EQ(std::tuple(p.SecurityMode, p.AdminName, p.AdminPass), std::tuple("Admin", "chief", "new"));
  EXPECT_TRUE(form->secAdminPass->Enabled());
}
