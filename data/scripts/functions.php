<?php
// Support functions of the generated pages. Every value printed here is
// HTML-escaped, every value put into SQL is escaped, every identifier quoted.

if (session_status() === PHP_SESSION_NONE && !headers_sent()) {
    session_start([
        'cookie_httponly' => true,
        'cookie_samesite' => 'Lax',
        'use_strict_mode' => true,
    ]);
}

/** A request or database value as text: null, arrays and objects without
 *  a text form give ''. */
function qfText($v): string
{
    if ($v === null || is_array($v)) {
        return '';
    }
    if (is_bool($v)) {
        return $v ? '1' : '';
    }
    if (is_scalar($v) || (is_object($v) && method_exists($v, '__toString'))) {
        return (string)$v;
    }
    return '';
}

/** HTML text or attribute value. */
function h($v): string
{
    return htmlspecialchars(qfText($v), ENT_QUOTES | ENT_SUBSTITUTE, 'UTF-8');
}

/** Body of a SQL string literal in single quotes. */
function sqlEscape($link, $v): string
{
    $text = qfText($v);
    if ($link instanceof mysqli) {
        return mysqli_real_escape_string($link, $text);
    }
    // No connection to ask: the same escapes the server's own function uses
    // for UTF-8 connections.
    return strtr($text, [
        "\\" => "\\\\", "\0" => "\\0", "\n" => "\\n", "\r" => "\\r",
        "'" => "\\'", '"' => '\\"', "\x1a" => "\\Z",
    ]);
}

/** A text matched literally by LIKE: its wildcards and escape escaped. */
function qfLikeText($v): string
{
    return addcslashes(qfText($v), '\\%_');
}

/** SQL identifier in backticks. */
function sqlIdent($name): string
{
    return '`' . str_replace('`', '``', qfText($name)) . '`';
}

/** The posted value of a field, else the query parameter, else ''. */
function requestValue($name): string
{
    return qfText($_POST[$name] ?? $_GET[$name] ?? '');
}

function isAdmin(): bool
{
    return isset($_SESSION['qf_admin']) && $_SESSION['qf_admin'] === true;
}

/** Sends a visitor who is not logged in as administrator to the login page,
 *  which brings him back to this page afterwards. */
function requireAdmin(): void
{
    if (isAdmin()) {
        return;
    }
    // The page name encoded: it may hold "?", "#" or "&".
    $page = rawurlencode(basename(qfText($_SERVER['SCRIPT_NAME'] ?? ($_SERVER['PHP_SELF'] ?? ''))));
    $query = qfText($_SERVER['QUERY_STRING'] ?? '');
    $back = $page . ($query !== '' ? '?' . $query : '');
    $url = 'general/login.php?back=' . rawurlencode($back);
    if (!headers_sent()) {
        header('Location: ' . $url);
    }
    echo '<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"><title>Login</title></head><body>',
        '<p>Please <a href="', h($url), '">log in</a>.</p></body></html>';
    exit;
}

/** Where the login page (in general/) sends the visitor back to: a page of
 *  the site given as "name.php" (URL-encoded) with an optional query, or null
 *  for anything else (other folders, other sites, schemes). */
function loginBackTarget($back): ?string
{
    $back = qfText($back);
    $pos = strpos($back, '?');
    $encoded = $pos === false ? $back : substr($back, 0, $pos);
    $query = $pos === false ? '' : substr($back, $pos + 1);
    $page = rawurldecode($encoded);
    if (str_contains($encoded, '#') || $page === '' || $page[0] === '.' || !str_ends_with($page, '.php')
        || preg_match('~[/\\\\:\x00-\x1f\x7f]~', $page)) {
        return null;
    }
    // Keep the query's own escapes; encode whatever a URL may not hold.
    $query = preg_replace_callback(
        "~[^A-Za-z0-9\\-._\\~!$&'()*+,;=:@/?%]~",
        static fn (array $m): string => rawurlencode($m[0]),
        $query
    );
    return '../' . rawurlencode($page) . ($query !== '' ? '?' . $query : '');
}

/** The rows of a SELECT as associative arrays; none when it fails, and
 *  then $error holds the server's reason. */
function qfRows($link, $sql, ?string &$error = null): array
{
    $error = null;
    if (!($link instanceof mysqli)) {
        $error = 'no connection';
        return [];
    }
    try {
        $result = mysqli_query($link, qfText($sql));
        if (!($result instanceof mysqli_result)) {
            $error = mysqli_error($link);
            return [];
        }
    } catch (mysqli_sql_exception $e) {
        $error = $e->getMessage();
        return [];
    }
    $rows = mysqli_fetch_all($result, MYSQLI_ASSOC);
    mysqli_free_result($result);
    return $rows;
}

/** Value and text of a lookup row; the text stands for the value when the
 *  lookup has no value field. */
function qfItem(array $row, $valueField, $displayField): array
{
    $text = qfText($row[qfText($displayField)] ?? '');
    $value = qfText($valueField) === '' ? $text : qfText($row[qfText($valueField)] ?? '');
    return [$value, $text];
}

/** Whether $value is $stored or one of its comma-separated members (SET).
 *  With the group's $items, members are read as qfSetMembers reads them, so
 *  that an item holding commas is one member; an ambiguous list has none. */
function isValueSet($stored, $value, ?array $items = null): bool
{
    $stored = qfText($stored);
    $value = qfText($value);
    if ($items !== null) {
        return in_array($value, qfSetMembers($stored, array_map('qfText', $items)) ?? [], true);
    }
    if ($stored === $value) {
        return true;
    }
    return in_array($value, explode(',', $stored), true);
}

/** The members of a comma-separated list of values (a SET, or the ticked
 *  items of a check-box group), read against the group's $items, which may
 *  hold commas: of every way to cut the list into items and comma-free other
 *  members, the one with the fewest other members. So the items "a", "a,b"
 *  and "b,c" read "a,b,c" as "a" and "b,c", and "Smith, John" and "Smith"
 *  read "Smith, John,Doe" as two members. Null when two ways tie (items "a",
 *  "b" and "a,b" in "a,b"): nobody can tell what was ticked. */
function qfSetMembers(string $stored, array $items): ?array
{
    if ($stored === '') {
        return [];
    }
    $items = array_values(array_unique(array_filter($items, fn ($item) => $item !== '')));
    $length = strlen($stored);
    $starts = [0];
    for ($at = strpos($stored, ','); $at !== false; $at = strpos($stored, ',', $at + 1)) {
        $starts[] = $at + 1;
    }
    // From the last member back: for the list from each start on, the fewest
    // other members, in how many ways (counted up to 2), and the members.
    $best = [];
    foreach (array_reverse($starts) as $at) {
        $ways = [];
        foreach ($items as $item) {
            $end = $at + strlen($item);
            if ($end <= $length && ($end === $length || $stored[$end] === ',')
                && substr_compare($stored, $item, $at, strlen($item)) === 0) {
                $ways[] = [0, $item, $end];
            }
        }
        $comma = strpos($stored, ',', $at);
        $end = $comma === false ? $length : $comma;
        $piece = substr($stored, $at, $end - $at);
        if (!in_array($piece, $items, true)) {
            $ways[] = [1, $piece, $end];
        }
        $found = null;
        foreach ($ways as [$other, $member, $end]) {
            [$others, $count, $members] = $end === $length ? [0, 1, []] : $best[$end + 1];
            $others += $other;
            if ($found === null || $others < $found[0]) {
                $found = [$others, $count, array_merge([$member], $members)];
            } elseif ($others === $found[0]) {
                $found[1] = min(2, $found[1] + $count);
            }
        }
        $best[$at] = $found;
    }
    return $best[0][1] === 1 ? $best[0][2] : null;
}

/** Whether an item of a single choice (select, radio group) is the stored
 *  value: only the item equal to it, whatever commas it holds. */
function qfIsChosen($stored, $value): bool
{
    return qfText($stored) === qfText($value);
}

/** $name: the select's name, whose posted value is chosen again after a
 *  failed insert. */
function getComboItemsFromDb($link, $sql, $valueField, $displayField, $name = null): void
{
    foreach (qfRows($link, $sql) as $row) {
        [$value, $text] = qfItem($row, $valueField, $displayField);
        echo '<option value="', h($value), '"';
        if ($name !== null) {
            qfKeptMark($name, $value, 'selected');
        }
        echo '>', h($text), "</option>\n";
    }
}

/** The options with the stored value chosen; a stored value that is none of
 *  them is offered too (an empty one first), so that the select shows and
 *  posts back what is stored. */
function getValueComboItemsFromDb($link, $sql, $valueField, $displayField, $current): void
{
    $items = array_map(fn ($row) => qfItem($row, $valueField, $displayField), qfRows($link, $sql));
    $current = qfText($current);
    if ($current === '' && !in_array('', array_column($items, 0), true)) {
        echo '<option value="" selected>Please select!</option>', "\n";
    }
    foreach ($items as [$value, $text]) {
        $selected = qfIsChosen($current, $value) ? ' selected' : '';
        echo '<option value="', h($value), '"', $selected, '>', h($text), "</option>\n";
    }
    qfKeepChoice('option', '', $current, array_column($items, 0));
}

/** Check boxes (named name-i1, name-i2, ...) or radio buttons (named name)
 *  from a lookup; $sep is HTML put after each. $current is the stored value
 *  on the update page, null on the insert page, which after a failed insert
 *  checks what the visitor sent. */
function qfChoiceItems(string $type, $link, $sql, $valueField, $displayField, $name, $current, $sep): void
{
    $name = qfText($name);
    $checks = $type === 'checkbox';
    $items = array_map(fn ($row) => qfItem($row, $valueField, $displayField), qfRows($link, $sql));
    $values = array_column($items, 0);
    $members = $checks && $current !== null ? qfSetMembers(qfText($current), $values) ?? [] : [];
    $i = 0;
    foreach ($items as [$value, $text]) {
        $i++;
        $id = $name . ($checks ? '-i' : '-r') . $i;
        $field = $checks ? $id : $name;
        echo '<input type="', $type, '" name="', h($field), '" id="', h($id), '" class="csscombo" value="', h($value),
            '"';
        if ($current !== null) {
            $checked = $checks ? in_array($value, $members, true) : qfIsChosen($current, $value);
            echo $checked ? ' checked' : '';
        } else {
            qfKeptMark($field, $value, 'checked');
        }
        echo '><label for="', h($id), '">', h($text), '</label>', qfText($sep), "\n";
    }
    if (!$checks && $current !== null) {
        qfKeepChoice('radio', $name, $current, $values, $sep);
    }
}

function getCheckboxItemsFromDb($link, $sql, $valueField, $displayField, $name, $sep): void
{
    qfChoiceItems('checkbox', $link, $sql, $valueField, $displayField, $name, null, $sep);
}

function getValueCheckboxItemsFromDb($link, $sql, $valueField, $displayField, $name, $current,
                                     $sep): void
{
    qfChoiceItems('checkbox', $link, $sql, $valueField, $displayField, $name, qfText($current), $sep);
}

function getRadioItemsFromDb($link, $sql, $valueField, $displayField, $name, $sep): void
{
    qfChoiceItems('radio', $link, $sql, $valueField, $displayField, $name, null, $sep);
}

function getValueRadioItemsFromDb($link, $sql, $valueField, $displayField, $name, $current,
                                  $sep): void
{
    qfChoiceItems('radio', $link, $sql, $valueField, $displayField, $name, qfText($current), $sep);
}

/** The posted check boxes $name-i1, $name-i2, ... joined with "," in index
 *  order (the SET format); '' when none is checked. The raw value: callers
 *  escape it for SQL. */
function getCheckboxValue($name): string
{
    return implode(',', qfCheckedValues($name));
}

/** The values of the posted check boxes $name-i1, $name-i2, ... in index
 *  order. */
function qfCheckedValues($name): array
{
    $prefix = qfText($name) . '-i';
    $values = [];
    foreach ($_POST as $key => $value) {
        $key = (string)$key;
        if (!str_starts_with($key, $prefix)) {
            continue;
        }
        $index = substr($key, strlen($prefix));
        // Only the indexes the pages write: 1, 2, ... without leading zeros.
        if (!preg_match('/^[1-9][0-9]*$/', $index) || is_array($value)) {
            continue;
        }
        $values[(int)$index] = qfText($value);
    }
    ksort($values, SORT_NUMERIC);
    return array_values($values);
}

/** Prints a value as HTML text; one that is no text (bytes that are not
 *  UTF-8) as what it is. */
function writeHtmlText($value): void
{
    if (!qfIsFormText($value)) {
        echo 'binary, ', number_format(strlen(qfText($value))), ' bytes';
        return;
    }
    $text = h($value);
    echo $text === '' ? '&nbsp;' : $text;
}

/** Prints the display field of the lookup row whose value field is $value. */
function writeHtmlTextFromDB($link, $db, $table, $valueField, $value, $displayField): void
{
    if (!($link instanceof mysqli)) {
        return;
    }
    $sql = 'SELECT ' . sqlIdent($displayField) . ' AS `qf_text` FROM ' . sqlIdent($db) . '.' . sqlIdent($table)
        . ' WHERE ' . sqlIdent($valueField) . "='" . sqlEscape($link, $value) . "' LIMIT 1";
    $rows = qfRows($link, $sql);
    if ($rows) {
        echo h($rows[0]['qf_text']);
    }
}

/** Sends a change notification. Header fields lose their line breaks, so no
 *  header can be smuggled in; without a working mailer nothing happens. */
function qfMail($to, $subject, $body, $from): bool
{
    $clean = static fn ($v): string => trim(preg_replace('/[\r\n]+/', ' ', qfText($v)));
    $to = $clean($to);
    $subject = $clean($subject);
    $from = $clean($from);
    if ($to === '' || !function_exists('mail')) {
        return false;
    }
    $sendmail = trim((string)ini_get('sendmail_path'));
    $program = $sendmail === '' ? '' : strtok($sendmail, ' ');
    if (DIRECTORY_SEPARATOR === '/' && ($program === false || $program === '' || !is_executable($program))) {
        return false;
    }
    if (preg_match('/[^\x20-\x7e]/', $subject)) {
        $subject = '=?UTF-8?B?' . base64_encode($subject) . '?=';
    }
    $headers = ['Content-Type' => 'text/plain; charset=UTF-8'];
    if ($from !== '') {
        $headers['From'] = $from;
    }
    return @mail($to, $subject, qfText($body), $headers);
}

/** Stores the file uploaded in field $field in folder $dir under a cleaned
 *  name, numbered when it is taken; the stored path, or null when nothing was
 *  uploaded or it failed. */
function storeUpload($field, $dir): ?string
{
    $file = $_FILES[qfText($field)] ?? null;
    if (!is_array($file) || !is_string($file['tmp_name'] ?? null) || !is_string($file['name'] ?? null)
        || ($file['error'] ?? UPLOAD_ERR_NO_FILE) !== UPLOAD_ERR_OK || !is_uploaded_file($file['tmp_name'])) {
        return null;
    }
    // Trailing dots and blanks are dropped as Windows servers drop them: "a.php. " is "a.php".
    $name = rtrim(preg_replace('/[^A-Za-z0-9._-]/', '', basename($file['name'])), '.');
    if ($name === '' || $name[0] === '.') {
        return null;
    }
    // A stored file must never run as code on the server, nor as a page or
    // script in a browser, when it is fetched from the site. Only passive
    // types keep their name: pictures, PDF, plain text, office documents and
    // archives. Every other name, one without an extension among them,
    // becomes a text file ("x.php" is stored as "x_php.txt", "x" as "x.txt"):
    // a server or browser that knows nothing of an extension may run the file
    // as a page. No dot stays inside the name either, since some servers run
    // "x.php.jpg" as a script.
    static $passive = ['jpg', 'jpeg', 'png', 'gif', 'webp', 'bmp', 'ico', 'tif', 'tiff', 'pdf', 'txt', 'csv', 'rtf',
                       'doc', 'docx', 'xls', 'xlsx', 'ppt', 'pptx', 'odt', 'ods', 'odp', 'zip', 'gz', 'bz2',
                       '7z', 'rar', 'tar'];
    $dot = strrpos($name, '.');
    if ($dot !== false && in_array(strtolower(substr($name, $dot + 1)), $passive, true)) {
        $name = str_replace('.', '_', substr($name, 0, $dot)) . substr($name, $dot);
    } else {
        $name = str_replace('.', '_', $name) . '.txt';
    }
    $dir = qfText($dir);
    if ($dir === '') {
        $dir = '.';
    }
    if (!is_dir($dir) && !@mkdir($dir, 0775, true) && !is_dir($dir)) {
        return null;
    }
    // A name already taken gets a number before its extension (photo.jpg,
    // photo_1.jpg, ...), so no record loses its file to another one. The
    // name is claimed by creating the file, which two uploads cannot both do.
    $dot = strrpos($name, '.');
    $stem = $dot === false ? $name : substr($name, 0, $dot);
    $extension = $dot === false ? '' : substr($name, $dot);
    $base = rtrim($dir, '/');
    for ($i = 0; ; $i++) {
        $stored = $stem . ($i === 0 ? '' : '_' . $i) . $extension;
        $target = $base . '/' . $stored;
        $claim = @fopen($target, 'x');
        if ($claim !== false) {
            fclose($claim);
            break;
        }
        if ($i >= 10000 || !file_exists($target)) {
            return null;
        }
    }
    if (!@move_uploaded_file($file['tmp_name'], $target)) {
        @unlink($target);
        return null;
    }
    return $dir === '.' ? $stored : $target;
}

require_once __DIR__ . '/records.php';
require_once __DIR__ . '/paging.php';
