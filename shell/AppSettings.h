#pragma once
/** The default-settings dialog: the program-wide settings of the settings file. */

#include "model/ApplicationInfo.h"
#include "shell/DialogParts.h"

class TBrowseForFolder;
class TFlatButton;
class TFlatCheckBox;
class TFlatEdit;
class TFlatGroupBox;
class TMainForm;

/** The dialog, made once by the main window and shown without blocking;
 *  the settings fill it (ShowSettings) before each showing. OK saves. */
class TApplicationSettings : public TProgramDialog, public ISettingsView {
public:
  explicit TApplicationSettings(TMainForm* AOwner);

  TFlatEdit* EDefOutputPath;
  TFlatButton* BtnChangeOutputPath;
  TFlatEdit* EDefProjectPath;
  TFlatButton* BtnChangeProjectPath;
  TFlatCheckBox* EReloadLast;
  TFlatCheckBox* EAutoConnect;
  TFlatGroupBox* DatabaseGroup;
  TFlatEdit* EHostname;
  TFlatEdit* EUserName;
  TFlatEdit* EPassword;
  TFlatEdit* EPort;
  TFlatEdit* EDatabase;
  TFlatButton* BtnOK;
  TFlatButton* BtnCancel;
  TBrowseForFolder* BrowseForFolder1;

  void ShowSettings(const TApplicationManager& settings) override;
  void BtnOKClick();
  void BtnCancelClick();
  void BtnChangeOutputPathClick();
  void BtnChangeProjectPathClick();
  void EPortKeyPress(TKeyChar& Key);

private:
  TMainForm* FMain;
};
