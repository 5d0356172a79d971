#pragma once

#include "core/Services.h"
#include "model/ProjectManager.h"

#include <string>

/** Runs one whole generation of a project: output folders, the theme, script
 *  and frame copies, the four site pages and the five pages of every table,
 *  with progress and a closing message. */
class TMainPhpManager {
public:
  /** appFolder is the program folder (holding tpl/, themes/, scripts/); an
   *  empty themeName means "default". progress and messages may be null. */
  TMainPhpManager(TProjectManager& project, std::string appFolder, std::string themeName,
                  IProgressDisplay* progress, IMessageService* messages);

  /** The whole generation. Errors of the generators (a template that cannot be
   *  read, a file that cannot be written) reach the caller, after the progress
   *  display is closed and the project's current table is put back. Answers
   *  false when the output folders could not be made and nothing was written. */
  bool Generate();
  /** Creates the output folder and its theme/images, scripts and general
   *  folders; on failure shows "Can't create project directories!" with the
   *  folder and the reason below it, and answers false. */
  bool CreateProjectDirectories();
  /** Copies the theme's style sheets and images, the scripts and left.html.
   *  An empty Project_output becomes the folder "output" beside the program. */
  bool CopyThemeFiles();

private:
  std::string OutputFolder() const;  // ends with "/"

  TProjectManager& FProject;
  std::string FAppFolder;
  std::string FThemeName;
  IProgressDisplay* FProgress;
  IMessageService* FMessages;
};
