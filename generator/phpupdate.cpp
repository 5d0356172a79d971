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

// PHP that prints the stored value, escaped for HTML.
std::string EchoStored(const std::string& field) { return "<?php echo h(" + ResultsetField(field) + "); ?>"; }

// PHP that prints `word` when the stored value holds the item's value.
std::string StoredTest(const std::string& field, const std::string& value, const char* word) {
  return "<?php if (isValueSet(" + ResultsetField(field) + ",\"" + PhpDoubleQuoted(value) + "\")) echo \"" + word +
         "\";?>";
}

}  // namespace

std::string TUpdateGenerator::BuildTextInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  return "<input name=\"" + name + "\" id=\"" + name + "\" type=\"text\" class=\"cssInput\"  size=\"" +
         IntToStr(html.iLength) + "\" maxlength=\"" + IntToStr(html.iMax) + "\" value=\"" +
         EchoStored(input.Database_field) + "\"" + BuildValidation(input) + ">";
}

std::string TUpdateGenerator::BuildTextareaInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  const TBaseHtmlInput& html = *input.HtmlInput;
  return "<textarea name=\"" + name + "\" id=\"" + name + "\" cols=\"" + IntToStr(html.iTAWidth) + "\" rows=\"" +
         IntToStr(html.iTALines) + "\" class=\"cssTextArea\" value=\"\"" +
         (html.iTAWrap ? " wrap=\"VIRTUAL\"" : " wrap=\"OFF\"") + BuildValidation(input) + " >" +
         EchoStored(input.Database_field) + "</textarea> ";
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
              StoredTest(field, item.Value, "selected") + " >" + item.Text + "</option>" + kCrLf;
    }
    return text + "</select>";
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
  // Named like the insert page's boxes (F_1, F_2, ...), so that every
  // checked value arrives and getCheckboxValue reads both pages alike.
  std::string text;
  int index = 0;
  for (const std::string& line : html.ItemList) {
    const TItemLine item = SplitItemLine(line);
    const std::string id = FormName(field) + "_" + IntToStr(++index);
    text += "<input type=\"checkbox\" name=\"" + id + "\" id=\"" + id + "\" class=\"csscombo\" value=\"" +
            HtmlAttribute(item.Value) + "\"" + StoredTest(field, item.Value, "checked") + " >" + item.Text + sep +
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
    text += "<input name=\"" + name + "\" id = \"" + name + "_" + IntToStr(++index) + "\" type=\"radio\" value=\"" +
            HtmlAttribute(item.Value) + "\"" + StoredTest(field, item.Value, "checked") + " >" + item.Text + sep +
            kCrLf;
  }
  return text;
}

std::string TUpdateGenerator::BuildFileInput(const TWebInput& input) {
  const std::string name = FormName(input.Database_field);
  BuildValidation(input);
  std::string text;
  for (const std::string& line : {
           std::string("<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">"),
           std::string("  <tr>"),
           "    <td class=\"cssDetailText\"><input name=\"" + name + "_needUpload\" id=\"" + name +
               "_needUpload\" type=\"radio\" value=\"yes\">",
           std::string("      Upload new file</td>"),
           "    <td class=\"cssDetailText\"><input name=\"" + name + "_needUpload\" id=\"" + name +
               "_needUpload\" type=\"radio\" value=\"no\" checked>",
           "      Keep old file <input name=\"" + name + "_oldFile\" id=\"" + name +
               "_oldFile\" type=\"hidden\" value=\"" + EchoStored(input.Database_field) + "\"></td>",
           std::string("  </tr>"),
           std::string("  <tr>"),
           std::string("    <td colspan=\"2\">"),
           "      <input class=\"cssInput\" type=\"file\" name=\"" + name + "_file\" id=\"" + name + "_file\"></td>",
           std::string("  </tr>"),
           std::string("</table>"),
       })
    text += line + kCrLf;
  return text;
}

std::string TUpdateGenerator::BuildFileUploadCode(const TWebInput& input) const {
  const std::string field = FormName(input.Database_field);
  std::string text;
  for (const std::string& line : {
           "if (isset($_FILES['" + field + "_file'])) {",
           "      if (($_POST['" + field + "_needUpload'] ?? 'no') == \"no\")",
           "        $_POST['" + field + "'] = $_POST['" + field + "_oldFile'] ?? '';",
           std::string("      else {"),
           "        $_POST['" + field + "'] = storeUpload('" + field + "_file', '" +
               PhpSingleQuoted(input.HtmlInput->iFileUpDir) + "') ?? '';",
           std::string("      }"),
           std::string("    }"),
       })
    text += line + kCrLf;
  return text;
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
  const std::string link = PhpDbLinkVar(db);

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
  e.AssignGlobal("yzt_db_link", link);
  e.AssignGlobal("yzt_page_url", TablePageUrl(db, project.CurrentTable));
  e.AssignGlobal("yzt_sql_table", PhpDoubleQuoted(SqlIdentifier(db) + "." + SqlIdentifier(table.Name)));

  DatabaseName = db;

  FillFormBlocks(e, table, &TWebInput::Update,
                 {"yzt_update_fields", "yzt_html_update_item", "yzt_update_hidden_fields",
                  "yzt_html_hidden_update_item", "yzt_update_file_fields", "yzt_update_file_code"});

  bool first = true;
  for (const auto& input : table.InputList) {
    if (!input->Update) continue;
    e.NewBlock("yzt_update_sql");
    e.Assign("yzt_coma", first ? "" : ",");
    e.Assign("yzt_update_field_name", PhpDoubleQuoted(SqlIdentifier(input->Database_field)));
    e.Assign("yzt_update_field_str", SqlValue(*input));
    first = false;
  }

  Save(e, TablePageFileName(db, project.CurrentTable, "update"));
}
