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
    $indexes = array();
    foreach (qfRows($link, 'SHOW INDEX FROM ' . sqlIdent($db) . '.' . sqlIdent($table)) as $index) {
        if ((string)$index['Non_unique'] === '0') $indexes[$index['Key_name']][] = strtolower($index['Column_name']);
    }
    return in_array(array(strtolower($field)), $indexes, true);
}

/** The rows of a SELECT; none, with $error set to the page's text, when it
 *  fails. */
function qfListRows($link, string $sql, string &$error): array
{
    $rows = qfRows($link, $sql, $reason);
    if ($reason !== null) $error = qfServerError($reason);
    return $rows;
}

/** One page of a list: the rows the request asks for (a page number, or
 *  Previous, Next or Last from the page shown) and how to show them.
 *
 *  The count stops after 10,000 rows, so a large table costs no more than one
 *  of that size. Where the order is total (by the key, or by a column and
 *  then the key), Previous, Next and Last fetch by key: the rows after the
 *  last row shown or before the first, read through an index. A page number
 *  asked for, and an order without a key, go by offset.
 *
 *  $list: perPage, select (the SELECT with its filter), count (the FROM part
 *  the count needs), where and filter (its conditions), sort and dir (the
 *  sorted field, '' for none, and ASC or DESC), joins (each lookup join:
 *  join, alias prefix, database, table and value field), seek (each field
 *  the page sorts or pages by: SQL name, how a value is written into SQL, ''
 *  not at all, and the most bytes of a value the server sorts on) and keys
 *  (the key fields). The answer: rows, page, text ("Page 2 of 5 ..."), prev
 *  and next (whether there are such pages), error, and for paging by key
 *  first, last and state, which the page sends back in hidden fields. */
function qfListPage($link, array $list): array
{
    $countCap = 10000;
    $rowsPerPage = $list['perPage'];
    $selectSql = $list['select'];
    $filterSql = $list['filter'];
    $sortField = $list['sort'];
    $sortDir = $list['dir'];
    $seekColumns = $list['seek'];
    $keyFields = $list['keys'];

    // The order: the sorted column, then the key in the same direction, so that
    // rows with equal values keep one order on every page; by the key alone
    // unless sorted.
    $order = array();
    $desc = $sortField !== '' && $sortDir === 'DESC';
    foreach (array_merge($sortField === '' ? array() : array($sortField), $keyFields) as $field) {
        if (!isset($order[$field])) $order[$field] = array($seekColumns[$field][0], $seekColumns[$field][1], $desc, $field);
    }
    $order = array_values($order);
    $orderSql = qfListOrder($order, false);

    // Key paging needs a key, values the server compares as it sorts them, and
    // rows that no join repeats.
    $keyPaging = $keyFields !== array();
    $sortBytes = 0;
    foreach ($order as [, $kind, , $field]) {
        if ($kind === '') $keyPaging = false;
        $sortBytes = max($sortBytes, $seekColumns[$field][2]);
    }
    $countFrom = $list['count'];
    foreach ($list['joins'] as [$join, $alias, $lookupDb, $lookupTable, $valueField]) {
        // A unique value field neither adds nor drops rows: the count leaves the
        // join out unless a filter reads the joined table.
        $unique = qfListUniqueField($link, $lookupDb, $lookupTable, $valueField);
        if (!$unique) $keyPaging = false;
        if (!$unique || str_contains($filterSql, $alias)) $countFrom .= $join;
    }
    if ($keyPaging && $sortBytes > 0) {
        // The server sorts long values on their first max_sort_length bytes only.
        $setting = qfRows($link, 'SELECT @@max_sort_length AS `length`');
        $keyPaging = $setting !== [] && (int)$setting[0]['length'] >= $sortBytes;
    }

    // What is asked for: a page number (qf_goto), or a move from the page shown
    // (qf_page, counted from the end when negative). A button pressed on the
    // page counts before the address's query.
    $asked = isset($_POST['qf_goto']) || isset($_POST['qf_move']) ? $_POST : $_GET;
    $goto = qfText($asked['qf_goto'] ?? '');
    $move = $goto === '' ? qfText($asked['qf_move'] ?? '') : '';
    // Numbers far past any table stay numbers when multiplied by the page size.
    $page = max(-1000000000, min(1000000000, (int)($goto === '' ? requestValue('qf_page') : $goto)));
    if (!in_array($move, array('next', 'prev', 'last'), true)) {
        $move = 'page';
        if ($goto === '') $page = 1;
    }
    if ($page === 0) $page = 1;
    // The rows shown before count only under the same filter and order.
    $state = md5($sortField . "\n" . $sortDir . "\n" . $filterSql);
    $cursor = null;
    if ($keyPaging && ($move === 'next' || $move === 'prev') && requestValue('qf_state') === $state) {
        $values = qfListValues(requestValue($move === 'next' ? 'qf_last' : 'qf_first'), count($order));
        if ($values !== null) $cursor = qfListAfter($link, $order, $values, $move === 'prev');
    }
    if ($cursor === null && ($move === 'next' || $move === 'prev')) {
        $page += $move === 'next' ? 1 : -1;
        $move = 'page';
    }

    $error = '';
    $rowCount = 0;
    // Offsets from the end need the whole count.
    $exact = !$keyPaging && ($move === 'last' || $page < 0 || $page > intdiv($countCap, $rowsPerPage));
    $counted = qfListRows($link, 'SELECT COUNT(*) AS `count` FROM (' . $countFrom . $list['where'] . $filterSql
        . ($exact ? '' : ' LIMIT ' . ($countCap + 1)) . ') AS `qf_rows`', $error);
    $rowCount = (int)($counted[0]['count'] ?? 0);
    $known = $exact || $rowCount <= $countCap;
    $pageCount = max(1, (int)ceil($rowCount / $rowsPerPage));
    if ($known && $page < 0) $page += $pageCount + 1;

    // Each step shows its page or hands over to a later one. Forward fetches
    // read one row more, to know whether a next page follows.
    $rows = array();
    $hasPrev = false;
    $hasNext = false;
    $limit = ' LIMIT ' . ($rowsPerPage + 1);
    if ($error === '' && $move === 'next') {
        $rows = qfListRows($link, $selectSql . ' AND ' . $cursor . $orderSql . $limit, $error);
        $hasPrev = true;
        $page = $page > 0 ? $page + 1 : min(-1, $page + 1);
        if (!$rows) $move = 'last';
    }
    if ($error === '' && $move === 'prev') {
        if ($page < 0 || $page > 2) {
            $rows = array_reverse(qfListRows($link, $selectSql . ' AND ' . $cursor . qfListOrder($order, true) . $limit, $error));
        }
        if (count($rows) > $rowsPerPage) {
            array_shift($rows);
            $hasPrev = $hasNext = true;
            $page--;
        } else {
            // At the start: the first page, full.
            $move = 'page';
            $page = 1;
        }
    }
    if ($error === '' && $move === 'page') {
        $page = max(1, $known ? min($page, $pageCount) : $page);
        $rows = qfListRows($link, $selectSql . $orderSql . ' LIMIT ' . (($page - 1) * $rowsPerPage) . ', ' . ($rowsPerPage + 1), $error);
        $hasPrev = $page > 1;
        if (!$rows && $page > 1) $move = 'last';
    }
    if ($error === '' && $move === 'last') {
        if ($keyPaging) {
            $lastRows = $known ? $rowCount - ($pageCount - 1) * $rowsPerPage : $rowsPerPage;
            $rows = array_reverse(qfListRows($link, $selectSql . qfListOrder($order, true) . ' LIMIT ' . ($lastRows + 1), $error));
            $hasPrev = count($rows) > $lastRows;
            if ($hasPrev) array_shift($rows);
            $page = $known ? $pageCount : -1;
        } else {
            $page = $pageCount;
            $rows = qfListRows($link, $selectSql . $orderSql . ' LIMIT ' . (($page - 1) * $rowsPerPage) . ', ' . ($rowsPerPage + 1), $error);
            $hasPrev = $page > 1;
        }
    }
    if (count($rows) > $rowsPerPage) {
        array_pop($rows);
        $hasNext = true;
    }
    if ($known) $page = $hasNext ? max(1, min($page, $pageCount)) : $pageCount;
    if ($known) {
        $pageText = 'Page ' . $page . ' of ' . $pageCount . ' (' . $rowCount . ' records)';
    } else {
        $pageText = ($page > 0 ? 'Page ' . $page : ($page === -1 ? 'Last page' : 'Page ' . -$page . ' from the end'))
            . ' of more than ' . intdiv($countCap, $rowsPerPage) . ' (more than ' . $countCap . ' records)';
    }

    $keyed = $keyPaging && $rows;
    return ['rows' => $rows, 'page' => $page, 'text' => $pageText, 'prev' => $hasPrev, 'next' => $hasNext,
            'error' => $error, 'state' => $keyed ? $state : null,
            'first' => $keyed ? qfListCursor($rows[0], $order) : null,
            'last' => $keyed ? qfListCursor($rows[count($rows) - 1], $order) : null];
}
