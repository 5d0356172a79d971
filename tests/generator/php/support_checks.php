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
    check('like text', qfLikeText('50%_a\\b'), '50\\%\\_a\\\\b');

    // What a field's value stores, by the server's description of the
    // column: [type, nullable, has a default], the value, then the SQL when
    // inserted, updated, and for a check-box group inserted and updated.
    $column = fn (string $type, bool $null, bool $default): array => [
        'base' => preg_replace('/[^a-z0-9].*$/s', '', $type), 'type' => $type, 'null' => $null,
        'default' => $default];
    foreach ([
        [['varchar(10)', true, false], '', ['DEFAULT', 'NULL', 'DEFAULT', "''"]],
        [['varchar(10)', false, false], '', ["''", "''", "''", "''"]],
        [['varchar(10)', false, true], '', ['DEFAULT', "''", 'DEFAULT', "''"]],
        [['varchar(10)', false, false], ' ', ["' '", "' '", "' '", "' '"]],
        [['text', false, false], "it's", ["'it\\'s'", "'it\\'s'", "'it\\'s'", "'it\\'s'"]],
        [['int(11)', false, false], ' ', ['NULL', 'NULL', '0', '0']],
        [['int(11)', false, true], '', ['DEFAULT', 'DEFAULT', 'DEFAULT', '0']],
        [['int(11) unsigned', true, false], '', ['DEFAULT', 'NULL', 'DEFAULT', '0']],
        [['int(11)', false, false], '0', ["'0'", "'0'", "'0'", "'0'"]],
        [['bit(1)', false, false], '1', ['1', '1', '1', '1']],
        [['bit(1)', false, false], '', ['NULL', 'NULL', '0', '0']],
        [['bit(8)', true, false], 'x', ["'x'", "'x'", "'x'", "'x'"]],
        [['date', false, false], '', ['NULL', 'NULL', 'NULL', 'NULL']],
        [['timestamp', false, true], '', ['DEFAULT', 'DEFAULT', 'DEFAULT', 'DEFAULT']],
        [["enum('a','b')", true, false], '', ['DEFAULT', 'NULL', 'DEFAULT', 'NULL']],
        [["enum('a','b')", false, true], '', ['DEFAULT', 'DEFAULT', 'DEFAULT', 'DEFAULT']],
        [["enum('','a')", false, false], '', ["''", "''", "''", "''"]],
        [["set('a','b')", true, false], '', ['DEFAULT', 'NULL', 'DEFAULT', "''"]],
        [['binary(14)', true, false], '', ['DEFAULT', 'NULL', 'DEFAULT', "''"]],
        [['inet6', false, false], '', ['NULL', 'NULL', 'NULL', 'NULL']],
        [['inet6', true, false], '', ['DEFAULT', 'NULL', 'DEFAULT', 'NULL']],
    ] as [$c, $value, $expected]) {
        $info = $column(...$c);
        $what = 'field sql ' . json_encode([$c, $value]);
        check($what, [qfFieldSql(null, $info, $value, true, false), qfFieldSql(null, $info, $value, false, false),
                      qfFieldSql(null, $info, $value, true, true), qfFieldSql(null, $info, $value, false, true)],
              $expected);
    }
    check('unknown column takes its text', qfFieldSql(null, qfColumn(['columns' => []], 'x'), 'v', false, false),
          "'v'");

    check('form text', array_map('qfIsFormText', [null, '', "a\r\nb", "\xfe\xff", "a\0b", "Zürich"]),
          [true, true, true, false, false, true]);
    check('in line', array_map('qfShowsInLine', [null, 'a', "a\nb", "a\rb", "\xff\n"]), [true, true, false, false, true]);
    check('browser text', qfBrowserText("a\xffb\0<"), "a\u{FFFD}b\u{FFFD}<");
    check('area value', qfFormValue("\nx<", true), "\n\nx&lt;");
    check('binary value', qfFormValue("\xfe\xff"), '');
    check('line ends', [qfCrLf("a\nb\rc\r\nd"), qfStoredLineEnds("x\r\ny", "a\nb"),
                        qfStoredLineEnds("x\r\ny", "a\r\nb"), qfStoredLineEnds("x\r\ny", 'ab')],
          ["a\r\nb\r\nc\r\nd", "x\ny", "x\r\ny", "x\r\ny"]);
    check('binary note', printed(fn () => qfBinaryNote(str_repeat("\xff", 1234))),
          '<span class="qf-binary">binary, 1,234 bytes</span> ');
    check('keep option', printed(fn () => qfKeepChoice('option', 'f', 'x"y', ['a', 'b'])),
          "<option value=\"x&quot;y\" selected>x&quot;y</option>\n");
    check('no keep option', printed(fn () => qfKeepChoice('option', 'f', 'a', ['a', 'b'])
                                          . qfKeepChoice('radio', 'f', null, ['a'])), '');
    check('keep radio', printed(fn () => qfKeepChoice('radio', 'f', 'red,blue', ['red', 'blue'], '<br>')),
          "<input name=\"f\" id=\"f-keep\" type=\"radio\" value=\"red,blue\" checked>red,blue<br>\n");

    // A form beyond PHP's size limit arrives empty and fails; an empty form
    // within it (nothing ticked, nothing typed) is no error. PHP's limit: 8M.
    $_POST = $_FILES = [];
    foreach ([[9 << 20, 'the form was too large for the server'], [60, null]] as [$length, $error]) {
        $_SERVER['CONTENT_LENGTH'] = (string)$length;
        check('form size ' . $length, (new QfForm(null, ['sql' => '', 'columns' => []]))->error, $error);
    }
    unset($_SERVER['CONTENT_LENGTH']);

    // What the update page writes of a field: the posted value against the
    // stored one, as the browser hands each kind of field back (null: kept).
    $form = new QfForm(null, ['sql' => '', 'columns' => []]);
    $bytes = "\x1f\x8b\x08\0\xfe\xff";
    foreach ([
        ['text', 'abc', 'abc', null], ['text', 'abc', 'abd', 'abd'], ['text', null, '', null],
        ['text', '', '', null], ['text', null, 'x', 'x'], ['text', 'a b ', 'a b', 'a b'],
        ['text', "l1\nl2", "l1\r\nl2", null], ['text', "l1\nl2", "l1\r\nl3", "l1\nl3"],
        ['text', $bytes, '', null], ['text', $bytes, 'new', 'new'],
        ['area', "a\nb", "a\r\nb", null], ['area', "a\r\nb", "a\r\nb", null], ['area', "a\rb", "a\r\nb", null],
        ['area', "a\nb\n", "a\r\nb", "a\nb"], ['area', "a\r\nb", "a\r\nc", "a\r\nc"], ['area', null, '', null],
        ['area', 'x', "x\r\ny", "x\r\ny"], ['area', $bytes, '', null],
        ['password', 'secret', '', null], ['password', 'secret', 'new', 'new'],
        ['hidden', '2020-01-01', '2020-01-01', null], ['hidden', '2020-01-01', '2021', '2021'],
        ['choice', null, '', null], ['choice', 'a', 'a', null], ['choice', 'a', 'b', 'b'], ['choice', 'a', '', ''],
        ['choice', "\xff", "\u{FFFD}", null], ['choice', 'a', null, null],
        // A browser posts every line end as CR LF: an unchanged choice writes
        // nothing, a chosen item is stored as the item holds it.
        ['choice', "M\nL", "M\r\nL", null], ['choice', 'a', "M\r\nL", "M\nL"], ['choice', 'a', "N\r\nL", "N\r\nL"],
        ['hidden', "h\nx", "h\r\nx", null], ['hidden', "h\nx", "h\r\ny", "h\ny"],
    ] as [$kind, $stored, $posted, $expected]) {
        $_POST = $posted === null ? [] : ['f' => $posted];
        check('changed ' . json_encode([$kind, $stored, $posted], JSON_INVALID_UTF8_SUBSTITUTE),
              $form->changedValue(['f', $kind, ['a', "M\nL"]], $stored), $expected);
    }
    // A check-box group: ticked as shown is no change; members that are no
    // item stay.
    foreach ([
        ['red,blue', ['f-i1' => 'red', 'f-i3' => 'blue'], null],
        ['red,blue', ['f-i1' => 'red'], 'red'],
        [null, [], null],
        ['', ['f-i2' => 'green'], 'green'],
        ['red,purple', ['f-i1' => 'red'], null],
        ['red,purple', ['f-i2' => 'green'], 'green,purple'],
        ['red,purple', [], 'purple'],
        ["red,M\nL", ['f-i1' => 'red', 'f-i4' => "M\r\nL"], null],
        ['red', ['f-i1' => 'red', 'f-i4' => "M\r\nL"], "red,M\nL"],
    ] as [$stored, $posted, $expected]) {
        $_POST = $posted;
        check('checks ' . json_encode([$stored, $posted]),
              $form->changedValue(['f', 'checks', ['red', 'green', 'blue', "M\nL"]], $stored), $expected);
    }
    // Items holding commas: the stored list is read by the items it holds.
    $people = ['Smith, John', 'Smith', 'Doe, Jane'];
    foreach ([
        ['Smith, John,Doe, Jane', ['f-i1' => 'Smith, John', 'f-i3' => 'Doe, Jane'], null],
        ['Smith, John,Doe, Jane', ['f-i3' => 'Doe, Jane'], 'Doe, Jane'],
        ['Smith, John,Nobody', ['f-i1' => 'Smith, John', 'f-i2' => 'Smith'], 'Smith, John,Smith,Nobody'],
        ['Smith', ['f-i2' => 'Smith'], null],
    ] as [$stored, $posted, $expected]) {
        $_POST = $posted;
        check('comma checks ' . json_encode([$stored, $posted]), $form->changedValue(['f', 'checks', $people], $stored),
              $expected);
    }
    // What was ticked comes back ticked, however the items hold commas; a
    // list two ways of reading tie on is ambiguous and stays as it is.
    $parts = ['a', 'a,b', 'b,c'];
    foreach ([
        ['Smith, John,Doe, Jane', $people, ['Smith, John', 'Doe, Jane']], ['Smith, John', ['Smith'], ['Smith', ' John']],
        ['a,,b', [], ['a', '', 'b']], ['', $people, []], ['a,b,c', $parts, ['a', 'b,c']], ['a,b', $parts, ['a,b']],
        ['a,b,c,x', $parts, ['a', 'b,c', 'x']], ['b,c,a,b', $parts, ['b,c', 'a,b']], ['a,b', ['a', 'b', 'a,b'], null],
        ['a,b,c', ['a', 'b', 'c', 'a,b', 'b,c'], null], ['a,', ['a'], ['a', '']],
    ] as [$stored, $items, $expected]) {
        check('members ' . json_encode([$stored, $items]), qfSetMembers($stored, $items), $expected);
    }
    check('member of items', [isValueSet('Smith, John', 'Smith', $people), isValueSet('Smith, John', 'Smith'),
                              isValueSet('a,b,c', 'a,b', $parts), isValueSet('a,b,c', 'b,c', $parts),
                              isValueSet('a,b', 'a', ['a', 'b', 'a,b'])],
          [false, true, false, true, false]);
    foreach ([
        ['a,b,c', ['f-i1' => 'a', 'f-i3' => 'b,c'], null], ['a,b,c', ['f-i1' => 'a'], 'a'],
        ['a,b', [], null], ['a,b', ['f-i2' => 'b,c'], 'b,c'],
    ] as [$stored, $posted, $expected]) {
        $_POST = $posted;
        $items = $stored === 'a,b' ? ['a', 'b,c', 'a,b', 'b'] : $parts;
        check('comma items ' . json_encode([$stored, $posted]), $form->changedValue(['f', 'checks', $items], $stored),
              $expected);
    }
    check('single choice', [qfIsChosen('x,y', 'x'), qfIsChosen('x,y', 'x,y'), qfIsChosen(null, '')], [false, true, true]);

    // What the form showed decides against a row changed meanwhile; a
    // digest that is missing or malformed leaves the row as read now.
    $shownAs = fn (string $stored): string => qfDigest(qfRawImage($stored))
        . qfDigest(qfShownImage(['f', 'text'], $stored, []));
    foreach ([
        ['f' => 'b', 'f-shown' => 'zz'], ['f' => 'a', 'f-shown' => $shownAs('a')],
        ['f' => 'b', 'f-shown' => $shownAs('a')], ['f' => 'b', 'f-shown' => $shownAs('b')],
    ] as $i => $posted) {
        $_POST = $posted;
        $set = $form->changes(['f' => 'c'], ['f' => ['f', 'text']]);
        check('shown ' . $i, [$set, $form->changedMeanwhile],
              [[['f' => "'b'"], false], [[], false], [[], true], [[], false]][$i]);
    }
    check('malformed row digest names nothing',
          str_ends_with(qfKeySql(null, ['sql' => '', 'columns' => []], ['a' => 'a'], true, ['qf-row' => "x' OR 1"]),
                        "))=''"), true);
    // A column named like the site's own parameters is a column like any other.
    parse_str(qfKeyParams(['qf_row' => 'r', 'qf_key' => 'k'], ['qf_row' => 'qf_row', 'qf_key' => 'qf_key'], true), $params);
    check('site parameter names', qfKeySql(null, ['sql' => '', 'columns' => []], ['qf_row' => 'qf_row', 'qf_key' => 'qf_key'],
                                           true, $params),
          "1 AND CAST(CONVERT(`qf_row` USING utf8mb4) AS BINARY)=X'72' AND CAST(CONVERT(`qf_key` USING utf8mb4) AS BINARY)=X'6b'");
    // A changed field that already holds what the visitor sends is no
    // conflict; one that holds something else is, named by its caption.
    $_POST = ['f' => 'b', 'f-shown' => $shownAs('a'), 'g' => 'y', 'g-shown' => $shownAs('x')];
    $fields = ['f' => ['f', 'text', 'caption' => 'Title'], 'g' => ['g', 'text', 'caption' => 'Note']];
    check('sent twice', [$form->changes(['f' => 'b', 'g' => 'y'], $fields), $form->changedMeanwhile], [[], false]);
    $form->changes(['f' => 'c', 'g' => 'z'], $fields);
    check('conflicts named', [$form->changedMeanwhile, $form->meanwhileMessage()],
          [true, 'The record was changed meanwhile, so nothing was saved: "Title", "Note" were changed since the form '
                 . 'was shown. The form shows the record as it is now, with your changes; send it again to save them.']);

    // A flag's group on a number: its value is the one ticked, 0 none.
    foreach ([['0', ['f-i1' => '1'], '1'], ['1', [], ''], ['1', ['f-i1' => '1'], null], ['0', [], null]]
             as [$stored, $posted, $expected]) {
        $_POST = $posted;
        check('flag ' . json_encode([$stored, $posted]), $form->changedValue(['f', 'checks', ['1']], $stored, true),
              $expected);
    }

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

    $_POST = ['c-i10' => 'ten', 'c-i3' => 'blue', 'c-i1' => 'red', 'c-i2' => ['no'], 'c-ix' => 'no', 'cc-i1' => 'no',
              'c-i' => 'no', 'c-i01' => 'one', 'c_1' => 'no', 'c-1' => 'no'];
    check('checkbox value', getCheckboxValue('c'), 'red,blue,ten');
    check('checkbox none', getCheckboxValue('d'), '');

    check('writeHtmlText', printed(fn () => writeHtmlText("<b>\"x\"</b> & 'y'")),
          '&lt;b&gt;&quot;x&quot;&lt;/b&gt; &amp; &#039;y&#039;');
    check('writeHtmlText empty', printed(fn () => writeHtmlText('')), '&nbsp;');
    check('writeHtmlText zero', printed(fn () => writeHtmlText('0')), '0');
    check('writeHtmlText bytes', printed(fn () => writeHtmlText("\xfe\xff\0")), 'binary, 3 bytes');
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
    // The generated key condition, key parameters and lookup SELECT, as PHP
    // reads them. Without a connection the SHOW COLUMNS answer is empty and
    // the values are escaped as the server's own function does.
    check('key condition', $cond, "1 AND `id`='1\\' OR \\'1\\'=\\'1' AND `it's \$x`='a\\\\b'");
    check('key url', $url, 'detail.php?k=1&id=a+b%26c%3Dd&it-27s-20-24x-null=1');
    check('keyless condition', $keyless, "1 AND `id` IS NULL AND MD5(CAST(CONVERT(`it's \$x` USING utf8mb4) AS BINARY))='"
          . md5(str_repeat('x', 65)) . "'");
    check('keyless url', $keylessUrl, 'k=1&id-null=1&it-27s-20-24x-md5=' . md5(str_repeat('x', 65)));
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
          '<input type="checkbox" name="c-i1" id="c-i1" class="csscombo" value="1" checked><label for="c-i1">'
          . "Zürich</label><br>\n"
          . '<input type="checkbox" name="c-i2" id="c-i2" class="csscombo" value="5"><label for="c-i2">'
          . "L&#039;Aquila</label><br>\n");
    check('radios', printed(fn () => getRadioItemsFromDb($link, $all, 'id', 'name', 'r', '')),
          '<input type="radio" name="r" id="r-r1" class="csscombo" value="1"><label for="r-r1">Zürich</label>' . "\n"
          . '<input type="radio" name="r" id="r-r2" class="csscombo" value="5"><label for="r-r2">L&#039;Aquila</label>'
          . "\n");
    // A stored value that is no item is offered too: the form posts it back.
    check('combo keeps an empty value', printed(fn () => getValueComboItemsFromDb($link, $all, 'id', 'name', null)),
          "<option value=\"\" selected>Please select!</option>\n<option value=\"1\">Zürich</option>\n"
          . "<option value=\"5\">L&#039;Aquila</option>\n");
    check('combo keeps another value', printed(fn () => getValueComboItemsFromDb($link, $all, 'id', 'name', '7')),
          "<option value=\"1\">Zürich</option>\n<option value=\"5\">L&#039;Aquila</option>\n"
          . "<option value=\"7\" selected>7</option>\n");
    check('radios keep another value', str_contains(
        printed(fn () => getValueRadioItemsFromDb($link, $all, 'id', 'name', 'r', '7', '')),
        '<input name="r" id="r-keep" type="radio" value="7" checked>7'), true);
    // After a failed insert the visitor's choice is chosen again.
    $_POST = ['r' => '5', 'c-i1' => '1', 's' => '5'];
    qfKeepPosted(true);
    check('kept radio', str_contains(printed(fn () => getRadioItemsFromDb($link, $all, 'id', 'name', 'r', '')),
                                     'value="5" checked'), true);
    check('kept box', str_contains(printed(fn () => getCheckboxItemsFromDb($link, $all, 'id', 'name', 'c', '')),
                                   'value="1" checked'), true);
    check('kept option', printed(fn () => getComboItemsFromDb($link, $all, 'id', 'name', 's')),
          "<option value=\"1\">Zürich</option>\n<option value=\"5\" selected>L&#039;Aquila</option>\n");
    qfKeepPosted(false);
    check('nothing kept', str_contains(printed(fn () => getRadioItemsFromDb($link, $all, 'id', 'name', 'r', '')),
                                       'checked'), false);
    // The server's description of a table.
    $table = qfTable($link, 'shop', 'products');
    check('columns', [$table['sql'], $table['columns']['price'], $table['columns']['released']['null']],
          ['`shop`.`products`', ['base' => 'decimal', 'type' => 'decimal(10,2)', 'null' => false, 'default' => true,
                                  'auto' => false],
           true]);
    check('auto increment counts as a default', $table['columns']['id']['default'], true);
    check('no table', qfTable($link, 'shop', 'missing')['columns'], []);
    check('bad SQL prints nothing', printed(fn () => getComboItemsFromDb($link, 'SELECT nonsense FROM', 'a', 'b')), '');
    check('text from db', printed(fn () => writeHtmlTextFromDB($link, 'shop', 'customer', 'id', 5, 'name')),
          'Ana &lt;b&gt;Souza&lt;/b&gt;');
    check('text from db quote', printed(fn () => writeHtmlTextFromDB($link, 'shop', 'city', 'name', "L'Aquila", 'id')),
          '5');
    check('text from db injection',
          printed(fn () => writeHtmlTextFromDB($link, 'shop', 'customer', 'id', "x' OR '1'='1", 'name')), '');
    check('text from reserved table', printed(fn () => writeHtmlTextFromDB($link, 'shop', 'order', 'id', 2, 'key')),
          'A-0002');

    // A save finds its row as the server stored it among rows alike; a row
    // gone saves nothing; where the rows cannot be compared it saves, and
    // names no row rather than another.
    mysqli_query($link, 'CREATE TEMPORARY TABLE `qf_saves` (`n` INT, `d` DECIMAL(6,2), `f` FLOAT)');
    mysqli_query($link, 'INSERT INTO `qf_saves` VALUES (1, 1.00, 0.1234567), (1, 2.00, 0.12345671)');
    $saves = qfTable($link, 'shop', 'qf_saves');
    $keys = ['n' => 'n', 'd' => 'd', 'f' => 'f'];
    $row = qfFetchRow($link, $saves, 'd = 2');
    parse_str(qfKeyParams($row, $keys, true), $params);
    check('exact float', $params['f'], '0.12345670908689499');
    $where = qfKeySql($link, $saves, $keys, true, $params);
    $form = new QfForm($link, $saves);
    check('saved', [$form->update($row, ['d' => "'3.5'"], $where, $keys, true), $form->savedRow],
          [true, ['n' => '1', 'd' => '3.50', 'f' => '0.123457', 'f ' => '0.12345670908689499']]);
    $gone = new QfForm($link, $saves);
    check('gone', [$gone->update($row, ['d' => "'4'"], $where, $keys, true), $gone->lost], [false, true]);
    $blind = $saves;
    $blind['columns']['missing'] = $saves['columns']['n'];
    $unnamed = new QfForm($link, $blind);
    $first = qfFetchRow($link, $saves, 'd = 1');
    parse_str(qfKeyParams($first, $keys, true), $params);
    $where = qfKeySql($link, $saves, $keys, true, $params);
    check('unnamed', [$unnamed->update($first, ['d' => "'5'"], $where, $keys, true), $unnamed->savedRow], [true, null]);
    check('stored', qfRows($link, 'SELECT `d` FROM `qf_saves` ORDER BY `d`'), [['d' => '3.50'], ['d' => '5.00']]);
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
