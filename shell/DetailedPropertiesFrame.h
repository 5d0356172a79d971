#pragma once
/** The field input-details editor below the column grid: where the column
 *  selected in the grid gets its form-control options. */

#include "model/HtmlInput.h"
#include "ui/Forms.h"

#include <string>

class TFlatButton;
class TFlatCheckBox;
class TFlatComboBox;
class TFlatEdit;
class TFlatMemo;
class TFlatSpinEditInteger;
class TGradPageControl;
class TGradTabSheet;
class TLabel;
class TMainForm;
class TProjectManager;
class TValueListEditor;
class TWebInput;

/** The SELECT of a lookup list as the field editor shows and tests it: the
 *  display field (and the value field) of lookup.iLTable in database, with
 *  the condition and the order the lookup names; "" without a table or a
 *  display field. Names are quoted, the compared value is a string literal. */
std::string BuildLookupTestSelect(const TBaseHtmlInput& lookup, const std::string& database);

/** The field editor on the "Table details" page. It edits the options of
 *  the current table's column number CurrentRow: one page per kind of form
 *  control, the source of a list's items (a lookup in a table, with its
 *  SELECT tested against the server, or a list typed in or taken from a
 *  preset) and validation. The binder's updateUI fills it from that column;
 *  leaving any of its fields (updateData) writes them all back. Without a
 *  current table or column its handlers leave the project alone. */
class TFrameDetailedProperties : public TFrame {
public:
  explicit TFrameDetailedProperties(TMainForm* AOwner);

  TGradPageControl* ModeSelector;
  TGradTabSheet* InputDetailsPage;
  TGradPageControl* TypeSelector;

  TGradTabSheet* TextPage;
  TFlatSpinEditInteger* inpInputSize;
  TFlatSpinEditInteger* inpMaxSize;
  TFlatCheckBox* inpIsRequired;
  TFlatEdit* inpDefaultValue;
  TFlatEdit* inpErrorText;
  TFlatComboBox* inpValidationType;
  TLabel* LMin;
  TLabel* LMax;
  TFlatEdit* inpMinValue;
  TFlatEdit* inpMaxValue;

  TGradTabSheet* TextareaPage;
  TFlatSpinEditInteger* eTAWidth;
  TFlatSpinEditInteger* eTALines;
  TFlatCheckBox* eTAWrap;
  TFlatMemo* eTADefault;
  TFlatCheckBox* eTARequired;
  TFlatEdit* eTAErrorText;

  TGradTabSheet* ComboboxPage;
  TValueListEditor* impValueList;
  TFlatEdit* inpErrorText2;
  TFlatCheckBox* inpMustSelect;
  TFlatCheckBox* inpHorizontalAllign;
  TLabel* LLineNr;
  TFlatSpinEditInteger* inpListBoxLineNr;
  TFlatCheckBox* inpMultipleselect;
  TGradPageControl* DataSourceSelector;
  TGradTabSheet* DatabaseSourcePage;
  TFlatComboBox* eCOTable;
  TFlatComboBox* eCODisplayField;
  TFlatComboBox* eCOValueField;
  TFlatComboBox* eCOWhereField;
  TFlatComboBox* eCORelation;
  TFlatEdit* eCOValue;
  TFlatComboBox* eCOShort;
  TFlatCheckBox* eCODistinct;
  TFlatMemo* eCOSQL;
  TFlatCheckBox* eCOOverSQL;
  TFlatButton* BtnSqlTest;
  TGradTabSheet* ManualSourcePage;
  TFlatComboBox* PreselectCombo;
  TFlatButton* BtnValueListAdd;
  TFlatButton* BtnRemove;
  TFlatButton* BtnRemoveAll;
  TFlatButton* BtnValueListUp;
  TFlatButton* BtnValueListDown;

  TGradTabSheet* FileboxPage;
  TFlatEdit* inpFileUploadDir;
  TFlatEdit* inpFileUploadSize;

  TGradTabSheet* HiddenPage;
  TFlatEdit* inpHiddenValue;
  TFlatComboBox* impSelPreHidden;

  /** The column being edited: number CurrentRow of the current table, or null. */
  TWebInput* EditedInput() const;
  /** Sets the edited column's input type and shows its page; an unknown
   *  type changes nothing. */
  void setDetails(const std::string& inputType);
  void eCOTableChange();
  void eCODisplayFieldChange();
  void eCOWhereFieldChange();
  void eCOOverSQLClick();
  void BtnSqlTestClick();
  void inpValidationTypeChange();
  void BtnValueListAddClick();
  void BtnRemoveClick();
  void BtnRemoveAllClick();
  void BtnValueListUpClick();
  void BtnValueListDownClick();
  void PreselectComboChange();
  void impSelPreHiddenChange();
  void inpDefaultValueExit();

  /** The lookup as the seven lookup controls and "Distinct:" name it. */
  TBaseHtmlInput LookupFromControls() const;
  /** Chooses value in a lookup list; a value the list lacks (the server is
   *  away, or the table or field went) is added first, so it is kept. */
  static void ChooseItem(TFlatComboBox* box, const std::string& value);
  /** The table's fields once a table is chosen, the condition and the order
   *  once a display field is. */
  void EnableLookupControls();

  /** True while the binder fills the frame: leaving a field then writes nothing. */
  bool Filling = false;

private:
  TProjectManager* Project() const;
  /** The items of box: the first column of every row of sql (none without a result). */
  void FillFromQuery(TFlatComboBox* box, const std::string& sql);
  void UpdateSql();
  TMainForm* FForm;
};
