#include "generator/PhpSql.h"

#include "generator/PhpText.h"

#include <string_view>
#include <utility>

std::string LookupOperator(const std::string& relation) {
  static constexpr std::pair<std::string_view, std::string_view> kOperators[] = {
      {"=", "="},   {">", ">"},   {"<", "<"},       {">=", ">="},
      {"<=", "<="}, {"<>", "<>"}, {"Like", "LIKE"}, {"Unlike", "NOT LIKE"},
  };
  for (const auto& [name, op] : kOperators)
    if (relation == name) return std::string(op);
  return {};
}

std::vector<const TWebInput*> KeyColumns(const TWebTable& table) {
  std::vector<const TWebInput*> keys;
  for (const auto& input : table.InputList)
    if (input && input->Key) keys.push_back(input.get());
  if (keys.empty())
    for (const auto& input : table.InputList)
      if (input) keys.push_back(input.get());
  return keys;
}

std::string BuildLookupSelect(const TBaseHtmlInput& input, const std::string& database) {
  if (input.iLTable.empty() || input.iLDisplayField.empty()) return {};

  // The SQL is assembled first and escaped for the PHP single-quoted string
  // part by part, around the PHP expression that names the database.
  std::string head = "SELECT ";
  if (input.iLDistinct) head += "DISTINCT ";
  head += SqlIdentifier(input.iLDisplayField) + " ";
  if (!input.iLValueField.empty()) head.append(",").append(SqlIdentifier(input.iLValueField));
  head += " FROM ";

  std::string tail = ".";
  tail += SqlIdentifier(input.iLTable);
  const std::string op = LookupOperator(input.iLRelation);
  if (!input.iLWhereField.empty() && !op.empty() && !input.iLValue.empty())
    tail += " WHERE " + SqlIdentifier(input.iLWhereField) + " " + op + " '" + SqlStringBody(input.iLValue) + "'";
  if (input.iLShort == "Asc")
    tail += " ORDER BY " + SqlIdentifier(input.iLDisplayField) + " ASC";
  else if (input.iLShort == "Desc")
    tail += " ORDER BY " + SqlIdentifier(input.iLDisplayField) + " DESC";

  return PhpSingleQuoted(head) + "'.sqlIdent(" + PhpDbNameVar(database) + ").'" + PhpSingleQuoted(tail);
}

namespace {

bool HasKeyColumn(const TWebTable& table) {
  for (const auto& input : table.InputList)
    if (input && input->Key) return true;
  return false;
}

}  // namespace

std::string BuildKeyColumns(const TWebTable& table) {
  std::string keys;
  for (const TWebInput* key : KeyColumns(table))
    keys += std::string(keys.empty() ? "" : ", ") + "'" + PhpSingleQuoted(key->Database_field) + "' => '" +
            FormName(key->Database_field) + "'";
  return "array(" + keys + "), " + (HasKeyColumn(table) ? "false" : "true");
}

std::string BuildKeyCondition(const TWebTable& table) {
  return "qfKeyCondition(" + PhpDbLinkVar(table.DB) + ", '" + PhpSingleQuoted(table.DB) + "', '" +
         PhpSingleQuoted(table.Name) + "', " + BuildKeyColumns(table) + ")";
}

std::string BuildKeyUrlParams(const TWebTable& table) {
  return "1\".qfKeyParams($Resultset, " + BuildKeyColumns(table) + ").\"";
}

std::string BuildTableInfo(const TWebTable& table) {
  return "qfTable(" + PhpDbLinkVar(table.DB) + ", '" + PhpSingleQuoted(table.DB) + "', '" +
         PhpSingleQuoted(table.Name) + "')";
}
