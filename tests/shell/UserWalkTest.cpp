// A user's walk through the program, end to end: start it on the private
// server, make a project in the project dialog, save it, quit, start again on
// the saved file, generate, and serve what was generated.

#include "E2ESupport.h"
#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatSpeedButton.h"
#include "core/Files.h"
#include "shell/ConnectionWindow.h"
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
  ::kill(server, SIGTERM);
  ::waitpid(server, nullptr, 0);
  EXPECT_EQ(index.Status, 200);
  EXPECT_NE(index.Body.find("<title>walk</title>"), std::string::npos) << index.Body;
  EXPECT_EQ(menu.Status, 200);
  const std::string log = e2e::ReadIfExists(f.File("php.out"));
  EXPECT_EQ(log.find("PHP Warning"), std::string::npos) << log;
  EXPECT_EQ(log.find("PHP Fatal"), std::string::npos) << log;
}
