#include "E2ESupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PageGenerator.h"
#include "generator/PhpMain.h"
#include "model/XMLIO.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>

namespace e2e {

namespace {

/** Makes database name a copy of the tables and rows of database source. */
void CopyDatabase(TDBManager& db, const std::string& source, const std::string& name) {
  const std::string from = QuoteIdentifier(source) + ".";
  Rows(db, "DROP DATABASE IF EXISTS " + QuoteIdentifier(name));
  Rows(db, "CREATE DATABASE " + QuoteIdentifier(name) + " CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci");
  // The CREATE statements name referenced tables without a database: run in the copy.
  Rows(db, "USE " + QuoteIdentifier(name));
  Rows(db, "SET SESSION foreign_key_checks = 0");
  for (const std::string& table : Column(db, "SHOW TABLES FROM " + QuoteIdentifier(source))) {
    Rows(db, Rows(db, "SHOW CREATE TABLE " + from + QuoteIdentifier(table)).at(0).at(1));
    Rows(db, "INSERT INTO " + QuoteIdentifier(table) + " SELECT * FROM " + from + QuoteIdentifier(table));
  }
  Rows(db, "SET SESSION foreign_key_checks = 1");
}

}  // namespace

std::string GeneratedSiteTest::PagePath(const std::string& db, const std::string& table, const std::string& page) {
  std::string path = "/";
  return path.append(UrlEncode(TablePageFileName(db, table, page)));
}

bool ServedSiteTest::Connect() {
  auto params = qftest::TestDb();
  // A skip ends the function it stands in: here a lambda.
  if (!params) {
    [] { GTEST_SKIP() << "QF_TEST_DB_* not set: no database server"; }();
    return false;
  }
  std::string output;
  if (RunCommand("php -v", output) != 0) {
    [] { GTEST_SKIP() << "php cannot be run: the generated site cannot be served"; }();
    return false;
  }
  FDb = std::make_unique<TDBManager>();
  EXPECT_TRUE(FDb->Connect(params->Host, params->User, params->Password, params->Port, "")) << FDb->LastError();
  return !HasFailure();
}

void ServedSiteTest::Serve(TProjectManager& project) {
  const qftest::DbParams params = *qftest::TestDb();
  project.Database_host = params.Host;
  project.Database_port = params.Port;
  project.Database_user = params.User;
  project.Database_password = params.Password;
  FDir = std::make_unique<qftest::TempDir>();
  FOut = FDir->File("site");
  project.Project_output = FOut + "/";
  TMainPhpManager manager(project, qftest::SourceDir() + "/data/", "default", nullptr, nullptr);
  ASSERT_NO_THROW(manager.Generate());
  std::tie(FServer, FPort) = StartPhpServer(FOut, FDir->File("work/php.out"));
  ASSERT_GT(FServer, 0) << "php -S did not start:\n" << ReadIfExists(FDir->File("work/php.out"));
}

void ServedSiteTest::TearDown() {
  if (FServer > 0) StopPhpServer(FServer, FDir->File("work/php.out"));
}

void GeneratedSiteTest::SetUp() {
  if (!Connect()) return;
  // Private copies: the tests change rows and count them, while other tests
  // read the fixture databases at the same time.
  FShopDb = "qf_e2e_shop_" + std::to_string(::getpid());
  FNotesDb = "qf-e2e-my-db-" + std::to_string(::getpid());
  ASSERT_NO_THROW(CopyDatabase(*FDb, "shop", FShopDb));
  ASSERT_NO_THROW(CopyDatabase(*FDb, "my-db", FNotesDb));

  // The fixture project over the copies, with the one table the fixture
  // schemas lack.
  const std::string fixture = qftest::SourceDir() + "/tests/fixtures/site/";
  Rows(*FDb, "USE " + QuoteIdentifier(FShopDb));
  for (const std::string& statement : SplitString(ReadFileText(fixture + "odd.sql"), ';'))
    if (!Trim(statement).empty()) {
      ASSERT_NO_THROW(Rows(*FDb, statement));
    }
  XMLManager().LoadProject(fixture + "site.vrk", FProject);
  for (const auto& table : FProject.Tables) table->DB = table->DB == "shop" ? FShopDb : FNotesDb;
  Serve(FProject);
}

void GeneratedSiteTest::TearDown() {
  ServedSiteTest::TearDown();
  for (const std::string& db : {FShopDb, FNotesDb})
    if (FDb && !db.empty()) FDb->ExecuteQuery("DROP DATABASE IF EXISTS " + QuoteIdentifier(db));
}

std::string GeneratedSiteTest::Snapshot() {
  std::vector<std::string> lines;
  for (const std::string& db : {FShopDb, FNotesDb})
    for (const std::string& table : Column(*FDb, "SHOW TABLES FROM " + QuoteIdentifier(db)))
      for (const auto& row : Rows(*FDb, "SELECT * FROM " + QuoteIdentifier(db) + "." + QuoteIdentifier(table))) {
        std::string line = table;
        for (const std::string& cell : row) line += " | " + cell;
        lines.push_back(line);
      }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

THttpResponse GeneratedSiteTest::Login(THttpClient& client, const std::string& name, const std::string& pass,
                                       const std::string& back) {
  return client.Post("/general/login.php", {{"qf_name", name}, {"qf_pass", pass}, {"back", back}});
}

THttpClient GeneratedSiteTest::Administrator() {
  THttpClient admin = Visitor();
  EXPECT_EQ(Login(admin, FProject.AdminName, FProject.AdminPass).Status, 302);
  return admin;
}

}  // namespace e2e
