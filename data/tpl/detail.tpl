<?php
require_once 'general/dbinfo.php';
require_once 'general/functions.php';
if ('{yzt_page_right}' === '1') requireAdmin();

$link = {yzt_db_link};
$pageWidth = '{yzt_page_width}' . ('{yzt_page_width_type}' === '%' ? '%' : 'px');

// The row to show, named by the key parameters of the address.
$Resultset = qfFetchRow($link, {yzt_qf_table}, {yzt_key});
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
td.qf-value { white-space: pre-wrap; }
</style>
</head>
<body class="qf-page">
<table data-align="{yzt_page_align}" style="width: <?php echo h($pageWidth); ?>">
<tr class="cssHeader"><td colspan="2">{yzt_table_name_caption}: record</td></tr>
<?php if (is_array($Resultset)) { ?>
<!-- START BLOCK : yzt_detail_block -->
<tr class="csstr1" data-field="{yzt_field_name}"><td class="cssDetailText">{yzt_field_caption}</td><td class="qf-value"><?php {yzt_detail_data} ?></td></tr>
<!-- END BLOCK : yzt_detail_block -->
<tr class="csstr1"><td colspan="2">
<a href="{yzt_page_url}_update.php?<?php echo h("qf_key={yzt_table_key_field}"); ?>">Update</a> &nbsp;
<a href="{yzt_page_url}_delete.php?<?php echo h("qf_key={yzt_table_key_field}"); ?>">Delete</a> &nbsp;
<a href="{yzt_page_url}_list.php">Back to the list</a>
</td></tr>
<?php } else { ?>
<tr class="csstr1"><td colspan="2">The record was not found. <a href="{yzt_page_url}_list.php">Back to the list</a></td></tr>
<?php } ?>
</table>
</body>
</html>
