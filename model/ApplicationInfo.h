#pragma once

#include "core/Services.h"
#include "core/XmlDocument.h"

#include <cstdint>
#include <string>

class TApplicationManager;

/** The default-settings dialog, as far as the settings need it. */
class ISettingsView {
public:
  virtual ~ISettingsView() = default;
  /** Copies the settings into the dialog's controls. */
  virtual void ShowSettings(const TApplicationManager& settings) = 0;
};

/** The program-wide settings, kept in the settings file "tyvox.ini" in the current folder. */
class TApplicationManager {
public:
  TApplicationManager() = default;

  /** Reads the settings file. A missing or unreadable file gives every
   *  default; a missing element or bad value gives that setting's default and
   *  reading goes on. Then ShowInSettingsForm. */
  void LoadSettings();
  /** Writes the settings file through a temporary file; a failure shows the
   *  warning "Can't save application settings to the drive!" and nothing else. */
  void SaveSettings();
  /** Copies the settings into the settings view when there is one. */
  void ShowInSettingsForm();

  /** Settings file name, relative to the current folder unless absolute. */
  std::string FileName = "tyvox.ini";
  /** Seams: message boxes, and the default-settings dialog (null until it exists). */
  IMessageService* Messages = nullptr;
  ISettingsView* SettingsView = nullptr;

  TXmlDocument XMLDocument;
  std::string Default_output_path;
  std::string Default_project_path;
  std::string Default_Hostname;
  std::string Default_Username;
  std::string Default_Password;
  std::string Default_Database;
  int32_t Default_Port = 0;
  bool Auto_load_last_Project = false;
  std::string Last_project_name;
  std::string Last_project_path;
  bool Auto_connect = false;

private:
  // Set when the settings file was read but could not be parsed (or is some
  // other XML document), so the next save tries to keep a copy of it as
  // FileName + ".bak" before replacing it.
  bool FFileDamaged = false;
};
