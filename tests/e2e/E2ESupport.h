#pragma once
// Helpers of the generated-site tests: a small HTTP/1.1 client over a socket,
// the PHP built-in web server as a child process, private copies of the
// fixture databases, and readers for the pages' HTML.

#include "model/DBManager.h"

#include <sys/types.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace e2e {

using TFields = std::vector<std::pair<std::string, std::string>>;

/** Percent-encoding of a query or form component (unreserved bytes kept). */
std::string UrlEncode(std::string_view text);
/** Decoding of a query component ("+" as blank). */
std::string UrlDecode(std::string_view text);
/** name=value pairs joined with "&", both sides encoded. */
std::string FormEncode(const TFields& fields);

struct THttpResponse {
  int Status = 0;
  std::vector<std::pair<std::string, std::string>> Headers;  // names in lower case
  std::string Body;
  /** The first header of that (lower-case) name, or "". */
  std::string Header(const std::string& name) const;
};

struct TFilePart {
  std::string Field;
  std::string FileName;
  std::string Data;
  std::string ContentType = "application/octet-stream";
};

/** One visitor of the site: sends each request on a fresh connection and
 *  keeps the cookies the site sets. Failures of the connection throw. */
class THttpClient {
public:
  explicit THttpClient(int port) : FPort(port) {}

  THttpResponse Get(const std::string& target);
  THttpResponse PostForm(const std::string& target, const TFields& fields);
  THttpResponse PostMultipart(const std::string& target, const TFields& fields, const std::vector<TFilePart>& files);

  std::map<std::string, std::string> Cookies;

private:
  THttpResponse Send(const std::string& method, const std::string& target, const std::string& contentType,
                     const std::string& body);
  int FPort;
};

/** `php -S 127.0.0.1:<free port> -t <docRoot>` run from docRoot, with errors
 *  logged to a file instead of shown; stopped by the destructor. */
class TPhpServer {
public:
  TPhpServer(std::string php, std::string docRoot, std::string workDir);
  ~TPhpServer();
  TPhpServer(const TPhpServer&) = delete;
  TPhpServer& operator=(const TPhpServer&) = delete;

  /** Starts the server and waits until it answers; false with the reason. */
  bool Start(std::string& error);
  void Stop();
  int Port() const { return FPort; }
  /** What PHP wrote to its error log (empty when it wrote nothing). */
  std::string ErrorLog() const;
  /** The server's own stdout and stderr (request log and startup messages). */
  std::string Output() const;

private:
  std::string FPhp, FDocRoot, FWorkDir;
  pid_t FPid = -1;
  int FPort = 0;
};

/** Lines of PHP's error log or of the server output that report a warning,
 *  notice, deprecation or error, or a request answered with status 500. */
std::vector<std::string> ProblemLines(const std::string& log);

/** Runs a command line through the shell; its exit code, output in output. */
int RunCommand(const std::string& command, std::string& output);
std::string ShellQuoted(const std::string& text);
/** Full path of a program on PATH, if any. */
std::optional<std::string> FindProgram(const std::string& name);

// ---------------------------------------------------------------- database

/** Connects, or throws with the server's message. */
std::unique_ptr<TDBManager> ConnectTestDb();
/** The rows of a statement; a failing statement throws with its text. */
std::vector<std::vector<std::string>> Rows(TDBManager& db, const std::string& sql);
/** First column of every row. */
std::vector<std::string> Column(TDBManager& db, const std::string& sql);
/** First column of the first row; "" without rows. */
std::string Value(TDBManager& db, const std::string& sql);
void Exec(TDBManager& db, const std::string& sql);
/** A SQL string literal holding text exactly, escaped by the client library
 *  for the connection's character set. */
std::string SqlLiteral(TDBManager& db, std::string_view text);

/** A fresh database holding a copy of the tables and rows of another one,
 *  foreign keys included; dropped by the destructor. */
class TDatabaseCopy {
public:
  TDatabaseCopy(TDBManager& db, const std::string& source, const std::string& name);
  ~TDatabaseCopy();
  TDatabaseCopy(const TDatabaseCopy&) = delete;
  TDatabaseCopy& operator=(const TDatabaseCopy&) = delete;
  const std::string& Name() const { return FName; }
  /** `name`.`table` */
  std::string Table(const std::string& table) const;
  /** Every row of every table as text, for before/after comparisons. */
  std::string Snapshot() const;

private:
  TDBManager& FDb;
  std::string FName;
  std::vector<std::string> FTables;
};

// ---------------------------------------------------------------- HTML

/** Replaces the entities htmlspecialchars writes (and numeric ones). */
std::string HtmlDecode(std::string_view html);
/** The key parameters of every detail link of a list page, in page order. */
std::vector<std::map<std::string, std::string>> DetailLinkKeys(const std::string& html);
/** The values of one key parameter over every detail link. */
std::vector<std::string> DetailLinkValues(const std::string& html, const std::string& key);
/** "(N records)" of a list page, -1 when missing. */
int RecordCount(const std::string& html);
/** "Page P of N" of a list page: {P, N}, {-1, -1} when missing. */
std::pair<int, int> PageNumbers(const std::string& html);
/** The raw HTML of the value cell of a detail row (data-field="field"). */
std::optional<std::string> DetailCell(const std::string& html, const std::string& field);
/** The whole tag of the first <input> with name="name" (and value="value"
 *  when given), or "" when there is none. */
std::string InputTag(const std::string& html, const std::string& name, const std::string* value = nullptr);
/** The decoded value attribute of a tag, or nothing. */
std::optional<std::string> AttributeValue(const std::string& tag, const std::string& attribute);
/** The rows (<tr class="csstr1"> ... </tr>) of a list page holding a record. */
std::vector<std::string> ListRows(const std::string& html);
/** Text of the page outside tags, entities decoded. */
std::string VisibleText(const std::string& html);

/** PHP's trim() character set. */
std::string PhpTrim(std::string_view text);

}  // namespace e2e
