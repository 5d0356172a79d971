#include "generator/PhpMain.h"

#include "core/Exception.h"
#include "core/Files.h"
#include "generator/PageGenerator.h"
#include "generator/phpIndex.h"
#include "generator/phpLogin.h"
#include "generator/phpdbinfo.h"
#include "generator/phpdelete.h"
#include "generator/phpdetail.h"
#include "generator/phpindexmenu.h"
#include "generator/phpinsert.h"
#include "generator/phplist.h"
#include "generator/phpupdate.h"
#include "model/FileLogger.h"
#include "model/General.h"

#include <set>
#include <vector>

namespace {

/** Puts the project's current database and table back on every way out. */
class TCurrentTableGuard {
public:
  explicit TCurrentTableGuard(TProjectManager& project)
      : FProject(project), FDatabase(project.CurrentDatabase), FTable(project.CurrentTable) {}
  ~TCurrentTableGuard() {
    FProject.CurrentDatabase = FDatabase;
    FProject.CurrentTable = FTable;
  }
  TCurrentTableGuard(const TCurrentTableGuard&) = delete;
  TCurrentTableGuard& operator=(const TCurrentTableGuard&) = delete;

private:
  TProjectManager& FProject;
  std::string FDatabase;
  std::string FTable;
};

// A name that would carry a page out of the output folder: a path separator,
// a parent step, or a NUL byte, which ends the path early.
bool LeavesOutputFolder(const std::string& name) {
  return name.find('/') != std::string::npos || name.find("..") != std::string::npos ||
         name.find('\0') != std::string::npos;
}

// Copies the files of sourceFolder matching mask into targetFolder, as the
// pages are written: never through a link to a place outside the output
// folder, which raises EInOutError as a page there does.
void CopyContained(const std::string& sourceFolder, const std::string& targetFolder, const std::string& mask,
                   const std::string& outputFolder) {
  for (const std::string& name : FindFiles(sourceFolder, mask)) {
    const std::string target = targetFolder + name;
    if (!LiesInside(target, outputFolder))
      throw EInOutError("Cannot write " + target + ": it lies outside the output folder " + outputFolder);
    CopyFileByStream(sourceFolder + name, target);
  }
}

}  // namespace

TMainPhpManager::TMainPhpManager(TProjectManager& project, std::string appFolder, std::string themeName,
                                 IProgressDisplay* progress, IMessageService* messages)
    : FProject(project),
      FAppFolder(IncludeTrailingPathDelimiter(appFolder)),
      FThemeName(themeName.empty() ? "default" : std::move(themeName)),
      FProgress(progress),
      FMessages(messages) {}

std::string TMainPhpManager::OutputFolder() const {
  return IncludeTrailingPathDelimiter(FProject.Project_output.empty() ? FAppFolder + "output"
                                                                       : FProject.Project_output);
}

bool TMainPhpManager::CreateProjectDirectories() {
  const std::string out = OutputFolder();
  try {
    for (const std::string& folder : {out, out + "theme/images", out + "scripts", out + "general"}) {
      // A folder reached through a link to elsewhere is not made there.
      if (folder != out && !LiesInside(folder, out))
        throw EInOutError("Cannot create " + folder + ": it lies outside the output folder " + out);
      if (!DirectoryExists(folder)) ForceDirectories(folder);
    }
  } catch (const EInOutError& e) {
    WriteLog("  " + e.Message());
    // Which folder and why, on a line of its own, as every other file error says.
    if (FMessages)
      FMessages->MessageDlg("Can't create project directories!\n" + e.Message(), TMsgDlgType::mtError, mbOK);
    return false;
  }
  return true;
}

bool TMainPhpManager::CopyThemeFiles() {
  if (FProject.Project_output.empty()) FProject.Project_output = FAppFolder + "output";
  const std::string out = OutputFolder();
  const std::string theme = FAppFolder + "themes/" + FThemeName + "/";
  CopyContained(theme + "images/", out + "theme/images/", "*.gif", out);
  CopyContained(theme, out + "theme/", "*.css", out);
  CopyContained(FAppFolder + "scripts/", out + "general/", "*.php", out);
  CopyContained(FAppFolder + "scripts/", out + "scripts/", "*.js", out);
  CopyContained(FAppFolder + "tpl/", out, "left.html", out);
  return true;
}

bool TMainPhpManager::Generate() {
  WriteLog("Generate begin");
  const std::vector<std::string> databases = DistinctDatabases(FProject);
  const int count = static_cast<int>(databases.size());
  std::vector<std::string> taken, unsafe;  // tables left out
  {
    TCurrentTableGuard keepCurrent(FProject);
    TProgressScope progress(FProgress);
    progress.SetProgress(0);
    if (!CreateProjectDirectories()) {
      progress.SetProgress(100);
      return false;
    }
    CopyThemeFiles();

    const TGeneratorContext context{FProject, FAppFolder, OutputFolder()};
    TSQLGenerator(context).Generate();
    TLoginGenerator(context).Generate();
    TIndexGenerator(context).Generate();
    TIndexMenuGenerator(context).Generate();

    TListGenerator list(context);
    TInsertGenerator insert(context);
    TUpdateGenerator update(context);
    TDetailGenerator detail(context);
    TDeleteGenerator del(context);

    // Page names join database and table with "_", so (a_b, c) and (a, b_c)
    // would write the same files; the table seen second is left out and named
    // in the closing message rather than overwriting the first one's pages.
    std::set<std::string> pageNames;
    for (int i = 0; i < count; ++i) {
      const int step = (100 / count) * i;
      progress.SetProgress(step);
      FProject.CurrentDatabase = databases[i];
      for (const auto& table : FProject.Tables) {
        if (table->DB != databases[i]) continue;
        if (LeavesOutputFolder(table->DB) || LeavesOutputFolder(table->Name)) {
          unsafe.push_back(table->DB + "." + table->Name);
          continue;
        }
        if (!pageNames.insert(table->DB + "_" + table->Name).second) {
          taken.push_back(table->DB + "." + table->Name);
          continue;
        }
        FProject.CurrentTable = table->Name;
        WriteLog("  " + table->DB + "." + table->Name);
        list.Generate();
        insert.Generate();
        update.Generate();
        detail.Generate();
        del.Generate();
      }
      progress.SetProgress(step);
    }
    progress.SetProgress(100);
  }

  std::string text = "              Congratulation !\r\n\r\nYour project was sucessfully generated!\r\n"
                     "Generated files are located in " +
                     FProject.Project_output;
  for (const auto& [tables, reason] : {std::pair{&taken, "are taken by another table"},
                                       {&unsafe, "would leave the output folder"}}) {
    if (tables->empty()) continue;
    text += std::string("\r\n\r\nNot generated, because their page names ") + reason + ":";
    for (const std::string& name : *tables) text += "\r\n" + name;
  }
  if (FMessages) FMessages->MessageDlg(text, TMsgDlgType::mtInformation, mbOK);
  WriteLog("Generate end");
  return true;
}
