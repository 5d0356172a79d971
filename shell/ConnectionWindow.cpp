#include "shell/ConnectionWindow.h"

#include "components/BrwsFldr.h"
#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "components/FlatMemo.h"
#include "core/Files.h"
#include "core/TextUtils.h"
#include "grid/GridView.h"
#include "model/DBManager.h"
#include "model/FileLogger.h"
#include "shell/DialogParts.h"
#include "shell/LookAndFeelFrame.h"
#include "shell/MainFormUnit.h"
#include "shell/TableSelectFrame.h"
#include "ui/StdCtrls.h"

namespace {

// Right of the longest label, "Project comment:".
constexpr int kEditX = 112;

}  // namespace

TConnectionForm::TConnectionForm(TMainForm* AOwner) : TProgramDialog(AOwner), FMain(AOwner) {
  SetName("ConnectionForm");
  SetCaption("Create new project");
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poOwnerFormCenter);
  SetBounds(0, 0, 379, 510);
  SetFont(AOwner->Font());

  ConnectionGroup = NewGroup(this, this, "ConnectionGroup", "SQL Server connection:", 8, 4, 357, 148);
  EHost = NewLabelledEdit(this, ConnectionGroup, "EHost", "Hostname:", 12, kEditX, 20, 228, "localhost");
  EUsername = NewLabelledEdit(this, ConnectionGroup, "EUsername", "Username:", 12, kEditX, 44, 228, "root");
  EPassword = NewLabelledEdit(this, ConnectionGroup, "EPassword", "Password:", 12, kEditX, 68, 228);
  EPassword->SetPasswordChar(U'*');
  EPort = NewLabelledEdit(this, ConnectionGroup, "EPort", "Port:", 12, kEditX, 92, 60, "3306");
  EPort->OnKeyPress = [this](TObject*, TKeyChar& key) { EPortKeyPress(key); };
  EDatabase = NewLabelledEdit(this, ConnectionGroup, "EDatabase", "Database:", 12, kEditX, 116, 150, "mysql");
  BtnTest = NewButton(this, ConnectionGroup, "BtnTest", "Test", 270, 115, 70, 21);
  BtnTest->OnClick = [this](TObject*) { BtnTestClick(); };

  ProjectGroup = NewGroup(this, this, "ProjectGroup", "General settings:", 8, 158, 357, 222);
  EProjectName =
      NewLabelledEdit(this, ProjectGroup, "EProjectName", "Project name:", 12, kEditX, 20, 228, "Project1");
  EPrjPath = NewLabelledEdit(this, ProjectGroup, "EPrjPath", "Project path:", 12, kEditX, 46, 158);
  BtnPrjPath = NewButton(this, ProjectGroup, "BtnPrjPath", "Change", 276, 45, 64, 21);
  BtnPrjPath->OnClick = [this](TObject*) { BtnPrjPathClick(); };
  EPrjOutput = NewLabelledEdit(this, ProjectGroup, "EPrjOutput", "Project output:", 12, kEditX, 72, 158);
  BtnPrjOutput = NewButton(this, ProjectGroup, "BtnPrjOutput", "Change", 276, 71, 64, 21);
  BtnPrjOutput->OnClick = [this](TObject*) { BtnPrjOutputClick(); };
  NewLabel(this, ProjectGroup, 12, 101, "Project comment:");
  EPrjComment = NewControl<TFlatMemo>(this, ProjectGroup, "EPrjComment", kEditX, 98, 228, 112);
  EPrjComment->SetText("Comment");

  EPrjLocalDomain =
      NewLabelledEdit(this, this, "EPrjLocalDomain", "Local domain:", 20, kEditX + 8, 390, 245, "http://");
  EPrjUseLocalDomain =
      NewCheckBox(this, this, "EPrjUseLocalDomain", "Show result after generation", kEditX + 8, 416, 240, true);

  // Never shown: its fields are reached through the project file.
  FTPGroup = NewGroup(this, this, "FTPGroup", "FTP connection:", 8, 158, 357, 150);
  FTPGroup->SetVisible(false);
  EFTPHost = NewLabelledEdit(this, FTPGroup, "EFTPHost", "Hostname:", 12, kEditX, 20, 228);
  EFTPUser = NewLabelledEdit(this, FTPGroup, "EFTPUser", "Username:", 12, kEditX, 44, 228);
  EFTPPass = NewLabelledEdit(this, FTPGroup, "EFTPPass", "Password:", 12, kEditX, 68, 228);
  EFTPPass->SetPasswordChar(U'*');
  EFTPRemote = NewLabelledEdit(this, FTPGroup, "EFTPRemote", "Remote dir:", 12, kEditX, 92, 228);
  BtnFTPTest = NewButton(this, FTPGroup, "BtnFTPTest", "Test", 270, 118, 70, 21);
  BtnFTPTest->OnClick = [this](TObject*) { BtnFTPTestClick(); };

  BtnConnect = NewButton(this, this, "BtnConnect", "Connect", 196, 448, 80, 25);
  BtnConnect->OnClick = [this](TObject*) { BtnConnectClick(); };
  BtnCancel = NewButton(this, this, "BtnCancel", "Cancel", 284, 448, 80, 25);
  BtnCancel->OnClick = [this](TObject*) { BtnCancelClick(); };
  SetDialogButtons(BtnConnect, BtnCancel);
  // The comment takes Enter for its lines; Escape still cancels from there.
  EPrjComment->OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) { KeyFromField(key, shift); };

  BrowseForFolder1 = new TBrowseForFolder(this);
  BrowseForFolder1->SetName("BrowseForFolder1");
}

void TConnectionForm::Execute() {
  FormShow();
  Show();
}

void TConnectionForm::FormShow() {
  const bool create = FMain->NewProjectMode;
  const bool switched = Visible() && create != FShownCreate;
  FShownCreate = create;
  SetCaption(create ? "Create new project" : "Change project settings");
  BtnConnect->SetCaption(create ? "Create" : "Save");
  ConnectionGroup->SetEnabled(create);
  ProjectToForm();
  // Open already, it starts again on the first field of its new mode, as it opens.
  if (switched) SelectFirst();
}

void TConnectionForm::ProjectToForm() {
  const TProjectManager& p = *FMain->Project();
  const TApplicationManager& settings = *FMain->ApplicationManager();
  const bool create = FMain->NewProjectMode;
  EProjectName->SetText(p.ProjectName);
  EPrjPath->SetText(create ? settings.Default_project_path : p.Project_path);
  EPrjOutput->SetText(create ? settings.Default_output_path : p.Project_output);
  EPrjComment->SetText(p.Project_comment);
  EPrjLocalDomain->SetText(p.LocalDomain);
  EPrjUseLocalDomain->SetChecked(p.UseLocalDomain);
  EHost->SetText(p.Database_host);
  EUsername->SetText(p.Database_user);
  EPassword->SetText(p.Database_password);
  EDatabase->SetText(p.Database_name);
  EPort->SetText(IntToStr(p.Database_port));
  EFTPHost->SetText(p.FTPHost);
  EFTPUser->SetText(p.FTPUser);
  EFTPPass->SetText(p.FTPPassword);
  EFTPRemote->SetText(p.FTPDir);
}

void TConnectionForm::FormToProject(TProjectManager& project, int32_t port) {
  project.ProjectName = EProjectName->Text();
  project.SiteCaption = EProjectName->Text();
  project.Project_path = WithTrailingSlash(EPrjPath->Text());
  EPrjPath->SetText(project.Project_path);
  project.Project_output = EPrjOutput->Text();
  project.Project_comment = EPrjComment->Text();
  project.LocalDomain = EPrjLocalDomain->Text();
  project.UseLocalDomain = EPrjUseLocalDomain->Checked();
  project.Database_host = EHost->Text();
  project.Database_user = EUsername->Text();
  project.Database_password = EPassword->Text();
  project.Database_name = EDatabase->Text();
  project.Database_port = port;
  project.FTPHost = EFTPHost->Text();
  project.FTPUser = EFTPUser->Text();
  project.FTPPassword = EFTPPass->Text();
  project.FTPDir = EFTPRemote->Text();
}

void TConnectionForm::BtnConnectClick() {
  int32_t port = 0;
  if (!CheckPort(EPort->Text(), port)) return;
  // The project file is named after the project.
  if (Trim(EProjectName->Text()).empty()) {
    ShowMessageBox("The project name must not be empty: the project file is named after it.",
                   TMsgDlgType::mtWarning);
    if (EProjectName->CanFocus()) EProjectName->SetFocus();
    return;
  }
  TMainForm& main = *FMain;
  if (main.NewProjectMode) {
    const bool overwrite =
        main.Project()->GetTableCount() == 0 ||
        ShowMessageBox("Are you sure to overwrite the actual project?", TMsgDlgType::mtWarning, mbYes | mbNo) !=
            TModalResult::mrNo;
    if (overwrite) {
      auto project = std::make_unique<TProjectManager>();
      FormToProject(*project, port);
      main.ReplaceProject(std::move(project));
      TProjectManager& p = *main.Project();
      // With the database Open connects with, so that what Create accepts opens again.
      const bool connected =
          p.DBManager->Connect(p.Database_host, p.Database_user, p.Database_password, port, p.Database_name) != nullptr;
      // The server's reason, before the panel's queries put their own in its place.
      const std::string reason =
          connected ? std::string()
                    : ConnectReason(p.Database_name, p.Database_host, port, p.DBManager->LastError());
      if (!connected) WriteLog("  " + reason);
      main.SelectTablePanel->InitPanel(&p, main.TableInfo);
      main.TableInfo->ClearRows();
      if (!connected) ShowMessageBox(WithReason("Can't connect to database!", reason), TMsgDlgType::mtWarning);
    }
  } else {
    FormToProject(*main.Project(), port);
    main.UpdateCaption();
    // The name is the page title now too: the look frame shows it, or the
    // next Save would write the old title back.
    main.LookAndFeelPanel->EPageTitle->SetText(main.Project()->SiteCaption);
  }
  main.SelectTablePanel->ShowProjectInfo();
  Close();
}

void TConnectionForm::BtnTestClick() {
  int32_t port = 0;
  if (!CheckPort(EPort->Text(), port)) return;
  // A connection of its own: a failed test leaves the project's connection
  // alone. It names the database as Open does: a test that succeeds means
  // the project will open.
  TDBManager test;
  const std::string database = EDatabase->Text();
  if (test.Connect(EHost->Text(), EUsername->Text(), EPassword->Text(), port, database))
    ShowMessageBox("Connect to database succeed!", TMsgDlgType::mtInformation);
  else
    ShowMessageBox(
        WithReason("Can't connect to database!", ConnectReason(database, EHost->Text(), port, test.LastError())),
        TMsgDlgType::mtWarning);
}

void TConnectionForm::EPortKeyPress(TKeyChar& Key) { DigitsOnly(Key); }

void TConnectionForm::BtnPrjPathClick() {
  ChooseFolder(BrowseForFolder1, FMain->Services.Folders, GetCurrentDir(), EPrjPath);
}

void TConnectionForm::BtnPrjOutputClick() {
  ChooseFolder(BrowseForFolder1, FMain->Services.Folders, GetCurrentDir(), EPrjOutput);
}

void TConnectionForm::BtnCancelClick() { Close(); }

void TConnectionForm::BtnFTPTestClick() {
  FTPClient.Host = EFTPHost->Text();
  FTPClient.Username = EFTPUser->Text();
  FTPClient.Password = EFTPPass->Text();
  try {
    FTPClient.Connect();
  } catch (const EFtpError& e) {
    WriteLog("  " + e.Message());
    ShowMessageBox("Can't connect to the FTP server!", TMsgDlgType::mtWarning);
  }
  if (!FTPClient.Connected()) return;
  const bool missing = !FTPClient.ChangeDir(EFTPRemote->Text());
  ShowMessageBox(missing ? "Connection was successfully! But remote directory doesn't exists!"
                         : "Connection was successfully!",
                 TMsgDlgType::mtInformation);
  FTPClient.Disconnect();
}
