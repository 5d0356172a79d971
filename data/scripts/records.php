<?php
// Reading and writing the rows of the table pages.
//
// A browser does not hand every value back as the page showed it: a text
// input drops line breaks, a text area turns every line end into CR LF,
// NULL and the empty text look alike, and bytes that are not UTF-8 come
// back as U+FFFD. So an update writes only the fields whose posted value
// differs from what the form showed for the stored row, after the
// browser's own rewriting of that kind of field; everything else stays as
// it is, byte for byte. What a blank field stores is learnt from the
// server: the column's DEFAULT, else NULL where the column allows it.
//
// Request names: a column travels under its form name (letters, digits,
// "_" and "-XX" escapes; see the generator). Names made from it add "-"
// and a lower-case word ("tags-i2", "pic-file", "id-null"), which no form
// name can hold, so they never meet another column's name; so does the
// site's own digest of a row in its links, "qf-row".
//
// Included by functions.php, which every page includes.

/** What the server says of a table's columns, asked once per request:
 *  ['sql' => `db`.`table`, 'db' => db, 'name' => table, 'columns' => name =>
 *  [base, type, null, default, auto]]; auto: the server sets the column
 *  itself when the row changes (ON UPDATE, generated). */
function qfTable($link, $db, $table): array
{
    static $known = [];
    $sql = sqlIdent($db) . '.' . sqlIdent($table);
    if (isset($known[$sql])) {
        return $known[$sql];
    }
    $columns = [];
    foreach (qfRows($link, 'SHOW COLUMNS FROM ' . $sql) as $row) {
        $type = strtolower(qfText($row['Type'] ?? ''));
        $extra = strtolower(qfText($row['Extra'] ?? ''));
        $columns[qfText($row['Field'] ?? '')] = [
            'base' => preg_replace('/[^a-z0-9].*$/s', '', $type),
            'type' => $type,
            'null' => strtoupper(qfText($row['Null'] ?? '')) === 'YES',
            // A column the server fills itself when it is given DEFAULT.
            'default' => ($row['Default'] ?? null) !== null || str_contains($extra, 'auto_increment')
                || str_contains($extra, 'generated'),
            'auto' => str_contains($extra, 'on update') || str_contains($extra, 'generated'),
        ];
    }
    // A failed question is not kept: the next page asks again.
    $info = ['sql' => $sql, 'db' => qfText($db), 'name' => qfText($table), 'columns' => $columns];
    if ($columns) {
        $known[$sql] = $info;
    }
    return $info;
}

/** The server's description of one column, or that of an unknown column. */
function qfColumn(array $table, $name): array
{
    return $table['columns'][qfText($name)]
        ?? ['base' => '', 'type' => '', 'null' => false, 'default' => false, 'auto' => false];
}

/** Whether the column stores the empty text: not a number, date, time, an
 *  address or an enum without '' among its values. */
function qfTakesEmptyText(array $column): bool
{
    static $not = ['tinyint', 'smallint', 'mediumint', 'int', 'integer', 'bigint', 'decimal', 'dec', 'numeric',
                   'fixed', 'float', 'double', 'real', 'bit', 'bool', 'boolean', 'serial', 'date', 'datetime',
                   'timestamp', 'time', 'year', 'inet4', 'inet6', 'uuid'];
    if ($column['base'] === 'enum') {
        return preg_match("/[(,]''[,)]/", $column['type']) === 1;
    }
    return !in_array($column['base'], $not, true);
}

function qfIsNumber(array $column): bool
{
    return in_array($column['base'], ['tinyint', 'smallint', 'mediumint', 'int', 'integer', 'bigint', 'decimal',
                                      'dec', 'numeric', 'fixed', 'float', 'double', 'real', 'bit', 'bool',
                                      'boolean', 'serial'], true);
}

/** Whether the client reads a column's stored bytes as they are (binary
 *  strings, geometry), not characters converted to the connection's set. */
function qfIsBytes(array $column): bool
{
    return in_array($column['base'], ['binary', 'varbinary', 'tinyblob', 'blob', 'mediumblob', 'longblob', 'geometry',
                                      'point', 'linestring', 'polygon', 'multipoint', 'multilinestring',
                                      'multipolygon', 'geometrycollection'], true);
}

/** Whether a column holds text that its collation compares (case, trailing
 *  blanks): such a value names a row only together with its bytes. */
function qfIsText(array $column): bool
{
    return in_array($column['base'], ['char', 'varchar', 'tinytext', 'text', 'mediumtext', 'longtext', 'enum', 'set'],
                    true);
}

/** Whether a column holds approximate numbers (FLOAT, DOUBLE, REAL), whose
 *  text the server sends rounded (a FLOAT to six digits, so that two keys
 *  can read alike): such a value names its row by the exact text of its
 *  DOUBLE value, which rows carry under the column's name and a blank (a
 *  name no column can have; see qfExactItems). */
function qfIsApprox(array $column): bool
{
    return in_array($column['base'], ['float', 'double', 'real'], true);
}

/** The SELECT items giving the exact text of every approximate column of the
 *  table, each under its name and a blank, or ''; $qualifier names the
 *  table in the statement ("`t`."). */
function qfExactItems(array $table, string $qualifier = ''): string
{
    $items = [];
    foreach ($table['columns'] as $column => $about) {
        if (qfIsApprox($about)) {
            $items[] = 'CAST(' . $qualifier . sqlIdent($column) . ' AS DOUBLE) AS ' . sqlIdent($column . ' ');
        }
    }
    return implode(',', $items);
}

/** A list page's SELECT with the exact texts of qfExactItems. */
function qfSelectExact(string $select, array $table, string $qualifier): string
{
    $items = qfExactItems($table, $qualifier);
    return $items === '' || !str_starts_with($select, 'SELECT ') ? $select : 'SELECT ' . $items . ',' . substr($select, 7);
}

/** A column's value in a row, an approximate number as its exact text when
 *  the row carries it; null for NULL and for a missing row. */
function qfExactValue($row, $column)
{
    if (!is_array($row)) {
        return null;
    }
    $column = qfText($column);
    return $row[$column . ' '] ?? $row[$column] ?? null;
}

/** SQL giving the bytes the client reads for a column: its text in the
 *  connection's character set, a BIT as its number, an approximate number as
 *  its exact text, binary strings and geometry as stored. */
function qfClientBytes(array $column, string $ident): string
{
    if ($column['base'] === 'bit') {
        return 'CAST(CONVERT(' . $ident . '+0 USING utf8mb4) AS BINARY)';
    }
    if (qfIsApprox($column)) {
        return 'CAST(CONVERT(CAST(' . $ident . ' AS DOUBLE) USING utf8mb4) AS BINARY)';
    }
    return qfIsBytes($column) ? 'CAST(' . $ident . ' AS BINARY)' : 'CAST(CONVERT(' . $ident . ' USING utf8mb4) AS BINARY)';
}

/** The condition that a column holds exactly the bytes of $value as the
 *  client read them: no collation makes 'ABC' or 'abc  ' equal to 'abc'. A
 *  text column is also compared by value, which an index can serve; a long
 *  value by its digest, which keeps the statement short. */
function qfSameBytes($link, array $column, string $ident, string $value): string
{
    $exact = strlen($value) > 64
        ? 'MD5(' . qfClientBytes($column, $ident) . ")='" . md5($value) . "'"
        : qfClientBytes($column, $ident) . "=X'" . bin2hex($value) . "'";
    return qfIsText($column) ? $ident . '=' . qfValueSql($link, $column, $value) . ' AND ' . $exact : $exact;
}

/** A value's text as the SQL of the column: a BIT takes a number. */
function qfValueSql($link, array $column, string $value): string
{
    if ($column['base'] === 'bit' && preg_match('/^[0-9]{1,20}$/', $value)) {
        return $value;
    }
    return "'" . sqlEscape($link, $value) . "'";
}

/** What a blank field stores. Inserted: the column's DEFAULT when it has one
 *  or takes NULL. Updated: nothing ticked in a check-box group is the cleared
 *  value (0, ''); else NULL where allowed. Then the empty text where the
 *  column stores it, its DEFAULT, or NULL, which a NOT NULL column refuses
 *  with the page's message. */
function qfEmptySql(array $column, bool $insert, bool $checks): string
{
    if ($insert && ($column['null'] || $column['default'])) {
        return 'DEFAULT';
    }
    if ($checks && qfIsNumber($column)) {
        return '0';
    }
    if ($checks && qfTakesEmptyText($column)) {
        return "''";
    }
    if ($column['null']) {
        return 'NULL';
    }
    if (qfTakesEmptyText($column)) {
        return "''";
    }
    return $column['default'] ? 'DEFAULT' : 'NULL';
}

/** The SQL of a field's new value; a blank one by qfEmptySql. A value is
 *  blank when it is '' or, for a column without empty text, only blanks. */
function qfFieldSql($link, array $column, string $value, bool $insert, bool $checks): string
{
    $blank = qfTakesEmptyText($column) ? $value === '' : trim($value) === '';
    return $blank ? qfEmptySql($column, $insert, $checks) : qfValueSql($link, $column, $value);
}

// ---------------------------------------------------------------- rows

/** The first row that the condition names, or null. */
function qfFetchRow($link, array $table, string $where): ?array
{
    // mysqlnd gives every value as text, a BIT as its number. The columns go
    // by name: "*" leaves out INVISIBLE ones.
    $columns = $table['columns'] ? implode(',', array_map('sqlIdent', array_keys($table['columns']))) : '*';
    $exact = qfExactItems($table);
    return qfRows($link, 'SELECT ' . $columns . ($exact === '' ? '' : ',' . $exact) . ' FROM ' . $table['sql']
                  . ' WHERE ' . $where . ' LIMIT 1')[0] ?? null;
}

/** SQL giving the digest of a row's values in the columns named (all the
 *  table's by default), NULL told from the empty text: the same digest as
 *  qfRowDigest gives for the row as the client read it. */
function qfDigestSql(array $table, ?array $columns = null): string
{
    $parts = [];
    foreach ($columns ?? array_keys($table['columns']) as $column) {
        $ident = sqlIdent($column);
        $parts[] = 'IF(' . $ident . " IS NULL,'N',CONCAT('V',MD5(" . qfClientBytes(qfColumn($table, $column), $ident)
            . ')))';
    }
    return 'MD5(CONCAT(' . ($parts ? implode(',', $parts) : "''") . '))';
}

/** The digest of a row's values in the columns named, as qfDigestSql. */
function qfRowDigest($row, array $columns): string
{
    $digests = '';
    foreach ($columns as $column) {
        $value = qfExactValue($row, $column);
        $digests .= $value === null ? 'N' : 'V' . md5(qfText($value));
    }
    return md5($digests);
}

/** Whether a trigger may change a table's rows as they are updated. */
function qfHasUpdateTrigger($link, array $table): bool
{
    $rows = qfRows($link, "SELECT 1 FROM information_schema.TRIGGERS WHERE EVENT_OBJECT_SCHEMA='"
                   . sqlEscape($link, $table['db'] ?? '') . "' AND EVENT_OBJECT_TABLE='"
                   . sqlEscape($link, $table['name'] ?? '') . "' AND EVENT_MANIPULATION='UPDATE'"
                   . " AND ACTION_TIMING='BEFORE' LIMIT 1", $error);
    return $rows !== [] || $error !== null;
}

/** A condition that holds for the row $row before an update writes $set into
 *  it and still holds afterwards: its key, where the update leaves the key;
 *  else every value the update leaves and the server does not set itself
 *  (ON UPDATE, generated), or none where a trigger may change any. */
function qfSaveScope($link, array $table, array $row, array $set, array $keys, bool $keyless): string
{
    $keyWritten = array_intersect_key($set, $keys) !== [];
    $sql = '1';
    if (($keyless || $keyWritten) && qfHasUpdateTrigger($link, $table)) {
        return $sql;
    }
    foreach ($table['columns'] as $column => $about) {
        $column = (string)$column;
        $key = !$keyless && isset($keys[$column]);
        if ($about['auto'] || array_key_exists($column, $set) || (!$keyless && !$keyWritten && !$key)) {
            continue;
        }
        $value = qfExactValue($row, $column);
        $ident = sqlIdent($column);
        if ($value === null) {
            $sql .= ' AND ' . $ident . ' IS NULL';
        } elseif ($key) {
            // As the key compares, through its index.
            $sql .= ' AND ' . $ident . '=' . qfValueSql($link, $about, qfText($value));
        } else {
            $sql .= ' AND ' . qfSameBytes($link, $about, $ident, qfText($value));
        }
    }
    return $sql;
}

/** The digests of the rows the condition names, each with its count; null
 *  when they cannot be read or are too many to compare. */
function qfDigestCounts($link, array $table, string $where): ?array
{
    if (!$table['columns']) {
        return null;
    }
    $rows = qfRows($link, 'SELECT ' . qfDigestSql($table) . ' AS `digest`,COUNT(*) AS `count` FROM ' . $table['sql']
                   . ' WHERE ' . $where . ' GROUP BY 1 LIMIT 100001', $error);
    if ($error !== null || count($rows) > 100000) {
        return null;
    }
    return array_map('intval', array_column($rows, 'count', 'digest'));
}

/** "Rows matched" and "Changed" of the last UPDATE. */
function qfUpdateCounts($link): array
{
    $info = qfText(mysqli_info($link));
    if (preg_match('/Rows matched: *([0-9]+) *Changed: *([0-9]+)/', $info, $m)) {
        return [(int)$m[1], (int)$m[2]];
    }
    $changed = max(0, (int)mysqli_affected_rows($link));
    return [max(1, $changed), $changed];
}

// ---------------------------------------------------------------- keys

/** The key parameters of a row's links ("&id=3"): a NULL as name-null, an
 *  approximate number as its exact text. A long value goes as name-md5, its
 *  digest: without a key every value longer than 64 characters once
 *  URL-encoded (the row is found by a scan all the same), with a key only the
 *  longest ones while the parameters pass 1,500 characters (a key value
 *  finds its row through the key's index). Parameters that still pass 1,500
 *  characters go as qf-row, the digest of all the key values. So every link
 *  stays under 2 KB. $keys: column => form name. */
function qfKeyParams($row, array $keys, bool $keyless): string
{
    $params = [];
    $encoded = [];
    foreach ($keys as $column => $name) {
        $value = qfExactValue($row, $column);
        if ($value === null) {
            $params[$column] = '&' . $name . '-null=1';
            continue;
        }
        $encoded[$column] = urlencode(qfText($value));
        $params[$column] = '&' . $name . '=' . $encoded[$column];
    }
    $size = strlen(implode('', $params));
    uasort($encoded, fn (string $a, string $b): int => strlen($b) <=> strlen($a));
    foreach ($encoded as $column => $text) {
        if ($keyless ? strlen($text) <= 64 : $size <= 1500) {
            continue;
        }
        $digest = '&' . $keys[$column] . '-md5=' . md5(qfText(qfExactValue($row, $column)));
        $size += strlen($digest) - strlen($params[$column]);
        $params[$column] = $digest;
    }
    if ($size > 1500) {
        return '&qf-row=' . qfRowDigest($row, array_map('strval', array_keys($keys)));
    }
    return implode('', $params);
}

/** The SQL condition that names the row of the key parameters in $params
 *  (the request's query by default); see qfKeySql. */
function qfKeyCondition($link, $db, $table, array $keys, bool $keyless, ?array $params = null): string
{
    return qfKeySql($link, qfTable($link, $db, $table), $keys, $keyless, $params ?? $_GET);
}

/** The SQL condition that names the row of the key parameters in $params,
 *  NULL-safe: a missing parameter is the empty text, a malformed digest
 *  names nothing. A key value is compared as the column compares it (the
 *  key is unique that way); a row without a key is named by the exact bytes
 *  of its values; a long value by its digest. */
function qfKeySql($link, array $info, array $keys, bool $keyless, array $params): string
{
    $digest = fn (string $name): string => preg_match('/^[0-9a-f]{32}$/D', qfText($params[$name] ?? ''))
        ? qfText($params[$name]) : '';
    if (isset($params['qf-row'])) {
        return qfDigestSql($info, array_map('strval', array_keys($keys))) . "='" . $digest('qf-row') . "'";
    }
    $sql = '1';
    foreach ($keys as $column => $name) {
        $column = qfText($column);
        $ident = sqlIdent($column);
        $about = qfColumn($info, $column);
        $value = qfText($params[$name] ?? '');
        if (isset($params[$name . '-null'])) {
            $sql .= ' AND ' . $ident . ' IS NULL';
        } elseif (isset($params[$name . '-md5'])) {
            $sql .= ' AND MD5(' . qfClientBytes($about, $ident) . ")='" . $digest($name . '-md5') . "'";
        } elseif (!$keyless) {
            $sql .= ' AND ' . $ident . '=' . qfValueSql($link, $about, $value);
        } else {
            $sql .= ' AND ' . qfSameBytes($link, $about, $ident, $value);
        }
    }
    return $sql;
}

// ---------------------------------------------------------------- showing values in forms

/** Whether a value survives a form unchanged but for line ends: valid
 *  UTF-8 without NUL. NULL shows as the empty text. */
function qfIsFormText($value): bool
{
    $text = qfText($value);
    return !str_contains($text, "\0") && preg_match('//u', $text) === 1;
}

/** Whether a stored value is edited in a one-line input: a value with line
 *  breaks gets a text area, which keeps them. */
function qfShowsInLine($value): bool
{
    return !qfIsFormText($value) || strpbrk(qfText($value), "\r\n") === false;
}

/** The stored value as an input or text area shows it: escaped, '' for a
 *  value that is no form text. A text area's value begins with a line
 *  break, which the browser drops, so that a leading one of the value is
 *  kept. */
function qfFormValue($value, bool $area = false): string
{
    $text = qfIsFormText($value) ? h($value) : '';
    return $area ? "\n" . $text : $text;
}

/** Says what a value that no form can carry is ("binary, 1,234 bytes"); it
 *  stays unless the visitor types a new one. */
function qfBinaryNote($value): void
{
    if (!qfIsFormText($value)) {
        echo '<span class="qf-binary">binary, ', number_format(strlen(qfText($value))), ' bytes</span> ';
    }
}

/** The text a browser holds for a value the page printed with h(): invalid
 *  UTF-8 and NUL as U+FFFD. */
function qfBrowserText($value): string
{
    return str_replace("\0", "\u{FFFD}", htmlspecialchars_decode(h($value), ENT_QUOTES));
}

/** Line ends as a browser posts every field's value: CR LF. */
function qfCrLf(string $text): string
{
    return preg_replace('/\r\n|\r|\n/', "\r\n", $text);
}

/** A posted text area's value with the line ends of the stored text: a text
 *  written with LF alone keeps LF; otherwise as posted. */
function qfStoredLineEnds(string $posted, string $stored): string
{
    if (str_contains($stored, "\n") && !str_contains($stored, "\r")) {
        return str_replace("\r\n", "\n", $posted);
    }
    return $posted;
}

/** For a single choice (select, radio group) whose stored value is none of
 *  its items: one more choice holding that value, chosen, so that the form
 *  shows and posts back what is stored. Printed after the items: of several
 *  chosen ones a browser takes the last. */
function qfKeepChoice(string $kind, $name, $stored, array $items, $sep = ''): void
{
    $text = qfText($stored);
    if ($text === '' || in_array($text, array_map('qfText', $items), true)) {
        return;
    }
    if ($kind === 'option') {
        echo '<option value="', h($text), '" selected>', h($text), "</option>\n";
    } else {
        echo '<input name="', h($name), '" id="', h(qfText($name) . '-keep'), '" type="radio" value="', h($text),
            '" checked>', h($text), qfText($sep), "\n";
    }
}

// ---------------------------------------------------------------- what a form showed

/** What a browser posts for a choice (an option, check box or radio button)
 *  holding $value: invalid UTF-8 and NUL as U+FFFD, line ends as CR LF. */
function qfChoiceImage($value): string
{
    return qfCrLf(qfBrowserText($value));
}

/** The item a posted choice stands for: the item itself, or the one whose
 *  value the browser posts in that form; else the posted text. So a chosen
 *  item is stored as the item holds it, line ends and all. */
function qfPostedItem(string $posted, array $items): string
{
    if (in_array($posted, $items, true)) {
        return $posted;
    }
    foreach ($items as $item) {
        if (qfChoiceImage($item) === $posted) {
            return qfText($item);
        }
    }
    return $posted;
}

/** The items of a check-box group that a stored list holds, in item order;
 *  none when the list is ambiguous (see qfSetMembers). */
function qfTickedItems(string $stored, array $items): array
{
    $members = qfSetMembers($stored, $items) ?? [];
    return array_values(array_filter($items, fn ($item) => in_array($item, $members, true)));
}

/** What a form sends back for a field left as it showed $stored, in the
 *  form QfForm::postedImage gives a posted value: line ends as CR LF (a
 *  browser posts every field so), '' for a value no form carries and for a
 *  password (never shown), the text a browser holds for a choice, the ticked
 *  items of a check-box group. $field: [form name, kind]. */
function qfShownImage(array $field, $stored, array $items): string
{
    switch ($field[1]) {
    case 'password':
        return '';
    case 'file':
        return qfText($stored);
    case 'hidden':
        return qfCrLf(qfText($stored));
    case 'choice':
        return qfChoiceImage($stored);
    case 'checks':
        return serialize(qfTickedItems(qfText($stored), array_map('qfText', $items)));
    }
    return qfIsFormText($stored) ? qfCrLf(qfText($stored)) : '';
}

/** A stored value with NULL told from the empty text. */
function qfRawImage($stored): string
{
    return $stored === null ? 'N' : 'V' . qfText($stored);
}

function qfDigest(string $text): string
{
    return substr(md5($text), 0, 16);
}

/** The items of a field: the values of a choice or check-box group, read
 *  from its lookup where it has one; none for other kinds. */
function qfFieldItems($link, array $field): array
{
    $items = $field[2] ?? [];
    if (isset($items['sql'])) {
        return array_map(fn ($r) => qfItem($r, $items['value'], $items['display'])[0], qfRows($link, $items['sql']));
    }
    return array_map('qfText', $items);
}

/** The hidden fields that tell a later save what the form showed of each
 *  field ("name-shown"): digests of the stored value and of what the field
 *  sends back unchanged. $row: the row read for the form. */
function qfShownFields($link, array $fields, ?array $row): void
{
    if ($row === null) {
        return;
    }
    foreach ($fields as $column => $field) {
        $stored = $row[$column] ?? null;
        $items = $field[1] === 'checks' ? qfFieldItems($link, $field) : [];
        echo '<input type="hidden" name="', h($field[0] . '-shown'), '" value="', qfDigest(qfRawImage($stored)),
            qfDigest(qfShownImage($field, $stored, $items)), '">', "\n";
    }
}

// ---------------------------------------------------------------- the posted form

/** Whether the insert form shows what the visitor sent, after a failed
 *  insert; set by the page. */
function qfKeepPosted(?bool $keep = null): bool
{
    static $on = false;
    if ($keep !== null) {
        $on = $keep;
    }
    return $on;
}

/** An insert form's text: what the visitor sent after a failed insert,
 *  else the field's default. */
function qfKeptText($name, $default = '', bool $area = false): string
{
    $text = qfKeepPosted() ? (QfForm::posted(qfText($name)) ?? '') : qfText($default);
    return ($area ? "\n" : '') . h($text);
}

/** Prints " selected" or " checked" for the choice the visitor sent, after
 *  a failed insert. */
function qfKeptMark($name, $value, string $word): void
{
    if (qfKeepPosted() && QfForm::posted(qfText($name)) === qfChoiceImage($value)) {
        echo ' ', $word;
    }
}

/** A form being saved: the page's connection and table, the uploads it
 *  took, what went wrong. */
final class QfForm
{
    /** form name => stored path ('' when cleared); a name absent: kept. */
    public array $uploads = [];
    /** Files stored for this form, removed again when the row is not saved. */
    public array $stored = [];
    public ?string $error = null;
    /** Set by changes(): a field the visitor changed has changed in the
     *  database too since the form was shown; $conflicts names them. */
    public bool $changedMeanwhile = false;
    public array $conflicts = [];
    /** Set by update(): the row as stored after the save, null when it can
     *  no longer be told from other rows; $lost: no row had the values the
     *  save named it by, so nothing was saved. */
    public ?array $savedRow = null;
    public bool $lost = false;
    /** form name => the items of a field's lookup. */
    private array $items = [];
    /** The fields of the last changes(). */
    private array $fields = [];

    public function __construct(public $link, public array $table)
    {
        // A request beyond PHP's size limit arrives without any field.
        $limit = trim((string)ini_get('post_max_size'));
        $bytes = (int)$limit * (['K' => 1 << 10, 'M' => 1 << 20, 'G' => 1 << 30][strtoupper(substr($limit, -1))] ?? 1);
        if ($bytes > 0 && (int)($_SERVER['CONTENT_LENGTH'] ?? 0) > $bytes) {
            $this->error = 'the form was too large for the server';
        }
    }

    /** The file posted in field $field stored in folder $dir. On the update
     *  page $choice names the radio group "upload new file" (yes) or "keep
     *  old file"; without a file, "yes" clears the column. */
    public function upload(string $name, string $field, $dir, ?string $choice = null): void
    {
        if ($choice !== null && self::posted($choice) !== 'yes') {
            return;
        }
        $error = $_FILES[$field]['error'] ?? UPLOAD_ERR_NO_FILE;
        if ($error === UPLOAD_ERR_NO_FILE) {
            $this->uploads[$name] = '';
            return;
        }
        $path = $error === UPLOAD_ERR_OK ? storeUpload($field, $dir) : null;
        if ($path === null) {
            $file = basename(qfText($_FILES[$field]['name'] ?? ''));
            $this->error ??= in_array($error, [UPLOAD_ERR_INI_SIZE, UPLOAD_ERR_FORM_SIZE], true)
                ? 'the file "' . $file . '" is larger than the site takes'
                : 'the file "' . $file . '" could not be stored';
            return;
        }
        $this->uploads[$name] = $path;
        $this->stored[] = $path;
    }

    /** The posted text of a field, null when the form did not send it. */
    public static function posted(string $name): ?string
    {
        return isset($_POST[$name]) && !is_array($_POST[$name]) ? qfText($_POST[$name]) : null;
    }

    /** The items of a field (qfFieldItems), a lookup's read once. */
    public function items(array $field): array
    {
        if (!isset($field[2]['sql'])) {
            return qfFieldItems($this->link, $field);
        }
        return $this->items[$field[0]] ??= qfFieldItems($this->link, $field);
    }

    /** The ticked boxes of a check-box group, each as the item it stands for. */
    private function ticked(array $field): array
    {
        $items = $this->items($field);
        return array_map(fn ($value) => qfPostedItem($value, $items), qfCheckedValues($field[0]));
    }

    /** A field's value as posted: the joined check boxes, the chosen item,
     *  the upload, or the field's text (null: not sent). $field: [form name,
     *  kind, items]. */
    public function value(array $field): ?string
    {
        [$name, $kind] = $field;
        if ($kind === 'checks') {
            return implode(',', $this->ticked($field));
        }
        if ($kind === 'file') {
            return $this->uploads[$name] ?? null;
        }
        $posted = self::posted($name);
        return $kind === 'choice' && $posted !== null ? qfPostedItem($posted, $this->items($field)) : $posted;
    }

    /** The SQL of an inserted field's value. */
    public function insertSql($column, array $field): string
    {
        return qfFieldSql($this->link, qfColumn($this->table, $column), $this->value($field) ?? '', true,
                          $field[1] === 'checks');
    }

    /** A field's posted value in the form of qfShownImage, null when the
     *  form did not send it (a kept file among them). */
    public function postedImage(array $field): ?string
    {
        [$name, $kind] = $field;
        if ($kind === 'checks') {
            return serialize($this->ticked($field));
        }
        $posted = $kind === 'file' ? $this->value($field) : self::posted($name);
        if ($posted === null) {
            return null;
        }
        return $kind === 'file' || $kind === 'password' ? $posted : qfCrLf($posted);
    }

    /** The new value of an updated field, or null when the visitor left it
     *  as the form showed the stored value. A check-box group's stored value
     *  is a list of members unless $single (a number: 0 is none ticked). */
    public function changedValue(array $field, $stored, bool $single = false): ?string
    {
        $posted = $this->postedImage($field);
        if ($posted === null || $posted === qfShownImage($field, $stored, $this->items($field))) {
            return null;
        }
        return $this->newValue($field, $stored, $single);
    }

    /** The value a changed field writes over $stored. */
    private function newValue(array $field, $stored, bool $single): string
    {
        $kind = $field[1];
        $posted = $this->value($field) ?? '';
        $text = qfText($stored);
        if ($kind === 'checks') {
            // Members of the stored value that are no item were not shown and
            // are kept.
            $items = $this->items($field);
            $other = $single ? [] : array_diff(qfSetMembers($text, $items) ?? [], $items);
            return implode(',', array_merge($this->ticked($field), $other));
        }
        if ((in_array($kind, ['text', 'area'], true) && qfIsFormText($stored)) || $kind === 'hidden') {
            return qfStoredLineEnds($posted, $text);
        }
        return $posted;
    }

    /** What the form said it showed of a field: the digests of the stored
     *  value and of its image (see qfShownFields), or null without them. */
    private function shown(string $name): ?array
    {
        $digests = self::posted($name . '-shown');
        if ($digests === null || !preg_match('/^[0-9a-f]{32}$/D', $digests)) {
            return null;
        }
        return [substr($digests, 0, 16), substr($digests, 16)];
    }

    /** A field's caption for the page's messages. */
    private static function caption($column, array $field): string
    {
        return '"' . qfText($field['caption'] ?? $column) . '"';
    }

    /** column => SQL of every changed field of the update page; a hidden
     *  field's only with a change the visitor made. The row as it will be
     *  stored goes to $after (a DEFAULT the server fills is not known).
     *  $fields: column => [form name, kind, items, 'caption' => caption];
     *  items are a choice's or check-box group's values, or ['sql', 'value',
     *  'display'] of its lookup.
     *
     *  A field is changed when the visitor changed it from what the form
     *  showed. When the row has changed since (another visitor saved it), a
     *  field the visitor left alone is not written, whatever the row holds
     *  now, nor one that already holds what the visitor sends; and when the
     *  visitor changed a field that changed meanwhile to something else,
     *  nothing is written: $changedMeanwhile is set, $conflicts names those
     *  fields, and $after is the row as it is now with the visitor's
     *  changes. */
    public function changes(array $row, array $fields, ?array &$after = null): array
    {
        $set = [];
        $after = $row;
        $visible = false;
        $this->fields = $fields;
        $this->changedMeanwhile = false;
        $this->conflicts = [];
        foreach ($fields as $column => $field) {
            $about = qfColumn($this->table, $column);
            $stored = $row[$column] ?? null;
            $shown = $this->shown($field[0]);
            if ($shown !== null && qfDigest(qfRawImage($stored)) !== $shown[0]) {
                $posted = $this->postedImage($field);
                if ($posted === null || qfDigest($posted) === $shown[1]
                    || $posted === qfShownImage($field, $stored, $this->items($field))) {
                    continue;
                }
                if ($field[1] !== 'hidden') {
                    $this->changedMeanwhile = true;
                    $this->conflicts[] = self::caption($column, $field);
                }
                $value = $this->newValue($field, $stored, qfIsNumber($about));
            } else {
                $value = $this->changedValue($field, $stored, qfIsNumber($about));
                if ($value === null) {
                    continue;
                }
            }
            $visible = $visible || $field[1] !== 'hidden';
            $sql = qfFieldSql($this->link, $about, $value, false, $field[1] === 'checks');
            $set[$column] = $sql;
            unset($after[$column . ' ']);
            if ($sql !== 'DEFAULT') {
                $after[$column] = match ($sql) { 'NULL' => null, "''" => '', '0' => '0', default => $value };
            }
        }
        if (!$visible) {
            $after = $row;
            return [];
        }
        if ($this->changedMeanwhile) {
            $this->discardUploads();
            return [];
        }
        return $set;
    }

    /** The page's message when changes() found fields changed meanwhile. */
    public function meanwhileMessage(): string
    {
        return 'The record was changed meanwhile, so nothing was saved: ' . implode(', ', $this->conflicts)
            . (count($this->conflicts) > 1 ? ' were' : ' was') . ' changed since the form was shown. The form shows'
            . ' the record as it is now, with your changes; send it again to save them.';
    }

    /** The row as the visitor sent it, for a form shown again when the row
     *  is gone: each field's posted value, nothing for a password or file. */
    public function postedRow(array $fields): array
    {
        $row = [];
        foreach ($fields as $column => $field) {
            $row[$column] = in_array($field[1], ['password', 'file'], true) ? null : $this->value($field);
        }
        return $row;
    }

    /** Writes $set (column => SQL, from changes()) into the row $row that
     *  $where names, then finds the row as the server stored it, for the page
     *  to show and link to ($savedRow): the server may store a value
     *  otherwise than it was typed (3.5 as 3.50, a FLOAT rounded, CHAR
     *  without trailing blanks, a trigger's or ON UPDATE value), so the row
     *  is found by what it holds afterwards: of the rows that hold what the
     *  save left alone (the key, where it is not written), the one whose
     *  values were not there before. In one transaction, so that saves of
     *  others do not mix in. False when nothing was saved: $error says why,
     *  or $lost when $where names no row any more. A blank key is refused: it
     *  would move the record to another key. */
    public function update(array $row, array $set, string $where, array $keys, bool $keyless): bool
    {
        if (!$keyless) {
            foreach (array_intersect_key($set, $keys) as $column => $sql) {
                if ($sql === 'DEFAULT' || $sql === 'NULL') {
                    $this->error ??= self::caption($column, $this->fields[$column] ?? []) . ' may not be blank,'
                        . ' as it names the record';
                }
            }
        }
        if ($this->error !== null) {
            $this->discardUploads();
            return false;
        }
        $link = $this->link;
        $assignments = [];
        foreach ($set as $column => $sql) {
            $assignments[] = sqlIdent($column) . '=' . $sql;
        }
        $transaction = qfTransaction($link, 'begin');
        $scope = qfSaveScope($link, $this->table, $row, $set, $keys, $keyless);
        $before = qfDigestCounts($link, $this->table, $scope);
        if (!$this->run('UPDATE ' . $this->table['sql'] . ' SET ' . implode(',', $assignments) . ' WHERE ' . $where
                        . ' LIMIT 1')) {
            qfTransaction($link, 'rollback', $transaction);
            return false;
        }
        [$matched, $changed] = qfUpdateCounts($link);
        if ($matched === 0) {
            qfTransaction($link, 'rollback', $transaction);
            $this->discardUploads();
            $this->lost = true;
            return false;
        }
        $after = $changed > 0 ? qfDigestCounts($link, $this->table, $scope) : null;
        qfTransaction($link, 'commit', $transaction);
        if ($changed === 0) {
            // Nothing the server stores changed: the row still has its name.
            $this->savedRow = qfFetchRow($link, $this->table, $where);
            return true;
        }
        $grown = [];
        foreach ($after ?? [] as $digest => $count) {
            if ($count > ($before[$digest] ?? 0)) {
                $grown[$digest] = $count - ($before[$digest] ?? 0);
            }
        }
        $this->savedRow = $before !== null && count($grown) === 1 && reset($grown) === 1
            ? qfFetchRow($link, $this->table, $scope . ' AND ' . qfDigestSql($this->table) . "='" . key($grown) . "'")
            : null;
        return true;
    }

    /** Removes the files stored for this form: the row did not take them. */
    public function discardUploads(): void
    {
        foreach ($this->stored as $path) {
            @unlink($path);
        }
        $this->stored = [];
    }

    /** Runs a statement of the form; on failure removes the files it stored,
     *  logs the server's reason and keeps the visitor's text. */
    public function run(string $sql): bool
    {
        if ($this->error === null) {
            try {
                if (mysqli_query($this->link, $sql)) {
                    return true;
                }
                $this->error = mysqli_error($this->link);
            } catch (mysqli_sql_exception $e) {
                $this->error = $e->getMessage();
            }
            $this->error = qfServerError($this->error);
        }
        $this->discardUploads();
        return false;
    }
}

/** Begins, commits or rolls back a transaction; begin tells whether one was
 *  begun, which the others are handed. A server that cannot is no error:
 *  the statements run all the same. */
function qfTransaction($link, string $step, bool $begun = true): bool
{
    if (!$begun || !($link instanceof mysqli)) {
        return false;
    }
    try {
        return match ($step) {
            'begin' => mysqli_begin_transaction($link, MYSQLI_TRANS_START_WITH_CONSISTENT_SNAPSHOT),
            'commit' => mysqli_commit($link),
            default => mysqli_rollback($link),
        };
    } catch (mysqli_sql_exception $e) {
        return false;
    }
}

/** A reason from the server: logged, and shown to the administrator only. */
function qfServerError(string $error): string
{
    error_log('database: ' . $error);
    return isAdmin() ? $error : 'the database refused it';
}
