#include "generator/phplist.h"

#include "core/TextUtils.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/TablePageCode.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";

// A column whose stored value is a key into another table of the database.
// Without a display field there is nothing to join or filter on.
bool IsLookupColumn(const TWebInput& input) {
  const TBaseHtmlInput& html = *input.HtmlInput;
  return !html.iLTable.empty() && html.iLSource == 0 && html.iLElementFromDb && !html.iLDisplayField.empty();
}

bool IsFiltered(const TWebInput& input) { return input.Filter_type == "Like" || input.Filter_type == "Interval"; }

// Every joined lookup gets its own alias, so a lookup table used by two
// columns, or a table looking itself up, is joined once per column.
std::string LookupAlias(const TWebTable& table, int columnIndex) {
  std::string alias = "lk_" + IntToStr(columnIndex + 1);
  while (alias == table.Name) alias = "_" + alias;
  return alias;
}

std::string Qualified(const std::string& table, const std::string& field) {
  return SqlIdentifier(table) + "." + SqlIdentifier(field);
}

// The filter fields are named after the column's form name (FormName), which
// needs no escaping in PHP literals or HTML attributes.
std::string RequestTrimmed(const std::string& name) { return "trim(requestValue('" + name + "'))"; }

std::string IntervalFilterCode(const std::string& field, const std::string& qualified, const std::string& link) {
  const std::string q = PhpDoubleQuoted(qualified);
  const std::string min = RequestTrimmed(field + "_min");
  const std::string max = RequestTrimmed(field + "_max");
  return "if (" + min + " != \"\") $filterSql = $filterSql.\" AND " + q + " >= '\".sqlEscape(" + link + ", " + min +
         ").\"' \";" + kCrLf + "       if (" + max + " != \"\") $filterSql = $filterSql.\" AND " + q +
         " <= '\".sqlEscape(" + link + ", " + max + ").\"' \";" + kCrLf + kCrLf;
}

// The typed text is matched as it stands: "%", "_" and a backslash in it are
// no wildcards (qfLikeText escapes them for LIKE).
std::string LikeFilterCode(const std::string& field, const std::string& qualified, const std::string& link) {
  const std::string q = PhpDoubleQuoted(qualified);
  const std::string val = RequestTrimmed(field + "_val");
  const std::string mode = RequestTrimmed(field + "_mode");
  // The mode starts as LIKE, so a value sent without a mode still filters.
  return "if (" + val + " != \"\")" + kCrLf + "       {" + kCrLf + "         $tempmode=\"LIKE\"; $tmpm=\"%\";" +
         kCrLf + "         if (" + mode + " == \"Exactly\") { $tempmode=\"=\"; $tmpm=\"\";}" + kCrLf + "         if (" +
         mode + " == \"Like\")    {$tempmode=\"LIKE\"; $tmpm=\"%\";}" + kCrLf +
         "         $filterSql = $filterSql.\" AND " + q + " \".$tempmode.\" '\". sqlEscape(" + link +
         ", $tempmode == \"LIKE\" ? qfLikeText(" + val + ") : " + val + ").$tmpm.\"' \";" + kCrLf + "       }" +
         kCrLf + kCrLf;
}

std::string FilterTextInput(const std::string& name) {
  return "<input type=\"text\" size=\"20\" class=\"cssInput\" name=\"" + name + "\" id=\"" + name +
         "\" value=\"<?php echo h(requestValue('" + name + "')); ?>\">";
}

std::string LikeFilterForm(const std::string& field) {
  const std::string modeName = field + "_mode";
  const std::string mode = RequestTrimmed(modeName);
  return FilterTextInput(field + "_val") + " -" + kCrLf + "<select name=\"" + modeName + "\" id=\"" + modeName +
         "\" class=\"csscombo\">" + kCrLf + "   <option value=\"Exactly\" <?php if (" + mode +
         " == \"Exactly\") echo \"selected\"; ?>>Exactly" + kCrLf + "   <option value=\"Like\" <?php if (" + mode +
         " <> \"Exactly\") echo \"selected\"; ?>>Like" + kCrLf + "</select>" + kCrLf;
}

std::string IntervalFilterForm(const std::string& field) {
  return FilterTextInput(field + "_min") + " -" + kCrLf + FilterTextInput(field + "_max");
}

// PHP array entry: 'F' => array('`t`.`F`', kind, sort bytes) - how the list
// page names the column in SQL and writes its values into the condition that
// fetches the rows after a given row.
std::string SeekColumnEntry(const TWebTable& table, const TWebInput& input) {
  const TSeekType seek = SeekType(input.Type);
  return "    '" + PhpSingleQuoted(input.Database_field) + "' => array('" +
         PhpSingleQuoted(Qualified(table.Name, input.Database_field)) + "', '" + seek.Kind + "', " +
         IntToStr(seek.SortBytes) + ")," + kCrLf;
}

}  // namespace

TSeekType SeekType(const std::string& type) {
  static constexpr std::string_view kNumbers[] = {
      "tinyint", "smallint", "mediumint", "middleint", "int",     "integer", "bigint", "int1",    "int2",   "int3",
      "int4",    "int8",     "decimal",   "dec",       "numeric", "fixed",   "bool",   "boolean", "serial", "year"};
  static constexpr std::string_view kTimes[] = {"date", "datetime", "time"};
  const std::string name = LowerCase(Trim(type.substr(0, type.find_first_of("( "))));
  // The declared length: "varchar(40)" holds 40 characters, "binary(16)"
  // 16 bytes; "char" alone is one character.
  const size_t open = type.find('(');
  const int length =
      open == std::string::npos ? 1 : StrToIntDef(type.substr(open + 1, type.find(')', open) - open - 1), -1);
  for (std::string_view n : kNumbers)
    if (name == n) return {"n", 0};
  for (std::string_view n : kTimes)
    if (name == n) return {"s", 0};
  if (length < 0) return {};
  // Up to four bytes a character.
  if (name == "char" || (name == "varchar" && open != std::string::npos)) return {"s", 4 * length};
  if (name == "binary" || (name == "varbinary" && open != std::string::npos)) return {"b", length};
  return {};
}

void TListGenerator::Generate() {
  const TProjectManager& project = Project();
  const TWebTable& table = RequireCurrentTable(project, "list");
  const std::string& db = project.CurrentDatabase;
  const std::string& name = project.CurrentTable;
  const std::string link = PhpDbLinkVar(db);
  std::unique_ptr<TTemplateEngine> engine = LoadTemplate("list.tpl");
  TTemplateEngine& e = *engine;

  e.AssignGlobal("yzt_page_right", PageRightFlag(table.ListRight));
  e.AssignGlobal("yzt_row_number", IntToStr(project.RowNumber));
  e.AssignGlobal("yzt_table_name", name);
  e.AssignGlobal("yzt_table_key_field", BuildKeyUrlParams(table));
  e.AssignGlobal("yzt_db_name", db);
  e.AssignGlobal("yzt_insert_page", TablePageUrl(db, name) + "_insert.php");
  e.AssignGlobal("yzt_table_caption", table.Caption);
  e.AssignGlobal("yzt_page_title_name", project.SiteCaption);
  e.AssignGlobal("yzt_page_align", HtmlAttribute(project.TableAlign));
  e.AssignGlobal("yzt_page_width", IntToStr(project.TableWidth));

  const std::vector<const TWebInput*> keys = KeyColumns(table);
  const auto isKey = [&keys](const TWebInput* input) {
    return std::find(keys.begin(), keys.end(), input) != keys.end();
  };

  // The join conditions stand in ON clauses of outer joins, so rows whose
  // lookup value is empty or unmatched stay in the list. The page counts
  // without a join when its lookup's value field is unique and no filter
  // reads the joined table: then it neither adds nor drops a row.
  std::string fields;
  const std::string base = Qualified(db, table.Name);
  std::string from = base;
  std::string joins;  // PHP array entries: join, alias prefix, lookup database, table, value field
  std::string seekColumns;
  std::string keyFields;
  const bool keyed = std::any_of(table.InputList.begin(), table.InputList.end(),
                                 [](const auto& input) { return input->Key; });
  std::vector<std::string> filterNames(table.InputList.size());
  for (size_t i = 0; i < table.InputList.size(); ++i) {
    const TWebInput& input = *table.InputList[i];
    const std::string& field = input.Database_field;
    if (input.List || isKey(&input)) fields.append(fields.empty() ? " " : ",").append(Qualified(table.Name, field));
    if (input.List || (keyed && input.Key)) seekColumns += SeekColumnEntry(table, input);
    if (keyed && input.Key) keyFields += (keyFields.empty() ? "'" : ", '") + PhpSingleQuoted(field) + "'";
    filterNames[i] = Qualified(table.Name, field);
    if (IsLookupColumn(input) && (input.List || IsFiltered(input))) {
      const TBaseHtmlInput& html = *input.HtmlInput;
      const std::string alias = LookupAlias(table, static_cast<int>(i));
      const std::string join = " LEFT JOIN " + Qualified(db, html.iLTable) + " AS " + SqlIdentifier(alias) + " ON " +
                               Qualified(table.Name, field) + " = " + Qualified(alias, LookupValueField(html));
      from += join;
      joins += "    array('" + PhpSingleQuoted(join) + "', '" + PhpSingleQuoted(SqlIdentifier(alias) + ".") + "', '" +
               PhpSingleQuoted(db) + "', '" + PhpSingleQuoted(html.iLTable) + "', '" +
               PhpSingleQuoted(LookupValueField(html)) + "')," + kCrLf;
      filterNames[i] = Qualified(alias, html.iLDisplayField);
    }
  }
  e.AssignGlobal("yzt_filter_part_one", " WHERE 1 ");
  e.AssignGlobal("yzt_select_sql_part_one", PhpSingleQuoted("SELECT " + fields + " FROM " + from));
  e.AssignGlobal("yzt_page_width_type", PageWidthType(project.WidthType));
  e.AssignGlobal("yzt_db_link", link);
  e.AssignGlobal("yzt_page_url", TablePageUrl(db, name));
  e.AssignGlobal("yzt_count_sql_part_one", PhpSingleQuoted("SELECT 1 FROM " + base));
  e.AssignGlobal("yzt_lookup_joins", joins);
  e.AssignGlobal("yzt_seek_columns", seekColumns);
  e.AssignGlobal("yzt_key_fields", keyFields);
  // The rows carry the exact text of approximate numbers, which their links
  // name them by (qfSelectExact of the site's scripts).
  e.AssignGlobal("yzt_qf_table", BuildTableInfo(table));
  e.AssignGlobal("yzt_row_qualifier", PhpSingleQuoted(SqlIdentifier(table.Name) + "."));

  for (size_t i = 0; i < table.InputList.size(); ++i) {
    const TWebInput& input = *table.InputList[i];
    e.NewBlock("yzt_filter_block");
    std::string code;
    if (input.Filter_type == "Interval")
      code = IntervalFilterCode(FormName(input.Database_field), filterNames[i], link);
    else if (input.Filter_type == "Like")
      code = LikeFilterCode(FormName(input.Database_field), filterNames[i], link);
    if (!code.empty()) e.Assign("yzt_filter_item", code);
  }

  for (const auto& input : table.InputList) {
    if (!input->List) continue;
    e.NewBlock("yzt_shorting_block");
    e.Assign("yzt_short_field", PhpSingleQuoted(input->Database_field));
  }

  for (const auto& input : table.InputList) {
    std::string controls;
    if (input->Filter_type == "Like")
      controls = LikeFilterForm(FormName(input->Database_field));
    else if (input->Filter_type == "Interval")
      controls = IntervalFilterForm(FormName(input->Database_field));
    else
      continue;
    e.NewBlock("yzt_filter_area");
    e.Assign("yzt_insert_filter_caption", input->Caption);
    e.Assign("yzt_insert_filter_row", controls);
  }

  e.GotoBlock("_ROOT");
  for (const auto& input : table.InputList) {
    if (!input->List) continue;
    e.NewBlock("yzt_list_headers_1row");
    e.Assign("yzt_list_1input_1row", input->Caption);
  }
  e.GotoBlock("_ROOT");
  for (const auto& input : table.InputList) {
    if (!input->List) continue;
    e.NewBlock("yzt_list_headers_2row");
    e.Assign("yzt_list_1input_2row", PhpSingleQuoted(input->Database_field));
  }
  e.GotoBlock("_ROOT");

  int columns = 3;
  for (const auto& input : table.InputList) {
    if (!input->List) continue;
    ++columns;
    e.NewBlock("yzt_list_value");
    e.Assign("yzt_act_field", BuildRowValueCode(*input, db));
  }

  e.AssignGlobal("yzt_column_number", IntToStr(columns));
  Save(e, TablePageFileName(db, name, "list"));
}
