#include "shell/TableDetailInterface.h"

#include "components/FlatCheckBox.h"
#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGroupBox.h"
#include "components/FlatMemo.h"
#include "components/FlatRadioButton.h"
#include "components/FlatSpinEdit.h"
#include "components/GradPageControl.h"
#include "core/Exception.h"
#include "core/TextUtils.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/LookAndFeelFrame.h"
#include "shell/MainFormUnit.h"
#include "shell/ValueListEditor.h"

namespace {

bool Digits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

/** The number fields of one copy. A field that still shows what the project
 *  holds keeps that value, whatever it is (a file may hold "-5" or "2M"):
 *  only what the user typed is checked. A typed text that is no number
 *  (digits only: pasted text can hold anything) is refused: the project
 *  keeps its value, the field shows it again, and once every other field is
 *  copied Raise says which field refused what. */
class TNumberFields {
public:
  int32_t Take(TCustomEdit* edit, const char* label, int32_t stored) {
    const std::string text = edit->Text();
    int32_t value = 0;
    if (text == IntToStr(stored)) return stored;
    if (Digits(text) && TryStrToInt(text, value)) return value;
    Refuse(edit, label, IntToStr(stored));
    return stored;
  }
  /** A number kept as text, which may also be left empty. */
  std::string TakeText(TCustomEdit* edit, const char* label, const std::string& stored) {
    const std::string text = edit->Text();
    if (text == stored || text.empty() || Digits(text)) return text;
    Refuse(edit, label, stored);
    return stored;
  }
  void Raise() const {
    if (!FRefused.empty()) throw EConvertError(FRefused);
  }

private:
  void Refuse(TCustomEdit* edit, const char* label, const std::string& stored) {
    if (FRefused.empty()) {
      // Appended piece by piece: "'" + a temporary string trips GCC 12's -Wrestrict at -O2.
      FRefused.push_back('\'');
      FRefused.append(edit->Text()).append("' is not a valid integer value for \"").append(label).append("\"");
    }
    edit->SetText(stored);
  }
  std::string FRefused;
};

}  // namespace

void TInterfaceTableDetail::updateUI() {
  TFrameDetailedProperties& f = *FForm.FrameDetailedProperties;
  TWebInput* input = f.EditedInput();
  if (!input) return;
  TBaseHtmlInput& h = *input->HtmlInput;
  f.Filling = true;
  try {
    f.inpDefaultValue->SetText(h.iValue);
    // Both pages get the column's own text: left with the previous column's,
    // the other page would write it into this one once the type changes.
    f.inpErrorText2->SetText(h.iErrorText);
    f.inpMustSelect->SetChecked(h.iRequired);
    f.inpErrorText->SetText(h.iErrorText);
    f.inpIsRequired->SetChecked(h.iRequired);
    // As text, not clamped: what the project holds stays as it is.
    f.inpInputSize->SetText(IntToStr(h.iLength));
    f.inpMaxSize->SetText(IntToStr(h.iMax));
    f.inpValidationType->SetItemIndex(f.inpValidationType->Items().IndexOf(h.iCheckType));
    f.inpValidationTypeChange();
    f.inpMinValue->SetText(h.iCheckMin);
    f.inpMaxValue->SetText(h.iCheckMax);
    f.inpHiddenValue->SetText(h.iHiValue);
    f.inpFileUploadDir->SetText(h.iFileUpDir);
    f.inpFileUploadSize->SetText(h.iFileUpSize);
    f.inpHorizontalAllign->SetChecked(h.iRaHorizontal);

    f.setDetails(input->Input_type);

    TFrameDetailedProperties::ChooseItem(f.eCOTable, h.iLTable);
    if (!f.eCOTable->Text().empty() && !h.iLTable.empty()) f.eCOTableChange();
    TFrameDetailedProperties::ChooseItem(f.eCODisplayField, h.iLDisplayField);
    TFrameDetailedProperties::ChooseItem(f.eCOValueField, h.iLValueField);
    TFrameDetailedProperties::ChooseItem(f.eCOWhereField, h.iLWhereField);
    TFrameDetailedProperties::ChooseItem(f.eCORelation, h.iLRelation);
    TFrameDetailedProperties::ChooseItem(f.eCOShort, h.iLShort);
    f.eCOValue->SetText(h.iLValue);
    f.eCODistinct->SetChecked(h.iLDistinct);
    f.EnableLookupControls();
    f.eCOSQL->SetText(h.iLSQL);

    f.impValueList->SetStrings(h.ItemList);

    h.iLSource = h.iLElementFromDb ? 0 : 1;
    f.DataSourceSelector->SetActivePageIndex(h.iLSource);

    f.eTAWidth->SetText(IntToStr(h.iTAWidth));
    f.eTALines->SetText(IntToStr(h.iTALines));
    f.eTAWrap->SetChecked(h.iTAWrap);
    f.eTADefault->SetText(h.iTADefault);
    f.eTARequired->SetChecked(h.iTARequired);
    f.eTAErrorText->SetText(h.iTAErrorText);

    const std::string& type = input->Input_type;
    if (type == "Text") f.TypeSelector->SetActivePage(f.TextPage);
    if (type == "Textarea") f.TypeSelector->SetActivePage(f.TextareaPage);
    if (type == "Combobox" || type == "Listbox") f.TypeSelector->SetActivePage(f.ComboboxPage);
    if (type == "Hidden") f.TypeSelector->SetActivePage(f.HiddenPage);
  } catch (...) {
    f.Filling = false;
    throw;
  }
  f.Filling = false;
}

void TInterfaceTableDetail::updateData() {
  TFrameDetailedProperties& f = *FForm.FrameDetailedProperties;
  TWebInput* input = f.EditedInput();
  if (!input) return;
  TBaseHtmlInput& h = *input->HtmlInput;
  TNumberFields numbers;
  h.iValue = f.inpDefaultValue->Text();
  if (f.TypeSelector->ActivePage() == f.ComboboxPage) {
    h.iErrorText = f.inpErrorText2->Text();
    h.iRequired = f.inpMustSelect->Checked();
  } else {
    h.iErrorText = f.inpErrorText->Text();
    h.iRequired = f.inpIsRequired->Checked();
  }
  // An emptied size keeps the column's.
  if (!f.inpInputSize->Text().empty()) h.iLength = numbers.Take(f.inpInputSize, "Input Size:", h.iLength);
  if (!f.inpMaxSize->Text().empty()) h.iMax = numbers.Take(f.inpMaxSize, "Max character:", h.iMax);
  h.iCheckType = f.inpValidationType->Text();
  h.iCheckMin = f.inpMinValue->Text();
  h.iCheckMax = f.inpMaxValue->Text();

  const TBaseHtmlInput lookup = f.LookupFromControls();
  h.iLDb = FForm.Project()->CurrentDatabase;
  h.iLTable = lookup.iLTable;
  h.iLDisplayField = lookup.iLDisplayField;
  h.iLValueField = lookup.iLValueField;
  h.iLWhereField = lookup.iLWhereField;
  h.iLRelation = lookup.iLRelation;
  h.iLValue = lookup.iLValue;
  h.iLShort = lookup.iLShort;
  h.iLDistinct = lookup.iLDistinct;
  h.iLSQL = f.eCOSQL->Text();

  h.iTAWidth = numbers.Take(f.eTAWidth, "Input width:", h.iTAWidth);
  h.iTALines = numbers.Take(f.eTALines, "Line number:", h.iTALines);
  h.iTAWrap = f.eTAWrap->Checked();
  h.iTADefault = f.eTADefault->Text();
  h.iTARequired = f.eTARequired->Checked();
  h.iTAErrorText = f.eTAErrorText->Text();
  h.iHiValue = f.inpHiddenValue->Text();
  h.iRaHorizontal = f.inpHorizontalAllign->Checked();
  h.iFileUpDir = f.inpFileUploadDir->Text();
  h.iFileUpSize = numbers.TakeText(f.inpFileUploadSize, "Maximum file size:", h.iFileUpSize);

  h.ItemList = f.impValueList->Strings();
  h.iLSource = f.DataSourceSelector->ActivePageIndex();
  h.iLElementFromDb = h.iLSource == 0;
  numbers.Raise();
}

void TInterfaceTableDetail::fillLook() {
  const TProjectManager& p = *FForm.Project();
  TLookAndFeel& look = *FForm.LookAndFeelPanel;
  look.EPageTitle->SetText(p.SiteCaption);
  look.ERowNumber->SetText(IntToStr(p.RowNumber));
  look.ETableWidth->SetText(IntToStr(p.TableWidth));
  look.TableSizeSelector->SetItemIndex(p.WidthType);
  look.ETableAlign->SetItemIndex(look.ETableAlign->Items().IndexOf(p.TableAlign));
  look.CssSelector->SetItemIndex(look.CssSelector->Items().IndexOf(p.CSS));
}

void TInterfaceTableDetail::saveLook() {
  TProjectManager& p = *FForm.Project();
  TLookAndFeel& look = *FForm.LookAndFeelPanel;
  TNumberFields numbers;
  p.SiteCaption = look.EPageTitle->Text();
  p.RowNumber = numbers.Take(look.ERowNumber, "Number of rows:", p.RowNumber);
  p.TableWidth = numbers.Take(look.ETableWidth, "Table width:", p.TableWidth);
  p.WidthType = look.TableSizeSelector->ItemIndex();
  p.TableAlign = look.ETableAlign->Text();
  if (!look.CssSelector->Text().empty()) p.CSS = look.CssSelector->Text();
  numbers.Raise();
}

void TInterfaceTableDetail::updateSecurityData() {
  TProjectManager& p = *FForm.Project();
  if (FForm.secNoUser->Checked()) {
    p.SecurityMode = "No";
    p.AdminName.clear();
    p.AdminPass.clear();
  } else if (FForm.secAdmin->Checked()) {
    p.SecurityMode = "Admin";
    p.AdminName = FForm.secAdminName->Text();
    p.AdminPass = FForm.secAdminPass->Text();
  }
}

void TInterfaceTableDetail::updateSecurityUI() {
  const TProjectManager& p = *FForm.Project();
  // Checking a button from here would run its handler, which would write
  // the half-filled page (and with "No" clear the administrator) back.
  FForm.FillingSecurity = true;
  if (p.SecurityMode == "No") {
    FForm.secAdminName->SetText("");
    FForm.secAdminPass->SetText("");
    FForm.secAdmin->SetChecked(false);
    FForm.secNoUser->SetChecked(true);
  } else if (p.SecurityMode == "Admin") {
    FForm.secAdminName->SetText(p.AdminName);
    FForm.secAdminPass->SetText(p.AdminPass);
    FForm.secNoUser->SetChecked(false);
    FForm.secAdmin->SetChecked(true);
  }
  FForm.FillingSecurity = false;
  FForm.AdminSettingsPanel->SetEnabled(FForm.secAdmin->Checked());
  FForm.secAdminName->SetEnabled(FForm.secAdmin->Checked());
  FForm.secAdminPass->SetEnabled(FForm.secAdmin->Checked());
}
