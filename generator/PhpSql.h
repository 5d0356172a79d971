#pragma once
/** Pieces of PHP source shared by the page generators: the lookup SELECT, a
 *  row's key condition from the request, and the URL parameters carrying a
 *  row's key. The generated code escapes every request value and quotes every
 *  identifier. */

#include "model/HtmlInput.h"
#include "model/WebTableClass.h"

#include <string>
#include <vector>

/** The key columns: those with Key set, or every column when none has it. */
std::vector<const TWebInput*> KeyColumns(const TWebTable& table);

/** The SQL operator of a lookup relation as the field editor offers it
 *  ("Unlike" is NOT LIKE); "" for "All" and for anything unknown, which
 *  both mean: no condition. */
std::string LookupOperator(const std::string& relation);

/** SELECT text of a lookup list, for a PHP single-quoted string; "" without
 *  table or display field. The table lies in `database` (the current one). */
std::string BuildLookupSelect(const TBaseHtmlInput& input, const std::string& database);

/** PHP arguments naming the key columns for the site's key functions:
 *  array('column' => 'form name', ...), then whether the table has no key,
 *  so that every column names the row (by its exact bytes, long values by
 *  their digest). */
std::string BuildKeyColumns(const TWebTable& table);

/** PHP expression whose value is the SQL condition "1 AND `k`='...'" naming
 *  the row whose key the request's query holds (qfKeyCondition of the site's
 *  scripts: NULL-safe, a table without a key by the exact bytes of its values
 *  or their digests). */
std::string BuildKeyCondition(const TWebTable& table);

/** Piece of a PHP double-quoted string: 1".qfKeyParams($Resultset, ...)."
 *  giving "&k=value" for each key column, under its form name. */
std::string BuildKeyUrlParams(const TWebTable& table);

/** PHP expression of the table's columns as the server describes them
 *  (qfTable of the site's scripts). */
std::string BuildTableInfo(const TWebTable& table);
