<?php
require_once 'general/dbinfo.php';
require_once 'general/functions.php';
if ('{yzt_page_right}' === '1') requireAdmin();

$link = {yzt_db_link};
$pageWidth = '{yzt_page_width}' . ('{yzt_page_width_type}' === '%' ? '%' : 'px');
$message = '';
$failed = false;
if (($_SERVER['REQUEST_METHOD'] ?? '') === 'POST') {
    // A blank field stores the column's own empty: its DEFAULT, else NULL.
    $qfForm = new QfForm($link, {yzt_qf_table});
<!-- START BLOCK : yzt_insert_file_fields -->
    {yzt_insert_file_code}
<!-- END BLOCK : yzt_insert_file_fields -->
    $sql = "INSERT INTO {yzt_sql_table} (
<!-- START BLOCK : yzt_insert_sql_fields -->
{yzt_insert_field_name}
<!-- END BLOCK : yzt_insert_sql_fields -->
) VALUES ("
<!-- START BLOCK : yzt_insert_sql_field_values -->
{yzt_insert_field_str}
<!-- END BLOCK : yzt_insert_sql_field_values -->
.")";
    if ($qfForm->run($sql)) {
        $message = 'The record was added.';
{yzt_insert_send_mail}
    } else {
        // The form shows what the visitor sent, to be sent again.
        $message = 'The record could not be added: ' . $qfForm->error . '.';
        $failed = true;
        qfKeepPosted(true);
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
<script>
function yztCheckForm()
{
    var ok = true;
<!-- START BLOCK : yzt_script -->
    ok = ok && {yzt_script_item}
<!-- END BLOCK : yzt_script -->
    return ok;
}
</script>
</head>
<body class="qf-page">
<form name="yztInsertForm" id="yztInsertForm" method="post" enctype="multipart/form-data" onsubmit="return yztCheckForm();">
<table data-align="{yzt_page_align}" style="width: <?php echo h($pageWidth); ?>">
<tr class="cssHeader"><td colspan="2">{yzt_table_name_caption}: add a record</td></tr>
<?php if ($message !== '') { ?>
<tr class="csstr1"><td colspan="2"<?php if ($failed) echo ' class="qf-error"'; ?>><?php echo h($message); ?></td></tr>
<?php } ?>
<!-- START BLOCK : yzt_insert_fields -->
<tr class="csstr1" data-field="{yzt_field_name}">
<td class="cssDetailText">{yzt_caption} {yzt_tooltip_event}</td>
<td>{yzt_html_input_item}</td>
</tr>
<!-- END BLOCK : yzt_insert_fields -->
<tr class="csstr1"><td colspan="2">
<!-- START BLOCK : yzt_insert_hidden_fields -->
{yzt_html_hidden_input_item}
<!-- END BLOCK : yzt_insert_hidden_fields -->
<input type="submit" value="Save"> &nbsp; <a href="{yzt_page_url}_list.php">Back to the list</a>
</td></tr>
</table>
</form>
</body>
</html>
