// The shipped site templates and support scripts, run by the PHP CLI: every
// generated page and script passes "php -l", the support functions behave,
// and nothing prints a PHP warning, notice or deprecation.

#include "TablePageTestSupport.h"

#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/phpIndex.h"
#include "generator/phpLogin.h"
#include "generator/phpdbinfo.h"
#include "generator/phpindexmenu.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace {

using tablepages::TRun;

const std::string kTricky = "a'b\\c$d\"e";  // quote, backslash, dollar, double quote

TWebTable KeyTable(const std::string& db, const std::vector<std::string>& keys) {
  TWebTable table;
  table.DB = db;
  for (const std::string& name : keys) {
    auto input = std::make_unique<TWebInput>(name);
    input->Database_field = name;
    input->Key = true;
    table.AddToInputList(std::move(input));
  }
  return table;
}

TBaseHtmlInput Lookup(const std::string& table, const std::string& relation, const std::string& value,
                      const std::string& sort) {
  TBaseHtmlInput lookup("c");
  lookup.iLTable = table;
  lookup.iLDisplayField = lookup.iLWhereField = "name";
  lookup.iLValueField = "id";
  lookup.iLRelation = relation;
  lookup.iLValue = value;
  lookup.iLShort = sort;
  return lookup;
}

/** The source tree's data/ as program folder, an output folder with the
 *  support scripts in general/, and PHP scripts run with warnings on stderr. */
class SupportScriptsTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto php = tablepages::FindPhp();
    if (!php) GTEST_SKIP() << "php is not on PATH: PHP checks skipped";
    FPhp = *php;
    ForceDirectories(FOut.File("general"));
    for (const std::string& name : FindFiles(FData + "scripts", "*.php"))
      CopyFileContent(FData + "scripts/" + name, FOut.File("general/" + name));
  }

  static void AddTable(TProjectManager& project, const std::string& db, const std::string& name) {
    auto table = std::make_unique<TWebTable>();
    table->DB = db;
    table->Name = name;
    table->Caption = "Table " + name;
    project.AddTable(std::move(table));
  }

  void GenerateSitePages(const TProjectManager& project) {
    const TGeneratorContext context{project, FData, FOut.Path() + "/"};
    TSQLGenerator(context).Generate();
    TLoginGenerator(context).Generate();
    TIndexGenerator(context).Generate();
    TIndexMenuGenerator(context).Generate();
  }

  std::string Require(const std::string& name) const {
    return "require '" + PhpSingleQuoted(FOut.File("general/" + name)) + "';\n";
  }

  TRun PhpScript(const std::string& code, std::vector<std::string> options = {}) {
    qftest::WriteFile(FRun.File("check.php"), code);
    options.push_back(FRun.File("check.php"));
    return tablepages::RunPhp(FPhp, options, FRun);
  }

  /** Runs a script of checks: check() prints FAIL lines, the end "DONE". */
  void ExpectChecksPass(const std::string& body, const std::vector<std::string>& options = {}) {
    const TRun run = PhpScript(R"PHP(<?php
function check(string $what, $actual, $expected): void {
    if ($actual !== $expected) echo 'FAIL ', $what, ': got ', var_export($actual, true), ' expected ', var_export($expected, true), "\n";
}
function printed(callable $f): string { ob_start(); $f(); return ob_get_clean(); }
)PHP" + body + "\necho \"DONE\\n\";\n", options);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Out.find("FAIL"), std::string::npos) << run.Out;
    EXPECT_TRUE(EndsWith(run.Out, "DONE\n")) << run.Out;
  }

  std::string FPhp;
  const std::string FData = qftest::SourceDir() + "/data/";
  qftest::TempDir FOut;
  qftest::TempDir FRun;
};

TEST_F(SupportScriptsTest, GeneratedPagesAndScriptsPassLint) {
  TProjectManager project;
  project.Database_password = project.Database_user = kTricky;
  project.Database_host = "db'host";
  project.AdminName = kTricky;
  project.AdminPass = kTricky + "?>";
  project.SiteCaption = "Shop & more";
  for (const auto& [db, name] : {std::pair{"shop", "city"}, {"shop", "customer"}, {"my-db", "notes"}, {"Z\xC3\xBCrich", "t"}})
    AddTable(project, db, name);
  GenerateSitePages(project);

  std::vector<std::string> files = {FOut.File("general/dbinfo.php"), FOut.File("general/login.php"), FOut.File("menu.php")};
  for (const std::string& name : FindFiles(FData + "scripts", "*.php")) files.push_back(FData + "scripts/" + name);
  ASSERT_GE(files.size(), 4u);
  for (const auto& file : files) {
    const TRun run = tablepages::RunPhp(FPhp, {"-l", file}, FRun);
    EXPECT_EQ(run.Code, 0) << file << "\n" << run.Out << run.Err;
    EXPECT_EQ(run.Err, "") << file;
  }
  // The menu's links open in the index page's frame.
  EXPECT_NE(qftest::ReadFile(FOut.File("menu.php")).find("target=\"mainFrame\""), std::string::npos);
  EXPECT_NE(qftest::ReadFile(FOut.File("index.html")).find("name=\"mainFrame\""), std::string::npos);
  // The rest of the file set the templates refer to is shipped.
  for (const char* file : {"tpl/left.html", "scripts/checks.js", "scripts/tooltip.js", "themes/default/style.css",
                           "themes/default/images/info.gif", "themes/ocean/style.css", "themes/ocean/images/info.gif"})
    EXPECT_TRUE(FileExists(FData + file)) << file;
}

TEST_F(SupportScriptsTest, SupportFunctionsEscapeAndReadRequests) {
  ExpectChecksPass(Require("functions.php") + R"PHP(
check('h markup', h("<a href='x'>&\""), '&lt;a href=&#039;x&#039;&gt;&amp;&quot;');
check('h null', h(null), '');
check('h array', h(['x']), '');
check('h bad utf-8', h("a\xffb"), "a\u{FFFD}b");
check('sqlIdent', sqlIdent('a`b'), '`a``b`');
check('sqlEscape without link', sqlEscape(null, "O'Brien\\\0\n\""), "O\\'Brien\\\\\\0\\n\\\"");
check('sqlEscape array', sqlEscape(null, ['x']), '');

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
check('set empty', isValueSet('', ''), true);

$_POST = ['c_1' => 'red', 'c_3' => 'blue', 'c_10' => 'ten', 'c_2' => ['no'], 'c_x' => 'no', 'cc_1' => 'no',
          'c_' => 'no', 'c_01' => 'one'];
check('checkbox value', getCheckboxValue('c'), 'red,blue,ten');
check('checkbox none', getCheckboxValue('d'), '');

check('writeHtmlText', printed(fn () => writeHtmlText("<b>\"x\"</b> & 'y'")), '&lt;b&gt;&quot;x&quot;&lt;/b&gt; &amp; &#039;y&#039;');
check('writeHtmlText empty', printed(fn () => writeHtmlText('')), '&nbsp;');
check('writeHtmlText zero', printed(fn () => writeHtmlText('0')), '0');

// Without a connection the lookups print nothing and do not warn.
check('combo without link', printed(fn () => getComboItemsFromDb(null, 'SELECT 1', 'a', 'b')), '');
check('text without link', printed(fn () => writeHtmlTextFromDB(false, 'shop', 'city', 'id', 1, 'name')), '');

check('back plain', loginBackTarget('shop_city_list.php'), '../shop_city_list.php');
check('back query', loginBackTarget('shop_city_update.php?id=3&lang=de'), '../shop_city_update.php?id=3&lang=de');
check('back query encoded', loginBackTarget("p.php?x=a b\"<"), '../p.php?x=a%20b%22%3C');
check('back utf-8', loginBackTarget('Zürich_t_list.php'), '../Z%C3%BCrich_t_list.php');
foreach (['', '//evil.example/x.php', 'http://evil.example/x.php', '/etc/x.php', '../x.php', '.x.php',
          'a/b.php', "a\\b.php", 'javascript:x.php', "x\r\n.php", 'x.html', 'x.php#y', '?a.php'] as $bad) {
    check('back refused ' . json_encode($bad), loginBackTarget($bad), null);
}

// Files that did not come with this request are never moved.
$_FILES = ['f' => ['name' => 'x.txt', 'tmp_name' => __FILE__, 'error' => UPLOAD_ERR_OK, 'size' => 1]];
check('upload not uploaded', storeUpload('f', sys_get_temp_dir()), null);
check('upload missing', storeUpload('g', sys_get_temp_dir()), null);

// The administrator passes, everybody else goes to the login page.
$_SESSION['qf_admin'] = true;
check('admin', isAdmin(), true);
requireAdmin();
$_SESSION['qf_admin'] = 'yes';
check('admin needs true', isAdmin(), false);
$_SERVER['SCRIPT_NAME'] = '/site/shop_city_update.php';
$_SERVER['QUERY_STRING'] = 'id=3&x=1';
register_shutdown_function(function () {
    $page = ob_get_clean();
    check('login link', str_contains($page, 'href="general/login.php?back=shop_city_update.php%3Fid%3D3%26x%3D1"'), true);
    echo "DONE\n";
});
ob_start();
requireAdmin();
echo "FAIL requireAdmin returned\n";
)PHP");
}

TEST_F(SupportScriptsTest, MailStripsHeaderInjectionAndStaysQuietWithoutMailer) {
  const std::string mailer = FRun.File("sendmail"), message = FRun.File("message.txt");
  qftest::WriteFile(mailer, "#!/bin/sh\ncat > " + tablepages::ShellQuote(message) + "\n");  // keeps the message
  ASSERT_EQ(::chmod(mailer.c_str(), 0755), 0);
  ExpectChecksPass(Require("functions.php") + "$message = '" + PhpSingleQuoted(message) + "';\n" + R"PHP(
check('mail sent', qfMail("to@example.com\r\nBcc: a@evil.example", "Hi\nBcc: b@evil.example", "Body\nBcc: body",
                          "from@example.com\r\nBcc: c@evil.example"), true);
$text = str_replace("\r\n", "\n", file_get_contents($message));
check('no injected header', preg_match('/^Bcc:/mi', explode("\n\n", $text, 2)[0]), 0);
check('from kept', str_contains($text, 'From: from@example.com Bcc: c@evil.example'), true);
check('body kept', str_contains($text, "Body\nBcc: body"), true);
check('no recipient', qfMail('', 's', 'b', 'f'), false);
)PHP",
                   {"-d", "sendmail_path=" + mailer});
  ExpectChecksPass(Require("functions.php") + "check('no mailer', qfMail('to@example.com', 's', 'b', 'f@example.com'), false);",
                   {"-d", "sendmail_path=/nonexistent/sendmail -t -i"});
}

TEST_F(SupportScriptsTest, FragmentsEvaluateInPhp) {
  const TWebTable table = KeyTable("my-db", {"id", "it's $x"});
  const TBaseHtmlInput lookup = Lookup("ci`ty", "Unlike", "O'B\\%", "Desc");
  ExpectChecksPass(Require("functions.php") + "${'MyDb_my-db'} = null;\n"
                   "$_GET = ['id' => \"1' OR '1'='1\", \"it's \\$x\" => 'a\\\\b'];\n"
                   "$cond = " + BuildKeyCondition(table) + ";\n"
                   "$Resultset = ['id' => 'a b&c=d', \"it's \\$x\" => null];\n"
                   "$url = \"detail.php?k=" + BuildKeyUrlParams(table) + "\";\n"
                   "${'dbname_my-db'} = 'my-db';\n"
                   "$sql = '" + BuildLookupSelect(lookup, "my-db") + "';\n" + R"PHP(
check('key condition', $cond, "1 AND `id`='1\\' OR \\'1\\'=\\'1' AND `it's \$x`='a\\\\b'");
check('key url', $url, 'detail.php?k=1&id=a+b%26c%3Dd&it%27s%20%24x=');
check('lookup', $sql, "SELECT DISTINCT `name` ,`id` FROM `my-db`.`ci``ty` WHERE `name` NOT LIKE 'O''B\\\\%' ORDER BY `name` DESC");
)PHP");
}

TEST_F(SupportScriptsTest, ConnectionFailureShowsACleanMessage) {
  // A port of 127.0.0.1 bound without listening: connections to it are refused at once.
  const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const int port = ntohs(address.sin_port);

  TProjectManager project;
  project.Database_host = "127.0.0.1";
  project.Database_port = port;
  project.Database_user = kTricky;
  project.Database_password = kTricky + "{$x}";
  AddTable(project, "my-db", "notes");
  AddTable(project, "shop", "city");
  GenerateSitePages(project);
  const TRun run = PhpScript(R"PHP(<?php
register_shutdown_function(function () {
    echo "\nSTATE ", json_encode([
        $GLOBALS['qfDbHost'], $GLOBALS['qfDbUser'], $GLOBALS['qfDbPassword'], $GLOBALS['qfDbPort'],
        $GLOBALS['dbname_my-db'] ?? null, isset($GLOBALS['MyDb_my-db']), isset($GLOBALS['dbname_shop']),
    ]), "\n";
});
)PHP" + Require("dbinfo.php") + "echo \"FAIL went on\\n\";\n");
  ::close(sock);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Code, 0);
  EXPECT_EQ(run.Out.find("FAIL"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("Could not connect to the database &quot;my-db&quot;"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.find("Warning"), std::string::npos) << run.Out;
  // The plain texts arrive in PHP unchanged; only my-db, the first database,
  // was reached before the request ended.
  EXPECT_NE(run.Out.find("STATE [\"127.0.0.1\",\"a'b\\\\c$d\\\"e\",\"a'b\\\\c$d\\\"e{$x}\"," + std::to_string(port) +
                         ",\"my-db\",false,false]"),
            std::string::npos)
      << run.Out;
}

TEST_F(SupportScriptsTest, LoginAcceptsOnlyTheAdministrator) {
  const std::string pass = "p" + kTricky + "?>";
  struct TCase {
    const char* What;
    std::string AdminName, Name, Pass;
    const char* Message;  // nullptr: logged in
  };
  const TCase cases[] = {
      {"right", kTricky, kTricky, pass, nullptr},
      {"wrong password", kTricky, kTricky, "p" + kTricky, "Wrong name or password."},
      {"wrong name", kTricky, "admin", pass, "Wrong name or password."},
      {"empty", kTricky, "", "", "Wrong name or password."},
      {"no administrator", "", "", pass, "No administrator is set up"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TProjectManager project;
    project.AdminName = c.AdminName;
    project.AdminPass = pass;
    GenerateSitePages(project);
    const TRun run = PhpScript("<?php\n$_SERVER['REQUEST_METHOD'] = 'POST';\n$_POST = ['qf_name' => '" +
                               PhpSingleQuoted(c.Name) + "', 'qf_pass' => '" + PhpSingleQuoted(c.Pass) +
                               "', 'back' => '//evil.example/x.php'];\n"
                               "register_shutdown_function(function () { echo \"\\nADMIN \", json_encode(isAdmin()); });\n" +
                               Require("login.php"));
    EXPECT_EQ(run.Err, "");
    EXPECT_TRUE(EndsWith(run.Out, c.Message ? "ADMIN false" : "ADMIN true")) << run.Out;
    if (c.Message) {
      EXPECT_NE(run.Out.find(c.Message), std::string::npos) << run.Out;
    }
  }
}

TEST_F(SupportScriptsTest, LookupsAgainstTheTestServer) {
  QF_REQUIRE_DB(db);
  TProjectManager project;
  project.Database_host = db.Host;
  project.Database_port = db.Port;
  project.Database_user = db.User;
  project.Database_password = db.Password;
  AddTable(project, "shop", "city");
  AddTable(project, "my-db", "notes");
  GenerateSitePages(project);

  const TWebTable notes = KeyTable("my-db", {"id"});
  const TBaseHtmlInput lookup = Lookup("city", "Like", "L%", "Asc");
  ExpectChecksPass(Require("dbinfo.php") + Require("functions.php") + "$lookup = '" +
                   BuildLookupSelect(lookup, "shop") + "';\n$_GET = ['id' => '2'];\n$keyRight = " +
                   BuildKeyCondition(notes) + ";\n$_GET = ['id' => \"x' OR '1'='1\"];\n$keyInjected = " +
                   BuildKeyCondition(notes) + ";\n" + R"PHP(
check('link', ${'MyDb_my-db'} instanceof mysqli, true);
check('database', mysqli_fetch_row(mysqli_query(${'MyDb_my-db'}, 'SELECT DATABASE()'))[0], 'my-db');
check('shop name var', $dbname_shop, 'shop');

$all = 'SELECT `name`, `id` FROM ' . sqlIdent($dbname_shop) . '.`city` WHERE `id` IN (1, 5) ORDER BY `id`';
check('combo', printed(fn () => getComboItemsFromDb($MyDb_shop, $all, 'id', 'name')),
      "<option value=\"1\">Zürich</option>\n<option value=\"5\">L&#039;Aquila</option>\n");
check('combo without value field', printed(fn () => getComboItemsFromDb($MyDb_shop, $all, '', 'name')),
      "<option value=\"Zürich\">Zürich</option>\n<option value=\"L&#039;Aquila\">L&#039;Aquila</option>\n");
check('combo selected', printed(fn () => getValueComboItemsFromDb($MyDb_shop, $all, 'id', 'name', '5')),
      "<option value=\"1\">Zürich</option>\n<option value=\"5\" selected>L&#039;Aquila</option>\n");
check('lookup fragment', printed(fn () => getComboItemsFromDb($MyDb_shop, $lookup, 'id', 'name')),
      "<option value=\"5\">L&#039;Aquila</option>\n<option value=\"3\">London</option>\n");
check('check boxes', printed(fn () => getValueCheckboxItemsFromDb($MyDb_shop, $all, 'id', 'name', 'c', '1,3', '<br>')),
      '<input type="checkbox" name="c_1" id="c_1" class="csscombo" value="1" checked><label for="c_1">Zürich</label><br>' . "\n"
      . '<input type="checkbox" name="c_2" id="c_2" class="csscombo" value="5"><label for="c_2">L&#039;Aquila</label><br>' . "\n");
check('radios', printed(fn () => getRadioItemsFromDb($MyDb_shop, $all, 'id', 'name', 'r', '')),
      '<input type="radio" name="r" id="r_1" class="csscombo" value="1"><label for="r_1">Zürich</label>' . "\n"
      . '<input type="radio" name="r" id="r_2" class="csscombo" value="5"><label for="r_2">L&#039;Aquila</label>' . "\n");
check('bad SQL prints nothing', printed(fn () => getComboItemsFromDb($MyDb_shop, 'SELECT nonsense FROM', 'a', 'b')), '');

check('text from db', printed(fn () => writeHtmlTextFromDB($MyDb_shop, 'shop', 'customer', 'id', 5, 'name')),
      'Ana &lt;b&gt;Souza&lt;/b&gt;');
check('text from db quote', printed(fn () => writeHtmlTextFromDB($MyDb_shop, 'shop', 'city', 'name', "L'Aquila", 'id')), '5');
check('text from db injection', printed(fn () => writeHtmlTextFromDB($MyDb_shop, 'shop', 'customer', 'id', "x' OR '1'='1", 'name')), '');
check('text from db none', printed(fn () => writeHtmlTextFromDB($MyDb_shop, 'shop', 'customer', 'id', 999, 'name')), '');
check('text from reserved table', printed(fn () => writeHtmlTextFromDB($MyDb_shop, 'shop', 'order', 'id', 2, 'key')), 'A-0002');

$row = mysqli_fetch_assoc(mysqli_query(${'MyDb_my-db'}, 'SELECT `title` FROM `notes` WHERE ' . $keyRight));
check('key condition finds the row', $row['title'] ?? null, "It's the second");
check('key condition injection', mysqli_num_rows(mysqli_query(${'MyDb_my-db'}, 'SELECT 1 FROM `notes` WHERE ' . $keyInjected)), 0);
)PHP");
}

}  // namespace
