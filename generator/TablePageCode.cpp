#include "generator/TablePageCode.h"

#include "core/Exception.h"
#include "core/TextUtils.h"
#include "generator/PageGenerator.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"

#include <string_view>
#include <utility>

namespace {

constexpr const char* kCrLf = "\r\n";

bool IsJsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$'; }
bool IsJsNamePart(char c) { return IsJsNameStart(c) || (c >= '0' && c <= '9'); }

bool IsJsName(const std::string& name) {
  if (name.empty() || !IsJsNameStart(name.front())) return false;
  for (char c : name)
    if (!IsJsNamePart(c)) return false;
  return true;
}

}  // namespace

const TWebTable& RequireCurrentTable(const TProjectManager& project, const std::string& page) {
  if (const TWebTable* table = project.GetCurrentTable()) return *table;
  throw Exception("Cannot generate the " + page + " page: the project has no table \"" + project.CurrentTable +
                  "\" in database \"" + project.CurrentDatabase + "\".");
}

TItemLine SplitItemLine(const std::string& line) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return {line, line};
  return {line.substr(0, eq), line.substr(eq + 1)};
}

std::string ItemValuesArray(const TBaseHtmlInput& input) {
  std::string items;
  for (const std::string& line : input.ItemList)
    items += std::string(items.empty() ? "" : ", ") + "'" + PhpSingleQuoted(SplitItemLine(line).Value) + "'";
  return "array(" + items + ")";
}

const std::string& LookupValueField(const TBaseHtmlInput& input) {
  return input.iLValueField.empty() ? input.iLDisplayField : input.iLValueField;
}

std::string ResultsetField(const std::string& field) { return "$Resultset['" + PhpSingleQuoted(field) + "']"; }

std::string BuildRowValueCode(const TWebInput& input, const std::string& database) {
  const TBaseHtmlInput& html = *input.HtmlInput;
  const std::string value = ResultsetField(input.Database_field);
  if (html.iLElementFromDb)
    return "writeHtmlTextFromDB(" + PhpDbLinkVar(database) + ",'" + PhpSingleQuoted(database) + "','" +
           PhpSingleQuoted(html.iLTable) + "','" + PhpSingleQuoted(LookupValueField(html)) + "'," + value + ",'" +
           PhpSingleQuoted(html.iLDisplayField) + "')";
  if (input.Input_type == "Radiobox" || input.Input_type == "Checkbox") {
    // Check boxes store every checked value, comma-separated (a set column):
    // each member shows its text. A radio group stores one value.
    const bool many = input.Input_type == "Checkbox";
    std::string code;
    for (const std::string& line : html.ItemList) {
      const TItemLine item = SplitItemLine(line);
      const std::string itemValue = std::string("'").append(PhpSingleQuoted(item.Value)).append("'");
      const std::string write = "writeHtmlText('" + PhpSingleQuoted(item.Text) + "');";
      if (many)
        code += "if (isValueSet(" + value + ", " + itemValue + ", " + ItemValuesArray(html) + ")) { " + write +
                " echo ' '; }" + kCrLf;
      else
        code += "if (qfIsChosen(" + value + ", " + itemValue + ")) " + write + kCrLf;
    }
    return code;
  }
  return " writeHtmlText(" + value + ");" + kCrLf;
}

std::string FormControlRef(const std::string& field) {
  if (IsJsName(field)) return "document.yztInsertForm." + field;
  return "document.yztInsertForm['" + JsSingleQuoted(field) + "']";
}

std::string FieldKind(const TWebInput& input) {
  static constexpr std::pair<std::string_view, std::string_view> kKinds[] = {
      {"Textarea", "area"}, {"Password", "password"}, {"Hidden", "hidden"}, {"File", "file"},
      {"Combobox", "choice"}, {"Listbox", "choice"}, {"Radiobox", "choice"}, {"Checkbox", "checks"},
  };
  for (const auto& [type, kind] : kKinds)
    if (input.Input_type == type) return std::string(kind);
  return "text";
}

int TextAreaColumns(const TBaseHtmlInput& input) { return input.iTAWidth > 0 ? input.iTAWidth : 35; }

int TextAreaLines(const TBaseHtmlInput& input) { return input.iTALines > 0 ? input.iTALines : 5; }

void AssignTableGlobals(TTemplateEngine& e, const TWebTable& table) {
  e.AssignGlobal("yzt_db_link", PhpDbLinkVar(table.DB));
  e.AssignGlobal("yzt_page_url", TablePageUrl(table.DB, table.Name));
  e.AssignGlobal("yzt_sql_table", PhpDoubleQuoted(SqlIdentifier(table.DB) + "." + SqlIdentifier(table.Name)));
  e.AssignGlobal("yzt_qf_table", BuildTableInfo(table));
}

std::string ItemSeparator(const TBaseHtmlInput& input) { return input.iRaHorizontal ? "" : "<br>"; }
