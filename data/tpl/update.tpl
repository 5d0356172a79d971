<?php
require_once 'general/dbinfo.php';
require_once 'general/functions.php';
if ('{yzt_page_right}' === '1') requireAdmin();

$link = {yzt_db_link};
$qfTable = {yzt_qf_table};
$keySql = {yzt_key};
$pageWidth = '{yzt_page_width}' . ('{yzt_page_width_type}' === '%' ? '%' : 'px');
$message = '';
$failed = false;

// The row to edit, named by the key parameters of the address; the links
// and the form carry its key.
$Resultset = qfFetchRow($link, $qfTable, $keySql);
$qfKeyQuery = "qf_key={yzt_table_key_field}";
$qfFields = array(
<!-- START BLOCK : yzt_update_sql -->
    {yzt_coma}{yzt_update_field_name} => {yzt_update_field_str}
<!-- END BLOCK : yzt_update_sql -->
);
// The row the form says it shows (qfShownFields): what a later save
// compares the visitor's fields with.
$qfShownRow = $Resultset;
$qfSaved = false;
$qfLost = false;

// Only the fields the visitor changed are written.
if (($_SERVER['REQUEST_METHOD'] ?? '') === 'POST') {
    $qfForm = new QfForm($link, $qfTable);
    if ($Resultset === null) {
        // The key names no row any more: nothing is saved.
        $qfLost = true;
    } else {
<!-- START BLOCK : yzt_update_file_fields -->
        {yzt_update_file_code}
<!-- END BLOCK : yzt_update_file_fields -->
        $qfSet = $qfForm->changes($Resultset, $qfFields, $qfAfter);
        if ($qfFields === []) {
            $message = 'There is nothing to save on this page.';
            $failed = true;
        } elseif ($qfForm->changedMeanwhile) {
            // Another visitor saved a field this visitor changed: the form shows
            // the record as it is now, with this visitor's changes, to be sent again.
            $message = $qfForm->meanwhileMessage();
            $failed = true;
            $Resultset = $qfAfter;
        } elseif ($qfSet === [] && $qfForm->error === null) {
            $message = 'Nothing was changed, so nothing was saved.';
        } elseif ($qfForm->update($Resultset, $qfSet, $keySql, {yzt_key_columns})) {
            $message = 'The record was saved.';
{yzt_update_send_mail}
            // The row as stored now, which a change of a key field moved.
            $Resultset = $qfForm->savedRow;
            if ($Resultset === null) {
                $message = 'The record was saved, but can no longer be shown: the page cannot tell it from other records by what it holds now.';
            }
            $qfShownRow = $Resultset;
            $qfKeyQuery = "qf_key={yzt_table_key_field}";
            $qfSaved = true;
        } elseif ($qfForm->lost) {
            $qfLost = true;
        } else {
            // The form shows what the visitor sent, to be sent again.
            $message = 'The record could not be saved: ' . $qfForm->error . '.';
            $failed = true;
            $Resultset = $qfAfter;
        }
    }
    if ($qfLost) {
        // Someone changed the values the address names the row by, or
        // deleted it: the form shows what the visitor sent, so that nothing
        // typed is lost, and sends it to the same address again.
        $message = 'The record could not be saved: it no longer holds the values it was opened with, as it was changed or deleted meanwhile. The form shows what you sent; open the record again from the list to save it.';
        $failed = true;
        $Resultset = $qfForm->postedRow($qfFields);
        $qfShownRow = null;
        $qfKeyQuery = qfText($_SERVER['QUERY_STRING'] ?? '');
    }
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
</style>
<script src="scripts/checks.js"></script>
<script src="scripts/tooltip.js"></script>
</head>
<body class="qf-page">
<form name="yztUpdateForm" id="yztUpdateForm" method="post" enctype="multipart/form-data" action="?<?php echo h($qfKeyQuery); ?>">
<table data-align="{yzt_page_align}" style="width: <?php echo h($pageWidth); ?>">
<tr class="cssHeader"><td colspan="2">{yzt_table_name_caption}: edit a record</td></tr>
<?php if ($message !== '') { ?>
<tr class="csstr1"><td colspan="2"<?php if ($failed) echo ' class="qf-error"'; ?>><?php echo h($message); ?></td></tr>
<?php } ?>
<?php if (is_array($Resultset)) { ?>
<!-- START BLOCK : yzt_update_fields -->
<tr class="csstr1" data-field="{yzt_field_name}">
<td class="cssDetailText">{yzt_caption} {yzt_tooltip_event}</td>
<td>{yzt_html_update_item}</td>
</tr>
<!-- END BLOCK : yzt_update_fields -->
<tr class="csstr1"><td colspan="2">
<!-- START BLOCK : yzt_update_hidden_fields -->
{yzt_html_hidden_update_item}
<!-- END BLOCK : yzt_update_hidden_fields -->
<?php qfShownFields($link, $qfFields, $qfShownRow); ?>
<input type="submit" value="Save"> &nbsp;
<?php if (!$qfLost) { ?>
<a href="{yzt_page_url}_detail.php?<?php echo h($qfKeyQuery); ?>">Detail</a> &nbsp;
<a href="{yzt_page_url}_delete.php?<?php echo h($qfKeyQuery); ?>">Delete</a> &nbsp;
<?php } ?>
<a href="{yzt_page_url}_list.php">Back to the list</a>
</td></tr>
<?php } elseif ($qfSaved) { ?>
<tr class="csstr1"><td colspan="2"><a href="{yzt_page_url}_list.php">Back to the list</a></td></tr>
<?php } else { ?>
<tr class="csstr1"><td colspan="2">The record was not found. <a href="{yzt_page_url}_list.php">Back to the list</a></td></tr>
<?php } ?>
</table>
</form>
</body>
</html>
