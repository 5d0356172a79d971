<?php
require_once __DIR__ . '/functions.php';

// The administrator of this site, as set up in the project.
$qfAdminName = "{yzt_user_name}";
$qfAdminPass = "{yzt_user_pass}";

$qfBack = requestValue('back');
$qfMessage = '';

if (($_SERVER['REQUEST_METHOD'] ?? '') === 'POST') {
    $qfName = requestValue('qf_name');
    $qfPass = requestValue('qf_pass');
    // Without an administrator name nobody may log in, not even with empty fields.
    if ($qfAdminName !== '' && hash_equals($qfAdminName, $qfName) && hash_equals($qfAdminPass, $qfPass)) {
        if (session_status() === PHP_SESSION_ACTIVE && !headers_sent()) {
            session_regenerate_id(true);
        }
        $_SESSION['qf_admin'] = true;
        // Back only to a page of this site.
        header('Location: ' . (loginBackTarget($qfBack) ?? '../left.html'));
        exit;
    }
    $qfMessage = $qfAdminName === '' ? 'No administrator is set up for this site.' : 'Wrong name or password.';
}
?>
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Login</title>
<link rel="stylesheet" href="../theme/style.css">
</head>
<body>
<main class="qf-login">
<h1>Login</h1>
<?php if ($qfMessage !== ''): ?>
<p class="qf-error"><?php echo h($qfMessage); ?></p>
<?php elseif (isAdmin()): ?>
<p class="qf-note">You are logged in as administrator.</p>
<?php endif; ?>
<form method="post" action="login.php">
<input type="hidden" name="back" value="<?php echo h($qfBack); ?>">
<p><label for="qf_name">Name</label><br>
<input class="cssInput" type="text" name="qf_name" id="qf_name" autocomplete="username" required></p>
<p><label for="qf_pass">Password</label><br>
<input class="cssInput" type="password" name="qf_pass" id="qf_pass" autocomplete="current-password"></p>
<p><button type="submit">Log in</button></p>
</form>
</main>
</body>
</html>
