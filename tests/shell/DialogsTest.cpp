#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "components/BrwsFldr.h"
#include "components/FlatMemo.h"
#include "core/Files.h"
#include "core/TextUtils.h"
#include "grid/GridView.h"
#include "model/XMLIO.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/LookAndFeelFrame.h"
#include "shell/AppSettings.h"
#include "shell/ConnectionWindow.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/StdCtrls.h"

#include <QTest>

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

/** The main window with its project dialog open in a mode. */
struct TProjectDialog : TProgramFolder {
  TProjectDialog(const DbParams& db, bool create) {
    TSettings settings = ServerSettings(db, false, false);
    settings["Default_project_path"] = "projects/";
    settings["Default_output_path"] = "out/";
    WriteSettings(settings);
    Main = Start();
    auto project = ShopProject(db, {});
    project->Project_path = "mine/";
    project->Project_output = "mine-out/";
    Main->ReplaceProject(std::move(project));
    if (create)
      Main->NewSBtnClick();
    else
      Main->ProjectSettingsSBtnClick();
    Dialog = Main->ConnectionForm;
  }
  void Fill(const DbParams& db) {
    Dialog->EHost->SetText(db.Host);
    Dialog->EUsername->SetText(db.User);
    Dialog->EPassword->SetText(db.Password);
    Dialog->EPort->SetText(std::to_string(db.Port));
  }
  TMainForm* Main = nullptr;
  TConnectionForm* Dialog = nullptr;
};

}  // namespace

TEST(ProjectDialog, EachShowingFillsTheDialogForItsMode) {
  QF_REQUIRE_DB(db);
  TProjectDialog f(db, true);
  TConnectionForm* d = f.Dialog;
  EXPECT_EQ(d->Caption(), "Create new project");
  EXPECT_EQ(d->BtnConnect->Caption(), "Create");
  EXPECT_TRUE(d->EHost->CanFocus());
  EXPECT_EQ(d->EPrjPath->Text(), "projects/") << "a new project starts in the default folders";
  EXPECT_EQ(d->EPrjOutput->Text(), "out/");
  EXPECT_EQ(d->EDatabase->Text(), "shop");
  EXPECT_FALSE(d->FTPGroup->Visible());
  // The folder buttons ask the folder service; a cancelled choice changes nothing.
  TempDir path, output;
  f.Shell.Answers = {path.Path(), output.Path(), std::nullopt};
  d->BtnPrjPathClick();
  d->BtnPrjOutputClick();
  d->BtnPrjOutputClick();
  EXPECT_EQ(std::pair(d->EPrjPath->Text(), d->EPrjOutput->Text()), std::pair(path.Path(), output.Path()));
  ASSERT_EQ(f.Shell.Calls.size(), 3u);
  EXPECT_EQ(f.Shell.Calls[0].Kind, TShellRecorder::skFolder);
  EXPECT_EQ(f.Shell.Calls[0].Options.InitialDir, GetCurrentDir());
  // The port takes digits and backspace only.
  Activate(d);
  d->EPort->SetText("");
  d->EPort->SetFocus();
  Type(Focus(), "33a0-6\b7 ");
  EXPECT_EQ(d->EPort->Text(), "3307");

  d->EProjectName->SetText("typed but cancelled");
  d->BtnCancelClick();
  EXPECT_FALSE(d->Visible());
  EXPECT_EQ(f.Main->Project()->ProjectName, "shopfront");

  f.Main->ProjectSettingsSBtnClick();
  EXPECT_EQ(d->Caption(), "Change project settings");
  EXPECT_EQ(d->BtnConnect->Caption(), "Save");
  EXPECT_EQ(d->EProjectName->Text(), "shopfront");
  EXPECT_EQ(d->EPrjPath->Text(), "mine/");
  EXPECT_EQ(d->EPrjOutput->Text(), "mine-out/");
  // The connection cannot be changed here, and Test goes with it.
  EXPECT_FALSE(d->EHost->CanFocus());
  EXPECT_FALSE(d->BtnTest->Handle()->isEnabled());
}

TEST(ProjectDialog, SaveInChangeModeCopiesTheFieldsAndTheCaption) {
  QF_REQUIRE_DB(db);
  const struct {
    std::string Typed, Stored;
  } paths[] = {{"", ""}, {"projects", "projects/"}, {"projects/", "projects/"}, {"C:\\work\\", "C:\\work\\"}};
  for (const auto& path : paths) {
    SCOPED_TRACE(path.Typed);
    TProjectDialog f(db, false);
    TConnectionForm* d = f.Dialog;
    d->EProjectName->SetText("renamed");
    d->EPrjPath->SetText(path.Typed);
    d->EPrjComment->SetText("About the shop");
    d->EPrjUseLocalDomain->SetChecked(true);
    d->EFTPHost->SetText("ftp.example.org");
    d->BtnConnectClick();
    const TProjectManager& p = *f.Main->Project();
    EXPECT_EQ(p.ProjectName, "renamed");
    EXPECT_EQ(p.SiteCaption, "renamed");
    EXPECT_EQ(p.Project_path, path.Stored);
    EXPECT_EQ(p.Project_comment, "About the shop");
    EXPECT_TRUE(p.UseLocalDomain);
    EXPECT_EQ(p.FTPHost, "ftp.example.org");
    EXPECT_EQ(p.Database_port, db.Port);
    EXPECT_EQ(f.Main->Caption(), "Quarrowfield - renamed");
    EXPECT_EQ(f.Main->SelectTablePanel->MemoProjectInfo->Lines()[0], "Project: renamed");
    EXPECT_FALSE(d->Visible());
  }
}

TEST(ProjectDialog, ABadPortChangesNothing) {
  QF_REQUIRE_DB(db);
  // Either mode: a new project would replace the old one, a change would rename it.
  for (const auto& [create, port] : std::initializer_list<std::pair<bool, std::string>>{
           {true, ""}, {true, "65536"}, {false, "0"}, {false, "99999999999"}}) {
    SCOPED_TRACE(port);
    TProjectDialog f(db, create);
    TProjectManager* before = f.Main->Project();
    f.Dialog->EProjectName->SetText("renamed");
    f.Dialog->EPort->SetText(port);
    f.Dialog->BtnConnectClick();
    f.Dialog->BtnTestClick();
    EXPECT_EQ(Texts(f.Messages.Recorder),
              std::vector<std::string>(2, "The port must be a number from 1 to 65535, not \"" + port + "\"."));
    EXPECT_EQ(f.Main->Project(), before);
    EXPECT_EQ(before->ProjectName, "shopfront");
    EXPECT_TRUE(f.Dialog->Visible());
  }
}

// Test, Create and Open connect with the dialog's database: a test that
// succeeds means the project will open. A refusal says the server's reason
// below the message, naming the database.
TEST(ProjectDialog, TestCreateAndOpenConnectWithTheSameDatabase) {
  QF_REQUIRE_DB(db);
  TProjectDialog f(db, true);
  auto server = [&](int port) { return db.Host + ":" + std::to_string(port); };
  const struct {
    int Port;
    std::string Password, Reason;
  } refusals[] = {{ClosedPort(), db.Password, "Can't connect to"},
                  {db.Port, db.Password + "-wrong", "Access denied for user '" + db.User + "'"}};
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.Reason);
    f.Messages.Recorder.Calls.clear();
    f.Main->NewSBtnClick();
    f.Fill(db);
    f.Dialog->EPort->SetText(std::to_string(r.Port));
    f.Dialog->EPassword->SetText(r.Password);
    Click(f.Dialog->BtnConnect->Handle(), QPoint(6, 6));
    ASSERT_EQ(f.Messages.Recorder.Calls.size(), 1u);
    const std::string& text = f.Messages.Recorder.Calls[0].Text;
    const std::string reason = "database \"shop\" on " + server(r.Port) + ": " + r.Reason;
    EXPECT_TRUE(StartsWith(text, "Can't connect to database!\n" + reason)) << text;
    EXPECT_EQ(f.Main->SelectTablePanel->TreeAllTable->Items().Count(), 0);
  }

  const std::string refused = "Can't connect to database!\ndatabase \"no_such_database\" on " + server(db.Port) +
                              ": Unknown database 'no_such_database'";
  const struct {
    std::string Database, Message;
  } cases[] = {{"no_such_database", refused}, {"shop", ""}, {"", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Database);
    const bool opens = c.Message.empty();
    f.Messages.Recorder.Calls.clear();
    f.Main->NewSBtnClick();
    f.Fill(db);
    f.Dialog->EProjectName->SetText("fresh");
    f.Dialog->EDatabase->SetText(c.Database);
    f.Dialog->BtnTestClick();
    f.Dialog->BtnConnectClick();
    using TTexts = std::vector<std::string>;
    const TTexts told = opens ? TTexts{"Connect to database succeed!"} : TTexts{c.Message, c.Message};
    EXPECT_EQ(Texts(f.Messages.Recorder), told);
    TProjectManager* p = f.Main->Project();
    EXPECT_EQ(std::tuple(p->ProjectName, p->Database_name), std::tuple("fresh", c.Database));
    EXPECT_EQ(p->DBManager->Connection() != nullptr, opens);
    EXPECT_EQ(Has(TreeTexts(f.Main->SelectTablePanel->TreeAllTable, false), "shop"), opens);
    EXPECT_FALSE(f.Dialog->Visible());
    EXPECT_EQ(f.Main->Caption(), "Quarrowfield - fresh");

    // Open says the same of the project's file.
    SaveProjectFile(*p, f.File("fresh.vrk"));
    f.Messages.Recorder.Calls.clear();
    f.Shell.Answers = {f.File("fresh.vrk")};
    f.Main->OpenSBtnClick();
    EXPECT_EQ(Texts(f.Messages.Recorder), opens ? std::vector<std::string>{} : std::vector<std::string>{c.Message});
    EXPECT_EQ(f.Main->Project()->DBManager->Connection() != nullptr, opens);
  }

  // Test uses a connection of its own: the project keeps its one whatever the outcome.
  const TProjectManager& p = *f.Main->Project();
  f.Main->NewSBtnClick();
  f.Fill(db);
  f.Dialog->EDatabase->SetText("shop");
  for (const auto& [password, message] :
       {std::pair{db.Password + "-wrong", "Can't connect to database!\ndatabase \"shop\" on " + server(db.Port) +
                                              ": Access denied for user '" + db.User + "'"},
        {db.Password, std::string("Connect to database succeed!")}}) {
    f.Messages.Recorder.Calls.clear();
    f.Dialog->EPassword->SetText(password);
    f.Dialog->BtnTestClick();
    ASSERT_EQ(f.Messages.Recorder.Calls.size(), 1u);
    EXPECT_TRUE(StartsWith(f.Messages.Recorder.Calls[0].Text, message)) << f.Messages.Recorder.Calls[0].Text;
    EXPECT_NE(p.DBManager->ExecuteQuery("select 1"), nullptr);
  }
}

// The project file is named after the project: a name left empty (or blank)
// is refused, naming the field, and the dialog stays open on it.
TEST(ProjectDialog, AnEmptyProjectNameIsRefused) {
  QF_REQUIRE_DB(db);
  for (const bool create : {true, false}) {
    SCOPED_TRACE(create ? "create" : "change");
    TProjectDialog f(db, create);
    TProjectManager* before = f.Main->Project();
    const std::string name = before->ProjectName;
    for (const std::string empty : {"", "   "}) {
      f.Messages.Recorder.Calls.clear();
      f.Dialog->EProjectName->SetText(empty);
      Activate(f.Dialog);
      FocusOn(f.Dialog->EPrjComment);
      Click(f.Dialog->BtnConnect->Handle(), QPoint(6, 6));
      EXPECT_EQ(Texts(f.Messages.Recorder),
                std::vector<std::string>{"The project name must not be empty: the project file is named after it."});
      EXPECT_TRUE(f.Dialog->Visible());
      EXPECT_TRUE(f.Dialog->EProjectName->Focused());
      EXPECT_EQ(f.Main->Project(), before);
      EXPECT_EQ(before->ProjectName, name);
      EXPECT_EQ(f.Main->Caption(), "Quarrowfield - " + name);
    }
  }
}

TEST(ProjectDialog, CreateOverAProjectWithTablesAsksFirst) {
  QF_REQUIRE_DB(db);
  for (const TModalResult answer : {TModalResult::mrNo, TModalResult::mrYes}) {
    TProjectDialog f(db, true);
    f.Main->ReplaceProject(ShopProject(db, {"products"}));
    TProjectManager* before = f.Main->Project();
    f.Fill(db);
    f.Dialog->EProjectName->SetText("fresh");
    f.Messages.Recorder.Answers = {answer};
    f.Dialog->BtnConnectClick();
    EXPECT_EQ(Texts(f.Messages.Recorder),
              std::vector<std::string>{"Are you sure to overwrite the actual project?"});
    EXPECT_FALSE(f.Dialog->Visible());
    if (answer == TModalResult::mrNo) {
      EXPECT_EQ(f.Main->Project(), before);
      EXPECT_EQ(f.Main->TableSettingsGrid->RowCount(), 1);
    } else {
      EXPECT_EQ(f.Main->Project()->ProjectName, "fresh");
      EXPECT_EQ(f.Main->TableSettingsGrid->RowCount(), 0);
    }
  }
}

TEST(ProjectDialog, FtpTestOverARealSession) {
  QF_REQUIRE_DB(db);
  TFakeFtpServer server("webmaster", "pw", {"/home/site", "/srv/www", "/home/site/my files"});
  TFakeFtpServer silent("webmaster", "pw", {}, true);
  const std::string ok = "Connection was successfully!";
  const std::string noFolder = "Connection was successfully! But remote directory doesn't exists!";
  const std::string noServer = "Can't connect to the FTP server!";
  const struct {
    const char* Name;
    std::string Host, Password, Folder, Message;
  } cases[] = {
      {"relative_folder", server.Address(), "pw", "site", ok},
      {"absolute_folder", server.Address(), "pw", "/srv/www", ok},
      {"folder_with_a_blank", server.Address(), "pw", "site/my files", ok},
      {"missing_folder", server.Address(), "pw", "nowhere", noFolder},
      {"wrong_password", server.Address(), "bad", "site", noServer},
      {"nobody_listening", "127.0.0.1:" + std::to_string(ClosedPort()), "pw", "site", noServer},
      {"server_never_answers", silent.Address(), "pw", "site", noServer},
  };
  TProjectDialog f(db, false);
  f.Dialog->FTPClient.TimeoutSeconds = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    f.Messages.Recorder.Calls.clear();
    f.Dialog->EFTPHost->SetText(c.Host);
    f.Dialog->EFTPUser->SetText("webmaster");
    f.Dialog->EFTPPass->SetText(c.Password);
    f.Dialog->EFTPRemote->SetText(c.Folder);
    QElapsedTimer t;
    t.start();
    f.Dialog->BtnFTPTestClick();
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(Texts(f.Messages.Recorder), std::vector<std::string>{c.Message});
    EXPECT_FALSE(f.Dialog->FTPClient.Connected());
  }
}

TEST(ProjectDialog, LeftOpenItFollowsTheProjectThatIsOpenNow) {
  QF_REQUIRE_DB(db);
  TProjectDialog f(db, false);
  ForceDirectories(f.File("elsewhere"));
  auto other = ShopProject(db, {"city"});
  other->ProjectName = "second";
  other->Project_path = f.File("elsewhere/");
  other->Database_name = "other_db";
  SaveProjectFile(*other, f.File("elsewhere/second.vrk"));
  ASSERT_TRUE(f.Dialog->Visible());
  f.Shell.Answers = {f.File("elsewhere/second.vrk")};
  f.Main->OpenSBtnClick();
  EXPECT_EQ(std::tuple(f.Dialog->EProjectName->Text(), f.Dialog->EPrjPath->Text(), f.Dialog->EDatabase->Text()),
            std::tuple("second", f.File("elsewhere/"), "other_db"));
  // Its Save changes the project open now, and the main Save writes that project's file.
  f.Dialog->EPrjComment->SetText("About the second");
  Click(f.Dialog->BtnConnect->Handle(), QPoint(6, 6));
  const TProjectManager& p = *f.Main->Project();
  EXPECT_EQ(std::tuple(p.ProjectName, p.Project_path, p.Database_name, p.Project_comment, p.GetTableCount()),
            std::tuple("second", f.File("elsewhere/"), "other_db", "About the second", 1));
  f.Main->BtnSaveClick();
  EXPECT_FALSE(FileExists(f.File("mine/shopfront.vrk")));
  EXPECT_EQ(ReadFileText(f.File("elsewhere/second.vrk")).find("About the second") != std::string::npos, true);
}

TEST(ProjectDialog, ARenameIsTheNewPageTitleAndTheNextSaveKeepsIt) {
  QF_REQUIRE_DB(db);
  TProjectDialog f(db, false);
  ForceDirectories(f.File("mine"));
  f.Dialog->EProjectName->SetText("renamed");
  Click(f.Dialog->BtnConnect->Handle(), QPoint(6, 6));
  EXPECT_EQ(f.Main->LookAndFeelPanel->EPageTitle->Text(), "renamed");
  f.Main->BtnSaveClick();
  TProjectManager saved;
  XMLManager().LoadProject(f.File("mine/renamed.vrk"), saved);
  EXPECT_EQ(std::tuple(saved.ProjectName, saved.SiteCaption), std::tuple("renamed", "renamed"));
}

namespace {

/** Each label and the windowed controls beside it, as "label / control". */
std::vector<std::string> CoveredLabels(TWinControl* parent) {
  std::vector<std::string> covered;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      const std::vector<std::string> inner = CoveredLabels(w);
      covered.insert(covered.end(), inner.begin(), inner.end());
    }
    auto* label = dynamic_cast<TLabel*>(c);
    if (!label || !label->Visible()) continue;
    for (int j = 0; j < parent->ControlCount(); ++j) {
      auto* field = dynamic_cast<TWinControl*>(parent->Controls(j));
      TRect overlap;
      if (field && field->Visible() && IntersectRect(overlap, label->BoundsRect(), field->BoundsRect()))
        covered.push_back(label->Caption() + " / " + field->Name());
    }
  }
  return covered;
}

}  // namespace

TEST(Dialogs, NoFieldCoversALabel) {
  QF_REQUIRE_DB(db);
  TProjectDialog f(db, true);
  f.Main->DefaultSettingsSBtnClick();
  for (TWinControl* window : std::initializer_list<TWinControl*>{f.Dialog, f.Main->ApplicationSettings})
    EXPECT_EQ(CoveredLabels(window), std::vector<std::string>{}) << window->Name();
  // The list page shows some fields for one kind of list only.
  for (const char* type : {"Listbox", "Radiobox"}) {
    f.Main->FrameDetailedProperties->setDetails(type);
    EXPECT_EQ(CoveredLabels(f.Main), std::vector<std::string>{}) << type;
  }
}

// The folder browser of our own, over the dialog that asked for it.
TEST(ProjectDialog, TheFolderBrowserBelongsToTheDialogAndTheKeysWorkIt) {
  QF_REQUIRE_DB(db);
  TProjectDialog f(db, false);
  f.Main->Services.Folders = nullptr;
  Activate(f.Dialog);
  TempDir chosen;
  const struct {
    Qt::Key Key;
    std::string Path;
  } answers[] = {{Qt::Key_Escape, "mine/"}, {Qt::Key_Return, chosen.Path()}};
  for (const auto& a : answers) {
    SCOPED_TRACE(a.Key);
    f.Dialog->BrowseForFolder1->SetPath("");
    QWidget* owner = nullptr;
    const auto answer = OnNextModal([&](QWidget* modal) {
      owner = modal->parentWidget();
      TFolderDialog* dialog = nullptr;
      for (int i = 0; i < f.Dialog->ComponentCount() && !dialog; ++i)
        dialog = dynamic_cast<TFolderDialog*>(f.Dialog->Components(i));
      EXPECT_NE(dialog, nullptr) << "the dialog owns its folder browser";
      if (dialog) dialog->SelectPath(a.Path);
      PressIn(modal, a.Key);
    });
    FocusOn(f.Dialog->BtnPrjPath);
    QTest::keyClick(Focus(), Qt::Key_Space);
    EXPECT_EQ(owner, f.Dialog->Handle());
    EXPECT_EQ(f.Dialog->EPrjPath->Text(), a.Path);
  }
}

// ---------------------------------------------------------------- default settings

TEST(SettingsDialog, ABadPortSavesNothingCancelKeepsTheSettingsOkSavesEveryField) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  f.WriteSettings(ServerSettings(db, false, true));
  TMainForm* main = f.Start();
  main->DefaultSettingsSBtnClick();
  TApplicationSettings* d = main->ApplicationSettings;
  ASSERT_TRUE(d->Visible());
  EXPECT_EQ(d->EHostname->Text(), db.Host);
  EXPECT_TRUE(d->EReloadLast->Checked());
  EXPECT_FALSE(d->EAutoConnect->Checked());

  const std::string before = ReadFile(f.File("tyvox.ini"));
  d->EHostname->SetText("elsewhere");
  d->EPort->SetText("");
  d->BtnOKClick();
  EXPECT_EQ(Texts(f.Messages.Recorder),
            std::vector<std::string>{"The port must be a number from 1 to 65535, not \"\"."});
  EXPECT_TRUE(d->Visible());
  EXPECT_EQ(ReadFile(f.File("tyvox.ini")), before);
  EXPECT_EQ(main->ApplicationManager()->Default_Hostname, db.Host);
  d->BtnCancelClick();
  EXPECT_FALSE(d->Visible());
  main->DefaultSettingsSBtnClick();
  EXPECT_EQ(d->EHostname->Text(), db.Host) << "the next showing is filled from the settings";
  EXPECT_EQ(d->EPort->Text(), std::to_string(db.Port));

  TempDir out, projects;  // the folder buttons fill their fields
  f.Shell.Answers = {out.Path(), projects.Path()};
  d->BtnChangeOutputPathClick();
  d->BtnChangeProjectPathClick();
  d->EReloadLast->SetChecked(false);
  d->EAutoConnect->SetChecked(true);
  d->EHostname->SetText("db.example.org");
  d->EUserName->SetText("editor");
  d->EPassword->SetText("pa\"ss");
  d->EPort->SetText("3307");
  d->EDatabase->SetText("shop");
  d->BtnOKClick();
  EXPECT_FALSE(d->Visible());
  const TSettings saved = f.ReadSettings();
  const TSettings expected = {{"Default_output_path", out.Path()},  {"Default_project_path", projects.Path()},
                              {"Auto_load_last_Project", "0"},      {"Auto_connect", "-1"},
                              {"Default_Hostname", "db.example.org"}, {"Default_Username", "editor"},
                              {"Default_Password", "pa\"ss"},        {"Default_Port", "3307"},
                              {"Default_Database", "shop"}};
  for (const auto& [name, value] : expected) EXPECT_EQ(saved.at(name), value) << name;
}
