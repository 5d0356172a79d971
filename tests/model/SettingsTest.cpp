// Settings file "tyvox.ini": TApplicationManager.

#include "model/ApplicationInfo.h"

#include "core/Files.h"
#include "core/XmlDocument.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using qftest::ReadFile;
using qftest::ScopedCurrentDir;
using qftest::TempDir;
using qftest::WriteFile;
using ::testing::ElementsAre;

namespace {

struct Message {
  std::string Text;
  TMsgDlgType Type;
  TMsgDlgButtons Buttons;
};

class RecordingMessages : public IMessageService {
public:
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    Shown.push_back({text, type, buttons});
    return TModalResult::mrOk;
  }
  std::vector<Message> Shown;
};

/** Records what the dialog would show, at the moment it is asked. */
class RecordingView : public ISettingsView {
public:
  void ShowSettings(const TApplicationManager& s) override {
    Calls.push_back(s.Default_Hostname + "|" + std::to_string(s.Default_Port) + "|" +
                    (s.Auto_connect ? "connect" : "no-connect"));
  }
  std::vector<std::string> Calls;
};

/** A settings file with the given children of "Application_Settings". */
std::string SettingsXml(const std::string& children) {
  return "<?xml version=\"1.0\"?>\n<Application_Settings>" + children + "</Application_Settings>\n";
}

std::string Setting(const std::string& name, const std::string& value) {
  return "<" + name + " value=\"" + value + "\"/>";
}

/** A complete hand-written file with non-default values everywhere. */
std::string FullSettingsXml() {
  return SettingsXml(Setting("Auto_load_last_Project", "0") + Setting("Last_project_name", "Shop") +
                     Setting("Last_project_path", "/p/") + Setting("Auto_connect", "0") +
                     Setting("Default_output_path", "/out/") + Setting("Default_project_path", "/prj/") +
                     Setting("Default_Hostname", "db.example.org") + Setting("Default_Username", "admin") +
                     Setting("Default_Password", "pw") + Setting("Default_Database", "shop") +
                     Setting("Default_Port", "3307"));
}

std::string RealPath(const std::string& path) { return std::filesystem::canonical(path).string(); }

void SetNonDefaults(TApplicationManager& s) {
  s.Auto_load_last_Project = false;
  s.Last_project_name = "Shop <&> \"Zürich\" '東京'";
  s.Last_project_path = "/home/user/My Projects/";
  s.Auto_connect = false;
  s.Default_output_path = "/var/www/\t";
  s.Default_project_path = "  ";
  s.Default_Hostname = "db.example.org";
  s.Default_Username = "admin";
  s.Default_Password = "p<a>ss\"w'ord";
  s.Default_Database = "";
  s.Default_Port = -1;
}

void ExpectSameSettings(const TApplicationManager& a, const TApplicationManager& b) {
  EXPECT_EQ(a.Auto_load_last_Project, b.Auto_load_last_Project);
  EXPECT_EQ(a.Last_project_name, b.Last_project_name);
  EXPECT_EQ(a.Last_project_path, b.Last_project_path);
  EXPECT_EQ(a.Auto_connect, b.Auto_connect);
  EXPECT_EQ(a.Default_output_path, b.Default_output_path);
  EXPECT_EQ(a.Default_project_path, b.Default_project_path);
  EXPECT_EQ(a.Default_Hostname, b.Default_Hostname);
  EXPECT_EQ(a.Default_Username, b.Default_Username);
  EXPECT_EQ(a.Default_Password, b.Default_Password);
  EXPECT_EQ(a.Default_Database, b.Default_Database);
  EXPECT_EQ(a.Default_Port, b.Default_Port);
}

void ExpectDefaults(const TApplicationManager& s, const std::string& dir) {
  EXPECT_TRUE(s.Auto_load_last_Project);
  EXPECT_TRUE(s.Auto_connect);
  EXPECT_EQ(s.Last_project_name, "");
  EXPECT_EQ(s.Last_project_path, "");
  EXPECT_EQ(s.Default_output_path, dir + "/Output/");
  EXPECT_EQ(s.Default_project_path, dir + "/Projects/");
  EXPECT_EQ(s.Default_Hostname, "localhost");
  EXPECT_EQ(s.Default_Username, "root");
  EXPECT_EQ(s.Default_Password, "");
  EXPECT_EQ(s.Default_Database, "mysql");
  EXPECT_EQ(s.Default_Port, 3306);
}

TEST(SettingsTest, WithoutAFileEverySettingHasItsDefault) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  TApplicationManager s;
  SetNonDefaults(s);
  s.LoadSettings();
  ExpectDefaults(s, RealPath(dir.Path()));
  EXPECT_FALSE(FileExists("tyvox.ini"));  // loading writes nothing
}

TEST(SettingsTest, SaveAndLoadGiveTheSameValues) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  TApplicationManager saved;
  SetNonDefaults(saved);
  RecordingMessages messages;
  saved.Messages = &messages;
  saved.SaveSettings();
  EXPECT_TRUE(messages.Shown.empty());
  ASSERT_TRUE(FileExists(dir.File("tyvox.ini")));

  TApplicationManager loaded;
  loaded.LoadSettings();
  ExpectSameSettings(saved, loaded);

  // And the other way round for the flags.
  saved.Auto_connect = saved.Auto_load_last_Project = true;
  saved.SaveSettings();
  loaded.LoadSettings();
  EXPECT_TRUE(loaded.Auto_connect);
  EXPECT_TRUE(loaded.Auto_load_last_Project);
}

TEST(SettingsTest, FileHoldsTheSettingsInWriterOrderWithNumericFlags) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  TApplicationManager s;
  SetNonDefaults(s);
  s.Auto_connect = true;
  s.Default_Port = 3306;
  s.SaveSettings();

  const std::string data = ReadFile("tyvox.ini");
  EXPECT_NE(data.substr(0, 3), "\xEF\xBB\xBF");
  TXmlDocument doc;
  doc.LoadFromString(data);
  const TXmlNode root = doc.DocumentElement();
  EXPECT_EQ(root.NodeName(), "Application_Settings");
  std::vector<std::string> entries;
  root.ForEachChild([&](const TXmlNode& c) {
    int attributes = 0;
    for (pugi::xml_attribute a : c.Raw().attributes()) {
      (void)a;
      ++attributes;
    }
    EXPECT_EQ(attributes, 1) << c.NodeName();
    EXPECT_EQ(c.ChildCount(), 0) << c.NodeName();
    entries.push_back(c.NodeName() + "=" + c.Attribute("value"));
  });
  EXPECT_THAT(entries, ElementsAre("Auto_load_last_Project=0", "Last_project_name=" + s.Last_project_name,
                                   "Last_project_path=" + s.Last_project_path, "Auto_connect=-1",
                                   "Default_output_path=" + s.Default_output_path,
                                   "Default_project_path=" + s.Default_project_path,
                                   "Default_Hostname=db.example.org", "Default_Username=admin",
                                   "Default_Password=" + s.Default_Password, "Default_Database=",
                                   "Default_Port=3306"));
}

TEST(SettingsTest, BooleanValuesAcceptedInAHandWrittenFile) {
  struct Case {
    const char* Value;
    bool Expected;
  };
  // The default of Auto_connect is True, so bad values are written for a
  // file whose other flag is False, to see they do not leak into each other.
  const std::vector<Case> cases = {
      {"true", true},  {"TRUE", true},   {"True", true},  {"1", true},  {"-1", true},
      {"42", true},    {"false", false}, {"FaLsE", false}, {"0", false}, {"-0", false},
      {"yes", true},   {"", true},       {" 1", true},    {"0x0", true}, {"truee", true},
  };
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("Auto_connect=\"") + c.Value + "\"");
    WriteFile("tyvox.ini", SettingsXml(Setting("Auto_load_last_Project", "false") + Setting("Auto_connect", c.Value) +
                                       Setting("Default_Port", "8080") + Setting("Default_Hostname", "h")));
    TApplicationManager s;
    s.LoadSettings();
    EXPECT_EQ(s.Auto_connect, c.Expected);
    EXPECT_FALSE(s.Auto_load_last_Project);
    EXPECT_EQ(s.Default_Port, 8080);
    EXPECT_EQ(s.Default_Hostname, "h");
  }
}

TEST(SettingsTest, BadOrMissingValueGivesThatSettingsDefaultOnly) {
  struct Case {
    const char* Name;
    std::string Replace;  // the element to replace in the full file
    std::string With;
    std::function<void(const TApplicationManager&)> Check;
  };
  const std::vector<Case> cases = {
      {"port not a number", Setting("Default_Port", "3307"), Setting("Default_Port", "abc"),
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Port, 3306); }},
      {"port empty", Setting("Default_Port", "3307"), Setting("Default_Port", ""),
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Port, 3306); }},
      {"port with a fraction", Setting("Default_Port", "3307"), Setting("Default_Port", "33.5"),
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Port, 3306); }},
      {"port negative", Setting("Default_Port", "3307"), Setting("Default_Port", "-3"),
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Port, -3); }},
      {"port element missing", Setting("Default_Port", "3307"), "",
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Port, 3306); }},
      {"port without value attribute", Setting("Default_Port", "3307"), "<Default_Port>3307</Default_Port>",
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Port, 3306); }},
      {"flag not Boolean", Setting("Auto_load_last_Project", "0"), Setting("Auto_load_last_Project", "yes"),
       [](const TApplicationManager& s) { EXPECT_TRUE(s.Auto_load_last_Project); }},
      {"host missing", Setting("Default_Hostname", "db.example.org"), "",
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Hostname, "localhost"); }},
      {"host present but empty", Setting("Default_Hostname", "db.example.org"), Setting("Default_Hostname", ""),
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Hostname, ""); }},
      {"database missing", Setting("Default_Database", "shop"), "",
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Database, "mysql"); }},
      {"user name with a child instead of an attribute", Setting("Default_Username", "admin"),
       "<Default_Username><value>x</value></Default_Username>",
       [](const TApplicationManager& s) { EXPECT_EQ(s.Default_Username, "root"); }},
      {"output path missing", Setting("Default_output_path", "/out/"), "",
       [](const TApplicationManager& s) {
         EXPECT_EQ(s.Default_output_path, RealPath(GetCurrentDir()) + "/Output/");
       }},
  };
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string xml = FullSettingsXml();
    const size_t pos = xml.find(c.Replace);
    ASSERT_NE(pos, std::string::npos);
    xml.replace(pos, c.Replace.size(), c.With);
    WriteFile("tyvox.ini", xml);

    TApplicationManager s;
    s.LoadSettings();
    c.Check(s);
    // The settings that were fine still load.
    EXPECT_EQ(s.Last_project_name, "Shop");
    EXPECT_EQ(s.Default_project_path, "/prj/");
    EXPECT_FALSE(s.Auto_connect);
    EXPECT_EQ(s.Default_Password, "pw");

    // And survive the next save as read.
    s.SaveSettings();
    TApplicationManager again;
    again.LoadSettings();
    ExpectSameSettings(s, again);
    EXPECT_FALSE(FileExists("tyvox.ini.bak"));
  }
}

TEST(SettingsTest, UnreadableFileGivesDefaultsAndIsKeptAsBackupAtTheNextSave) {
  const std::vector<std::string> damaged = {
      "Auto_connect=1\nDefault_Port=3307\n",                                     // an old-style ini file
      SettingsXml(Setting("Default_Port", "3307")).substr(0, 60),             // cut short
      "",                                                                       // empty
      std::string("\xFF\xFE<\0", 4),                                           // a few bytes of UTF-16
  };
  for (const std::string& content : damaged) {
    SCOPED_TRACE(content);
    TempDir dir;
    ScopedCurrentDir cd(dir.Path());
    WriteFile("tyvox.ini", content);
    TApplicationManager s;
    RecordingMessages messages;
    s.Messages = &messages;
    s.LoadSettings();
    ExpectDefaults(s, RealPath(dir.Path()));
    EXPECT_EQ(ReadFile("tyvox.ini"), content);  // loading does not touch it

    s.Default_Hostname = "changed";
    s.SaveSettings();
    EXPECT_TRUE(messages.Shown.empty());
    ASSERT_TRUE(FileExists("tyvox.ini.bak"));
    EXPECT_EQ(ReadFile("tyvox.ini.bak"), content);

    TApplicationManager loaded;
    loaded.LoadSettings();
    EXPECT_EQ(loaded.Default_Hostname, "changed");

    // A second save replaces the good file and leaves the backup as it was.
    s.Default_Hostname = "again";
    s.SaveSettings();
    EXPECT_EQ(ReadFile("tyvox.ini.bak"), content);
  }
}

TEST(SettingsTest, SomeoneElsesXmlIsReadButKeptAsBackupAtTheNextSave) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  const std::string content = "<?xml version=\"1.0\"?>\n<Other><Default_Port value=\"3307\"/></Other>\n";
  WriteFile("tyvox.ini", content);
  TApplicationManager s;
  s.LoadSettings();
  EXPECT_EQ(s.Default_Port, 3307);  // the children are read whatever the document element is called
  EXPECT_EQ(s.Default_Hostname, "localhost");
  s.SaveSettings();
  EXPECT_EQ(ReadFile("tyvox.ini.bak"), content);
  TApplicationManager loaded;
  loaded.LoadSettings();
  EXPECT_EQ(loaded.Default_Port, 3307);
}

TEST(SettingsTest, MissingFileLeavesNoBackup) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  TApplicationManager s;
  s.LoadSettings();
  s.SaveSettings();
  EXPECT_TRUE(FileExists("tyvox.ini"));
  EXPECT_EQ(FindFiles(dir.Path(), "*"), std::vector<std::string>{"tyvox.ini"});
}

TEST(SettingsTest, ReadsUtf16WithByteOrderMark) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  const std::u16string text =
      u"<Application_Settings><Default_Hostname value=\"Zürich\"/><Default_Port value=\"1\"/></Application_Settings>";
  std::string bytes = "\xFE\xFF";  // big-endian this time
  for (char16_t ch : text) {
    bytes += static_cast<char>(ch >> 8);
    bytes += static_cast<char>(ch & 0xFF);
  }
  WriteFile("tyvox.ini", bytes);
  TApplicationManager s;
  s.LoadSettings();
  EXPECT_EQ(s.Default_Hostname, "Zürich");
  EXPECT_EQ(s.Default_Port, 1);
}

TEST(SettingsTest, FailedSaveWarnsOnceAndChangesNothing) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  struct Case {
    const char* Name;
    std::string FileName;
    std::function<void()> Prepare;
  };
  const std::string longName = dir.File(std::string(250, 's'));
  const std::vector<Case> cases = {
      {"folder does not exist", dir.File("missing/tyvox.ini"), [] {}},
      {"settings path is a folder", dir.File("tyvox.ini"), [&] { ForceDirectories(dir.File("tyvox.ini")); }},
      {"temporary file cannot be created beside it", longName, [&] { WriteFile(longName, FullSettingsXml()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Prepare();
    TApplicationManager s;
    s.FileName = c.FileName;
    s.LoadSettings();
    const std::string before = FileExists(c.FileName) ? ReadFile(c.FileName) : std::string();
    SetNonDefaults(s);
    RecordingMessages messages;
    s.Messages = &messages;
    ASSERT_NO_THROW(s.SaveSettings());
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Text, "Can't save application settings to the drive!");
    EXPECT_EQ(messages.Shown[0].Type, TMsgDlgType::mtWarning);
    EXPECT_EQ(messages.Shown[0].Buttons, static_cast<TMsgDlgButtons>(mbOK));
    // The settings in memory stay as they were set.
    EXPECT_EQ(s.Default_Hostname, "db.example.org");
    EXPECT_EQ(s.Default_Port, -1);
    if (FileExists(c.FileName)) {
      EXPECT_EQ(ReadFile(c.FileName), before);
    }
  }
  EXPECT_FALSE(DirectoryExists(dir.File("missing")));
  EXPECT_TRUE(DirectoryExists(dir.File("tyvox.ini")));

  // Without a message service the failure is still swallowed.
  TApplicationManager quiet;
  quiet.FileName = dir.File("missing/tyvox.ini");
  EXPECT_NO_THROW(quiet.SaveSettings());
}

TEST(SettingsTest, SettingsViewIsFilledOnlyWhenItExists) {
  TempDir dir;
  ScopedCurrentDir cd(dir.Path());
  WriteFile("tyvox.ini", FullSettingsXml());

  TApplicationManager s;
  RecordingView view;
  s.LoadSettings();  // no dialog yet: nothing to fill, nothing fails
  EXPECT_TRUE(view.Calls.empty());

  s.SettingsView = &view;
  s.ShowInSettingsForm();
  EXPECT_THAT(view.Calls, ElementsAre("db.example.org|3307|no-connect"));

  // Loading fills the dialog once, after every value has been read.
  view.Calls.clear();
  WriteFile("tyvox.ini", SettingsXml(Setting("Default_Hostname", "other")));
  s.LoadSettings();
  EXPECT_THAT(view.Calls, ElementsAre("other|3306|connect"));

  // Also when the file cannot be read.
  view.Calls.clear();
  WriteFile("tyvox.ini", "not xml");
  s.LoadSettings();
  EXPECT_THAT(view.Calls, ElementsAre("localhost|3306|connect"));
}

}  // namespace
