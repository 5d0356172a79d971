#pragma once
/** Generated code that several table pages share: the
 *  current table, fixed-list lines, the value a lookup stores, the code that
 *  prints a row's value, and references to a row field or a form control. */

#include "model/ProjectManager.h"
#include "model/WebTableClass.h"

#include <string>

/** The project's current table; raises Exception naming the page when the
 *  current database and table name no table of the project. */
const TWebTable& RequireCurrentTable(const TProjectManager& project, const std::string& page);

/** One line of a fixed item list: the text shown before the first "=", the
 *  value stored after it. A line without "=" is both text and value. */
struct TItemLine {
  std::string Text;
  std::string Value;
};
TItemLine SplitItemLine(const std::string& line);

/** The lookup column a stored value refers to: the value field, or the
 *  display field when no value field is set. */
const std::string& LookupValueField(const TBaseHtmlInput& input);

/** $Resultset['F'] for any column name. */
std::string ResultsetField(const std::string& field);

/** PHP that prints the column's value of $Resultset: the looked-up text, the
 *  text of a radio or check box item, or the value itself. */
std::string BuildRowValueCode(const TWebInput& input, const std::string& database);

/** document.yztInsertForm.N for the control named N (a form name), or ['N']
 *  when N is no JavaScript name. */
std::string FormControlRef(const std::string& field);

/** What an empty posted value stores in the column, as SQL: NULL for a
 *  column whose SQL type is numeric, date or time, which takes no empty text
 *  ("0" for a check-box group on a numeric column: nothing ticked is a cleared
 *  flag); "" when the column keeps the empty text (text, enum, set). */
std::string EmptyValueSql(const TWebInput& input);

/** "<br>" between vertical radio buttons and check boxes, "" for a row. */
std::string ItemSeparator(const TBaseHtmlInput& input);
