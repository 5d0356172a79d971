<?php
// Paging of the list pages. Where the order is total (by the key, or by a
// column and then the key), Previous, Next and Last fetch the rows after the
// last row shown or before the first by their values, through an index,
// instead of counting past every earlier row.
//
// Included by functions.php, which every page includes.

/** The column's value as SQL in the way $kind says; null when it cannot be. */
function qfListLiteral($link, string $kind, string $value): ?string
{
    if ($kind === 'n') return preg_match('/^-?[0-9]+(\.[0-9]+)?$/D', $value) ? $value : null;
    if ($kind === 'b') return "X'" . bin2hex($value) . "'";
    if ($kind === 's') return "'" . sqlEscape($link, $value) . "'";
    return null;
}

/** The condition for the rows after the row with these values in the order
 *  (each column: SQL name, kind, descending), or before it when $reverse;
 *  NULL sorts first ascending, last descending. Null when a value cannot be
 *  written. */
function qfListAfter($link, array $order, array $values, bool $reverse): ?string
{
    $terms = array();
    $same = '';
    foreach ($order as $i => [$sql, $kind, $desc]) {
        $value = $values[$i];
        $desc = $desc !== $reverse;
        if ($value === null) {
            if (!$desc) $terms[] = $same . $sql . ' IS NOT NULL';
            $same .= $sql . ' IS NULL AND ';
            continue;
        }
        $literal = qfListLiteral($link, $kind, $value);
        if ($literal === null) return null;
        $terms[] = $same . ($desc ? '(' . $sql . ' < ' . $literal . ' OR ' . $sql . ' IS NULL)' : $sql . ' > ' . $literal);
        $same .= $sql . ' = ' . $literal . ' AND ';
    }
    return $terms ? '(' . implode(' OR ', $terms) . ')' : '0';
}

function qfListOrder(array $order, bool $reverse): string
{
    $parts = array();
    foreach ($order as [$sql, , $desc]) $parts[] = $sql . ($desc !== $reverse ? ' DESC' : ' ASC');
    return $parts ? ' ORDER BY ' . implode(', ', $parts) : '';
}

/** A row's values in the order's columns, for a hidden field: hex, "-" for NULL. */
function qfListCursor(array $row, array $order): string
{
    $parts = array();
    foreach ($order as $column) {
        $value = $row[$column[3]] ?? null;
        $parts[] = $value === null ? '-' : bin2hex((string)$value);
    }
    return implode(',', $parts);
}

/** The values of a cursor of $count columns; null for anything else. */
function qfListValues(string $cursor, int $count): ?array
{
    $values = array();
    foreach (explode(',', $cursor) as $part) {
        if ($part !== '-' && (strlen($part) % 2 !== 0 || !preg_match('/^[0-9a-f]*$/D', $part))) return null;
        $values[] = $part === '-' ? null : hex2bin($part);
    }
    return count($values) === $count ? $values : null;
}

/** Whether a unique index of the table consists of the field alone. */
function qfListUniqueField($link, string $db, string $table, string $field): bool
{
    $result = mysqli_query($link, 'SHOW INDEX FROM ' . sqlIdent($db) . '.' . sqlIdent($table));
    if (!$result) return false;
    $indexes = array();
    while ($index = mysqli_fetch_assoc($result)) {
        if ((string)$index['Non_unique'] === '0') $indexes[$index['Key_name']][] = strtolower($index['Column_name']);
    }
    mysqli_free_result($result);
    return in_array(array(strtolower($field)), $indexes, true);
}

/** The rows of a SELECT; none, with $error set, when it fails. */
function qfListRows($link, string $sql, string &$error): array
{
    $result = mysqli_query($link, $sql);
    if (!$result) {
        $error = qfServerError(mysqli_error($link));
        return array();
    }
    $rows = mysqli_fetch_all($result, MYSQLI_ASSOC);
    mysqli_free_result($result);
    return $rows;
}
