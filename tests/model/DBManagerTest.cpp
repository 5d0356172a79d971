// TDBManager against the private test server (QF_TEST_DB_*), plus the parts
// of TResultSet and QuoteIdentifier that need no server.

#include "core/TextUtils.h"
#include "model/DBManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Rows = std::vector<std::vector<std::string>>;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Every row of a result set, read the way the program's callers read it:
// GetRowCount, then GetString by 1-based column and Next, row after row.
Rows ReadAll(TResultSet* rs) {
  Rows rows;
  const int n = TDBManager::GetRowCount(rs);
  for (int i = 0; i < n; ++i) {
    std::vector<std::string> row;
    for (int c = 1; c <= rs->ColumnCount(); ++c) row.push_back(rs->GetString(c));
    rows.push_back(std::move(row));
    rs->Next();
  }
  return rows;
}

// One column of every row.
std::vector<std::string> Column(const Rows& rows, size_t index) {
  std::vector<std::string> values;
  for (const auto& row : rows) values.push_back(index < row.size() ? row[index] : "<missing>");
  return values;
}

bool Contains(const std::vector<std::string>& values, const std::string& value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

// A port on 127.0.0.1 that nothing listens on (bound once, then released).
int ClosedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (fd >= 0) ::close(fd);
    return -1;
  }
  ::close(fd);
  return ntohs(addr.sin_port);
}

// A listening socket that never accepts: the TCP handshake completes in the
// kernel, but no server greeting ever comes.
class SilentListener {
public:
  SilentListener() {
    FFd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (FFd < 0 || ::bind(FFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(FFd, 8) != 0 ||
        ::getsockname(FFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
      return;
    FPort = ntohs(addr.sin_port);
  }
  ~SilentListener() {
    if (FFd >= 0) ::close(FFd);
  }
  int Port() const { return FPort; }

private:
  int FFd = -1;
  int FPort = -1;
};

// Relays TCP connections from a local port to the test server, so a test can
// cut every connection and refuse new ones (the server "goes away") and then
// come back on the same port.
class TcpRelay {
public:
  TcpRelay(int targetPort, int listenPort) : FTarget(targetPort) {
    FListen = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(listenPort));
    socklen_t len = sizeof addr;
    if (FListen < 0 || ::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(FListen, 16) != 0 || ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      if (FListen >= 0) ::close(FListen);
      FListen = -1;
      return;
    }
    FPort = ntohs(addr.sin_port);
    FThread = std::thread([this] { Run(); });
  }
  ~TcpRelay() { Stop(); }
  TcpRelay(const TcpRelay&) = delete;
  TcpRelay& operator=(const TcpRelay&) = delete;

  int Port() const { return FPort; }
  /** Closes the listening port and every relayed connection. */
  void Stop() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
  }

private:
  static void CloseBoth(std::pair<int, int>& p) {
    ::close(p.first);
    ::close(p.second);
  }

  static bool SendAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
      const ssize_t n = ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
      if (n <= 0) return false;
      data += n;
      size -= n;
    }
    return true;
  }

  int ConnectTarget() const {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(FTarget));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
  }

  void Run() {
    std::vector<std::pair<int, int>> pairs;  // client, server
    char buffer[16384];
    while (!FStop) {
      std::vector<pollfd> fds{{FListen, POLLIN, 0}};
      for (const auto& p : pairs) {
        fds.push_back({p.first, POLLIN, 0});
        fds.push_back({p.second, POLLIN, 0});
      }
      if (::poll(fds.data(), fds.size(), 50) <= 0) continue;
      if (fds[0].revents & POLLIN) {
        const int client = ::accept(FListen, nullptr, nullptr);
        if (client >= 0) {
          const int server = ConnectTarget();
          if (server >= 0) pairs.emplace_back(client, server);
          else ::close(client);
        }
      }
      std::vector<bool> dead(pairs.size(), false);
      const size_t polled = (fds.size() - 1) / 2;  // a pair accepted just now is not in fds yet
      for (size_t i = 0; i < polled; ++i) {
        for (int side = 0; side < 2 && !dead[i]; ++side) {
          if (!(fds[1 + 2 * i + side].revents & (POLLIN | POLLHUP | POLLERR))) continue;
          const int from = side == 0 ? pairs[i].first : pairs[i].second;
          const int to = side == 0 ? pairs[i].second : pairs[i].first;
          const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
          if (n <= 0 || !SendAll(to, buffer, n)) dead[i] = true;
        }
      }
      for (size_t i = pairs.size(); i-- > 0;)
        if (dead[i]) {
          CloseBoth(pairs[i]);
          pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    for (auto& p : pairs) CloseBoth(p);
    ::close(FListen);
  }

  int FTarget;
  int FListen = -1;
  int FPort = -1;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

// ---------------------------------------------------------------------------
// QuoteIdentifier and TResultSet: no server needed.

TEST(QuoteIdentifierTest, WrapsInBackticksAndDoublesEmbeddedOnes) {
  const struct {
    std::string name, quoted;
  } cases[] = {
      {"shop", "`shop`"},
      {"a`b", "`a``b`"},
      {"my-db", "`my-db`"},
      {"order", "`order`"},
      {"", "``"},
      {"`", "````"},
      {"``", "``````"},
      {"`lead", "```lead`"},
      {"trail`", "`trail```"},
      {"a.b", "`a.b`"},  // one name, not database and table
      {"東京", "`東京`"},
      {"it's", "`it's`"},
      {"sp ace", "`sp ace`"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteIdentifier(c.name), c.quoted) << "name: " << c.name;
  EXPECT_EQ(QuoteIdentifier(std::string_view("a\0b", 3)), std::string("`a\0b`", 5));
}

TResultSet ThreeRows() {
  return TResultSet({"id", "name"}, {{"1", "one"}, {"2", "two"}, {"3", "three"}});
}

TEST(ResultSetTest, WalksForwardAndStopsPastTheEnd) {
  TResultSet rs = ThreeRows();
  EXPECT_EQ(rs.GetRow(), 1) << "a new set starts on its first row";
  EXPECT_EQ(rs.GetString(2), "one");
  EXPECT_TRUE(rs.Next());
  EXPECT_EQ(rs.GetRow(), 2);
  EXPECT_EQ(rs.GetString(1), "2");
  EXPECT_TRUE(rs.Next());
  EXPECT_EQ(rs.GetString(2), "three");
  EXPECT_FALSE(rs.Next()) << "moving past the last row";
  EXPECT_EQ(rs.GetRow(), 0);
  EXPECT_EQ(rs.GetString(1), "");
  EXPECT_FALSE(rs.Next()) << "stays past the end";
  EXPECT_EQ(rs.GetRow(), 0);
  EXPECT_TRUE(rs.Last());
  EXPECT_EQ(rs.GetRow(), 3);
  EXPECT_EQ(rs.GetString(1), "3");
  EXPECT_TRUE(rs.First());
  EXPECT_EQ(rs.GetRow(), 1);
  EXPECT_EQ(rs.GetString(1), "1");
}

TEST(ResultSetTest, EmptySetHasNoCurrentRow) {
  TResultSet rs({"a", "b"}, {});
  EXPECT_EQ(rs.GetRow(), 0);
  EXPECT_FALSE(rs.First());
  EXPECT_FALSE(rs.Last());
  EXPECT_FALSE(rs.Next());
  EXPECT_EQ(rs.GetRow(), 0);
  EXPECT_EQ(rs.GetString(1), "");
  EXPECT_EQ(rs.ColumnCount(), 2);
  EXPECT_EQ(TDBManager::GetRowCount(&rs), 0);
  EXPECT_EQ(rs.GetRow(), 0);
}

TEST(ResultSetTest, ColumnsOutsideTheRowReadEmpty) {
  TResultSet rs({"a", "b"}, {{"x", "y"}, {"short"}});
  for (int column : {0, -1, 3, 100, INT_MIN, INT_MAX}) {
    EXPECT_EQ(rs.GetString(column), "") << "column " << column;
    EXPECT_EQ(rs.ColumnName(column), "") << "column " << column;
  }
  EXPECT_EQ(rs.ColumnName(1), "a");
  EXPECT_EQ(rs.ColumnName(2), "b");
  ASSERT_TRUE(rs.Next());
  EXPECT_EQ(rs.GetString(1), "short");
  EXPECT_EQ(rs.GetString(2), "") << "a row shorter than the column list";
}

TEST(ResultSetTest, RowCountLeavesTheSetOnItsFirstRow) {
  TResultSet rs = ThreeRows();
  for (int moves = 0; moves <= 4; ++moves) {
    rs.First();
    for (int i = 0; i < moves; ++i) rs.Next();
    EXPECT_EQ(TDBManager::GetRowCount(&rs), 3) << "after " << moves << " moves";
    EXPECT_EQ(rs.GetRow(), 1) << "after " << moves << " moves";
  }
  EXPECT_EQ(TDBManager::GetRowCount(nullptr), -1);

  TResultSet one({"v"}, {{"only"}});
  EXPECT_EQ(TDBManager::GetRowCount(&one), 1);
  EXPECT_EQ(one.GetString(1), "only");
}

TEST(DBManagerOfflineTest, WithoutConnectionEveryQueryAnswersNull) {
  TDBManager db;
  EXPECT_EQ(db.Connection(), nullptr);
  for (const char* sql : {"SELECT 1", "show databases", ""}) {
    auto rs = db.ExecuteQuery(sql);
    EXPECT_EQ(rs, nullptr) << sql;
    EXPECT_EQ(TDBManager::GetRowCount(rs.get()), -1);
  }
  EXPECT_FALSE(db.LastError().empty());
}

// ---------------------------------------------------------------------------
// Against the server.

class DBServerTest : public ::testing::Test {
protected:
  void SetUp() override {
    QF_REQUIRE_DB(p);
    Db = p;
  }

  // Connects or fails the test with the server's message (never skips: the
  // server was promised by the environment).
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

  // Waits until the server no longer lists a connection id.
  bool WaitUntilGone(TDBManager& db, const std::string& id) {
    for (int i = 0; i < 100; ++i) {
      if (Value(db, "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = " + id) == "0") return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  qftest::DbParams Db;
};

// A database for one test, named after the test process so parallel runs do
// not meet; dropped at the end.
class ScratchDatabase {
public:
  ScratchDatabase(TDBManager& db, const std::string& stem)
      : FDb(db), FName(stem + std::to_string(::getpid())) {
    FDb.ExecuteQuery("DROP DATABASE IF EXISTS " + QuoteIdentifier(FName));
    FCreated = FDb.ExecuteQuery("CREATE DATABASE " + QuoteIdentifier(FName)) != nullptr;
  }
  ~ScratchDatabase() { FDb.ExecuteQuery("DROP DATABASE IF EXISTS " + QuoteIdentifier(FName)); }
  bool Created() const { return FCreated; }
  const std::string& Name() const { return FName; }
  std::string Quoted() const { return QuoteIdentifier(FName); }

private:
  TDBManager& FDb;
  std::string FName;
  bool FCreated = false;
};

TEST_F(DBServerTest, ConnectsAndListsTheFixtureDatabases) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  auto rs = db.ExecuteQuery("show databases");
  ASSERT_NE(rs, nullptr) << db.LastError();
  EXPECT_EQ(rs->GetRow(), 1) << "the answer starts on its first row";
  const auto names = Column(ReadAll(rs.get()), 0);
  EXPECT_TRUE(Contains(names, "shop"));
  EXPECT_TRUE(Contains(names, "my-db"));
  EXPECT_TRUE(Contains(names, "information_schema"));
  EXPECT_TRUE(db.LastError().empty()) << db.LastError();
}

TEST_F(DBServerTest, ConnectsToTheNamedDatabase) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, "shop"));
  EXPECT_EQ(Value(db, "SELECT DATABASE()"), "shop");
  const auto tables = Column(Query(db, "show tables"), 0);
  for (const char* t : {"audit_log", "city", "customer", "order", "order_item", "products"})
    EXPECT_TRUE(Contains(tables, t)) << t;

  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, "my-db"));
  EXPECT_EQ(Value(db, "SELECT DATABASE()"), "my-db");
}

TEST_F(DBServerTest, ConnectionUsesUtf8mb4) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  Rows rows = Query(db, "SELECT @@character_set_client, @@character_set_connection, @@character_set_results");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"utf8mb4", "utf8mb4", "utf8mb4"}));
}

// Every way a connection can fail: null, no connection left behind (even
// though the manager was connected before), a message, and no long wait.
TEST_F(DBServerTest, FailedConnectAnswersNullQuicklyAndDropsTheEarlierConnection) {
  SilentListener silent;
  ASSERT_GT(silent.Port(), 0);
  const int closedPort = ClosedPort();
  ASSERT_GT(closedPort, 0);
  const double quick = 3.0;
  const double timeout = TDBManager::ConnectTimeoutSeconds + 3.0;

  const struct {
    const char* what;
    std::string host, user, password;
    int port;
    std::string database;
    double maxSeconds;
  } cases[] = {
      {"wrong password", Db.Host, Db.User, Db.Password + "x", Db.Port, "", quick},
      {"empty password", Db.Host, Db.User, "", Db.Port, "", quick},
      {"unknown user", Db.Host, "qf_no_such_user", Db.Password, Db.Port, "", quick},
      {"unknown database", Db.Host, Db.User, Db.Password, Db.Port, "qf_no_such_db", quick},
      {"closed port", "127.0.0.1", Db.User, Db.Password, closedPort, "", quick},
      {"server that never greets", "127.0.0.1", Db.User, Db.Password, silent.Port(), "", timeout},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TDBManager db;
    ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));

    const auto start = Clock::now();
    TDBConnection* result = db.Connect(c.host, c.user, c.password, c.port, c.database);
    const double seconds = SecondsSince(start);

    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(db.Connection(), nullptr);
    EXPECT_LT(seconds, c.maxSeconds);
    EXPECT_FALSE(db.LastError().empty());
    EXPECT_EQ(db.ExecuteQuery("SELECT 1"), nullptr) << "the earlier connection must not answer";

    // The manager is not stuck: a good Connect works again.
    ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
    EXPECT_EQ(Value(db, "SELECT 1"), "1");
  }
}

TEST_F(DBServerTest, SecondConnectReplacesAndClosesTheFirst) {
  TDBManager db, observer;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(observer));
  const std::string first = Value(db, "SELECT CONNECTION_ID()");

  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, "shop"));
  const std::string second = Value(db, "SELECT CONNECTION_ID()");
  EXPECT_NE(first, second);
  EXPECT_EQ(Value(db, "SELECT DATABASE()"), "shop");
  EXPECT_TRUE(WaitUntilGone(observer, first)) << "the earlier connection was left open";
}

TEST_F(DBServerTest, LocalhostReachesTheGivenPortOverTcp) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, "", "localhost"));
  EXPECT_EQ(Value(db, "SELECT @@port"), std::to_string(Db.Port));
  // Over a socket the server would list the client as "localhost".
  const std::string client =
      Value(db, "SELECT HOST FROM information_schema.PROCESSLIST WHERE ID = CONNECTION_ID()");
  EXPECT_EQ(client.rfind("127.0.0.1:", 0), 0u) << client;
}

TEST_F(DBServerTest, RejectedStatementsAnswerNullAndLeaveTheConnectionUsable) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  const struct {
    const char* sql;
    const char* message;  // part of the server's answer
  } cases[] = {
      {"SELEC 1", "syntax"},
      {"SELECT * FROM", "syntax"},
      {"SELECT * FROM shop.no_such_table", "no_such_table"},
      {"SELECT no_such_column FROM shop.city", "no_such_column"},
      {"describe `shop`.`no_such_table`", "no_such_table"},
      {"show tables from `no_such_db`", "no_such_db"},
      {"show tables from my-db", "syntax"},  // unquoted, the name does not parse
      {"SELECT 1; SELECT 2", "syntax"},      // one statement at a time
      {"", "empty"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(db.ExecuteQuery(c.sql), nullptr);
    EXPECT_NE(LowerCase(db.LastError()).find(c.message), std::string::npos) << db.LastError();
    EXPECT_EQ(Value(db, "SELECT 'still here'"), "still here");
    EXPECT_TRUE(db.LastError().empty()) << "a success clears the last error";
  }
}

TEST_F(DBServerTest, StatementsWithoutRowsAnswerAnEmptySet) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  for (const char* sql : {"SET @qf_x = 42", "USE `shop`", "DO 1", "CREATE TEMPORARY TABLE qf_tmp (a INT)",
                          "INSERT INTO qf_tmp VALUES (1), (2)", "DROP TEMPORARY TABLE qf_tmp"}) {
    SCOPED_TRACE(sql);
    auto rs = db.ExecuteQuery(sql);
    ASSERT_NE(rs, nullptr) << db.LastError();
    EXPECT_EQ(TDBManager::GetRowCount(rs.get()), 0);
    EXPECT_EQ(rs->GetRow(), 0);
    EXPECT_EQ(rs->ColumnCount(), 0);
    EXPECT_FALSE(rs->Next());
  }
  // They did take effect.
  EXPECT_EQ(Value(db, "SELECT @qf_x"), "42");
  EXPECT_EQ(Value(db, "SELECT DATABASE()"), "shop");
}

TEST_F(DBServerTest, SelectWithoutRowsCountsZero) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  auto rs = db.ExecuteQuery("SELECT * FROM `shop`.`products` WHERE id < 0");
  ASSERT_NE(rs, nullptr) << db.LastError();
  EXPECT_EQ(rs->GetRow(), 0);
  EXPECT_EQ(TDBManager::GetRowCount(rs.get()), 0);
  EXPECT_EQ(rs->GetRow(), 0);
  EXPECT_EQ(rs->ColumnCount(), 10) << "the columns are known even without rows";
  EXPECT_EQ(rs->ColumnName(1), "id");
  EXPECT_EQ(rs->GetString(1), "");
  EXPECT_FALSE(rs->Next());
}

TEST_F(DBServerTest, NullReadsAsEmptyText) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  Rows rows = Query(db, "SELECT NULL, '', 'x', NULL");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"", "", "x", ""}));

  rows = Query(db, "SELECT id, description, released, picture FROM `shop`.`products` WHERE id IN (1, 2) ORDER BY id");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "Boils water.", "2021-03-01", "kettle.png"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"2", "", "2020-11-15", ""}));
}

TEST_F(DBServerTest, ReadsRowsTheWayCallersDo) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  auto rs = db.ExecuteQuery("SELECT id, name FROM `shop`.`city` ORDER BY id");
  ASSERT_NE(rs, nullptr) << db.LastError();
  const int n = TDBManager::GetRowCount(rs.get());
  ASSERT_EQ(n, 6);
  EXPECT_EQ(rs->GetRow(), 1);
  const Rows expected = {{"1", "Zürich"}, {"2", "東京"}, {"3", "London"},
                         {"4", "São Paulo"}, {"5", "L'Aquila"}, {"6", "Київ"}};
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(rs->GetRow(), i + 1);
    EXPECT_EQ(rs->GetString(1), expected[static_cast<size_t>(i)][0]);
    EXPECT_EQ(rs->GetString(2), expected[static_cast<size_t>(i)][1]);
    EXPECT_EQ(rs->Next(), i + 1 < n);
  }
  EXPECT_EQ(rs->GetRow(), 0);
  EXPECT_EQ(rs->ColumnName(2), "name");
}

TEST_F(DBServerTest, CountsEveryRowOfEachFixtureTable) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  const struct {
    const char* table;
    int rows;
  } cases[] = {
      {"`shop`.`city`", 6},       {"`shop`.`customer`", 8},   {"`shop`.`products`", 30},
      {"`shop`.`order`", 5},      {"`shop`.`order_item`", 9}, {"`shop`.`audit_log`", 4},
      {"`my-db`.`notes`", 3},
  };
  for (const auto& c : cases) {
    auto rs = db.ExecuteQuery(std::string("SELECT * FROM ") + c.table);
    ASSERT_NE(rs, nullptr) << c.table << ": " << db.LastError();
    EXPECT_EQ(TDBManager::GetRowCount(rs.get()), c.rows) << c.table;
    EXPECT_EQ(rs->GetRow(), 1) << c.table;
  }

  // A larger answer is read whole, not in part.
  auto rs = db.ExecuteQuery("WITH RECURSIVE d AS (SELECT 0 AS i UNION ALL SELECT i + 1 FROM d WHERE i < 99) "
                            "SELECT a.i * 100 + b.i + 1 AS n, REPEAT('x', (a.i * 100 + b.i + 1) % 300) "
                            "FROM d a CROSS JOIN d b WHERE a.i < 50 ORDER BY n");
  ASSERT_NE(rs, nullptr) << db.LastError();
  EXPECT_EQ(TDBManager::GetRowCount(rs.get()), 5000);
  ASSERT_TRUE(rs->Last());
  EXPECT_EQ(rs->GetString(1), "5000");
  EXPECT_EQ(rs->GetString(2).size(), 5000u % 300);
}

TEST_F(DBServerTest, TextComesBackByteForByte) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  const struct {
    const char* sql;
    std::string expected;
  } cases[] = {
      {"SELECT name FROM `shop`.`city` WHERE id = 1", "Zürich"},
      {"SELECT name FROM `shop`.`city` WHERE id = 2", "東京"},
      {"SELECT name FROM `shop`.`city` WHERE id = 5", "L'Aquila"},
      {"SELECT name FROM `shop`.`customer` WHERE id = 1", "O'Brien"},
      {"SELECT name FROM `shop`.`customer` WHERE id = 7", "Zoë \"Quote\" Smith"},
      {"SELECT name FROM `shop`.`products` WHERE id = 5", "🍕 Pizza stone"},
      {"SELECT status FROM `shop`.`products` WHERE id = 3", "it's"},
      {"SELECT colours FROM `shop`.`products` WHERE id = 7", "red,green,blue"},
      {"SELECT price FROM `shop`.`products` WHERE id = 9", "4.20"},
      {"SELECT updated_at FROM `shop`.`products` WHERE id = 1", "2024-01-05 10:00:00"},
      {"SELECT title FROM `my-db`.`notes` WHERE id = 3", "Grüße"},
      // Found by its text: the literal travelled in utf8mb4 too.
      {"SELECT id FROM `shop`.`city` WHERE name = '東京'", "2"},
      {"SELECT id FROM `shop`.`customer` WHERE name = 'O''Brien'", "1"},
      // Stored as characters, not as re-encoded bytes.
      {"SELECT CONCAT(LENGTH(name), '/', CHAR_LENGTH(name)) FROM `shop`.`city` WHERE id = 2", "6/2"},
      {"SELECT CHAR_LENGTH(name) FROM `shop`.`products` WHERE id = 5", "13"},
      {"SELECT 'Ünïcödé ✓'", "Ünïcödé ✓"},
      {"SELECT CONCAT('a', CHAR(0), 'b')", std::string("a\0b", 3)},
      {"SELECT X'00FF7F'", std::string("\0\xff\x7f", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(Value(db, c.sql), c.expected) << c.sql;
}

TEST_F(DBServerTest, AwkwardNamesWorkThroughQuoteIdentifier) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));

  const auto tables = Column(Query(db, "show tables from " + QuoteIdentifier("my-db")), 0);
  EXPECT_EQ(tables, std::vector<std::string>{"notes"});

  const std::vector<std::string> orderFields{"id", "customer_id", "key", "placed"};
  const std::string order = QuoteIdentifier("shop") + "." + QuoteIdentifier("order");
  EXPECT_EQ(Column(Query(db, "describe " + order), 0), orderFields);
  EXPECT_EQ(Column(Query(db, "show fields from " + order), 0), orderFields);
  EXPECT_EQ(Value(db, "SELECT " + QuoteIdentifier("key") + " FROM " + order + " WHERE id = 3"), "B-0001");

  // Without quotes the reserved words do not parse.
  EXPECT_EQ(db.ExecuteQuery("SELECT key FROM " + order), nullptr);
  ASSERT_NE(db.ExecuteQuery("USE " + QuoteIdentifier("shop")), nullptr) << db.LastError();
  EXPECT_EQ(db.ExecuteQuery("describe order"), nullptr);
  EXPECT_EQ(Column(Query(db, "describe " + QuoteIdentifier("order")), 0), orderFields);
}

TEST_F(DBServerTest, NamesHoldingBackticksRoundTrip) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  ScratchDatabase scratch(db, "qf`scratch ");
  ASSERT_TRUE(scratch.Created()) << db.LastError();

  const std::string table = "we`ird ta`ble";
  const std::string column = "a`b";
  const std::string qualified = scratch.Quoted() + "." + QuoteIdentifier(table);
  ASSERT_NE(db.ExecuteQuery("CREATE TABLE " + qualified + " (" + QuoteIdentifier(column) + " VARCHAR(10))"), nullptr)
      << db.LastError();
  ASSERT_NE(db.ExecuteQuery("INSERT INTO " + qualified + " VALUES ('v''1')"), nullptr) << db.LastError();

  EXPECT_TRUE(Contains(Column(Query(db, "show databases"), 0), scratch.Name()));
  EXPECT_EQ(Column(Query(db, "show tables from " + scratch.Quoted()), 0), std::vector<std::string>{table});
  EXPECT_EQ(Column(Query(db, "describe " + qualified), 0), std::vector<std::string>{column});
  EXPECT_EQ(Column(Query(db, "show fields from " + qualified), 0), std::vector<std::string>{column});
  EXPECT_EQ(Value(db, "SELECT " + QuoteIdentifier(column) + " FROM " + qualified), "v'1");

  ASSERT_NE(db.ExecuteQuery("DROP TABLE " + qualified), nullptr) << db.LastError();
  EXPECT_EQ(db.ExecuteQuery("describe " + qualified), nullptr) << "a table that is gone answers null";
}

TEST_F(DBServerTest, ProcedureResultsKeepTheConnectionInStep) {
  TDBManager db;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db));
  ScratchDatabase scratch(db, "qf_proc_");
  ASSERT_TRUE(scratch.Created()) << db.LastError();
  const std::string proc = scratch.Quoted() + ".two_sets";
  ASSERT_NE(db.ExecuteQuery("CREATE PROCEDURE " + proc +
                            "() BEGIN SELECT name FROM `shop`.`city` ORDER BY id LIMIT 2; SELECT 'second'; END"),
            nullptr)
      << db.LastError();

  // CALL answers with several results; the first is ours, the rest must be
  // read off so the next statement is not out of step.
  Rows rows = Query(db, "CALL " + proc + "()");
  EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"Zürich", "東京"}));
  EXPECT_EQ(Value(db, "SELECT 'next'"), "next");
  EXPECT_EQ(Value(db, "SELECT 'and the next'"), "and the next");
}

TEST_F(DBServerTest, KilledConnectionIsReopenedOnTheNextQuery) {
  TDBManager db, killer;
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(db, "shop"));
  ASSERT_NO_FATAL_FAILURE(ConnectOrFail(killer));
  TDBConnection* connection = db.Connection();
  const std::string victim = Value(db, "SELECT CONNECTION_ID()");

  ASSERT_NE(killer.ExecuteQuery("KILL " + victim), nullptr) << killer.LastError();
  ASSERT_TRUE(WaitUntilGone(killer, victim));

  auto rs = db.ExecuteQuery("SELECT CONNECTION_ID(), DATABASE(), COUNT(*) FROM city");
  ASSERT_NE(rs, nullptr) << "no recovery after KILL: " << db.LastError();
  EXPECT_NE(rs->GetString(1), victim) << "answered by a new connection";
  EXPECT_EQ(rs->GetString(2), "shop") << "reopened with the stored parameters";
  EXPECT_EQ(rs->GetString(3), "6");
  EXPECT_EQ(db.Connection(), connection) << "callers keep the same connection object";
}

TEST_F(DBServerTest, ServerGoneAnswersNullQuicklyAndRecoversWhenItIsBack) {
  auto relay = std::make_unique<TcpRelay>(Db.Port, 0);
  const int port = relay->Port();
  ASSERT_GT(port, 0);

  TDBManager db;
  ASSERT_TRUE(db.Connect("127.0.0.1", Db.User, Db.Password, port, "shop")) << db.LastError();
  EXPECT_EQ(Value(db, "SELECT COUNT(*) FROM city"), "6");

  // Every connection cut and the port closed: the retry cannot connect.
  relay->Stop();
  relay.reset();
  const auto start = Clock::now();
  EXPECT_EQ(db.ExecuteQuery("SELECT 1"), nullptr);
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_FALSE(db.LastError().empty());
  EXPECT_NE(db.Connection(), nullptr) << "the connection stays, to be reopened later";

  // Back on the same port: the next query reconnects.
  relay = std::make_unique<TcpRelay>(Db.Port, port);
  ASSERT_EQ(relay->Port(), port);
  EXPECT_EQ(Value(db, "SELECT COUNT(*) FROM city"), "6");
  EXPECT_TRUE(db.LastError().empty()) << db.LastError();
}

}  // namespace
