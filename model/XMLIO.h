#pragma once

#include "core/Services.h"
#include "core/XmlDocument.h"
#include "model/ProjectManager.h"

#include <string>

/** Writes a whole project into one XML project file and reads it back. */
class XMLManager {
public:
  XMLManager() = default;

  /** Writes the project to fileName, replacing it through a temporary file so
   *  that a failed save leaves the old file intact. Returns true when done;
   *  failures raise. */
  bool SaveProject(const std::string& fileName, const TProjectManager& project,
                   IProgressDisplay* progress = nullptr);

  /** Reads fileName into project, which the caller has just created. The file
   *  is read into a fresh project first; only a complete read is copied into
   *  project (tables through AddTable, so its listeners hear of them). A
   *  missing file changes nothing; a damaged one raises EXMLDocError saying what
   *  was wrong and leaves project untouched. */
  void LoadProject(const std::string& fileName, TProjectManager& project,
                   IProgressDisplay* progress = nullptr);

  TXmlDocument XMLDocument;
};
