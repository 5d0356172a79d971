#include "TestSupport.h"
#include "E2ESupport.h"

#include "core/Files.h"
#include "core/TextUtils.h"

#include <mysql.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <regex>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {
constexpr size_t npos = std::string::npos;
}

// ---------------------------------------------------------------- files and processes

std::string ReadIfExists(const std::string& path) { return FileExists(path) ? ReadFileText(path) : std::string(); }

std::pair<pid_t, int> StartPhpServer(const std::string& docRoot, const std::string& output) {
  const std::string sessions = "session.save_path=" + ExtractFilePath(output) + "sessions";
  ForceDirectories(ExtractFilePath(output) + "sessions");
  const pid_t parent = ::getpid();
  pid_t pid = ::fork();
  if (pid == 0) {
    // The server ends with the test that started it, also when that test
    // crashes or is killed and never stops it.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) ::_exit(125);
    // Run from the document root, as a web server runs a page from its folder.
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (out < 0 || ::chdir(docRoot.c_str()) != 0) ::_exit(126);
    ::dup2(out, 1);
    ::dup2(out, 2);
    ::unsetenv("PHP_CLI_SERVER_WORKERS");
    ::execlp("php", "php", "-d", "display_errors=0", "-d", "log_errors=1", "-d", "error_reporting=E_ALL", "-d",
             sessions.c_str(), "-S", "127.0.0.1:0", "-t", docRoot.c_str(), nullptr);
    ::_exit(127);
  }
  // Port 0: the server takes a free port and names it once it listens.
  static const std::regex kStarted(R"(\(http://127\.0\.0\.1:(\d+)\) started)");
  std::smatch m;
  for (int i = 0; i < 200 && pid > 0; ++i) {
    const std::string text = ReadIfExists(output);
    if (std::regex_search(text, m, kStarted)) return {pid, std::stoi(m[1])};
    if (::waitpid(pid, nullptr, WNOHANG) == pid) pid = -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
  return {-1, 0};
}

void StopPhpServer(pid_t server, const std::string& output) {
  ::kill(server, SIGTERM);
  ::waitpid(server, nullptr, 0);
  // No page may warn, notice or fail, whatever the test sent it.
  static const std::regex kProblem(R"(Warning|Notice|Deprecated|Fatal error|Parse error|Uncaught|\[500\])");
  std::string problems;
  for (const std::string& line : SplitString(ReadIfExists(output), '\n'))
    if (std::regex_search(line, kProblem)) problems += line + "\n";
  EXPECT_EQ(problems, "") << "problems in the output of php -S";
}

void ExpectCleanPage(const THttpResponse& response, const std::string& what, const std::string& echo) {
  EXPECT_EQ(response.Status, 200) << what;
  // The form of a record that is gone comes back as it was sent, with that reason.
  const std::string body = ReplaceAll(response.Body, kLost, "");
  for (const char* text : {"could not be", "SQL syntax", "mysqli", "Warning", "Fatal", "Uncaught", "Database error"})
    EXPECT_EQ(body.find(text), std::string::npos) << what << ": the page shows \"" << text << "\"";
  if (echo.size() > 1 && echo.find_first_of("<>\"'&") != std::string::npos) {
    EXPECT_EQ(response.Body.find(echo), std::string::npos) << what << ": the value is in the page unescaped";
  }
}

// ---------------------------------------------------------------- HTTP

std::string FormEncode(const TFields& fields) {
  std::string out;
  for (const auto& [name, value] : fields) out += qftest::Str(out.empty() ? "" : "&", UrlEncode(name), "=", UrlEncode(value));
  return out;
}

std::string THttpResponse::Header(const std::string& name) const {
  std::smatch m;
  return std::regex_search(Head, m, std::regex("\n" + name + ": *([^\r\n]*)", std::regex::icase)) ? m[1].str() : "";
}

THttpResponse THttpClient::Post(const std::string& target, const TFields& fields, const std::vector<TFilePart>& files) {
  const std::string boundary = "qfE2EBoundary7MA4YWxkTrZu0gW";
  std::string body;
  const auto part = [&](const std::string& disposition, const std::string& data) {
    body += "--" + boundary + "\r\nContent-Disposition: form-data; " + disposition + "\r\n\r\n" + data + "\r\n";
  };
  for (const auto& [name, value] : fields) part("name=\"" + name + "\"", value);
  for (const TFilePart& file : files)
    part("name=\"" + file.Field + "\"; filename=\"" + file.FileName + "\"\r\nContent-Type: application/octet-stream",
         file.Data);
  return Send("POST", target, "multipart/form-data; boundary=" + boundary, body + "--" + boundary + "--\r\n");
}

THttpResponse THttpClient::Send(const std::string& method, const std::string& target, const std::string& type,
                                const std::string& body) {
  // HTTP/1.0: the answer is neither chunked nor kept alive.
  std::string request = method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(FPort) + "\r\n";
  std::string cookies;
  for (const auto& [name, value] : FCookies) cookies += (cookies.empty() ? "" : "; ") + name + "=" + value;
  if (!cookies.empty()) request += "Cookie: " + cookies + "\r\n";
  if (!type.empty()) request += "Content-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  request += "\r\n" + body;

  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(FPort));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const timeval timeout{20, 0};
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) != 0 ||
      ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    if (fd >= 0) ::close(fd);
    throw std::runtime_error("cannot connect to port " + std::to_string(FPort));
  }
  std::string raw;
  ssize_t n = ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  const bool sent = n == static_cast<ssize_t>(request.size());
  char buffer[65536];
  while (sent && (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) raw.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  const size_t headEnd = raw.find("\r\n\r\n");
  if (!sent || n < 0 || headEnd == npos || !StartsWith(raw, "HTTP/1."))
    throw std::runtime_error(method + " " + target + ": no complete answer");

  THttpResponse response{std::atoi(raw.c_str() + 9), raw.substr(0, headEnd + 2), raw.substr(headEnd + 4)};
  static const std::regex kCookie("\nSet-Cookie: *([^=;\r\n]+)=([^;\r\n]*)", std::regex::icase);
  for (std::sregex_iterator it(response.Head.begin(), response.Head.end(), kCookie), end; it != end; ++it)
    FCookies[(*it)[1]] = (*it)[2];
  return response;
}

int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// ---------------------------------------------------------------- database

std::vector<std::vector<std::string>> Rows(TDBManager& db, const std::string& sql) {
  const auto rs = db.ExecuteQuery(sql);
  if (!rs) throw std::runtime_error("statement failed: " + sql + ": " + db.LastError());
  std::vector<std::vector<std::string>> rows;
  for (bool more = rs->First(); more; more = rs->Next()) {
    auto& row = rows.emplace_back();
    for (int c = 1; c <= rs->ColumnCount(); ++c) row.push_back(rs->GetString(c));
  }
  return rows;
}

std::vector<std::string> Column(TDBManager& db, const std::string& sql) {
  std::vector<std::string> values;
  for (const auto& row : Rows(db, sql)) values.push_back(row.at(0));
  return values;
}

std::string Value(TDBManager& db, const std::string& sql) {
  const auto values = Column(db, sql);
  return values.empty() ? std::string() : values[0];
}

std::string SqlLiteral(TDBManager& db, std::string_view text) {
  std::string buffer(text.size() * 2 + 1, '\0');
  buffer.resize(mysql_real_escape_string(db.Connection()->Handle(), buffer.data(), text.data(),
                                         static_cast<unsigned long>(text.size())));
  return "'" + buffer + "'";
}

// ---------------------------------------------------------------- HTML

std::string HtmlDecode(std::string_view html) {
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#039;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
  std::string text(html);
  for (const auto& [entity, plain] : kEntities) text = ReplaceAll(text, entity, plain);
  return text;
}

std::vector<std::string> LinkIds(const std::string& html) {
  static const std::regex kLink(R"re(href="[^"?]*_detail\.php\?[^"]*&amp;id=([^"&]*))re");
  std::vector<std::string> ids;
  for (std::sregex_iterator it(html.begin(), html.end(), kLink), end; it != end; ++it) ids.push_back((*it)[1]);
  return ids;
}

std::vector<std::string> PageLinks(const std::string& html) {
  static const std::regex kLink(R"re(href="([^"]*\.php(\?[^"]*)?)")re");
  std::vector<std::string> links;
  for (std::sregex_iterator it(html.begin(), html.end(), kLink), end; it != end; ++it)
    links.push_back(HtmlDecode((*it)[1].str()));
  return links;
}

std::string ControlName(const std::string& html, const std::string& field) {
  static const std::regex kControl(R"re(<(input|select|textarea) [^>]*name="([^"]*)")re");
  const size_t row = html.find("data-field=\"" + field + "\"");
  std::smatch m;
  if (row == npos || !std::regex_search(html.begin() + static_cast<std::ptrdiff_t>(row), html.end(), m, kControl))
    return "";
  return HtmlDecode(m[2].str());
}

int RecordCount(const std::string& html) {
  static const std::regex kCount(R"(\((\d+) records\))");
  std::smatch m;
  return std::regex_search(html, m, kCount) ? std::stoi(m[1]) : -1;
}

std::pair<int, int> PageNumbers(const std::string& html) {
  static const std::regex kPage(R"(Page (\d+) of (\d+))");
  std::smatch m;
  return std::regex_search(html, m, kPage) ? std::pair(std::stoi(m[1]), std::stoi(m[2])) : std::pair(-1, -1);
}

std::string DetailCell(const std::string& html, const std::string& field) {
  size_t start = html.find("data-field=\"" + field + "\"");
  if (start != npos) start = html.find("</td><td", start);
  if (start != npos) start = html.find('>', start + 8);
  const size_t end = start == npos ? npos : html.find("</td></tr>", start);
  return end == npos ? "<none>" : html.substr(start + 1, end - start - 1);
}

std::string InputTag(const std::string& html, const std::string& name, const std::optional<std::string>& value) {
  static const std::regex kInput("<input [^>]*>");
  for (std::sregex_iterator it(html.begin(), html.end(), kInput), end; it != end; ++it)
    if (Attribute(it->str(), "name") == name && (!value || Attribute(it->str(), "value") == *value)) return it->str();
  return "";
}

namespace {

// The attribute's text as it stands in the tag, or nullopt.
std::optional<std::string> RawAttribute(const std::string& tag, const std::string& attribute) {
  const size_t pos = tag.find(" " + attribute + "=\"");
  const size_t start = pos + attribute.size() + 3;
  const size_t end = pos == npos ? npos : tag.find('"', start);
  if (end == npos) return std::nullopt;
  return tag.substr(start, end - start);
}

}  // namespace

std::string Attribute(const std::string& tag, const std::string& attribute) {
  const auto raw = RawAttribute(tag, attribute);
  return raw ? HtmlDecode(*raw) : "<none>";
}

std::string VisibleText(const std::string& html) {
  std::string text;
  bool inTag = false;
  for (const char c : html) {
    if (c == '<' || c == '>') inTag = c == '<';
    else if (!inTag) text += c;
  }
  return HtmlDecode(text);
}

// ---------------------------------------------------------------- browser

namespace {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string FromHex(std::string_view hex) {
  std::string text;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) text += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  return text;
}

}  // namespace

TBrowser::TBrowser() {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
    FError = "no pipes";
    return;
  }
  const std::string script = qftest::SourceDir() + "/tests/e2e/browser_driver.py";
  FPid = ::fork();
  if (FPid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::execl("/usr/bin/python3", "python3", "-X", "utf8", script.c_str(), nullptr);
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  FIn = ::fdopen(in[1], "w");
  FOut = ::fdopen(out[0], "r");
  Command("");  // the driver's first line: whether the browser started
  FStarted = FError.empty();
}

TBrowser::~TBrowser() {
  if (FIn) std::fclose(FIn);  // the driver ends at the end of its input
  if (FOut) std::fclose(FOut);
  if (FPid > 0) ::waitpid(FPid, nullptr, 0);
}

std::string TBrowser::Command(const std::string& json) {
  if (!FOut || (!json.empty() && !FStarted)) return "";
  if (!json.empty()) {
    std::fputs((json + "\n").c_str(), FIn);
    std::fflush(FIn);
  }
  std::string line;
  for (int c; (c = std::fgetc(FOut)) != EOF && c != '\n';) line += static_cast<char>(c);
  if (StartsWith(line, "ok ")) return FromHex(std::string_view(line).substr(3));
  FError = StartsWith(line, "error ") ? FromHex(std::string_view(line).substr(6)) : "the driver ended: " + line;
  if (!json.empty()) ADD_FAILURE() << "browser: " << json << ": " << FError;
  return "";
}

std::string TBrowser::Open(const std::string& url) { return Command("{\"open\": " + JsonString(url) + "}"); }

std::string TBrowser::Type(const std::string& name, const std::string& text) {
  return Command("{\"type\": [" + JsonString(name) + ", " + JsonString(text) + "]}");
}

std::string TBrowser::Choose(const std::string& name, const std::string& value) {
  return Command("{\"choose\": [" + JsonString(name) + ", " + JsonString(value) + "]}");
}

std::string TBrowser::Click(const std::string& name) { return Command("{\"click\": " + JsonString(name) + "}"); }

std::string TBrowser::Submit() { return Command("{\"submit\": true}"); }

std::string TBrowser::Back() { return Command("{\"back\": true}"); }

// ---------------------------------------------------------------- forms

namespace {

// The HTML parser's view of raw text: CR LF and CR become LF, NUL U+FFFD.
std::string ParsedText(std::string_view raw) {
  std::string text = ReplaceAll(ReplaceAll(std::string(raw), "\r\n", "\n"), "\r", "\n");
  return HtmlDecode(ReplaceAll(text, std::string(1, '\0'), "\xEF\xBF\xBD"));
}

// An attribute may follow a quoted value without a blank, as browsers read it.
bool HasAttribute(const std::string& tag, const std::string& name) {
  return std::regex_search(tag, std::regex("[\\s\"]" + name + "(\\s|>|=)", std::regex::icase));
}

}  // namespace

std::optional<std::string> TBrowserForm::Get(const std::string& name) const {
  for (const auto& [field, value] : Fields)
    if (field == name) return value;
  return std::nullopt;
}

void TBrowserForm::Set(const std::string& name, const std::string& value) {
  for (auto& [field, old] : Fields)
    if (field == name) {
      old = value;
      return;
    }
  Fields.emplace_back(name, value);
}

void TBrowserForm::Remove(const std::string& name) {
  std::erase_if(Fields, [&](const auto& field) { return field.first == name; });
}

namespace {

// The text from `from` up to the next `end` (case as the pages write it),
// and where it ends; the rest of the text when `end` is missing. A plain
// search: a regular expression over a long text area or select overflows
// the stack of std::regex.
std::string_view TextUpTo(std::string_view text, size_t from, std::string_view end, size_t& next) {
  const size_t stop = std::min(text.find(end, from), text.size());
  next = std::min(stop + end.size(), text.size());
  return text.substr(from, stop - from);
}

// The tag name at text[at] ("<input ..."), lower case, "" when none.
std::string TagNameAt(std::string_view text, size_t at) {
  size_t end = at + 1;
  while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
  const bool named = end < text.size() && (std::isspace(static_cast<unsigned char>(text[end])) || text[end] == '>');
  return named ? LowerCase(std::string(text.substr(at + 1, end - at - 1))) : std::string();
}

}  // namespace

TBrowserForm BrowserForm(const std::string& html) {
  TBrowserForm form;
  const size_t start = html.find("<form");
  if (start == npos) return form;
  const std::string tagOfForm = html.substr(start, html.find('>', start) - start + 1);
  form.Action = ParsedText(RawAttribute(tagOfForm, "action").value_or(""));
  const std::string_view body = std::string_view(html).substr(start, html.find("</form>", start) - start);
  // A browser posts every line end of a value as CR LF.
  const auto posted = [](const std::string& text) { return ReplaceAll(text, "\n", "\r\n"); };
  // Controls in document order; a radio group sends its last checked button.
  std::map<std::string, size_t> radios;  // group name -> index in Fields
  for (size_t at = body.find('<'); at != npos; at = body.find('<', at + 1)) {
    const std::string kind = TagNameAt(body, at);
    if (kind != "input" && kind != "textarea" && kind != "select") continue;
    size_t next = at;
    const std::string tag = std::string(TextUpTo(body, at, ">", next)) + ">";
    const auto rawName = RawAttribute(tag, "name");
    if (kind != "input") {
      const std::string_view inner = TextUpTo(body, next, kind == "textarea" ? "</textarea>" : "</select>", next);
      at = next - 1;
      if (!rawName) continue;
      const std::string name = ParsedText(*rawName);
      if (kind == "textarea") {
        std::string text = ParsedText(inner);
        if (StartsWith(text, "\n")) text.erase(0, 1);
        form.Fields.emplace_back(name, posted(text));
        continue;
      }
      // The last option marked selected, else the first of a one-line select.
      std::optional<std::string> chosen, first;
      for (size_t o = inner.find("<option"); o != npos; o = inner.find("<option", o + 1)) {
        size_t optionEnd = o;
        const std::string optionTag = std::string(TextUpTo(inner, o, ">", optionEnd)) + ">";
        size_t textEnd = optionEnd;
        const std::string label(TextUpTo(inner, optionEnd, "<", textEnd));
        const std::string value = ParsedText(RawAttribute(optionTag, "value").value_or(label));
        if (!first) first = value;
        if (HasAttribute(optionTag, "selected")) chosen = value;
      }
      const bool oneLine = Attribute(tag, "size") == "<none>" || Attribute(tag, "size") == "1";
      if (!chosen && oneLine) chosen = first;
      if (chosen) form.Fields.emplace_back(name, posted(*chosen));
      continue;
    }
    if (!rawName) continue;
    const std::string name = ParsedText(*rawName);
    std::string type = LowerCase(Attribute(tag, "type"));
    if (type == "<none>") type = "text";
    const std::string value = ParsedText(RawAttribute(tag, "value").value_or(""));
    if (type == "submit" || type == "button" || type == "reset" || type == "image") continue;
    if (type == "file") {
      form.Files.push_back({name, "", ""});
    } else if (type == "checkbox") {
      if (HasAttribute(tag, "checked")) form.Fields.emplace_back(name, value == "" ? "on" : posted(value));
    } else if (type == "radio") {
      if (!HasAttribute(tag, "checked")) continue;
      if (const auto seen = radios.find(name); seen != radios.end()) {
        form.Fields[seen->second].second = posted(value);
      } else {
        radios[name] = form.Fields.size();
        form.Fields.emplace_back(name, posted(value));
      }
    } else if (type == "hidden") {
      form.Fields.emplace_back(name, posted(value));
    } else {
      // A text input drops line breaks.
      form.Fields.emplace_back(name, ReplaceAll(ReplaceAll(value, "\n", ""), "\r", ""));
    }
  }
  return form;
}

std::string ResolveTarget(const std::string& base, const std::string& target) {
  if (target.empty()) return base;
  if (target[0] == '?') return base.substr(0, base.find('?')) + target;
  return base.substr(0, base.rfind('/', base.find('?')) + 1) + target;
}

}  // namespace e2e
