#include "ShellTestKit.h"

#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatRadioButton.h"
#include "components/FlatSpeedButton.h"
#include "components/GradPageControl.h"
#include "core/Files.h"
#include "grid/CellEditors.h"
#include "grid/GridView.h"
#include "model/XMLIO.h"
#include "shell/ConnectionWindow.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/LookAndFeelFrame.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

std::vector<std::string> Roots(TTreeView* tree) { return TreeTexts(tree, false); }

std::unique_ptr<TProjectManager> Reload(const std::string& file) {
  auto project = std::make_unique<TProjectManager>();
  XMLManager().LoadProject(file, *project);
  return project;
}

/** A folder with the last project "projects/shopfront.vrk" (products, city),
 *  another one, "elsewhere/second.vrk" (customer), and "silent.vrk" in both
 *  folders, the second on a port where no server answers. */
struct TStartFolder : TProgramFolder {
  explicit TStartFolder(const DbParams& db) {
    ForceDirectories(File("projects"));
    ForceDirectories(File("elsewhere"));
    auto last = ShopProject(db, {"products", "city"});
    last->Project_path = File("projects/");
    SaveProjectFile(*last, File("projects/shopfront.vrk"));
    auto second = ShopProject(db, {"customer"});
    second->ProjectName = "second";
    SaveProjectFile(*second, File("elsewhere/second.vrk"));
    second->Database_port = ClosedPort();
    SaveProjectFile(*second, File("elsewhere/silent.vrk"));
    SaveProjectFile(*second, File("projects/silent.vrk"));
  }
};

}  // namespace

TEST(MainWindowStart, EveryPathOfTheFirstShowing) {
  QF_REQUIRE_DB(db);
  struct TCase {
    const char* Name;
    bool Reload, AutoConnect;
    std::string LastName;   // Last_project_name
    std::string Argument;   // relative to the folder; "" for none
    int DefaultPort;        // 0: the server's
    std::string ProjectName;
    int Tables;
    int InitPanels;
    std::vector<std::string> Messages;
  };
  const int closed = ClosedPort();
  const TCase cases[] = {
      {"nothing_to_load_auto_connect", true, true, "", "", 0, "Project1", 0, 1, {}},
      {"argument_names_no_file", true, false, "shopfront", "nowhere.vrk", 0, "shopfront", 2, 1, {}},
      {"argument_with_a_folder", false, false, "shopfront", "elsewhere/second.vrk", 0, "second", 1, 1, {}},
      // The last project is loaded and connected: auto-connect does not undo it.
      {"last_project_and_auto_connect", true, true, "shopfront", "", 0, "shopfront", 2, 1, {}},
      {"auto_connect_fails", false, true, "", "", closed, "Project1", 0, 0,
       {"Can't connect to database of the last project!"}},
      {"damaged_last_project", true, false, "broken", "", 0, "Project1", 0, 0, {"Can't load last project!"}},
      {"damaged_argument", false, false, "", "projects/broken.vrk", 0, "Project1", 0, 0, {"Can't load last project!"}},
      // A project whose server is down stays open (and the last one), with one warning.
      {"argument_server_silent", false, false, "", "elsewhere/silent.vrk", 0, "second", 1, 0,
       {"Can't connect to database of the last project!"}},
      {"last_project_and_default_server_down", true, true, "silent", "", closed, "second", 1, 0,
       {"Can't connect to database of the last project!"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TStartFolder f(db);
    WriteFile(f.File("projects/broken.vrk"), "<Brannoch_Project><Project name=");
    TSettings settings = ServerSettings(db, c.AutoConnect, c.Reload);
    settings["Last_project_name"] = c.LastName;
    settings["Last_project_path"] = f.File("projects/");
    if (c.DefaultPort) settings["Default_Port"] = std::to_string(c.DefaultPort);
    f.WriteSettings(settings);
    const std::string argument = c.Argument.empty() ? "" : f.File(c.Argument);
    TMainForm* form = f.Start(argument.empty() ? std::vector<std::string>{} : std::vector<std::string>{argument});

    std::vector<std::string> expected = c.Messages;
    if (std::string(c.Name) == "damaged_argument") expected = {"Can't load last project!" + argument};
    EXPECT_EQ(Headlines(f.Messages.Recorder), expected);
    // A failed connection says why, on a line of its own.
    for (const std::string& text : Texts(f.Messages.Recorder))
      if (text.find("connect") != std::string::npos) {
        EXPECT_NE(text.find("\nCan't connect to"), std::string::npos) << text;
      }
    EXPECT_EQ(form->Project()->ProjectName, c.ProjectName);
    EXPECT_EQ(form->Project()->GetTableCount(), c.Tables);
    EXPECT_EQ(form->TableSettingsGrid->RowCount(), c.Tables);
    EXPECT_EQ(f.CountLog("InitPanel begin"), c.InitPanels);
    EXPECT_EQ(Has(Roots(form->SelectTablePanel->TreeAllTable), "shop"), c.InitPanels > 0);
    EXPECT_EQ(Roots(form->SelectTablePanel->TreeSelectedTable),
              c.Tables ? std::vector<std::string>{"shop"} : std::vector<std::string>{});
    // A loaded project opens on its first table, not on an empty grid.
    EXPECT_EQ(form->TableInfo->RowCount(), c.Tables ? 2 : 0);
    const TWebTable* first = form->Project()->GetTable(0);
    EXPECT_EQ(form->Project()->CurrentTable, first ? first->Name : "");
    // The table on screen is the one shown selected in the tree, also while
    // the focus is elsewhere.
    if (first) {
      TTreeView* tree = form->SelectTablePanel->TreeSelectedTable;
      TTreeNode* node = TTableSelectPanel::FindTableNode(tree, first->DB, first->Name);
      ASSERT_NE(node, nullptr);
      EXPECT_EQ(tree->Selected(), node);
      FocusOn(form->TableInfo);
      EXPECT_GT(CountPixels(Grabbed(tree), node->DisplayRect(true), clBtnFace), 0) << "not marked";
    }
    // A loaded project is summed up whether its server answers or not.
    if (c.Tables) {
      EXPECT_EQ(form->SelectTablePanel->MemoProjectInfo->Lines().Text(),
                "Project: " + c.ProjectName + "\r\nHost: " + db.Host + "\r\nUser: " + db.User +
                    "\r\nTables: " + std::to_string(c.Tables) + "\r\n");
    }
    EXPECT_EQ(form->Caption(), "Quarrowfield - " + c.ProjectName);
    EXPECT_EQ(f.CountLog("  FormShow QFX was called with parameter: " + argument), argument.empty() ? 0 : 1);
    // Loading or connecting the project failed (auto-connect comes after this line).
    EXPECT_EQ(f.CountLog("  FormShow was any error? -> true"), !c.Messages.empty() && (!c.AutoConnect || c.Tables) ? 1 : 0);

    // The argument was for this start: the settings' own choice stays as it was.
    f.Stop();
    EXPECT_EQ(f.ReadSettings()["Auto_load_last_Project"], c.Reload ? "-1" : "0");
    EXPECT_EQ(f.ReadSettings()["Last_project_name"], c.ProjectName);
  }
}

TEST(MainWindowStart, SiteSettingsReachTheirControlsWholeAndComeBackAsTyped) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  auto project = ShopProject(db, {});
  project->AdminName = "boss";
  project->AdminPass = "s3cret";
  project->mailSendTo = "office@example.org";
  project->mailOnUpdate = true;
  project->mailListData = true;
  SaveProjectFile(*project, f.File("shopfront.vrk"));
  f.WriteSettings(ServerSettings(db, false, false));
  TMainForm* form = f.Start({f.File("shopfront.vrk")});
  TProjectManager& p = *form->Project();
  // Copying the name in must not write the old password field over the project's.
  EXPECT_EQ(std::tuple(p.AdminPass, form->adminPassField->Text(), form->adminNameField->Text()),
            std::tuple("s3cret", "s3cret", "boss"));
  EXPECT_EQ(form->inpMailSendTo->Text(), "office@example.org");
  EXPECT_TRUE(form->inpMailOnUpdate->Checked());
  EXPECT_FALSE(form->inpMailOnInsert->Checked());
  EXPECT_EQ(std::tuple(p.mailListData, p.mailAllData), std::tuple(true, false));

  // The name follows every key; the mail box takes its controls when one is left.
  form->SubPageControl->SetActivePage(form->AdvTabSheet3);
  form->adminNameField->SetText("");
  FocusOn(form->adminNameField);
  Type(Focus(), "chief");
  EXPECT_EQ(std::tuple(p.AdminName, p.AdminPass), std::tuple("chief", "s3cret"));
  FocusOn(form->inpMailSubject);
  Type(Focus(), "Hi");
  EXPECT_EQ(p.mailSubject, "") << "taken when the box is left";
  form->inpMailOnDelete->SetChecked(true);
  FocusOn(form->adminNameField);
  EXPECT_EQ(std::tuple(p.mailSubject, p.mailOnDelete, p.mailSendTo), std::tuple("Hi", true, "office@example.org"));
  form->inpMailNoData->SetChecked(true);
  EXPECT_EQ(std::tuple(p.mailListData, p.mailNoData), std::tuple(false, true));
}

TEST(MainWindow, NewOpenSaveAndSaveAsRoundTrip) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TSettings settings = ServerSettings(db, false, false);
  settings["Last_project_path"] = f.File("last/");
  f.WriteSettings(settings);
  TMainForm* form = f.Start();
  form->NewSBtnClick();  // nothing to lose: no question
  EXPECT_TRUE(f.Messages.Recorder.Calls.empty());
  ASSERT_NE(form->ConnectionForm, nullptr);
  EXPECT_TRUE(form->NewProjectMode);
  form->ConnectionForm->Hide();
  form->NewProjectMode = false;
  ForceDirectories(f.File("projects"));
  auto project = ShopProject(db, {"products", "city"});
  project->Project_path = f.File("projects/");
  form->ReplaceProject(std::move(project));

  // Save takes in the cell still being edited.
  form->SubPageControl->SetActivePage(form->AdvTabSheet3);
  form->TableSettingsGrid->BeginEdit(2, 1);
  ASSERT_NE(form->TableSettingsGrid->ActiveEditor(), nullptr);
  form->TableSettingsGrid->ActiveEditor()->SetText("Towns");
  EXPECT_EQ(form->Project()->GetTable(1)->Caption, "The city") << "a caption is taken only when the edit ends";
  form->BtnSaveClick();
  EXPECT_EQ(form->TableSettingsGrid->ActiveEditor(), nullptr);
  const std::string saved = f.File("projects/shopfront.vrk");
  ASSERT_TRUE(FileExists(saved));
  EXPECT_EQ(Reload(saved)->GetTableCount(), 2);

  // New asks before a project with tables goes; No changes nothing, Yes opens the dialog to create one.
  TProjectManager* before = form->Project();
  f.Messages.Recorder.Answers = {TModalResult::mrNo, TModalResult::mrYes};
  form->NewSBtnClick();
  EXPECT_EQ(form->Project(), before);
  EXPECT_EQ(form->TableSettingsGrid->RowCount(), 2);
  EXPECT_FALSE(form->NewProjectMode);
  EXPECT_FALSE(form->ConnectionForm->Visible());
  form->NewSBtnClick();
  EXPECT_EQ(Texts(f.Messages.Recorder),
            std::vector<std::string>(2, "Are you sure to overwrite the actual project?"));
  EXPECT_EQ(form->Project()->GetTableCount(), 0);
  EXPECT_EQ(form->TableSettingsGrid->RowCount(), 0);
  EXPECT_TRUE(Roots(form->SelectTablePanel->TreeSelectedTable).empty());
  ASSERT_NE(form->ConnectionForm, nullptr);
  EXPECT_TRUE(form->ConnectionForm->Visible());
  EXPECT_EQ(form->ConnectionForm->Caption(), "Create new project");
  form->ConnectionForm->Hide();

  f.Shell.Answers = {saved};
  form->OpenSBtnClick();
  ASSERT_EQ(f.Shell.Calls.size(), 1u);
  EXPECT_EQ(f.Shell.Calls[0].Kind, TShellRecorder::skOpen);
  EXPECT_EQ(std::pair(f.Shell.Calls[0].Options.DefaultExt, f.Shell.Calls[0].Options.Filter),
            std::pair(std::string("vrk"), std::string("Brannoch File (*.vrk)|*.vrk")));
  EXPECT_EQ(form->TableSettingsGrid->GetCellText(2, 1), "Towns");
  EXPECT_NE(form->Project()->DBManager->Connection(), nullptr) << "Open connects to the project's server";
  EXPECT_EQ(f.Messages.Recorder.Calls.size(), 2u) << "no message for a project that connects";

  f.Shell.Calls.clear();
  f.Shell.Answers = {f.File("copy.vrk")};
  form->SaveSBtnClick();
  ASSERT_EQ(f.Shell.Calls.size(), 1u);
  const TFileDialogOptions& options = f.Shell.Calls[0].Options;
  EXPECT_EQ(std::pair(options.Title, options.FileName), std::pair(std::string("Save Brannoch Project"), std::string("shopfront")));
  EXPECT_EQ(options.InitialDir, f.File("projects/"));
  EXPECT_EQ(Reload(f.File("copy.vrk"))->GetTableCount(), 2);
  EXPECT_EQ(form->Project()->Project_path, f.File("projects/")) << "Save as keeps the project's own place";

  // Where the project's folder is gone, Save as starts in the last project's.
  f.Shell.Calls.clear();
  form->Project()->Project_path = f.File("gone/");
  form->SaveSBtnClick();  // cancelled: the recorder has no answer
  EXPECT_EQ(f.Shell.Calls.at(0).Options.InitialDir, f.File("last/"));
}

TEST(MainWindow, AnUntouchedNewProjectIsSavedWithItsOwnValuesInTheWorkingFolder) {
  TProgramFolder f;
  TMainForm* form = f.Start();
  form->BtnSaveClick();
  const TProjectManager fresh;
  auto values = [](const TProjectManager& p) {
    return std::tuple(p.SiteCaption, p.TableWidth, p.WidthType, p.TableAlign, p.RowNumber, p.CSS, p.AdminName);
  };
  EXPECT_EQ(values(*Reload(f.File("Project1.vrk"))), values(fresh));

  // A number typed wrong is refused, naming its field, and stops the save;
  // the other fields are taken, and the field shows the project's value again.
  form->LookAndFeelPanel->EPageTitle->SetText("Changed title");
  form->LookAndFeelPanel->ERowNumber->SetText("");
  std::remove(f.File("Project1.vrk").c_str());
  RunGuarded([&] { form->BtnSaveClick(); });
  EXPECT_EQ(Texts(f.Messages.Recorder),
            std::vector<std::string>{"'' is not a valid integer value for \"Number of rows:\""});
  EXPECT_EQ(std::tuple(form->Project()->SiteCaption, form->Project()->RowNumber), std::tuple("Changed title", 20));
  EXPECT_EQ(form->LookAndFeelPanel->ERowNumber->Text(), "20");
  EXPECT_FALSE(FileExists(f.File("Project1.vrk")));
  f.Messages.Recorder.Answers = {TModalResult::mrNo};  // the changed title is let go
  f.Stop();
  EXPECT_EQ(f.ReadSettings().at("Last_project_name"), "Project1");
  EXPECT_EQ(f.ReadSettings().at("Last_project_path"), "");
}

TEST(MainWindow, OpenKeepsTheOpenProjectWhenTheFileCannotBeRead) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = f.Start();
  form->ReplaceProject(ShopProject(db, {"products", "city"}));
  TProjectManager* before = form->Project();
  WriteFile(f.File("damaged.vrk"), "<Brannoch_Project><Project name=\"x\"><Tables><Table><Rows><Row/>");
  for (const std::string& file : {f.File("damaged.vrk"), f.File("missing.vrk")}) {
    SCOPED_TRACE(file);
    f.Messages.Recorder.Calls.clear();
    f.Shell.Answers = {file};
    RunGuarded([&] { form->OpenSBtnClick(); });
    ASSERT_EQ(f.Messages.Recorder.Calls.size(), 1u);
    EXPECT_EQ(f.Messages.Recorder.Calls[0].Type, TMsgDlgType::mtError);
    EXPECT_NE(f.Messages.Recorder.Calls[0].Text.find(ExtractFileName(file)), std::string::npos)
        << f.Messages.Recorder.Calls[0].Text;
    EXPECT_EQ(form->Project(), before);
    EXPECT_EQ(form->TableSettingsGrid->RowCount(), 2);
    EXPECT_EQ(Roots(form->SelectTablePanel->TreeSelectedTable), std::vector<std::string>{"shop"});
  }
}

TEST(MainWindow, GenerateTakesInTheFocusedLookFieldAndOpensOnlyWebAddresses) {
  TProgramFolder f;
  TMainForm* form = f.Start();
  WriteFile(f.File("taken"), "a file where the output folder should go");
  const struct {
    std::string Address;
    bool Opened;
    std::string Output = "site/", Message = "Congratulation";
  } cases[] = {{"http://localhost/", false, "taken/site/", "Can't create project directories!"},  // opens nothing
               {"http://localhost/shop/", true},
               {"HTTPS://example.org/", true},
               {"file:///tmp/shop/index.html", true},
               {"javascript:alert(1)", false},
               {"ftp://example.org/", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Address + " " + c.Output);
    f.Shell.Calls.clear();
    f.Messages.Recorder.Calls.clear();
    form->Project()->Project_output = f.File(c.Output);
    form->Project()->UseLocalDomain = true;
    form->Project()->LocalDomain = c.Address;
    form->FlatSpeedButton1Click();
    ASSERT_EQ(f.Messages.Recorder.Calls.size(), 1u);
    EXPECT_NE(f.Messages.Recorder.Calls[0].Text.find(c.Message), std::string::npos);
    EXPECT_EQ(f.Shell.Calls.size(), c.Opened ? 1u : 0u);
    if (c.Opened && !f.Shell.Calls.empty()) {
      EXPECT_EQ(f.Shell.Calls[0].Argument, c.Address);
    }
  }
  EXPECT_TRUE(FileExists(f.File("site/index.html")));

  // A field of the look-and-feel frame still being typed in is taken in first.
  form->SubPageControl->SetActivePage(form->AdvTabSheet2);
  form->LookAndFeelPanel->ERowNumber->SetFocus();
  form->LookAndFeelPanel->ERowNumber->SetText("7");
  form->Project()->UseLocalDomain = false;
  form->FlatSpeedButton1Click();
  EXPECT_EQ(form->Project()->RowNumber, 7);
}

// Generate names the folder it cannot make and the system's reason, as
// every other file error does; the read-only parent means nothing to root.
TEST(MainWindow, GenerateNamesTheFolderItCannotCreateAndWhy) {
  QF_RUN_UNPRIVILEGED();
  TProgramFolder f;
  TMainForm* form = f.Start();
  ForceDirectories(f.File("locked"));
  ASSERT_EQ(::chmod(f.File("locked").c_str(), 0555), 0);
  form->Project()->Project_output = f.File("locked/site");
  form->Project()->UseLocalDomain = false;
  Click(form->FlatSpeedButton1->Handle(), QPoint(6, 6));
  EXPECT_EQ(Texts(f.Messages.Recorder),
            std::vector<std::string>{"Can't create project directories!\nCannot create folder \"" +
                                     f.File("locked/site/") + "\": Permission denied"});
  ::chmod(f.File("locked").c_str(), 0755);
}

TEST(MainWindow, CtrlXCutsInAnEditAndCtrlQClosesSavingTheSettings) {
  TProgramFolder f;
  TMainForm* form = f.Start();
  form->Project()->ProjectName = "kept";
  form->Project()->Project_path = f.File("projects/");
  form->SubPageControl->SetActivePage(form->AdvTabSheet3);
  form->adminNameField->SetText("admin");
  form->adminNameField->SetFocus();
  form->adminNameField->SelectAll();
  QTest::keyClick(Focus(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_TRUE(form->Visible()) << "Ctrl+X is the edit's";
  EXPECT_EQ(form->adminNameField->Text(), "");
  EXPECT_EQ(form->Project()->AdminName, "");

  f.Messages.Recorder.Answers = {TModalResult::mrNo};
  QTest::keyClick(Focus(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(Texts(f.Messages.Recorder), std::vector<std::string>{"Save changes to the project?"});
  EXPECT_FALSE(form->Visible());
  const TSettings saved = f.ReadSettings();
  EXPECT_EQ(saved.at("Last_project_name"), "kept");
  EXPECT_EQ(saved.at("Last_project_path"), f.File("projects/"));
}

TEST(MainWindow, TheWindowKeepsItsMinimumSize) {
  TProgramFolder f;
  TMainForm* form = f.Start();
  form->SetBounds(form->Left(), form->Top(), 500, 400);
  EXPECT_EQ(form->Width(), 800);
  EXPECT_EQ(form->Height(), 600);
  EXPECT_EQ(form->Handle()->minimumSize(), QSize(800 - 8, 600 - 27));
}

TEST(MainWindow, HelpAndHomePageOpenTheBundledHelp) {
  TProgramFolder f;
  TMainForm* form = f.Start();
  form->Help2Click();
  form->VisitHomePage1Click();
  ASSERT_EQ(f.Shell.Calls.size(), 2u);
  EXPECT_EQ(f.Shell.Calls[0].Kind, TShellRecorder::skHelp);
  const std::string help = f.Shell.Calls[0].Argument;
  EXPECT_TRUE(FileExists(help)) << help;
  EXPECT_EQ(f.Shell.Calls[1].Kind, TShellRecorder::skUrl);
  EXPECT_EQ(f.Shell.Calls[1].Argument, "file://" + help);
  EXPECT_TRUE(f.Messages.Recorder.Calls.empty());

  f.Shell.HelpResult = false;
  form->Help2Click();
  EXPECT_EQ(Texts(f.Messages.Recorder), std::vector<std::string>{"Can't show the help file " + help});
}

TEST(MainWindow, ActivationHidesTheFieldEditorWithoutACurrentTable) {
  TProgramFolder f;
  TMainForm* form = f.Start();
  for (const auto& [table, shown] : {std::pair{"", false}, {"products", true}}) {
    form->Project()->CurrentTable = table;
    form->FrameDetailedProperties->Show();
    form->FormActivate();
    EXPECT_EQ(form->FrameDetailedProperties->Visible(), shown) << table;
  }
}

namespace {

/** A database of its own on the private server, dropped at the end. */
struct TScratchDatabase {
  TScratchDatabase(const DbParams& db, const std::string& name) : Name(name) {
    Db.Connect(db.Host, db.User, db.Password, db.Port, "");
    Exec("DROP DATABASE IF EXISTS " + QuoteIdentifier(name));
    Exec("CREATE DATABASE " + QuoteIdentifier(name));
  }
  ~TScratchDatabase() { Db.ExecuteQuery("DROP DATABASE IF EXISTS " + QuoteIdentifier(Name)); }
  void Exec(const std::string& sql) { ASSERT_NE(Db.ExecuteQuery(sql), nullptr) << sql << ": " << Db.LastError(); }
  std::string Name;
  TDBManager Db;
};

}  // namespace

TEST(MainWindow, UpdateProjectFollowsTheServerOnlyWhenItAnswers) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* form = f.Start();
  TScratchDatabase scratch(db, "qf_update_" + std::to_string(::getpid()));
  const std::string q = QuoteIdentifier(scratch.Name) + ".";
  scratch.Exec("CREATE TABLE " + q + "keep (id INT PRIMARY KEY, name VARCHAR(80))");
  scratch.Exec("CREATE TABLE " + q + "gone (id INT PRIMARY KEY)");
  auto project = ShopProject(db, {"keep", "gone", "neverthere"});
  for (auto& table : project->Tables) table->DB = scratch.Name;
  project->GetTable(0)->GetInputListElement(0)->Caption = "Ident";
  project->GetTable(0)->GetInputListElement(1)->Caption = "Label";

  // Without a connection nothing may look dropped.
  form->ReplaceProject(std::move(project));
  ShowTable(form, "gone", scratch.Name);
  form->ToolButton3Click();
  EXPECT_EQ(Texts(f.Messages.Recorder), std::vector<std::string>{"Can't connect to database!\nnot connected"});
  EXPECT_EQ(form->Project()->GetTableCount(), 3);

  f.Messages.Recorder.Calls.clear();
  TProjectManager& p = *form->Project();
  ASSERT_NE(p.DBManager->Connect(db.Host, db.User, db.Password, db.Port, ""), nullptr);
  scratch.Exec("ALTER TABLE " + q + "keep ADD COLUMN note TEXT, MODIFY name VARCHAR(90)");
  scratch.Exec("DROP TABLE " + q + "gone");
  form->ToolButton3Click();
  EXPECT_EQ(Texts(f.Messages.Recorder), std::vector<std::string>{"Project was updated!"});
  ASSERT_EQ(p.GetTableCount(), 1);
  const TWebTable& keep = *p.GetTable(0);
  EXPECT_EQ(keep.Name, "keep");
  ASSERT_EQ(keep.GetInputListSize(), 3);
  EXPECT_EQ(keep.GetInputListElement(0)->Caption, "Ident") << "an unchanged column keeps its settings";
  EXPECT_EQ(keep.GetInputListElement(1)->Caption, "name") << "a column of another type starts afresh";
  EXPECT_EQ(keep.GetInputListElement(2)->Database_field, "note");
  EXPECT_EQ(form->TableSettingsGrid->RowCount(), 1);
  EXPECT_TRUE(Has(Roots(form->SelectTablePanel->TreeAllTable), scratch.Name));
  // The table on screen went: nothing points at it.
  EXPECT_EQ(p.CurrentTable, "");
  EXPECT_EQ(form->TableInfo->RowCount(), 0);
  EXPECT_FALSE(form->FrameDetailedProperties->Visible());
}

namespace {

/** The main window on "shopfront.vrk" (products, city) in its own folder,
 *  saved there and loaded from it. */
struct TSavedProject : TProgramFolder {
  explicit TSavedProject(const DbParams& db) {
    auto project = ShopProject(db, {"products", "city"});
    project->Project_path = File("");
    project->Project_output = File("site/");
    project->UseLocalDomain = false;
    SaveProjectFile(*project, File("shopfront.vrk"));
    Form = Start({File("shopfront.vrk")});
  }
  std::unique_ptr<TProjectManager> Saved() const { return Reload(File("shopfront.vrk")); }
  TMainForm* Form = nullptr;
};

}  // namespace

// The tool buttons and short cuts take no focus: what is typed last in a
// field of any page must still reach the project.
TEST(MainWindow, SaveAndGenerateTakeInTheFieldStillBeingTypedOnAnyPage) {
  QF_REQUIRE_DB(db);
  TSavedProject f(db);
  TMainForm* form = f.Form;
  using TValue = std::function<std::string(const TProjectManager&)>;
  const auto defaultValue = [](const TProjectManager& p) { return p.GetTable(0)->GetInputListElement(0)->HtmlInput->iValue; };
  enum THow { kSaveButton, kSaveKeys, kGenerateKeys };
  const struct {
    const char* Name;
    TGradTabSheet* Page;
    TWinControl* Field;
    TValue Value;
    THow How;
  } cases[] = {
      {"send_to", form->AdvTabSheet3, form->inpMailSendTo, [](const TProjectManager& p) { return p.mailSendTo; }, kSaveButton},
      {"subject", form->AdvTabSheet3, form->inpMailSubject, [](const TProjectManager& p) { return p.mailSubject; }, kSaveKeys},
      {"from", form->AdvTabSheet3, form->inpMailFrom, [](const TProjectManager& p) { return p.mailFrom; }, kGenerateKeys},
      {"default_value", form->AdvTabSheet1, form->FrameDetailedProperties->inpDefaultValue, defaultValue, kSaveKeys},
      {"page_title", form->AdvTabSheet2, form->LookAndFeelPanel->EPageTitle, [](const TProjectManager& p) { return p.SiteCaption; }, kSaveButton},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    f.Messages.Recorder.Calls.clear();
    form->SubPageControl->SetActivePage(c.Page);
    FocusOn(c.Field);
    Key(Focus(), Qt::Key_End);
    Type(Focus(), std::string("-") + c.Name);
    const std::string typed = static_cast<TCustomEdit*>(c.Field)->Text();
    if (c.How == kSaveButton) Click(form->BtnSave->Handle(), QPoint(6, 6));
    if (c.How == kSaveKeys) QTest::keyClick(Focus(), Qt::Key_S, Qt::ControlModifier);
    if (c.How == kGenerateKeys) QTest::keyClick(Focus(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(c.Value(*form->Project()), typed);
    if (c.How != kGenerateKeys) {
      EXPECT_EQ(c.Value(*f.Saved()), typed);
    }
  }
}

TEST(MainWindow, ClosingAsksToSaveOnlyAChangedProject) {
  QF_REQUIRE_DB(db);
  const std::string question = "Save changes to the project?";
  enum TChange { kNothing, kTyped, kTypedNotLeft, kSavedAfterwards };
  enum TClose { kExit, kWindow };
  const struct {
    const char* Name;
    TChange Change;
    TClose How;
    std::optional<TModalResult> Answer;  // none: no question expected
    bool Closed, Saved;
  } cases[] = {
      {"unchanged", kNothing, kWindow, std::nullopt, true, false},
      {"saved_since", kSavedAfterwards, kExit, std::nullopt, true, true},
      {"cancel_keeps_it_open", kTyped, kExit, TModalResult::mrCancel, false, false},
      {"box_closed_keeps_it_open", kTyped, kWindow, TModalResult::mrNone, false, false},
      {"no_lets_it_go", kTyped, kWindow, TModalResult::mrNo, true, false},
      {"yes_saves", kTypedNotLeft, kExit, TModalResult::mrYes, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TSavedProject f(db);
    TMainForm* form = f.Form;
    const std::string settings = ReadFile(f.File("tyvox.ini"));
    if (c.Change != kNothing) {
      form->SubPageControl->SetActivePage(form->AdvTabSheet3);
      FocusOn(form->inpMailSubject);
      Type(Focus(), "News");
      if (c.Change != kTypedNotLeft) FocusOn(form->inpMailFrom);
      if (c.Change == kSavedAfterwards) QTest::keyClick(Focus(), Qt::Key_S, Qt::ControlModifier);
    }
    if (c.Answer) f.Messages.Recorder.Answers = {*c.Answer};
    if (c.How == kExit)
      form->Exit1->Click();
    else
      form->Handle()->close();
    EXPECT_EQ(Texts(f.Messages.Recorder), c.Answer ? std::vector<std::string>{question} : std::vector<std::string>{});
    EXPECT_EQ(form->Visible(), !c.Closed);
    EXPECT_EQ(f.Saved()->mailSubject, c.Saved ? "News" : "");
    // Only a window that closes stores the last project.
    EXPECT_EQ(ReadFile(f.File("tyvox.ini")) == settings, !c.Closed);
    f.Messages.Recorder.Answers = {TModalResult::mrNo};
  }
}

// Open and New let a project go as closing does: a changed one only when
// the user says so, saved first when asked to, with that one question; New
// asks whether to overwrite an unchanged project with tables. A project
// without a name is not saved, and stays.
TEST(MainWindow, OpenAndNewAskToSaveAChangedProjectFirst) {
  QF_REQUIRE_DB(db);
  const std::string question = "Save changes to the project?";
  const std::string overwrite = "Are you sure to overwrite the actual project?";
  const std::string nameless =
      "The project has no name to save it under: give it one as \"Project name:\" in the project settings.";
  using R = TModalResult;
  enum TCommand { kOpenKeys, kNewButton };
  enum TChange { kUnchanged, kChanged, kChangedNameless };
  const struct {
    const char* Name;
    TCommand Command;
    TChange Change;
    std::vector<TModalResult> Answers;
    std::vector<std::string> Asked;
    bool Replaced, Saved;
  } cases[] = {
      {"open_cancel_keeps_it", kOpenKeys, kChanged, {R::mrCancel}, {question}, false, false},
      {"open_no_lets_it_go", kOpenKeys, kChanged, {R::mrNo}, {question}, true, false},
      {"open_yes_saves_it_first", kOpenKeys, kChanged, {R::mrYes}, {question}, true, true},
      {"open_yes_without_a_name_keeps_it", kOpenKeys, kChangedNameless, {R::mrYes}, {question, nameless}, false, false},
      {"new_unchanged_refused", kNewButton, kUnchanged, {R::mrNo}, {overwrite}, false, false},
      {"new_unchanged_overwritten", kNewButton, kUnchanged, {R::mrYes}, {overwrite}, true, false},
      {"new_cancel_keeps_it", kNewButton, kChanged, {R::mrCancel}, {question}, false, false},
      {"new_no_lets_it_go", kNewButton, kChanged, {R::mrNo}, {question}, true, false},
      {"new_yes_saves_it_first", kNewButton, kChanged, {R::mrYes}, {question}, true, true},
      {"new_yes_without_a_name_keeps_it", kNewButton, kChangedNameless, {R::mrYes}, {question, nameless}, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TSavedProject f(db);
    TMainForm* form = f.Form;
    auto other = ShopProject(db, {"customer"});
    other->ProjectName = "other";
    SaveProjectFile(*other, f.File("other.vrk"));
    auto caption = [](const TProjectManager& p) {
      const TWebTable* t = p.FindTable("shop", "products");
      return t ? t->GetInputListElement(1)->Caption : std::string("(no products)");
    };
    if (c.Change != kUnchanged) EditCell(form->TableInfo, 7, RowOf(form, "name"), "Label");
    if (c.Change == kChangedNameless) form->Project()->ProjectName = "";
    f.Shell.Answers = {f.File("other.vrk")};
    f.Messages.Recorder.Answers.assign(c.Answers.begin(), c.Answers.end());
    if (c.Command == kOpenKeys)
      QTest::keyClick(Focus() ? Focus() : form->Handle(), Qt::Key_O, Qt::ControlModifier);
    else
      Click(form->NewSBtn->Handle(), QPoint(6, 6));
    EXPECT_EQ(Texts(f.Messages.Recorder), c.Asked);
    const TProjectManager& p = *form->Project();
    if (c.Replaced) {
      EXPECT_EQ(p.ProjectName, c.Command == kOpenKeys ? "other" : "Project1");
    } else {
      const std::string name = c.Change == kChangedNameless ? "" : "shopfront";
      EXPECT_EQ(std::tuple(p.ProjectName, p.GetTableCount(), caption(p)),
                std::tuple(name, 2, c.Change == kUnchanged ? "name" : "Label"));
      EXPECT_TRUE(f.Shell.Calls.empty()) << "no file dialog";
    }
    EXPECT_EQ(caption(*f.Saved()), c.Saved ? "Label" : "name");
    EXPECT_FALSE(FileExists(f.File(".vrk")));
  }
}

// The main form of the application: closing it ends the program's loop.
TEST(MainWindow, CtrlQAsksOnceAndEndsTheProgram) {
  TProgramFolder f;
  TMainForm* form = nullptr;
  Application->CreateForm(form);
  form->Services = TShellServices{&f.Shell, &f.Shell, &f.Shell, &f.Shell};
  QTimer::singleShot(0, qApp, [&] {
    Activate(form);
    form->SubPageControl->SetActivePage(form->AdvTabSheet3);
    FocusOn(form->inpMailSubject);
    Type(Focus(), "News");
    f.Messages.Recorder.Answers = {TModalResult::mrNo, TModalResult::mrNo};
    QTest::keyClick(Focus(), Qt::Key_Q, Qt::ControlModifier);
  });
  // Should the program stay open, the test still ends.
  QTimer stay;
  stay.setSingleShot(true);
  QObject::connect(&stay, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
  stay.start(20000);
  Application->Run();
  EXPECT_TRUE(stay.isActive()) << "the program did not end";
  EXPECT_EQ(Texts(f.Messages.Recorder), std::vector<std::string>{"Save changes to the project?"});
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(f.ReadSettings().at("Last_project_name"), "Project1");
  delete form;
  ResetUiGlobals();
}

TEST(MainWindow, AnotherTableShowsNoSortArrowAndTheGridKeepsItsShareOfThePage) {
  QF_REQUIRE_DB(db);
  TSavedProject f(db);
  TMainForm* form = f.Form;
  TGridView* grid = form->TableInfo;
  grid->Columns().Items(1)->SetSorted(true);
  ShowTable(form, "city");
  EXPECT_FALSE(grid->Columns().Items(1)->Sorted()) << "the rows are in the table's order";
  EXPECT_EQ(grid->GetCellText(1, 0), "id");

  // The window grows and shrinks again: the grid takes its part of the height.
  const int gridHeight = grid->Height(), frameHeight = form->FrameDetailedProperties->Height();
  form->SetBounds(form->Left(), form->Top(), form->Width(), form->Height() + 300);
  const int grown = grid->Height() - gridHeight;
  EXPECT_GT(grown, 60);
  EXPECT_GT(form->FrameDetailedProperties->Height() - frameHeight, 60);
  form->SetBounds(form->Left(), form->Top(), form->Width(), form->Height() - 300);
  EXPECT_NEAR(grid->Height(), gridHeight, 1);

  // The splitter shows a row of raised dots to take it by.
  QImage image(form->TableInfoSplitter->Width(), form->TableInfoSplitter->Height(), QImage::Format_ARGB32);
  form->TableInfoSplitter->PaintTo(image);
  EXPECT_EQ(CountPixels(image, clBtnHighlight), 9 * 4);
  EXPECT_EQ(CountPixels(image, clBtnShadow), 9 * 3);
}
