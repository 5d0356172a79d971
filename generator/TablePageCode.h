#pragma once
/** Generated code that several table pages share: the
 *  current table, fixed-list lines, the value a lookup stores, the code that
 *  prints a row's value, and references to a row field or a form control. */

#include "generator/TemplateEngine.h"
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

/** array('value', ...) of a fixed item list, as PHP. */
std::string ItemValuesArray(const TBaseHtmlInput& input);

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

/** How the site reads a column's posted field: "text", "area", "password",
 *  "hidden", "file", "choice" (a select or radio group: one value) or
 *  "checks" (a check-box group: the ticked values joined). */
std::string FieldKind(const TWebInput& input);

/** A text area's columns and lines: the stored ones, or 35 and 5 where
 *  they are not set, so that no page gets a box too small to type in. */
int TextAreaColumns(const TBaseHtmlInput& input);
int TextAreaLines(const TBaseHtmlInput& input);

/** The globals every page of one row uses: the connection, the page and
 *  table names, and the server's description of the table. */
void AssignTableGlobals(TTemplateEngine& engine, const TWebTable& table);

/** "<br>" between vertical radio buttons and check boxes, "" for a row. */
std::string ItemSeparator(const TBaseHtmlInput& input);
