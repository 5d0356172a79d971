<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{yzt_page_title_name}</title>
<link rel="stylesheet" href="theme/style.css">
</head>
<body class="qf-site">
<header class="qf-top">{yzt_page_title_name}</header>
<div class="qf-frames">
<iframe class="qf-menu-frame" src="menu.php" name="menuFrame" title="Tables"></iframe>
<iframe class="qf-main-frame" src="left.html" name="mainFrame" title="Page"></iframe>
</div>
</body>
</html>
