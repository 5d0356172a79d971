// Generating the whole site of a large project, against copying the same
// output tree with `cp -r` in the same run. Both write into a folder that does
// not exist yet; the copy is timed as the subprocess it is, process start
// included. Removing the folders afterwards is not timed.

#include "core/Files.h"
#include "generator/PhpMain.h"
#include "model/General.h"
#include "model/ProjectManager.h"

#include <benchmark/benchmark.h>

#include "BenchFolders.h"
#include "BenchRatio.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kTables = 300;
constexpr int kColumns = 20;

const char* const kWords[] = {"customer", "order",    "invoice", "product", "supplier", "stock",   "payment",
                              "address",  "country",  "city",    "employee", "shift",   "vehicle", "route",
                              "ticket",   "comment",  "tag",     "session", "audit",    "report"};
const char* const kInputs[] = {"Text",     "Textarea", "Combobox", "Listbox", "Checkbox",
                               "Radiobox", "Password", "Hidden",   "File"};
const char* const kChecks[] = {"No", "Integer", "Email", "Character", "Float", "Price", "PostalCode", "URL", "IP",
                               "Int Range"};

std::string Word(int i) { return kWords[static_cast<size_t>(i) % std::size(kWords)]; }

/** 300 tables of 20 columns over two databases: all nine input types, fixed
 *  item lists and lookups, Like and Interval filters, hints, validations,
 *  uploads, hidden values, mixed rights and change mails. */
std::unique_ptr<TProjectManager> MakeProject() {
  auto p = std::make_unique<TProjectManager>();
  p->ProjectName = "Benchmark";
  p->Database_host = "127.0.0.1";
  p->Database_user = "shop_user";
  p->Database_password = "s3cret'\"$";
  p->AdminName = "admin";
  p->AdminPass = "secret";
  p->SiteCaption = "Benchmark shop";
  p->mailOnInsert = p->mailOnUpdate = p->mailOnDelete = true;
  p->mailAllData = true;
  p->mailSendTo = "shop@example.com";
  p->mailSubject = "Change";
  p->mailFrom = "site@example.com";
  for (int t = 0; t < kTables; ++t) {
    auto table = std::make_unique<TWebTable>();
    table->DB = t % 3 == 0 ? "shop" : "shop-archive";
    table->Name = Word(t) + "_" + std::to_string(t);
    table->Caption = Word(t) + " list " + std::to_string(t);
    table->InsertRight = t % 2 ? "Admin" : "Guest";
    table->UpdateRight = t % 3 ? "Admin" : "Guest";
    table->DeleteRight = "Admin";
    table->DetailRight = "Guest";
    table->ListRight = t % 5 ? "Guest" : "Admin";
    table->SendMail = t % 4 == 0;
    for (int c = 0; c < kColumns; ++c) {
      const std::string name = c == 0 ? "id" : Word(t + c) + "_" + std::to_string(c);
      auto col = std::make_unique<TWebInput>(name);
      col->Database_field = name;
      col->Key = c == 0;
      col->Caption = Word(t + c) + " " + std::to_string(c);
      col->Insert = c != 0;
      col->Update = c != 0;
      col->List = c < 8;
      col->Detail = true;
      const std::string input = c == 0 ? "Text" : kInputs[static_cast<size_t>(c + t) % std::size(kInputs)];
      col->Input_type = input;
      col->Type = input == "Checkbox" ? "set('red','green','blue')"
                  : input == "Radiobox" ? "enum('new','used','it''s')"
                  : c % 4 == 1         ? "int(11)"
                                       : "varchar(255)";
      col->View_type = input == "File" ? "Picture" : (c % 4 == 1 ? "Number" : "Text");
      col->Filter_type = c % 5 == 1 ? "Like" : (c % 5 == 3 ? "Interval" : "No");
      col->UseHint = c % 3 == 0;
      if (col->UseHint) col->HintText = "Enter the " + Word(t + c) + "'s value as shown on the \"form\".";
      TBaseHtmlInput& h = *col->HtmlInput;
      h.iCheckType = kChecks[static_cast<size_t>(c) % std::size(kChecks)];
      h.iRequired = c % 2 == 0;
      h.iErrorText = "Please fill in " + col->Caption;
      h.iCheckMin = "1";
      h.iCheckMax = "500";
      h.iLength = 20 + c;
      h.iMax = 255;
      h.iValue = c % 6 == 0 ? "default " + std::to_string(c) : "";
      std::string kind;
      ParseEnumSet(col->Type, h.ItemList, kind);
      const bool choice = input == "Combobox" || input == "Listbox" || input == "Checkbox" || input == "Radiobox";
      if (choice && kind.empty() && c % 2 == 0) {
        for (int k = 0; k < 3 + c % 4; ++k) h.ItemList.Add("Choice " + std::to_string(k) + "=" + std::to_string(k));
        kind = "list";
      }
      if (!kind.empty()) {
        h.iLSource = 1;
      } else if (choice || c % 7 == 0) {
        h.iLSource = 0;
        h.iLElementFromDb = true;
        h.iLTable = Word(c);
        h.iLDisplayField = "name";
        h.iLValueField = "id";
        h.iLWhereField = c % 3 == 0 ? "active" : "";
        h.iLRelation = c % 3 == 0 ? "=" : "All";
        h.iLValue = "1";
        h.iLShort = "Asc";
      }
      h.iRaHorizontal = c % 2 == 1;
      if (input == "Textarea") {
        h.iTAWidth = 40;
        h.iTALines = 5;
        h.iTAWrap = true;
      }
      if (input == "Hidden") h.iHiValue = "echo h(date('Y-m-d H:i:s'));";
      if (input == "File") h.iFileUpDir = "uploads/" + Word(t) + "/";
      table->AddToInputList(std::move(col));
    }
    p->AddTable(std::move(table));
  }
  return p;
}

TScratch* gScratch = nullptr;
TProjectManager* gProject = nullptr;
std::string gAppFolder;
std::string gReference;  // one generated tree, the copy's source

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void Generate(const std::string& folder) {
  gProject->Project_output = folder + "/";
  TMainPhpManager(*gProject, gAppFolder, "default", nullptr, nullptr).Generate();
}

bool CopyTree(const std::string& source, const std::string& target) {
  const char* argv[] = {"cp", "-r", source.c_str(), target.c_str(), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "cp", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return false;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_Generate(benchmark::State& state) {
  for (auto _ : state) {
    const std::string folder = gScratch->Fresh();
    const auto start = std::chrono::steady_clock::now();
    Generate(folder);
    state.SetIterationTime(Seconds(std::chrono::steady_clock::now() - start));
    std::filesystem::remove_all(folder);
    ::sync();  // each run starts without the last one's writeback
  }
}
BENCHMARK(BM_Generate)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1)->Repetitions(5);

void BM_CopyTree(benchmark::State& state) {
  for (auto _ : state) {
    const std::string folder = gScratch->Fresh();
    const auto start = std::chrono::steady_clock::now();
    const bool copied = CopyTree(gReference, folder);
    state.SetIterationTime(Seconds(std::chrono::steady_clock::now() - start));
    if (!copied) {
      state.SkipWithError("cp -r failed");
      break;
    }
    std::filesystem::remove_all(folder);
    ::sync();
  }
}
BENCHMARK(BM_CopyTree)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  TScratch scratch("qf-bench-gen");
  gScratch = &scratch;
  auto project = MakeProject();
  gProject = project.get();
  gAppFolder = ProgramFolder();
  if (!FileExists(gAppFolder + "tpl/list.tpl")) {
    std::fprintf(stderr, "no templates in %stpl/\n", gAppFolder.c_str());
    return 1;
  }

  // The tree the copy reproduces: one generation, checked for its pages.
  gReference = scratch.Path() + "/reference";
  Generate(gReference);
  size_t files = 0;
  uintmax_t bytes = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(gReference))
    if (entry.is_regular_file()) {
      ++files;
      bytes += entry.file_size();
    }
  if (files < static_cast<size_t>(kTables) * 5) {
    std::fprintf(stderr, "generation wrote only %zu files\n", files);
    return 1;
  }
  std::printf("output: %zu files, %ju bytes, %d tables of %d columns, templates from %s\n", files, bytes, kTables,
              kColumns, gAppFolder.c_str());

  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  reporter.PrintRatio("generation/cp -r", "BM_Generate", "BM_CopyTree");
  return 0;
}
