#include "generator/phpinsert.h"

#include "core/TextUtils.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/TablePageCode.h"

#include <string_view>
#include <utility>

namespace {

constexpr const char* kCrLf = "\r\n";
const std::string kIndent25(25, ' ');
const std::string kIndent28(28, ' ');

// The check function of a validation name; the editor's own names
// ("Alphabetical", "Number", "Range") stand beside the stored ones.
std::string CheckFunction(const std::string& checkType) {
  static constexpr std::pair<std::string_view, std::string_view> kChecks[] = {
      {"Integer", "checkInt"},       {"Email", "checkEmail"},
      {"Character", "checkChar"},    {"Alphabetical", "checkChar"},
      {"Float", "checkFloat"},       {"Number", "checkFloat"},
      {"Price", "checkPrice"},       {"PostalCode", "checkPostalCode"},
      {"URL", "checkURL"},           {"IP", "checkIP"},
      {"Int Range", "checkIntRange"}, {"Range", "checkIntRange"},
  };
  for (const auto& [name, function] : kChecks)
    if (checkType == name) return std::string(function);
  return {};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number JavaScript reads as it stands: optional sign, digits,
// optional fraction.
bool IsJsNumber(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const size_t intStart = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  if (i == intStart) return false;
  if (i < text.size() && text[i] == '.') {
    const size_t fracStart = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == fracStart) return false;
  }
  return i == text.size();
}

// A range bound as a JavaScript number; an empty or malformed bound leaves
// that side of the range open.
std::string RangeBound(const std::string& bound, const char* open) {
  const std::string text = Trim(bound);
  return IsJsNumber(text) ? text : std::string(open);
}

}  // namespace

// ---------------------------------------------------------------- TFormPageGenerator

std::string TFormPageGenerator::BuildValidation(const TWebInput& input) {
  const TBaseHtmlInput& html = *input.HtmlInput;
  const std::string field = FormName(input.Database_field);
  const std::string err = JsSingleQuoted(html.iErrorText);
  const std::string req = html.iRequired ? "true" : "false";
  const std::string& type = input.Input_type;

  if (type == "Text") {
    const std::string function = CheckFunction(html.iCheckType);
    if (function.empty()) return {};
    std::string range;
    if (function == "checkIntRange")
      range = RangeBound(html.iCheckMin, "-Infinity") + "," + RangeBound(html.iCheckMax, "Infinity") + ",";
    ScriptList.Add(function + "(" + FormControlRef(field) + "," + range + "'" + err + "'," + req + ")");
    return "onBlur=\"" + function + "(this," + range + "'" + HtmlAttribute(err) + "'," + req + ")\"";
  }
  if (type == "Combobox" || type == "Listbox")
    ScriptList.Add("checkComboSelect(" + FormControlRef(field) + ",'" + err + "'," + req + ")");
  else if (type == "Radiobox")
    ScriptList.Add("checkRadioGroup('" + field + "','" + err + "'," + req + ")");
  else if (type == "Checkbox")
    ScriptList.Add("checkCheckboxGroup('" + field + "','" + err + "'," + req + ")");
  return {};
}

std::string TFormPageGenerator::BuildTooltip(const TWebInput& input) const {
  if (!input.UseHint) return {};
  return "<img src=\"theme/images/info.gif\" onMouseover=\"EnterContent('ToolTip','" +
         HtmlAttribute(JsSingleQuoted(input.Caption)) + "','" + HtmlAttribute(JsSingleQuoted(input.HintText)) +
         "'); Activate();\" onMouseout=\"deActivate()\">";
}

std::string TFormPageGenerator::BuildPasswordInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  return "<input name=\"" + name + "\" id=\"" + name + "\" type=\"password\" class=\"cssInput\" " +
         BuildValidation(input) + ">";
}

std::string TFormPageGenerator::BuildHiddenInput(const TWebInput& input) const {
  const std::string name = FormName(input.Database_field);
  return "<input name=\"" + name + "\" id=\"" + name + "\" type=\"hidden\" value=\"<?php " +
         input.HtmlInput->iHiValue + " ?>\">";
}

std::string TFormPageGenerator::PostedValue(const TWebInput& input) {
  const std::string field = FormName(input.Database_field);
  if (input.Input_type == "Checkbox") return "getCheckboxValue('" + field + "')";
  return "requestValue('" + field + "')";
}

std::string TFormPageGenerator::FieldDescriptor(const TWebInput& input, bool caption) const {
  const std::string kind = FieldKind(input);
  std::string text = "array('" + FormName(input.Database_field) + "', '" + kind + "'";
  const TBaseHtmlInput& html = *input.HtmlInput;
  // The items of a choice, against which the site reads what a browser
  // posts back (line ends as CR LF) as the item it stands for.
  if ((kind == "checks" || kind == "choice") && html.iLSource != 0) {
    text += ", " + ItemValuesArray(html);
  } else if (kind == "checks" || kind == "choice") {
    text += ", array('sql' => '" + BuildLookupSelect(html, DatabaseName) + "', 'value' => '" +
            PhpSingleQuoted(html.iLValueField) + "', 'display' => '" + PhpSingleQuoted(html.iLDisplayField) + "')";
  }
  if (caption) text += ", 'caption' => '" + PhpSingleQuoted(input.Caption) + "'";
  return text + ")";
}

std::string TFormPageGenerator::BuildChangeMailCode(const TWebTable& table, const std::string& heading,
                                                    bool TWebInput::*pageFlag,
                                                    const std::string& noDataBody) const {
  const TProjectManager& project = Project();
  std::string body = "\"" + heading + "\\n\\n\"" + kCrLf;
  for (const auto& input : table.InputList) {
    const std::string line = std::string(16, ' ') + ".\"\\n" + PhpDoubleQuoted(input->Caption) + "=\"." +
                             PostedValue(*input) + kCrLf;
    if ((*input).*pageFlag && project.mailAllData) body += line;
    if (input->List && project.mailListData) body += line;
  }
  if (project.mailNoData) body = noDataBody;
  return "qfMail('" + PhpSingleQuoted(project.mailSendTo) + "','" + PhpSingleQuoted(project.mailSubject) + "'," +
         body + std::string(9, ' ') + ",'" + PhpSingleQuoted(project.mailFrom) + "');";
}

std::string TFormPageGenerator::CheckBoxName(const TWebInput& input, int index) {
  return FormName(input.Database_field) + "-i" + IntToStr(index);
}

std::string TFormPageGenerator::RadioId(const TWebInput& input, int index) {
  return FormName(input.Database_field) + "-r" + IntToStr(index);
}

std::string TFormPageGenerator::KeptMark(const std::string& name, const std::string& value, const char* word) {
  return "<?php qfKeptMark('" + name + "', '" + PhpSingleQuoted(value) + "', '" + word + "'); ?>";
}

std::string TFormPageGenerator::BuildInputControl(const TWebInput& input) {
  const std::string& type = input.Input_type;
  if (type == "Text") return BuildTextInput(input);
  if (type == "Textarea") return BuildTextareaInput(input);
  if (type == "Combobox") return BuildComboboxInput(input);
  if (type == "Listbox") return BuildListboxInput(input);
  if (type == "Checkbox") return BuildCheckboxInput(input);
  if (type == "Radiobox") return BuildRadioboxInput(input);
  if (type == "Password") return BuildPasswordInput(input);
  return BuildFileInput(input);
}

void TFormPageGenerator::FillFormBlocks(TTemplateEngine& e, const TWebTable& table, bool TWebInput::*pageFlag,
                                        const TFormBlocks& names) {
  static constexpr std::string_view kControls[] = {"Text",     "Textarea", "Combobox", "Listbox",
                                                   "Checkbox", "Radiobox", "Password", "File"};
  for (const auto& input : table.InputList) {
    if (!((*input).*pageFlag) || input->Input_type == "Hidden") continue;
    e.NewBlock(names.Fields);
    e.Assign("yzt_caption", input->Caption);
    for (std::string_view control : kControls)
      if (input->Input_type == control) {
        e.Assign(names.FieldItem, BuildInputControl(*input));
        break;
      }
    e.Assign("yzt_field_name", HtmlAttribute(input->Database_field));
    e.Assign("yzt_tooltip_event", BuildTooltip(*input));
  }
  for (const auto& input : table.InputList) {
    if (!((*input).*pageFlag) || input->Input_type != "Hidden") continue;
    e.NewBlock(names.Hidden);
    e.Assign(names.HiddenItem, BuildHiddenInput(*input));
  }
  for (const auto& input : table.InputList) {
    if (!((*input).*pageFlag) || input->Input_type != "File") continue;
    e.NewBlock(names.Files);
    e.Assign(names.FileCode, BuildFileUploadCode(*input));
  }
}

// ---------------------------------------------------------------- TInsertGenerator

// The insert form's controls show the field's default, or after a failed
// insert what the visitor sent (qfKeptText, qfKeptMark of the site's scripts).

std::string TInsertGenerator::BuildTextInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  return "<input name=\"" + name + "\" id=\"" + name + "\" type=\"text\" class=\"cssInput\"  size=\"" +
         IntToStr(html.iLength) + "\" maxlength=\"" + IntToStr(html.iMax) + "\" value=\"<?php echo qfKeptText('" +
         name + "', '" + PhpSingleQuoted(html.iValue) + "'); ?>\"" + BuildValidation(input) + ">";
}

std::string TInsertGenerator::BuildFileInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  return "<input name=\"" + name + "\" id=\"" + name + "\" type=\"file\" class=\"cssInput\"  size=\"" +
         IntToStr(html.iLength) + "\" maxlength=\"" + IntToStr(html.iMax) + "\" value=\"" +
         HtmlAttribute(html.iValue) + "\"" + BuildValidation(input) + ">";
}

std::string TInsertGenerator::BuildTextareaInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  return "<textarea name=\"" + name + "\" id=\"" + name + "\" cols=\"" + IntToStr(TextAreaColumns(html)) +
         "\" rows=\"" + IntToStr(TextAreaLines(html)) + "\" class=\"cssTextArea\"" +
         (html.iTAWrap ? " wrap=\"VIRTUAL\"" : " wrap=\"OFF\"") + BuildValidation(input) +
         " ><?php echo qfKeptText('" + name + "', '', true); ?></textarea> ";
}

std::string TInsertGenerator::BuildSelect(const TWebInput& input, const std::string& sizeAttribute) {
  const std::string name = FormName(input.Database_field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  BuildValidation(input);
  std::string text = "<select name=\"" + name + "\" id=\"" + name + "\"" + sizeAttribute + " class=\"csscombo\">" + kCrLf;
  if (html.iLSource != 0) {
    text += kIndent25 + "<option value=\"\">Please select!</option>" + kCrLf;
    for (const std::string& line : html.ItemList) {
      const TItemLine item = SplitItemLine(line);
      text += kIndent25 + "<option value=\"" + HtmlAttribute(item.Value) + "\"" + KeptMark(name, item.Value, "selected") +
              ">" + item.Text + "</option>" + kCrLf;
    }
    return text + "</select>";
  }
  return text + kIndent28 + "<?php getComboItemsFromDb(" + PhpDbLinkVar(DatabaseName) + ",'" +
         BuildLookupSelect(html, DatabaseName) + "','" + PhpSingleQuoted(html.iLValueField) + "','" +
         PhpSingleQuoted(html.iLDisplayField) + "','" + name + "'); ?>" + kCrLf + kIndent25 + "</select>" + kCrLf;
}

std::string TInsertGenerator::BuildComboboxInput(const TWebInput& input) { return BuildSelect(input, ""); }

std::string TInsertGenerator::BuildListboxInput(const TWebInput& input) { return BuildSelect(input, " size=\"5\""); }

std::string TInsertGenerator::BuildCheckboxInput(const TWebInput& input) {
  const TBaseHtmlInput& html = *input.HtmlInput;
  const std::string sep = ItemSeparator(html);
  BuildValidation(input);
  if (html.iLSource == 0)
    return kIndent28 + "<?php getCheckboxItemsFromDb(" + PhpDbLinkVar(DatabaseName) + ",'" +
           BuildLookupSelect(html, DatabaseName) + "','" + PhpSingleQuoted(html.iLValueField) + "','" +
           PhpSingleQuoted(html.iLDisplayField) + "','" + FormName(input.Database_field) + "','" + sep +
           "'); ?>" + kCrLf + kIndent25 + "<br>" + kCrLf;
  std::string text;
  int index = 0;
  for (const std::string& line : html.ItemList) {
    const TItemLine item = SplitItemLine(line);
    const std::string id = CheckBoxName(input, ++index);
    text += "<input type=\"checkbox\" name=\"" + id + "\" id=\"" + id + "\" class=\"csscombo\" value=\"" +
            HtmlAttribute(item.Value) + "\"" + KeptMark(id, item.Value, "checked") + ">" + item.Text + sep + kCrLf;
  }
  return text;
}

std::string TInsertGenerator::BuildRadioboxInput(const TWebInput& input) {
  const TBaseHtmlInput& html = *input.HtmlInput;
  const std::string sep = ItemSeparator(html);
  BuildValidation(input);
  if (html.iLSource == 0)
    return "<?php getRadioItemsFromDb(" + PhpDbLinkVar(DatabaseName) + ",'" + BuildLookupSelect(html, DatabaseName) +
           "','" + PhpSingleQuoted(html.iLValueField) + "','" + PhpSingleQuoted(html.iLDisplayField) + "','" +
           FormName(input.Database_field) + "','" + sep + "'); ?>" + kCrLf;
  const std::string name = FormName(input.Database_field);
  std::string text;
  int index = 0;
  for (const std::string& line : html.ItemList) {
    const TItemLine item = SplitItemLine(line);
    text += "<input name=\"" + name + "\" id = \"" + RadioId(input, ++index) + "\" type=\"radio\" value=\"" +
            HtmlAttribute(item.Value) + "\"" + KeptMark(name, item.Value, "checked") + ">" + item.Text + sep + kCrLf;
  }
  return text;
}

std::string TInsertGenerator::BuildFileUploadCode(const TWebInput& input) const {
  const std::string field = FormName(input.Database_field);
  return "$qfForm->upload('" + field + "', '" + field + "', '" + PhpSingleQuoted(input.HtmlInput->iFileUpDir) +
         "');" + kCrLf;
}

std::string TInsertGenerator::BuildInsertMailCode() const {
  return BuildChangeMailCode(RequireCurrentTable(Project(), "insert"), "A new record was inserted", &TWebInput::Insert,
                             "''");
}

void TInsertGenerator::Generate() {
  const TProjectManager& project = Project();
  const TWebTable& table = RequireCurrentTable(project, "insert");
  ScriptList.Clear();
  std::unique_ptr<TTemplateEngine> engine = LoadTemplate("insert.tpl");
  TTemplateEngine& e = *engine;
  const std::string& db = project.CurrentDatabase;

  e.AssignGlobal("yzt_page_right", PageRightFlag(table.InsertRight));
  e.AssignGlobal("yzt_table_name", project.CurrentTable);
  e.AssignGlobal("yzt_table_name_caption", table.Caption);
  e.AssignGlobal("yzt_key", BuildKeyCondition(table));
  e.AssignGlobal("yzt_db_name", db);
  e.AssignGlobal("yzt_page_title_name", project.SiteCaption);
  e.AssignGlobal("yzt_page_align", HtmlAttribute(project.TableAlign));
  e.AssignGlobal("yzt_page_width", IntToStr(project.TableWidth));
  if (table.SendMail && project.mailOnInsert)
    e.AssignGlobal("yzt_insert_send_mail", BuildInsertMailCode() + kCrLf + kCrLf);
  e.AssignGlobal("yzt_page_width_type", PageWidthType(project.WidthType));
  AssignTableGlobals(e, table);

  DatabaseName = db;

  FillFormBlocks(e, table, &TWebInput::Insert,
                 {"yzt_insert_fields", "yzt_html_input_item", "yzt_insert_hidden_fields",
                  "yzt_html_hidden_input_item", "yzt_insert_file_fields", "yzt_insert_file_code"});

  bool first = true;
  for (const auto& input : table.InputList) {
    if (!input->Insert) continue;
    e.NewBlock("yzt_insert_sql_fields");
    e.Assign("yzt_insert_field_name",
             std::string(first ? "" : ",").append(PhpDoubleQuoted(SqlIdentifier(input->Database_field))).append(kCrLf));
    first = false;
  }

  first = true;
  for (const auto& input : table.InputList) {
    if (!input->Insert) continue;
    e.NewBlock("yzt_insert_sql_field_values");
    e.Assign("yzt_insert_field_str", (first ? "." : ".\",\".") + std::string("$qfForm->insertSql('") +
                                         PhpSingleQuoted(input->Database_field) + "', " + FieldDescriptor(*input, false) +
                                         ")" + kCrLf);
    first = false;
  }

  for (const std::string& line : ScriptList) {
    e.NewBlock("yzt_script");
    e.Assign("yzt_script_item", line + ";" + kCrLf);
  }

  Save(e, TablePageFileName(db, project.CurrentTable, "insert"));
}
