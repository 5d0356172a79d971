#pragma once
/** The project's one connection to a MySQL/MariaDB server.
 *
 *  Failure is never an exception here: a connection that cannot be opened and
 *  a statement that cannot be run are both answered with null. */

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct st_mysql;

/** A fully read result set, positioned on one row; columns are read as text
 *  by 1-based index, NULL reading as the empty string. */
class TResultSet {
public:
  TResultSet(std::vector<std::string> columnNames, std::vector<std::vector<std::string>> rows);

  /** Moves to the first row; false when the set is empty. */
  bool First();
  /** Moves to the last row; false when the set is empty. */
  bool Last();
  /** Moves to the next row; false when it moves past the last. */
  bool Next();
  /** Number of the current row counted from 1; 0 when the set is empty or
   *  the cursor is past the end. */
  int GetRow() const;
  /** Text of a column of the current row by 1-based index; "" outside. */
  std::string GetString(int column) const;
  int ColumnCount() const { return static_cast<int>(FColumnNames.size()); }
  const std::string& ColumnName(int column) const;  // 1-based
  int RowCount() const { return static_cast<int>(FRows.size()); }

private:
  std::vector<std::string> FColumnNames;
  std::vector<std::vector<std::string>> FRows;
  size_t FCursor = 0;
};

/** An open connection (owned by the manager). */
class TDBConnection {
public:
  TDBConnection(st_mysql* handle) : FHandle(handle) {}
  ~TDBConnection();
  TDBConnection(const TDBConnection&) = delete;
  TDBConnection& operator=(const TDBConnection&) = delete;
  st_mysql* Handle() const { return FHandle; }

private:
  friend class TDBManager;
  // A reconnect swaps the handle, so callers holding this object keep it.
  void Reset(st_mysql* handle);
  st_mysql* FHandle;
};

class TDBManager {
public:
  TDBManager() = default;
  ~TDBManager();
  TDBManager(const TDBManager&) = delete;
  TDBManager& operator=(const TDBManager&) = delete;

  /** Opens a connection over TCP to host:port and keeps it in Connection;
   *  answers it, or null when it cannot be opened or the port lies outside
   *  1-65535 (an earlier connection is closed either way). */
  TDBConnection* Connect(const std::string& host, const std::string& user, const std::string& password,
                         int32_t port, const std::string& database);
  /** Runs one statement; its rows positioned on the first, or null. When the
   *  server has gone away, reconnects once and tries again. */
  std::unique_ptr<TResultSet> ExecuteQuery(const std::string& sql);
  /** Number of rows, -1 for null; the set is left on its first row. */
  static int GetRowCount(TResultSet* resultSet);

  TDBConnection* Connection() const { return FConnection.get(); }
  /** Text of the last failure, for the log; empty after success. */
  const std::string& LastError() const { return FLastError; }

  /** Seconds a connection attempt may take. */
  static constexpr unsigned ConnectTimeoutSeconds = 5;
  /** Seconds a single read from or write to the server may take. */
  static constexpr unsigned ReadWriteTimeoutSeconds = 60;

private:
  /** A new handle for the stored parameters, or null (LastError set). */
  st_mysql* Open();
  /** One attempt at a statement; sets errorCode to the client/server error. */
  std::unique_ptr<TResultSet> RunOnce(const std::string& sql, unsigned& errorCode);
  std::unique_ptr<TDBConnection> FConnection;
  std::string FHost, FUser, FPassword, FDatabase;
  int32_t FPort = 0;
  std::string FLastError;
};

/** An identifier for a statement: in backticks, an embedded backtick doubled. */
std::string QuoteIdentifier(std::string_view name);
