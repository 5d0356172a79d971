#pragma once
// Folders the benchmarks share: where the program's data lies and a scratch
// folder for one run.

#include "core/Files.h"
#include "model/General.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

/** The program folder: the data copied beside this program, else the
 *  source tree's data folder. */
inline std::string ProgramFolder() {
  const std::string beside = GetAppFolder();
  if (FileExists(beside + "tpl/list.tpl")) return beside;
  const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path().parent_path() / "data";
  return source.string() + "/";
}

/** A scratch folder for the whole run, removed at the end. */
class TScratch {
public:
  explicit TScratch(const std::string& name) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + name + ".XXXXXX";
    if (!::mkdtemp(pattern.data())) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    FPath = pattern;
  }
  ~TScratch() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  std::string Fresh() { return FPath + "/run" + std::to_string(++FCounter); }
  const std::string& Path() const { return FPath; }

private:
  std::string FPath;
  int FCounter = 0;
};
