<?php
// Checks of the generated site's support scripts, run by SupportScriptsTest:
//   php support_checks.php SITE SECTION
// SITE holds general/ with the support scripts (and, for some sections, the
// generated dbinfo.php or login.php) and prelude.php, which sets what the
// C++ side built. Every failed check prints a FAIL line; the end prints DONE.

$site = $argv[1];
$section = $argv[2];

function check(string $what, $actual, $expected): void
{
    if ($actual !== $expected) {
        echo 'FAIL ', $what, ': got ', var_export($actual, true), ' expected ', var_export($expected, true), "\n";
    }
}

function printed(callable $f): string
{
    ob_start();
    $f();
    return ob_get_clean();
}

require $site . '/general/functions.php';
require $site . '/prelude.php';

switch ($section) {
case 'functions':
    check('h markup', h("<a href='x'>&\""), '&lt;a href=&#039;x&#039;&gt;&amp;&quot;');
    check('h null', h(null), '');
    check('h array', h(['x']), '');
    check('h bad utf-8', h("a\xffb"), "a\u{FFFD}b");
    check('sqlIdent', sqlIdent('a`b'), '`a``b`');
    check('sqlEscape without link', sqlEscape(null, "O'Brien\\\0\n\""), "O\\'Brien\\\\\\0\\n\\\"");
    check('sqlEscape array', sqlEscape(null, ['x']), '');
    check('sqlValue text', sqlValue(null, "it's"), "'it\\'s'");
    check('sqlValue empty text', sqlValue(null, ''), "''");
    check('sqlValue empty number', sqlValue(null, ' ', 'NULL'), 'NULL');
    check('sqlValue zero', sqlValue(null, '0', 'NULL'), "'0'");
    check('sqlValue cleared flag', sqlValue(null, '', '0'), '0');

    $_POST = ['a' => 'posted', 'arr' => ['x'], 'n' => 0];
    $_GET = ['a' => 'query', 'b' => 'only query'];
    check('request post first', requestValue('a'), 'posted');
    check('request query', requestValue('b'), 'only query');
    check('request array', requestValue('arr'), '');
    check('request number', requestValue('n'), '0');
    check('request missing', requestValue('zz'), '');

    check('set member', isValueSet('red,blue', 'blue'), true);
    check('set prefix is no member', isValueSet('red,blue', 're'), false);
    check('set whole value', isValueSet("it's", "it's"), true);
    check('set number', isValueSet(5, '5'), true);
    check('set null', isValueSet(null, 'x'), false);

    $_POST = ['c_10' => 'ten', 'c_3' => 'blue', 'c_1' => 'red', 'c_2' => ['no'], 'c_x' => 'no', 'cc_1' => 'no',
              'c_' => 'no', 'c_01' => 'one'];
    check('checkbox value', getCheckboxValue('c'), 'red,blue,ten');
    check('checkbox none', getCheckboxValue('d'), '');

    check('writeHtmlText', printed(fn () => writeHtmlText("<b>\"x\"</b> & 'y'")),
          '&lt;b&gt;&quot;x&quot;&lt;/b&gt; &amp; &#039;y&#039;');
    check('writeHtmlText empty', printed(fn () => writeHtmlText('')), '&nbsp;');
    check('writeHtmlText zero', printed(fn () => writeHtmlText('0')), '0');
    // Without a connection the lookups print nothing and do not warn.
    check('combo without link', printed(fn () => getComboItemsFromDb(null, 'SELECT 1', 'a', 'b')), '');
    check('text without link', printed(fn () => writeHtmlTextFromDB(false, 'shop', 'city', 'id', 1, 'name')), '');

    check('back plain', loginBackTarget('shop_city_list.php'), '../shop_city_list.php');
    check('back query', loginBackTarget('shop_city_update.php?id=3&lang=de'), '../shop_city_update.php?id=3&lang=de');
    check('back query encoded', loginBackTarget("p.php?x=a b\"<"), '../p.php?x=a%20b%22%3C');
    check('back utf-8', loginBackTarget('Zürich_t_list.php'), '../Z%C3%BCrich_t_list.php');
    check('back encoded', loginBackTarget('a%20%22%23%3F%26%C3%BC.php?x=1'), '../a%20%22%23%3F%26%C3%BC.php?x=1');
    foreach (['', '//evil.example/x.php', 'http://evil.example/x.php', '/etc/x.php', '../x.php', '.x.php',
              'a/b.php', 'a%2Fb.php', "a\\b.php", 'javascript:x.php', "x\r\n.php", 'x.html', 'x.php#y',
              '?a.php'] as $bad) {
        check('back refused ' . json_encode($bad), loginBackTarget($bad), null);
    }

    // Files that did not come with this request are never moved.
    $_FILES = ['f' => ['name' => 'x.txt', 'tmp_name' => __FILE__, 'error' => UPLOAD_ERR_OK, 'size' => 1]];
    check('upload not uploaded', storeUpload('f', sys_get_temp_dir()), null);
    check('upload missing', storeUpload('g', sys_get_temp_dir()), null);

    // The administrator passes, everybody else goes to the login page.
    $_SESSION['qf_admin'] = true;
    requireAdmin();
    $_SESSION['qf_admin'] = 'yes';
    check('admin needs true', isAdmin(), false);
    $_SERVER['SCRIPT_NAME'] = '/site/shop_c?#ty_update.php';
    $_SERVER['QUERY_STRING'] = 'id=3&x=1';
    register_shutdown_function(function () {
        $page = ob_get_clean();
        $link = 'href="general/login.php?back=shop_c%253F%2523ty_update.php%3Fid%3D3%26x%3D1"';
        check('login link', str_contains($page, $link), true);
        echo "DONE\n";
    });
    ob_start();
    requireAdmin();
    echo "FAIL requireAdmin returned\n";
    break;

case 'fragments':
    // The generated key condition, key parameters and lookup SELECT, as PHP reads them.
    check('key condition', $cond, "1 AND `id`='1\\' OR \\'1\\'=\\'1' AND `it's \$x`='a\\\\b'");
    check('key url', $url, 'detail.php?k=1&id=a+b%26c%3Dd&it-27s-20-24x=');
    check('lookup', $sql,
          "SELECT DISTINCT `name` ,`id` FROM `my-db`.`ci``ty` WHERE `name` NOT LIKE 'O''B\\\\%' ORDER BY `name` DESC");
    break;

case 'lookups':
    mysqli_report(MYSQLI_REPORT_OFF);
    $link = mysqli_connect(getenv('QF_TEST_DB_HOST'), getenv('QF_TEST_DB_USER'), getenv('QF_TEST_DB_PASSWORD'), 'shop',
                           (int)getenv('QF_TEST_DB_PORT'));
    $link->set_charset('utf8mb4');
    $all = 'SELECT `name`, `id` FROM `shop`.`city` WHERE `id` IN (1, 5) ORDER BY `id`';
    check('combo', printed(fn () => getComboItemsFromDb($link, $all, 'id', 'name')),
          "<option value=\"1\">Zürich</option>\n<option value=\"5\">L&#039;Aquila</option>\n");
    check('combo without value field', printed(fn () => getComboItemsFromDb($link, $all, '', 'name')),
          "<option value=\"Zürich\">Zürich</option>\n<option value=\"L&#039;Aquila\">L&#039;Aquila</option>\n");
    check('combo selected', printed(fn () => getValueComboItemsFromDb($link, $all, 'id', 'name', '5')),
          "<option value=\"1\">Zürich</option>\n<option value=\"5\" selected>L&#039;Aquila</option>\n");
    check('check boxes', printed(fn () => getValueCheckboxItemsFromDb($link, $all, 'id', 'name', 'c', '1,3', '<br>')),
          '<input type="checkbox" name="c_1" id="c_1" class="csscombo" value="1" checked><label for="c_1">'
          . "Zürich</label><br>\n"
          . '<input type="checkbox" name="c_2" id="c_2" class="csscombo" value="5"><label for="c_2">'
          . "L&#039;Aquila</label><br>\n");
    check('radios', printed(fn () => getRadioItemsFromDb($link, $all, 'id', 'name', 'r', '')),
          '<input type="radio" name="r" id="r_1" class="csscombo" value="1"><label for="r_1">Zürich</label>' . "\n"
          . '<input type="radio" name="r" id="r_2" class="csscombo" value="5"><label for="r_2">L&#039;Aquila</label>'
          . "\n");
    check('bad SQL prints nothing', printed(fn () => getComboItemsFromDb($link, 'SELECT nonsense FROM', 'a', 'b')), '');
    check('text from db', printed(fn () => writeHtmlTextFromDB($link, 'shop', 'customer', 'id', 5, 'name')),
          'Ana &lt;b&gt;Souza&lt;/b&gt;');
    check('text from db quote', printed(fn () => writeHtmlTextFromDB($link, 'shop', 'city', 'name', "L'Aquila", 'id')),
          '5');
    check('text from db injection',
          printed(fn () => writeHtmlTextFromDB($link, 'shop', 'customer', 'id', "x' OR '1'='1", 'name')), '');
    check('text from reserved table', printed(fn () => writeHtmlTextFromDB($link, 'shop', 'order', 'id', 2, 'key')),
          'A-0002');
    break;

case 'mail':
    if ($message === '') {
        check('no mailer', qfMail('to@example.com', 's', 'b', 'f@example.com'), false);
        break;
    }
    check('mail sent', qfMail("to@example.com\r\nBcc: a@evil.example", "Hi\nBcc: b@evil.example", "Body\nBcc: body",
                              "from@example.com\r\nBcc: c@evil.example"), true);
    $text = str_replace("\r\n", "\n", file_get_contents($message));
    check('no injected header', preg_match('/^Bcc:/mi', explode("\n\n", $text, 2)[0]), 0);
    check('from kept', str_contains($text, 'From: from@example.com Bcc: c@evil.example'), true);
    check('body kept', str_contains($text, "Body\nBcc: body"), true);
    check('no recipient', qfMail('', 's', 'b', 'f'), false);
    break;

case 'connection':
    // dbinfo.php ends the request with a short page when a database is out of reach.
    register_shutdown_function(function () use ($expected) {
        $page = ob_get_clean();
        check('message', str_contains($page, 'Could not connect to the database &quot;my-db&quot;'), true);
        check('no warning', str_contains($page, 'Warning'), false);
        // The plain texts arrive in PHP unchanged; only my-db, the first
        // database, was reached before the request ended.
        check('settings', [$GLOBALS['qfDbHost'], $GLOBALS['qfDbUser'], $GLOBALS['qfDbPassword'], $GLOBALS['qfDbPort'],
                           $GLOBALS['dbname_my-db'] ?? null, isset($GLOBALS['MyDb_my-db']),
                           isset($GLOBALS['dbname_shop'])], $expected);
        echo "DONE\n";
    });
    ob_start();
    require $site . '/general/dbinfo.php';
    echo "FAIL went on\n";
    break;

case 'login':
    // Without an administrator name nobody logs in, not even with empty fields.
    $_SERVER['REQUEST_METHOD'] = 'POST';
    $_POST = ['qf_name' => '', 'qf_pass' => '', 'back' => ''];
    $page = printed(function () use ($site) { require $site . '/general/login.php'; });
    check('not admin', isAdmin(), false);
    check('message', str_contains($page, 'No administrator is set up for this site.'), true);
    break;
}
echo "DONE\n";
