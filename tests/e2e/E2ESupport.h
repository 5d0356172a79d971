#pragma once
// The generated-site tests' fixture and helpers: a plain HTTP client, the PHP
// built-in web server as a child process, private copies of the fixture
// databases and readers for the pages' HTML.

#include "TestSupport.h"
#include "generator/PhpText.h"
#include "model/DBManager.h"
#include "model/ProjectManager.h"

#include <gtest/gtest.h>

#include <sys/types.h>

#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace e2e {

using TFields = std::vector<std::pair<std::string, std::string>>;

std::string FormEncode(const TFields& fields);

struct THttpResponse {
  int Status = 0;
  std::string Head, Body;
  /** The value of the first header of that name, or "". */
  std::string Header(const std::string& name) const;
};

struct TFilePart {
  std::string Field, FileName, Data;
};

/** One visitor: a connection per request, keeping the cookies the site sets. */
class THttpClient {
public:
  explicit THttpClient(int port) : FPort(port) {}
  THttpResponse Get(const std::string& target) { return Send("GET", target, "", ""); }
  /** A multipart/form-data POST, as the site's forms send it. */
  THttpResponse Post(const std::string& target, const TFields& fields, const std::vector<TFilePart>& files = {});

private:
  THttpResponse Send(const std::string& method, const std::string& target, const std::string& type,
                     const std::string& body);
  int FPort;
  std::map<std::string, std::string> FCookies;
};

/** The file's content, "" when there is no such file. */
std::string ReadIfExists(const std::string& path);
/** Starts `php -S` on a free port of 127.0.0.1 in docRoot, its output in
 *  output; its pid and port, or pid -1 when it did not start. */
std::pair<pid_t, int> StartPhpServer(const std::string& docRoot, const std::string& output);

/** Stops the server of StartPhpServer; a PHP warning, notice or error in
 *  its output fails the test. */
void StopPhpServer(pid_t server, const std::string& output);

/** Status 200, no database error in the page, and `echo` (a value holding
 *  markup) not in it unescaped. */
void ExpectCleanPage(const THttpResponse& response, const std::string& what, const std::string& echo = "");

/** Runs a shell command; its exit code, stdout and stderr in output. */
int RunCommand(const std::string& command, std::string& output);

// Database access; a failing statement throws.
std::vector<std::vector<std::string>> Rows(TDBManager& db, const std::string& sql);
std::vector<std::string> Column(TDBManager& db, const std::string& sql);
/** First column of the first row, "" without rows. */
std::string Value(TDBManager& db, const std::string& sql);
std::string SqlLiteral(TDBManager& db, std::string_view text);

// Readers for the pages' HTML.
/** Undoes htmlspecialchars(ENT_QUOTES). */
std::string HtmlDecode(std::string_view html);
/** The "id" parameter of every detail link of a list page, in page order. */
std::vector<std::string> LinkIds(const std::string& html);
/** The decoded target of every link to a page of the site, in page order. */
std::vector<std::string> PageLinks(const std::string& html);
/** The name of the first form control in the row data-field="field", or "". */
std::string ControlName(const std::string& html, const std::string& field);
/** "(N records)" of a list page, -1 when missing. */
int RecordCount(const std::string& html);
/** "Page P of N": {P, N}, {-1, -1} when missing. */
std::pair<int, int> PageNumbers(const std::string& html);
/** The raw value cell of the detail row data-field="field", or "<none>". */
std::string DetailCell(const std::string& html, const std::string& field);
/** The first <input> tag named name (holding that value when given), or "". */
std::string InputTag(const std::string& html, const std::string& name,
                     const std::optional<std::string>& value = std::nullopt);
/** The decoded attribute of a tag, or "<none>". */
std::string Attribute(const std::string& tag, const std::string& attribute);
/** Text outside tags, decoded. */
std::string VisibleText(const std::string& html);

/** What a browser sends for the first form of a page when the visitor
 *  changes nothing: the checked boxes and buttons, the chosen options, text
 *  inputs without line breaks, text areas without their first line break
 *  and with CR LF line ends, an empty part for each file input. Values the
 *  HTML parser replaces (NUL) come back as U+FFFD. */
struct TBrowserForm {
  TFields Fields;
  std::vector<TFilePart> Files;
  /** The form's action, decoded ("" when it has none). */
  std::string Action;
  /** The value of field name, or nullopt when the form does not send it. */
  std::optional<std::string> Get(const std::string& name) const;
  /** Sets field name (added when the form does not send it). */
  void Set(const std::string& name, const std::string& value);
  void Remove(const std::string& name);
};
TBrowserForm BrowserForm(const std::string& html);

/** A page of the site at target, relative to the page at base ("a/b.php?x"):
 *  a form action "?k=1" keeps base's path. */
std::string ResolveTarget(const std::string& base, const std::string& target);

/** Headless Chromium, driven by tests/e2e/browser_driver.py: it types and
 *  submits as a visitor does, and the browser rewrites what it sends. */
class TBrowser {
public:
  TBrowser();
  ~TBrowser();
  TBrowser(const TBrowser&) = delete;
  TBrowser& operator=(const TBrowser&) = delete;
  /** Whether the browser started; else Error() says why. */
  bool Started() const { return FStarted; }
  const std::string& Error() const { return FError; }
  /** Each returns the visible text of the page shown afterwards; a failed
   *  command fails the test and returns "". */
  std::string Open(const std::string& url);
  std::string Type(const std::string& name, const std::string& text);
  std::string Choose(const std::string& name, const std::string& value);
  std::string Click(const std::string& name);
  std::string Submit();
  std::string Back();

private:
  std::string Command(const std::string& json);
  pid_t FPid = -1;
  FILE* FIn = nullptr;   // commands to the driver
  FILE* FOut = nullptr;  // its answers
  bool FStarted = false;
  std::string FError;
};

// ---------------------------------------------------------------- fixture

inline const std::string kNotFound = "The record was not found.";
/** The update page's answer when the record is gone or its key changed. */
inline const std::string kLost =
    "The record could not be saved: it no longer holds the values it was opened with, as it was changed or deleted "
    "meanwhile. The form shows what you sent; open the record again from the list to save it.";

/** A stored upload: a plain name inside the upload folder. */
inline bool IsStoredUpload(const std::string& path) {
  return std::regex_match(path, std::regex(R"(uploads/[A-Za-z0-9_-][A-Za-z0-9._-]*)"));
}

/** A test with its own generated site: the project's site generated into a
 *  temporary folder and served by `php -S`, with a connection of its own to
 *  the test server. TearDown fails the test on any PHP problem in the
 *  server's output. */
class ServedSiteTest : public ::testing::Test {
protected:
  /** Connects FDb to the test server; false (skipped) without server or PHP. */
  bool Connect();
  /** Points the project at the test server, generates its site into FOut
   *  and serves it on FPort. */
  void Serve(TProjectManager& project);
  void TearDown() override;

  THttpClient Visitor() const { return THttpClient(FPort); }

  std::unique_ptr<TDBManager> FDb;
  std::unique_ptr<qftest::TempDir> FDir;
  std::string FOut;  // the generated site, without trailing "/"
  pid_t FServer = -1;  // php -S 127.0.0.1:FPort, serving FOut
  int FPort = 0;
};

/** One generated site per test: private copies of the fixture databases, the
 *  fixture project tests/fixtures/site/site.vrk over them. TearDown drops the
 *  copies. */
class GeneratedSiteTest : public ServedSiteTest {
protected:
  void SetUp() override;
  void TearDown() override;

  /** "/<db>_<table>_<page>.php" */
  static std::string PagePath(const std::string& db, const std::string& table, const std::string& page);
  std::string ShopPage(const std::string& table, const std::string& page) const {
    return PagePath(FShopDb, table, page);
  }
  /** `copy`.`table` of the shop copy. */
  std::string ShopTable(const std::string& table) const {
    return QuoteIdentifier(FShopDb) + "." + QuoteIdentifier(table);
  }
  std::string Lit(std::string_view text) { return SqlLiteral(*FDb, text); }
  std::string Sql(const std::string& sql) { return Value(*FDb, sql); }
  /** Every row of every table of both copies, sorted, one a line. */
  std::string Snapshot();

  THttpResponse Login(THttpClient& client, const std::string& name, const std::string& pass,
                      const std::string& back = "");
  THttpClient Administrator();

  std::string FShopDb, FNotesDb;  // the private copies of shop and my-db
  TProjectManager FProject;
};

}  // namespace e2e
