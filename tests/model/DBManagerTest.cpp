// TDBManager against the private test server (QF_TEST_DB_*), plus the parts
// of TResultSet and QuoteIdentifier that need no server.

#include "core/TextUtils.h"
#include "model/DBManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;
using Rows = std::vector<Strings>;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

/** Every row, read the way the program's callers do: GetRowCount, then
 *  GetString by 1-based column and Next, row after row. */
Rows ReadAll(TResultSet* rs) {
  Rows rows(static_cast<size_t>(std::max(0, TDBManager::GetRowCount(rs))));
  for (Strings& row : rows) {
    for (int c = 1; c <= rs->ColumnCount(); ++c) row.push_back(rs->GetString(c));
    rs->Next();
  }
  return rows;
}

Strings Column(const Rows& rows) {
  Strings values;
  for (const auto& row : rows) values.push_back(row.empty() ? "<missing>" : row[0]);
  return values;
}

/** Runs Action when it goes out of scope. */
struct AtEnd {
  std::function<void()> Action;
  ~AtEnd() { Action(); }
};

bool Contains(const Strings& values, const std::string& value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

/** A TCP socket on a free port of 127.0.0.1, listening when asked; -1 when
 *  that fails. port receives the port. */
int BoundSocket(bool listening, int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      (listening && ::listen(fd, 16) != 0) || ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (fd >= 0) ::close(fd);
    return port = -1;
  }
  port = ntohs(addr.sin_port);
  return fd;
}

TEST(QuoteIdentifierTest, WrapsInBackticksAndDoublesEmbeddedOnes) {
  const struct {
    std::string Name, Quoted;
  } cases[] = {{"shop", "`shop`"},     {"a`b", "`a``b`"},      {"", "``"},          {"`", "````"},
               {"`lead", "```lead`"}, {"trail`", "`trail```"}, {"a.b", "`a.b`"},   {"東京", "`東京`"},
               {"it's", "`it's`"},    {std::string("a\0b", 3), std::string("`a\0b`", 5)}};
  for (const auto& c : cases) EXPECT_EQ(QuoteIdentifier(c.Name), c.Quoted) << c.Name;
}

TEST(ResultSetTest, WalksForwardStopsPastTheEndAndReadsEmptyOutsideTheRow) {
  TResultSet rs({"id", "name"}, {{"1", "one"}, {"2", "two"}, {"3"}});  // the last row shorter than the columns
  std::string walk;  // "row:columns 1 and 2" at each step
  auto at = [&] { walk += std::to_string(rs.GetRow()) + ":" + rs.GetString(1) + rs.GetString(2) + " "; };
  at();
  while (rs.Next()) at();
  at();
  EXPECT_FALSE(rs.Next());
  at();
  EXPECT_TRUE(rs.Last());
  at();
  EXPECT_TRUE(rs.First());
  at();
  EXPECT_EQ(walk, "1:1one 2:2two 3:3 0: 0: 3:3 1:1one ");
  for (int column : {0, -1, 3, INT_MIN, INT_MAX}) {
    EXPECT_EQ(rs.GetString(column), "") << column;
    EXPECT_EQ(rs.ColumnName(column), "") << column;
  }
  EXPECT_EQ(rs.ColumnName(2), "name");
  for (int moves = 0; moves <= 4; ++moves) {  // the row count leaves the set on its first row
    rs.First();
    for (int i = 0; i < moves; ++i) rs.Next();
    EXPECT_EQ(TDBManager::GetRowCount(&rs), 3) << moves;
    EXPECT_EQ(rs.GetRow(), 1) << moves;
  }
  EXPECT_EQ(TDBManager::GetRowCount(nullptr), -1);

  TResultSet empty({"a", "b"}, {});
  EXPECT_FALSE(empty.First() || empty.Last() || empty.Next());
  EXPECT_EQ(empty.GetRow(), 0);
  EXPECT_EQ(empty.GetString(1), "");
  EXPECT_EQ(TDBManager::GetRowCount(&empty), 0);
}

TEST(DBManagerOfflineTest, WithoutConnectionEveryQueryAnswersNull) {
  TDBManager db;
  EXPECT_EQ(db.Connection(), nullptr);
  EXPECT_EQ(db.ExecuteQuery("SELECT 1"), nullptr);
  EXPECT_FALSE(db.LastError().empty());
}

class DBServerTest : public ::testing::Test {
protected:
  void SetUp() override {
    QF_REQUIRE_DB(p);
    Db = p;
  }

  // Connects or fails the test (never skips: the server was promised by the environment).
  void ConnectOrFail(TDBManager& db, const std::string& database = "", const std::string& host = "") {
    TDBConnection* c = db.Connect(host.empty() ? Db.Host : host, Db.User, Db.Password, Db.Port, database);
    ASSERT_NE(c, nullptr) << "cannot reach the test server at " << Db.Host << ":" << Db.Port << ": "
                          << db.LastError();
    ASSERT_EQ(db.Connection(), c);
  }

  // Rows of a statement that must succeed.
  Rows Query(TDBManager& db, const std::string& sql) {
    auto rs = db.ExecuteQuery(sql);
    EXPECT_NE(rs, nullptr) << sql << ": " << db.LastError();
    return rs ? ReadAll(rs.get()) : Rows{};
  }

  // The single value of a statement that must answer one row.
  std::string Value(TDBManager& db, const std::string& sql) {
    Rows rows = Query(db, sql);
    EXPECT_EQ(rows.size(), 1u) << sql;
    return rows.empty() || rows[0].empty() ? "<no value>" : rows[0][0];
  }

  bool WaitUntilGone(TDBManager& db, const std::string& connectionId) {
    for (int i = 0; i < 100; ++i) {
      if (Value(db, "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = " + connectionId) == "0")
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  qftest::DbParams Db;
};

TEST_F(DBServerTest, ConnectsOverTcpInUtf8mb4AndReplacesTheEarlierConnection) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, "", "localhost"));
  const Strings names = Column(Query(db, "show databases"));
  for (const char* name : {"shop", "my-db", "information_schema"}) EXPECT_TRUE(Contains(names, name)) << name;
  EXPECT_TRUE(db.LastError().empty()) << db.LastError();
  EXPECT_EQ(Query(db, "SELECT @@character_set_client, @@character_set_connection, @@character_set_results"),
            (Rows{{"utf8mb4", "utf8mb4", "utf8mb4"}}));
  // "localhost" goes over TCP to the given port; over a socket the server would list the client as "localhost".
  EXPECT_EQ(Value(db, "SELECT @@port"), std::to_string(Db.Port));
  const std::string client = Value(db, "SELECT HOST FROM information_schema.PROCESSLIST WHERE ID = CONNECTION_ID()");
  EXPECT_EQ(client.rfind("127.0.0.1:", 0), 0u) << client;

  TDBManager observer;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(observer));
  for (const char* database : {"shop", "my-db"}) {  // each Connect replaces and closes the one before
    const std::string before = Value(db, "SELECT CONNECTION_ID()");
    ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, database));
    EXPECT_EQ(Value(db, "SELECT DATABASE()"), database);
    EXPECT_TRUE(WaitUntilGone(observer, before)) << "the earlier connection was left open";
  }
}

// Every way a connection can fail: null, no connection left behind (even when
// the manager was connected before or fails twice), a message, and no long wait.
TEST_F(DBServerTest, FailedConnectAnswersNullQuicklyAndDropsTheEarlierConnection) {
  int silentPort = 0, closedPort = 0;
  const int silent = BoundSocket(true, silentPort);  // the handshake completes, no greeting ever comes
  ::close(BoundSocket(false, closedPort));
  ASSERT_GT(silentPort, 0);
  ASSERT_GT(closedPort, 0);
  const double quick = 3.0;
  const struct {
    const char* What;
    std::string Host, User, Password;
    int Port;
    std::string Database;
    double MaxSeconds;
  } cases[] = {
      {"wrong password", Db.Host, Db.User, Db.Password + "x", Db.Port, "", quick},
      {"empty password", Db.Host, Db.User, "", Db.Port, "", quick},
      {"unknown user", Db.Host, "qf_no_such_user", Db.Password, Db.Port, "", quick},
      {"unknown database", Db.Host, Db.User, Db.Password, Db.Port, "qf_no_such_db", quick},
      {"closed port", "127.0.0.1", Db.User, Db.Password, closedPort, "", quick},
      {"server that never greets", "127.0.0.1", Db.User, Db.Password, silentPort, "",
       TDBManager::ConnectTimeoutSeconds + 3.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    TDBManager db;
    ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
    for (int attempt = 0; attempt < (c.MaxSeconds == quick ? 2 : 1); ++attempt) {
      const auto start = Clock::now();
      EXPECT_EQ(db.Connect(c.Host, c.User, c.Password, c.Port, c.Database), nullptr);
      EXPECT_LT(SecondsSince(start), c.MaxSeconds);
      EXPECT_EQ(db.Connection(), nullptr);
      EXPECT_FALSE(db.LastError().empty());
      EXPECT_EQ(db.ExecuteQuery("SELECT 1"), nullptr) << "the earlier connection must not answer";
    }
    ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));  // not stuck: a good Connect works again
    EXPECT_EQ(Value(db, "SELECT 1"), "1");
  }
  ::close(silent);
}

TEST_F(DBServerTest, RejectedStatementsAnswerNullAndLeaveTheConnectionUsable) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  const struct {
    const char* Sql;
    const char* Message;  // part of the server's answer
  } cases[] = {
      {"SELEC 1", "syntax"},
      {"SELECT no_such_column FROM shop.city", "no_such_column"},
      {"describe `shop`.`no_such_table`", "no_such_table"},
      {"show tables from `no_such_db`", "no_such_db"},
      {"show tables from my-db", "syntax"},  // unquoted, the name does not parse
      {"SELECT 1; SELECT 2", "syntax"},      // one statement at a time
      {"", "empty"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(db.ExecuteQuery(c.Sql), nullptr) << c.Sql;
    EXPECT_NE(LowerCase(db.LastError()).find(c.Message), std::string::npos) << db.LastError();
    EXPECT_EQ(Value(db, "SELECT 'still here'"), "still here");
    EXPECT_TRUE(db.LastError().empty()) << "a success clears the last error";
  }
}

TEST_F(DBServerTest, EmptyAnswersCountZero) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  const struct {
    const char* Sql;
    int Columns;  // known even without rows
  } cases[] = {{"SET @qf_x = 42", 0}, {"USE `shop`", 0}, {"CREATE TEMPORARY TABLE qf_tmp (a INT)", 0},
               {"INSERT INTO qf_tmp VALUES (1), (2)", 0}, {"SELECT * FROM `shop`.`products` WHERE id < 0", 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Sql);
    auto rs = db.ExecuteQuery(c.Sql);
    ASSERT_NE(rs, nullptr) << db.LastError();
    EXPECT_EQ(rs->GetRow(), 0);
    EXPECT_EQ(TDBManager::GetRowCount(rs.get()), 0);
    EXPECT_EQ(rs->GetRow(), 0);
    EXPECT_EQ(rs->GetString(1), "");
    EXPECT_FALSE(rs->Next());
    EXPECT_EQ(rs->ColumnCount(), c.Columns);
  }
  EXPECT_EQ(Value(db, "SELECT @qf_x"), "42");  // they did take effect
  EXPECT_EQ(Value(db, "SELECT DATABASE()"), "shop");
  EXPECT_EQ(Value(db, "SELECT COUNT(*) FROM qf_tmp"), "2");
}

TEST_F(DBServerTest, ReadsWholeAnswersByteForByteWithNullAsEmptyText) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  EXPECT_EQ(Query(db, "SELECT NULL, '', 'x', NULL"), (Rows{{"", "", "x", ""}}));
  EXPECT_EQ(Query(db, "SELECT id, description, released, picture FROM `shop`.`products` WHERE id < 3 ORDER BY id"),
            (Rows{{"1", "Boils water.", "2021-03-01", "kettle.png"}, {"2", "", "2020-11-15", ""}}));
  EXPECT_EQ(Column(Query(db, "SELECT name FROM `shop`.`city` ORDER BY id")),
            (Strings{"Zürich", "東京", "London", "São Paulo", "L'Aquila", "Київ"}));

  const struct {
    const char* Sql;
    std::string Expected;
  } cases[] = {
      {"SELECT name FROM `shop`.`customer` WHERE id = 7", "Zoë \"Quote\" Smith"},
      {"SELECT name FROM `shop`.`products` WHERE id = 5", "🍕 Pizza stone"},
      {"SELECT colours FROM `shop`.`products` WHERE id = 7", "red,green,blue"},
      {"SELECT price FROM `shop`.`products` WHERE id = 9", "4.20"},
      {"SELECT updated_at FROM `shop`.`products` WHERE id = 1", "2024-01-05 10:00:00"},
      {"SELECT title FROM `my-db`.`notes` WHERE id = 3", "Grüße"},
      {"SELECT id FROM `shop`.`city` WHERE name = '東京'", "2"},  // the literal travelled in utf8mb4 too
      {"SELECT CONCAT(LENGTH(name), '/', CHAR_LENGTH(name)) FROM `shop`.`city` WHERE id = 2", "6/2"},
      {"SELECT CONCAT('a', CHAR(0), 'b')", std::string("a\0b", 3)},
      {"SELECT X'00FF7F'", std::string("\0\xff\x7f", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(Value(db, c.Sql), c.Expected) << c.Sql;

  auto rs = db.ExecuteQuery("WITH RECURSIVE d AS (SELECT 0 AS i UNION ALL SELECT i + 1 FROM d WHERE i < 99) "
                            "SELECT a.i * 100 + b.i + 1 AS n, REPEAT('x', (a.i * 100 + b.i + 1) % 300) "
                            "FROM d a CROSS JOIN d b WHERE a.i < 50 ORDER BY n");
  ASSERT_NE(rs, nullptr) << db.LastError();
  EXPECT_EQ(TDBManager::GetRowCount(rs.get()), 5000) << "a larger answer is read whole";
  EXPECT_EQ(rs->GetRow(), 1);
  ASSERT_TRUE(rs->Last());
  EXPECT_EQ(rs->GetString(1), "5000");
  EXPECT_EQ(rs->GetString(2).size(), 5000u % 300);
}

TEST_F(DBServerTest, AwkwardNamesWorkThroughQuoteIdentifier) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  EXPECT_EQ(Column(Query(db, "show tables from " + QuoteIdentifier("my-db"))), Strings{"notes"});
  const std::string order = QuoteIdentifier("shop") + "." + QuoteIdentifier("order");
  EXPECT_EQ(Column(Query(db, "show fields from " + order)), (Strings{"id", "customer_id", "key", "placed"}));
  EXPECT_EQ(Value(db, "SELECT " + QuoteIdentifier("key") + " FROM " + order + " WHERE id = 3"), "B-0001");
  EXPECT_EQ(db.ExecuteQuery("SELECT key FROM " + order), nullptr) << "without quotes reserved words do not parse";

  // Names holding backticks, in a database of this process's own.
  const std::string scratch = QuoteIdentifier("qf`scratch " + std::to_string(::getpid()));
  const std::string table = scratch + "." + QuoteIdentifier("we`ird ta`ble");
  const AtEnd drop{[&] { db.ExecuteQuery("DROP DATABASE IF EXISTS " + scratch); }};
  for (const std::string& sql : {"CREATE DATABASE " + scratch, "CREATE TABLE " + table + " (`a``b` VARCHAR(10))",
                                 "INSERT INTO " + table + " VALUES ('v''1')"})
    ASSERT_NE(db.ExecuteQuery(sql), nullptr) << sql << ": " << db.LastError();
  EXPECT_EQ(Column(Query(db, "show tables from " + scratch)), Strings{"we`ird ta`ble"});
  EXPECT_EQ(Column(Query(db, "describe " + table)), Strings{"a`b"});
  EXPECT_EQ(Value(db, "SELECT " + QuoteIdentifier("a`b") + " FROM " + table), "v'1");

  // A procedure answers with several results; the rest must be read off so the next statement is in step.
  ASSERT_NE(db.ExecuteQuery("CREATE PROCEDURE " + scratch + ".two_sets() BEGIN SELECT name FROM `shop`.`city` "
                            "ORDER BY id LIMIT 2; SELECT 'second'; END"),
            nullptr)
      << db.LastError();
  EXPECT_EQ(Column(Query(db, "CALL " + scratch + ".two_sets()")), (Strings{"Zürich", "東京"}));
  EXPECT_EQ(Value(db, "SELECT 'next'"), "next");
}

// A user of this test's own, whose login can be refused for a while.
TEST_F(DBServerTest, KilledConnectionIsReopenedOnTheNextQueryWhenTheLoginWorks) {
  TDBManager admin, db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(admin));
  const std::string user = "qf_user_" + std::to_string(::getpid()), account = "'" + user + "'@'%'";
  const AtEnd drop{[&] { admin.ExecuteQuery("DROP USER IF EXISTS " + account); }};
  for (const std::string& sql : {"CREATE OR REPLACE USER " + account + " IDENTIFIED BY 'pw'",
                                 "GRANT SELECT ON `shop`.* TO " + account})
    ASSERT_NE(admin.ExecuteQuery(sql), nullptr) << sql << ": " << admin.LastError();
  ASSERT_NE(db.Connect(Db.Host, user, "pw", Db.Port, "shop"), nullptr) << db.LastError();
  TDBConnection* connection = db.Connection();
  auto kill = [&] {
    const std::string victim = Value(db, "SELECT CONNECTION_ID()");
    ASSERT_NE(admin.ExecuteQuery("KILL " + victim), nullptr) << admin.LastError();
    ASSERT_TRUE(WaitUntilGone(admin, victim));
  };

  const std::string before = Value(db, "SELECT CONNECTION_ID()");
  ASSERT_NO_FATAL_FAILURE(kill());
  auto rs = db.ExecuteQuery("SELECT CONNECTION_ID(), DATABASE(), COUNT(*) FROM city");
  ASSERT_NE(rs, nullptr) << "no recovery after KILL: " << db.LastError();
  EXPECT_NE(rs->GetString(1), before) << "answered by a new connection";
  EXPECT_EQ(rs->GetString(2), "shop") << "reopened with the stored parameters";
  EXPECT_EQ(rs->GetString(3), "6");
  EXPECT_EQ(db.Connection(), connection) << "callers keep the same connection object";

  ASSERT_NE(admin.ExecuteQuery("ALTER USER " + account + " ACCOUNT LOCK"), nullptr) << admin.LastError();
  ASSERT_NO_FATAL_FAILURE(kill());
  const auto start = Clock::now();
  EXPECT_EQ(db.ExecuteQuery("SELECT 1"), nullptr) << "the reconnect cannot log in";
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_FALSE(db.LastError().empty());
  EXPECT_EQ(db.Connection(), connection) << "the connection stays, to be reopened later";

  ASSERT_NE(admin.ExecuteQuery("ALTER USER " + account + " ACCOUNT UNLOCK"), nullptr) << admin.LastError();
  EXPECT_EQ(Value(db, "SELECT COUNT(*) FROM city"), "6");
  EXPECT_TRUE(db.LastError().empty()) << db.LastError();
}

}  // namespace
