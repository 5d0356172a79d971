<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Menu</title>
<link rel="stylesheet" href="theme/style.css">
</head>
<body class="qf-menu">
<table class="qf-menu-table">
<!-- START BLOCK : yzt_menu -->
{yzt_menu_item}
<!-- END BLOCK : yzt_menu -->
</table>
</body>
</html>
