<?php
require_once 'general/dbinfo.php';
require_once 'general/functions.php';
if ('{yzt_page_right}' === '1') requireAdmin();

$link = {yzt_db_link};
$keySql = {yzt_key};
$message = '';
$done = false;
// Nothing is deleted before the visitor confirms with the posted form.
if (($_SERVER['REQUEST_METHOD'] ?? '') === 'POST' && requestValue('qf_confirm') === 'yes') {
    if (mysqli_query($link, "DELETE FROM {yzt_sql_table} WHERE ".$keySql." LIMIT 1")) {
        $done = true;
        if (mysqli_affected_rows($link) > 0) {
            $message = 'The record was deleted.';
{yzt_delete_send_mail}
        } else {
            $message = 'The record was not found.';
        }
    } else {
        $message = 'The record could not be deleted: ' . qfServerError(mysqli_error($link)) . '.';
    }
}
?>
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Delete a record</title>
<link rel="stylesheet" href="theme/style.css">
</head>
<body class="qf-page">
<div class="qf-welcome">
<?php if ($message !== '') { ?>
<p<?php if (!$done) echo ' class="qf-error"'; ?>><?php echo h($message); ?></p>
<?php } ?>
<?php if (!$done) { ?>
<form name="yztDeleteForm" id="yztDeleteForm" method="post">
<p>Delete this record of the table {yzt_table_name}?</p>
<p><button type="submit" name="qf_confirm" value="yes">Delete</button> &nbsp;
<a href="{yzt_page_url}_list.php">Cancel</a></p>
</form>
<?php } else { ?>
<p><a href="{yzt_page_url}_list.php">Back to the list</a></p>
<?php } ?>
</div>
</body>
</html>
