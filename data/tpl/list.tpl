<?php
require_once 'general/dbinfo.php';
require_once 'general/functions.php';
if ('{yzt_page_right}' === '1') requireAdmin();

$link = {yzt_db_link};
$rowsPerPage = (int)'{yzt_row_number}';
if ($rowsPerPage < 1) $rowsPerPage = 20;
$pageWidth = '{yzt_page_width}' . ('{yzt_page_width_type}' === '%' ? '%' : 'px');

// Sorting: only by a listed field, only ascending or descending.
$sortable = array(
<!-- START BLOCK : yzt_shorting_block -->
    '{yzt_short_field}',
<!-- END BLOCK : yzt_shorting_block -->
);
$sortField = requestValue('qf_sort');
$sortDir = strtoupper(requestValue('qf_dir')) === 'DESC' ? 'DESC' : 'ASC';
if (requestValue('qf_sort_asc') !== '') {
    $sortField = requestValue('qf_sort_asc');
    $sortDir = 'ASC';
}
if (requestValue('qf_sort_desc') !== '') {
    $sortField = requestValue('qf_sort_desc');
    $sortDir = 'DESC';
}
if (!in_array($sortField, $sortable, true)) $sortField = '';

// Filtering: one condition per filled filter field.
$filterSql = '';
$tempmode = 'LIKE';
$tmpm = '%';
<!-- START BLOCK : yzt_filter_block -->
       {yzt_filter_item}
<!-- END BLOCK : yzt_filter_block -->
$selectSql = '{yzt_select_sql_part_one}' . '{yzt_filter_part_one}' . $filterSql;

// Paging. The count stops after $countCap rows, so a large table costs no
// more than one of that size. Where the order is total (by the key, or by a
// column and then the key), Previous, Next and Last fetch by key: the rows
// after the last row shown or before the first, read through an index. A
// page number asked for, and an order without a key, go by offset.
$countCap = 10000;
// Lookup joins: join, alias prefix, database, table and value field.
$lookupJoins = array(
{yzt_lookup_joins});
// Columns the page sorts or pages by: SQL name, how a value is written into
// SQL ('' not at all) and the most bytes of a value the server sorts on.
$seekColumns = array(
{yzt_seek_columns});
$keyFields = array({yzt_key_fields});

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
$countFrom = '{yzt_count_sql_part_one}';
foreach ($lookupJoins as [$join, $alias, $lookupDb, $lookupTable, $valueField]) {
    // A unique value field neither adds nor drops rows: the count leaves the
    // join out unless a filter reads the joined table.
    $unique = qfListUniqueField($link, $lookupDb, $lookupTable, $valueField);
    if (!$unique) $keyPaging = false;
    if (!$unique || str_contains($filterSql, $alias)) $countFrom .= $join;
}
if ($keyPaging && $sortBytes > 0) {
    // The server sorts long values on their first max_sort_length bytes only.
    $setting = mysqli_query($link, 'SELECT @@max_sort_length');
    $setting = $setting ? mysqli_fetch_row($setting) : null;
    $keyPaging = $setting !== null && (int)$setting[0] >= $sortBytes;
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
$countResult = mysqli_query($link, 'SELECT COUNT(*) FROM (' . $countFrom . '{yzt_filter_part_one}' . $filterSql
    . ($exact ? '' : ' LIMIT ' . ($countCap + 1)) . ') AS `qf_rows`');
if ($countResult) {
    $countRow = mysqli_fetch_row($countResult);
    $rowCount = (int)($countRow[0] ?? 0);
} else {
    $error = qfServerError(mysqli_error($link));
}
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

function yztListSortButtons(string $field): void
{
    $value = h($field);
    echo '<button type="submit" name="qf_sort_asc" value="', $value, '" title="Sort ascending">&#9650;</button> ',
        '<button type="submit" name="qf_sort_desc" value="', $value, '" title="Sort descending">&#9660;</button>';
}
?>
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{yzt_page_title_name}</title>
<link rel="stylesheet" href="theme/style.css">
<style>
table[data-align="center" i] { margin-left: auto; margin-right: auto; }
table[data-align="right" i] { margin-left: auto; margin-right: 0; }
table.qfPageTable { margin-bottom: 1em; }
</style>
</head>
<body class="qf-page">
<form name="yztListForm" id="yztListForm" method="post">
<input type="hidden" name="qf_sort" value="<?php echo h($sortField); ?>">
<input type="hidden" name="qf_dir" value="<?php echo h($sortDir); ?>">
<input type="hidden" name="qf_page" value="<?php echo $page; ?>">
<?php if ($keyPaging && $rows) { ?>
<input type="hidden" name="qf_first" value="<?php echo h(qfListCursor($rows[0], $order)); ?>">
<input type="hidden" name="qf_last" value="<?php echo h(qfListCursor($rows[count($rows) - 1], $order)); ?>">
<input type="hidden" name="qf_state" value="<?php echo $state; ?>">
<?php } ?>
<table class="qfPageTable" data-align="{yzt_page_align}" style="width: <?php echo h($pageWidth); ?>">
<tr class="cssHeader"><td colspan="2">{yzt_table_caption}: search</td></tr>
<!-- START BLOCK : yzt_filter_area -->
<tr class="csstr1"><td class="cssDetailText">{yzt_insert_filter_caption}</td><td>{yzt_insert_filter_row}</td></tr>
<!-- END BLOCK : yzt_filter_area -->
<tr class="csstr1"><td colspan="2"><input type="submit" name="qf_search" value="Search"></td></tr>
</table>
<table class="qfPageTable" data-align="{yzt_page_align}" style="width: <?php echo h($pageWidth); ?>">
<tr class="cssHeader"><td colspan="{yzt_column_number}">{yzt_table_caption} &nbsp; <a href="{yzt_insert_page}">Add a record</a></td></tr>
<tr class="cssHeader">
<!-- START BLOCK : yzt_list_headers_1row -->
<th>{yzt_list_1input_1row}</th>
<!-- END BLOCK : yzt_list_headers_1row -->
<th colspan="3">&nbsp;</th>
</tr>
<tr class="cssHeader">
<!-- START BLOCK : yzt_list_headers_2row -->
<td><?php yztListSortButtons('{yzt_list_1input_2row}'); ?></td>
<!-- END BLOCK : yzt_list_headers_2row -->
<td colspan="3">&nbsp;</td>
</tr>
<?php if ($error !== '') { ?>
<tr class="csstr1"><td colspan="{yzt_column_number}" class="qf-error">The records could not be read: <?php echo h($error); ?></td></tr>
<?php } ?>
<?php foreach ($rows as $Resultset) { ?>
<tr class="csstr1">
<!-- START BLOCK : yzt_list_value -->
<td><?php {yzt_act_field} ?></td>
<!-- END BLOCK : yzt_list_value -->
<td><a href="{yzt_page_url}_detail.php?<?php echo h("qf_key={yzt_table_key_field}"); ?>">Detail</a></td>
<td><a href="{yzt_page_url}_update.php?<?php echo h("qf_key={yzt_table_key_field}"); ?>">Update</a></td>
<td><a href="{yzt_page_url}_delete.php?<?php echo h("qf_key={yzt_table_key_field}"); ?>">Delete</a></td>
</tr>
<?php } ?>
<tr class="csstr1"><td colspan="{yzt_column_number}">
<?php echo $pageText; ?>
<?php if ($hasPrev) { ?>
<button type="submit" name="qf_goto" value="1">First</button>
<button type="submit" name="qf_move" value="prev">Previous</button>
<?php } ?>
<?php if ($hasNext) { ?>
<button type="submit" name="qf_move" value="next">Next</button>
<button type="submit" name="qf_move" value="last">Last</button>
<?php } ?>
</td></tr>
</table>
</form>
</body>
</html>
