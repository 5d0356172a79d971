#include "generator/phpupdate.h"

#include "core/TextUtils.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/TablePageCode.h"

#include <string_view>

namespace {

constexpr const char* kCrLf = "\r\n";
const std::string kIndent25(25, ' ');
const std::string kIndent28(28, ' ');

// PHP that prints `word` when the item stands for the stored value: a single
// choice is the item equal to it; a check box's item is one of its members,
// read against all the group's items, which may hold commas.
std::string StoredTest(const TWebInput& input, const std::string& value, const char* word) {
  std::string arguments = ResultsetField(input.Database_field);
  arguments.append(",\"").append(PhpDoubleQuoted(value)).append("\"");
  const std::string test = input.Input_type == "Checkbox"
                               ? "isValueSet(" + arguments + "," + ItemValuesArray(*input.HtmlInput) + ")"
                               : "qfIsChosen(" + arguments + ")";
  return "<?php if (" + test + ") echo \"" + word + "\";?>";
}

// PHP that offers the stored value as one more choice when it is none of
// the fixed items, so that the form posts back what is stored.
std::string KeepChoice(const char* kind, const TWebInput& input, const std::string& sep) {
  return "<?php qfKeepChoice('" + std::string(kind) + "', '" + FormName(input.Database_field) + "', " +
         ResultsetField(input.Database_field) + ", " + ItemValuesArray(*input.HtmlInput) +
         (sep.empty() ? "" : ", '" + sep + "'") + "); ?>";
}

}  // namespace

// A value that no form carries (bytes that are not UTF-8) is named beside an
// empty field and kept unless the visitor types a new one; a value with line
// breaks gets a text area, which keeps them.
std::string TUpdateGenerator::BuildTextInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  const std::string stored = ResultsetField(input.Database_field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  const std::string check = BuildValidation(input);
  return "<?php qfBinaryNote(" + stored + "); if (qfShowsInLine(" + stored + ")) { ?><input name=\"" + name +
         "\" id=\"" + name + "\" type=\"text\" class=\"cssInput\"  size=\"" + IntToStr(html.iLength) +
         "\" maxlength=\"" + IntToStr(html.iMax) + "\" value=\"<?php echo qfFormValue(" + stored + "); ?>\"" + check +
         "><?php } else { ?><textarea name=\"" + name + "\" id=\"" + name + "\" cols=\"" +
         IntToStr(html.iLength > 0 ? html.iLength : TextAreaColumns(html)) + "\" rows=\"" +
         IntToStr(TextAreaLines(html)) + "\" class=\"cssTextArea\"" + (check.empty() ? "" : " " + check) +
         "><?php echo qfFormValue(" + stored + ", true); ?></textarea><?php } ?>";
}

std::string TUpdateGenerator::BuildTextareaInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  const std::string stored = ResultsetField(input.Database_field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  return "<?php qfBinaryNote(" + stored + "); ?><textarea name=\"" + name + "\" id=\"" + name + "\" cols=\"" +
         IntToStr(TextAreaColumns(html)) + "\" rows=\"" + IntToStr(TextAreaLines(html)) +
         "\" class=\"cssTextArea\" value=\"\"" + (html.iTAWrap ? " wrap=\"VIRTUAL\"" : " wrap=\"OFF\"") +
         BuildValidation(input) + " ><?php echo qfFormValue(" + stored + ", true); ?></textarea> ";
}

std::string TUpdateGenerator::BuildSelect(const TWebInput& input, const std::string& sizeAttribute) {
  const std::string& field = input.Database_field;
  const std::string name = FormName(field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  BuildValidation(input);
  std::string text = "<select name=\"" + name + "\" id=\"" + name + "\"" + sizeAttribute + " class=\"csscombo\">" + kCrLf;
  if (html.iLSource != 0) {
    text += kIndent25 + "<option value=\"\">Please select!</option>" + kCrLf;
    for (const std::string& line : html.ItemList) {
      const TItemLine item = SplitItemLine(line);
      text += kIndent25 + "<option value=\"" + HtmlAttribute(item.Value) + "\" " +
              StoredTest(input, item.Value, "selected") + " >" + item.Text + "</option>" + kCrLf;
    }
    return text + kIndent25 + KeepChoice("option", input, "") + kCrLf + "</select>";
  }
  return text + kIndent28 + "<?php getValueComboItemsFromDb(" + PhpDbLinkVar(DatabaseName) + ",'" +
         BuildLookupSelect(html, DatabaseName) + "','" + PhpSingleQuoted(html.iLValueField) + "','" +
         PhpSingleQuoted(html.iLDisplayField) + "'," + ResultsetField(field) + "); ?>" + kCrLf + kIndent25 +
         "</select>" + kCrLf;
}

std::string TUpdateGenerator::BuildComboboxInput(const TWebInput& input) { return BuildSelect(input, ""); }

std::string TUpdateGenerator::BuildListboxInput(const TWebInput& input) { return BuildSelect(input, " size=\"5\""); }

std::string TUpdateGenerator::BuildCheckboxInput(const TWebInput& input) {
  const std::string& field = input.Database_field;
  const TBaseHtmlInput& html = *input.HtmlInput;
  const std::string sep = ItemSeparator(html);
  BuildValidation(input);
  if (html.iLSource == 0)
    return kIndent28 + "<?php getValueCheckboxItemsFromDb(" + PhpDbLinkVar(DatabaseName) + ",'" +
           BuildLookupSelect(html, DatabaseName) + "','" + PhpSingleQuoted(html.iLValueField) + "','" +
           PhpSingleQuoted(html.iLDisplayField) + "','" + FormName(field) + "'," + ResultsetField(field) +
           ",'" + sep + "'); ?>" + kCrLf;
  // Named like the insert page's boxes, so that every checked value arrives
  // and getCheckboxValue reads both pages alike.
  std::string text;
  int index = 0;
  for (const std::string& line : html.ItemList) {
    const TItemLine item = SplitItemLine(line);
    const std::string id = CheckBoxName(input, ++index);
    text += "<input type=\"checkbox\" name=\"" + id + "\" id=\"" + id + "\" class=\"csscombo\" value=\"" +
            HtmlAttribute(item.Value) + "\"" + StoredTest(input, item.Value, "checked") + " >" + item.Text + sep +
            kCrLf;
  }
  return text;
}

std::string TUpdateGenerator::BuildRadioboxInput(const TWebInput& input) {
  const std::string& field = input.Database_field;
  const TBaseHtmlInput& html = *input.HtmlInput;
  const std::string sep = ItemSeparator(html);
  BuildValidation(input);
  if (html.iLSource == 0)
    return "<?php getValueRadioItemsFromDb(" + PhpDbLinkVar(DatabaseName) + ",'" +
           BuildLookupSelect(html, DatabaseName) + "','" + PhpSingleQuoted(html.iLValueField) + "','" +
           PhpSingleQuoted(html.iLDisplayField) + "','" + FormName(field) + "'," + ResultsetField(field) +
           ",'" + sep + "'); ?>" + kCrLf;
  const std::string name = FormName(field);
  std::string text;
  int index = 0;
  for (const std::string& line : html.ItemList) {
    const TItemLine item = SplitItemLine(line);
    text += "<input name=\"" + name + "\" id = \"" + RadioId(input, ++index) + "\" type=\"radio\" value=\"" +
            HtmlAttribute(item.Value) + "\"" + StoredTest(input, item.Value, "checked") + " >" + item.Text + sep +
            kCrLf;
  }
  return text + KeepChoice("radio", input, sep) + kCrLf;
}

std::string TUpdateGenerator::BuildFileInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  BuildValidation(input);
  std::string text;
  for (const std::string& line : {
           std::string("<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">"),
           std::string("  <tr>"),
           "    <td class=\"cssDetailText\"><input name=\"" + name + "-upload\" id=\"" + name +
               "-upload\" type=\"radio\" value=\"yes\">",
           std::string("      Upload new file</td>"),
           "    <td class=\"cssDetailText\"><input name=\"" + name + "-upload\" id=\"" + name +
               "-keep\" type=\"radio\" value=\"no\" checked>",
           std::string("      Keep old file</td>"),
           std::string("  </tr>"),
           std::string("  <tr>"),
           std::string("    <td colspan=\"2\">"),
           "      <input class=\"cssInput\" type=\"file\" name=\"" + name + "-file\" id=\"" + name + "-file\"></td>",
           std::string("  </tr>"),
           std::string("</table>"),
       })
    text += line + kCrLf;
  return text;
}

// The stored file stays unless "Upload new file" is chosen; then the column
// takes the new file, or is cleared when none was sent. An upload that fails
// fails the save.
std::string TUpdateGenerator::BuildFileUploadCode(const TWebInput& input) const {
  const std::string field = FormName(input.Database_field);
  return "$qfForm->upload('" + field + "', '" + field + "-file', '" + PhpSingleQuoted(input.HtmlInput->iFileUpDir) +
         "', '" + field + "-upload');" + kCrLf;
}

std::string TUpdateGenerator::BuildUpdateMailCode() const {
  return BuildChangeMailCode(RequireCurrentTable(Project(), "update"), "A record was updated", &TWebInput::Update,
                             "\"A record was updated\\n\\n\"");
}

void TUpdateGenerator::Generate() {
  const TProjectManager& project = Project();
  const TWebTable& table = RequireCurrentTable(project, "update");
  ScriptList.Clear();
  std::unique_ptr<TTemplateEngine> engine = LoadTemplate("update.tpl");
  TTemplateEngine& e = *engine;
  const std::string& db = project.CurrentDatabase;

  e.AssignGlobal("yzt_page_right", PageRightFlag(table.UpdateRight));
  e.AssignGlobal("yzt_table_name", project.CurrentTable);
  e.AssignGlobal("yzt_table_name_caption", table.Caption);
  e.AssignGlobal("yzt_key", BuildKeyCondition(table));
  e.AssignGlobal("yzt_db_name", db);
  e.AssignGlobal("yzt_table_key_field", BuildKeyUrlParams(table));
  e.AssignGlobal("yzt_page_title_name", project.SiteCaption);
  e.AssignGlobal("yzt_page_align", HtmlAttribute(project.TableAlign));
  e.AssignGlobal("yzt_page_width", IntToStr(project.TableWidth));
  if (table.SendMail && project.mailOnUpdate)
    e.AssignGlobal("yzt_update_send_mail", BuildUpdateMailCode() + kCrLf + kCrLf);
  e.AssignGlobal("yzt_page_width_type", PageWidthType(project.WidthType));
  e.AssignGlobal("yzt_key_columns", BuildKeyColumns(table));
  AssignTableGlobals(e, table);

  DatabaseName = db;

  FillFormBlocks(e, table, &TWebInput::Update,
                 {"yzt_update_fields", "yzt_html_update_item", "yzt_update_hidden_fields",
                  "yzt_html_hidden_update_item", "yzt_update_file_fields", "yzt_update_file_code"});

  bool first = true;
  for (const auto& input : table.InputList) {
    if (!input->Update) continue;
    e.NewBlock("yzt_update_sql");
    e.Assign("yzt_coma", first ? "" : ",");
    std::string column = "'";
    column.append(PhpSingleQuoted(input->Database_field)).append("'");
    e.Assign("yzt_update_field_name", column);
    e.Assign("yzt_update_field_str", FieldDescriptor(*input, true));
    first = false;
  }

  Save(e, TablePageFileName(db, project.CurrentTable, "update"));
}
