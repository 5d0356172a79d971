#include "model/DBManager.h"

#include <mysql.h>
#include <errmsg.h>
#include <mysqld_error.h>

#include <utility>

// ---------------------------------------------------------------------------
// TResultSet

TResultSet::TResultSet(std::vector<std::string> columnNames, std::vector<std::vector<std::string>> rows)
    : FColumnNames(std::move(columnNames)), FRows(std::move(rows)) {}

bool TResultSet::First() {
  FCursor = 0;
  return !FRows.empty();
}

bool TResultSet::Last() {
  FCursor = FRows.empty() ? 0 : FRows.size() - 1;
  return !FRows.empty();
}

bool TResultSet::Next() {
  if (FCursor < FRows.size()) ++FCursor;
  return FCursor < FRows.size();
}

int TResultSet::GetRow() const { return FCursor < FRows.size() ? static_cast<int>(FCursor) + 1 : 0; }

std::string TResultSet::GetString(int column) const {
  if (FCursor >= FRows.size() || column < 1) return std::string();
  const auto& row = FRows[FCursor];
  const auto index = static_cast<size_t>(column - 1);
  return index < row.size() ? row[index] : std::string();
}

const std::string& TResultSet::ColumnName(int column) const {
  static const std::string empty;
  if (column < 1 || static_cast<size_t>(column) > FColumnNames.size()) return empty;
  return FColumnNames[static_cast<size_t>(column - 1)];
}

// ---------------------------------------------------------------------------
// TDBConnection

TDBConnection::~TDBConnection() {
  if (FHandle) mysql_close(FHandle);
}

void TDBConnection::Reset(st_mysql* handle) {
  if (FHandle && FHandle != handle) mysql_close(FHandle);
  FHandle = handle;
}

// ---------------------------------------------------------------------------
// TDBManager

namespace {

// Errors after which the connection is gone for good and a fresh one may help.
bool IsConnectionLost(unsigned code) {
  switch (code) {
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_LOST:
    case CR_SERVER_LOST_EXTENDED:
    case ER_CONNECTION_KILLED:
    case 4031:  // MySQL 8: disconnected by the server because of inactivity
      return true;
    default:
      return false;
  }
}

std::unique_ptr<TResultSet> ReadResult(MYSQL_RES* res) {
  const unsigned columns = mysql_num_fields(res);
  std::vector<std::string> names;
  names.reserve(columns);
  MYSQL_FIELD* fields = mysql_fetch_fields(res);
  for (unsigned i = 0; i < columns; ++i) names.emplace_back(fields[i].name, fields[i].name_length);

  std::vector<std::vector<std::string>> rows;
  rows.reserve(static_cast<size_t>(mysql_num_rows(res)));
  while (MYSQL_ROW row = mysql_fetch_row(res)) {
    const unsigned long* lengths = mysql_fetch_lengths(res);
    std::vector<std::string> values;
    values.reserve(columns);
    for (unsigned i = 0; i < columns; ++i)
      values.emplace_back(row[i] ? std::string(row[i], lengths[i]) : std::string());  // NULL reads as ""
    rows.push_back(std::move(values));
  }
  return std::make_unique<TResultSet>(std::move(names), std::move(rows));
}

}  // namespace

TDBManager::~TDBManager() = default;

MYSQL* TDBManager::Open() {
  // The client library reads 0 as its default port and cuts larger numbers
  // to 16 bits: either would reach some other server than the one named.
  if (FPort < 1 || FPort > 65535) {
    FLastError = "port " + std::to_string(FPort) + " is outside 1-65535";
    return nullptr;
  }
  MYSQL* handle = mysql_init(nullptr);
  if (!handle) {
    FLastError = "out of memory for a database connection";
    return nullptr;
  }
  // Always TCP, also for "localhost": the user names a host and a port, and a
  // local socket would silently reach whatever server owns it instead.
  const unsigned protocol = MYSQL_PROTOCOL_TCP;
  const unsigned connectTimeout = ConnectTimeoutSeconds;
  const unsigned ioTimeout = ReadWriteTimeoutSeconds;
  const my_bool noReconnect = 0;  // we reconnect ourselves, with our own options
  const unsigned noLocalInfile = 0;  // no LOAD DATA LOCAL reading our files
  mysql_options(handle, MYSQL_OPT_PROTOCOL, &protocol);
  mysql_options(handle, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
  mysql_options(handle, MYSQL_OPT_READ_TIMEOUT, &ioTimeout);
  mysql_options(handle, MYSQL_OPT_WRITE_TIMEOUT, &ioTimeout);
  mysql_options(handle, MYSQL_OPT_RECONNECT, &noReconnect);
  mysql_options(handle, MYSQL_OPT_LOCAL_INFILE, &noLocalInfile);
  mysql_options(handle, MYSQL_SET_CHARSET_NAME, "utf8mb4");

  // Multiple results, so that CALL of a procedure returning rows is allowed.
  if (!mysql_real_connect(handle, FHost.c_str(), FUser.c_str(), FPassword.c_str(),
                          FDatabase.empty() ? nullptr : FDatabase.c_str(), static_cast<unsigned>(FPort), nullptr,
                          CLIENT_MULTI_RESULTS)) {
    FLastError = mysql_error(handle);
    if (FLastError.empty()) FLastError = "cannot connect to " + FHost + ":" + std::to_string(FPort);
    mysql_close(handle);
    return nullptr;
  }
  FLastError.clear();
  return handle;
}

TDBConnection* TDBManager::Connect(const std::string& host, const std::string& user, const std::string& password,
                                   int32_t port, const std::string& database) {
  FConnection.reset();  // the earlier connection is closed whatever happens next
  FHost = host;
  FUser = user;
  FPassword = password;
  FPort = port;
  FDatabase = database;
  if (MYSQL* handle = Open()) FConnection = std::make_unique<TDBConnection>(handle);
  return FConnection.get();
}

std::unique_ptr<TResultSet> TDBManager::RunOnce(const std::string& sql, unsigned& errorCode) {
  MYSQL* handle = FConnection->Handle();
  errorCode = 0;
  auto fail = [&]() -> std::unique_ptr<TResultSet> {
    errorCode = mysql_errno(handle);
    FLastError = mysql_error(handle);
    if (FLastError.empty()) FLastError = "statement failed";
    return nullptr;
  };

  if (mysql_real_query(handle, sql.data(), static_cast<unsigned long>(sql.size())) != 0) return fail();

  std::unique_ptr<TResultSet> result;
  if (MYSQL_RES* res = mysql_store_result(handle)) {
    result = ReadResult(res);
    mysql_free_result(res);
  } else if (mysql_field_count(handle) != 0) {
    return fail();  // rows were due but could not be read
  } else {
    // SET, USE, INSERT, ...: it succeeded, it just has no rows.
    result = std::make_unique<TResultSet>(std::vector<std::string>{}, std::vector<std::vector<std::string>>{});
  }

  // CALL answers with more than one result; read the rest so the connection
  // stays usable for the next statement.
  for (;;) {
    const int more = mysql_next_result(handle);
    if (more < 0) break;
    if (more > 0) return fail();
    if (MYSQL_RES* extra = mysql_store_result(handle)) mysql_free_result(extra);
    else if (mysql_field_count(handle) != 0) return fail();
  }

  FLastError.clear();
  return result;
}

std::unique_ptr<TResultSet> TDBManager::ExecuteQuery(const std::string& sql) {
  if (!FConnection) {
    FLastError = "not connected";
    return nullptr;
  }
  unsigned errorCode = 0;
  auto result = RunOnce(sql, errorCode);
  if (result || !IsConnectionLost(errorCode)) return result;

  // The server dropped us (restart, timeout, KILL): one fresh connection with
  // the same parameters, one more try. When that fails too the dead handle is
  // kept, so a later call tries again.
  const std::string lostError = FLastError;
  MYSQL* handle = Open();
  if (!handle) {
    FLastError = lostError + "; reconnect failed: " + FLastError;
    return nullptr;
  }
  FConnection->Reset(handle);
  return RunOnce(sql, errorCode);
}

int TDBManager::GetRowCount(TResultSet* resultSet) {
  if (!resultSet) return -1;
  resultSet->Last();
  const int count = resultSet->GetRow();
  resultSet->First();
  return count;
}

std::string QuoteIdentifier(std::string_view name) {
  std::string quoted;
  quoted.reserve(name.size() + 2);
  quoted += '`';
  for (char c : name) {
    if (c == '`') quoted += '`';
    quoted += c;
  }
  quoted += '`';
  return quoted;
}
