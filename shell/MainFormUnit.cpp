#include "shell/MainFormUnit.h"

#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "components/FlatRadioButton.h"
#include "components/FlatSpeedButton.h"
#include "components/GradPageControl.h"
#include "components/MenuPainter.h"
#include "core/Exception.h"
#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PhpMain.h"
#include "grid/ColumnClasses.h"
#include "grid/GridView.h"
#include "grid/SharedCommon.h"
#include "model/FileLogger.h"
#include "model/General.h"
#include "model/XMLIO.h"
#include "shell/About.h"
#include "shell/AppSettings.h"
#include "shell/ConnectionWindow.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/DialogParts.h"
#include "shell/GridLook.h"
#include "shell/LookAndFeelFrame.h"
#include "shell/Pictures.h"
#include "shell/ProcessingForm.h"
#include "shell/TableDetailInterface.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Menus.h"
#include "ui/QtServices.h"
#include "ui/StdCtrls.h"
#include "ui/ToolWin.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

TMainForm* MainForm = nullptr;

namespace {

constexpr const char* kFileFilter = "Brannoch File (*.vrk)|*.vrk";
constexpr const char* kOverwrite = "Are you sure to overwrite the actual project?";
constexpr TColor kSkyBlue = 0xF0CAA6;

/** The application's message boxes, looked up at each call, so that a box
 *  service put in later (a test's recorder) is the one used. */
class TApplicationMessages : public IMessageService {
public:
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    return Application ? Application->MessageService()->MessageDlg(text, type, buttons) : TModalResult::mrNone;
  }
};

std::string HelpFileName() { return GetAppFolder() + "help/index.html"; }

// Generation opens only addresses a browser should be handed.
bool IsWebAddress(const std::string& address) {
  for (const char* scheme : {"http:", "https:", "file:"})
    if (StartsWith(LowerCase(address), scheme)) return true;
  return false;
}

/** A grid that says when an in-place edit ends, whether it was taken or
 *  cancelled: the grid's own events tell only of taken ones. */
class TEditedGridView : public TGridView {
public:
  using TGridView::TGridView;
  void EndEdit() override {
    const bool editing = State().Contains(gbEditing);
    const TGridCell cell = EditedCell();
    TGridView::EndEdit();
    if (editing && OnEditEnded && !Destroying() && cell.Row >= 0 && cell.Row < RowCount())
      OnEditEnded(this, cell.Col, cell.Row);
  }
  TCellEvent OnEditEnded;
};

TFlatRadioButton* NewRadio(TComponent* owner, TWinControl* parent, const std::string& name,
                           const std::string& caption, int x, int y, int w) {
  auto* radio = NewControl<TFlatRadioButton>(owner, parent, name, x, y, w, 17);
  radio->SetCaption(caption);
  return radio;
}

}  // namespace

TMenuPainter* NewMainWindowPainter(TComponent* owner) {
  auto* p = new TMenuPainter(owner);
  TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-11);
  font.SetColor(clMenuText);
  p->SetFont(font);
  p->SetColor(clWhite);
  p->SetIconBackColor(16576226);
  p->SetSelectColor(16776176);
  p->SetSelectBorderColor(clNavy);
  p->SetSelectFontColor(clMenuText);
  p->SetCheckedColor(kSkyBlue);
  p->SetUseSystemColors(false);
  p->SetFlatMenu(true);
  p->SetAutoDetect(true);
  TXPControls controls = AllXPControls;
  p->SetXPControls(controls >> xcPanel);
  p->SetActive(true);
  p->Loaded();
  return p;
}

IMessageService* ProgramMessages() {
  static TApplicationMessages messages;
  return &messages;
}

TModalResult ShowMessageBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  return ProgramMessages()->MessageDlg(text, type, buttons);
}

std::string WithReason(const std::string& message, const std::string& reason) {
  return reason.empty() ? message : message + "\n" + reason;
}

std::string ConnectReason(const std::string& database, const std::string& host, int port, const std::string& error) {
  const std::string server = host + ":" + std::to_string(port);
  return (database.empty() ? server : "database \"" + database + "\" on " + server) + ": " + error;
}

TShellServices TShellServices::Real() {
  static TQtFileDialogs files;
  static TQtUrlOpener urls;
  static TQtHelpService help;
  return TShellServices{&files, nullptr, &urls, &help};
}

// ---------------------------------------------------------------- building

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner), Services(TShellServices::Real()) {
  SetName("MainForm");
  TFont font;
  font.SetName("MS Sans Serif");
  font.SetHeight(-11);
  SetFont(font);
  SetBounds(0, 0, 851, 668);
  SetPosition(poDesktopCenter);
  SetConstraints({800, 600, 0, 0});
  FImages = MakeProgramImages();

  BuildMenu();
  BuildToolBars();

  StatusBar1 = NewControl<TStatusBar>(this, this, "StatusBar1", 0, 0, ClientWidth(), 19);
  StatusBar1->SetAlign(alBottom);
  for (const auto& [text, width] : {std::pair{"DB:", 150}, {"Table:", 200}, {"", 50}, {"", 50}}) {
    TStatusPanel* panel = StatusBar1->Panels().Add();
    panel->SetText(text);
    panel->SetWidth(width);
  }

  SelectTablePanel = new TTableSelectPanel(this);
  SelectTablePanel->SetParent(this);
  // 170 leaves the field editor its 650 pixels beside the panel in a window of 851.
  SelectTablePanel->SetBounds(0, 30, 170, 500);
  SelectTablePanel->SetConstraints({150, 450, 200, 0});
  SelectTablePanel->SetAlign(alLeft);
  MainPanelSplitter = NewSplitter(this, this, "MainPanelSplitter", alLeft, 171, 30, 5, 500, true);

  BuildPages();
  SetupGrids();

  OnCreate = [this](TObject*) { FormCreate(); };
  OnShow = [this](TObject*) { FormShow(); };
  OnActivate = [this](TObject*) { FormActivate(); };
  OnClose = [this](TObject*, TCloseAction& action) {
    if (CloseQuery())
      FormClose();
    else
      action = caNone;
  };
}

TMainForm::~TMainForm() {
  // The controls go before the project they show.
  if (FProject) FProject->RemoveListener(this);
  DestroyComponents();
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::BuildMenu() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName("MainMenu1");
  auto item = [this](TMenuItem* parent, const char* name, const std::string& caption, TShortCut key,
                     void (TMainForm::*handler)()) {
    auto* i = new TMenuItem(this);
    i->SetName(name);
    i->SetCaption(caption);
    i->SetShortCut(key);
    if (handler) i->OnClick = [this, handler](TObject*) { (this->*handler)(); };
    parent->Add(i);
    return i;
  };
  auto line = [&](TMenuItem* parent) { item(parent, "", "-", scNone, nullptr); };
  TMenuItem* root = MainMenu1->Items();
  File1 = item(root, "File1", "File", scNone, nullptr);
  New1 = item(File1, "New1", "New...", ShortCut('N', {ssCtrl}), &TMainForm::NewSBtnClick);
  Open1 = item(File1, "Open1", "Open", ShortCut('O', {ssCtrl}), &TMainForm::OpenSBtnClick);
  Save1 = item(File1, "Save1", "Save", ShortCut('S', {ssCtrl}), &TMainForm::BtnSaveClick);
  Saveas1 = item(File1, "Saveas1", "Save as ...", scNone, &TMainForm::SaveSBtnClick);
  line(File1);
  // Ctrl+X is every edit's cut key, so Exit has Ctrl+Q.
  Exit1 = item(File1, "Exit1", "Exit", ShortCut('Q', {ssCtrl}), &TMainForm::Exit1Click);
  Project1 = item(root, "Project1", "Project", scNone, nullptr);
  Settings1 = item(Project1, "Settings1", "Settings", ShortCut('O', {ssCtrl, ssAlt}),
                   &TMainForm::ProjectSettingsSBtnClick);
  line(Project1);
  Update1 = item(Project1, "Update1", "Update", ShortCut('U', {ssCtrl}), nullptr);
  line(Project1);
  Generate1 = item(Project1, "Generate1", "Generate", ShortCut('G', {ssCtrl}), &TMainForm::FlatSpeedButton1Click);
  Options1 = item(root, "Options1", "Options", scNone, nullptr);
  Defaultsettings1 = item(Options1, "Defaultsettings1", "Default settings", ShortCut('S', {ssCtrl, ssAlt}),
                          &TMainForm::DefaultSettingsSBtnClick);
  Help1 = item(root, "Help1", "Help", scNone, nullptr);
  Help2 = item(Help1, "Help2", "Help", ShortCut(VK_F1, {}), &TMainForm::Help2Click);
  VisitHomePage1 = item(Help1, "VisitHomePage1", "Visit HomePage", scNone, &TMainForm::VisitHomePage1Click);
  line(Help1);
  About1 = item(Help1, "About1", "About", scNone, &TMainForm::About1Click);

  MenuPainter1 = NewMainWindowPainter(this);
  MenuPainter1->SetName("MenuPainter1");
}

void TMainForm::BuildToolBars() {
  ControlBar1 = NewControl<TControlBar>(this, this, "ControlBar1", 0, 0, ClientWidth(), 30);
  ControlBar1->SetAlign(alTop);
  int left = 0;
  auto bar = [&](const char* name, int buttons) {
    const int width = buttons * 23;
    auto* b = NewControl<TToolBar>(this, ControlBar1, name, left, 2, width, 22);
    b->SetFlat(true);
    left += width + 20;
    return b;
  };
  auto button = [this](TToolBar* parent, const char* name, const char* hint, TToolGlyph glyph,
                       void (TMainForm::*handler)()) {
    auto* b = NewControl<TFlatSpeedButton>(this, parent, name, parent->ControlCount() * 23, 0, 23, 22);
    b->SetHint(hint);
    b->SetShowHint(true);
    b->SetTransparentMode(tmNotFocused);
    TBitmap picture;
    DrawToolGlyph(picture, glyph);
    b->SetGlyph(picture);
    b->OnClick = [this, handler](TObject*) { (this->*handler)(); };
    return b;
  };
  FileToolBar = bar("FileToolBar", 4);
  NewSBtn = button(FileToolBar, "NewSBtn", "New project", tgNew, &TMainForm::NewSBtnClick);
  OpenSBtn = button(FileToolBar, "OpenSBtn", "Load project", tgOpen, &TMainForm::OpenSBtnClick);
  BtnSave = button(FileToolBar, "BtnSave", "Save", tgSave, &TMainForm::BtnSaveClick);
  SaveSBtn = button(FileToolBar, "SaveSBtn", "Save as ...", tgSaveAs, &TMainForm::SaveSBtnClick);
  ProjectToolBar = bar("ProjectToolBar", 3);
  DefaultSettingsSBtn = button(ProjectToolBar, "DefaultSettingsSBtn", "Default settings", tgDefaultSettings,
                               &TMainForm::DefaultSettingsSBtnClick);
  ProjectSettingsSBtn = button(ProjectToolBar, "ProjectSettingsSBtn", "Project settings", tgProjectSettings,
                               &TMainForm::ProjectSettingsSBtnClick);
  ProjectUpdateSBtn =
      button(ProjectToolBar, "ProjectUpdateSBtn", "Update project", tgUpdate, &TMainForm::ToolButton3Click);
  HelpToolBar = bar("HelpToolBar", 1);
  HelpSBtn = button(HelpToolBar, "HelpSBtn", "Help", tgHelp, &TMainForm::Help2Click);
  ToolBar2 = bar("ToolBar2", 1);
  FlatSpeedButton1 = button(ToolBar2, "FlatSpeedButton1", "Generate", tgGenerate, &TMainForm::FlatSpeedButton1Click);
}

void TMainForm::BuildPages() {
  RightLeftMainPage = NewControl<TGradPageControl>(this, this, "RightLeftMainPage", 190, 30, 600, 500);
  RightLeftMainPage->SetAlign(alClient);
  RightLeftMainPage->SetTabPosition(tpBottom);
  // Reached by Tab, a page control marks its active tab.
  RightLeftMainPage->SetShowFocus(true);
  ProjectPage = new TGradTabSheet(this);
  ProjectPage->SetName("ProjectPage");
  ProjectPage->SetCaption("Project");
  ProjectPage->SetPageControl(RightLeftMainPage);

  SubPageControl = NewControl<TGradPageControl>(this, ProjectPage, "SubPageControl", 0, 0, 600, 480);
  SubPageControl->SetAlign(alClient);
  SubPageControl->SetShowFocus(true);
  auto page = [this](const char* name, const char* caption) {
    auto* sheet = new TGradTabSheet(this);
    sheet->SetName(name);
    sheet->SetCaption(caption);
    sheet->SetPageControl(SubPageControl);
    return sheet;
  };
  AdvTabSheet1 = page("AdvTabSheet1", "Table details");
  AdvTabSheet2 = page("AdvTabSheet2", "Look and Feel");
  AdvTabSheet5 = page("AdvTabSheet5", "Security");
  AdvTabSheet3 = page("AdvTabSheet3", "Site settings");

  auto* tableInfo = NewControl<TEditedGridView>(this, AdvTabSheet1, "TableInfo", 0, 0, 600, 200);
  tableInfo->OnEditEnded = [this](TObject*, int col, int row) { TableInfoEditEnded(col, row); };
  TableInfo = tableInfo;
  TableInfo->SetAlign(alTop);
  TableInfoSplitter = NewSplitter(this, AdvTabSheet1, "TableInfoSplitter", alTop, 0, 201, 600, 5, true);
  FrameDetailedProperties = new TFrameDetailedProperties(this);
  FrameDetailedProperties->SetParent(AdvTabSheet1);
  FrameDetailedProperties->SetBounds(0, 205, 650, 250);
  FrameDetailedProperties->SetConstraints({650, 250, 0, 0});
  FrameDetailedProperties->SetAlign(alClient);
  AdvTabSheet1->OnResize = [this](TObject*) { KeepGridShare(); };
  TableInfoSplitter->OnMoved = [this](TObject*) {
    FGridShare = 0;
    KeepGridShare();
  };
  KeepGridShare();

  LookAndFeelPanel = new TLookAndFeel(this);
  LookAndFeelPanel->SetParent(AdvTabSheet2);
  LookAndFeelPanel->SetAlign(alClient);
  AdvTabSheet2->OnShow = [this](TObject*) { AdvTabSheet2Show(); };

  BuildSecurityPage();
  BuildSiteSettingsPage();
  SubPageControl->SetActivePage(AdvTabSheet1);
  RightLeftMainPage->SetActivePage(ProjectPage);
}

void TMainForm::KeepGridShare() {
  const int room = AdvTabSheet1->ClientHeight() - TableInfoSplitter->Height();
  if (room <= 0) return;
  // Until the page first changes size, and after the user moved the
  // splitter, the share is what the grid has of the room it had.
  if (FGridShare <= 0 && FGridRoom > 0) FGridShare = static_cast<double>(TableInfo->Height()) / FGridRoom;
  FGridRoom = room;
  if (FGridShare <= 0) return;
  constexpr int kLeastGrid = 60;
  const int most = std::max(kLeastGrid, room - FrameDetailedProperties->Constraints().MinHeight);
  const int height = std::clamp(static_cast<int>(FGridShare * room + 0.5), kLeastGrid, most);
  if (height != TableInfo->Height()) TableInfo->SetHeight(height);
}

void TMainForm::BuildSecurityPage() {
  secNoUser = NewRadio(this, AdvTabSheet5, "secNoUser", "No user control", 16, 16, 200);
  secNoUser->SetChecked(true);
  secAdmin = NewRadio(this, AdvTabSheet5, "secAdmin", "Admin user control", 16, 40, 200);
  AdminSettingsPanel = NewGroup(this, AdvTabSheet5, "AdminSettingsPanel", "Admin settings:", 16, 72, 300, 84);
  secAdminName = NewLabelledEdit(this, AdminSettingsPanel, "secAdminName", "Name:", 12, 90, 24, 190);
  secAdminPass = NewLabelledEdit(this, AdminSettingsPanel, "secAdminPass", "Password:", 12, 90, 52, 190);
  for (TControl* c : std::initializer_list<TControl*>{AdminSettingsPanel, secAdminName, secAdminPass})
    c->SetEnabled(false);
  secAdmin->OnClick = [this](TObject*) { secAdminClick(); };
  secNoUser->OnClick = [this](TObject*) { secNoUserClick(); };
  for (TFlatEdit* edit : {secAdminName, secAdminPass}) edit->OnExit = [this](TObject*) { secAdminNameChange(); };
  AdvTabSheet5->OnShow = [this](TObject*) { AdvTabSheet5Show(); };
}

void TMainForm::BuildSiteSettingsPage() {
  SiteSettingsPanel = NewControl<TPanel>(this, AdvTabSheet3, "SiteSettingsPanel", 0, 300, 600, 176);
  SiteSettingsPanel->SetAlign(alBottom);
  SiteSettingsPanel->SetBevelOuter(bvNone);
  auto* settingsGrid = NewControl<TEditedGridView>(this, AdvTabSheet3, "TableSettingsGrid", 0, 0, 600, 300);
  // A right reaches the model with each change; a cancelled edit puts the cell's back.
  settingsGrid->OnEditEnded = [this](TObject*, int col, int row) {
    if (col >= 3 && col <= 7) TableSettingsGridEdit(col, row, TableSettingsGrid->GetCellText(col, row));
  };
  TableSettingsGrid = settingsGrid;
  TableSettingsGrid->SetAlign(alClient);

  AdminSetupGroup = NewGroup(this, SiteSettingsPanel, "AdminSetupGroup", "Administrator setup", 4, 6, 236, 112);
  NewLabel(this, AdminSetupGroup, 10, 20, "Administrator name:");
  adminNameField = NewEdit(this, AdminSetupGroup, "adminNameField", 10, 36, 214, "admin");
  NewLabel(this, AdminSetupGroup, 10, 62, "Administrator password:");
  adminPassField = NewEdit(this, AdminSetupGroup, "adminPassField", 10, 78, 214);
  for (TFlatEdit* edit : {adminNameField, adminPassField}) edit->OnChange = [this](TObject*) { adminNameFieldChange(); };

  MailGroup = NewGroup(this, SiteSettingsPanel, "MailGroup", "Mail notification", 246, 6, 374, 166);
  inpMailSendTo = NewLabelledEdit(this, MailGroup, "inpMailSendTo", "Send to:", 10, 70, 20, 290);
  inpMailSubject = NewLabelledEdit(this, MailGroup, "inpMailSubject", "Subject:", 10, 70, 44, 290);
  inpMailFrom = NewLabelledEdit(this, MailGroup, "inpMailFrom", "From:", 10, 70, 68, 290);
  inpMailOnInsert = NewCheckBox(this, MailGroup, "inpMailOnInsert", "Insert", 10, 98, 80);
  inpMailOnUpdate = NewCheckBox(this, MailGroup, "inpMailOnUpdate", "Update", 10, 118, 80);
  inpMailOnDelete = NewCheckBox(this, MailGroup, "inpMailOnDelete", "Delete", 10, 138, 80);
  inpMailAllData = NewRadio(this, MailGroup, "inpMailAllData", "Send all data", 150, 98, 200);
  inpMailListData = NewRadio(this, MailGroup, "inpMailListData", "Send list data", 150, 118, 200);
  inpMailNoData = NewRadio(this, MailGroup, "inpMailNoData", "Send notification only", 150, 138, 200);
  for (TWinControl* c : std::initializer_list<TWinControl*>{inpMailSendTo, inpMailSubject, inpMailFrom, inpMailOnInsert,
                                                           inpMailOnUpdate, inpMailOnDelete, inpMailAllData,
                                                           inpMailListData, inpMailNoData})
    c->OnExit = [this](TObject*) { inpMailSendToChange(); };
  for (TFlatRadioButton* r : {inpMailAllData, inpMailListData, inpMailNoData})
    r->OnClick = [this](TObject*) { inpMailSendToChange(); };
  AdvTabSheet3->OnShow = [this](TObject*) { AdvTabSheet3Show(); };
}

void TMainForm::SetupGrids() {
  StyleGrid(TableInfo);
  auto* key = AddColumn<TImageColumn>(TableInfo, "TIKeyField", "K", "Key field indicator", 18);
  key->SetImages(FImages.get());
  key->SetAlignment(taCenter);
  key->SetDefaultValue("0");
  // The columns without a width of their own share what the others leave of 650 pixels.
  AddText(TableInfo, "TIDBField", "Db Field", "Original SQL field name", 80, false, true);
  AddText(TableInfo, "TIDBType", "DbType", "Original SQL field type", 75, false);
  AddCheck(TableInfo, "TIInsert", " I", "Show field on Insert page", 18, "True");
  AddCheck(TableInfo, "TIUpdate", " U", "Show field on Update page", 18, "True");
  AddCheck(TableInfo, "TIDetail", " D", "Show field on Detail page", 18, "True");
  AddCheck(TableInfo, "TIList", " L", "Show field on List page", 18, "True");
  AddText(TableInfo, "TICaption", "Caption", "Displayed caption", 75, true);
  AddList(TableInfo, "TIViewType", "View type", 75, "Text", PickList({"Text", "Number", "Picture"}));
  AddList(TableInfo, "TIInputType", "Input type", 90, "Text",
          PickList({"Text", "Textarea", "Combobox", "Listbox", "Checkbox", "Radiobox", "Password", "Hidden", "File"}));
  AddList(TableInfo, "TIFilter", "Filter", 60, "No", PickList({"No", "Like", "Interval"}));
  AddCheck(TableInfo, "TIHint", " H", "Add hint information to the field", 18, "False");
  AddText(TableInfo, "TIHintText", "Hint text", "", 70, true);
  TableInfo->OnSelectCell = [this](TObject*, int col, int row) { TableInfoSelectCell(col, row); };
  TableInfo->OnEdit = [this](TObject*, int col, int row, const std::string& value) { TableInfoEdit(col, row, value); };
  TableInfo->OnEditAccept = [this](TObject*, int col, int row, const std::string& value, bool& accept) {
    TableInfoEditAccept(col, row, value, accept);
  };
  TableInfo->OnSortColumn = [this](TObject*, int, bool) { TableInfoSortColumn(); };

  StyleGrid(TableSettingsGrid);
  const TStringList rights = PickList({"Admin", "Guest"});
  AddText(TableSettingsGrid, "TSDBName", "DB name", "", 80, false, true);
  AddText(TableSettingsGrid, "TSTableName", "Table name", "", 90, false, true);
  AddText(TableSettingsGrid, "TSCaption", "Caption", "", 95, true);
  AddList(TableSettingsGrid, "TSInsert", "Insert", 75, "", rights);
  for (const auto& [name, caption] :
       {std::pair{"TSUpdate", "Update"}, {"TSDelete", "Delete"}, {"TSDetail", "Detail"}, {"TSList", "List"}})
    AddList(TableSettingsGrid, name, caption, 75, "Guest", rights);
  AddCheck(TableSettingsGrid, "TSMail", "Mail", "", 25, "false");
  TableSettingsGrid->OnEdit = [this](TObject*, int col, int row, const std::string& value) {
    TableSettingsGridEdit(col, row, value);
  };
  TableSettingsGrid->OnEditAccept = [this](TObject*, int col, int row, const std::string& value, bool& accept) {
    TableSettingsGridEditAccept(col, row, value, accept);
  };
}

// ---------------------------------------------------------------- the window

void TMainForm::FormCreate() {
  WriteLog("FormCreate begin");
  try {
    FProject = std::make_unique<TProjectManager>();
    FProject->AddListener(this);
    FApplicationManager = std::make_unique<TApplicationManager>();
    FApplicationManager->Messages = ProgramMessages();
    FApplicationManager->LoadSettings();
  } catch (...) {
  }
  // Whatever failed above, the window never runs without a project or settings.
  if (!FProject) {
    FProject = std::make_unique<TProjectManager>();
    FProject->AddListener(this);
  }
  if (!FApplicationManager) FApplicationManager = std::make_unique<TApplicationManager>();
  SelectTablePanel->SetProject(FProject.get());
  // The editors show the project from the start, never their own stored
  // texts, which a Save would otherwise write into it.
  ShowSiteSettings();
  TInterfaceTableDetail(*this).fillLook();
  UpdateCaption();
  MarkSaved();
  WriteLog("FormCreate end");
}

bool TMainForm::ConnectProject() {
  TProjectManager& p = *FProject;
  if (p.DBManager->Connect(p.Database_host, p.Database_user, p.Database_password, p.Database_port, p.Database_name))
    return true;
  WriteLog("  " + p.DBManager->LastError());
  return false;
}

void TMainForm::FormShow() {
  if (FShown) return;
  FShown = true;
  WriteLog("FormShow begin");
  AdvTabSheet5->SetTabVisible(false);
  bool error = false;
  const std::string argument = Arguments.empty() ? std::string() : Arguments[0];
  TApplicationManager& settings = *FApplicationManager;

  // The argument names the project of this start only; the settings keep theirs.
  std::string path;
  if (!Arguments.empty()) {
    WriteLog("  FormShow QFX was called with parameter: " + argument);
    if (FileExists(argument)) path = argument;
  }
  if (path.empty() && !settings.Last_project_name.empty() && settings.Auto_load_last_Project)
    path = settings.Last_project_path + settings.Last_project_name + ".vrk";

  bool loaded = false;
  if (!path.empty()) {
    WriteLog("  FormShow try to load last project: " + path);
    try {
      WithProgress([&](IProgressDisplay* progress) { XMLManager().LoadProject(path, *FProject, progress); });
      ShowSiteSettings();
      TInterfaceTableDetail(*this).fillLook();
      UpdateCaption();
      // A last project whose file is gone loads nothing: the default server is then tried.
      loaded = FileExists(path);
    } catch (const std::exception& e) {
      WriteLog("  FormShow Can't load last project: ");
      WriteLog("  " + std::string(e.what()));
      error = true;
      ShowMessageBox("Can't load last project!" + argument, TMsgDlgType::mtWarning);
    }
  }
  if (loaded) {
    bool connected = false;
    try {
      WriteLog("  FormShow try to connect to database " + FProject->Database_name + " on " + FProject->Database_host);
      connected = ConnectProject();
    } catch (const std::exception& e) {
      WriteLog("  " + std::string(e.what()));
    }
    if (connected) {
      WriteLog("  FormShow initPanel ");
      SelectTablePanel->InitPanel(FProject.get(), TableInfo);
    } else {
      // The project stays open without its server: it can still be edited
      // and saved, and the settings keep it as the last project.
      WriteLog("  FormShow Can't connect to database ");
      error = true;
      ShowMessageBox(WithReason("Can't connect to database of the last project!", FProject->DBManager->LastError()),
                     TMsgDlgType::mtWarning);
    }
    WriteLog("  FormShow DisplayProjectTables ");
    SelectTablePanel->DisplayProjectTables();
    ShowFirstTable();
    // Name, host and user are known without the server too.
    SelectTablePanel->ShowProjectInfo();
  }
  WriteLog("  FormShow was any error? -> " + BoolToText(error));
  error = false;

  // A project loaded above is never given up for the default server.
  if (settings.Auto_connect && !loaded) {
    WriteLog("  FormShow try auto connect");
    bool connected = false;
    try {
      connected = FProject->DBManager->Connect(settings.Default_Hostname, settings.Default_Username,
                                               settings.Default_Password, settings.Default_Port,
                                               settings.Default_Database) != nullptr;
      if (!connected) WriteLog("  " + FProject->DBManager->LastError());
    } catch (const std::exception& e) {
      WriteLog("  " + std::string(e.what()));
    }
    if (connected) {
      WriteLog("  FormShow Initialise panels ");
      SelectTablePanel->InitPanel(FProject.get(), TableInfo);
      SelectTablePanel->DisplayProjectTables();
    } else {
      WriteLog("  FormShow auto connect was not success");
      error = true;
      ShowMessageBox(WithReason("Can't connect to database of the last project!", FProject->DBManager->LastError()),
                     TMsgDlgType::mtWarning);
    }
  }
  MarkSaved();
  WriteLog("FormShow end");
}

void TMainForm::FormActivate() {
  WriteLog("FormActivate begin");
  if (FProject && FProject->CurrentTable.empty()) FrameDetailedProperties->Hide();
  Repaint();
  WriteLog("FormActivate end");
}

void TMainForm::FormClose() {
  FApplicationManager->Last_project_name = FProject->ProjectName;
  FApplicationManager->Last_project_path = FProject->Project_path;
  FApplicationManager->SaveSettings();
}

void TMainForm::UpdateCaption() {
  const std::string name = FProject ? FProject->ProjectName : std::string();
  SetCaption(name.empty() ? std::string("Quarrowfield") : "Quarrowfield - " + name);
}

void TMainForm::WithProgress(const std::function<void(IProgressDisplay*)>& fn) {
  std::unique_ptr<TProcessingDisplay> progress = std::make_unique<TProcessingDisplay>(this);
  fn(progress.get());
}

void TMainForm::ReplaceProject(std::unique_ptr<TProjectManager> project) {
  // Nothing on screen may point at the old project once it is freed.
  TableInfo->EndEdit();
  TableSettingsGrid->EndEdit();
  TableInfo->ClearRows();
  FrameDetailedProperties->Hide();
  if (FProject) FProject->RemoveListener(this);
  FProject = std::move(project);
  FProject->AddListener(this);
  SelectTablePanel->SetProject(FProject.get());
  FillTableSettingsGrid();
  SelectTablePanel->TreeSelectedTable->Items().Clear();
  SelectTablePanel->DisplayProjectTables();
  SelectTablePanel->ShowProjectInfo();
  ShowSiteSettings();
  TInterfaceTableDetail(*this).fillLook();
  SelectTablePanel->ShowStatus();
  UpdateCaption();
  // A project dialog still open shows the project that is open now, so that
  // its Save cannot write the old project's values into this one.
  if (ConnectionForm && ConnectionForm->Visible()) ConnectionForm->FormShow();
  ShowFirstTable();
  MarkSaved();
}

void TMainForm::ShowFirstTable() {
  if (FProject->GetTableCount() == 0) return;
  const TWebTable& first = *FProject->GetTable(0);
  TTreeView* tree = SelectTablePanel->TreeSelectedTable;
  if (TTreeNode* node = TTableSelectPanel::FindTableNode(tree, first.DB, first.Name)) tree->SetSelected(node);
}

void TMainForm::TakeInPendingEdits() {
  for (TGridView* grid : {TableInfo, TableSettingsGrid}) {
    grid->CommitEdit();
    grid->EndEdit();
  }
  // The pages write a field into the project when it is left, but the tool
  // buttons and short cuts take no focus: leave it now, up to the window.
  for (TWinControl* c = ActiveControl(); c && c != this; c = c->Parent())
    if (c->OnExit) c->OnExit(c);
}

std::string TMainForm::ProjectText() const {
  // The project file's own writer says what a project holds.
  static const QTemporaryDir folder;
  const std::string file = folder.filePath(QStringLiteral("snapshot.vrk")).toStdString();
  XMLManager xml;
  xml.SaveProject(file, *FProject);
  std::remove(file.c_str());
  return xml.XMLDocument.SaveToString();
}

void TMainForm::MarkSaved() {
  try {
    FSavedText = ProjectText();
  } catch (const std::exception& e) {
    // Unknown: the project counts as changed, so closing asks.
    WriteLog("  " + std::string(e.what()));
    FSavedText.clear();
  }
}

bool TMainForm::ProjectChanged() {
  TakeInPendingEdits();
  try {
    return ProjectText() != FSavedText;
  } catch (const std::exception& e) {
    WriteLog("  " + std::string(e.what()));
    return true;
  }
}

bool TMainForm::CloseQuery() { return SaveQuery(); }

bool TMainForm::SaveQuery() {
  if (!FProject || !ProjectChanged()) return true;
  switch (ShowMessageBox("Save changes to the project?", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel)) {
    case TModalResult::mrYes: return SaveProject();
    case TModalResult::mrNo: return true;
    default: return false;
  }
}

// ---------------------------------------------------------------- commands

void TMainForm::NewSBtnClick() {
  const bool tables = FProject->GetTableCount() > 0;
  // One question: a changed project goes only when the user says so (saved
  // first when asked to); an unchanged one with tables after the overwrite question.
  if (ProjectChanged()) {
    if (!SaveQuery()) return;
  } else if (tables && ShowMessageBox(kOverwrite, TMsgDlgType::mtWarning, mbYes | mbNo) != TModalResult::mrYes) {
    return;
  }
  if (tables) ReplaceProject(std::make_unique<TProjectManager>());
  NewProjectMode = true;
  if (!ConnectionForm) ConnectionForm = new TConnectionForm(this);
  ConnectionForm->Execute();
}

void TMainForm::ProjectSettingsSBtnClick() {
  NewProjectMode = false;
  if (!ConnectionForm) ConnectionForm = new TConnectionForm(this);
  ConnectionForm->Execute();
}

void TMainForm::DefaultSettingsSBtnClick() {
  if (!ApplicationSettings) {
    ApplicationSettings = new TApplicationSettings(this);
    FApplicationManager->SettingsView = ApplicationSettings;
  }
  FApplicationManager->ShowInSettingsForm();
  ApplicationSettings->Show();
}

void TMainForm::OpenSBtnClick() {
  if (!SaveQuery()) return;
  TFileDialogOptions options;
  options.DefaultExt = "vrk";
  options.Filter = kFileFilter;
  const std::optional<std::string> file = Services.Files->ExecuteOpen(options);
  if (!file) return;
  // The file is read into a project of its own: the open one stays when it cannot be read.
  if (!FileExists(*file)) throw EFOpenError("Cannot open file \"" + *file + "\": No such file or directory");
  auto project = std::make_unique<TProjectManager>();
  WithProgress([&](IProgressDisplay* progress) { XMLManager().LoadProject(*file, *project, progress); });
  ReplaceProject(std::move(project));
  bool connected = false;
  try {
    connected = ConnectProject();
  } catch (const std::exception& e) {
    WriteLog("  " + std::string(e.what()));
  }
  if (!connected) {
    const TProjectManager& p = *FProject;
    ShowMessageBox(WithReason("Can't connect to database!", ConnectReason(p.Database_name, p.Database_host,
                                                                          p.Database_port, p.DBManager->LastError())),
                   TMsgDlgType::mtWarning);
  }
}

void TMainForm::BtnSaveClick() { SaveProject(); }

bool TMainForm::SaveProject() {
  TakeInPendingEdits();
  TInterfaceTableDetail(*this).saveLook();
  // Without a name the file would be a hidden ".vrk" that nothing opens by name.
  if (Trim(FProject->ProjectName).empty()) {
    ShowMessageBox("The project has no name to save it under: give it one as \"Project name:\" in the project "
                   "settings.",
                   TMsgDlgType::mtWarning);
    return false;
  }
  WriteProject(FProject->Project_path + FProject->ProjectName + ".vrk");
  return true;
}

void TMainForm::WriteProject(const std::string& file) {
  XMLManager xml;
  WithProgress([&](IProgressDisplay* progress) { xml.SaveProject(file, *FProject, progress); });
  // What was written is what the project holds now.
  FSavedText = xml.XMLDocument.SaveToString();
}

void TMainForm::SaveSBtnClick() {
  TakeInPendingEdits();
  // As Save does: the new file would otherwise miss the look just edited.
  TInterfaceTableDetail(*this).saveLook();
  TFileDialogOptions options;
  options.DefaultExt = "vrk";
  options.Filter = kFileFilter;
  options.Title = "Save Brannoch Project";
  options.FileName = FProject->ProjectName;
  const std::string& path = FProject->Project_path;
  options.InitialDir = !path.empty() && DirectoryExists(path) ? path : FApplicationManager->Last_project_path;
  const std::optional<std::string> file = Services.Files->ExecuteSave(options);
  if (!file) return;
  WriteProject(*file);
}

void TMainForm::ToolButton3Click() {
  if (!SelectTablePanel->UpdateProjectTables(FProject.get())) return;
  ShowMessageBox("Project was updated!", TMsgDlgType::mtInformation);
}

void TMainForm::FlatSpeedButton1Click() {
  TakeInPendingEdits();
  bool finished = false;
  WithProgress([&](IProgressDisplay* progress) {
    TMainPhpManager generator(*FProject, GetAppFolder(), LookAndFeelPanel->ThemeName(), progress, ProgramMessages());
    finished = generator.Generate();
  });
  if (finished && FProject->UseLocalDomain && IsWebAddress(FProject->LocalDomain))
    Services.Urls->OpenURL(FProject->LocalDomain);
}

void TMainForm::Help2Click() {
  Application->SetHelpFile(HelpFileName());
  if (!Services.Help->ShowHelp(Application->HelpFile()))
    ShowMessageBox("Can't show the help file " + Application->HelpFile(), TMsgDlgType::mtWarning);
}

void TMainForm::VisitHomePage1Click() {
  // The program has no public home yet: its start page is the help's.
  Services.Urls->OpenURL("file://" + HelpFileName());
}

void TMainForm::About1Click() {
  auto about = std::make_unique<TYztAbout>(this);
  about->MakeSplash();
}

// Through Close, so the settings are written: ending at once would forget the last project.
void TMainForm::Exit1Click() { Close(); }

// ---------------------------------------------------------------- pages

void TMainForm::AdvTabSheet2Show() {
  if (!FProject) return;
  TInterfaceTableDetail(*this).fillLook();
  LookAndFeelPanel->CssSelectorChange();
}

void TMainForm::AdvTabSheet3Show() {
  TableSettingsGrid->Repaint();
  ShowSiteSettings();
}

void TMainForm::ShowSiteSettings() {
  if (!FProject) return;
  const TProjectManager& p = *FProject;
  FFillingSiteSettings = true;
  try {
    adminNameField->SetText(p.AdminName);
    adminPassField->SetText(p.AdminPass);
    inpMailSendTo->SetText(p.mailSendTo);
    inpMailSubject->SetText(p.mailSubject);
    inpMailFrom->SetText(p.mailFrom);
    inpMailOnInsert->SetChecked(p.mailOnInsert);
    inpMailOnUpdate->SetChecked(p.mailOnUpdate);
    inpMailOnDelete->SetChecked(p.mailOnDelete);
    inpMailAllData->SetChecked(p.mailAllData);
    inpMailListData->SetChecked(p.mailListData);
    inpMailNoData->SetChecked(p.mailNoData);
  } catch (...) {
    FFillingSiteSettings = false;
    throw;
  }
  FFillingSiteSettings = false;
}

void TMainForm::adminNameFieldChange() {
  if (FFillingSiteSettings || !FProject) return;
  FProject->AdminName = adminNameField->Text();
  FProject->AdminPass = adminPassField->Text();
}

void TMainForm::inpMailSendToChange() {
  if (FFillingSiteSettings || !FProject) return;
  TProjectManager& p = *FProject;
  p.mailSendTo = inpMailSendTo->Text();
  p.mailSubject = inpMailSubject->Text();
  p.mailFrom = inpMailFrom->Text();
  p.mailOnInsert = inpMailOnInsert->Checked();
  p.mailOnUpdate = inpMailOnUpdate->Checked();
  p.mailOnDelete = inpMailOnDelete->Checked();
  p.mailAllData = inpMailAllData->Checked();
  p.mailListData = inpMailListData->Checked();
  p.mailNoData = inpMailNoData->Checked();
}

// ---------------------------------------------------------------- the site-settings grid

void TMainForm::FillTableSettingsGrid() {
  TableSettingsGrid->ClearRows();
  for (const auto& table : FProject->Tables) TableAdded(*table);
}

void TMainForm::TableAdded(const TWebTable& table) {
  const std::vector<std::string> cells = SiteSettingsCells(table);
  TableSettingsGrid->AddRow(1);
  const int row = TableSettingsGrid->RowCount() - 1;
  for (int col = 0; col < static_cast<int>(cells.size()); ++col) TableSettingsGrid->SetCellText(col, row, cells[col]);
}

void TMainForm::TableRemoved(const std::string& database, const std::string& tableName) {
  for (int row = 0; row < TableSettingsGrid->RowCount(); ++row) {
    if (TableSettingsGrid->GetCellText(0, row) == database && TableSettingsGrid->GetCellText(1, row) == tableName) {
      TableSettingsGrid->DeleteRow(row);
      return;
    }
  }
}

void TMainForm::TableSettingsGridEdit(int ACol, int ARow, const std::string& Value) {
  TWebTable* table =
      FProject->FindTable(TableSettingsGrid->GetCellText(0, ARow), TableSettingsGrid->GetCellText(1, ARow));
  if (!table) return;
  switch (ACol) {
    case 3: table->InsertRight = Value; break;
    case 4: table->UpdateRight = Value; break;
    case 5: table->DeleteRight = Value; break;
    case 6: table->DetailRight = Value; break;
    case 7: table->ListRight = Value; break;
    case 8: table->SendMail = TextToBool(Value); break;
    default: break;
  }
}

void TMainForm::TableSettingsGridEditAccept(int ACol, int ARow, const std::string& Value, bool&) {
  TWebTable* table =
      FProject->FindTable(TableSettingsGrid->GetCellText(0, ARow), TableSettingsGrid->GetCellText(1, ARow));
  if (!table) return;
  if (ACol == 2) table->Caption = Value;
  if (ACol == 8) table->SendMail = TextToBool(Value);
}

// ---------------------------------------------------------------- the column grid

int TMainForm::InputIndexOfRow(int ARow) {
  const TWebTable* table = FProject ? FProject->GetCurrentTable() : nullptr;
  if (!table || ARow < 0 || ARow >= TableInfo->RowCount()) return -1;
  // Sorting moves the rows: the field name, not the row's number, names the column.
  const std::string field = TableInfo->GetCellText(1, ARow);
  for (int i = 0; i < table->GetInputListSize(); ++i)
    if (table->GetInputListElement(i)->Database_field == field) return i;
  return -1;
}

TWebInput* TMainForm::InputOfRow(int ARow) {
  const int index = InputIndexOfRow(ARow);
  return index < 0 ? nullptr : FProject->GetCurrentTable()->GetInputListElement(index);
}

void TMainForm::TableInfoSelectCell(int ACol, int ARow) {
  const int index = InputIndexOfRow(ARow);
  if (index < 0) return;
  FProject->CurrentRow = index;
  FProject->CurrentColumn = ACol;
  TInterfaceTableDetail(*this).updateUI();
  FrameDetailedProperties->setDetails(TableInfo->GetCellText(9, ARow));
}

void TMainForm::TableInfoEdit(int ACol, int ARow, const std::string& Value) {
  TWebInput* input = InputOfRow(ARow);
  if (!input) return;
  switch (ACol) {
    case 3: input->Insert = TextToBool(Value); break;
    case 4: input->Update = TextToBool(Value); break;
    case 5: input->Detail = TextToBool(Value); break;
    case 6: input->List = TextToBool(Value); break;
    case 7: input->Caption = Value; break;
    case 8: input->View_type = Value; break;
    case 9:
      // The options page follows the new type first.
      if (input == FrameDetailedProperties->EditedInput()) FrameDetailedProperties->setDetails(Value);
      input->Input_type = Value;
      break;
    case 10: input->Filter_type = Value; break;
    case 11: input->UseHint = TextToBool(Value); break;
    case 12: input->HintText = Value; break;
    default: break;
  }
}

void TMainForm::TableInfoEditAccept(int ACol, int ARow, const std::string& Value, bool&) {
  TableInfoEdit(ACol, ARow, Value);
}

void TMainForm::TableInfoEditEnded(int ACol, int ARow) {
  const TWebInput* input = InputOfRow(ARow);
  const std::string value = TableInfo->GetCellText(ACol, ARow);
  if (input && !(ACol == 9 && input->Input_type == value)) TableInfoEdit(ACol, ARow, value);
}

void TMainForm::TableInfoSortColumn() {
  const TWebInput* edited = FrameDetailedProperties->EditedInput();
  if (!edited) return;
  for (int row = 0; row < TableInfo->RowCount(); ++row)
    if (TableInfo->GetCellText(1, row) == edited->Database_field) {
      TableInfo->SelectRow(row);
      return;
    }
}

// ---------------------------------------------------------------- the security page

void TMainForm::secAdminClick() {
  for (TControl* c : std::initializer_list<TControl*>{AdminSettingsPanel, secAdminName, secAdminPass})
    c->SetEnabled(true);
  if (!FillingSecurity) TInterfaceTableDetail(*this).updateSecurityData();
}

void TMainForm::secNoUserClick() {
  for (TControl* c : std::initializer_list<TControl*>{AdminSettingsPanel, secAdminName, secAdminPass})
    c->SetEnabled(false);
  if (!FillingSecurity) TInterfaceTableDetail(*this).updateSecurityData();
}

void TMainForm::AdvTabSheet5Show() {
  if (FProject) TInterfaceTableDetail(*this).updateSecurityUI();
}

void TMainForm::secAdminNameChange() {
  if (!FillingSecurity) TInterfaceTableDetail(*this).updateSecurityData();
}
