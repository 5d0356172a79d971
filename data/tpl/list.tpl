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
$selectSql = qfSelectExact('{yzt_select_sql_part_one}', {yzt_qf_table}, '{yzt_row_qualifier}')
    . '{yzt_filter_part_one}' . $filterSql;

// Paging (qfListPage of the site's scripts).
$list = qfListPage($link, array(
    'perPage' => $rowsPerPage,
    'select' => $selectSql,
    'count' => '{yzt_count_sql_part_one}',
    'where' => '{yzt_filter_part_one}',
    'filter' => $filterSql,
    'sort' => $sortField,
    'dir' => $sortDir,
    'joins' => array(
{yzt_lookup_joins}),
    'seek' => array(
{yzt_seek_columns}),
    'keys' => array({yzt_key_fields}),
));

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
<input type="hidden" name="qf_page" value="<?php echo $list['page']; ?>">
<?php if ($list['state'] !== null) { ?>
<input type="hidden" name="qf_first" value="<?php echo h($list['first']); ?>">
<input type="hidden" name="qf_last" value="<?php echo h($list['last']); ?>">
<input type="hidden" name="qf_state" value="<?php echo $list['state']; ?>">
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
<?php if ($list['error'] !== '') { ?>
<tr class="csstr1"><td colspan="{yzt_column_number}" class="qf-error">The records could not be read: <?php echo h($list['error']); ?></td></tr>
<?php } ?>
<?php foreach ($list['rows'] as $Resultset) { ?>
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
<?php echo $list['text']; ?>
<?php if ($list['prev']) { ?>
<button type="submit" name="qf_goto" value="1">First</button>
<button type="submit" name="qf_move" value="prev">Previous</button>
<?php } ?>
<?php if ($list['next']) { ?>
<button type="submit" name="qf_move" value="next">Next</button>
<button type="submit" name="qf_move" value="last">Last</button>
<?php } ?>
</td></tr>
</table>
</form>
</body>
</html>
