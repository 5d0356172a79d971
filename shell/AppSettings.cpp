#include "shell/AppSettings.h"

#include "components/BrwsFldr.h"
#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "core/TextUtils.h"
#include "shell/DialogParts.h"
#include "shell/MainFormUnit.h"

namespace {

constexpr int kEditX = 150;

}  // namespace

TApplicationSettings::TApplicationSettings(TMainForm* AOwner) : TProgramDialog(AOwner), FMain(AOwner) {
  SetName("ApplicationSettings");
  SetCaption("Settings");
  SetBorderStyle(bsDialog);
  SetPosition(poOwnerFormCenter);
  SetBounds(0, 0, 452, 373);
  SetFont(AOwner->Font());

  EDefOutputPath = NewLabelledEdit(this, this, "EDefOutputPath", "Default output path:", 12, kEditX, 12, 210);
  BtnChangeOutputPath = NewButton(this, this, "BtnChangeOutputPath", "Change", 366, 11, 70, 21);
  BtnChangeOutputPath->OnClick = [this](TObject*) { BtnChangeOutputPathClick(); };
  EDefProjectPath = NewLabelledEdit(this, this, "EDefProjectPath", "Default project path:", 12, kEditX, 40, 210);
  BtnChangeProjectPath = NewButton(this, this, "BtnChangeProjectPath", "Change", 366, 39, 70, 21);
  BtnChangeProjectPath->OnClick = [this](TObject*) { BtnChangeProjectPathClick(); };
  EReloadLast = NewCheckBox(this, this, "EReloadLast", "Reload last project on startup", kEditX, 70, 250, true);
  EAutoConnect = NewCheckBox(this, this, "EAutoConnect", "Auto connect on startup", kEditX, 92, 250, true);

  DatabaseGroup = NewGroup(this, this, "DatabaseGroup", "Default database connection:", 8, 120, 428, 148);
  EHostname = NewLabelledEdit(this, DatabaseGroup, "EHostname", "Hostname:", 12, kEditX - 8, 20, 240, "localhost");
  EUserName = NewLabelledEdit(this, DatabaseGroup, "EUserName", "Username:", 12, kEditX - 8, 44, 240, "root");
  EPassword = NewLabelledEdit(this, DatabaseGroup, "EPassword", "Password:", 12, kEditX - 8, 68, 240);
  EPassword->SetPasswordChar(U'*');
  EPort = NewLabelledEdit(this, DatabaseGroup, "EPort", "Port:", 12, kEditX - 8, 92, 60, "3306");
  EPort->OnKeyPress = [this](TObject*, TKeyChar& key) { EPortKeyPress(key); };
  EDatabase = NewLabelledEdit(this, DatabaseGroup, "EDatabase", "Database:", 12, kEditX - 8, 116, 240, "mysql");

  BtnOK = NewButton(this, this, "BtnOK", "OK", 268, 306, 80, 25);
  BtnOK->OnClick = [this](TObject*) { BtnOKClick(); };
  BtnCancel = NewButton(this, this, "BtnCancel", "Cancel", 356, 306, 80, 25);
  BtnCancel->OnClick = [this](TObject*) { BtnCancelClick(); };
  SetDialogButtons(BtnOK, BtnCancel);

  BrowseForFolder1 = new TBrowseForFolder(this);
  BrowseForFolder1->SetName("BrowseForFolder1");
}

void TApplicationSettings::ShowSettings(const TApplicationManager& s) {
  EAutoConnect->SetChecked(s.Auto_connect);
  EReloadLast->SetChecked(s.Auto_load_last_Project);
  EDefOutputPath->SetText(s.Default_output_path);
  EDefProjectPath->SetText(s.Default_project_path);
  EHostname->SetText(s.Default_Hostname);
  EUserName->SetText(s.Default_Username);
  EPassword->SetText(s.Default_Password);
  EDatabase->SetText(s.Default_Database);
  EPort->SetText(IntToStr(s.Default_Port));
}

void TApplicationSettings::BtnOKClick() {
  int32_t port = 0;
  if (!CheckPort(EPort->Text(), port)) return;
  TApplicationManager& s = *FMain->ApplicationManager();
  s.Auto_connect = EAutoConnect->Checked();
  s.Auto_load_last_Project = EReloadLast->Checked();
  s.Default_Hostname = EHostname->Text();
  s.Default_Username = EUserName->Text();
  s.Default_Password = EPassword->Text();
  s.Default_Database = EDatabase->Text();
  s.Default_Port = port;
  s.Default_output_path = EDefOutputPath->Text();
  s.Default_project_path = EDefProjectPath->Text();
  s.SaveSettings();
  Hide();
}

void TApplicationSettings::BtnCancelClick() { Hide(); }

void TApplicationSettings::BtnChangeOutputPathClick() {
  ChooseFolder(BrowseForFolder1, FMain->Services.Folders, "", EDefOutputPath);
}

void TApplicationSettings::BtnChangeProjectPathClick() {
  ChooseFolder(BrowseForFolder1, FMain->Services.Folders, "", EDefProjectPath);
}

void TApplicationSettings::EPortKeyPress(TKeyChar& Key) { DigitsOnly(Key); }
