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

#include <filesystem>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

std::vector<std::string> Databases(TMainForm* form) {
  std::vector<std::string> names;
  for (TTreeNode* n = form->SelectTablePanel->TreeAllTable->Items().GetFirstNode(); n; n = n->getNextSibling())
    names.push_back(n->Text());
  return names;
}

void ClickOn(TControl* control) { Click(control->Handle(), QPoint(6, 6)); }

void TypeInto(TFlatEdit* edit, const std::string& text) {
  edit->SetText("");
  edit->SetFocus();
  Type(Focus(), text);
}

/** Chooses a table in the selected tree, as a click on it does. */
void ShowTable(TMainForm* form, const std::string& table) {
  TTreeView* tree = form->SelectTablePanel->TreeSelectedTable;
  TTreeNode* node = TTableSelectPanel::FindDatabaseNode(tree, "shop")->GetFirstChild();
  while (node && node->Text() != table) node = node->getNextSibling();
  ASSERT_NE(node, nullptr) << table;
  tree->SetSelected(node);
}

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
  Activate(dialog);
  TypeInto(dialog->EHost, db.Host);
  TypeInto(dialog->EUsername, db.User);
  dialog->EPassword->SetText(db.Password);
  TypeInto(dialog->EPort, std::to_string(db.Port));
  TypeInto(dialog->EDatabase, "shop");
  TypeInto(dialog->EProjectName, "walk");
  dialog->EPrjPath->SetText(f.File("projects"));
  dialog->EPrjOutput->SetText(f.File("site"));
  dialog->EPrjLocalDomain->SetText("http://127.0.0.1/walk/");
  dialog->EPrjUseLocalDomain->SetChecked(true);
  ClickOn(dialog->BtnConnect);
  EXPECT_FALSE(dialog->Visible());
  const std::vector<std::string> databases = Databases(form);
  EXPECT_NE(std::find(databases.begin(), databases.end(), "shop"), databases.end());
  EXPECT_NE(std::find(databases.begin(), databases.end(), "my-db"), databases.end());

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
  ASSERT_EQ(f.Messages.Recorder.Calls.size(), 1u);
  EXPECT_NE(f.Messages.Recorder.Calls[0].Text.find("Generated files are located in " + f.File("site")),
            std::string::npos);
  ASSERT_EQ(f.Shell.Calls.size(), 1u);
  EXPECT_EQ(f.Shell.Calls[0].Kind, TShellRecorder::skUrl);
  EXPECT_EQ(f.Shell.Calls[0].Argument, "http://127.0.0.1/walk/");

  // Every page is valid PHP, and the site answers.
  int pages = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(f.File("site"))) {
    if (entry.path().extension() != ".php") continue;
    ++pages;
    EXPECT_EQ(e2e::RunCommand("php -l '" + entry.path().string() + "'", output), 0) << output;
  }
  EXPECT_GE(pages, 3);
  const auto [server, port] = e2e::StartPhpServer(f.File("site"), f.File("php.out"));
  ASSERT_GT(server, 0) << e2e::ReadIfExists(f.File("php.out"));
  e2e::THttpClient visitor(port);
  const e2e::THttpResponse index = visitor.Get("/index.html");
  const e2e::THttpResponse menu = visitor.Get("/menu.php");
  const e2e::THttpResponse customers = visitor.Get("/shop_customer_list.php");
  const e2e::THttpResponse products = visitor.Get("/shop_products_list.php");
  const e2e::THttpResponse insert = visitor.Get("/shop_products_insert.php");
  const e2e::THttpResponse style = visitor.Get("/theme/style.css");
  ::kill(server, SIGTERM);
  ::waitpid(server, nullptr, 0);
  EXPECT_EQ(index.Status, 200);
  EXPECT_NE(index.Body.find("<title>walk</title>"), std::string::npos) << index.Body;
  EXPECT_EQ(menu.Status, 200);
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
