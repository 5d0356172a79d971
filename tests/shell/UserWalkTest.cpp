// A user's walk through the program, end to end: start it on the private
// server, make a project in the project dialog, add tables and set their
// columns up in the editors, choose a theme, save, quit, start again on the
// saved file, generate, and serve what was generated.

#include "E2ESupport.h"
#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatComboBox.h"
#include "components/FlatSpeedButton.h"
#include "components/GradPageControl.h"
#include "core/Files.h"
#include "grid/GridView.h"
#include "shell/ConnectionWindow.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/LookAndFeelFrame.h"
#include "shell/ValueListEditor.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/Menus.h"

#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

std::vector<std::string> Databases(TMainForm* form) { return TreeTexts(form->SelectTablePanel->TreeAllTable, false); }

void ClickOn(TControl* control) { Click(control->Handle(), QPoint(6, 6)); }

/** Chooses a column's row in the column grid and gives it an input type. */
void ColumnOfType(TMainForm* form, const std::string& field, const std::string& type) {
  const int row = RowOf(form, field);
  ASSERT_GE(row, 0) << field;
  form->TableInfo->SelectRow(row);
  EditCell(form->TableInfo, 9, row, type);
}

const TWebInput* Column(const TProjectManager& p, const std::string& table, const std::string& field) {
  if (const TWebTable* t = p.FindTable("shop", table))
    for (const auto& c : t->InputList)
      if (c->Database_field == field) return c.get();
  ADD_FAILURE() << table << "." << field;
  static const TWebInput none("none");
  return &none;
}

/** Every option the walk set, as the project holds it. */
void ExpectWalkOptions(TMainForm* form) {
  const TProjectManager& p = *form->Project();
  EXPECT_EQ(p.GetTableCount(), 3);
  const TBaseHtmlInput& lookup = *Column(p, "customer", "city_id")->HtmlInput;
  EXPECT_EQ(Column(p, "customer", "city_id")->Input_type, "Combobox");
  EXPECT_TRUE(lookup.iLElementFromDb);
  EXPECT_EQ(lookup.iLSource, 0);
  EXPECT_EQ(std::tuple(lookup.iLTable, lookup.iLDisplayField, lookup.iLValueField), std::tuple("city", "name", "id"));
  EXPECT_EQ(Column(p, "products", "status")->Input_type, "Radiobox");
  EXPECT_EQ(Column(p, "products", "status")->HtmlInput->ItemList.Lines(),
            (std::vector<std::string>{"new=new", "used=used", "It is=it's"}));
  EXPECT_EQ(Column(p, "products", "picture")->Input_type, "File");
  EXPECT_EQ(Column(p, "products", "picture")->HtmlInput->iFileUpDir, "uploads/");
  EXPECT_EQ(Column(p, "products", "name")->Filter_type, "Like");
  EXPECT_EQ(p.CSS, "ocean");
}

}  // namespace

TEST(UserWalk, CreateSaveQuitReopenGenerateAndServe) {
  QF_REQUIRE_DB(db);
  std::string output;
  if (e2e::RunCommand("php -v", output) != 0) GTEST_SKIP() << "php cannot be run";
  TProgramFolder f;
  f.WriteSettings(ServerSettings(db, true, true));

  // The program starts connected to the default server.
  TMainForm* form = f.Start();
  EXPECT_TRUE(f.Messages.Recorder.Calls.empty());
  ClickOn(form->NewSBtn);
  TConnectionForm* dialog = form->ConnectionForm;
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(dialog->Visible());
  dialog->EHost->SetText(db.Host);
  dialog->EUsername->SetText(db.User);
  dialog->EPassword->SetText(db.Password);
  dialog->EPort->SetText(std::to_string(db.Port));
  dialog->EDatabase->SetText("shop");
  dialog->EProjectName->SetText("walk");
  dialog->EPrjPath->SetText(f.File("projects"));
  dialog->EPrjOutput->SetText(f.File("site"));
  dialog->EPrjLocalDomain->SetText("http://127.0.0.1/walk/");
  dialog->EPrjUseLocalDomain->SetChecked(true);
  ClickOn(dialog->BtnConnect);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_TRUE(Has(Databases(form), "shop"));

  // Three tables; a customer's city is shown by name, a product's status is
  // a radio list (one caption retyped), its picture an upload, its name
  // filtered by likeness.
  Activate(form);
  for (const char* table : {"products", "city", "customer"}) AddFromServer(form, "shop", table);
  TFrameDetailedProperties& details = *form->FrameDetailedProperties;
  ShowTable(form, "customer");
  ColumnOfType(form, "city_id", "Combobox");
  EXPECT_EQ(details.TypeSelector->ActivePage(), details.ComboboxPage);
  details.DataSourceSelector->SetActivePage(details.DatabaseSourcePage);
  ChooseWithKeys(details.eCOTable, "city");
  ChooseWithKeys(details.eCODisplayField, "name");
  ChooseWithKeys(details.eCOValueField, "id");
  FocusOn(form->TableInfo);
  ShowTable(form, "products");
  ColumnOfType(form, "status", "Radiobox");
  EXPECT_EQ(details.TypeSelector->ActivePage(), details.ComboboxPage);
  EXPECT_EQ(details.DataSourceSelector->ActivePage(), details.ManualSourcePage);
  ASSERT_EQ(details.impValueList->Value(2), "it's");
  EditCell(details.impValueList, 0, 2, "It is");
  FocusOn(form->TableInfo);
  ColumnOfType(form, "picture", "File");
  EXPECT_EQ(details.TypeSelector->ActivePage(), details.FileboxPage);
  FocusOn(details.inpFileUploadDir);
  Type(Focus(), "uploads/");
  FocusOn(form->TableInfo);
  EditCell(form->TableInfo, 10, RowOf(form, "name"), "Like");
  // The second theme.
  form->SubPageControl->SetActivePage(form->AdvTabSheet2);
  TFlatComboBox* themes = form->LookAndFeelPanel->CssSelector;
  FocusOn(themes);
  ASSERT_GE(themes->Items().Count(), 2);
  ASSERT_EQ(themes->Items().Get(1), "ocean");
  ChooseWithKeys(themes, "ocean");
  FocusOn(form->SelectTablePanel->TreeAllTable);
  ExpectWalkOptions(form);

  ForceDirectories(f.File("projects"));
  ClickOn(form->BtnSave);
  ASSERT_TRUE(FileExists(f.File("projects/walk.vrk")));
  form->Exit1->Click();
  EXPECT_EQ(f.ReadSettings().at("Last_project_name"), "walk");
  f.Stop();

  // Again, on the saved file alone: the settings would load nothing.
  TSettings settings = ServerSettings(db, false, false);
  f.WriteSettings(settings);
  form = f.Start({f.File("projects/walk.vrk")});
  EXPECT_TRUE(f.Messages.Recorder.Calls.empty()) << Texts(f.Messages.Recorder).front();
  EXPECT_EQ(form->Caption(), "Quarrowfield - walk");
  EXPECT_FALSE(Databases(form).empty());
  ExpectWalkOptions(form);
  EXPECT_EQ(form->LookAndFeelPanel->ThemeName(), "ocean");
  ClickOn(form->FlatSpeedButton1);
  EXPECT_EQ(f.Shell.Calls.size(), 1u) << "the site is opened once generated";

  // The site answers.
  const auto [server, port] = e2e::StartPhpServer(f.File("site"), f.File("php.out"));
  ASSERT_GT(server, 0) << e2e::ReadIfExists(f.File("php.out"));
  e2e::THttpClient visitor(port);
  const e2e::THttpResponse customers = visitor.Get("/shop_customer_list.php");
  const e2e::THttpResponse products = visitor.Get("/shop_products_list.php");
  const e2e::THttpResponse insert = visitor.Get("/shop_products_insert.php");
  const e2e::THttpResponse style = visitor.Get("/theme/style.css");
  ::kill(server, SIGTERM);
  ::waitpid(server, nullptr, 0);
  // O'Brien lives in London (city 3), Müller in Zürich (city 1).
  EXPECT_EQ(customers.Status, 200);
  EXPECT_NE(customers.Body.find("London"), std::string::npos) << customers.Body;
  EXPECT_NE(customers.Body.find("Zürich"), std::string::npos);
  EXPECT_NE(customers.Body.find("href=\"theme/style.css\""), std::string::npos);
  EXPECT_EQ(style.Body, ReadFileText(SourceDir() + "/data/themes/ocean/style.css"));
  EXPECT_NE(products.Body.find("name=\"name_val\""), std::string::npos) << "the name's like filter";
  EXPECT_EQ(insert.Status, 200);
  for (const char* item : {"value=\"new\">new", "value=\"used\">used", "value=\"it&#39;s\">It is"})
    EXPECT_NE(insert.Body.find("type=\"radio\" " + std::string(item)), std::string::npos) << item << "\n" << insert.Body;
  EXPECT_NE(insert.Body.find("type=\"file\""), std::string::npos);
  const std::string log = e2e::ReadIfExists(f.File("php.out"));
  EXPECT_EQ(log.find("PHP Warning"), std::string::npos) << log;
  EXPECT_EQ(log.find("PHP Fatal"), std::string::npos) << log;
}
