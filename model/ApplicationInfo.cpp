#include "model/ApplicationInfo.h"

#include "core/Exception.h"
#include "core/Files.h"
#include "core/TextUtils.h"

#include <exception>

namespace {

constexpr const char* kRootElement = "Application_Settings";
constexpr const char* kSaveFailed = "Can't save application settings to the drive!";

// The "value" attribute of the named setting, or nothing when the element or
// its attribute is missing.
bool SettingValue(const TXmlNode& root, const char* name, std::string& value) {
  const TXmlNode node = root.ChildByName(name);
  if (node.IsNull() || !node.HasAttribute("value")) return false;
  value = node.Attribute("value");
  return true;
}

// A number (0 is False, any other True) or the words true and false in any case.
bool ParseBool(const std::string& text, bool& value) {
  int32_t n;
  if (TryStrToInt(text, n)) {
    value = n != 0;
    return true;
  }
  if (SameText(text, "true") || SameText(text, "false")) {
    value = SameText(text, "true");
    return true;
  }
  return false;
}

void ReadString(const TXmlNode& root, const char* name, std::string& field, const std::string& def) {
  if (!SettingValue(root, name, field)) field = def;
}

void ReadBool(const TXmlNode& root, const char* name, bool& field, bool def) {
  std::string text;
  if (!SettingValue(root, name, text) || !ParseBool(text, field)) field = def;
}

void ReadInt(const TXmlNode& root, const char* name, int32_t& field, int32_t def) {
  std::string text;
  if (!SettingValue(root, name, text) || !TryStrToInt(text, field)) field = def;
}

void AddSetting(TXmlNode root, const char* name, const std::string& value) {
  root.AddChild(name).SetAttribute("value", value);
}

std::string BoolValue(bool value) { return value ? "-1" : "0"; }

}  // namespace

void TApplicationManager::LoadSettings() {
  const std::string dir = IncludeTrailingPathDelimiter(GetCurrentDir());
  const std::string defOutput = dir + "Output/";
  const std::string defProjects = dir + "Projects/";

  // A missing or unreadable file means defaults, silently. Only a file that
  // was read and is not our settings document may hold something the user
  // wrote by hand: the next save keeps a copy of it.
  bool read = false, active = false;
  try {
    const std::string text = ReadFileText(FileName);
    read = true;
    XMLDocument.LoadFromString(text, FileName);
    active = true;
  } catch (const Exception&) {
    XMLDocument.Clear();
  }
  const TXmlNode root = active ? XMLDocument.DocumentElement() : TXmlNode();
  FFileDamaged = read && root.NodeName() != kRootElement;

  // Each setting falls back to its own default, so one bad value costs only itself.
  ReadBool(root, "Auto_load_last_Project", Auto_load_last_Project, true);
  ReadString(root, "Last_project_name", Last_project_name, "");
  ReadString(root, "Last_project_path", Last_project_path, "");
  ReadBool(root, "Auto_connect", Auto_connect, true);
  ReadString(root, "Default_output_path", Default_output_path, defOutput);
  ReadString(root, "Default_project_path", Default_project_path, defProjects);
  ReadString(root, "Default_Hostname", Default_Hostname, "localhost");
  ReadString(root, "Default_Username", Default_Username, "root");
  ReadString(root, "Default_Password", Default_Password, "");
  ReadString(root, "Default_Database", Default_Database, "mysql");
  ReadInt(root, "Default_Port", Default_Port, 3306);

  ShowInSettingsForm();
}

void TApplicationManager::SaveSettings() {
  try {
    TXmlDocument doc;
    TXmlNode root = doc.CreateDocumentElement(kRootElement);
    AddSetting(root, "Auto_load_last_Project", BoolValue(Auto_load_last_Project));
    AddSetting(root, "Last_project_name", Last_project_name);
    AddSetting(root, "Last_project_path", Last_project_path);
    AddSetting(root, "Auto_connect", BoolValue(Auto_connect));
    AddSetting(root, "Default_output_path", Default_output_path);
    AddSetting(root, "Default_project_path", Default_project_path);
    AddSetting(root, "Default_Hostname", Default_Hostname);
    AddSetting(root, "Default_Username", Default_Username);
    AddSetting(root, "Default_Password", Default_Password);
    AddSetting(root, "Default_Database", Default_Database);
    AddSetting(root, "Default_Port", IntToStr(Default_Port));

    // The file we could not parse may have been edited by hand: keep a copy
    // when we can, but never let that stop the settings being saved.
    if (FFileDamaged) {
      try {
        CopyFileContent(FileName, FileName + ".bak");
      } catch (const Exception&) {
      }
    }
    doc.SaveToFile(FileName);
    FFileDamaged = false;
  } catch (const std::exception&) {
    if (Messages) Messages->MessageDlg(kSaveFailed, TMsgDlgType::mtWarning, mbOK);
  }
}

void TApplicationManager::ShowInSettingsForm() {
  if (SettingsView) SettingsView->ShowSettings(*this);
}
