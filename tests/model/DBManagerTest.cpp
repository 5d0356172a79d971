// TDBManager against the private test server (QF_TEST_DB_*), plus TResultSet.

#include "core/TextUtils.h"
#include "model/DBManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;
using Rows = std::vector<Strings>;

// The client library's own default port (taken for port 0) is the test
// server's, so a port that should be refused would reach a server and show.
[[maybe_unused]] const bool kDefaultPortIsTheTestServer = [] {
  if (const char* port = std::getenv("QF_TEST_DB_PORT")) ::setenv("MYSQL_TCP_PORT", port, 1);
  return true;
}();

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

/** Runs Action when it goes out of scope. */
struct AtEnd {
  std::function<void()> Action;
  ~AtEnd() { Action(); }
};

TEST(ResultSetTest, WalksForwardStopsPastTheEndAndReadsEmptyOutsideTheRow) {
  TResultSet rs({"id", "name"}, {{"1", "one"}, {"2", "two"}, {"3"}});  // the last row shorter than the columns
  std::string walk;  // "row:columns 1 and 2" at each step
  auto at = [&] { walk += std::to_string(rs.GetRow()) + ":" + rs.GetString(1) + rs.GetString(2) + " "; };
  for (at(); rs.Next();) at();
  at();
  EXPECT_FALSE(rs.Next());
  EXPECT_TRUE(rs.Last());
  at();
  EXPECT_EQ(walk, "1:1one 2:2two 3:3 0: 3:3 ");
  for (int column : {0, -1, 3, INT_MIN, INT_MAX}) EXPECT_EQ(rs.GetString(column) + rs.ColumnName(column), "");
  EXPECT_EQ(rs.ColumnName(2), "name");
  for (int moves = 0; moves <= 4; ++moves) {  // the row count leaves the set on its first row
    rs.First();
    for (int i = 0; i < moves; ++i) rs.Next();
    EXPECT_EQ(TDBManager::GetRowCount(&rs) * 10 + rs.GetRow(), 31) << moves;
  }
  TResultSet empty({"a", "b"}, {});
  EXPECT_FALSE(empty.First() || empty.Last() || empty.Next());
  EXPECT_EQ(empty.GetRow() + TDBManager::GetRowCount(&empty), 0);
  EXPECT_EQ(TDBManager::GetRowCount(nullptr), -1);
  TDBManager offline;
  EXPECT_EQ(offline.ExecuteQuery("SELECT 1"), nullptr);
  EXPECT_FALSE(offline.LastError().empty());
}

/** Each test starts connected (never skips when the server was promised). */
class DBServerTest : public ::testing::Test {
protected:
  void SetUp() override {
    QF_REQUIRE_DB(p);
    Db = p;
    ASSERT_NO_FATAL_FAILURE(ConnectOrFail(Main));
  }

  void ConnectOrFail(TDBManager& db, const std::string& database = "", const std::string& host = "") {
    TDBConnection* c = db.Connect(host.empty() ? Db.Host : host, Db.User, Db.Password, Db.Port, database);
    ASSERT_NE(c, nullptr) << "cannot reach the test server at " << Db.Host << ":" << Db.Port << ": "
                          << db.LastError();
    ASSERT_EQ(db.Connection(), c);
  }

  /** Rows of a statement that must succeed, read the way the program's callers
   *  do: GetRowCount, then GetString by 1-based column and Next, row after row. */
  Rows Query(const std::string& sql, TDBManager* db = nullptr) {
    auto rs = (db ? *db : Main).ExecuteQuery(sql);
    EXPECT_NE(rs, nullptr) << sql << ": " << (db ? *db : Main).LastError();
    Rows rows(rs ? static_cast<size_t>(TDBManager::GetRowCount(rs.get())) : 0);
    for (Strings& row : rows) {
      for (int c = 1; c <= rs->ColumnCount(); ++c) row.push_back(rs->GetString(c));
      rs->Next();
    }
    return rows;
  }

  /** The first column of every row. */
  Strings Column(const std::string& sql, TDBManager* db = nullptr) {
    Strings values;
    for (const auto& row : Query(sql, db)) values.push_back(row.empty() ? "<missing>" : row[0]);
    return values;
  }

  /** The single value of a statement that must answer one row. */
  std::string Value(const std::string& sql, TDBManager* db = nullptr) {
    const Strings values = Column(sql, db);
    EXPECT_EQ(values.size(), 1u) << sql;
    return values.empty() ? "<no value>" : values[0];
  }

  bool WaitUntilGone(const std::string& connectionId) {
    for (int i = 0; i < 100; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
      if (Value("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = " + connectionId) == "0") return true;
    return false;
  }

  qftest::DbParams Db;
  TDBManager Main;
};

TEST_F(DBServerTest, ConnectsOverTcpAndReplacesTheEarlierConnection) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, "", "localhost"));
  // "localhost" goes over TCP to the given port; over a socket the server would list the client as "localhost".
  const std::string client = Value("SELECT HOST FROM information_schema.PROCESSLIST WHERE ID = CONNECTION_ID()", &db);
  EXPECT_EQ(client.rfind("127.0.0.1:", 0), 0u) << client;
  for (const char* database : {"shop", "my-db"}) {  // each Connect replaces and closes the one before
    const std::string before = Value("SELECT CONNECTION_ID()", &db);
    ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, database));
    EXPECT_EQ(Value("SELECT DATABASE()", &db), database);
    EXPECT_TRUE(WaitUntilGone(before)) << "the earlier connection was left open";
  }
}

// Every way a connection can fail: null, no connection left behind (even when
// the manager was connected before or fails twice), a message, and no long wait.
TEST_F(DBServerTest, FailedConnectAnswersNullQuicklyAndDropsTheEarlierConnection) {
  int silentPort = 0, closedPort = 0;
  const int silent = qftest::BoundSocket(true, silentPort);  // the handshake completes, no greeting ever comes
  ::close(qftest::BoundSocket(false, closedPort));
  ASSERT_TRUE(silentPort > 0 && closedPort > 0);
  const struct {
    const char* What;
    std::string User, Password;
    int Port;
    std::string Database;
  } cases[] = {
      {"wrong password", Db.User, Db.Password + "x", Db.Port, ""},
      {"unknown database", Db.User, Db.Password, Db.Port, "qf_no_such_db"},
      {"closed port", Db.User, Db.Password, closedPort, ""},
      // Ports outside 1-65535: neither the library's default port nor cut to 16 bits.
      {"port 0", Db.User, Db.Password, 0, ""},
      {"port 65536 above the server's", Db.User, Db.Password, Db.Port + 65536, ""},
      {"server that never greets", Db.User, Db.Password, silentPort, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    const bool slow = c.Port == silentPort;
    for (int attempt = slow ? 1 : 0; attempt < 2; ++attempt) {
      const auto start = Clock::now();
      EXPECT_EQ(Main.Connect("127.0.0.1", c.User, c.Password, c.Port, c.Database), nullptr);
      EXPECT_LT(SecondsSince(start), slow ? TDBManager::ConnectTimeoutSeconds + 3.0 : 3.0);
      EXPECT_EQ(Main.Connection(), nullptr);
      EXPECT_FALSE(Main.LastError().empty());
      EXPECT_EQ(Main.ExecuteQuery("SELECT 1"), nullptr) << "the earlier connection must not answer";
    }
    ASSERT_NO_FATAL_FAILURE(ConnectOrFail(Main));  // not stuck: a good Connect works again
  }
  ::close(silent);
}

TEST_F(DBServerTest, RejectedStatementsAnswerNullEmptyAnswersCountZero) {
  const std::pair<const char*, const char*> rejected[] = {
      // the statement, a part of the server's answer
      {"describe `shop`.`no_such_table`", "no_such_table"},
      {"show tables from my-db", "syntax"},  // unquoted, the name does not parse
      {"SELECT 1; SELECT 2", "syntax"},      // one statement at a time
      {"", "empty"},
  };
  for (const auto& [sql, message] : rejected) {
    EXPECT_EQ(Main.ExecuteQuery(sql), nullptr) << sql;
    EXPECT_NE(LowerCase(Main.LastError()).find(message), std::string::npos) << Main.LastError();
    EXPECT_EQ(Value("SELECT 'still here'"), "still here");
    EXPECT_TRUE(Main.LastError().empty()) << "a success clears the last error";
  }
  const std::pair<const char*, int> empty[] = {  // the statement, its columns (known even without rows)
      {"SET @qf_x = 42", 0}, {"USE `shop`", 0}, {"CREATE TEMPORARY TABLE qf_tmp (a INT)", 0},
      {"INSERT INTO qf_tmp VALUES (1), (2)", 0}, {"SELECT * FROM `shop`.`products` WHERE id < 0", 10}};
  for (const auto& [sql, columns] : empty) {
    auto rs = Main.ExecuteQuery(sql);
    ASSERT_NE(rs, nullptr) << sql << ": " << Main.LastError();
    EXPECT_EQ(TDBManager::GetRowCount(rs.get()) + rs->GetRow() + rs->Next(), 0) << sql;
    EXPECT_EQ(rs->GetString(1), "");
    EXPECT_EQ(rs->ColumnCount(), columns);
  }
  EXPECT_EQ(Value("SELECT CONCAT(@qf_x, DATABASE(), COUNT(*)) FROM qf_tmp"), "42shop2");  // they took effect
}

TEST_F(DBServerTest, ReadsWholeAnswersByteForByteWithNullAsEmptyText) {
  EXPECT_EQ(Query("SELECT NULL, '', 'x', NULL"), (Rows{{"", "", "x", ""}}));
  EXPECT_EQ(Column("SELECT name FROM `shop`.`city` ORDER BY id"),
            (Strings{"Zürich", "東京", "London", "São Paulo", "L'Aquila", "Київ"}));
  const std::pair<const char*, std::string> cases[] = {
      {"SELECT name FROM `shop`.`products` WHERE id = 5", "🍕 Pizza stone"},
      {"SELECT CONCAT('a', CHAR(0), 'b')", std::string("a\0b", 3)},
      {"SELECT X'00FF7F'", std::string("\0\xff\x7f", 3)},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(Value(sql), expected) << sql;

  auto rs = Main.ExecuteQuery("WITH RECURSIVE d AS (SELECT 0 AS i UNION ALL SELECT i + 1 FROM d WHERE i < 99) "
                              "SELECT a.i * 100 + b.i + 1 AS n, REPEAT('x', (a.i * 100 + b.i + 1) % 300) "
                              "FROM d a CROSS JOIN d b WHERE a.i < 50 ORDER BY n");
  ASSERT_NE(rs, nullptr) << Main.LastError();
  EXPECT_EQ(TDBManager::GetRowCount(rs.get()), 5000) << "a larger answer is read whole";
  ASSERT_TRUE(rs->Last());
  EXPECT_EQ(rs->GetString(1) + "/" + std::to_string(rs->GetString(2).size()), "5000/200");
}

TEST_F(DBServerTest, AwkwardNamesWorkThroughQuoteIdentifier) {
  EXPECT_EQ(Column("show tables from " + QuoteIdentifier("my-db")), Strings{"notes"});
  EXPECT_EQ(Value("SELECT " + QuoteIdentifier("key") + " FROM `shop`." + QuoteIdentifier("order") + " WHERE id = 3"),
            "B-0001");
  // Names holding backticks, in a database of this process's own.
  const std::string scratch = QuoteIdentifier("qf`scratch " + std::to_string(::getpid()));
  const std::string table = scratch + "." + QuoteIdentifier("we`ird ta`ble");
  const AtEnd drop{[&] { Main.ExecuteQuery("DROP DATABASE IF EXISTS " + scratch); }};
  for (const std::string& sql : {"CREATE DATABASE " + scratch, "CREATE TABLE " + table + " (`a``b` VARCHAR(10))",
                                 "INSERT INTO " + table + " VALUES ('v''1')",
                                 "CREATE PROCEDURE " + scratch + ".two_sets() BEGIN SELECT name FROM `shop`.`city` "
                                 "ORDER BY id LIMIT 2; SELECT 'second'; END"})
    ASSERT_NE(Main.ExecuteQuery(sql), nullptr) << sql << ": " << Main.LastError();
  EXPECT_EQ(Column("show tables from " + scratch), Strings{"we`ird ta`ble"});
  EXPECT_EQ(Column("describe " + table), Strings{"a`b"});
  EXPECT_EQ(Value("SELECT " + QuoteIdentifier("a`b") + " FROM " + table), "v'1");
  // A procedure answers with several results; the rest must be read off so the next statement is in step.
  EXPECT_EQ(Column("CALL " + scratch + ".two_sets()"), (Strings{"Zürich", "東京"}));
  EXPECT_EQ(Value("SELECT 'next'"), "next");
  EXPECT_EQ(QuoteIdentifier("") + QuoteIdentifier(std::string("`\0", 2)), std::string("`````\0`", 7));
}

// A user of this test's own, whose login can be refused for a while.
TEST_F(DBServerTest, KilledConnectionIsReopenedOnTheNextQueryWhenTheLoginWorks) {
  TDBManager db;
  const std::string user = "qf_user_" + std::to_string(::getpid()), account = "'" + user + "'@'%'";
  const AtEnd drop{[&] { Main.ExecuteQuery("DROP USER IF EXISTS " + account); }};
  for (const std::string& sql : {"CREATE OR REPLACE USER " + account + " IDENTIFIED BY 'pw'",
                                 "GRANT SELECT ON `shop`.* TO " + account})
    ASSERT_NE(Main.ExecuteQuery(sql), nullptr) << sql << ": " << Main.LastError();
  ASSERT_NE(db.Connect(Db.Host, user, "pw", Db.Port, "shop"), nullptr) << db.LastError();
  TDBConnection* connection = db.Connection();
  std::string victim;
  auto kill = [&] {
    victim = Value("SELECT CONNECTION_ID()", &db);
    ASSERT_NE(Main.ExecuteQuery("KILL " + victim), nullptr) << Main.LastError();
    ASSERT_TRUE(WaitUntilGone(victim));
  };

  ASSERT_NO_FATAL_FAILURE(kill());
  EXPECT_EQ(Query("SELECT CONNECTION_ID() = " + victim + ", DATABASE(), COUNT(*) FROM city", &db),
            (Rows{{"0", "shop", "6"}}))
      << "answered by a new connection, opened with the stored parameters";
  EXPECT_EQ(db.Connection(), connection) << "callers keep the same connection object";

  ASSERT_NE(Main.ExecuteQuery("ALTER USER " + account + " ACCOUNT LOCK"), nullptr) << Main.LastError();
  ASSERT_NO_FATAL_FAILURE(kill());
  const auto start = Clock::now();
  EXPECT_EQ(db.ExecuteQuery("SELECT 1"), nullptr) << "the reconnect cannot log in";
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_FALSE(db.LastError().empty());
  EXPECT_EQ(db.Connection(), connection) << "the connection stays, to be reopened later";

  ASSERT_NE(Main.ExecuteQuery("ALTER USER " + account + " ACCOUNT UNLOCK"), nullptr) << Main.LastError();
  EXPECT_EQ(Value("SELECT COUNT(*) FROM city", &db), "6");
  EXPECT_TRUE(db.LastError().empty()) << db.LastError();
}

}  // namespace
