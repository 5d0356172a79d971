#pragma once
/** Escaping of project texts for the contexts of the generated site.
 *
 *  Names, captions and values come from the project and are inserted into PHP
 *  string literals, SQL, HTML attributes and JavaScript strings. Each helper
 *  makes a text safe for exactly one context; nest them from the inside out
 *  (e.g. HtmlAttribute(JsSingleQuoted(x)) for a JavaScript string inside an
 *  onBlur attribute). */

#include <string>
#include <string_view>

/** Body of a PHP single-quoted literal: backslash and quote escaped. */
std::string PhpSingleQuoted(std::string_view text);
/** Body of a PHP double-quoted literal: backslash, quote and "$" escaped. */
std::string PhpDoubleQuoted(std::string_view text);
/** HTML text or attribute value: & < > " ' as entities. */
std::string HtmlAttribute(std::string_view text);
/** Body of a JavaScript single-quoted string that may also stand in an HTML
 *  attribute or a script element: backslash, quotes, <, >, & and line breaks
 *  as escapes. */
std::string JsSingleQuoted(std::string_view text);
/** SQL identifier in backticks, an embedded backtick doubled. */
std::string SqlIdentifier(std::string_view name);
/** Body of a SQL string literal in single quotes: quote doubled, backslash doubled. */
std::string SqlStringBody(std::string_view text);
/** Percent-encoding of a URL query component (unreserved bytes kept). */
std::string UrlEncode(std::string_view text);

/** The name under which a column travels in forms, query strings and
 *  uploads: the column name itself when it holds only ASCII letters, digits
 *  and "_", else every other byte as "-" and two upper-case hex digits. PHP
 *  keeps "-" in request names but turns blanks, dots and "[" into "_", so
 *  the escape is unambiguous and survives the request. */
std::string FormName(std::string_view column);

/** True when "MyDb_" + name is a plain PHP variable name. */
bool IsPhpNameTail(std::string_view name);
/** The PHP variable of a database connection: $MyDb_shop, or ${'MyDb_my-db'}
 *  for a name that cannot stand in a plain variable name. */
std::string PhpDbLinkVar(std::string_view database);
/** The PHP variable holding a database's name: $dbname_shop or ${'dbname_my-db'}. */
std::string PhpDbNameVar(std::string_view database);
