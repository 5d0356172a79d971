#pragma once
/** The project dialog: creates a new project or changes the open one's
 *  connection, name, folders, comment, local address and FTP settings. */

#include "shell/FtpClient.h"
#include "shell/DialogParts.h"

#include <cstdint>

class TBrowseForFolder;
class TFlatButton;
class TFlatCheckBox;
class TFlatEdit;
class TFlatGroupBox;
class TFlatMemo;
class TMainForm;
class TProjectManager;

/** The dialog, made once by the main window and shown without blocking.
 *  The main window's NewProjectMode picks "create" or "change" each time
 *  it is shown, and the controls are filled from the project then. */
class TConnectionForm : public TProgramDialog {
public:
  explicit TConnectionForm(TMainForm* AOwner);

  TFlatGroupBox* ConnectionGroup;
  TFlatEdit* EHost;
  TFlatEdit* EUsername;
  TFlatEdit* EPassword;
  TFlatEdit* EPort;
  TFlatEdit* EDatabase;
  TFlatButton* BtnTest;
  TFlatGroupBox* ProjectGroup;
  TFlatEdit* EProjectName;
  TFlatEdit* EPrjPath;
  TFlatButton* BtnPrjPath;
  TFlatEdit* EPrjOutput;
  TFlatButton* BtnPrjOutput;
  TFlatMemo* EPrjComment;
  TFlatEdit* EPrjLocalDomain;
  TFlatCheckBox* EPrjUseLocalDomain;
  TFlatGroupBox* FTPGroup;
  TFlatEdit* EFTPHost;
  TFlatEdit* EFTPUser;
  TFlatEdit* EFTPPass;
  TFlatEdit* EFTPRemote;
  TFlatButton* BtnFTPTest;
  TFlatButton* BtnConnect;
  TFlatButton* BtnCancel;
  TBrowseForFolder* BrowseForFolder1;
  TFtpClient FTPClient;

  /** Fills the dialog for the main window's mode and shows it. */
  void Execute();
  void FormShow();
  void ProjectToForm();
  /** Copies the controls into project; the port must have been checked. */
  void FormToProject(TProjectManager& project, int32_t port);
  void BtnConnectClick();
  void BtnTestClick();
  void EPortKeyPress(TKeyChar& Key);
  void BtnPrjPathClick();
  void BtnPrjOutputClick();
  void BtnCancelClick();
  void BtnFTPTestClick();

private:
  TMainForm* FMain;
  bool FShownCreate = false;  // the mode it was last filled for
};
