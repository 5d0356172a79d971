#include "E2ESupport.h"

#include "TestSupport.h"
#include "core/Files.h"
#include "core/TextUtils.h"

#include <mysql.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

constexpr int kIoTimeoutSeconds = 20;
constexpr size_t kMaxResponseBytes = 32u << 20;

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Lower(std::string text) {
  for (char& c : text) c = LowerCaseAscii(c);
  return text;
}

void SetTimeouts(int fd) {
  timeval tv{};
  tv.tv_sec = kIoTimeoutSeconds;
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

/** A socket connected to 127.0.0.1:port, or -1. */
int ConnectLoopback(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  SetTimeouts(fd);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

/** A port on 127.0.0.1 that nobody listens on right now. */
int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = 0;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    port = ntohs(addr.sin_port);
  ::close(fd);
  return port;
}

std::string DecodeChunked(const std::string& body) {
  std::string out;
  size_t pos = 0;
  while (pos < body.size()) {
    const size_t eol = body.find("\r\n", pos);
    if (eol == std::string::npos) throw std::runtime_error("broken chunked body");
    const size_t size = std::stoul(body.substr(pos, eol - pos), nullptr, 16);
    pos = eol + 2;
    if (size == 0) break;
    if (pos + size > body.size()) throw std::runtime_error("short chunk");
    out.append(body, pos, size);
    pos += size + 2;
  }
  return out;
}

THttpResponse ParseResponse(const std::string& raw) {
  THttpResponse response;
  const size_t headEnd = raw.find("\r\n\r\n");
  if (headEnd == std::string::npos) throw std::runtime_error("no complete HTTP header in the answer");
  const std::vector<std::string> lines = SplitString(raw.substr(0, headEnd), '\n');
  if (lines.empty() || !StartsWith(lines[0], "HTTP/1.")) throw std::runtime_error("no HTTP status line");
  response.Status = std::atoi(lines[0].c_str() + 9);
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string line = lines[i];
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    response.Headers.emplace_back(Lower(line.substr(0, colon)), Trim(line.substr(colon + 1)));
  }
  std::string body = raw.substr(headEnd + 4);
  if (Lower(response.Header("transfer-encoding")).find("chunked") != std::string::npos)
    body = DecodeChunked(body);
  else if (const std::string length = response.Header("content-length"); !length.empty())
    body.resize(std::min(body.size(), static_cast<size_t>(std::stoul(length))));
  response.Body = std::move(body);
  return response;
}

}  // namespace

// ---------------------------------------------------------------- URL

std::string UrlEncode(std::string_view text) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (IsUnreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string UrlDecode(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string FormEncode(const TFields& fields) {
  std::string out;
  for (const auto& [name, value] : fields) {
    if (!out.empty()) out += '&';
    out += UrlEncode(name) + "=" + UrlEncode(value);
  }
  return out;
}

// ---------------------------------------------------------------- HTTP client

std::string THttpResponse::Header(const std::string& name) const {
  for (const auto& [key, value] : Headers)
    if (key == name) return value;
  return {};
}

THttpResponse THttpClient::Get(const std::string& target) { return Send("GET", target, "", ""); }

THttpResponse THttpClient::PostForm(const std::string& target, const TFields& fields) {
  return Send("POST", target, "application/x-www-form-urlencoded", FormEncode(fields));
}

THttpResponse THttpClient::PostMultipart(const std::string& target, const TFields& fields,
                                         const std::vector<TFilePart>& files) {
  const std::string boundary = "----qfE2EBoundary7MA4YWxkTrZu0gW";
  std::string body;
  for (const auto& [name, value] : fields)
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
  for (const TFilePart& file : files)
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + file.Field + "\"; filename=\"" +
            file.FileName + "\"\r\nContent-Type: " + file.ContentType + "\r\n\r\n" + file.Data + "\r\n";
  body += "--" + boundary + "--\r\n";
  return Send("POST", target, "multipart/form-data; boundary=" + boundary, body);
}

THttpResponse THttpClient::Send(const std::string& method, const std::string& target, const std::string& contentType,
                                const std::string& body) {
  std::string request = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(FPort) +
                        "\r\nUser-Agent: qf-e2e\r\nAccept: text/html\r\nConnection: close\r\n";
  if (!Cookies.empty()) {
    std::string cookie;
    for (const auto& [name, value] : Cookies) cookie += (cookie.empty() ? "" : "; ") + name + "=" + value;
    request += "Cookie: " + cookie + "\r\n";
  }
  if (method == "POST") {
    request += "Content-Type: " + contentType + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  }
  request += "\r\n" + body;

  const int fd = ConnectLoopback(FPort);
  if (fd < 0) throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(FPort) + ": " + std::strerror(errno));
  size_t sent = 0;
  while (sent < request.size()) {
    const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      ::close(fd);
      throw std::runtime_error(method + " " + target + ": sending failed");
    }
    sent += static_cast<size_t>(n);
  }
  std::string raw;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n == 0) break;
    if (n < 0) {
      ::close(fd);
      throw std::runtime_error(method + " " + target + ": no complete answer within " +
                               std::to_string(kIoTimeoutSeconds) + " s");
    }
    raw.append(buffer, static_cast<size_t>(n));
    if (raw.size() > kMaxResponseBytes) {
      ::close(fd);
      throw std::runtime_error(method + " " + target + ": answer too large");
    }
  }
  ::close(fd);

  THttpResponse response = ParseResponse(raw);
  for (const auto& [name, value] : response.Headers) {
    if (name != "set-cookie") continue;
    const std::string pair = value.substr(0, value.find(';'));
    const size_t eq = pair.find('=');
    if (eq == std::string::npos) continue;
    const std::string cookieName = Trim(pair.substr(0, eq));
    const std::string cookieValue = Trim(pair.substr(eq + 1));
    if (cookieValue.empty() || cookieValue == "deleted")
      Cookies.erase(cookieName);
    else
      Cookies[cookieName] = cookieValue;
  }
  return response;
}

// ---------------------------------------------------------------- PHP server

TPhpServer::TPhpServer(std::string php, std::string docRoot, std::string workDir)
    : FPhp(std::move(php)), FDocRoot(std::move(docRoot)), FWorkDir(std::move(workDir)) {}

TPhpServer::~TPhpServer() { Stop(); }

bool TPhpServer::Start(std::string& error) {
  ForceDirectories(FWorkDir + "/sessions");
  ForceDirectories(FWorkDir + "/upload-tmp");
  for (int attempt = 0; attempt < 5; ++attempt) {
    FPort = FreePort();
    if (FPort == 0) {
      error = "no free port";
      return false;
    }
    const std::vector<std::string> args = {
        FPhp,
        "-d", "display_errors=0",
        "-d", "display_startup_errors=1",
        "-d", "log_errors=1",
        "-d", "error_log=" + FWorkDir + "/php-error.log",
        "-d", "error_reporting=E_ALL",
        "-d", "file_uploads=1",
        "-d", "upload_max_filesize=4M",
        "-d", "post_max_size=16M",
        "-d", "upload_tmp_dir=" + FWorkDir + "/upload-tmp",
        "-d", "session.save_path=" + FWorkDir + "/sessions",
        "-d", "sendmail_path=/bin/false",
        "-S", "127.0.0.1:" + std::to_string(FPort),
        "-t", FDocRoot,
    };
    const std::string outputFile = FWorkDir + "/php-server.out";
    const pid_t pid = ::fork();
    if (pid < 0) {
      error = "fork failed";
      return false;
    }
    if (pid == 0) {
      // The child: run from the document root, as a web server runs a page
      // from its folder, with its output in a file.
      const int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
      const int in = ::open("/dev/null", O_RDONLY);
      if (out < 0 || in < 0 || ::chdir(FDocRoot.c_str()) != 0) ::_exit(126);
      ::dup2(in, 0);
      ::dup2(out, 1);
      ::dup2(out, 2);
      ::unsetenv("PHP_CLI_SERVER_WORKERS");
      std::vector<char*> argv;
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(FPhp.c_str(), argv.data());
      ::_exit(127);
    }
    FPid = pid;
    // Ready when it accepts a connection; a server that exits is not coming.
    for (int i = 0; i < 200; ++i) {
      int status = 0;
      if (::waitpid(FPid, &status, WNOHANG) == FPid) {
        FPid = -1;
        break;
      }
      const int fd = ConnectLoopback(FPort);
      if (fd >= 0) {
        ::close(fd);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    if (FPid > 0) {
      Stop();
      error = "php -S did not answer within 5 s:\n" + Output();
      return false;
    }
    if (Output().find("in use") == std::string::npos) {
      error = "php -S ended at once:\n" + Output();
      return false;
    }
    // Someone took the port between our probe and the server's bind: next one.
  }
  error = "php -S found no free port:\n" + Output();
  return false;
}

void TPhpServer::Stop() {
  if (FPid <= 0) return;
  ::kill(FPid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 100; ++i) {
    if (::waitpid(FPid, &status, WNOHANG) == FPid) {
      FPid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(FPid, SIGKILL);
  ::waitpid(FPid, &status, 0);
  FPid = -1;
}

std::string TPhpServer::ErrorLog() const {
  const std::string path = FWorkDir + "/php-error.log";
  return FileExists(path) ? ReadFileText(path) : std::string();
}

std::string TPhpServer::Output() const {
  const std::string path = FWorkDir + "/php-server.out";
  return FileExists(path) ? ReadFileText(path) : std::string();
}

std::vector<std::string> ProblemLines(const std::string& log) {
  static const std::regex kProblem(
      R"((Warning|Notice|Deprecated|Fatal error|Parse error|Strict Standards|Uncaught|Stack trace|\[500\]))");
  std::vector<std::string> lines;
  for (const std::string& line : SplitString(log, '\n'))
    if (std::regex_search(line, kProblem)) lines.push_back(line);
  return lines;
}

int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ShellQuoted(const std::string& text) { return "'" + ReplaceAll(text, "'", "'\\''") + "'"; }

std::optional<std::string> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return std::nullopt;
  for (const std::string& dir : SplitString(path, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------- database

std::unique_ptr<TDBManager> ConnectTestDb() {
  const auto params = qftest::TestDb();
  if (!params) throw std::runtime_error("QF_TEST_DB_* not set");
  auto db = std::make_unique<TDBManager>();
  if (!db->Connect(params->Host, params->User, params->Password, params->Port, ""))
    throw std::runtime_error("cannot connect to the test server: " + db->LastError());
  return db;
}

std::vector<std::vector<std::string>> Rows(TDBManager& db, const std::string& sql) {
  auto rs = db.ExecuteQuery(sql);
  if (!rs) throw std::runtime_error("statement failed: " + sql + ": " + db.LastError());
  std::vector<std::vector<std::string>> rows;
  if (rs->RowCount() == 0) return rows;
  rs->First();
  do {
    std::vector<std::string> row;
    for (int c = 1; c <= rs->ColumnCount(); ++c) row.push_back(rs->GetString(c));
    rows.push_back(std::move(row));
  } while (rs->Next());
  return rows;
}

std::vector<std::string> Column(TDBManager& db, const std::string& sql) {
  std::vector<std::string> values;
  for (auto& row : Rows(db, sql)) values.push_back(row.empty() ? std::string() : row[0]);
  return values;
}

std::string Value(TDBManager& db, const std::string& sql) {
  const auto values = Column(db, sql);
  return values.empty() ? std::string() : values[0];
}

void Exec(TDBManager& db, const std::string& sql) {
  if (!db.ExecuteQuery(sql)) throw std::runtime_error("statement failed: " + sql + ": " + db.LastError());
}

std::string SqlLiteral(TDBManager& db, std::string_view text) {
  if (!db.Connection()) throw std::runtime_error("not connected");
  std::string buffer(text.size() * 2 + 1, '\0');
  const unsigned long n = mysql_real_escape_string(db.Connection()->Handle(), buffer.data(), text.data(),
                                                   static_cast<unsigned long>(text.size()));
  buffer.resize(n);
  return "'" + buffer + "'";
}

TDatabaseCopy::TDatabaseCopy(TDBManager& db, const std::string& source, const std::string& name)
    : FDb(db), FName(name) {
  const std::string target = QuoteIdentifier(name);
  Exec(db, "DROP DATABASE IF EXISTS " + target);
  Exec(db, "CREATE DATABASE " + target + " CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci");
  // The CREATE statements name referenced tables without a database, so run
  // in the copy they refer to the copy's tables.
  Exec(db, "USE " + target);
  Exec(db, "SET SESSION foreign_key_checks = 0");
  FTables = Column(db, "SHOW FULL TABLES FROM " + QuoteIdentifier(source) + " WHERE Table_type = 'BASE TABLE'");
  for (const std::string& table : FTables) {
    const auto create = Rows(db, "SHOW CREATE TABLE " + QuoteIdentifier(source) + "." + QuoteIdentifier(table));
    if (create.empty() || create[0].size() < 2) throw std::runtime_error("no CREATE statement for " + table);
    Exec(db, create[0][1]);
    Exec(db, "INSERT INTO " + Table(table) + " SELECT * FROM " + QuoteIdentifier(source) + "." + QuoteIdentifier(table));
  }
  Exec(db, "SET SESSION foreign_key_checks = 1");
}

TDatabaseCopy::~TDatabaseCopy() { FDb.ExecuteQuery("DROP DATABASE IF EXISTS " + QuoteIdentifier(FName)); }

std::string TDatabaseCopy::Table(const std::string& table) const {
  return QuoteIdentifier(FName) + "." + QuoteIdentifier(table);
}

std::string TDatabaseCopy::Snapshot() const {
  std::string text;
  for (const std::string& table : FTables) {
    text += "== " + table + "\n";
    // Ordered by every column, so the text does not depend on the plan.
    const auto columns = Column(FDb, "SELECT COLUMN_NAME FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = " +
                                         SqlLiteral(FDb, FName) + " AND TABLE_NAME = " + SqlLiteral(FDb, table) +
                                         " ORDER BY ORDINAL_POSITION");
    std::string order;
    for (size_t i = 1; i <= columns.size(); ++i) order += (order.empty() ? "" : ",") + std::to_string(i);
    for (const auto& row : Rows(FDb, "SELECT * FROM " + Table(table) + " ORDER BY " + order)) {
      for (const std::string& cell : row) text += cell + "\x1f";
      text += "\n";
    }
  }
  return text;
}

// ---------------------------------------------------------------- HTML

std::string HtmlDecode(std::string_view html) {
  static const std::pair<std::string_view, std::string_view> kNamed[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#039;", "'"}, {"&#39;", "'"},
      {"&apos;", "'"}, {"&nbsp;", "\xC2\xA0"}, {"&amp;", "&"},
  };
  std::string out;
  for (size_t i = 0; i < html.size();) {
    if (html[i] != '&') {
      out += html[i++];
      continue;
    }
    bool done = false;
    for (const auto& [entity, text] : kNamed)
      if (html.substr(i, entity.size()) == entity) {
        out += text;
        i += entity.size();
        done = true;
        break;
      }
    if (done) continue;
    if (html.substr(i, 2) == "&#") {
      const size_t semi = html.find(';', i);
      if (semi != std::string_view::npos && semi - i < 10) {
        const std::string number(html.substr(i + 2, semi - i - 2));
        const long code = (!number.empty() && (number[0] == 'x' || number[0] == 'X'))
                              ? std::strtol(number.c_str() + 1, nullptr, 16)
                              : std::strtol(number.c_str(), nullptr, 10);
        if (code > 0 && code < 0x80) {
          out += static_cast<char>(code);
          i = semi + 1;
          continue;
        }
      }
    }
    out += html[i++];
  }
  return out;
}

std::vector<std::map<std::string, std::string>> DetailLinkKeys(const std::string& html) {
  static const std::regex kLink(R"re(href="[^"?]*_detail\.php\?([^"]*)")re");
  std::vector<std::map<std::string, std::string>> result;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), kLink); it != std::sregex_iterator(); ++it) {
    std::map<std::string, std::string> keys;
    for (const std::string& pair : SplitString(ReplaceAll((*it)[1].str(), "&amp;", "&"), '&')) {
      const size_t eq = pair.find('=');
      if (eq == std::string::npos) continue;
      keys[UrlDecode(pair.substr(0, eq))] = UrlDecode(pair.substr(eq + 1));
    }
    result.push_back(std::move(keys));
  }
  return result;
}

std::vector<std::string> DetailLinkValues(const std::string& html, const std::string& key) {
  std::vector<std::string> values;
  for (const auto& keys : DetailLinkKeys(html)) {
    auto found = keys.find(key);
    values.push_back(found == keys.end() ? std::string("<missing>") : found->second);
  }
  return values;
}

int RecordCount(const std::string& html) {
  static const std::regex kCount(R"(\((\d+) records\))");
  std::smatch m;
  return std::regex_search(html, m, kCount) ? std::stoi(m[1].str()) : -1;
}

std::pair<int, int> PageNumbers(const std::string& html) {
  static const std::regex kPage(R"(Page (\d+) of (\d+))");
  std::smatch m;
  if (!std::regex_search(html, m, kPage)) return {-1, -1};
  return {std::stoi(m[1].str()), std::stoi(m[2].str())};
}

std::optional<std::string> DetailCell(const std::string& html, const std::string& field) {
  const size_t row = html.find("data-field=\"" + field + "\"");
  if (row == std::string::npos) return std::nullopt;
  const size_t caption = html.find("</td>", row);
  if (caption == std::string::npos) return std::nullopt;
  const size_t open = html.find("<td>", caption);
  const size_t close = html.find("</td></tr>", caption);
  if (open == std::string::npos || close == std::string::npos || open > close) return std::nullopt;
  return html.substr(open + 4, close - open - 4);
}

std::string InputTag(const std::string& html, const std::string& name, const std::string* value) {
  const std::string nameAttr = "name=\"" + name + "\"";
  for (size_t pos = html.find(nameAttr); pos != std::string::npos; pos = html.find(nameAttr, pos + 1)) {
    const size_t start = html.rfind("<input", pos);
    const size_t end = html.find('>', pos);
    if (start == std::string::npos || end == std::string::npos) continue;
    if (html.find('>', start) < pos) continue;  // the name belongs to another tag
    const std::string tag = html.substr(start, end - start + 1);
    if (value && AttributeValue(tag, "value") != *value) continue;
    return tag;
  }
  return {};
}

std::optional<std::string> AttributeValue(const std::string& tag, const std::string& attribute) {
  const std::string marker = " " + attribute + "=\"";
  const size_t pos = tag.find(marker);
  if (pos == std::string::npos) return std::nullopt;
  const size_t start = pos + marker.size();
  const size_t end = tag.find('"', start);
  if (end == std::string::npos) return std::nullopt;
  return HtmlDecode(tag.substr(start, end - start));
}

std::vector<std::string> ListRows(const std::string& html) {
  std::vector<std::string> rows;
  const std::string open = "<tr class=\"csstr1\">";
  for (size_t pos = html.find(open); pos != std::string::npos; pos = html.find(open, pos + 1)) {
    const size_t end = html.find("</tr>", pos);
    if (end == std::string::npos) break;
    const std::string row = html.substr(pos, end - pos);
    if (row.find("_detail.php?") != std::string::npos) rows.push_back(row);
  }
  return rows;
}

std::string VisibleText(const std::string& html) {
  std::string text;
  bool inTag = false;
  for (char c : html) {
    if (c == '<') inTag = true;
    else if (c == '>') inTag = false;
    else if (!inTag) text += c;
  }
  return HtmlDecode(text);
}

std::string PhpTrim(std::string_view text) {
  static constexpr std::string_view kBlank(" \t\n\r\0\x0B", 6);
  const size_t first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kBlank);
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace e2e
