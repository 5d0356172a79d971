#include "generator/TablePageCode.h"

#include "core/Exception.h"
#include "core/TextUtils.h"
#include "generator/PhpText.h"

#include <string_view>

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
        code += "if (isValueSet(" + value + ", " + itemValue + ")) { " + write + " echo ' '; }" + kCrLf;
      else
        code += "if (" + value + " == " + itemValue + ") " + write + kCrLf;
    }
    return code;
  }
  return " writeHtmlText(" + value + ");" + kCrLf;
}

std::string FormControlRef(const std::string& field) {
  if (IsJsName(field)) return "document.yztInsertForm." + field;
  return "document.yztInsertForm['" + JsSingleQuoted(field) + "']";
}

std::string EmptyValueSql(const TWebInput& input) {
  static constexpr std::string_view kNumeric[] = {
      "tinyint", "smallint", "mediumint", "middleint", "int", "integer", "bigint", "int1", "int2", "int3", "int4",
      "int8", "decimal", "dec", "numeric", "fixed", "float", "float4", "float8", "double", "real", "bit", "bool",
      "boolean", "serial"};
  static constexpr std::string_view kDateTime[] = {"date", "datetime", "timestamp", "time", "year"};
  // The type's name: "int(11) unsigned" is an int.
  const std::string type = LowerCase(Trim(input.Type.substr(0, input.Type.find_first_of("( "))));
  for (std::string_view name : kNumeric)
    if (type == name) return input.Input_type == "Checkbox" ? "0" : "NULL";
  for (std::string_view name : kDateTime)
    if (type == name) return "NULL";
  return {};
}

std::string ItemSeparator(const TBaseHtmlInput& input) { return input.iRaHorizontal ? "" : "<br>"; }
