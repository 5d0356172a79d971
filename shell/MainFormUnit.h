#pragma once
/** The main window: it owns the open project and the settings, carries the
 *  commands of the menus and tool bars, and holds the places of the table
 *  panel, the column grid, the field editor, the look-and-feel frame and the
 *  site-settings page. */

#include "model/ApplicationInfo.h"
#include "model/ProjectManager.h"
#include "ui/Forms.h"
#include "ui/ShellServices.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TApplicationSettings;
class TConnectionForm;
class TControlBar;
class TFlatCheckBox;
class TFlatEdit;
class TFlatGroupBox;
class TFlatRadioButton;
class TFlatSpeedButton;
class TFrameDetailedProperties;
class TGradPageControl;
class TGradTabSheet;
class TGridView;
class TImageList;
class TLabel;
class TLookAndFeel;
class TMainMenu;
class TMenuItem;
class TMenuPainter;
class TPanel;
class TSplitter;
class TStatusBar;
class TTableSelectPanel;
class TToolBar;

/** The windows the program opens on behalf of its logic. The program uses
 *  the real ones (Real); tests put recorders in their place. */
struct TShellServices {
  IFileDialogService* Files = nullptr;
  /** Null: the folder browser shows its own dialog. */
  IFolderBrowser* Folders = nullptr;
  IUrlOpener* Urls = nullptr;
  IHelpService* Help = nullptr;
  static TShellServices Real();
};

/** A menu painter on owner with the main window's properties, active. */
TMenuPainter* NewMainWindowPainter(TComponent* owner);

/** The program's message boxes: whatever the application shows them with now. */
IMessageService* ProgramMessages();
/** A message box through ProgramMessages. */
TModalResult ShowMessageBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons = mbOK);
/** A failure's message with the reason the server or the system gave, on a
 *  line of its own (the message alone when there is none). */
std::string WithReason(const std::string& message, const std::string& reason);
/** Why a connection failed, with the database it was for (the server alone
 *  when none was named): database "shop" on 127.0.0.1:3306: the error. */
std::string ConnectReason(const std::string& database, const std::string& host, int port, const std::string& error);

/** The main window. The project and the settings are created by FormCreate
 *  (which CreateForm runs) and live as long as the window; New, Open and a
 *  failed connection at start-up replace the project. */
class TMainForm : public TForm, public ITableListener {
public:
  explicit TMainForm(TComponent* AOwner);
  ~TMainForm() override;

  TMainMenu* MainMenu1;
  TMenuItem* File1;
  TMenuItem* New1;
  TMenuItem* Open1;
  TMenuItem* Save1;
  TMenuItem* Saveas1;
  TMenuItem* Exit1;
  TMenuItem* Project1;
  TMenuItem* Settings1;
  TMenuItem* Update1;
  TMenuItem* Generate1;
  TMenuItem* Options1;
  TMenuItem* Defaultsettings1;
  TMenuItem* Help1;
  TMenuItem* Help2;
  TMenuItem* VisitHomePage1;
  TMenuItem* About1;
  TMenuPainter* MenuPainter1;

  TControlBar* ControlBar1;
  TToolBar* FileToolBar;
  TFlatSpeedButton* NewSBtn;
  TFlatSpeedButton* OpenSBtn;
  TFlatSpeedButton* BtnSave;
  TFlatSpeedButton* SaveSBtn;
  TToolBar* ProjectToolBar;
  TFlatSpeedButton* DefaultSettingsSBtn;
  TFlatSpeedButton* ProjectSettingsSBtn;
  TFlatSpeedButton* ProjectUpdateSBtn;
  TToolBar* HelpToolBar;
  TFlatSpeedButton* HelpSBtn;
  TToolBar* ToolBar2;
  TFlatSpeedButton* FlatSpeedButton1;

  TTableSelectPanel* SelectTablePanel;
  TSplitter* MainPanelSplitter;
  TGradPageControl* RightLeftMainPage;
  TGradTabSheet* ProjectPage;
  TGradPageControl* SubPageControl;
  TGradTabSheet* AdvTabSheet1;  // "Table details"
  TGridView* TableInfo;
  TSplitter* TableInfoSplitter;
  TFrameDetailedProperties* FrameDetailedProperties;
  TGradTabSheet* AdvTabSheet2;  // "Look and Feel"
  TLookAndFeel* LookAndFeelPanel;
  TGradTabSheet* AdvTabSheet5;  // "Security"
  TFlatRadioButton* secNoUser;
  TFlatRadioButton* secAdmin;
  TFlatGroupBox* AdminSettingsPanel;
  TFlatEdit* secAdminName;
  TFlatEdit* secAdminPass;
  TGradTabSheet* AdvTabSheet3;  // "Site settings"
  TGridView* TableSettingsGrid;
  TPanel* SiteSettingsPanel;
  TFlatGroupBox* AdminSetupGroup;
  TFlatEdit* adminNameField;
  TFlatEdit* adminPassField;
  TFlatGroupBox* MailGroup;
  TFlatEdit* inpMailSendTo;
  TFlatEdit* inpMailSubject;
  TFlatEdit* inpMailFrom;
  TFlatCheckBox* inpMailOnInsert;
  TFlatCheckBox* inpMailOnUpdate;
  TFlatCheckBox* inpMailOnDelete;
  TFlatRadioButton* inpMailAllData;
  TFlatRadioButton* inpMailListData;
  TFlatRadioButton* inpMailNoData;
  TStatusBar* StatusBar1;

  /** Created on first use and kept. */
  TConnectionForm* ConnectionForm = nullptr;
  TApplicationSettings* ApplicationSettings = nullptr;

  // Handlers of the window, its commands and its pages.
  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormClose();
  void NewSBtnClick();
  void ProjectSettingsSBtnClick();
  void DefaultSettingsSBtnClick();
  void OpenSBtnClick();
  void BtnSaveClick();
  void SaveSBtnClick();
  void ToolButton3Click();
  void FlatSpeedButton1Click();
  void Help2Click();
  void VisitHomePage1Click();
  void About1Click();
  void Exit1Click();
  void AdvTabSheet2Show();
  void AdvTabSheet3Show();
  void TableInfoSelectCell(int ACol, int ARow);
  void TableInfoEdit(int ACol, int ARow, const std::string& Value);
  void TableInfoEditAccept(int ACol, int ARow, const std::string& Value, bool& Accept);
  /** A cell edit ended, taken or cancelled: the column follows the cell again. */
  void TableInfoEditEnded(int ACol, int ARow);
  /** After a sort the edited column stays the chosen one. */
  void TableInfoSortColumn();
  /** The column of the current table shown in a row of TableInfo (matched
   *  by its "Db Field" text), or null. */
  TWebInput* InputOfRow(int ARow);
  void TableSettingsGridEdit(int ACol, int ARow, const std::string& Value);
  void TableSettingsGridEditAccept(int ACol, int ARow, const std::string& Value, bool& Accept);
  void adminNameFieldChange();
  void inpMailSendToChange();
  void secAdminClick();
  void secNoUserClick();
  void AdvTabSheet5Show();
  void secAdminNameChange();

  /** The open project and the settings (null only before FormCreate). */
  TProjectManager* Project() const { return FProject.get(); }
  TApplicationManager* ApplicationManager() const { return FApplicationManager.get(); }
  /** Makes project the open one and shows it everywhere: grids, trees,
   *  summary, site settings, look and feel, caption. The old one is freed. */
  void ReplaceProject(std::unique_ptr<TProjectManager> project);
  /** Takes in what is still being typed: an open cell editor of either grid,
   *  and the focused field of any page (its exit handlers run, up to the
   *  window), since the tool buttons and short cuts take no focus. */
  void TakeInPendingEdits();
  /** Whether the project differs from what it was when it was loaded,
   *  created or last saved (the pending edits taken in first). */
  bool ProjectChanged();
  /** Asks "Save changes to the project?" when the project changed: Yes
   *  saves, No lets it go, Cancel (or closing the box) keeps it. True when
   *  the project open now may go (closing, New, Open). */
  bool SaveQuery();
  /** Save: writes Project_path + ProjectName + ".vrk". False, with a
   *  warning, when the project has no name to name the file. */
  bool SaveProject();
  /** SaveQuery as the window closes: true when it may close. */
  bool CloseQuery();
  /** Shows the project's first table, as a click on it in the selected
   *  tree does; nothing without tables. */
  void ShowFirstTable();
  /** Copies the project's administrator and mail settings into their controls. */
  void ShowSiteSettings();
  /** "Quarrowfield - " and the project's name ("Quarrowfield" without one). */
  void UpdateCaption();
  /** Runs fn with a progress window of its own, freed afterwards. */
  void WithProgress(const std::function<void(IProgressDisplay*)>& fn);

  /** True while the binder fills the security page: its buttons then write nothing. */
  bool FillingSecurity = false;
  /** True while the project dialog creates a new project, false while it
   *  changes the open one. */
  bool NewProjectMode = false;
  /** The command-line arguments (without the program's name). */
  std::vector<std::string> Arguments;
  TShellServices Services;
  /** The images of the trees and the key column. */
  TImageList* Images() const { return FImages.get(); }

  // The site-settings grid follows the project's tables.
  void TableAdded(const TWebTable& table) override;
  void TableRemoved(const std::string& database, const std::string& tableName) override;

private:
  void BuildMenu();
  void BuildToolBars();
  void BuildPages();
  void BuildSecurityPage();
  void BuildSiteSettingsPage();
  void SetupGrids();
  int InputIndexOfRow(int ARow);
  /** Rows of the site-settings grid for every table of the project. */
  void FillTableSettingsGrid();
  /** Connects the project to its own server; false (and a log line) when
   *  that yields nothing or fails. */
  bool ConnectProject();
  /** The project as its file would hold it now, to tell whether it changed. */
  std::string ProjectText() const;
  /** The project as it is now counts as saved. */
  void MarkSaved();
  /** Writes the project file, with a progress window; it then counts as saved. */
  void WriteProject(const std::string& file);
  /** The column grid keeps its share of the "Table details" page when the
   *  page grows or shrinks (the frame below keeps its least height); moving
   *  the splitter sets the share. */
  void KeepGridShare();

  std::unique_ptr<TProjectManager> FProject;
  std::unique_ptr<TApplicationManager> FApplicationManager;
  std::unique_ptr<TImageList> FImages;
  bool FShown = false;
  std::string FSavedText;
  double FGridShare = 0;
  int FGridRoom = 0;
  // Copying the project into the site-settings controls: their handlers keep still.
  bool FFillingSiteSettings = false;
};

extern TMainForm* MainForm;
