// The generated list page at 1,000,000 rows against the same page at 10,000
// rows: two tables of one private database (filled from the server's
// sequence engine), the site generated and served by `php -S`, each request
// timed from the client over HTTP. Printed as ratios with their targets.
// Needs the private database server of scripts/bench (QF_TEST_DB_*) and php.

#include "core/Files.h"
#include "core/TextUtils.h"
#include "generator/PhpMain.h"
#include "model/DBManager.h"
#include "model/ProjectManager.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include "BenchFolders.h"
#include "BenchRatio.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace {

using TFields = std::vector<std::pair<std::string, std::string>>;

const std::pair<const char*, int> kSizes[] = {{"10k", 10000}, {"1M", 1000000}};

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

/** Ends the run through main, which stops the server and drops the database. */
[[noreturn]] void Fail(const std::string& message) { throw std::runtime_error(message); }

// ---------------------------------------------------------------- HTTP

size_t Collect(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

/** One visitor over libcurl: GET, or POST of a form when fields are given. */
class TClient {
public:
  explicit TClient(int port) : FBase("http://127.0.0.1:" + std::to_string(port) + "/"), FCurl(curl_easy_init()) {
    if (!FCurl) Fail("curl_easy_init failed");
    curl_easy_setopt(FCurl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(FCurl, CURLOPT_TIMEOUT, 60L);
  }
  ~TClient() { curl_easy_cleanup(FCurl); }
  TClient(const TClient&) = delete;
  TClient& operator=(const TClient&) = delete;

  /** The page's body; status 200 or the run ends. */
  std::string Request(const std::string& page, const TFields& fields = {}) {
    std::string body, form;
    for (const auto& [name, value] : fields) {
      char* encoded = curl_easy_escape(FCurl, value.data(), static_cast<int>(value.size()));
      form += (form.empty() ? "" : "&") + name + "=" + encoded;
      curl_free(encoded);
    }
    const std::string url = FBase + page;
    curl_easy_setopt(FCurl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(FCurl, CURLOPT_WRITEDATA, &body);
    if (fields.empty()) {
      curl_easy_setopt(FCurl, CURLOPT_HTTPGET, 1L);
    } else {
      curl_easy_setopt(FCurl, CURLOPT_POSTFIELDS, form.c_str());
    }
    long status = 0;
    if (curl_easy_perform(FCurl) != CURLE_OK || curl_easy_getinfo(FCurl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK ||
        status != 200)
      Fail("request to " + url + " failed (status " + std::to_string(status) + ")");
    return body;
  }

private:
  std::string FBase;
  CURL* FCurl;
};

// ---------------------------------------------------------------- php -S

int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0)
    Fail("no free port");
  ::close(fd);
  return ntohs(addr.sin_port);
}

/** `php -S` serving a folder, its output in a log file, stopped with the object. */
class TPhpServer {
public:
  TPhpServer(const std::string& root, const std::string& log) : FPort(FreePort()), FLog(log) {
    const std::string address = "127.0.0.1:" + std::to_string(FPort);
    const std::string shell = "cd '" + root + "' && exec php -d display_errors=0 -d log_errors=1 -d error_reporting=E_ALL -S " +
                              address + " -t . >'" + log + "' 2>&1";
    const char* argv[] = {"sh", "-c", shell.c_str(), nullptr};
    if (::posix_spawnp(&FPid, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
      Fail("php -S could not be started");
    for (int i = 0; i < 200; ++i) {
      if (ReadFileTextIfAny().find(") started") != std::string::npos) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    Fail("php -S did not start:\n" + ReadFileTextIfAny());
  }
  ~TPhpServer() {
    ::kill(FPid, SIGTERM);
    ::waitpid(FPid, nullptr, 0);
  }
  TPhpServer(const TPhpServer&) = delete;
  TPhpServer& operator=(const TPhpServer&) = delete;
  int Port() const { return FPort; }
  /** The lines of the log that report a PHP problem. */
  std::string Problems() const {
    static const std::regex kProblem(R"(Warning|Notice|Deprecated|Fatal error|Parse error|Uncaught|\[500\])");
    std::string problems;
    for (const std::string& line : SplitString(ReadFileTextIfAny(), '\n'))
      if (std::regex_search(line, kProblem)) problems += line + "\n";
    return problems;
  }

private:
  std::string ReadFileTextIfAny() const { return FileExists(FLog) ? ReadFileText(FLog) : std::string(); }
  pid_t FPid = -1;
  int FPort;
  std::string FLog;
};

// ---------------------------------------------------------------- data and site

void Execute(TDBManager& db, const std::string& sql) {
  if (!db.ExecuteQuery(sql)) Fail("statement failed: " + sql + ": " + db.LastError());
}

/** items_10k and items_1m: a key, a name whose first three characters
 *  split the rows in 100 groups (unindexed), an indexed grade holding every
 *  number below the row count once, in no order of the key, an unindexed
 *  price and a city looked up by its key. */
void FillTables(TDBManager& db, const std::string& database) {
  Execute(db, "CREATE DATABASE " + QuoteIdentifier(database));
  Execute(db, "USE " + QuoteIdentifier(database));
  Execute(db, "CREATE TABLE city (id INT NOT NULL PRIMARY KEY, name VARCHAR(40) NOT NULL)");
  Execute(db, "INSERT INTO city SELECT seq, CONCAT('City ', seq) FROM seq_1_to_200");
  for (const auto& [label, rows] : kSizes) {
    const std::string table = std::string("items_") + (rows == 1000000 ? "1m" : "10k");
    Execute(db, "CREATE TABLE " + table +
                    " (id INT NOT NULL PRIMARY KEY, name VARCHAR(60) NOT NULL, grade INT NOT NULL,"
                    " price DECIMAL(10,2) NOT NULL, city_id INT NULL, KEY (grade)) ENGINE=InnoDB");
    // 7919 is prime, so seq * 7919 mod rows visits every number once.
    Execute(db, "INSERT INTO " + table + " SELECT seq, CONCAT('n', LPAD(seq % 100, 2, '0'), ' item ', seq), seq * 7919 % " +
                    std::to_string(rows) + ", seq * 37 % 100000 / 100, 1 + seq % 200 FROM seq_1_to_" +
                    std::to_string(rows));
    Execute(db, "ANALYZE TABLE " + table);
  }
}

std::unique_ptr<TWebTable> ItemsTable(const std::string& database, const std::string& name) {
  auto table = std::make_unique<TWebTable>();
  table->DB = database;
  table->Name = table->Caption = name;
  table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = "Guest";
  const struct {
    const char *Field, *Type, *Filter;
  } columns[] = {{"id", "int(11)", "No"},
                 {"name", "varchar(60)", "Like"},
                 {"grade", "int(11)", "Interval"},
                 {"price", "decimal(10,2)", "Interval"},
                 {"city_id", "int(11)", "No"}};
  for (const auto& c : columns) {
    auto input = std::make_unique<TWebInput>(c.Field);
    input->Database_field = input->Caption = c.Field;
    input->Type = c.Type;
    input->Key = std::string(c.Field) == "id";
    input->List = input->Detail = input->Insert = input->Update = true;
    input->Input_type = "Text";
    input->Filter_type = c.Filter;
    if (std::string(c.Field) == "city_id") {
      TBaseHtmlInput& html = *input->HtmlInput;
      html.iLElementFromDb = true;
      html.iLTable = "city";
      html.iLDisplayField = "name";
      html.iLValueField = "id";
    }
    table->AddToInputList(std::move(input));
  }
  return table;
}

// ---------------------------------------------------------------- requests

/** The fields the list form posts: its hidden fields, and the button pressed. */
TFields HiddenFields(const std::string& html) {
  static const std::regex kHidden(R"re(<input type="hidden" name="([^"]*)" value="([^"]*)">)re");
  TFields fields;
  for (std::sregex_iterator it(html.begin(), html.end(), kHidden), end; it != end; ++it)
    fields.emplace_back((*it)[1], (*it)[2]);  // no value of the list holds an entity
  return fields;
}

std::string PageLabel(const std::string& html) {
  static const std::regex kLabel(R"(((Page \d+( from the end)?|Last page) of [^<]*records\)))");
  std::smatch m;
  return std::regex_search(html, m, kLabel) ? m[1].str() : "";
}

struct TRequest {
  std::string Page;
  TFields Fields;
};

TClient* gClient = nullptr;

void BM_Request(benchmark::State& state, const TRequest& request) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(gClient->Request(request.Page, request.Fields));
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}

}  // namespace

int Run() {
  if (Env("QF_TEST_DB_HOST").empty()) Fail("QF_TEST_DB_* not set: run it through scripts/bench");
  if (std::system("php -v >/dev/null 2>&1") != 0) Fail("php cannot be run");

  TDBManager db;
  const int port = std::atoi(Env("QF_TEST_DB_PORT").c_str());
  if (!db.Connect(Env("QF_TEST_DB_HOST"), Env("QF_TEST_DB_USER"), Env("QF_TEST_DB_PASSWORD"), port, ""))
    Fail("no database connection: " + db.LastError());
  const std::string database = "qf_bench_list_" + std::to_string(::getpid());
  struct TDrop {
    TDBManager& Db;
    std::string Name;
    ~TDrop() { Db.ExecuteQuery("DROP DATABASE IF EXISTS " + QuoteIdentifier(Name)); }
  } drop{db, database};
  const auto filling = std::chrono::steady_clock::now();
  FillTables(db, database);
  std::printf("tables of 10,000 and 1,000,000 rows filled in %.1f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - filling).count());

  TProjectManager project;
  project.Database_host = Env("QF_TEST_DB_HOST");
  project.Database_port = port;
  project.Database_user = Env("QF_TEST_DB_USER");
  project.Database_password = Env("QF_TEST_DB_PASSWORD");
  project.SiteCaption = "List benchmark";
  for (const char* name : {"items_10k", "items_1m"}) project.AddTable(ItemsTable(database, name));
  TScratch scratch("qf-bench-site");
  project.Project_output = scratch.Path() + "/site/";
  TMainPhpManager(project, ProgramFolder(), "default", nullptr, nullptr).Generate();
  TPhpServer server(scratch.Path() + "/site", scratch.Path() + "/php.log");
  TClient client(server.Port());
  gClient = &client;

  // The requests at each size; each is checked once before it is timed.
  std::map<std::string, TRequest> requests;
  for (const auto& [label, rows] : kSizes) {
    const std::string page = database + "_items_" + (rows == 1000000 ? "1m" : "10k") + "_list.php";
    const std::string size = label;
    const auto add = [&](const std::string& name, TFields fields, const std::string& expect) {
      const std::string html = gClient->Request(page, fields);
      const std::string shown = PageLabel(html);
      if (html.find("could not be read") != std::string::npos || shown.find(expect) != 0)
        Fail(name + "/" + size + ": the page shows \"" + shown + "\", not \"" + expect + "...\"");
      requests[name + "/" + size] = {page, std::move(fields)};
      return html;
    };
    const std::string first = add("first", {}, "Page 1 of ");
    const std::string last = add("last", {{"qf_move", "last"}}, rows > 10000 ? "Last page" : "Page 500 of 500");
    // Next from the page before the last, as the visitor reached it.
    TFields previous = HiddenFields(last);
    previous.emplace_back("qf_move", "prev");
    TFields next = HiddenFields(gClient->Request(page, previous));
    next.emplace_back("qf_move", "next");
    add("next_deep", next, rows > 10000 ? "Last page" : "Page 500 of 500");
    add("middle_by_number", {{"qf_goto", std::to_string(rows / 40)}}, "Page " + std::to_string(rows / 40) + " of ");
    add("interval_indexed", {{"grade_min", "1000"}, {"grade_max", "1099"}}, "Page 1 of 5 (100 records)");
    add("like_1pct", {{"name_val", "n07"}}, "Page 1 of ");
    add("sort_unindexed", {{"qf_sort_desc", "price"}}, "Page 1 of ");
    std::printf("%s: %s\n", size.c_str(), PageLabel(first).c_str());
  }
  for (const auto& [name, request] : requests)
    benchmark::RegisterBenchmark(name.c_str(), BM_Request, request)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.3)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);

  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  reporter.PrintRatio("first page 1M/10k (target <= 3)", "first/1M", "first/10k");
  reporter.PrintRatio("last page/first page at 1M (target <= 1.5)", "last/1M", "first/1M");
  reporter.PrintRatio("Next from a deep page/first page at 1M (target <= 1.5)", "next_deep/1M", "first/1M");
  reporter.PrintRatio("indexed Interval 1M/10k (target <= 1.5)", "interval_indexed/1M", "interval_indexed/10k");
  reporter.PrintRatio("last page 1M/10k (no target)", "last/1M", "last/10k");
  reporter.PrintRatio("page asked by number, middle, 1M/10k (no target: offset)", "middle_by_number/1M",
                      "middle_by_number/10k");
  reporter.PrintRatio("Like matching 1% 1M/10k (no target: scans)", "like_1pct/1M", "like_1pct/10k");
  reporter.PrintRatio("unindexed sort 1M/10k (no target: sorts every row)", "sort_unindexed/1M",
                      "sort_unindexed/10k");
  const std::string problems = server.Problems();
  if (!problems.empty()) Fail("problems in the output of php -S:\n" + problems);
  return 0;
}

int main(int argc, char** argv) {
  // Repetitions of all requests interleaved, so that a busy spell of the
  // machine falls on both sizes of a ratio alike.
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  argc = static_cast<int>(args.size());
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  curl_global_init(CURL_GLOBAL_DEFAULT);
  struct TCurl {
    ~TCurl() { curl_global_cleanup(); }
  } curl;
  try {
    return Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_site_list: %s\n", e.what());
    return 1;
  }
}
