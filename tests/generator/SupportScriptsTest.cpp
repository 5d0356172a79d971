// The site's support scripts run by the PHP CLI: the checks of
// php/support_checks.php, one section each, over a site folder holding the
// scripts, the generated pages a section needs and the generated fragments.
// No section may print a PHP warning, notice or deprecation.

#include "TestSupport.h"
#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PhpSql.h"
#include "generator/PhpText.h"
#include "generator/phpLogin.h"
#include "generator/phpdbinfo.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::string Quote(const std::string& text) { return qftest::Str("'", ReplaceAll(text, "'", "'\\''"), "'"); }

class SupportScriptsTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (std::system("php -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "php is not on PATH: PHP checks skipped";
    ForceDirectories(FSite.File("general"));
    for (const std::string& name : FindFiles(FData + "scripts", "*.php"))
      CopyFileContent(FData + "scripts/" + name, FSite.File("general/" + name));
  }

  /** Runs one section with prelude.php holding the PHP given; expects DONE,
   *  no FAIL line and nothing on stderr. */
  void ExpectSectionPasses(const std::string& section, const std::string& prelude,
                           const std::string& options = "") {
    qftest::WriteFile(FSite.File("prelude.php"), "<?php\n" + prelude);
    const std::string command = "php -d display_errors=stderr -d error_reporting=E_ALL -d log_errors=0 -d "
                                "session.save_path=" + Quote(FRun.Path()) + " " + options + " " +
                                Quote(qftest::SourceDir() + "/tests/generator/php/support_checks.php") + " " +
                                Quote(FSite.Path()) + " " + section + " >" + Quote(FRun.File("out")) + " 2>" +
                                Quote(FRun.File("err")) + " </dev/null";
    const int status = std::system(command.c_str());
    const std::string out = qftest::ReadFile(FRun.File("out"));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << section;
    EXPECT_EQ(qftest::ReadFile(FRun.File("err")), "") << section;
    EXPECT_EQ(out.find("FAIL"), std::string::npos) << section << "\n" << out;
    EXPECT_TRUE(EndsWith(out, "DONE\n")) << section << "\n" << out;
  }

  /** Writes the site's dbinfo.php and login.php for the project. */
  void GenerateSitePages(TProjectManager& project) {
    for (const auto& [db, name] : {std::pair{"my-db", "notes"}, {"shop", "city"}}) {
      auto table = std::make_unique<TWebTable>();
      table->DB = db;
      table->Name = name;
      project.AddTable(std::move(table));
    }
    const TGeneratorContext context{project, FData, FSite.Path() + "/"};
    TSQLGenerator(context).Generate();
    TLoginGenerator(context).Generate();
  }

  const std::string FData = qftest::SourceDir() + "/data/";
  qftest::TempDir FSite;
  qftest::TempDir FRun;
};

TEST_F(SupportScriptsTest, FunctionsEscapeAndReadRequests) { ExpectSectionPasses("functions", ""); }

TEST_F(SupportScriptsTest, GeneratedFragmentsEvaluateInPhp) {
  // The same columns as the key of a table, and as a table without a key.
  TWebTable table, keyless;
  for (TWebTable* t : {&table, &keyless}) {
    t->DB = "my-db";
    for (const std::string name : {"id", "it's $x"}) {
      auto input = std::make_unique<TWebInput>(name);
      input->Database_field = name;
      input->Key = t == &table;
      t->AddToInputList(std::move(input));
    }
  }
  TBaseHtmlInput lookup("c");
  lookup.iLTable = "ci`ty";
  lookup.iLDisplayField = lookup.iLWhereField = "name";
  lookup.iLValueField = "id";
  lookup.iLRelation = "Unlike";
  lookup.iLValue = "O'B\\%";
  lookup.iLShort = "Desc";
  ExpectSectionPasses("fragments", "${'MyDb_my-db'} = null;\n"
                                   "$_GET = ['id' => \"1' OR '1'='1\", 'it-27s-20-24x' => 'a\\\\b'];\n"
                                   "$cond = " + BuildKeyCondition(table) + ";\n"
                                   "$Resultset = ['id' => 'a b&c=d', \"it's \\$x\" => null];\n"
                                   "$url = \"detail.php?k=" + BuildKeyUrlParams(table) + "\";\n"
                                   "$Resultset = ['id' => null, \"it's \\$x\" => str_repeat('x', 65)];\n"
                                   "$keylessUrl = \"k=" + BuildKeyUrlParams(keyless) + "\";\n"
                                   "parse_str($keylessUrl, $_GET);\n"
                                   "$keyless = " + BuildKeyCondition(keyless) + ";\n"
                                   "${'dbname_my-db'} = 'my-db';\n"
                                   "$sql = '" + BuildLookupSelect(lookup, "my-db") + "';\n");
}

TEST_F(SupportScriptsTest, LookupsAgainstTheTestServer) {
  QF_REQUIRE_DB(db);  // the script reads the QF_TEST_DB_* settings itself
  (void)db;
  ExpectSectionPasses("lookups", "");
}

TEST_F(SupportScriptsTest, MailStripsHeaderInjectionAndStaysQuietWithoutMailer) {
  const std::string mailer = FRun.File("sendmail"), message = FRun.File("message.txt");
  qftest::WriteFile(mailer, "#!/bin/sh\ncat > " + Quote(message) + "\n");  // keeps the message
  ASSERT_EQ(::chmod(mailer.c_str(), 0755), 0);
  ExpectSectionPasses("mail", "$message = '" + PhpSingleQuoted(message) + "';\n", "-d sendmail_path=" + mailer);
  ExpectSectionPasses("mail", "$message = '';\n", "-d " + Quote("sendmail_path=/nonexistent/sendmail -t -i"));
}

TEST_F(SupportScriptsTest, ConnectionFailureShowsACleanMessage) {
  // A port of 127.0.0.1 bound without listening: connections to it are refused at once.
  int port = 0;
  const int sock = qftest::BoundSocket(false, port);
  ASSERT_GT(port, 0);
  TProjectManager project;
  project.Database_host = "127.0.0.1";
  project.Database_port = port;
  project.Database_user = "a'b\\c$d\"e";
  project.Database_password = project.Database_user + "{$x}";
  GenerateSitePages(project);
  ExpectSectionPasses("connection", "$expected = ['127.0.0.1', '" + PhpSingleQuoted(project.Database_user) + "', '" +
                                        PhpSingleQuoted(project.Database_password) + "', " +
                                        std::to_string(project.Database_port) + ", 'my-db', false, false];\n");
  ::close(sock);
}

TEST_F(SupportScriptsTest, LoginWithoutAdministratorLetsNobodyIn) {
  TProjectManager project;  // no administrator name or password
  GenerateSitePages(project);
  ExpectSectionPasses("login", "");
}

}  // namespace
