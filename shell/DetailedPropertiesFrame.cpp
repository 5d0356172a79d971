#include "shell/DetailedPropertiesFrame.h"

#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatMemo.h"
#include "components/FlatSpinEdit.h"
#include "components/GradPageControl.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "model/DBManager.h"
#include "model/FileLogger.h"
#include "model/ProjectManager.h"
#include "shell/DialogParts.h"
#include "shell/MainFormUnit.h"
#include "shell/TableDetailInterface.h"
#include "shell/ValueListEditor.h"
#include "ui/StdCtrls.h"

#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr TColor kListColor = 16776176;  // RGB 240, 251, 255

using TItems = std::vector<std::pair<std::string, std::string>>;

/** The ready-made item lists of "Set predefined items:", by name. */
const std::vector<std::pair<std::string, TItems>>& Presets() {
  static const std::vector<std::pair<std::string, TItems>> presets = [] {
    auto counting = [](int last) {
      TItems items;
      for (int i = 1; i <= last; ++i) items.emplace_back(std::to_string(i), std::to_string(i));
      return items;
    };
    auto same = [](std::initializer_list<const char*> names) {
      TItems items;
      for (const char* name : names) items.emplace_back(name, name);
      return items;
    };
    TItems months = same({"January", "February", "March", "April", "May", "June", "July", "August", "September",
                          "October", "November", "December"});
    // Three captions keep the blank they always had.
    for (int month : {4, 9, 11}) months[month].first += " ";
    return std::vector<std::pair<std::string, TItems>>{
        {"Yes/No", {{"Yes", "1"}, {"No", "0"}}},
        {"Yes/No/NA", {{"Yes", "1"}, {"No", "0"}, {"NA", "2"}}},
        {"1..5", counting(5)},
        {"1..10", counting(10)},
        {"Hours", counting(12)},
        {"Days", same({"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"})},
        {"Months", months},
        {"AM/PM", same({"AM", "PM"})},
    };
  }();
  return presets;
}

/** The PHP of the hidden-value presets. */
const std::vector<std::pair<const char*, const char*>>& HiddenPresets() {
  static const std::vector<std::pair<const char*, const char*>> presets = {
      {"Date and time - 2004-12-31 22:55:00", "echo date('Y-m-d H:i:s');"},
      {"Date - 2004-12-31", "echo date('Y-m-d');"},
      {"Time - 22:55:00", "echo date('H:i:s');"},
  };
  return presets;
}

/** The input types that take their items from a list, and how their page looks. */
struct TListLook {
  const char* Type;
  bool LineNr, MultipleSelect, Horizontal;
};
constexpr TListLook kListLooks[] = {
    {"Combobox", false, false, false},
    {"Listbox", true, true, false},
    {"Radiobox", false, false, true},
    {"Checkbox", false, false, true},
};

TFlatComboBox* NewCombo(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y, int w,
                        std::initializer_list<const char*> items = {}, const char* chosen = nullptr) {
  auto* box = NewControl<TFlatComboBox>(owner, parent, name, x, y, w, 21);
  box->SetStyle(csDropDownList);
  box->SetColor(kListColor);
  for (const char* item : items) box->Items().Add(item);
  if (chosen) box->SetItemIndex(box->Items().IndexOf(chosen));
  return box;
}

TFlatSpinEditInteger* NewSpin(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y,
                              int min, int max, int value) {
  auto* spin = NewControl<TFlatSpinEditInteger>(owner, parent, name, x, y, 60, 21);
  spin->SetMinValue(min);
  spin->SetMaxValue(max);
  spin->SetValue(value);
  spin->Loaded();
  spin->OnKeyPress = [](TObject*, TKeyChar& key) { DigitsOnly(key); };
  return spin;
}

TFlatMemo* NewMemo(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y, int w, int h) {
  auto* memo = NewControl<TFlatMemo>(owner, parent, name, x, y, w, h);
  memo->SetScrollBars(ssVertical);
  return memo;
}

TGradTabSheet* NewPage(TComponent* owner, TGradPageControl* pages, const std::string& name,
                       const std::string& caption) {
  auto* page = new TGradTabSheet(owner);
  page->SetName(name);
  page->SetCaption(caption);
  page->SetPageControl(pages);
  return page;
}

TGradPageControl* NewPages(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y, int w,
                           int h) {
  auto* pages = NewControl<TGradPageControl>(owner, parent, name, x, y, w, h);
  // A page control is a tab stop (the arrows turn its pages): reached by Tab
  // it marks its active tab, or the focus would be nowhere to be seen.
  pages->SetShowFocus(true);
  return pages;
}

}  // namespace

std::string BuildLookupTestSelect(const TBaseHtmlInput& lookup, const std::string& database) {
  if (lookup.iLTable.empty() || lookup.iLDisplayField.empty()) return {};
  const std::string display = QuoteIdentifier(lookup.iLDisplayField);
  std::string sql = "SELECT ";
  if (lookup.iLDistinct) sql += "DISTINCT ";
  sql += display + " ";
  if (!lookup.iLValueField.empty()) sql.append(",").append(QuoteIdentifier(lookup.iLValueField));
  sql += " FROM " + QuoteIdentifier(database) + "." + QuoteIdentifier(lookup.iLTable);
  const std::string op = LookupOperator(lookup.iLRelation);
  if (!lookup.iLWhereField.empty() && !op.empty() && !lookup.iLValue.empty())
    sql += " WHERE " + QuoteIdentifier(lookup.iLWhereField) + " " + op + " '" + SqlStringBody(lookup.iLValue) + "'";
  if (lookup.iLShort == "Asc") sql += " ORDER BY " + display + " ASC";
  if (lookup.iLShort == "Desc") sql += " ORDER BY " + display + " DESC";
  return sql;
}

TFrameDetailedProperties::TFrameDetailedProperties(TMainForm* AOwner) : TFrame(AOwner), FForm(AOwner) {
  SetName("FrameDetailedProperties");
  SetColor(clBtnFace);
  SetBounds(0, 0, 650, 300);

  ModeSelector = NewPages(this, this, "ModeSelector", 0, 0, 650, 300);
  ModeSelector->SetAlign(alClient);
  InputDetailsPage = NewPage(this, ModeSelector, "InputDetailsPage", "Input details");
  TypeSelector = NewPages(this, InputDetailsPage, "TypeSelector", 0, 0, 640, 270);
  TypeSelector->SetAlign(alClient);

  // Page 0: a text or password field.
  TextPage = NewPage(this, TypeSelector, "TextPage", "Text");
  NewLabel(this, TextPage, 8, 11, "Input Size:");
  inpInputSize = NewSpin(this, TextPage, "inpInputSize", 104, 8, 0, 200, 35);
  NewLabel(this, TextPage, 8, 36, "Max character:");
  inpMaxSize = NewSpin(this, TextPage, "inpMaxSize", 104, 33, 0, 200, 50);
  NewLabel(this, TextPage, 8, 61, "Field required:");
  inpIsRequired = NewCheckBox(this, TextPage, "inpIsRequired", "", 104, 60, 20);
  NewLabel(this, TextPage, 8, 86, "Default value:");
  inpDefaultValue = NewEdit(this, TextPage, "inpDefaultValue", 104, 83, 200);
  NewLabel(this, TextPage, 8, 111, "Error text:");
  inpErrorText = NewEdit(this, TextPage, "inpErrorText", 104, 108, 200);
  NewLabel(this, TextPage, 330, 11, "Validation type:");
  inpValidationType =
      NewCombo(this, TextPage, "inpValidationType", 420, 8, 120, {"No", "Alphabetical", "Number", "Email", "Range"}, "No");
  LMin = NewLabel(this, TextPage, 330, 36, "Min:");
  inpMinValue = NewEdit(this, TextPage, "inpMinValue", 420, 33, 80);
  LMax = NewLabel(this, TextPage, 330, 61, "Max:");
  inpMaxValue = NewEdit(this, TextPage, "inpMaxValue", 420, 58, 80);
  for (TControl* c : std::initializer_list<TControl*>{LMin, inpMinValue, LMax, inpMaxValue}) c->Hide();
  inpValidationType->OnChange = [this](TObject*) { inpValidationTypeChange(); };

  // Page 1: a text area.
  TextareaPage = NewPage(this, TypeSelector, "TextareaPage", "Textarea");
  NewLabel(this, TextareaPage, 8, 11, "Input width:");
  eTAWidth = NewSpin(this, TextareaPage, "eTAWidth", 104, 8, 0, 200, 35);
  NewLabel(this, TextareaPage, 8, 36, "Line number:");
  eTALines = NewSpin(this, TextareaPage, "eTALines", 104, 33, 0, 200, 5);
  NewLabel(this, TextareaPage, 8, 61, "Wrap lines:");
  eTAWrap = NewCheckBox(this, TextareaPage, "eTAWrap", "", 104, 60, 20);
  NewLabel(this, TextareaPage, 8, 86, "Field required:");
  eTARequired = NewCheckBox(this, TextareaPage, "eTARequired", "", 104, 85, 20);
  NewLabel(this, TextareaPage, 8, 111, "Error text:");
  eTAErrorText = NewEdit(this, TextareaPage, "eTAErrorText", 104, 108, 200);
  NewLabel(this, TextareaPage, 330, 11, "Default value:");
  eTADefault = NewMemo(this, TextareaPage, "eTADefault", 330, 28, 280, 110);

  // Page 2: the lists (combo box, list box, radio buttons, check boxes).
  ComboboxPage = NewPage(this, TypeSelector, "ComboboxPage", "Combobox");
  impValueList = NewControl<TValueListEditor>(this, ComboboxPage, "impValueList", 4, 4, 226, 122);
  NewLabel(this, ComboboxPage, 4, 134, "Error text:");
  inpErrorText2 = NewEdit(this, ComboboxPage, "inpErrorText2", 70, 131, 160);
  inpMustSelect = NewCheckBox(this, ComboboxPage, "inpMustSelect", "Must select", 4, 156, 120);
  inpHorizontalAllign = NewCheckBox(this, ComboboxPage, "inpHorizontalAllign", "Allign horizontal:", 4, 178, 140);
  inpHorizontalAllign->SetLayout(checkboxRight);
  LLineNr = NewLabel(this, ComboboxPage, 4, 181, "Line nr:");
  inpListBoxLineNr = NewSpin(this, ComboboxPage, "inpListBoxLineNr", 70, 178, 1, 200, 5);
  inpMultipleselect = NewCheckBox(this, ComboboxPage, "inpMultipleselect", "Multiple select:", 4, 202, 140);
  inpMultipleselect->SetLayout(checkboxRight);

  DataSourceSelector = NewPages(this, ComboboxPage, "DataSourceSelector", 236, 0, 386, 236);
  DatabaseSourcePage = NewPage(this, DataSourceSelector, "DatabaseSourcePage", "Database");
  TWinControl* db = DatabaseSourcePage;
  NewLabel(this, db, 6, 9, "Table:");
  eCOTable = NewCombo(this, db, "eCOTable", 74, 6, 110);
  NewLabel(this, db, 192, 9, "Display field:");
  eCODisplayField = NewCombo(this, db, "eCODisplayField", 266, 6, 110);
  NewLabel(this, db, 6, 34, "Value field:");
  eCOValueField = NewCombo(this, db, "eCOValueField", 74, 31, 110);
  NewLabel(this, db, 192, 34, "Where field:");
  eCOWhereField = NewCombo(this, db, "eCOWhereField", 266, 31, 110);
  NewLabel(this, db, 6, 59, "Relation:");
  eCORelation = NewCombo(this, db, "eCORelation", 74, 56, 110,
                         {"All", "=", ">", "<", ">=", "<=", "<>", "Like", "Unlike"}, "All");
  NewLabel(this, db, 192, 59, "Value:");
  eCOValue = NewEdit(this, db, "eCOValue", 266, 56, 110);
  NewLabel(this, db, 6, 84, "Short:");
  eCOShort = NewCombo(this, db, "eCOShort", 74, 81, 110, {"Asc", "Desc", "No short"}, "Asc");
  NewLabel(this, db, 192, 84, "Distinct:");
  eCODistinct = NewCheckBox(this, db, "eCODistinct", "", 266, 83, 20, true);
  eCOSQL = NewMemo(this, db, "eCOSQL", 6, 108, 370, 56);
  eCOSQL->SetEnabled(false);
  eCOOverSQL = NewCheckBox(this, db, "eCOOverSQL", "Overwrite SQL", 6, 174, 120);
  BtnSqlTest = NewButton(this, db, "BtnSqlTest", "Test", 301, 171, 75, 22);
  // The fields wait for a table, the condition and the order for a display field.
  for (TControl* c : std::initializer_list<TControl*>{eCODisplayField, eCOValueField, eCOWhereField, eCORelation,
                                                      eCOValue, eCOShort})
    c->SetEnabled(false);
  eCOTable->OnChange = [this](TObject*) {
    eCOTableChange();
    UpdateSql();
  };
  for (TFlatComboBox* box : {eCODisplayField, eCOValueField})
    box->OnChange = [this](TObject*) { eCODisplayFieldChange(); };
  for (TFlatComboBox* box : {eCOWhereField, eCORelation, eCOShort})
    box->OnChange = [this](TObject*) { eCOWhereFieldChange(); };
  eCOValue->OnChange = [this](TObject*) { eCOWhereFieldChange(); };
  eCODistinct->OnClick = [this](TObject*) { eCOWhereFieldChange(); };
  eCOOverSQL->OnClick = [this](TObject*) { eCOOverSQLClick(); };
  BtnSqlTest->OnClick = [this](TObject*) { BtnSqlTestClick(); };

  ManualSourcePage = NewPage(this, DataSourceSelector, "ManualSourcePage", "Manual");
  NewLabel(this, ManualSourcePage, 6, 11, "Set predefined items:");
  PreselectCombo = NewCombo(this, ManualSourcePage, "PreselectCombo", 130, 8, 140);
  for (const auto& preset : Presets()) PreselectCombo->Items().Add(preset.first);
  PreselectCombo->OnChange = [this](TObject*) { PreselectComboChange(); };
  int left = 6;
  for (auto [button, name, caption, handler] :
       {std::tuple{&BtnValueListAdd, "BtnValueListAdd", "Add", &TFrameDetailedProperties::BtnValueListAddClick},
        {&BtnRemove, "BtnRemove", "Remove", &TFrameDetailedProperties::BtnRemoveClick},
        {&BtnRemoveAll, "BtnRemoveAll", "RemoveAll", &TFrameDetailedProperties::BtnRemoveAllClick},
        {&BtnValueListUp, "BtnValueListUp", "Up", &TFrameDetailedProperties::BtnValueListUpClick},
        {&BtnValueListDown, "BtnValueListDown", "Down", &TFrameDetailedProperties::BtnValueListDownClick}}) {
    *button = NewButton(this, ManualSourcePage, name, caption, left, 40, 68, 22);
    (*button)->OnClick = [this, handler](TObject*) { (this->*handler)(); };
    left += 73;
  }
  DataSourceSelector->SetActivePage(DatabaseSourcePage);
  DataSourceSelector->OnChange = [this](TObject*) { inpDefaultValueExit(); };

  // Page 3: a file upload.
  FileboxPage = NewPage(this, TypeSelector, "FileboxPage", "Filebox");
  NewLabel(this, FileboxPage, 8, 11, "Upload directory:");
  inpFileUploadDir = NewEdit(this, FileboxPage, "inpFileUploadDir", 120, 8, 250);
  NewLabel(this, FileboxPage, 378, 11, "Eg.: /home/user/upload/");
  NewLabel(this, FileboxPage, 8, 36, "Maximum file size:");
  inpFileUploadSize = NewEdit(this, FileboxPage, "inpFileUploadSize", 120, 33, 100);
  inpFileUploadSize->OnKeyPress = [](TObject*, TKeyChar& key) { DigitsOnly(key); };
  NewLabel(this, FileboxPage, 226, 36, "byte");

  // Page 4: a hidden value.
  HiddenPage = NewPage(this, TypeSelector, "HiddenPage", "Hidden");
  NewLabel(this, HiddenPage, 8, 11, "Hidden field value:");
  inpHiddenValue = NewEdit(this, HiddenPage, "inpHiddenValue", 130, 8, 300);
  NewLabel(this, HiddenPage, 8, 36, "Set predefined items:");
  impSelPreHidden = NewCombo(this, HiddenPage, "impSelPreHidden", 130, 33, 250);
  for (const auto& preset : HiddenPresets()) impSelPreHidden->Items().Add(preset.first);
  impSelPreHidden->OnChange = [this](TObject*) { impSelPreHiddenChange(); };

  TypeSelector->SetActivePage(TextPage);
  ModeSelector->SetActivePage(InputDetailsPage);

  // Leaving any field writes the frame into the column.
  for (TWinControl* c : std::initializer_list<TWinControl*>{
           inpInputSize, inpMaxSize, inpIsRequired, inpDefaultValue, inpErrorText, inpValidationType, inpMinValue,
           inpMaxValue, eTAWidth, eTALines, eTAWrap, eTADefault, eTARequired, eTAErrorText, impValueList,
           inpErrorText2, inpMustSelect, inpHorizontalAllign, inpListBoxLineNr, inpMultipleselect, eCOTable,
           eCODisplayField, eCOValueField, eCOWhereField, eCORelation, eCOValue, eCOShort, eCODistinct, eCOSQL,
           eCOOverSQL, PreselectCombo, inpFileUploadDir, inpFileUploadSize, inpHiddenValue, impSelPreHidden})
    c->OnExit = [this](TObject*) { inpDefaultValueExit(); };
}

TProjectManager* TFrameDetailedProperties::Project() const { return FForm->Project(); }

TWebInput* TFrameDetailedProperties::EditedInput() const {
  TProjectManager* project = Project();
  TWebTable* table = project ? project->GetCurrentTable() : nullptr;
  if (!table || project->CurrentRow < 0 || project->CurrentRow >= table->GetInputListSize()) return nullptr;
  return table->GetInputListElement(project->CurrentRow);
}

void TFrameDetailedProperties::setDetails(const std::string& inputType) {
  TGradTabSheet* page = nullptr;
  const TListLook* look = nullptr;
  if (inputType == "Text" || inputType == "Password") page = TextPage;
  if (inputType == "Textarea") page = TextareaPage;
  if (inputType == "File") page = FileboxPage;
  if (inputType == "Hidden") page = HiddenPage;
  for (const TListLook& l : kListLooks)
    if (inputType == l.Type) look = &l, page = ComboboxPage;
  if (!page) return;
  if (TWebInput* input = EditedInput()) input->Input_type = inputType;
  if (look) {
    LLineNr->SetVisible(look->LineNr);
    inpListBoxLineNr->SetVisible(look->LineNr);
    inpMultipleselect->SetVisible(look->MultipleSelect);
    inpHorizontalAllign->SetVisible(look->Horizontal);
    const std::string table = eCOTable->Text();
    TProjectManager* project = Project();
    FillFromQuery(eCOTable, project ? "show tables from " + QuoteIdentifier(project->CurrentDatabase) : "");
    ChooseItem(eCOTable, table);
  }
  TypeSelector->SetActivePage(page);
}

void TFrameDetailedProperties::FillFromQuery(TFlatComboBox* box, const std::string& sql) {
  box->Items().Clear();
  TProjectManager* project = Project();
  if (!project || sql.empty()) return;
  std::unique_ptr<TResultSet> rs = project->DBManager->ExecuteQuery(sql);
  if (!rs) WriteLog("  " + project->DBManager->LastError());
  for (int i = 0, n = TDBManager::GetRowCount(rs.get()); i < n; ++i, rs->Next()) box->Items().Add(rs->GetString(1));
}

void TFrameDetailedProperties::eCOTableChange() {
  TProjectManager* project = Project();
  const std::string table = eCOTable->Text();
  const std::string sql = project && !table.empty() ? "show fields from " + QuoteIdentifier(project->CurrentDatabase) +
                                                          "." + QuoteIdentifier(table)
                                                    : "";
  FillFromQuery(eCODisplayField, sql);
  eCOValueField->Items().Assign(eCODisplayField->Items().ToStringList());
  eCOWhereField->Items().Assign(eCODisplayField->Items().ToStringList());
  eCODisplayField->SetEnabled(true);
  eCOValueField->SetEnabled(true);
}

void TFrameDetailedProperties::eCODisplayFieldChange() {
  EnableLookupControls();
  UpdateSql();
}

void TFrameDetailedProperties::EnableLookupControls() {
  if (!eCOTable->Text().empty())
    for (TControl* c : std::initializer_list<TControl*>{eCODisplayField, eCOValueField}) c->SetEnabled(true);
  if (!eCODisplayField->Text().empty())
    for (TControl* c : std::initializer_list<TControl*>{eCOWhereField, eCORelation, eCOValue, eCOShort})
      c->SetEnabled(true);
}

void TFrameDetailedProperties::eCOWhereFieldChange() { UpdateSql(); }

void TFrameDetailedProperties::UpdateSql() {
  TProjectManager* project = Project();
  eCOSQL->SetText(BuildLookupTestSelect(LookupFromControls(), project ? project->CurrentDatabase : ""));
}

TBaseHtmlInput TFrameDetailedProperties::LookupFromControls() const {
  TBaseHtmlInput lookup("");
  lookup.iLTable = eCOTable->Text();
  lookup.iLDisplayField = eCODisplayField->Text();
  lookup.iLValueField = eCOValueField->Text();
  lookup.iLWhereField = eCOWhereField->Text();
  lookup.iLRelation = eCORelation->Text();
  lookup.iLValue = eCOValue->Text();
  lookup.iLShort = eCOShort->Text();
  lookup.iLDistinct = eCODistinct->Checked();
  return lookup;
}

void TFrameDetailedProperties::ChooseItem(TFlatComboBox* box, const std::string& value) {
  int index = box->Items().IndexOf(value);
  if (index < 0 && !value.empty()) index = box->Items().Add(value);
  box->SetItemIndex(index);
}

void TFrameDetailedProperties::eCOOverSQLClick() { eCOSQL->SetEnabled(eCOOverSQL->Checked()); }

void TFrameDetailedProperties::BtnSqlTestClick() {
  TProjectManager* project = Project();
  if (!project) return;
  std::unique_ptr<TResultSet> rs = project->DBManager->ExecuteQuery(eCOSQL->Text());
  if (!rs) {
    WriteLog("  BtnSqlTestClick " + project->DBManager->LastError());
    return;
  }
  const bool values = !eCOValueField->Text().empty();
  impValueList->Clear();
  std::vector<std::string> refused;
  for (int i = 0, n = TDBManager::GetRowCount(rs.get()); i < n; ++i, rs->Next()) {
    const std::string caption = rs->GetString(1);
    if (!impValueList->Append(caption, values ? rs->GetString(2) : caption)) refused.push_back(caption);
  }
  inpDefaultValueExit();
  if (!refused.empty()) ShowMessageBox(TValueListEditor::CaptionRule(refused.front()), TMsgDlgType::mtWarning);
}

void TFrameDetailedProperties::inpValidationTypeChange() {
  const bool range = inpValidationType->ItemIndex() == 4;
  for (TControl* c : std::initializer_list<TControl*>{LMin, LMax, inpMinValue, inpMaxValue}) c->SetVisible(range);
}

// The buttons take the focus and have no exit of their own: a changed list
// goes into the column at once, or choosing another column would drop it.
void TFrameDetailedProperties::BtnValueListAddClick() {
  impValueList->AppendBlank();
  inpDefaultValueExit();
}

void TFrameDetailedProperties::BtnRemoveClick() {
  impValueList->DeleteItem(impValueList->CurrentRow());
  inpDefaultValueExit();
}

void TFrameDetailedProperties::BtnRemoveAllClick() {
  // All of it: deleting the top row one time less than there are rows would
  // leave the last row with its content (and stop at an empty caption).
  impValueList->Clear();
  inpDefaultValueExit();
}

void TFrameDetailedProperties::BtnValueListUpClick() {
  impValueList->MoveItem(impValueList->CurrentRow(), -1);
  inpDefaultValueExit();
}

void TFrameDetailedProperties::BtnValueListDownClick() {
  impValueList->MoveItem(impValueList->CurrentRow(), 1);
  inpDefaultValueExit();
}

void TFrameDetailedProperties::PreselectComboChange() {
  const std::string chosen = PreselectCombo->Text();
  for (const auto& [name, items] : Presets()) {
    if (chosen != name) continue;
    impValueList->Clear();
    for (const auto& [caption, value] : items) impValueList->Append(caption, value);
    inpDefaultValueExit();
  }
}

void TFrameDetailedProperties::impSelPreHiddenChange() {
  const std::string chosen = impSelPreHidden->Text();
  for (const auto& [name, code] : HiddenPresets()) {
    if (chosen != name) continue;
    inpHiddenValue->SetText(code);
    if (inpHiddenValue->OnExit) inpHiddenValue->OnExit(inpHiddenValue);
  }
}

void TFrameDetailedProperties::inpDefaultValueExit() {
  if (Filling || !Visible()) return;
  TInterfaceTableDetail(*FForm).updateData();
}
